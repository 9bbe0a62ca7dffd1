#include "core/records/amperes.h"
#include "core/records/reading_format.h"

#include <QtTest>

#include <cmath>

// The conversion of a reading to amperes: hand-worked values, and agreement
// with the display text for every raw value and status the instrument can send.
class AmperesTest : public QObject {
    Q_OBJECT
private slots:
    void converts_data();
    void converts();
    void agreesWithTheDisplayTextForEveryInput();
};

void AmperesTest::converts_data()
{
    QTest::addColumn<int>("raw");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("isCurrent");
    QTest::addColumn<double>("amperes");
    // mA, each number of decimals: 0 and 4 to 15 scale nothing.
    QTest::newRow("mA, 0 decimals") << 1234 << 0x40 << true << 1.234;
    QTest::newRow("mA, 1 decimal") << 25755 << 0x41 << true << 2.5755;
    QTest::newRow("mA, 2 decimals") << 1234 << 0x42 << true << 0.01234;
    QTest::newRow("mA, 3 decimals") << 5 << 0x43 << true << 0.000005;
    QTest::newRow("mA, decimals 4 as 0") << 1234 << 0x44 << true << 1.234;
    QTest::newRow("mA, decimals 15 as 0") << 7 << 0x4F << true << 0.007;
    QTest::newRow("mA, zero") << 0 << 0x41 << true << 0.0;
    // A.
    QTest::newRow("A, 0 decimals") << 25 << 0x30 << true << 25.0;
    QTest::newRow("A, 1 decimal") << 25 << 0x31 << true << 2.5;
    QTest::newRow("A, 2 decimals") << 12345 << 0x32 << true << 123.45;
    QTest::newRow("A, 3 decimals") << 1001 << 0x33 << true << 1.001;
    QTest::newRow("A, decimals 9 as 0") << 300 << 0x39 << true << 300.0;
    // kA.
    QTest::newRow("kA, 0 decimals") << 25 << 0x20 << true << 25000.0;
    QTest::newRow("kA, 1 decimal") << 15 << 0x21 << true << 1500.0;
    QTest::newRow("kA, 2 decimals") << 25755 << 0x22 << true << 257550.0;
    QTest::newRow("kA, 3 decimals") << 3000 << 0x23 << true << 3000.0;
    QTest::newRow("kA, decimals 7 as 0") << 2 << 0x27 << true << 2000.0;
    // OL and err win over any unit; no unit is no current.
    QTest::newRow("OL") << 10000 << 0x42 << false << 0.0;
    QTest::newRow("OL, A") << 10000 << 0x30 << false << 0.0;
    QTest::newRow("err") << 20000 << 0x41 << false << 0.0;
    QTest::newRow("err, kA") << 20000 << 0x20 << false << 0.0;
    QTest::newRow("no unit, high nibble 5") << 25 << 0x50 << false << 0.0;
    QTest::newRow("no unit, high nibble 1") << 25 << 0x11 << false << 0.0;
    QTest::newRow("no unit, high nibble 0") << 0 << 0x00 << false << 0.0;
    QTest::newRow("no unit, high nibble F") << 30 << 0xF1 << false << 0.0;
}

void AmperesTest::converts()
{
    QFETCH(int, raw);
    QFETCH(int, status);
    QFETCH(bool, isCurrent);
    QFETCH(double, amperes);
    const std::optional<double> result = reading_amperes::amperes(quint16(raw), quint8(status));
    QCOMPARE(result.has_value(), isCurrent);
    if (isCurrent)
        QCOMPARE(*result, amperes);
}

namespace {

// The decimal text `number` multiplied by 10^shift, written out in full by
// moving its point: "12.34" shifted by -3 is "0.01234".
QString shiftedDecimal(const QString &number, int shift)
{
    const int point = number.indexOf(QLatin1Char('.'));
    const QString digits = point < 0 ? number : number.left(point) + number.mid(point + 1);
    const int newPoint = (point < 0 ? int(number.size()) : point) + shift;
    if (newPoint <= 0)
        return QStringLiteral("0.") + QString(-newPoint, QLatin1Char('0')) + digits;
    if (newPoint >= digits.size())
        return digits + QString(newPoint - digits.size(), QLatin1Char('0'));
    return digits.left(newPoint) + QLatin1Char('.') + digits.mid(newPoint);
}

// What is wrong with the amperes of one input, judged by its display text,
// or an empty text when nothing is. The text is moved to amperes by moving
// its decimal point and parsed once, so the expected value is the double
// nearest to the displayed current; the conversion must give exactly it.
QString problemWith(int raw, int status)
{
    const QString text = reading_format::formatReading(raw, status).trimmed();
    const std::optional<double> result = reading_amperes::amperes(quint16(raw), quint8(status));
    struct Unit {
        QLatin1String suffix;
        int shift;
    };
    // "mA" before "A", which it ends with.
    const Unit units[] = {
        {QLatin1String("mA"), -3}, {QLatin1String("kA"), 3}, {QLatin1String("A"), 0}};
    for (const Unit &unit : units) {
        if (!text.endsWith(unit.suffix))
            continue;
        bool ok = false;
        const double expected =
            shiftedDecimal(text.chopped(unit.suffix.size()), unit.shift).toDouble(&ok);
        if (!ok)
            return QStringLiteral("the text does not parse");
        if (!result)
            return QStringLiteral("no current for a text with a unit");
        if (*result != expected)
            return QStringLiteral("%1 A, expected %2 A")
                .arg(*result, 0, 'g', 17)
                .arg(expected, 0, 'g', 17);
        return QString();
    }
    // OL, err and a number without a unit.
    return result ? QStringLiteral("a current for a text without a unit") : QString();
}

}  // namespace

// Every raw value the instrument can send with every status byte; the first
// disagreement ends the test and names the input.
void AmperesTest::agreesWithTheDisplayTextForEveryInput()
{
    constexpr int kMaxRaw = 255 * 100 + 255;
    for (int status = 0; status <= 255; ++status) {
        for (int raw = 0; raw <= kMaxRaw; ++raw) {
            const QString problem = problemWith(raw, status);
            if (!problem.isEmpty()) {
                QFAIL(qPrintable(QStringLiteral("%1 for raw %2, status 0x%3 ('%4')")
                                     .arg(problem)
                                     .arg(raw)
                                     .arg(status, 2, 16, QLatin1Char('0'))
                                     .arg(reading_format::formatReading(raw, status))));
            }
        }
    }
}

QTEST_GUILESS_MAIN(AmperesTest)
#include "test_amperes.moc"
