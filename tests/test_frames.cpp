// Command frames, the base-100 triple, reply decoding and read-out progress, without a window.
#include "core/link/block_store.h"
#include "core/link/frames.h"
#include "core/link/replies.h"
#include "support/form1_harness.h"

#include <QtTest>

class FramesTest : public QObject {
    Q_OBJECT
private slots:
    void tripleRoundTrip_data()
    {
        QTest::addColumn<int>("group");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("0") << 0 << bytes({0, 0, 0});
        QTest::newRow("1000") << 1000 << bytes({0, 10, 0});
        QTest::newRow("12345") << 12345 << bytes({1, 23, 45});
        QTest::newRow("200000") << 200000 << bytes({20, 0, 0});
        QTest::newRow("999999") << 999999 << bytes({99, 99, 99});
    }
    void tripleRoundTrip()
    {
        QFETCH(int, group);
        QFETCH(QByteArray, expected);
        const frames::Triple t = frames::base100Triple(group);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(t.data()), 3), expected);
        QCOMPARE(frames::fromBase100(t[0], t[1], t[2]), group);
    }

    void shortFrames_data()
    {
        QTest::addColumn<int>("dat");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("probe") << 11 << bytes({0xAA, 1, 2, 3, 4, 5, 6, 0x11});
        QTest::newRow("count") << 22 << bytes({0xAA, 1, 2, 3, 4, 5, 6, 0x22});
        QTest::newRow("live") << 33 << bytes({0xAA, 1, 2, 3, 4, 5, 6, 0x33});
    }
    void shortFrames()
    {
        QFETCH(int, dat);
        QFETCH(QByteArray, expected);
        QCOMPARE(bytes(frames::shortFrame(qint16(dat))), expected);
    }

    void blockFrameCarriesBothEnds()
    {
        const frames::Frame f = frames::blockFrame(1, 250);
        QCOMPARE(bytes(f), bytes({0xAA, 0, 0, 1, 0, 2, 50, 0x55}));
        QCOMPARE(frames::frameFirstGroup(f), 1);
        QCOMPARE(frames::frameLastGroup(f), 250);
    }

    // The three rows of receive arming, tested in their order.
    void blockRequestRows_data()
    {
        QTest::addColumn<int>("startsave");
        QTest::addColumn<int>("endsave");
        QTest::addColumn<int>("memnum");
        QTest::addColumn<int>("memmul");
        QTest::addColumn<int>("memrem");
        QTest::addColumn<int>("lsmemmul");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<int>("threshold");
        QTest::newRow("under one block") << 1 << 250 << 250 << 0 << 250 << 1 << 1 << 250 << 5000;
        QTest::newRow("whole block")
            << 1001 << 2500 << 2500 << 2 << 500 << 2 << 1001 << 2000 << 20000;
        QTest::newRow("final partial")
            << 2001 << 2500 << 2500 << 2 << 500 << 3 << 2001 << 2500 << 10000;
        QTest::newRow("single group") << 7 << 7 << 1 << 0 << 1 << 1 << 7 << 7 << 20;
    }
    void blockRequestRows()
    {
        QFETCH(int, startsave);
        QFETCH(int, endsave);
        QFETCH(int, memnum);
        QFETCH(int, memmul);
        QFETCH(int, memrem);
        QFETCH(int, lsmemmul);
        const frames::BlockRequest r = frames::blockRequest(
            startsave, endsave, memnum, qint16(memmul), qint16(memrem), qint16(lsmemmul));
        QTEST(int(r.first), "first");
        QTEST(int(r.last), "last");
        QTEST(int(r.threshold), "threshold");
    }

    void shortReplyChecks()
    {
        QVERIFY(replies::isShortReply(shortReply(0x11), 0x11));
        QVERIFY(!replies::isShortReply(shortReply(0x33), 0x11));  // wrong echo
        QByteArray wrongHeader = shortReply(0x11);
        wrongHeader[0] = char(0xAB);
        QVERIFY(!replies::isShortReply(wrongHeader, 0x11));
        QVERIFY(
            !replies::isShortReply(shortReply(0x11).left(19), 0x11));  // too short to hold the echo
    }

    void replyFields()
    {
        QCOMPARE(replies::groupCount(shortReply(0x22, 0, 3, 32)), 332);
        QCOMPARE(replies::groupCount(shortReply(0x22, 20, 0, 0)), 200000);
        QCOMPARE(int(replies::secondsFlag(shortReply(0x11, 0xFF))), 1);
        QCOMPARE(int(replies::secondsFlag(shortReply(0x11, 0xFE))), 0);

        QByteArray live = shortReply(0x33);
        const QByteArray channels = bytes({0x0C, 0x22, 0x42, 0x64, 0x00, 0x31, 150, 7, 0x43});
        live.replace(1, channels.size(), channels);
        const auto r = replies::liveReadings(live);
        QCOMPARE(int(r[0].value), 1234);
        QCOMPARE(int(r[0].status), 0x42);
        QCOMPARE(int(r[1].value), 10000);
        QCOMPARE(int(r[2].value), 15007);  // a high byte above 99 is taken as it is
        QCOMPARE(int(r[2].status), 0x43);
    }

    void blockRecordLayout()
    {
        // Two records; the second is the one decoded, with every unread byte set
        // so that an off-by-one in the offsets shows.
        QByteArray rx(40, char(0xEE));
        const QByteArray rec = bytes({0xEE, 0x64, 0x00, 0x42, 1, 2, 0x31, 200,  0,  0x20,
                                      21,   11,   27,   8,    5, 9, 0xEE, 0xEE, 77, 0xEE});
        rx.replace(20, 20, rec);
        const GroupRecord r = replies::blockRecord(rx, 1);
        QCOMPARE(int(r.val[0]), 10000);
        QCOMPARE(int(r.stat[0]), 66);
        QCOMPARE(int(r.val[1]), 102);
        QCOMPARE(int(r.stat[1]), 0x31);
        QCOMPARE(int(r.val[2]), 20000);
        QCOMPARE(int(r.stat[2]), 0x20);
        QCOMPARE(int(r.year), 21);
        QCOMPARE(int(r.month), 11);
        QCOMPARE(int(r.day), 27);
        QCOMPARE(int(r.hour), 8);
        QCOMPARE(int(r.minute), 5);
        QCOMPARE(int(r.second), 9);
        QCOMPARE(int(r.charge), 77);
    }

    void progress_data()
    {
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("endsave");
        QTest::addColumn<int>("percent");
        QTest::newRow("first block of 2500") << 1000 << 2500 << 40;
        QTest::newRow("99.0099") << 100 << 101 << 99;
        QTest::newRow("end") << 101 << 101 << 100;
        QTest::newRow("tie to even, down") << 1 << 8 << 12;  // 12.5
        QTest::newRow("tie to even, up") << 7 << 200 << 4;   // 3.5
        QTest::newRow("99.5 rounds to 100") << 199000 << 200000 << 100;
        QTest::newRow("range ending at group 0") << 0 << 0 << 100;
    }
    void progress()
    {
        QFETCH(int, group);
        QFETCH(int, endsave);
        QTEST(block_store::progressPercent(group, endsave), "percent");
    }
};

QTEST_GUILESS_MAIN(FramesTest)
#include "test_frames.moc"
