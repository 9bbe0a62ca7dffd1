#pragma once

#include <QList>
#include <QString>

#include <utility>

class QAbstractButton;
class QGroupBox;
class QLabel;
class QLineEdit;
class QWidget;

// Whether a control shows a text whole, measured with the fonts the program
// uses. Each returns an empty text when it does, else what does not fit.
namespace text_fit {

// The text is no wider than the label, and its ink lies between the label's
// top and bottom where the label puts it.
QString inLabel(const QLabel *label, const QString &text);

// The line edit shows the text with the cursor at its end without scrolling
// any of it out of sight, and its ink lies inside the box.
QString inLineEdit(const QLineEdit *edit, const QString &text);

// The button's caption with its margins fits the button.
QString inButton(const QAbstractButton *button);

// Every child of the frame lies inside its contents, clear of its title.
QString clearOfTitle(const QGroupBox *frame);

// No two of the widgets, each given with its name, overlap.
using Named = std::pair<QString, const QWidget *>;
QString apart(const QList<Named> &widgets);

}  // namespace text_fit
