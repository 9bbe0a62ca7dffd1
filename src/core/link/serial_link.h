#pragma once

#include "core/link/frames.h"
#include "core/link/link_mode.h"
#include "platform/mscomm.h"

#include <QByteArray>
#include <QObject>

#include <memory>

class SerialIo;

// While linked, Timer2 counts a tick of silence this often; the link is lost
// on the 31st silent tick.
constexpr int kLinkedPaceMs = 70;

// The line to the instrument and the state of the link, written down here
// and nowhere else: the serial control, the command last sent, the bytes last
// received, whether the instrument answers, and the link's mode. The parts of
// the instrument (the port search, the live poll, the group count, the
// read-out) send through it and change the mode through it; each follows the
// mode with its own timers.
class SerialLink : public QObject {
    Q_OBJECT
public:
    explicit SerialLink(std::unique_ptr<SerialIo> io, QObject *parent = nullptr);

    const MSComm &serial() const { return MSComm1; }
    MSComm &port() { return MSComm1; }

    LinkMode mode() const { return mode_; }
    qint16 commOk() const { return commOk_; }            // 1 = the instrument answered lately
    qint16 silentTicks() const { return silentTicks_; }  // Timer2 ticks since its last answer
    qint16 lastCmd() const { return lastCmd_; }  // dat of the last senddat; picks the decoder
    const frames::Frame &cmdBuf() const { return cmdBuf_; }  // the last command frame built
    const QByteArray &rxBuf() const { return rxBuf_; }       // bytes of the last receive event
    quint8 secFlag() const { return secFlag_; }              // 1 = time stamps carry seconds

    // The one place the mode changes; told when it does.
    void setMode(LinkMode mode);
    // Back to the link's everyday work once a wait is over: polling live
    // while the instrument answers, searching otherwise.
    void resume();
    // Start-up: every part takes up the mode the link is in, and follows it
    // from now on. Before, the parts' timers stay as they are: an instrument
    // can be looked at without any of them running.
    void announceMode();

    // Builds the frame for command dat (probe, group count, live reading),
    // arms the receiver for its reply and sends it; any other dat sends the
    // last frame once more. Nothing goes out on a closed port.
    void senddat(qint16 dat);
    // The same for a block request: its frame, and its reply's length.
    void senddat(const frames::BlockRequest &block);

    // The receive event's bytes: at most InputLen of them into rxBuf, the
    // rest dropped. True when more were waiting than were taken.
    bool takeReply();
    void setSecFlag(quint8 flag) { secFlag_ = flag; }

    // The instrument answered: the silence count starts again, and a link
    // that was down is up.
    void markLinkAlive();
    // The link flag; the mode follows it while the link is at its everyday work.
    void setLinked(bool linked);
    // One tick of Timer2's supervision: the link is lost on the 31st silent one.
    void countSilentTick();
    // The ticks a silence of `ms` stands for, while Timer2 did not run.
    void countSilence(qint64 ms);

signals:
    void modeChanged(LinkMode mode);
    void linkChanged(bool linked);
    // A reply that is the instrument's came (before any change of the link).
    void answered();

private:
    void send();

    MSComm MSComm1;
    LinkMode mode_ = LinkMode::Searching;
    bool announced_ = false;  // the parts follow the mode
    frames::Frame cmdBuf_{};
    qint16 lastCmd_ = 0;
    QByteArray rxBuf_;
    qint16 commOk_ = 0;
    qint16 silentTicks_ = 0;
    quint8 secFlag_ = 0;
};
