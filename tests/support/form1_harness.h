#pragma once

#include "gui/form1.h"
#include "support/core_harness.h"
#include "support/recording_ui.h"

#include <memory>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;
class QToolBar;
class Form2;
class PanelStatusBar;
class RichTextBox;

// The main window's controls, found by their designer names.
struct Form1Controls {
    void find(Form1 *form);

    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7;
    QComboBox *Combo1;
    QGroupBox *Frame1, *Frame2, *Frame3;
    QPushButton *Command2, *Command3, *Command4, *Command5;
    QLineEdit *Text1, *Text2, *Text3, *Text4;
    RichTextBox *RichTextBox1;
    QProgressBar *ProgressBar1;
    PanelStatusBar *StatusBar1;
    QTimer *Timer1;
    QToolBar *Toolbar1;
    QAction *mnuSave, *mnuExit, *mnuRead, *mnuClear, *mnuCurrentVersion;
};

// The main window over an instrument on a fake serial port (see CoreHarness),
// with a recording UI seam, after start-up. The window's status display is
// stopped, so tests drive the ticks themselves.
struct Form1Harness : CoreHarness, Form1Controls {
    explicit Form1Harness(std::initializer_list<int> present = {1});
    ~Form1Harness();

    // The read-range dialog while it is shown.
    Form2 *form2() const;

    RecordingUi dialogs;
    std::unique_ptr<Form1> form;
    int endProgramCalls = 0;
    std::function<void()> programsOwnEnd;  // the window's own Exit, which the harness replaces
};

// The tooltip `w` shows when the mouse rests on it.
QString hoverTip(QWidget *w);
