#pragma once

#include "gui/plots/plot_window.h"
#include "gui/plots/stored_series.h"

class QComboBox;
class RecordStore;

// "曲线图 - Harlune": I1, I2 and I3 of the groups of the last read range that
// are present in the store, against their group numbers or their time stamps.
// It follows a read-out block by block and empties with Clear data. Not
// modal; closing hides it, and it keeps following while hidden.
class StoredChartWindow : public PlotWindow {
    Q_OBJECT
public:
    // `store`, `dialogs` and `mainWindow` must outlive the window.
    StoredChartWindow(const RecordStore &store, UiSeam &dialogs, QWidget *mainWindow);

    // Draws the present groups of the range first .. first + count - 1 (the
    // last read range) and shows them all; `secFlag` 1 when the time stamps
    // have seconds.
    void showRange(qint32 first, qint32 count, quint8 secFlag);
    // A read-out of that range begins: the chart is empty and spans the
    // range, for the blocks to fill.
    void startReadOut(qint32 first, qint32 count, quint8 secFlag);
    // The groups first to last were just stored during the read-out; their
    // present groups are added.
    void addBlock(qint32 first, qint32 last);
    // Clear data: no groups.
    void clearGroups();

    // The hover tip at an X coordinate: the nearest drawn group's record as
    // the table writes it; empty where nothing is drawn.
    QString tipAt(double key) const;

protected:
    QString pictureName() const override;

private:
    void setRange(qint32 first, qint32 count, quint8 secFlag, bool drawn);
    void setAxis(StoredSeries::Axis axis);
    // The X axis's ticks and title for the series' axis and seconds.
    void labelAxis();
    // Both axes over everything: the range and every drawn point.
    void showAll();

    const RecordStore &store_;
    StoredSeries series_;
    QComboBox *xAxisChoice_;
    qint32 first_ = 0;  // the range
    qint32 last_ = -1;
    // The user zoomed or panned: new blocks leave the view alone.
    bool userView_ = false;
};
