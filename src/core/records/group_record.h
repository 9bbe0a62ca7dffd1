#pragma once

#include <QtGlobal>

// One stored group of readings, as the record store holds it.
struct GroupRecord {
    quint16 val[3] = {};  // raw readings hi*100+lo of channels 1-3 (0 to 25755)
    quint8 stat[3] = {};  // status bytes of channels 1-3
    quint8 year = 0;      // year within the century (kCentury + year)
    quint8 month = 0;
    quint8 day = 0;
    quint8 hour = 0;
    quint8 minute = 0;
    quint8 second = 0;
    quint8 charge = 0;  // exported under "电量"
};

namespace record_store {
constexpr int kFirstGroup = 0;
constexpr int kLastGroup = 200000;
constexpr int kSlots = kLastGroup + 1;
// The instrument's error code ("err"), and what Clear data leaves in a value slot.
constexpr quint16 kErrorValue = 20000;
constexpr quint16 kOverloadValue = 10000;
// The instrument keeps the year within the century.
constexpr int kCentury = 2000;
// The seconds flag the group count reply gives: whether the instrument's time
// stamps carry seconds.
constexpr quint8 kWithSeconds = 1;
constexpr quint8 kWithoutSeconds = 0;
}  // namespace record_store
