#pragma once
// The program's units on screen: lengths in twips (1/1440 inch; 15 to a pixel at 96 dots per
// inch) and colours as BGR longs (&HBBGGRR).
#include <QColor>

#include <cmath>

namespace ui {

constexpr double kTwipsPerPixel = 15.0;

inline int PixelsFromTwips(long twips) {
    return static_cast<int>(std::lround(static_cast<double>(twips) / kTwipsPerPixel));
}
inline long TwipsFromPixels(double pixels) { return std::lround(pixels * kTwipsPerPixel); }

inline QColor ColorFromBGR(long bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

}  // namespace ui
