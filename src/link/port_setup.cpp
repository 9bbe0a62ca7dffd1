#include "window/form1.h"

#include "link/frames.h"
#include "link/port_number.h"
#include "platform/mscomm.h"

#include <QComboBox>

namespace {
constexpr char kLineSettings[] = "115200,n,8,1";
}

// (Re)opens the port whose number Combo1 holds. Failures are silent: the caller
// sees them in PortOpen, and the port search simply moves on.
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
}
