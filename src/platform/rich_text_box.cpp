#include "platform/rich_text_box.h"

void RichTextBox::setText(const QString &text)
{
    text_ = text;
    QString shown = text;
    shown.remove(QLatin1Char('\r'));
    if (shown.endsWith(QLatin1Char('\n')))
        shown.chop(1);
    setPlainText(shown);
}
