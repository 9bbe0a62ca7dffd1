// The receive path and block storage through the fake serial port, against
// the simulated instrument. The input chooses the read-range dialog's answers
// and, for every reply, how late it comes, how it is split into deliveries,
// and one fault: stray bytes before it, bytes inserted or dropped, or no reply
// at all. Time is virtual: the instrument's timers are manual, and its line
// timer and watchdog fire when their time comes, in order with the replies.
//
// Properties: the read-out always ends; every stored slot holds exactly the
// instrument's record for its group, and every other slot is untouched; the
// requests stay inside the range and the store; the user is told once.
//
// The instrument answers one request at a time, each reply within 29 s of the
// one before it, or of its request when it was idle. A reply may be slower
// than the 31 s watchdog only when the instrument was idle.
#include "core/instrument.h"
#include "core/link/frames.h"
#include "core/link/read_plan.h"
#include "fuzz_input.h"
#include "sim/instrument.h"
#include "support/fake_serial_io.h"
#include "support/instrument_recorder.h"
#include "support/instrument_testing.h"

#include <QCoreApplication>

#include <cstdio>
#include <deque>
#include <vector>

namespace {

// A run stays short, and still reaches every kind of block: a whole one and
// a partial one after it.
constexpr int kMostGroups = 1200;
// Slots looked at beyond the range's ends. Requests are checked to stay inside
// the range as they go, and a block is stored only where its request points;
// a block stored a slot off shows at the range's edges.
constexpr qint32 kCheckedMargin = 2;
constexpr qint64 kWatchdogTickMs = 1000;
constexpr int kPromptMs = 20;               // a reply as it comes on a good line
constexpr int kWithinAStallCheckMs = 1000;  // late, but within two checks for a stall
constexpr qint64 kMostQueuedGapMs = 29000;  // behind another reply
constexpr qint64 kMostIdleDelayMs = 90000;  // slower than the watchdog, when idle
constexpr qint64 kMostVirtualMs = 3600000;  // a read-out ends well within an hour
constexpr int kMostEvents = 200000;

using Phase = Instrument::ReadPhase;

constexpr char kPortDir[] = "/harlune-fuzz";  // never touched: the serial port is a fake

// The instrument on a fake serial port with COM1 present and open, as after
// start-up, with manual timing: each run is its clock. One serves every run,
// as one serves a user's day: a run starts where the last one left it, with
// no read-out going, and with Clear data, as a user would before a read-out
// whose groups are checked slot by slot. (Making a store of 200001 slots for
// every run would cost more than the run.)
struct Link : InstrumentRecorder {
    Link()
    {
        auto fake = std::make_unique<FakeSerialIo>();
        io = fake.get();
        io->presentDevices << QStringLiteral("%1/COM1").arg(QLatin1String(kPortDir));
        core = std::make_unique<Instrument>(std::move(fake), Instrument::Timing::Manual);
        record(core.get());
        core->load();
    }
    // A new run: the store cleared, the instrument linked, nothing on the
    // line, nothing told yet.
    void startRun()
    {
        core->clearData();
        if (core->commOk() != 1) {
            testing(core).senddat(frames::kProbe);
            receive(sim::probeReply(true));
        }
        io->pendingInput.clear();
        io->writes.clear();
        forget();
    }
    QList<QByteArray> takeWrites()
    {
        QList<QByteArray> out;
        out.swap(io->writes);
        return out;
    }
    void receive(const QByteArray &bytes) { io->inject(bytes); }

    FakeSerialIo *io;
    std::unique_ptr<Instrument> core;
};

// The instrument's record of group g; the runs ask for the same few
// thousand again and again.
const sim::Record &simRecord(qint32 g)
{
    static std::vector<sim::Record> records;
    while (qint32(records.size()) <= g)
        records.push_back(sim::groupRecord(qint32(records.size())));
    return records[std::size_t(g)];
}

Link &link()
{
    static Link theLink;
    return theLink;
}

struct Reply {
    QByteArray bytes;
    qint64 dueMs;
};

class Run {
public:
    explicit Run(FuzzInput &in) : in_(in) {}

    void go();

private:
    void collectRequests();
    std::vector<sim::Delivery> answersTo(const QByteArray &frame);
    void answer(const QByteArray &frame);
    QByteArray damaged(QByteArray reply);
    void deliver(const QByteArray &bytes);
    void harvestTimers();
    std::pair<qint32, qint32> checkedSlots() const;
    void checkStore() const;

    FuzzInput &in_;
    Link &h_ = link();
    sim::Instrument instrument_{sim::InstrumentOptions{}};
    std::deque<Reply> line_;
    std::vector<GroupRecord> before_;  // the checked slots, as the read-out found them
    qint64 now_ = 0;
    qint64 lastDueMs_ = 0;
    qint64 lineDueMs_ = -1;
    quint64 lineStarts_ = 0;  // the line timer's starts seen, to tell a restart
    qint64 tickDueMs_ = -1;
    qint32 rangeFirst_ = 0, rangeLast_ = -1;
};

void Run::go()
{
    Instrument &f = *h_.core;
    h_.startRun();
    sim::InstrumentOptions options;
    options.groups = in_.range(0, kMostGroups);
    instrument_ = sim::Instrument(options);
    f.read();
    // The group count comes back whole: what follows is about block replies.
    for (const QByteArray &frame : h_.takeWrites())
        h_.receive(instrument_.receive(frame));
    FUZZ_CHECK(h_.groupCounts.size() == 1, QStringLiteral("no read-range dialog"));
    const uint8_t choice = in_.byte();
    const QString text1 = in_.text(12);
    const QString text2 = in_.text(12);
    if (choice % 16 == 15) {
        f.resumeLink();  // Cancel
        FUZZ_CHECK(h_.takeWrites().isEmpty() && f.readPhase() == Phase::Idle,
                   QStringLiteral("Cancel started something"));
        return;
    }
    f.startReadOut(read_plan::fromTexts(
        choice % 2 ? read_plan::Choice::All : read_plan::Choice::Range, text1, text2, f.savesum()));
    rangeFirst_ = f.lssavesum();
    rangeLast_ = testing(f).endsave();
    // The slots the check looks at, as they are before any block comes in.
    const auto [from, to] = checkedSlots();
    for (qint32 g = from; g <= to; ++g)
        before_.push_back(f.store().recordAt(g));
    harvestTimers();

    for (int events = 0; f.readPhase() != Phase::Idle; ++events) {
        FUZZ_CHECK(events < kMostEvents && now_ < kMostVirtualMs,
                   QStringLiteral("the read-out does not end"));
        collectRequests();
        // The next thing to happen: a reply coming in (first on a tie), the
        // line timer, or a watchdog tick.
        qint64 next = -1;
        int what = -1;
        auto consider = [&](qint64 at, int kind) {
            if (at >= 0 && (next < 0 || at < next)) {
                next = at;
                what = kind;
            }
        };
        consider(line_.empty() ? -1 : line_.front().dueMs, 0);
        consider(lineDueMs_, 1);
        consider(tickDueMs_, 2);
        FUZZ_CHECK(next >= 0, QStringLiteral("a read-out waits for nothing"));
        now_ = std::max(now_, next);
        switch (what) {
        case 0:
            deliver(line_.front().bytes);
            line_.pop_front();
            break;
        case 1:
            lineDueMs_ = -1;
            testing(f).lineTimer().fire();
            break;
        case 2:
            tickDueMs_ += kWatchdogTickMs;
            testing(f).Timer4().fire();
            break;
        }
        harvestTimers();
    }
    collectRequests();
    checkStore();
}

// Block requests the instrument wrote: checked, and answered by the instrument.
void Run::collectRequests()
{
    for (const QByteArray &frame : h_.takeWrites()) {
        frames::Frame f{};
        if (frame.size() == int(f.size()) && quint8(frame[7]) == 0x55) {
            std::copy(frame.begin(), frame.end(), f.begin());
            const qint32 first = frames::frameFirstGroup(f);
            const qint32 last = frames::frameLastGroup(f);
            FUZZ_CHECK(first >= rangeFirst_ && last <= rangeLast_ && first <= last
                           && first >= record_store::kFirstGroup
                           && last <= record_store::kLastGroup,
                       QStringLiteral("request %1..%2 outside %3..%4")
                           .arg(first)
                           .arg(last)
                           .arg(rangeFirst_)
                           .arg(rangeLast_));
        }
        answer(frame);
    }
}

// The instrument's answers. A block reply is its records one after another,
// as sim::blockReply makes it; it is put together from the records the runs
// have seen before, which is most of a run's work otherwise.
std::vector<sim::Delivery> Run::answersTo(const QByteArray &frame)
{
    frames::Frame f{};
    if (frame.size() != int(f.size())
        || quint8(frame[7]) != frames::commandCode(frames::kBlockRequest))
        return instrument_.respond(frame);
    std::copy(frame.begin(), frame.end(), f.begin());
    QByteArray reply;
    for (qint32 g = frames::frameFirstGroup(f); g <= frames::frameLastGroup(f); ++g) {
        const sim::Record &record = simRecord(g);
        reply.append(reinterpret_cast<const char *>(record.data()), qsizetype(record.size()));
    }
    return {{reply}};
}

void Run::answer(const QByteArray &frame)
{
    for (const sim::Delivery &d : answersTo(frame)) {
        const uint8_t fault = in_.byte();
        if (fault % 16 == 15)
            continue;  // this request is never answered
        const bool idle = lastDueMs_ <= now_;
        const qint64 from = idle ? now_ : lastDueMs_;
        const qint64 most = idle && in_.byte() % 8 == 7 ? kMostIdleDelayMs : kMostQueuedGapMs;
        // Most replies come at once or within a stall check; some take up to
        // the longest gap, which the watchdog has to see through. Every 500 ms
        // of waiting is a line check and every second a watchdog tick, so
        // long waits are kept for the inputs that ask for them.
        const uint8_t pace = in_.byte() % 8;
        const qint64 delay = pace < 5   ? in_.range(0, kPromptMs)
                             : pace < 7 ? in_.range(0, kWithinAStallCheckMs)
                                        : in_.range(0, int(most));
        lastDueMs_ = from + delay;
        line_.push_back({damaged(d.bytes), lastDueMs_});
    }
}

// One fault at most per reply, chosen by the input; most replies come whole.
QByteArray Run::damaged(QByteArray reply)
{
    const uint8_t kind = in_.byte() % 8;
    const int at = in_.range(0, reply.size());
    const int n = in_.range(1, 4);
    switch (kind) {
    case 5: return in_.bytes(n) + reply;            // stray bytes before it
    case 6: return reply.insert(at, in_.bytes(n));  // bytes inserted
    case 7: return reply.remove(at, n);             // bytes dropped
    default: return reply;
    }
}

// The bytes of one reply, in deliveries of the input's sizes, back to back.
void Run::deliver(const QByteArray &bytes)
{
    for (int at = 0; at < bytes.size();) {
        // A used-up input reads as zeros: a reply then comes whole.
        const int n = in_.byte() % 4 == 3 ? in_.range(1, bytes.size() - at) : bytes.size() - at;
        h_.receive(bytes.mid(at, n));
        at += n;
        harvestTimers();
    }
}

// The instrument's timers run on virtual time: when one is started, its due
// time is noted, and only this run fires it.
void Run::harvestTimers()
{
    Instrument &f = *h_.core;
    if (!testing(f).lineTimer().isActive()) {
        lineDueMs_ = -1;
    } else if (testing(f).lineTimer().starts() != lineStarts_) {
        lineStarts_ = testing(f).lineTimer().starts();
        lineDueMs_ = now_ + testing(f).lineTimer().interval();
    }
    if (!testing(f).Timer4().isActive())
        tickDueMs_ = -1;
    else if (tickDueMs_ < 0)
        tickDueMs_ = now_ + kWatchdogTickMs;
}

// The range and a margin around it.
std::pair<qint32, qint32> Run::checkedSlots() const
{
    return {std::max(record_store::kFirstGroup, rangeFirst_ - kCheckedMargin),
            std::min(record_store::kLastGroup, std::max(rangeFirst_, rangeLast_) + kCheckedMargin)};
}

void Run::checkStore() const
{
    const Instrument &f = *h_.core;
    const int told = h_.completions + int(h_.interruptions.size()) + h_.nothingToRead;
    FUZZ_CHECK(told == 1, QStringLiteral("the user was told %1 times").arg(told));
    const bool complete = h_.completions == 1;
    if (complete)
        FUZZ_CHECK(f.storedLast() == rangeLast_, QStringLiteral("complete before the range's end"));
    else if (rangeLast_ >= rangeFirst_)
        FUZZ_CHECK(f.memnum() == std::max(0, f.storedLast() - f.lssavesum() + 1),
                   QStringLiteral("Save would not write what arrived"));
    const auto [from, to] = checkedSlots();
    // What this run's read-out stored: nothing when the range held no groups
    // and no read-out began (the instrument's last block is an earlier run's).
    const qint32 storedLast = h_.nothingToRead == 1 ? rangeFirst_ - 1 : f.storedLast();
    for (qint32 g = from; g <= to; ++g) {
        const GroupRecord r = f.store().recordAt(g);
        if (g >= rangeFirst_ && g <= storedLast) {
            const sim::Record &want = simRecord(g);
            bool same = r.year == want[10] && r.month == want[11] && r.day == want[12]
                        && r.hour == want[13] && r.minute == want[14] && r.second == want[15]
                        && r.charge == want[18];
            for (int c = 0; c < 3; ++c)
                same = same && r.val[c] == want[1 + 3 * c] * 100 + want[2 + 3 * c]
                       && r.stat[c] == want[3 + 3 * c];
            FUZZ_CHECK(same, QStringLiteral("group %1 is not the instrument's").arg(g));
        } else {
            const GroupRecord &was = before_[std::size_t(g - from)];
            bool same = r.year == was.year && r.second == was.second && r.charge == was.charge;
            for (int c = 0; c < 3; ++c)
                same = same && r.val[c] == was.val[c] && r.stat[c] == was.stat[c];
            FUZZ_CHECK(same, QStringLiteral("group %1 was written but never arrived").arg(g));
        }
    }
}

// A run's log keeps only what the properties say.
void quietQtMessage(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qInstallMessageHandler(quietQtMessage);
    qputenv("HARLUNE_PORT_DIR", kPortDir);
    new QCoreApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    {
        Run run(in);
        run.go();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
