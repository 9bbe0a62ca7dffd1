#include "core/link/block_store.h"

#include <QtGlobal>

#include <cmath>

namespace {
constexpr int kFullPercent = 100;
}  // namespace

namespace block_store {

int progressPercent(qint32 g, qint32 endsave)
{
    if (g >= endsave)
        return kFullPercent;
    const double p = std::nearbyint(double(g) / double(endsave) * kFullPercent);  // ties to even
    return static_cast<int>(qBound(0.0, p, double(kFullPercent)));
}

}  // namespace block_store
