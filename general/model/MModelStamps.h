#pragma once
// Change counts that let the quote path keep what it found last time and
// know when it no longer holds. Each is shared by every model of the
// process: a change anywhere makes every keeper look again once, which is
// rare beside the quotes that change nothing counted here.
#include <atomic>
#include <cstdint>

namespace OrbanelGeneral10 {

namespace valuation {

// What a position is valued from: its own fields, its parameters and their
// links. A symbol's prices and pricing settings are counted by the symbol
// itself (CSymbol::PricingStamp), so that a quote revalues only its own.
inline std::atomic<uint64_t> g_inputsEpoch{1};

inline void InputsChanged() {
    g_inputsEpoch.fetch_add(1, std::memory_order_relaxed);
}

// Never 0, so 0 can mark a memo that holds nothing.
inline uint64_t InputsEpoch() {
    return g_inputsEpoch.load(std::memory_order_relaxed);
}

}  // namespace valuation

namespace membership {

// Who is listed where: the clients, their accounts, and the accounts each
// symbol's references list.
inline std::atomic<uint64_t> g_membersEpoch{1};

inline void MembersChanged() {
    g_membersEpoch.fetch_add(1, std::memory_order_relaxed);
}

// Never 0, so 0 can mark a memo that holds nothing.
inline uint64_t MembersEpoch() {
    return g_membersEpoch.load(std::memory_order_relaxed);
}

}  // namespace membership

}  // namespace OrbanelGeneral10
