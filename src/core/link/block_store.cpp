#include "core/link/block_reader.h"

#include "core/link/block_store.h"
#include "core/link/frames.h"
#include "core/link/replies.h"
#include "core/link/serial_link.h"
#include "core/records/records.h"

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
void BlockReader::storeBlock()
{
    const frames::Frame &frame = link_.cmdBuf();
    const QByteArray &rx = link_.rxBuf();
    const qint32 first = frames::frameFirstGroup(frame);
    const qint32 last = frames::frameLastGroup(frame);
    RecordStore &store = records_.store();
    int k = 0;
    int percent = -1;
    for (qint32 g = first; g <= last; ++g, ++k) {
        // The read plan keeps requests inside the store; a group without a slot is never written.
        if (g < record_store::kFirstGroup || g > record_store::kLastGroup)
            continue;
        store.storeRecord(g, replies::blockRecord(rx, k));
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
    records_.listRecords(first, last);
    timer4_.setEnabled(false);
    emit readOutCompleted();
    // The read-out is over; whatever arrived while the completion was shown (a
    // late duplicate block, say) must not be taken for a new block.
    link_.port().setInBufferCount(0);
    unlockControls();
}

// Lifts the busy lock of a read-out, and the link goes back to its everyday work.
void BlockReader::unlockControls()
{
    if (busy_) {
        busy_ = false;
        emit busyChanged(false);
    }
    link_.resume();
}
