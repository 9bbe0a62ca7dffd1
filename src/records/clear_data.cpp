#include "window/form1.h"

#include <QTimer>

#include <algorithm>

// Clear data: empties the record store, lists it (banner and header only) and
// lets the port search and the live poll run again. Statuses and charge stay:
// a group is present by its channel-1 value alone.
void Form1::Command4_Click()
{
    std::fill(grpVal1.begin(), grpVal1.end(), record_store::kEmptyValue);
    std::fill(grpVal2.begin(), grpVal2.end(), record_store::kEmptyValue);
    std::fill(grpVal3.begin(), grpVal3.end(), record_store::kEmptyValue);
    for (std::vector<quint8> *part : {&grpYear, &grpMonth, &grpDay, &grpHour, &grpMinute, &grpSecond})
        std::fill(part->begin(), part->end(), quint8(0));
    listRecords(0, 0);
    setTimerEnabled(Timer2, true);
    setTimerEnabled(Timer3, true);
}
