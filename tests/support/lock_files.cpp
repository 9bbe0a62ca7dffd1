#include "support/lock_files.h"

#include <QFileInfo>

QStringList lockFilesOf(const QString &device)
{
    QString name = device;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    QStringList found;
    for (const char *dir : {"/var/lock", "/run/lock", "/tmp", "/var/tmp"}) {
        const QString path = QString::fromLatin1(dir) + QStringLiteral("/LCK..") + name;
        if (QFileInfo::exists(path))
            found << path;
    }
    return found;
}
