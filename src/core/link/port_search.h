#pragma once

#include "core/link/link_mode.h"
#include "core/link/port_problem.h"
#include "core/link_timer.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <optional>

class SerialLink;

// The port search and link supervision: while nothing answers, each tick of
// Timer2 steps to the next port number, opens it and probes it; while the
// instrument answers, a tick only counts the silence. It keeps the port
// number the search stands on, and a note for each port it passed over
// (missing, busy, not permitted, not the instrument).
class PortSearch : public QObject {
    Q_OBJECT
public:
    PortSearch(SerialLink &link, LinkTimer::Timing timing, ManualClock *clock,
               QObject *parent = nullptr);

    const LinkTimer &Timer2() const { return timer2_; }
    const LinkTimer &probeWindow() const { return probeWindow_; }

    // The port number the search stands on; the next step tries the one after it.
    qint16 port() const { return port_; }
    void setPort(qint16 port) { port_ = port; }
    // The port the status shows: the one the search stands on while
    // searching, otherwise the one that is open.
    qint16 shownPort() const;

    // Port -> why it is not the instrument's.
    const QHash<qint16, port_problem::Note> &portNotes() const { return portNotes_; }
    // A problem worth the status bar: "COMn = device：why"; empty for none.
    QString portProblem() const;
    // "COM3 = /dev/ttyUSB2" for the shown port, with its note when it has
    // one; empty when the number names no device.
    QString portTip() const;

    // Start-up: the port of the number the search stands on is opened, and
    // the search keeps its searching pace.
    void load();
    void stop();
    // A probe reply came: the instrument's links, anything else is noted.
    void probeReplied(bool morePending);

private:
    friend class InstrumentTesting;

    void Timer2_Timer();
    void openPort();
    void searchStep();
    void follow(LinkMode mode);
    void setPace(bool linked);
    void noteOpenOutcome();
    void noteNotInstrument();
    bool notePort(qint16 port, const QString &device, const port_problem::Note &note);
    void forgetPortNote();

    SerialLink &link_;
    LinkTimer timer2_;
    LinkTimer probeWindow_;
    qint16 port_ = 1;              // Combo1's text at start
    qint16 lastSearchedPort_ = 0;  // the port the last search step tried; 0 before the first

    struct PortProblem {
        qint16 port = 0;
        QString device;
        port_problem::Note note;
    };
    QHash<qint16, port_problem::Note> portNotes_;
    std::optional<PortProblem> portProblem_;              // the one worth the status bar
    QHash<QString, port_problem::Note> loggedPortNotes_;  // device -> the note last logged
};
