#pragma once

#include "platform/serial_io.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

// The serial-port control the main window talks to. It keeps the control's
// properties (port number, line settings, receive threshold, read length) and a
// receive buffer over a SerialIo, and raises OnComm when enough bytes are in.
class MSComm : public QObject {
    Q_OBJECT
public:
    // CommEvent values.
    static constexpr qint16 comEvReceive = 2;
    static constexpr qint16 comEventReadFailed = 1008;  // a read from the device failed
    static constexpr qint16 comInputModeBinary = 1;

    explicit MSComm(std::unique_ptr<SerialIo> io, QObject *parent = nullptr);
    ~MSComm() override;

    qint16 CommPort() const { return commPort_; }
    // Selects port n (1 to 255) while the port is closed; returns false and keeps
    // the previous number otherwise.
    bool setCommPort(qint16 n);

    QString Settings() const { return settingsText_; }
    bool setSettings(const QString &text);

    bool PortOpen() const;
    // Opening a missing or busy device leaves the port closed; openError() says why.
    void setPortOpen(bool open);
    // Why the last attempt to open the port failed.
    SerialIo::OpenError openError() const { return io_->lastOpenError(); }

    qint16 RThreshold() const { return rThreshold_; }
    void setRThreshold(qint16 n) { rThreshold_ = n; }
    qint16 InputLen() const { return inputLen_; }
    void setInputLen(qint16 n) { inputLen_ = n; }
    qint32 InputMode() const { return inputMode_; }
    void setInputMode(qint32 mode) { inputMode_ = mode; }

    // Hands over at most InputLen buffered bytes (all of them when InputLen is 0).
    QByteArray Input();
    // Writes all the bytes, unchanged.
    void setOutput(const QByteArray &bytes);

    // Received bytes not yet read, the driver's included: bytes in flight
    // while the event loop was busy count too.
    int InBufferCount() const;
    // Only 0 is meaningful: drops every received byte not yet read, ours and the driver's.
    void setInBufferCount(int n);
    // Empties the transmit buffer by sending it, never by discarding it:
    // returns once the queued bytes are on their way to the line.
    void drainOutput();

    qint16 CommEvent() const { return commEvent_; }

    // The device that the current port number stands for.
    QString deviceName() const;

signals:
    void OnComm();
    // Bytes came in, however few: before OnComm, which waits for RThreshold.
    void BytesArrived();
    // The open port was lost (unplugged, or hung up) and has been closed.
    void PortLost();

private:
    // Moves what the driver has handed over into the receive buffer.
    void takeArrivedBytes() const;
    void onBytesArrived();
    void onFailure(SerialIo::Failure failure);
    void raise(qint16 event);

    std::unique_ptr<SerialIo> io_;
    qint16 commPort_ = 1;
    QString settingsText_ = QStringLiteral("9600,n,8,1");
    LineSettings settings_;
    qint16 rThreshold_ = 0;
    qint16 inputLen_ = 0;
    qint32 inputMode_ = 0;
    qint16 commEvent_ = 0;
    mutable QByteArray inBuffer_;  // the arrivals are taken in whenever it is looked at
    bool inEvent_ = false;         // an OnComm handler is running
    bool arrivedInEvent_ = false;  // bytes came in while it ran
    int readFailuresInARow_ = 0;   // read errors since bytes last arrived
};
