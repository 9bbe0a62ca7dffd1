#pragma once

#include "platform/mscomm.h"
#include "platform/qt_serial_io.h"
#include "sim/pty_instrument.h"
#include "support/recording_ui.h"
#include "window/form1.h"

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

// The main window on the real serial stack, and the simulated instrument on a
// pseudo-terminal linked as COM3 in a temporary port directory. Timers run for real.
struct SimWindow {
    explicit SimWindow(const sim::SimOptions &options = {}, int port = 3);
    ~SimWindow();

    QString deviceOf(int port) const;
    // The block request frames written so far.
    QList<QByteArray> blockFrames() const;
    // The simulator goes away as if killed, and comes back on a new terminal.
    void killInstrument() { instrument.reset(); }
    void startInstrument(const sim::SimOptions &options = {});

    // Once linked: Read, then the range from..to in the dialog, and OK.
    // False (with the reason in *why) when a step did not happen in time.
    bool readRange(const QString &from, const QString &to, QString *why);

    QTemporaryDir portDir;
    std::unique_ptr<sim::PtyInstrument> instrument;
    RecordingSerialIo *io;  // owned by comm
    std::unique_ptr<MSComm> comm;
    RecordingUi dialogs;
    std::unique_ptr<Form1> form;
    int port;
};

// Empty when every slot first..last holds what the simulator holds for that
// group; otherwise the first difference.
QString storeMismatch(const Form1 &f, qint32 first, qint32 last);
