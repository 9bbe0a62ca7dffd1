#include "gui/form1.h"

#include "gui/plots/live_trend_window.h"
#include "gui/plots/stored_chart_window.h"

// The menu "视图": each item opens its window, or brings it to the front.
// A window is made the first time it is asked for, caught up with what the
// instrument holds, and from then on follows it.

void Form1::mnuChart_Click()
{
    if (!chart_) {
        chart_ = std::make_unique<StoredChartWindow>(core_->store(), *dialogs_, this);
        StoredChartWindow *chart = chart_.get();
        if (core_->readPhase() == Instrument::ReadPhase::Idle) {
            chart->showRange(core_->lssavesum(), core_->memnum(), core_->secFlag());
        } else {
            // Only what this read-out stored so far: the rest of the range
            // still holds what an earlier one left there.
            chart->startReadOut(core_->lssavesum(), core_->memnum(), core_->secFlag());
            if (core_->storedLast() >= core_->lssavesum())
                chart->addBlock(core_->lssavesum(), core_->storedLast());
        }
        connect(core_, &Instrument::readOutStarted, chart, [this, chart] {
            chart->startReadOut(core_->lssavesum(), core_->memnum(), core_->secFlag());
        });
        connect(core_, &Instrument::blockStored, chart, &StoredChartWindow::addBlock);
        connect(core_, &Instrument::storeCleared, chart, &StoredChartWindow::clearGroups);
    }
    chart_->openOrRaise();
}

void Form1::mnuTrend_Click()
{
    if (!trend_) {
        trend_ = std::make_unique<LiveTrendWindow>(core_->liveHistory(), *dialogs_, this);
        LiveTrendWindow *trend = trend_.get();
        connect(core_, &Instrument::liveReading, trend, &LiveTrendWindow::readingAdded);
        connect(core_, &Instrument::linkChanged, trend, [trend](bool linked) {
            if (!linked)
                trend->gapAdded();
        });
    }
    trend_->openOrRaise();
}
