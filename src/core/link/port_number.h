#pragma once

#include <QString>

#include <optional>

// Port numbers as the combo box holds them: decimal text.
namespace port_number {

constexpr int kHighestSearched = 16;  // the search wraps from here ...
constexpr int kFirstSearched = 1;     // ... to here

// The port number a text selects: the whole text must be a number, rounded to
// the nearest integer (a tie to the even one) and within the 16-bit range.
std::optional<qint16> fromText(const QString &text);

// The text of the next port a search step tries: the value plus one, wrapping
// to 1 above 16. The step always lands on a port from 1 to 16 other than
// `lastPort`, the one tried last: when the value plus one selects no such port
// (a text that is no number, 0 or below, a huge number, a fraction that rounds
// back onto the last port), the step goes to the whole number after lastPort.
QString nextSearched(const QString &text, int lastPort);

}  // namespace port_number
