#pragma once

#include "core/link/link_mode.h"
#include "core/link/replies.h"
#include "core/link_timer.h"
#include "core/live_history.h"

#include <QMetaType>
#include <QObject>
#include <QString>

#include <array>

class Records;
class SerialLink;

// A live reading of the three channels: as the instrument sent them, and
// as the window shows them ("12.34mA", "OL", "err").
struct LiveReading {
    std::array<replies::Reading, 3> raw;
    std::array<QString, 3> texts;
};
Q_DECLARE_METATYPE(LiveReading)

// The live poll: while the instrument answers, Timer3 asks it for its
// readings every 500 ms; each valid reply is kept in the live history and
// told. A lost link is a gap in that history.
class LivePoll : public QObject {
    Q_OBJECT
public:
    LivePoll(SerialLink &link, Records &records, LinkTimer::Timing timing, ManualClock *clock,
             QObject *parent = nullptr);

    const LinkTimer &Timer3() const { return timer3_; }
    // Every live reading since start-up, up to a day of them, with the
    // link's losses as gaps.
    const LiveHistory &history() const { return history_; }

    void stop() { timer3_.stop(); }
    // A reply to the live request came: the instrument's is shown.
    void liveReplied();

signals:
    // A valid live reply, kept in the live history before it is told.
    void liveReading(const LiveReading &reading);

private:
    friend class InstrumentTesting;

    void Timer3_Timer();
    void showLive();

    SerialLink &link_;
    Records &records_;
    LinkTimer timer3_;
    LiveHistory history_;
};
