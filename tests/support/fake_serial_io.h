#pragma once

#include "platform/serial_io.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// A serial port without a device: records what is written and lets the test
// inject received bytes, failures and line events.
class FakeSerialIo : public SerialIo {
    Q_OBJECT
public:
    using SerialIo::SerialIo;

    // Device paths that open successfully; everything else fails like a missing
    // device, unless it is listed as one the user may not open or as one in use.
    QStringList presentDevices;
    QStringList forbiddenDevices;
    QStringList busyDevices;
    // Every open attempt, in order.
    QStringList openAttempts;
    QString openDevice;
    LineSettings openSettings;
    // Every write that reached the line, one entry per call.
    QList<QByteArray> writes;
    // Writes wait, as QSerialPort's do, until drainOutput() sends them;
    // otherwise they reach the line at once.
    bool holdsWritesUntilDrain = false;
    QList<QByteArray> heldWrites;
    // A device that answers at once: its answer to bytes that reach the line
    // is in the driver before the call that sent them returns.
    std::function<QByteArray(const QByteArray &)> answerAtOnce;
    // Bytes "in the driver": received but not yet taken.
    QByteArray pendingInput;
    int discardCount = 0;
    int drainCount = 0;

    bool open(const QString &device, const LineSettings &settings) override;
    OpenError lastOpenError() const override { return openError; }
    OpenError openError;
    void close() override;
    bool isOpen() const override { return !openDevice.isEmpty(); }
    void write(const QByteArray &bytes) override;
    void drainOutput() override;
    QByteArray readAvailable() override;
    qint64 waitingInDriver() const override { return 0; }  // readAvailable() takes it all
    void discardInput() override;

    // Puts bytes into the driver and tells the control, as a device would.
    void inject(const QByteArray &bytes);
    // Puts bytes into the driver without telling anyone yet.
    void injectQuietly(const QByteArray &bytes) { pendingInput.append(bytes); }
    void fail(SerialIo::Failure failure) { emit failed(failure); }

private:
    void send(const QByteArray &bytes);
};
