#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <vector>

class LinkTimer;

// Time for the link's timers when a test or the fuzzer keeps it: nothing
// fires behind their back. Advancing the clock fires every timer that falls
// due on the way, in the order they fall due, each at its own moment, as
// real time would.
class ManualClock {
public:
    qint64 now() const { return now_; }
    // Moves time on by `ms`, firing what falls due meanwhile.
    void advance(qint64 ms);
    // When the next running timer falls due; -1 when none runs.
    qint64 nextDue() const;

private:
    friend class LinkTimer;
    void add(LinkTimer *timer) { timers_.push_back(timer); }
    void remove(LinkTimer *timer);
    LinkTimer *earliestDue(qint64 until) const;

    qint64 now_ = 0;
    std::vector<LinkTimer *> timers_;  // in the order they were made: ties fire in that order
};

// What time it is for the link: its manual clock's time, or monotonic time.
class LinkClock {
public:
    explicit LinkClock(ManualClock *manual) : manual_(manual) { real_.start(); }
    qint64 nowMs() const { return manual_ ? manual_->now() : real_.elapsed(); }

private:
    ManualClock *manual_;
    QElapsedTimer real_;
};

// A timer of the instrument link. With real timing it is a QTimer. With
// manual timing it keeps whether it runs, its interval and when it falls
// due on its ManualClock, and fires when that clock passes that moment (or
// when fired directly).
class LinkTimer : public QObject {
    Q_OBJECT
public:
    enum class Timing { Real, Manual };

    // `clock` is needed for manual timing and unused for real timing.
    LinkTimer(int intervalMs, bool singleShot, Timing timing, ManualClock *clock,
              QObject *parent = nullptr);
    ~LinkTimer() override;

    bool isActive() const;
    int interval() const { return interval_; }
    // Milliseconds until it fires; -1 when it does not run.
    int remainingTime() const;
    // How often it was started: a clock that steps manual time tells a
    // restart, whose countdown begins anew, by it.
    quint64 starts() const { return starts_; }

    // Its timeout, now: a single-shot timer stops first, as when it runs
    // out, and a repeating one counts its next interval from now.
    void fire();

    // Whether it fired well after it was due, as when the event loop was held
    // up; never with manual timing, where it fires exactly when due.
    bool firedLate() const;

    // Starts it, or restarts it when it runs.
    void start();
    void start(int intervalMs);
    void stop();
    // Enables or disables it; enabling a running timer leaves its countdown alone.
    void setEnabled(bool enabled);
    // Assigning an interval restarts a running timer, as QTimer does.
    void setInterval(int intervalMs);

signals:
    void timeout();

private:
    friend class ManualClock;
    qint64 dueAt() const { return dueAt_; }

    Timing timing_;
    ManualClock *clock_;
    QTimer timer_;
    int interval_;
    bool singleShot_;
    bool manualActive_ = false;
    qint64 dueAt_ = 0;  // manual timing: when it fires next
    quint64 starts_ = 0;
    QElapsedTimer startedAt_;
};
