#include "gui/form1.h"

#include "core/product.h"
#include "gui/clock_text.h"
#include "gui/panel_status_bar.h"
#include "platform/mscomm.h"

#include <QComboBox>
#include <QDateTime>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QTime>
#include <QTimer>

namespace {
const QString kNoValue = QStringLiteral("- -");

// This tick runs 14 times a second: texts are set only when they change, so an
// idle window does not repaint.
template <typename Widget>
void setTextIfChanged(Widget *w, const QString &text)
{
    if (w->text() != text)
        w->setText(text);
}

}  // namespace

Form1::StatusWords Form1::translatedStatusWords()
{
    return {tr("串口打开"), tr("串口关闭"),    tr("通信成功"),
            tr("通信失败"), tr("正在查找..."), tr("正在读取...")};
}

// Keeps the status texts, the status bar and the window size current.
void Form1::Timer1_Timer()
{
    const QSize normal = normalSize();
    if ((windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) == 0
        && size() != normal)
        resize(normal);
    // The clock is written out once a second, not on every tick.
    const qint64 second = QDateTime::currentSecsSinceEpoch();
    if (second != clockSecond_) {
        clockSecond_ = second;
        StatusBar1->setPanelText(3, clock_text::timeOfDay(QTime::currentTime(), QLocale::system()));
    }
    StatusBar1->setPanelText(2, product::title());
    showLinkState(true);

    if (core_->commOk() == 0)
        readBusy_ = 0;

    // Nothing sets readBusy_ to 1: the busy lock stops this tick during a
    // read-out instead. The branch keeps the display's reading state (its text,
    // the buttons off, the progress bar on) ready for a read-out that shows it.
    const bool reading = readBusy_ == 1;
    ProgressBar1->setEnabled(reading);
    setCommandsEnabled(!reading);
}

// The port and link state: the port number and its device, whether the port
// is open, whether the instrument answers, and "- -" for the live values while
// it does not. The first status-bar panel follows the link text one tick late,
// or tells why the last port could not be opened while nothing is linked.
// Outside the tick (while the busy lock stops it) the panel catches up at once.
void Form1::showLinkState(bool panelLags)
{
    const QString linkTextBefore = Text3->text();
    // The box follows the port the status shows when that changes, and
    // otherwise keeps what the user typed.
    const qint16 port = core_->port();
    if (port != shownPort_) {
        shownPort_ = port;
        Combo1->setEditText(QString::number(port));
    }
    setTextIfChanged(Text1, QStringLiteral("COM%1").arg(port));
    const StatusWords &words = statusWords_;
    setTextIfChanged(Text2, core_->serial().PortOpen() ? words.portOpen : words.portClosed);
    const qint16 commOk = core_->commOk();
    if (commOk == 1) {
        setTextIfChanged(Text3, words.linked);
    } else {
        for (QLabel *l : {Label2, Label4, Label5})
            setTextIfChanged(l, kNoValue);
        setTextIfChanged(Text3, words.notLinked);
    }
    setTextIfChanged(Text4,
                     readBusy_ == 1 ? words.reading : (commOk == 0 ? words.searching : QString()));

    QString panel = panelLags ? linkTextBefore : Text3->text();
    if (commOk == 0 && !core_->portProblem().isEmpty())
        panel = core_->portProblem();
    StatusBar1->setPanelText(1, panel);
}

// The port's tooltip names its device and, when noted, why it is not the
// instrument's. It is worked out when the mouse asks for it, not on every
// tick: while searching, the port changes many times a second.
bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        const QString tip = core_->portTip();
        Text1->setToolTip(tip);
        Combo1->setToolTip(tip);
    }
    return QMainWindow::eventFilter(watched, event);
}

// A click on a status-bar panel changes nothing.
void Form1::StatusBar1_PanelClick(int) {}
