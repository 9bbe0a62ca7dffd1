#pragma once

#include <QString>

#include <optional>

// The rules by which texts become numbers and numbers become texts.
namespace numeric_text {

// The value of the longest leading part of `text` that reads as a number.
// Blanks, tabs and line feeds anywhere in the text are skipped; a sign, a
// decimal point and an exponent are accepted; a leading &H or &O reads a
// hexadecimal or octal integer. A text that does not begin with a number is 0.
double leadingValue(const QString &text);

// The value of `text` when the whole text (blanks around it aside) is one
// number in the same notation, otherwise nothing.
std::optional<double> strictValue(const QString &text);

// Rounds to the nearest integer, a tie to the even one. Nothing when the
// result does not fit the 32-bit (or 16-bit) range.
std::optional<qint32> roundToInt32(double value);
std::optional<qint16> roundToInt16(double value);

// The shortest decimal text of `value` with at most 15 significant digits,
// "." as the decimal point, no leading blank (12.34, 17, 0.005, -3).
QString decimalText(double value);

}  // namespace numeric_text
