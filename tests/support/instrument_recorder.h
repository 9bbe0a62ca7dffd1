#pragma once

#include "core/instrument.h"

#include <QList>
#include <QPair>
#include <QStringList>

#include <functional>

// Records, in order, what an instrument tells through its signals.
struct InstrumentRecorder {
    void record(Instrument *instrument);
    // Forgets everything told so far.
    void forget();

    QStringList listed;         // record-table texts
    QList<int> progress;        // percentages
    int completions = 0;        // read-outs completed
    QStringList interruptions;  // why read-outs ended early
    int nothingToRead = 0;
    QList<qint32> groupCounts;
    QList<bool> busy;
    QList<bool> links;  // linkChanged
    int portLosses = 0;
    int storeClears = 0;
    QList<Instrument::LiveReading> live;
    QList<QPair<qint32, qint32>> blocks;  // blockStored
    // Runs when a read-out completes, before the busy lock is lifted, as
    // while a window shows its completion message.
    std::function<void()> whileCompleting;
};
