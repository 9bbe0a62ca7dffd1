#pragma once

#include "core/records/group_record.h"

#include <QByteArray>

#include <array>

// Checking and decoding what the instrument sends back.
namespace replies {

// A short reply: at least 20 bytes, 0xAA first, the command code at byte 19.
bool isShortReply(const QByteArray &rx, quint8 code);
// Byte 15 of a probe or live-reading reply: 1 when it is 0xFF, else 0.
quint8 secondsFlag(const QByteArray &rx);
// Bytes 15-17 of the group-count reply, a base-100 triple.
qint32 groupCount(const QByteArray &rx);

struct Reading {
    quint16 value;  // hi*100 + lo
    quint8 status;
};
// The three channel readings of a live-reading reply (bytes 1-9).
std::array<Reading, 3> liveReadings(const QByteArray &rx);

// Record k of a block reply; the caller makes sure the reply holds it.
GroupRecord blockRecord(const QByteArray &rx, int k);

}  // namespace replies
