#pragma once
// The entry-order pane's type combo (positions 0 to 3) and the texts its boxes
// must hold before anything goes to a server. Shared by its condition labels,
// input check, submission and result texts.
#include <cstdint>
#include <optional>
#include <string_view>

#include "general/common/Enums.h"

namespace OrbanexDesk {

// "SLTP " ends with a blank; comparisons are exact.
inline constexpr std::string_view kModeSLTP = "SLTP ";
inline constexpr std::string_view kModeLimitOrders = "Limit Orders";

enum EntryTypeIndex : int32_t { kBuyLimit = 0, kSellLimit = 1, kBuyStop = 2, kSellStop = 3 };

// The order type sent for a combo position; nullopt outside 0..3 (no type chosen).
std::optional<OrbanelGeneral10::OperationTypeEnum> EntryOrderType(int32_t typeIndex);
// Buy Limit and Buy Stop.
bool IsBuyEntry(int32_t typeIndex);

// Digits with at most one "." and at least one digit: what the pane's key filter
// lets a dealer type. Pasted texts ("1,5", "1e3", "-1", " 1") are not.
bool IsPlainDecimal(std::string_view text);

}  // namespace OrbanexDesk
