#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

class QCommandLineParser;

// What reading a program's command line comes to, for both programs: run
// with the options, show the help or the version, or say on one line what
// is wrong. It is read before anything else happens, so --help and a mistake
// need neither a display nor a port.
namespace parsed_command_line {

constexpr int kExitUsage = 2;  // a wrong option or value

enum class Outcome { Run, ShowHelp, ShowVersion, Error };

template <typename Options>
struct Parsed {
    using Outcome = parsed_command_line::Outcome;
    Outcome outcome = Outcome::Error;
    Options options;
    // What to print: the help text, the version line, or what is wrong (one line).
    QString text;
};

// A mistake as the program tells it: "harlune-cli: unknown option 'x'". The
// options read so far are kept: the language tells the mistake.
template <typename Options>
Parsed<Options> failure(const char *program, const QString &what, Options options)
{
    Parsed<Options> result;
    result.options = std::move(options);
    result.text = QStringLiteral("%1: %2").arg(QLatin1String(program), what);
    return result;
}

// What QCommandLineParser found wrong with `arguments`, with the hint to
// see --help: an unknown option as it was typed ("--bogus", "-x"), not by
// the bare name the parser keeps.
QString parserError(const QCommandLineParser &parser, const QStringList &arguments);

// QCommandLineParser's help with `usage` as its first line: the parser names
// the program from the application object, which may not exist yet, and
// knows nothing of commands.
QString helpText(const QCommandLineParser &parser, const QString &usage);

// Prints what a command line that does not run the program comes to: the
// help or the version on standard output (exit 0), what is wrong on standard
// error (exit 2). Nothing when the program is to run.
std::optional<int> answerInstead(Outcome outcome, const QString &text);

}  // namespace parsed_command_line
