#include "gui/plots/stored_chart_window.h"

#include "core/product.h"
#include "core/records/record_store.h"
#include "core/records/record_table.h"
#include "gui/plots/channel_plot.h"

#include <QComboBox>

#include <algorithm>

namespace {

// The X axis switch's items, in this order.
constexpr int kGroupItem = 0;
constexpr int kTimeItem = 1;
// Group numbers are whole: ticks at whole multiples of one.
constexpr double kGroupTickStep = 1.0;

QString tipOf(const QString &record)
{
    // Fixed pitch keeps the fields where the table has them.
    return QStringLiteral("<pre>%1</pre>").arg(record.toHtmlEscaped());
}

}  // namespace

StoredChartWindow::StoredChartWindow(const RecordStore &store, UiSeam &dialogs, QWidget *mainWindow)
    : PlotWindow(dialogs, mainWindow), store_(store), series_(store, plot()->channels()),
      xAxisChoice_(new QComboBox)
{
    setWindowTitle(tr("曲线图") + QStringLiteral(" - ") + product::title());
    xAxisChoice_->setObjectName(QStringLiteral("xAxisChoice"));
    xAxisChoice_->insertItem(kGroupItem, tr("组号"));
    xAxisChoice_->insertItem(kTimeItem, tr("时间"));
    connect(xAxisChoice_, &QComboBox::currentIndexChanged, this, [this](int item) {
        setAxis(item == kTimeItem ? StoredSeries::Axis::Time : StoredSeries::Axis::Group);
    });
    addControl(tr("横轴："), xAxisChoice_);

    ChannelPlot *plot = this->plot();
    plot->setTipSource([this](double key) { return tipAt(key); });
    connect(plot, &ChannelPlot::viewMovedByUser, this, [this] { userView_ = true; });
    connect(plot, &ChannelPlot::showAllRequested, this, [this] {
        userView_ = false;
        showAll();
        this->plot()->redraw();
    });
    labelAxis();
}

QString StoredChartWindow::pictureName() const { return tr("曲线图"); }

void StoredChartWindow::setRange(qint32 first, qint32 count, quint8 secFlag, bool drawn)
{
    // Only groups with a slot in the store; 64-bit, so a huge count cannot wrap.
    first_ = std::max(first, record_store::kFirstGroup);
    last_ = qint32(std::min<qint64>(qint64(first) + count - 1, record_store::kLastGroup));
    series_.rebuild(first_, drawn ? last_ : first_ - 1, secFlag, series_.axis());
    labelAxis();
    userView_ = false;
    showAll();
    plot()->redraw();
}

void StoredChartWindow::showRange(qint32 first, qint32 count, quint8 secFlag)
{
    setRange(first, count, secFlag, true);
}

void StoredChartWindow::startReadOut(qint32 first, qint32 count, quint8 secFlag)
{
    setRange(first, count, secFlag, false);
    series_.reserve(last_ - first_ + 1);
}

void StoredChartWindow::addBlock(qint32 first, qint32 last)
{
    series_.append(std::max(first, record_store::kFirstGroup),
                   std::min(last, record_store::kLastGroup));
    if (!userView_)
        showAll();
    plot()->redraw();
}

void StoredChartWindow::clearGroups()
{
    first_ = 0;
    last_ = -1;
    series_.clear();
    userView_ = false;
    showAll();
    plot()->redraw();
}

void StoredChartWindow::setAxis(StoredSeries::Axis axis)
{
    // The groups drawn so far, read from the store again at their new keys.
    series_.rebuild(first_, series_.lastGroup(), series_.secFlag(), axis);
    labelAxis();
    userView_ = false;
    showAll();
    plot()->redraw();
}

void StoredChartWindow::labelAxis()
{
    QCPAxis *x = plot()->xAxis;
    if (series_.axis() == StoredSeries::Axis::Time) {
        QSharedPointer<QCPAxisTickerDateTime> ticker(new QCPAxisTickerDateTime);
        // The keys are the instrument's own clock, counted as UTC.
        ticker->setDateTimeSpec(Qt::UTC);
        ticker->setDateTimeFormat(series_.secFlag() == 1 ? QStringLiteral("HH:mm:ss\nyyyy-MM-dd")
                                                         : QStringLiteral("HH:mm\nyyyy-MM-dd"));
        x->setTicker(ticker);
        x->setLabel(tr("时间"));
    } else {
        QSharedPointer<QCPAxisTickerFixed> ticker(new QCPAxisTickerFixed);
        ticker->setTickStep(kGroupTickStep);
        ticker->setScaleStrategy(QCPAxisTickerFixed::ssMultiples);
        x->setTicker(ticker);
        x->setLabel(tr("组号"));
    }
}

void StoredChartWindow::showAll()
{
    ChannelPlot *plot = this->plot();
    bool found = false;
    QCPRange keys = plot->channel(0)->getKeyRange(found);
    if (series_.axis() == StoredSeries::Axis::Group && last_ >= first_) {
        // The whole range, so that a read-out fills it from the left.
        const QCPRange range(first_, last_);
        if (found)
            keys.expand(range);
        else
            keys = range;
        found = true;
    }
    if (found) {
        // A single point still gets an axis around it.
        plot->xAxis->setRange(keys.size() > 0 ? keys : QCPRange(keys.lower - 1, keys.upper + 1));
    }
    plot->fitValues();
}

QString StoredChartWindow::tipAt(double key) const
{
    const std::optional<qint32> group = series_.nearestGroup(key);
    if (!group || !store_.isPresent(*group))
        return QString();
    return tipOf(record_table::recordText(*group, store_.recordAt(*group), series_.secFlag()));
}
