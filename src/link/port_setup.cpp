#include "window/form1.h"

#include "link/frames.h"
#include "link/port_number.h"
#include "link/port_problem.h"
#include "platform/mscomm.h"
#include "platform/serial_log.h"

#include <QComboBox>

namespace {
constexpr char kLineSettings[] = "115200,n,8,1";
}

// (Re)opens the port whose number Combo1 holds. A failure stops nothing: the
// port stays closed, the search moves on, and the status shows why.
void Form1::openPort()
{
    if (MSComm1->PortOpen())
        MSComm1->setPortOpen(false);
    // A text that selects no port leaves the previous number selected.
    if (const auto n = port_number::fromText(Combo1->currentText()))
        MSComm1->setCommPort(*n);
    MSComm1->setSettings(QString::fromLatin1(kLineSettings));
    MSComm1->setPortOpen(true);
    MSComm1->setRThreshold(frames::kReplyLength);
    MSComm1->setInputLen(frames::kReplyLength);
    MSComm1->setInputMode(MSComm::comInputModeBinary);
    noteOpenOutcome();
}

// Remembers why the port could not be opened, for the port's tooltip and, when
// it is more than a missing device, for the status bar. The search re-opens
// the ports many times a second, so a failure is logged only when it changes.
void Form1::noteOpenOutcome()
{
    const qint16 port = MSComm1->CommPort();
    const QString device = MSComm1->deviceName();
    const QString where = port_problem::portText(port, device);
    if (MSComm1->PortOpen()) {
        loggedOpenFailures_.remove(device);
        if (openFailurePort == port)
            openFailurePort = 0;
        if (portProblem.startsWith(where + QStringLiteral("：")))
            portProblem.clear();
        return;
    }
    const SerialIo::OpenError error = MSComm1->openError();
    const QString reason = port_problem::reason(error);
    if (loggedOpenFailures_.value(device) != reason) {
        loggedOpenFailures_.insert(device, reason);
        qCDebug(lcSerial) << "cannot open" << device << ":" << error.detail;
    }
    openFailurePort = port;
    openFailureText = reason;
    if (port_problem::worthReporting(error.kind))
        portProblem = port_problem::withReason(where, reason);
}
