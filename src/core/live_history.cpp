#include "core/live_history.h"

#include "core/records/amperes.h"

#include <type_traits>

static_assert(std::is_trivial_v<LiveHistory::Entry>,
              "the ring is allocated once and written in place; its entries need no construction");
static_assert(sizeof(LiveHistory::Entry) == 24, "a day of entries should stay near 4 MB");

std::optional<double> LiveHistory::Entry::amperes(int channel) const
{
    if (gap)
        return std::nullopt;
    return reading_amperes::amperes(raw[channel], status[channel]);
}

// Default-initialised, not value-initialised: the pages of a ring that never
// fills are never touched, so a short session costs no more than its readings.
LiveHistory::LiveHistory(qsizetype capacity)
    : capacity_(qMax<qsizetype>(capacity, 1)), ring_(new Entry[capacity_])
{
}

LiveHistory::Entry &LiveHistory::push()
{
    ++appended_;
    if (size_ < capacity_)
        return ring_[(oldest_ + size_++) % capacity_];
    Entry &slot = ring_[oldest_];
    oldest_ = (oldest_ + 1) % capacity_;
    return slot;
}

void LiveHistory::appendReading(qint64 msecsSinceEpoch, const quint16 (&raw)[kChannels],
                                const quint8 (&status)[kChannels])
{
    Entry &entry = push();
    entry.msecsSinceEpoch = msecsSinceEpoch;
    for (int c = 0; c < kChannels; ++c) {
        entry.raw[c] = raw[c];
        entry.status[c] = status[c];
    }
    entry.gap = false;
}

void LiveHistory::markGap(qint64 msecsSinceEpoch)
{
    if (size_ == 0 || at(size_ - 1).gap)
        return;
    Entry &entry = push();
    entry = Entry{};
    entry.msecsSinceEpoch = msecsSinceEpoch;
    entry.gap = true;
}

bool LiveHistory::pausedBefore(qsizetype i) const
{
    if (i == 0)
        return false;
    const Entry &before = at(i - 1);
    const Entry &entry = at(i);
    return !before.gap && !entry.gap
           && entry.msecsSinceEpoch - before.msecsSinceEpoch > kLongestStepMs;
}

const LiveHistory::Entry &LiveHistory::at(qsizetype i) const
{
    Q_ASSERT(i >= 0 && i < size_);
    return ring_[(oldest_ + i) % capacity_];
}
