#include "window/form1.h"

#include "core/link/frames.h"
#include "core/link/port_number.h"
#include "platform/mscomm.h"

#include <QTimer>

namespace {
constexpr qint16 kSilenceThreshold = 30;  // the link is lost on the 31st silent tick
constexpr qint16 kSilenceCeiling = 1300;  // keeps the count far from the 16-bit limit
}  // namespace

// Port search while the link is down; otherwise only counts silent ticks. A
// port that opened and was probed keeps the search until its probe window has
// passed, so an instrument behind a slow adapter gets time to answer; a port
// that did not open costs one tick.
void Form1::Timer2_Timer()
{
    if (commOk == 0 && !probeWindow->isActive())
        searchStep();
    ++silentTicks;
    if (silentTicks > kSilenceThreshold)
        commOk = 0;
    if (silentTicks > kSilenceCeiling)
        silentTicks = kSilenceCeiling;
}

// The next port number, opened and probed.
void Form1::searchStep()
{
    portText_ = port_number::nextSearched(portText_, lastSearchedPort);
    openPort();
    lastSearchedPort = MSComm1->CommPort();
    senddat(frames::kProbe);
    if (MSComm1->PortOpen())
        probeWindow->start();
}
