#pragma once
// Twips (1/1440 inch) against a widget's logical pixels: the unit column
// widths and positions are given in.
#include <QPaintDevice>
#include <cmath>

namespace platform::widgets {

inline constexpr double kTwipsPerInch = 1440.0;

inline int TwipsToPixelsX(const QPaintDevice& device, double twips) {
    return static_cast<int>(std::lround(twips * device.logicalDpiX() / kTwipsPerInch));
}
inline double PixelsToTwipsX(const QPaintDevice& device, int pixels) {
    return pixels * kTwipsPerInch / device.logicalDpiX();
}
inline double PixelsToTwipsY(const QPaintDevice& device, int pixels) {
    return pixels * kTwipsPerInch / device.logicalDpiY();
}

}  // namespace platform::widgets
