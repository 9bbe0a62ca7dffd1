#pragma once

#include <QIODevice>
#include <QString>

#include <cstdio>

// What the programs print to their console: the help, messages, data.
namespace console_output {

// On Windows, a program built for the GUI subsystem has no standard output of
// its own: when none was handed to it (it was not redirected), this attaches
// to the console of the parent, so `harlune --help` prints there. Elsewhere
// it does nothing.
void attach();

// Writes `text` to `stream` in the system's encoding, at once: a script
// reading the other end sees each line as it is printed. A Windows console
// is written in UTF-16, so Chinese shows whatever the code page. Returns 0
// when it all went out, otherwise the system's error number (see
// system_error.h): a broken pipe when the reader went away, no space on
// /dev/full.
int print(std::FILE *stream, const QString &text);

// A stream as a device for data written in pieces (read's CSV on standard
// output): each piece goes out at once, as it is, and the first failure
// keeps the system's error number.
class StreamDevice : public QIODevice {
public:
    explicit StreamDevice(std::FILE *stream);
    // 0 while everything went out.
    int systemError() const { return error_; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override;

private:
    std::FILE *stream_;
    int error_ = 0;
};

// A reader that goes away (`harlune-cli live | head -3`) makes writes fail
// from now on, where SIGPIPE would end the process on the spot with the port
// open and its lock file left behind. Nothing happens where there is no SIGPIPE.
void writeFailuresInsteadOfSigpipe();

}  // namespace console_output
