#include "support/sim_core.h"

#include "core/link/read_plan.h"
#include "sim/generator.h"
#include "support/bytes.h"
#include "support/read_out.h"
#include "support/wait.h"

namespace {
constexpr int kLinkTimeoutMs = 5000;
constexpr int kCountTimeoutMs = 3000;
}  // namespace

SimCore::SimCore(const sim::SimOptions &options, int port, bool load) : port(port)
{
    qputenv("HARLUNE_PORT_DIR", portDir.path().toLocal8Bit());
    instrument = std::make_unique<sim::PtyInstrument>(portDir.path(), port, options);
    auto realIo = std::make_unique<RecordingSerialIo>();
    io = realIo.get();
    core = std::make_unique<Instrument>(std::move(realIo));
    record(core.get());
    if (load)
        core->load();
}

SimCore::~SimCore()
{
    core.reset();
    instrument.reset();
    qunsetenv("HARLUNE_PORT_DIR");
}

QString SimCore::deviceOf(int port) const
{
    return portDir.filePath(QStringLiteral("COM%1").arg(port));
}

QList<QByteArray> SimCore::blockFrames() const
{
    QList<QByteArray> out;
    for (const QByteArray &w : io->writes) {
        if (w.size() == 8 && quint8(w[7]) == 0x55)
            out.append(w);
    }
    return out;
}

void SimCore::startInstrument(const sim::SimOptions &options)
{
    instrument = std::make_unique<sim::PtyInstrument>(portDir.path(), port, options);
}

bool SimCore::readRange(const QString &from, const QString &to, QString *why)
{
    if (!waitUntil([&] { return isLinked(); }, kLinkTimeoutMs)) {
        *why = QStringLiteral("not linked");
        return false;
    }
    const qsizetype counts = groupCounts.size();
    core->read();
    if (!waitUntil([&] { return groupCounts.size() > counts; }, kCountTimeoutMs)) {
        *why = QStringLiteral("no group count");
        return false;
    }
    core->startReadOut(read_plan::fromTexts(read_plan::Choice::Range, from, to, core->savesum()));
    return true;
}

QString storeMismatch(const RecordStore &store, qint32 first, qint32 last)
{
    for (qint32 g = first; g <= last; ++g) {
        const QString mismatch = slotMismatch(store, g, bytes(sim::groupRecord(g)));
        if (!mismatch.isEmpty())
            return mismatch;
    }
    return QString();
}
