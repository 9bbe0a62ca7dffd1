#include "window/form1.h"

#include "core/link/frames.h"
#include "core/link/replies.h"
#include "dialog/form2.h"
#include "platform/mscomm.h"

#include <QTimer>

// A reply came in: decode it by the command last sent. Only an answer that is
// the instrument's keeps the link alive: a short reply whose header and echo
// are in place (and, while searching, exactly a probe reply's length), or,
// during a read-out, the bytes of a block, which carry no check of their own.
// A talkative device on another port is not taken for the instrument.
void Form1::MSComm1_OnComm()
{
    if (MSComm1->CommEvent() != MSComm::comEvReceive)
        return;
    // After a block request, only the reply being received is a block: bytes
    // that follow it, or come while the line is drained, or after the read-out
    // ended, are never stored.
    if (lastCmd == frames::kBlockRequest && readPhase != ReadPhase::Receiving) {
        blockLineNoise();
        return;
    }
    rxBuf = MSComm1->Input();
    const bool morePending = MSComm1->InBufferCount() > 0;
    MSComm1->setInBufferCount(0);
    MSComm1->drainOutput();

    switch (lastCmd) {
    case frames::kProbe:
        if (!morePending && replies::isShortReply(rxBuf, frames::commandCode(frames::kProbe))) {
            markLinkAlive();
            secFlag = replies::secondsFlag(rxBuf);
        } else {
            noteNotInstrument();
        }
        break;
    case frames::kGroupCount:
        if (!replies::isShortReply(rxBuf, frames::commandCode(frames::kGroupCount))) {
            MSComm1->setRThreshold(frames::kReplyLength);
            break;
        }
        markLinkAlive();
        savesum = replies::groupCount(rxBuf);
        setEnabled(false);
        if (form2.isNull())
            form2 = new Form2(this);
        form2->show();
        form2->raise();
        break;
    case frames::kLiveReading:
        if (replies::isShortReply(rxBuf, frames::commandCode(frames::kLiveReading))) {
            markLinkAlive();
            secFlag = replies::secondsFlag(rxBuf);
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

// The instrument answered. While the busy lock holds the status display, the
// status is brought up to date here, so it never shows a link that is not
// there (or hides one that came back).
void Form1::markLinkAlive()
{
    silentTicks = 0;
    const bool wasLinked = commOk == 1;
    commOk = 1;
    probeWindow->stop();
    if (!wasLinked)
        forgetPortNote();
    if (!wasLinked && !Timer1->isActive())
        showLinkState();
}
