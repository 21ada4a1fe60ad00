#pragma once
// How the position views write a price: by text compare, a greater old text red,
// else green. Shared by the sessions' immediate writes and the turn-end ones.
#include <cstdint>
#include <string>

#include "platform/ListView.h"

namespace OrbanexDesk {

constexpr int32_t kPriceRed = 255;
constexpr int32_t kPriceGreen = 0 | (160 << 8);  // RGB(0, 160, 0)

inline void WritePriceCell(platform::ListItem& row, size_t sub, const std::string& now, bool red) {
    row.setSubItems(sub, now);
    row.setSubItemForeColor(sub, red ? kPriceRed : kPriceGreen);
}

inline void WritePriceByText(platform::ListItem& row, size_t sub, const std::string& now) {
    WritePriceCell(row, sub, now, row.SubItemText(sub) > now);
}

}  // namespace OrbanexDesk
