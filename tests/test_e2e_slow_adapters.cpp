// End to end through a pseudo-terminal: read-outs behind the USB-serial
// adapters the simulator plays, which deliver a reply in packets with the
// last one late. Stray bytes in front of a reply whose last bytes come late
// are never taken for a block: every stored group is the instrument's.
#include "support/sim_core.h"
#include "support/wait.h"

#include <QtTest>

namespace {
constexpr int kReadOutMs = 60000;
constexpr int kGroups = 3000;  // three blocks
}  // namespace

Q_DECLARE_METATYPE(sim::SimOptions)

class EndToEndSlowAdaptersTest : public QObject {
    Q_OBJECT
private slots:
    void readsRightBehindTheAdapter_data()
    {
        QTest::addColumn<sim::SimOptions>("options");
        QTest::addColumn<int>("mostRequests");  // block requests, re-sends included
        sim::SimOptions stray;
        stray.instrument.faults.strayBefore = 2;
        stray.adapter.lateTailBytes = 3;
        stray.adapter.lateTailMs = 20;
        QTest::newRow("stray bytes before block 2, its last 3 bytes 20 ms later") << stray << 4;
        sim::SimOptions packets;
        packets.adapter.packetBytes = 62;
        packets.adapter.packetGapMs = 16;
        QTest::newRow("62-byte packets 16 ms apart") << packets << 3;
        sim::SimOptions ftdi;
        ftdi.lineRate = true;
        ftdi.adapter.packetBytes = 62;
        ftdi.adapter.latencyMs = 16;
        ftdi.instrument.faults.strayBefore = 2;
        QTest::newRow("at line rate behind a 16 ms latency timer, stray bytes before block 2")
            << ftdi << 4;
    }
    void readsRightBehindTheAdapter()
    {
        QFETCH(sim::SimOptions, options);
        QFETCH(int, mostRequests);
        options.instrument.groups = kGroups;
        SimCore w(options);
        QString why;
        QVERIFY2(w.readRange(QStringLiteral("1"), QString::number(kGroups), &why), qPrintable(why));
        QVERIFY(waitUntil([&] { return w.completions + w.interruptions.size() == 1; }, kReadOutMs));
        QCOMPARE(w.completions, 1);
        const QString mismatch = storeMismatch(w.core->store(), 1, kGroups);
        QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
        QVERIFY2(w.blockFrames().size() <= mostRequests,
                 qPrintable(QString::number(w.blockFrames().size())));
    }
};

QTEST_GUILESS_MAIN(EndToEndSlowAdaptersTest)
#include "test_e2e_slow_adapters.moc"
