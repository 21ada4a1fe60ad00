// The account session's valuation without a server: the desk totals over three
// accounts through summaries, a server DISCONNECT, a re-login and a removal; a
// position's price and profit carried into its trade, net and total rows.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "desk/common/MGeneral.h"
#include "desk/common/ResetTradeViews.h"
#include "desk/sessions/CClientAPIManagers.h"
#include "platform/EventLoop.h"
#include "runtime/Convert.h"
#include "tests/support/TempProgramFolder.h"
#include "tests/support/clientapi/ViewFactory.h"
#include "tests/support/desk/FakeDesk.h"

namespace {

using namespace OrbanexDesk;
using testsupport::FakeDesk;
using Names = std::vector<std::string>;

struct Desk {
    testsupport::TempProgramFolder folder{"desk-prices"};
    FakeDesk desk{CClientAPIManagers::Factory()};
    CClientAPIManagers& managers() { return *desk.Services().Managers(); }
    ManagerPtr Add(int32_t account) {
        return managers().Add("127.0.0.1", 1, "U", "pw", false, account);
    }
    double Total(SummaryIndex i) { return desk.State().SummaryTotals[i]; }
    // The summary texts are written at the end of the loop turn.
    void Turn() { platform::EventLoop::RunUntilIdle(1000); }
    // The margin level the summary line shows at the turn's end.
    std::string Level() {
        Turn();
        const std::string& line = desk.summaries;
        const size_t at = line.rfind(':') + 1;
        return line.substr(at, line.size() - at - 2);
    }
};

// Each session's share is replaced as a whole; a DISCONNECT takes it out at
// once and only once; a re-login counts it once; removal takes it out; a reset
// of the views followed by late disconnection reports takes nothing out twice.
TEST(SessionPrices, TheTotalsHoldEachAccountsLastSummaryOnce) {
    Desk d;
    ManagerPtr a = d.Add(1001), b = d.Add(1002), c = d.Add(1003);
    a->ClientAPIF()->SummariesChanged(1000, 10, 0, 1010, 200, 1.5, 810);
    d.Turn();
    const std::string shown = d.desk.summaries;
    b->ClientAPIF()->SummariesChanged(2500, 0, 0, 2500, 0, 0, 2500);
    EXPECT_EQ(d.desk.summaries, shown) << "the texts wait for the end of the loop turn";
    d.Turn();
    EXPECT_EQ(d.desk.summaries,
              "Balance:3,500.00  Flt P/L:10.00   Credit:0.00  Equity:3,510.00  Used "
              "Margin:-200.00  Free Margin:3,310.00  Margin Level:150.00 %");
    a->ClientAPIF()->SummariesChanged(1200, 0, 0, 1200, 0, 0, 1200);
    EXPECT_EQ(d.Total(kBalance), 3700);
    EXPECT_EQ(d.Total(kMarginLevel), 0);
    d.Turn();
    EXPECT_EQ(d.desk.Lines("main.refreshsummery_Click"),
              (Names{"main.refreshsummery_Click|C1", "main.refreshsummery_Click|C2",
                     "main.refreshsummery_Click|C1"}));
    // A figure that is no number counts as 0.
    c->ClientAPIF()->SummariesChanged(std::numeric_limits<double>::quiet_NaN(),
                                      std::numeric_limits<double>::infinity(), 0, 5, 0, 0, 0);
    EXPECT_EQ(d.Total(kBalance), 3700);
    EXPECT_EQ(d.Total(kEquity), 3705);

    // DISCONNECT: the message first, the connection state later.
    b->ClientAPIF()->SessionDisconnected();
    EXPECT_EQ(d.Total(kBalance), 1200);
    b->ClientAPIF()->ConnectionState(false);
    EXPECT_EQ(d.Total(kBalance), 1200);
    b->ClientAPIF()->SummariesChanged(2500, 0, 0, 2500, 0, 0, 2500);
    EXPECT_EQ(d.Total(kBalance), 3700);

    // Logout all: the views are reset first, the disconnections reported later.
    ResetTradeViews(d.desk.Services());
    for (const ManagerPtr& s : {a, b, c}) s->ClientAPIF()->ConnectionState(false);
    for (double t : d.desk.State().SummaryTotals) EXPECT_EQ(t, 0);
    // Login all: each account counted once again.
    a->ClientAPIF()->SummariesChanged(1200, 0, 0, 1200, 0, 0, 1200);
    b->ClientAPIF()->SummariesChanged(2500, 0, 0, 2500, 0, 0, 2500);
    c->ClientAPIF()->SummariesChanged(0, 0, 0, 5, 0, 0, 0);
    EXPECT_EQ(d.Total(kBalance), 3700);

    d.managers().Remove("C1");
    EXPECT_EQ(d.Total(kBalance), 2500);
    EXPECT_EQ(d.Total(kEquity), 2505);
    d.managers().Clear();
    for (double t : d.desk.State().SummaryTotals) EXPECT_EQ(t, 0);
}

// The desk's margin level weighs each counted account's level by its absolute
// margin; with next to no margin in use it is their plain mean.
TEST(SessionPrices, TheDesksMarginLevelIsTheAccountsLevelsWeightedByTheirMargins) {
    struct Report {
        size_t account;
        double marginReq, level;
    };
    struct Case {
        const char* name;
        std::vector<Report> reports;
        std::string shown;
    };
    for (const Case& c : std::vector<Case>{
             {"margins sent negative", {{0, -5000, 2}, {1, -1000, 5}}, "250.00"},
             {"margins sent positive", {{0, 5000, 2}, {1, 1000, 5}}, "250.00"},
             {"a report replaces the last",
              {{0, -5000, 2}, {1, -1000, 5}, {0, -1000, 5}},
              "500.00"},
             {"an account without margin", {{0, 0, 1}, {1, -1000, 5}}, "500.00"},
             {"no margin anywhere", {{0, 0, 1}, {1, 0, 1}, {2, 0, 1}}, "100.00"},
             {"next to no margin", {{0, -0.001, 3}, {1, -0.003, 6}}, "450.00"},
         }) {
        SCOPED_TRACE(c.name);
        Desk d;
        const ManagerPtr sessions[] = {d.Add(1001), d.Add(1002), d.Add(1003)};
        for (const Report& r : c.reports)
            sessions[r.account]->ClientAPIF()->SummariesChanged(1000, 0, 0, 1000, r.marginReq,
                                                                r.level, 0);
        EXPECT_EQ(d.Level(), c.shown);
    }
    // Shares go once: by a DISCONNECT, by a reset of the views (their late
    // disconnections take nothing more) and by removal.
    Desk d;
    ManagerPtr a = d.Add(1001), b = d.Add(1002);
    a->ClientAPIF()->SummariesChanged(10000, 0, 0, 10000, -5000, 2, 5000);
    b->ClientAPIF()->SummariesChanged(5000, 0, 0, 5000, -1000, 5, 4000);
    b->ClientAPIF()->SessionDisconnected();
    b->ClientAPIF()->ConnectionState(false);
    EXPECT_EQ(d.Level(), "200.00");
    b->ClientAPIF()->SummariesChanged(5000, 0, 0, 5000, -1000, 5, 4000);
    ResetTradeViews(d.desk.Services());
    b->ClientAPIF()->SummariesChanged(5000, 0, 0, 5000, -1000, 5, 4000);
    a->ClientAPIF()->ConnectionState(false);
    EXPECT_EQ(d.Level(), "500.00");
    d.managers().Remove("C2");
    EXPECT_EQ(d.Level(), "0.00");
    // The last share gone leaves nothing to weigh: no rounding residue of large
    // margins tips the level of the next small one.
    ManagerPtr c = d.Add(1003);
    a->ClientAPIF()->SummariesChanged(1e9, 0, 0, 1e9, -1000000000.01, 2.3, 0);
    c->ClientAPIF()->SummariesChanged(2e9, 0, 0, 2e9, -2000000000.1, 5, 0);
    a->ClientAPIF()->SessionDisconnected();
    c->ClientAPIF()->SessionDisconnected();
    a->ClientAPIF()->SummariesChanged(1000, 0, 0, 1000, -0.01, 3, 1000);
    EXPECT_EQ(d.Level(), "300.00");
}

// Before a session takes the desk's offsets no server time shows (it would read
// 123 hours off); then the last one any session received shows, then each new one.
TEST(SessionPrices, AServerTimeShowsOnlyWithTheTakenOffsets) {
    Desk d;
    ManagerPtr a = d.Add(1001), b = d.Add(1002);
    const std::string& shown = d.desk.statusPanes[0];
    a->ClientAPIF()->ServerTime("10/12/2026 12:07:40");
    b->ClientAPIF()->ServerTime("10/12/2026 12:07:45");
    EXPECT_EQ(shown, "");
    a->ClientAPIF()->SymbolsLoaded();
    ASSERT_TRUE(d.desk.State().GMTOffsetsTaken());
    EXPECT_EQ(shown, "2026-12-10 12:07:45");
    b->ClientAPIF()->ServerTime("10/12/2026 12:07:50");
    EXPECT_EQ(shown, "2026-12-10 12:07:50");
}

// Prices by text, profits by number: the trade row, the account's net row by
// the profit's change, the total row by the sum of the account rows; a missing
// row skips what it must.
TEST(SessionPrices, APositionsValuationReachesItsTradeNetAndTotalRows) {
    Desk d;
    testsupport::ViewFactory views;
    views.Symbol({.id = 2, .name = "EURUSD", .bid = 1.2345, .ask = 1.2347});
    ManagerPtr s = d.Add(1001);
    auto pos = views.Position({.ticket = 7, .symbol = 2, .lots = 1, .price = 1.2, .time = {}});
    auto other = views.Position({.ticket = 8, .symbol = 2, .lots = 1, .price = 1.3, .time = {}});
    d.desk.Ports().frmTrade->AddPosition(pos, 1001);
    d.desk.Ports().frmTrade->AddPosition(other, 1002);
    views.Quote(2, 1.2355, 1.2357);
    auto& trade = d.desk.stores().lvwOpenPos.Item(PositionRowKey(1001, 7));
    auto& net = d.desk.stores().lvwNetPos;
    auto& own = net.Item(NetRowKey(2, 1, 1001));
    auto& total = net.Item(NetRowKey(2, 1));
    const std::string price = pos->FormatPrice(runtime::Variant(pos->ClosePrice()));
    const double profit = pos->FloatingProfitLoss();
    struct Case {
        std::string oldPrice;
        int32_t colour;
    };
    // "9.87" is the greater text, whatever the numbers say.
    for (const Case& c : std::vector<Case>{{"9.87", 255}, {"1.1", 160 << 8}, {price, 160 << 8}}) {
        SCOPED_TRACE(c.oldPrice);
        trade.setSubItems(7, c.oldPrice);
        own.setSubItems(6, c.oldPrice);
        trade.setSubItems(12, "-12.50");
        own.setSubItems(9, "-100.25");
        s->ClientAPIF()->PosFloatingPLChanged(pos);
        EXPECT_EQ(trade.SubItems(7), price);
        EXPECT_EQ(trade.SubItemForeColor(7), c.colour);
        EXPECT_EQ(own.SubItemForeColor(6), c.colour);
        EXPECT_EQ(trade.SubItems(12), d.desk.State().StringValues->ToCurrencyVal(profit, true));
        EXPECT_EQ(own.SubItems(9), runtime::NumberToText(-100.25 + 12.5 + profit));
    }
    // The total is the sum of the account rows' texts, written at the turn's end.
    d.Turn();
    const double otherRow = std::stod(net.Item(NetRowKey(2, 1, 1002)).SubItems(9));
    EXPECT_EQ(total.SubItems(9),
              d.desk.State().StringValues->ToCurrencyVal(-100.25 + 12.5 + profit + otherRow, true));
    EXPECT_EQ(total.SubItems(6), price);

    // The next account's session, same symbol and side: its own row, not the first's.
    ManagerPtr second = d.Add(1002);
    auto& secondRow = net.Item(NetRowKey(2, 1, 1002));
    const std::string firstRow = own.SubItems(9);
    d.desk.stores().lvwOpenPos.Item(PositionRowKey(1002, 8)).setSubItems(12, "0.00");
    secondRow.setSubItems(9, "0");
    second->ClientAPIF()->PosFloatingPLChanged(other);
    EXPECT_EQ(own.SubItems(9), firstRow);
    EXPECT_EQ(secondRow.SubItems(9), runtime::NumberToText(other->FloatingProfitLoss()));

    // Without the account's net row the total is still written; without the
    // trade row nothing is.
    net.Remove(NetRowKey(2, 1, 1001));
    total.setSubItems(9, "x");
    s->ClientAPIF()->PosFloatingPLChanged(pos);
    d.Turn();
    EXPECT_NE(total.SubItems(9), "x");
    d.desk.stores().lvwOpenPos.Remove(PositionRowKey(1001, 7));
    total.setSubItems(9, "x");
    d.desk.Take();
    s->ClientAPIF()->PosFloatingPLChanged(pos);
    d.Turn();
    EXPECT_EQ(total.SubItems(9), "x");
    EXPECT_TRUE(d.desk.Take().empty());
}

// A total row's price colour at the turn's end is its last move's, also when the
// price came back to the shown text within the turn.
TEST(SessionPrices, ATotalsPriceColourAtTheTurnsEndIsItsLastMoves) {
    Desk d;
    testsupport::ViewFactory views;
    views.Symbol({.id = 2, .name = "EURUSD", .bid = 1.2345, .ask = 1.2347});
    ManagerPtr s = d.Add(1001);
    auto pos = views.Position({.ticket = 7, .symbol = 2, .lots = 1, .price = 1.2, .time = {}});
    d.desk.Ports().frmTrade->AddPosition(pos, 1001);
    auto& total = d.desk.stores().lvwNetPos.Item(NetRowKey(2, 1));
    struct Turn {
        const char* moves;
        std::vector<double> bids;
        int32_t colour;
    };
    const int32_t green = 160 << 8, red = 255;
    for (const Turn& t : std::vector<Turn>{{"up", {1.2355}, green},
                                           {"up and back", {1.2365, 1.2355}, red},
                                           {"down and back", {1.2345, 1.2355}, green}}) {
        SCOPED_TRACE(t.moves);
        for (double bid : t.bids) {
            views.Quote(2, bid, bid + 0.0002);
            s->ClientAPIF()->PosFloatingPLChanged(pos);
        }
        d.Turn();
        EXPECT_EQ(total.SubItems(6), pos->FormatPrice(runtime::Variant(t.bids.back())));
        EXPECT_EQ(total.SubItemForeColor(6), t.colour);
    }
}

// High and low are written by every session; a symbol without a row is ignored.
TEST(SessionPrices, HighAndLowAreWrittenWhereTheSymbolHasARow) {
    Desk d;
    testsupport::ViewFactory views;
    auto eur = views.Symbol({.id = 2, .name = "EURUSD", .bid = 1.2345, .ask = 1.2347});
    auto gbp = views.Symbol({.id = 3, .name = "GBPUSD", .bid = 1.5, .ask = 1.5002});
    ManagerPtr s = d.Add(1001);
    auto& row = d.desk.stores().lvmw.Add(MarketWatchKey(2), "EURUSD");
    s->ClientAPIF()->SymbolHighLowChanged(eur);
    s->ClientAPIF()->SymbolHighLowChanged(gbp);
    EXPECT_EQ(row.SubItems(3), eur->FormatPrice(runtime::Variant(eur->High())));
    EXPECT_EQ(row.SubItems(4), eur->FormatPrice(runtime::Variant(eur->Low())));
    EXPECT_EQ(d.desk.stores().lvmw.Count(), 1u);
    EXPECT_TRUE(d.desk.Lines("journal").empty());
}

// The market watch refilled from the desk's shared symbols: old rows go, an
// empty entry is passed over, each symbol's four prices and time are written.
TEST(SessionPrices, TheMarketWatchIsRefilledFromTheSharedSymbols) {
    Desk d;
    testsupport::ViewFactory views;
    ManagerPtr s = d.Add(1001);
    d.desk.stores().lvmw.Add("S99", "OLD");
    auto symbols = std::make_shared<SymbolCollection>();
    auto eur = views.Symbol({.id = 2, .name = "EURUSD", .bid = 1.2345, .ask = 1.2347});
    symbols->Add(eur, "EURUSD");
    symbols->Add(nullptr, "GONE");
    symbols->Add(views.Symbol({.id = 3, .name = "GBPUSD", .bid = 1.5, .ask = 1.5002}), "GBPUSD");
    d.desk.State().DeskSymbols = symbols;
    s->LoadMWPprices();
    auto& list = d.desk.stores().lvmw;
    ASSERT_EQ(list.Count(), 2u);
    EXPECT_EQ(list.Item(1).Key(), MarketWatchKey(2));
    EXPECT_EQ(list.Item(2).Text(), "GBPUSD");
    const Names eurCells{list.Item(1).SubItems(1), list.Item(1).SubItems(2),
                         list.Item(1).SubItems(4)};
    EXPECT_EQ(eurCells, (Names{eur->FormatPrice(runtime::Variant(1.2345)),
                               eur->FormatPrice(runtime::Variant(1.2347)),
                               eur->FormatPrice(runtime::Variant(eur->Low()))}));
    EXPECT_EQ(list.Item(1).SubItems(5), "");  // never quoted: no time, and the refill goes on
}

}  // namespace
