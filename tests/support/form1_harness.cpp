#include "support/form1_harness.h"

#include "gui/form2.h"
#include "gui/panel_status_bar.h"
#include "platform/rich_text_box.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>

namespace {
template <typename T>
T *named(QObject *form, const char *name)
{
    T *found = form->findChild<T *>(QLatin1String(name));
    Q_ASSERT_X(found, "Form1Harness", name);
    return found;
}
}  // namespace

void Form1Controls::find(Form1 *form)
{
    QObject *f = form;
    Label1 = named<QLabel>(f, "Label1");
    Label2 = named<QLabel>(f, "Label2");
    Label3 = named<QLabel>(f, "Label3");
    Label4 = named<QLabel>(f, "Label4");
    Label5 = named<QLabel>(f, "Label5");
    Label6 = named<QLabel>(f, "Label6");
    Label7 = named<QLabel>(f, "Label7");
    Combo1 = named<QComboBox>(f, "Combo1");
    Frame1 = named<QGroupBox>(f, "Frame1");
    Frame2 = named<QGroupBox>(f, "Frame2");
    Frame3 = named<QGroupBox>(f, "Frame3");
    Command2 = named<QPushButton>(f, "Command2");
    Command3 = named<QPushButton>(f, "Command3");
    Command4 = named<QPushButton>(f, "Command4");
    Command5 = named<QPushButton>(f, "Command5");
    Text1 = named<QLineEdit>(f, "Text1");
    Text2 = named<QLineEdit>(f, "Text2");
    Text3 = named<QLineEdit>(f, "Text3");
    Text4 = named<QLineEdit>(f, "Text4");
    RichTextBox1 = named<RichTextBox>(f, "RichTextBox1");
    ProgressBar1 = named<QProgressBar>(f, "ProgressBar1");
    StatusBar1 = named<PanelStatusBar>(f, "StatusBar1");
    Timer1 = named<QTimer>(f, "Timer1");
    Toolbar1 = named<QToolBar>(f, "Toolbar1");
    mnuSave = named<QAction>(f, "mnuSave");
    mnuExit = named<QAction>(f, "mnuExit");
    mnuRead = named<QAction>(f, "mnuRead");
    mnuClear = named<QAction>(f, "mnuClear");
    mnuCurrentVersion = named<QAction>(f, "mnuCurrentVersion");
}

Form1Harness::Form1Harness(std::initializer_list<int> present) : CoreHarness(present, false)
{
    form = std::make_unique<Form1>(core.get(), &dialogs);
    find(form.get());
    programsOwnEnd = form->endProgram;
    form->endProgram = [this] { ++endProgramCalls; };
    form->Form_Load();
    Timer1->stop();
}

Form1Harness::~Form1Harness() { form.reset(); }

Form2 *Form1Harness::form2() const { return form->readRangeDialog(); }

QString hoverTip(QWidget *w)
{
    const QPoint inside(1, 1);
    QHelpEvent hover(QEvent::ToolTip, inside, w->mapToGlobal(inside));
    QApplication::sendEvent(w, &hover);
    return w->toolTip();
}
