#include "support/fake_serial_io.h"

bool FakeSerialIo::open(const QString &device, const LineSettings &settings)
{
    openAttempts.append(device);
    if (!presentDevices.contains(device))
        return false;
    openDevice = device;
    openSettings = settings;
    pendingInput.clear();
    return true;
}

void FakeSerialIo::close()
{
    openDevice.clear();
    pendingInput.clear();
}

void FakeSerialIo::write(const QByteArray &bytes)
{
    if (isOpen())
        writes.append(bytes);
}

QByteArray FakeSerialIo::readAvailable()
{
    QByteArray out;
    out.swap(pendingInput);
    return out;
}

void FakeSerialIo::discardInput()
{
    ++discardCount;
    pendingInput.clear();
}

void FakeSerialIo::inject(const QByteArray &bytes)
{
    pendingInput.append(bytes);
    emit bytesArrived();
}
