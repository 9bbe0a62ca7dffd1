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

QString nextSearched(const QString &text, int lastPort)
{
    if (const std::optional<double> v = numeric_text::strictValue(text)) {
        const double n = *v + 1.0;
        // The common case, fifty times a second: a whole port number. Its
        // text is the plain decimal one.
        const int whole = int(n);
        if (n == whole && whole >= kFirstSearched && whole <= kHighestSearched && whole != lastPort)
            return QString::number(whole);
        const QString next =
            n > kHighestSearched ? QString::number(kFirstSearched) : numeric_text::decimalText(n);
        const std::optional<qint16> port = fromText(next);
        if (port && *port >= kFirstSearched && *port <= kHighestSearched && *port != lastPort)
            return next;
    }
    const bool lastInRange = lastPort >= kFirstSearched && lastPort < kHighestSearched;
    return QString::number(lastInRange ? lastPort + 1 : kFirstSearched);
}

}  // namespace port_number
