// Price rules: lots, limit and stop prices, SL/TP distances and the price step.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "clientapi/facade/PriceRules.h"
#include "general/model/CClientParam.h"
#include "general/model/CSymbol.h"
#include "runtime/Variant.h"
#include "tests/support/ErrorNumber.h"

namespace {

using namespace OrbanexClientAPI10::pricerules;
using OrbanelGeneral10::OperationTypeEnum;
using runtime::Variant;

constexpr auto kBuy = OrbanelGeneral10::BuyType;
constexpr auto kSell = OrbanelGeneral10::SellType;
constexpr auto kBuyStop = OrbanelGeneral10::BuyStopType;
constexpr auto kSellStop = OrbanelGeneral10::SellStopType;
constexpr auto kNoSide = static_cast<OperationTypeEnum>(0);

// A client's parameters with fixed prices over a real symbol.
class FixedParam : public OrbanelGeneral10::CClientParam {
public:
    FixedParam() : symbol_(std::make_shared<OrbanelGeneral10::CSymbol>()) {
        symbol_->setPipLocation(int16_t{-4});
        symbol_->setTickPips(1.0);
    }
    double BidWithSpread() const override { return bid; }
    double AskWithSpread() const override { return ask; }
    double MinLots() const override { return minLots; }
    double MaxLots() const override { return maxLots; }
    double LimitOffset() const override { return limitOffset; }
    double StopOffset() const override { return stopOffset; }
    std::shared_ptr<OrbanelGeneral10::CSymbol> Symbol() const override { return symbol_; }
    OrbanelGeneral10::CSymbol& symbol() { return *symbol_; }

    double bid = 1.2000, ask = 1.2003, minLots = 0.1, maxLots = 10;
    double limitOffset = 20, stopOffset = 10;

private:
    std::shared_ptr<OrbanelGeneral10::CSymbol> symbol_;
};

TEST(PriceRules, LotsArePositiveBoundedAndWholeMultiplesOfTheMinimum) {
    struct Case {
        double lots, minLots;
        bool valid;
    } cases[] = {
        {0.3, 0.1, true},
        {0.35, 0.1, false},
        {10, 0.1, true},
        {10.1, 0.1, false},
        {0.1, 0.1, true},
        {0.05, 0.1, false},
        {0, 0.1, false},
        {-0.3, 0.1, false},
        {0.3, 0, false},
        {2, 0.5, true},
        {2.25, 0.5, false},
        {1.7, 0.01, true},
        {std::numeric_limits<double>::quiet_NaN(), 0.1, false},
        {std::numeric_limits<double>::infinity(), 0.1, false},
    };
    FixedParam param;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.lots << " step " << c.minLots);
        param.minLots = c.minLots;
        EXPECT_EQ(ValidateLots(c.lots, param), c.valid);
    }
    EXPECT_TRUE(IsPositiveAmount(999999999));
    EXPECT_FALSE(IsPositiveAmount(1000000000));
    EXPECT_FALSE(IsPositiveAmount(0));
}

TEST(PriceRules, MultipleSearchEndsForStepsTooSmallToMove) {
    // 0.3 / 0.1 reads 2.999..., so the search starts one step low.
    EXPECT_TRUE(IsMultipleOf(0.3, 0.1));
    EXPECT_FALSE(IsMultipleOf(0.35, 0.1));
    EXPECT_FALSE(IsMultipleOf(0.3, 0));
    // Steps that vanish next to x, or overflow x / step: answered at once.
    EXPECT_TRUE(IsMultipleOf(0.3, 1e-17));
    EXPECT_FALSE(IsMultipleOf(0.36055, 1e-17));  // starts below, never grows
    EXPECT_FALSE(IsMultipleOf(0.3, 1e-320));
    EXPECT_FALSE(IsMultipleOf(0.3, -0.07));
}

TEST(PriceRules, OffsetsAndRelationsFollowSideAndSelector) {
    // Offsets in pips (stop 10, limit 20) at PipLocation -4.
    struct Case {
        OperationTypeEnum side;
        const char* selector;
        double offset;
        const char* relation;
    } cases[] = {
        {kBuy, "SL", -0.0010, "<"},     {kBuy, "TP", 0.0020, ">"},
        {kBuy, "sl", -0.0010, "<"},     {kBuyStop, "SL", -0.0010, "<"},
        {kBuyStop, "TP", 0.0020, ">"},  {kSell, "SL", 0.0010, ">"},
        {kSell, "TP", -0.0020, "<"},    {kSell, "x", 0.0010, "<"},
        {kSellStop, "SL", 0.0010, ">"}, {kSellStop, "TP", -0.0020, "<"},
        {kNoSide, "SL", 0.0010, "<"},   {kNoSide, "TP", -0.0020, "<"},
    };
    FixedParam param;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.side << " " << c.selector);
        EXPECT_NEAR(SlTpOffsetVal(c.side, param, c.selector), c.offset, 1e-12);
        EXPECT_EQ(SlTpRelation(c.side, c.selector), c.relation);
    }
    struct LimitCase {
        OperationTypeEnum side;
        double price;  // Ask 1.2003 for buys, Bid 1.2000 for the rest
        const char* relation;
    } limits[] = {
        {kBuy, 1.1983, "<"},      {kBuyStop, 1.2013, ">"}, {kSell, 1.2020, ">"},
        {kSellStop, 1.1990, "<"}, {kNoSide, 1.1990, "<"},
    };
    for (const LimitCase& c : limits) {
        SCOPED_TRACE(c.side);
        EXPECT_NEAR(PriceWithOffset(c.side, param), c.price, 1e-12);
        EXPECT_EQ(LimitRelation(c.side), c.relation);
    }
}

TEST(PriceRules, WorkedExampleOfABuyPosition) {
    FixedParam param;
    EXPECT_NEAR(SlTpPriceWithOffset(kBuy, param, "SL", 1.2000), 1.1990, 1e-12);
    EXPECT_NEAR(SlTpPriceWithOffset(kBuy, param, "TP", 1.2000), 1.2020, 1e-12);
    EXPECT_TRUE(ValidateSlTpPrice(kBuy, param, "SL", 1.1989, 1.2000, -1));
    EXPECT_FALSE(ValidateSlTpPrice(kBuy, param, "SL", 1.1990, 1.2000, -1));
    EXPECT_TRUE(ValidateSlTpPrice(kBuy, param, "SL", "1.1989", 1.2000, -1));
    EXPECT_TRUE(ValidateSlTpPrice(kBuy, param, "TP", 1.2021, 1.2000, -1));
    // Absent prices pass; a text that is not a number fails, never raises.
    EXPECT_TRUE(ValidateSlTpPrice(kBuy, param, "SL", "", 1.2000, -1));
    EXPECT_TRUE(ValidateSlTpPrice(kBuy, param, "SL", runtime::Null, 1.2000, -1));
    EXPECT_FALSE(ValidateSlTpPrice(kBuy, param, "SL", "abc", 1.2000, -1));
    EXPECT_FALSE(ValidateSlTpPrice(kBuy, param, "SL", " ", 1.2000, -1));
    // A price left as stored is not held to the distance, only to the step.
    EXPECT_TRUE(ValidateSlTpPrice(kBuy, param, "SL", 1.1995, 1.2000, 1.1995));
    param.symbol().setTickPips(5.0);
    EXPECT_TRUE(ValidatePriceTickPips("1.2345", &param.symbol()));
    EXPECT_FALSE(ValidatePriceTickPips("1.2346", &param.symbol()));
    EXPECT_FALSE(ValidateSlTpPrice(kBuy, param, "SL", 1.1989, 1.2000, -1));
}

TEST(PriceRules, LimitPriceAtTheOffsetFailsOneTickBeyondPasses) {
    FixedParam param;
    const double atOffset = PriceWithOffset(kBuy, param);  // 1.1983
    EXPECT_FALSE(ValidateLimitPrice(kBuy, param, atOffset, -1));
    EXPECT_TRUE(ValidateLimitPrice(kBuy, param, 1.1982, -1));
    EXPECT_TRUE(ValidateLimitPrice(kBuy, param, -1, -1));  // -1: only the step applies
    EXPECT_FALSE(ValidateLimitPrice(kBuy, param, std::nan(""), -1));
    param.symbol().setTickPips(0.0);
    EXPECT_FALSE(ValidateLimitPrice(kBuy, param, 1.1982, -1));
    EXPECT_FALSE(ValidateSlTpPrice(kBuy, param, "TP", 1.3, 1.2, -1));
    EXPECT_TRUE(ValidateSlTpPrice(kBuy, param, "TP", "", 1.2, -1));
}

TEST(PriceRules, RemainderRoundsHalvesUpWritesBackAndRaisesOnOverflow) {
    struct Case {
        double a, b;
        int32_t result;
        double aAfter, bAfter;
    } cases[] = {
        {7.5, 2, 0, 8, 2},
        {-7, 2, -1, -7, 2},
        {5, 0.4, 0, 5, 0},
        {12345, 5, 0, 12345, 5},
        {12346, 5, 1, 12346, 5},
        {-6.5, 4, -2, -6, 4},
        {1e15 + 3, 10, 3, 1e15 + 3, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a << " mod " << c.b);
        double a = c.a, b = c.b;
        EXPECT_EQ(ModLarge(a, b), c.result);
        EXPECT_EQ(a, c.aAfter);
        EXPECT_EQ(b, c.bAfter);
    }
    double inf = std::numeric_limits<double>::infinity(), five = 5;
    EXPECT_EQ(testsupport::ErrorNumberOf([&] { ModLarge(inf, five); }), 6);
    double nan = std::nan(""), two = 2;
    EXPECT_EQ(testsupport::ErrorNumberOf([&] { ModLarge(nan, two); }), 6);
}

TEST(PriceRules, TickRuleCountsPipsAtEveryPipLocation) {
    struct Case {
        int16_t pipLocation;
        double tickPips;
        const char* price;
        bool valid;
    } cases[] = {
        {-4, 5, "1.2345", true},  {-4, 5, "1.2346", false},  {-4, 1, "1.23456", true},
        {-4, 5, "1.23452", true},  // fractions of a pip are rounded away first
        {0, 5, "105", true},      {0, 5, "104", false},      {0, 5, "104.6", true},
        {2, 1, "300", true},      {2, 1, "350", true},       {2, 2, "300", false},
        {2, 2, "200", true},      {100, 1, "1.23456", true}, {100, 7, "98765.4321", true},
        {-4, 0, "1.2345", false}, {-4, 5, "", false},        {-4, 5, "  ", false},
        {-4, 5, "abc", false},    {-4, 5, "NaN", false},
    };
    OrbanelGeneral10::CSymbol symbol;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pipLocation << " " << c.tickPips << " " << c.price);
        symbol.setPipLocation(c.pipLocation);
        symbol.setTickPips(c.tickPips);
        EXPECT_EQ(ValidatePriceTickPips(c.price, &symbol), c.valid);
    }
    EXPECT_FALSE(ValidatePriceTickPips("1.2345", nullptr));
    symbol.setPipLocation(int16_t{-4});
    symbol.setTickPips(5.0);
    EXPECT_EQ(testsupport::ErrorNumberOf([&] { ValidatePriceTickPips("1e305", &symbol); }), 6);
}

}  // namespace
