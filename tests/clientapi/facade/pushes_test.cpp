#include <gtest/gtest.h>

#include <functional>

#include "clientapi/facade/COpenPosRefs.h"
#include "general/model/CAccount.h"
#include "general/model/CAccountsTransactions.h"
#include "general/model/COpenPosition.h"
#include "general/model/COpenPositions.h"
#include "general/model/COrders.h"
#include "general/model/CSymbol.h"
#include "manager_fixture.h"

namespace {

using namespace managerfixture;

struct Desk : Session {
    Desk() {
        symbols->setGWPricesStep(3);
        Login();
        Positions({PositionRow(7, 70, 1, 2, 1, 1.2), PositionRow(7, 70, 2, 2, 2, 1.2),
                   PositionRow(7, 70, 3, 3, 1, 1.5), PositionRow(7, 71, 20, 2, 3, 1.2)});
        TakeEvents();
    }
    // The position and symbol events (the engine's summary events aside).
    Names TakeEvents() {
        Names out;
        for (auto& e : Session::TakeEvents())
            if (e.rfind("SummariesChanged", 0) != 0) out.push_back(e);
        return out;
    }
    std::shared_ptr<og::CAccount> Account(int32_t id) const {
        return manager->AccountsTransactions()->AccountByAccountID(id);
    }
    Names Refs(int32_t symbol) const {
        Names tickets;
        auto refs = std::dynamic_pointer_cast<api::COpenPosRefs>(Symbol(symbol)->Ref2());
        if (refs)
            for (const auto& r : refs->NewEnum())
                tickets.push_back(std::to_string(r->OpenPosRef()->Ticket()));
        return tickets;
    }
};

// A quote over two positions: one floating event each, then the symbol's.
// A position a handler closes meanwhile gets no further floating event.
// Without a selected client's parameters for the symbol there is no symbol event.
TEST(Pushes, QuoteRaisesPositionsThenSymbol) {
    Desk d;
    d.symbols->MarketDataReceived("10:00:01,2,1.201,1.2012");
    EXPECT_EQ(d.TakeEvents(), (Names{"PosFloatingPLChanged 1 1", "PosFloatingPLChanged 2 2",
                                     "SymbolPricesChanged 2 1.201"}));
    EXPECT_DOUBLE_EQ(d.manager->OpenPositionByTicket(1)->ClosePrice(), 1.201);

    d.onFloating = [&](const api::COOpenPosition& p) {
        if (p.Ticket() == 1) d.manager->DeleteOpenPosMsg(7, 70, 2, "", "");
    };
    d.symbols->MarketDataReceived("10:00:02,2,1.202,1.2022");
    EXPECT_EQ(d.TakeEvents(), (Names{"PosFloatingPLChanged 1 1", "DeleteOpenPosition 2 2",
                                     "SymbolPricesChanged 2 1.202"}));
    EXPECT_EQ(d.Refs(2), Names{"1"});
    d.onFloating = nullptr;

    d.manager->PrivsRecieved("", 42, "CLIENT");
    d.symbols->SymbolsRecieved(false, testsupport::Table({SymbolRow("2", "EURUSD")}), 1, 34);
    d.symbols->MarketDataReceived("10:00:03,2,1.203,1.2032");
    EXPECT_TRUE(d.TakeEvents().empty());
}

// Every push changes its account's model; events go out for the selected
// account only, each with a view of what changed. A push that finds nothing
// to show raises nothing.
TEST(Pushes, RoutedPerHandlerAndAccount) {
    Desk d;
    api::CAccountsManager& m = *d.manager;
    struct Step {
        const char* name;
        std::function<void()> push;
        Names events;
    };
    const std::vector<Step> steps = {
        {"new position, selected",
         [&] { m.NewOpenPosMsg(7, 70, PushPosRow(7, 70, 10, 3, 1, 1.5)); },
         {"NewOpenPosition 10 1"}},
        {"new position, other",
         [&] { m.NewOpenPosMsg(7, 71, PushPosRow(7, 71, 21, 3, 1, 1.5)); },
         {}},
        {"new position refused",
         [&] { m.NewOpenPosMsg(7, 70, PushPosRow(7, 70, 11, 3, 0, 1.5)); },
         {}},
        {"part close by update",
         [&] { m.UpdateOpenPosMsg(7, 70, 1, "", PushPosRow(7, 70, 1, 2, 0.5, 1.2), ""); },
         {"UpdateOpenPosition 1 0.5"}},
        {"update with no row deletes",
         [&] { m.UpdateOpenPosMsg(7, 70, 1, "", "", ""); },
         {"DeleteOpenPosition 1 0.5"}},
        {"close, part",
         [&] { m.CloseOpenPosMsg(7, 70, 99, 2, PushPosRow(7, 70, 2, 2, 1.5, 1.2), "", ""); },
         {"UpdateOpenPosition 2 1.5"}},
        {"close, full",
         [&] { m.CloseOpenPosMsg(7, 70, 99, 2, "", "", ""); },
         {"DeleteOpenPosition 2 1.5"}},
        {"close, full, not held", [&] { m.CloseOpenPosMsg(7, 70, 99, 2, "", "", ""); }, {}},
        {"close, other account",
         [&] { m.CloseOpenPosMsg(7, 71, 99, 20, PushPosRow(7, 71, 20, 2, 1, 1.2), "", ""); },
         {}},
        {"delete, selected",
         [&] { m.DeleteOpenPosMsg(7, 70, 3, "", ""); },
         {"DeleteOpenPosition 3 1"}},
        {"delete, not held", [&] { m.DeleteOpenPosMsg(7, 70, 3, "", ""); }, {}},
        {"close deleted: back again",
         [&] { m.DeleteClosePosMsg(7, 70, 99, 1, "", PushPosRow(7, 70, 1, 2, 1, 1.2)); },
         {"UpdateOpenPosition 1 1"}},
        {"new order, selected",
         [&] { m.NewPendingOrderMsg(7, 70, PushOrderRow(900, 2, 1.1)); },
         {"NewPendingOrder 900"}},
        {"new order, other", [&] { m.NewPendingOrderMsg(7, 71, PushOrderRow(901, 2, 1.1)); }, {}},
        {"delete order, selected",
         [&] { m.DeletePendingOrderMsg(7, 70, 900); },
         {"DeletePendingOrder 900"}},
        {"delete order, unknown", [&] { m.DeletePendingOrderMsg(7, 70, 900); }, {}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.push();
        EXPECT_EQ(d.TakeEvents(), step.events);
    }
    EXPECT_EQ(d.Refs(2), Names{"1"});
    EXPECT_EQ(d.Refs(3), Names{"10"});
    EXPECT_DOUBLE_EQ(d.Account(71)->OpenPositions()->Item("20")->lots(), 1);
    EXPECT_TRUE(d.Account(71)->OpenPositions()->Item("21"));
    EXPECT_TRUE(d.Account(71)->Orders()->Item("901"));
    EXPECT_EQ(m.OpenPositionsCount(), 2);
    EXPECT_EQ(m.OrdersCount(), 0);

    // The position brought back is revalued like the others.
    d.symbols->MarketDataReceived("10:00:01,2,1.201,1.2012");
    EXPECT_EQ(d.TakeEvents(), (Names{"PosFloatingPLChanged 1 1", "SymbolPricesChanged 2 1.201"}));
}

}  // namespace
