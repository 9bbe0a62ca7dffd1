#include "support/core_harness.h"

#include "core/link/read_plan.h"
#include "support/read_out.h"

CoreHarness::CoreHarness(std::initializer_list<int> present, bool load)
{
    qputenv("HARLUNE_PORT_DIR", portDir.path().toLocal8Bit());
    auto fake = std::make_unique<FakeSerialIo>();
    io = fake.get();
    for (int p : present)
        io->presentDevices.append(deviceOf(p));
    core = std::make_unique<Instrument>(std::move(fake), Instrument::Timing::Manual);
    record(core.get());
    if (load)
        core->load();
}

CoreHarness::~CoreHarness()
{
    core.reset();
    qunsetenv("HARLUNE_PORT_DIR");
}

QString CoreHarness::deviceOf(int port) const
{
    return portDir.filePath(QStringLiteral("COM%1").arg(port));
}

QList<QByteArray> CoreHarness::takeWrites()
{
    QList<QByteArray> out;
    out.swap(io->writes);
    return out;
}

void CoreHarness::quietLine(int limit)
{
    for (int i = 0; i < limit && testing(core).lineTimer().isActive(); ++i)
        testing(core).lineTimer().fire();
}

void CoreHarness::searchStep()
{
    if (testing(core).probeWindow().isActive())
        testing(core).probeWindow().fire();
    testing(core).Timer2_Timer();
}

void CoreHarness::link()
{
    const qsizetype before = io->writes.size();
    testing(core).senddat(frames::kProbe);
    io->writes.resize(before);
    receive(probeReply());
}

void CoreHarness::secondsFlag(quint8 on)
{
    const qsizetype before = io->writes.size();
    testing(core).senddat(frames::kProbe);
    io->writes.resize(before);
    receive(probeReply(on == 1 ? 0xFF : 0x00));
}

void CoreHarness::storeGroups(qint32 first, qint32 last,
                              const std::function<GroupRecord(qint32)> &record)
{
    const qsizetype before = io->writes.size();
    startReadOut(*this, first, last);
    while (io->writes.size() > before && core->readPhase() != Instrument::ReadPhase::Idle) {
        const QByteArray frame = io->writes.takeLast();
        receiveBlock(blockReplyFor(frame, [&](qint32 g) { return recordBytes(record(g)); }));
    }
    io->writes.resize(before);
}

QByteArray CoreHarness::probeReply(quint8 byte15) { return shortReply(0x11, byte15); }

QByteArray shortReply(quint8 code, quint8 byte15, quint8 byte16, quint8 byte17)
{
    QByteArray r(20, '\0');
    r[0] = char(0xAA);
    r[15] = char(byte15);
    r[16] = char(byte16);
    r[17] = char(byte17);
    r[19] = char(code);
    return r;
}
