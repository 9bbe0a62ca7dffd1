#include "gui/form2.h"

#include "core/instrument.h"
#include "core/link/read_plan.h"
#include "gui/fonts.h"
#include "gui/form1.h"
#include "gui/twips.h"

#include <QCloseEvent>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWindow>
#include <QtMath>

namespace {

constexpr int kClientWidthTwips = 6135;
constexpr int kClientHeightTwips = 3120;
constexpr int kTextPointSize = 15;
constexpr int kDashPointSize = 24;

// The two boxes of the range are 975 and 1095 twips wide in the design, too
// narrow for six digits ("200000") in the 15 pt bold Linux font. Both are 1200
// wide, and what stands to their right moves right, into the free space at the
// right of the dialog, keeping its designed distance of 105 twips.
constexpr int kRangeBoxWidthTwips = 1200;

}  // namespace

Form2::Form2(Form1 *owner, Instrument *core) : QDialog(nullptr), form1_(owner), core_(core)
{
    // A window of its own, not a child of the main window, which is disabled
    // while the dialog is up and would disable it too; transient for the main
    // window, so it opens centred over it and stays above it.
    QWidget *mainWindow = owner->window();
    mainWindow->winId();
    winId();
    windowHandle()->setTransientParent(mainWindow->windowHandle());
    setAttribute(Qt::WA_DeleteOnClose);
    // Closing this window must never end the program, even while the main window is disabled.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(tr("读取数据选项"));
    setFont(fonts::ui());
    createControls();
    // The dialog must not outlive the window whose plan it sets.
    connect(owner, &QObject::destroyed, this, &QObject::deleteLater);
}

Form2::~Form2() = default;

void Form2::createControls()
{
    const double dpi = logicalDpiX();
    setFixedSize(twips::toPixels(kClientWidthTwips, dpi), twips::toPixels(kClientHeightTwips, dpi));
    auto place = [dpi](QWidget *w, int l, int t, int width, int height) {
        w->setGeometry(twips::toRect(l, t, width, height, dpi));
    };
    const QFont textFont = fonts::ui(kTextPointSize, true);
    // A label is at least as large as its caption: English "groups" is wider
    // than the designed box of "组", and its descenders reach lower than any
    // Chinese glyph; it grows into the free space at its right and below.
    auto makeLabel = [&](const QString &caption, int l, int t, int w, int h) {
        auto *label = new QLabel(caption, this);
        label->setFont(textFont);
        place(label, l, t, w, h);
        const int captionWidth = qCeil(QFontMetricsF(textFont).horizontalAdvance(caption));
        label->resize(qMax(label->width(), captionWidth),
                      fonts::heightForInk(textFont, {caption}, 0, label->height()));
        return label;
    };
    auto makeText = [&](const QString &text, int l, int t, int w, int h) {
        auto *edit = new QLineEdit(text, this);
        edit->setFont(textFont);
        place(edit, l, t, w, h);
        return edit;
    };
    auto makeButton = [&](const QString &caption, int l) {
        auto *button = new QPushButton(caption, this);
        // No default button: Enter does nothing until a button has been chosen.
        button->setAutoDefault(false);
        button->setDefault(false);
        place(button, l, 2280, 1215, 615);
        return button;
    };

    // Both option buttons share the dialog as parent, so exactly one is selected.
    Option1 = new QRadioButton(this);
    place(Option1, 480, 720, 375, 375);
    Option1->setChecked(true);
    Label1 = makeLabel(tr("读取:"), 960, 720, 855, 375);
    Text1 = makeText(QStringLiteral("1"), 1800, 720, kRangeBoxWidthTwips, 375);
    Label3 = makeLabel(QStringLiteral("-"), 3105, 670, 375, 375);
    Label3->setFont(fonts::ui(kDashPointSize, true));
    Text2 = makeText(QStringLiteral("100"), 3465, 720, kRangeBoxWidthTwips, 375);
    Label2 = makeLabel(tr("组"), 4770, 760, 615, 375);
    Option2 = new QRadioButton(this);
    place(Option2, 480, 1320, 375, 375);
    Label4 = makeLabel(tr("全部"), 960, 1320, 975, 375);
    Command1 = makeButton(tr("确  定"), 1080);
    Command2 = makeButton(tr("取  消"), 3720);

    QWidget::setTabOrder(Command1, Command2);
    QWidget::setTabOrder(Command2, Text1);
    QWidget::setTabOrder(Text1, Text2);
    QWidget::setTabOrder(Text2, Option1);
    QWidget::setTabOrder(Option1, Option2);
    Command1->setFocus();

    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form2::Command2_Click);
}

// OK: the choice becomes the read plan, and the read-out starts with its first block.
void Form2::Command1_Click()
{
    const read_plan::Choice choice =
        Option2->isChecked() ? read_plan::Choice::All : read_plan::Choice::Range;
    const read_plan::Plan plan =
        read_plan::fromTexts(choice, Text1->text(), Text2->text(), core_->savesum());
    form1_->setEnabled(true);
    accepted_ = true;
    // From here on only the instrument is asked; the dialog is gone.
    Instrument *core = core_;
    close();
    core->startReadOut(plan);
}

// Cancel: control goes back to the main window, whose search and live poll
// run again; nothing is sent and the read plan stays as it was.
void Form2::Command2_Click() { close(); }

void Form2::reject() { close(); }

void Form2::closeEvent(QCloseEvent *event)
{
    if (form1_) {
        form1_->setEnabled(true);
        // Cancel, Escape or the window frame: the live display comes back.
        if (!accepted_)
            core_->resumeLink();
    }
    // QDialog's own handling would call reject() and close once more.
    QWidget::closeEvent(event);
}
