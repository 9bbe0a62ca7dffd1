#include "window/form1.h"

#include "core/link/frames.h"
#include "core/link/read_out.h"
#include "platform/mscomm.h"
#include "platform/serial_log.h"

namespace {
constexpr qint16 kBlockRetryThreshold = 30;  // re-send on the 31st unanswered second
}

// Live-reading poll.
void Form1::Timer3_Timer()
{
    if (commOk == 1)
        senddat(frames::kLiveReading);
}

// Block watchdog: asks again for the block last requested. A read-out whose
// port is gone, or whose instrument has not answered three re-sends, ends.
void Form1::Timer4_Timer()
{
    ++blockRetryTicks;
    if (readPhase != ReadPhase::Idle && !MSComm1->PortOpen()) {
        interruptReadOut(read_out::End::Disconnected);
        return;
    }
    if (blockRetryTicks <= kBlockRetryThreshold)
        return;
    switch (readPhase) {
    case ReadPhase::AwaitingLate:
        // A whole period of quiet line: no late reply is coming any more.
        blockRetryTicks = 0;
        advanceReadOut();
        return;
    case ReadPhase::Settling:
    case ReadPhase::Draining:
        // A line that never goes quiet is a failed delivery too.
        blockRetryTicks = 0;
        blockFailed();
        return;
    case ReadPhase::Receiving:
        if (blockResends >= read_out::kUnansweredResends) {
            interruptReadOut(read_out::End::NoAnswer);
            return;
        }
        ++blockResends;
        qCDebug(lcSerial) << "block request unanswered; sending it again";
        // Silence this long means the link is gone; the status says so while
        // the busy lock keeps the status display still.
        if (commOk == 1) {
            commOk = 0;
            showLinkState();
        }
        break;
    case ReadPhase::Idle: break;
    }
    senddat(frames::kBlockRequest);
    blockRetryTicks = 0;
}
