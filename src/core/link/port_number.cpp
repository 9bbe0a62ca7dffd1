#include "core/link/port_number.h"

#include "core/numeric_text.h"

namespace port_number {

namespace {
// Texts of up to this many digits, and nothing else, are read directly.
constexpr int kPlainDigits = 4;

// The value of a text of one to four plain digits; nothing for anything else.
// The search writes such texts fifty times a second and reads them back.
std::optional<int> plainNumber(const QString &text)
{
    if (text.isEmpty() || text.size() > kPlainDigits)
        return std::nullopt;
    int n = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        n = n * 10 + (c.unicode() - '0');
    }
    return n;
}
}  // namespace

std::optional<qint16> fromText(const QString &text)
{
    if (const std::optional<int> n = plainNumber(text))
        return qint16(*n);
    const std::optional<double> v = numeric_text::strictValue(text);
    if (!v)
        return std::nullopt;
    return numeric_text::roundToInt16(*v);
}

QString nextSearched(const QString &text, int lastPort)
{
    const std::optional<int> plain = plainNumber(text);
    const std::optional<double> v =
        plain ? std::optional<double>(*plain) : numeric_text::strictValue(text);
    if (v) {
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
