// What happens when the instrument goes away, through the fake serial port:
// read-outs that end, a link state that tells the truth under the busy lock,
// the busy lock held until the read-out ends, port errors noted once, and
// shutting down.
#include "core/link/read_plan.h"
#include "support/read_out.h"

#include <QLoggingCategory>
#include <QtTest>

namespace {

using Phase = Instrument::ReadPhase;

// A read-out of groups first..last with the first `blocks` blocks answered.
void readOutPart(CoreHarness &h, qint32 first, qint32 last, int blocks)
{
    h.core->clearData();
    startReadOut(h, first, last);
    for (int b = 0; b < blocks; ++b)
        h.receiveBlock(blockReplyFor(h.takeWrites().last(), sampleRecord));
    h.takeWrites();
}

// The read-out is over and the link is back at work: the watchdog stopped,
// the search and the live poll running, the busy lock lifted.
void expectBackAtWork(CoreHarness &h)
{
    QCOMPARE(h.core->readPhase(), Phase::Idle);
    QVERIFY(!testing(h.core).Timer4().isActive());
    QVERIFY(testing(h.core).Timer2().isActive());
    QVERIFY(testing(h.core).Timer3().isActive());
    QVERIFY(!h.core->isBusy());
    // Lifted, if it was ever on: a request to a port that is gone applies no lock.
    QVERIFY(h.busy.isEmpty() || !h.busy.last());
}

// Messages of the program's serial log, while a test runs.
QStringList *loggedLines = nullptr;
void recordLog(QtMsgType, const QMessageLogContext &context, const QString &message)
{
    if (loggedLines && QLatin1String(context.category) == QLatin1String("harlune.serial"))
        loggedLines->append(message);
}

}  // namespace

class ReadOutEndTest : public QObject {
    Q_OBJECT
private slots:
    void unpluggedDuringAReadOut_data()
    {
        QTest::addColumn<bool>("hungUp");
        QTest::newRow("unplugged (resource error)") << false;
        QTest::newRow("hung up (read errors without end)") << true;
    }
    void unpluggedDuringAReadOut()
    {
        QFETCH(bool, hungUp);
        CoreHarness h;
        readOutPart(h, 1, 200000, 3);
        QVERIFY(h.core->isBusy());

        // What the link looks like while the user reads why the read-out ended.
        bool portOpenDuringMessage = true;
        int linkDuringMessage = -1;
        QObject::connect(h.core.get(), &Instrument::readOutInterrupted, [&] {
            portOpenDuringMessage = h.core->serial().PortOpen();
            linkDuringMessage = h.core->commOk();
        });
        if (hungUp) {
            for (int i = 0; i < 3; ++i)
                h.io->fail(SerialIo::Failure::ReadFailed);
        } else {
            h.io->fail(SerialIo::Failure::Unplugged);
        }
        QVERIFY(!h.core->serial().PortOpen());
        QCOMPARE(h.portLosses, 1);
        QCOMPARE(h.interruptions,
                 QStringList{QStringLiteral("读取中断：仪器已断开。已读取第 1 至 3000 组。")});
        QCOMPARE(h.completions, 0);
        QVERIFY(!portOpenDuringMessage);
        QCOMPARE(linkDuringMessage, 0);
        QCOMPARE(h.links, (QList<bool>{true, false}));  // the blocks linked; the loss unlinked
        expectBackAtWork(h);
        QCOMPARE(h.core->lssavesum(), 1);
        QCOMPARE(h.core->memnum(), 3000);
        QCOMPARE(h.progress.last(), 2);  // 3000 of 200000
        const QString view = h.listed.last();
        QVERIFY(view.contains(QStringLiteral("NO.002001")));
        QVERIFY(view.contains(QStringLiteral("NO.003000")));
        QVERIFY(!view.contains(QStringLiteral("NO.002000")));
        QVERIFY(slotMismatch(h.core->store(), 3000, sampleRecord(3000)).isEmpty());
        QCOMPARE(int(h.core->store().recordAt(3001).val[0]), int(record_store::kErrorValue));
    }

    void aTransientReadErrorKeepsThePort()
    {
        CoreHarness h;
        readOutPart(h, 1, 2000, 0);
        h.io->fail(SerialIo::Failure::ReadFailed);
        h.io->fail(SerialIo::Failure::ReadFailed);
        h.receive(QByteArray(10, '\0'));  // data between the errors: not a hung-up device
        h.io->fail(SerialIo::Failure::ReadFailed);
        h.io->fail(SerialIo::Failure::ReadFailed);
        QVERIFY(h.core->serial().PortOpen());
        QCOMPARE(h.core->readPhase(), Phase::Receiving);
        QVERIFY(h.interruptions.isEmpty());
        QCOMPARE(h.completions, 0);
        QCOMPARE(h.portLosses, 0);
    }

    // The watchdog asks again every 31 s; after the third re-send goes
    // unanswered the read-out ends. The link is told lost with the first
    // unanswered period, although the busy lock stops the search that would
    // otherwise notice.
    void silenceEndsTheReadOutAfterThreeResends()
    {
        CoreHarness h;
        readOutPart(h, 1, 5000, 2);
        QCOMPARE(int(h.core->commOk()), 1);  // the blocks were the instrument's answer
        QCOMPARE(h.links, QList<bool>{true});
        int frames = 0;
        for (int second = 1; second <= 31 * 4; ++second) {
            testing(h.core).Timer4_Timer();
            frames += h.takeWrites().size();
            if (second == 30)
                QCOMPARE(int(h.core->commOk()), 1);
            if (second == 31) {
                QCOMPARE(int(h.core->commOk()), 0);
                QCOMPARE(h.links, (QList<bool>{true, false}));
            }
            if (second < 31 * 4)
                QVERIFY2(h.interruptions.isEmpty(), qPrintable(QString::number(second)));
        }
        QCOMPARE(frames, 3);
        QCOMPARE(h.interruptions,
                 QStringList{QStringLiteral("读取中断：仪器未应答。已读取第 1 至 2000 组。")});
        QCOMPARE(h.completions, 0);
        expectBackAtWork(h);
        QCOMPARE(h.core->memnum(), 2000);
    }

    void anAnswerResetsTheResendCount()
    {
        CoreHarness h;
        readOutPart(h, 1, 3000, 0);
        for (int block = 0; block < 3; ++block) {
            testing(h.core).Timer4_Timer();
            for (int i = 0; i < 31 * 3; ++i)
                testing(h.core).Timer4_Timer();  // three unanswered re-sends ...
            const QByteArray frame = h.takeWrites().last();
            h.receiveBlock(blockReplyFor(frame, sampleRecord));  // ... then an answer
            for (int i = 0; i < 31; ++i)
                testing(h.core).Timer4_Timer();  // the quiet period after a re-sent block
        }
        QCOMPARE(h.completions, 1);
        QVERIFY(h.interruptions.isEmpty());
    }

    // A front end that is told to end stops the read-out: it ends as
    // interrupted with what arrived, and the reply of the block in flight,
    // when it comes, is not stored.
    void abandonedReadOutKeepsWhatArrived_data()
    {
        QTest::addColumn<int>("blocks");
        QTest::addColumn<QString>("message");
        QTest::newRow("before the first block")
            << 0 << QStringLiteral("读取中断：已被中止。没有读到任何数据组。");
        QTest::newRow("after three blocks")
            << 3 << QStringLiteral("读取中断：已被中止。已读取第 1 至 3000 组。");
    }
    void abandonedReadOutKeepsWhatArrived()
    {
        QFETCH(int, blocks);
        QFETCH(QString, message);
        CoreHarness h;
        h.core->clearData();
        startReadOut(h, 1, 200000);
        for (int b = 0; b < blocks; ++b)
            h.receiveBlock(blockReplyFor(h.takeWrites().last(), sampleRecord));
        const QByteArray inFlight = h.takeWrites().last();

        h.core->abandonReadOut();
        QCOMPARE(h.interruptions, QStringList{message});
        QCOMPARE(h.completions, 0);
        QCOMPARE(h.core->memnum(), blocks * 1000);
        expectBackAtWork(h);

        h.receiveBlock(blockReplyFor(inFlight, sampleRecord));
        const qint32 next = blocks * 1000 + 1;
        QCOMPARE(int(h.core->store().recordAt(next).val[0]), int(record_store::kErrorValue));
        QCOMPARE(h.interruptions.size(), 1);
    }

    void abandoningWithoutAReadOutDoesNothing()
    {
        CoreHarness h;
        h.core->abandonReadOut();
        QVERIFY(h.interruptions.isEmpty());
        QVERIFY(h.listed.size() <= 1);  // start-up's Clear data at most
        QVERIFY(!h.core->isBusy());
    }

    // OK pressed after the instrument went away: no request can go out, and
    // the read-out ends with the watchdog's first tick.
    void okWithThePortGone()
    {
        CoreHarness h;
        h.link();
        h.core->read();
        h.receive(shortReply(0x22, 0, 25, 0));
        QCOMPARE(h.groupCounts, QList<qint32>{2500});  // the read-range dialog's turn
        h.io->fail(SerialIo::Failure::Unplugged);
        QCOMPARE(int(h.core->commOk()), 0);
        QCOMPARE(h.links, (QList<bool>{true, false}));
        QCOMPARE(h.portLosses, 1);
        h.takeWrites();
        // OK with the dialog's range as it opens: groups 1 to 100.
        h.core->startReadOut(read_plan::fromTexts(read_plan::Choice::Range, QStringLiteral("1"),
                                                  QStringLiteral("100"), h.core->savesum()));
        QVERIFY(h.takeWrites().isEmpty());
        testing(h.core).Timer4_Timer();
        QCOMPARE(h.interruptions,
                 QStringList{QStringLiteral("读取中断：仪器已断开。没有读到任何数据组。")});
        QCOMPARE(h.completions, 0);
        QCOMPARE(h.core->memnum(), 0);
        expectBackAtWork(h);
    }

    // The busy lock holds from the first block request to the end of the
    // read-out: the search and the live poll stay quiet, so nothing derails
    // the block in flight.
    void theBusyLockHoldsUntilTheReadOutEnds()
    {
        CoreHarness h;
        startReadOut(h, 1, 2000);
        QVERIFY(h.core->isBusy());
        QCOMPARE(h.busy, QList<bool>{true});
        QVERIFY(!testing(h.core).Timer2().isActive());
        QVERIFY(!testing(h.core).Timer3().isActive());
        h.receiveBlock(blockReplyFor(h.takeWrites().last(), sampleRecord));
        QVERIFY(h.core->isBusy());
        QVERIFY(!h.busy.contains(false));
        QVERIFY(!testing(h.core).Timer3().isActive());
        h.receiveBlock(blockReplyFor(h.takeWrites().last(), sampleRecord));
        QCOMPARE(h.completions, 1);
        QCOMPARE(h.busy.count(false), 1);  // lifted once, at the end
        expectBackAtWork(h);
    }

    void cancelThenUnplugShowsTheTruth()
    {
        CoreHarness h;
        h.link();
        h.core->read();
        h.receive(shortReply(0x22, 0, 25, 0));
        h.core->resumeLink();  // Cancel in the read-range dialog
        QVERIFY(testing(h.core).Timer2().isActive() && testing(h.core).Timer3().isActive());
        QCOMPARE(int(h.core->commOk()), 1);
        h.io->fail(SerialIo::Failure::Unplugged);
        QVERIFY(!h.core->serial().PortOpen());  // "port closed"
        QCOMPARE(int(h.core->commOk()), 0);     // "communication failed", and searching
        QCOMPARE(h.links, (QList<bool>{true, false}));
        QCOMPARE(h.portLosses, 1);
        QVERIFY(testing(h.core).Timer2().isActive());  // the search goes on
        QVERIFY(h.interruptions.isEmpty());
        QCOMPARE(h.completions, 0);
        QCOMPARE(h.nothingToRead, 0);
    }

    // A device the user may not open, or one in use, is named as the port's
    // problem and in the port's tooltip; a missing one only in the tooltip.
    // Nothing for a message box, and each failure is logged once however
    // often the search comes back to it.
    void portErrorsAreShownOnce()
    {
        CoreHarness h({});
        h.io->forbiddenDevices << h.deviceOf(2);
        h.io->busyDevices << h.deviceOf(3);
        QStringList log;
        loggedLines = &log;
        QLoggingCategory::setFilterRules(QStringLiteral("harlune.serial.debug=true"));
        const QtMessageHandler previous = qInstallMessageHandler(recordLog);
        QStringList problems, tips;
        for (int round = 0; round < 3; ++round) {
            for (int step = 0; step < 16; ++step) {
                testing(h.core).Timer2_Timer();
                if (round == 0 && step < 3) {
                    problems << h.core->portProblem();
                    tips << h.core->portTip();
                }
            }
        }
        qInstallMessageHandler(previous);
        QLoggingCategory::setFilterRules(QString());
        loggedLines = nullptr;

        const QString com2 = QStringLiteral("COM2 = ") + h.deviceOf(2);
        const QString com3 = QStringLiteral("COM3 = ") + h.deviceOf(3);
        QCOMPARE(tips,
                 (QStringList{com2 + QStringLiteral("：无权限访问（请把用户加入 dialout 组）"),
                              com3 + QStringLiteral("：设备忙"),
                              QStringLiteral("COM4 = ") + h.deviceOf(4)
                                  + QStringLiteral("：设备不存在")}));
        QCOMPARE(problems[0], com2 + QStringLiteral("：无权限访问（请把用户加入 dialout 组）"));
        QCOMPARE(problems[1], com3 + QStringLiteral("：设备忙"));
        QCOMPARE(problems[2], problems[1]);  // a missing device does not take its place
        QVERIFY(h.interruptions.isEmpty());
        QCOMPARE(h.completions, 0);
        QCOMPARE(h.nothingToRead, 0);
        // Port 1 failed and was logged at start-up, before the test listened.
        for (int port = 1; port <= 16; ++port) {
            const QString device = QLatin1Char('"') + h.deviceOf(port) + QLatin1Char('"');
            QCOMPARE(log.filter(device).size(), port == 1 ? 0 : 1);
        }

        // Once the busy device opens, it is no longer a problem.
        h.io->busyDevices.clear();
        h.io->presentDevices << h.deviceOf(3);
        h.core->setPort(2);
        testing(h.core).Timer2_Timer();
        QCOMPARE(h.io->openDevice, h.deviceOf(3));
        QCOMPARE(h.core->portProblem(), QString());
        QCOMPARE(int(h.core->commOk()), 0);  // "communication failed" takes its place
    }

    // Exit: every timer of the link stops and the port closes, whatever the
    // link was doing.
    void exitClosesThePortAndStopsTheLink_data()
    {
        QTest::addColumn<bool>("reading");
        QTest::newRow("searching") << false;
        QTest::newRow("during a read-out") << true;
    }
    void exitClosesThePortAndStopsTheLink()
    {
        QFETCH(bool, reading);
        CoreHarness h({1, 2});
        if (reading) {
            startReadOut(h, 1, 2000);
            QVERIFY(testing(h.core).Timer4().isActive() && testing(h.core).lineTimer().isActive());
        } else {
            testing(h.core).Timer2_Timer();  // COM2 opens and is probed
            QVERIFY(testing(h.core).Timer2().isActive() && testing(h.core).Timer3().isActive());
            QVERIFY(testing(h.core).probeWindow().isActive());
        }
        QVERIFY(h.core->serial().PortOpen());
        h.core->shutDown();
        QVERIFY(!h.core->serial().PortOpen());
        QVERIFY(h.io->openDevice.isEmpty());
        for (LinkTimer *t :
             {&testing(h.core).Timer2(), &testing(h.core).Timer3(), &testing(h.core).Timer4(),
              &testing(h.core).lineTimer(), &testing(h.core).probeWindow()})
            QVERIFY(!t->isActive());
    }
};

QTEST_GUILESS_MAIN(ReadOutEndTest)
#include "test_read_out_end.moc"
