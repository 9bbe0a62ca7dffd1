#include "support/shown_texts.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QWidget>

#include <algorithm>

namespace {
// The first of the CJK blocks (radicals); the ideographs, their punctuation
// and the full-width forms all lie above it.
constexpr char16_t kFirstCjk = 0x2E80;
}  // namespace

QStringList shownTexts(const QWidget *window)
{
    QStringList texts;
    const auto add = [&texts](const QString &text) {
        if (!text.isEmpty())
            texts << text;
    };
    add(window->windowTitle());
    QList<const QWidget *> widgets{window};
    for (const QWidget *child : window->findChildren<QWidget *>())
        widgets << child;
    for (const QWidget *w : widgets) {
        add(w->toolTip());
        if (const auto *label = qobject_cast<const QLabel *>(w))
            add(label->text());
        else if (const auto *button = qobject_cast<const QAbstractButton *>(w))
            add(button->text());
        else if (const auto *frame = qobject_cast<const QGroupBox *>(w))
            add(frame->title());
        else if (const auto *edit = qobject_cast<const QLineEdit *>(w))
            add(edit->text());
        else if (const auto *view = qobject_cast<const QPlainTextEdit *>(w))
            add(view->toPlainText());
        else if (const auto *combo = qobject_cast<const QComboBox *>(w)) {
            for (int i = 0; i < combo->count(); ++i)
                add(combo->itemText(i));
        }
        for (const QAction *action : w->actions())
            add(action->text());
    }
    return texts;
}

QStringList withChinese(const QStringList &texts)
{
    QStringList found;
    for (const QString &text : texts) {
        if (std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= kFirstCjk; }))
            found << text;
    }
    return found;
}
