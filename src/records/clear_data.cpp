#include "window/form1.h"

#include <QTimer>

// Clear data: empties the record store, lists it (banner and header only) and
// lets the port search and the live poll run again. Statuses and charge stay:
// a group is present by its channel-1 value alone.
void Form1::Command4_Click()
{
    emptyRecordStore();
    listRecords(0, 0);
    setTimerEnabled(Timer2, true);
    setTimerEnabled(Timer3, true);
}
