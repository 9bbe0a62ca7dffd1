#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// Line settings of a serial port, as the text "115200,n,8,1" gives them.
struct LineSettings {
    qint32 baud = 9600;
    char parity = 'n';  // n, e, o, m or s
    int dataBits = 8;
    int stopBits = 1;  // 1 or 2

    // Parses "baud,parity,data,stop"; returns false and leaves *out alone on a bad text.
    static bool parse(const QString &text, LineSettings *out);
};

// The operating-system side of a serial port: opening a device, moving bytes.
// MSComm keeps the control's properties and its receive buffer on top of this;
// tests replace it with a fake that records frames and injects bytes.
class SerialIo : public QObject {
    Q_OBJECT
public:
    enum class Failure {
        Unplugged,   // the device went away: the port has to be closed
        ReadFailed,  // a read error; the port stays usable unless it keeps failing
    };

    // Why the last open() failed.
    enum class OpenFailure {
        None,
        NotFound,      // no such device
        NoPermission,  // the user may not open it
        Busy,          // another program holds it
        Other,
    };
    struct OpenError {
        OpenFailure kind = OpenFailure::None;
        QString detail;  // the system's own words, for the log
    };

    using QObject::QObject;
    ~SerialIo() override = default;

    virtual bool open(const QString &device, const LineSettings &settings) = 0;
    // Why the last open() returned false.
    virtual OpenError lastOpenError() const = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Queues the bytes for sending.
    virtual void write(const QByteArray &bytes) = 0;
    // Returns once everything queued has been handed to the driver (or a short
    // timeout passed), so nothing of a frame is left behind in our own buffers.
    virtual void drainOutput() = 0;
    // Takes every byte received so far.
    virtual QByteArray readAvailable() = 0;
    // Bytes the driver has received that readAvailable() has not yet seen: a
    // busy event loop may not have read them yet.
    virtual qint64 waitingInDriver() const = 0;
    // Drops every received byte not yet taken, the driver's included.
    virtual void discardInput() = 0;

signals:
    void bytesArrived();
    void failed(SerialIo::Failure failure);
};
