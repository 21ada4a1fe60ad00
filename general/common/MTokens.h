#pragma once
// The command-token table generated from Tokens.def: the command word and the
// public description of every token slot, and the reverse lookup of a word.
#include <array>
#include <cstdint>
#include <string_view>

namespace OrbanelGeneral10 {

// Slots 0 to 350, indexed by token number.
inline constexpr int32_t kTokenSlots = 351;

namespace detail {
struct TokenSlot {
    std::string_view word;
    std::string_view description;
};

consteval std::array<TokenSlot, kTokenSlots> BuildTokenSlots() {
    std::array<TokenSlot, kTokenSlots> slots{};
#define TOKEN(number, member, word, description) slots[number] = TokenSlot{word, description};
#include "general/common/Tokens.def"
#undef TOKEN
    return slots;
}
}  // namespace detail

inline constexpr std::array<detail::TokenSlot, kTokenSlots> kTokenTable = detail::BuildTokenSlots();

// Command word of a slot; empty for an empty slot or a number outside 0-350.
constexpr std::string_view TokenWord(int32_t token) {
    return token >= 0 && token < kTokenSlots ? kTokenTable[token].word : std::string_view{};
}

// Public description of a slot; empty for an empty slot or a number outside 0-350.
constexpr std::string_view TokenDescriptionText(int32_t token) {
    return token >= 0 && token < kTokenSlots ? kTokenTable[token].description : std::string_view{};
}

// Slot whose word equals `word` exactly (slot 0 included), -1 when none does.
// One hash probe: the desk parses every quote push through this.
int32_t FindTokenWord(std::string_view word) noexcept;

}  // namespace OrbanelGeneral10
