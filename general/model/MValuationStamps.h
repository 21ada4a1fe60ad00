#pragma once
// What a memo of positions' values checks to know that it still holds: one
// count, shared by every model of the process, of the changes to what a
// position is valued from (its own fields, its parameters and their links),
// and beside it each symbol's own count of its pricing changes (see
// CSymbol::PricingStamp), so that a quote invalidates only the values of its
// own symbol. A change counted here makes every memo value afresh once.
#include <atomic>
#include <cstdint>

namespace OrbanelGeneral10::valuation {

inline std::atomic<uint64_t> g_inputsEpoch{1};

// Called by every change of a valuation input that no symbol stamp counts.
inline void InputsChanged() {
    g_inputsEpoch.fetch_add(1, std::memory_order_relaxed);
}

// Never 0, so 0 can mark a memo that holds nothing.
inline uint64_t InputsEpoch() {
    return g_inputsEpoch.load(std::memory_order_relaxed);
}

}  // namespace OrbanelGeneral10::valuation
