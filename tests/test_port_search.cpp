// Port search and link supervision (Timer2), the live poll (Timer3) and the block watchdog
// (Timer4).
#include "core/link/port_number.h"
#include "support/read_out.h"

#include <QtTest>

namespace {
QString combo(CoreHarness &h) { return QString::number(testing(h.core).searchPort()); }
// What the user types into the window's port box reaches the search as the
// port number it reads as; a text that is no port number changes nothing.
void type(CoreHarness &h, const QString &text)
{
    if (const std::optional<qint16> port = port_number::fromText(text))
        h.core->setPort(*port);
}
}  // namespace

class PortSearchTest : public QObject {
    Q_OBJECT
private slots:
    void firstStepProbesPort2()
    {
        CoreHarness h({1, 2});
        QCOMPARE(h.io->openDevice, h.deviceOf(1));  // start-up opened COM1 ...
        QVERIFY(h.takeWrites().isEmpty());          // ... without probing it
        testing(h.core).Timer2_Timer();
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
        // 2.5 reads as port 2 (ties go to the even number), 0.5 as port 0.
        QTest::newRow("fraction") << "2.5" << QStringList{"3", "4"};
        QTest::newRow("fraction below 1") << "0.5" << QStringList{"1", "2"};
        // A text that is no port number leaves the search where it stands.
        QTest::newRow("huge negative is no port") << "-1e20" << QStringList{"2", "3"};
        QTest::newRow("huge is no port") << "1e300" << QStringList{"2", "3"};
        QTest::newRow("not a number") << "abc" << QStringList{"2", "3"};
        QTest::newRow("empty") << "" << QStringList{"2"};
    }
    void stepSequence()
    {
        QFETCH(QString, start);
        QFETCH(QStringList, steps);
        CoreHarness h;
        type(h, start);
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
        CoreHarness h({1});
        QStringList texts = {QStringLiteral("-1"), QStringLiteral("-1e20"),
                             QStringLiteral("x"),  QStringLiteral("1e20"),
                             QStringLiteral("  "), QStringLiteral("16.4")};
        qint16 last = 0;
        for (const QString &t : texts) {
            for (int step = 0; step < 3; ++step) {
                if (step == 0)
                    type(h, t);
                h.io->openAttempts.clear();
                h.searchStep();
                const qint16 port = h.core->serial().CommPort();
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
        CoreHarness h({2});
        testing(h.core).Timer2_Timer();  // port 2 opens and is probed
        QCOMPARE(h.takeWrites().size(), 1);
        QVERIFY(testing(h.core).probeWindow().isActive());
        QCOMPARE(testing(h.core).probeWindow().interval(), 100);
        testing(h.core).Timer2_Timer();  // inside the window: the search stays
        QCOMPARE(combo(h), QStringLiteral("2"));
        QVERIFY(h.takeWrites().isEmpty());
        QCOMPARE(int(testing(h.core).silentTicks()), 2);  // the ticks still count
        h.searchStep();                                   // the window passed unanswered
        QCOMPARE(combo(h), QStringLiteral("3"));
        QVERIFY(!testing(h.core).probeWindow().isActive());  // port 3 is missing ...
        testing(h.core).Timer2_Timer();                      // ... and costs one tick
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
        CoreHarness h({2, 3});
        testing(h.core).Timer2_Timer();
        QVERIFY(testing(h.core).probeWindow().isActive());
        h.receive(reply);
        QVERIFY(!testing(h.core).probeWindow().isActive());
        testing(h.core).Timer2_Timer();
        QCOMPARE(combo(h), portAfterNextTick);
    }

    void fractionalPortIsRoundedToEven()
    {
        CoreHarness h({3});
        type(h, QStringLiteral("2.5"));  // port 2: the search goes on to port 3
        testing(h.core).Timer2_Timer();
        QCOMPARE(h.io->openDevice, h.deviceOf(3));
    }

    void missingPortCostsOneStepAndSendsNothing()
    {
        CoreHarness h({1});
        testing(h.core).Timer2_Timer();
        QVERIFY(!h.core->serial().PortOpen());
        QVERIFY(h.takeWrites().isEmpty());
        QCOMPARE(int(testing(h.core).lastCmd()), 11);
    }

    void replyStopsTheSearchAtThatPort()
    {
        CoreHarness h({1, 2, 3});
        h.searchStep();
        h.searchStep();
        h.receive(shortReply(0x11));
        QCOMPARE(int(h.core->commOk()), 1);
        h.takeWrites();
        testing(h.core).Timer2_Timer();
        QCOMPARE(combo(h), QStringLiteral("3"));
        QCOMPARE(h.io->openDevice, h.deviceOf(3));
        QVERIFY(h.takeWrites().isEmpty());
        QCOMPARE(int(testing(h.core).silentTicks()), 1);
    }

    void linkIsLostOnThe31stSilentTick()
    {
        CoreHarness h;
        h.link();
        QCOMPARE(int(h.core->commOk()), 1);
        for (int i = 0; i < 30; ++i)
            testing(h.core).Timer2_Timer();
        QCOMPARE(int(h.core->commOk()), 1);
        QCOMPARE(combo(h), QStringLiteral("1"));
        testing(h.core).Timer2_Timer();
        QCOMPARE(int(h.core->commOk()), 0);
        testing(h.core).Timer2_Timer();  // the search resumes after the current number
        QCOMPARE(combo(h), QStringLiteral("2"));
    }

    // The count of silent ticks goes on while the search runs (the link is
    // lost on the 31st) and stops at its ceiling.
    void silenceCountStopsAtItsCeiling()
    {
        CoreHarness h;
        h.link();
        for (int i = 0; i < 1299; ++i)
            testing(h.core).Timer2_Timer();
        QCOMPARE(int(testing(h.core).silentTicks()), 1299);
        testing(h.core).Timer2_Timer();
        QCOMPARE(int(testing(h.core).silentTicks()), 1300);
        testing(h.core).Timer2_Timer();
        QCOMPARE(int(testing(h.core).silentTicks()), 1300);
    }

    void livePollOnlyWhileLinked()
    {
        CoreHarness h;
        testing(h.core).Timer3_Timer();
        QVERIFY(h.takeWrites().isEmpty());
        h.link();
        testing(h.core).Timer3_Timer();
        QCOMPARE(h.takeWrites(), QList<QByteArray>{bytes({0xAA, 1, 2, 3, 4, 5, 6, 0x33})});
    }

    void watchdogResendsOnThe31stTick()
    {
        CoreHarness h;
        startReadOut(h, 1, 2500);
        const QByteArray first = h.takeWrites().last();
        for (int i = 0; i < 30; ++i)
            testing(h.core).Timer4_Timer();
        QVERIFY(h.takeWrites().isEmpty());
        testing(h.core).Timer4_Timer();
        QCOMPARE(h.takeWrites(), QList<QByteArray>{first});
        QCOMPARE(int(testing(h.core).blockRetryTicks()), 0);
        // The next block resets the count: 30 more ticks send nothing.
        h.receiveBlock(blockReplyFor(first, sampleRecord));
        h.takeWrites();
        for (int i = 0; i < 30; ++i)
            testing(h.core).Timer4_Timer();
        QVERIFY(h.takeWrites().isEmpty());
    }

    void readStopsSearchAndPoll()
    {
        CoreHarness h;  // start-up lets the search and the live poll run
        QVERIFY(testing(h.core).Timer2().isActive());
        QVERIFY(testing(h.core).Timer3().isActive());
        h.link();
        h.core->read();
        QVERIFY(!testing(h.core).Timer2().isActive());
        QVERIFY(!testing(h.core).Timer3().isActive());
        QCOMPARE(h.takeWrites(), QList<QByteArray>{bytes({0xAA, 1, 2, 3, 4, 5, 6, 0x22})});
    }
};

QTEST_GUILESS_MAIN(PortSearchTest)
#include "test_port_search.moc"
