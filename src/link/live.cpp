#include "window/form1.h"

#include "core/link/replies.h"
#include "core/records/reading_format.h"

#include <QLabel>

namespace {
const QString kOverload = QStringLiteral("OL");
}  // namespace

// Shows the three readings of a live-reading reply in the value labels. All
// three are decoded before any label changes; fmtText keeps the last reading
// formatted, as after every use of the formatter.
void Form1::showLive()
{
    const auto readings = replies::liveReadings(rxBuf);
    // The labels keep the one font the window gave them, sized for the widest reading.
    QLabel *const labels[3] = {Label2, Label4, Label5};
    for (int c = 0; c < 3; ++c) {
        // The live labels show overload as a bare "OL", without the formatter's padding.
        if (readings[c].value == record_store::kOverloadValue) {
            labels[c]->setText(kOverload);
        } else {
            fmtText = reading_format::formatReading(readings[c].value, readings[c].status);
            labels[c]->setText(fmtText);
        }
    }
}
