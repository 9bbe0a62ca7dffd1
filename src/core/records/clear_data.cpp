#include "core/records/records.h"

// Clear data: empties the record store and lists it (banner and header only).
// Statuses and charge stay: a group is present by its channel-1 value alone.
void Records::clear()
{
    store_.clear();
    emit storeCleared();
    listRecords(0, 0);
}
