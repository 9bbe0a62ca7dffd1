#include "core/records/amperes.h"

#include "core/records/reading.h"

namespace reading_amperes {

namespace {
constexpr double kPowersOfTen[] = {1.0, 10.0, 100.0, 1000.0, 10000.0, 100000.0, 1000000.0};
constexpr int kMilliExponent = 3;
}  // namespace

// Each unit takes one exact operation on the whole raw value: a division by a
// power of ten for mA and A, a product with one for kA. Every power of ten up
// to 10^6 and every product raw × 10^3 is exact in a double, so the result is
// the double nearest to the true current, the same one a parser gives for the
// displayed decimal text moved to amperes.
std::optional<double> amperes(quint16 raw, quint8 status)
{
    const reading::Decoded r = reading::decode(raw, status);
    if (!r.isCurrent())
        return std::nullopt;
    switch (r.unit) {
    case reading::Unit::Milliamps: return r.raw / kPowersOfTen[r.decimals + kMilliExponent];
    case reading::Unit::Amps: return r.raw / kPowersOfTen[r.decimals];
    case reading::Unit::Kiloamps: return r.raw * kPowersOfTen[kMilliExponent - r.decimals];
    case reading::Unit::None: break;
    }
    return std::nullopt;
}

}  // namespace reading_amperes
