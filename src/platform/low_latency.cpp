#include "platform/low_latency.h"

#include "platform/serial_log.h"

#ifdef Q_OS_LINUX
#include <cerrno>
#include <cstring>
#include <linux/serial.h>
#include <sys/ioctl.h>
#endif

void LowLatency::apply([[maybe_unused]] int fd, [[maybe_unused]] const QString &device)
{
    changed_ = false;
#ifdef Q_OS_LINUX
    const auto refused = [&](const char *what, int error) {
        if (!refusedBy_.contains(device)) {
            refusedBy_.insert(device);
            qCDebug(lcSerial) << what << device << ":" << std::strerror(error);
        }
    };
    serial_struct serial{};
    if (::ioctl(fd, TIOCGSERIAL, &serial) != 0) {
        refused("no low-latency setting on", errno);
        return;
    }
    if (serial.flags & ASYNC_LOW_LATENCY)
        return;
    previousFlags_ = serial.flags;
    serial.flags |= ASYNC_LOW_LATENCY;
    if (::ioctl(fd, TIOCSSERIAL, &serial) != 0) {
        refused("low latency refused on", errno);
        return;
    }
    changed_ = true;
    qCDebug(lcSerial) << "low latency on" << device;
#endif
}

void LowLatency::restore([[maybe_unused]] int fd)
{
    if (!changed_)
        return;
    changed_ = false;
#ifdef Q_OS_LINUX
    serial_struct serial{};
    if (::ioctl(fd, TIOCGSERIAL, &serial) != 0)
        return;  // the device is gone: nothing is left to put back
    serial.flags = (serial.flags & ~ASYNC_LOW_LATENCY) | (previousFlags_ & ASYNC_LOW_LATENCY);
    ::ioctl(fd, TIOCSSERIAL, &serial);
#endif
}
