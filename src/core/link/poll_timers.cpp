#include "core/link/live_poll.h"

#include "core/link/frames.h"
#include "core/link/serial_link.h"

#include <QDateTime>

namespace {
constexpr int kTimer3IntervalMs = 500;  // the live poll
}

LivePoll::LivePoll(SerialLink &link, Records &records, LinkTimer::Timing timing, ManualClock *clock,
                   QObject *parent)
    : QObject(parent), link_(link), records_(records),
      timer3_(kTimer3IntervalMs, false, timing, clock)
{
    qRegisterMetaType<LiveReading>();
    connect(&timer3_, &LinkTimer::timeout, this, &LivePoll::Timer3_Timer);
    // The poll runs while the link is at its everyday work.
    connect(&link_, &SerialLink::modeChanged, this,
            [this](LinkMode mode) { timer3_.setEnabled(link_mode::pollsRun(mode)); });
    // A loss is a gap in the live history, kept before anyone hears of it.
    connect(&link_, &SerialLink::linkChanged, this, [this](bool linked) {
        if (!linked)
            history_.markGap(QDateTime::currentMSecsSinceEpoch());
    });
}

// Live-reading poll.
void LivePoll::Timer3_Timer()
{
    if (link_.commOk() == 1)
        link_.senddat(frames::kLiveReading);
}

void LivePoll::liveReplied()
{
    const QByteArray &rx = link_.rxBuf();
    if (!replies::isShortReply(rx, frames::commandCode(frames::kLiveReading)))
        return;
    link_.markLinkAlive();
    link_.setSecFlag(replies::secondsFlag(rx));
    showLive();
}
