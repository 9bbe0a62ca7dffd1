#include "core/link/block_reader.h"

#include "core/link/read_out.h"
#include "core/link/serial_link.h"
#include "platform/mscomm.h"
#include "platform/serial_log.h"

namespace {
constexpr qint16 kBlockRetryThreshold = 30;  // re-send on the 31st unanswered second
}

// Block watchdog: asks again for the block last requested. A read-out whose
// port is gone, or whose instrument has not answered three re-sends, ends.
void BlockReader::Timer4_Timer()
{
    ++blockRetryTicks_;
    if (readPhase_ != ReadPhase::Idle && !link_.serial().PortOpen()) {
        interruptReadOut(read_out::End::Disconnected);
        return;
    }
    if (blockRetryTicks_ <= kBlockRetryThreshold)
        return;
    switch (readPhase_) {
    case ReadPhase::AwaitingLate:
        // A whole period of quiet line: no late reply is coming any more.
        blockRetryTicks_ = 0;
        advanceReadOut();
        return;
    case ReadPhase::Settling:
    case ReadPhase::Draining:
        // A line that never goes quiet is a failed delivery too.
        blockRetryTicks_ = 0;
        blockFailed();
        return;
    case ReadPhase::Receiving:
        if (blockResends_ >= read_out::kUnansweredResends) {
            interruptReadOut(read_out::End::NoAnswer);
            return;
        }
        ++blockResends_;
        qCDebug(lcSerial) << "block request unanswered; sending it again";
        // Silence this long means the link is gone, and is told at once: the
        // busy lock keeps the status display still.
        link_.setLinked(false);
        break;
    case ReadPhase::Idle: return;  // nothing is being read
    }
    requestBlock();
    blockRetryTicks_ = 0;
}
