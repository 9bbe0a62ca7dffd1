#include "core/instrument.h"

#include "core/link/frames.h"
#include "core/link/read_out.h"
#include "platform/mscomm.h"
#include "platform/serial_log.h"

namespace {
constexpr qint16 kBlockRetryThreshold = 30;  // re-send on the 31st unanswered second
}

// Live-reading poll.
void Instrument::Timer3_Timer()
{
    if (commOk_ == 1)
        senddat(frames::kLiveReading);
}

// Block watchdog: asks again for the block last requested. A read-out whose
// port is gone, or whose instrument has not answered three re-sends, ends.
void Instrument::Timer4_Timer()
{
    ++blockRetryTicks_;
    if (readPhase_ != ReadPhase::Idle && !MSComm1.PortOpen()) {
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
        setLinked(false);
        break;
    case ReadPhase::Idle: break;
    }
    senddat(frames::kBlockRequest);
    blockRetryTicks_ = 0;
}
