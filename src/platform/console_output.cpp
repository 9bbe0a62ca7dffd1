#include "platform/console_output.h"

#include <QtGlobal>

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

bool print(std::FILE *stream, const QString &text)
{
#ifdef Q_OS_WIN
    if (const HANDLE console = consoleOf(stream)) {
        std::fflush(stream);
        DWORD written = 0;
        const auto units = DWORD(text.size());
        return WriteConsoleW(console, text.utf16(), units, &written, nullptr) && written == units;
    }
#endif
    const bool written = std::fputs(text.toLocal8Bit().constData(), stream) >= 0;
    return std::fflush(stream) == 0 && written;
}

void writeFailuresInsteadOfSigpipe()
{
#ifndef Q_OS_WIN
    std::signal(SIGPIPE, SIG_IGN);
#endif
}

}  // namespace console_output
