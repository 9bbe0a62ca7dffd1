#include "gui/save_folder.h"

#include <QDir>
#include <QRegularExpression>

namespace save_folder {

namespace {

// Folders of a Unix system whose contents belong to the system or to installed programs.
constexpr const char *kUnixSystemFolders[] = {"/usr", "/opt",   "/bin", "/sbin",
                                              "/lib", "/lib64", "/etc", "/snap"};

bool isUnder(const QString &path, const QString &folder)
{
    return path == folder || path.startsWith(folder + QLatin1Char('/'));
}

}  // namespace

bool isSystemFolder(const QString &path)
{
    // Windows paths are read on any system: the back slash is a separator too.
    const QString clean =
        QDir::cleanPath(QString(path).replace(QLatin1Char('\\'), QLatin1Char('/')));
    static const QRegularExpression windowsSystem(
        QStringLiteral("^[A-Za-z]:/(Program Files|Program Files \\(x86\\)|Windows)(/|$)"),
        QRegularExpression::CaseInsensitiveOption);
    if (windowsSystem.match(clean).hasMatch())
        return true;
    for (const char *folder : kUnixSystemFolders) {
        if (isUnder(clean, QString::fromLatin1(folder)))
            return true;
    }
    return false;
}

QString startFolder(const QString &lastUsed, const QString &programFolder,
                    bool programFolderWritable, const QString &documentsFolder)
{
    if (!lastUsed.isEmpty())
        return lastUsed;
    if (programFolderWritable && !isSystemFolder(programFolder))
        return programFolder;
    return documentsFolder;
}

}  // namespace save_folder
