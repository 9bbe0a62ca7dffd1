#include "core/link_timer.h"

#include <algorithm>

namespace {
// A repeating manual timer of interval 0 would fall due again at once, for
// ever; it counts as due every millisecond instead, as a zero QTimer runs
// once per turn of the event loop.
constexpr int kShortestManualRepeatMs = 1;
}  // namespace

void ManualClock::advance(qint64 ms)
{
    const qint64 until = now_ + std::max<qint64>(ms, 0);
    while (LinkTimer *t = earliestDue(until)) {
        now_ = std::max(now_, t->dueAt());
        t->fire();
    }
    now_ = until;
}

qint64 ManualClock::nextDue() const
{
    qint64 due = -1;
    for (const LinkTimer *t : timers_) {
        if (t->isActive() && (due < 0 || t->dueAt() < due))
            due = t->dueAt();
    }
    return due;
}

void ManualClock::remove(LinkTimer *timer)
{
    timers_.erase(std::remove(timers_.begin(), timers_.end(), timer), timers_.end());
}

LinkTimer *ManualClock::earliestDue(qint64 until) const
{
    LinkTimer *first = nullptr;
    for (LinkTimer *t : timers_) {
        if (t->isActive() && t->dueAt() <= until && (!first || t->dueAt() < first->dueAt()))
            first = t;
    }
    return first;
}

LinkTimer::LinkTimer(int intervalMs, bool singleShot, Timing timing, ManualClock *clock,
                     QObject *parent)
    : QObject(parent), timing_(timing), clock_(timing == Timing::Manual ? clock : nullptr),
      interval_(intervalMs), singleShot_(singleShot)
{
    Q_ASSERT(timing == Timing::Real || clock);
    timer_.setInterval(intervalMs);
    timer_.setSingleShot(singleShot);
    connect(&timer_, &QTimer::timeout, this, &LinkTimer::fire);
    if (clock_)
        clock_->add(this);
}

LinkTimer::~LinkTimer()
{
    if (clock_)
        clock_->remove(this);
}

bool LinkTimer::isActive() const
{
    return timing_ == Timing::Real ? timer_.isActive() : manualActive_;
}

int LinkTimer::remainingTime() const
{
    if (timing_ == Timing::Real)
        return timer_.remainingTime();
    return manualActive_ ? int(std::max<qint64>(dueAt_ - clock_->now(), 0)) : -1;
}

void LinkTimer::fire()
{
    if (singleShot_)
        stop();
    else if (manualActive_)
        dueAt_ = clock_->now() + std::max(interval_, kShortestManualRepeatMs);
    emit timeout();
}

void LinkTimer::start()
{
    ++starts_;
    startedAt_.start();
    if (timing_ == Timing::Real) {
        timer_.start();
        return;
    }
    manualActive_ = true;
    dueAt_ =
        clock_->now() + (singleShot_ ? interval_ : std::max(interval_, kShortestManualRepeatMs));
}

void LinkTimer::start(int intervalMs)
{
    interval_ = intervalMs;
    timer_.setInterval(intervalMs);
    start();
}

void LinkTimer::stop()
{
    timer_.stop();
    manualActive_ = false;
}

void LinkTimer::setEnabled(bool enabled)
{
    if (!enabled)
        stop();
    else if (!isActive())
        start();
}

void LinkTimer::setInterval(int intervalMs)
{
    if (isActive())
        start(intervalMs);
    else {
        interval_ = intervalMs;
        timer_.setInterval(intervalMs);
    }
}

bool LinkTimer::firedLate() const
{
    constexpr int kLateFactorTimesTwo = 3;  // half an interval past its time
    return timing_ == Timing::Real && startedAt_.elapsed() > interval_ * kLateFactorTimesTwo / 2;
}
