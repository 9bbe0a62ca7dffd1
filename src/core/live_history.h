#pragma once

#include <QtGlobal>

#include <memory>
#include <optional>

// Every live reading since start-up, up to a day of them, oldest first: a ring
// that forgets the oldest entry once it is full. Each entry holds what the
// instrument sent (raw values and status bytes, as the live display formats
// them) and the computer's time it came; a link loss is an entry of its own,
// a gap in the lines drawn from the readings. The live trend draws from here,
// and the command line can write it out the same way.
class LiveHistory {
public:
    static constexpr int kChannels = 3;
    // A day of readings at the live poll's two a second.
    static constexpr qsizetype kDayOfReadings = 24 * 60 * 60 * 2;
    // Two readings further apart than two of the live poll's 500 ms periods
    // were not taken one after the other: the poll paused (Read, the
    // read-range dialog, a message box, a read-out) or its requests went
    // unanswered. Nothing is known between them, so nothing is drawn there.
    static constexpr qint64 kLongestStepMs = 2 * 500;

    // 24 bytes, so a full day takes 4 MB, allocated once and touched only as
    // it fills.
    struct Entry {
        qint64 msecsSinceEpoch;  // the computer's clock when the reading came, or the link was lost
        quint16 raw[kChannels];  // as the instrument sent them; unused in a gap
        quint8 status[kChannels];
        bool gap;  // the link was lost here; no reading

        // Channel c's current in amperes; nothing in a gap, and for OL, err
        // and a reading without a unit.
        std::optional<double> amperes(int channel) const;
    };

    explicit LiveHistory(qsizetype capacity = kDayOfReadings);

    // A reading that just came; the oldest entry goes when the ring is full.
    void appendReading(qint64 msecsSinceEpoch, const quint16 (&raw)[kChannels],
                       const quint8 (&status)[kChannels]);
    // The link was lost. A loss right after another one, or before any
    // reading, adds nothing: there is no line to break.
    void markGap(qint64 msecsSinceEpoch);
    qsizetype size() const { return size_; }
    qsizetype capacity() const { return capacity_; }
    // Entry i, 0 being the oldest kept; i must be below size().
    const Entry &at(qsizetype i) const;
    // Whether entry i (0 <= i < size()) is a reading that came more than
    // kLongestStepMs after the reading before it: no line joins the two.
    bool pausedBefore(qsizetype i) const;
    // How many entries were ever appended, forgotten ones included: a view
    // that remembers this number knows which entries are new to it, and when
    // some of them were forgotten before it looked.
    quint64 appendedCount() const { return appended_; }

private:
    Entry &push();

    qsizetype capacity_;
    std::unique_ptr<Entry[]> ring_;
    qsizetype oldest_ = 0;  // slot of entry 0
    qsizetype size_ = 0;
    quint64 appended_ = 0;
};
