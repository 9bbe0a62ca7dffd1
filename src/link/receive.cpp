#include "window/form1.h"

#include "dialog/form2.h"
#include "link/frames.h"
#include "link/replies.h"
#include "platform/mscomm.h"

#include <QTimer>

namespace {
// Whether rx holds every record the block request in `frame` asked for.
bool holdsWholeBlock(const QByteArray &rx, const frames::Frame &frame)
{
    const qint64 groups =
        qint64(frames::frameLastGroup(frame)) - frames::frameFirstGroup(frame) + 1;
    return groups > 0 && rx.size() >= groups * frames::kRecordLength;
}
} // namespace

// A reply came in: mark the link alive and decode it by the command last sent.
void Form1::MSComm1_OnComm()
{
    if (MSComm1->CommEvent() != MSComm::comEvReceive)
        return;
    rxBuf = MSComm1->Input();
    MSComm1->setInBufferCount(0);
    MSComm1->setOutBufferCount(0);
    silentTicks = 0;
    commOk = 1;

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
    case frames::kBlockRequest:
        // A short delivery is ignored; the watchdog asks for the block again.
        if (!holdsWholeBlock(rxBuf, cmdBuf))
            break;
        storeBlock();
        if (lsmemmul > memmul)
            break;  // that was the final partial block, or the only block
        if (lsmemmul == memmul && memrem == 0) {
            setTimerEnabled(Timer4, false);  // the last whole block, and no partial one follows
            break;
        }
        ++lsmemmul;
        startsave += frames::kBlockGroups;
        blockRetryTicks = 0;
        senddat(frames::kBlockRequest);
        break;
    default:
        break;
    }
}
