#include "support/instrument_recorder.h"

void InstrumentRecorder::record(Instrument *c)
{
    QObject::connect(c, &Instrument::recordsListed, [this](const QString &t) { listed << t; });
    QObject::connect(c, &Instrument::progressChanged, [this](int p) { progress << p; });
    QObject::connect(c, &Instrument::readOutCompleted, [this] {
        ++completions;
        if (whileCompleting)
            whileCompleting();
    });
    QObject::connect(c, &Instrument::readOutInterrupted,
                     [this](read_out::End, const QString &why) { interruptions << why; });
    QObject::connect(c, &Instrument::nothingToRead, [this] { ++nothingToRead; });
    QObject::connect(c, &Instrument::groupCountArrived, [this](qint32 n) { groupCounts << n; });
    QObject::connect(c, &Instrument::busyChanged, [this](bool b) { busy << b; });
    QObject::connect(c, &Instrument::linkChanged, [this](bool l) { links << l; });
    QObject::connect(c, &Instrument::portLost, [this] { ++portLosses; });
    QObject::connect(c, &Instrument::storeCleared, [this] { ++storeClears; });
    QObject::connect(c, &Instrument::liveReading,
                     [this](const Instrument::LiveReading &r) { live << r; });
    QObject::connect(c, &Instrument::blockStored,
                     [this](qint32 first, qint32 last) { blocks << qMakePair(first, last); });
}

void InstrumentRecorder::forget()
{
    const auto whileCompletingKept = std::move(whileCompleting);
    *this = InstrumentRecorder();
    whileCompleting = whileCompletingKept;
}
