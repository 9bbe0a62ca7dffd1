#include "core/instrument.h"

#include "core/link/frames.h"
#include "platform/mscomm.h"

// A reply came in: the part whose command was sent last decodes it. Only an
// answer that is the instrument's keeps the link alive: a short reply whose
// header and echo are in place (and, while searching, exactly a probe
// reply's length), or, during a read-out, the bytes of a block, which carry
// no check of their own. A talkative device on another port is not taken for
// the instrument.
void Instrument::MSComm1_OnComm()
{
    if (link_.serial().CommEvent() != MSComm::comEvReceive)
        return;
    if (link_.lastCmd() == frames::kBlockRequest && !reader_.takesReply()) {
        reader_.blockLineNoise();
        return;
    }
    const bool morePending = link_.takeReply();
    switch (link_.lastCmd()) {
    case frames::kProbe: search_.probeReplied(morePending); break;
    case frames::kGroupCount: count_.countReplied(); break;
    case frames::kLiveReading: live_.liveReplied(); break;
    case frames::kBlockRequest: reader_.blockDelivered(morePending); break;
    default: break;
    }
}
