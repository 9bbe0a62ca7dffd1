#pragma once

#include "sim/adapter.h"
#include "sim/instrument.h"
#include "sim/pty_port.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

namespace sim {

constexpr int kDefaultPort = 3;
// 115200 baud with a start and a stop bit around every 8 data bits.
constexpr int kLineRateBytesPerSecond = 11520;
// How long the instrument takes before it answers. A real instrument cannot answer
// before the host has finished sending (and emptied its receive buffer); with no
// line in between, answering at once could race the host's own flush.
constexpr int kDefaultTurnaroundMs = 5;

struct SimOptions {
    InstrumentOptions instrument;
    AdapterOptions adapter;  // how replies reach the host: in packets, the last one late
    bool lineRate = false;   // pace output at kLineRateBytesPerSecond instead of full speed
    int turnaroundMs = kDefaultTurnaroundMs;  // after the request, or after the reply before
};

// The simulated instrument on a pseudo-terminal, linked as <portDir>/COM<port>,
// with the faults a real line shows: silence, stray bytes, unplugging.
// Everything runs on the caller's event loop; construct it and keep the loop running.
class PtyInstrument : public QObject {
    Q_OBJECT
public:
    // Opens the terminal and makes the link at once; check isLinked().
    explicit PtyInstrument(const QString &portDir, int port = kDefaultPort,
                           const SimOptions &options = {}, QObject *parent = nullptr);

    bool isLinked() const { return port_.isOpen(); }
    QString linkPath() const { return port_.linkPath(); }
    QString devicePath() const { return port_.devicePath(); }
    QString errorString() const { return port_.errorString(); }
    qint64 pendingOutput() const { return port_.pendingOutput(); }

    // The protocol state: request counts, queued stray bytes, silence.
    Instrument &instrument() { return instrument_; }

    // Silent: answers nothing, as if unplugged; output not yet sent is dropped.
    void setSilent(bool silent);
    // Silent from afterMs from now, for forMs.
    void silenceLater(int afterMs, int forMs);

    // Sends stray bytes now, after whatever is queued.
    void sendGarbage(const QByteArray &bytes);
    // Sends a few stray bytes every intervalMs while not silent; 0 stops it.
    void setGarbageEvery(int intervalMs);

    // Closes the terminal and removes the link now; after pauseMs opens a new
    // terminal and links it under the same name.
    void closeFor(int pauseMs);
    void closeLater(int afterMs, int pauseMs);

    void setLineRate(bool paced);
    void setTurnaround(int ms) { options_.turnaroundMs = ms; }

signals:
    void linked(const QString &devicePath);
    void unlinked();
    // A re-opened terminal could not be made; the port stays closed.
    void openFailed(const QString &error);
    void outputDrained();
    // A command frame was heard: its command code (0x22 for the group count).
    void requestHeard(int code);

private:
    void onReceived(const QByteArray &bytes);
    // Bytes go out at `dueMs` on clock_, after everything due before.
    void sendAt(qint64 dueMs, const QByteArray &bytes);
    void onGarbageTick();
    void reopen();

    SimOptions options_;
    Instrument instrument_;
    PtyPort port_;
    QTimer garbageTimer_;
    QTimer reopenTimer_;
    quint32 garbageSeed_ = 0;
    // Counts cuts of the line (silence, close); a reply computed before a cut is
    // not sent after it.
    quint64 generation_ = 0;
    // The instrument answers one request at a time: a reply never overtakes
    // an earlier one, and each takes its turnaround after the one before.
    QElapsedTimer clock_;
    qint64 lastDueMs_ = 0;  // on clock_, when the last reply was due to go out
};

}  // namespace sim
