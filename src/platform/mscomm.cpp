#include "platform/mscomm.h"

#include "platform/port_map.h"
#include "platform/serial_log.h"

namespace {
constexpr qint16 kHighestPortNumber = 255;
// A device that has hung up (a USB adapter pulled out, a pseudo-terminal whose
// other end closed) keeps reporting read errors without end, as fast as the
// event loop turns. A transient error is followed by data, not by more errors.
constexpr int kReadFailuresOfAHungUpDevice = 3;
}  // namespace

MSComm::MSComm(std::unique_ptr<SerialIo> io, QObject *parent) : QObject(parent), io_(std::move(io))
{
    LineSettings::parse(settingsText_, &settings_);
    io_->setParent(nullptr);
    connect(io_.get(), &SerialIo::bytesArrived, this, &MSComm::onBytesArrived);
    connect(io_.get(), &SerialIo::failed, this, &MSComm::onFailure);
}

MSComm::~MSComm() = default;

bool MSComm::setCommPort(qint16 n)
{
    if (n < 1 || n > kHighestPortNumber || io_->isOpen())
        return false;
    commPort_ = n;
    return true;
}

bool MSComm::setSettings(const QString &text)
{
    // The search sets the same settings on every step, fifty times a second.
    if (text == settingsText_)
        return true;
    LineSettings parsed;
    if (!LineSettings::parse(text, &parsed))
        return false;
    settings_ = parsed;
    settingsText_ = text;
    return true;
}

bool MSComm::PortOpen() const { return io_->isOpen(); }

void MSComm::setPortOpen(bool open)
{
    inBuffer_.clear();
    if (!open) {
        io_->close();
        return;
    }
    if (io_->isOpen())
        return;
    const QString device = deviceName();
    if (!device.isEmpty() && io_->open(device, settings_)) {
        readFailuresInARow_ = 0;
        qCDebug(lcSerial) << "opened" << device;
    }
}

QByteArray MSComm::Input()
{
    takeArrivedBytes();
    const int n = (inputLen_ <= 0 || inputLen_ >= inBuffer_.size()) ? inBuffer_.size() : inputLen_;
    QByteArray out = inBuffer_.left(n);
    inBuffer_.remove(0, n);
    return out;
}

void MSComm::setOutput(const QByteArray &bytes)
{
    if (io_->isOpen())
        io_->write(bytes);
}

int MSComm::InBufferCount() const
{
    takeArrivedBytes();
    return inBuffer_.size() + int(io_->waitingInDriver());
}

void MSComm::setInBufferCount(int n)
{
    if (n != 0)
        return;
    inBuffer_.clear();
    io_->discardInput();
}

void MSComm::drainOutput() { io_->drainOutput(); }

QString MSComm::deviceName() const { return port_map::deviceFor(commPort_); }

void MSComm::takeArrivedBytes() const
{
    if (io_->isOpen())
        inBuffer_.append(io_->readAvailable());
}

void MSComm::onBytesArrived()
{
    readFailuresInARow_ = 0;
    takeArrivedBytes();
    emit BytesArrived();
    if (inEvent_) {
        // A handler is still running (it may be showing a modal message);
        // it is not entered again. The bytes wait until it has returned.
        arrivedInEvent_ = true;
        return;
    }
    if (rThreshold_ > 0 && inBuffer_.size() >= rThreshold_)
        raise(comEvReceive);
}

void MSComm::onFailure(SerialIo::Failure failure)
{
    if (failure == SerialIo::Failure::ReadFailed
        && ++readFailuresInARow_ < kReadFailuresOfAHungUpDevice) {
        qCDebug(lcSerial) << "read error on" << deviceName();
        if (!inEvent_)
            raise(comEventReadFailed);
        return;
    }
    // Unplugged, or hung up: close the port, so that nothing spins on a dead
    // handle, and tell the window once.
    if (!io_->isOpen())
        return;
    qCDebug(lcSerial) << "lost" << deviceName()
                      << (failure == SerialIo::Failure::Unplugged ? "(unplugged)" : "(hung up)");
    setPortOpen(false);
    emit PortLost();
}

void MSComm::raise(qint16 event)
{
    inEvent_ = true;
    arrivedInEvent_ = false;
    commEvent_ = event;
    emit OnComm();
    inEvent_ = false;
    if (arrivedInEvent_) {
        arrivedInEvent_ = false;
        onBytesArrived();
    }
}
