#include "core/link/block_reader.h"

#include "core/link/read_out.h"
#include "core/link/serial_link.h"
#include "core/records/record_table.h"
#include "core/records/records.h"
#include "platform/mscomm.h"
#include "platform/serial_log.h"

#include <algorithm>

// Ends a read-out before its last block. The groups that arrived stay in the
// store, the last block of them is listed as on completion, and Save from now
// on writes exactly those groups: the range is cut at the last stored group.
// The link goes back to work at once, so the search looks for the instrument
// while the user reads why.
void BlockReader::interruptReadOut(read_out::End why)
{
    qCDebug(lcSerial) << "read-out ended early after group" << storedLast_;
    readPhase_ = ReadPhase::Idle;
    lineTimer_.stop();
    timer4_.setEnabled(false);
    if (link_.serial().PortOpen())
        link_.port().setInBufferCount(0);
    memnum_ = std::max(0, storedLast_ - lssavesum_ + 1);
    if (storedLast_ >= storedFirst_)
        records_.listRecords(storedFirst_, storedLast_);
    else
        records_.show(record_table::headerText());
    unlockControls();
    emit readOutInterrupted(why, read_out::interruptionText(why, lssavesum_, storedLast_));
}

void BlockReader::abandonReadOut()
{
    if (readPhase_ != ReadPhase::Idle)
        interruptReadOut(read_out::End::Stopped);
}

// The port went away under us (unplugged, or the device hung up): a read-out
// in progress ends.
void BlockReader::portLost()
{
    if (readPhase_ != ReadPhase::Idle)
        interruptReadOut(read_out::End::Disconnected);
}
