#include "window/form1.h"

#include "core/link/port_number.h"
#include "core/link/port_problem.h"
#include "core/product.h"
#include "platform/mscomm.h"
#include "platform/port_map.h"
#include "window/clock_text.h"
#include "window/panel_status_bar.h"

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
constexpr int kLinkedSearchPaceMs = 70;
constexpr int kSearchingPaceMs = 20;

const QString kNoValue = QStringLiteral("- -");
const QString kPortOpen = QStringLiteral("串口打开");
const QString kPortClosed = QStringLiteral("串口关闭");
const QString kLinked = QStringLiteral("通信成功");
const QString kNotLinked = QStringLiteral("通信失败");
const QString kSearching = QStringLiteral("正在查找...");
const QString kReading = QStringLiteral("正在读取...");

// This tick runs 14 times a second: texts are set only when they change, so an
// idle window does not repaint.
template <typename Widget>
void setTextIfChanged(Widget *w, const QString &text)
{
    if (w->text() != text)
        w->setText(text);
}

// "COM1 = /dev/ttyUSB0", and why that port is not the instrument's when it is noted.
QString deviceTip(const QString &portText, const QHash<qint16, QString> &notes)
{
    const auto n = port_number::fromText(portText);
    const QString device = n ? port_map::deviceFor(*n) : QString();
    if (device.isEmpty())
        return QString();
    const QString tip = port_problem::portText(*n, device);
    const QString note = notes.value(*n);
    return note.isEmpty() ? tip : port_problem::withReason(tip, note);
}
}  // namespace

// Keeps the status texts, the status bar and the window size current, and sets
// the pace of the port search.
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

    // Timer2's interval is assigned only when it changes: assigning restarts a
    // QTimer, and at this pace a restarted 100 ms timer would never fire.
    const int pace = commOk == 1 ? kLinkedSearchPaceMs : kSearchingPaceMs;
    if (commOk == 0)
        readBusy = 0;
    if (Timer2->interval() != pace)
        Timer2->setInterval(pace);

    // Nothing sets readBusy to 1: the busy lock stops this tick during a
    // read-out instead. The branch keeps the display's reading state (its text,
    // the buttons off, the progress bar on) ready for a read-out that shows it.
    const bool reading = readBusy == 1;
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
    if (Combo1->currentText() != portText_)
        Combo1->setEditText(portText_);
    setTextIfChanged(Text1, QStringLiteral("COM") + portText_);
    setTextIfChanged(Text2, MSComm1->PortOpen() ? kPortOpen : kPortClosed);
    if (commOk == 1) {
        setTextIfChanged(Text3, kLinked);
    } else {
        for (QLabel *l : {Label2, Label4, Label5})
            setTextIfChanged(l, kNoValue);
        setTextIfChanged(Text3, kNotLinked);
    }
    setTextIfChanged(Text4, readBusy == 1 ? kReading : (commOk == 0 ? kSearching : QString()));

    QString panel = panelLags ? linkTextBefore : Text3->text();
    if (commOk == 0 && !portProblem.isEmpty())
        panel = portProblem;
    StatusBar1->setPanelText(1, panel);
}

// The port's tooltip names its device and, when noted, why it is not the
// instrument's. It is worked out when the mouse asks for it, not on every
// tick: while searching, the port changes many times a second.
bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        const QString tip = deviceTip(portText_, portNotes);
        Text1->setToolTip(tip);
        Combo1->setToolTip(tip);
    }
    return QMainWindow::eventFilter(watched, event);
}

// A click on a status-bar panel changes nothing.
void Form1::StatusBar1_PanelClick(int) {}
