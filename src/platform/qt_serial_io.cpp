#include "platform/qt_serial_io.h"

#include <QFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <sys/ioctl.h>
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

namespace {
// A frame is 8 bytes: at 115200 baud it is on the line well within this.
constexpr int kDrainTimeoutMs = 100;

QSerialPort::Parity toParity(char p)
{
    switch (p) {
    case 'e': return QSerialPort::EvenParity;
    case 'o': return QSerialPort::OddParity;
    case 'm': return QSerialPort::MarkParity;
    case 's': return QSerialPort::SpaceParity;
    default: return QSerialPort::NoParity;
    }
}
// QSerialPort reports a device we may not open and one that another program
// holds (or has locked) alike, as PermissionError. The file's own access
// rights tell them apart; on Windows a port that is refused is one in use.
SerialIo::OpenFailure permissionFailure(const QString &device)
{
#ifdef Q_OS_UNIX
    const QByteArray path = QFile::encodeName(device);
    if (::access(path.constData(), R_OK | W_OK) != 0 && errno == EACCES)
        return SerialIo::OpenFailure::NoPermission;
#else
    Q_UNUSED(device);
#endif
    return SerialIo::OpenFailure::Busy;
}

SerialIo::OpenFailure classify(QSerialPort::SerialPortError error, const QString &device)
{
    switch (error) {
    case QSerialPort::DeviceNotFoundError: return SerialIo::OpenFailure::NotFound;
    case QSerialPort::PermissionError: return permissionFailure(device);
    default: return SerialIo::OpenFailure::Other;
    }
}
}  // namespace

QtSerialIo::QtSerialIo(QObject *parent) : SerialIo(parent)
{
    connect(&port_, &QSerialPort::readyRead, this, &SerialIo::bytesArrived);
    connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialIo::onError);
}

bool QtSerialIo::open(const QString &device, const LineSettings &s)
{
    close();
#ifdef Q_OS_UNIX
    // QSerialPort writes and syncs a lock file before it tries the device. The
    // search tries sixteen numbers, most of which stand for no device, fifty
    // times a second: a missing device is found missing without touching the disk.
    if (::access(QFile::encodeName(device).constData(), F_OK) != 0 && errno == ENOENT) {
        openError_ = {OpenFailure::NotFound, QStringLiteral("No such file or directory")};
        return false;
    }
#endif
    port_.setPortName(device);
    port_.setBaudRate(s.baud);
    port_.setParity(toParity(s.parity));
    port_.setDataBits(static_cast<QSerialPort::DataBits>(s.dataBits));
    port_.setStopBits(s.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    const bool ok = port_.open(QIODevice::ReadWrite);
    openError_ = ok ? OpenError{} : OpenError{classify(port_.error(), device), port_.errorString()};
#ifdef Q_OS_UNIX
    if (ok)
        lowLatency_.apply(port_.handle(), device);
#endif
    port_.clearError();
    return ok;
}

void QtSerialIo::close()
{
    if (port_.isOpen()) {
#ifdef Q_OS_UNIX
        lowLatency_.restore(port_.handle());
#endif
        port_.close();
    }
    if (port_.error() != QSerialPort::NoError)
        port_.clearError();
}

bool QtSerialIo::isOpen() const { return port_.isOpen(); }

void QtSerialIo::write(const QByteArray &bytes)
{
    if (port_.isOpen())
        port_.write(bytes);
}

void QtSerialIo::drainOutput()
{
    if (port_.isOpen() && port_.bytesToWrite() > 0)
        port_.waitForBytesWritten(kDrainTimeoutMs);
}

QByteArray QtSerialIo::readAvailable() { return port_.isOpen() ? port_.readAll() : QByteArray(); }

qint64 QtSerialIo::waitingInDriver() const
{
    if (!port_.isOpen())
        return 0;
#if defined(Q_OS_UNIX)
    int n = 0;
    return ::ioctl(port_.handle(), FIONREAD, &n) == 0 ? n : 0;
#elif defined(Q_OS_WIN)
    COMSTAT status{};
    DWORD errors = 0;
    return ::ClearCommError(port_.handle(), &errors, &status) ? qint64(status.cbInQue) : 0;
#else
    return 0;
#endif
}

void QtSerialIo::discardInput()
{
    if (!port_.isOpen())
        return;
    port_.clear(QSerialPort::Input);  // the driver's buffer
    port_.readAll();                  // and whatever QSerialPort already holds
}

void QtSerialIo::onError(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::NoError: return;
    case QSerialPort::ResourceError:
        // Unplugged: close at once so we neither loop on errors nor write into a dead handle.
        port_.clearError();
        emit failed(Failure::Unplugged);
        return;
    case QSerialPort::ReadError:
        port_.clearError();
        emit failed(Failure::ReadFailed);
        return;
    default:
        // Modem-line operations are unsupported on pseudo-terminals, open
        // failures are seen through open()'s result, and the rest is transient.
        port_.clearError();
        return;
    }
}
