#pragma once

#include "platform/serial_io.h"

#include <QString>

// How the program tells the user about a port: which device a number stands
// for, and why it could not be opened.
namespace port_problem {

// "COM3 = /dev/ttyUSB2"
QString portText(int port, const QString &device);
// The reason an open failed, in the user's words; empty when it did not fail.
QString reason(const SerialIo::OpenError &error);
// Why a device that opened is passed over: it does not answer as the instrument does.
QString notInstrument();
// "COM3 = /dev/ttyUSB2：设备忙"
QString withReason(const QString &portText, const QString &reason);

// Whether a failure is worth the status bar. A missing device is not: most of
// the sixteen numbers the search tries stand for no device on a given machine.
bool worthReporting(SerialIo::OpenFailure kind);

}  // namespace port_problem
