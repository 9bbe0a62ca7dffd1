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

    QTemporaryDir portDir;
    std::unique_ptr<sim::PtyInstrument> instrument;
    RecordingSerialIo *io;  // owned by comm
    std::unique_ptr<MSComm> comm;
    RecordingUi ui;
    std::unique_ptr<Form1> form;
};
