#pragma once

#include <QPlainTextEdit>
#include <QString>

// The record view. Text() gives back exactly what was set, CR LF line ends
// included; the widget itself shows the lines without the CRs.
class RichTextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    using QPlainTextEdit::QPlainTextEdit;

    QString Text() const { return text_; }
    void setText(const QString &text);

private:
    QString text_;
};
