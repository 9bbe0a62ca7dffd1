// Port search and link supervision (Timer2), the live poll (Timer3) and the block watchdog
// (Timer4).
#include "support/read_out.h"

#include <QComboBox>
#include <QtTest>

namespace {
QString combo(Form1Harness &h) { return h.form->portText(); }
}  // namespace

class PortSearchTest : public QObject {
    Q_OBJECT
private slots:
    void firstStepProbesPort2()
    {
        Form1Harness h({1, 2});
        QCOMPARE(h.io->openDevice, h.deviceOf(1));  // start-up opened COM1 ...
        QVERIFY(h.takeWrites().isEmpty());          // ... without probing it
        h.form->Timer2_Timer();
        QCOMPARE(combo(h), QStringLiteral("2"));
        QCOMPARE(h.io->openDevice, h.deviceOf(2));
        QCOMPARE(h.takeWrites(), QList<QByteArray>{bytes({0xAA, 1, 2, 3, 4, 5, 6, 0x11})});
    }

    void stepSequence_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QStringList>("steps");
        QTest::newRow("16 wraps to 1") << "15" << QStringList{"16", "1", "2"};
        QTest::newRow("above 16 goes to 1") << "40" << QStringList{"1", "2"};
        QTest::newRow("0 counts up") << "0" << QStringList{"1", "2"};
        // Every step tries a port from 1 to 16: no step is spent on a number
        // that selects no port.
        QTest::newRow("negative goes to 1") << "-2" << QStringList{"1", "2"};
        QTest::newRow("huge negative goes to 1") << "-1e20" << QStringList{"1", "2"};
        QTest::newRow("huge goes to 1") << "1e300" << QStringList{"1", "2"};
        QTest::newRow("fraction") << "2.5" << QStringList{"3.5", "5"};  // 4.5 is port 4 again
        // 1.5 and 2.5 both select port 2 (ties go to the even number); the
        // second step moves on to port 3 instead of trying port 2 again.
        QTest::newRow("fraction onto the same port") << "0.5" << QStringList{"1.5", "3", "4"};
        QTest::newRow("not a number starts at 1") << "abc" << QStringList{"1", "2"};
        QTest::newRow("empty starts at 1") << "" << QStringList{"1"};
    }
    void stepSequence()
    {
        QFETCH(QString, start);
        QFETCH(QStringList, steps);
        Form1Harness h;
        h.form->Combo1->setEditText(start);
        QStringList seen;
        for (int i = 0; i < steps.size(); ++i) {
            h.searchStep();
            seen << combo(h);
        }
        QCOMPARE(seen, steps);
    }

    // Whatever the box holds, each step opens and probes a port other than
    // the one the step before tried: the search can never stick on one port.
    void everyStepMovesToAnotherPort()
    {
        Form1Harness h({1});
        QStringList texts = {QStringLiteral("-1"), QStringLiteral("-1e20"),
                             QStringLiteral("x"),  QStringLiteral("1e20"),
                             QStringLiteral("  "), QStringLiteral("16.4")};
        qint16 last = 0;
        for (const QString &t : texts) {
            for (int step = 0; step < 3; ++step) {
                if (step == 0)
                    h.form->Combo1->setEditText(t);
                h.io->openAttempts.clear();
                h.searchStep();
                const qint16 port = h.comm->CommPort();
                QVERIFY2(port >= 1 && port <= 16, qPrintable(t));
                QVERIFY2(port != last, qPrintable(t));
                QCOMPARE(h.io->openAttempts, QStringList{h.deviceOf(port)});
                QCOMPARE(h.takeWrites().size(), port == 1 ? 1 : 0);  // only COM1 is there
                last = port;
            }
        }
    }

    // A port that opened keeps the search until its probe is answered or its
    // window has passed; a port that did not open costs one tick.
    void anOpenedPortKeepsTheSearchForItsProbeWindow()
    {
        Form1Harness h({2});
        h.form->Timer2_Timer();  // port 2 opens and is probed
        QCOMPARE(h.takeWrites().size(), 1);
        QVERIFY(h.form->probeWindow->isActive());
        QCOMPARE(h.form->probeWindow->interval(), 100);
        h.form->Timer2_Timer();  // inside the window: the search stays
        QCOMPARE(combo(h), QStringLiteral("2"));
        QVERIFY(h.takeWrites().isEmpty());
        QCOMPARE(int(h.form->silentTicks), 2);  // the ticks still count
        h.searchStep();                         // the window passed unanswered
        QCOMPARE(combo(h), QStringLiteral("3"));
        QVERIFY(!h.form->probeWindow->isActive());  // port 3 is missing ...
        h.form->Timer2_Timer();                     // ... and costs one tick
        QCOMPARE(combo(h), QStringLiteral("4"));
    }

    // Inside the window, the instrument's reply links at once; anything else
    // ends the window, and the next tick moves on.
    void answersInsideTheProbeWindow_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("portAfterNextTick");
        QTest::newRow("the instrument") << shortReply(0x11) << QStringLiteral("2");
        QTest::newRow("another device") << QByteArray(20, char(0x41)) << QStringLiteral("3");
    }
    void answersInsideTheProbeWindow()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QString, portAfterNextTick);
        Form1Harness h({2, 3});
        h.form->Timer2_Timer();
        h.receive(reply);
        QVERIFY(!h.form->probeWindow->isActive());
        h.form->Timer2_Timer();
        QCOMPARE(combo(h), portAfterNextTick);
    }

    void fractionalPortIsRoundedToEven()
    {
        Form1Harness h({4});
        h.form->Combo1->setEditText(QStringLiteral("2.5"));
        h.form->Timer2_Timer();  // 3.5 selects port 4
        QCOMPARE(h.io->openDevice, h.deviceOf(4));
    }

    void missingPortCostsOneStepAndSendsNothing()
    {
        Form1Harness h({1});
        h.form->Timer2_Timer();
        QVERIFY(!h.comm->PortOpen());
        QVERIFY(h.takeWrites().isEmpty());
        QCOMPARE(int(h.form->lastCmd), 11);
    }

    void replyStopsTheSearchAtThatPort()
    {
        Form1Harness h({1, 2, 3});
        h.searchStep();
        h.searchStep();
        h.receive(shortReply(0x11));
        QCOMPARE(int(h.form->commOk), 1);
        h.takeWrites();
        h.form->Timer2_Timer();
        QCOMPARE(combo(h), QStringLiteral("3"));
        QCOMPARE(h.io->openDevice, h.deviceOf(3));
        QVERIFY(h.takeWrites().isEmpty());
        QCOMPARE(int(h.form->silentTicks), 1);
    }

    void linkIsLostOnThe31stSilentTick()
    {
        Form1Harness h;
        h.form->commOk = 1;
        for (int i = 0; i < 30; ++i)
            h.form->Timer2_Timer();
        QCOMPARE(int(h.form->commOk), 1);
        QCOMPARE(combo(h), QStringLiteral("1"));
        h.form->Timer2_Timer();
        QCOMPARE(int(h.form->commOk), 0);
        h.form->Timer2_Timer();  // the search resumes after the current number
        QCOMPARE(combo(h), QStringLiteral("2"));
    }

    void silenceCountStopsAtItsCeiling()
    {
        Form1Harness h;
        h.form->silentTicks = 1300;
        h.form->Timer2_Timer();
        QCOMPARE(int(h.form->silentTicks), 1300);
        h.form->silentTicks = 1299;
        h.form->Timer2_Timer();
        QCOMPARE(int(h.form->silentTicks), 1300);
    }

    void livePollOnlyWhileLinked()
    {
        Form1Harness h;
        h.form->Timer3_Timer();
        QVERIFY(h.takeWrites().isEmpty());
        h.form->commOk = 1;
        h.form->Timer3_Timer();
        QCOMPARE(h.takeWrites(), QList<QByteArray>{bytes({0xAA, 1, 2, 3, 4, 5, 6, 0x33})});
    }

    void watchdogResendsOnThe31stTick()
    {
        Form1Harness h;
        startReadOut(h, 1, 2500);
        const QByteArray first = h.takeWrites().last();
        for (int i = 0; i < 30; ++i)
            h.form->Timer4_Timer();
        QVERIFY(h.takeWrites().isEmpty());
        h.form->Timer4_Timer();
        QCOMPARE(h.takeWrites(), QList<QByteArray>{first});
        QCOMPARE(int(h.form->blockRetryTicks), 0);
        // The next block resets the count: 30 more ticks send nothing.
        h.receiveBlock(blockReplyFor(first, sampleRecord));
        h.takeWrites();
        for (int i = 0; i < 30; ++i)
            h.form->Timer4_Timer();
        QVERIFY(h.takeWrites().isEmpty());
    }

    void readStopsSearchAndPoll()
    {
        Form1Harness h;
        h.form->Timer2->start();
        h.form->Timer3->start();
        h.form->Command2_Click();
        QVERIFY(!h.form->Timer2->isActive());
        QVERIFY(!h.form->Timer3->isActive());
        QCOMPARE(h.takeWrites(), QList<QByteArray>{bytes({0xAA, 1, 2, 3, 4, 5, 6, 0x22})});
    }
};

QTEST_MAIN(PortSearchTest)
#include "test_port_search.moc"
