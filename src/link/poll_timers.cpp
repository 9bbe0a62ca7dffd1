#include "window/form1.h"

#include "link/frames.h"

namespace {
constexpr qint16 kBlockRetryThreshold = 30;  // re-send on the 31st unanswered second
}

// Live-reading poll.
void Form1::Timer3_Timer()
{
    if (commOk == 1)
        senddat(frames::kLiveReading);
}

// Block watchdog: asks again for the block last requested.
void Form1::Timer4_Timer()
{
    ++blockRetryTicks;
    if (blockRetryTicks > kBlockRetryThreshold) {
        senddat(frames::kBlockRequest);
        blockRetryTicks = 0;
    }
}
