#include "link/port_number.h"

#include "window/numeric_text.h"

namespace port_number {

std::optional<qint16> fromText(const QString &text)
{
    const std::optional<double> v = numeric_text::strictValue(text);
    if (!v)
        return std::nullopt;
    return numeric_text::roundToInt16(*v);
}

QString nextSearched(const QString &text)
{
    const double n = numeric_text::strictValue(text).value_or(0.0) + 1.0;
    if (n > kHighestSearched)
        return QString::number(kFirstSearched);
    return numeric_text::decimalText(n);
}

} // namespace port_number
