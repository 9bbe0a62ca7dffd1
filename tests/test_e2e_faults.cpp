// End to end through a pseudo-terminal and the simulator, with real timers:
// the instrument killed or silent during a read-out, killed after Cancel or
// under the open dialog, and every kind of faulty block reply. A read-out
// always ends, never stores a wrong group, and nothing spins.
#include "support/cpu_use.h"
#include "support/sim_core.h"
#include "support/sim_process.h"
#include "support/wait.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

namespace {

using Phase = Instrument::ReadPhase;

// The watchdog's tick, shortened for the test: 31 ticks make 0.62 s instead of 31 s.
constexpr int kTestWatchdogTickMs = 20;
constexpr int kShortWatchdogPeriodMs = 31 * kTestWatchdogTickMs;
constexpr int kQueuedReplyGapMs = 20;
// A port that died is noticed well before the watchdog's 31 s, also on a busy machine.
constexpr int kPortLossNoticedMs = 10000;
// A spinning event loop takes a whole core; an idle one takes a few percent at most.
constexpr double kMostCpuShare = 0.25;

// Whether the read-out ended, one way or the other.
bool ended(const SimCore &w) { return w.completions + w.interruptions.size() > 0; }

// The watchdog ticks every kTestWatchdogTickMs while it runs, instead of every
// second: the test's timer gives the ticks, the watchdog's own go nowhere.
class ShortWatchdog {
public:
    explicit ShortWatchdog(Instrument &core) : core_(core)
    {
        testing(core_).Timer4().blockSignals(true);
        QObject::connect(&tick_, &QTimer::timeout, [this] {
            if (testing(core_).Timer4().isActive())
                testing(core_).Timer4_Timer();
        });
        tick_.start(kTestWatchdogTickMs);
    }
    ~ShortWatchdog() { testing(core_).Timer4().blockSignals(false); }
    ShortWatchdog(const ShortWatchdog &) = delete;
    ShortWatchdog &operator=(const ShortWatchdog &) = delete;

private:
    Instrument &core_;
    QTimer tick_;
};

}  // namespace

class EndToEndFaultsTest : public QObject {
    Q_OBJECT
private slots:
    // The simulator dies during a long read-out at the line's real rate: the
    // read-out ends within 2 s with the groups that arrived, the instrument is
    // free again, it finds the simulator when it comes back, and a new
    // read-out is exact.
    void killedDuringALongReadOut()
    {
        SimCore w;
        w.killInstrument();  // the instrument is a process of its own here
        SimProcess simulator;
        QVERIFY(simulator.start(
            w.portDir.path(), w.port,
            {QStringLiteral("--groups"), QStringLiteral("200000"), QStringLiteral("--line-rate")}));
        QString why;
        QVERIFY2(w.readRange(QStringLiteral("1"), QStringLiteral("200000"), &why), qPrintable(why));
        QVERIFY(waitUntil([&] { return w.core->storedLast() >= 1000; }, 10000));

        simulator.kill();
        QElapsedTimer sinceKill;
        sinceKill.start();
        // Ended by the lost port, not by 31 s of watchdog: a busy machine
        // may take a few seconds to tell.
        QVERIFY(waitUntil([&] { return ended(w); }, kPortLossNoticedMs));
        QVERIFY2(sinceKill.elapsed() <= kPortLossNoticedMs,
                 qPrintable(QString::number(sinceKill.elapsed())));
        const qint32 arrived = w.core->storedLast();
        QCOMPARE(w.completions, 0);
        QCOMPARE(w.interruptions,
                 QStringList{
                     QStringLiteral("读取中断：仪器已断开。已读取第 1 至 %1 组。").arg(arrived)});
        QCOMPARE(arrived % 1000, 0);
        QCOMPARE(storeMismatch(w.core->store(), 1, arrived), QString());
        QCOMPARE(int(w.core->store().recordAt(arrived + 1).val[0]), int(record_store::kErrorValue));
        QCOMPARE(w.core->memnum(), arrived);
        QVERIFY(!w.core->isBusy());  // Read can be asked for again
        QVERIFY(testing(w.core).Timer2().isActive());
        QVERIFY(waitUntil([&] { return !w.isLinked(); }, 5000));
        QCOMPARE(w.links.last(), false);
        const double share = cpuShareOver(1000);
        QVERIFY2(share < kMostCpuShare, qPrintable(QString::number(share)));

        w.startInstrument();
        QVERIFY(waitUntil([&] { return w.isLinked(); }, 10000));
        QCOMPARE(w.links.last(), true);
        QVERIFY2(w.readRange(QStringLiteral("1"), QStringLiteral("2500"), &why), qPrintable(why));
        QVERIFY(waitUntil([&] { return w.completions + w.interruptions.size() > 1; }, 20000));
        QCOMPARE(w.interruptions.mid(1), QStringList{});  // only the first read-out broke off
        QCOMPARE(w.completions, 1);
        QCOMPARE(storeMismatch(w.core->store(), 1, 2500), QString());
    }

    // The instrument stops answering after the first block: the watchdog asks
    // again three times and then the read-out ends.
    void silenceDuringAReadOut()
    {
        sim::SimOptions options;
        options.instrument.faults.silentFrom = 2;
        SimCore w(options);
        QString why;
        QVERIFY2(w.readRange(QStringLiteral("1"), QStringLiteral("2500"), &why), qPrintable(why));
        ShortWatchdog watchdog(*w.core);
        QVERIFY(waitUntil([&] { return ended(w); }, 10 * kShortWatchdogPeriodMs));
        QCOMPARE(w.completions, 0);
        QCOMPARE(w.interruptions,
                 QStringList{QStringLiteral("读取中断：仪器未应答。已读取第 1 至 1000 组。")});
        QCOMPARE(int(w.instrument->instrument().blockRequests().size()), 1 + 4);
        QCOMPARE(storeMismatch(w.core->store(), 1, 1000), QString());
        QCOMPARE(w.core->readPhase(), Phase::Idle);
        QVERIFY(!w.core->isBusy());
    }

    // Killed after Cancel, or while the read-range dialog is open: the link
    // tells the truth and the program does not spin on the dead device.
    void killedAfterCancelOrUnderTheDialog_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("after Cancel") << true;
        QTest::newRow("dialog open") << false;
    }
    void killedAfterCancelOrUnderTheDialog()
    {
        QFETCH(bool, cancel);
        SimCore w;
        w.killInstrument();
        SimProcess simulator;
        QVERIFY(simulator.start(w.portDir.path(), w.port));
        QVERIFY(waitUntil([&] { return w.isLinked(); }, 5000));
        w.core->read();
        QVERIFY(waitUntil([&] { return !w.groupCounts.isEmpty(); }, 3000));  // the dialog opens
        if (cancel)
            w.core->resumeLink();
        simulator.kill();
        QVERIFY(waitUntil([&] { return !w.isLinked(); }, 5000));
        QCOMPARE(w.links.last(), false);
        // No live reading is shown any more.
        const qsizetype liveReadings = w.live.size();
        const double share = cpuShareOver(2000);
        QVERIFY2(share < kMostCpuShare, qPrintable(QString::number(share)));
        QCOMPARE(w.live.size(), liveReadings);
        if (!cancel) {
            QVERIFY(!w.core->serial().PortOpen());
            // The user still decides: nothing runs until the dialog is answered.
            QVERIFY(!testing(w.core).Timer2().isActive());
            QVERIFY(!testing(w.core).Timer3().isActive());
            QCOMPARE(w.core->readPhase(), Phase::Idle);
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
        SimCore w(options);
        QString why;
        QVERIFY2(w.readRange(QStringLiteral("1"), QStringLiteral("3000"), &why), qPrintable(why));
        // Replies that queue up behind a slow one follow it a turnaround
        // later: longer than the quiet window, so each looks like a reply of
        // its own. (Set once linked: the search waits 20 ms on each port.)
        w.instrument->setTurnaround(kQueuedReplyGapMs);
        ShortWatchdog watchdog(*w.core);
        QVERIFY(waitUntil([&] { return ended(w); }, 30000));
        QCOMPARE(w.interruptions, QStringList{});
        QCOMPARE(w.completions, 1);
        QCOMPARE(storeMismatch(w.core->store(), 1, 3000), QString());
        // Block 2 was asked for twice: the faulty reply was not taken.
        const auto &requests = w.instrument->instrument().blockRequests();
        QCOMPARE(int(requests.size()), 4);
        QCOMPARE(requests[1], requests[2]);
        // The late reply, if any, was dropped before block 3 was asked for.
        QCOMPARE(requests[3].first, 2001);
    }
};

QTEST_GUILESS_MAIN(EndToEndFaultsTest)
#include "test_e2e_faults.moc"
