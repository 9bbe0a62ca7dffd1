#include "sim/command_line.h"

#include <QCommandLineParser>

#include <cmath>
#include <limits>

namespace sim {

namespace {

constexpr double kMillisecondsPerSecond = 1000.0;
constexpr int kUsageColumn = 30;  // where option descriptions start
constexpr int kUsageWidth = 80;

struct OptionSpec {
    const char *name;
    const char *valueName;  // empty for a switch
    const char *description;
    const char *alias = nullptr;  // a one-letter name besides the long one
};

const OptionSpec kOptions[] = {
    {"port-dir", "DIR",
     "directory for the COM<N> link (required); Harlune finds it "
     "through HARLUNE_PORT_DIR"},
    {"port", "N", "link the terminal as COM<N> (default 3)"},
    {"groups", "N", "number of stored groups reported, 0 to 200000 (default 2500)"},
    {"no-seconds", "", "tell the host to show time stamps without seconds"},
    {"line-rate", "", "send at the real line rate of 11520 bytes/s instead of full speed"},
    {"turnaround", "MS", "delay before each answer, in milliseconds (default 5)"},
    {"reply-delay", "MS",
     "answer every short request (probe, count, live) this much later, as a slow "
     "USB-serial adapter delivers"},
    {"talker", "MODE",
     "be a device that is not the instrument: 'random' answers 20 random bytes, "
     "'long' the instrument's reply with one byte more, 'echo' the request itself"},
    {"silent-after", "SECONDS", "stop answering after this many seconds ..."},
    {"silent-for", "SECONDS", "... for this many seconds (both needed)"},
    {"silent-on-count", "",
     "give no answer to the group-count request, as an instrument that hangs "
     "after it was found; everything else is answered"},
    {"silent-on-block", "K",
     "give no answer to the K-th block request (a re-sent one is "
     "answered); block requests count from 1, re-sends included"},
    {"silent-from-block", "K", "give no answer to any block request from the K-th on"},
    {"stray-before-block", "K", "send 3 stray bytes in front of the K-th block reply"},
    {"insert-in-block", "K", "insert one stray byte in the middle of the K-th block reply"},
    {"drop-from-block", "K", "drop one byte from the middle of the K-th block reply"},
    {"slow-block", "K",
     "answer the K-th block request only after --slow-ms, and the "
     "requests that came meanwhile after it (a reply slower than the "
     "host's watchdog)"},
    {"late-twice-block", "K",
     "hold back the K-th block reply until the next block request "
     "comes, then send it twice, 50 ms apart (a late reply "
     "delivered twice)"},
    {"slow-ms", "MS", "how late --slow-block answers, in milliseconds (default 33000)"},
    {"garbage-every", "SECONDS", "send a few stray bytes every so many seconds"},
    {"packet-bytes", "N",
     "deliver every reply in packets of N bytes, as a USB-serial adapter does (an FTDI "
     "chip's are 62)"},
    {"packet-gap", "MS", "between the packets of a reply, on top of their line time"},
    {"latency", "MS",
     "send the last, partial packet of a reply this much after the one before, as an "
     "adapter's latency timer does (16 by default on FTDI)"},
    {"late-tail-bytes", "N", "hold back the last N bytes of every reply ..."},
    {"late-tail-ms", "MS", "... by this many milliseconds (both needed)"},
    {"say-requests", "", "print a line for every command frame heard"},
    {"reopen-after", "SECONDS", "close the terminal after this many seconds ..."},
    {"reopen-pause", "SECONDS", "... and come back on a new one after this pause (both needed)"},
    {"help", "", "show this text", "h"},
};

QCommandLineOption toOption(const OptionSpec &spec)
{
    QStringList names{QString::fromLatin1(spec.name)};
    if (spec.alias)
        names.prepend(QString::fromLatin1(spec.alias));
    const QString valueName = QString::fromLatin1(spec.valueName);
    if (valueName.isEmpty())
        return QCommandLineOption(names);
    return QCommandLineOption(names, QString(), valueName);
}

class Reader {
public:
    explicit Reader(const QCommandLineParser &parser) : parser_(parser) {}

    bool isSet(const char *name) const { return parser_.isSet(QString::fromLatin1(name)); }

    // A whole number in [lowest, highest] into *out, when the option is given.
    void integer(const char *name, int lowest, int highest, int *out)
    {
        if (!isSet(name))
            return;
        bool ok = false;
        const int value = value_(name).toInt(&ok);
        if (!ok || value < lowest || value > highest) {
            fail(QStringLiteral("--%1 takes a whole number from %2 to %3")
                     .arg(QLatin1String(name))
                     .arg(lowest)
                     .arg(highest));
            return;
        }
        *out = value;
    }

    // A time in seconds (fractions allowed, not negative) into *out as milliseconds.
    void seconds(const char *name, int *outMs)
    {
        if (!isSet(name))
            return;
        bool ok = false;
        const double value = value_(name).toDouble(&ok);
        const double ms = value * kMillisecondsPerSecond;
        if (!ok || !(value >= 0) || ms > std::numeric_limits<int>::max()) {
            fail(QStringLiteral("--%1 takes a number of seconds").arg(QLatin1String(name)));
            return;
        }
        *outMs = static_cast<int>(std::lround(ms));
    }

    // One of the talker modes into *out, when the option is given.
    void talker(const char *name, Talker *out)
    {
        if (!isSet(name))
            return;
        const QString mode = value_(name);
        const std::pair<const char *, Talker> modes[] = {
            {"random", Talker::Random}, {"long", Talker::Long}, {"echo", Talker::Echo}};
        for (const auto &[text, talker] : modes) {
            if (mode == QLatin1String(text)) {
                *out = talker;
                return;
            }
        }
        fail(QStringLiteral("--%1 takes random, long or echo").arg(QLatin1String(name)));
    }

    // Both or neither of a pair of options.
    void pair(const char *first, const char *second)
    {
        if (isSet(first) != isSet(second))
            fail(QStringLiteral("--%1 and --%2 go together")
                     .arg(QLatin1String(first), QLatin1String(second)));
    }

    void fail(const QString &error)
    {
        if (error_.isEmpty())
            error_ = error;
    }
    const QString &error() const { return error_; }

private:
    QString value_(const char *name) const { return parser_.value(QString::fromLatin1(name)); }

    const QCommandLineParser &parser_;
    QString error_;
};

}  // namespace

CommandLine parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const OptionSpec &spec : kOptions)
        parser.addOption(toOption(spec));

    CommandLine result;
    if (!parser.parse(arguments)) {
        result.error = parser.errorText();
        return result;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        result.outcome = CommandLine::Outcome::ShowHelp;
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        result.error = QStringLiteral("unexpected argument: %1")
                           .arg(parser.positionalArguments().constFirst());
        return result;
    }

    SimConfig &c = result.config;
    Reader read(parser);
    c.portDir = parser.value(QStringLiteral("port-dir"));
    if (c.portDir.isEmpty())
        read.fail(QStringLiteral("--port-dir is required"));
    read.integer("port", 1, std::numeric_limits<int>::max(), &c.port);
    read.integer("groups", 0, kMaxGroups, &c.options.instrument.groups);
    c.options.instrument.secondsFlag = !read.isSet("no-seconds");
    c.options.lineRate = read.isSet("line-rate");
    read.integer("turnaround", 0, std::numeric_limits<int>::max(), &c.options.turnaroundMs);
    read.integer("reply-delay", 0, std::numeric_limits<int>::max(),
                 &c.options.instrument.replyDelayMs);
    read.talker("talker", &c.options.instrument.talker);
    c.options.instrument.countUnanswered = read.isSet("silent-on-count");
    read.pair("silent-after", "silent-for");
    read.seconds("silent-after", &c.silentAfterMs);
    read.seconds("silent-for", &c.silentForMs);
    BlockFaults &faults = c.options.instrument.faults;
    const int most = std::numeric_limits<int>::max();
    read.integer("silent-on-block", 1, most, &faults.silentOn);
    read.integer("silent-from-block", 1, most, &faults.silentFrom);
    read.integer("stray-before-block", 1, most, &faults.strayBefore);
    read.integer("insert-in-block", 1, most, &faults.insertIn);
    read.integer("drop-from-block", 1, most, &faults.dropFrom);
    read.integer("slow-block", 1, most, &faults.slow);
    read.integer("late-twice-block", 1, most, &faults.lateTwice);
    read.integer("slow-ms", 0, most, &faults.slowMs);
    read.seconds("garbage-every", &c.garbageEveryMs);
    AdapterOptions &adapter = c.options.adapter;
    read.integer("packet-bytes", 1, most, &adapter.packetBytes);
    read.integer("packet-gap", 0, most, &adapter.packetGapMs);
    read.integer("latency", 0, most, &adapter.latencyMs);
    read.pair("late-tail-bytes", "late-tail-ms");
    read.integer("late-tail-bytes", 1, most, &adapter.lateTailBytes);
    read.integer("late-tail-ms", 0, most, &adapter.lateTailMs);
    c.sayRequests = read.isSet("say-requests");
    if (read.isSet("garbage-every") && c.garbageEveryMs <= 0)
        read.fail(QStringLiteral("--garbage-every needs a time above 0"));
    read.pair("reopen-after", "reopen-pause");
    read.seconds("reopen-after", &c.reopenAfterMs);
    read.seconds("reopen-pause", &c.reopenPauseMs);

    if (!read.error().isEmpty()) {
        result.error = read.error();
        return result;
    }
    result.outcome = CommandLine::Outcome::Run;
    return result;
}

QString usageText()
{
    QString text = QStringLiteral(
        "Usage: harlune-sim --port-dir DIR [options]\n"
        "\n"
        "Simulates the three-channel current instrument on a pseudo-terminal and links\n"
        "it as DIR/COM<N>. Start Harlune with HARLUNE_PORT_DIR=DIR to find it.\n"
        "Stops on Ctrl+C or SIGTERM and removes the link.\n"
        "\n"
        "Options:\n");
    for (const OptionSpec &spec : kOptions) {
        QString left = QStringLiteral("  ");
        if (spec.alias)
            left += QStringLiteral("-%1, ").arg(QLatin1String(spec.alias));
        left += QStringLiteral("--%1").arg(QLatin1String(spec.name));
        if (*spec.valueName)
            left += QLatin1Char(' ') + QLatin1String(spec.valueName);
        text += left.leftJustified(kUsageColumn - 1) + QLatin1Char(' ');
        // Descriptions wrap at word boundaries, continued in their column.
        int column = kUsageColumn;
        for (const QString &word : QString::fromLatin1(spec.description).split(QLatin1Char(' '))) {
            if (column > kUsageColumn && column + 1 + word.size() >= kUsageWidth) {
                text += QLatin1Char('\n') + QString(kUsageColumn, QLatin1Char(' '));
                column = kUsageColumn;
            } else if (column > kUsageColumn) {
                text += QLatin1Char(' ');
                ++column;
            }
            text += word;
            column += word.size();
        }
        text += QLatin1Char('\n');
    }
    return text;
}

}  // namespace sim
