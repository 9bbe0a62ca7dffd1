#include "core/instrument.h"

#include "core/records/record_table.h"

// Clear data: empties the record store, lists it (banner and header only) and
// lets the port search and the live poll run again. Statuses and charge stay
// in their slots, but no group is present any more, so nothing lists, draws
// or saves them.
void Instrument::clearData()
{
    // Not under a running read-out, whose search and poll must stay quiet.
    if (readPhase_ != ReadPhase::Idle)
        return;
    store_.clear();
    emit storeCleared();
    listRecords(0, 0);
    timer2_.setEnabled(true);
    timer3_.setEnabled(true);
}
