#pragma once

#include <QRect>
#include <QtMath>

// Form layouts are given in twips: 15 twips make one pixel at 96 DPI, and the
// pixel size grows with the screen's logical DPI.
namespace twips {

constexpr double kTwipsPerPixelAt96Dpi = 15.0;
constexpr double kReferenceDpi = 96.0;

inline int toPixels(int twips, double logicalDpi)
{
    return qRound(twips / kTwipsPerPixelAt96Dpi * logicalDpi / kReferenceDpi);
}

inline QRect toRect(int left, int top, int width, int height, double logicalDpi)
{
    return QRect(toPixels(left, logicalDpi), toPixels(top, logicalDpi), toPixels(width, logicalDpi),
                 toPixels(height, logicalDpi));
}

}  // namespace twips
