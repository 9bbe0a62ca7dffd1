// PLACEHOLDER: replaced by Clear data.
#include "window/form1.h"
#include <QTimer>
void Form1::Command4_Click()
{
    std::fill(grpVal1.begin(), grpVal1.end(), record_store::kEmptyValue);
    setTimerEnabled(Timer2, true);
    setTimerEnabled(Timer3, true);
}
