#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

class QSocketNotifier;

namespace sim {

// The instrument's end of a pseudo-terminal, published as <portDir>/COM<n>, a
// symbolic link to the terminal device, where the host looks for serial ports.
//
// Reads and writes never block: incoming bytes are announced by `received`, and
// outgoing bytes wait in a queue until the terminal takes them (a block reply is
// larger than what a pseudo-terminal buffers). Optionally the queue is paced at
// a serial line's byte rate.
class PtyPort : public QObject {
    Q_OBJECT
public:
    PtyPort(const QString &portDir, int portNumber, QObject *parent = nullptr);
    ~PtyPort() override;

    // Opens a new pseudo-terminal and points the link at it. On failure the port
    // stays closed and errorString() says why.
    bool open();
    // Closes the terminal, drops unsent bytes and removes the link, like pulling the plug.
    void close();
    bool isOpen() const { return master_ >= 0; }

    QString linkPath() const { return linkPath_; }
    QString devicePath() const { return devicePath_; }
    QString errorString() const { return error_; }

    // Queues bytes for sending; dropped while closed.
    void write(const QByteArray &bytes);
    // Bytes queued but not yet taken by the terminal.
    qint64 pendingOutput() const { return queue_.size(); }
    void discardOutput();

    // Bytes per second the queue is sent at; 0 sends as fast as the terminal takes them.
    void setLineRate(int bytesPerSecond);

signals:
    void received(const QByteArray &bytes);
    // The output queue has been handed over completely.
    void outputDrained();

private:
    bool fail(const QString &what);
    bool link();
    void unlink();
    void onReadable();
    void pump();
    qint64 pacedAllowance() const;

    QString portDir_;
    QString linkPath_;
    QString devicePath_;
    QString error_;
    int master_ = -1;
    // Our own descriptor of the terminal device: while it is open the terminal
    // lives on when the host closes its end, so the master never sees a hang-up.
    int slave_ = -1;
    std::unique_ptr<QSocketNotifier> readNotifier_;
    std::unique_ptr<QSocketNotifier> writeNotifier_;

    QByteArray queue_;
    int lineRate_ = 0;
    QTimer paceTimer_;
    QElapsedTimer paceClock_;  // since the line last went from idle to busy
    qint64 pacedSent_ = 0;     // bytes sent since then
};

}  // namespace sim
