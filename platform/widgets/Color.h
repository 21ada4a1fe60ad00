#pragma once
// Desk colours are 0xBBGGRR (red in the low byte); Qt wants them the other way.
#include <QColor>
#include <cstdint>

namespace platform::widgets {

inline QColor ToQColor(int32_t bgr) {
    const auto v = static_cast<uint32_t>(bgr);
    return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                  static_cast<int>((v >> 16) & 0xFF));
}

}  // namespace platform::widgets
