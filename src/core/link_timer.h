#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

// A timer of the instrument link. With real timing it is a QTimer. With
// manual timing it only keeps whether it runs and its interval, and fires
// when its owner's clock says so: tests and the fuzzer step time themselves,
// and nothing fires behind their back.
class LinkTimer : public QObject {
    Q_OBJECT
public:
    enum class Timing { Real, Manual };

    LinkTimer(int intervalMs, bool singleShot, Timing timing, QObject *parent = nullptr);

    bool isActive() const;
    int interval() const { return interval_; }
    // Milliseconds until it fires; -1 when it does not run or the timing is manual.
    int remainingTime() const;
    // How often it was started: a clock that steps manual time tells a
    // restart, whose countdown begins anew, by it.
    quint64 starts() const { return starts_; }

    // Its timeout, now: a single-shot timer stops first, as when it runs out.
    // With manual timing this is the clock; with real timing QTimer calls it.
    void fire();

    // Whether it fired well after it was due, as when the event loop was held
    // up; never with manual timing, where it fires exactly when told.
    bool firedLate() const;

signals:
    void timeout();

private:
    friend class Instrument;  // the one owner of the link's timers

    // Starts it, or restarts it when it runs.
    void start();
    void start(int intervalMs);
    void stop();
    // Enables or disables it; enabling a running timer leaves its countdown alone.
    void setEnabled(bool enabled);
    // Assigning an interval restarts a running timer, as QTimer does.
    void setInterval(int intervalMs);

    Timing timing_;
    QTimer timer_;
    int interval_;
    bool singleShot_;
    bool manualActive_ = false;
    quint64 starts_ = 0;
    QElapsedTimer startedAt_;
};
