#pragma once

#include "gui/plots/plot_window.h"
#include "gui/plots/trend_series.h"

class LiveHistory;
class QPushButton;

// "实时曲线 - Harlune": every live reading since start-up against the
// computer's clock, with a gap wherever the link was lost. It shows the last
// 10 minutes and scrolls with new readings; zooming or panning stops that, a
// double click shows the whole history, and "最近 10 分钟" goes back to
// scrolling. Not modal; closing hides it.
class LiveTrendWindow : public PlotWindow {
    Q_OBJECT
public:
    // `history`, `dialogs` and `mainWindow` must outlive the window.
    LiveTrendWindow(const LiveHistory &history, UiSeam &dialogs, QWidget *mainWindow);

    // The hover tip at an X coordinate: the nearest entry's time and readings.
    QString tipAt(double key) const;

public slots:
    // The history gained a reading, or a gap where the link was lost: both
    // take in what is new and move the view along.
    void readingAdded();
    void gapAdded();

protected:
    QString pictureName() const override;

private:
    enum class View {
        Recent,  // the last 10 minutes, scrolling
        All,     // the whole history, growing
        Free,    // where the user zoomed or panned to
    };
    void setView(View view);
    void takeNewEntries();
    // The X range of the view, and the values in it.
    void applyView();

    const LiveHistory &history_;
    TrendSeries series_;
    QPushButton *recent_;
    View view_ = View::Recent;
};
