#pragma once

#include "core/live_history.h"
#include "core/records/group_record.h"

#include <QByteArray>
#include <QString>

// The command line's CSV, for machines: one line per group or live reading,
// the currents both as plain decimal amperes and as the texts the table shows.
// No quoting is needed: no field ever holds a comma, a quote or a line break.
namespace csv_rows {

// "group,time,i1_a,i2_a,i3_a,i1,i2,i3,charge"
QByteArray groupHeader();
// "time,i1_a,i2_a,i3_a,i1,i2,i3"
QByteArray liveHeader();

// The time stamp in ISO 8601, "2001-11-15T14:20:41", or "2001-11-15T14:20"
// when the instrument's time stamps carry no seconds (secFlag other than 1).
QString isoTime(const GroupRecord &record, quint8 secFlag);

// The current in amperes as a plain decimal number, no exponent, with exactly
// the digits the instrument's text means ("0.000005", "25755000", "2.5755");
// empty for OL, err and a reading without a unit.
QString amperesText(quint16 raw, quint8 status);

// The reading as the table shows it, without the padding: "28mA", "OL", "err".
QString readingText(quint16 raw, quint8 status);

// One group's line, ended by a line feed.
QByteArray groupLine(qint32 group, const GroupRecord &record, quint8 secFlag);

// One live reading's line, ended by a line feed: the computer's local time
// when it came, in ISO 8601 with milliseconds. `entry` is a reading, not a gap.
QByteArray liveLine(const LiveHistory::Entry &entry);

}  // namespace csv_rows
