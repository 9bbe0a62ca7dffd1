// How block replies are taken through the fake serial port: only exactly the
// requested length followed by a quiet line is stored; anything else is
// dropped and the same block asked for again; a late reply after a re-send is
// never taken for the next block; and every read-out ends.
#include "support/read_out.h"

#include <QtTest>

namespace {

using Phase = Instrument::ReadPhase;

// A record of another group: stored in the wrong slot, it shows.
QByteArray shiftedRecord(qint32 g) { return sampleRecord(g + 1000); }

// Received bytes not yet read, the driver's included. MSComm counts them by
// first taking the driver's bytes into its own buffer, which is why the call
// is not const; that changes nothing the instrument reads.
int unreadBytes(CoreHarness &h) { return const_cast<MSComm &>(h.core->serial()).InBufferCount(); }

// Gives the watchdog n ticks.
void watchdogTicks(CoreHarness &h, int n)
{
    for (int i = 0; i < n; ++i)
        testing(h.core).Timer4_Timer();
}

// The stall check runs until the reply is found to have stopped short.
void stallChecks(CoreHarness &h, int n) { h.quietLine(n); }

void expectStored(CoreHarness &h, qint32 first, qint32 last)
{
    for (qint32 g = first; g <= last; ++g) {
        const QString mismatch = slotMismatch(h.core->store(), g, sampleRecord(g));
        QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    }
}

void expectEmpty(CoreHarness &h, qint32 first, qint32 last)
{
    for (qint32 g = first; g <= last; ++g)
        QVERIFY2(h.core->store().recordAt(g).val[0] == record_store::kErrorValue,
                 qPrintable(QString::number(g)));
}

}  // namespace

class BlockFramingTest : public QObject {
    Q_OBJECT
private slots:
    void exactReplyIsStoredOnlyOnceTheLineIsQuiet()
    {
        CoreHarness h;
        startReadOut(h, 1, 2500);
        const QByteArray frame = h.takeWrites().last();
        h.receive(blockReplyFor(frame, sampleRecord));
        QCOMPARE(h.core->readPhase(), Phase::Settling);
        expectEmpty(h, 1, 1);  // not yet: something may still follow
        QVERIFY(h.takeWrites().isEmpty());
        h.quietLine();
        expectStored(h, 1, 1000);
        QCOMPARE(frameFirst(h.takeWrites().last()), 1001);
        QCOMPARE(h.core->readPhase(), Phase::Receiving);
    }

    // Every delivery that is not exactly the reply is dropped whole, and the
    // same block is asked for again as soon as the line is quiet. Each counts
    // as one failed attempt: the third in a row ends the read-out.
    void wrongDeliveriesAreAskedForAgain_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("times");  // wrong deliveries in a row before the clean one
        const char *const kinds[] = {"stray bytes before", "a byte too many in one delivery",
                                     "bytes following the reply", "a second copy right behind",
                                     "a byte short"};
        for (int kind = 0; kind < 5; ++kind) {
            QTest::addRow("%s", kinds[kind]) << kind << 1;
            QTest::addRow("%s, three times", kinds[kind]) << kind << 3;
        }
    }
    void wrongDeliveriesAreAskedForAgain()
    {
        QFETCH(int, kind);
        QFETCH(int, times);
        CoreHarness h;
        startReadOut(h, 1, 2500);
        const QByteArray frame = h.takeWrites().last();
        const QByteArray reply = blockReplyFor(frame, sampleRecord);
        for (int attempt = 1; attempt <= times; ++attempt) {
            switch (kind) {
            case 0:
                h.receive(bytes({0x01, 0x02, 0x03}) + reply.left(reply.size() - 3));
                h.receive(reply.right(3));
                break;
            case 1: h.receive(reply.left(10000) + bytes({0x42}) + reply.mid(10000)); break;
            case 2:
                h.receive(reply);
                h.receive(bytes({0x00}));
                break;
            case 3:
                h.receive(reply);
                h.receive(reply);
                break;
            case 4:
                h.receive(reply.left(10000) + reply.mid(10001));
                stallChecks(h, 2);  // it stopped growing: short
                break;
            }
            QCOMPARE(h.core->readPhase(), Phase::Draining);
            QVERIFY(h.takeWrites().isEmpty());  // not before the line is quiet
            h.receive(bytes({0x55}));           // still noisy: the drain goes on
            QCOMPARE(unreadBytes(h), 0);
            h.quietLine();
            expectEmpty(h, 1, 1000);
            // One failed attempt each: asked again twice, and the third ends it.
            QCOMPARE(h.takeWrites(), attempt < 3 ? QList<QByteArray>{frame} : QList<QByteArray>{});
            QCOMPARE(h.interruptions.size(), attempt < 3 ? 0 : 1);
        }
        if (times >= 3) {
            QCOMPARE(h.core->readPhase(), Phase::Idle);
            return;
        }

        h.receiveBlock(reply);  // the clean answer
        expectStored(h, 1, 1000);
        QCOMPARE(frameFirst(h.takeWrites().last()), 1001);
        QVERIFY(h.interruptions.isEmpty());
        QCOMPARE(h.completions, 0);
    }

    // Bytes the port holds but the event loop has not announced yet (it was
    // busy when they came) count when the quiet window runs out.
    void bytesNotYetAnnouncedStillCount()
    {
        CoreHarness h;
        startReadOut(h, 1, 1000);
        const QByteArray frame = h.takeWrites().last();
        h.receive(blockReplyFor(frame, sampleRecord));
        h.io->injectQuietly(bytes({0x00, 0x01}));
        h.quietLine();
        QCOMPARE(h.core->readPhase(), Phase::Draining);
        expectEmpty(h, 1, 1000);
    }

    void aReplyStillFlowingIsNotShort()
    {
        CoreHarness h;
        startReadOut(h, 1, 1000);
        const QByteArray reply = blockReplyFor(h.takeWrites().last(), sampleRecord);
        for (int part = 0; part < 4; ++part) {
            h.receive(reply.mid(part * 4000, 4000));
            stallChecks(h, 1);
        }
        QCOMPARE(h.core->readPhase(), Phase::Receiving);
        h.receiveBlock(reply.mid(16000));
        expectStored(h, 1, 1000);
        QCOMPARE(h.completions, 1);
        QVERIFY(h.interruptions.isEmpty());
    }

    // Three wrong deliveries of one block end the read-out: the blocks stored
    // before stay, and the user is told which groups arrived.
    void thirdFailedAttemptEndsTheReadOut()
    {
        CoreHarness h;
        startReadOut(h, 1, 2500);
        h.receiveBlock(blockReplyFor(h.takeWrites().last(), sampleRecord));
        const QByteArray second = h.takeWrites().last();
        for (int attempt = 1; attempt <= 3; ++attempt) {
            h.receive(blockReplyFor(second, sampleRecord) + bytes({0x07}));
            QVERIFY(h.interruptions.isEmpty());
            h.quietLine();
            QCOMPARE(h.takeWrites().size(), attempt < 3 ? 1 : 0);
        }
        QCOMPARE(h.interruptions,
                 QStringList{
                     QStringLiteral("读取中断：仪器发来的数据连续出错。已读取第 1 至 1000 组。")});
        QCOMPARE(h.completions, 0);
        QCOMPARE(h.core->readPhase(), Phase::Idle);
        expectStored(h, 1, 1000);
        expectEmpty(h, 1001, 2000);
        QCOMPARE(h.core->lssavesum(), 1);
        QCOMPARE(h.core->memnum(), 1000);  // Save writes what arrived
        QVERIFY(h.listed.last().contains(QStringLiteral("NO.001000")));
        QCOMPARE(h.progress.last(), 40);
        QVERIFY(!testing(h.core).Timer4().isActive());
        QVERIFY(!h.core->isBusy());
        QCOMPARE(h.busy.count(false), 1);  // lifted once, at the end
        QCOMPARE(h.busy.last(), false);
        QVERIFY(testing(h.core).Timer2().isActive() && testing(h.core).Timer3().isActive());
    }

    // The first request of block 2 is answered late, after the watchdog's
    // re-send: its reply is stored as block 2, and the reply to the re-send,
    // which follows, is dropped instead of being stored as block 3.
    void lateReplyAfterAResendIsNeverTheNextBlock()
    {
        CoreHarness h;
        startReadOut(h, 1, 3000);
        h.receiveBlock(blockReplyFor(h.takeWrites().last(), sampleRecord));
        const QByteArray second = h.takeWrites().last();
        watchdogTicks(h, 31);
        QCOMPARE(h.takeWrites(), QList<QByteArray>{second});

        h.receiveBlock(blockReplyFor(second, sampleRecord));
        QCOMPARE(h.core->readPhase(), Phase::AwaitingLate);
        QVERIFY(h.takeWrites().isEmpty());  // block 3 waits
        // The second reply to block 2, the same length as block 3's.
        h.receive(blockReplyFor(second, shiftedRecord).left(7000));
        h.receive(blockReplyFor(second, shiftedRecord).mid(7000));
        QVERIFY(h.takeWrites().isEmpty());
        h.quietLine();
        const QByteArray third = h.takeWrites().last();
        QCOMPARE(frameFirst(third), 2001);
        h.receiveBlock(blockReplyFor(third, sampleRecord));
        expectStored(h, 1, 3000);
        QCOMPARE(h.completions, 1);
        QVERIFY(h.interruptions.isEmpty());
    }

    // When nothing more comes after a re-sent block, the next one is asked
    // for after a whole watchdog period of quiet line.
    void withoutALateReplyTheNextBlockWaitsOneWatchdogPeriod()
    {
        CoreHarness h;
        startReadOut(h, 1, 2000);
        const QByteArray first = h.takeWrites().last();
        watchdogTicks(h, 31);
        h.takeWrites();
        h.receiveBlock(blockReplyFor(first, sampleRecord));
        watchdogTicks(h, 20);
        h.receive(bytes({0x11, 0x22}));  // stray bytes restart the quiet count
        watchdogTicks(h, 30);
        QVERIFY(h.takeWrites().isEmpty());
        watchdogTicks(h, 1);
        QCOMPARE(frameFirst(h.takeWrites().last()), 1001);
        expectStored(h, 1, 1000);
    }

    // A line that never goes quiet cannot hold a read-out forever.
    void endlessNoiseEndsTheReadOut()
    {
        CoreHarness h;
        startReadOut(h, 1, 500);
        const QByteArray frame = h.takeWrites().last();
        int requests = 1;
        for (int second = 0; second < 200 && h.core->readPhase() != Phase::Idle; ++second) {
            for (int burst = 0; burst < 3; ++burst) {
                h.receive(QByteArray(4000, char(0x5A)));
                h.quietLine(0);  // never quiet: the window is always restarted
            }
            testing(h.core).Timer4_Timer();
            requests += h.takeWrites().size();
        }
        QCOMPARE(h.core->readPhase(), Phase::Idle);
        QCOMPARE(h.interruptions.size(), 1);
        QVERIFY(h.interruptions[0].contains(QStringLiteral("没有读到任何数据组")));
        QCOMPARE(h.completions, 0);
        QCOMPARE(requests, 3);
        expectEmpty(h, 1, 500);
        QCOMPARE(h.core->memnum(), 0);
    }

    // Once the read-out is complete, block bytes that still come are dropped.
    void bytesAfterCompletionAreDropped()
    {
        CoreHarness h;
        startReadOut(h, 1, 100);
        const QByteArray frame = h.takeWrites().last();
        h.receiveBlock(blockReplyFor(frame, sampleRecord));
        QCOMPARE(h.core->readPhase(), Phase::Idle);
        h.receiveBlock(blockReplyFor(frame, shiftedRecord));
        expectStored(h, 1, 100);
        QCOMPARE(h.completions, 1);
        QVERIFY(h.interruptions.isEmpty());
        QCOMPARE(int(h.core->commOk()), 1);  // still an answer from the instrument
    }
};

QTEST_GUILESS_MAIN(BlockFramingTest)
#include "test_block_framing.moc"
