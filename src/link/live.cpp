#include "window/form1.h"

#include "link/replies.h"
#include "window/fonts.h"
#include "window/numeric_text.h"

#include <QFontMetrics>
#include <QLabel>

namespace {
const QString kOverload = QStringLiteral("OL");
constexpr int kSmallestPointSize = 12;

// Shows the text in the label's design font, made smaller only when the text
// would not fit the label's width: a reading such as 2575.5mA is wider than the
// label at the design size, and a clipped unit would be misread.
void showFitted(QLabel *label, const QString &text, const QFont &designFont)
{
    QFont font = designFont;
    while (font.pointSize() > kSmallestPointSize
           && QFontMetrics(font).horizontalAdvance(text) > label->width())
        font.setPointSize(font.pointSize() - 1);
    if (label->font() != font)
        label->setFont(font);
    label->setText(text);
}
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
    QLabel *const labels[3] = {Label2, Label4, Label5};
    const QFont designFont = fonts::liveValue();
    for (int c = 0; c < 3; ++c) {
        // The live labels show overload as a bare "OL", without the formatter's padding.
        if (numeric_text::leadingValue(values[c]) == record_store::kOverloadValue) {
            showFitted(labels[c], kOverload, designFont);
        } else {
            fmtReading(values[c], statuses[c]);
            showFitted(labels[c], fmtText, designFont);
        }
    }
}
