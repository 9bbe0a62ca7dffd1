// Harlune's command line: what it accepts and rejects, and what the accepted
// options do to the port map and the port search.
#include "app/command_line.h"
#include "core/port_options.h"
#include "gui/form1.h"
#include "platform/mscomm.h"
#include "platform/port_map.h"
#include "support/fake_serial_io.h"
#include "support/instrument_testing.h"
#include "support/languages.h"
#include "support/recording_ui.h"

#include <QComboBox>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using Outcome = command_line::Parsed::Outcome;

namespace {

command_line::Parsed parse(const QStringList &args)
{
    return command_line::parse(QStringList{QStringLiteral("harlune")} + args);
}

// A window over a fake port, built like main() builds it: the command line
// is applied between construction and Form_Load. The devices in `present` open.
struct StartedWindow {
    explicit StartedWindow(const command_line::Options &options, const QStringList &present = {})
    {
        auto fake = std::make_unique<FakeSerialIo>();
        io = fake.get();
        io->presentDevices = present;
        core = std::make_unique<Instrument>(std::move(fake), Instrument::Timing::Manual);
        form = std::make_unique<Form1>(core.get(), &dialogs);
        port_options::apply(options, *core);
        form->Form_Load();
    }

    FakeSerialIo *io;  // owned by core
    std::unique_ptr<Instrument> core;
    RecordingUi dialogs;
    std::unique_ptr<Form1> form;
};

}  // namespace

class CommandLineTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup()
    {
        port_map::setPortDir(QString());
        qunsetenv("HARLUNE_PORT_DIR");
    }

    void noOptionsRunsWithTheDefaults()
    {
        const command_line::Parsed p = parse({});
        QCOMPARE(p.outcome, Outcome::Run);
        QVERIFY(p.options.portDir.isEmpty());
        QCOMPARE(p.options.firstPort, 0);
    }

    void portInRange_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("port");
        QTest::newRow("lowest") << QStringList{"--port", "1"} << 1;
        QTest::newRow("highest") << QStringList{"--port", "16"} << 16;
        QTest::newRow("with =") << QStringList{"--port=7"} << 7;
    }
    void portInRange()
    {
        QFETCH(QStringList, args);
        QFETCH(int, port);
        const command_line::Parsed p = parse(args);
        QCOMPARE(p.outcome, Outcome::Run);
        QCOMPARE(p.options.firstPort, port);
    }

    // Anything outside 1 to 16 is refused on one line that names the option
    // and the value, never clamped into a port the user did not ask for.
    void portOutOfRange_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("0") << "0";
        QTest::newRow("17") << "17";
        QTest::newRow("negative") << "-3";
        QTest::newRow("fraction") << "2.5";
        QTest::newRow("not a number") << "COM3";
        QTest::newRow("empty") << "";
    }
    void portOutOfRange()
    {
        QFETCH(QString, value);
        const command_line::Parsed p = parse({QStringLiteral("--port"), value});
        QCOMPARE(p.outcome, Outcome::Error);
        QVERIFY2(p.text.startsWith(QStringLiteral("harlune: --port ")), qPrintable(p.text));
        QVERIFY2(p.text.contains(QStringLiteral("'%1'").arg(value)), qPrintable(p.text));
        QVERIFY(!p.text.contains(QLatin1Char('\n')));
    }

    // Qt's own options pass through to QApplication, written with one dash.
    void qtOptionsPassThrough()
    {
        const command_line::Parsed p =
            parse({"-platform", "offscreen", "-style", "fusion", "-reverse", "--port", "3"});
        QCOMPARE(p.outcome, Outcome::Run);
        QVERIFY(p.options.qtDisplayOption);
        QCOMPARE(p.options.firstPort, 3);
    }

    void portDirBecomesAbsolute()
    {
        QTemporaryDir dir;
        const QString relative = QDir::current().relativeFilePath(dir.path());
        const command_line::Parsed p = parse({QStringLiteral("--port-dir"), relative});
        QCOMPARE(p.outcome, Outcome::Run);
        QCOMPARE(p.options.portDir, QFileInfo(dir.path()).absoluteFilePath());
    }

    void portDirMustBeADirectory()
    {
        QTemporaryDir dir;
        const QString missing = dir.filePath(QStringLiteral("gone"));
        const command_line::Parsed p = parse({QStringLiteral("--port-dir"), missing});
        QCOMPARE(p.outcome, Outcome::Error);
        QVERIFY2(p.text.contains(missing), qPrintable(p.text));
    }

    void wrongArguments_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("said");
        QTest::newRow("unknown option") << QStringList{"--baud", "9600"} << "baud";
        QTest::newRow("missing value") << QStringList{"--port"} << "port";
        QTest::newRow("stray argument") << QStringList{"COM3"} << "COM3";
        QTest::newRow("unknown one-dash word") << QStringList{"-verbose"} << "verbose";
    }
    void wrongArguments()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, said);
        const command_line::Parsed p = parse(args);
        QCOMPARE(p.outcome, Outcome::Error);
        QVERIFY2(p.text.startsWith(QStringLiteral("harlune: ")), qPrintable(p.text));
        QVERIFY2(p.text.contains(said), qPrintable(p.text));
        QVERIFY(!p.text.contains(QLatin1Char('\n')));
    }

    // Help and version answer before anything else is checked.
    void helpAndVersion_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("outcome");
        QTest::newRow("--help") << QStringList{"--help"} << int(Outcome::ShowHelp);
        QTest::newRow("-h") << QStringList{"-h"} << int(Outcome::ShowHelp);
        QTest::newRow("help beside a bad port")
            << QStringList{"--port", "99", "--help"} << int(Outcome::ShowHelp);
        QTest::newRow("--version") << QStringList{"--version"} << int(Outcome::ShowVersion);
        QTest::newRow("-v") << QStringList{"-v"} << int(Outcome::ShowVersion);
    }
    void helpAndVersion()
    {
        QFETCH(QStringList, args);
        QFETCH(int, outcome);
        QCOMPARE(int(parse(args).outcome), outcome);
    }

    // The help is in the language of the translators installed when the
    // command line is read: Chinese, its source texts, or English.
    void helpNamesTheProgramAndItsOptions_data() { languages::addRows(); }
    void helpNamesTheProgramAndItsOptions()
    {
        QFETCH(language::Language, language);
        const language::Translators speaking(language);
        const QString help = parse({QStringLiteral("--help")}).text;
        if (language == language::Language::English)
            QVERIFY2(help.startsWith(QStringLiteral("Usage: harlune [options]\n")),
                     qPrintable(help));
        else
            QVERIFY2(help.startsWith(QStringLiteral("用法：harlune [选项]\n")), qPrintable(help));
        for (const char *option : {"--port-dir <dir>", "--port <n>", "--help", "--version",
                                   "HARLUNE_PORT_DIR", "--language <zh|en>", "HARLUNE_LANGUAGE"})
            QVERIFY2(help.contains(QLatin1String(option)), option);
        QVERIFY(!help.contains(QStringLiteral("--help-all")));
    }

    // The language is known also when the command line is wrong, so that what
    // is wrong is told in it; a wrong language is wrong, but help still answers.
    void languageOfAWrongCommandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<bool>("english");
        QTest::newRow("unknown option")
            << QStringList{"--baud", "9", "--language=en"} << int(Outcome::Error) << true;
        QTest::newRow("bad port") << QStringList{"--language", "en", "--port", "0"}
                                  << int(Outcome::Error) << true;
        QTest::newRow("help beside no language")
            << QStringList{"--language", "fr", "--help"} << int(Outcome::ShowHelp) << false;
    }
    void languageOfAWrongCommandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(int, outcome);
        QFETCH(bool, english);
        const command_line::Parsed p = command_line::parse(
            QStringList{QStringLiteral("harlune")} + args, QProcessEnvironment());
        QCOMPARE(int(p.outcome), outcome);
        QCOMPARE(p.options.language == language::Language::English, english);
    }

    void portDirWinsOverTheEnvironment()
    {
        QTemporaryDir fromEnvironment;
        QTemporaryDir fromCommandLine;
        qputenv("HARLUNE_PORT_DIR", fromEnvironment.path().toLocal8Bit());
        QCOMPARE(port_map::deviceFor(3), QDir(fromEnvironment.path()).filePath("COM3"));

        const command_line::Parsed p =
            parse({QStringLiteral("--port-dir"), fromCommandLine.path()});
        StartedWindow w(p.options);
        QCOMPARE(port_map::deviceFor(3), QDir(fromCommandLine.path()).filePath("COM3"));
        QCOMPARE(w.io->openAttempts, QStringList{QDir(fromCommandLine.path()).filePath("COM1")});
    }

    void withoutPortDirTheEnvironmentStillCounts()
    {
        QTemporaryDir fromEnvironment;
        qputenv("HARLUNE_PORT_DIR", fromEnvironment.path().toLocal8Bit());
        StartedWindow w(parse({}).options);
        QCOMPARE(port_map::deviceFor(5), QDir(fromEnvironment.path()).filePath("COM5"));
    }

    void comboStartsBeforeTheFirstPort_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<QString>("combo");
        QTest::newRow("1 wraps back to 16") << 1 << "16";
        QTest::newRow("2") << 2 << "1";
        QTest::newRow("9") << 9 << "8";
        QTest::newRow("16") << 16 << "15";
    }
    void comboStartsBeforeTheFirstPort()
    {
        QFETCH(int, first);
        QFETCH(QString, combo);
        QCOMPARE(QString::number(port_options::portBefore(first)), combo);
    }

    // With --port N the search's first probe goes to port N, then on to the
    // numbers after it, for every N the option takes.
    void firstProbeGoesToThePortAsked_data()
    {
        QTest::addColumn<int>("first");
        for (int n = 1; n <= 16; ++n)
            QTest::addRow("port %d", n) << n;
    }
    void firstProbeGoesToThePortAsked()
    {
        QFETCH(int, first);
        QTemporaryDir ports;
        const auto device = [&](int n) {
            return QDir(ports.path()).filePath(QStringLiteral("COM%1").arg(n));
        };
        QStringList all;
        for (int n = 1; n <= 16; ++n)
            all << device(n);
        StartedWindow w(parse({QStringLiteral("--port-dir"), ports.path(), QStringLiteral("--port"),
                               QString::number(first)})
                            .options,
                        all);
        QCOMPARE(w.io->openDevice, device(first == 1 ? 16 : first - 1));
        QVERIFY(w.io->writes.isEmpty());  // start-up opens a port without probing it

        testing(w.core).Timer2_Timer();
        QCOMPARE(w.io->openDevice, device(first));
        QCOMPARE(w.io->writes.size(), 1);

        testing(w.core).probeWindow().fire();  // the probe went unanswered
        testing(w.core).Timer2_Timer();
        QCOMPARE(w.io->openAttempts.last(), device(first == 16 ? 1 : first + 1));
    }

    // Without --port nothing changes: Combo1 starts at 1, start-up opens
    // COM1 without probing, and the search probes 2 first.
    void withoutPortTheStartIsUnchanged()
    {
        QTemporaryDir ports;
        StartedWindow w(parse({QStringLiteral("--port-dir"), ports.path()}).options);
        QCOMPARE(int(w.core->port()), 1);
        QCOMPARE(w.io->openAttempts, QStringList{QDir(ports.path()).filePath("COM1")});
        testing(w.core).Timer2_Timer();
        QCOMPARE(w.io->openAttempts.last(), QDir(ports.path()).filePath("COM2"));
    }

    void displayIsNamed_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<bool>("named");
        QTest::newRow("nothing") << QStringList{} << QStringList{"HOME=/root"} << false;
        QTest::newRow("empty DISPLAY") << QStringList{} << QStringList{"DISPLAY="} << false;
        QTest::newRow("X11") << QStringList{} << QStringList{"DISPLAY=:0"} << true;
        QTest::newRow("Wayland") << QStringList{} << QStringList{"WAYLAND_DISPLAY=wayland-0"}
                                 << true;
        QTest::newRow("platform variable")
            << QStringList{} << QStringList{"QT_QPA_PLATFORM=offscreen"} << true;
        QTest::newRow("-platform")
            << QStringList{"-platform", "offscreen"} << QStringList{} << true;
        QTest::newRow("-display") << QStringList{"-display", ":1"} << QStringList{} << true;
        QTest::newRow("other Qt option")
            << QStringList{"-style", "fusion"} << QStringList{} << false;
    }
    void displayIsNamed()
    {
        QFETCH(QStringList, args);
        QFETCH(QStringList, environment);
        QFETCH(bool, named);
        QProcessEnvironment env;
        for (const QString &entry : environment)
            env.insert(entry.section(QLatin1Char('='), 0, 0), entry.section(QLatin1Char('='), 1));
        QCOMPARE(command_line::namesDisplay(parse(args).options, env), named);
    }
};

QTEST_MAIN(CommandLineTest)
#include "test_command_line.moc"
