#include "core/instrument.h"

#include "core/link/read_out.h"
#include "core/records/record_table.h"
#include "platform/mscomm.h"
#include "platform/serial_log.h"

#include <algorithm>

// Ends a read-out before its last block. The groups that arrived stay in the
// store, the last block of them is listed as on completion, and Save from now
// on writes exactly those groups: the range is cut at the last stored group.
// The link goes back to work at once, so the search looks for the instrument
// while the user reads why.
void Instrument::interruptReadOut(read_out::End why)
{
    qCDebug(lcSerial) << "read-out ended early after group" << storedLast_;
    readPhase_ = ReadPhase::Idle;
    lineTimer_.stop();
    timer4_.setEnabled(false);
    if (MSComm1.PortOpen())
        MSComm1.setInBufferCount(0);
    memnum_ = std::max(0, storedLast_ - lssavesum_ + 1);
    if (storedLast_ >= storedFirst_)
        listRecords(storedFirst_, storedLast_);
    else
        emit recordsListed(record_table::headerText());
    unlockControls();
    emit readOutInterrupted(why, read_out::interruptionText(why, lssavesum_, storedLast_));
}

void Instrument::abandonReadOut()
{
    if (readPhase_ != ReadPhase::Idle)
        interruptReadOut(read_out::End::Stopped);
}

// The port went away under us (unplugged, or the device hung up). The
// instrument is gone with it: the status says so at once, and a read-out in
// progress ends.
void Instrument::MSComm1_PortLost()
{
    setLinked(false);
    emit portLost();
    if (readPhase_ != ReadPhase::Idle)
        interruptReadOut(read_out::End::Disconnected);
}
