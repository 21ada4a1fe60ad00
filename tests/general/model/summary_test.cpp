#include <gtest/gtest.h>

#include <limits>

#include "general/model/CSummaries.h"
#include "trading_fixture.h"

namespace {

using namespace OrbanelGeneral10;
using runtime::Variant;
using tradingfixture::ErrorOf;

TEST(Summaries, NewObjectIsAllZeroWithMarginLevelOne) {
    CSummaries s;
    EXPECT_EQ(s.balance(), 0);
    EXPECT_EQ(s.equity(), 0);
    EXPECT_EQ(s.EffectiveMargin(), 0);
    EXPECT_EQ(s.marginLevel(), 1.0);
    EXPECT_EQ(s.FloatingProfitLoss(), 0);
}

struct FigureCase {
    const char* name;
    double prev, dep, comm, margin, net, credit, interest, floating;
    double balance, equity, marginLevel, effective;
};

TEST(Summaries, DerivedFigures) {
    const FigureCase cases[] = {
        {"worked example", 100, 1000, -5, -200, 50, 10, -2, 30, 1143, 1183, 5.915, 983},
        {"positive margin: same level, effective above equity", 100, 1000, -5, 200, 50, 10, -2, 30,
         1143, 1183, 5.915, 1383},
        {"no margin", 0, 500, 0, 0, 0, 0, 0, -20, 500, 480, 1, 480},
        {"a ratio, not a percentage", 0, 400, 0, -200, 0, 0, 0, 0, 400, 400, 2, 200},
        {"effective margin half to even, down", 0, 200.125, 0, -200, 0, 0, 0, 0, 200.125, 200.125,
         200.125 / 200, 0.12},
        {"effective margin half to even, up", 0, 200.375, 0, -200, 0, 0, 0, 0, 200.375, 200.375,
         200.375 / 200, 0.38},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CSummaries s;
        s.SetValues(c.prev, c.dep, c.comm, c.margin, c.net, c.credit, c.interest);
        s.setFloatingProfitLoss(c.floating);
        EXPECT_DOUBLE_EQ(s.balance(), c.balance);
        EXPECT_DOUBLE_EQ(s.equity(), c.equity);
        EXPECT_DOUBLE_EQ(s.marginLevel(), c.marginLevel);
        EXPECT_DOUBLE_EQ(s.EffectiveMargin(), c.effective);
    }
}

TEST(Summaries, SetValuesStoresInItsOwnOrderAndRaisesOnce) {
    CSummaries s;
    int events = 0;
    auto c = s.DataChanged.Connect([&] { ++events; });
    s.SetValues(Variant(100.0), Variant("1000"), Variant(int16_t(-5)), Variant(-200.0),
                Variant(50.0), Variant(10.0), Variant(-2.0));
    EXPECT_EQ(events, 1);
    EXPECT_EQ(s.PreviousMargin(), 100);
    EXPECT_EQ(s.TotalDeposit(), 1000);
    EXPECT_EQ(s.TotalCommission(), -5);
    EXPECT_EQ(s.MarginRequirement(), -200);
    EXPECT_EQ(s.NetProfit(), 50);
    EXPECT_EQ(s.credit(), 10);
    EXPECT_EQ(s.TotalInterest(), -2);
}

TEST(Summaries, BadFigureKeepsThoseStoredBeforeIt) {
    // Stored in the order previous margin, deposit, commission, interest,
    // margin, net profit, credit: a bad interest (last argument) comes fourth.
    CSummaries s;
    s.SetValues(1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0);
    int events = 0;
    auto c = s.DataChanged.Connect([&] { ++events; });
    EXPECT_EQ(ErrorOf([&] { s.SetValues(10.0, 20.0, 30.0, 40.0, 50.0, 60.0, Variant("abc")); }),
              runtime::errc::TypeMismatch);
    EXPECT_EQ(events, 0);
    EXPECT_EQ(s.PreviousMargin(), 10);
    EXPECT_EQ(s.TotalDeposit(), 20);
    EXPECT_EQ(s.TotalCommission(), 30);
    EXPECT_EQ(s.TotalInterest(), 7);
    EXPECT_EQ(s.MarginRequirement(), 4);
    EXPECT_EQ(s.NetProfit(), 5);
    EXPECT_EQ(s.credit(), 6);
}

TEST(Summaries, FloatingFigureEvents) {
    CSummaries s;
    int events = 0;
    auto c = s.DataChanged.Connect([&] { ++events; });
    s.FloatingProfitLossChanged(5, false);
    EXPECT_EQ(events, 0);
    s.FloatingProfitLossChanged(5, true);
    EXPECT_EQ(events, 1);
    EXPECT_EQ(s.FloatingProfitLoss(), 10);
    s.setFloatingProfitLoss(10);
    s.setFloatingProfitLoss(10);
    EXPECT_EQ(events, 3);
    s.setTotalDeposit(5);
    s.Init();
    EXPECT_EQ(events, 3);
    EXPECT_EQ(s.FloatingProfitLoss(), 0);
    EXPECT_EQ(s.TotalDeposit(), 0);
}

TEST(Summaries, OverflowIsAnErrorNotAnInfinity) {
    CSummaries s;
    const double big = std::numeric_limits<double>::max();
    s.setTotalDeposit(big);
    s.setPreviousMargin(big);
    EXPECT_EQ(ErrorOf([&] { s.balance(); }), runtime::errc::Overflow);
    EXPECT_EQ(ErrorOf([&] { s.equity(); }), runtime::errc::Overflow);
    EXPECT_EQ(ErrorOf([&] { s.EffectiveMargin(); }), runtime::errc::Overflow);
    s.setPreviousMargin(0);
    s.setMarginRequirement(-1e-300);
    EXPECT_EQ(ErrorOf([&] { s.marginLevel(); }), runtime::errc::Overflow);
}

}  // namespace
