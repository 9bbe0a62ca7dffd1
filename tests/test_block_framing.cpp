// How block replies are taken through the fake serial port: only exactly the
// requested length followed by a quiet line is stored; anything else is
// dropped and the same block asked for again; a late reply after a re-send is
// never taken for the next block; and every read-out ends.
#include "platform/rich_text_box.h"
#include "support/read_out.h"

#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {

using Phase = Form1::ReadPhase;

// A record of another group: stored in the wrong slot, it shows.
QByteArray shiftedRecord(qint32 g) { return sampleRecord(g + 1000); }

// Gives the watchdog n ticks.
void watchdogTicks(Form1Harness &h, int n)
{
    for (int i = 0; i < n; ++i)
        h.form->Timer4_Timer();
}

// The stall check runs until the reply is found to have stopped short.
void stallChecks(Form1Harness &h, int n) { h.quietLine(n); }

void expectStored(Form1Harness &h, qint32 first, qint32 last)
{
    for (qint32 g = first; g <= last; ++g) {
        const QString mismatch = slotMismatch(*h.form, g, sampleRecord(g));
        QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    }
}

void expectEmpty(Form1Harness &h, qint32 first, qint32 last)
{
    for (qint32 g = first; g <= last; ++g)
        QVERIFY2(h.form->recordAt(g).val[0] == record_store::kEmptyValue,
                 qPrintable(QString::number(g)));
}

}  // namespace

class BlockFramingTest : public QObject {
    Q_OBJECT
private slots:
    void exactReplyIsStoredOnlyOnceTheLineIsQuiet()
    {
        Form1Harness h;
        startReadOut(h, 1, 2500);
        const QByteArray frame = h.takeWrites().last();
        h.receive(blockReplyFor(frame, sampleRecord));
        QCOMPARE(h.form->readPhase, Phase::Settling);
        expectEmpty(h, 1, 1);  // not yet: something may still follow
        QVERIFY(h.takeWrites().isEmpty());
        h.quietLine();
        expectStored(h, 1, 1000);
        QCOMPARE(frameFirst(h.takeWrites().last()), 1001);
        QCOMPARE(h.form->readPhase, Phase::Receiving);
    }

    // Every delivery that is not exactly the reply is dropped whole, and the
    // same block is asked for again as soon as the line is quiet.
    void wrongDeliveriesAreAskedForAgain_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("stray bytes before") << 0;
        QTest::newRow("a byte too many in one delivery") << 1;
        QTest::newRow("bytes following the reply") << 2;
        QTest::newRow("a second copy right behind") << 3;
        QTest::newRow("a byte short") << 4;
    }
    void wrongDeliveriesAreAskedForAgain()
    {
        QFETCH(int, kind);
        Form1Harness h;
        startReadOut(h, 1, 2500);
        const QByteArray frame = h.takeWrites().last();
        const QByteArray reply = blockReplyFor(frame, sampleRecord);
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
        QCOMPARE(h.form->readPhase, Phase::Draining);
        QVERIFY(h.takeWrites().isEmpty());  // not before the line is quiet
        h.receive(bytes({0x55}));           // still noisy: the drain goes on
        QCOMPARE(h.comm->InBufferCount(), 0);
        h.quietLine();
        QCOMPARE(h.takeWrites(), QList<QByteArray>{frame});
        expectEmpty(h, 1, 1000);
        QCOMPARE(int(h.form->blockFailures), 1);

        h.receiveBlock(reply);  // the clean answer
        expectStored(h, 1, 1000);
        QCOMPARE(frameFirst(h.takeWrites().last()), 1001);
        QVERIFY(h.dialogs.messages.isEmpty());
    }

    // Bytes the port holds but the event loop has not announced yet (it was
    // busy when they came) count when the quiet window runs out.
    void bytesNotYetAnnouncedStillCount()
    {
        Form1Harness h;
        startReadOut(h, 1, 1000);
        const QByteArray frame = h.takeWrites().last();
        h.receive(blockReplyFor(frame, sampleRecord));
        h.io->injectQuietly(bytes({0x00, 0x01}));
        h.quietLine();
        QCOMPARE(h.form->readPhase, Phase::Draining);
        expectEmpty(h, 1, 1000);
    }

    void aReplyStillFlowingIsNotShort()
    {
        Form1Harness h;
        startReadOut(h, 1, 1000);
        const QByteArray reply = blockReplyFor(h.takeWrites().last(), sampleRecord);
        for (int part = 0; part < 4; ++part) {
            h.receive(reply.mid(part * 4000, 4000));
            stallChecks(h, 1);
        }
        QCOMPARE(h.form->readPhase, Phase::Receiving);
        h.receiveBlock(reply.mid(16000));
        expectStored(h, 1, 1000);
        QCOMPARE(h.dialogs.messages.size(), 1);
    }

    // Three wrong deliveries of one block end the read-out: the blocks stored
    // before stay, and the user is told which groups arrived.
    void thirdFailedAttemptEndsTheReadOut()
    {
        Form1Harness h;
        startReadOut(h, 1, 2500);
        h.receiveBlock(blockReplyFor(h.takeWrites().last(), sampleRecord));
        const QByteArray second = h.takeWrites().last();
        for (int attempt = 1; attempt <= 3; ++attempt) {
            h.receive(blockReplyFor(second, sampleRecord) + bytes({0x07}));
            QVERIFY(h.dialogs.messages.isEmpty());
            h.quietLine();
            QCOMPARE(h.takeWrites().size(), attempt < 3 ? 1 : 0);
        }
        QCOMPARE(h.dialogs.messages.size(), 1);
        QCOMPARE(h.dialogs.messages[0].title, QStringLiteral("Harlune"));
        QCOMPARE(h.dialogs.messages[0].text,
                 QStringLiteral("读取中断：仪器发来的数据连续出错。已读取第 1 至 1000 组。"));
        QCOMPARE(h.form->readPhase, Phase::Idle);
        expectStored(h, 1, 1000);
        expectEmpty(h, 1001, 2000);
        QCOMPARE(h.form->lssavesum, 1);
        QCOMPARE(h.form->memnum, 1000);  // Save writes what arrived
        QVERIFY(h.form->RichTextBox1->Text().contains(QStringLiteral("NO.001000")));
        QCOMPARE(h.form->ProgressBar1->value(), 40);
        QVERIFY(!h.form->Timer4->isActive());
        QVERIFY(h.form->Command2->isEnabled());
        QVERIFY(h.form->Timer1->isActive() && h.form->Timer2->isActive()
                && h.form->Timer3->isActive());
    }

    // The first request of block 2 is answered late, after the watchdog's
    // re-send: its reply is stored as block 2, and the reply to the re-send,
    // which follows, is dropped instead of being stored as block 3.
    void lateReplyAfterAResendIsNeverTheNextBlock()
    {
        Form1Harness h;
        startReadOut(h, 1, 3000);
        h.receiveBlock(blockReplyFor(h.takeWrites().last(), sampleRecord));
        const QByteArray second = h.takeWrites().last();
        watchdogTicks(h, 31);
        QCOMPARE(h.takeWrites(), QList<QByteArray>{second});

        h.receiveBlock(blockReplyFor(second, sampleRecord));
        QCOMPARE(h.form->readPhase, Phase::AwaitingLate);
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
        QCOMPARE(h.dialogs.messages.size(), 1);
        QVERIFY(h.dialogs.messages[0].text.startsWith(QStringLiteral("数据读取完毕")));
    }

    // When nothing more comes after a re-sent block, the next one is asked
    // for after a whole watchdog period of quiet line.
    void withoutALateReplyTheNextBlockWaitsOneWatchdogPeriod()
    {
        Form1Harness h;
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
        Form1Harness h;
        startReadOut(h, 1, 500);
        const QByteArray frame = h.takeWrites().last();
        int requests = 1;
        for (int second = 0; second < 200 && h.form->readPhase != Phase::Idle; ++second) {
            for (int burst = 0; burst < 3; ++burst) {
                h.receive(QByteArray(4000, char(0x5A)));
                h.quietLine(0);  // never quiet: the window is always restarted
            }
            h.form->Timer4_Timer();
            requests += h.takeWrites().size();
        }
        QCOMPARE(h.form->readPhase, Phase::Idle);
        QCOMPARE(h.dialogs.messages.size(), 1);
        QVERIFY(h.dialogs.messages[0].text.contains(QStringLiteral("没有读到任何数据组")));
        QCOMPARE(requests, 3);
        expectEmpty(h, 1, 500);
        QCOMPARE(h.form->memnum, 0);
    }

    // Once the read-out is complete, block bytes that still come are dropped.
    void bytesAfterCompletionAreDropped()
    {
        Form1Harness h;
        startReadOut(h, 1, 100);
        const QByteArray frame = h.takeWrites().last();
        h.receiveBlock(blockReplyFor(frame, sampleRecord));
        QCOMPARE(h.form->readPhase, Phase::Idle);
        h.receiveBlock(blockReplyFor(frame, shiftedRecord));
        expectStored(h, 1, 100);
        QCOMPARE(h.dialogs.messages.size(), 1);
        QCOMPARE(int(h.form->commOk), 1);  // still an answer from the instrument
    }
};

QTEST_MAIN(BlockFramingTest)
#include "test_block_framing.moc"
