// senddat, the busy lock and the receive path, through a fake serial port.
#include "dialog/form2.h"
#include "support/read_out.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolBar>
#include <QtTest>

class LinkTest : public QObject {
    Q_OBJECT
private slots:
    void openPortReopensAndKeepsThePreviousNumberForBadText()
    {
        Form1Harness h({1, 3});
        h.io->openAttempts.clear();
        h.form->openPort();  // already open on COM1: closed and opened again
        QCOMPARE(h.io->openAttempts, QStringList{h.deviceOf(1)});
        QCOMPARE(h.comm->Settings(), QStringLiteral("115200,n,8,1"));
        QCOMPARE(int(h.comm->InputMode()), 1);
        h.form->Combo1->setEditText(QStringLiteral("abc"));
        h.form->openPort();
        QCOMPARE(h.io->openDevice, h.deviceOf(1));
        h.form->Combo1->setEditText(QStringLiteral("2"));  // no COM2: closed, armed all the same
        h.comm->setRThreshold(5000);
        h.form->openPort();
        QVERIFY(!h.comm->PortOpen());
        QCOMPARE(int(h.comm->RThreshold()), 20);
        QCOMPARE(int(h.comm->InputLen()), 20);
    }

    void probeFrameAndThreshold()
    {
        Form1Harness h;
        h.form->senddat(11);
        const auto w = h.takeWrites();
        QCOMPARE(w.size(), 1);
        QCOMPARE(w[0], bytes({0xAA, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x11}));
        QCOMPARE(int(h.comm->RThreshold()), 20);
        QCOMPARE(int(h.form->lastCmd), 11);
    }

    void rangeUnderOneBlockIsOneFrame()
    {
        Form1Harness h;
        startReadOut(h, 1, 250);
        const auto w = h.takeWrites();
        QCOMPARE(w.size(), 1);
        QCOMPARE(w[0], bytes({0xAA, 0x00, 0x00, 0x01, 0x00, 0x02, 0x32, 0x55}));
        QCOMPARE(int(h.comm->RThreshold()), 5000);
        QCOMPARE(int(h.comm->InputLen()), 5000);
        h.receiveBlock(blockReplyFor(w[0], sampleRecord));
        QVERIFY(h.takeWrites().isEmpty());  // nothing more is requested
        QVERIFY(!h.form->Timer4->isActive());
    }

    void range1To2500IsThreeFrames()
    {
        Form1Harness h;
        startReadOut(h, 1, 2500);
        QList<QByteArray> sent = h.takeWrites();
        QCOMPARE(int(h.comm->RThreshold()), 20000);
        QCOMPARE(int(h.comm->InputLen()), 20000);
        h.receiveBlock(blockReplyFor(sent.last(), sampleRecord));
        QCOMPARE(h.form->startsave, 1001);
        QCOMPARE(int(h.form->lsmemmul), 2);
        sent += h.takeWrites();
        h.receiveBlock(blockReplyFor(sent.last(), sampleRecord));
        QCOMPARE(h.form->startsave, 2001);
        QCOMPARE(int(h.form->lsmemmul), 3);
        sent += h.takeWrites();
        QCOMPARE(int(h.comm->RThreshold()), 10000);
        QCOMPARE(int(h.comm->InputLen()), 10000);
        h.receiveBlock(blockReplyFor(sent.last(), sampleRecord));
        sent += h.takeWrites();
        QCOMPARE(sent, (QList<QByteArray>{bytes({0xAA, 0, 0, 1, 0, 0x0A, 0, 0x55}),
                                          bytes({0xAA, 0, 0x0A, 1, 0, 0x14, 0, 0x55}),
                                          bytes({0xAA, 0, 0x14, 1, 0, 0x19, 0, 0x55})}));
        QCOMPARE(h.dialogs.messages.size(), 1);  // completed once, at the end
    }

    void range1To2000IsTwoWholeBlocks()
    {
        Form1Harness h;
        startReadOut(h, 1, 2000);
        QList<QByteArray> sent = h.takeWrites();
        h.receiveBlock(blockReplyFor(sent.last(), sampleRecord));
        sent += h.takeWrites();
        h.receiveBlock(blockReplyFor(sent.last(), sampleRecord));
        sent += h.takeWrites();
        QCOMPARE(sent.size(), 2);
        QCOMPARE(sent[1], bytes({0xAA, 0, 0x0A, 1, 0, 0x14, 0, 0x55}));
        QVERIFY(!h.form->Timer4->isActive());
    }

    void closedPortSendsNothingAndLocksNothing()
    {
        Form1Harness h({});  // no device present: the port stays closed
        QVERIFY(!h.comm->PortOpen());
        h.comm->setRThreshold(77);
        h.form->senddat(33);
        QVERIFY(h.takeWrites().isEmpty());
        QCOMPARE(int(h.form->lastCmd), 33);
        QCOMPARE(int(h.comm->RThreshold()), 77);
        startReadOut(h, 1, 10);
        QCOMPARE(int(h.form->lastCmd), 55);
        QVERIFY(h.form->Command2->isEnabled());
        QVERIFY(h.form->Toolbar1->isEnabled());
    }

    void blockRequestAppliesTheBusyLock()
    {
        Form1Harness h;
        for (QTimer *t : {h.form->Timer1, h.form->Timer2, h.form->Timer3})
            t->start();
        startReadOut(h, 1, 10);
        QVERIFY(!h.form->Command2->isEnabled());
        QVERIFY(!h.form->Command3->isEnabled());
        QVERIFY(!h.form->Command4->isEnabled());
        QVERIFY(h.form->Command5->isEnabled());  // Exit stays available
        QVERIFY(!h.form->Toolbar1->isEnabled());
        QVERIFY(!h.form->Timer1->isActive());
        QVERIFY(!h.form->Timer2->isActive());
        QVERIFY(!h.form->Timer3->isActive());
        QVERIFY(h.form->Timer4->isActive());
    }

    void shortCommandsKeepInputLen()
    {
        Form1Harness h;
        startReadOut(h, 1, 250);
        h.receiveBlock(blockReplyFor(h.takeWrites().last(), sampleRecord));
        h.form->senddat(33);
        QCOMPARE(int(h.comm->RThreshold()), 20);
        QCOMPARE(int(h.comm->InputLen()), 5000);
        h.form->openPort();
        QCOMPARE(int(h.comm->InputLen()), 20);
    }

    void unknownCommandResendsTheLastFrame()
    {
        Form1Harness h;
        h.form->senddat(22);
        h.comm->setRThreshold(5);
        h.form->senddat(44);
        const auto w = h.takeWrites();
        QCOMPARE(w.size(), 2);
        QCOMPARE(w[1], w[0]);
        QCOMPARE(int(h.comm->RThreshold()), 5);
        QCOMPARE(int(h.form->lastCmd), 44);
    }

    void staleBytesAreGoneAfterSenddat()
    {
        Form1Harness h;
        h.io->injectQuietly(bytes({0xAA, 1, 2, 3}));  // in the driver, not yet read
        h.form->senddat(11);
        QCOMPARE(h.comm->InBufferCount(), 0);
        // Only the real reply completes the threshold; the stale bytes would have shifted it.
        h.receive(shortReply(0x11, 0xFF));
        QCOMPARE(int(h.form->secFlag), 1);
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
        Form1Harness h;
        h.io->holdsWritesUntilDrain = holdsWritesUntilDrain;
        h.io->answerAtOnce = [](const QByteArray &frame) {
            return shortReply(quint8(frame.at(7)), 0xFF);
        };
        h.io->injectQuietly(bytes({0xAA, 1, 2, 3}));  // stale, in the driver
        h.form->senddat(11);
        // When senddat returns, the frame is on the line, whichever way the port sends.
        QCOMPARE(h.io->writes, QList<QByteArray>{bytes({0xAA, 1, 2, 3, 4, 5, 6, 0x11})});
        h.receive(QByteArray());  // the event loop hears of the reply
        QCOMPARE(int(h.form->commOk), 1);
        QCOMPARE(h.form->rxBuf, shortReply(0x11, 0xFF));
        QCOMPARE(int(h.form->secFlag), 1);
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
        Form1Harness h;
        h.form->secFlag = 7;
        h.form->silentTicks = 12;
        h.form->senddat(11);
        QByteArray reply = shortReply(0x11, quint8(byte15));
        for (int i = 1; i < 15; ++i)
            reply[i] = char(0x30 + i);  // bytes that are not read
        h.receive(reply);
        QTEST(int(h.form->secFlag), "secFlag");
        QCOMPARE(int(h.form->commOk), 1);
        QCOMPARE(int(h.form->silentTicks), 0);
    }

    void countReplyOpensTheDialog()
    {
        Form1Harness h;
        h.form->Command2_Click();
        h.receive(shortReply(0x22, 0x00, 0x03, 0x20));
        QCOMPARE(h.form->savesum, 332);
        QVERIFY(!h.form->isEnabled());
        QVERIFY(!h.form->form2.isNull());
        QVERIFY(h.form->form2->isVisible());
        h.form->form2->Command2_Click();
    }

    void countReplyWithWrongEchoOpensNothing()
    {
        Form1Harness h;
        h.form->savesum = 5;
        h.form->Command2_Click();
        h.comm->setRThreshold(99);
        h.io->inject(QByteArray(99 - 20, '\0'));  // nothing yet: below the threshold
        h.receive(shortReply(0x33, 0, 3, 32));
        QCOMPARE(int(h.comm->RThreshold()), 20);
        QCOMPARE(h.form->savesum, 5);
        QVERIFY(h.form->form2.isNull());
        QVERIFY(h.form->isEnabled());
        QCOMPARE(int(h.form->commOk), 0);  // only the instrument's answer counts
    }

    void liveReplyWithWrongEchoShowsNothing()
    {
        Form1Harness h;
        h.form->senddat(33);
        h.form->secFlag = 1;
        h.receive(shortReply(0x22));
        QCOMPARE(h.form->Label2->text(), QStringLiteral("- -"));
        QCOMPARE(int(h.form->secFlag), 1);
        QCOMPARE(int(h.form->commOk), 0);
    }

    void otherEventsAreIgnored()
    {
        Form1Harness h;
        h.form->senddat(11);
        h.form->rxBuf = bytes({1, 2, 3});
        h.form->silentTicks = 9;
        h.io->injectQuietly(shortReply(0x11, 0xFF));
        h.io->fail(SerialIo::Failure::ReadFailed);  // CommEvent 1008
        QCOMPARE(int(h.comm->CommEvent()), int(MSComm::comEventReadFailed));
        QCOMPARE(h.form->rxBuf, bytes({1, 2, 3}));
        QCOMPARE(int(h.form->commOk), 0);
        QCOMPARE(int(h.form->silentTicks), 9);
    }

    void shortBlockDeliveryIsNotStored()
    {
        Form1Harness h;
        h.form->Command4_Click();
        startReadOut(h, 1, 250);
        const QByteArray frame = h.takeWrites().last();
        // A delivery that raises the event although it is short of the block:
        // the threshold is lowered behind senddat's back.
        h.comm->setRThreshold(100);
        h.receiveBlock(blockReplyFor(frame, sampleRecord).left(100));
        QCOMPARE(int(h.form->recordAt(1).val[0]), 20000);    // nothing stored
        QCOMPARE(h.takeWrites(), QList<QByteArray>{frame});  // the same block, at once
        QVERIFY(h.dialogs.messages.isEmpty());
        QVERIFY(h.form->Timer4->isActive());  // the watchdog still guards the block
    }

    void shortLiveDeliveryIsIgnored()
    {
        Form1Harness h;
        h.form->senddat(33);
        h.comm->setRThreshold(5);
        h.receive(bytes({0xAA, 1, 2, 3, 4}));
        QCOMPARE(h.form->Label2->text(), QStringLiteral("- -"));
        QCOMPARE(int(h.form->commOk), 0);
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
        Form1Harness h({1, 2});
        if (dat != 0)
            h.form->senddat(qint16(dat));
        h.receive(reply);
        QCOMPARE(int(h.form->commOk), links ? 1 : 0);
        h.form->Timer1_Timer();
        const QString noted = hoverTip(h.form->Text1);
        QCOMPARE(noted.endsWith(QStringLiteral("：不是本仪器")), dat == 11 && !links);
        if (h.form->form2)
            h.form->form2->Command2_Click();
    }

    void blockBytesAreLife()
    {
        Form1Harness h;
        startReadOut(h, 1, 5);
        h.receiveBlock(blockReplyFor(h.takeWrites().last(), sampleRecord));
        QCOMPARE(int(h.form->commOk), 1);
    }
};

QTEST_MAIN(LinkTest)
#include "test_link.moc"
