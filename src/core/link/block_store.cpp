#include "core/instrument.h"

#include "core/link/block_store.h"
#include "core/link/frames.h"
#include "core/link/replies.h"

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

// Stores the groups of a block reply and, after the block that ends the range,
// completes the read-out.
void Instrument::storeBlock()
{
    const qint32 first = frames::frameFirstGroup(cmdBuf_);
    const qint32 last = frames::frameLastGroup(cmdBuf_);
    int k = 0;
    int percent = -1;
    for (qint32 g = first; g <= last; ++g, ++k) {
        // The read plan keeps requests inside the store; a group without a slot is never written.
        if (g < record_store::kFirstGroup || g > record_store::kLastGroup)
            continue;
        store_.storeRecord(g, replies::blockRecord(rxBuf_, k));
        // The progress follows every group; it is told when it moves.
        const int p = block_store::progressPercent(g, endsave_);
        if (p != percent) {
            percent = p;
            emit progressChanged(p);
        }
    }
    if (first <= last) {
        storedFirst_ = first;
        storedLast_ = last;
        emit blockStored(first, last);
    }

    // Only the block that ends the range completes the read-out: an earlier block
    // whose last group rounds to 100 % must not stop the watchdog.
    if (last != endsave_ || first > last)
        return;
    readPhase_ = ReadPhase::Idle;
    lineTimer_.stop();
    listRecords(first, last);
    timer4_.setEnabled(false);
    emit readOutCompleted();
    // The read-out is over; whatever arrived while the completion was shown (a
    // late duplicate block, say) must not be taken for a new block.
    MSComm1.setInBufferCount(0);
    unlockControls();
}

// Lifts the busy lock of a read-out.
void Instrument::unlockControls()
{
    if (busy_) {
        busy_ = false;
        emit busyChanged(false);
    }
    timer2_.setEnabled(true);
    timer3_.setEnabled(true);
}
