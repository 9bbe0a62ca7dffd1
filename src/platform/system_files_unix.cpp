// The file layer and the causes of errno values on Unix.
#include <QtGlobal>

#ifdef Q_OS_UNIX

#include "platform/file_layer.h"
#include "platform/system_error.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A new file gets the permissions of any file the user makes, less the umask.
constexpr mode_t kNewFileMode = 0666;

QByteArray encoded(const QString &path) { return QFile::encodeName(path); }

class UnixFiles : public FileLayer {
public:
    int targetProblem(const QString &path) override
    {
        const QByteArray name = encoded(path);
        struct stat info {};
        if (::stat(name.constData(), &info) != 0)
            return errno == ENOENT ? 0 : errno;
        if (S_ISDIR(info.st_mode))
            return EISDIR;
        return ::access(name.constData(), W_OK) == 0 ? 0 : errno;
    }

    Kind kindOf(const QString &path) override
    {
        struct stat info {};
        if (::stat(encoded(path).constData(), &info) != 0)
            return Kind::Missing;
        if (S_ISREG(info.st_mode))
            return Kind::File;
        return S_ISDIR(info.st_mode) ? Kind::Folder : Kind::Stream;
    }

    int openStream(const QString &path, Handle *handle) override
    {
        int fd;
        do {
            fd = ::open(encoded(path).constData(), O_WRONLY | O_CLOEXEC);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0)
            return errno;
        *handle = fd;
        return 0;
    }

    int createNew(const QString &path, Handle *handle) override
    {
        int fd;
        do {
            fd = ::open(encoded(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                        kNewFileMode);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0)
            return errno;
        *handle = fd;
        return 0;
    }

    int write(Handle handle, const char *data, qint64 size, qint64 *written) override
    {
        ssize_t n;
        do {
            n = ::write(int(handle), data, size_t(size));
        } while (n < 0 && errno == EINTR);
        if (n < 0)
            return errno;
        *written = n;
        return 0;
    }

    int sync(Handle handle) override { return ::fsync(int(handle)) == 0 ? 0 : errno; }

    // Not retried on EINTR: Linux has closed the descriptor by then, and a
    // second close could close another thread's new file.
    int close(Handle handle) override { return ::close(int(handle)) == 0 ? 0 : errno; }

    int replace(const QString &from, const QString &to) override
    {
        return ::rename(encoded(from).constData(), encoded(to).constData()) == 0 ? 0 : errno;
    }

    int remove(const QString &path) override
    {
        return ::unlink(encoded(path).constData()) == 0 ? 0 : errno;
    }

    int size(const QString &path, qint64 *bytes) override
    {
        struct stat info {};
        if (::stat(encoded(path).constData(), &info) != 0)
            return errno;
        *bytes = info.st_size;
        return 0;
    }
};

}  // namespace

FileLayer &FileLayer::system()
{
    static UnixFiles files;
    return files;
}

namespace system_error {

namespace {
constexpr Known kKnown[] = {
    {ENOSPC, Cause::NoSpace},    {EDQUOT, Cause::NoSpace},   {EROFS, Cause::ReadOnly},
    {EACCES, Cause::Denied},     {EPERM, Cause::Denied},     {ENAMETOOLONG, Cause::NameTooLong},
    {EEXIST, Cause::Exists},     {EISDIR, Cause::IsFolder},  {ENOTDIR, Cause::NotFolder},
    {ENOENT, Cause::NoSuchFile}, {EPIPE, Cause::BrokenPipe}, {EBUSY, Cause::Busy},
    {ETXTBSY, Cause::Busy},      {EIO, Cause::InputOutput},
};
}  // namespace

const Known *knownBegin() { return std::begin(kKnown); }
const Known *knownEnd() { return std::end(kKnown); }

}  // namespace system_error

#endif  // Q_OS_UNIX
