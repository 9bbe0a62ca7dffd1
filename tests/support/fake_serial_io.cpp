#include "support/fake_serial_io.h"

#include <utility>

bool FakeSerialIo::open(const QString &device, const LineSettings &settings)
{
    openAttempts.append(device);
    if (forbiddenDevices.contains(device)) {
        openError = {OpenFailure::NoPermission, QStringLiteral("Permission denied")};
        return false;
    }
    if (busyDevices.contains(device)) {
        openError = {OpenFailure::Busy, QStringLiteral("Device or resource busy")};
        return false;
    }
    if (!presentDevices.contains(device)) {
        openError = {OpenFailure::NotFound, QStringLiteral("No such file or directory")};
        return false;
    }
    openError = {};
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
    if (!isOpen())
        return;
    if (holdsWritesUntilDrain)
        heldWrites.append(bytes);
    else
        send(bytes);
}

void FakeSerialIo::drainOutput()
{
    ++drainCount;
    for (const QByteArray &bytes : std::exchange(heldWrites, {}))
        send(bytes);
}

void FakeSerialIo::send(const QByteArray &bytes)
{
    writes.append(bytes);
    if (answerAtOnce)
        pendingInput.append(answerAtOnce(bytes));
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
