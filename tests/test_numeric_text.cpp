#include "core/numeric_text.h"

#include <QtTest>

#include <cmath>
#include <limits>
#include <optional>

Q_DECLARE_METATYPE(std::optional<double>)
Q_DECLARE_METATYPE(std::optional<qint32>)
Q_DECLARE_METATYPE(std::optional<qint16>)

// Every conversion between texts and numbers, one table per rule.
class NumericTextTest : public QObject {
    Q_OBJECT
private slots:
    void leadingValue_data();
    void leadingValue();
    void strictValue_data();
    void strictValue();
    void rounding_data();
    void rounding();
    void decimalText_data();
    void decimalText();
    void decimalTextReadsBack();
};

void NumericTextTest::leadingValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("integer") << "17" << 17.0;
    QTest::newRow("decimal") << "2.5" << 2.5;
    QTest::newRow("no digit before the point") << ".5" << 0.5;
    QTest::newRow("trailing point") << "5." << 5.0;
    QTest::newRow("exponent") << "1e2" << 100.0;
    QTest::newRow("capital exponent, signed") << "25E-1" << 2.5;
    QTest::newRow("exponent without digits is not read") << "3e" << 3.0;
    QTest::newRow("exponent sign without digits") << "3e+x" << 3.0;
    QTest::newRow("trailing garbage") << "-7x" << -7.0;
    QTest::newRow("plus sign") << "+4" << 4.0;
    QTest::newRow("blank between digits") << "1 2" << 12.0;
    QTest::newRow("tabs and line feeds anywhere") << "\t- 1\n0 .\t5" << -10.5;
    QTest::newRow("leading blanks") << "   300" << 300.0;
    QTest::newRow("second point ends the number") << "1.2.3" << 1.2;
    QTest::newRow("hex") << "&H1F" << 31.0;
    QTest::newRow("hex lower case") << "&hff" << 255.0;
    QTest::newRow("hex stops at a non-digit") << "&H1G" << 1.0;
    QTest::newRow("octal") << "&O17" << 15.0;
    QTest::newRow("octal stops at 8") << "&o178" << 15.0;
    QTest::newRow("ampersand alone") << "&H" << 0.0;
    QTest::newRow("ampersand, other letter") << "&X12" << 0.0;
    QTest::newRow("letters") << "abc" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("sign only") << "-" << 0.0;
    QTest::newRow("point only") << "." << 0.0;
    QTest::newRow("carriage return is not skipped") << "1\r2" << 1.0;
    QTest::newRow("huge exponent") << "1e400" << std::numeric_limits<double>::infinity();
    QTest::newRow("huge negative") << "-9e999" << -std::numeric_limits<double>::infinity();
    QTest::newRow("tiny exponent") << "1e-400" << 0.0;
    QTest::newRow("many digits") << "123456789012345678901234567890"
                                 << 123456789012345678901234567890.0;
}

void NumericTextTest::leadingValue()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(numeric_text::leadingValue(text), value);
}

void NumericTextTest::strictValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<double>>("value");
    const std::optional<double> none;
    QTest::newRow("integer") << "16" << std::optional<double>(16);
    QTest::newRow("blanks around") << " 3 " << std::optional<double>(3);
    QTest::newRow("tabs and line feeds around") << "\t3\n" << std::optional<double>(3);
    // Only the blanks the lenient reading skips: it reads a form feed as no number.
    QTest::newRow("form feed before") << "\f3" << none;
    QTest::newRow("decimal") << "2.5" << std::optional<double>(2.5);
    QTest::newRow("negative") << "-2" << std::optional<double>(-2);
    QTest::newRow("exponent") << "1e1" << std::optional<double>(10);
    QTest::newRow("hex") << "&H10" << std::optional<double>(16);
    QTest::newRow("octal") << "&O10" << std::optional<double>(8);
    QTest::newRow("letters") << "abc" << none;
    QTest::newRow("empty") << "" << none;
    QTest::newRow("blank only") << "  " << none;
    QTest::newRow("trailing garbage") << "1x" << none;
    QTest::newRow("blank inside") << "1 2" << none;
    QTest::newRow("incomplete exponent") << "1e" << none;
    QTest::newRow("point only") << "." << none;
    QTest::newRow("hex without digits") << "&H" << none;
}

void NumericTextTest::strictValue()
{
    QFETCH(QString, text);
    QFETCH(std::optional<double>, value);
    QCOMPARE(numeric_text::strictValue(text), value);
}

void NumericTextTest::rounding_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<std::optional<qint32>>("int32");
    QTest::addColumn<std::optional<qint16>>("int16");
    using I32 = std::optional<qint32>;
    using I16 = std::optional<qint16>;
    QTest::newRow("2.5 to even") << 2.5 << I32(2) << I16(2);
    QTest::newRow("3.5 to even") << 3.5 << I32(4) << I16(4);
    QTest::newRow("-2.5 to even") << -2.5 << I32(-2) << I16(-2);
    QTest::newRow("-3.5 to even") << -3.5 << I32(-4) << I16(-4);
    QTest::newRow("0.5 to zero") << 0.5 << I32(0) << I16(0);
    QTest::newRow("below half") << 2.4999 << I32(2) << I16(2);
    QTest::newRow("above half") << 2.5001 << I32(3) << I16(3);
    QTest::newRow("16-bit top") << 32767.0 << I32(32767) << I16(32767);
    QTest::newRow("rounds past 16 bits") << 32767.5 << I32(32768) << I16();
    QTest::newRow("16-bit bottom") << -32768.4 << I32(-32768) << I16(-32768);
    QTest::newRow("below 16 bits") << -32768.6 << I32(-32769) << I16();
    QTest::newRow("32-bit top") << 2147483647.0 << I32(2147483647) << I16();
    QTest::newRow("rounds past 32 bits") << 2147483647.5 << I32() << I16();
    QTest::newRow("32-bit bottom") << -2147483648.0 << I32(-2147483647 - 1) << I16();
    QTest::newRow("below 32 bits") << -2147483649.0 << I32() << I16();
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << I32() << I16();
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << I32() << I16();
}

void NumericTextTest::rounding()
{
    QFETCH(double, value);
    QFETCH(std::optional<qint32>, int32);
    QFETCH(std::optional<qint16>, int16);
    QCOMPARE(numeric_text::roundToInt32(value), int32);
    QCOMPARE(numeric_text::roundToInt16(value), int16);
}

void NumericTextTest::decimalText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole") << 17.0 << "17";
    QTest::newRow("half") << 3.5 << "3.5";
    QTest::newRow("small") << 0.005 << "0.005";
    QTest::newRow("negative") << -3.0 << "-3";
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("binary noise rounded away") << 0.1 + 0.2 << "0.3";
    QTest::newRow("fraction of a reading") << 1234.0 / 100.0 << "12.34";
    QTest::newRow("fifteen digits kept") << 123456789.012345 << "123456789.012345";
    QTest::newRow("sixteenth digit rounded") << 1.0000000000000002 << "1";
}

void NumericTextTest::decimalText()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(numeric_text::decimalText(value), text);
}

// The port search writes n + 1 and reads it back strictly: every step must parse.
void NumericTextTest::decimalTextReadsBack()
{
    for (double n = -20.0; n <= 20.0; n += 0.25) {
        const QString text = numeric_text::decimalText(n + 1.0);
        QVERIFY2(!text.startsWith(QLatin1Char(' ')), qPrintable(text));
        QCOMPARE(numeric_text::strictValue(text), std::optional<double>(n + 1.0));
    }
}

QTEST_GUILESS_MAIN(NumericTextTest)
#include "test_numeric_text.moc"
