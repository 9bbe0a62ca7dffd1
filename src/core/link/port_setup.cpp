#include "core/instrument.h"

#include "core/link/frames.h"
#include "core/link/port_number.h"
#include "core/link/port_problem.h"
#include "platform/mscomm.h"
#include "platform/serial_log.h"

namespace {
constexpr char kLineSettings[] = "115200,n,8,1";
}

// (Re)opens the port whose number the search stands on, the window's Combo1.
// A failure stops nothing: the port stays closed, the search moves on, and
// the status shows why.
void Instrument::openPort()
{
    if (MSComm1.PortOpen())
        MSComm1.setPortOpen(false);
    // A text that selects no port leaves the previous number selected.
    if (const auto n = port_number::fromText(portText_))
        MSComm1.setCommPort(*n);
    MSComm1.setSettings(QString::fromLatin1(kLineSettings));
    MSComm1.setPortOpen(true);
    MSComm1.setRThreshold(frames::kReplyLength);
    MSComm1.setInputLen(frames::kReplyLength);
    MSComm1.setInputMode(MSComm::comInputModeBinary);
    noteOpenOutcome();
}

// Remembers why the port could not be opened, for the port's tooltip and, when
// it is more than a missing device, for the status bar. The search re-opens
// the ports many times a second, so a failure is logged only when it changes.
// A port that opens has no open failure any more; a device found not to be
// the instrument stays noted as such until it answers as one.
void Instrument::noteOpenOutcome()
{
    const qint16 port = MSComm1.CommPort();
    if (MSComm1.PortOpen()) {
        if (portNotes_.value(port) != port_problem::notInstrument())
            forgetPortNote();
        return;
    }
    const QString device = MSComm1.deviceName();
    const SerialIo::OpenError error = MSComm1.openError();
    const QString reason = port_problem::reason(error);
    if (loggedPortNotes_.value(device) != reason) {
        loggedPortNotes_.insert(device, reason);
        qCDebug(lcSerial) << "cannot open" << device << ":" << error.detail;
    }
    portNotes_.insert(port, reason);
    if (port_problem::worthReporting(error.kind))
        portProblem_ = port_problem::withReason(port_problem::portText(port, device), reason);
}

// The port of the serial control has no problem (any more).
void Instrument::forgetPortNote()
{
    const qint16 port = MSComm1.CommPort();
    const QString device = MSComm1.deviceName();
    portNotes_.remove(port);
    loggedPortNotes_.remove(device);
    if (portProblem_.startsWith(port_problem::portText(port, device) + QStringLiteral("：")))
        portProblem_.clear();
}

// The device on the port answered the probe with something other than the
// instrument's reply: a modem, a GPS receiver, another instrument. It is left
// alone, and the search moves on at its next tick.
void Instrument::noteNotInstrument()
{
    probeWindow_.stop();
    const qint16 port = MSComm1.CommPort();
    const QString device = MSComm1.deviceName();
    const QString why = port_problem::notInstrument();
    if (loggedPortNotes_.value(device) != why) {
        loggedPortNotes_.insert(device, why);
        qCDebug(lcSerial).noquote()
            << device << "answered the probe with" << rxBuf_.toHex(' ') << "; not the instrument";
    }
    portNotes_.insert(port, why);
    portProblem_ = port_problem::withReason(port_problem::portText(port, device), why);
}
