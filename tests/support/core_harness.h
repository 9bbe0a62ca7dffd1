#pragma once

#include "core/instrument.h"
#include "support/bytes.h"
#include "support/fake_serial_io.h"
#include "support/instrument_recorder.h"
#include "support/instrument_testing.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

// An instrument on a fake serial port, with manual timing: the test is the
// clock and fires the timers itself. The port directory is a temporary
// folder, so COMn stands for <dir>/COMn; the ports listed in `present` open,
// the others fail like missing devices. What the instrument tells is
// recorded, in order (InstrumentRecorder).
struct CoreHarness : InstrumentRecorder {
    // `load` runs the instrument's start-up, as the program does.
    explicit CoreHarness(std::initializer_list<int> present = {1}, bool load = true);
    ~CoreHarness();

    QString deviceOf(int port) const;
    // The frames written since the last call, one per write.
    QList<QByteArray> takeWrites();
    // Delivers bytes to the instrument as the port would.
    void receive(const QByteArray &bytes) { io->inject(bytes); }
    // The line stays quiet until the line timer runs out: its timeout runs
    // now, as many times as it is started again (at most `limit`).
    void quietLine(int limit = 1);
    // A block reply followed by a quiet line, as a healthy instrument sends it.
    void receiveBlock(const QByteArray &bytes)
    {
        receive(bytes);
        quietLine();
    }
    // A tick of the port search once the probe window of the last step has
    // passed unanswered: the search moves on to the next port.
    void searchStep();
    // The instrument is probed on the current port and answers: linked. The
    // probe frame is not among the writes.
    void link();
    static QByteArray probeReply(quint8 byte15 = 0);
    // The instrument says, in its answer to a probe, whether time stamps carry
    // seconds (secFlag 1 or 0); linked on the current port.
    void secondsFlag(quint8 on);
    // The groups first..last come into the store as the instrument sends
    // them: a whole read-out of that range, each group made by `record(g)`.
    void storeGroups(qint32 first, qint32 last, const std::function<GroupRecord(qint32)> &record);

    QTemporaryDir portDir;
    FakeSerialIo *io;  // owned by core
    std::unique_ptr<Instrument> core;
};

// A 20-byte short reply: 0xAA, zeros, byte 15 and the code at byte 19.
QByteArray shortReply(quint8 code, quint8 byte15 = 0, quint8 byte16 = 0, quint8 byte17 = 0);
