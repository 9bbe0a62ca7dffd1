#pragma once

#include "sim/protocol.h"

#include <QByteArray>
#include <QtGlobal>

#include <utility>
#include <vector>

namespace sim {

constexpr qint32 kDefaultGroups = 2500;
constexpr qint32 kMaxGroups = 200000;
// Longer than the host's 31 s block watchdog.
constexpr int kDefaultSlowMs = 33000;
// Stray bytes put in front of a block reply.
constexpr int kStrayBytes = 3;
// Between the two copies of a reply delivered twice: longer than a host needs
// to see that a reply has ended, so the second copy looks like a reply of its own.
constexpr int kCopyGapMs = 50;

// Faults of block replies. Each names the block request it hits, counted from
// 1 over all block requests heard (re-sends included); 0 means none.
struct BlockFaults {
    int silentOn = 0;     // the k-th request gets no reply (a re-send is answered)
    int silentFrom = 0;   // no request from the k-th on gets a reply
    int strayBefore = 0;  // kStrayBytes stray bytes go out in front of the k-th reply
    int insertIn = 0;     // the k-th reply carries one byte too many, in its middle
    int dropFrom = 0;     // the k-th reply lacks one byte from its middle
    int slow = 0;         // the k-th reply comes slowMs late; the replies to requests
                          // that came meanwhile (a re-send) follow it
    int lateTwice = 0;    // the k-th reply is held back until the next request comes (a
                          // re-send), then goes out twice, kCopyGapMs apart
    int slowMs = kDefaultSlowMs;
};

// A device on the port that is not the instrument: it hears the same frames
// and answers each with something else.
enum class Talker {
    None,    // the instrument itself
    Random,  // 20 random bytes, the length of a short reply
    Long,    // the instrument's reply with one byte more
    Echo,    // the request, echoed back
};

struct InstrumentOptions {
    qint32 groups = kDefaultGroups;  // what the group-count reply reports, 0 to kMaxGroups
    bool secondsFlag = true;         // byte 15 of probe and live replies: 0xFF, else 0x00
    int replyDelayMs = 0;            // every short reply this much later, as through a slow adapter
    bool countUnanswered = false;    // the group-count request gets no reply; the rest are answered
    Talker talker = Talker::None;
    BlockFaults faults;
};

// Bytes going out, and how much later than the instrument's usual turnaround.
struct Delivery {
    QByteArray bytes;
    int delayMs = 0;
};

// The instrument's protocol logic without any transport: bytes from the host go in,
// the bytes the instrument sends back come out. Used by the pseudo-terminal
// transport and directly by tests.
class Instrument {
public:
    explicit Instrument(const InstrumentOptions &options = {});

    // Takes bytes from the host; returns the replies to every frame they complete,
    // in order, with any queued stray bytes in front, and when each goes out.
    std::vector<Delivery> respond(const QByteArray &bytes);
    // The same, all of it at once, for callers that do not keep time.
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
    // What goes out for one frame: nothing, one reply, or (after a held reply) two.
    std::vector<Delivery> reply(const CommandFrame &frame);
    std::vector<Delivery> blockDelivery(const CommandFrame &frame);
    QByteArray talkerReply(const CommandFrame &frame, const QByteArray &instrumentReply);

    InstrumentOptions options_;
    FrameScanner scanner_;
    bool silent_ = false;
    QByteArray queuedGarbage_;
    int liveStep_ = 0;
    int counts_[4] = {};
    std::vector<std::pair<qint32, qint32>> blockRanges_;
    QByteArray heldReply_;  // a reply waiting for the next request (lateTwice)
    quint32 talkerSeed_ = 0;
};

}  // namespace sim
