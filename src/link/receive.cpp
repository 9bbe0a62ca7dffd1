#include "window/form1.h"

#include "dialog/form2.h"
#include "link/frames.h"
#include "link/replies.h"
#include "platform/mscomm.h"

#include <QTimer>

// A reply came in: mark the link alive and decode it by the command last sent.
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
    markLinkAlive();

    switch (lastCmd) {
    case frames::kProbe:
        if (replies::isShortReply(rxBuf, frames::commandCode(frames::kProbe)))
            secFlag = replies::secondsFlag(rxBuf);
        break;
    case frames::kGroupCount:
        if (!replies::isShortReply(rxBuf, frames::commandCode(frames::kGroupCount))) {
            MSComm1->setRThreshold(frames::kReplyLength);
            break;
        }
        savesum = replies::groupCount(rxBuf);
        setEnabled(false);
        if (form2.isNull())
            form2 = new Form2(this);
        form2->show();
        form2->raise();
        break;
    case frames::kLiveReading:
        if (replies::isShortReply(rxBuf, frames::commandCode(frames::kLiveReading))) {
            secFlag = replies::secondsFlag(rxBuf);
            showLive();
        }
        break;
    case frames::kBlockRequest: blockDelivered(morePending); break;
    default: break;
    }
}

// Any reception counts as an answer. While the busy lock holds the status
// display, the status is brought up to date here, so it never shows a link
// that is not there (or hides one that came back).
void Form1::markLinkAlive()
{
    silentTicks = 0;
    const bool wasLinked = commOk == 1;
    commOk = 1;
    if (!wasLinked && !Timer1->isActive())
        showLinkState();
}
