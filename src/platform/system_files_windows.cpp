// The file layer and the causes of GetLastError() values on Windows.
#include <QtGlobal>

#ifdef Q_OS_WIN

#include "platform/file_layer.h"
#include "platform/system_error.h"

#include <QDir>

#include <windows.h>

#include <algorithm>
#include <iterator>

namespace {

// WriteFile takes a 32-bit count.
constexpr qint64 kMaxWriteBytes = 1 << 30;
// ERROR_DISK_QUOTA_EXCEEDED, which MinGW-w64's winerror.h does not define.
constexpr DWORD kDiskQuotaExceeded = 1295;

// The path as Windows wants it: backslashes, UTF-16.
std::wstring native(const QString &path) { return QDir::toNativeSeparators(path).toStdWString(); }

HANDLE handleOf(FileLayer::Handle handle) { return reinterpret_cast<HANDLE>(handle); }

class WindowsFiles : public FileLayer {
public:
    int targetProblem(const QString &path) override
    {
        const DWORD attributes = GetFileAttributesW(native(path).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            const DWORD error = GetLastError();
            return error == ERROR_FILE_NOT_FOUND ? 0 : int(error);
        }
        // MoveFileExW refuses to replace either with this error.
        if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))
            return ERROR_ACCESS_DENIED;
        return 0;
    }

    // A device (NUL, a COM port) or a named pipe is named with the device
    // prefix \\.\ (\\.\pipe\name, \\.\COM3), or is NUL.
    Kind kindOf(const QString &path) override
    {
        const QString name = QDir::toNativeSeparators(path);
        if (name.startsWith(QLatin1String("\\\\.\\"))
            || name.compare(QLatin1String("NUL"), Qt::CaseInsensitive) == 0)
            return Kind::Stream;
        const DWORD attributes = GetFileAttributesW(native(path).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES)
            return Kind::Missing;
        return attributes & FILE_ATTRIBUTE_DIRECTORY ? Kind::Folder : Kind::File;
    }

    int openStream(const QString &path, Handle *handle) override
    {
        const HANDLE file = CreateFileW(native(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return int(GetLastError());
        *handle = reinterpret_cast<Handle>(file);
        return 0;
    }

    int createNew(const QString &path, Handle *handle) override
    {
        const HANDLE file = CreateFileW(native(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return int(GetLastError());
        *handle = reinterpret_cast<Handle>(file);
        return 0;
    }

    int write(Handle handle, const char *data, qint64 size, qint64 *written) override
    {
        DWORD done = 0;
        if (!WriteFile(handleOf(handle), data, DWORD(std::min(size, kMaxWriteBytes)), &done,
                       nullptr))
            return int(GetLastError());
        *written = done;
        return 0;
    }

    int sync(Handle handle) override
    {
        return FlushFileBuffers(handleOf(handle)) ? 0 : int(GetLastError());
    }

    int close(Handle handle) override
    {
        return CloseHandle(handleOf(handle)) ? 0 : int(GetLastError());
    }

    // MOVEFILE_WRITE_THROUGH returns only once the move is on the disk.
    int replace(const QString &from, const QString &to) override
    {
        return MoveFileExW(native(from).c_str(), native(to).c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
                   ? 0
                   : int(GetLastError());
    }

    int remove(const QString &path) override
    {
        return DeleteFileW(native(path).c_str()) ? 0 : int(GetLastError());
    }

    int size(const QString &path, qint64 *bytes) override
    {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!GetFileAttributesExW(native(path).c_str(), GetFileExInfoStandard, &data))
            return int(GetLastError());
        *bytes = (qint64(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        return 0;
    }
};

}  // namespace

FileLayer &FileLayer::system()
{
    static WindowsFiles files;
    return files;
}

namespace system_error {

namespace {
constexpr Known kKnown[] = {
    {ERROR_DISK_FULL, Cause::NoSpace},         {ERROR_HANDLE_DISK_FULL, Cause::NoSpace},
    {kDiskQuotaExceeded, Cause::NoSpace},      {ERROR_WRITE_PROTECT, Cause::ReadOnly},
    {ERROR_ACCESS_DENIED, Cause::Denied},      {ERROR_FILENAME_EXCED_RANGE, Cause::NameTooLong},
    {ERROR_FILE_EXISTS, Cause::Exists},        {ERROR_ALREADY_EXISTS, Cause::Exists},
    {ERROR_DIRECTORY, Cause::NotFolder},       {ERROR_FILE_NOT_FOUND, Cause::NoSuchFile},
    {ERROR_PATH_NOT_FOUND, Cause::NoSuchFile}, {ERROR_BROKEN_PIPE, Cause::BrokenPipe},
    {ERROR_NO_DATA, Cause::BrokenPipe},        {ERROR_SHARING_VIOLATION, Cause::Busy},
    {ERROR_LOCK_VIOLATION, Cause::Busy},       {ERROR_BUSY, Cause::Busy},
    {ERROR_CRC, Cause::InputOutput},           {ERROR_IO_DEVICE, Cause::InputOutput},
};
}  // namespace

const Known *knownBegin() { return std::begin(kKnown); }
const Known *knownEnd() { return std::end(kKnown); }

}  // namespace system_error

#endif  // Q_OS_WIN
