// senddat, the busy lock and the receive path, through a fake serial port.
#include "support/read_out.h"

#include <QtTest>

class LinkTest : public QObject {
    Q_OBJECT
private slots:
    void openPortReopensAndKeepsThePreviousNumberForBadText()
    {
        CoreHarness h({1, 3});
        h.io->openAttempts.clear();
        testing(h.core).openPort();  // already open on COM1: closed and opened again
        QCOMPARE(h.io->openAttempts, QStringList{h.deviceOf(1)});
        QCOMPARE(h.core->serial().Settings(), QStringLiteral("115200,n,8,1"));
        QCOMPARE(int(h.core->serial().InputMode()), 1);
        h.core->setPort(0);  // selects no port
        testing(h.core).openPort();
        QCOMPARE(h.io->openDevice, h.deviceOf(1));
        startReadOut(h, 1, 250);  // armed for a block of 5000 bytes
        h.core->setPort(2);       // no COM2: closed, armed all the same
        testing(h.core).openPort();
        QVERIFY(!h.core->serial().PortOpen());
        QCOMPARE(int(h.core->serial().RThreshold()), 20);
        QCOMPARE(int(h.core->serial().InputLen()), 20);
    }

    void probeFrameAndThreshold()
    {
        CoreHarness h;
        testing(h.core).senddat(11);
        const auto w = h.takeWrites();
        QCOMPARE(w.size(), 1);
        QCOMPARE(w[0], bytes({0xAA, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x11}));
        QCOMPARE(int(h.core->serial().RThreshold()), 20);
        QCOMPARE(int(testing(h.core).lastCmd()), 11);
    }

    void rangeUnderOneBlockIsOneFrame()
    {
        CoreHarness h;
        startReadOut(h, 1, 250);
        const auto w = h.takeWrites();
        QCOMPARE(w.size(), 1);
        QCOMPARE(w[0], bytes({0xAA, 0x00, 0x00, 0x01, 0x00, 0x02, 0x32, 0x55}));
        QCOMPARE(int(h.core->serial().RThreshold()), 5000);
        QCOMPARE(int(h.core->serial().InputLen()), 5000);
        h.receiveBlock(blockReplyFor(w[0], sampleRecord));
        QVERIFY(h.takeWrites().isEmpty());  // nothing more is requested
        QVERIFY(!testing(h.core).Timer4().isActive());
    }

    void range1To2500IsThreeFrames()
    {
        CoreHarness h;
        startReadOut(h, 1, 2500);
        QList<QByteArray> sent = h.takeWrites();
        QCOMPARE(int(h.core->serial().RThreshold()), 20000);
        QCOMPARE(int(h.core->serial().InputLen()), 20000);
        h.receiveBlock(blockReplyFor(sent.last(), sampleRecord));
        QCOMPARE(testing(h.core).startsave(), 1001);
        QCOMPARE(int(testing(h.core).lsmemmul()), 2);
        sent += h.takeWrites();
        h.receiveBlock(blockReplyFor(sent.last(), sampleRecord));
        QCOMPARE(testing(h.core).startsave(), 2001);
        QCOMPARE(int(testing(h.core).lsmemmul()), 3);
        sent += h.takeWrites();
        QCOMPARE(int(h.core->serial().RThreshold()), 10000);
        QCOMPARE(int(h.core->serial().InputLen()), 10000);
        h.receiveBlock(blockReplyFor(sent.last(), sampleRecord));
        sent += h.takeWrites();
        QCOMPARE(sent, (QList<QByteArray>{bytes({0xAA, 0, 0, 1, 0, 0x0A, 0, 0x55}),
                                          bytes({0xAA, 0, 0x0A, 1, 0, 0x14, 0, 0x55}),
                                          bytes({0xAA, 0, 0x14, 1, 0, 0x19, 0, 0x55})}));
        QCOMPARE(h.completions, 1);  // completed once, at the end
    }

    void range1To2000IsTwoWholeBlocks()
    {
        CoreHarness h;
        startReadOut(h, 1, 2000);
        QList<QByteArray> sent = h.takeWrites();
        h.receiveBlock(blockReplyFor(sent.last(), sampleRecord));
        sent += h.takeWrites();
        h.receiveBlock(blockReplyFor(sent.last(), sampleRecord));
        sent += h.takeWrites();
        QCOMPARE(sent.size(), 2);
        QCOMPARE(sent[1], bytes({0xAA, 0, 0x0A, 1, 0, 0x14, 0, 0x55}));
        QVERIFY(!testing(h.core).Timer4().isActive());
    }

    void closedPortSendsNothingAndLocksNothing()
    {
        CoreHarness h({});  // no device present: the port stays closed
        QVERIFY(!h.core->serial().PortOpen());
        testing(h.core).senddat(33);
        QVERIFY(h.takeWrites().isEmpty());
        QCOMPARE(int(testing(h.core).lastCmd()), 33);
        startReadOut(h, 1, 10);
        QCOMPARE(int(testing(h.core).lastCmd()), 55);
        QVERIFY(h.takeWrites().isEmpty());
        // Not armed for the block's 200 bytes: the thresholds are as start-up left them.
        QCOMPARE(int(h.core->serial().RThreshold()), 20);
        QCOMPARE(int(h.core->serial().InputLen()), 20);
        QVERIFY(!h.core->isBusy());
        QVERIFY(h.busy.isEmpty());
    }

    void blockRequestAppliesTheBusyLock()
    {
        CoreHarness h;
        QVERIFY(testing(h.core).Timer2().isActive() && testing(h.core).Timer3().isActive());
        startReadOut(h, 1, 10);
        QVERIFY(h.core->isBusy());
        QCOMPARE(h.busy, QList<bool>{true});
        QVERIFY(!testing(h.core).Timer2().isActive());
        QVERIFY(!testing(h.core).Timer3().isActive());
        QVERIFY(testing(h.core).Timer4().isActive());
    }

    void shortCommandsKeepInputLen()
    {
        CoreHarness h;
        startReadOut(h, 1, 250);
        h.receiveBlock(blockReplyFor(h.takeWrites().last(), sampleRecord));
        testing(h.core).senddat(33);
        QCOMPARE(int(h.core->serial().RThreshold()), 20);
        QCOMPARE(int(h.core->serial().InputLen()), 5000);
        testing(h.core).openPort();
        QCOMPARE(int(h.core->serial().InputLen()), 20);
    }

    void unknownCommandResendsTheLastFrame()
    {
        CoreHarness h;
        startReadOut(h, 1, 250);  // armed for a block of 5000 bytes
        const QByteArray block = h.takeWrites().last();
        testing(h.core).senddat(44);
        const auto w = h.takeWrites();
        QCOMPARE(w, QList<QByteArray>{block});
        QCOMPARE(int(h.core->serial().RThreshold()), 5000);
        QCOMPARE(int(testing(h.core).lastCmd()), 44);
    }

    void staleBytesAreGoneAfterSenddat()
    {
        CoreHarness h;
        h.io->injectQuietly(bytes({0xAA, 1, 2, 3}));  // in the driver, not yet read
        testing(h.core).senddat(11);
        QVERIFY(h.io->pendingInput.isEmpty());
        // Only the real reply completes the threshold; the stale bytes would have shifted it.
        h.receive(shortReply(0x11, 0xFF));
        QCOMPARE(int(h.core->secFlag()), 1);
    }

    // senddat drops stale input, then writes the frame, then makes sure it is
    // on its way. A port that sends at once, to an instrument that answers at
    // once, has the reply in the driver before the write returns: dropping the
    // input after the write would lose it.
    void replyOfAnInstantInstrumentSurvivesSenddat_data()
    {
        QTest::addColumn<bool>("holdsWritesUntilDrain");
        QTest::newRow("port that sends at once") << false;
        QTest::newRow("port that sends when drained") << true;
    }
    void replyOfAnInstantInstrumentSurvivesSenddat()
    {
        QFETCH(bool, holdsWritesUntilDrain);
        CoreHarness h;
        h.io->holdsWritesUntilDrain = holdsWritesUntilDrain;
        h.io->answerAtOnce = [](const QByteArray &frame) {
            return shortReply(quint8(frame.at(7)), 0xFF);
        };
        h.io->injectQuietly(bytes({0xAA, 1, 2, 3}));  // stale, in the driver
        testing(h.core).senddat(11);
        // When senddat returns, the frame is on the line, whichever way the port sends.
        QCOMPARE(h.io->writes, QList<QByteArray>{bytes({0xAA, 1, 2, 3, 4, 5, 6, 0x11})});
        h.receive(QByteArray());  // the event loop hears of the reply
        QCOMPARE(int(h.core->commOk()), 1);
        QCOMPARE(testing(h.core).rxBuf(), shortReply(0x11, 0xFF));
        QCOMPARE(int(h.core->secFlag()), 1);
    }

    void probeReplySetsSecondsFlag_data()
    {
        QTest::addColumn<int>("byte15");
        QTest::addColumn<int>("secFlag");
        QTest::newRow("FF") << 0xFF << 1;
        QTest::newRow("00") << 0x00 << 0;
        QTest::newRow("FE") << 0xFE << 0;
    }
    void probeReplySetsSecondsFlag()
    {
        QFETCH(int, byte15);
        QFETCH(int, secFlag);
        CoreHarness h;
        h.link();
        testing(h.core).senddat(11);
        h.receive(CoreHarness::probeReply(secFlag == 1 ? 0x00 : 0xFF));  // the other way first
        for (int i = 0; i < 12; ++i)
            testing(h.core).Timer2_Timer();  // linked: the ticks only count
        QCOMPARE(int(testing(h.core).silentTicks()), 12);
        testing(h.core).senddat(11);
        QByteArray reply = shortReply(0x11, quint8(byte15));
        for (int i = 1; i < 15; ++i)
            reply[i] = char(0x30 + i);  // bytes that are not read
        h.receive(reply);
        QTEST(int(h.core->secFlag()), "secFlag");
        QCOMPARE(int(h.core->commOk()), 1);
        QCOMPARE(int(testing(h.core).silentTicks()), 0);
    }

    void countReplyOpensTheDialog()
    {
        CoreHarness h;
        h.link();
        h.core->read();
        h.receive(shortReply(0x22, 0x00, 0x03, 0x20));
        QCOMPARE(h.core->savesum(), 332);
        QCOMPARE(h.groupCounts, QList<qint32>{332});
    }

    void countReplyWithWrongEchoOpensNothing()
    {
        CoreHarness h;
        h.link();
        h.core->read();
        h.receive(shortReply(0x22, 0, 0, 5));
        for (int i = 0; i < 3; ++i)
            testing(h.core).Timer2_Timer();
        h.core->read();
        h.receive(shortReply(0x33, 0, 3, 32));
        QCOMPARE(int(h.core->serial().RThreshold()), 20);
        QCOMPARE(h.core->savesum(), 5);
        QCOMPARE(h.groupCounts, QList<qint32>{5});  // the dialog opened for the first reply only
        QCOMPARE(int(testing(h.core).silentTicks()), 3);  // only the instrument's answer counts
    }

    void liveReplyWithWrongEchoShowsNothing()
    {
        CoreHarness h;
        testing(h.core).senddat(11);
        h.receive(CoreHarness::probeReply(0xFF));  // seconds on ...
        testing(h.core).senddat(33);
        h.receive(shortReply(0x22));  // ... and not turned off by a wrong reply
        QVERIFY(h.live.isEmpty());
        QCOMPARE(int(h.core->secFlag()), 1);
        QCOMPARE(int(h.core->commOk()), 1);  // linked by the probe reply, not by the wrong one
    }

    void otherEventsAreIgnored()
    {
        CoreHarness h;
        h.link();
        for (int i = 0; i < 9; ++i)
            testing(h.core).Timer2_Timer();  // linked: the ticks only count
        testing(h.core).senddat(11);
        h.io->injectQuietly(shortReply(0x11, 0xFF));
        h.io->fail(SerialIo::Failure::ReadFailed);  // CommEvent 1008
        QCOMPARE(int(h.core->serial().CommEvent()), int(MSComm::comEventReadFailed));
        QCOMPARE(testing(h.core).rxBuf(), CoreHarness::probeReply());  // the reply that linked
        QCOMPARE(int(h.core->secFlag()), 0);
        QCOMPARE(int(testing(h.core).silentTicks()), 9);
    }

    void shortBlockDeliveryIsNotStored()
    {
        CoreHarness h;
        h.core->clearData();
        startReadOut(h, 1, 250);
        const QByteArray frame = h.takeWrites().last();
        // A delivery that stops short of the block: the stall check finds it
        // not growing, and the line is drained until quiet.
        h.receive(blockReplyFor(frame, sampleRecord).left(100));
        h.quietLine(3);
        QCOMPARE(int(h.core->store().recordAt(1).val[0]), 20000);  // nothing stored
        QCOMPARE(h.takeWrites(), QList<QByteArray>{frame});        // the same block, at once
        QCOMPARE(h.completions, 0);
        QVERIFY(h.interruptions.isEmpty());
        QVERIFY(testing(h.core).Timer4().isActive());  // the watchdog still guards the block
    }

    void shortLiveDeliveryIsIgnored()
    {
        CoreHarness h;
        testing(h.core).senddat(33);
        h.receive(bytes({0xAA, 1, 2, 3, 4}));
        QVERIFY(h.live.isEmpty());
        QCOMPARE(int(h.core->commOk()), 0);
    }

    // Only the instrument's own answer keeps the link: a short reply with its
    // header and echo (and, to a probe, exactly its length), or the bytes of a
    // block during a read-out. A device that answers the probe otherwise is
    // noted as not the instrument.
    void onlyTheInstrumentsAnswerLinks_data()
    {
        QTest::addColumn<int>("dat");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("links");
        const QByteArray probe = shortReply(0x11);
        QTest::newRow("probe reply") << 11 << probe << true;
        QTest::newRow("probe, wrong echo") << 11 << shortReply(0x33) << false;
        QTest::newRow("probe, wrong header")
            << 11 << QByteArray(probe).replace(0, 1, "\x55") << false;
        QTest::newRow("probe reply and a byte more") << 11 << probe + bytes({0}) << false;
        QTest::newRow("20 bytes of noise") << 11 << QByteArray(20, char(0x5A)) << false;
        QTest::newRow("count reply") << 22 << shortReply(0x22, 0, 0, 5) << true;
        QTest::newRow("count, wrong echo") << 22 << shortReply(0x11) << false;
        QTest::newRow("live reply") << 33 << shortReply(0x33) << true;
        QTest::newRow("live, wrong header") << 33 << QByteArray(20, char(0x33)) << false;
        QTest::newRow("nothing asked") << 0 << probe << false;
    }
    void onlyTheInstrumentsAnswerLinks()
    {
        QFETCH(int, dat);
        QFETCH(QByteArray, reply);
        QFETCH(bool, links);
        CoreHarness h({1, 2});
        if (dat != 0)
            testing(h.core).senddat(qint16(dat));
        h.receive(reply);
        QCOMPARE(int(h.core->commOk()), links ? 1 : 0);
        QCOMPARE(h.links, links ? QList<bool>{true} : QList<bool>{});
        const QString noted = h.core->portTip();
        QCOMPARE(noted.endsWith(QStringLiteral("：不是本仪器")), dat == 11 && !links);
    }

    void blockBytesAreLife()
    {
        CoreHarness h;
        startReadOut(h, 1, 5);
        h.receiveBlock(blockReplyFor(h.takeWrites().last(), sampleRecord));
        QCOMPARE(int(h.core->commOk()), 1);
    }
};

QTEST_GUILESS_MAIN(LinkTest)
#include "test_link.moc"
