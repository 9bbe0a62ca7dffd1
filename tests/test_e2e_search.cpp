// End to end through pseudo-terminals: the search finds an instrument whose
// replies come late, as through a USB-serial adapter, and never links to
// another device that talks on the ports; a signal ends the program without
// leaving the port's lock file behind.
#include "app/startup.h"
#include "sim/instrument.h"
#include "support/lock_files.h"
#include "support/sim_process.h"
#include "support/sim_window.h"
#include "support/wait.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QtTest>

#include <csignal>

namespace {

constexpr int kFindWithinMs = 10000;
constexpr int kStayLinkedMs = 2500;  // longer than the 2.2 s in which silence drops a link
constexpr int kEndWithinMs = 3000;

const QString kLinked = QStringLiteral("通信成功");

}  // namespace

class EndToEndSearchTest : public QObject {
    Q_OBJECT
private slots:
    // Found on whatever port it sits, also when every reply comes late.
    void findsAnInstrumentWhoseRepliesComeLate_data()
    {
        QTest::addColumn<int>("delayMs");
        QTest::addColumn<int>("port");
        QTest::newRow("at once, COM5") << 0 << 5;
        QTest::newRow("30 ms late, COM9") << 30 << 9;
        QTest::newRow("60 ms late, COM14") << 60 << 14;
        QTest::newRow("60 ms late, COM1") << 60 << 1;
    }
    void findsAnInstrumentWhoseRepliesComeLate()
    {
        QFETCH(int, delayMs);
        QFETCH(int, port);
        sim::SimOptions options;
        options.instrument.replyDelayMs = delayMs;
        SimWindow w(options, port);
        QVERIFY(waitUntil([&] { return w.Text3->text() == kLinked; }, kFindWithinMs));
        QCOMPARE(w.core->serial().CommPort(), port);
        QVERIFY(waitUntil([&] { return w.Label2->text() != QStringLiteral("- -"); }, 3000));
    }

    // A device on COM2 that answers the probe with something else is passed
    // over and named as such; the instrument on COM5 is found, and the link
    // is never shown for COM2.
    void neverLinksToAnotherDevice_data()
    {
        QTest::addColumn<int>("talker");
        QTest::addColumn<bool>("noted");  // whether its answer reaches the length of a reply
        QTest::newRow("random bytes") << int(sim::Talker::Random) << true;
        QTest::newRow("a reply too long") << int(sim::Talker::Long) << true;
        QTest::newRow("an echo") << int(sim::Talker::Echo) << false;
    }
    void neverLinksToAnotherDevice()
    {
        QFETCH(int, talker);
        QFETCH(bool, noted);
        SimWindow w({}, 5);
        sim::SimOptions talkerOptions;
        talkerOptions.instrument.talker = sim::Talker(talker);
        sim::PtyInstrument other(w.portDir.path(), 2, talkerOptions);
        QVERIFY(other.isLinked());

        QStringList linkShownFor;
        connect(w.Text3, &QLineEdit::textChanged, this, [&](const QString &text) {
            if (text == kLinked)
                linkShownFor << w.Text1->text();
        });
        QStringList linkedOn;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            if (w.core->commOk() == 1 && !linkedOn.contains(QString::number(w.core->port())))
                linkedOn << QString::number(w.core->port());
        });
        watch.start(1);

        QVERIFY(waitUntil([&] { return w.Text3->text() == kLinked; }, kFindWithinMs));
        waitUntil([] { return false; }, kStayLinkedMs);
        QVERIFY(other.instrument().requestCount(sim::Command::Probe) > 0);
        QCOMPARE(linkShownFor, QStringList{QStringLiteral("COM5")});
        QCOMPARE(linkedOn, QStringList{QStringLiteral("5")});
        QCOMPARE(w.core->commOk(), qint16(1));
        QCOMPARE(port_problem::reason(testing(w.core).portNotes().value(2))
                     == QStringLiteral("不是本仪器"),
                 noted);
    }

    // SIGTERM in the middle of a read-out ends the program as Exit does: the
    // port is closed and its lock file is gone.
    void sigtermDuringAReadOutLeavesNoLockFile()
    {
        sim::SimOptions options;
        options.instrument.groups = 200000;
        options.lineRate = true;
        SimWindow w(options);
        startup::endOnSignals(*w.form);
        QString why;
        QVERIFY2(w.readRange(QStringLiteral("1"), QStringLiteral("200000"), &why), qPrintable(why));
        QVERIFY(waitUntil([&] { return w.core->storedLast() >= 1000; }, 10000));
        QVERIFY(!lockFilesOf(w.deviceOf(3)).isEmpty());

        QTimer::singleShot(0, [] { ::raise(SIGTERM); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(!w.core->serial().PortOpen());
        QCOMPARE(lockFilesOf(w.deviceOf(3)), QStringList());
    }

    // The program itself, linked to the simulator, ends cleanly on each
    // signal a session or a user sends.
    void theProgramEndsCleanlyOnSignals_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }
    void theProgramEndsCleanlyOnSignals()
    {
        QFETCH(int, signal);
        QTemporaryDir ports;
        SimProcess simulator;
        QVERIFY(simulator.start(ports.path(), 3));
        const QString device = ports.filePath(QStringLiteral("COM3"));
        QProcess harlune;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HARLUNE_PORT_DIR"), ports.path());
        harlune.setProcessEnvironment(env);
        harlune.start(QCoreApplication::applicationDirPath() + QStringLiteral("/harlune"));
        QVERIFY(harlune.waitForStarted());
        QVERIFY(waitUntil([&] { return !lockFilesOf(device).isEmpty(); }, kFindWithinMs));

        ::kill(pid_t(harlune.processId()), signal);
        QVERIFY(harlune.waitForFinished(kEndWithinMs));
        QCOMPARE(harlune.exitStatus(), QProcess::NormalExit);
        QCOMPARE(harlune.exitCode(), 0);
        QCOMPARE(lockFilesOf(device), QStringList());
    }
};

QTEST_MAIN(EndToEndSearchTest)
#include "test_e2e_search.moc"
