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

qint16 nextSearched(int port, int lastPort)
{
    const qint64 after = qint64(port) + 1;
    const qint64 next = after > kHighestSearched ? kFirstSearched : after;
    if (next >= kFirstSearched && next != lastPort)
        return qint16(next);
    const bool lastInRange = lastPort >= kFirstSearched && lastPort < kHighestSearched;
    return qint16(lastInRange ? lastPort + 1 : kFirstSearched);
}

}  // namespace port_number
