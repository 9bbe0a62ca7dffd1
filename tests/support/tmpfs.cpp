#include "support/tmpfs.h"

#include <QFile>

#include <cerrno>
#include <sys/mount.h>

Tmpfs::Tmpfs(const QString &at, const QByteArray &options) : at_(QFile::encodeName(at))
{
    mounted_ = ::mount("tmpfs", at_.constData(), "tmpfs", 0, options.constData()) == 0;
    refusal_ = mounted_ ? QByteArray()
                        : "mounting a tmpfs was refused (" + qt_error_string(errno).toUtf8()
                              + "); it needs root";
}

Tmpfs::~Tmpfs()
{
    if (mounted_)
        ::umount(at_.constData());
}

bool Tmpfs::makeReadOnly(const QByteArray &options)
{
    return ::mount("tmpfs", at_.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, options.constData())
           == 0;
}
