#include "gui/plots/picture_target.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace picture_target {

namespace {

struct Kind {
    Format format;
    const char *suffix;
    const char *filter;
};
// The dialog offers them in this order; the first is what a bare name becomes.
constexpr Kind kKinds[] = {
    {Format::Png, "png", QT_TRANSLATE_NOOP("picture_target", "PNG 图片 (*.png)")},
    {Format::Pdf, "pdf", QT_TRANSLATE_NOOP("picture_target", "PDF 文档 (*.pdf)")},
};

}  // namespace

QStringList dialogFilters()
{
    QStringList filters;
    for (const Kind &kind : kKinds)
        filters << QCoreApplication::translate("picture_target", kind.filter);
    return filters;
}

Target targetFor(const QString &chosenPath)
{
    const QString given = QFileInfo(chosenPath).suffix();
    for (const Kind &kind : kKinds) {
        if (given.compare(QLatin1String(kind.suffix), Qt::CaseInsensitive) == 0)
            return {chosenPath, kind.format};
    }
    return {chosenPath + QLatin1Char('.') + QLatin1String(kKinds[0].suffix), kKinds[0].format};
}

bool addsSuffix(const QString &chosenPath) { return targetFor(chosenPath).path != chosenPath; }

}  // namespace picture_target
