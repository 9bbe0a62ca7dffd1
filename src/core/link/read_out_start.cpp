#include "core/link/block_reader.h"

#include "core/link/frames.h"
#include "core/link/read_plan.h"
#include "core/link/serial_link.h"
#include "core/records/record_table.h"
#include "core/records/records.h"

namespace {
constexpr int kTimer4IntervalMs = 1000;  // the block watchdog's tick
}

BlockReader::BlockReader(SerialLink &link, Records &records, LinkTimer::Timing timing,
                         ManualClock *clock, QObject *parent)
    : QObject(parent), link_(link), records_(records),
      timer4_(kTimer4IntervalMs, false, timing, clock), lineTimer_(0, true, timing, clock),
      clock_(timing == LinkTimer::Timing::Manual ? clock : nullptr)
{
    connect(&timer4_, &LinkTimer::timeout, this, &BlockReader::Timer4_Timer);
    connect(&lineTimer_, &LinkTimer::timeout, this, &BlockReader::lineTimer_Timer);
    connect(&link_.port(), &MSComm::BytesArrived, this, &BlockReader::bytesArrived);
}

// The start sequence of a read-out, the one place it is written: the plan,
// an empty record view, the busy lock, the first block request and the
// watchdog. A range without stored groups sends nothing, since no reply
// would ever lift the busy lock; the link goes back to its everyday work
// instead.
void BlockReader::startReadOut(const read_plan::Plan &plan)
{
    if (link_.mode() == LinkMode::ReadingOut)
        return;  // one read-out at a time
    setReadPlan(plan);
    emit readOutStarted();
    if (!plan.hasGroups()) {
        records_.show(record_table::headerText());
        link_.resume();
        emit nothingToRead();
        return;
    }
    records_.show(QString());
    beginReadOut();
    link_.setMode(LinkMode::ReadingOut);
    requestBlock();
    timer4_.setEnabled(true);
}

// The plan's range becomes the read plan, from its first block.
void BlockReader::setReadPlan(const read_plan::Plan &plan)
{
    startsave_ = plan.startsave;
    endsave_ = plan.endsave;
    lssavesum_ = plan.lssavesum;
    memnum_ = plan.memnum;
    memmul_ = plan.memmul;
    memrem_ = plan.memrem;
    lsmemmul_ = 1;
}

// The block request of the read plan, re-sends included. The receiver is
// armed before the frame goes out: an instrument that answers at once must
// find it waiting for the reply. On a closed port nothing goes out and
// nothing is locked: the watchdog's next tick ends the read-out.
void BlockReader::requestBlock()
{
    const frames::BlockRequest block =
        frames::blockRequest(startsave_, endsave_, memnum_, memmul_, memrem_, lsmemmul_);
    if (link_.serial().PortOpen()) {
        lockControls();
        armBlockReception(block.threshold);
    }
    link_.senddat(block);
}

// The busy lock of a read-out: no commands until it ends. Applied again
// before every block request; told once.
void BlockReader::lockControls()
{
    if (!busy_) {
        busy_ = true;
        emit busyChanged(true);
    }
}

void BlockReader::stop()
{
    timer4_.stop();
    lineTimer_.stop();
}
