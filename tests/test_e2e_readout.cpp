// End to end: a read-out of the simulated instrument's memory through a
// pseudo-terminal, the record table it leaves, Clear data, and the watchdog.
#include "sim/generator.h"
#include "support/bytes.h"
#include "support/sim_core.h"
#include "support/wait.h"

#include <QtTest>

namespace {

const QString kBanner = QString(44, QLatin1Char(' ')) + QStringLiteral("Harlune");
const QString kHeader = QStringLiteral("   组数  一路电流 二路电流 三路电流       时间             "
                                       "  组数   一路电流 二路电流 三路电流      时间           ");

// What a reading must show, worked out with whole numbers only.
QString expectedReading(const sim::Reading &r)
{
    const int v = r.value();
    if (v == sim::kOverloadValue)
        return QStringLiteral("    OL");
    if (v == sim::kErrorValue)
        return QStringLiteral("err");
    QString unit;
    switch (r.status & 0xF0) {
    case 0x40: unit = QStringLiteral("mA"); break;
    case 0x30: unit = QStringLiteral("A"); break;
    case 0x20: unit = QStringLiteral("kA"); break;
    default: break;
    }
    const int d = r.status & 0x0F;
    if (d < 1 || d > 3)
        return QString::number(v) + unit;
    const int divisor = d == 1 ? 10 : d == 2 ? 100 : 1000;
    QString frac = QStringLiteral("%1").arg(v % divisor, d, 10, QLatin1Char('0'));
    if (v % divisor != 0) {
        while (frac.endsWith(QLatin1Char('0')))
            frac.chop(1);
    }
    return QString::number(v / divisor) + QLatin1Char('.') + frac + unit;
}

QString twoDigits(int n) { return n < 10 ? QStringLiteral("0%1").arg(n) : QString::number(n); }

QString expectedRecordText(qint32 g, bool seconds)
{
    const sim::Record rec = sim::groupRecord(g);
    QString s = QStringLiteral("NO.%1").arg(g, 6, 10, QLatin1Char('0'));
    for (int c = 0; c < sim::kChannels; ++c) {
        const QString r = expectedReading(sim::recordReading(rec, c));
        s += (r.size() < 8 ? QString(8 - r.size(), QLatin1Char(' ')) : QStringLiteral(" ")) + r;
    }
    s += QStringLiteral("  20") + twoDigits(rec[sim::kRecordYear]) + QLatin1Char('/')
         + twoDigits(rec[sim::kRecordMonth]) + QLatin1Char('/') + twoDigits(rec[sim::kRecordDay])
         + QLatin1Char('/') + twoDigits(rec[sim::kRecordHour]) + QLatin1Char(':')
         + twoDigits(rec[sim::kRecordMinute]);
    if (seconds)
        s += QLatin1Char(':') + twoDigits(rec[sim::kRecordSecond]);
    return s;
}

bool channelOneReadsErr(qint32 g)
{
    return sim::recordReading(sim::groupRecord(g), 0).value() == sim::kErrorValue;
}

// Every group read is listed, two to a line, whatever its readings: a group
// whose channel 1 reads err too.
QStringList expectedTable(qint32 first, qint32 last, bool seconds)
{
    QStringList lines{kBanner, kHeader};
    for (qint32 g = first; g <= last; g += 2) {
        const QString right = g < last ? expectedRecordText(g + 1, seconds) : QString();
        lines << expectedRecordText(g, seconds) + QStringLiteral("     ") + right;
    }
    return lines;
}

// The lines of the record table the instrument listed last.
QStringList listedLines(const SimCore &w)
{
    if (w.listed.isEmpty())
        return {QStringLiteral("<nothing listed>")};
    QString text = w.listed.last();
    if (!text.endsWith(QStringLiteral("\r\n")))
        return {QStringLiteral("<table text does not end with CR LF>")};
    text.chop(2);
    return text.split(QStringLiteral("\r\n"));
}

void expectSlotsMatchTheInstrument(const SimCore &w, qint32 first, qint32 last)
{
    const QString mismatch = storeMismatch(w.core->store(), first, last);
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
}

// Read, then the range as chosen in the dialog, and OK: the read-out is under way.
void readRange(SimCore &w, const QString &from, const QString &to)
{
    QString why;
    QVERIFY2(w.readRange(from, to, &why), qPrintable(why));
    QVERIFY(w.core->isBusy());
}

}  // namespace

class EndToEndReadOutTest : public QObject {
    Q_OBJECT
private slots:
    void readsTwoThousandFiveHundredGroups()
    {
        SimCore w;
        readRange(w, QStringLiteral("1"), QStringLiteral("2500"));
        QVERIFY(waitUntil([&] { return w.completions + w.interruptions.size() == 1; }, 20000));

        QCOMPARE(w.blockFrames(),
                 (QList<QByteArray>{bytes({0xAA, 0x00, 0x00, 0x01, 0x00, 0x0A, 0x00, 0x55}),
                                    bytes({0xAA, 0x00, 0x0A, 0x01, 0x00, 0x14, 0x00, 0x55}),
                                    bytes({0xAA, 0x00, 0x14, 0x01, 0x00, 0x19, 0x00, 0x55})}));
        expectSlotsMatchTheInstrument(w, 1, 2500);
        // Completed, and nothing else told: the window shows its completion message.
        QCOMPARE(w.interruptions, QStringList{});
        QCOMPARE(w.completions, 1);
        QCOMPARE(w.nothingToRead, 0);

        // The busy lock is lifted: the commands and the status display are back.
        QVERIFY(!w.core->isBusy());
        QCOMPARE(w.busy, (QList<bool>{true, false}));
        for (LinkTimer *t : {&testing(w.core).Timer2(), &testing(w.core).Timer3()})
            QVERIFY(t->isActive());
        QVERIFY(!testing(w.core).Timer4().isActive());

        QCOMPARE(int(w.core->secFlag()), 1);  // the simulator stamps seconds
        // The listed block holds groups whose channel 1 reads err.
        QVERIFY(channelOneReadsErr(2194));
        QCOMPARE(listedLines(w), expectedTable(2001, 2500, true));

        w.core->clearData();
        QCOMPARE(w.listed.last(),
                 kBanner + QStringLiteral("\r\n") + kHeader + QStringLiteral("\r\n"));
    }

    void tableWithoutSeconds()
    {
        sim::SimOptions options;
        options.instrument.secondsFlag = false;
        SimCore w(options);
        readRange(w, QStringLiteral("57"), QStringLiteral("99"));
        QVERIFY(waitUntil([&] { return w.completions + w.interruptions.size() == 1; }, 10000));
        QCOMPARE(w.interruptions, QStringList{});
        QCOMPARE(w.completions, 1);
        QCOMPARE(listedLines(w), expectedTable(57, 99, false));
    }

    // The instrument stays silent on the second block request: the watchdog asks
    // again on its 31st tick. The answer is stored; since the first request
    // might still be answered late, the third block is asked for only after a
    // whole watchdog period of quiet line. The read-out completes with correct data.
    void watchdogResendsTheUnansweredBlock()
    {
        sim::SimOptions options;
        options.instrument.faults.silentOn = 2;
        SimCore w(options);
        readRange(w, QStringLiteral("1"), QStringLiteral("2500"));
        // The test gives the watchdog's ticks itself: the running timer's own
        // ticks go nowhere.
        testing(w.core).Timer4().blockSignals(true);
        QVERIFY(waitUntil([&] { return w.blockFrames().size() == 2; }, 5000));
        waitUntil([] { return false; }, 300);
        for (int i = 0; i < 30; ++i)
            testing(w.core).Timer4_Timer();
        waitUntil([] { return false; }, 300);
        QCOMPARE(w.blockFrames().size(), 2);
        QCOMPARE(w.completions, 0);
        QVERIFY(w.interruptions.isEmpty());
        testing(w.core).Timer4_Timer();
        QCOMPARE(w.blockFrames().size(), 3);
        QCOMPARE(w.blockFrames()[2], w.blockFrames()[1]);
        QVERIFY(waitUntil(
            [&] { return w.core->readPhase() == Instrument::ReadPhase::AwaitingLate; }, 5000));
        for (int i = 0; i < 30; ++i)
            testing(w.core).Timer4_Timer();
        QCOMPARE(w.blockFrames().size(), 3);
        testing(w.core).Timer4_Timer();
        QVERIFY(waitUntil([&] { return w.completions + w.interruptions.size() == 1; }, 10000));
        QCOMPARE(w.interruptions, QStringList{});
        QCOMPARE(w.completions, 1);
        QCOMPARE(w.blockFrames().size(), 4);
        expectSlotsMatchTheInstrument(w, 1, 2500);
    }
};

QTEST_GUILESS_MAIN(EndToEndReadOutTest)
#include "test_e2e_readout.moc"
