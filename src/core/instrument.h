#pragma once

#include "core/link/block_reader.h"
#include "core/link/count_request.h"
#include "core/link/link_mode.h"
#include "core/link/live_poll.h"
#include "core/link/port_search.h"
#include "core/link/read_out.h"
#include "core/link/serial_link.h"
#include "core/link_timer.h"
#include "core/records/records.h"

#include <QObject>
#include <QString>

#include <memory>

namespace read_plan {
struct Plan;
}
class SerialIo;

// The instrument on its serial port, and what was read from it: the one
// object front ends (the window, the command line) talk to. It is a façade
// over parts with one job each, which own their state and their timers:
//
//   SerialLink    the line, the command last sent, the link flag and mode
//   PortSearch    the port search and supervision (Timer2), the port notes
//   LivePoll      the live poll (Timer3) and the live history
//   CountRequest  Read: the group count and its deadline
//   BlockReader   the read-out: plan, framing, watchdog (Timer4), busy lock
//   Records       the record store, its listing and the formatter
//
// Front ends read the state through the getters, learn what happened from
// the signals and ask for things through the slots. The receive event is
// taken here and handed to the part whose command it answers.
class Instrument : public QObject {
    Q_OBJECT
public:
    using Timing = LinkTimer::Timing;
    using ReadPhase = BlockReader::ReadPhase;
    using LiveReading = ::LiveReading;
    using CountFailure = CountRequest::Failure;

    // Real timing for a program; manual timing for tests, which keep the
    // clock themselves.
    explicit Instrument(std::unique_ptr<SerialIo> io, Timing timing = Timing::Real,
                        QObject *parent = nullptr);
    ~Instrument() override;

    // ---- State ------------------------------------------------------------------
    LinkMode mode() const { return link_.mode(); }
    const MSComm &serial() const { return link_.serial(); }
    const RecordStore &store() const { return records_.store(); }
    // Every live reading since start-up, up to a day of them, with the link's
    // losses as gaps.
    const LiveHistory &liveHistory() const { return live_.history(); }
    qint16 commOk() const { return link_.commOk(); }    // 1 = the instrument answered lately
    quint8 secFlag() const { return link_.secFlag(); }  // 1 = time stamps carry seconds

    // The group count, and the range read last.
    qint32 savesum() const { return count_.savesum(); }       // groups stored in the instrument
    qint32 lssavesum() const { return reader_.lssavesum(); }  // first group of the range
    qint32 memnum() const { return reader_.memnum(); }        // groups in the range
    ReadPhase readPhase() const { return reader_.readPhase(); }
    bool isBusy() const { return reader_.isBusy(); }  // the busy lock of a read-out holds
    // The last block this read-out stored; storedLast < lssavesum while none.
    qint32 storedLast() const { return reader_.storedLast(); }

    // The port the status shows: the search's while searching, otherwise the open one.
    qint16 port() const { return search_.shownPort(); }
    // A problem worth the status bar: "COMn = device：why"; empty for none.
    QString portProblem() const { return search_.portProblem(); }
    // Port -> why it is not the instrument's.
    const QHash<qint16, port_problem::Note> &portNotes() const { return search_.portNotes(); }
    // "COM3 = /dev/ttyUSB2", with the port's note when it has one; empty
    // when the number names no device.
    QString portTip() const { return search_.portTip(); }

    // Lists the present groups first to last (0 standing for 1 and for the
    // last slot) as the record table's text.
    void listRecords(qint32 first, qint32 last) { records_.listRecords(first, last); }

public slots:
    // ---- What front ends ask for ----------------------------------------------------
    // Read, OK and Clear data are not taken while a read-out runs.
    // Start-up: opens the port, runs Clear data, and the search and the live
    // poll take up their work.
    void load();
    // Read: asks for the group count while the instrument answers (the
    // search and the live poll pause for it); tells groupCountFailed when it
    // cannot, or when no count comes.
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
    // The port number the user chose; the search goes on from it.
    void setPort(qint16 port);
    // The program ends: every timer stops and the port closes.
    void shutDown();

signals:
    // The link's mode changed.
    void linkModeChanged(LinkMode mode);
    // The instrument started or stopped answering; a loss is a gap in the
    // live history.
    void linkChanged(bool linked);
    // The open port went away (unplugged, or the device hung up) and was closed.
    void portLost();
    // A valid live reply, kept in the live history before it is told.
    void liveReading(const Instrument::LiveReading &reading);
    // The group-count reply: the read-range dialog's turn.
    void groupCountArrived(qint32 savesum);
    // Read brought no group count; the link is back at its everyday work
    // and `message` says why.
    void groupCountFailed(Instrument::CountFailure why, const QString &message);
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
    friend class InstrumentTesting;

    void MSComm1_OnComm();
    void MSComm1_PortLost();

    std::unique_ptr<ManualClock> clock_;  // manual timing only
    SerialLink link_;
    Records records_;
    PortSearch search_;
    LivePoll live_;
    CountRequest count_;
    BlockReader reader_;
};
