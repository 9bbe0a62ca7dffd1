#pragma once

#include "platform/mscomm.h"
#include "support/bytes.h"
#include "support/fake_serial_io.h"
#include "support/recording_ui.h"
#include "window/form1.h"

#include <QByteArray>
#include <QTemporaryDir>

#include <memory>

// A main window wired to a fake serial port and a recording UI seam.
// The port directory is a temporary folder, so COMn stands for <dir>/COMn;
// the ports listed in `present` open, the others fail like missing devices.
// The window's timers are stopped, so tests drive the ticks themselves.
struct Form1Harness {
    explicit Form1Harness(std::initializer_list<int> present = {1});
    ~Form1Harness();

    QString deviceOf(int port) const;
    // The frames written since the last call, one per write.
    QList<QByteArray> takeWrites();
    // Stops every timer of the window.
    void stopTimers();
    // A tick of the port search once the probe window of the last step has
    // passed unanswered: the search moves on to the next port.
    void searchStep();
    // Delivers bytes to the window as the port would.
    void receive(const QByteArray &bytes) { io->inject(bytes); }
    // The line stays quiet until the window's line timer runs out: its
    // timeout runs now, as many times as it is started again (at most `limit`).
    void quietLine(int limit = 1);
    // A block reply followed by a quiet line, as a healthy instrument sends it.
    void receiveBlock(const QByteArray &bytes)
    {
        receive(bytes);
        quietLine();
    }

    QTemporaryDir portDir;
    FakeSerialIo *io;  // owned by comm
    std::unique_ptr<MSComm> comm;
    RecordingUi dialogs;
    std::unique_ptr<Form1> form;
    int endProgramCalls = 0;
    std::function<void()> programsOwnEnd;  // the window's own Exit, which the harness replaces
};

// The tooltip `w` shows when the mouse rests on it.
QString hoverTip(QWidget *w);

// A 20-byte short reply: 0xAA, zeros, byte 15 and the code at byte 19.
QByteArray shortReply(quint8 code, quint8 byte15 = 0, quint8 byte16 = 0, quint8 byte17 = 0);
