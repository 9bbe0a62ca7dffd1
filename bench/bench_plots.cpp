// The plots at full size: opening the chart of 200000 stored groups up to its
// first paint, a full replot of 200000 × 3 points, a zoom and a pan, a block
// of 1000 groups added during a read-out, the memory the chart adds, and the
// live trend with a full day of readings. Each figure is the median of
// several runs, next to a baseline from the same run: the same window empty,
// or the store's own work for the same groups.
//
// With `--pictures DIR` it only saves pictures of both windows at full size
// into DIR, for the documentation.
#include "core/live_history.h"
#include "core/records/record_store.h"
#include "gui/plots/channel_plot.h"
#include "gui/plots/live_trend_window.h"
#include "gui/plots/plot_window.h"
#include "gui/plots/stored_chart_window.h"
#include "process_memory.h"
#include "support/recording_ui.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QPushButton>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <functional>
#include <malloc.h>
#include <memory>
#include <vector>

namespace {

constexpr qint32 kGroups = 200000;
constexpr qint32 kBlock = 1000;
constexpr int kOpenRuns = 5;
constexpr int kReplotRuns = 30;
constexpr int kPaintTimeoutMs = 10000;
// Every this many groups an overload, and an error on another channel: the
// lines have gaps all along, as a long recording does.
constexpr qint32 kOverloadEvery = 997;
constexpr qint32 kErrorEvery = 1499;

// A recording of a slowly swinging current with noise, in mA with two decimals.
GroupRecord groupRecord(qint32 g)
{
    GroupRecord r;
    for (int c = 0; c < 3; ++c) {
        const double swing = std::sin(g / (3000.0 + 700.0 * c)) * 4000.0;
        const int noise = int((quint32(g) * 2654435761u >> (8 + c)) % 300);
        r.val[c] = quint16(12000 + int(swing) + noise - 150);
        r.stat[c] = 0x42;
    }
    if (g % kOverloadEvery == 0)
        r.val[1] = record_store::kOverloadValue;
    if (g % kErrorEvery == 0)
        r.val[2] = record_store::kErrorValue;
    const int seconds = g * 2;
    r.year = 24;
    r.month = 5;
    r.day = quint8(1 + seconds / 86400);
    r.hour = quint8(seconds / 3600 % 24);
    r.minute = quint8(seconds / 60 % 60);
    r.second = quint8(seconds % 60);
    return r;
}

void fill(RecordStore &store, qint32 first, qint32 last)
{
    for (qint32 g = first; g <= last; ++g)
        store.storeRecord(g, groupRecord(g));
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

double msSince(const QElapsedTimer &clock) { return clock.nsecsElapsed() / 1e6; }

// Notes the first paint of a widget.
class PaintSpy : public QObject {
public:
    explicit PaintSpy(QWidget *widget) { widget->installEventFilter(this); }
    bool painted = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

bool waitForPaint(const PaintSpy &spy)
{
    QElapsedTimer clock;
    clock.start();
    while (!spy.painted && clock.elapsed() < kPaintTimeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return spy.painted;
}

struct Bench {
    RecordStore store;  // groups 1 to 200000
    RecordStore empty;  // no groups
    QWidget mainWindow;
    RecordingUi ui;

    Bench()
    {
        empty.clear();
        store.clear();
        fill(store, 1, kGroups);
    }

    // From the menu click to the chart's first paint: made on the click
    // (`made` false) or made beforehand and only shown.
    double openMs(const RecordStore &from, bool made)
    {
        std::unique_ptr<StoredChartWindow> window;
        const auto make = [&] {
            window = std::make_unique<StoredChartWindow>(from, ui, &mainWindow);
            window->showRange(1, kGroups, 1);
        };
        if (made)
            make();
        QElapsedTimer clock;
        clock.start();
        if (!made)
            make();
        PaintSpy spy(window->plot());
        window->openOrRaise();
        if (!waitForPaint(spy))
            return -1;
        return msSince(clock);
    }

    double medianOpenMs(const RecordStore &from, bool made)
    {
        std::vector<double> runs;
        for (int i = 0; i < kOpenRuns; ++i)
            runs.push_back(openMs(from, made));
        return median(runs);
    }
};

// A shown window's plot, replotted and painted at once, `kReplotRuns` times
// after `step` changes its view each time.
double replotMs(ChannelPlot *plot, const std::function<void(int)> &step = {})
{
    std::vector<double> runs;
    for (int i = 0; i < kReplotRuns; ++i) {
        if (step)
            step(i);
        QElapsedTimer clock;
        clock.start();
        plot->replot(QCustomPlot::rpImmediateRefresh);
        runs.push_back(msSince(clock));
    }
    return median(runs);
}

std::unique_ptr<StoredChartWindow> shownChart(Bench &bench, const RecordStore &from)
{
    auto window = std::make_unique<StoredChartWindow>(from, bench.ui, &bench.mainWindow);
    window->showRange(1, kGroups, 1);
    PaintSpy spy(window->plot());
    window->openOrRaise();
    waitForPaint(spy);
    return window;
}

void printFigure(const char *what, double ms, double baselineMs, const char *baseline,
                 const char *goal)
{
    std::printf("  %-38s %8.2f ms  (%6.1f x %s: %.2f ms)  %s\n", what, ms,
                baselineMs > 0 ? ms / baselineMs : 0.0, baseline, baselineMs, goal);
}

// Resident memory added by a chart window, shown and replotted: the peak and
// what stays while it is open, in MiB.
struct Added {
    double peak = 0;
    double open = 0;
};

Added addedBy(Bench &bench, const RecordStore &from)
{
    const double before = process_memory::statusMiB("VmRSS:");
    const bool peakReset = process_memory::resetPeak();
    Added added;
    {
        auto window = shownChart(bench, from);
        replotMs(window->plot());
        added.open = process_memory::statusMiB("VmRSS:") - before;
    }
    added.peak = peakReset ? process_memory::statusMiB("VmHWM:") - before : 0;
    // What the window freed goes back to the system, so the next figure does
    // not start on memory it can reuse.
    malloc_trim(0);
    return added;
}

void memory(Bench &bench)
{
    // The empty chart first: as the program's first plot window it brings in
    // what the main window already has in the program (fonts, styles), and
    // the full one then adds what is its own.
    const Added empty = addedBy(bench, bench.empty);
    const Added full = addedBy(bench, bench.store);
    std::printf("\nMemory of the chart with %d groups (store of %.1f MiB already resident)\n",
                kGroups,
                bench.store.bytes() / (process_memory::kKiBPerMiB * process_memory::kKiBPerMiB));
    std::printf("  empty chart, first window, peak added: %8.1f MiB\n", empty.peak);
    std::printf("  full chart, peak RSS added:            %8.1f MiB  (goal <= 40 MiB)\n",
                full.peak);
    std::printf("  full chart, resident while open:       %8.1f MiB\n", full.open);
}

void chart(Bench &bench)
{
    std::printf("\nChart of the stored groups, %d groups × 3 channels\n", kGroups);
    const double openEmpty = bench.medianOpenMs(bench.empty, false);
    printFigure("open, made on the click", bench.medianOpenMs(bench.store, false), openEmpty,
                "empty chart", "(goal <= 300 ms)");
    printFigure("open, made beforehand", bench.medianOpenMs(bench.store, true), openEmpty,
                "empty chart", "");

    auto emptyWindow = shownChart(bench, bench.empty);
    const double emptyReplot = replotMs(emptyWindow->plot());
    emptyWindow.reset();
    auto window = shownChart(bench, bench.store);
    ChannelPlot *plot = window->plot();
    const QCPRange all = plot->xAxis->range();
    printFigure("full replot", replotMs(plot), emptyReplot, "empty chart", "(goal <= 30 ms)");
    // The same lines 1.5 px wide, which the raster engine strokes as outlines:
    // why the lines are one device pixel.
    const std::array<QPen, ChannelPlot::kChannels> pens = {
        plot->channel(0)->pen(), plot->channel(1)->pen(), plot->channel(2)->pen()};
    for (int c = 0; c < ChannelPlot::kChannels; ++c)
        plot->channel(c)->setPen(QPen(pens[c].color(), 1.5));
    printFigure("full replot, lines 1.5 px wide", replotMs(plot), emptyReplot, "empty chart", "");
    for (int c = 0; c < ChannelPlot::kChannels; ++c)
        plot->channel(c)->setPen(pens[c]);
    // Zoom: in to a tenth and out again, as wheel turns do.
    printFigure("zoom (a tenth, then all)",
                replotMs(plot,
                         [&](int i) {
                             if (i % 2 == 0)
                                 plot->xAxis->setRange(all.center(), all.size() / 10,
                                                       Qt::AlignCenter);
                             else
                                 plot->xAxis->setRange(all);
                         }),
                emptyReplot, "empty chart", "");
    // Pan: a tenth of the groups in view, moved by a hundredth each step.
    plot->xAxis->setRange(all.lower, all.lower + all.size() / 10);
    printFigure("pan (a tenth in view)",
                replotMs(plot, [&](int) { plot->xAxis->moveRange(all.size() / 100); }), emptyReplot,
                "empty chart", "");
    plot->xAxis->setRange(all.center(), kBlock, Qt::AlignCenter);
    printFigure("replot, 1000 groups in view", replotMs(plot), emptyReplot, "empty chart", "");
}

// A read-out of the whole store in blocks of 1000 into a shown chart: the
// cost of addBlock, and of the replot each block queues. The baseline is
// storing the block's groups, which the read-out does anyway.
void readOut(Bench &bench)
{
    RecordStore store;
    store.clear();
    StoredChartWindow chart(store, bench.ui, &bench.mainWindow);
    PaintSpy spy(chart.plot());
    chart.openOrRaise();
    waitForPaint(spy);
    chart.startReadOut(1, kGroups, 1);
    std::vector<double> store1000, add, replot;
    for (qint32 first = 1; first <= kGroups; first += kBlock) {
        const qint32 last = first + kBlock - 1;
        QElapsedTimer clock;
        clock.start();
        fill(store, first, last);
        store1000.push_back(msSince(clock));
        clock.restart();
        chart.addBlock(first, last);
        add.push_back(msSince(clock));
        clock.restart();
        QCoreApplication::processEvents();  // the queued replot
        replot.push_back(msSince(clock));
    }
    std::printf("\nRead-out of %d groups in blocks of %d into the open chart\n", kGroups, kBlock);
    const double storeMs = median(store1000);
    printFigure("addBlock, median", median(add), storeMs, "storing the block", "(goal <= 5 ms)");
    printFigure("addBlock, slowest", *std::max_element(add.begin(), add.end()), storeMs,
                "storing the block", "");
    printFigure("the replot a block queues, median", median(replot), storeMs, "storing the block",
                "");
    printFigure("the same, last 20 blocks",
                median(std::vector<double>(replot.end() - 20, replot.end())), storeMs,
                "storing the block", "");
}

// A full day of live readings, the link lost for ten seconds every hour;
// `g` ends at the next group to use.
void fillDay(LiveHistory &history, qint32 &g)
{
    constexpr qint64 kReadingMs = 500;
    constexpr qint64 kHourMs = 60 * 60 * 1000;
    constexpr qint64 kLossMs = 10 * 1000;
    const qint64 start =
        QDateTime::currentMSecsSinceEpoch() - LiveHistory::kDayOfReadings * kReadingMs;
    for (qint64 t = start; history.size() < history.capacity(); t += kReadingMs, ++g) {
        if (t % kHourMs < kLossMs) {
            history.markGap(t);
            continue;
        }
        const GroupRecord r = groupRecord(g);
        history.appendReading(t, r.val, r.stat);
    }
}

void trend(Bench &bench)
{
    LiveHistory history;
    qint32 g = 0;
    fillDay(history, g);

    LiveHistory none;
    LiveTrendWindow emptyTrend(none, bench.ui, &bench.mainWindow);
    PaintSpy emptySpy(emptyTrend.plot());
    emptyTrend.openOrRaise();
    waitForPaint(emptySpy);
    const double emptyReplot = replotMs(emptyTrend.plot());
    emptyTrend.close();

    LiveTrendWindow window(history, bench.ui, &bench.mainWindow);
    PaintSpy spy(window.plot());
    window.openOrRaise();
    waitForPaint(spy);
    std::printf("\nLive trend, a full day: %lld readings and link losses × 3 channels\n",
                static_cast<long long>(history.size()));
    printFigure("replot, last 10 minutes", replotMs(window.plot()), emptyReplot, "empty trend", "");
    emit window.plot()->showAllRequested();
    printFigure("full replot, all 24 h", replotMs(window.plot()), emptyReplot, "empty trend",
                "(goal <= 30 ms)");

    // A new reading with the ring full, in the scrolling view: the oldest
    // goes, the newest comes, the view moves on and is drawn.
    emit window.plot()->viewMovedByUser();
    QPushButton *recent = window.findChild<QPushButton *>();
    recent->click();
    std::vector<double> runs;
    for (int i = 0; i < kReplotRuns; ++i, ++g) {
        const GroupRecord r = groupRecord(g);
        QElapsedTimer clock;
        clock.start();
        history.appendReading(QDateTime::currentMSecsSinceEpoch(), r.val, r.stat);
        window.readingAdded();
        QCoreApplication::processEvents();
        runs.push_back(msSince(clock));
    }
    printFigure("a new reading, ring full, drawn", median(runs), emptyReplot, "empty trend", "");
}

// Both windows as a user sees them after a read-out of every group and a day
// on the live link, saved as PNG.
int pictures(Bench &bench, const QString &dir)
{
    constexpr QSize kWindowSize(1100, 700);
    const auto save = [&](PlotWindow &window, const QString &name) {
        window.resize(kWindowSize);
        PaintSpy spy(window.plot());
        window.openOrRaise();
        waitForPaint(spy);
        const QString path = dir + QLatin1Char('/') + name;
        if (!window.grab().save(path)) {
            std::fprintf(stderr, "cannot save %s\n", qPrintable(path));
            return false;
        }
        std::printf("%s\n", qPrintable(path));
        return true;
    };
    StoredChartWindow chart(bench.store, bench.ui, &bench.mainWindow);
    chart.showRange(1, kGroups, 1);
    LiveHistory history;
    qint32 g = 0;
    fillDay(history, g);
    LiveTrendWindow trend(history, bench.ui, &bench.mainWindow);
    emit trend.plot()->showAllRequested();
    return save(chart, QStringLiteral("chart.png")) && save(trend, QStringLiteral("live-trend.png"))
               ? 0
               : 1;
}

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Bench bench;
    const QStringList args = app.arguments();
    const qsizetype picturesAt = args.indexOf(QStringLiteral("--pictures"));
    if (picturesAt > 0 && picturesAt + 1 < args.size())
        return pictures(bench, args.at(picturesAt + 1));
    // First, before other windows leave memory to reuse.
    memory(bench);
    chart(bench);
    readOut(bench);
    trend(bench);
    return 0;
}
