// Block storage and read completion.
#include "support/read_out.h"

#include <QtTest>

namespace {
void expectSlotHolds(CoreHarness &h, qint32 g, const QByteArray &rec)
{
    const QString mismatch = slotMismatch(h.core->store(), g, rec);
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
}

// Received bytes not yet read, the driver's included. MSComm counts them by
// first taking the driver's bytes into its own buffer, which is why the call
// is not const; that changes nothing the instrument reads.
int unreadBytes(CoreHarness &h) { return const_cast<MSComm &>(h.core->serial()).InBufferCount(); }

QByteArray otherRecord(qint32 g)
{
    QByteArray r = sampleRecord(g + 7);
    r[18] = char(0xC3);
    return r;
}
}  // namespace

class BlockStoreTest : public QObject {
    Q_OBJECT
private slots:
    void singleBlockStoresAndCompletes()
    {
        CoreHarness h;
        startReadOut(h, 1, 250);
        bool lockedDuringMessage = false;
        bool watchdogOffDuringMessage = false;
        QString viewDuringMessage;
        h.whileCompleting = [&] {
            lockedDuringMessage = h.core->isBusy();
            watchdogOffDuringMessage = !testing(h.core).Timer4().isActive();
            viewDuringMessage = h.listed.last();
        };
        h.receiveBlock(blockReplyFor(h.takeWrites().last(), sampleRecord));
        for (qint32 g : {1, 2, 125, 250})
            expectSlotHolds(h, g, sampleRecord(g));
        QCOMPARE(int(h.core->store().recordAt(251).val[0]), 20000);  // not covered: still empty
        QCOMPARE(h.progress.first(), 0);  // told from the first stored group on
        QCOMPARE(h.progress.last(), 100);
        QCOMPARE(h.completions, 1);
        QVERIFY(h.interruptions.isEmpty());
        QVERIFY(lockedDuringMessage);
        QVERIFY(watchdogOffDuringMessage);
        QVERIFY(viewDuringMessage.contains(QStringLiteral("NO.000250")));
        QVERIFY(!viewDuringMessage.contains(QStringLiteral("NO.000251")));
        // unlocked after the completion was told
        QVERIFY(!h.core->isBusy());
        QCOMPARE(h.busy, (QList<bool>{true, false}));
        QVERIFY(testing(h.core).Timer2().isActive());
        QVERIFY(testing(h.core).Timer3().isActive());
        QVERIFY(!testing(h.core).Timer4().isActive());
    }

    void progressAfterTheFirstOfThreeBlocks()
    {
        CoreHarness h;
        startReadOut(h, 1, 2500);
        h.receiveBlock(blockReplyFor(h.takeWrites().last(), sampleRecord));
        QCOMPARE(h.progress.last(), 40);
        QCOMPARE(h.completions, 0);
        QVERIFY(h.interruptions.isEmpty());
        QVERIFY(testing(h.core).Timer4().isActive());
    }

    void reservedValuesAreStoredAsTheyCome()
    {
        CoreHarness h;
        startReadOut(h, 5, 5);
        QByteArray rec = sampleRecord(5);
        rec[1] = char(0x64);
        rec[2] = char(0x00);
        rec[3] = char(0x42);
        h.receiveBlock(blockReplyFor(h.takeWrites().last(), [&](qint32) { return rec; }));
        QCOMPARE(int(h.core->store().recordAt(5).val[0]), 10000);
        QCOMPARE(int(h.core->store().recordAt(5).stat[0]), 66);
    }

    // A block whose last group rounds to 100 % but does not end the range must
    // not complete the read-out: the watchdog has to guard the blocks after it.
    void noCompletionBeforeTheLastBlock()
    {
        CoreHarness h;
        startReadOut(h, 198001, 200000);  // two blocks; the first ends at 99.5 %
        const QByteArray first = h.takeWrites().last();
        QCOMPARE(frameLast(first), 199000);
        h.receiveBlock(blockReplyFor(first, sampleRecord));
        QCOMPARE(h.completions, 0);
        QVERIFY(h.interruptions.isEmpty());
        QVERIFY(testing(h.core).Timer4().isActive());
        QVERIFY(h.core->isBusy());
        const QByteArray second = h.takeWrites().last();
        QCOMPARE(frameFirst(second), 199001);
        h.receiveBlock(blockReplyFor(second, sampleRecord));
        QCOMPARE(h.completions, 1);
        QVERIFY(!testing(h.core).Timer4().isActive());
        expectSlotHolds(h, 200000, sampleRecord(200000));
    }

    // While the completion message is open, a late duplicate of the block must
    // neither be stored again nor complete the read-out a second time.
    void nothingReentersWhileTheMessageIsOpen()
    {
        CoreHarness h;
        startReadOut(h, 1, 250);
        const QByteArray frame = h.takeWrites().last();
        h.whileCompleting = [&] { h.receive(blockReplyFor(frame, otherRecord)); };
        h.receiveBlock(blockReplyFor(frame, sampleRecord));
        QCOMPARE(h.completions, 1);
        expectSlotHolds(h, 17, sampleRecord(17));
        QCOMPARE(unreadBytes(h), 0);
    }

    void aSecondReadOutOverwritesOnlyItsSlots()
    {
        CoreHarness h;
        startReadOut(h, 1, 10);
        h.receiveBlock(blockReplyFor(h.takeWrites().last(), sampleRecord));
        startReadOut(h, 6, 20);
        h.receiveBlock(blockReplyFor(h.takeWrites().last(), otherRecord));
        expectSlotHolds(h, 5, sampleRecord(5));
        expectSlotHolds(h, 6, otherRecord(6));
        expectSlotHolds(h, 20, otherRecord(20));
        QCOMPARE(h.completions, 2);
    }

    // A block request that reaches past the last slot stores what has a slot and nothing else.
    void groupsWithoutASlotAreNeverWritten()
    {
        CoreHarness h;
        startReadOut(h, 199999, 200001);
        const QByteArray frame = h.takeWrites().last();
        h.receiveBlock(blockReplyFor(frame, sampleRecord));
        expectSlotHolds(h, 200000, sampleRecord(200000));
        QCOMPARE(h.core->store().bytes(), std::size_t(200001 * 16 + (200001 + 7) / 8));
    }
};

QTEST_GUILESS_MAIN(BlockStoreTest)
#include "test_block_store.moc"
