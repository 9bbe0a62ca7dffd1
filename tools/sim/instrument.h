#pragma once

#include "sim/protocol.h"

#include <QByteArray>
#include <QtGlobal>

#include <utility>
#include <vector>

namespace sim {

constexpr qint32 kDefaultGroups = 2500;
constexpr qint32 kMaxGroups = 200000;

struct InstrumentOptions {
    qint32 groups = kDefaultGroups;  // what the group-count reply reports, 0 to kMaxGroups
    bool secondsFlag = true;         // byte 15 of probe and live replies: 0xFF, else 0x00
    int silentOnBlock = 0;           // the k-th block request (from 1) gets no reply; 0: none
};

// The instrument's protocol logic without any transport: bytes from the host go in,
// the bytes the instrument sends back come out. Used by the pseudo-terminal
// transport and directly by tests.
class Instrument {
public:
    explicit Instrument(const InstrumentOptions &options = {});

    // Takes bytes from the host; returns the replies to every frame they complete,
    // in order, with any queued stray bytes in front.
    QByteArray receive(const QByteArray &bytes);

    // While silent, frames are taken off the line and dropped as if unplugged:
    // no reply, no live step, no count.
    void setSilent(bool silent) { silent_ = silent; }
    bool isSilent() const { return silent_; }

    // Forgets a partly received frame, as when the line is cut.
    void dropPartialFrame() { scanner_.clear(); }

    // Bytes that go out once, right in front of the next reply.
    void queueGarbage(const QByteArray &bytes) { queuedGarbage_.append(bytes); }

    const InstrumentOptions &options() const { return options_; }

    // What the host has asked for so far (frames heard while silent excluded).
    int requestCount(Command command) const;
    // The ranges of all block requests heard, answered or not, in order.
    const std::vector<std::pair<qint32, qint32>> &blockRequests() const { return blockRanges_; }
    // The live step the next live request is answered with.
    int liveStep() const { return liveStep_; }

private:
    QByteArray reply(const CommandFrame &frame);

    InstrumentOptions options_;
    FrameScanner scanner_;
    bool silent_ = false;
    QByteArray queuedGarbage_;
    int liveStep_ = 0;
    int counts_[4] = {};
    std::vector<std::pair<qint32, qint32>> blockRanges_;
};

} // namespace sim
