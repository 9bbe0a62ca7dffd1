#pragma once

#include "core/instrument.h"
#include "platform/qt_serial_io.h"
#include "sim/pty_instrument.h"
#include "support/instrument_recorder.h"
#include "support/instrument_testing.h"

#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// The real serial stack, remembering every device it was asked to open and every frame it wrote.
class RecordingSerialIo : public QtSerialIo {
public:
    bool open(const QString &device, const LineSettings &settings) override
    {
        openAttempts.append(device);
        return QtSerialIo::open(device, settings);
    }
    void write(const QByteArray &bytes) override
    {
        writes.append(bytes);
        QtSerialIo::write(bytes);
    }
    QStringList openAttempts;
    QList<QByteArray> writes;
};

// The instrument on the real serial stack with real timing, and the simulated
// instrument on a pseudo-terminal linked as COM3 (or `port`) in a temporary
// port directory. No window: what the instrument tells is recorded.
struct SimCore : InstrumentRecorder {
    // `load` runs the instrument's start-up, as the program does.
    explicit SimCore(const sim::SimOptions &options = {}, int port = 3, bool load = true);
    virtual ~SimCore();

    QString deviceOf(int port) const;
    // The block request frames written so far.
    QList<QByteArray> blockFrames() const;
    // The simulator goes away as if killed, and comes back on a new terminal.
    void killInstrument() { instrument.reset(); }
    void startInstrument(const sim::SimOptions &options = {});
    bool isLinked() const { return core->commOk() == 1; }

    // Once linked: Read, then the range from..to as typed into the read-range
    // dialog, and OK. False (with the reason in *why) when a step did not
    // happen in time.
    virtual bool readRange(const QString &from, const QString &to, QString *why);

    QTemporaryDir portDir;
    std::unique_ptr<sim::PtyInstrument> instrument;
    RecordingSerialIo *io;  // owned by core
    std::unique_ptr<Instrument> core;
    int port;
};

// Empty when every slot first..last holds what the simulator holds for that
// group; otherwise the first difference.
QString storeMismatch(const RecordStore &store, qint32 first, qint32 last);
