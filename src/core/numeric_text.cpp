#include "core/numeric_text.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace numeric_text {

namespace {

constexpr int kHexBase = 16;
constexpr int kOctalBase = 8;

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// Blanks that the lenient reading skips wherever they stand.
bool isSkippedBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n');
}

// The digit value of c in the given base, or -1.
int digitIn(QChar c, int base)
{
    int d = -1;
    if (isDigit(c))
        d = c.unicode() - '0';
    else if (c >= QLatin1Char('a') && c <= QLatin1Char('f'))
        d = c.unicode() - 'a' + 10;
    else if (c >= QLatin1Char('A') && c <= QLatin1Char('F'))
        d = c.unicode() - 'A' + 10;
    return d < base ? d : -1;
}

// A number found at the start of a text without blanks.
struct Scan {
    double value = 0.0;
    int end = 0;         // index just past the number
    bool found = false;  // at least one digit was read
};

// &H1F, &O17: an integer in base 16 or 8.
Scan scanRadix(QStringView s, int base)
{
    Scan r;
    int i = 2;  // past "&H" / "&O"
    for (; i < s.size(); ++i) {
        const int d = digitIn(s[i], base);
        if (d < 0)
            break;
        r.value = r.value * base + d;
        r.found = true;
    }
    r.end = r.found ? i : 0;
    return r;
}

// The value of a decimal number that std::from_chars reports out of range:
// infinity when its magnitude is too large, zero when it is too small.
double outOfRangeValue(const std::string &number, int exponent)
{
    const bool negative = !number.empty() && number[0] == '-';
    // Decimal magnitude of the mantissa: digits before the first significant
    // one tell how far below 1 it is, digits before the point how far above.
    int magnitude = 0;
    bool seenPoint = false;
    bool seenSignificant = false;
    for (char c : number) {
        if (c == '.') {
            seenPoint = true;
        } else if (c >= '0' && c <= '9') {
            if (c != '0')
                seenSignificant = true;
            if (!seenPoint && seenSignificant)
                ++magnitude;
            else if (seenPoint && !seenSignificant)
                --magnitude;
        } else if (c == 'e' || c == 'E') {
            break;
        }
    }
    if (magnitude + exponent > 0)
        return negative ? -std::numeric_limits<double>::infinity()
                        : std::numeric_limits<double>::infinity();
    return negative ? -0.0 : 0.0;
}

// [sign] digits [. digits] [e [sign] digits]; the exponent only counts when it has digits.
Scan scanDecimal(QStringView s)
{
    Scan r;
    int i = 0;
    if (i < s.size() && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-')))
        ++i;
    int mantissaDigits = 0;
    for (; i < s.size() && isDigit(s[i]); ++i)
        ++mantissaDigits;
    if (i < s.size() && s[i] == QLatin1Char('.'))
        for (++i; i < s.size() && isDigit(s[i]); ++i)
            ++mantissaDigits;
    if (mantissaDigits == 0)
        return r;
    int exponent = 0;
    if (i < s.size() && (s[i] == QLatin1Char('e') || s[i] == QLatin1Char('E'))) {
        int j = i + 1;
        bool negativeExponent = false;
        if (j < s.size() && (s[j] == QLatin1Char('+') || s[j] == QLatin1Char('-')))
            negativeExponent = s[j++] == QLatin1Char('-');
        const int digitsStart = j;
        // Saturated: anything this far out is infinity or zero anyway.
        constexpr int kExponentLimit = 100000;
        for (; j < s.size() && isDigit(s[j]); ++j)
            exponent = qMin(exponent * 10 + (s[j].unicode() - '0'), kExponentLimit);
        if (negativeExponent)
            exponent = -exponent;
        if (j > digitsStart)
            i = j;
        else
            exponent = 0;
    }

    std::string number = s.left(i).toLatin1().toStdString();
    if (number[0] == '+')
        number.erase(0, 1);  // from_chars takes a minus sign only
    double v = 0.0;
    const std::from_chars_result parsed =
        std::from_chars(number.data(), number.data() + number.size(), v);
    r.value = parsed.ec == std::errc::result_out_of_range ? outOfRangeValue(number, exponent) : v;
    r.end = i;
    r.found = true;
    return r;
}

Scan scanNumber(QStringView s)
{
    if (s.size() >= 2 && s[0] == QLatin1Char('&')) {
        const QChar kind = s[1].toUpper();
        if (kind == QLatin1Char('H'))
            return scanRadix(s, kHexBase);
        if (kind == QLatin1Char('O'))
            return scanRadix(s, kOctalBase);
        return {};
    }
    return scanDecimal(s);
}

// Rounds half to even without depending on the floating-point rounding mode.
double roundHalfEven(double value)
{
    const double below = std::floor(value);
    const double fraction = value - below;  // exact for doubles
    if (fraction > 0.5)
        return below + 1.0;
    if (fraction < 0.5)
        return below;
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

template <typename Int>
std::optional<Int> roundTo(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double r = roundHalfEven(value);
    if (r < double(std::numeric_limits<Int>::min()) || r > double(std::numeric_limits<Int>::max()))
        return std::nullopt;
    return static_cast<Int>(r);
}

}  // namespace

double leadingValue(const QString &text)
{
    QString compact;
    compact.reserve(text.size());
    for (QChar c : text)
        if (!isSkippedBlank(c))
            compact.append(c);
    return scanNumber(compact).value;
}

std::optional<double> strictValue(const QString &text)
{
    // The blanks around it are the ones the lenient reading skips, so a text
    // that is one number reads the same both ways.
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && isSkippedBlank(text[from]))
        ++from;
    while (to > from && isSkippedBlank(text[to - 1]))
        --to;
    const QStringView trimmed = QStringView(text).mid(from, to - from);
    const Scan s = scanNumber(trimmed);
    if (!s.found || s.end != trimmed.size())
        return std::nullopt;
    return s.value;
}

std::optional<qint32> roundToInt32(double value) { return roundTo<qint32>(value); }

std::optional<qint16> roundToInt16(double value) { return roundTo<qint16>(value); }

QString decimalText(double value)
{
    constexpr int kSignificantDigits = 15;
    if (value == 0.0)
        return QStringLiteral("0");  // no "-0"
    return QString::number(value, 'g', kSignificantDigits);
}

}  // namespace numeric_text
