#include "core/records/records.h"

// Clear data: empties the record store and lists it (banner and header only).
// Statuses and charge stay in their slots, but no group is present any more,
// so nothing lists, draws or saves them.
void Records::clear()
{
    store_.clear();
    emit storeCleared();
    listRecords(0, 0);
}
