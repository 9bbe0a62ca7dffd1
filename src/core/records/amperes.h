#pragma once

#include <QtGlobal>

#include <optional>

// A reading in amperes: the raw value scaled by the decimals its status byte
// announces and by its unit, the same reading the display text of
// reading_format::formatReading shows. The plots and the command line's CSV
// both go through here, so a number and its text never disagree.
namespace reading_amperes {

// Nothing for an overload, an error (also what a cleared slot holds) and a status without a
// unit: none of them is a current.
std::optional<double> amperes(quint16 raw, quint8 status);

}  // namespace reading_amperes
