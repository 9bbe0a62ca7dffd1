#pragma once

#include <QStringList>

class QWidget;

// The words a window shows: its title and, of every widget in it, captions,
// titles, texts, items, tooltips and the texts of its actions (the menus and
// the toolbar), in the order the widgets were made.
QStringList shownTexts(const QWidget *window);

// Those of `texts` with a CJK character in them.
QStringList withChinese(const QStringList &texts);
