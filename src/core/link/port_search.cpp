#include "core/link/port_search.h"

#include "core/link/frames.h"
#include "core/link/port_number.h"
#include "core/link/replies.h"
#include "core/link/serial_link.h"
#include "platform/port_map.h"
#include "platform/serial_log.h"

namespace {
constexpr int kTimer2DesignMs = 100;
// The search's pace: a step every 20 ms while searching (a count of silence
// every kLinkedPaceMs while linked).
constexpr int kSearchingPaceMs = 20;

// How long a port that opened keeps the search after its probe went out. An
// FTDI adapter holds received bytes for its latency timer (16 ms by default),
// the instrument takes its turnaround, and USB moves data in 1 ms frames:
// replies have been seen 60 ms late. 100 ms waits for all of that, and a whole
// cycle over sixteen numbers with one or two ports that open still takes well
// under a second.
constexpr int kProbeWindowMs = 100;
}  // namespace

PortSearch::PortSearch(SerialLink &link, LinkTimer::Timing timing, ManualClock *clock,
                       QObject *parent)
    : QObject(parent), link_(link), timer2_(kTimer2DesignMs, false, timing, clock),
      probeWindow_(kProbeWindowMs, true, timing, clock)
{
    connect(&timer2_, &LinkTimer::timeout, this, &PortSearch::Timer2_Timer);
    // The probe window only has to run out: the search looks at it on its next tick.
    connect(&link_, &SerialLink::modeChanged, this, &PortSearch::follow);
    connect(&link_, &SerialLink::linkChanged, this, &PortSearch::setPace);
    connect(&link_, &SerialLink::answered, this, [this] {
        probeWindow_.stop();
        if (link_.commOk() != 1)
            forgetPortNote();
    });
}

qint16 PortSearch::shownPort() const
{
    return link_.mode() == LinkMode::Searching ? port_ : link_.serial().CommPort();
}

void PortSearch::load()
{
    setPace(false);
    openPort();
}

void PortSearch::stop()
{
    timer2_.stop();
    probeWindow_.stop();
}

// The search and supervision run while the link is at its everyday work.
void PortSearch::follow(LinkMode mode) { timer2_.setEnabled(link_mode::pollsRun(mode)); }

// Assigning an interval restarts the timer: only a change is assigned.
void PortSearch::setPace(bool linked)
{
    const int pace = linked ? kLinkedPaceMs : kSearchingPaceMs;
    if (timer2_.interval() != pace)
        timer2_.setInterval(pace);
}

// Port search while the link is down; otherwise only counts silent ticks. A
// port that opened and was probed keeps the search until its probe window has
// passed, so an instrument behind a slow adapter gets time to answer; a port
// that did not open costs one tick.
void PortSearch::Timer2_Timer()
{
    if (link_.commOk() == 0 && !probeWindow_.isActive())
        searchStep();
    link_.countSilentTick();
}

// The next port number, opened and probed.
void PortSearch::searchStep()
{
    port_ = port_number::nextSearched(port_, lastSearchedPort_);
    openPort();
    lastSearchedPort_ = link_.serial().CommPort();
    link_.senddat(frames::kProbe);
    if (link_.serial().PortOpen())
        probeWindow_.start();
}

// Only exactly a probe reply, with nothing after it, is the instrument's.
void PortSearch::probeReplied(bool morePending)
{
    const QByteArray &rx = link_.rxBuf();
    if (!morePending && replies::isShortReply(rx, frames::commandCode(frames::kProbe))) {
        link_.markLinkAlive();
        link_.setSecFlag(replies::secondsFlag(rx));
    } else {
        noteNotInstrument();
    }
}

QString PortSearch::portTip() const
{
    const qint16 n = shownPort();
    const QString device = port_map::deviceFor(n);
    if (device.isEmpty())
        return QString();
    const QString tip = port_problem::portText(n, device);
    const auto note = portNotes_.constFind(n);
    return note == portNotes_.cend() ? tip
                                     : port_problem::withReason(tip, port_problem::reason(*note));
}

QString PortSearch::portProblem() const
{
    if (!portProblem_)
        return QString();
    return port_problem::withReason(
        port_problem::portText(portProblem_->port, portProblem_->device),
        port_problem::reason(portProblem_->note));
}
