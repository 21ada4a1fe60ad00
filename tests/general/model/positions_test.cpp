#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "general/model/CAccount.h"
#include "general/model/COpenPosition.h"
#include "general/model/COpenPositions.h"
#include "trading_fixture.h"

namespace {

using namespace OrbanelGeneral10;
using namespace tradingfixture;

struct ProfitCase {
    const char* name;
    OperationTypeEnum side;
    int16_t pipLocation;
    double open, bid, ask, lots, factor;
    int16_t priceCase;
    double refBid, refAsk;  // the reference symbol's quote (1 and 1: the fixed-price symbol)
    double commission, interest;
    CommCalcTypeEnum commType;
    runtime::Variant clientSpread;
    double expected;
};

// Oracles worked out by hand from the quote, the side and the client's spread.
TEST(OpenPosition, FloatingProfitLossFromTheClientsClosePrice) {
    const runtime::Variant none = runtime::Null;
    const ProfitCase cases[] = {
        {"buy closes at the bid", BuyType, -4, 1.1, 1.101, 1.1012, 2, 100000, 1, 1, 1, 0, 0,
         ON_OPEN_TYPE, none, 200},
        {"sell closes at the ask", SellType, -4, 1.1, 1.101, 1.1012, 2, 100000, 1, 1, 1, 0, 0,
         ON_OPEN_TYPE, none, -240},
        {"client spread on the sell's close", SellType, -4, 1.1, 1.101, 1.1012, 2, 100000, 1, 1, 1,
         0, 0, ON_OPEN_TYPE, runtime::Variant(int16_t(3)), -260},
        {"commission and interest on close", BuyType, -4, 1.1, 1.101, 1.1012, 2, 100000, 1, 1, 1, 7,
         -1.5, ON_CLOSE_TYPE, none, 184.5},
        {"no commission term on open", BuyType, -4, 1.1, 1.101, 1.1012, 2, 100000, 1, 1, 1, 7, -1.5,
         ON_OPEN_TYPE, none, 200},
        {"buy converted at the reference bid", BuyType, -4, 1.1, 1.101, 1.1012, 2, 100000, 1, 2,
         2.5, 0, 0, ON_OPEN_TYPE, none, 400},
        {"sell converted at the reference ask", SellType, -4, 1.1, 1.101, 1.1012, 2, 100000, 1, 2,
         2.5, 0, 0, ON_OPEN_TYPE, none, -600},
        {"inverted prices", BuyType, -2, 1.25, 1, 1.02, 1, 10, 2, 1, 1, 0, 0, ON_OPEN_TYPE, none,
         2},
        {"exact half rounds to even (down)", BuyType, -2, 1, 1.25, 1.3, 1, 0.5, 1, 1, 1, 0, 0,
         ON_OPEN_TYPE, none, 0.12},
        {"exact half rounds to even (up)", SellType, -2, 1, 1.7, 1.75, 1, 0.5, 1, 1, 1, 0, 0,
         ON_OPEN_TYPE, none, -0.38},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto ref = MakeSymbol(9, -4, c.refBid, c.refAsk);
        auto refParam = MakeParam(ref, nullptr);
        auto symbol = MakeSymbol(7, c.pipLocation, c.bid, c.ask, c.factor, c.priceCase);
        auto param = MakeParam(symbol, refParam, c.commission, c.clientSpread);

        COpenPositions positions;
        auto p = positions.Add(c.open, param, c.lots, c.side, 11, nullptr, c.interest, "t");
        ASSERT_TRUE(p);
        EXPECT_DOUBLE_EQ(p->FloatingProfitLoss(c.commType), c.expected);
        EXPECT_DOUBLE_EQ(positions.TotalFloatingProfitLoss(c.commType), c.expected);
    }
}

TEST(OpenPosition, PricesAndCommission) {
    Market m;
    auto symbol = MakeSymbol(7, -4, 1.1010, 1.1012);
    auto param = MakeParam(symbol, m.unitParam, 7);
    COpenPosition p;
    p.setSymbolParam(param);
    p.setLots(2);
    p.setType_no(BuyType);
    // Stored as the symbol's price text reads back: a tenth of a pip added first.
    p.setPrice(1.234445);
    EXPECT_DOUBLE_EQ(p.Price(), 1.2345);
    EXPECT_DOUBLE_EQ(p.ClosePrice(), 1.1010);
    EXPECT_DOUBLE_EQ(p.RefClosePrice(), 1);
    EXPECT_DOUBLE_EQ(p.Commission(), -14);
    p.setType_no(SellType);
    EXPECT_DOUBLE_EQ(p.ClosePrice(), 1.1012);
    // Any side value other than a buy takes the sell branch.
    p.setType_no(BuyStopType);
    EXPECT_DOUBLE_EQ(p.ClosePrice(), 1.1012);
}

TEST(OpenPosition, MissingReferencesRaiseInsteadOfCrashing) {
    auto symbol = MakeSymbol(7, -4, 1.1, 1.1);
    COpenPosition bare;
    EXPECT_EQ(ErrorOf([&] { bare.setPrice(1.1); }), runtime::errc::ObjectVariableNotSet);
    EXPECT_EQ(ErrorOf([&] { bare.ClosePrice(); }), runtime::errc::ObjectVariableNotSet);

    COpenPosition noParent;
    noParent.setSymbolParam(MakeParam(symbol, nullptr));
    EXPECT_EQ(ErrorOf([&] { noParent.RefClosePrice(); }), runtime::errc::ObjectVariableNotSet);
    EXPECT_EQ(ErrorOf([&] { noParent.FloatingProfitLoss(ON_OPEN_TYPE); }),
              runtime::errc::ObjectVariableNotSet);
}

struct InterestCase {
    const char* name;
    OperationTypeEnum side;
    int16_t days;
    double lots, factor, buyRate, sellRate;
    int16_t yearDays;
    double expected;
};

TEST(OpenPosition, AddInterestChargesOneRoundedIncrement) {
    const InterestCase cases[] = {
        {"buy rate", BuyType, 1, 2, 100000, 0.05, -0.03, 360, 27.78},
        {"sell rate", SellType, 1, 2, 100000, 0.05, -0.03, 360, -16.67},
        {"any other side takes the sell rate", SellStopType, 1, 2, 100000, 0.05, -0.03, 360,
         -16.67},
        {"three days at once", BuyType, 3, 2, 100000, 0.05, -0.03, 360, 83.33},
        {"exact half to even", BuyType, 1, 1, 1, 0.125, 0, 1, 0.12},
        {"exact half to even, upwards", BuyType, 1, 1, 1, 0.375, 0, 1, 0.38},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Market m;
        auto symbol = MakeSymbol(7, -4, 1.1, 1.1, c.factor);
        COpenPosition p;
        p.setSymbolParam(MakeParam(symbol, m.unitParam));
        p.setLots(c.lots);
        p.setType_no(c.side);
        p.setInterest(10);
        EXPECT_DOUBLE_EQ(p.AddInterest(c.days, c.buyRate, c.sellRate, c.yearDays), c.expected);
        EXPECT_DOUBLE_EQ(p.Interest(), 10 + c.expected);
    }
}

TEST(OpenPosition, AddInterestWithoutYearDaysIsADivisionByZero) {
    Market m;
    COpenPosition p;
    p.setSymbolParam(MakeParam(MakeSymbol(7, -4, 1.1, 1.1, 100000), m.unitParam));
    p.setLots(1);
    p.setType_no(BuyType);
    p.setInterest(5);
    EXPECT_EQ(ErrorOf([&] { p.AddInterest(1, 0.05, 0.05, 0); }), runtime::errc::DivisionByZero);
    EXPECT_EQ(ErrorOf([&] { p.AddInterest(1, 0, 0, 0); }), runtime::errc::DivisionByZero);
    EXPECT_DOUBLE_EQ(p.Interest(), 5);
}

TEST(OpenPositions, AddKeysByTicketAndRefusesWhatItCannotStore) {
    Market m;
    auto symbol = MakeSymbol(7, -4, 1.1, 1.1);
    auto param = MakeParam(symbol, m.unitParam);
    auto account = std::make_shared<CAccount>();
    COpenPositions positions;
    EXPECT_DOUBLE_EQ(positions.TotalFloatingProfitLoss(ON_OPEN_TYPE), 0);

    auto p5 = positions.Add(1.123456, param, 1.5, SellType, 5, account, 2.5, "01/02/2024 10:00:00");
    ASSERT_TRUE(p5);
    EXPECT_EQ(p5->Ticket(), 5);
    EXPECT_DOUBLE_EQ(p5->Price(), 1.1235);
    EXPECT_DOUBLE_EQ(p5->lots(), 1.5);
    EXPECT_EQ(p5->Type_no(), SellType);
    EXPECT_DOUBLE_EQ(p5->Interest(), 2.5);
    EXPECT_EQ(p5->PosTime(), "01/02/2024 10:00:00");
    EXPECT_EQ(p5->Account(), account);
    EXPECT_FALSE(p5->Liquidated());
    auto p1 = positions.Add(1.2, param, 1, BuyType, 1, account, 0, "");
    ASSERT_TRUE(p1);

    // A ticket already present, or no parameter object to round the price with.
    EXPECT_FALSE(positions.Add(9.9, param, 9, BuyType, 5, account, 0, ""));
    EXPECT_FALSE(positions.Add(1.2, nullptr, 1, BuyType, 8, account, 0, ""));
    EXPECT_EQ(positions.Count(), 2);
    EXPECT_DOUBLE_EQ(positions.Item("5")->lots(), 1.5);

    // Position 1 is the first added; ticket 1 is found by its text.
    EXPECT_EQ(positions.Item(1), p5);
    EXPECT_EQ(positions.Item("1"), p1);
    EXPECT_EQ(positions.Item(runtime::Variant("1")), p1);
    EXPECT_EQ(positions.Item(runtime::Variant(2.0)), p1);
    EXPECT_FALSE(positions.Item(3));
    EXPECT_FALSE(positions.Item("77"));
    EXPECT_FALSE(positions.Item(runtime::Variant()));

    positions.Remove("77");
    positions.Remove("5");
    EXPECT_EQ(positions.Count(), 1);
    // Removing drops the entry only: the position keeps its account.
    EXPECT_EQ(p5->Account(), account);

    auto items = positions.Items();
    positions.Clear();
    EXPECT_EQ(positions.Count(), 0);
    EXPECT_EQ(items->Count(), 1);
    EXPECT_EQ(p1->Account(), account);
}

TEST(OpenPositions, TotalSumsTheRoundedResults) {
    Market m;
    auto symbol = MakeSymbol(7, -2, 1.25, 1.75, 0.5);
    auto param = MakeParam(symbol, m.unitParam);
    COpenPositions positions;
    positions.Add(1, param, 1, BuyType, 1, nullptr, 0, "");   // 0.125 -> 0.12
    positions.Add(1, param, 1, BuyType, 2, nullptr, 0, "");   // 0.125 -> 0.12
    positions.Add(1, param, 1, SellType, 3, nullptr, 0, "");  // -0.375 -> -0.38
    EXPECT_NEAR(positions.TotalFloatingProfitLoss(ON_OPEN_TYPE), -0.14, 1e-12);
}

}  // namespace
