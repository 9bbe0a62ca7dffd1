// End to end through a pseudo-terminal and the simulator, with real timers:
// the instrument killed or silent during a read-out, killed after Cancel or
// under the open dialog, and every kind of faulty block reply. A read-out
// always ends, never stores a wrong group, and nothing spins.
#include "dialog/form2.h"
#include "support/cpu_use.h"
#include "support/read_out.h"
#include "support/sim_process.h"
#include "support/sim_window.h"
#include "support/wait.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {

using Phase = Form1::ReadPhase;

// The watchdog's tick, shortened for the test: 31 ticks make 0.62 s instead of 31 s.
constexpr int kTestWatchdogTickMs = 20;
constexpr int kShortWatchdogPeriodMs = 31 * kTestWatchdogTickMs;
constexpr int kQueuedReplyGapMs = 20;
// A spinning event loop takes a whole core; an idle one takes a few percent at most.
constexpr double kMostCpuShare = 0.25;

bool completed(const SimWindow &w)
{
    return !w.dialogs.messages.isEmpty()
           && w.dialogs.messages.last().text.startsWith(QStringLiteral("数据读取完毕"));
}

void shortenWatchdog(SimWindow &w) { w.form->Timer4->setInterval(kTestWatchdogTickMs); }

}  // namespace

class EndToEndFaultsTest : public QObject {
    Q_OBJECT
private slots:
    // The simulator dies during a long read-out at the line's real rate: the
    // read-out ends within 2 s with the groups that arrived, the window works,
    // the simulator is found again when it comes back, and a new read-out is exact.
    void killedDuringALongReadOut()
    {
        SimWindow w;
        w.killInstrument();  // the instrument is a process of its own here
        SimProcess simulator;
        QVERIFY(simulator.start(
            w.portDir.path(), w.port,
            {QStringLiteral("--groups"), QStringLiteral("200000"), QStringLiteral("--line-rate")}));
        QString why;
        QVERIFY2(w.readRange(QStringLiteral("1"), QStringLiteral("200000"), &why), qPrintable(why));
        QVERIFY(waitUntil([&] { return w.form->storedLast >= 1000; }, 10000));

        simulator.kill();
        QElapsedTimer sinceKill;
        sinceKill.start();
        QVERIFY(waitUntil([&] { return !w.dialogs.messages.isEmpty(); }, 5000));
        QVERIFY2(sinceKill.elapsed() <= 2000, qPrintable(QString::number(sinceKill.elapsed())));
        const qint32 arrived = w.form->storedLast;
        QCOMPARE(w.dialogs.messages[0].text,
                 QStringLiteral("读取中断：仪器已断开。已读取第 1 至 %1 组。").arg(arrived));
        QCOMPARE(arrived % 1000, 0);
        QCOMPARE(storeMismatch(*w.form, 1, arrived), QString());
        QCOMPARE(int(w.form->recordAt(arrived + 1).val[0]), int(record_store::kEmptyValue));
        QCOMPARE(w.form->memnum, arrived);
        QVERIFY(w.form->Command2->isEnabled());
        QVERIFY(w.form->Timer1->isActive() && w.form->Timer2->isActive());
        QVERIFY(
            waitUntil([&] { return w.form->Text3->text() == QStringLiteral("通信失败"); }, 1000));
        const double share = cpuShareOver(1000);
        QVERIFY2(share < kMostCpuShare, qPrintable(QString::number(share)));

        w.startInstrument();
        QVERIFY(
            waitUntil([&] { return w.form->Text3->text() == QStringLiteral("通信成功"); }, 10000));
        w.dialogs.messages.clear();
        QVERIFY2(w.readRange(QStringLiteral("1"), QStringLiteral("2500"), &why), qPrintable(why));
        QVERIFY(waitUntil([&] { return !w.dialogs.messages.isEmpty(); }, 20000));
        QVERIFY2(completed(w), qPrintable(w.dialogs.messages.last().text));
        QCOMPARE(storeMismatch(*w.form, 1, 2500), QString());
    }

    // The instrument stops answering after the first block: the watchdog asks
    // again three times and then the read-out ends.
    void silenceDuringAReadOut()
    {
        sim::SimOptions options;
        options.instrument.faults.silentFrom = 2;
        SimWindow w(options);
        QString why;
        QVERIFY2(w.readRange(QStringLiteral("1"), QStringLiteral("2500"), &why), qPrintable(why));
        shortenWatchdog(w);
        QVERIFY(
            waitUntil([&] { return !w.dialogs.messages.isEmpty(); }, 10 * kShortWatchdogPeriodMs));
        QCOMPARE(w.dialogs.messages[0].text,
                 QStringLiteral("读取中断：仪器未应答。已读取第 1 至 1000 组。"));
        QCOMPARE(int(w.instrument->instrument().blockRequests().size()), 1 + 4);
        QCOMPARE(storeMismatch(*w.form, 1, 1000), QString());
        QCOMPARE(w.form->readPhase, Phase::Idle);
        QVERIFY(w.form->Command2->isEnabled());
    }

    // Killed after Cancel, or while the dialog is open: the status tells the
    // truth and the program does not spin on the dead device.
    void killedAfterCancelOrUnderTheDialog_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("after Cancel") << true;
        QTest::newRow("dialog open") << false;
    }
    void killedAfterCancelOrUnderTheDialog()
    {
        QFETCH(bool, cancel);
        SimWindow w;
        w.killInstrument();
        SimProcess simulator;
        QVERIFY(simulator.start(w.portDir.path(), w.port));
        QVERIFY(
            waitUntil([&] { return w.form->Text3->text() == QStringLiteral("通信成功"); }, 5000));
        w.form->Command2_Click();
        QVERIFY(waitUntil([&] { return !w.form->form2.isNull(); }, 3000));
        if (cancel)
            w.form->form2->Command2_Click();
        simulator.kill();
        QVERIFY(
            waitUntil([&] { return w.form->Text3->text() == QStringLiteral("通信失败"); }, 5000));
        QCOMPARE(w.form->Label2->text(), QStringLiteral("- -"));
        const double share = cpuShareOver(2000);
        QVERIFY2(share < kMostCpuShare, qPrintable(QString::number(share)));
        if (!cancel) {
            QCOMPARE(w.form->Text2->text(), QStringLiteral("串口关闭"));
            QVERIFY(!w.form->form2.isNull());  // the user still decides
        }
    }

    // One faulty reply of block 2 (counted over all block requests): the
    // read-out recovers and completes, every stored group exactly the
    // instrument's.
    void faultyBlockReply_data()
    {
        QTest::addColumn<int>("fault");
        QTest::newRow("stray bytes before the reply") << 0;
        QTest::newRow("a byte inserted") << 1;
        QTest::newRow("a byte dropped") << 2;
        QTest::newRow("a reply slower than the watchdog") << 3;
        QTest::newRow("a late reply delivered twice") << 4;
    }
    void faultyBlockReply()
    {
        QFETCH(int, fault);
        sim::SimOptions options;
        sim::BlockFaults &f = options.instrument.faults;
        int *const which[] = {&f.strayBefore, &f.insertIn, &f.dropFrom, &f.slow, &f.lateTwice};
        *which[fault] = 2;
        f.slowMs = kShortWatchdogPeriodMs * 3 / 2;  // after the first re-send, before a second
        options.instrument.groups = 3000;
        SimWindow w(options);
        QString why;
        QVERIFY2(w.readRange(QStringLiteral("1"), QStringLiteral("3000"), &why), qPrintable(why));
        // Replies that queue up behind a slow one follow it a turnaround
        // later: longer than the quiet window, so each looks like a reply of
        // its own. (Set once linked: the search waits 20 ms on each port.)
        w.instrument->setTurnaround(kQueuedReplyGapMs);
        shortenWatchdog(w);
        QVERIFY(waitUntil([&] { return !w.dialogs.messages.isEmpty(); }, 30000));
        QVERIFY2(completed(w), qPrintable(w.dialogs.messages[0].text));
        QCOMPARE(storeMismatch(*w.form, 1, 3000), QString());
        // Block 2 was asked for twice: the faulty reply was not taken.
        const auto &requests = w.instrument->instrument().blockRequests();
        QCOMPARE(int(requests.size()), 4);
        QCOMPARE(requests[1], requests[2]);
        // The late reply, if any, was dropped before block 3 was asked for.
        QCOMPARE(requests[3].first, 2001);
    }
};

QTEST_MAIN(EndToEndFaultsTest)
#include "test_e2e_faults.moc"
