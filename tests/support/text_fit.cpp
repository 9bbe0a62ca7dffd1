#include "support/text_fit.h"

#include <QAbstractButton>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>

namespace text_fit {

namespace {

// A box far wider than any text here, to see where the text starts unscrolled.
constexpr int kWideBoxPixels = 2000;

QString quoted(const QString &text) { return QLatin1Char('"') + text + QLatin1Char('"'); }

// Whether the ink of one vertically centred line of `text` lies inside a box
// from `top`, `height` high. The ink is that of each character's glyph: the
// text's tight rectangle reaches down to the base line even for a dash.
QString inkInside(const QFont &font, const QString &text, qreal top, qreal height)
{
    const QFontMetricsF fm(font);
    const qreal baseline = top + (height - fm.height()) / 2 + fm.ascent();
    QRectF ink;
    for (QChar c : text) {
        if (!c.isSpace())
            ink |= fm.boundingRect(c);
    }
    ink.translate(0, baseline);
    if (ink.top() < top || ink.bottom() > top + height) {
        return QStringLiteral("ink %1..%2 outside %3..%4")
            .arg(ink.top())
            .arg(ink.bottom())
            .arg(top)
            .arg(top + height);
    }
    return {};
}

// Where the cursor stands at the end of `text` in a box of `size`.
qreal cursorAtEnd(const QLineEdit *like, const QString &text, const QSize &size)
{
    QLineEdit edit(text);
    edit.setFont(like->font());
    edit.setFrame(like->hasFrame());
    edit.resize(size);
    edit.end(false);
    edit.grab();  // lays the text out, scrolling it where the box is too narrow
    return edit.inputMethodQuery(Qt::ImCursorRectangle).toRectF().left();
}

}  // namespace

QString inLabel(const QLabel *label, const QString &text)
{
    const QRect box = label->contentsRect();
    const qreal width = QFontMetricsF(label->font()).horizontalAdvance(text);
    if (width > box.width())
        return quoted(text) + QStringLiteral(" needs %1 px, has %2").arg(width).arg(box.width());
    const QString ink = inkInside(label->font(), text, box.top(), box.height());
    return ink.isEmpty() ? QString() : quoted(text) + QLatin1Char(' ') + ink;
}

QString inLineEdit(const QLineEdit *edit, const QString &text)
{
    if (cursorAtEnd(edit, text, edit->size())
        != cursorAtEnd(edit, text, QSize(kWideBoxPixels, edit->height())))
        return quoted(text) + QStringLiteral(" scrolls in %1 px").arg(edit->width());
    const int frame =
        edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) : 0;
    const QString ink = inkInside(edit->font(), text, frame, edit->height() - 2 * frame);
    return ink.isEmpty() ? QString() : quoted(text) + QLatin1Char(' ') + ink;
}

QString inButton(const QAbstractButton *button)
{
    const QSize needed = button->sizeHint();
    if (needed.width() > button->width() || needed.height() > button->height()) {
        return quoted(button->text())
               + QStringLiteral(" needs %1x%2").arg(needed.width()).arg(needed.height());
    }
    return {};
}

QString clearOfTitle(const QGroupBox *frame)
{
    for (const QWidget *child :
         frame->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!frame->contentsRect().contains(child->geometry())) {
            return QStringLiteral("a %1 at top %2 is outside the contents of %3, from %4")
                .arg(QString::fromLatin1(child->metaObject()->className()))
                .arg(child->geometry().top())
                .arg(quoted(frame->title()))
                .arg(frame->contentsRect().top());
        }
    }
    return {};
}

QString apart(const QList<Named> &widgets)
{
    for (int i = 0; i < widgets.size(); ++i) {
        for (int j = i + 1; j < widgets.size(); ++j) {
            if (widgets[i].second->geometry().intersects(widgets[j].second->geometry()))
                return widgets[i].first + QStringLiteral(" overlaps ") + widgets[j].first;
        }
    }
    return {};
}

}  // namespace text_fit
