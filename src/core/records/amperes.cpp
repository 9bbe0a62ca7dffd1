#include "core/records/amperes.h"

#include "core/records/group_record.h"

namespace reading_amperes {

namespace {

constexpr quint8 kUnitMask = 0xF0;
constexpr quint8 kDecimalsMask = 0x0F;
constexpr quint8 kMilliamps = 0x40;
constexpr quint8 kAmps = 0x30;
constexpr quint8 kKiloamps = 0x20;
// Decimals 1 to 3 scale the raw value; 0 and 4 to 15 leave it as it is, as on the display.
constexpr int kMaxDecimals = 3;
constexpr double kPowersOfTen[] = {1.0, 10.0, 100.0, 1000.0, 10000.0, 100000.0, 1000000.0};
constexpr int kMilliExponent = 3;

int decimalsOf(quint8 status)
{
    const int decimals = status & kDecimalsMask;
    return decimals <= kMaxDecimals ? decimals : 0;
}

}  // namespace

// Each unit takes one exact operation on the whole raw value: a division by a
// power of ten for mA and A, a product with one for kA. Every power of ten up
// to 10^6 and every product raw × 10^3 is exact in a double, so the result is
// the double nearest to the true current, the same one a parser gives for the
// displayed decimal text moved to amperes.
std::optional<double> amperes(quint16 raw, quint8 status)
{
    if (raw == record_store::kOverloadValue || raw == record_store::kErrorValue)
        return std::nullopt;
    const int decimals = decimalsOf(status);
    switch (status & kUnitMask) {
    case kMilliamps: return raw / kPowersOfTen[decimals + kMilliExponent];
    case kAmps: return raw / kPowersOfTen[decimals];
    case kKiloamps: return raw * kPowersOfTen[kMilliExponent - decimals];
    default: return std::nullopt;
    }
}

}  // namespace reading_amperes
