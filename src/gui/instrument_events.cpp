#include "gui/form1.h"

#include "core/product.h"
#include "gui/form2.h"
#include "gui/panel_status_bar.h"
#include "platform/rich_text_box.h"
#include "platform/ui_seam.h"

#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>

// How the window shows what the instrument tells it.

namespace {
// Long enough to be read after a glance back at the window.
constexpr int kCountNoticeMs = 5000;
}  // namespace

// What the instrument tells, shown.
void Form1::connectInstrument()
{
    // While the busy lock stops the status display, a change of the link is
    // shown at once, so the window never shows a link that is not there (or
    // hides one that came back). A lost port is shown at once in any case.
    connect(core_, &Instrument::linkChanged, this, [this] {
        if (core_->isBusy())
            showLinkState();
    });
    connect(core_, &Instrument::portLost, this, [this] { showLinkState(); });
    connect(core_, &Instrument::liveReading, this, &Form1::showLiveReading);
    connect(core_, &Instrument::groupCountArrived, this, &Form1::showGroupCount);
    // Read brought no count: the link is back at work, and the status bar says why.
    connect(core_, &Instrument::groupCountFailed, this,
            [this](Instrument::CountFailure, const QString &message) {
                StatusBar1->showNotice(1, message, kCountNoticeMs);
            });
    connect(core_, &Instrument::busyChanged, this, &Form1::showBusy);
    connect(core_, &Instrument::readOutStarted, this, [this] { ProgressBar1->setValue(0); });
    connect(core_, &Instrument::progressChanged, this, &Form1::showProgress);
    connect(core_, &Instrument::recordsListed, RichTextBox1, &RichTextBox::setText);
    connect(core_, &Instrument::readOutCompleted, this, &Form1::showCompletion);
    connect(core_, &Instrument::readOutInterrupted, this,
            [this](read_out::End, const QString &message) {
                dialogs_->message(this, product::title(), message, UiSeam::Icon::Warning);
            });
    connect(core_, &Instrument::nothingToRead, this, [this] {
        dialogs_->message(this, product::title(), tr("所选范围内没有已存储的数据组。"),
                          UiSeam::Icon::Information);
    });
}

Form2 *Form1::readRangeDialog() const { return form2_; }

// The group count came: the main window takes no input while the read-range
// dialog is up.
void Form1::showGroupCount()
{
    setEnabled(false);
    if (form2_.isNull())
        form2_ = new Form2(this, core_);
    form2_->show();
    form2_->raise();
}

// The value labels keep the one font the window gave them, sized for the widest reading.
void Form1::showLiveReading(const Instrument::LiveReading &reading)
{
    QLabel *const labels[3] = {Label2, Label4, Label5};
    for (int c = 0; c < 3; ++c)
        labels[c]->setText(reading.texts[c]);
}

// The busy lock of a read-out: no commands and no status display until it ends.
void Form1::showBusy(bool busy)
{
    setCommandsEnabled(!busy);
    if (busy)
        Timer1->stop();
    else if (!Timer1->isActive())
        Timer1->start();
}

void Form1::showProgress(int percent)
{
    ProgressBar1->setVisible(true);
    ProgressBar1->setValue(percent);
}

void Form1::showCompletion()
{
    dialogs_->message(
        this, product::title(),
        tr("数据读取完毕，当前界面只显示部分数据，如需查看其它数据，请保存文件后查阅。"
           "文件过大时，保存时间较长，请耐心等待。"),
        UiSeam::Icon::None);
}

// Read, Save and Clear data, wherever the user finds them: the buttons, the
// toolbar and the menu items go off and on together. Exit stays available.
void Form1::setCommandsEnabled(bool enabled)
{
    for (QPushButton *b : {Command2, Command3, Command4})
        b->setEnabled(enabled);
    Toolbar1->setEnabled(enabled);
    for (QAction *a : {mnuSave, mnuRead, mnuClear})
        a->setEnabled(enabled);
}
