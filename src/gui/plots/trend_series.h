#pragma once

#include <QtGlobal>

#include <array>
#include <optional>

class LiveHistory;
class QCPGraph;

// The three lines of the live history, kept in the trend's graphs: one point
// per reading at the computer's time in seconds since 1970, in amperes, with
// a gap (a point without a value) for OL, err, a reading without a unit, at
// every link loss and wherever the poll paused. It follows the history: new entries are appended,
// and those the history forgot are dropped.
class TrendSeries {
public:
    static constexpr int kChannels = 3;  // I1 to I3, one graph each

    TrendSeries(const LiveHistory &history, const std::array<QCPGraph *, kChannels> &graphs);

    // Takes in what the history gained since the last call.
    void update();
    // The history's entry whose time is nearest to `key`; nothing while it is empty.
    std::optional<qsizetype> nearestEntry(double key) const;
    // The key of history entry i.
    double keyOf(qsizetype i) const;

private:
    // Draws entries first to the newest: set as the whole lines, or added after them.
    void draw(qsizetype first, bool whole);

    const LiveHistory &history_;
    std::array<QCPGraph *, kChannels> graphs_;
    quint64 taken_ = 0;  // the history's appendedCount() at the last update
};
