#include "core/instrument.h"

#include "core/link/frames.h"
#include "core/link/port_number.h"
#include "platform/mscomm.h"

namespace {
constexpr qint16 kSilenceThreshold = 30;  // the link is lost on the 31st silent tick
constexpr qint16 kSilenceCeiling = 1300;  // keeps the count far from the 16-bit limit
}  // namespace

// Port search while the link is down; otherwise only counts silent ticks. A
// port that opened and was probed keeps the search until its probe window has
// passed, so an instrument behind a slow adapter gets time to answer; a port
// that did not open costs one tick.
void Instrument::Timer2_Timer()
{
    if (commOk_ == 0 && !probeWindow_.isActive())
        searchStep();
    ++silentTicks_;
    if (silentTicks_ > kSilenceThreshold)
        setLinked(false);
    if (silentTicks_ > kSilenceCeiling)
        silentTicks_ = kSilenceCeiling;
}

// The next port number, opened and probed.
void Instrument::searchStep()
{
    portText_ = port_number::nextSearched(portText_, lastSearchedPort_);
    openPort();
    lastSearchedPort_ = MSComm1.CommPort();
    senddat(frames::kProbe);
    if (MSComm1.PortOpen())
        probeWindow_.start();
}
