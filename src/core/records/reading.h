#pragma once

#include <QtGlobal>

// What a channel reading says, decoded once: the instrument sends a value
// (hi × 100 + lo) and a status byte whose high nibble names the unit and
// whose low nibble the decimals; two values are markers, not currents. The
// display text, the amperes, and with them the CSV, the chart and the
// command line, all read a reading through here.
namespace reading {

enum class Unit { None, Milliamps, Amps, Kiloamps };
enum class Marker { None, Overload, Error };

struct Decoded {
    quint16 raw = 0;
    Unit unit = Unit::None;
    int decimals = 0;  // 0 to 3: how many of the raw value's digits are decimals
    Marker marker = Marker::None;

    // A current in the unit, not a marker and not a status without a unit.
    bool isCurrent() const { return marker == Marker::None && unit != Unit::None; }
};

// The unit the status byte names; None for any other high nibble.
Unit unitOf(quint8 status);
// The decimals the status byte announces: 1 to 3 scale the value; 0 and 4
// to 15 leave it as it is, as on the instrument's own display.
int decimalsOf(quint8 status);
// The marker a value is, if it is one: 10000 is an overload, 20000 an error.
Marker markerOf(double value);

Decoded decode(quint16 raw, quint8 status);

}  // namespace reading
