#pragma once

#include <QString>

// Turns one raw channel reading into its display text: the value scaled by the
// decimals its status byte announces, followed by the unit the status names,
// or one of the markers "    OL" (overload) and "err" (error).
namespace reading_format {

// The longest text formatReading gives for a raw value 0 to 25755 and a status 0 to 255.
constexpr int kMaxReadingLength = 8;

QString formatReading(double value, qint32 status);

}  // namespace reading_format
