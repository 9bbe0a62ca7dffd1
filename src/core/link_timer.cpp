#include "core/link_timer.h"

LinkTimer::LinkTimer(int intervalMs, bool singleShot, Timing timing, QObject *parent)
    : QObject(parent), timing_(timing), interval_(intervalMs), singleShot_(singleShot)
{
    timer_.setInterval(intervalMs);
    timer_.setSingleShot(singleShot);
    connect(&timer_, &QTimer::timeout, this, &LinkTimer::fire);
}

bool LinkTimer::isActive() const
{
    return timing_ == Timing::Real ? timer_.isActive() : manualActive_;
}

int LinkTimer::remainingTime() const
{
    return timing_ == Timing::Real ? timer_.remainingTime() : -1;
}

void LinkTimer::fire()
{
    if (singleShot_)
        stop();
    emit timeout();
}

void LinkTimer::start()
{
    ++starts_;
    startedAt_.start();
    if (timing_ == Timing::Real)
        timer_.start();
    else
        manualActive_ = true;
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
