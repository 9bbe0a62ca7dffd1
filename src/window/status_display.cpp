#include "window/form1.h"

#include "link/port_number.h"
#include "platform/mscomm.h"
#include "platform/port_map.h"
#include "window/panel_status_bar.h"
#include "window/product.h"

#include <QComboBox>
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

QString timeOfDay()
{
    const QLocale locale = QLocale::system();
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));  // the time zone is no part of a clock
    return locale.toString(QTime::currentTime(), format.trimmed());
}

QString deviceTip(const QString &portText)
{
    const auto n = port_number::fromText(portText);
    const QString device = n ? port_map::deviceFor(*n) : QString();
    return device.isEmpty() ? QString() : QStringLiteral("COM%1 = %2").arg(*n).arg(device);
}
} // namespace

// Keeps the status texts, the status bar and the window size current, and sets
// the pace of the port search.
void Form1::Timer1_Timer()
{
    const QSize normal = normalSize();
    if ((windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) == 0
        && size() != normal)
        resize(normal);
    StatusBar1->setPanelText(3, timeOfDay());
    StatusBar1->setPanelText(2, product::title());
    StatusBar1->setPanelText(1, Text3->text());
    setTextIfChanged(Text1, QStringLiteral("COM") + Combo1->currentText());
    const QString tip = deviceTip(Combo1->currentText());
    if (Text1->toolTip() != tip) {
        Text1->setToolTip(tip);
        Combo1->setToolTip(tip);
    }
    setTextIfChanged(Text2, MSComm1->PortOpen() ? kPortOpen : kPortClosed);

    // Timer2's interval is assigned only when it changes: assigning restarts a
    // QTimer, and at this pace a restarted 100 ms timer would never fire.
    const int pace = commOk == 1 ? kLinkedSearchPaceMs : kSearchingPaceMs;
    if (commOk == 1) {
        setTextIfChanged(Text3, kLinked);
    } else {
        for (QLabel *l : {Label2, Label4, Label5})
            setTextIfChanged(l, kNoValue);
        setTextIfChanged(Text3, kNotLinked);
        readBusy = 0;
    }
    if (Timer2->interval() != pace)
        Timer2->setInterval(pace);

    const bool reading = readBusy == 1;
    setTextIfChanged(Text4, reading ? kReading : (commOk == 0 ? kSearching : QString()));
    ProgressBar1->setEnabled(reading);
    Command2->setEnabled(!reading);
    Command3->setEnabled(!reading);
    Command4->setEnabled(!reading);
}

// A click on a status-bar panel changes nothing.
void Form1::StatusBar1_PanelClick(int) {}
