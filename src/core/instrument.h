#pragma once

#include "core/link/frames.h"
#include "core/link/port_problem.h"
#include "core/link/read_out.h"
#include "core/link/replies.h"
#include "core/link_timer.h"
#include "core/live_history.h"
#include "core/records/record_store.h"
#include "platform/mscomm.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>

#include <array>
#include <memory>
#include <optional>

namespace read_plan {
struct Plan;
}

// The instrument on its serial port, and what was read from it. It finds the
// port the instrument answers on, supervises the link, polls the live
// readings, and runs a read-out block by block into the record store, with
// exact framing and a watchdog. It owns the serial control, the link's
// timers, the link state, the read plan and the record store; front ends
// (the window, the command line) read its state through the getters, learn
// what happened from its signals and ask for things through its slots.
//
// The procedures keep the names they have always had (senddat, openPort,
// MSComm1_OnComm, storeBlock, Timer2_Timer ...), so whoever knows the
// program finds them.
class Instrument : public QObject {
    Q_OBJECT
public:
    using Timing = LinkTimer::Timing;

    // Where a read-out stands with the block being read. A block reply has no
    // header, length or check: it is taken only when exactly its length
    // arrived and the line then stays quiet.
    enum class ReadPhase {
        Idle,          // no read-out
        Receiving,     // a block request is out; waiting for its reply
        Settling,      // the reply's length is in; waiting for a quiet line
        Draining,      // the delivery was wrong; dropping bytes until the line is quiet
        AwaitingLate,  // stored after a re-send; the earlier request's reply may still come
    };

    // A live reading of the three channels: as the instrument sent them, and
    // as the window shows them ("12.34mA", "OL", "err").
    struct LiveReading {
        std::array<replies::Reading, 3> raw;
        std::array<QString, 3> texts;
    };

    // Real timing for a program; manual timing for tests, which fire the timers themselves.
    explicit Instrument(std::unique_ptr<SerialIo> io, Timing timing = Timing::Real,
                        QObject *parent = nullptr);
    ~Instrument() override;

    // ---- State ------------------------------------------------------------------
    const MSComm &serial() const { return MSComm1; }
    const RecordStore &store() const { return store_; }
    // Every live reading since start-up, up to a day of them, with the link's
    // losses as gaps.
    const LiveHistory &liveHistory() const { return liveHistory_; }

    qint16 commOk() const { return commOk_; }            // 1 = the instrument answered lately
    qint16 silentTicks() const { return silentTicks_; }  // Timer2 ticks since its last answer
    qint16 lastCmd() const { return lastCmd_; }  // dat of the last senddat; picks the decoder
    const frames::Frame &cmdBuf() const { return cmdBuf_; }  // the last command frame built
    const QByteArray &rxBuf() const { return rxBuf_; }       // bytes of the last receive event
    quint8 secFlag() const { return secFlag_; }              // 1 = time stamps carry seconds
    QString fmtText() const { return fmtText_; }             // the last reading the formatter made
    qint16 blockRetryTicks() const { return blockRetryTicks_; }

    // The read plan: the range read last, and the block being read.
    qint32 savesum() const { return savesum_; }      // groups stored in the instrument
    qint32 startsave() const { return startsave_; }  // first group of the block to request
    qint32 endsave() const { return endsave_; }      // last group of the range
    qint32 lssavesum() const { return lssavesum_; }  // first group of the range
    qint32 memnum() const { return memnum_; }        // groups in the range
    qint16 memmul() const { return memmul_; }        // whole blocks of 1000 groups
    qint16 memrem() const { return memrem_; }        // groups in the final partial block
    qint16 lsmemmul() const { return lsmemmul_; }    // block being requested, from 1

    ReadPhase readPhase() const { return readPhase_; }
    bool isBusy() const { return busy_; }  // the busy lock of a read-out holds
    // The last block this read-out stored; storedLast < lssavesum while none.
    qint32 storedFirst() const { return storedFirst_; }
    qint32 storedLast() const { return storedLast_; }

    // The port number the search stands on, as decimal text ("3").
    QString portText() const { return portText_; }
    // Port -> why it is not the instrument's.
    const QHash<qint16, port_problem::Note> &portNotes() const { return portNotes_; }
    // A problem worth the status bar: "COMn = device：why"; empty for none.
    QString portProblem() const;
    // "COM3 = /dev/ttyUSB2", with the port's note when it has one; empty
    // when the port text names no device.
    QString portTip() const;

    // The link's timers: the search and supervision, the live poll, the
    // block watchdog, the line timer of block framing and the probe window.
    LinkTimer &Timer2() { return timer2_; }
    LinkTimer &Timer3() { return timer3_; }
    LinkTimer &Timer4() { return timer4_; }
    LinkTimer &lineTimer() { return lineTimer_; }
    LinkTimer &probeWindow() { return probeWindow_; }

    // ---- Procedures ---------------------------------------------------------------
    void senddat(qint16 dat);
    void openPort();
    void MSComm1_OnComm();
    void MSComm1_PortLost();
    void Timer2_Timer();
    void Timer3_Timer();
    void Timer4_Timer();
    void lineTimer_Timer();
    void showLive();
    void storeBlock();
    void lockControls();
    void unlockControls();
    void interruptReadOut(read_out::End why);
    // Formats one reading given as texts (raw value, status byte) into fmtText.
    void fmtReading(const QString &value, const QString &status);
    // Lists the present groups first to last (0 standing for 1 and for the
    // last slot) as the record table's text.
    void listRecords(qint32 first, qint32 last);

public slots:
    // ---- What front ends ask for ----------------------------------------------------
    // Read, OK and Clear data are not taken while a read-out runs.
    // Start-up: opens the port, runs Clear data, which lets the search and
    // the live poll run, and stops the watchdog.
    void load();
    // Read: quiets the search and the live poll and asks for the group count.
    void read();
    // OK in the read-range dialog: the plan becomes the read plan and the
    // read-out starts with its first block; a plan without groups says so.
    void startReadOut(const read_plan::Plan &plan);
    // Cancel in the read-range dialog: the search and the live poll run again.
    void resumeLink();
    // A front end stops the running read-out (the command line told to end):
    // it ends as interrupted, with the groups that arrived kept and Save cut
    // to them. Nothing happens while no read-out runs.
    void abandonReadOut();
    // Clear data: empties the record store, lists it and lets the search and
    // the live poll run again.
    void clearData();
    // The user's port number; the search goes on from it.
    void setPortText(const QString &text);
    // The program ends: every timer stops and the port closes.
    void shutDown();

signals:
    // The instrument started or stopped answering; a loss is a gap in the
    // live history.
    void linkChanged(bool linked);
    // The open port went away (unplugged, or the device hung up) and was closed.
    void portLost();
    // A valid live reply, kept in the live history before it is told.
    void liveReading(const Instrument::LiveReading &reading);
    // The group-count reply: the read-range dialog's turn.
    void groupCountArrived(qint32 savesum);
    // The busy lock of a read-out went on or off.
    void busyChanged(bool busy);
    // A read-out begins: its progress is 0.
    void readOutStarted();
    // Progress of a read-out in whole percent, after each stored group.
    void progressChanged(int percent);
    // The groups first to last were stored.
    void blockStored(qint32 first, qint32 last);
    // The record table's text, for the record view.
    void recordsListed(const QString &text);
    // The block that ends the range was stored. Handlers may wait (a
    // message box): the busy lock is lifted after they return.
    void readOutCompleted();
    // The read-out ended early; `message` says why and which groups arrived.
    void readOutInterrupted(read_out::End why, const QString &message);
    // OK on a range without stored groups: nothing was asked for.
    void nothingToRead();
    // Clear data emptied the record store.
    void storeCleared();

private:
    void setReadPlan(const read_plan::Plan &plan);
    void beginReadOut();
    void setLinked(bool linked);
    void markLinkAlive();
    void searchStep();
    void noteOpenOutcome();
    void noteNotInstrument();
    bool notePort(qint16 port, const QString &device, const port_problem::Note &note);
    void forgetPortNote();
    void armBlockReception(qint32 replyBytes);
    void blockDelivered(bool morePending);
    void blockLineNoise();
    qint32 lateRepliesOwed() const;
    void startDraining();
    void blockFailed();
    void acceptBlock();
    void advanceReadOut();

    MSComm MSComm1;
    RecordStore store_;
    LiveHistory liveHistory_;

    LinkTimer timer2_;
    LinkTimer timer3_;
    LinkTimer timer4_;
    LinkTimer lineTimer_;
    LinkTimer probeWindow_;

    // Link state.
    frames::Frame cmdBuf_{};
    qint16 lastCmd_ = 0;
    QByteArray rxBuf_;
    qint16 commOk_ = 0;
    qint16 silentTicks_ = 0;
    qint16 lastSearchedPort_ = 0;  // the port the last search step tried; 0 before the first
    qint16 blockRetryTicks_ = 0;
    quint8 secFlag_ = 0;
    QString fmtText_;
    bool busy_ = false;
    QString portText_ = QStringLiteral("1");  // Combo1's text at start

    // Read plan.
    qint32 savesum_ = 0;
    qint32 startsave_ = 0;
    qint32 endsave_ = 0;
    qint32 lssavesum_ = 0;
    qint32 memnum_ = 0;
    qint16 memmul_ = 0;
    qint16 memrem_ = 0;
    qint16 lsmemmul_ = 0;

    // Read-out in progress.
    ReadPhase readPhase_ = ReadPhase::Idle;
    qint16 blockRequests_ = 0;    // requests sent for the current block
    qint16 blockResends_ = 0;     // watchdog re-sends since the block last got a whole answer
    qint16 blockFailures_ = 0;    // deliveries of the current block that were not its reply
    qint32 blockReplyBytes_ = 0;  // what the current block's reply must hold
    qint32 stallBytes_ = -1;      // bytes in at the last stall check of a reply
    qint32 lateBytes_ = 0;        // bytes dropped while awaiting a late reply
    qint32 storedFirst_ = 0;
    qint32 storedLast_ = -1;

    // Port problems.
    struct PortProblem {
        qint16 port = 0;
        QString device;
        port_problem::Note note;
    };
    QHash<qint16, port_problem::Note> portNotes_;
    std::optional<PortProblem> portProblem_;              // the one worth the status bar
    QHash<QString, port_problem::Note> loggedPortNotes_;  // device -> the note last logged
};

Q_DECLARE_METATYPE(Instrument::LiveReading)
