#pragma once

#include "core/instrument.h"

#include <memory>

// The one way tests (and the fuzzer and the benchmarks) reach inside the
// instrument: its parts' timers, to fire them; the procedures that only the
// parts call themselves; and the state that no front end needs.
class InstrumentTesting {
public:
    explicit InstrumentTesting(Instrument &instrument) : i_(instrument) {}

    ManualClock &clock() { return *i_.clock_; }
    SerialLink &link() { return i_.link_; }
    PortSearch &search() { return i_.search_; }
    BlockReader &reader() { return i_.reader_; }
    CountRequest &count() { return i_.count_; }
    Records &records() { return i_.records_; }

    // The timers.
    LinkTimer &Timer2() { return i_.search_.timer2_; }
    LinkTimer &probeWindow() { return i_.search_.probeWindow_; }
    LinkTimer &Timer3() { return i_.live_.timer3_; }
    LinkTimer &countTimer() { return i_.count_.countTimer_; }
    LinkTimer &Timer4() { return i_.reader_.timer4_; }
    LinkTimer &lineTimer() { return i_.reader_.lineTimer_; }

    // The procedures.
    void senddat(qint16 dat) { i_.link_.senddat(dat); }
    void openPort() { i_.search_.openPort(); }
    void MSComm1_OnComm() { i_.MSComm1_OnComm(); }
    void MSComm1_PortLost() { i_.MSComm1_PortLost(); }
    void Timer2_Timer() { i_.search_.Timer2_Timer(); }
    void Timer3_Timer() { i_.live_.Timer3_Timer(); }
    void Timer4_Timer() { i_.reader_.Timer4_Timer(); }
    void lineTimer_Timer() { i_.reader_.lineTimer_Timer(); }
    void interruptReadOut(read_out::End why) { i_.reader_.interruptReadOut(why); }
    void fmtReading(const QString &value, const QString &status)
    {
        i_.records_.fmtReading(value, status);
    }

    // The state behind the parts.
    qint16 silentTicks() const { return i_.link_.silentTicks(); }
    qint16 lastCmd() const { return i_.link_.lastCmd(); }
    const frames::Frame &cmdBuf() const { return i_.link_.cmdBuf(); }
    const QByteArray &rxBuf() const { return i_.link_.rxBuf(); }
    QString fmtText() const { return i_.records_.fmtText(); }
    qint16 blockRetryTicks() const { return i_.reader_.blockRetryTicks(); }
    qint32 startsave() const { return i_.reader_.startsave(); }
    qint32 endsave() const { return i_.reader_.endsave(); }
    qint16 memmul() const { return i_.reader_.memmul(); }
    qint16 memrem() const { return i_.reader_.memrem(); }
    qint16 lsmemmul() const { return i_.reader_.lsmemmul(); }
    qint32 storedFirst() const { return i_.reader_.storedFirst(); }
    qint16 searchPort() const { return i_.search_.port(); }
    const QHash<qint16, port_problem::Note> &portNotes() const { return i_.search_.portNotes(); }

private:
    Instrument &i_;
};

inline InstrumentTesting testing(Instrument &instrument) { return InstrumentTesting(instrument); }
inline InstrumentTesting testing(Instrument *instrument) { return InstrumentTesting(*instrument); }
inline InstrumentTesting testing(const std::unique_ptr<Instrument> &instrument)
{
    return InstrumentTesting(*instrument);
}
