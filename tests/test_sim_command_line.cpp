// harlune-sim's command line, and the program itself: it links the port, and
// removes the link again when it is told to stop.
#include "sim/command_line.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

using Outcome = sim::CommandLine::Outcome;

namespace {

sim::CommandLine parse(const QStringList &args)
{
    return sim::parseCommandLine(QStringList{QStringLiteral("harlune-sim")} + args);
}

QString simulatorPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/harlune-sim");
}

constexpr int kStartMs = 5000;

}  // namespace

class SimCommandLineTest : public QObject {
    Q_OBJECT
private slots:
    void defaults()
    {
        const sim::CommandLine cl = parse({"--port-dir", "/tmp/ports"});
        QCOMPARE(cl.outcome, Outcome::Run);
        const sim::SimConfig &c = cl.config;
        QCOMPARE(c.portDir, QStringLiteral("/tmp/ports"));
        QCOMPARE(c.port, 3);
        QCOMPARE(c.options.instrument.groups, 2500);
        QVERIFY(c.options.instrument.secondsFlag);
        QVERIFY(!c.options.instrument.countUnanswered);
        const sim::BlockFaults &f = c.options.instrument.faults;
        for (int k :
             {f.silentOn, f.silentFrom, f.strayBefore, f.insertIn, f.dropFrom, f.slow, f.lateTwice})
            QCOMPARE(k, 0);
        QCOMPARE(f.slowMs, 33000);
        QVERIFY(!c.options.lineRate);
        QVERIFY(c.silentAfterMs < 0);
        QCOMPARE(c.garbageEveryMs, 0);
        QVERIFY(c.reopenAfterMs < 0);
    }

    void everyOption()
    {
        const sim::CommandLine cl = parse({"--port-dir=/d",
                                           "--port",
                                           "5",
                                           "--groups",
                                           "200000",
                                           "--no-seconds",
                                           "--line-rate",
                                           "--silent-after",
                                           "2.5",
                                           "--silent-for",
                                           "4",
                                           "--silent-on-block",
                                           "3",
                                           "--silent-on-count",
                                           "--garbage-every",
                                           "0.25",
                                           "--reopen-after",
                                           "10",
                                           "--reopen-pause",
                                           "1.5",
                                           "--turnaround",
                                           "0",
                                           "--silent-from-block",
                                           "4",
                                           "--stray-before-block",
                                           "5",
                                           "--insert-in-block",
                                           "6",
                                           "--drop-from-block",
                                           "7",
                                           "--slow-block",
                                           "8",
                                           "--late-twice-block",
                                           "9",
                                           "--slow-ms",
                                           "1200",
                                           "--reply-delay",
                                           "40",
                                           "--talker",
                                           "long"});
        QCOMPARE(cl.outcome, Outcome::Run);
        const sim::SimConfig &c = cl.config;
        QCOMPARE(c.portDir, QStringLiteral("/d"));
        QCOMPARE(c.port, 5);
        QCOMPARE(c.options.instrument.groups, 200000);
        QVERIFY(!c.options.instrument.secondsFlag);
        QVERIFY(c.options.instrument.countUnanswered);
        QVERIFY(c.options.lineRate);
        QCOMPARE(c.silentAfterMs, 2500);
        QCOMPARE(c.silentForMs, 4000);
        const sim::BlockFaults &f = c.options.instrument.faults;
        QCOMPARE((QList<int>{f.silentOn, f.silentFrom, f.strayBefore, f.insertIn, f.dropFrom,
                             f.slow, f.lateTwice, f.slowMs}),
                 (QList<int>{3, 4, 5, 6, 7, 8, 9, 1200}));
        QCOMPARE(c.garbageEveryMs, 250);
        QCOMPARE(c.reopenAfterMs, 10000);
        QCOMPARE(c.reopenPauseMs, 1500);
        QCOMPARE(c.options.turnaroundMs, 0);
        QCOMPARE(c.options.instrument.replyDelayMs, 40);
        QCOMPARE(int(c.options.instrument.talker), int(sim::Talker::Long));
    }

    void rejected_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no port dir") << QStringList{"--port", "3"};
        QTest::newRow("too many groups") << QStringList{"--port-dir", "/d", "--groups", "200001"};
        QTest::newRow("negative groups") << QStringList{"--port-dir", "/d", "--groups", "-1"};
        QTest::newRow("port 0") << QStringList{"--port-dir", "/d", "--port", "0"};
        QTest::newRow("port not a number") << QStringList{"--port-dir", "/d", "--port", "x"};
        QTest::newRow("silent-after alone")
            << QStringList{"--port-dir", "/d", "--silent-after", "1"};
        QTest::newRow("reopen-pause alone")
            << QStringList{"--port-dir", "/d", "--reopen-pause", "1"};
        QTest::newRow("negative time")
            << QStringList{"--port-dir", "/d", "--silent-after", "-1", "--silent-for", "1"};
        QTest::newRow("garbage every 0") << QStringList{"--port-dir", "/d", "--garbage-every", "0"};
        QTest::newRow("block 0") << QStringList{"--port-dir", "/d", "--silent-on-block", "0"};
        QTest::newRow("drop from block 0")
            << QStringList{"--port-dir", "/d", "--drop-from-block", "0"};
        QTest::newRow("negative slow-ms") << QStringList{"--port-dir", "/d", "--slow-ms", "-5"};
        QTest::newRow("unknown option") << QStringList{"--port-dir", "/d", "--fast"};
        QTest::newRow("stray argument") << QStringList{"--port-dir", "/d", "COM3"};
        QTest::newRow("unknown talker") << QStringList{"--port-dir", "/d", "--talker", "gps"};
        QTest::newRow("negative reply delay")
            << QStringList{"--port-dir", "/d", "--reply-delay", "-1"};
    }
    void rejected()
    {
        QFETCH(QStringList, args);
        const sim::CommandLine cl = parse(args);
        QCOMPARE(cl.outcome, Outcome::Error);
        QVERIFY(!cl.error.isEmpty());
    }

    void help()
    {
        QCOMPARE(parse({"--help"}).outcome, Outcome::ShowHelp);
        QCOMPARE(parse({"-h"}).outcome, Outcome::ShowHelp);
        const QString usage = sim::usageText();
        for (const char *option : {"--port-dir",
                                   "--port ",
                                   "--groups",
                                   "--no-seconds",
                                   "--line-rate",
                                   "--silent-after",
                                   "--silent-for",
                                   "--silent-on-block",
                                   "--garbage-every",
                                   "--reopen-after",
                                   "--reopen-pause",
                                   "--turnaround",
                                   "--silent-from-block",
                                   "--stray-before-block",
                                   "--insert-in-block",
                                   "--drop-from-block",
                                   "--slow-block",
                                   "--late-twice-block",
                                   "--slow-ms",
                                   "--reply-delay",
                                   "--talker"})
            QVERIFY2(usage.contains(QLatin1String(option)), option);
    }

    // ---- the program ------------------------------------------------------------

    void programLinksAndCleansUpOnSignal_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
    }
    void programLinksAndCleansUpOnSignal()
    {
        QFETCH(int, signal);
        if (!QFileInfo::exists(simulatorPath()))
            QSKIP("harlune-sim is not built next to the tests");
        QTemporaryDir dir;
        QProcess program;
        program.start(simulatorPath(), {"--port-dir", dir.path(), "--port", "4"});
        QVERIFY(program.waitForStarted(kStartMs));
        QTRY_VERIFY_WITH_TIMEOUT(program.canReadLine(), kStartMs);
        const QString line = QString::fromLocal8Bit(program.readLine()).trimmed();
        const QString link = dir.filePath(QStringLiteral("COM4"));
        QVERIFY(QFileInfo(link).isSymLink());
        const QString device = QFileInfo(link).symLinkTarget();
        QVERIFY2(line.contains(QStringLiteral("COM4")) && line.contains(device), qPrintable(line));

        ::kill(static_cast<pid_t>(program.processId()), signal);
        QVERIFY(program.waitForFinished(kStartMs));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(!QFileInfo(link).isSymLink());
    }

    void programRefusesBadArguments()
    {
        if (!QFileInfo::exists(simulatorPath()))
            QSKIP("harlune-sim is not built next to the tests");
        QProcess program;
        program.start(simulatorPath(), {"--groups", "5"});
        QVERIFY(program.waitForFinished(kStartMs));
        QCOMPARE(program.exitCode(), 2);
        QVERIFY(program.readAllStandardError().contains("--port-dir"));
    }
};

QTEST_GUILESS_MAIN(SimCommandLineTest)
#include "test_sim_command_line.moc"
