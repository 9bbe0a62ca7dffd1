#include "sim/generator.h"

#include "sim/protocol.h"

namespace sim {

namespace {

// A reproducible stream of pseudo-random numbers (splitmix64): the same seed
// always gives the same stream, so every group's content is a function of its number.
class Draw {
public:
    explicit Draw(quint64 seed) : state_(seed) {}

    quint32 below(quint32 bound) { return static_cast<quint32>(next() % bound); }
    bool oneIn(quint32 n) { return below(n) == 0; }

private:
    quint64 next()
    {
        quint64 z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    quint64 state_;
};

// Seeds kept apart so that records, channels, live steps and garbage never share a stream.
constexpr quint64 kRecordSalt = 0x5245434FULL << 32;
constexpr quint64 kChannelSalt = 0x4348414EULL << 32;
constexpr quint64 kLiveSalt = 0x4C495645ULL << 32;
constexpr quint64 kGarbageSalt = 0x4741524BULL << 32;

quint64 seedFor(quint64 salt, qint64 number, int part = 0)
{
    return salt ^ (static_cast<quint64>(number) * 4 + static_cast<quint64>(part));
}

// Status bytes: mostly the three real units, sometimes a nibble that names none.
constexpr quint8 kOtherUnits[] = {0x00, 0x10, 0x50, 0x60, 0x70, 0x80, 0x90,
                                  0xA0, 0xB0, 0xC0, 0xD0, 0xE0, 0xF0};
constexpr quint8 kCommonDecimals[] = {0, 1, 1, 2, 2, 2, 3, 3};
constexpr quint8 kFirstUnscaledDecimals = 4;  // 4 to 15 mean "no scaling"

quint8 drawStatus(Draw &d)
{
    quint8 unit;
    const quint32 unitPick = d.below(16);
    if (unitPick < 6)
        unit = kUnitMilliamps;
    else if (unitPick < 10)
        unit = kUnitAmps;
    else if (unitPick < 13)
        unit = kUnitKiloamps;
    else
        unit = kOtherUnits[d.below(std::size(kOtherUnits))];

    quint8 decimals = kCommonDecimals[d.below(std::size(kCommonDecimals))];
    if (d.oneIn(10))
        decimals =
            static_cast<quint8>(kFirstUnscaledDecimals + d.below(16 - kFirstUnscaledDecimals));
    return static_cast<quint8>(unit | decimals);
}

Reading fromValue(quint16 value, quint8 status)
{
    return {static_cast<quint8>(value / 100), static_cast<quint8>(value % 100), status};
}

// hi above 99: 10001 up to 25755, never one of the two reserved codes. Only with
// hi above 200 may lo go past 99 too, so hi 99 / lo 100 never spells overload.
Reading drawHighReading(Draw &d, quint8 status)
{
    constexpr quint32 kLowestHi = 100;
    constexpr quint32 kHiSpan = 256 - kLowestHi;
    constexpr quint8 kHiWithWideLo = 201;
    Reading r;
    r.hi = static_cast<quint8>(kLowestHi + d.below(kHiSpan));
    r.lo = static_cast<quint8>(d.below(r.hi >= kHiWithWideLo ? 256 : 100));
    if (r.lo == 0 && (r.value() == kOverloadValue || r.value() == kErrorValue))
        r.lo = 1;
    r.status = status;
    return r;
}

// Shares per thousand readings of each kind. An error on channel 1 comes far
// more rarely, as a whole group the instrument could not measure.
constexpr quint32 kErrorPerMilleChannel1 = 2;
constexpr quint32 kErrorPerMille = 30;
constexpr quint32 kOverloadPerMille = 30;
constexpr quint32 kHighPerMille = 60;

Reading groupReading(qint32 group, int channel)
{
    Draw d(seedFor(kChannelSalt, group, channel));
    const quint8 status = drawStatus(d);
    const quint32 kind = d.below(1000);
    const quint32 errorShare = channel == 0 ? kErrorPerMilleChannel1 : kErrorPerMille;
    if (kind < errorShare)
        return fromValue(kErrorValue, status);
    if (kind >= kErrorPerMille && kind < kErrorPerMille + kOverloadPerMille)
        return fromValue(kOverloadValue, status);
    if (kind >= 1000 - kHighPerMille)
        return drawHighReading(d, status);
    Reading r;
    // Now and then a value below 100, so readings like 0.005 come up.
    r.hi = d.oneIn(8) ? 0 : static_cast<quint8>(d.below(100));
    r.lo = static_cast<quint8>(d.below(100));
    r.status = status;
    return r;
}

// An unread byte: zero three times in four, anything otherwise.
quint8 drawFiller(Draw &d) { return d.oneIn(4) ? static_cast<quint8>(d.below(256)) : 0; }

// Live readings, step 1 on: unit and decimals follow each other in a fixed cycle
// (offset per channel) so a minute of polling shows every combination.
constexpr quint8 kLiveUnits[] = {kUnitMilliamps, kUnitAmps, kUnitKiloamps, 0x00};
constexpr quint8 kLiveDecimals[] = {0, 1, 2, 3, 6};
constexpr int kLiveChannelShift = 7;
// Overload and error come back periodically, each channel at its own step.
constexpr int kOverloadPeriod = 12;
constexpr int kOverloadPhase = 6;
constexpr int kOverloadChannelShift = 5;
constexpr int kErrorPeriod = 20;
constexpr int kErrorPhase = 10;
constexpr int kErrorChannelShift = 3;
constexpr int kHighPeriod = 9;

const LiveReadings kFirstLiveReadings = {{
    {12, 34, kUnitMilliamps | 2},  // 12.34mA
    {100, 0, kUnitMilliamps | 2},  // overload
    {0, 5, kUnitMilliamps | 3},    // 0.005mA
}};

}  // namespace

Record groupRecord(qint32 group)
{
    Record r{};
    for (int c = 0; c < kChannels; ++c) {
        const Reading reading = groupReading(group, c);
        r[kRecordChannelOffset[c]] = reading.hi;
        r[kRecordChannelOffset[c] + 1] = reading.lo;
        r[kRecordChannelOffset[c] + 2] = reading.status;
    }
    Draw d(seedFor(kRecordSalt, group));
    r[kRecordYear] = static_cast<quint8>(d.below(100));
    r[kRecordMonth] = static_cast<quint8>(1 + d.below(12));
    r[kRecordDay] = static_cast<quint8>(1 + d.below(28));
    r[kRecordHour] = static_cast<quint8>(d.below(24));
    r[kRecordMinute] = static_cast<quint8>(d.below(60));
    r[kRecordSecond] = static_cast<quint8>(d.below(60));
    r[kRecordCharge] = static_cast<quint8>(d.below(256));
    for (int unused : kRecordUnusedBytes)
        r[unused] = drawFiller(d);
    return r;
}

Reading recordReading(const Record &record, int channel)
{
    const int at = kRecordChannelOffset[channel];
    return {record[at], record[at + 1], record[at + 2]};
}

LiveReadings liveReading(int step)
{
    if (step == 0)
        return kFirstLiveReadings;
    LiveReadings out;
    for (int c = 0; c < kChannels; ++c) {
        const int k = step + kLiveChannelShift * c;
        const quint8 status = static_cast<quint8>(
            kLiveUnits[k % std::size(kLiveUnits)]
            | kLiveDecimals[(k / std::size(kLiveUnits)) % std::size(kLiveDecimals)]);
        Draw d(seedFor(kLiveSalt, step, c));
        if ((step + kOverloadChannelShift * c) % kOverloadPeriod == kOverloadPhase) {
            out[c] = fromValue(kOverloadValue, status);
        } else if ((step + kErrorChannelShift * c) % kErrorPeriod == kErrorPhase) {
            out[c] = fromValue(kErrorValue, status);
        } else if (k % kHighPeriod == 0) {
            out[c] = drawHighReading(d, status);
        } else {
            out[c].hi = static_cast<quint8>(d.below(100));
            out[c].lo = static_cast<quint8>(d.below(100));
            out[c].status = status;
        }
    }
    return out;
}

QByteArray garbageBytes(int count, quint32 seed)
{
    Draw d(seedFor(kGarbageSalt, seed));
    QByteArray out;
    out.reserve(count);
    for (int i = 0; i < count; ++i) {
        // 255 values, the header skipped over.
        quint32 b = d.below(255);
        if (b >= kFrameHeader)
            ++b;
        out.append(static_cast<char>(b));
    }
    return out;
}

}  // namespace sim
