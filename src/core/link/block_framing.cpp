#include "core/link/block_reader.h"

#include "core/link/frames.h"
#include "core/link/read_out.h"
#include "core/link/serial_link.h"
#include "platform/mscomm.h"
#include "platform/serial_log.h"

#include <algorithm>

// How the receive path takes block replies. A reply has no header, no length
// field and no check, so a block is accepted only when exactly its length
// arrived for the request and the line then stays quiet. Anything else (stray
// bytes before it, a byte too many or too few, a second reply) is dropped until
// the line is quiet, and the same block is asked for again at once.

namespace {
constexpr int kAnyByte = 1;  // receive threshold at which every byte is reported

// The block a request asks for, for the serial log.
QString requested(const frames::Frame &frame)
{
    return QStringLiteral("groups %1-%2:")
        .arg(frames::frameFirstGroup(frame))
        .arg(frames::frameLastGroup(frame));
}
}  // namespace

// A new read-out starts: no block stored, no request out yet, and nothing
// known of how the adapter delivers.
void BlockReader::beginReadOut()
{
    readPhase_ = ReadPhase::Receiving;
    deliveriesSeen_ = 0;
    // A count left over from an earlier read-out would shorten the first wait.
    blockRetryTicks_ = 0;
    blockRequests_ = 0;
    blockResends_ = 0;
    blockFailures_ = 0;
    storedFirst_ = lssavesum_;
    storedLast_ = lssavesum_ - 1;
}

// A block request of replyBytes goes out.
void BlockReader::armBlockReception(qint32 replyBytes)
{
    if (readPhase_ == ReadPhase::Idle)
        return;
    readPhase_ = ReadPhase::Receiving;
    blockReplyBytes_ = replyBytes;
    ++blockRequests_;
    stallBytes_ = -1;
    lastArrivalMs_ = -1;  // the wait for the first byte is no pause of the delivery
    deliveryPauseMs_ = 0;
    lineTimer_.start(read_out::kStallCheckMs);
}

// Some bytes of a block reply came. The pauses between them tell how the
// adapter delivers; and while a reply comes, it is being answered: the
// watchdog counts quiet seconds from its last byte, so a request is never
// sent again over a reply that is still coming in.
void BlockReader::bytesArrived()
{
    if (readPhase_ != ReadPhase::Receiving)
        return;
    const qint64 now = clock_.nowMs();
    if (lastArrivalMs_ >= 0)
        deliveryPauseMs_ = std::max(deliveryPauseMs_, int(now - lastArrivalMs_));
    lastArrivalMs_ = now;
    blockRetryTicks_ = 0;
}

int BlockReader::quietWindowMs() const
{
    int pause = deliveriesSeen_ == 0 ? read_out::kUnknownAdapterPauseMs : 0;
    const int remembered = std::min(deliveriesSeen_, read_out::kPausesRemembered);
    for (int i = 0; i < remembered; ++i)
        pause = std::max(pause, recentPausesMs_[std::size_t(i)]);
    return read_out::quietWindowMs(std::max(pause, deliveryPauseMs_));
}

// The receive threshold was reached: rxBuf holds the reply's length.
void BlockReader::blockDelivered(bool morePending)
{
    link_.markLinkAlive();
    blockResends_ = 0;
    const QByteArray &rx = link_.rxBuf();
    if (morePending || rx.size() != blockReplyBytes_) {
        qCDebug(lcSerial).noquote()
            << requested(link_.cmdBuf()) << rx.size() << "bytes" << (morePending ? "and more" : "")
            << "for a reply of" << blockReplyBytes_;
        startDraining();
        return;
    }
    readPhase_ = ReadPhase::Settling;
    link_.port().setRThreshold(kAnyByte);
    lineTimer_.start(quietWindowMs());
}

// Bytes outside the reply being received.
void BlockReader::blockLineNoise()
{
    MSComm &port = link_.port();
    const int n = port.InBufferCount();
    port.setInBufferCount(0);
    link_.markLinkAlive();
    switch (readPhase_) {
    case ReadPhase::Idle:
    case ReadPhase::Receiving: return;
    case ReadPhase::Settling:
        qCDebug(lcSerial).noquote() << requested(link_.cmdBuf()) << "bytes follow the reply";
        startDraining();
        return;
    case ReadPhase::Draining: lineTimer_.start(quietWindowMs()); return;
    case ReadPhase::AwaitingLate: {
        lateBytes_ += n;
        blockRetryTicks_ = 0;  // the watchdog counts quiet seconds from the last byte
        if (lateBytes_ >= lateRepliesOwed() * blockReplyBytes_)
            lineTimer_.start(quietWindowMs());
        return;
    }
    }
}

void BlockReader::lineTimer_Timer()
{
    const int pending = link_.serial().InBufferCount();
    switch (readPhase_) {
    case ReadPhase::Idle: return;
    case ReadPhase::Receiving:
        // A reply that has stopped growing short of its length will not go on.
        // A check that comes late, after the event loop was held up, looks
        // again before it concludes: bytes may be on their way to us.
        if (pending > 0 && pending == stallBytes_ && !lineTimer_.firedLate()) {
            qCDebug(lcSerial).noquote() << requested(link_.cmdBuf()) << "reply stopped short at"
                                        << pending << "of" << blockReplyBytes_ << "bytes";
            startDraining();
            return;
        }
        stallBytes_ = pending;
        lineTimer_.start(read_out::kStallCheckMs);
        return;
    case ReadPhase::Settling:
        if (pending > 0)
            startDraining();
        else
            acceptBlock();
        return;
    case ReadPhase::Draining:
    case ReadPhase::AwaitingLate:
        if (pending > 0) {
            blockLineNoise();
            return;
        }
        if (readPhase_ == ReadPhase::Draining)
            blockFailed();
        else
            advanceReadOut();
        return;
    }
}

// Requests of the current block beyond the one whose reply was stored, less
// the deliveries that failed: each may still bring a reply.
qint32 BlockReader::lateRepliesOwed() const { return blockRequests_ - 1 - blockFailures_; }

// Drops everything until the line has been quiet for the window.
void BlockReader::startDraining()
{
    readPhase_ = ReadPhase::Draining;
    link_.port().setInBufferCount(0);
    link_.port().setRThreshold(kAnyByte);
    lineTimer_.start(quietWindowMs());
}

// The delivery was not the block's reply: ask again at once, or give up.
void BlockReader::blockFailed()
{
    ++blockFailures_;
    if (blockFailures_ >= read_out::kAttemptsPerBlock) {
        interruptReadOut(read_out::End::BadData);
        return;
    }
    qCDebug(lcSerial).noquote() << requested(link_.cmdBuf()) << "asking again";
    blockRetryTicks_ = 0;
    requestBlock();
}

void BlockReader::acceptBlock()
{
    recentPausesMs_[std::size_t(deliveriesSeen_ % read_out::kPausesRemembered)] = deliveryPauseMs_;
    ++deliveriesSeen_;
    storeBlock();
    if (readPhase_ == ReadPhase::Idle)
        return;  // the read-out is complete
    // After a re-send, the earlier request may still be answered. That reply
    // must not be taken for the next block, so the next request waits until it
    // has come, or until the watchdog has seen a whole period of quiet line.
    if (lateRepliesOwed() > 0) {
        readPhase_ = ReadPhase::AwaitingLate;
        lateBytes_ = 0;
        blockRetryTicks_ = 0;
        link_.port().setRThreshold(kAnyByte);
        return;
    }
    advanceReadOut();
}

// Requests the next block of the plan. (The block that ends the range
// completes the read-out when it is stored; nothing is left to request then.)
void BlockReader::advanceReadOut()
{
    lineTimer_.stop();
    if (lsmemmul_ > memmul_) {
        readPhase_ = ReadPhase::Idle;  // that was the final partial block, or the only block
        return;
    }
    if (lsmemmul_ == memmul_ && memrem_ == 0) {
        readPhase_ = ReadPhase::Idle;
        timer4_.setEnabled(false);  // the last whole block, and no partial one follows
        return;
    }
    ++lsmemmul_;
    startsave_ += frames::kBlockGroups;
    blockRetryTicks_ = 0;
    blockRequests_ = 0;
    blockResends_ = 0;
    blockFailures_ = 0;
    readPhase_ = ReadPhase::Receiving;
    requestBlock();
}
