#pragma once

#include "core/language.h"
#include "core/parsed_command_line.h"
#include "core/port_options.h"

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// harlune-cli's command line: the command, its options, the help and the exit
// codes. Read before anything else happens, so a wrong option is told on one
// line and nothing is searched for, read or written.
namespace cli_options {

// The exit codes, as --help and the man page list them.
constexpr int kExitSuccess = 0;
// An unknown option, a bad range, an unknown extension.
constexpr int kExitUsage = parsed_command_line::kExitUsage;
constexpr int kExitNoInstrument = 3;  // nothing answered within --timeout
constexpr int kExitInterrupted = 4;   // lost, no answer, bad deliveries, or stopped
constexpr int kExitNotWritten = 5;    // the file could not be written

// Ten seconds cover more than ten whole searches of the sixteen ports.
constexpr int kDefaultTimeoutMs = 10000;
// --timeout's range: a millisecond, the timer's step, up to the most whole
// seconds its 32-bit count of milliseconds holds (about 24 days).
constexpr int kShortestTimeoutMs = 1;
constexpr int kLongestTimeoutS = 2147483;

enum class Command { Find, Live, Read, Count };

// Whether the time stamps of `read` carry seconds.
enum class Seconds {
    AsInstrument,  // as the instrument says, like the window
    With,          // --seconds
    Without,       // --no-seconds
};

struct Options : port_options::Ports {
    Command command = Command::Find;
    int timeoutMs = kDefaultTimeoutMs;
    // --language, else HARLUNE_LANGUAGE, else Chinese; known also when the
    // parse failed, so that the failure can be told in it.
    language::Language language = language::Language::Chinese;
    QString languageWarning;  // HARLUNE_LANGUAGE named no language

    // live
    int count = 0;  // readings to print; 0 for no end
    bool csv = false;

    // read
    bool all = true;             // every stored group, unless a range is given
    QString rangeFrom, rangeTo;  // --range A-B as the read-range dialog's two boxes
    QString output;              // -o FILE
    Seconds seconds = Seconds::AsInstrument;
    bool quiet = false;  // no progress
};

using Parsed = parsed_command_line::Parsed<Options>;

// Parses the arguments, program name first, in `environment`.
Parsed parse(const QStringList &arguments,
             const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());

}  // namespace cli_options
