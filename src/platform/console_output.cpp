#include "platform/console_output.h"

#include <QtGlobal>

#include <cerrno>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <csignal>
#endif

namespace console_output {

void attach()
{
#ifdef Q_OS_WIN
    if (GetStdHandle(STD_OUTPUT_HANDLE) != nullptr)
        return;
    if (!AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    std::FILE *stream = nullptr;
    freopen_s(&stream, "CONOUT$", "w", stdout);
    freopen_s(&stream, "CONOUT$", "w", stderr);
#endif
}

#ifdef Q_OS_WIN
namespace {

// A Windows console shows any text it is given as UTF-16, where the ANSI code
// page of an English Windows has no Chinese characters; a stream that is not
// a console (a pipe, a file) gets nullptr.
HANDLE consoleOf(std::FILE *stream)
{
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) ? handle : nullptr;
}

}  // namespace
#endif

namespace {

// The system's error numbers are those of the file layer: errno on Unix, and
// on Windows the GetLastError() value the C library keeps in _doserrno.
void forgetErrors()
{
#ifdef Q_OS_WIN
    _doserrno = 0;
#endif
    errno = 0;
}

// What the last failed call on `stream` left; a stream that failed without a
// number (a short write) is an input/output error. The stream is made usable
// again, so that a later message can still try.
int failureOf(std::FILE *stream)
{
#ifdef Q_OS_WIN
    const int error = _doserrno != 0 ? int(_doserrno) : int(ERROR_WRITE_FAULT);
#else
    const int error = errno != 0 ? errno : EIO;
#endif
    std::clearerr(stream);
    return error;
}

}  // namespace

int print(std::FILE *stream, const QString &text)
{
#ifdef Q_OS_WIN
    if (const HANDLE console = consoleOf(stream)) {
        std::fflush(stream);
        DWORD written = 0;
        const auto units = DWORD(text.size());
        if (WriteConsoleW(console, text.utf16(), units, &written, nullptr) && written == units)
            return 0;
        const DWORD error = GetLastError();
        return error != 0 ? int(error) : ERROR_WRITE_FAULT;
    }
#endif
    forgetErrors();
    const bool written = std::fputs(text.toLocal8Bit().constData(), stream) >= 0;
    const bool flushed = std::fflush(stream) == 0;
    return written && flushed ? 0 : failureOf(stream);
}

StreamDevice::StreamDevice(std::FILE *stream) : stream_(stream)
{
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 StreamDevice::writeData(const char *data, qint64 size)
{
    if (error_ != 0)
        return -1;
    forgetErrors();
    const bool written = std::fwrite(data, 1, std::size_t(size), stream_) == std::size_t(size);
    const bool flushed = std::fflush(stream_) == 0;
    if (written && flushed)
        return size;
    error_ = failureOf(stream_);
    return -1;
}

void writeFailuresInsteadOfSigpipe()
{
#ifndef Q_OS_WIN
    std::signal(SIGPIPE, SIG_IGN);
#endif
}

}  // namespace console_output
