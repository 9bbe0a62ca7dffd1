#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class Form1;

// The read-range dialog: a range of group numbers, or all of them.
// Shown non-modal while the main window is disabled; destroyed when closed.
class Form2 : public QDialog {
    Q_OBJECT
public:
    explicit Form2(Form1 *owner);
    ~Form2() override;

    QRadioButton *Option1 = nullptr;  // read a range
    QRadioButton *Option2 = nullptr;  // read all groups
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr;
    QLineEdit *Text1 = nullptr, *Text2 = nullptr;
    QPushButton *Command1 = nullptr;  // OK
    QPushButton *Command2 = nullptr;  // Cancel

    void Command1_Click();
    void Command2_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    Form1 *form1_;
};
