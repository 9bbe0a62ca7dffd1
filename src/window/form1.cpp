#include "window/form1.h"

#include "dialog/form2.h"
#include "platform/mscomm.h"
#include "platform/rich_text_box.h"
#include "window/fonts.h"
#include "window/panel_status_bar.h"
#include "window/product.h"
#include "window/twips.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

namespace {

// Client area under the menu bar, in twips.
constexpr int kClientWidthTwips = 13515;
constexpr int kClientHeightTwips = 9615;

constexpr int kTimer1IntervalMs = 70;
constexpr int kTimer2IntervalMs = 100;
constexpr int kTimer3IntervalMs = 500;
constexpr int kTimer4IntervalMs = 1000;

constexpr int kProgressMaximum = 100;

} // namespace

Form1::Form1(MSComm *comm, UiSeam *uiSeam, QWidget *parent)
    : QMainWindow(parent), MSComm1(comm), ui(uiSeam)
{
    grpVal1.resize(record_store::kSlots);
    grpVal2.resize(record_store::kSlots);
    grpVal3.resize(record_store::kSlots);
    grpStat1.resize(record_store::kSlots);
    grpStat2.resize(record_store::kSlots);
    grpStat3.resize(record_store::kSlots);
    grpYear.resize(record_store::kSlots);
    grpMonth.resize(record_store::kSlots);
    grpDay.resize(record_store::kSlots);
    grpHour.resize(record_store::kSlots);
    grpMinute.resize(record_store::kSlots);
    grpSecond.resize(record_store::kSlots);
    grpCharge.resize(record_store::kSlots);

    endProgram = [this] { close(); };

    setWindowTitle(product::title());
    setFont(fonts::ui());
    createMenus();
    createControls();
    createToolbar();
    connectEvents();
}

Form1::~Form1() = default;

GroupRecord Form1::recordAt(qint32 g) const
{
    GroupRecord r;
    r.val[0] = grpVal1[g];
    r.val[1] = grpVal2[g];
    r.val[2] = grpVal3[g];
    r.stat[0] = grpStat1[g];
    r.stat[1] = grpStat2[g];
    r.stat[2] = grpStat3[g];
    r.year = grpYear[g];
    r.month = grpMonth[g];
    r.day = grpDay[g];
    r.hour = grpHour[g];
    r.minute = grpMinute[g];
    r.second = grpSecond[g];
    r.charge = grpCharge[g];
    return r;
}

void Form1::setTimerEnabled(QTimer *timer, bool enabled)
{
    if (!enabled)
        timer->stop();
    else if (!timer->isActive())
        timer->start();
}

void Form1::createMenus()
{
    mnuFile = menuBar()->addMenu(QStringLiteral("文件"));
    mnuSave = mnuFile->addAction(QStringLiteral("保存"));
    mnuExit = mnuFile->addAction(QStringLiteral("退出"));
    mnuOperation = menuBar()->addMenu(QStringLiteral("操作"));
    mnuRead = mnuOperation->addAction(QStringLiteral("读取"));
    mnuClear = mnuOperation->addAction(QStringLiteral("数据清除"));
    mnuVersion = menuBar()->addMenu(QStringLiteral("版本"));
    mnuCurrentVersion = mnuVersion->addAction(QStringLiteral("当前版本"));
}

void Form1::createControls()
{
    const double dpi = logicalDpiX();
    auto place = [dpi](QWidget *w, int l, int t, int width, int height) {
        w->setGeometry(twips::toRect(l, t, width, height, dpi));
    };

    auto *client = new QWidget(this);
    client->setFixedSize(twips::toPixels(kClientWidthTwips, dpi),
                         twips::toPixels(kClientHeightTwips, dpi));
    setCentralWidget(client);

    auto makeLabel = [&](const QString &caption, int l, int t, int w, int h, QWidget *in) {
        auto *label = new QLabel(caption, in);
        place(label, l, t, w, h);
        return label;
    };

    Label3 = makeLabel(QStringLiteral("I1:"), 120, 720, 495, 255, client);
    Label6 = makeLabel(QStringLiteral("I2:"), 3600, 720, 615, 375, client);
    Label7 = makeLabel(QStringLiteral("I3:"), 7080, 720, 375, 375, client);
    const QFont liveFont = fonts::liveValue();
    Label2 = makeLabel(QStringLiteral("- -"), 360, 1080, 2655, 975, client);
    Label4 = makeLabel(QStringLiteral("- -"), 3840, 1080, 2655, 975, client);
    Label5 = makeLabel(QStringLiteral("- -"), 7320, 1080, 2655, 975, client);
    for (QLabel *l : {Label2, Label4, Label5})
        l->setFont(liveFont);

    RichTextBox1 = new RichTextBox(client);
    RichTextBox1->setFont(fonts::mono());
    RichTextBox1->setLineWrapMode(QPlainTextEdit::NoWrap);
    place(RichTextBox1, 120, 2160, 10575, 6135);

    ProgressBar1 = new QProgressBar(client);
    ProgressBar1->setRange(0, kProgressMaximum);
    ProgressBar1->setValue(0);
    place(ProgressBar1, 115, 8400, 10575, 375);
    ProgressBar1->setVisible(false);

    StatusBar1 = new PanelStatusBar(client);
    place(StatusBar1, 0, 9240, 13515, 375);

    Frame1 = new QGroupBox(QStringLiteral("通信"), client);
    place(Frame1, 10920, 360, 2415, 975);
    Label1 = makeLabel(QStringLiteral("COM:"), 600, 360, 375, 255, Frame1);
    Combo1 = new QComboBox(Frame1);
    Combo1->setEditable(true);
    Combo1->setEditText(QStringLiteral("1"));
    place(Combo1, 960, 280, 855, 300);

    Frame2 = new QGroupBox(QStringLiteral("操作"), client);
    place(Frame2, 10920, 1440, 2415, 5415);
    auto makeButton = [&](const QString &caption, int top) {
        auto *b = new QPushButton(caption, Frame2);
        place(b, 480, top, 1695, 615);
        return b;
    };
    Command2 = makeButton(QStringLiteral("读  取"), 480);
    Command3 = makeButton(QStringLiteral("保  存"), 1800);
    Command4 = makeButton(QStringLiteral("数据清除"), 3240);
    Command5 = makeButton(QStringLiteral("退  出"), 4560);

    Frame3 = new QGroupBox(QStringLiteral("状态信息"), client);
    place(Frame3, 10800, 7080, 2535, 1455);
    auto makeText = [&](const QString &text, int top) {
        auto *t = new QLineEdit(text, Frame3);
        place(t, 240, top, 2055, 270);
        return t;
    };
    Text1 = makeText(QStringLiteral("COM1"), 240);
    Text2 = makeText(QStringLiteral("Text2"), 480);
    Text3 = makeText(QStringLiteral("Text3"), 720);
    Text4 = makeText(QString(), 960);

    Timer1 = new QTimer(this);
    Timer1->setInterval(kTimer1IntervalMs);
    Timer2 = new QTimer(this);
    Timer2->setInterval(kTimer2IntervalMs);
    Timer3 = new QTimer(this);
    Timer3->setInterval(kTimer3IntervalMs);
    Timer4 = new QTimer(this);
    Timer4->setInterval(kTimer4IntervalMs);
    // Timer1 to Timer3 run from start-up; Form_Load disables Timer4.
    for (QTimer *t : {Timer1, Timer2, Timer3, Timer4})
        t->start();
    lineTimer = new QTimer(this);
    lineTimer->setSingleShot(true);

    designSize_ = QSize(client->width(), client->height() + menuBar()->sizeHint().height());
    resize(designSize_);
}

void Form1::createToolbar()
{
    Toolbar1 = new QToolBar(centralWidget());
    Toolbar1->setMovable(false);
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    Toolbar1->setGeometry(twips::toRect(0, 0, kClientWidthTwips, 660, logicalDpiX()));
    struct Button {
        const char16_t *key;
        QStyle::StandardPixmap icon;
    };
    const Button buttons[] = {
        {u"读取", QStyle::SP_ArrowDown},
        {u"保存", QStyle::SP_DialogSaveButton},
        {u"清除", QStyle::SP_TrashIcon},
        {u"退出", QStyle::SP_DialogCloseButton},
    };
    for (const Button &b : buttons) {
        const QString key = QString::fromUtf16(b.key);
        QAction *a = Toolbar1->addAction(style()->standardIcon(b.icon), key);
        a->setData(key);  // the button's Key equals its caption
        a->setObjectName(key);
    }
}

void Form1::connectEvents()
{
    connect(MSComm1, &MSComm::OnComm, this, &Form1::MSComm1_OnComm);
    connect(MSComm1, &MSComm::PortLost, this, &Form1::MSComm1_PortLost);
    connect(lineTimer, &QTimer::timeout, this, &Form1::lineTimer_Timer);
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    connect(Timer2, &QTimer::timeout, this, &Form1::Timer2_Timer);
    connect(Timer3, &QTimer::timeout, this, &Form1::Timer3_Timer);
    connect(Timer4, &QTimer::timeout, this, &Form1::Timer4_Timer);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(mnuSave, &QAction::triggered, this, &Form1::mnuSave_Click);
    connect(mnuExit, &QAction::triggered, this, &Form1::mnuExit_Click);
    connect(mnuRead, &QAction::triggered, this, &Form1::mnuRead_Click);
    connect(mnuClear, &QAction::triggered, this, &Form1::mnuClear_Click);
    connect(mnuCurrentVersion, &QAction::triggered, this, &Form1::mnuCurrentVersion_Click);
    connect(Toolbar1, &QToolBar::actionTriggered, this,
            [this](QAction *a) { Toolbar1_ButtonClick(a->data().toString()); });
    connect(StatusBar1, &PanelStatusBar::PanelClick, this, &Form1::StatusBar1_PanelClick);
}

// However the window closes (Exit, or its title bar), the port is closed
// before the program ends, so no lock file is left behind, and the read-range
// dialog goes with the window.
void Form1::closeEvent(QCloseEvent *event)
{
    if (form2)
        form2->close();
    for (QTimer *t : {Timer1, Timer2, Timer3, Timer4, lineTimer})
        t->stop();
    MSComm1->setPortOpen(false);
    QMainWindow::closeEvent(event);
}

void Form1::Form_Load()
{
    openPort();
    Command4_Click();
    setTimerEnabled(Timer4, false);
    ProgressBar1->setValue(0);
    listRecords(0, 0);
}
