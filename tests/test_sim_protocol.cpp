// The simulated instrument's protocol, record generator and live sequence, in-process.
#include "sim/generator.h"
#include "sim/instrument.h"
#include "sim/protocol.h"
#include "support/bytes.h"

#include <QtTest>

#include <set>

using sim::Command;

namespace {

const QByteArray kProbe = bytes({0xAA, 1, 2, 3, 4, 5, 6, 0x11});
const QByteArray kGroupCount = bytes({0xAA, 1, 2, 3, 4, 5, 6, 0x22});
const QByteArray kLive = bytes({0xAA, 1, 2, 3, 4, 5, 6, 0x33});

sim::InstrumentOptions options(qint32 groups, bool secondsFlag)
{
    sim::InstrumentOptions o;
    o.groups = groups;
    o.secondsFlag = secondsFlag;
    return o;
}

quint8 unitOf(quint8 status) { return status & sim::kUnitMask; }
quint8 decimalsOf(quint8 status) { return status & sim::kDecimalsMask; }
bool isMarker(const sim::Reading &r)
{
    return r.value() == sim::kOverloadValue || r.value() == sim::kErrorValue;
}

// Which of the display cases a reading falls in: mA, A, kA or no unit.
int unitClass(quint8 status)
{
    switch (unitOf(status)) {
    case sim::kUnitMilliamps: return 0;
    case sim::kUnitAmps: return 1;
    case sim::kUnitKiloamps: return 2;
    default: return 3;
    }
}
// 0 to 3 decimals, or 4 for a nibble that means no scaling.
int decimalClass(quint8 status) { return std::min<int>(decimalsOf(status), 4); }

}  // namespace

class SimProtocolTest : public QObject {
    Q_OBJECT
private slots:
    // ---- replies, byte for byte -------------------------------------------------

    void probeReply_data()
    {
        QTest::addColumn<bool>("seconds");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("seconds") << true << bytes({0xAA, 1,  2,  3,  4,  5,    6,  7,  8,  9,
                                                   10,   11, 12, 13, 14, 0xFF, 16, 17, 18, 0x11});
        QTest::newRow("no seconds")
            << false
            << bytes({0xAA, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0x00, 16, 17, 18, 0x11});
    }
    void probeReply()
    {
        QFETCH(bool, seconds);
        QFETCH(QByteArray, expected);
        sim::Instrument instrument(options(sim::kDefaultGroups, seconds));
        QCOMPARE(instrument.receive(kProbe), expected);
    }

    void groupCountReply_data()
    {
        QTest::addColumn<int>("groups");
        QTest::addColumn<QByteArray>("triple");
        QTest::newRow("none") << 0 << bytes({0, 0, 0});
        QTest::newRow("332") << 332 << bytes({0, 3, 32});
        QTest::newRow("default 2500") << 2500 << bytes({0, 25, 0});
        QTest::newRow("12345") << 12345 << bytes({1, 23, 45});
        QTest::newRow("most 200000") << 200000 << bytes({20, 0, 0});
    }
    void groupCountReply()
    {
        QFETCH(int, groups);
        QFETCH(QByteArray, triple);
        sim::Instrument instrument(options(groups, true));
        QByteArray expected = bytes({0xAA, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14});
        expected += triple + bytes({18, 0x22});
        QCOMPARE(instrument.receive(kGroupCount), expected);
    }

    void firstLiveReplyShowsTheKnownReadings()
    {
        sim::Instrument instrument;
        // 12.34 mA, overload, 0.005 mA.
        const QByteArray expected = bytes({0xAA, 12, 34, 0x42, 100, 0,    0x42, 0,  5,  0x43,
                                           10,   11, 12, 13,   14,  0xFF, 16,   17, 18, 0x33});
        QCOMPARE(instrument.receive(kLive), expected);
    }

    void liveRepliesFollowTheSequence()
    {
        sim::Instrument instrument(options(sim::kDefaultGroups, false));
        for (int step = 0; step < 5; ++step) {
            const QByteArray reply = instrument.receive(kLive);
            QCOMPARE(reply.size(), 20);
            const sim::LiveReadings expected = sim::liveReading(step);
            for (int c = 0; c < sim::kChannels; ++c) {
                QCOMPARE(quint8(reply[1 + 3 * c]), expected[c].hi);
                QCOMPARE(quint8(reply[2 + 3 * c]), expected[c].lo);
                QCOMPARE(quint8(reply[3 + 3 * c]), expected[c].status);
            }
            QCOMPARE(quint8(reply[15]), quint8(0x00));
            QCOMPARE(quint8(reply[19]), quint8(0x33));
        }
        QCOMPARE(instrument.requestCount(Command::LiveReading), 5);
    }

    void blockReply_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::newRow("whole block 1001-2000") << 1001 << 2000;
        QTest::newRow("single group 7") << 7 << 7;
        QTest::newRow("partial block 2001-2500") << 2001 << 2500;
        QTest::newRow("beyond the memory") << 199990 << 200000;
        QTest::newRow("group 0") << 0 << 1;
    }
    void blockReply()
    {
        QFETCH(int, first);
        QFETCH(int, last);
        sim::Instrument instrument;
        const QByteArray reply = instrument.receive(blockFrame(first, last));
        QCOMPARE(reply.size(), (last - first + 1) * 20);
        for (int k = 0; k <= last - first; ++k)
            QCOMPARE(reply.mid(20 * k, 20), bytes(sim::groupRecord(first + k)));
        QCOMPARE(instrument.blockRequests().size(), size_t(1));
        QCOMPARE(instrument.blockRequests().front(), std::make_pair(first, last));
    }

    void reversedBlockRangeGetsNothing()
    {
        sim::Instrument instrument;
        QVERIFY(instrument.receive(blockFrame(9, 5)).isEmpty());
        QCOMPARE(instrument.receive(kProbe).size(), 20);
    }

    // ---- finding frames in the byte stream -----------------------------------------

    void frameScanning_data()
    {
        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::addColumn<QByteArray>("codes");  // the commands recognised, in order

        QTest::newRow("whole frame") << QList<QByteArray>{kProbe} << bytes({0x11});
        QList<QByteArray> oneByOne;
        for (char b : kGroupCount)
            oneByOne << QByteArray(1, b);
        QTest::newRow("byte by byte") << oneByOne << bytes({0x22});
        QTest::newRow("split 3 + 5")
            << QList<QByteArray>{kLive.left(3), kLive.mid(3)} << bytes({0x33});
        QTest::newRow("three at once")
            << QList<QByteArray>{kProbe + kLive + kGroupCount} << bytes({0x11, 0x33, 0x22});
        QTest::newRow("second frame split across chunks")
            << QList<QByteArray>{kProbe + kLive.left(5), kLive.mid(5)} << bytes({0x11, 0x33});
        QTest::newRow("garbage before")
            << QList<QByteArray>{bytes({0x00, 0x13, 0xFF}) + kProbe} << bytes({0x11});
        QTest::newRow("stray header before")
            << QList<QByteArray>{bytes({0xAA, 0x07}), kLive} << bytes({0x33});
        QTest::newRow("truncated frame then a whole one")
            << QList<QByteArray>{kProbe.left(4) + kGroupCount} << bytes({0x22});
        QTest::newRow("garbage between")
            << QList<QByteArray>{kProbe + bytes({0x55, 0x11, 0x33}) + kLive} << bytes({0x11, 0x33});
        QTest::newRow("unknown code")
            << QList<QByteArray>{bytes({0xAA, 1, 2, 3, 4, 5, 6, 0x44})} << QByteArray();
        QTest::newRow("block digits above 99")
            << QList<QByteArray>{bytes({0xAA, 0, 0, 100, 0, 1, 0, 0x55})} << QByteArray();
        QTest::newRow("garbage after")
            << QList<QByteArray>{kProbe + bytes({0x01, 0x02})} << bytes({0x11});
    }
    void frameScanning()
    {
        QFETCH(QList<QByteArray>, chunks);
        QFETCH(QByteArray, codes);
        sim::FrameScanner scanner;
        QByteArray seen;
        for (const QByteArray &chunk : chunks) {
            for (const sim::CommandFrame &f : scanner.feed(chunk))
                seen.append(static_cast<char>(f.command));
        }
        QCOMPARE(seen, codes);
    }

    void blockFrameRangeIsDecoded()
    {
        sim::FrameScanner scanner;
        const auto frames = scanner.feed(bytes({0xAA, 1, 23, 45, 20, 0, 0, 0x55}));
        QCOMPARE(frames.size(), size_t(1));
        QCOMPARE(frames[0].command, Command::Block);
        QCOMPARE(frames[0].first, 12345);
        QCOMPARE(frames[0].last, 200000);
    }

    void repliesFollowSplitAndConcatenatedInput()
    {
        sim::Instrument instrument;
        QVERIFY(instrument.receive(bytes({0x01, 0xAA}) + kProbe.left(2)).isEmpty());
        const QByteArray reply = instrument.receive(kProbe.mid(2) + blockFrame(7, 8));
        QCOMPARE(reply.size(), 20 + 40);
        QCOMPARE(quint8(reply[19]), quint8(0x11));
        QCOMPARE(reply.mid(20), bytes(sim::groupRecord(7)) + bytes(sim::groupRecord(8)));
    }

    // ---- faults -----------------------------------------------------------------

    void silentOnTheCountOnly()
    {
        sim::InstrumentOptions options;
        options.countUnanswered = true;
        sim::Instrument instrument(options);
        QCOMPARE(instrument.receive(kProbe).size(), 20);
        QVERIFY(instrument.receive(kGroupCount).isEmpty());
        QCOMPARE(instrument.requestCount(Command::GroupCount), 1);
        QCOMPARE(instrument.receive(kLive).size(), 20);
        QCOMPARE(instrument.receive(blockFrame(1, 2)).size(), 40);
    }

    void silentOnTheKthBlockOnly()
    {
        sim::InstrumentOptions options;
        options.faults.silentOn = 2;
        sim::Instrument instrument(options);
        QCOMPARE(instrument.receive(blockFrame(1, 1000)).size(), 20000);
        QVERIFY(instrument.receive(blockFrame(1001, 2000)).isEmpty());
        // The host's watchdog sends the same request again: now it is answered.
        QCOMPARE(instrument.receive(blockFrame(1001, 2000)).size(), 20000);
        QCOMPARE(instrument.receive(blockFrame(2001, 2500)).size(), 10000);
        QCOMPARE(instrument.requestCount(Command::Block), 4);
        // Short requests are not counted as blocks and stay answered.
        QCOMPARE(instrument.receive(kProbe).size(), 20);
    }

    void silentFromTheKthBlockOn()
    {
        sim::InstrumentOptions options;
        options.faults.silentFrom = 2;
        sim::Instrument instrument(options);
        QCOMPARE(instrument.receive(blockFrame(1, 1000)).size(), 20000);
        for (int resend = 0; resend < 4; ++resend)
            QVERIFY(instrument.receive(blockFrame(1001, 2000)).isEmpty());
        QCOMPARE(instrument.receive(kLive).size(), 20);  // still alive for the rest
    }

    // Each length fault hits the k-th reply only, and keeps its records intact
    // around the fault, so a host that drops the reply and asks again gets it whole.
    void lengthFaultsHitTheKthReplyOnly_data()
    {
        QTest::addColumn<int>("fault");  // 0 stray, 1 insert, 2 drop
        QTest::addColumn<int>("lengthChange");
        QTest::newRow("stray bytes before") << 0 << sim::kStrayBytes;
        QTest::newRow("a byte inserted") << 1 << 1;
        QTest::newRow("a byte dropped") << 2 << -1;
    }
    void lengthFaultsHitTheKthReplyOnly()
    {
        QFETCH(int, fault);
        QFETCH(int, lengthChange);
        sim::InstrumentOptions options;
        int *const which[] = {&options.faults.strayBefore, &options.faults.insertIn,
                              &options.faults.dropFrom};
        *which[fault] = 2;
        sim::Instrument instrument(options);
        const QByteArray whole = sim::blockReply(1, 1000);
        QCOMPARE(instrument.receive(blockFrame(1, 1000)), whole);
        const QByteArray faulty = instrument.receive(blockFrame(1, 1000));
        QCOMPARE(faulty.size(), whole.size() + lengthChange);
        const int middle = whole.size() / 2;
        switch (fault) {
        case 0:
            QCOMPARE(faulty.mid(sim::kStrayBytes), whole);
            QVERIFY(!faulty.left(sim::kStrayBytes).contains(char(0xAA)));
            break;
        case 1: QCOMPARE(faulty.left(middle) + faulty.mid(middle + 1), whole); break;
        case 2: QCOMPARE(faulty, whole.left(middle) + whole.mid(middle + 1)); break;
        }
        QCOMPARE(instrument.receive(blockFrame(1, 1000)), whole);
    }

    void slowReplyIsDelayedAndTheResendIsNot()
    {
        sim::InstrumentOptions options;
        options.faults.slow = 1;
        options.faults.slowMs = 1234;
        sim::Instrument instrument(options);
        const auto slow = instrument.respond(blockFrame(1, 1000));
        QCOMPARE(int(slow.size()), 1);
        QCOMPARE(slow[0].delayMs, 1234);
        QCOMPARE(slow[0].bytes, sim::blockReply(1, 1000));
        const auto resend = instrument.respond(blockFrame(1, 1000));
        QCOMPARE(int(resend.size()), 1);
        QCOMPARE(resend[0].delayMs, 0);
        QCOMPARE(resend[0].bytes, sim::blockReply(1, 1000));
    }

    void lateReplyIsDeliveredTwiceAfterTheNextRequest()
    {
        sim::InstrumentOptions options;
        options.faults.lateTwice = 1;
        sim::Instrument instrument(options);
        QVERIFY(instrument.respond(blockFrame(1, 1000)).empty());
        const auto both = instrument.respond(blockFrame(1, 1000));
        QCOMPARE(int(both.size()), 2);
        QCOMPARE(both[0].bytes, sim::blockReply(1, 1000));
        QCOMPARE(both[0].delayMs, 0);
        QCOMPARE(both[1].bytes, sim::blockReply(1, 1000));
        QCOMPARE(both[1].delayMs, sim::kCopyGapMs);
        QCOMPARE(instrument.respond(blockFrame(1001, 1002)).size(), std::size_t(1));
    }

    // Short replies come late by the reply delay; block replies keep their own timing.
    void replyDelayHoldsShortRepliesOnly()
    {
        sim::InstrumentOptions options;
        options.replyDelayMs = 60;
        sim::Instrument instrument(options);
        for (const QByteArray &request : {kProbe, kGroupCount, kLive})
            QCOMPARE(instrument.respond(request).at(0).delayMs, 60);
        QCOMPARE(instrument.respond(blockFrame(1, 2)).at(0).delayMs, 0);
    }

    // A device that is not the instrument answers every request, but never
    // with the instrument's reply.
    void talkersAnswerSomethingElse_data()
    {
        QTest::addColumn<int>("talker");
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("instrumentReply");
        for (auto [mode, name] :
             {std::pair{sim::Talker::Random, "random"}, std::pair{sim::Talker::Long, "long"},
              std::pair{sim::Talker::Echo, "echo"}}) {
            QTest::addRow("%s, probe", name) << int(mode) << kProbe << sim::probeReply(true);
            QTest::addRow("%s, count", name)
                << int(mode) << kGroupCount << sim::groupCountReply(sim::kDefaultGroups);
            QTest::addRow("%s, block", name)
                << int(mode) << blockFrame(5, 6) << sim::blockReply(5, 6);
        }
    }
    void talkersAnswerSomethingElse()
    {
        QFETCH(int, talker);
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, instrumentReply);
        sim::InstrumentOptions options;
        options.talker = sim::Talker(talker);
        sim::Instrument instrument(options);
        const QByteArray answer = instrument.receive(request);
        switch (sim::Talker(talker)) {
        case sim::Talker::Random:
            QCOMPARE(answer.size(), sim::kShortReplyLength);
            QVERIFY(!answer.contains(char(sim::kFrameHeader)));
            break;
        case sim::Talker::Long: QCOMPARE(answer.chopped(1), instrumentReply); break;
        case sim::Talker::Echo: QCOMPARE(answer, request); break;
        case sim::Talker::None: QFAIL("not a talker");
        }
    }

    void silenceDropsFramesWithoutAdvancing()
    {
        sim::Instrument instrument;
        instrument.setSilent(true);
        QVERIFY(instrument.receive(kProbe + kLive + blockFrame(1, 10)).isEmpty());
        QCOMPARE(instrument.requestCount(Command::LiveReading), 0);
        QVERIFY(instrument.blockRequests().empty());
        instrument.setSilent(false);
        // The first live reply after the silence is still step 0.
        const QByteArray reply = instrument.receive(kLive);
        QCOMPARE(reply.mid(1, 9), bytes({12, 34, 0x42, 100, 0, 0x42, 0, 5, 0x43}));
    }

    void queuedGarbageGoesOutOnceBeforeTheNextReply()
    {
        sim::Instrument instrument;
        const QByteArray garbage = bytes({0x00, 0x7F, 0xFE});
        instrument.queueGarbage(garbage);
        QCOMPARE(instrument.receive(kProbe.left(4)), QByteArray());  // no reply yet, no garbage
        const QByteArray first = instrument.receive(kProbe.mid(4));
        QCOMPARE(first.size(), 23);
        QCOMPARE(first.left(3), garbage);
        QCOMPARE(quint8(first[3]), quint8(0xAA));
        QCOMPARE(instrument.receive(kProbe).size(), 20);
    }

    void garbageNeverHoldsAHeader()
    {
        const QByteArray g = sim::garbageBytes(5000, 3);
        QCOMPARE(g.size(), 5000);
        QVERIFY(!g.contains(char(0xAA)));
        QCOMPARE(sim::garbageBytes(5000, 3), g);
        QVERIFY(sim::garbageBytes(5000, 4) != g);
        QCOMPARE(std::set<char>(g.begin(), g.end()).size(), size_t(255));
    }

    // ---- the record generator -----------------------------------------------------

    // Group numbers give the same records on every run and every machine, so a
    // test may recompute what the instrument holds: a few of them, byte for byte.
    void recordsAreAFunctionOfTheGroup_data()
    {
        QTest::addColumn<int>("group");
        QTest::addColumn<QByteArray>("record");
        QTest::newRow("0") << 0
                           << bytes({0x00, 0x24, 0x30, 0x41, 0x4D, 0x15, 0x32, 0x15, 0x50, 0xC2,
                                     0x5A, 0x07, 0x07, 0x02, 0x39, 0x0B, 0x3E, 0x00, 0x39, 0x80});
        QTest::newRow("1") << 1
                           << bytes({0x00, 0x00, 0x10, 0x43, 0x38, 0x5B, 0x22, 0x38, 0x27, 0x31,
                                     0x1D, 0x0A, 0x0B, 0x03, 0x21, 0x09, 0x00, 0x00, 0xF3, 0x00});
        QTest::newRow("7") << 7
                           << bytes({0xBB, 0x61, 0x3B, 0x23, 0x58, 0x4A, 0xE8, 0x01, 0x46, 0x43,
                                     0x32, 0x03, 0x0C, 0x0D, 0x22, 0x1C, 0x00, 0xE9, 0x34, 0x96});
        QTest::newRow("2500") << 2500 << bytes({0x00, 0x3A, 0x36, 0x41, 0x28, 0x27, 0x41,
                                                0x59, 0x17, 0x3B, 0x09, 0x04, 0x09, 0x07,
                                                0x0C, 0x08, 0x00, 0x00, 0x7B, 0x00});
        QTest::newRow("200000") << 200000 << bytes({0x23, 0x19, 0x32, 0x22, 0x3E, 0x5F, 0x02,
                                                    0x4C, 0x17, 0x42, 0x09, 0x03, 0x05, 0x0B,
                                                    0x2D, 0x2E, 0x00, 0x00, 0x7E, 0x00});
    }
    void recordsAreAFunctionOfTheGroup()
    {
        QFETCH(int, group);
        QFETCH(QByteArray, record);
        QCOMPARE(bytes(sim::groupRecord(group)), record);
    }

    void recordsDifferFromGroupToGroup()
    {
        std::set<sim::Record> distinct;
        for (qint32 g = 1; g <= 1000; ++g)
            distinct.insert(sim::groupRecord(g));
        QCOMPARE(distinct.size(), size_t(1000));
    }

    void recordFieldsStayInTheirRanges()
    {
        std::set<int> months, days, hours, minutes, seconds, charges;
        int yearsBelowTen = 0;
        for (qint32 g = 1; g <= 20000; ++g) {
            const sim::Record r = sim::groupRecord(g);
            QVERIFY2(r[sim::kRecordYear] <= 99, qPrintable(QString::number(g)));
            yearsBelowTen += r[sim::kRecordYear] < 10;
            months.insert(r[sim::kRecordMonth]);
            days.insert(r[sim::kRecordDay]);
            hours.insert(r[sim::kRecordHour]);
            minutes.insert(r[sim::kRecordMinute]);
            seconds.insert(r[sim::kRecordSecond]);
            charges.insert(r[sim::kRecordCharge]);
            for (int c = 0; c < sim::kChannels; ++c) {
                const sim::Reading reading = sim::recordReading(r, c);
                // lo beyond two digits only where it cannot spell a reserved code.
                if (reading.lo > 99)
                    QVERIFY(reading.hi > 200);
            }
        }
        QVERIFY(yearsBelowTen > 0);
        auto spans = [](const std::set<int> &s, int lowest, int highest) {
            return !s.empty() && *s.begin() == lowest && *s.rbegin() == highest
                   && int(s.size()) == highest - lowest + 1;
        };
        QVERIFY(spans(months, 1, 12));
        QVERIFY(spans(days, 1, 28));
        QVERIFY(spans(hours, 0, 23));
        QVERIFY(spans(minutes, 0, 59));
        QVERIFY(spans(seconds, 0, 59));
        QVERIFY(spans(charges, 0, 255));
    }

    void recordsCoverEveryKindOfReading()
    {
        // Within the default memory, so a plain read-out meets every case.
        std::set<int> units, decimals;
        int overload[3] = {}, error[3] = {}, high = 0, unusedNonZero = 0, unusedZero = 0;
        constexpr int kGroups = 2500;
        for (qint32 g = 1; g <= kGroups; ++g) {
            const sim::Record r = sim::groupRecord(g);
            for (int c = 0; c < sim::kChannels; ++c) {
                const sim::Reading reading = sim::recordReading(r, c);
                overload[c] += reading.value() == sim::kOverloadValue;
                error[c] += reading.value() == sim::kErrorValue;
                if (isMarker(reading))
                    continue;
                high += reading.hi > 99;
                units.insert(unitClass(reading.status));
                decimals.insert(decimalClass(reading.status));
            }
            for (int at : sim::kRecordUnusedBytes)
                (r[at] ? unusedNonZero : unusedZero)++;
        }
        QCOMPARE(units.size(), size_t(4));
        QCOMPARE(decimals.size(), size_t(5));
        for (int c = 0; c < sim::kChannels; ++c)
            QVERIFY2(overload[c] > 0, qPrintable(QString::number(c)));
        QVERIFY(error[1] > 0 && error[2] > 0);
        // An error on channel 1: rare, not absent.
        QVERIFY(error[0] > 0);
        QVERIFY(error[0] < kGroups / 100);
        QVERIFY(high > 0);
        QVERIFY(unusedNonZero > 0 && unusedZero > 0);
    }

    // ---- the live sequence ----------------------------------------------------------

    void liveStepZero()
    {
        const sim::LiveReadings r = sim::liveReading(0);
        QCOMPARE(r[0].value(), quint16(1234));
        QCOMPARE(r[0].status, quint8(0x42));
        QCOMPARE(r[1].value(), sim::kOverloadValue);
        QCOMPARE(r[2].value(), quint16(5));
        QCOMPARE(r[2].status, quint8(0x43));
    }

    void liveSequenceCoversEveryCaseInAMinute()
    {
        constexpr int kStepsPerMinute = 120;
        std::set<int> units, decimals;
        bool overload = false, error = false, high = false;
        sim::LiveReadings previous = sim::liveReading(0);
        for (int step = 0; step < kStepsPerMinute; ++step) {
            const sim::LiveReadings now = sim::liveReading(step);
            QCOMPARE(sim::liveReading(step), now);
            if (step > 0)
                QVERIFY2(now != previous, qPrintable(QString::number(step)));
            previous = now;
            for (const sim::Reading &r : now) {
                overload |= r.value() == sim::kOverloadValue;
                error |= r.value() == sim::kErrorValue;
                if (isMarker(r))
                    continue;
                high |= r.hi > 99;
                units.insert(unitClass(r.status));
                decimals.insert(decimalClass(r.status));
            }
        }
        QCOMPARE(units.size(), size_t(4));
        QCOMPARE(decimals.size(), size_t(5));
        QVERIFY(overload);
        QVERIFY(error);
        QVERIFY(high);
    }
};

QTEST_GUILESS_MAIN(SimProtocolTest)
#include "test_sim_protocol.moc"
