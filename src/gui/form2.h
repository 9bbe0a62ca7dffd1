#pragma once

#include <QDialog>
#include <QPointer>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class Form1;
class Instrument;

// The read-range dialog: a range of group numbers, or all of them.
// A top-level window without a parent widget, shown non-modal while the main
// window is disabled (a disabled parent would disable the dialog too), and
// transient for the main window; destroyed when closed, so every showing
// starts from the design values.
class Form2 : public QDialog {
    Q_OBJECT
public:
    // The main window `owner` is enabled again when the dialog closes; OK and
    // Cancel are asked of `core`.
    Form2(Form1 *owner, Instrument *core);
    ~Form2() override;

    QRadioButton *Option1 = nullptr;  // read a range
    QRadioButton *Option2 = nullptr;  // read all groups
    QLabel *Label1 = nullptr;         // "读取:"
    QLabel *Label2 = nullptr;         // "组"
    QLabel *Label3 = nullptr;         // "-"
    QLabel *Label4 = nullptr;         // "全部"
    QLineEdit *Text1 = nullptr, *Text2 = nullptr;
    QPushButton *Command1 = nullptr;  // OK
    QPushButton *Command2 = nullptr;  // Cancel

    void Command1_Click();
    void Command2_Click();

    // Escape closes the dialog like Cancel.
    void reject() override;

protected:
    // However the dialog closes, the main window is enabled again.
    void closeEvent(QCloseEvent *event) override;

private:
    void createControls();

    // Guarded: at shutdown the main window can go before this dialog is deleted.
    QPointer<Form1> form1_;
    Instrument *core_;
    bool accepted_ = false;  // OK was pressed
};
