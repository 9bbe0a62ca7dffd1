#include "core/numeric_text.h"
#include "core/records/reading_format.h"
#include "support/core_harness.h"

#include <QtTest>

// The formatter: worked results, edge cases, and a sweep of every input the
// instrument can produce checked against properties of a correct display text.
class ReadingFormatTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { harness_ = std::make_unique<CoreHarness>(); }
    void cleanupTestCase() { harness_.reset(); }
    void formats_data();
    void formats();
    void formatsThroughTheInstrumentsTexts_data() { formats_data(); }
    void formatsThroughTheInstrumentsTexts();
    void everyInputGivesAConsistentText();

private:
    std::unique_ptr<CoreHarness> harness_;
};

void ReadingFormatTest::formats_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("text");
    // Worked results.
    QTest::newRow("1234 / 0x42") << 1234.0 << 0x42 << "12.34mA";
    QTest::newRow("1200 / 0x42 whole gets two zeros") << 1200.0 << 0x42 << "12.00mA";
    QTest::newRow("1230 / 0x42 fraction not padded") << 1230.0 << 0x42 << "12.3mA";
    QTest::newRow("5 / 0x43") << 5.0 << 0x43 << "0.005mA";
    QTest::newRow("0 / 0x41") << 0.0 << 0x41 << "0.0mA";
    QTest::newRow("25 / 0x31") << 25.0 << 0x31 << "2.5A";
    QTest::newRow("25 / 0x20") << 25.0 << 0x20 << "25kA";
    QTest::newRow("25 / 0x50 no unit") << 25.0 << 0x50 << "25";
    QTest::newRow("25 / 0x14 no unit") << 25.0 << 0x14 << "25";
    QTest::newRow("overload") << 10000.0 << 0x42 << "    OL";
    QTest::newRow("overload, other status") << 10000.0 << 0x00 << "    OL";
    QTest::newRow("error") << 20000.0 << 0x42 << "err";
    QTest::newRow("error, other status") << 20000.0 << 0xFF << "err";
    // Decimals 0 and 4 to 15 neither scale nor pad.
    QTest::newRow("1234 / 0x40") << 1234.0 << 0x40 << "1234mA";
    QTest::newRow("1234 / 0x44") << 1234.0 << 0x44 << "1234mA";
    QTest::newRow("1234 / 0x4F") << 1234.0 << 0x4F << "1234mA";
    QTest::newRow("whole with three decimals") << 0.0 << 0x43 << "0.000mA";
    QTest::newRow("1001 / 0x43") << 1001.0 << 0x43 << "1.001mA";
    QTest::newRow("1010 / 0x43") << 1010.0 << 0x43 << "1.01mA";
    QTest::newRow("below one") << 7.0 << 0x42 << "0.07mA";
    QTest::newRow("longest, fraction") << 25755.0 << 0x41 << "2575.5mA";
    QTest::newRow("longest, whole") << 25750.0 << 0x41 << "2575.0mA";
    QTest::newRow("largest value, no decimals") << 25755.0 << 0x40 << "25755mA";
    QTest::newRow("high nibble 1: no unit") << 25.0 << 0x11 << "2.5";
    QTest::newRow("high nibble F: no unit") << 30.0 << 0xF1 << "3.0";
    QTest::newRow("kA whole with decimals") << 3000.0 << 0x23 << "3.000kA";
    QTest::newRow("A fraction") << 12345.0 << 0x32 << "123.45A";
    // Not from the instrument, but the formatter takes any number.
    QTest::newRow("fractional raw value") << 12.5 << 0x41 << "1.25mA";
    QTest::newRow("fractional raw value, no decimals") << 12.5 << 0x30 << "12.5A";
}

void ReadingFormatTest::formats()
{
    QFETCH(double, value);
    QFETCH(int, status);
    QFETCH(QString, text);
    QCOMPARE(reading_format::formatReading(value, status), text);
}

// The instrument's formatter takes decimal texts and leaves the result in fmtText.
void ReadingFormatTest::formatsThroughTheInstrumentsTexts()
{
    QFETCH(double, value);
    QFETCH(int, status);
    QFETCH(QString, text);
    Instrument &core = *harness_->core;
    // A different text first, so a result that was not written shows.
    const bool error = text == QStringLiteral("err");
    testing(core).fmtReading(error ? QStringLiteral("10000") : QStringLiteral("20000"),
                             QStringLiteral("0"));
    QVERIFY(testing(core).fmtText() != text);
    testing(core).fmtReading(QString::number(value), QString::number(status));
    QCOMPARE(testing(core).fmtText(), text);
}

namespace {

// What is wrong with the formatter's text for one raw value and status, or
// an empty text when nothing is: the text has the unit the high nibble names,
// reads back as value / divisor, shows exactly d decimals when whole, at least
// the significant ones otherwise, and never exceeds eight characters.
QString problemWith(int value, int status)
{
    const QString text = reading_format::formatReading(value, status);
    if (value == 10000 || value == 20000) {
        const QString marker = value == 10000 ? QStringLiteral("    OL") : QStringLiteral("err");
        return text == marker ? QString() : QStringLiteral("not the marker '%1'").arg(marker);
    }
    const int unitNibble = status >> 4;
    const QString unit = unitNibble == 4   ? QStringLiteral("mA")
                         : unitNibble == 3 ? QStringLiteral("A")
                         : unitNibble == 2 ? QStringLiteral("kA")
                                           : QString();
    const int d = status & 0x0F;
    const int decimals = (d >= 1 && d <= 3) ? d : 0;
    int divisor = 1;
    for (int i = 0; i < decimals; ++i)
        divisor *= 10;

    if (text.size() > reading_format::kMaxReadingLength)
        return QStringLiteral("too long");
    if (!text.endsWith(unit))
        return QStringLiteral("wrong unit");
    const QString number = text.left(text.size() - unit.size());
    if (number.isEmpty() || !number.at(0).isDigit())
        return QStringLiteral("no leading digit");
    // Integer arithmetic on the digits: the number must be value / divisor exactly.
    const int point = number.indexOf(QLatin1Char('.'));
    const QString intPart = point < 0 ? number : number.left(point);
    const QString fracPart = point < 0 ? QString() : number.mid(point + 1);
    bool intOk = false;
    bool fracOk = true;
    const int whole = intPart.toInt(&intOk);
    const int frac = fracPart.isEmpty() ? 0 : fracPart.toInt(&fracOk);
    if (!intOk || !fracOk || fracPart.contains(QLatin1Char('-')))
        return QStringLiteral("not a plain decimal");
    int fracScale = 1;
    for (int i = 0; i < fracPart.size(); ++i)
        fracScale *= 10;
    // whole + frac / fracScale == value / divisor
    if (qint64(whole * fracScale + frac) * divisor != qint64(value) * fracScale)
        return QStringLiteral("wrong value");
    if (value % divisor == 0) {
        if (fracPart.size() != decimals || (decimals == 0 && point >= 0))
            return QStringLiteral("whole number without its fixed decimals");
    } else {
        if (fracPart.endsWith(QLatin1Char('0')))
            return QStringLiteral("fraction padded with zeros");
        // A fraction is the shortest decimal text of the quotient.
        if (number != numeric_text::decimalText(double(value) / divisor))
            return QStringLiteral("not the shortest decimal text");
    }
    return QString();
}

}  // namespace

// Every raw value the instrument can send, with every status byte. The first
// wrong text ends the test, with what is wrong about it.
void ReadingFormatTest::everyInputGivesAConsistentText()
{
    constexpr int kMaxRaw = 255 * 100 + 255;
    for (int status = 0; status <= 255; ++status) {
        for (int value = 0; value <= kMaxRaw; ++value) {
            const QString problem = problemWith(value, status);
            if (!problem.isEmpty()) {
                QFAIL(qPrintable(QStringLiteral("%1 for value %2, status 0x%3: '%4'")
                                     .arg(problem)
                                     .arg(value)
                                     .arg(status, 2, 16, QLatin1Char('0'))
                                     .arg(reading_format::formatReading(value, status))));
            }
        }
    }
}

QTEST_GUILESS_MAIN(ReadingFormatTest)
#include "test_reading_format.moc"
