#include "core/instrument.h"

#include "core/link/frames.h"
#include "platform/mscomm.h"

// Builds the frame for command dat, arms the receiver for its reply and sends it.
void Instrument::senddat(qint16 dat)
{
    lastCmd_ = dat;
    if (!MSComm1.PortOpen())
        return;

    switch (dat) {
    case frames::kProbe:
    case frames::kGroupCount:
    case frames::kLiveReading:
        cmdBuf_ = frames::shortFrame(dat);
        MSComm1.setRThreshold(frames::kReplyLength);
        break;
    case frames::kBlockRequest: {
        lockControls();
        const frames::BlockRequest req =
            frames::blockRequest(startsave_, endsave_, memnum_, memmul_, memrem_, lsmemmul_);
        cmdBuf_ = frames::blockFrame(req.first, req.last);
        MSComm1.setRThreshold(req.threshold);
        MSComm1.setInputLen(req.threshold);
        armBlockReception(req.threshold);
        break;
    }
    default:
        // Anything else sends the last frame once more.
        break;
    }

    // Stale input is dropped first, then the frame is written and drained. A
    // port that sends on the write, to an instrument that answers at once, has
    // the reply in the driver before the write returns: dropping input after
    // the write would lose it. The drain makes sure the frame is on its way
    // before the transmit buffer counts as empty; nothing is discarded.
    MSComm1.setInBufferCount(0);
    MSComm1.setOutput(QByteArray(reinterpret_cast<const char *>(cmdBuf_.data()),
                                 static_cast<int>(cmdBuf_.size())));
    MSComm1.drainOutput();
}

// The busy lock of a read-out: no commands and no other timers until it ends.
void Instrument::lockControls()
{
    // Applied again before every block request, re-sends included; told once.
    if (!busy_) {
        busy_ = true;
        emit busyChanged(true);
    }
    timer2_.setEnabled(false);
    timer3_.setEnabled(false);
}
