#include "platform/rich_text_box.h"

#include <QScrollBar>

RichTextBox::RichTextBox(QWidget *parent) : QPlainTextEdit(parent)
{
    setReadOnly(true);
    // Read-only alone would leave selecting to the mouse; the keyboard keeps a cursor too.
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setTabChangesFocus(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
}

void RichTextBox::setText(const QString &text)
{
    text_ = text;
    QString shown = text;
    shown.remove(QLatin1Char('\r'));
    if (shown.endsWith(QLatin1Char('\n')))
        shown.chop(1);
    setPlainText(shown);
}

qreal RichTextBox::widestUnscrolledLine() const
{
    return width() - 2 * frameWidth() - verticalScrollBar()->sizeHint().width()
           - 2 * document()->documentMargin() - cursorWidth();
}
