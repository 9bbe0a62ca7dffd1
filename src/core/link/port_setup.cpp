#include "core/link/port_search.h"

#include "core/link/frames.h"
#include "core/link/serial_link.h"
#include "platform/mscomm.h"
#include "platform/serial_log.h"

namespace {
constexpr char kLineSettings[] = "115200,n,8,1";
}

// (Re)opens the port whose number the search stands on, the window's Combo1.
// A failure stops nothing: the port stays closed, the search moves on, and
// the status shows why.
void PortSearch::openPort()
{
    MSComm &port = link_.port();
    if (port.PortOpen())
        port.setPortOpen(false);
    // A number that selects no port leaves the previous number selected.
    port.setCommPort(port_);
    port.setSettings(QString::fromLatin1(kLineSettings));
    port.setPortOpen(true);
    port.setRThreshold(frames::kReplyLength);
    port.setInputLen(frames::kReplyLength);
    port.setInputMode(MSComm::comInputModeBinary);
    noteOpenOutcome();
}

// Remembers why the port could not be opened, for the port's tooltip and, when
// it is more than a missing device, for the status bar. The search re-opens
// the ports many times a second, so a failure is logged only when it changes.
// A port that opens has no open failure any more; a device found not to be
// the instrument stays noted as such until it answers as one.
void PortSearch::noteOpenOutcome()
{
    const MSComm &port = link_.serial();
    const qint16 n = port.CommPort();
    if (port.PortOpen()) {
        const auto note = portNotes_.constFind(n);
        if (note == portNotes_.cend() || note->why != port_problem::Why::NotInstrument)
            forgetPortNote();
        return;
    }
    const QString device = port.deviceName();
    const SerialIo::OpenError error = port.openError();
    const std::optional<port_problem::Note> note = port_problem::openFailure(error);
    if (!note)
        return;
    if (notePort(n, device, *note))
        qCDebug(lcSerial) << "cannot open" << device << ":" << error.detail;
}

// Notes why `port`, standing for `device`, is passed over, and puts it in the
// status bar when it is worth it. True when the note is new for the device,
// and so worth the log.
bool PortSearch::notePort(qint16 port, const QString &device, const port_problem::Note &note)
{
    portNotes_.insert(port, note);
    if (port_problem::worthReporting(note))
        portProblem_ = PortProblem{port, device, note};
    const auto logged = loggedPortNotes_.constFind(device);
    if (logged != loggedPortNotes_.cend() && *logged == note)
        return false;
    loggedPortNotes_.insert(device, note);
    return true;
}

// The port of the serial control has no problem (any more).
void PortSearch::forgetPortNote()
{
    const qint16 port = link_.serial().CommPort();
    const QString device = link_.serial().deviceName();
    portNotes_.remove(port);
    loggedPortNotes_.remove(device);
    if (portProblem_ && portProblem_->port == port && portProblem_->device == device)
        portProblem_.reset();
}

// The device on the port answered the probe with something other than the
// instrument's reply: a modem, a GPS receiver, another instrument. It is left
// alone, and the search moves on at its next tick.
void PortSearch::noteNotInstrument()
{
    probeWindow_.stop();
    const QString device = link_.serial().deviceName();
    if (notePort(link_.serial().CommPort(), device, port_problem::notInstrument())) {
        qCDebug(lcSerial).noquote() << device << "answered the probe with"
                                    << link_.rxBuf().toHex(' ') << "; not the instrument";
    }
}
