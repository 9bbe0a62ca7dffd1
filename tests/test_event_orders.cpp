// The link over random orders of events: what the user asks for, what the
// line does and time passing, in sequences made from a seed. After every
// event the link's promises are checked: it never stalls, it shows a link
// only while the instrument answers, every group it stores is the
// instrument's, and the busy lock holds exactly while a read-out runs.
//
// HARLUNE_ORDER_SEQUENCES sets how many sequences run (from seed 1);
// HARLUNE_ORDER_SEED replays one sequence and prints its whole trace.
#include "core/instrument.h"
#include "core/link/read_plan.h"
#include "platform/port_map.h"
#include "sim/generator.h"
#include "sim/instrument.h"
#include "support/fake_serial_io.h"
#include "support/instrument_testing.h"
#include "support/read_out.h"

#include <QElapsedTimer>
#include <QtTest>

#include <map>
#include <random>

namespace {

constexpr int kDefaultSequences = 3000;
constexpr int kStepsPerSequence = 60;
constexpr int kTraceShown = 40;  // the trace's last lines, for a failing seed
constexpr int kPorts = 8;        // where the instrument may be plugged in
constexpr qint32 kMostGroups = 3500;

// The promises' bounds, from the link's own: a link is lost after 31 silent
// ticks of 70 ms (a tick late at most), and a count wait lasts three
// requests of a second. A read-out's block gets three watchdog periods of
// 31 s and three bad deliveries before the read-out ends.
constexpr qint64 kMostLinkedSilenceMs = 31 * 70 + 70 + 3 * 1000 + 50;
constexpr qint64 kMostCountWaitMs = 3 * 1000 + 50;
constexpr qint64 kMostBlockWaitMs = 8 * 32 * 1000;
constexpr qint64 kFindWithinMs = 5000;  // sixteen ports, a probe window each where one opens

const QString kPortDir = QStringLiteral("/harlune-orders");
QString deviceOf(int port) { return kPortDir + QStringLiteral("/COM%1").arg(port); }

// How a reply reaches the host: whole, or in pieces with pauses as a
// USB-serial adapter hands them over (62-byte packets, and the last partial
// packet when the adapter's latency timer runs out, up to 40 ms late).
struct Delivery {
    int packet = 0;  // bytes a piece; 0 = the reply whole
    int gapMs = 0;   // between pieces
    int tailMs = 0;  // before the last, partial piece
};

class World {
public:
    explicit World(quint32 seed);
    // Runs the sequence; false with why() and trace() once a promise broke.
    bool run();
    QString why() const { return broken_; }
    QStringList trace() const { return trace_; }
    bool verbose = false;

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    int between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
    void note(const QString &what);

    void step();
    void userStep();
    void lineStep();
    void pass(qint64 ms);
    void heard(const QByteArray &frame);
    void schedule(int port, const QByteArray &bytes, qint64 at);
    void deliverDue();
    void unplug();
    void plugIn(int port);
    void settle();
    void check();
    void checkBlock(qint32 first, qint32 last);
    bool fail(const QString &why);

    std::mt19937 rng_;
    FakeSerialIo *io_ = nullptr;
    std::unique_ptr<Instrument> core_;
    sim::Instrument instrument_;
    sim::Instrument talker_;
    int instrumentPort_ = 0;  // 0: unplugged
    int talkerPort_ = 0;      // 0: none
    Delivery delivery_;
    qint64 holdNextMs_ = 0;  // the instrument's next reply comes this much later
    struct Piece {
        int port;
        QByteArray bytes;
    };
    std::multimap<qint64, Piece> line_;  // what is on its way, by when it arrives
    // A device sends one byte after another: what it sends arrives after
    // what it sent before, however late that was.
    std::map<int, qint64> lastArrival_;

    // What has been seen.
    qint64 silentMs_ = 0;  // supervised time since bytes last reached the host
    LinkMode mode_ = LinkMode::Searching;
    qint64 modeSince_ = 0;
    qint64 progressAt_ = 0;    // a read-out's start, or its last stored block
    qint32 expectNext_ = -1;   // the group the next stored block begins with
    int readOutsEnded_ = 0;    // completions and interruptions told
    int readOutsStarted_ = 0;  // read-outs that entered ReadingOut
    QStringList trace_;
    QString broken_;
};

World::World(quint32 seed)
    : rng_(seed), instrument_([&] {
          sim::InstrumentOptions o;
          std::mt19937 r(seed);
          o.groups = std::uniform_int_distribution<int>(0, kMostGroups)(r);
          o.secondsFlag = r() % 2;
          return o;
      }()),
      talker_([] {
          sim::InstrumentOptions o;
          o.talker = sim::Talker::Long;
          return o;
      }())
{
    auto fake = std::make_unique<FakeSerialIo>();
    io_ = fake.get();
    io_->answerAtOnce = [this](const QByteArray &frame) {
        heard(frame);
        return QByteArray();
    };
    core_ = std::make_unique<Instrument>(std::move(fake), Instrument::Timing::Manual);
    // The pause before the last piece is the gap and the tail: at most 40 ms.
    const int styles[][3] = {{0, 0, 0}, {62, 0, 0}, {62, 5, 16}, {62, 2, 38}, {7, 1, 3}};
    const auto &style = styles[pick(5)];
    delivery_ = {style[0], style[1], style[2]};
    talkerPort_ = pick(3) == 0 ? 0 : between(1, kPorts);
    if (talkerPort_)
        io_->presentDevices << deviceOf(talkerPort_);
    if (pick(4) != 0) {
        int port = between(1, kPorts);
        while (port == talkerPort_)
            port = between(1, kPorts);
        plugIn(port);
    }

    QObject::connect(core_.get(), &Instrument::blockStored, core_.get(),
                     [this](qint32 first, qint32 last) { checkBlock(first, last); });
    QObject::connect(core_.get(), &Instrument::readOutCompleted, core_.get(), [this] {
        ++readOutsEnded_;
        if (expectNext_ != testing(core_).endsave() + 1)
            fail(QStringLiteral("completed with groups %1..%2 not stored")
                     .arg(expectNext_)
                     .arg(testing(core_).endsave()));
    });
    QObject::connect(core_.get(), &Instrument::readOutInterrupted, core_.get(),
                     [this](read_out::End, const QString &) { ++readOutsEnded_; });
    QObject::connect(core_.get(), &Instrument::linkModeChanged, core_.get(), [this](LinkMode m) {
        note(QStringLiteral("  mode %1").arg(QLatin1String(link_mode::name(m))));
        mode_ = m;
        modeSince_ = testing(core_).clock().now();
        if (m == LinkMode::ReadingOut) {
            ++readOutsStarted_;
            progressAt_ = testing(core_).clock().now();
            expectNext_ = core_->lssavesum();
        }
    });
    core_->load();
    mode_ = core_->mode();
}

void World::note(const QString &what)
{
    const QString line =
        QStringLiteral("%1 ms: %2").arg(core_ ? testing(core_).clock().now() : 0).arg(what);
    trace_ << line;
    if (verbose)
        qInfo().noquote() << line;
}

bool World::fail(const QString &why)
{
    if (broken_.isEmpty()) {
        broken_ = why;
        note(QStringLiteral("BROKEN: ") + why);
    }
    return false;
}

bool World::run()
{
    note(QStringLiteral("instrument on COM%1 with %2 groups, talker on COM%3, pieces of %4 "
                        "bytes %5 ms apart, the last %6 ms late")
             .arg(instrumentPort_)
             .arg(instrument_.options().groups)
             .arg(talkerPort_)
             .arg(delivery_.packet)
             .arg(delivery_.gapMs)
             .arg(delivery_.tailMs));
    for (int i = 0; i < kStepsPerSequence && broken_.isEmpty(); ++i)
        step();
    if (broken_.isEmpty())
        settle();
    return broken_.isEmpty();
}

void World::step()
{
    switch (pick(10)) {
    case 0:
    case 1:
    case 2:
    case 3: pass(pick(12) == 0 ? between(500, 35000) : between(1, 600)); return;
    case 4:
    case 5:
    case 6: userStep(); return;
    default: lineStep(); return;
    }
}

void World::userStep()
{
    if (core_->mode() == LinkMode::ChoosingRange && pick(3) != 0) {
        if (pick(4) == 0) {
            note(QStringLiteral("Cancel"));
            core_->resumeLink();
            return;
        }
        const qint32 n = core_->savesum();
        const bool all = pick(3) == 0;
        const int a = between(-3, n + 20), b = between(-3, n + 20);
        note(all ? QStringLiteral("OK, all") : QStringLiteral("OK, %1 to %2").arg(a).arg(b));
        core_->startReadOut(
            read_plan::makePlan(all ? read_plan::Choice::All : read_plan::Choice::Range, a, b, n));
        return;
    }
    switch (pick(6)) {
    case 0:
    case 1:
    case 2:
        note(QStringLiteral("Read"));
        core_->read();
        return;
    case 3:
        note(QStringLiteral("Clear data"));
        core_->clearData();
        return;
    case 4: {
        const int port = between(-2, 20);
        note(QStringLiteral("port %1 typed").arg(port));
        core_->setPort(qint16(port));
        return;
    }
    default:
        note(QStringLiteral("stop"));
        core_->abandonReadOut();
        return;
    }
}

void World::lineStep()
{
    switch (pick(6)) {
    case 0:
        if (instrumentPort_) {
            unplug();
        } else {
            int port = between(1, kPorts);
            while (port == talkerPort_)
                port = between(1, kPorts);
            plugIn(port);
        }
        return;
    case 1:
        instrument_.setSilent(!instrument_.isSilent());
        note(instrument_.isSilent() ? QStringLiteral("instrument goes quiet")
                                    : QStringLiteral("instrument talks again"));
        return;
    case 2: {
        // Line noise, or the rest of a half-sent frame, on whatever is open.
        const int port =
            io_->isOpen() ? io_->openDevice.section(QStringLiteral("COM"), -1).toInt() : 0;
        QByteArray noise;
        for (int i = between(1, 5); i > 0; --i)
            noise.append(char(pick(256)));
        note(QStringLiteral("%1 stray bytes").arg(noise.size()));
        schedule(port, noise, testing(core_).clock().now() + between(0, 30));
        return;
    }
    case 3:
        holdNextMs_ = pick(3) == 0 ? between(1000, 40000) : between(20, 900);
        note(QStringLiteral("the next reply comes %1 ms late").arg(holdNextMs_));
        return;
    default: pass(between(1, 200)); return;
    }
}

// Time passes: each timer fires when it falls due and each piece arrives
// when it is due, in the order they fall due, checking after each.
void World::pass(qint64 ms)
{
    ManualClock &clock = testing(core_).clock();
    const qint64 until = clock.now() + ms;
    while (broken_.isEmpty()) {
        qint64 next = until;
        const qint64 due = clock.nextDue();
        if (due >= 0 && due < next)
            next = due;
        if (!line_.empty() && line_.begin()->first < next)
            next = line_.begin()->first;
        const LinkMode before = core_->mode();
        const qint64 dt = next - clock.now();
        if (before == LinkMode::Searching || before == LinkMode::Linked
            || before == LinkMode::AwaitingCount)
            silentMs_ += dt;
        clock.advance(dt);
        deliverDue();
        check();
        if (clock.now() >= until && (clock.nextDue() < 0 || clock.nextDue() > until)
            && (line_.empty() || line_.begin()->first > until))
            return;
    }
}

// A frame the host wrote, heard by whatever device is on the open port.
void World::heard(const QByteArray &frame)
{
    const int port = io_->openDevice.section(QStringLiteral("COM"), -1).toInt();
    const qint64 now = testing(core_).clock().now();
    if (verbose)
        note(QStringLiteral("  COM%1 hears %2")
                 .arg(port)
                 .arg(QString::fromLatin1(frame.toHex(' '))));
    if (port == talkerPort_) {
        for (const sim::Delivery &d : talker_.respond(frame))
            schedule(port, d.bytes, now + 1 + d.delayMs);
        return;
    }
    if (port != instrumentPort_)
        return;
    const qint64 hold = std::exchange(holdNextMs_, 0);
    for (const sim::Delivery &d : instrument_.respond(frame)) {
        qint64 at = now + between(0, 5) + d.delayMs + hold;
        if (delivery_.packet == 0 || d.bytes.size() <= delivery_.packet) {
            schedule(port, d.bytes, at);
            continue;
        }
        for (int from = 0; from < d.bytes.size(); from += delivery_.packet) {
            const bool last = from + delivery_.packet >= d.bytes.size();
            schedule(port, d.bytes.mid(from, delivery_.packet), at + (last ? delivery_.tailMs : 0));
            at += delivery_.gapMs;
        }
    }
}

void World::schedule(int port, const QByteArray &bytes, qint64 at)
{
    if (port == 0 || bytes.isEmpty())
        return;
    qint64 &last = lastArrival_[port];
    last = std::max(last, at);
    line_.emplace(last, Piece{port, bytes});
}

// Pieces that are due reach the host if their port is open; bytes sent to a
// closed port are lost, as on a real line.
void World::deliverDue()
{
    const qint64 now = testing(core_).clock().now();
    while (!line_.empty() && line_.begin()->first <= now) {
        const Piece piece = line_.begin()->second;
        line_.erase(line_.begin());
        if (io_->openDevice != deviceOf(piece.port))
            continue;
        silentMs_ = 0;
        if (verbose)
            note(QStringLiteral("  %1 bytes from COM%2").arg(piece.bytes.size()).arg(piece.port));
        io_->inject(piece.bytes);
        check();
        if (!broken_.isEmpty())
            return;
    }
}

void World::unplug()
{
    note(QStringLiteral("instrument unplugged from COM%1").arg(instrumentPort_));
    const QString device = deviceOf(instrumentPort_);
    io_->presentDevices.removeAll(device);
    for (auto it = line_.begin(); it != line_.end();)
        it = it->second.port == instrumentPort_ ? line_.erase(it) : std::next(it);
    lastArrival_.erase(instrumentPort_);
    instrument_.dropPartialFrame();
    instrumentPort_ = 0;
    if (io_->openDevice == device)
        io_->fail(SerialIo::Failure::Unplugged);
}

void World::plugIn(int port)
{
    note(QStringLiteral("instrument plugged in on COM%1").arg(port));
    instrumentPort_ = port;
    io_->presentDevices << deviceOf(port);
}

// The sequence is over: the user answers a dialog left open, and then the
// link must come back to its everyday work, finding an instrument that is
// there and talks.
void World::settle()
{
    note(QStringLiteral("settling"));
    holdNextMs_ = 0;
    for (int i = 0; i < 1000 && broken_.isEmpty(); ++i) {
        const LinkMode m = core_->mode();
        if (m == LinkMode::Searching || m == LinkMode::Linked)
            break;
        if (m == LinkMode::ChoosingRange)
            core_->resumeLink();
        else
            pass(1000);
    }
    if (!broken_.isEmpty())
        return;
    if (instrumentPort_ == 0 || instrument_.isSilent()) {
        // A reply already on its way links as any other, and is the last.
        while (!line_.empty() && broken_.isEmpty())
            pass(line_.rbegin()->first - testing(core_).clock().now() + 1);
        pass(kMostLinkedSilenceMs);
        if (core_->commOk() != 0 && broken_.isEmpty())
            fail(QStringLiteral("linked with no instrument to answer"));
        return;
    }
    instrument_.setSilent(false);
    // An instrument still busy with a reply it holds back answers nothing
    // else until that is out.
    const qint64 busyUntil = lastArrival_[instrumentPort_];
    if (busyUntil > testing(core_).clock().now())
        pass(busyUntil - testing(core_).clock().now());
    for (qint64 waited = 0; broken_.isEmpty(); waited += 100) {
        if (core_->mode() == LinkMode::Linked && io_->openDevice == deviceOf(instrumentPort_))
            return;
        if (waited > kFindWithinMs) {
            fail(QStringLiteral("the instrument on COM%1 not found within %2 ms")
                     .arg(instrumentPort_)
                     .arg(kFindWithinMs));
            return;
        }
        pass(100);
    }
}

void World::check()
{
    const qint64 now = testing(core_).clock().now();
    const LinkMode m = core_->mode();
    if (m != mode_)
        fail(QStringLiteral("the mode changed untold"));
    // Each read-out is told to have ended once, by the time it has ended.
    if (m != LinkMode::ReadingOut && readOutsEnded_ != readOutsStarted_)
        fail(QStringLiteral("%1 read-outs ended of %2 started")
                 .arg(readOutsEnded_)
                 .arg(readOutsStarted_));
    InstrumentTesting t = testing(core_);
    const bool everyday = m == LinkMode::Searching || m == LinkMode::Linked;
    if (everyday && !(t.Timer2().isActive() && t.Timer3().isActive()))
        fail(QStringLiteral("the search or the live poll stands still"));
    if (m == LinkMode::AwaitingCount && now - modeSince_ > kMostCountWaitMs)
        fail(QStringLiteral("awaiting the count for %1 ms").arg(now - modeSince_));
    if (m == LinkMode::ReadingOut) {
        if (!t.Timer4().isActive() || core_->readPhase() == Instrument::ReadPhase::Idle)
            fail(QStringLiteral("a read-out that nothing drives"));
        if (now - progressAt_ > kMostBlockWaitMs)
            fail(QStringLiteral("a read-out stuck for %1 ms").arg(now - progressAt_));
    }
    if (core_->commOk() == 1 && m != LinkMode::ReadingOut && m != LinkMode::ChoosingRange) {
        if (silentMs_ > kMostLinkedSilenceMs)
            fail(QStringLiteral("linked after %1 ms without a byte").arg(silentMs_));
        if (io_->openDevice != deviceOf(instrumentPort_))
            fail(QStringLiteral("linked on %1, where the instrument is not").arg(io_->openDevice));
    }
    if (core_->isBusy() != (m == LinkMode::ReadingOut && core_->serial().PortOpen()))
        fail(QStringLiteral("the busy lock is %1 in mode %2")
                 .arg(core_->isBusy() ? QStringLiteral("on") : QStringLiteral("off"))
                 .arg(QLatin1String(link_mode::name(m))));
}

// A stored block follows the one before and holds the instrument's groups.
void World::checkBlock(qint32 first, qint32 last)
{
    note(QStringLiteral("  stored %1..%2").arg(first).arg(last));
    progressAt_ = testing(core_).clock().now();
    if (first != expectNext_)
        fail(QStringLiteral("block %1..%2 stored where %3 was next")
                 .arg(first)
                 .arg(last)
                 .arg(expectNext_));
    expectNext_ = last + 1;
    for (qint32 g = first; g <= last; ++g) {
        const QString mismatch = slotMismatch(core_->store(), g, bytes(sim::groupRecord(g)));
        if (!mismatch.isEmpty()) {
            fail(QStringLiteral("group %1 is not the instrument's: %2").arg(g).arg(mismatch));
            return;
        }
    }
}

}  // namespace

class EventOrdersTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { port_map::setPortDir(kPortDir); }

    void everyOrderKeepsThePromises()
    {
        bool ok = false;
        const quint32 replay = qEnvironmentVariableIntValue("HARLUNE_ORDER_SEED", &ok);
        if (ok) {
            World world(replay);
            world.verbose = true;
            QVERIFY2(world.run(), qPrintable(world.why()));
            return;
        }
        const int wanted = qEnvironmentVariableIntValue("HARLUNE_ORDER_SEQUENCES", &ok);
        const int sequences = ok && wanted > 0 ? wanted : kDefaultSequences;
        QElapsedTimer clock;
        clock.start();
        for (int seed = 1; seed <= sequences; ++seed) {
            World world{quint32(seed)};
            if (!world.run()) {
                const QStringList trace = world.trace();
                QString shown = trace.mid(std::max(0, int(trace.size()) - kTraceShown)).join('\n');
                QFAIL(qPrintable(QStringLiteral("seed %1: %2\n%3\n(replay: HARLUNE_ORDER_SEED=%1)")
                                     .arg(seed)
                                     .arg(world.why(), shown)));
            }
        }
        qInfo("%d sequences in %lld ms", sequences, clock.elapsed());
    }
};

QTEST_GUILESS_MAIN(EventOrdersTest)
#include "test_event_orders.moc"
