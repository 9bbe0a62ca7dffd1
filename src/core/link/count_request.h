#pragma once

#include "core/link/link_mode.h"
#include "core/link_timer.h"

#include <QObject>
#include <QString>

class SerialLink;

// Read: the group count is asked for, and the link waits for it. The wait
// has a deadline: an unanswered request is sent again, and after the last
// one the link goes back to where it was and says why.
class CountRequest : public QObject {
    Q_OBJECT
public:
    // Why no group count came.
    enum class Failure {
        NotLinked,     // Read while no instrument answers: nothing was asked
        NoAnswer,      // every request went unanswered
        Disconnected,  // the port went away while the count was awaited
    };

    CountRequest(SerialLink &link, LinkTimer::Timing timing, ManualClock *clock,
                 QObject *parent = nullptr);

    const LinkTimer &countTimer() const { return countTimer_; }
    qint32 savesum() const { return savesum_; }    // groups stored in the instrument
    qint16 attempts() const { return attempts_; }  // count requests sent for this Read

    // Read: asks for the group count while the instrument answers; says that
    // it cannot while nothing does, and leaves the search to its work.
    void read();
    // A reply to the count request came.
    void countReplied();
    // The port went away: the wait ends.
    void portLost();
    // The user moved on (Clear data): the wait ends, and nothing is said.
    void abandon();
    void stop() { countTimer_.stop(); }

    // The failure in the user's words.
    static QString failureText(Failure why);

signals:
    // The group-count reply: the read-range dialog's turn.
    void groupCountArrived(qint32 savesum);
    // No group count came; the link is back at its everyday work.
    void groupCountFailed(CountRequest::Failure why, const QString &message);

private:
    friend class InstrumentTesting;

    void ask();
    void countTimer_Timer();
    void giveUp(Failure why);
    void endWait();

    SerialLink &link_;
    LinkTimer countTimer_;
    LinkClock clock_;
    qint64 waitSince_ = 0;
    qint32 savesum_ = 0;
    qint16 attempts_ = 0;
};
