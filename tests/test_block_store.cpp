// Block storage and read completion.
#include "platform/rich_text_box.h"
#include "support/read_out.h"

#include <QProgressBar>
#include <QPushButton>
#include <QToolBar>
#include <QtTest>

namespace {
const QString kCompletion =
    QStringLiteral("数据读取完毕，当前界面只显示部分数据，如需查看其它数据，请保存文件后查阅。"
                   "文件过大时，保存时间较长，请耐心等待。");

void expectSlotHolds(Form1 &f, qint32 g, const QByteArray &rec)
{
    const QString mismatch = slotMismatch(f, g, rec);
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
}

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
        Form1Harness h;
        startReadOut(h, 1, 250);
        bool lockedDuringMessage = false;
        bool watchdogOffDuringMessage = false;
        QString viewDuringMessage;
        h.dialogs.whileMessageOpen = [&] {
            lockedDuringMessage = !h.form->Command2->isEnabled();
            watchdogOffDuringMessage = !h.form->Timer4->isActive();
            viewDuringMessage = h.form->RichTextBox1->Text();
        };
        h.receiveBlock(blockReplyFor(h.takeWrites().last(), sampleRecord));
        for (qint32 g : {1, 2, 125, 250})
            expectSlotHolds(*h.form, g, sampleRecord(g));
        QCOMPARE(int(h.form->recordAt(251).val[0]), 20000);  // not covered: still empty
        QVERIFY(!h.form->ProgressBar1->isHidden());          // shown by the first stored group
        QCOMPARE(h.form->ProgressBar1->value(), 100);
        QCOMPARE(h.dialogs.messages.size(), 1);
        QCOMPARE(h.dialogs.messages[0].title, QStringLiteral("Harlune"));
        QCOMPARE(h.dialogs.messages[0].text, kCompletion);
        QVERIFY(lockedDuringMessage);
        QVERIFY(watchdogOffDuringMessage);
        QVERIFY(viewDuringMessage.contains(QStringLiteral("NO.000250")));
        QVERIFY(!viewDuringMessage.contains(QStringLiteral("NO.000251")));
        // unlocked after OK
        for (QPushButton *b : {h.form->Command2, h.form->Command3, h.form->Command4})
            QVERIFY(b->isEnabled());
        QVERIFY(h.form->Toolbar1->isEnabled());
        QVERIFY(h.form->Timer1->isActive());
        QVERIFY(h.form->Timer2->isActive());
        QVERIFY(h.form->Timer3->isActive());
        QVERIFY(!h.form->Timer4->isActive());
    }

    void progressAfterTheFirstOfThreeBlocks()
    {
        Form1Harness h;
        startReadOut(h, 1, 2500);
        h.receiveBlock(blockReplyFor(h.takeWrites().last(), sampleRecord));
        QCOMPARE(h.form->ProgressBar1->value(), 40);
        QVERIFY(h.dialogs.messages.isEmpty());
        QVERIFY(h.form->Timer4->isActive());
    }

    void reservedValuesAreStoredAsTheyCome()
    {
        Form1Harness h;
        startReadOut(h, 5, 5);
        QByteArray rec = sampleRecord(5);
        rec[1] = char(0x64);
        rec[2] = char(0x00);
        rec[3] = char(0x42);
        h.receiveBlock(blockReplyFor(h.takeWrites().last(), [&](qint32) { return rec; }));
        QCOMPARE(int(h.form->recordAt(5).val[0]), 10000);
        QCOMPARE(int(h.form->recordAt(5).stat[0]), 66);
    }

    // A block whose last group rounds to 100 % but does not end the range must
    // not complete the read-out: the watchdog has to guard the blocks after it.
    void noCompletionBeforeTheLastBlock()
    {
        Form1Harness h;
        startReadOut(h, 198001, 200000);  // two blocks; the first ends at 99.5 %
        const QByteArray first = h.takeWrites().last();
        QCOMPARE(frameLast(first), 199000);
        h.receiveBlock(blockReplyFor(first, sampleRecord));
        QVERIFY(h.dialogs.messages.isEmpty());
        QVERIFY(h.form->Timer4->isActive());
        QVERIFY(!h.form->Command2->isEnabled());
        const QByteArray second = h.takeWrites().last();
        QCOMPARE(frameFirst(second), 199001);
        h.receiveBlock(blockReplyFor(second, sampleRecord));
        QCOMPARE(h.dialogs.messages.size(), 1);
        QVERIFY(!h.form->Timer4->isActive());
        expectSlotHolds(*h.form, 200000, sampleRecord(200000));
    }

    // While the completion message is open, a late duplicate of the block must
    // neither be stored again nor complete the read-out a second time.
    void nothingReentersWhileTheMessageIsOpen()
    {
        Form1Harness h;
        startReadOut(h, 1, 250);
        const QByteArray frame = h.takeWrites().last();
        h.dialogs.whileMessageOpen = [&] { h.receive(blockReplyFor(frame, otherRecord)); };
        h.receiveBlock(blockReplyFor(frame, sampleRecord));
        QCOMPARE(h.dialogs.messages.size(), 1);
        expectSlotHolds(*h.form, 17, sampleRecord(17));
        QCOMPARE(h.comm->InBufferCount(), 0);
    }

    void aSecondReadOutOverwritesOnlyItsSlots()
    {
        Form1Harness h;
        startReadOut(h, 1, 10);
        h.receiveBlock(blockReplyFor(h.takeWrites().last(), sampleRecord));
        startReadOut(h, 6, 20);
        h.receiveBlock(blockReplyFor(h.takeWrites().last(), otherRecord));
        expectSlotHolds(*h.form, 5, sampleRecord(5));
        expectSlotHolds(*h.form, 6, otherRecord(6));
        expectSlotHolds(*h.form, 20, otherRecord(20));
        QCOMPARE(h.dialogs.messages.size(), 2);
    }

    // A block request that reaches past the last slot stores what has a slot and nothing else.
    void groupsWithoutASlotAreNeverWritten()
    {
        Form1Harness h;
        startReadOut(h, 199999, 200001);
        const QByteArray frame = h.takeWrites().last();
        h.receiveBlock(blockReplyFor(frame, sampleRecord));
        expectSlotHolds(*h.form, 200000, sampleRecord(200000));
        QCOMPARE(h.form->recordStoreBytes(), std::size_t(200001 * 16));
    }
};

QTEST_MAIN(BlockStoreTest)
#include "test_block_store.moc"
