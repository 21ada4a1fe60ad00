#pragma once
// The entry-order pane's type combo (positions 0 to 3) and its mode texts. Shared
// by its condition labels, input check, submission and result texts.
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

}  // namespace OrbanexDesk
