#include "window/form1.h"

#include "link/replies.h"
#include "window/numeric_text.h"

#include <QLabel>

namespace {
const QString kOverload = QStringLiteral("OL");
} // namespace

// Shows the three readings of a live-reading reply in the value labels.
void Form1::showLive()
{
    const auto readings = replies::liveReadings(rxBuf);
    QString values[3];
    QString statuses[3];
    for (int c = 0; c < 3; ++c) {
        values[c] = QString::number(readings[c].value);
        statuses[c] = QString::number(readings[c].status);
    }
    // The labels keep the one font the window gave them, sized for the widest reading.
    QLabel *const labels[3] = {Label2, Label4, Label5};
    for (int c = 0; c < 3; ++c) {
        // The live labels show overload as a bare "OL", without the formatter's padding.
        if (numeric_text::leadingValue(values[c]) == record_store::kOverloadValue) {
            labels[c]->setText(kOverload);
        } else {
            fmtReading(values[c], statuses[c]);
            labels[c]->setText(fmtText);
        }
    }
}
