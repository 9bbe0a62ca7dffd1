#include "core/records/reading_format.h"

#include "core/numeric_text.h"
#include "core/records/reading.h"

#include <cmath>

namespace reading_format {

namespace {

const QString kOverloadMarker = QStringLiteral("    OL");
const QString kErrorMarker = QStringLiteral("err");

QLatin1String unitText(reading::Unit unit)
{
    switch (unit) {
    case reading::Unit::Milliamps: return QLatin1String("mA");
    case reading::Unit::Amps: return QLatin1String("A");
    case reading::Unit::Kiloamps: return QLatin1String("kA");
    case reading::Unit::None: break;
    }
    return QLatin1String("");
}

struct Scaling {
    double divisor;
    int decimals;
    QLatin1String wholeTail;  // written after a whole quotient: as many zeros as decimals
};

Scaling scalingOf(int decimals)
{
    switch (decimals) {
    case 1: return {10.0, 1, QLatin1String(".0")};
    case 2: return {100.0, 2, QLatin1String(".00")};
    case 3: return {1000.0, 3, QLatin1String(".000")};
    default: return {1.0, 0, QLatin1String("")};
    }
}

// Raw values are whole numbers far below this; their quotients have an exact
// decimal form of well under 15 significant digits.
constexpr double kExactRawLimit = 1e12;

// The shortest decimal text of raw / 10^decimals for a whole raw value 0 or
// more, from its digits. It is the text decimalText gives for the quotient,
// without the costly double-to-text conversion.
QString scaledDigits(qint64 raw, int decimals)
{
    QString text = QString::number(raw);
    if (decimals == 0)
        return text;
    // Enough leading zeros for a digit before the point.
    if (text.size() <= decimals)
        text.prepend(QString(decimals + 1 - text.size(), QLatin1Char('0')));
    text.insert(text.size() - decimals, QLatin1Char('.'));
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

}  // namespace

QString formatReading(double value, qint32 status)
{
    // The markers win over unit and decimals.
    switch (reading::markerOf(value)) {
    case reading::Marker::Overload: return kOverloadMarker;
    case reading::Marker::Error: return kErrorMarker;
    case reading::Marker::None: break;
    }
    // Only the status byte's own bits name its unit and decimals.
    const auto statusByte = quint8(status);
    const Scaling scaling = scalingOf(reading::decimalsOf(statusByte));
    const double quotient = value / scaling.divisor;
    // Both forms write no trailing zeros and always a digit before the point.
    const bool wholeRaw = value >= 0.0 && value < kExactRawLimit && value == std::floor(value);
    QString text = wholeRaw ? scaledDigits(qint64(value), scaling.decimals)
                            : numeric_text::decimalText(quotient);

    // A whole quotient shows exactly as many zeros as the status announces
    // decimals; a fractional one keeps only its significant decimals.
    const std::optional<qint32> whole = numeric_text::roundToInt32(quotient);
    if (whole && double(*whole) * scaling.divisor == value)
        text += scaling.wholeTail;

    text += unitText(reading::unitOf(statusByte));
    return text;
}

}  // namespace reading_format
