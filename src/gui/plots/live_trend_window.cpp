#include "gui/plots/live_trend_window.h"

#include "core/live_history.h"
#include "core/product.h"
#include "core/records/reading_format.h"
#include "gui/plots/channel_plot.h"

#include <QDateTime>
#include <QPushButton>

namespace {

// How much of the history the scrolling view shows.
constexpr double kRecentSeconds = 10 * 60;
// A view of a single instant still gets an axis around it, this wide each way.
constexpr double kInstantSpanSeconds = 1.0;

}  // namespace

LiveTrendWindow::LiveTrendWindow(const LiveHistory &history, UiSeam &dialogs, QWidget *mainWindow)
    : PlotWindow(dialogs, mainWindow), history_(history), series_(history, plot()->channels()),
      recent_(new QPushButton(tr("最近 10 分钟")))
{
    setWindowTitle(tr("实时曲线") + QStringLiteral(" - ") + product::title());
    recent_->setCheckable(true);
    recent_->setToolTip(tr("显示最近 10 分钟，并随新读数滚动"));
    connect(recent_, &QPushButton::clicked, this, [this] { setView(View::Recent); });
    addControl(tr("视图："), recent_);
    setHint(movingHint() + tr("；“最近 10 分钟”回到滚动显示"));

    QSharedPointer<QCPAxisTickerDateTime> ticker(new QCPAxisTickerDateTime);
    // The computer's clock, in its own time zone.
    ticker->setDateTimeFormat(QStringLiteral("HH:mm:ss\nMM-dd"));
    ChannelPlot *plot = this->plot();
    plot->xAxis->setTicker(ticker);
    plot->xAxis->setLabel(tr("时间"));
    plot->setTipSource([this](double key) { return tipAt(key); });
    connect(plot, &ChannelPlot::viewMovedByUser, this, [this] { setView(View::Free); });
    connect(plot, &ChannelPlot::showAllRequested, this, [this] { setView(View::All); });

    series_.update();
    setView(View::Recent);
}

QString LiveTrendWindow::pictureName() const { return tr("实时曲线"); }

void LiveTrendWindow::readingAdded() { takeNewEntries(); }

void LiveTrendWindow::gapAdded() { takeNewEntries(); }

void LiveTrendWindow::takeNewEntries()
{
    series_.update();
    applyView();
    plot()->redraw();
}

void LiveTrendWindow::setView(View view)
{
    view_ = view;
    recent_->setChecked(view == View::Recent);
    applyView();
    plot()->redraw();
}

void LiveTrendWindow::applyView()
{
    if (view_ == View::Free || history_.size() == 0)
        return;
    const double newest = series_.keyOf(history_.size() - 1);
    const double oldest = view_ == View::Recent ? newest - kRecentSeconds : series_.keyOf(0);
    ChannelPlot *plot = this->plot();
    plot->xAxis->setRange(
        oldest < newest ? QCPRange(oldest, newest)
                        : QCPRange(newest - kInstantSpanSeconds, newest + kInstantSpanSeconds));
    plot->fitValues();
}

QString LiveTrendWindow::tipAt(double key) const
{
    const std::optional<qsizetype> index = series_.nearestEntry(key);
    if (!index)
        return QString();
    const LiveHistory::Entry &entry = history_.at(*index);
    QString tip = QDateTime::fromMSecsSinceEpoch(entry.msecsSinceEpoch)
                      .toString(QStringLiteral("yyyy/MM/dd/HH:mm:ss"));
    if (entry.gap)
        return tip + QLatin1Char('\n') + tr("通信中断");
    for (int c = 0; c < LiveHistory::kChannels; ++c) {
        tip += QStringLiteral("\nI%1  %2")
                   .arg(c + 1)
                   .arg(reading_format::formatReading(entry.raw[c], entry.status[c]).trimmed());
    }
    return tip;
}
