#pragma once

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
// is written in UTF-16, so Chinese shows whatever the code page. False when it did
// not all go out (the reader went away, the disk is full).
bool print(std::FILE *stream, const QString &text);

// A reader that goes away (`harlune-cli live | head -3`) makes writes fail
// from now on, where SIGPIPE would end the process on the spot with the port
// open and its lock file left behind. Nothing happens where there is no SIGPIPE.
void writeFailuresInsteadOfSigpipe();

}  // namespace console_output
