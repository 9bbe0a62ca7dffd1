#include "core/instrument.h"

#include "platform/serial_io.h"

Instrument::Instrument(std::unique_ptr<SerialIo> io, Timing timing, QObject *parent)
    : QObject(parent), clock_(timing == Timing::Manual ? std::make_unique<ManualClock>() : nullptr),
      link_(std::move(io)), records_(link_), search_(link_, timing, clock_.get()),
      live_(link_, records_, timing, clock_.get()), count_(link_, timing, clock_.get()),
      reader_(link_, records_, timing, clock_.get())
{
    connect(&link_.port(), &MSComm::OnComm, this, &Instrument::MSComm1_OnComm);
    connect(&link_.port(), &MSComm::PortLost, this, &Instrument::MSComm1_PortLost);
    // The parts took their connections first: by the time a front end hears
    // of a change, every part has followed it.
    connect(&link_, &SerialLink::modeChanged, this, &Instrument::linkModeChanged);
    connect(&link_, &SerialLink::linkChanged, this, &Instrument::linkChanged);
    connect(&live_, &LivePoll::liveReading, this, &Instrument::liveReading);
    connect(&count_, &CountRequest::groupCountArrived, this, &Instrument::groupCountArrived);
    connect(&count_, &CountRequest::groupCountFailed, this, &Instrument::groupCountFailed);
    connect(&reader_, &BlockReader::busyChanged, this, &Instrument::busyChanged);
    connect(&reader_, &BlockReader::readOutStarted, this, &Instrument::readOutStarted);
    connect(&reader_, &BlockReader::progressChanged, this, &Instrument::progressChanged);
    connect(&reader_, &BlockReader::blockStored, this, &Instrument::blockStored);
    connect(&reader_, &BlockReader::readOutCompleted, this, &Instrument::readOutCompleted);
    connect(&reader_, &BlockReader::readOutInterrupted, this, &Instrument::readOutInterrupted);
    connect(&reader_, &BlockReader::nothingToRead, this, &Instrument::nothingToRead);
    connect(&records_, &Records::recordsListed, this, &Instrument::recordsListed);
    connect(&records_, &Records::storeCleared, this, &Instrument::storeCleared);
}

Instrument::~Instrument() = default;

// Start-up. The work starts here, not in the constructor, so that an
// instrument can be made and looked at without any timer running.
void Instrument::load()
{
    search_.load();
    clearData();
    link_.announceMode();
}

void Instrument::shutDown()
{
    search_.stop();
    live_.stop();
    count_.stop();
    reader_.stop();
    link_.port().setPortOpen(false);
}

void Instrument::read() { count_.read(); }

void Instrument::startReadOut(const read_plan::Plan &plan) { reader_.startReadOut(plan); }

void Instrument::resumeLink()
{
    if (link_.mode() != LinkMode::ReadingOut)
        link_.resume();
}

void Instrument::abandonReadOut() { reader_.abandonReadOut(); }

void Instrument::setPort(qint16 port) { search_.setPort(port); }

// Clear data, not under a running read-out, whose search and poll must stay
// quiet. A count still awaited is given up: the user has moved on.
void Instrument::clearData()
{
    if (link_.mode() == LinkMode::ReadingOut)
        return;
    records_.clear();
    count_.abandon();
    link_.resume();
}

// The port went away under us (unplugged, or the device hung up). The
// instrument is gone with it: the status says so at once, and a wait for
// the count or a read-out in progress ends.
void Instrument::MSComm1_PortLost()
{
    link_.setLinked(false);
    emit portLost();
    count_.portLost();
    reader_.portLost();
}
