#pragma once

#include "platform/low_latency.h"
#include "platform/serial_io.h"

#include <QSerialPort>

// SerialIo over QSerialPort.
class QtSerialIo : public SerialIo {
    Q_OBJECT
public:
    explicit QtSerialIo(QObject *parent = nullptr);

    bool open(const QString &device, const LineSettings &settings) override;
    OpenError lastOpenError() const override { return openError_; }
    void close() override;
    bool isOpen() const override;
    void write(const QByteArray &bytes) override;
    void drainOutput() override;
    QByteArray readAvailable() override;
    qint64 waitingInDriver() const override;
    void discardInput() override;

private:
    void onError(QSerialPort::SerialPortError error);

    QSerialPort port_;
    LowLatency lowLatency_;
    OpenError openError_;
};
