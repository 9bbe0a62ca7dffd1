#include "core/instrument.h"

#include "core/link/frames.h"
#include "core/link/replies.h"
#include "platform/mscomm.h"

#include <QDateTime>

// A reply came in: decode it by the command last sent. Only an answer that is
// the instrument's keeps the link alive: a short reply whose header and echo
// are in place (and, while searching, exactly a probe reply's length), or,
// during a read-out, the bytes of a block, which carry no check of their own.
// A talkative device on another port is not taken for the instrument.
void Instrument::MSComm1_OnComm()
{
    if (MSComm1.CommEvent() != MSComm::comEvReceive)
        return;
    // After a block request, only the reply being received is a block: bytes
    // that follow it, or come while the line is drained, or after the read-out
    // ended, are never stored.
    if (lastCmd_ == frames::kBlockRequest && readPhase_ != ReadPhase::Receiving) {
        blockLineNoise();
        return;
    }
    rxBuf_ = MSComm1.Input();
    const bool morePending = MSComm1.InBufferCount() > 0;
    MSComm1.setInBufferCount(0);
    MSComm1.drainOutput();

    switch (lastCmd_) {
    case frames::kProbe:
        if (!morePending && replies::isShortReply(rxBuf_, frames::commandCode(frames::kProbe))) {
            markLinkAlive();
            secFlag_ = replies::secondsFlag(rxBuf_);
        } else {
            noteNotInstrument();
        }
        break;
    case frames::kGroupCount:
        if (!replies::isShortReply(rxBuf_, frames::commandCode(frames::kGroupCount))) {
            MSComm1.setRThreshold(frames::kReplyLength);
            break;
        }
        markLinkAlive();
        savesum_ = replies::groupCount(rxBuf_);
        emit groupCountArrived(savesum_);
        break;
    case frames::kLiveReading:
        if (replies::isShortReply(rxBuf_, frames::commandCode(frames::kLiveReading))) {
            markLinkAlive();
            secFlag_ = replies::secondsFlag(rxBuf_);
            showLive();
        }
        break;
    case frames::kBlockRequest:
        markLinkAlive();
        blockDelivered(morePending);
        break;
    default: break;
    }
}

// The instrument answered.
void Instrument::markLinkAlive()
{
    silentTicks_ = 0;
    probeWindow_.stop();
    if (commOk_ == 1)
        return;
    forgetPortNote();
    setLinked(true);
}

// The link flag, and the search's pace with it: a step every 20 ms while
// searching, a count of silence every 70 ms while linked.
void Instrument::setLinked(bool linked)
{
    constexpr int kLinkedPaceMs = 70;
    constexpr int kSearchingPaceMs = 20;
    // Assigning an interval restarts the timer: only a change is assigned.
    const int pace = linked ? kLinkedPaceMs : kSearchingPaceMs;
    if (timer2_.interval() != pace)
        timer2_.setInterval(pace);
    const qint16 flag = linked ? 1 : 0;
    if (commOk_ == flag)
        return;
    commOk_ = flag;
    if (!linked)
        liveHistory_.markGap(QDateTime::currentMSecsSinceEpoch());
    emit linkChanged(linked);
}
