#pragma once

#include <QString>

#include <optional>

// Port numbers: the text the combo box holds, and the search's steps.
namespace port_number {

constexpr int kHighestSearched = 16;  // the search wraps from here ...
constexpr int kFirstSearched = 1;     // ... to here

// The port number a text selects: the whole text must be a number, rounded to
// the nearest integer (a tie to the even one) and within the 16-bit range.
std::optional<qint16> fromText(const QString &text);

// The next port a search step tries when the search stands on `port`: the
// one after it, wrapping to 1 above 16. The step always lands on a port from
// 1 to 16 other than `lastPort`, the one tried last: when the one after
// `port` is no such port (0 or below, or the last one again), the step goes
// to the port after lastPort.
qint16 nextSearched(int port, int lastPort);

}  // namespace port_number
