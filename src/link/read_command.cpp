#include "window/form1.h"

#include "core/link/frames.h"

// Read: quiets the port search and the live poll and asks for the group count.
// The reply opens the read-range dialog.
void Form1::Command2_Click()
{
    setTimerEnabled(Timer2, false);
    setTimerEnabled(Timer3, false);
    senddat(frames::kGroupCount);
}
