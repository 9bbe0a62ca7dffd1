#pragma once

#include "core/link/link_mode.h"
#include "core/link/read_out.h"
#include "core/link_timer.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <array>

namespace read_plan {
struct Plan;
}
class Records;
class SerialLink;

// The read-out: the read plan, the block requests, the framing of their
// replies, the block watchdog, the busy lock, and how a read-out ends,
// complete or early. It stores into the records and lists them.
class BlockReader : public QObject {
    Q_OBJECT
public:
    // Where a read-out stands with the block being read. A block reply has no
    // header, length or check: it is taken only when exactly its length
    // arrived and the line then stays quiet.
    enum class ReadPhase {
        Idle,          // no read-out
        Receiving,     // a block request is out; waiting for its reply
        Settling,      // the reply's length is in; waiting for a quiet line
        Draining,      // the delivery was wrong; dropping bytes until the line is quiet
        AwaitingLate,  // stored after a re-send; the earlier request's reply may still come
    };

    BlockReader(SerialLink &link, Records &records, LinkTimer::Timing timing, ManualClock *clock,
                QObject *parent = nullptr);

    const LinkTimer &Timer4() const { return timer4_; }
    const LinkTimer &lineTimer() const { return lineTimer_; }

    // The read plan: the range read last, and the block being read.
    qint32 startsave() const { return startsave_; }  // first group of the block to request
    qint32 endsave() const { return endsave_; }      // last group of the range
    qint32 lssavesum() const { return lssavesum_; }  // first group of the range
    qint32 memnum() const { return memnum_; }        // groups in the range
    qint16 memmul() const { return memmul_; }        // whole blocks of 1000 groups
    qint16 memrem() const { return memrem_; }        // groups in the final partial block
    qint16 lsmemmul() const { return lsmemmul_; }    // block being requested, from 1
    qint16 blockRetryTicks() const { return blockRetryTicks_; }

    ReadPhase readPhase() const { return readPhase_; }
    bool isBusy() const { return busy_; }  // the busy lock of a read-out holds
    // The last block this read-out stored; storedLast < lssavesum while none.
    qint32 storedFirst() const { return storedFirst_; }
    qint32 storedLast() const { return storedLast_; }

    // OK in the read-range dialog: the plan becomes the read plan and the
    // read-out starts with its first block; a plan without groups says so.
    void startReadOut(const read_plan::Plan &plan);
    // A front end stops the running read-out: it ends as interrupted.
    void abandonReadOut();
    // The port went away under a running read-out.
    void portLost();
    void stop();

    // Bytes of a receive event after a block request. Only the reply being
    // received is a block: bytes after it, while the line is drained or
    // after the read-out ended, are never stored.
    bool takesReply() const { return readPhase_ == ReadPhase::Receiving; }
    void blockDelivered(bool morePending);
    void blockLineNoise();

signals:
    // The busy lock of a read-out went on or off.
    void busyChanged(bool busy);
    // A read-out begins: its progress is 0.
    void readOutStarted();
    // Progress of a read-out in whole percent, after each stored group.
    void progressChanged(int percent);
    // The groups first to last were stored.
    void blockStored(qint32 first, qint32 last);
    // The block that ends the range was stored. Handlers may wait (a
    // message box): the busy lock is lifted after they return.
    void readOutCompleted();
    // The read-out ended early; `message` says why and which groups arrived.
    void readOutInterrupted(read_out::End why, const QString &message);
    // OK on a range without stored groups: nothing was asked for.
    void nothingToRead();

private:
    friend class InstrumentTesting;

    void Timer4_Timer();
    void lineTimer_Timer();
    void storeBlock();
    void lockControls();
    void unlockControls();
    void interruptReadOut(read_out::End why);
    void requestBlock();
    void setReadPlan(const read_plan::Plan &plan);
    void beginReadOut();
    void armBlockReception(qint32 replyBytes);
    qint32 lateRepliesOwed() const;
    void startDraining();
    void blockFailed();
    void acceptBlock();
    void advanceReadOut();
    void bytesArrived();
    // How long the line must stay quiet before what arrived counts as whole.
    int quietWindowMs() const;

    SerialLink &link_;
    Records &records_;
    LinkTimer timer4_;
    LinkTimer lineTimer_;
    bool busy_ = false;

    // Read plan.
    qint32 startsave_ = 0;
    qint32 endsave_ = 0;
    qint32 lssavesum_ = 0;
    qint32 memnum_ = 0;
    qint16 memmul_ = 0;
    qint16 memrem_ = 0;
    qint16 lsmemmul_ = 0;

    // Read-out in progress.
    ReadPhase readPhase_ = ReadPhase::Idle;
    qint16 blockRetryTicks_ = 0;
    qint16 blockRequests_ = 0;    // requests sent for the current block
    qint16 blockResends_ = 0;     // watchdog re-sends since the block last got a whole answer
    qint16 blockFailures_ = 0;    // deliveries of the current block that were not its reply
    qint32 blockReplyBytes_ = 0;  // what the current block's reply must hold
    qint32 stallBytes_ = -1;      // bytes in at the last stall check of a reply
    qint32 lateBytes_ = 0;        // bytes dropped while awaiting a late reply
    qint32 storedFirst_ = 0;
    qint32 storedLast_ = -1;

    // The pauses of the adapter's deliveries.
    LinkClock clock_;
    qint64 lastArrivalMs_ = -1;  // the current delivery's last piece; -1 before its first
    int deliveryPauseMs_ = 0;    // the longest pause between its pieces so far
    std::array<int, read_out::kPausesRemembered> recentPausesMs_{};  // of whole deliveries
    int deliveriesSeen_ = 0;
};
