#include "core/link/count_request.h"

#include "core/link/frames.h"
#include "core/link/read_out.h"
#include "core/link/replies.h"
#include "core/link/serial_link.h"
#include "platform/serial_log.h"

#include <QCoreApplication>

namespace {
// How long one count request may go unanswered. The instrument answers within
// milliseconds; a slow adapter adds its latency timer, and probe replies have
// been seen 60 ms late. A second is many times that, and short enough that a
// user who pressed Read hears back soon.
constexpr int kCountAnswerMs = 1000;
// Requests for one Read before giving up: a frame lost to noise or to a
// glitching adapter is asked for again; three unanswered ones mean that the
// instrument will not answer now (busy, or in a menu). The user hears why
// within three seconds, and the live poll takes up its work again.
constexpr qint16 kCountAttempts = 3;
}  // namespace

CountRequest::CountRequest(SerialLink &link, LinkTimer::Timing timing, ManualClock *clock,
                           QObject *parent)
    : QObject(parent), link_(link), countTimer_(kCountAnswerMs, true, timing, clock),
      clock_(timing == LinkTimer::Timing::Manual ? clock : nullptr)
{
    connect(&countTimer_, &LinkTimer::timeout, this, &CountRequest::countTimer_Timer);
    // The deadline belongs to the wait: leaving it for anything else ends it.
    connect(&link_, &SerialLink::modeChanged, this, [this](LinkMode mode) {
        if (mode != LinkMode::AwaitingCount)
            countTimer_.stop();
    });
}

// Read: quiets the port search and the live poll and asks for the group count.
// The reply opens the read-range dialog. Not while a read-out runs, whose
// block the request would be taken for, nor while a count is awaited or a
// range is being chosen. With no instrument linked nothing is asked: the
// search goes on, and the user hears why.
void CountRequest::read()
{
    switch (link_.mode()) {
    case LinkMode::Searching:
        emit groupCountFailed(Failure::NotLinked, failureText(Failure::NotLinked));
        return;
    case LinkMode::Linked: break;
    case LinkMode::AwaitingCount:
    case LinkMode::ChoosingRange:
    case LinkMode::ReadingOut: return;
    }
    attempts_ = 0;
    waitSince_ = clock_.nowMs();
    link_.setMode(LinkMode::AwaitingCount);
    ask();
}

void CountRequest::ask()
{
    ++attempts_;
    link_.senddat(frames::kGroupCount);
    countTimer_.start();
}

void CountRequest::countTimer_Timer()
{
    if (link_.mode() != LinkMode::AwaitingCount)
        return;
    if (attempts_ < kCountAttempts) {
        qCDebug(lcSerial) << "group count unanswered; asking again";
        ask();
        return;
    }
    giveUp(Failure::NoAnswer);
}

// Only the reply to a count being awaited opens the dialog: a late second
// reply to a request sent again is the instrument's all the same, but the
// range is being chosen by then.
void CountRequest::countReplied()
{
    const QByteArray &rx = link_.rxBuf();
    if (!replies::isShortReply(rx, frames::commandCode(frames::kGroupCount))) {
        link_.port().setRThreshold(frames::kReplyLength);
        return;
    }
    link_.markLinkAlive();
    if (link_.mode() != LinkMode::AwaitingCount)
        return;
    savesum_ = replies::groupCount(rx);
    link_.setMode(LinkMode::ChoosingRange);
    emit groupCountArrived(savesum_);
}

void CountRequest::portLost()
{
    if (link_.mode() == LinkMode::AwaitingCount)
        giveUp(Failure::Disconnected);
}

void CountRequest::abandon()
{
    if (link_.mode() == LinkMode::AwaitingCount)
        endWait();
}

void CountRequest::giveUp(Failure why)
{
    qCDebug(lcSerial) << "no group count after" << attempts_ << "requests";
    endWait();
    emit groupCountFailed(why, failureText(why));
}

// The live poll paused for the wait, and the supervision with it; the
// silence of the wait counts as it would have, so a link that nothing
// answered for longer than the supervision allows is looked for again
// rather than shown as answering. An instrument that only ignores the
// count is found again by its next probe reply.
void CountRequest::endWait()
{
    countTimer_.stop();
    link_.countSilence(clock_.nowMs() - waitSince_);
    link_.resume();
}

QString CountRequest::failureText(Failure why)
{
    switch (why) {
    case Failure::NotLinked: return QCoreApplication::translate("count_request", "未找到仪器。");
    case Failure::NoAnswer: return read_out::countFailureText(read_out::End::NoAnswer);
    case Failure::Disconnected: return read_out::countFailureText(read_out::End::Disconnected);
    }
    return QString();
}
