#include "core/live_history.h"

#include <QtTest>

// The ring of live readings: what it keeps, in which order, and where the
// link-loss gaps go.
class LiveHistoryTest : public QObject {
    Q_OBJECT
private slots:
    void keeps_data();
    void keeps();
};

void LiveHistoryTest::keeps_data()
{
    // `steps`: "R" a reading, "G" a link loss, each at the next second. `kept`:
    // what the history then holds, oldest first, each entry named by its step.
    QTest::addColumn<int>("capacity");
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("kept");
    QTest::addColumn<int>("appended");
    QTest::newRow("empty") << 4 << ""
                           << "" << 0;
    QTest::newRow("below capacity") << 4 << "RRR"
                                    << "R0 R1 R2" << 3;
    QTest::newRow("exactly full") << 4 << "RRRR"
                                  << "R0 R1 R2 R3" << 4;
    QTest::newRow("wrapped once") << 4 << "RRRRRR"
                                  << "R2 R3 R4 R5" << 6;
    QTest::newRow("wrapped many times") << 3 << "RRRRRRRRRRR"
                                        << "R8 R9 R10" << 11;
    QTest::newRow("gap between readings") << 4 << "RRGR"
                                          << "R0 R1 G2 R3" << 4;
    QTest::newRow("no gap before any reading") << 4 << "GGRR"
                                               << "R2 R3" << 2;
    QTest::newRow("repeated loss is one gap") << 4 << "RGGGR"
                                              << "R0 G1 R4" << 3;
    QTest::newRow("gap wraps like a reading") << 2 << "RRGR"
                                              << "G2 R3" << 4;
    QTest::newRow("forgotten gap allows a new one") << 2 << "RGRRG"
                                                    << "R3 G4" << 5;
}

void LiveHistoryTest::keeps()
{
    QFETCH(int, capacity);
    QFETCH(QString, steps);
    QFETCH(QString, kept);
    QFETCH(int, appended);
    constexpr qint64 kStart = 1700000000000;
    constexpr qint64 kSecond = 1000;
    LiveHistory history(capacity);
    for (int i = 0; i < steps.size(); ++i) {
        const qint64 when = kStart + i * kSecond;
        if (steps[i] == QLatin1Char('G')) {
            history.markGap(when);
        } else {
            // The step's number in every field, so an entry shows where it came from.
            const quint16 raw[3] = {quint16(i), quint16(100 + i), quint16(200 + i)};
            const quint8 status[3] = {quint8(i), quint8(i + 1), quint8(i + 2)};
            history.appendReading(when, raw, status);
        }
    }

    QStringList names;
    for (qsizetype k = 0; k < history.size(); ++k) {
        const LiveHistory::Entry &e = history.at(k);
        const int step = int((e.msecsSinceEpoch - kStart) / kSecond);
        names << (e.gap ? QLatin1String("G") : QLatin1String("R")) + QString::number(step);
        if (!e.gap) {
            QCOMPARE(e.raw[0], quint16(step));
            QCOMPARE(e.raw[1], quint16(100 + step));
            QCOMPARE(e.raw[2], quint16(200 + step));
            QCOMPARE(e.status[2], quint8(step + 2));
        }
    }
    QCOMPARE(names.join(QLatin1Char(' ')), kept);
    QCOMPARE(history.appendedCount(), quint64(appended));
    QCOMPARE(history.capacity(), qsizetype(capacity));
}

QTEST_GUILESS_MAIN(LiveHistoryTest)
#include "test_live_history.moc"
