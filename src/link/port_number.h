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
// to 1 above 16. A text that is no number counts as 0, so the next step tries 1.
QString nextSearched(const QString &text);

} // namespace port_number
