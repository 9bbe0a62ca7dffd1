#include "gui/form1.h"

#include "core/link/port_number.h"

#include "core/product.h"
#include "core/records/group_record.h"
#include "core/records/reading_format.h"
#include "core/records/record_table.h"
#include "gui/anchored_panel.h"
#include "gui/fonts.h"
#include "gui/form2.h"
#include "gui/panel_status_bar.h"
#include "gui/plots/live_trend_window.h"
#include "gui/plots/stored_chart_window.h"
#include "gui/twips.h"
#include "platform/rich_text_box.h"
#include "platform/ui_seam.h"

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
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

namespace {

// Client area under the menu bar, in twips: the controls, then the status bar
// along the bottom edge.
constexpr int kClientWidthTwips = 13515;
constexpr int kControlsHeightTwips = 9240;
constexpr int kStatusBarHeightTwips = 375;

// The live values are 2655 twips wide in the design, too narrow for the widest
// reading at any useful size in the Linux fonts. Each grows to the right, up
// to the caption of the next value ("I2:", "I3:"), 3240 twips from its left.
constexpr int kLiveValueWidthTwips = 3240;

// The status boxes in the frame "状态信息", as designed.
constexpr int kStatusBoxHeightTwips = 270;

constexpr int kTimer1IntervalMs = 70;  // the status display

constexpr int kProgressMaximum = 100;

// The widest reading there is: the largest raw value, 25755, in mA with one
// decimal, "2575.5mA". The live values and the record table are sized for it.
constexpr quint16 kLargestRawValue = 25755;
constexpr quint8 kMilliampsOneDecimal = 0x41;

// The port number and the status texts change many times a second while the
// search runs. A widget that fills its whole box with the frame's own
// background is opaque to Qt, which then repaints only the widget, not the
// frame and the siblings behind it.
void paintsItsWholeBox(QWidget *w)
{
    w->setBackgroundRole(QPalette::Window);
    w->setAutoFillBackground(true);
}

QString widestReading()
{
    return reading_format::formatReading(kLargestRawValue, kMilliampsOneDecimal);
}

// The widest line of the record table: two records with seconds whose readings
// all fill their fields, so that each gets its extra space in front.
QString widestTableLine()
{
    GroupRecord widest;
    for (int c = 0; c < 3; ++c) {
        widest.val[c] = kLargestRawValue;
        widest.stat[c] = kMilliampsOneDecimal;
    }
    const QString record =
        record_table::recordText(record_store::kLastGroup, widest, record_store::kWithSeconds);
    return record + QLatin1String(record_table::kGap) + record;
}

}  // namespace

Form1::Form1(Instrument *core, UiSeam *dialogs, QWidget *parent)
    : QMainWindow(parent), core_(core), dialogs_(dialogs), statusWords_(translatedStatusWords())
{
    endProgram = [this] { close(); };

    setWindowTitle(product::title());
    setFont(fonts::ui());
    createMenus();
    createControls();
    createToolbar();
    connectEvents();
    connectInstrument();
}

Form1::~Form1() = default;

void Form1::createMenus()
{
    mnuFile = menuBar()->addMenu(tr("文件"));
    mnuSave = mnuFile->addAction(tr("保存"));
    mnuExit = mnuFile->addAction(tr("退出"));
    mnuOperation = menuBar()->addMenu(tr("操作"));
    mnuRead = mnuOperation->addAction(tr("读取"));
    mnuClear = mnuOperation->addAction(tr("数据清除"));
    mnuView = menuBar()->addMenu(tr("视图"));
    mnuChart = mnuView->addAction(tr("曲线图"));
    mnuTrend = mnuView->addAction(tr("实时曲线"));
    mnuVersion = menuBar()->addMenu(tr("版本"));
    mnuCurrentVersion = mnuVersion->addAction(tr("当前版本"));
    const std::pair<QObject *, const char *> names[] = {
        {mnuFile, "mnuFile"},
        {mnuSave, "mnuSave"},
        {mnuExit, "mnuExit"},
        {mnuOperation, "mnuOperation"},
        {mnuRead, "mnuRead"},
        {mnuClear, "mnuClear"},
        {mnuView, "mnuView"},
        {mnuChart, "mnuChart"},
        {mnuTrend, "mnuTrend"},
        {mnuVersion, "mnuVersion"},
        {mnuCurrentVersion, "mnuCurrentVersion"},
    };
    for (const auto &[object, name] : names)
        object->setObjectName(QLatin1String(name));
}

void Form1::createControls()
{
    const double dpi = logicalDpiX();
    const auto rect = [dpi](int l, int t, int w, int h) { return twips::toRect(l, t, w, h, dpi); };

    // The controls keep their designed places on a panel of the design size.
    // A maximised window makes the panel larger and the record view grows with
    // it; a screen smaller than the design scrolls the panel instead of
    // cutting it off.
    client_ = new AnchoredPanel(
        QSize(twips::toPixels(kClientWidthTwips, dpi), twips::toPixels(kControlsHeightTwips, dpi)));
    auto *scroller = new QScrollArea(this);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidgetResizable(true);
    scroller->setWidget(client_);
    setCentralWidget(scroller);

    const auto topRight = AnchoredPanel::Top | AnchoredPanel::Right;
    const auto bottomRight = AnchoredPanel::Bottom | AnchoredPanel::Right;
    const auto allEdges =
        AnchoredPanel::Left | AnchoredPanel::Top | AnchoredPanel::Right | AnchoredPanel::Bottom;
    const auto alongBottom = AnchoredPanel::Left | AnchoredPanel::Right | AnchoredPanel::Bottom;

    auto makeLabel = [&](const QString &caption, int l, int t, int w, int h) {
        auto *label = new QLabel(caption, client_);
        client_->place(label, rect(l, t, w, h));
        return label;
    };

    Label3 = makeLabel(QStringLiteral("I1:"), 120, 720, 495, 255);
    Label6 = makeLabel(QStringLiteral("I2:"), 3600, 720, 615, 375);
    Label7 = makeLabel(QStringLiteral("I3:"), 7080, 720, 375, 375);
    Label2 = makeLabel(QStringLiteral("- -"), 360, 1080, kLiveValueWidthTwips, 975);
    Label4 = makeLabel(QStringLiteral("- -"), 3840, 1080, kLiveValueWidthTwips, 975);
    Label5 = makeLabel(QStringLiteral("- -"), 7320, 1080, kLiveValueWidthTwips, 975);
    // One size for the three values, so that they keep their size from one
    // reading to the next: the largest at which the widest reading fits.
    const QFont liveFont = fonts::fitted(fonts::liveValue(), widestReading(), Label2->width());
    for (QLabel *l : {Label2, Label4, Label5})
        l->setFont(liveFont);

    RichTextBox1 = new RichTextBox(client_);
    client_->place(RichTextBox1, rect(120, 2160, 10575, 6135), allEdges);
    // The design size of the view is narrower than the widest table line in
    // the design font; the font gets as small as it needs for it to fit.
    RichTextBox1->setFont(
        fonts::fitted(fonts::mono(), widestTableLine(), RichTextBox1->widestUnscrolledLine()));

    ProgressBar1 = new QProgressBar(client_);
    ProgressBar1->setRange(0, kProgressMaximum);
    ProgressBar1->setValue(0);
    client_->place(ProgressBar1, rect(115, 8400, 10575, 375), alongBottom);
    ProgressBar1->setVisible(false);

    StatusBar1 = new PanelStatusBar(this);
    StatusBar1->setFixedHeight(twips::toPixels(kStatusBarHeightTwips, dpi));
    setStatusBar(StatusBar1);

    Frame1 = new QGroupBox(tr("通信"), client_);
    client_->place(Frame1, rect(10920, 360, 2415, 975), topRight);
    // The frame contents sit below the frame's title, which takes the top
    // 23 pixels of a frame in the Fusion style. "COM:" is right-aligned so
    // that it still ends where the design ends it, beside the combo box.
    Label1 = new QLabel(QStringLiteral("COM:"), Frame1);
    Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label1->setGeometry(rect(480, 360, 495, 300));
    Combo1 = new QComboBox(Frame1);
    Combo1->setEditable(true);
    Combo1->setEditText(QStringLiteral("1"));
    Combo1->setGeometry(rect(960, 360, 855, 300));
    paintsItsWholeBox(Combo1);

    Frame2 = new QGroupBox(tr("操作"), client_);
    client_->place(Frame2, rect(10920, 1440, 2415, 5415), topRight);
    auto makeButton = [&](const QString &caption, int top) {
        auto *b = new QPushButton(caption, Frame2);
        b->setGeometry(rect(480, top, 1695, 615));
        return b;
    };
    Command2 = makeButton(tr("读  取"), 480);
    Command3 = makeButton(tr("保  存"), 1800);
    Command4 = makeButton(tr("数据清除"), 3240);
    Command5 = makeButton(tr("退  出"), 4560);

    Frame3 = new QGroupBox(tr("状态信息"), client_);
    client_->place(Frame3, rect(10800, 7080, 2535, 1455), bottomRight);
    // 120 twips lower than designed, below the frame's title. The status
    // words have descenders in English ("Port open"), which reach lower than
    // any Chinese glyph: the boxes grow down as far as those need, and only
    // then.
    const StatusWords &words = statusWords_;
    const QStringList statusTexts = {words.portOpen,  words.portClosed, words.linked,
                                     words.notLinked, words.searching,  words.reading};
    const int statusFrame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    const int statusHeight = fonts::heightForInk(font(), statusTexts, statusFrame,
                                                 twips::toPixels(kStatusBoxHeightTwips, dpi));
    auto makeText = [&](const QString &text, int top) {
        auto *t = new QLineEdit(text, Frame3);
        QRect box = rect(240, top, 2055, kStatusBoxHeightTwips);
        box.setHeight(statusHeight);
        t->setGeometry(box);
        paintsItsWholeBox(t);
        return t;
    };
    Text1 = makeText(QStringLiteral("COM1"), 360);
    Text2 = makeText(QStringLiteral("Text2"), 600);
    Text3 = makeText(QStringLiteral("Text3"), 840);
    Text4 = makeText(QString(), 1080);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kTimer1IntervalMs);

    // The designer names, also as object names: tests and tools find the controls by them.
    const std::pair<QObject *, const char *> names[] = {
        {Label1, "Label1"},
        {Label2, "Label2"},
        {Label3, "Label3"},
        {Label4, "Label4"},
        {Label5, "Label5"},
        {Label6, "Label6"},
        {Label7, "Label7"},
        {Combo1, "Combo1"},
        {Frame1, "Frame1"},
        {Frame2, "Frame2"},
        {Frame3, "Frame3"},
        {Command2, "Command2"},
        {Command3, "Command3"},
        {Command4, "Command4"},
        {Command5, "Command5"},
        {Text1, "Text1"},
        {Text2, "Text2"},
        {Text3, "Text3"},
        {Text4, "Text4"},
        {RichTextBox1, "RichTextBox1"},
        {ProgressBar1, "ProgressBar1"},
        {StatusBar1, "StatusBar1"},
    };
    for (const auto &[object, name] : names)
        object->setObjectName(QLatin1String(name));

    const QSize panel = client_->sizeHint();
    designSize_ = QSize(panel.width(),
                        menuBar()->sizeHint().height() + panel.height() + StatusBar1->height());
    resize(normalSize());
}

QSize Form1::normalSize() const
{
    const QScreen *s = screen();
    if (!s)
        return designSize_;
    // The window frame (title bar and borders) needs room on the screen too.
    const QSize room = s->availableGeometry().size() - (frameGeometry().size() - geometry().size());
    // Cut short one way, the window scrolls its controls that way, and the
    // scroll bar takes room the other way, where the screen has it.
    QSize size = designSize_;
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    if (size.height() > room.height())
        size.rwidth() += scrollBar;
    if (size.width() > room.width())
        size.rheight() += scrollBar;
    return size.boundedTo(room);
}

void Form1::createToolbar()
{
    Toolbar1 = new QToolBar(client_);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setMovable(false);
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    client_->place(Toolbar1, twips::toRect(0, 0, kClientWidthTwips, 660, logicalDpiX()),
                   AnchoredPanel::Left | AnchoredPanel::Top | AnchoredPanel::Right);
    // A button's Key is what Toolbar1_ButtonClick routes by: the caption of
    // the Chinese design, whatever language the caption is shown in.
    struct Button {
        const char16_t *key;
        const char *caption;
        QStyle::StandardPixmap icon;
    };
    const Button buttons[] = {
        {u"读取", QT_TR_NOOP("读取"), QStyle::SP_ArrowDown},
        {u"保存", QT_TR_NOOP("保存"), QStyle::SP_DialogSaveButton},
        {u"清除", QT_TR_NOOP("清除"), QStyle::SP_TrashIcon},
        {u"退出", QT_TR_NOOP("退出"), QStyle::SP_DialogCloseButton},
    };
    for (const Button &b : buttons) {
        const QString key = QString::fromUtf16(b.key);
        QAction *a = Toolbar1->addAction(style()->standardIcon(b.icon), tr(b.caption));
        a->setData(key);
        a->setObjectName(key);
    }
}

void Form1::connectEvents()
{
    // What the user types is the search's port at once, when it is a port
    // number; the search's steps reach the box at the status display's pace.
    connect(Combo1, &QComboBox::editTextChanged, core_, [this](const QString &text) {
        if (const std::optional<qint16> port = port_number::fromText(text))
            core_->setPort(*port);
    });
    for (QWidget *w : {static_cast<QWidget *>(Text1), static_cast<QWidget *>(Combo1),
                       static_cast<QWidget *>(Combo1->lineEdit())})
        w->installEventFilter(this);
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(mnuSave, &QAction::triggered, this, &Form1::mnuSave_Click);
    connect(mnuExit, &QAction::triggered, this, &Form1::mnuExit_Click);
    connect(mnuRead, &QAction::triggered, this, &Form1::mnuRead_Click);
    connect(mnuClear, &QAction::triggered, this, &Form1::mnuClear_Click);
    connect(mnuCurrentVersion, &QAction::triggered, this, &Form1::mnuCurrentVersion_Click);
    connect(mnuChart, &QAction::triggered, this, &Form1::mnuChart_Click);
    connect(mnuTrend, &QAction::triggered, this, &Form1::mnuTrend_Click);
    connect(Toolbar1, &QToolBar::actionTriggered, this,
            [this](QAction *a) { Toolbar1_ButtonClick(a->data().toString()); });
    connect(StatusBar1, &PanelStatusBar::PanelClick, this, &Form1::StatusBar1_PanelClick);
}

// However the window closes (Exit, or its title bar), the instrument's work
// ends and the port is closed before the program ends, so no lock file is left
// behind, and the read-range dialog goes with the window.
void Form1::closeEvent(QCloseEvent *event)
{
    if (form2_)
        form2_->close();
    for (QWidget *plot :
         {static_cast<QWidget *>(chart_.get()), static_cast<QWidget *>(trend_.get())})
        if (plot)
            plot->close();
    Timer1->stop();
    core_->shutDown();
    QMainWindow::closeEvent(event);
}

// The program's work starts here, not in the constructor, so a window can be
// built and looked at without any timer running: the status display from now
// on, and the instrument's search and live poll.
void Form1::Form_Load()
{
    Timer1->start();
    core_->load();
    ProgressBar1->setValue(0);
    core_->listRecords(0, 0);
}
