// The receive path and block storage through the fake serial port, against
// the simulated instrument. The input chooses the dialog's answers and, for
// every reply, how late it comes, how it is split into deliveries, and one
// fault: stray bytes before it, bytes inserted or dropped, or no reply at all.
// Time is virtual: the window's line timer and watchdog fire when their time
// comes, in order with the replies.
//
// Properties: the read-out always ends; every stored slot holds exactly the
// instrument's record for its group, and every other slot is untouched; the
// requests stay inside the range and the store; the user is told once.
//
// The instrument answers one request at a time, each reply within 29 s of the
// one before it, or of its request when it was idle. A reply may be slower
// than the 31 s watchdog only when the instrument was idle.
#include "core/link/frames.h"
#include "dialog/form2.h"
#include "fuzz_input.h"
#include "platform/mscomm.h"
#include "sim/instrument.h"
#include "support/fake_serial_io.h"
#include "support/recording_ui.h"
#include "window/form1.h"

#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>

#include <cstdio>
#include <deque>

namespace {

constexpr int kMostGroups = 5000;  // a run stays short
constexpr qint64 kWatchdogTickMs = 1000;
constexpr qint64 kMostQueuedGapMs = 29000;  // behind another reply
constexpr qint64 kMostIdleDelayMs = 90000;  // slower than the watchdog, when idle
constexpr qint64 kMostVirtualMs = 3600000;  // a read-out ends well within an hour
constexpr int kMostEvents = 200000;

using Phase = Form1::ReadPhase;

constexpr char kPortDir[] = "/harlune-fuzz";  // never touched: the serial port is a fake

// The main window on a fake serial port with COM1 present and open, as after
// start-up, but without listing the empty store (twice) on every run.
struct Window {
    Window()
    {
        auto fake = std::make_unique<FakeSerialIo>();
        io = fake.get();
        io->presentDevices << QStringLiteral("%1/COM1").arg(QLatin1String(kPortDir));
        comm = std::make_unique<MSComm>(std::move(fake));
        form = std::make_unique<Form1>(comm.get(), &dialogs);
        form->endProgram = [] {};
        form->openPort();
        form->emptyRecordStore();
    }
    QList<QByteArray> takeWrites()
    {
        QList<QByteArray> out;
        out.swap(io->writes);
        return out;
    }
    void receive(const QByteArray &bytes) { io->inject(bytes); }

    FakeSerialIo *io;
    std::unique_ptr<MSComm> comm;
    RecordingUi dialogs;
    std::unique_ptr<Form1> form;
};

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
    void answer(const QByteArray &frame);
    QByteArray damaged(QByteArray reply);
    void deliver(const QByteArray &bytes);
    void harvestTimers();
    void checkStore() const;

    FuzzInput &in_;
    Window h_;
    sim::Instrument instrument_{sim::InstrumentOptions{}};
    std::deque<Reply> line_;
    qint64 now_ = 0;
    qint64 lastDueMs_ = 0;
    qint64 lineDueMs_ = -1;
    qint64 tickDueMs_ = -1;
    qint32 rangeFirst_ = 0, rangeLast_ = -1;
};

void Run::go()
{
    Form1 &f = *h_.form;
    sim::InstrumentOptions options;
    options.groups = in_.range(0, kMostGroups);
    instrument_ = sim::Instrument(options);
    f.commOk = 1;
    f.Command2_Click();
    // The group count comes back whole: what follows is about block replies.
    for (const QByteArray &frame : h_.takeWrites())
        h_.receive(instrument_.receive(frame));
    FUZZ_CHECK(f.form2, QStringLiteral("no read-range dialog"));
    Form2 &d = *f.form2;
    const uint8_t choice = in_.byte();
    if (choice % 2)
        d.Option2->setChecked(true);
    d.Text1->setText(in_.text(12));
    d.Text2->setText(in_.text(12));
    if (choice % 16 == 15) {
        d.Command2_Click();
        FUZZ_CHECK(h_.takeWrites().isEmpty() && f.readPhase == Phase::Idle,
                   QStringLiteral("Cancel started something"));
        return;
    }
    d.Command1_Click();
    rangeFirst_ = f.lssavesum;
    rangeLast_ = f.endsave;
    harvestTimers();

    for (int events = 0; f.readPhase != Phase::Idle; ++events) {
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
            f.lineTimer_Timer();
            break;
        case 2:
            tickDueMs_ += kWatchdogTickMs;
            f.Timer4_Timer();
            break;
        }
        harvestTimers();
    }
    collectRequests();
    checkStore();
}

// Block requests the window wrote: checked, and answered by the instrument.
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

void Run::answer(const QByteArray &frame)
{
    for (const sim::Delivery &d : instrument_.respond(frame)) {
        const uint8_t fault = in_.byte();
        if (fault % 16 == 15)
            continue;  // this request is never answered
        const bool idle = lastDueMs_ <= now_;
        const qint64 from = idle ? now_ : lastDueMs_;
        const qint64 most = idle && in_.byte() % 8 == 7 ? kMostIdleDelayMs : kMostQueuedGapMs;
        const qint64 delay = in_.byte() % 2 ? in_.range(0, 20) : in_.range(0, int(most));
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
        const int n = in_.byte() % 4 == 0 ? in_.range(1, bytes.size() - at) : bytes.size() - at;
        h_.receive(bytes.mid(at, n));
        at += n;
        harvestTimers();
    }
}

// The window's timers run on virtual time: a timer it started is noted with
// its due time and stopped, so that only this run fires it.
void Run::harvestTimers()
{
    Form1 &f = *h_.form;
    if (f.lineTimer->isActive()) {
        lineDueMs_ = now_ + f.lineTimer->interval();
        f.lineTimer->stop();
    }
    if (!f.Timer4->isActive())
        tickDueMs_ = -1;
    else if (tickDueMs_ < 0)
        tickDueMs_ = now_ + kWatchdogTickMs;
}

void Run::checkStore() const
{
    const Form1 &f = *h_.form;
    FUZZ_CHECK(h_.dialogs.messages.size() == 1,
               QStringLiteral("%1 messages").arg(h_.dialogs.messages.size()));
    const bool complete = h_.dialogs.messages[0].text.startsWith(QStringLiteral("数据读取完毕"));
    if (complete)
        FUZZ_CHECK(f.storedLast == f.endsave, QStringLiteral("complete before the range's end"));
    else if (rangeLast_ >= rangeFirst_)
        FUZZ_CHECK(f.memnum == std::max(0, f.storedLast - f.lssavesum + 1),
                   QStringLiteral("Save would not write what arrived"));
    // The range and a block's width around it: a block stored one slot off,
    // or a block too many, shows there. (Requests outside it are checked above.)
    const qint32 from = std::max(record_store::kFirstGroup, rangeFirst_ - frames::kBlockGroups);
    const qint32 to = std::min(record_store::kLastGroup,
                               std::max(rangeFirst_, rangeLast_) + frames::kBlockGroups);
    for (qint32 g = from; g <= to; ++g) {
        const GroupRecord r = f.recordAt(g);
        if (g >= rangeFirst_ && g <= f.storedLast) {
            const sim::Record want = sim::groupRecord(g);
            bool same = r.year == want[10] && r.month == want[11] && r.day == want[12]
                        && r.hour == want[13] && r.minute == want[14] && r.second == want[15]
                        && r.charge == want[18];
            for (int c = 0; c < 3; ++c)
                same = same && r.val[c] == want[1 + 3 * c] * 100 + want[2 + 3 * c]
                       && r.stat[c] == want[3 + 3 * c];
            FUZZ_CHECK(same, QStringLiteral("group %1 is not the instrument's").arg(g));
        } else {
            FUZZ_CHECK(r.val[0] == record_store::kEmptyValue && r.year == 0 && r.charge == 0,
                       QStringLiteral("group %1 was written but never arrived").arg(g));
        }
    }
}

// The offscreen platform warns on every dialog it is asked to raise; a run's
// log keeps only what the properties say.
void quietQtMessage(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qInstallMessageHandler(quietQtMessage);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("HARLUNE_PORT_DIR", kPortDir);
    new QApplication(*argc, *argv);
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
