#include "gui/plots/plot_window.h"

#include "core/export/export_target.h"
#include "core/export/scratch_save.h"
#include "core/product.h"
#include "gui/plots/channel_plot.h"
#include "gui/plots/picture_target.h"
#include "platform/ui_seam.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <QWindow>

namespace {

// A plot wide enough for a day of readings to show its shape, on a 1366 × 768 screen.
constexpr int kInitialWidth = 960;
constexpr int kInitialHeight = 600;
// The Y axis switch's items, in this order.
constexpr int kLinearItem = 0;
constexpr int kLogarithmicItem = 1;

QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
}

}  // namespace

PlotWindow::PlotWindow(UiSeam &dialogs, QWidget *mainWindow)
    : QWidget(nullptr, Qt::Window), dialogs_(dialogs), plot_(new ChannelPlot),
      bar_(new QHBoxLayout), hint_(new QLabel)
{
    // A window of its own, not a child of the main window, which is disabled
    // at times and would disable it too; transient for the main window, so it
    // opens over it and stays above it.
    mainWindow->winId();
    winId();
    windowHandle()->setTransientParent(mainWindow->windowHandle());
    // Closing it hides it; only the main window ends the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(kInitialWidth, kInitialHeight);

    auto *yScale = new QComboBox;
    yScale->insertItem(kLinearItem, tr("线性"));
    yScale->insertItem(kLogarithmicItem, tr("对数"));
    connect(yScale, &QComboBox::currentIndexChanged, this,
            [this](int item) { plot_->setLogarithmic(item == kLogarithmicItem); });
    auto *save = new QPushButton(tr("保存图片"));
    connect(save, &QPushButton::clicked, this, &PlotWindow::savePicture);
    hint_->setWordWrap(true);
    setHint(movingHint());

    bar_->addWidget(new QLabel(tr("纵轴：")));
    bar_->addWidget(yScale);
    bar_->addWidget(save);
    bar_->addWidget(hint_, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(bar_);
    layout->addWidget(plot_, 1);
}

void PlotWindow::openOrRaise()
{
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}

void PlotWindow::addControl(const QString &caption, QWidget *control)
{
    bar_->insertWidget(ownControls_++, new QLabel(caption));
    bar_->insertWidget(ownControls_++, control);
}

void PlotWindow::setHint(const QString &hint) { hint_->setText(hint); }

QString PlotWindow::movingHint() const
{
    return tr("滚轮缩放，左键拖动平移，右键（或 Ctrl+左键）拖出方框放大，双击显示全部");
}

void PlotWindow::savePicture()
{
    const QString folder = pictureFolder_.isEmpty() ? documentsFolder() : pictureFolder_;
    const QString suggested = QDir(folder).filePath(pictureName() + QStringLiteral(".png"));
    const std::optional<QString> chosen =
        dialogs_.saveFileName(this, suggested, picture_target::dialogFilters());
    if (!chosen)
        return;
    pictureFolder_ = QFileInfo(*chosen).absolutePath();
    const picture_target::Target target = picture_target::targetFor(*chosen);
    // The dialog asked before replacing the file it showed; a name that gets
    // ".png" only now names another file, so the question is asked here.
    if (picture_target::addsSuffix(*chosen)) {
        const QFileInfo existing(target.path);
        if (existing.exists()
            && !dialogs_.question(this, product::title(),
                                  export_target::replaceQuestion(existing.fileName())))
            return;
    }
    const QString failure = writePicture(target.path, target.format == picture_target::Format::Pdf);
    if (!failure.isEmpty())
        dialogs_.message(this, product::title(), failure, UiSeam::Icon::Warning);
}

// Through the same save as the workbooks: a target that cannot be written is
// reported before the picture is drawn, and the old file stays on failure.
QString PlotWindow::writePicture(const QString &path, bool pdf)
{
    return scratch_save::save(
        path, FileLayer::system(), [&](const QString &scratchDir, QString *failure) {
            const QString drawn =
                QDir(scratchDir)
                    .filePath(pdf ? QStringLiteral("plot.pdf") : QStringLiteral("plot.png"));
            // A PDF's lines get a width of their own: a cosmetic pen prints as a hairline.
            const bool written = pdf ? plot_->savePdf(drawn, 0, 0, QCP::epNoCosmetic,
                                                      product::title(), windowTitle())
                                     : plot_->savePng(drawn);
            if (written)
                return drawn;
            *failure = tr("保存失败：无法生成图片。");
            return QString();
        });
}
