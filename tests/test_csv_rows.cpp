// The command line's CSV: amperes as plain decimals that mean exactly what the
// instrument's text means, the table's texts trimmed, ISO 8601 times and
// whole lines. The file itself is checked end to end against the simulator.
#include "core/export/csv_rows.h"
#include "core/records/reading_format.h"

#include <QDateTime>
#include <QtTest>

Q_DECLARE_METATYPE(GroupRecord)

namespace {

GroupRecord sampleGroup()
{
    GroupRecord r;
    r.val[0] = 1234;  // 12.34 mA
    r.stat[0] = 0x42;
    r.val[1] = record_store::kOverloadValue;
    r.stat[1] = 0x42;
    r.val[2] = 5;  // 0.005 mA
    r.stat[2] = 0x43;
    r.year = 1;
    r.month = 11;
    r.day = 15;
    r.hour = 14;
    r.minute = 20;
    r.second = 41;
    r.charge = 200;
    return r;
}

// The decimal text `digits` (no sign, maybe a point) with its point moved
// `shift` places to the right (left when negative), written without leading
// or trailing zeros and without a bare point: "2575.5", -3 -> "2.5755".
QString shiftedDecimal(const QString &digits, int shift)
{
    const qsizetype point = digits.indexOf(QLatin1Char('.'));
    QString whole = digits;
    qsizetype pointAt = point < 0 ? digits.size() : point;
    if (point >= 0)
        whole.remove(point, 1);
    pointAt += shift;
    while (pointAt < 1) {
        whole.prepend(QLatin1Char('0'));
        ++pointAt;
    }
    while (pointAt > whole.size())
        whole.append(QLatin1Char('0'));
    QString intPart = whole.left(pointAt);
    QString fraction = whole.mid(pointAt);
    while (intPart.size() > 1 && intPart.startsWith(QLatin1Char('0')))
        intPart.remove(0, 1);
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    return fraction.isEmpty() ? intPart : intPart + QLatin1Char('.') + fraction;
}

}  // namespace

class CsvRowsTest : public QObject {
    Q_OBJECT
private slots:
    // Where the table shows no current in a unit, the amperes are empty and
    // the text is the table's, trimmed; worked by hand where there is one.
    void amperesAndText_data()
    {
        QTest::addColumn<int>("raw");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("amperes");
        QTest::addColumn<QString>("text");
        QTest::newRow("2575.5 mA") << 25755 << 0x41 << "2.5755"
                                   << "2575.5mA";
        QTest::newRow("0.001 kA") << 1 << 0x23 << "1"
                                  << "0.001kA";
        QTest::newRow("OL") << int(record_store::kOverloadValue) << 0x42 << ""
                            << "OL";
        QTest::newRow("err") << int(record_store::kErrorValue) << 0x42 << ""
                             << "err";
        QTest::newRow("no unit (0x50)") << 1234 << 0x52 << ""
                                        << "12.34";
        QTest::newRow("no unit (0x00)") << 1234 << 0x02 << ""
                                        << "12.34";
    }
    void amperesAndText()
    {
        QFETCH(int, raw);
        QFETCH(int, status);
        QTEST(csv_rows::amperesText(quint16(raw), quint8(status)), "amperes");
        QTEST(csv_rows::readingText(quint16(raw), quint8(status)), "text");
    }

    // Every raw value with every unit and decimal count: the amperes are the
    // display text's number with its point moved by the unit, digit for digit.
    void amperesAreTheDisplayTextMoved_data()
    {
        QTest::addColumn<int>("unit");
        QTest::addColumn<int>("shift");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("mA") << 0x40 << -3 << "mA";
        QTest::newRow("A") << 0x30 << 0 << "A";
        QTest::newRow("kA") << 0x20 << 3 << "kA";
    }
    void amperesAreTheDisplayTextMoved()
    {
        QFETCH(int, unit);
        QFETCH(int, shift);
        QFETCH(QString, suffix);
        constexpr int kHighestRaw = 25755;
        for (int decimals = 0; decimals <= 4; ++decimals) {
            const quint8 status = quint8(unit | decimals);
            for (int raw = 0; raw <= kHighestRaw; ++raw) {
                if (raw == record_store::kOverloadValue || raw == record_store::kErrorValue)
                    continue;
                QString shown = reading_format::formatReading(raw, status);
                QVERIFY(shown.endsWith(suffix));
                shown.chop(suffix.size());
                const QString expected = shiftedDecimal(shown, shift);
                const QString text = csv_rows::amperesText(quint16(raw), status);
                if (text != expected)
                    QFAIL(qPrintable(QStringLiteral("raw %1 status 0x%2: %3, not %4")
                                         .arg(raw)
                                         .arg(status, 0, 16)
                                         .arg(text, expected)));
            }
        }
    }

    void isoTime_data()
    {
        QTest::addColumn<GroupRecord>("record");
        QTest::addColumn<int>("secFlag");
        QTest::addColumn<QString>("text");
        GroupRecord early;
        early.year = 21;
        early.month = 1;
        early.day = 2;
        early.hour = 3;
        early.minute = 4;
        early.second = 5;
        QTest::newRow("with seconds") << sampleGroup() << 1 << "2001-11-15T14:20:41";
        QTest::newRow("without seconds") << sampleGroup() << 0 << "2001-11-15T14:20";
        QTest::newRow("flag other than 1") << sampleGroup() << 255 << "2001-11-15T14:20";
        QTest::newRow("two digits everywhere") << early << 1 << "2021-01-02T03:04:05";
        QTest::newRow("a cleared stamp, no date") << GroupRecord() << 1 << "2000-00-00T00:00:00";
    }
    void isoTime()
    {
        QFETCH(GroupRecord, record);
        QFETCH(int, secFlag);
        QFETCH(QString, text);
        QCOMPARE(csv_rows::isoTime(record, quint8(secFlag)), text);
    }

    void groupLine()
    {
        QCOMPARE(csv_rows::groupLine(57, sampleGroup(), 1),
                 QByteArray("57,2001-11-15T14:20:41,0.01234,,0.000005,12.34mA,OL,0.005mA,200\n"));
        QCOMPARE(csv_rows::groupHeader().split(',').size(),
                 csv_rows::groupLine(57, sampleGroup(), 0).split(',').size());
    }

    void liveLine()
    {
        const QDateTime when(QDate(2021, 11, 27), QTime(8, 9, 10, 45));
        LiveHistory::Entry entry{};
        entry.msecsSinceEpoch = when.toMSecsSinceEpoch();
        const GroupRecord g = sampleGroup();
        for (int c = 0; c < LiveHistory::kChannels; ++c) {
            entry.raw[c] = g.val[c];
            entry.status[c] = g.stat[c];
        }
        QCOMPARE(csv_rows::liveLine(entry),
                 QByteArray("2021-11-27T08:09:10.045,0.01234,,0.000005,12.34mA,OL,0.005mA\n"));
        QCOMPARE(csv_rows::liveHeader().split(',').size(),
                 csv_rows::liveLine(entry).split(',').size());
    }
};

QTEST_GUILESS_MAIN(CsvRowsTest)
#include "test_csv_rows.moc"
