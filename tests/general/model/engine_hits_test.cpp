// Pending-order and alert hits in server-side execution: the hit tables with
// their equalities, the status rules, the Done/SecondHit answer, orders that
// arrive hit, and handlers that change the orders during a scan.
#include <gtest/gtest.h>

#include "engine_fixture.h"

namespace {

using namespace enginefixture;
using Names = std::vector<std::string>;

struct ServerDesk : Desk {
    ServerDesk() : Desk(SERVER_SIDE_EXECUTION) {
        AddClient(7);
        AddAccount(7, 70);
        events.Clear();
    }
    std::shared_ptr<CAccount> account() { return engine->Account(7, 70); }
};

TEST(EngineHits, EntryOrderTable) {
    struct Case {
        OperationTypeEnum side;
        double limit, bid, ask;
        bool hit;
        double hitPrice;
    };
    const Case cases[] = {
        {BuyType, 1.2000, 1.1998, 1.2000, true, 1.2000},       // buy limit: ask at the price
        {BuyType, 1.2000, 1.1999, 1.2001, false, 0},           // ask above
        {BuyStopType, 1.2000, 1.1998, 1.2000, true, 1.2000},   // buy stop: ask at the price
        {BuyStopType, 1.2000, 1.1997, 1.1999, false, 0},       // ask below
        {SellType, 1.2000, 1.2000, 1.2002, true, 1.2000},      // sell limit: bid at the price
        {SellType, 1.2000, 1.1999, 1.2001, false, 0},          // bid below
        {SellStopType, 1.1000, 1.1000, 1.1002, true, 1.1000},  // sell stop: bid at the price
        {SellStopType, 1.1000, 1.1001, 1.1003, false, 0},      // bid above
    };
    for (const Case& c : cases) {
        ServerDesk d;
        auto order = d.AddOrder(7, 70, 1, LimitOrdersType, c.side, 2, c.limit);
        d.Quote(2, c.bid, c.ask);
        const std::string what = std::to_string(c.side) + " at " + std::to_string(c.limit);
        ASSERT_EQ(d.events.hits.size(), c.hit ? 1u : 0u) << what;
        if (!c.hit) {
            EXPECT_EQ(order->Status(), 0) << what;
            continue;
        }
        EXPECT_EQ(d.events.hits[0].type, LimitOrdersType) << what;
        EXPECT_EQ(order->Status(), 1) << what;
        EXPECT_DOUBLE_EQ(order->hitPrice(), c.hitPrice) << what;
        EXPECT_EQ(order->hitTime().value, runtime::DateTimeSerial(2026, 12, 9, 11, 59, 30).value);
    }
}

TEST(EngineHits, StopLossTakeProfitTable) {
    struct Case {
        OperationTypeEnum side;  // of the closing deal
        double sl, tp, bid, ask;
        int16_t status;  // 0: no hit
    };
    const Case cases[] = {
        {SellType, 1.1000, 1.3000, 1.0990, 1.0992, 11},  // closes a buy: bid falls to the stop
        {SellType, 1.1000, 1.3000, 1.1000, 1.1002, 11},  // equality stops
        {SellType, 1.1000, 1.3000, 1.3000, 1.3002, 1},   // take-profit at the bid
        {SellType, 1.1000, 1.3000, 1.2000, 1.2002, 0},
        {BuyType, 1.3000, 1.1000, 1.2998, 1.3000, 11},  // closes a sell: ask rises to the stop
        {BuyType, 1.3000, 1.1000, 1.0998, 1.1000, 1},   // take-profit at the ask
        {BuyType, 1.1000, 1.3000, 1.1998, 1.2000, 11},  // both reached: the stop wins
        {SellType, 0, 0, 0.5000, 0.5002, 0},            // no prices set
        {SellType, -1, 1.3000, 0.5000, 0.5002, 0},      // a stop of -1 never stops out
    };
    for (const Case& c : cases) {
        ServerDesk d;
        auto order = d.AddOrder(7, 70, 1, SlTpType, c.side, 2, 0, c.sl, c.tp);
        d.Quote(2, c.bid, c.ask);
        const std::string what = std::to_string(c.side) + " bid " + std::to_string(c.bid);
        EXPECT_EQ(order->Status(), c.status) << what;
        ASSERT_EQ(d.events.hits.size(), c.status ? 1u : 0u) << what;
        if (c.status) {
            EXPECT_EQ(d.events.hits[0].type, SlTpType) << what;
            EXPECT_DOUBLE_EQ(order->hitPrice(), c.side == BuyType ? c.ask : c.bid) << what;
        }
    }
}

TEST(EngineHits, DemoAndAutomaticAccountsSkipTheDealer) {
    struct Case {
        bool demo, autoLimit, autoSlTp;
        int16_t entry, stop, profit;
    };
    const Case cases[] = {
        {false, false, false, 1, 11, 1},
        {true, false, false, 5, 15, 5},
        {false, true, false, 5, 11, 1},
        {false, false, true, 1, 15, 5},
    };
    for (const Case& c : cases) {
        ServerDesk d;
        d.engine->UpdateAccount(7, 70, NormalAccountType, c.demo, false, false);
        d.engine->setAutoOrNotLimitOrder(c.autoLimit);
        d.engine->setAutoOrNotSLTP(c.autoSlTp);
        auto entry = d.AddOrder(7, 70, 1, LimitOrdersType, BuyType, 2, 1.2000);
        auto stop = d.AddOrder(7, 70, 2, SlTpType, SellType, 2, 0, 1.2500, 1.9000);
        auto profit = d.AddOrder(7, 70, 3, SlTpType, SellType, 2, 0, 0.5000, 1.1000);
        d.Quote(2, 1.1998, 1.2000);
        EXPECT_EQ(entry->Status(), c.entry) << c.demo << c.autoLimit << c.autoSlTp;
        EXPECT_EQ(stop->Status(), c.stop) << c.demo << c.autoLimit << c.autoSlTp;
        EXPECT_EQ(profit->Status(), c.profit) << c.demo << c.autoLimit << c.autoSlTp;
    }
}

TEST(EngineHits, DoneMakesTheFollowingHitsOfTheScanSecond) {
    for (const bool answer : {true, false}) {
        ServerDesk d;
        d.AddOrder(7, 70, 1, LimitOrdersType, BuyType, 2, 1.2000);
        d.AddOrder(7, 70, 2, LimitOrdersType, BuyType, 2, 1.2100);
        d.AddOrder(7, 70, 3, LimitOrdersType, BuyType, 2, 1.0000);  // not reached
        d.events.answerDone = answer;
        d.Quote(2, 1.1998, 1.2000);
        ASSERT_EQ(d.events.hits.size(), 2u);
        EXPECT_FALSE(d.events.hits[0].second);
        EXPECT_EQ(d.events.hits[1].second, answer);

        // A hit order is not reported again until it is put back.
        d.events.Clear();
        d.Quote(2, 1.1997, 1.1999);
        EXPECT_TRUE(d.events.hits.empty());
        d.engine->OrderRejected(LimitOrderType, 7, 70, 1, 0);
        d.Quote(2, 1.1997, 1.1999);
        ASSERT_EQ(d.events.hits.size(), 1u);
        EXPECT_EQ(d.events.hits[0].order->OrderId(), 1);
    }
}

TEST(EngineHits, AlertTable) {
    struct Case {
        AlertConditionsEnum condition;
        double level, bid, ask;
        bool hit;
    };
    const Case cases[] = {
        {BID_GREATER, 1.2000, 1.2000, 1.2002, false}, {BID_GREATER, 1.2000, 1.2001, 1.2003, true},
        {BID_LESS, 1.2000, 1.2000, 1.2002, false},    {BID_LESS, 1.2000, 1.1999, 1.2001, true},
        {ASK_GREATER, 1.2000, 1.1998, 1.2000, false}, {ASK_GREATER, 1.2000, 1.1999, 1.2001, true},
        {ASK_LESS, 1.2000, 1.1998, 1.2000, false},    {ASK_LESS, 1.2000, 1.1997, 1.1999, true},
    };
    for (const Case& c : cases) {
        ServerDesk d;
        d.engine->AddNewAlert(7, 1, 2, c.condition, c.level, SMSAlertType, true);
        for (int quote = 0; quote < 2; ++quote) d.Quote(2, c.bid, c.ask);
        // Alerts stay armed: reported on every quote while the condition holds.
        ASSERT_EQ(d.events.alerts.size(), c.hit ? 2u : 0u) << c.condition << " " << c.bid;
        if (c.hit) {
            EXPECT_DOUBLE_EQ(d.events.alerts[0]->hitPrice(),
                             c.condition <= BID_LESS ? c.bid : c.ask);
        }
    }
}

TEST(EngineHits, OneQuoteRaisesOrdersThenAlertsThenSummaryThenLiquidation) {
    Desk d(SERVER_SIDE_EXECUTION);
    d.AddClient(7, runtime::Null, EQUITY_LIQUIDATION, 100);
    d.AddAccount(7, 70, 150);
    d.AddPosition(7, 70, 1, 2, 1, 1.2000);
    d.AddOrder(7, 70, 2, LimitOrdersType, BuyType, 2, 1.5000);
    d.engine->AddNewAlert(7, 3, 2, BID_LESS, 1.5, SMSAlertType, true);
    d.events.Clear();
    d.Quote(2, 1.1990, 1.1992);  // loses 100: equity 50
    EXPECT_EQ(d.events.names,
              (Names{"RaiseHitOrder", "RaiseHitAlert", "UpdateListView", "AddLogEntry"}));
    // The entry order waits for the dealer, which holds the liquidation back.
    EXPECT_EQ(d.events.logs[0], "1:Liquidation point for account 70 but has pending order 2");
}

TEST(EngineHits, ClosedTradingChecksAlertsAndSummariesOnly) {
    Desk d(SERVER_SIDE_EXECUTION);
    d.AddSymbol(5, 1.2000, 1.2002, true);
    d.AddClient(7, runtime::Null, EQUITY_LIQUIDATION, 100);
    d.AddAccount(7, 70, 150);
    d.AddPosition(7, 70, 1, 5, 1, 1.2000);
    d.AddOrder(7, 70, 2, LimitOrdersType, BuyType, 5, 1.5000);
    d.engine->AddNewAlert(7, 3, 5, BID_LESS, 1.5, SMSAlertType, true);
    d.events.Clear();
    d.Quote(5, 1.1990, 1.1992);
    EXPECT_EQ(d.events.names, (Names{"RaiseHitAlert", "UpdateListView"}));
}

TEST(EngineHits, OrdersArrivingHitAreAnnouncedAtOnce) {
    struct Case {
        OrdersTypeEnum type;
        double sl, tp;
        int16_t status;
        std::vector<int32_t> announced;
    };
    const Case cases[] = {
        {SlTpType, 1.1, 1.3, 11, {3, 4}}, {SlTpType, -1, 1.3, 11, {4}}, {SlTpType, 1.1, -1, 1, {3}},
        {LimitOrdersType, 0, 0, 1, {2}},  {SlTpType, 1.1, 1.3, 5, {}},  {SlTpType, 1.1, 1.3, 0, {}},
    };
    for (const Case& c : cases) {
        ServerDesk d;
        d.events.answerDone = true;
        d.AddOrder(7, 70, 1, c.type, SellType, 2, 1.2, c.sl, c.tp, c.status);
        std::vector<int32_t> announced;
        for (const HitOrder& h : d.events.hits) {
            announced.push_back(h.type);
            EXPECT_FALSE(h.second);
        }
        EXPECT_EQ(announced, c.announced) << c.type << " status " << c.status;
    }
}

TEST(EngineHits, HandlersMayTakeOrdersOutDuringTheScan) {
    ServerDesk d;
    d.AddOrder(7, 70, 1, LimitOrdersType, BuyType, 2, 1.2000);
    d.AddOrder(7, 70, 2, LimitOrdersType, BuyType, 2, 1.2000);
    d.AddOrder(7, 70, 3, LimitOrdersType, BuyType, 2, 1.2000);
    // The owner executes each hit at once and cancels order 2 on the way.
    d.events.onHit = [&](const HitOrder& h) {
        d.engine->OrderStatusChanged(7, 70, h.order->OrderId());
        d.engine->DeleteOrder(7, 70, 2);
    };
    d.Quote(2, 1.1998, 1.2000);
    std::vector<int32_t> ids;
    for (const HitOrder& h : d.events.hits) ids.push_back(h.order->OrderId());
    EXPECT_EQ(ids, (std::vector<int32_t>{1, 3}));
    EXPECT_EQ(d.account()->Orders()->Count(), 0);
    // The symbol forgot the account with its last order.
    EXPECT_EQ(
        std::dynamic_pointer_cast<CCurAccount>(d.Symbol(2)->Ref1())->AccountsHaveOrders()->Count(),
        0);
}

TEST(EngineHits, AClientWithoutParametersForTheSymbolIsSkipped) {
    ServerDesk d;
    d.AddClient(8);
    d.AddAccount(8, 80);
    d.AddOrder(8, 80, 1, LimitOrdersType, BuyType, 2, 1.2000);
    d.AddOrder(7, 70, 2, LimitOrdersType, BuyType, 2, 1.2000);
    d.engine->Clients()->Item("8")->Params()->Detach("2");
    d.Quote(2, 1.1998, 1.2000);
    ASSERT_EQ(d.events.hits.size(), 1u);
    EXPECT_EQ(d.events.hits[0].account, 70);
}

}  // namespace
