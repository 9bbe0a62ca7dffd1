#include "window/form1.h"

#include "core/link/frames.h"
#include "core/link/read_out.h"
#include "platform/mscomm.h"
#include "platform/serial_log.h"

#include <QTimer>

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

// A new read-out starts: no block stored, no request out yet.
void Form1::beginReadOut()
{
    readPhase = ReadPhase::Receiving;
    // A count left over from an earlier read-out would shorten the first wait.
    blockRetryTicks = 0;
    blockRequests = 0;
    blockResends = 0;
    blockFailures = 0;
    storedFirst = lssavesum;
    storedLast = lssavesum - 1;
}

// A block request of replyBytes went out.
void Form1::armBlockReception(qint32 replyBytes)
{
    if (readPhase == ReadPhase::Idle)
        return;
    readPhase = ReadPhase::Receiving;
    blockReplyBytes = replyBytes;
    ++blockRequests;
    stallBytes = -1;
    armLineTimer(read_out::kStallCheckMs);
}

// The receive threshold was reached: rxBuf holds the reply's length.
void Form1::blockDelivered(bool morePending)
{
    blockResends = 0;
    if (morePending || rxBuf.size() != blockReplyBytes) {
        qCDebug(lcSerial).noquote()
            << requested(cmdBuf) << rxBuf.size() << "bytes" << (morePending ? "and more" : "")
            << "for a reply of" << blockReplyBytes;
        startDraining();
        return;
    }
    readPhase = ReadPhase::Settling;
    MSComm1->setRThreshold(kAnyByte);
    armLineTimer(read_out::kQuietWindowMs);
}

// Bytes outside the reply being received.
void Form1::blockLineNoise()
{
    const int n = MSComm1->InBufferCount();
    MSComm1->setInBufferCount(0);
    markLinkAlive();
    switch (readPhase) {
    case ReadPhase::Idle:
    case ReadPhase::Receiving: return;
    case ReadPhase::Settling:
        qCDebug(lcSerial).noquote() << requested(cmdBuf) << "bytes follow the reply";
        startDraining();
        return;
    case ReadPhase::Draining: armLineTimer(read_out::kQuietWindowMs); return;
    case ReadPhase::AwaitingLate: {
        lateBytes += n;
        blockRetryTicks = 0;  // the watchdog counts quiet seconds from the last byte
        if (lateBytes >= lateRepliesOwed() * blockReplyBytes)
            armLineTimer(read_out::kQuietWindowMs);
        return;
    }
    }
}

void Form1::lineTimer_Timer()
{
    const int pending = MSComm1->InBufferCount();
    switch (readPhase) {
    case ReadPhase::Idle: return;
    case ReadPhase::Receiving:
        // A reply that has stopped growing short of its length will not go on.
        // A check that comes late, after the event loop was held up, looks
        // again before it concludes: bytes may be on their way to us.
        if (pending > 0 && pending == stallBytes && !lineCheckCameLate()) {
            qCDebug(lcSerial).noquote() << requested(cmdBuf) << "reply stopped short at" << pending
                                        << "of" << blockReplyBytes << "bytes";
            startDraining();
            return;
        }
        stallBytes = pending;
        armLineTimer(read_out::kStallCheckMs);
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
        if (readPhase == ReadPhase::Draining)
            blockFailed();
        else
            advanceReadOut();
        return;
    }
}

// Requests of the current block beyond the one whose reply was stored, less
// the deliveries that failed: each may still bring a reply.
qint32 Form1::lateRepliesOwed() const { return blockRequests - 1 - blockFailures; }

void Form1::armLineTimer(int ms)
{
    lineArmedAt_.start();
    lineTimer->start(ms);
}

bool Form1::lineCheckCameLate() const
{
    return lineArmedAt_.elapsed() > lineTimer->interval() * 3 / 2;
}

// Drops everything until the line has been quiet for the window.
void Form1::startDraining()
{
    readPhase = ReadPhase::Draining;
    MSComm1->setInBufferCount(0);
    MSComm1->setRThreshold(kAnyByte);
    armLineTimer(read_out::kQuietWindowMs);
}

// The delivery was not the block's reply: ask again at once, or give up.
void Form1::blockFailed()
{
    ++blockFailures;
    if (blockFailures >= read_out::kAttemptsPerBlock) {
        interruptReadOut(read_out::End::BadData);
        return;
    }
    qCDebug(lcSerial).noquote() << requested(cmdBuf) << "asking again";
    blockRetryTicks = 0;
    senddat(frames::kBlockRequest);
}

void Form1::acceptBlock()
{
    storeBlock();
    if (readPhase == ReadPhase::Idle)
        return;  // the read-out is complete
    // After a re-send, the earlier request may still be answered. That reply
    // must not be taken for the next block, so the next request waits until it
    // has come, or until the watchdog has seen a whole period of quiet line.
    if (lateRepliesOwed() > 0) {
        readPhase = ReadPhase::AwaitingLate;
        lateBytes = 0;
        blockRetryTicks = 0;
        MSComm1->setRThreshold(kAnyByte);
        return;
    }
    advanceReadOut();
}

// Requests the next block of the plan. (The block that ends the range
// completes the read-out when it is stored; nothing is left to request then.)
void Form1::advanceReadOut()
{
    lineTimer->stop();
    if (lsmemmul > memmul) {
        readPhase = ReadPhase::Idle;  // that was the final partial block, or the only block
        return;
    }
    if (lsmemmul == memmul && memrem == 0) {
        readPhase = ReadPhase::Idle;
        setTimerEnabled(Timer4, false);  // the last whole block, and no partial one follows
        return;
    }
    ++lsmemmul;
    startsave += frames::kBlockGroups;
    blockRetryTicks = 0;
    blockRequests = 0;
    blockResends = 0;
    blockFailures = 0;
    readPhase = ReadPhase::Receiving;
    senddat(frames::kBlockRequest);
}
