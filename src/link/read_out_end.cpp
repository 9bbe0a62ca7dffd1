#include "window/form1.h"

#include "core/link/read_out.h"
#include "core/product.h"
#include "core/records/record_table.h"
#include "platform/mscomm.h"
#include "platform/rich_text_box.h"
#include "platform/serial_log.h"
#include "platform/ui_seam.h"

#include <QTimer>

#include <algorithm>

// Ends a read-out before its last block. The groups that arrived stay in the
// store, the last block of them is listed as on completion, and Save from now
// on writes exactly those groups: the range is cut at the last stored group.
// The window goes back to work at once, so the search looks for the instrument
// while the user reads the message.
void Form1::interruptReadOut(read_out::End why)
{
    qCDebug(lcSerial) << "read-out ended early after group" << storedLast;
    readPhase = ReadPhase::Idle;
    lineTimer->stop();
    setTimerEnabled(Timer4, false);
    if (MSComm1->PortOpen())
        MSComm1->setInBufferCount(0);
    memnum = std::max(0, storedLast - lssavesum + 1);
    if (storedLast >= storedFirst)
        listRecords(storedFirst, storedLast);
    else
        RichTextBox1->setText(record_table::headerText());
    unlockControls();
    dialogs->message(this, product::title(), read_out::interruptionText(why, lssavesum, storedLast),
                     UiSeam::Icon::Warning);
}

// The port went away under us (unplugged, or the device hung up). The
// instrument is gone with it: the status says so at once, and a read-out in
// progress ends.
void Form1::MSComm1_PortLost()
{
    commOk = 0;
    showLinkState();
    if (readPhase != ReadPhase::Idle)
        interruptReadOut(read_out::End::Disconnected);
}
