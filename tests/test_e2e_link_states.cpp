// End to end through pseudo-terminals: the link never stalls where it used
// to. Read before the instrument is there, an instrument that never answers
// the group count, and one unplugged while its count is awaited and plugged
// in on another port: in the window and in harlune-cli, the search and the
// live poll take up their work again, and the user hears why.
#include "gui/panel_status_bar.h"
#include "support/cli_process.h"
#include "support/sim_process.h"
#include "support/sim_window.h"
#include "support/wait.h"

#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int kWithinMs = 10000;  // found again, or polling live again
constexpr int kCliRunMs = 30000;
constexpr int kLatePlugMs = 1000;  // the instrument comes after Read
constexpr int kSecondPort = 7;     // where it is plugged in again

const QString kLinked = QStringLiteral("通信成功");
const QString kNotFound = QStringLiteral("未找到仪器。");
const QString kNoCount = QStringLiteral("没有读到组数：仪器未应答。");
const QString kCountLost = QStringLiteral("没有读到组数：仪器已断开。");

enum class Scenario {
    ReadBeforePlugging,  // Read while nothing answers; the instrument comes a second later
    CountUnanswered,     // the instrument answers everything but the count
    UnpluggedAwaiting,   // unplugged while the count is awaited, back on another port
};

const QStringList kSilentOnCount{"--silent-on-count", "--say-requests"};

}  // namespace

class EndToEndLinkStatesTest : public QObject {
    Q_OBJECT
private slots:
    void window_data()
    {
        QTest::addColumn<Scenario>("scenario");
        QTest::addColumn<QString>("says");
        QTest::newRow("Read before the instrument is plugged in")
            << Scenario::ReadBeforePlugging << kNotFound;
        QTest::newRow("the count never answered") << Scenario::CountUnanswered << kNoCount;
        QTest::newRow("unplugged while the count is awaited")
            << Scenario::UnpluggedAwaiting << kCountLost;
    }
    void window()
    {
        QFETCH(Scenario, scenario);
        QFETCH(QString, says);
        SimWindow w;
        w.killInstrument();  // the instruments here are processes: a kill hangs the line up
        SimProcess first;
        SimProcess second;
        QString panelSaid;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            if (w.StatusBar1->panelText(1) == says)
                panelSaid = says;
        });
        watch.start(10);

        int expectedPort = w.port;
        if (scenario == Scenario::ReadBeforePlugging) {
            w.form->Command2_Click();
            QVERIFY(waitUntil([&] { return !panelSaid.isEmpty(); }, kWithinMs));
            waitUntil([] { return false; }, kLatePlugMs);
            QVERIFY(first.start(w.portDir.path(), w.port));
        } else {
            QVERIFY(first.start(w.portDir.path(), w.port, kSilentOnCount));
            QVERIFY(waitUntil([&] { return w.Text3->text() == kLinked; }, kWithinMs));
            w.form->Command2_Click();
            QVERIFY(first.waitForLine(QStringLiteral("heard 22"), kWithinMs));
            if (scenario == Scenario::UnpluggedAwaiting) {
                first.kill();
                QVERIFY(second.start(w.portDir.path(), kSecondPort));
                expectedPort = kSecondPort;
            }
        }
        const qsizetype liveBefore = w.live.size();
        QVERIFY(waitUntil([&] { return !panelSaid.isEmpty(); }, kWithinMs));
        QVERIFY(
            waitUntil([&] { return w.Text3->text() == kLinked && w.live.size() > liveBefore + 1; },
                      kWithinMs));
        QCOMPARE(int(w.core->serial().CommPort()), expectedPort);
        QCOMPARE(w.Text1->text(), QStringLiteral("COM%1").arg(expectedPort));
        QVERIFY(w.form->isEnabled());  // no read-range dialog holds it
        QVERIFY(w.groupCounts.isEmpty());
    }

    void commandLine_data()
    {
        QTest::addColumn<Scenario>("scenario");
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("says");
        for (const QString &command : {QStringLiteral("count"), QStringLiteral("read")}) {
            QTest::addRow("%s started before the instrument", qPrintable(command))
                << Scenario::ReadBeforePlugging << command << 0 << QString();
            QTest::addRow("%s, the count never answered", qPrintable(command))
                << Scenario::CountUnanswered << command << 4 << kNoCount;
            QTest::addRow("%s, unplugged while the count is awaited", qPrintable(command))
                << Scenario::UnpluggedAwaiting << command << 0 << kCountLost;
        }
    }
    void commandLine()
    {
        QFETCH(Scenario, scenario);
        QFETCH(QString, command);
        QFETCH(int, exitCode);
        QFETCH(QString, says);
        QTemporaryDir ports;
        QTemporaryDir files;
        SimProcess first;
        SimProcess second;
        CliProcess cli(ports.path());
        const QString out = files.filePath(QStringLiteral("out.csv"));
        QStringList arguments{"--timeout", "20", command};
        if (command == QLatin1String("read"))
            arguments << "--range"
                      << "1-100"
                      << "-o" << out;

        if (scenario == Scenario::ReadBeforePlugging) {
            cli.start(arguments);
            waitUntil([] { return false; }, kLatePlugMs);
            QVERIFY(first.start(ports.path(), 3));
        } else {
            QVERIFY(first.start(ports.path(), 3, kSilentOnCount));
            cli.start(arguments);
            if (scenario == Scenario::UnpluggedAwaiting) {
                QVERIFY(first.waitForLine(QStringLiteral("heard 22"), kWithinMs));
                first.kill();
                QVERIFY(second.start(ports.path(), kSecondPort));
            }
        }
        QVERIFY(cli.finish(kCliRunMs));
        QCOMPARE(cli.exitCode(), exitCode);
        QVERIFY2(cli.err().contains(says), qPrintable(cli.err()));
        if (exitCode != 0)
            return;
        if (command == QLatin1String("count")) {
            QCOMPARE(cli.out(), QStringLiteral("2500\n"));
        } else {
            QFile file(out);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll().count('\n'), 101);  // the header and the groups
        }
    }
};

QTEST_MAIN(EndToEndLinkStatesTest)
#include "test_e2e_link_states.moc"
