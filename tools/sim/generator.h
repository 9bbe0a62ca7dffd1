#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <array>

// What the simulated instrument measures and stores. Everything here is a pure
// function of its argument, so a test can recompute what any group or any live
// reading must hold without talking to the instrument.
namespace sim {

// One channel reading as it travels: value = hi * 100 + lo, plus the status byte
// (high nibble: unit, low nibble: number of decimals).
struct Reading {
    quint8 hi = 0;
    quint8 lo = 0;
    quint8 status = 0;

    quint16 value() const { return static_cast<quint16>(hi * 100 + lo); }
    friend bool operator==(const Reading &a, const Reading &b)
    {
        return a.hi == b.hi && a.lo == b.lo && a.status == b.status;
    }
};

constexpr int kChannels = 3;
using LiveReadings = std::array<Reading, kChannels>;

// Reserved reading values.
constexpr quint16 kOverloadValue = 10000;  // hi 100, lo 0
constexpr quint16 kErrorValue = 20000;     // hi 200, lo 0

// Status byte parts.
constexpr quint8 kUnitMask = 0xF0;
constexpr quint8 kDecimalsMask = 0x0F;
constexpr quint8 kUnitMilliamps = 0x40;
constexpr quint8 kUnitAmps = 0x30;
constexpr quint8 kUnitKiloamps = 0x20;

// A stored group: 20 bytes, laid out as in a block reply.
constexpr int kRecordLength = 20;
using Record = std::array<quint8, kRecordLength>;

// Byte offsets inside a record.
constexpr int kRecordChannelOffset[kChannels] = {1, 4, 7};  // hi, lo, status
constexpr int kRecordYear = 10;                             // 0 to 99
constexpr int kRecordMonth = 11;                            // 1 to 12
constexpr int kRecordDay = 12;                              // 1 to 28
constexpr int kRecordHour = 13;                             // 0 to 23
constexpr int kRecordMinute = 14;                           // 0 to 59
constexpr int kRecordSecond = 15;                           // 0 to 59
constexpr int kRecordCharge = 18;                           // 0 to 255
// Bytes the host does not read; they carry filler that is now and then non-zero.
constexpr int kRecordUnusedBytes[] = {0, 16, 17, 19};

// The 20 bytes of group g, for any group number.
Record groupRecord(qint32 group);
// Channel 0..2 of a record.
Reading recordReading(const Record &record, int channel);

// The three live readings the instrument shows after `step` earlier live requests.
// Step 0 is I1 12.34 mA, I2 overload, I3 0.005 mA; within any 120 consecutive steps
// from 0 every unit, every decimal count 0 to 3, an unscaled status, overload and
// error all appear.
LiveReadings liveReading(int step);

// Stray bytes as a noisy line delivers them: `count` bytes that never hold the
// frame header 0xAA, different for each `seed`.
QByteArray garbageBytes(int count, quint32 seed);

}  // namespace sim
