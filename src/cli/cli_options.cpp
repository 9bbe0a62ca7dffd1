#include "cli/cli_options.h"

#include "app/version.h"
#include "cli/output_file.h"

#include <QCommandLineParser>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

namespace cli_options {

namespace {

constexpr char kProgramName[] = "harlune-cli";
constexpr double kMsPerSecond = 1000.0;

const QString kUsage = QStringLiteral(
    "Usage: harlune-cli [--port-dir DIR] [--port N] [--timeout S] [--language zh|en] COMMAND "
    "[options]");

const QString kDescription = QStringLiteral(
    "Reads a three-channel current instrument on a serial port without a window:\n"
    "finds the port it answers on, prints the live currents, and reads the stored\n"
    "groups into a file. Messages are in Chinese; nothing but data goes to standard\n"
    "output.\n"
    "\n"
    "Commands:\n"
    "  find                        search COM1..COM16 as the window does, print\n"
    "                              \"COM<n> <device>\" and exit\n"
    "  live [--count N] [--csv]    print one line per live reading (every 500 ms),\n"
    "                              N lines or until Ctrl+C\n"
    "  read [--range A-B | --all] -o FILE [--seconds | --no-seconds] [--quiet]\n"
    "                              read the groups A..B (either way round) or all\n"
    "                              stored groups and write FILE; the extension picks\n"
    "                              the format: .xlsx .xls .xlsm as the window's Save\n"
    "                              writes them, .csv, or \"-\" for CSV on standard\n"
    "                              output; progress goes to standard error\n"
    "  count                       print the number of stored groups");

const QString kEpilogue = QStringLiteral(
    "\n"
    "CSV of read: the header group,time,i1_a,i2_a,i3_a,i1,i2,i3,charge, then one line\n"
    "per group that arrived. time is ISO 8601 (2001-11-15T14:20:41, or 2001-11-15T14:20\n"
    "without seconds); i1_a to i3_a are the currents in amperes as plain decimals,\n"
    "empty for OL, err and readings without a unit; i1 to i3 are the texts the\n"
    "table shows (28mA, OL, err). live --csv prints time,i1_a,i2_a,i3_a,i1,i2,i3 with\n"
    "the computer's local time, in ISO 8601 with milliseconds.\n"
    "\n"
    "Exit status:\n"
    "  0  success\n"
    "  2  bad usage: an unknown option, a bad range, an unknown extension\n"
    "  3  no instrument answered within --timeout\n"
    "  4  the instrument was lost or stopped answering, its data kept arriving\n"
    "     wrong, or Ctrl+C or SIGTERM came first; read still writes the groups\n"
    "     that arrived to FILE, and the message names them\n"
    "  5  FILE could not be written; a file of that name is kept as it was\n"
    "\n"
    "Port n is COMn on Windows. Elsewhere it is the entry COMn of the port\n"
    "directory (--port-dir, otherwise the environment variable HARLUNE_PORT_DIR),\n"
    "and without one: COM1-COM8 /dev/ttyUSB0-7, COM9-COM12 /dev/ttyACM0-3,\n"
    "COM13-COM16 /dev/ttyS0-3.\n");

// The commands by name, as typed.
struct CommandName {
    const char *name;
    Command command;
};
constexpr CommandName kCommands[] = {
    {"find", Command::Find},
    {"live", Command::Live},
    {"read", Command::Read},
    {"count", Command::Count},
};

// Two whole numbers, the ends of a range either way round.
const QRegularExpression kRange(QStringLiteral("^(\\d+)-(\\d+)$"));

Parsed failure(const QString &what)
{
    return parsed_command_line::failure<Options>(kProgramName, what);
}

// A whole number of at least 1, or nothing.
std::optional<int> positiveWhole(const QString &text)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    return ok && n >= 1 ? std::optional<int>(n) : std::nullopt;
}

// Seconds as milliseconds: a number above 0 that a timer can wait.
std::optional<int> timeoutMs(const QString &text)
{
    bool ok = false;
    const double seconds = text.toDouble(&ok);
    const double ms = seconds * kMsPerSecond;
    if (!ok || !(ms >= 1) || ms > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(std::lround(ms));
}

// Every option, as the parser knows it. Not copied: commandOptions points
// into it.
struct Declared {
    Declared() = default;
    Declared(const Declared &) = delete;
    Declared &operator=(const Declared &) = delete;

    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Show this help and exit.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Show the version and exit.")};
    QCommandLineOption timeout{
        QStringLiteral("timeout"),
        QStringLiteral("Give up after <s> seconds without the instrument: searching for it, "
                       "or waiting for its group count (default %1).")
            .arg(kDefaultTimeoutMs / int(kMsPerSecond)),
        QStringLiteral("s")};
    QCommandLineOption language{
        QStringLiteral("language"),
        QStringLiteral("The language of the messages: zh (the default) or en. English comes "
                       "with the English interface; until then the messages stay Chinese."),
        QStringLiteral("zh|en")};
    QCommandLineOption count{QStringLiteral("count"),
                             QStringLiteral("live: stop after <n> readings."), QStringLiteral("n")};
    QCommandLineOption csv{QStringLiteral("csv"),
                           QStringLiteral("live: print CSV lines instead of text.")};
    QCommandLineOption range{QStringLiteral("range"),
                             QStringLiteral("read: the groups <a> to <b>, either way round."),
                             QStringLiteral("a-b")};
    QCommandLineOption all{QStringLiteral("all"),
                           QStringLiteral("read: every stored group (the default).")};
    QCommandLineOption output{{QStringLiteral("o"), QStringLiteral("output")},
                              QStringLiteral("read: write the groups to <file>."),
                              QStringLiteral("file")};
    QCommandLineOption withSeconds{
        QStringLiteral("seconds"),
        QStringLiteral("read: time stamps with seconds, whatever the instrument says.")};
    QCommandLineOption withoutSeconds{
        QStringLiteral("no-seconds"),
        QStringLiteral("read: time stamps without seconds, whatever the instrument says.")};
    QCommandLineOption quiet{QStringLiteral("quiet"),
                             QStringLiteral("read: no progress on standard error.")};

    // Each command's own options, and the command each belongs to.
    const std::vector<std::pair<const QCommandLineOption *, Command>> commandOptions{
        {&count, Command::Live},          {&csv, Command::Live},
        {&range, Command::Read},          {&all, Command::Read},
        {&output, Command::Read},         {&withSeconds, Command::Read},
        {&withoutSeconds, Command::Read}, {&quiet, Command::Read},
    };
};

// The options of live; what is wrong, or empty.
QString readLive(const QCommandLineParser &parser, const Declared &d, Options *options)
{
    if (parser.isSet(d.count)) {
        const std::optional<int> n = positiveWhole(parser.value(d.count));
        if (!n)
            return QStringLiteral("--count takes a whole number from 1, not '%1'")
                .arg(parser.value(d.count));
        options->count = *n;
    }
    options->csv = parser.isSet(d.csv);
    return QString();
}

// The options of read; what is wrong, or empty.
QString readRead(const QCommandLineParser &parser, const Declared &d, Options *options)
{
    if (parser.isSet(d.range) && parser.isSet(d.all))
        return QStringLiteral("--range and --all exclude each other");
    if (parser.isSet(d.range)) {
        const QRegularExpressionMatch m = kRange.match(parser.value(d.range));
        if (!m.hasMatch())
            return QStringLiteral("--range takes two group numbers as A-B, not '%1'")
                .arg(parser.value(d.range));
        options->all = false;
        options->rangeFrom = m.captured(1);
        options->rangeTo = m.captured(2);
    }
    if (!parser.isSet(d.output))
        return QStringLiteral("read needs -o FILE (.xlsx, .xls, .xlsm, .csv, or - for standard "
                              "output)");
    options->output = parser.value(d.output);
    if (!OutputFile::forPath(options->output))
        return QStringLiteral("-o: '%1' has an unknown extension (.xlsx, .xls, .xlsm, .csv, or - "
                              "for standard output)")
            .arg(options->output);
    if (parser.isSet(d.withSeconds) && parser.isSet(d.withoutSeconds))
        return QStringLiteral("--seconds and --no-seconds exclude each other");
    if (parser.isSet(d.withSeconds))
        options->seconds = Seconds::With;
    if (parser.isSet(d.withoutSeconds))
        options->seconds = Seconds::Without;
    options->quiet = parser.isSet(d.quiet);
    return QString();
}

// The options every command takes; what is wrong, or empty.
QString readCommon(const QCommandLineParser &parser, const Declared &d, Options *options)
{
    if (parser.isSet(d.timeout)) {
        const std::optional<int> ms = timeoutMs(parser.value(d.timeout));
        if (!ms)
            return QStringLiteral("--timeout takes a number of seconds above 0, not '%1'")
                .arg(parser.value(d.timeout));
        options->timeoutMs = *ms;
    }
    // Taken and checked already, so that scripts can ask for English; every
    // message stays Chinese until the English interface exists.
    const QString language = parser.value(d.language);
    if (parser.isSet(d.language) && language != QLatin1String("zh")
        && language != QLatin1String("en"))
        return QStringLiteral("--language takes zh or en, not '%1'").arg(language);
    return QString();
}

// The command named by the one positional argument; what is wrong, or empty.
QString readCommand(const QStringList &positional, Options *options)
{
    if (positional.isEmpty())
        return QStringLiteral("no command given (find, live, read or count); see --help");
    if (positional.size() > 1)
        return QStringLiteral("unexpected argument '%1'").arg(positional.at(1));
    const auto named =
        std::find_if(std::begin(kCommands), std::end(kCommands), [&](const CommandName &c) {
            return positional.first() == QLatin1String(c.name);
        });
    if (named == std::end(kCommands))
        return QStringLiteral("unknown command '%1' (find, live, read or count)")
            .arg(positional.first());
    options->command = named->command;
    return QString();
}

}  // namespace

Parsed parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(kDescription);
    const Declared d;
    parser.addOption(d.help);
    parser.addOption(d.version);
    const port_options::Declared ports = port_options::declare(parser);
    for (const QCommandLineOption *option : {&d.timeout, &d.language})
        parser.addOption(*option);
    for (const auto &[option, owner] : d.commandOptions)
        parser.addOption(*option);

    if (!parser.parse(arguments))
        return failure(parser.errorText());
    Parsed result;
    if (parser.isSet(d.help)) {
        result.outcome = Parsed::Outcome::ShowHelp;
        result.text = parsed_command_line::helpText(parser, kUsage) + kEpilogue;
        return result;
    }
    if (parser.isSet(d.version)) {
        result.outcome = Parsed::Outcome::ShowVersion;
        result.text = QStringLiteral("%1 %2\n").arg(QLatin1String(kProgramName),
                                                    QLatin1String(version::kText));
        return result;
    }

    Options &options = result.options;
    QString wrong = readCommand(parser.positionalArguments(), &options);
    if (wrong.isEmpty())
        wrong = port_options::read(parser, ports, &options);
    if (wrong.isEmpty())
        wrong = readCommon(parser, d, &options);
    for (const auto &[option, owner] : d.commandOptions) {
        if (wrong.isEmpty() && parser.isSet(*option) && owner != options.command)
            wrong = QStringLiteral("--%1 is not an option of %2")
                        .arg(option->names().constLast(), parser.positionalArguments().first());
    }
    if (wrong.isEmpty() && options.command == Command::Live)
        wrong = readLive(parser, d, &options);
    if (wrong.isEmpty() && options.command == Command::Read)
        wrong = readRead(parser, d, &options);
    if (!wrong.isEmpty())
        return failure(wrong);
    result.outcome = Parsed::Outcome::Run;
    return result;
}

}  // namespace cli_options
