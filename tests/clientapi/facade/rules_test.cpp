// Price rules: lots, offsets and relations, the SL/TP distance and the price step.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "clientapi/facade/PriceRules.h"
#include "general/model/CClientParam.h"
#include "general/model/CSymbol.h"
#include "tests/support/ErrorNumber.h"

namespace {

using namespace OrbanexClientAPI10::pricerules;
namespace G = OrbanelGeneral10;

// Fixed prices and limits over a real symbol at PipLocation -4.
struct FixedParam : G::CClientParam {
    FixedParam() { symbol->setPipLocation(int16_t{-4}); }
    double BidWithSpread() const override { return 1.2000; }
    double AskWithSpread() const override { return 1.2003; }
    double MinLots() const override { return minLots; }
    double MaxLots() const override { return 10; }
    double LimitOffset() const override { return 20; }
    double StopOffset() const override { return 10; }
    std::shared_ptr<G::CSymbol> Symbol() const override { return symbol; }
    double minLots = 0.1;
    std::shared_ptr<G::CSymbol> symbol = std::make_shared<G::CSymbol>();
};

TEST(PriceRules, LotsAreBoundedMultiplesOfTheMinimumAndTheSearchAlwaysEnds) {
    FixedParam p;
    for (auto [lots, valid] : {std::pair{0.3, true},
                               {0.35, false},
                               {10.0, true},
                               {10.1, false},
                               {0.0, false},
                               {-0.3, false},
                               {std::nan(""), false}}) {
        EXPECT_EQ(ValidateLots(lots, p), valid) << lots;
    }
    EXPECT_TRUE(IsPositiveAmount(999999999));
    EXPECT_FALSE(IsPositiveAmount(1000000000));
    EXPECT_FALSE(IsMultipleOf(0.3, 0));
    // Steps that vanish next to x (0.36055 starts one step low) or overflow x / step.
    EXPECT_TRUE(IsMultipleOf(0.3, 1e-17));
    EXPECT_FALSE(IsMultipleOf(0.36055, 1e-17));
    EXPECT_FALSE(IsMultipleOf(0.3, 1e-320));
    EXPECT_FALSE(IsMultipleOf(0.3, -0.07));
}

TEST(PriceRules, OffsetsAndRelationsFollowSideAndSelector) {
    const struct {
        G::OperationTypeEnum side;
        const char* selector;
        double slTpOffset;
        const char* slTpRelation;
        double limitPrice;
        const char* limitRelation;
    } rows[] = {
        {G::BuyType, "SL", -0.001, "<", 1.1983, "<"},
        {G::BuyType, "TP", 0.002, ">", 1.1983, "<"},
        {G::BuyType, "sl", -0.001, "<", 1.1983, "<"},
        {G::BuyStopType, "TP", 0.002, ">", 1.2013, ">"},
        {G::SellType, "SL", 0.001, ">", 1.2020, ">"},
        {G::SellType, "x", 0.001, "<", 1.2020, ">"},
        {G::SellStopType, "TP", -0.002, "<", 1.1990, "<"},
        {static_cast<G::OperationTypeEnum>(0), "SL", 0.001, "<", 1.1990, "<"},
    };
    FixedParam p;
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.side << r.selector);
        EXPECT_NEAR(SlTpOffsetVal(r.side, p, r.selector), r.slTpOffset, 1e-12);
        EXPECT_EQ(SlTpRelation(r.side, r.selector), r.slTpRelation);
        EXPECT_NEAR(PriceWithOffset(r.side, p), r.limitPrice, 1e-12);
        EXPECT_EQ(LimitRelation(r.side), r.limitRelation);
    }
}

TEST(PriceRules, WorkedExampleOfABuyPositionAndItsPriceStep) {
    FixedParam p;
    p.symbol->setTickPips(1.0);
    EXPECT_NEAR(SlTpPriceWithOffset(G::BuyType, p, "SL", 1.2), 1.1990, 1e-12);
    EXPECT_TRUE(ValidateSlTpPrice(G::BuyType, p, "SL", 1.1989, 1.2, -1));
    EXPECT_FALSE(ValidateSlTpPrice(G::BuyType, p, "SL", 1.1990, 1.2, -1));
    EXPECT_TRUE(ValidateSlTpPrice(G::BuyType, p, "SL", 1.1995, 1.2, 1.1995));  // left as stored
    EXPECT_TRUE(ValidateSlTpPrice(G::BuyType, p, "SL", runtime::Null, 1.2, -1));
    EXPECT_FALSE(ValidateSlTpPrice(G::BuyType, p, "SL", "abc", 1.2, -1));
    p.symbol->setTickPips(5.0);
    EXPECT_TRUE(ValidatePriceTickPips("1.2345", p.symbol.get()));
    EXPECT_FALSE(ValidatePriceTickPips("1.2346", p.symbol.get()));
    EXPECT_FALSE(ValidateSlTpPrice(G::BuyType, p, "SL", 1.1989, 1.2, -1));
}

TEST(PriceRules, RemainderRoundsHalvesUpAndWritesBack) {
    for (auto [a, b, r, aAfter, bAfter] : {std::tuple{7.5, 2.0, 0, 8.0, 2.0},
                                           {-7.0, 2.0, -1, -7.0, 2.0},
                                           {5.0, 0.4, 0, 5.0, 0.0},
                                           {-6.5, 4.0, -2, -6.0, 4.0},
                                           {1e15 + 3, 10.0, 3, 1e15 + 3, 10.0}}) {
        double x = a, y = b;
        EXPECT_EQ(ModLarge(x, y), r) << a << " mod " << b;
        EXPECT_EQ(x, aAfter);
        EXPECT_EQ(y, bAfter);
    }
    double inf = INFINITY, five = 5;
    EXPECT_EQ(testsupport::ErrorNumberOf([&] { ModLarge(inf, five); }), 6);
}

TEST(PriceRules, TickRuleCountsPipsAtEveryPipLocation) {
    const struct {
        int16_t pipLocation;
        double tickPips;
        const char* price;
        bool valid;
    } rows[] = {
        {-4, 5, "1.2345", true},  {-4, 5, "1.23452", true}, {-4, 5, "1.2346", false},
        {0, 5, "104.6", true},    {0, 5, "104", false},     {2, 1, "350", true},
        {2, 2, "300", false},     {2, 2, "200", true},      {100, 7, "98765.4321", true},
        {-4, 0, "1.2345", false}, {-4, 5, "  ", false},     {-4, 5, "NaN", false},
    };
    G::CSymbol symbol;
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.pipLocation << " " << r.tickPips << " " << r.price);
        symbol.setPipLocation(r.pipLocation);
        symbol.setTickPips(r.tickPips);
        EXPECT_EQ(ValidatePriceTickPips(r.price, &symbol), r.valid);
    }
    EXPECT_EQ(testsupport::ErrorNumberOf([&] { ValidatePriceTickPips("1e305", &symbol); }), 6);
}

}  // namespace
