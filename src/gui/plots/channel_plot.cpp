#include "gui/plots/channel_plot.h"

#include <QToolTip>

namespace {

// Okabe and Ito's blue, vermilion and bluish green: told apart by eyes that
// confuse red and green, and in grey print.
constexpr QRgb kChannelColours[ChannelPlot::kChannels] = {0x0072B2, 0xD55E00, 0x009E73};
// Room above and below the values, so the extremes do not sit on the frame.
constexpr double kValueMargin = 1.1;
// The half-height of the axis around a flat line, relative to its value, and
// around a flat line at zero, in amperes (the instrument's smallest step).
constexpr double kFlatSpan = 0.1;
constexpr double kFlatZeroSpan = 1e-6;
// A flat line on the logarithmic axis: the axis spans this factor either way.
constexpr double kFlatLogFactor = 2.0;
// Nine significant digits: the instrument's five in any of its units.
constexpr int kTickPrecision = 9;

}  // namespace

ChannelPlot::ChannelPlot(QWidget *parent)
    : QCustomPlot(parent), linearTicker_(new QCPAxisTicker), logTicker_(new QCPAxisTickerLog)
{
    for (int c = 0; c < kChannels; ++c) {
        QCPGraph *graph = addGraph();
        graph->setName(QStringLiteral("I%1").arg(c + 1));
        // One device pixel wide, at any scale: Qt's raster engine draws such a
        // pen on its fast path. A 1.5 px line went through the path stroker
        // and took 20 times as long (bench/bench_plots.cpp).
        QPen pen(QColor(kChannelColours[c]), 1);
        pen.setCosmetic(true);
        graph->setPen(pen);
        channels_[c] = graph;
    }
    legend->setVisible(true);
    yAxis->setLabel(tr("电流 (A)"));
    // Beautified powers of ten ("1·10⁻⁶") for the smallest currents.
    yAxis->setNumberFormat(QStringLiteral("gb"));
    yAxis->setNumberPrecision(kTickPrecision);
    yAxis->setTicker(linearTicker_);

    setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    // Panning and zooming redraw at the mouse's pace; lines without
    // antialiasing take a fraction of the time, and the still picture is
    // drawn smooth again.
    setNoAntialiasingOnDrag(true);
    selectionRect()->setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DashLine));
    connect(selectionRect(), &QCPSelectionRect::accepted, this, &ChannelPlot::viewMovedByUser);
    setMouseTracking(true);
}

bool ChannelPlot::isLogarithmic() const { return yAxis->scaleType() == QCPAxis::stLogarithmic; }

void ChannelPlot::setLogarithmic(bool logarithmic)
{
    if (logarithmic == isLogarithmic())
        return;
    yAxis->setScaleType(logarithmic ? QCPAxis::stLogarithmic : QCPAxis::stLinear);
    yAxis->setTicker(logarithmic ? logTicker_.staticCast<QCPAxisTicker>() : linearTicker_);
    fitValues();
    redraw();
}

void ChannelPlot::fitValues()
{
    // Only positive values have a place on a logarithmic axis.
    const QCP::SignDomain domain = isLogarithmic() ? QCP::sdPositive : QCP::sdBoth;
    QCPRange values;
    bool found = false;
    for (QCPGraph *graph : channels_) {
        bool inGraph = false;
        const QCPRange range = graph->getValueRange(inGraph, domain, xAxis->range());
        if (!inGraph)
            continue;
        if (found)
            values.expand(range);
        else
            values = range;
        found = true;
    }
    // No value in view (nothing, or only gaps): the axis stays where it is.
    if (!found)
        return;
    if (values.size() <= 0) {
        // A flat line: an axis around it, its value in the middle.
        const double around = values.lower == 0 ? kFlatZeroSpan : qAbs(values.lower) * kFlatSpan;
        values = isLogarithmic()
                     ? QCPRange(values.lower / kFlatLogFactor, values.lower * kFlatLogFactor)
                     : QCPRange(values.lower - around, values.lower + around);
    }
    yAxis->setRange(values);
    yAxis->scaleRange(kValueMargin);
}

void ChannelPlot::setTipSource(std::function<QString(double key)> tipAt)
{
    tipAt_ = std::move(tipAt);
}

void ChannelPlot::redraw()
{
    if (isVisible())
        replot(rpQueuedReplot);
    else
        stale_ = true;
}

// The right button, or Ctrl with the left, draws the box; the left button
// alone pans. Only one of them may own a press.
void ChannelPlot::mousePressEvent(QMouseEvent *event)
{
    const bool box =
        event->button() == Qt::RightButton
        || (event->button() == Qt::LeftButton && event->modifiers().testFlag(Qt::ControlModifier));
    setSelectionRectMode(box ? QCP::srmZoom : QCP::srmNone);
    QToolTip::hideText();
    QCustomPlot::mousePressEvent(event);
}

void ChannelPlot::mouseMoveEvent(QMouseEvent *event)
{
    QCustomPlot::mouseMoveEvent(event);
    if (event->buttons() == Qt::NoButton)
        showTip(event);
    else if (event->buttons() == Qt::LeftButton && selectionRectMode() == QCP::srmNone)
        emit viewMovedByUser();
}

void ChannelPlot::mouseDoubleClickEvent(QMouseEvent *event)
{
    QCustomPlot::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit showAllRequested();
}

void ChannelPlot::wheelEvent(QWheelEvent *event)
{
    QCustomPlot::wheelEvent(event);
    emit viewMovedByUser();
}

// A plot shown at a new size was drawn by its resize event just before; one
// shown again at its old size is drawn here if it changed meanwhile.
void ChannelPlot::showEvent(QShowEvent *event)
{
    QCustomPlot::showEvent(event);
    if (stale_)
        replot(rpQueuedReplot);
    stale_ = false;
}

void ChannelPlot::resizeEvent(QResizeEvent *event)
{
    QCustomPlot::resizeEvent(event);
    stale_ = false;
}

void ChannelPlot::showTip(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    const QRect plotArea = axisRect()->rect();
    const QString tip =
        tipAt_ && plotArea.contains(at) ? tipAt_(xAxis->pixelToCoord(at.x())) : QString();
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(event->globalPosition().toPoint(), tip, this, plotArea);
}
