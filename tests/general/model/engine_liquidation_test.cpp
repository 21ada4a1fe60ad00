// Liquidation by equity and by margin level with the log texts, close results
// answered from inside the liquidation, daily interest and the two commission
// modes.
#include <gtest/gtest.h>

#include "engine_fixture.h"

namespace {

using namespace enginefixture;
using Names = std::vector<std::string>;

// Client 7 with account 70 holding one bought lot of symbol 2 at 1.2000, so a
// bid of 1.2000 leaves the deposit as the equity.
struct LiqDesk : Desk {
    explicit LiqDesk(LiquidationTypeEnum type = EQUITY_LIQUIDATION, double point = 100,
                     double deposit = 150)
        : Desk(SERVER_SIDE_EXECUTION) {
        AddClient(7, runtime::Null, type, point);
        AddAccount(7, 70, deposit);
        AddPosition(7, 70, 1, 2, 1, 1.2000);
        events.Clear();
    }
    std::shared_ptr<CAccount> account() { return engine->Account(7, 70); }
    // A summary row: deposit and margin requirement, liquidation not locked.
    void Row(double deposit, double marginReq, bool locked = false) {
        engine->UpdateAccountSummaries(Variant(7), Variant(70), 0.0, Variant(marginReq), 0.0,
                                       Variant(deposit), 0.0, 0.0, locked, 0.0);
    }
};

TEST(EngineLiquidation, EquityAtThePointTriggersRoundedToCents) {
    struct Case {
        double deposit;
        bool liquidated;
    };
    for (const Case& c : {Case{100.004, true}, Case{100.006, false}, Case{100, true},
                          Case{99, true}, Case{101, false}}) {
        LiqDesk d(EQUITY_LIQUIDATION, 100, c.deposit);
        d.Quote(2, 1.2000, 1.2002);
        EXPECT_EQ(d.events.liquidated.size(), c.liquidated ? 1u : 0u) << c.deposit;
        EXPECT_EQ(d.account()->OpenPositions()->Item("1")->Liquidated(), c.liquidated);
    }
}

TEST(EngineLiquidation, MarginLevelAsAPercentage) {
    struct Case {
        double deposit;
        bool liquidated;
    };
    for (const Case& c : {Case{100, true}, Case{100.02, false}}) {
        LiqDesk d(MARGIN_LEVEL_LIQUIDATION, 50, 0);
        d.Symbol(2)->setBid(1.2000);
        d.Row(c.deposit, -200);  // level deposit / 200
        EXPECT_EQ(d.events.liquidated.size(), c.liquidated ? 1u : 0u) << c.deposit;
    }
}

TEST(EngineLiquidation, ExcludedDemoAndCoverageAccountsAreNeverLiquidated) {
    struct Case {
        AccountTypeEnum type;
        bool dontLiquidate;
    };
    for (const Case& c : {Case{NormalAccountType, true}, Case{DemoAccountType, false},
                          Case{CoverageAccountType, false}}) {
        LiqDesk d;
        d.engine->UpdateAccount(7, 70, c.type, false, false, c.dontLiquidate);
        d.Quote(2, 1.1000, 1.1002);
        EXPECT_TRUE(d.events.liquidated.empty()) << c.type;
        EXPECT_TRUE(d.events.logs.empty()) << c.type;
    }
}

TEST(EngineLiquidation, SendsEveryOpenPositionThenReportsTheAccount) {
    LiqDesk d;
    d.AddSymbol(5, 1.5000, 1.5002, true);  // closed for trading
    d.engine->Clients()->InitializeParams(d.symbols, 1);
    d.AddPosition(7, 70, 2, 5, 1, 1.5000);
    d.AddPosition(7, 70, 3, 3, 2, 1.5003, SellType);
    d.events.Clear();

    d.Quote(2, 1.1990, 1.1992);  // -100: equity 50
    EXPECT_EQ(d.events.names, (Names{"UpdateListView", "SendLiqPosition", "AddLogEntry",
                                     "SendLiqPosition", "AddLogEntry", "SendLiquidateAccount"}));
    ASSERT_EQ(d.events.liqPositions.size(), 2u);
    const LiqPosition& first = d.events.liqPositions[0];
    EXPECT_EQ(first.client, 7);
    EXPECT_EQ(first.account, 70);
    EXPECT_EQ(first.ticket, 1);
    EXPECT_EQ(first.symbol, 2);
    EXPECT_DOUBLE_EQ(first.close, 1.1990);
    EXPECT_DOUBLE_EQ(first.ref, 1);
    EXPECT_DOUBLE_EQ(first.lots, 1);
    EXPECT_DOUBLE_EQ(first.effMargin, 50);
    EXPECT_EQ(d.events.liqPositions[1].ticket, 3);
    EXPECT_DOUBLE_EQ(d.events.liqPositions[1].close, 1.5003);
    EXPECT_EQ(d.events.logs[0], "1:Ticket 2 trading is closed");
    EXPECT_EQ(d.events.logs[1],
              "1:Account 70 reached the liquidation point Equity = 100 (Balance = 150 Credit = 0 "
              "Flt P/L = -100 Equity = 50 M Req = 0 M Level = 100% Eff Margin = 50)");
    EXPECT_EQ(d.events.liquidated, (std::vector<std::pair<int32_t, int32_t>>{{7, 70}}));

    // Only the unsent position is offered again, and still cannot go.
    d.events.Clear();
    d.Quote(2, 1.1990, 1.1992);
    EXPECT_EQ(d.events.names, (Names{"UpdateListView", "AddLogEntry"}));
    EXPECT_EQ(d.events.logs[0], "1:Ticket 2 trading is closed");

    // Once every position is sent, a check at the point raises nothing more.
    d.engine->DeleteOpenPosition(7, 70, Variant(2));
    d.events.Clear();
    d.Quote(2, 1.1990, 1.1992);
    EXPECT_EQ(d.events.names, (Names{"UpdateListView"}));
}

TEST(EngineLiquidation, MarginLevelLogLineAndLockedAccounts) {
    LiqDesk d(MARGIN_LEVEL_LIQUIDATION, 50, 0);
    d.Row(80, -200, true);
    EXPECT_EQ(d.events.logs, (std::vector<std::string>{"1:Liquidation is locked for account 70"}));
    d.events.Clear();
    d.Row(80.5, -200);
    ASSERT_EQ(d.events.logs.size(), 1u);
    EXPECT_EQ(d.events.logs[0],
              "1:Account 70 reached the liquidation point Margin Level = 50 (Balance = 80.5 "
              "Credit = 0 Flt P/L = 0 Equity = 80.5 M Req = -200 M Level = 40.25% Eff Margin = "
              "-119.5)");
}

TEST(EngineLiquidation, AWaitingHitHoldsLiquidationBack) {
    LiqDesk d;
    d.AddOrder(7, 70, 9, LimitOrdersType, BuyType, 3, 1.0, 0, 0, 0);
    d.account()->Orders()->Item("9")->setStatus(11);
    for (int quote = 0; quote < 2; ++quote) d.Quote(2, 1.1990, 1.1992);
    EXPECT_EQ(d.events.logs, (std::vector<std::string>(
                                 2, "1:Liquidation point for account 70 but has pending order 9")));
    EXPECT_TRUE(d.events.liqPositions.empty());
    d.account()->Orders()->Item("9")->setStatus(15);  // executed without the dealer
    d.Quote(2, 1.1990, 1.1992);
    EXPECT_EQ(d.events.liquidated.size(), 1u);
}

TEST(EngineLiquidation, AnUnknownLiquidationTypeIsNotJudged) {
    Desk d(SERVER_SIDE_EXECUTION);
    d.AddClient(1, runtime::Null, EQUITY_LIQUIDATION, 100);
    d.AddClient(2, runtime::Null, static_cast<LiquidationTypeEnum>(3), 1e9);
    d.AddAccount(1, 10, 50);
    d.AddAccount(2, 20, 50);
    d.AddPosition(1, 10, 1, 2, 1, 1.2000);
    d.AddPosition(2, 20, 2, 2, 1, 1.2000);
    d.Quote(2, 1.2000, 1.2002);
    EXPECT_EQ(d.events.liquidated, (std::vector<std::pair<int32_t, int32_t>>{{1, 10}}));
}

TEST(EngineLiquidation, CloseResultsAnsweredDuringTheWalk) {
    LiqDesk d;
    d.AddPosition(7, 70, 2, 2, 1, 1.2000);
    d.AddPosition(7, 70, 3, 2, 1, 1.2000);
    d.events.Clear();
    // The owner's close of ticket 1 answers at once and fails; ticket 2 is
    // closed at once and takes ticket 3 with it.
    d.events.onLiqPosition = [&](const LiqPosition& p) {
        if (p.ticket == 1) d.engine->CloseResultReceived(-5, 7, 70, 1);
        if (p.ticket == 2) {
            d.engine->CloseResultReceived(-10, 7, 70, 2);
            d.engine->CloseResultReceived(-10, 7, 70, 3);
        }
    };
    d.Quote(2, 1.1997, 1.1999);  // -3 x 30: equity 60
    std::vector<int32_t> sent;
    for (const LiqPosition& p : d.events.liqPositions) sent.push_back(p.ticket);
    EXPECT_EQ(sent, (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(d.events.liquidated.size(), 1u);
    EXPECT_FALSE(d.account()->OpenPositions()->Item("1")->Liquidated());
    EXPECT_EQ(d.account()->OpenPositions()->Count(), 1);

    // Other codes and unknown tickets change nothing.
    d.events.onLiqPosition = nullptr;
    d.account()->OpenPositions()->Item("1")->setLiquidated(true);
    d.engine->CloseResultReceived(-7, 7, 70, 1);
    d.engine->CloseResultReceived(-5, 7, 70, 99);
    d.engine->CloseResultReceived(-5, 7, 99, 1);
    EXPECT_TRUE(d.account()->OpenPositions()->Item("1")->Liquidated());
    d.engine->OrderRejected(MarketOrderType, 7, 70, 0, 1);
    EXPECT_FALSE(d.account()->OpenPositions()->Item("1")->Liquidated());
}

TEST(EngineLiquidation, ClientSideExecutionNeverLiquidates) {
    Desk d(CLIENT_SIDE_EXECUTION);
    d.AddClient(7, runtime::Null, EQUITY_LIQUIDATION, 1e9);
    d.AddAccount(7, 70, 10);
    d.AddPosition(7, 70, 1, 2, 1, 1.2000);
    d.engine->AddNewAlert(7, 1, 2, BID_GREATER, 0.5, SMSAlertType, true);
    d.AddOrder(7, 70, 2, LimitOrdersType, BuyType, 2, 5.0);
    d.events.Clear();
    d.Quote(2, 1.1000, 1.1002);
    EXPECT_EQ(d.events.names, (Names{"UpdateListView"}));
}

struct InterestDesk : Desk {
    explicit InterestDesk(CommCalcTypeEnum comm, bool enabled = true)
        : Desk(CLIENT_SIDE_EXECUTION, comm) {
        AddClient(7, runtime::Null, EQUITY_LIQUIDATION, 0, enabled);
        AddAccount(7, 70);
        AddAccount(7, 71);
        AddPosition(7, 70, 1, 2, 1, 1.2000);            // buy: 10 a day
        AddPosition(7, 70, 2, 2, 2, 1.2000, SellType);  // sell, 2 lots: -4 a day
        AddPosition(7, 70, 3, 3, 1, 1.5000);            // another symbol: untouched
        AddPosition(7, 71, 4, 2, 1, 1.2000, SellType);  // -2 a day
        Symbol(2)->setBid(1.2000);
        Symbol(2)->setAsk(1.2000);
        Symbol(3)->setBid(1.5000);
        events.Clear();
    }
    void Charge(int16_t days = 1) { engine->CalculateInterest(2, days, 0.0365, -0.0073, 365); }
};

TEST(EngineInterest, EachAccountIsChargedForItsOwnPositions) {
    InterestDesk d(ON_OPEN_TYPE);
    d.Charge();
    EXPECT_EQ(d.events.posInterest,
              (std::vector<std::vector<double>>{{7, 70, 1, 10}, {7, 70, 2, -4}, {7, 71, 4, -2}}));
    EXPECT_EQ(d.events.totInterest, (std::vector<std::vector<double>>{{7, 70, 6}, {7, 71, -2}}));
    EXPECT_EQ(d.events.names, (Names{"ChangePosInterest", "ChangePosInterest", "UpdateListView",
                                     "ChangeTotInterest", "ChangePosInterest", "UpdateListView",
                                     "ChangeTotInterest"}));
    // With commission on open the interest is booked on the account, not
    // in the floating result.
    EXPECT_DOUBLE_EQ(d.engine->Account(7, 70)->SummeryInfo()->balance(), 1006);
    EXPECT_DOUBLE_EQ(d.events.updates[0].flt, 0);
    d.Charge(3);
    EXPECT_DOUBLE_EQ(d.engine->Account(7, 70)->OpenPositions()->Item("1")->Interest(), 40);
    EXPECT_DOUBLE_EQ(d.engine->Account(7, 70)->SummeryInfo()->TotalInterest(), 24);
}

TEST(EngineInterest, CommissionOnCloseLeavesInterestOnThePositions) {
    InterestDesk d(ON_CLOSE_TYPE);
    d.engine->Clients()->Item("7")->SymbolParam(2)->setCommission(7);
    d.Charge();
    EXPECT_TRUE(d.events.totInterest.empty());
    EXPECT_EQ(d.events.posInterest.size(), 3u);
    EXPECT_DOUBLE_EQ(d.engine->Account(7, 70)->SummeryInfo()->TotalInterest(), 0);
    // The floating result carries the interest and the commission to pay.
    d.events.Clear();
    d.Quote(2, 1.2000, 1.2000);
    ASSERT_EQ(d.events.updates.size(), 2u);
    EXPECT_DOUBLE_EQ(d.events.updates[0].flt, (10 - 7) + (-4 - 14) + 0);
    EXPECT_DOUBLE_EQ(d.events.updates[1].flt, -2 - 7);

    d.engine->setCommCalcType(ON_OPEN_TYPE);
    d.events.Clear();
    d.Quote(2, 1.2000, 1.2000);
    EXPECT_DOUBLE_EQ(d.events.updates[0].flt, 0);
}

TEST(EngineInterest, DisabledClientsAndBadYearsChangeNothing) {
    InterestDesk off(ON_OPEN_TYPE, false);
    off.Charge();
    EXPECT_TRUE(off.events.names.empty());

    InterestDesk d(ON_OPEN_TYPE);
    EXPECT_EQ(ErrorOf([&] { d.engine->CalculateInterest(2, 1, 0.0365, 0.0365, 0); }),
              runtime::errc::DivisionByZero);
    EXPECT_TRUE(d.events.names.empty());
    EXPECT_EQ(d.engine->Account(7, 70)->OpenPositions()->Item("1")->Interest(), 0);
}

}  // namespace
