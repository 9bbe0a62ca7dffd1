// PLACEHOLDER: replaced by the numeric-text implementation.
#include "window/numeric_text.h"
namespace numeric_text {
double leadingValue(const QString &text) { return text.toDouble(); }
std::optional<double> strictValue(const QString &text) { bool ok; double v = text.trimmed().toDouble(&ok); if (!ok) return std::nullopt; return v; }
std::optional<qint32> roundToInt32(double value) { return qint32(value); }
std::optional<qint16> roundToInt16(double value) { return qint16(value); }
QString decimalText(double value) { return QString::number(value, 'g', 15); }
}
