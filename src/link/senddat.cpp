#include "window/form1.h"

#include "core/link/frames.h"
#include "platform/mscomm.h"

#include <QAction>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>

// Builds the frame for command dat, arms the receiver for its reply and sends it.
void Form1::senddat(qint16 dat)
{
    lastCmd = dat;
    if (!MSComm1->PortOpen())
        return;

    switch (dat) {
    case frames::kProbe:
    case frames::kGroupCount:
    case frames::kLiveReading:
        cmdBuf = frames::shortFrame(dat);
        MSComm1->setRThreshold(frames::kReplyLength);
        break;
    case frames::kBlockRequest: {
        lockControls();
        const frames::BlockRequest req =
            frames::blockRequest(startsave, endsave, memnum, memmul, memrem, lsmemmul);
        cmdBuf = frames::blockFrame(req.first, req.last);
        MSComm1->setRThreshold(req.threshold);
        MSComm1->setInputLen(req.threshold);
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
    MSComm1->setInBufferCount(0);
    MSComm1->setOutput(
        QByteArray(reinterpret_cast<const char *>(cmdBuf.data()), static_cast<int>(cmdBuf.size())));
    MSComm1->drainOutput();
}

// The busy lock of a read-out: no commands and no other timers until it ends.
void Form1::lockControls()
{
    setCommandsEnabled(false);
    setTimerEnabled(Timer1, false);
    setTimerEnabled(Timer2, false);
    setTimerEnabled(Timer3, false);
}

// Read, Save and Clear data, wherever the user finds them: the buttons, the
// toolbar and the menu items go off and on together. Exit stays available.
void Form1::setCommandsEnabled(bool enabled)
{
    for (QPushButton *b : {Command2, Command3, Command4})
        b->setEnabled(enabled);
    Toolbar1->setEnabled(enabled);
    for (QAction *a : {mnuSave, mnuRead, mnuClear})
        a->setEnabled(enabled);
}
