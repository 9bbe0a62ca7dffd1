#include "core/instrument.h"

#include "core/link/frames.h"

// Read: quiets the port search and the live poll and asks for the group count.
// The reply opens the read-range dialog. Not while a read-out runs: the
// request would be taken for a block.
void Instrument::read()
{
    if (readPhase_ != ReadPhase::Idle)
        return;
    timer2_.setEnabled(false);
    timer3_.setEnabled(false);
    senddat(frames::kGroupCount);
}
