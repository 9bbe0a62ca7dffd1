// harlune-cli end to end: the program itself, run as a script runs it,
// against the simulated instrument on a pseudo-terminal. What it prints, what
// it writes (compared with the window's Save, and with what the instrument
// holds), and how it ends when the instrument, the user or the disk says no:
// with the exit code it documents, the port closed and no lock file left.
#include "core/records/amperes.h"
#include "core/records/reading_format.h"
#include "gui/plots/channel_plot.h"
#include "gui/plots/stored_chart_window.h"
#include "sim/generator.h"
#include "support/cli_process.h"
#include "support/lock_files.h"
#include "support/sheet_reader.h"
#include "support/sim_process.h"
#include "support/sim_window.h"
#include "support/tmpfs.h"
#include "support/wait.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <csignal>
#include <sys/stat.h>

#include <qcustomplot.h>

namespace {

constexpr int kPort = 3;
constexpr int kRunMs = 60000;         // far longer than any run here takes
constexpr int kTimeoutS = 2;          // --timeout of the runs that find nothing
constexpr int kLateMs = 1500;         // an end may come this much after --timeout
constexpr int kWindowReadMs = 30000;  // the window's read-out of a few thousand groups
constexpr double kMostCpuWhileWaiting = 0.25;
constexpr int kDefaultGroups = 2500;  // what the simulator holds unless told

// Faults that end a read, and how they come.
enum class Fault { None, KillSimulator, Sigint, Sigterm };
// What stands in the way of writing.
enum class Target { FolderInTheWay, NoLibreOffice, ReadOnlyDisk, FullDisk, UnknownExtension };

// A port directory with the simulator in it, a folder for the files, and
// the program, which ends first.
struct Bench {
    QTemporaryDir ports;
    QTemporaryDir files;
    SimProcess simulator;
    CliProcess cli{ports.path()};

    bool startSimulator(const QStringList &args)
    {
        return simulator.start(ports.path(), kPort, args);
    }
    // The simulator started with `simArgs`, then harlune-cli run to its end.
    bool run(const QStringList &simArgs, const QStringList &cliArgs)
    {
        return startSimulator(simArgs) && cli.run(cliArgs, kRunMs);
    }
    QString device() const { return ports.filePath(QStringLiteral("COM%1").arg(kPort)); }
    // `fault` comes to the running program.
    void bring(Fault fault)
    {
        switch (fault) {
        case Fault::None: break;
        case Fault::KillSimulator: simulator.kill(); break;
        case Fault::Sigint: cli.signal(SIGINT); break;
        case Fault::Sigterm: cli.signal(SIGTERM); break;
        }
    }
    QString file(const QString &name) const { return files.filePath(name); }
};

QStringList lines(const QString &text) { return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }

QString readText(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// A live reading's text as the window shows it.
QString shownText(const sim::Reading &r)
{
    return r.value() == sim::kOverloadValue ? QStringLiteral("OL")
                                            : reading_format::formatReading(r.value(), r.status);
}

// Where CSV fields `first` .. first + 5 (amperes, then texts) differ from
// the three readings; empty when they agree. Amperes are plain decimals that
// read back as exactly the current, empty where there is none.
QString readingsMismatch(const QStringList &fields, int first,
                         const std::array<sim::Reading, sim::kChannels> &readings)
{
    for (int c = 0; c < sim::kChannels; ++c) {
        const sim::Reading r = readings[c];
        const QString amperes = fields.value(first + c);
        const std::optional<double> expected = reading_amperes::amperes(r.value(), r.status);
        const bool plain = !amperes.contains(QLatin1Char('e'), Qt::CaseInsensitive);
        if (expected ? !plain || amperes.toDouble() != *expected : !amperes.isEmpty())
            return QStringLiteral("I%1 amperes '%2'").arg(c + 1).arg(amperes);
        const QString text = fields.value(first + sim::kChannels + c);
        if (text != shownText(r).trimmed())
            return QStringLiteral("I%1 text '%2'").arg(c + 1).arg(text);
    }
    return QString();
}

// Where a CSV line of group g differs from what the instrument holds.
QString groupMismatch(const QString &line, qint32 g, bool seconds)
{
    const sim::Record rec = sim::groupRecord(g);
    QString time = QString::asprintf("%04d-%02d-%02dT%02d:%02d", 2000 + rec[sim::kRecordYear],
                                     rec[sim::kRecordMonth], rec[sim::kRecordDay],
                                     rec[sim::kRecordHour], rec[sim::kRecordMinute]);
    if (seconds)
        time += QString::asprintf(":%02d", rec[sim::kRecordSecond]);
    const QStringList f = line.split(QLatin1Char(','));
    std::array<sim::Reading, sim::kChannels> readings;
    for (int c = 0; c < sim::kChannels; ++c)
        readings[c] = sim::recordReading(rec, c);
    QString why;
    if (f.size() != 9 || f[0] != QString::number(g) || f[1] != time
        || f[8] != QString::number(rec[sim::kRecordCharge]))
        why = QStringLiteral("fields");
    else
        why = readingsMismatch(f, 2, readings);
    return why.isEmpty() ? why : QStringLiteral("group %1, %2: %3").arg(g).arg(why, line);
}

// Empty when `csv` is the header and groups 1 .. groups, each as the instrument holds it.
QString csvMismatch(const QString &csv, qint32 groups, bool seconds)
{
    const QStringList l = lines(csv);
    if (l.value(0) != QLatin1String("group,time,i1_a,i2_a,i3_a,i1,i2,i3,charge"))
        return QStringLiteral("header '%1'").arg(l.value(0));
    if (l.size() != groups + 1)
        return QStringLiteral("%1 lines for %2 groups").arg(l.size()).arg(groups);
    for (qint32 g = 1; g <= groups; ++g) {
        const QString why = groupMismatch(l[g], g, seconds);
        if (!why.isEmpty())
            return why;
    }
    return QString();
}

// Where the chart's line of channel c differs, at group g, from the
// instrument's reading: a value in amperes, or a gap where it has none.
QString chartMismatch(const StoredChartWindow &chart, int c, qint32 g)
{
    const QCPGraphDataContainer &line = *chart.plot()->channel(c)->data();
    const auto point = line.findBegin(g, false);
    if (point == line.constEnd() || point->key != g)
        return QStringLiteral("I%1 of group %2 is not drawn").arg(c + 1).arg(g);
    const sim::Reading r = sim::recordReading(sim::groupRecord(g), c);
    const std::optional<double> amperes = reading_amperes::amperes(r.value(), r.status);
    if (amperes ? point->value != *amperes : !std::isnan(point->value))
        return QStringLiteral("I%1 of group %2 is drawn at %3").arg(c + 1).arg(g).arg(point->value);
    return QString();
}

// The last group a message of an interrupted read names, 0 for none.
qint32 lastNamed(const QString &message)
{
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("已读取第 1 至 (\\d+) 组")).match(message);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

}  // namespace

Q_DECLARE_METATYPE(Fault)
Q_DECLARE_METATYPE(Target)

class EndToEndCliTest : public QObject {
    Q_OBJECT
private slots:
    // What find, count and live print, line by line; live's readings are the
    // simulator's first three.
    void commandsPrint_data()
    {
        QTest::addColumn<QStringList>("simArgs");
        QTest::addColumn<QStringList>("cliArgs");
        QTest::addColumn<QStringList>("patterns");  // %DEVICE% stands for the port's device
        const QString device = QStringLiteral("^COM3 %DEVICE%$");
        QTest::newRow("find") << QStringList{} << QStringList{"find"} << QStringList{device};
        QTest::newRow("find, replies 60 ms late")
            << QStringList{"--reply-delay", "60"} << QStringList{"find"} << QStringList{device};
        QTest::newRow("count") << QStringList{"--groups", "1234"} << QStringList{"count"}
                               << QStringList{"^1234$"};
        QStringList live;
        for (int step = 0; step < 3; ++step) {
            QString pattern = QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3}");
            for (int c = 0; c < sim::kChannels; ++c)
                pattern +=
                    QStringLiteral("  I%1: +%2")
                        .arg(c + 1)
                        .arg(QRegularExpression::escape(shownText(sim::liveReading(step)[c])));
            live << pattern + QLatin1Char('$');
        }
        QTest::newRow("live --count 3")
            << QStringList{} << QStringList{"live", "--count", "3"} << live;
    }
    void commandsPrint()
    {
        QFETCH(QStringList, simArgs);
        QFETCH(QStringList, cliArgs);
        QFETCH(QStringList, patterns);
        Bench bench;
        QVERIFY(bench.run(simArgs, cliArgs));
        const CliProcess &cli = bench.cli;
        QCOMPARE(cli.exitCode(), 0);
        const QStringList out = lines(cli.out());
        QCOMPARE(out.size(), patterns.size());
        for (int i = 0; i < out.size(); ++i) {
            const QString pattern = QString(patterns[i])
                                        .replace(QStringLiteral("%DEVICE%"),
                                                 QRegularExpression::escape(bench.device()));
            QVERIFY2(QRegularExpression(pattern).match(out[i]).hasMatch(), qPrintable(out[i]));
        }
        QVERIFY(cli.err().isEmpty());
        QCOMPARE(lockFilesOf(bench.device()), QStringList());
    }

    // CSV on standard output: live readings, and read-outs checked field by
    // field against what the simulator holds. Progress stays on standard error.
    void csvOnStandardOutput_data()
    {
        QTest::addColumn<QStringList>("simArgs");
        QTest::addColumn<QStringList>("cliArgs");
        QTest::addColumn<int>("groups");  // 0: live
        QTest::addColumn<bool>("seconds");
        QTest::newRow("live --count 3 --csv")
            << QStringList{} << QStringList{"live", "--count", "3", "--csv"} << 0 << false;
        QTest::newRow("read --all -o -")
            << QStringList{} << QStringList{"read", "--all", "-o", "-"} << kDefaultGroups << true;
        QTest::newRow("an instrument without seconds")
            << QStringList{"--no-seconds"} << QStringList{"read", "-o", "-"} << kDefaultGroups
            << false;
        QTest::newRow("--no-seconds, a reversed range")
            << QStringList{} << QStringList{"read", "--range", "10-1", "--no-seconds", "-o", "-"}
            << 10 << false;
        QTest::newRow("--range 0-3 starts at group 1")
            << QStringList{} << QStringList{"read", "--range", "0-3", "-o", "-"} << 3 << true;
    }
    void csvOnStandardOutput()
    {
        QFETCH(QStringList, simArgs);
        QFETCH(QStringList, cliArgs);
        QFETCH(int, groups);
        QFETCH(bool, seconds);
        Bench bench;
        QVERIFY(bench.run(simArgs, cliArgs));
        const CliProcess &cli = bench.cli;
        QCOMPARE(cli.exitCode(), 0);
        if (groups > 0) {
            const QString why = csvMismatch(cli.out(), groups, seconds);
            QVERIFY2(why.isEmpty(), qPrintable(why));
            QVERIFY2(cli.err().contains(QStringLiteral("已读取 %1/%1 组").arg(groups)),
                     qPrintable(cli.err()));
            return;
        }
        const QStringList out = lines(cli.out());
        QCOMPARE(out.value(0), QStringLiteral("time,i1_a,i2_a,i3_a,i1,i2,i3"));
        QCOMPARE(out.size(), 4);
        const QRegularExpression time(
            QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}$"));
        for (int step = 0; step < 3; ++step) {
            const QStringList f = out[step + 1].split(QLatin1Char(','));
            QCOMPARE(f.size(), 7);
            QVERIFY2(time.match(f[0]).hasMatch(), qPrintable(f[0]));
            const QString why = readingsMismatch(f, 1, sim::liveReading(step));
            QVERIFY2(why.isEmpty(), qPrintable(why + QLatin1Char(' ') + out[step + 1]));
        }
    }

    // The workbook is the window's Save of the same range, cell for cell:
    // values, types, alignment, merged title and column widths.
    void workbookIsTheWindowsSave_data()
    {
        QTest::addColumn<bool>("instrumentSeconds");
        QTest::addColumn<QStringList>("cliArgs");
        QTest::addColumn<QString>("from");  // the window's range
        QTest::addColumn<QString>("to");
        QTest::addColumn<bool>("windowSeconds");
        QTest::newRow("a reversed range") << true << QStringList{"--range", "2000-1001"} << "1001"
                                          << "2000" << true;
        QTest::newRow("an instrument without seconds")
            << false << QStringList{"--range", "2000-1001"} << "1001"
            << "2000" << false;
        QTest::newRow("--no-seconds")
            << true << QStringList{"--range", "1-500", "--no-seconds"} << "1"
            << "500" << false;
        QTest::newRow("--seconds") << false << QStringList{"--range", "1-500", "--seconds"} << "1"
                                   << "500" << true;
        QTest::newRow("--all") << true << QStringList{"--all"} << "1"
                               << "2500" << true;
    }
    void workbookIsTheWindowsSave()
    {
        QFETCH(bool, instrumentSeconds);
        QFETCH(QStringList, cliArgs);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(bool, windowSeconds);
        if (const char *why = missingSheetReader())
            QSKIP(why);
        Bench bench;
        const QString ours = bench.file(QStringLiteral("cli.xlsx"));
        QVERIFY(bench.run(instrumentSeconds ? QStringList{} : QStringList{"--no-seconds"},
                          QStringList{"read"} + cliArgs + QStringList{"-o", ours}));
        QCOMPARE(bench.cli.exitCode(), 0);

        sim::SimOptions options;
        options.instrument.secondsFlag = windowSeconds;
        SimWindow w(options);
        QString why;
        QVERIFY2(w.readRange(from, to, &why), qPrintable(why));
        QVERIFY(waitUntil([&] { return !w.dialogs.messages.isEmpty(); }, kWindowReadMs));
        const QString windows = bench.file(QStringLiteral("window.xlsx"));
        w.form->exportSheet(windows);
        QCOMPARE(w.dialogs.messages.size(), 1);  // the completion's; no failure

        // The chart draws every group of them, one whose I1 reads err too.
        w.form->mnuChart_Click();
        const StoredChartWindow *chart = nullptr;
        for (QWidget *widget : QApplication::topLevelWidgets())
            chart = chart ? chart : qobject_cast<StoredChartWindow *>(widget);
        QVERIFY(chart);
        int withErr = 0;
        for (qint32 g = from.toInt(); g <= to.toInt(); ++g) {
            withErr += sim::recordReading(sim::groupRecord(g), 0).value() == sim::kErrorValue;
            for (int c = 0; c < sim::kChannels; ++c) {
                const QString why = chartMismatch(*chart, c, g);
                QVERIFY2(why.isEmpty(), qPrintable(why));
            }
        }
        QVERIFY(withErr > 0);

        const Sheet expected = readSheet(windows);
        const Sheet got = readSheet(ours);
        QCOMPARE(got.rows().size(), expected.rows().size());
        QCOMPARE(got.rows().size(), to.toInt() - from.toInt() + 3);  // title, header, groups
        for (int row = 0; row < expected.rows().size(); ++row)
            QVERIFY2(got.rows().at(row) == expected.rows().at(row),
                     qPrintable(QString::number(row)));
        QCOMPARE(got.raw, expected.raw);  // the merged title and the widths too
    }

    // Nothing answers: every command says so with exit 3 once --timeout has
    // passed, without spinning meanwhile, and read writes nothing.
    void noInstrumentExitsThree_data()
    {
        QTest::addColumn<QStringList>("cliArgs");
        QTest::addColumn<QString>("says");
        const QString chinese = QStringLiteral("没有找到仪器");
        QTest::newRow("find") << QStringList{"find"} << chinese;
        QTest::newRow("count") << QStringList{"count"} << chinese;
        QTest::newRow("live") << QStringList{"live"} << chinese;
        QTest::newRow("read") << QStringList{"read", "-o", "out.csv"} << chinese;
        QTest::newRow("read, in English")
            << QStringList{"--language", "en", "read", "-o", "out.csv"}
            << "No instrument found: nothing on COM1 to COM16 answered within";
    }
    void noInstrumentExitsThree()
    {
        QFETCH(QStringList, cliArgs);
        QFETCH(QString, says);
        Bench bench;
        CliProcess &cli = bench.cli;
        cli.setWorkingDirectory(bench.files.path());
        cli.start(QStringList{"--timeout", QString::number(kTimeoutS)} + cliArgs);
        waitUntil([] { return false; }, kTimeoutS * 1000 * 3 / 4);
        const double cpu = cli.cpuShare();
        QVERIFY(cli.finish(kRunMs));
        QCOMPARE(cli.exitCode(), 3);
        QVERIFY2(cpu >= 0 && cpu < kMostCpuWhileWaiting, qPrintable(QString::number(cpu)));
        QVERIFY(cli.elapsedMs() >= kTimeoutS * 1000);
        QVERIFY2(cli.elapsedMs() < kTimeoutS * 1000 + kLateMs,
                 qPrintable(QString::number(cli.elapsedMs())));
        QVERIFY2(cli.err().startsWith(says), qPrintable(cli.err()));
        QVERIFY(cli.out().isEmpty());
        QCOMPARE(filesIn(bench.files.path()), QStringList());
    }

    // A read that ends early writes exactly the groups that arrived, all as
    // the instrument holds them, names them, and exits 4; one that recovers
    // from a bad delivery writes them all and exits 0.
    void readEndsTruthfully_data()
    {
        QTest::addColumn<QStringList>("simArgs");
        QTest::addColumn<Fault>("fault");  // what happens once the first block is in
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("says");
        const QStringList slow{"--groups", "20000", "--line-rate"};  // about 35 s
        QTest::newRow("the simulator killed")
            << slow << Fault::KillSimulator << 4 << "读取中断：仪器已断开。已读取第 1 至 ";
        QTest::newRow("Ctrl+C") << slow << Fault::Sigint << 4
                                << "读取中断：已被中止。已读取第 1 至 ";
        QTest::newRow("SIGTERM") << slow << Fault::Sigterm << 4
                                 << "读取中断：已被中止。已读取第 1 至 ";
        QTest::newRow("the group count never comes")
            << QStringList{"--silent-on-count"} << Fault::None << 4 << "没有读到组数：仪器未应答。";
        QTest::newRow("a block with a byte too many, asked for again")
            << QStringList{"--insert-in-block", "2"} << Fault::None << 0 << "已写入 2500 组";
    }
    void readEndsTruthfully()
    {
        QFETCH(QStringList, simArgs);
        QFETCH(Fault, fault);
        QFETCH(int, exitCode);
        QFETCH(QString, says);
        Bench bench;
        QVERIFY(bench.startSimulator(simArgs));
        CliProcess &cli = bench.cli;
        const QString out = bench.file(QStringLiteral("out.csv"));
        cli.start({"--timeout", QString::number(kTimeoutS), "read", "-o", out});
        if (fault != Fault::None) {
            QVERIFY(cli.waitForError(QStringLiteral("已读取 1000/"), kRunMs));
            QVERIFY(!lockFilesOf(bench.device()).isEmpty());  // the port is in use
        }
        bench.bring(fault);
        QVERIFY(cli.finish(kRunMs));
        QVERIFY(!cli.crashed());
        QCOMPARE(cli.exitCode(), exitCode);
        QVERIFY2(cli.err().contains(says), qPrintable(cli.err()));
        const qint32 groups = exitCode == 0 ? kDefaultGroups : lastNamed(cli.err());
        QVERIFY2(cli.err().contains(QStringLiteral("已写入 %1 组").arg(groups)),
                 qPrintable(cli.err()));
        const QString why = csvMismatch(readText(out), groups, true);
        QVERIFY2(why.isEmpty(), qPrintable(why));
        QCOMPARE(lockFilesOf(bench.device()), QStringList());
    }

    // A file that cannot be written is exit 5 and leaves what was there;
    // what is known before reading is found before reading. An unknown
    // extension is bad usage, and nothing is read either.
    void unwritableTargets_data()
    {
        QTest::addColumn<Target>("target");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<bool>("reads");  // whether the read-out runs before it is found
        QTest::addColumn<QString>("says");
        QTest::newRow("a folder in the way")
            << Target::FolderInTheWay << "out.xlsx" << 5 << false << "保存失败";
        QTest::newRow(".xls without LibreOffice")
            << Target::NoLibreOffice << "out.xls" << 5 << false << "LibreOffice";
        QTest::newRow("a read-only file system")
            << Target::ReadOnlyDisk << "out.xlsx" << 5 << false << "保存失败";
        QTest::newRow("a full disk") << Target::FullDisk << "out.csv" << 5 << true << "保存失败";
        QTest::newRow("an unknown extension")
            << Target::UnknownExtension << "out.txt" << 2 << false << "扩展名未知";
    }
    void unwritableTargets()
    {
        QFETCH(Target, target);
        QFETCH(QString, name);
        QFETCH(int, exitCode);
        QFETCH(bool, reads);
        QFETCH(QString, says);
        Bench bench;
        QVERIFY(bench.startSimulator({}));
        const QString folder = bench.file(QStringLiteral("disk"));
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + QLatin1Char('/') + name;
        const QByteArray old = "the old file\n";
        std::optional<Tmpfs> disk;  // unmounted before the folder goes
        CliProcess &cli = bench.cli;
        switch (target) {
        case Target::FolderInTheWay: QVERIFY(QDir().mkpath(path)); break;
        case Target::NoLibreOffice:
            cli.environment().insert(QStringLiteral("PATH"), bench.file(QStringLiteral("none")));
            break;
        case Target::ReadOnlyDisk:
        case Target::FullDisk:
            disk.emplace(folder, target == Target::FullDisk ? "size=64k" : "size=1m");
            if (!disk->mounted())
                QSKIP(disk->refusal());
            QVERIFY(writeFile(path, old));
            if (target == Target::ReadOnlyDisk)
                QVERIFY(disk->makeReadOnly("size=1m"));
            break;
        case Target::UnknownExtension: break;
        }
        const QStringList before = filesIn(folder);
        QVERIFY(cli.run({"read", "-o", path}, kRunMs));
        QCOMPARE(cli.exitCode(), exitCode);
        QVERIFY2(cli.err().contains(says), qPrintable(cli.err()));
        QCOMPARE(cli.err().contains(QStringLiteral("已读取")), reads);
        QCOMPARE(filesIn(folder), before);
        if (disk)
            QCOMPARE(readText(path).toUtf8(), old);
        QVERIFY(target != Target::FolderInTheWay || QFileInfo(path).isDir());
        QCOMPARE(lockFilesOf(bench.device()), QStringList());
    }

    // An instrument that goes quiet during live is told lost and searched for
    // again: back in time, the lines go on; not back within --timeout, exit 3.
    void liveFollowsTheLink_data()
    {
        QTest::addColumn<QString>("silentFor");
        QTest::addColumn<QStringList>("cliArgs");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("says");
        QTest::newRow("back after 3 s")
            << "3" << QStringList{"--timeout", "10", "live", "--count", "6"} << 0
            << "已重新连接：COM3";
        QTest::newRow("not back") << "60" << QStringList{"--timeout", "2", "live"} << 3
                                  << "没有找到仪器";
    }
    void liveFollowsTheLink()
    {
        QFETCH(QString, silentFor);
        QFETCH(QStringList, cliArgs);
        QFETCH(int, exitCode);
        QFETCH(QString, says);
        Bench bench;
        QVERIFY(bench.run({"--silent-after", "1.2", "--silent-for", silentFor}, cliArgs));
        QCOMPARE(bench.cli.exitCode(), exitCode);
        const QString err = bench.cli.err();
        QVERIFY2(err.startsWith(QStringLiteral("仪器连接中断，正在重新查找")), qPrintable(err));
        QVERIFY2(err.contains(says), qPrintable(err));
        QVERIFY(!lines(bench.cli.out()).isEmpty());
        if (exitCode == 0)
            QCOMPARE(lines(bench.cli.out()).size(), 6);
        QCOMPARE(lockFilesOf(bench.device()), QStringList());
    }

    // A signal ends every command with the code the help gives: live
    // without --count has no other end, so it ends there with 0; anything
    // stopped before it had done what was asked ends with 4.
    void signalsEndAsDocumented_data()
    {
        QTest::addColumn<QStringList>("simArgs");  // none: no instrument
        QTest::addColumn<QStringList>("cliArgs");
        QTest::addColumn<int>("signal");
        QTest::addColumn<int>("exitCode");
        const QStringList instrument{"--groups", "100"};
        for (const auto &[name, signal] :
             {std::pair{"SIGINT", SIGINT}, std::pair{"SIGTERM", SIGTERM},
              std::pair{"SIGHUP", SIGHUP}}) {
            QTest::addRow("live, %s", name) << instrument << QStringList{"live"} << signal << 0;
            QTest::addRow("live --count 100, %s", name)
                << instrument << QStringList{"live", "--count", "100"} << signal << 4;
        }
        QTest::newRow("find, searching, SIGTERM")
            << QStringList() << QStringList{"--timeout", "60", "find"} << int(SIGTERM) << 4;
        QTest::newRow("count, no count yet, SIGHUP")
            << QStringList{"--silent-on-count"} << QStringList{"--timeout", "60", "count"}
            << int(SIGHUP) << 4;
    }
    void signalsEndAsDocumented()
    {
        QFETCH(QStringList, simArgs);
        QFETCH(QStringList, cliArgs);
        QFETCH(int, signal);
        QFETCH(int, exitCode);
        Bench bench;
        if (!simArgs.isEmpty())
            QVERIFY(bench.startSimulator(simArgs));
        CliProcess &cli = bench.cli;
        cli.start(cliArgs);
        if (cliArgs.contains(QStringLiteral("live")))
            QVERIFY(waitUntil([&] { return lines(cli.out()).size() >= 2; }, kRunMs));
        else
            waitUntil([] { return false; }, 1000);  // searching, or waiting for the count
        cli.signal(signal);
        QVERIFY(cli.finish(kRunMs));
        QVERIFY(!cli.crashed());
        QCOMPARE(cli.exitCode(), exitCode);
        QCOMPARE(cli.err().contains(QStringLiteral("已被中止")), exitCode == 4);
        QCOMPARE(lockFilesOf(bench.device()), QStringList());
    }

    // Standard output that goes nowhere: a reader that closed it ends every
    // command quietly with 0; a full disk is a message and exit 5.
    void standardOutputFailures_data()
    {
        QTest::addColumn<QStringList>("simArgs");
        QTest::addColumn<QStringList>("cliArgs");
        QTest::addColumn<bool>("readerGone");  // else /dev/full
        const QStringList commands[] = {{"find"},
                                        {"count"},
                                        {"live"},
                                        {"live", "--csv"},
                                        {"read", "--all", "--quiet", "-o", "-"}};
        for (const QStringList &command : commands) {
            const QByteArray name = command.join(QLatin1Char(' ')).toUtf8();
            QTest::addRow("%s, a closed pipe", name.constData())
                << QStringList{} << command << true;
            QTest::addRow("%s, /dev/full", name.constData()) << QStringList{} << command << false;
        }
    }
    void standardOutputFailures()
    {
        QFETCH(QStringList, simArgs);
        QFETCH(QStringList, cliArgs);
        QFETCH(bool, readerGone);
        Bench bench;
        QVERIFY(bench.startSimulator(simArgs));
        CliProcess &cli = bench.cli;
        if (readerGone)
            QVERIFY(cli.setOutputReaderGone());
        else
            cli.setOutputFile(QStringLiteral("/dev/full"));
        QVERIFY(cli.run(cliArgs, kRunMs));
        QVERIFY(!cli.crashed());
        if (readerGone) {
            QCOMPARE(cli.exitCode(), 0);
            QCOMPARE(cli.err(), QString());
        } else {
            QCOMPARE(cli.exitCode(), 5);
            QCOMPARE(cli.err(), QStringLiteral("写入标准输出时出错：磁盘空间不足\n"));
        }
        QCOMPARE(lockFilesOf(bench.device()), QStringList());
    }

    // A file the user already has is replaced only by a whole result: a read
    // with no groups keeps it byte for byte, and one that ends early writes
    // what arrived beside it and says so. Where there was no file, it holds
    // what arrived.
    void usersFileIsKept_data()
    {
        QTest::addColumn<QStringList>("simArgs");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("before");  // files there before the run
        QTest::addColumn<Fault>("fault");         // once the first block is in; Sigint: at once
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("written");  // where the groups went; empty: nowhere
        QTest::addColumn<QString>("says");
        const QStringList noCount{"--silent-on-count"};
        const QStringList slow{"--groups", "20000", "--line-rate"};
        QTest::newRow("no count, a CSV")
            << noCount << "data.csv" << QStringList{"data.csv"} << Fault::None << 4 << ""
            << "没有读到数据组，原有文件“%1”保持不变。";
        QTest::newRow("no count, a workbook")
            << noCount << "data.xlsx" << QStringList{"data.xlsx"} << Fault::None << 4 << ""
            << "没有读到数据组，原有文件“%1”保持不变。";
        QTest::newRow("Ctrl+C before the first block")
            << noCount << "data.csv" << QStringList{"data.csv"} << Fault::Sigint << 4 << ""
            << "读取中断：已被中止。没有读到任何数据组。";
        QTest::newRow("a range without groups")
            << QStringList{} << "data.csv" << QStringList{"data.csv"} << Fault::None << 0 << ""
            << "所选范围内没有已存储的数据组。";
        QTest::newRow("ended early: beside it") << slow << "data.csv" << QStringList{"data.csv"}
                                                << Fault::KillSimulator << 4 << "data.partial.csv"
                                                << "（读取没有完成，原有文件“%1”保持不变）";
        QTest::newRow("ended early, the partial name taken")
            << slow << "data.xlsx" << QStringList{"data.xlsx", "data.partial.xlsx"}
            << Fault::Sigterm << 4 << "data.partial-2.xlsx"
            << "（读取没有完成，原有文件“%1”保持不变）";
        QTest::newRow("complete: the file is replaced")
            << QStringList{} << "data.csv" << QStringList{"data.csv"} << Fault::None << 0
            << "data.csv"
            << "已写入 2500 组";
    }
    void usersFileIsKept()
    {
        QFETCH(QStringList, simArgs);
        QFETCH(QString, name);
        QFETCH(QStringList, before);
        QFETCH(Fault, fault);
        QFETCH(int, exitCode);
        QFETCH(QString, written);
        QFETCH(QString, says);
        const bool workbook = name.endsWith(QLatin1String(".xlsx"));
        if (workbook && !written.isEmpty()) {
            if (const char *why = missingSheetReader())
                QSKIP(why);
        }
        Bench bench;
        QVERIFY(bench.startSimulator(simArgs));
        QMap<QString, QByteArray> old;
        for (const QString &file : before) {
            old[file] = "the user's " + file.toUtf8() + '\n' + QByteArray(179 * 1024, 'x');
            QVERIFY(writeFile(bench.file(file), old[file]));
        }
        const QString path = bench.file(name);
        // Stopped while waiting for the count: a wait far longer than the test's.
        const bool stoppedEarly = fault == Fault::Sigint && simArgs.contains("--silent-on-count");
        QStringList cliArgs{"--timeout", QString::number(stoppedEarly ? kRunMs / 1000 : kTimeoutS),
                            "read", "-o", path};
        if (QTest::currentDataTag() == QByteArray("a range without groups"))
            cliArgs << "--range"
                    << "3000-4000";
        CliProcess &cli = bench.cli;
        cli.start(cliArgs);
        if (stoppedEarly)
            waitUntil([] { return false; }, 1000);
        else if (fault != Fault::None)
            QVERIFY(cli.waitForError(QStringLiteral("已读取 1000/"), kRunMs));
        bench.bring(fault);
        QVERIFY(cli.finish(kRunMs));
        QCOMPARE(cli.exitCode(), exitCode);
        if (says.contains(QLatin1String("%1")))
            says = says.arg(QDir::toNativeSeparators(path));
        QVERIFY2(cli.err().contains(says), qPrintable(cli.err()));

        // The user's files as they were, and the groups only where told.
        QStringList expected = before;
        if (!written.isEmpty() && !expected.contains(written))
            expected << written;
        expected.sort();
        QCOMPARE(filesIn(bench.files.path()), expected);
        for (const QString &file : before) {
            if (file != written)
                QVERIFY2(readText(bench.file(file)).toUtf8() == old[file], qPrintable(file));
        }
        if (written.isEmpty())
            return;
        const qint32 groups = exitCode == 0 ? kDefaultGroups : lastNamed(cli.err());
        QVERIFY2(cli.err().contains(QStringLiteral("已写入 %1 组：%2")
                                        .arg(groups)
                                        .arg(QDir::toNativeSeparators(bench.file(written)))),
                 qPrintable(cli.err()));
        if (workbook) {
            QCOMPARE(readSheet(bench.file(written)).rows().size(), groups + 2);
        } else {
            const QString why = csvMismatch(readText(bench.file(written)), groups, true);
            QVERIFY2(why.isEmpty(), qPrintable(why));
        }
    }

    // A named pipe or a device as -o is written into, not replaced: the
    // reader at the pipe's other end gets the groups.
    void streamsAreWrittenInto_data()
    {
        QTest::addColumn<QString>("target");  // %FIFO% stands for a named pipe
        QTest::newRow("a named pipe") << "%FIFO%";
        QTest::newRow("a named pipe named .csv") << "%FIFO%.csv";
        QTest::newRow("a character device") << "/dev/null";
    }
    void streamsAreWrittenInto()
    {
        QFETCH(QString, target);
        Bench bench;
        QVERIFY(bench.startSimulator({}));
        const bool fifo = target.startsWith(QLatin1String("%FIFO%"));
        const QString path = target.replace(QStringLiteral("%FIFO%"), bench.file("pipe"));
        QProcess reader;
        if (fifo) {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
            reader.start(QStringLiteral("cat"), {path});
            QVERIFY(reader.waitForStarted());
        }
        QVERIFY(bench.cli.run({"read", "--range", "1-10", "-o", path}, kRunMs));
        QCOMPARE(bench.cli.exitCode(), 0);
        QVERIFY2(bench.cli.err().contains(QStringLiteral("已写入 10 组：") + path),
                 qPrintable(bench.cli.err()));
        struct stat info {};
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &info), 0);
        QVERIFY(fifo ? S_ISFIFO(info.st_mode) : S_ISCHR(info.st_mode));
        // No file in its place, and none beside it (a pipe is no file to list).
        QCOMPARE(filesIn(bench.files.path()), QStringList{});
        if (fifo) {
            QVERIFY(reader.state() == QProcess::NotRunning || reader.waitForFinished(kRunMs));
            const QString why =
                csvMismatch(QString::fromUtf8(reader.readAllStandardOutput()), 10, true);
            QVERIFY2(why.isEmpty(), qPrintable(why));
        }
    }

    // A count that never comes is told as such, not as a read that was never asked for.
    void countThatNeverComesSpeaksOfTheCount()
    {
        Bench bench;
        QVERIFY(
            bench.run({"--silent-on-count"}, {"--timeout", QString::number(kTimeoutS), "count"}));
        QCOMPARE(bench.cli.exitCode(), 4);
        QCOMPARE(bench.cli.err(), QStringLiteral("没有读到组数：仪器未应答。\n"));
        QCOMPARE(bench.cli.out(), QString());
    }

    // Nothing found: what each port that answered otherwise said, one line
    // each, rather than that none answered.
    void nothingFoundNamesEachPort()
    {
        Bench bench;
        QVERIFY(bench.startSimulator({"--talker", "long"}));
        SimProcess random;
        QVERIFY(random.start(bench.ports.path(), 5, {"--talker", "random"}));
        CliProcess &cli = bench.cli;
        QVERIFY(cli.run({"--timeout", QString::number(kTimeoutS), "find"}, kRunMs));
        QCOMPARE(cli.exitCode(), 3);
        const QStringList said = cli.err().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(
            said.value(0),
            QStringLiteral("没有找到仪器：%1 秒内本仪器没有在 COM1 至 COM16 上应答。各端口的情况：")
                .arg(kTimeoutS));
        QCOMPARE(said.mid(1),
                 (QStringList{
                     QStringLiteral("  COM3 = %1：不是本仪器").arg(bench.device()),
                     QStringLiteral("  COM5 = %1：不是本仪器").arg(bench.ports.filePath("COM5"))}));
    }
};

QTEST_MAIN(EndToEndCliTest)
#include "test_e2e_cli.moc"
