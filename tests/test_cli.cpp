// harlune-cli's own parts: what its command line accepts and refuses, the
// help that documents it, and the progress texts of a read.
#include "cli/cli_options.h"
#include "cli/progress_report.h"
#include "support/languages.h"

#include <QRegularExpression>
#include <QtTest>

using cli_options::Command;
using cli_options::Seconds;
using Outcome = cli_options::Parsed::Outcome;
Q_DECLARE_METATYPE(Command)
Q_DECLARE_METATYPE(Seconds)

namespace {

cli_options::Parsed parse(const QStringList &args)
{
    return cli_options::parse(QStringList{QStringLiteral("harlune-cli")} + args);
}

}  // namespace

class CliTest : public QObject {
    Q_OBJECT
private slots:
    void accepted_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<Command>("command");
        QTest::addColumn<int>("port");
        QTest::addColumn<int>("timeoutMs");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("csv");
        // "all", or the two ends as the read-range dialog gets them
        QTest::addColumn<QString>("range");
        QTest::addColumn<Seconds>("seconds");
        QTest::newRow("find") << QStringList{"find"} << Command::Find << 0 << 10000 << 0 << false
                              << "all" << Seconds::AsInstrument;
        QTest::newRow("port and timeout before the command")
            << QStringList{"--port", "5", "--timeout", "2.5", "count"} << Command::Count << 5
            << 2500 << 0 << false << "all" << Seconds::AsInstrument;
        QTest::newRow("live, 3 lines of CSV")
            << QStringList{"--language", "en", "live", "--count", "3", "--csv"} << Command::Live
            << 0 << 10000 << 3 << true << "all" << Seconds::AsInstrument;
        QTest::newRow("read, a reversed range, without seconds")
            << QStringList{"read", "--range", "2000-1001", "-o", "out.xlsx", "--no-seconds"}
            << Command::Read << 0 << 10000 << 0 << false << "2000 1001" << Seconds::Without;
        QTest::newRow("read all to standard output, with seconds, port after the command")
            << QStringList{"read", "--all", "-o", "-", "--seconds", "--port", "16"} << Command::Read
            << 16 << 10000 << 0 << false << "all" << Seconds::With;
        QTest::newRow("read, .CSV in capitals, all by default")
            << QStringList{"read", "--output=Groups.CSV"} << Command::Read << 0 << 10000 << 0
            << false << "all" << Seconds::AsInstrument;
    }
    void accepted()
    {
        QFETCH(QStringList, args);
        const cli_options::Parsed p = parse(args);
        QCOMPARE(p.outcome, Outcome::Run);
        const cli_options::Options &o = p.options;
        QTEST(o.command, "command");
        QTEST(o.firstPort, "port");
        QTEST(o.timeoutMs, "timeoutMs");
        QTEST(o.count, "count");
        QTEST(o.csv, "csv");
        QTEST(o.all ? QStringLiteral("all") : o.rangeFrom + QLatin1Char(' ') + o.rangeTo, "range");
        QTEST(o.seconds, "seconds");
    }

    // Each mistake is told on one line that names it; nothing is run.
    void refused_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("says");
        QTest::newRow("no command") << QStringList{} << "没有给出命令";
        QTest::newRow("unknown command") << QStringList{"fetch"} << "'fetch'";
        QTest::newRow("two commands") << QStringList{"find", "count"} << "'count'";
        QTest::newRow("unknown option") << QStringList{"--frobnicate", "find"} << "frobnicate";
        QTest::newRow("port 17") << QStringList{"--port", "17", "find"} << "'17'";
        QTest::newRow("timeout 0") << QStringList{"--timeout", "0", "find"} << "--timeout";
        QTest::newRow("timeout not a number") << QStringList{"--timeout", "ten", "find"} << "'ten'";
        QTest::newRow("language fr") << QStringList{"--language", "fr", "find"} << "'fr'";
        QTest::newRow("count 0") << QStringList{"live", "--count", "0"} << "--count";
        QTest::newRow("an option of another command") << QStringList{"find", "--csv"} << "--csv";
        QTest::newRow("read without -o") << QStringList{"read", "--all"} << "-o FILE";
        QTest::newRow("unknown extension") << QStringList{"read", "-o", "out.txt"} << "'out.txt'";
        QTest::newRow("no extension") << QStringList{"read", "-o", "out"} << "'out'";
        QTest::newRow("range of one number")
            << QStringList{"read", "--range", "5", "-o", "a.xlsx"} << "'5'";
        QTest::newRow("range with a negative end")
            << QStringList{"read", "--range", "-5-10", "-o", "a.xlsx"} << "--range";
        QTest::newRow("range and all")
            << QStringList{"read", "--range", "1-2", "--all", "-o", "a.csv"} << "--all";
        QTest::newRow("seconds both ways")
            << QStringList{"read", "-o", "a.csv", "--seconds", "--no-seconds"} << "--no-seconds";
    }
    void refused()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, says);
        const cli_options::Parsed p = parse(args);
        QCOMPARE(p.outcome, Outcome::Error);
        QVERIFY2(p.text.startsWith(QStringLiteral("harlune-cli: ")), qPrintable(p.text));
        QVERIFY2(p.text.contains(says), qPrintable(p.text));
        QVERIFY(!p.text.contains(QLatin1Char('\n')));
    }

    // A mistake the parser finds is told as it was typed, with the way to
    // the help, in either language.
    void parserMistakesAsTyped_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("chinese");
        QTest::addColumn<QString>("english");
        QTest::newRow("--bogus") << QStringList{"--bogus", "find"}
                                 << "未知选项“--bogus”（见 --help）"
                                 << "unknown option “--bogus” (see --help)";
        QTest::newRow("--bogus=3")
            << QStringList{"find", "--bogus=3"} << "未知选项“--bogus”（见 --help）"
            << "unknown option “--bogus” (see --help)";
        QTest::newRow("-x") << QStringList{"-x", "find"} << "未知选项“-x”（见 --help）"
                            << "unknown option “-x” (see --help)";
    }
    void parserMistakesAsTyped()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, chinese);
        QFETCH(QString, english);
        for (const auto language : {language::Language::Chinese, language::Language::English}) {
            const language::Translators speaking(language);
            const cli_options::Parsed p = parse(args);
            QCOMPARE(p.outcome, Outcome::Error);
            QCOMPARE(p.text, QStringLiteral("harlune-cli: ")
                                 + (language == language::Language::Chinese ? chinese : english));
        }
        // A value left out is the parser's own words, with the same hint.
        const cli_options::Parsed missing = parse({"find", "--timeout"});
        QVERIFY2(missing.text.endsWith(QStringLiteral("（见 --help）")), qPrintable(missing.text));
    }

    // --timeout takes a millisecond to the most whole seconds a timer's
    // milliseconds hold, and says that range when a value is outside it.
    void timeoutRange_data()
    {
        QTest::addColumn<QString>("seconds");
        QTest::addColumn<int>("timeoutMs");  // 0: refused
        QTest::newRow("a millisecond") << "0.001" << 1;
        QTest::newRow("the longest") << "2147483" << 2147483000;
        QTest::newRow("below a millisecond") << "0.0004" << 0;
        QTest::newRow("beyond the longest") << "2147484" << 0;
        QTest::newRow("far beyond") << "1e30" << 0;
        QTest::newRow("not a number") << "nan" << 0;
        QTest::newRow("negative") << "-5" << 0;
    }
    void timeoutRange()
    {
        QFETCH(QString, seconds);
        QFETCH(int, timeoutMs);
        const cli_options::Parsed p = parse({"--timeout", seconds, "find"});
        if (timeoutMs > 0) {
            QCOMPARE(p.outcome, Outcome::Run);
            QCOMPARE(p.options.timeoutMs, timeoutMs);
            return;
        }
        QCOMPARE(p.outcome, Outcome::Error);
        QCOMPARE(p.text, QStringLiteral(
                             "harlune-cli: --timeout 需要 0.001 至 2147483 之间的秒数，不是 '%1'")
                             .arg(seconds));
        QVERIFY(parse({"--help"}).text.contains(QStringLiteral("0.001 至 2147483 秒")));
    }

    // The help names every command and every exit code, and says what each
    // option is for.
    void helpDocumentsTheInterface()
    {
        const cli_options::Parsed p = parse({QStringLiteral("--help")});
        QCOMPARE(p.outcome, Outcome::ShowHelp);
        for (const char *command : {"find", "live", "read", "count"})
            QVERIFY2(p.text.contains(QStringLiteral("\n  %1 ").arg(QLatin1String(command))),
                     command);
        for (int code :
             {cli_options::kExitSuccess, cli_options::kExitUsage, cli_options::kExitNoInstrument,
              cli_options::kExitInterrupted, cli_options::kExitNotWritten})
            QVERIFY(p.text.contains(QStringLiteral("\n  %1  ").arg(code)));
        const QRegularExpression option(QStringLiteral("\\n  (-\\w, )?--([a-z-]+)[^\\n]* {2}\\S"));
        QStringList described;
        for (const QRegularExpressionMatch &m : option.globalMatch(p.text))
            described << m.captured(2);
        for (const char *name : {"port-dir", "port", "timeout", "language", "count", "csv", "range",
                                 "all", "output", "seconds", "no-seconds", "quiet"})
            QVERIFY2(described.contains(QLatin1String(name)), name);
    }

    void progressTexts_data()
    {
        QTest::addColumn<int>("done");
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("elapsedMs");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("bar");
        QTest::newRow("at the start")
            << 0 << 2500 << 0 << "已读取 0/2500 组（0%），0 组/秒，剩余 --:--"
            << "[------------------------------]  0/2500 组    0%  0 组/秒  剩余 --:--";
        QTest::newRow("40 %")
            << 1000 << 2500 << 10000 << "已读取 1000/2500 组（40%），100 组/秒，剩余 0:15"
            << "[############------------------]  1000/2500 组   40%  100 组/秒  剩余 0:15";
        QTest::newRow("time left rounded up")
            << 12000 << 200000 << 2143 << "已读取 12000/200000 组（6%），5599 组/秒，剩余 0:34"
            << "[#-----------------------------]  12000/200000 组    6%  5599 组/秒  剩余 0:34";
        QTest::newRow("more than an hour left")
            << 1000 << 200000 << 20000 << "已读取 1000/200000 组（0%），50 组/秒，剩余 1:06:20"
            << "[------------------------------]  1000/200000 组    0%  50 组/秒  剩余 1:06:20";
        QTest::newRow("done")
            << 2500 << 2500 << 1000 << "已读取 2500/2500 组（100%），2500 组/秒，剩余 0:00"
            << "[##############################]  2500/2500 组  100%  2500 组/秒  剩余 0:00";
    }
    void progressTexts()
    {
        QFETCH(int, done);
        QFETCH(int, total);
        QFETCH(int, elapsedMs);
        QTEST(progress_text::line(done, total, elapsedMs), "line");
        QTEST(progress_text::bar(done, total, elapsedMs), "bar");
    }
};

QTEST_GUILESS_MAIN(CliTest)
#include "test_cli.moc"
