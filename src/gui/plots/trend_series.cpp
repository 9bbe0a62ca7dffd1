#include "gui/plots/trend_series.h"

#include "core/live_history.h"

#include <qcustomplot.h>

#include <algorithm>
#include <limits>

namespace {

constexpr double kMsecsPerSecond = 1000.0;
constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();

}  // namespace

static_assert(TrendSeries::kChannels == LiveHistory::kChannels);

TrendSeries::TrendSeries(const LiveHistory &history,
                         const std::array<QCPGraph *, kChannels> &graphs)
    : history_(history), graphs_(graphs)
{
}

double TrendSeries::keyOf(qsizetype i) const
{
    return history_.at(i).msecsSinceEpoch / kMsecsPerSecond;
}

void TrendSeries::draw(qsizetype first, bool whole)
{
    std::array<QVector<QCPGraphData>, kChannels> lines;
    for (QVector<QCPGraphData> &line : lines)
        line.reserve(history_.size() - first);
    for (qsizetype i = first; i < history_.size(); ++i) {
        const LiveHistory::Entry &entry = history_.at(i);
        const double key = keyOf(i);
        // No line across a pause: a point without a value between the two.
        if (history_.pausedBefore(i)) {
            const double between = (keyOf(i - 1) + key) / 2;
            for (QVector<QCPGraphData> &line : lines)
                line.append(QCPGraphData(between, kNoValue));
        }
        for (int c = 0; c < kChannels; ++c)
            lines[c].append(QCPGraphData(key, entry.amperes(c).value_or(kNoValue)));
    }
    for (int c = 0; c < kChannels; ++c) {
        if (whole)
            graphs_[c]->data()->set(lines[c], true);
        else
            graphs_[c]->data()->add(lines[c], true);
    }
}

void TrendSeries::update()
{
    const quint64 fresh = history_.appendedCount() - taken_;
    taken_ = history_.appendedCount();
    if (fresh == 0)
        return;
    // All that is kept came since the last look: the lines are drawn anew.
    if (fresh >= quint64(history_.size())) {
        draw(0, true);
        return;
    }
    draw(history_.size() - qsizetype(fresh), false);
    // What the history forgot goes from the lines too; the container only
    // moves its start, so this costs nothing per reading.
    const double oldest = keyOf(0);
    for (QCPGraph *graph : graphs_)
        graph->data()->removeBefore(oldest);
}

std::optional<qsizetype> TrendSeries::nearestEntry(double key) const
{
    const qsizetype size = history_.size();
    if (size == 0)
        return std::nullopt;
    // The first entry at or after the key, the history being in time order.
    qsizetype low = 0;
    qsizetype high = size;
    while (low < high) {
        const qsizetype middle = low + (high - low) / 2;
        if (keyOf(middle) < key)
            low = middle + 1;
        else
            high = middle;
    }
    if (low == 0)
        return 0;
    if (low == size)
        return size - 1;
    return key - keyOf(low - 1) <= keyOf(low) - key ? low - 1 : low;
}
