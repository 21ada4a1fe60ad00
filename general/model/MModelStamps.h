#pragma once
// Change counts that let the quote path keep what it found last time and
// know when it no longer holds. Each is shared by every model of the
// process: a change anywhere makes every keeper look again once, which is
// rare beside the quotes that change nothing counted here.
#include <atomic>
#include <cstdint>

namespace OrbanelGeneral10 {

namespace stamps {

// Starts at 1 and only grows, so 0 can mark a memo that holds nothing.
class Epoch {
public:
    void Moved() { count_.fetch_add(1, std::memory_order_relaxed); }
    uint64_t Now() const { return count_.load(std::memory_order_relaxed); }

private:
    std::atomic<uint64_t> count_{1};
};

}  // namespace stamps

namespace valuation {

// What a position is valued from: its own fields, its parameters and their
// links. A symbol's prices and pricing settings are counted by the symbol
// itself (CSymbol::PricingStamp), so that a quote revalues only its own.
inline stamps::Epoch g_inputs;

inline void InputsChanged() {
    g_inputs.Moved();
}
inline uint64_t InputsEpoch() {
    return g_inputs.Now();
}

}  // namespace valuation

namespace membership {

// Who is listed where: the clients, their accounts, and the accounts each
// symbol's references list.
inline stamps::Epoch g_members;

inline void MembersChanged() {
    g_members.Moved();
}
inline uint64_t MembersEpoch() {
    return g_members.Now();
}

}  // namespace membership

}  // namespace OrbanelGeneral10
