#include "sim/pty_instrument.h"

#include <algorithm>

namespace sim {

namespace {
constexpr int kGarbageBurstBytes = 4;
}  // namespace

PtyInstrument::PtyInstrument(const QString &portDir, int port, const SimOptions &options,
                             QObject *parent)
    : QObject(parent), options_(options), instrument_(options.instrument), port_(portDir, port)
{
    connect(&port_, &PtyPort::received, this, &PtyInstrument::onReceived);
    connect(&port_, &PtyPort::outputDrained, this, &PtyInstrument::outputDrained);
    connect(&garbageTimer_, &QTimer::timeout, this, &PtyInstrument::onGarbageTick);
    reopenTimer_.setSingleShot(true);
    connect(&reopenTimer_, &QTimer::timeout, this, &PtyInstrument::reopen);
    setLineRate(options.lineRate);
    clock_.start();
    port_.open();
}

void PtyInstrument::setSilent(bool silent)
{
    if (silent) {
        ++generation_;
        port_.discardOutput();
    }
    instrument_.setSilent(silent);
}

void PtyInstrument::silenceLater(int afterMs, int forMs)
{
    QTimer::singleShot(afterMs, this, [this, forMs] {
        setSilent(true);
        QTimer::singleShot(forMs, this, [this] { setSilent(false); });
    });
}

void PtyInstrument::sendGarbage(const QByteArray &bytes) { port_.write(bytes); }

void PtyInstrument::setGarbageEvery(int intervalMs)
{
    if (intervalMs <= 0) {
        garbageTimer_.stop();
        return;
    }
    garbageTimer_.start(intervalMs);
}

void PtyInstrument::onGarbageTick()
{
    if (!instrument_.isSilent())
        port_.write(garbageBytes(kGarbageBurstBytes, garbageSeed_++));
}

void PtyInstrument::closeFor(int pauseMs)
{
    ++generation_;
    port_.close();
    instrument_.dropPartialFrame();
    emit unlinked();
    reopenTimer_.start(pauseMs);
}

void PtyInstrument::closeLater(int afterMs, int pauseMs)
{
    QTimer::singleShot(afterMs, this, [this, pauseMs] { closeFor(pauseMs); });
}

void PtyInstrument::reopen()
{
    if (port_.open())
        emit linked(port_.devicePath());
    else
        emit openFailed(port_.errorString());
}

void PtyInstrument::setLineRate(bool paced)
{
    port_.setLineRate(paced ? kLineRateBytesPerSecond : 0);
}

void PtyInstrument::onReceived(const QByteArray &bytes)
{
    const Command commands[] = {Command::Probe, Command::GroupCount, Command::LiveReading,
                                Command::Block};
    int heardBefore[std::size(commands)];
    for (std::size_t i = 0; i < std::size(commands); ++i)
        heardBefore[i] = instrument_.requestCount(commands[i]);
    const int turnaround = std::max(options_.turnaroundMs, 0);
    const int lineRate = options_.lineRate ? kLineRateBytesPerSecond : 0;
    for (const Delivery &d : instrument_.respond(bytes)) {
        const qint64 now = clock_.elapsed();
        const qint64 due = std::max(now + turnaround + d.delayMs, lastDueMs_ + turnaround);
        lastDueMs_ = due;
        for (const Piece &piece : adapterPieces(d.bytes, options_.adapter, lineRate)) {
            sendAt(due + piece.offsetMs, piece.bytes);
            lastDueMs_ = due + piece.offsetMs;
        }
    }
    for (std::size_t i = 0; i < std::size(commands); ++i) {
        for (int n = instrument_.requestCount(commands[i]) - heardBefore[i]; n > 0; --n)
            emit requestHeard(int(commands[i]));
    }
}

void PtyInstrument::sendAt(qint64 dueMs, const QByteArray &bytes)
{
    const qint64 now = clock_.elapsed();
    if (dueMs <= now) {
        port_.write(bytes);
        return;
    }
    const quint64 generation = generation_;
    QTimer::singleShot(int(dueMs - now), Qt::PreciseTimer, this, [this, bytes, generation] {
        if (generation == generation_)
            port_.write(bytes);
    });
}

}  // namespace sim
