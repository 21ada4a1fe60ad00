// The quote path runs for every session on every quote: once its buffers
// have grown it must not allocate. Counted with a replaced global operator
// new, so not in sanitizer builds (they own the allocator).
#if !defined(__SANITIZE_ADDRESS__)
// The replacement pairs malloc with free; the compiler cannot see that.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "manager_fixture.h"

namespace {

bool counting = false;
int allocations = 0;

}  // namespace

void* operator new(std::size_t size) {
    if (counting) ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

using namespace managerfixture;

TEST(Quotes, NoAllocationPerRecordAfterWarmUp) {
    Session s;
    s.symbols->setGWPricesStep(3);
    s.Login();
    s.Positions({PositionRow(7, 70, 1, 2, 1, 1.2), PositionRow(7, 70, 2, 2, 2, 1.2),
                 PositionRow(7, 70, 3, 3, 1, 1.5)});
    std::vector<std::string> buffers;
    for (int i = 0; i < 12; ++i) {
        const std::string bid = "1.20" + std::to_string(10 + i);
        buffers.push_back("10:00:" + std::to_string(10 + i) + ",2_3," + bid + "," + bid +
                          "5,9,1,2");
    }
    // The recorder's own texts would count: plain counters instead.
    s.links.clear();
    int floating = 0, symbolEvents = 0;
    s.links.emplace_back(s.symbols->DealWithChangedSymbolPrices.Connect(
        [&](const auto& symbol) { s.manager->DealWithChangedSymbolPrices(symbol); }));
    s.links.emplace_back(s.manager->PosFloatingPLChanged.Connect([&](const auto&) { ++floating; }));
    s.links.emplace_back(
        s.manager->SymbolPricesChanged.Connect([&](const auto&) { ++symbolEvents; }));
    for (int i = 0; i < 2; ++i) s.symbols->MarketDataReceived(buffers[i]);
    floating = symbolEvents = 0;

    counting = true;
    for (int i = 2; i < 12; ++i) s.symbols->MarketDataReceived(buffers[i]);
    counting = false;
    EXPECT_EQ(allocations, 0);
    EXPECT_EQ(floating, 30);
    EXPECT_EQ(symbolEvents, 20);
    EXPECT_DOUBLE_EQ(s.Symbol(3)->Bid(), 1.2021);
}

}  // namespace
#endif
