#include "window/form1.h"

#include "link/frames.h"
#include "link/port_number.h"
#include "platform/mscomm.h"

#include <QComboBox>

namespace {
constexpr qint16 kSilenceThreshold = 30;  // the link is lost on the 31st silent tick
constexpr qint16 kSilenceCeiling = 1300;  // keeps the count far from the 16-bit limit
}  // namespace

// Port search while the link is down; otherwise only counts silent ticks.
void Form1::Timer2_Timer()
{
    if (commOk == 0) {
        Combo1->setEditText(port_number::nextSearched(Combo1->currentText(), lastSearchedPort));
        openPort();
        lastSearchedPort = MSComm1->CommPort();
        senddat(frames::kProbe);
    }
    ++silentTicks;
    if (silentTicks > kSilenceThreshold)
        commOk = 0;
    if (silentTicks > kSilenceCeiling)
        silentTicks = kSilenceCeiling;
}
