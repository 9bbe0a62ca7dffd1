#include "core/records/reading.h"

#include "core/records/group_record.h"

namespace reading {

namespace {
constexpr quint8 kUnitMask = 0xF0;
constexpr quint8 kDecimalsMask = 0x0F;
constexpr quint8 kMilliamps = 0x40;
constexpr quint8 kAmps = 0x30;
constexpr quint8 kKiloamps = 0x20;
constexpr int kMostDecimals = 3;
}  // namespace

Unit unitOf(quint8 status)
{
    switch (status & kUnitMask) {
    case kMilliamps: return Unit::Milliamps;
    case kAmps: return Unit::Amps;
    case kKiloamps: return Unit::Kiloamps;
    default: return Unit::None;
    }
}

int decimalsOf(quint8 status)
{
    const int decimals = status & kDecimalsMask;
    return decimals <= kMostDecimals ? decimals : 0;
}

Marker markerOf(double value)
{
    if (value == record_store::kOverloadValue)
        return Marker::Overload;
    if (value == record_store::kErrorValue)
        return Marker::Error;
    return Marker::None;
}

Decoded decode(quint16 raw, quint8 status)
{
    return {raw, unitOf(status), decimalsOf(status), markerOf(raw)};
}

}  // namespace reading
