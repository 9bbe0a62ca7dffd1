#include "core/instrument.h"

#include "core/link/frames.h"
#include "core/link/port_number.h"
#include "core/link/port_problem.h"
#include "core/link/read_plan.h"
#include "core/records/record_table.h"
#include "platform/port_map.h"

namespace {
// The design intervals of the link's timers. The search's pace follows the
// link from start-up on (setLinked): 20 ms searching, 70 ms linked.
constexpr int kTimer2DesignMs = 100;
constexpr int kTimer3IntervalMs = 500;   // the live poll
constexpr int kTimer4IntervalMs = 1000;  // the block watchdog's tick

// How long a port that opened keeps the search after its probe went out. An
// FTDI adapter holds received bytes for its latency timer (16 ms by default),
// the instrument takes its turnaround, and USB moves data in 1 ms frames:
// replies have been seen 60 ms late. 100 ms waits for all of that, and a whole
// cycle over sixteen numbers with one or two ports that open still takes well
// under a second.
constexpr int kProbeWindowMs = 100;
}  // namespace

Instrument::Instrument(std::unique_ptr<SerialIo> io, Timing timing, QObject *parent)
    : QObject(parent), MSComm1(std::move(io)), timer2_(kTimer2DesignMs, false, timing),
      timer3_(kTimer3IntervalMs, false, timing), timer4_(kTimer4IntervalMs, false, timing),
      lineTimer_(0, true, timing), probeWindow_(kProbeWindowMs, true, timing)
{
    qRegisterMetaType<Instrument::LiveReading>();
    connect(&MSComm1, &MSComm::OnComm, this, &Instrument::MSComm1_OnComm);
    connect(&MSComm1, &MSComm::PortLost, this, &Instrument::MSComm1_PortLost);
    connect(&timer2_, &LinkTimer::timeout, this, &Instrument::Timer2_Timer);
    connect(&timer3_, &LinkTimer::timeout, this, &Instrument::Timer3_Timer);
    connect(&timer4_, &LinkTimer::timeout, this, &Instrument::Timer4_Timer);
    connect(&lineTimer_, &LinkTimer::timeout, this, &Instrument::lineTimer_Timer);
    // The probe window only has to run out: the search looks at it on its next tick.
}

Instrument::~Instrument() = default;

// Start-up. The work starts here, not in the constructor, so that an
// instrument can be made and looked at without any timer running.
void Instrument::load()
{
    setLinked(false);
    openPort();
    clearData();
    timer4_.setEnabled(false);
}

void Instrument::shutDown()
{
    for (LinkTimer *t : {&timer2_, &timer3_, &timer4_, &lineTimer_, &probeWindow_})
        t->stop();
    MSComm1.setPortOpen(false);
}

void Instrument::setPortText(const QString &text) { portText_ = text; }

QString Instrument::portTip() const
{
    const auto n = port_number::fromText(portText_);
    const QString device = n ? port_map::deviceFor(*n) : QString();
    if (device.isEmpty())
        return QString();
    const QString tip = port_problem::portText(*n, device);
    const auto note = portNotes_.constFind(*n);
    return note == portNotes_.cend() ? tip
                                     : port_problem::withReason(tip, port_problem::reason(*note));
}

QString Instrument::portProblem() const
{
    if (!portProblem_)
        return QString();
    return port_problem::withReason(
        port_problem::portText(portProblem_->port, portProblem_->device),
        port_problem::reason(portProblem_->note));
}

// The start sequence of a read-out, the one place it is written: the plan,
// an empty record view, the first block request and the watchdog. A range
// without stored groups sends nothing, since no reply would ever lift the
// busy lock; the link goes back to its idle state instead.
void Instrument::startReadOut(const read_plan::Plan &plan)
{
    if (readPhase_ != ReadPhase::Idle)
        return;  // one read-out at a time
    setReadPlan(plan);
    emit readOutStarted();
    if (!plan.hasGroups()) {
        emit recordsListed(record_table::headerText());
        resumeLink();
        emit nothingToRead();
        return;
    }
    emit recordsListed(QString());
    beginReadOut();
    senddat(frames::kBlockRequest);
    timer4_.setEnabled(true);
}

// The plan's range becomes the read plan, from its first block.
void Instrument::setReadPlan(const read_plan::Plan &plan)
{
    startsave_ = plan.startsave;
    endsave_ = plan.endsave;
    lssavesum_ = plan.lssavesum;
    memnum_ = plan.memnum;
    memmul_ = plan.memmul;
    memrem_ = plan.memrem;
    lsmemmul_ = 1;
}

void Instrument::resumeLink()
{
    timer2_.setEnabled(true);
    timer3_.setEnabled(true);
}
