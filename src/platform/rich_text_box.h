#pragma once

#include <QPlainTextEdit>
#include <QString>

// The record view. Text() gives back exactly what was set, CR LF line ends
// included; the widget itself shows the lines without the CRs.
//
// The table is the program's output: it can be selected and copied with mouse
// and keyboard but not edited, and Tab moves on to the next control.
class RichTextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit RichTextBox(QWidget *parent = nullptr);

    QString Text() const { return text_; }
    void setText(const QString &text);

    // How wide a line may be, in pixels, and still be shown without a
    // horizontal scroll bar, also when the vertical one is shown.
    qreal widestUnscrolledLine() const;

private:
    QString text_;
};
