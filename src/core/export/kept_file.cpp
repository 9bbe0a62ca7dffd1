#include "core/export/kept_file.h"

#include <QDir>
#include <QFileInfo>

namespace kept_file {

namespace {
// Names tried for a partial result before giving up: a folder holding so
// many is a script that never looks at them.
constexpr int kPartialNames = 100;
const QString kPartial = QStringLiteral("partial");
}  // namespace

QString partialName(const QString &path, FileLayer &files)
{
    const QFileInfo info(path);
    const QString stem = info.completeBaseName() + QLatin1Char('.') + kPartial;
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    for (int n = 1; n <= kPartialNames; ++n) {
        const QString name =
            n == 1 ? stem + suffix : QStringLiteral("%1-%2%3").arg(stem).arg(n).arg(suffix);
        const QString candidate = info.dir().filePath(name);
        if (files.kindOf(candidate) == FileLayer::Kind::Missing)
            return candidate;
    }
    return QString();
}

Destination destinationFor(const QString &path, qint32 groups, bool whole, FileLayer &files)
{
    if (files.kindOf(path) != FileLayer::Kind::File)
        return {Destination::Kind::Target, path};
    if (groups <= 0)
        return {Destination::Kind::Nothing, QString()};
    if (!whole)
        return {Destination::Kind::Beside, partialName(path, files)};
    return {Destination::Kind::Target, path};
}

}  // namespace kept_file
