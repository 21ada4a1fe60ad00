// The trade views over their stores: net sums, open positions, pending rows, the
// trade-view procedures on recording ports, and the journal's file store.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "desk/common/MGeneral.h"
#include "desk/common/ResetTradeViews.h"
#include "desk/journal/CJournal.h"
#include "desk/positions/CNetPos.h"
#include "desk/positions/COpenPos.h"
#include "desk/positions/CPendingOrds.h"
#include "desk/sessions/CClientAPIManagers.h"
#include "desk/sessions/TradeViewProcedures.h"
#include "platform/Paths.h"
#include "runtime/Clock.h"
#include "runtime/Convert.h"
#include "tests/support/TempProgramFolder.h"
#include "tests/support/clientapi/ViewFactory.h"
#include "tests/support/desk/FakeDesk.h"

namespace {

using namespace OrbanexDesk;
using Texts = std::vector<std::string>;
using runtime::Variant;
constexpr const char* kTime = "09/12/2026 10:00:00";

// Each net row as "key:symbol:account:amount:NH:side:avg:comm:P/L" (bold marked "*").
Texts NetRows(const platform::ListView& lv) {
    Texts out;
    for (size_t i = 1; i <= lv.Count(); ++i) {
        const auto& r = lv.Item(i);
        std::string row = (r.Bold() && r.SubItemBold(9) ? "*" : "") + r.Key() + ":" + r.Text();
        for (size_t s : {1, 2, 3, 4, 5, 7, 9}) row += ":" + r.SubItems(s);
        out.push_back(row);
    }
    return out;
}

struct Book {
    testsupport::ViewFactory views;
    platform::ListView net, clients, open, pending;
    DeskState state;
    std::map<int32_t, SymbolPtr> symbols;
    std::vector<std::string> closes;
    CNetPos netPos{net, clients};
    COpenPos trade{open,
                   pending,
                   netPos,
                   state,
                   [this](int32_t id) { return symbols.count(id) ? symbols[id] : nullptr; },
                   [this](int32_t t, double l, int32_t a) {
                       closes.push_back(std::to_string(t) + "|" + runtime::NumberToText(l) + "|" +
                                        std::to_string(a));
                   }};
    CPendingOrds orders{pending, open, state};

    Book() {
        for (auto [key, user, account] :
             {std::tuple{"C1", "ALICE", "1001"}, std::tuple{"C2", "BOB", "1002"}}) {
            auto& row = clients.Add(key, key);
            row.setSubItems(1, user);
            row.setSubItems(3, account);
        }
    }
    SymbolPtr Symbol(int32_t id, const std::string& name, bool known = true) {
        auto s = views.Symbol({.id = id, .name = name, .bid = 1.1, .ask = 1.2});
        if (known) symbols[id] = s;
        return s;
    }
    PositionPtr Position(int32_t ticket, int32_t symbol, double lots,
                         OrbanelGeneral10::OperationTypeEnum side = OrbanelGeneral10::BuyType) {
        return views.Position({.ticket = ticket,
                               .symbol = symbol,
                               .side = side,
                               .lots = lots,
                               .price = 1.2,
                               .time = kTime});
    }
};

// Sums per account and side, averages, NH, totals in bold, money over grouped
// texts, exact emptying, separated keys, and an index that follows the list.
TEST(NetPositions, SumsSidesAccountsAndTotalsAsTheirTextsRead) {
    Book b;
    auto eur = b.Symbol(2, "EURUSD"), gbp = b.Symbol(3, "GBPUSD"), jpy = b.Symbol(4, "USDJPY");
    auto five = b.Symbol(5, "AAA"), fiftyOne = b.Symbol(51, "BBB");
    CNetPos& n = b.netPos;

    n.PositionAdded(eur, 1, 1, 1.2, 0, 0, Variant(10.0), 1001);
    n.PositionAdded(eur, 1, 3, 1.21, 1.5, 0.25, Variant(20.0), 1001);
    EXPECT_EQ(NetRows(b.net),
              (Texts{"To2|1|1001:EURUSD:1001(ALICE):4:4:Buy:1.2075:1.50:30.00",
                     "*To2|1:EURUSD:Total(All Clients):4:4:Buy:1.2075:1.50:30.00"}));
    n.PositionAdded(eur, 1, -3, 1.21, -1.5, -0.25, Variant(-20.0), 1001);
    EXPECT_EQ(n.NetPositionListItem(eur, 1, 1001)->SubItems(5), "1.2");
    EXPECT_EQ(n.NetPositionListItem(eur, 1, -1)->SubItems(2), "1");

    // A second account: one total summing amounts and profits, grouped money read back.
    n.PositionAdded(eur, 1, 2, 1.2, 0, 0, Variant(1234.5), 1002);
    EXPECT_EQ(n.NetPositionListItem(eur, 1, 1002)->SubItems(1), "1002(BOB)");
    EXPECT_EQ(n.NetPositionListItem(eur, 1, -1)->SubItems(2), "3");
    EXPECT_EQ(n.NetPositionListItem(eur, 1, -1)->SubItems(9), "1,244.50");
    EXPECT_EQ(n.caluclate_profit("EURUSD", "Buy"), 1244.5);
    n.ProfitChanged(eur, 1, 0.01, 1002);
    n.ProfitChanged(eur, 1, 0, -1);
    EXPECT_EQ(n.NetPositionListItem(eur, 1, -1)->SubItems(9), "1,244.51");

    // NH: buy 2, sell 0.5; closing the buy leaves the sell's NH, account and total.
    n.PositionAdded(gbp, 1, 2, 1.3, 0, 0, Variant(0.0), 1001);
    n.PositionAdded(gbp, -1, 0.5, 1.3, 0, 0, Variant(0.0), 1001);
    EXPECT_EQ(n.NetPositionListItem(gbp, 1, 1001)->SubItems(3), "1.5");
    EXPECT_EQ(n.NetPositionListItem(gbp, -1, 1001)->SubItems(3), "");
    n.PositionAdded(gbp, 1, -2, 1.3, 0, 0, Variant(0.0), 1001);
    EXPECT_EQ(n.NetPositionListItem(gbp, 1, 1001), nullptr);
    EXPECT_EQ(n.NetPositionListItem(gbp, -1, 1001)->SubItems(3), "-0.5");
    EXPECT_EQ(n.NetPositionListItem(gbp, -1, -1)->SubItems(3), "-0.5");

    // 0.1 + 0.2 - 0.3 empties the side exactly: both rows go.
    for (double lots : {0.1, 0.2, -0.3})
        n.PositionAdded(jpy, 1, lots, 150, 0, 0, Variant(0.0), 1001);
    EXPECT_EQ(n.NetPositionListItem(jpy, 1, 1001), nullptr);
    EXPECT_EQ(n.NetPositionListItem(jpy, 1, -1), nullptr);

    // Keys whose numbers would run together stay apart.
    n.PositionAdded(five, 1, 1, 1, 0, 0, Variant(1.0), 11001);
    n.PositionAdded(fiftyOne, 1, 2, 1, 0, 0, Variant(2.0), 1001);
    EXPECT_EQ(n.NetLots(five, 1, 11001), 1);
    EXPECT_EQ(n.NetLots(fiftyOne, 1, 1001), 2);

    // Rows removed or cleared by others leave the index with them.
    b.net.Remove(n.NetPositionListItem(eur, 1, 1002)->Index());
    EXPECT_EQ(n.caluclate_profit("EURUSD", "Buy"), 10);
    b.net.Clear();
    EXPECT_EQ(n.caluclate_profit("EURUSD", "Buy"), 0);
    n.PositionAdded(eur, 1, 1, 1.2, 0, 0, Variant(3.0), 1001);
    EXPECT_EQ(n.caluclate_profit("EURUSD", "Buy"), 3);
    EXPECT_EQ(b.net.Count(), 2u);
}

// Each side's total equals the sum of its shown account rows, in cents, after
// any mix of adds, profit writes by the net view or by a session, removals by
// others (a logout) and resets.
TEST(NetPositions, SideTotalsEqualTheirShownRowsThroughAnyMixOfChanges) {
    Book b;
    auto eur = b.Symbol(2, "EURUSD");
    CNetPos& n = b.netPos;
    auto shownSum = [&](const std::string& side) {
        int64_t cents = 0;
        for (size_t i = 1; i <= b.net.Count(); ++i) {
            const auto& r = b.net.Item(i);
            if (r.SubItems(1) != CNetPos::kTotalAccountText && r.SubItems(4) == side)
                cents += MoneyCents(r.SubItems(9));
        }
        return cents;
    };
    std::mt19937 rng(11);
    auto pick = [&](int32_t n) { return int32_t(rng() % uint32_t(n)); };
    for (int step = 0; step < 3000; ++step) {
        const int32_t side = pick(2) ? 1 : -1, account = 1001 + pick(4);
        const double money = (pick(2000000) - 1000000) / 1000.0;  // three decimals
        switch (pick(20)) {
            case 0:
                if (b.net.Count()) b.net.Remove(size_t(pick(int32_t(b.net.Count())) + 1));
                break;
            case 1:
                if (!pick(10)) b.net.Clear();
                break;
            case 2:
            case 3:
            case 4:
            case 5:
                n.ProfitChanged(eur, side, money, account);
                n.ProfitChanged(eur, side, 0, CNetPos::kTotalAccount);
                break;
            case 6:
            case 7:
            case 8:
            case 9:
                // A session's write: a plain decimal text, not grouped.
                if (auto* row = n.NetPositionListItem(eur, side, account))
                    row->setSubItems(9, runtime::NumberToText(money));
                break;
            default:
                n.PositionAdded(eur, side, pick(3) ? 1 : -1, 1.2, 0, 0, Variant(money), account);
        }
        for (const char* text : {"Buy", "Sell"}) {
            SCOPED_TRACE(std::to_string(step) + text);
            ASSERT_EQ(std::llround(n.caluclate_profit("EURUSD", text) * 100), shownSum(text));
        }
    }
}

// Open-position rows and their net shares; pending rows, their types and the
// S/L-T/P copy; closing the checked rows.
TEST(TradeViews, PositionsPendingRowsAndClosesKeepTheNetAndEachOtherInStep) {
    Book b;
    auto eur = b.Symbol(2, "EURUSD");
    b.Symbol(6, "XAUUSD", false);
    auto pos = b.Position(1234, 2, 1);

    b.trade.AddPosition(pos, 1001);
    b.trade.AddPosition(pos, 1001);
    ASSERT_EQ(b.open.Count(), 1u);
    const auto& row = b.open.Item(PositionRowKey(1001, 1234));
    EXPECT_EQ(row.SubItems(1), "1001");
    EXPECT_EQ(row.SubItems(2), "2026-12-09 10:00:00");
    EXPECT_EQ(row.SubItems(3), "Buy");
    EXPECT_EQ(row.SubItems(4), "1");
    EXPECT_EQ(b.netPos.NetLots(eur, 1, 1001), 1) << "the update moved the net by the difference";

    // A symbol no session knows: the row comes and goes, the net never sees it.
    b.trade.AddPosition(b.Position(99, 6, 5), 1001);
    EXPECT_NE(b.trade.FindPositionItem(99, 1001), nullptr);
    b.trade.RemovePosition(99, 1001);
    EXPECT_EQ(b.trade.FindPositionItem(99, 1001), nullptr);
    EXPECT_EQ(b.net.Count(), 2u);

    // One name under two ids: the removal lowers the total its add reached, not the other.
    auto eur7 = b.Symbol(7, "EURUSD");
    constexpr int32_t total = CNetPos::kTotalAccount;
    b.trade.AddPosition(b.Position(300, 7, 2), 1001);
    EXPECT_EQ(b.netPos.NetLots(eur7, 1, total), 2);
    b.trade.RemovePosition(300, 1001);
    EXPECT_EQ(b.netPos.NetLots(eur7, 1, total), 0);
    EXPECT_EQ(b.netPos.NetLots(eur, 1, total), 1);
    EXPECT_EQ(b.netPos.NetLots(eur, 1, 1001), 1);

    // A managed order fills its position's S/L and T/P; removing it clears them.
    b.orders.AddOrder(b.views.Order({.id = 50,
                                     .type = OrbanelGeneral10::SlTpType,
                                     .symbol = 2,
                                     .lots = 1,
                                     .sl = 1.1,
                                     .tp = 1.3,
                                     .ticket = 1234,
                                     .time = kTime}),
                      1001);
    const auto& managed = b.pending.Item(PendingRowKey(1001, 50));
    EXPECT_EQ(managed.SubItems(2), "Buy(Manage)");
    EXPECT_EQ(managed.Tag(), "1234");
    EXPECT_EQ(managed.SubItems(5), "");
    EXPECT_EQ(b.open.Item(PositionRowKey(1001, 1234)).SubItems(8), pos->FormatPrice(Variant(1.1)));
    EXPECT_EQ(b.open.Item(PositionRowKey(1001, 1234)).SubItems(9), pos->FormatPrice(Variant(1.3)));
    b.orders.Removeorder(50, 1001);
    EXPECT_EQ(b.open.Item(PositionRowKey(1001, 1234)).SubItems(8) +
                  b.open.Item(PositionRowKey(1001, 1234)).SubItems(9),
              "");

    // Entry orders (zero S/L empty), requests, adjacent removal per account.
    b.orders.AddOrder(b.views.Order({.id = 60,
                                     .side = OrbanelGeneral10::SellType,
                                     .symbol = 2,
                                     .lots = 1,
                                     .price = 1.25,
                                     .time = kTime}),
                      1001);
    b.orders.Add(Variant(77), 1001, "CP", OrbanelGeneral10::BuyType, 1, eur, Variant(1.2),
                 runtime::Null, Variant(""), kTime, Variant(77));
    b.orders.Add(Variant(78), 1002, "OP", OrbanelGeneral10::SellType, 1, eur, Variant(""),
                 Variant(""), Variant(""), kTime, Variant(""));
    EXPECT_EQ(b.pending.Item(PendingRowKey(1001, 60)).SubItems(2), "Sell limit");
    EXPECT_EQ(b.pending.Item(PendingRowKey(1001, 60)).SubItems(6), "");
    EXPECT_NE(b.pending.Item(PendingRowKey(1001, 60)).SubItems(5), "");
    EXPECT_EQ(b.pending.Item(PendingRowKey(1001, 77)).SubItems(2), "Buy(Close 77)");
    EXPECT_EQ(b.pending.Item(PendingRowKey(1002, 78)).SubItems(2), "Sell");
    EXPECT_EQ(b.pending.Item(PendingRowKey(1002, 78)).SubItems(5), "");
    b.orders.removeClientinfo(1001);
    ASSERT_EQ(b.pending.Count(), 1u);
    EXPECT_EQ(b.pending.Item(1).Key(), PendingRowKey(1002, 78));

    // A position update drops its managed rows until they are reported again.
    b.orders.AddOrder(b.views.Order({.id = 51,
                                     .type = OrbanelGeneral10::SlTpType,
                                     .symbol = 2,
                                     .lots = 1,
                                     .sl = 1.1,
                                     .ticket = 1234,
                                     .time = kTime}),
                      1001);
    b.trade.AddPosition(pos, 1001);
    EXPECT_EQ(b.pending.Find(PendingRowKey(1001, 51)), nullptr);

    // Two checked rows of two accounts: two closes, each its own, whole amounts.
    b.trade.AddPosition(b.Position(1235, 2, 2.5, OrbanelGeneral10::SellType), 1002);
    b.trade.AddPosition(b.Position(1236, 2, 1), 1002);
    b.open.Item(PositionRowKey(1001, 1234)).setChecked(true);
    b.open.Item(PositionRowKey(1002, 1235)).setChecked(true);
    b.trade.closeAllse();
    EXPECT_EQ(b.closes, (Texts{"1234|1|1001", "1235|2.5|1002"}));

    b.trade.RemovePosition(1234, 1001);
    b.trade.RemovePosition(1236, 1002);
    EXPECT_EQ(NetRows(b.net), (Texts{"To2|-1|1002:EURUSD:1002(BOB):2.5:-2.5:Sell:1.2:0.00:" +
                                         b.net.Item("To2|-1|1002").SubItems(9),
                                     "*To2|-1:EURUSD:Total(All Clients):2.5:-2.5:Sell:1.2:0.00:" +
                                         b.net.Item("To2|-1").SubItems(9)}));
}

// Accounts on different servers hold equal tickets and order numbers: each
// account's rows, S/L-T/P and net share stay its own through adds and a close.
TEST(TradeViews, EqualTicketsOfTwoAccountsKeepTheirOwnRows) {
    Book b;
    auto eur = b.Symbol(2, "EURUSD");
    testsupport::ViewFactory otherServer;
    otherServer.Symbol({.id = 2, .name = "EURUSD", .bid = 1.1, .ask = 1.2});
    b.trade.AddPosition(b.Position(5, 2, 1), 1001);
    b.trade.AddPosition(
        otherServer.Position({.ticket = 5, .symbol = 2, .lots = 2, .price = 1.2, .time = kTime}),
        1002);
    ASSERT_EQ(b.open.Count(), 2u);
    EXPECT_EQ(b.netPos.NetLots(eur, 1, 1001), 1);
    EXPECT_EQ(b.netPos.NetLots(eur, 1, 1002), 2);

    // 1001's stop loss on its ticket 5, and 1002's request under the same number.
    b.orders.AddOrder(b.views.Order({.id = 40,
                                     .type = OrbanelGeneral10::SlTpType,
                                     .symbol = 2,
                                     .lots = 1,
                                     .sl = 1.1,
                                     .ticket = 5,
                                     .time = kTime}),
                      1001);
    b.orders.Add(Variant(40), 1002, "OP", OrbanelGeneral10::BuyType, 2, eur, Variant(1.2),
                 runtime::Null, runtime::Null, kTime, runtime::Null);
    const auto& own = *b.trade.FindPositionItem(5, 1001);
    const auto& other = *b.trade.FindPositionItem(5, 1002);
    EXPECT_EQ(own.Text() + own.SubItems(1) + "|" + other.Text() + other.SubItems(1), "51001|51002");
    EXPECT_NE(own.SubItems(8), "");
    EXPECT_EQ(other.SubItems(8), "");
    EXPECT_EQ(b.pending.Count(), 2u);

    b.trade.RemovePosition(5, 1001);
    ASSERT_EQ(b.open.Count(), 1u);
    EXPECT_EQ(b.open.Item(1).SubItems(1) + "|" + b.open.Item(1).SubItems(4), "1002|2");
    EXPECT_EQ(b.netPos.NetPositionListItem(eur, 1, 1001), nullptr);
    EXPECT_EQ(b.netPos.NetLots(eur, 1, 1002), 2);
    EXPECT_EQ(b.netPos.NetLots(eur, 1, CNetPos::kTotalAccount), 2);
    ASSERT_EQ(b.pending.Count(), 1u) << "1001's S/L row leaves with its position";
    b.orders.Removeorder(40, 1001);
    EXPECT_EQ(b.pending.Item(1).Key(), PendingRowKey(1002, 40));
}

// The procedures over recording ports with the real net view: an account's
// logout share, the total-first case, the close refusals and the reset.
TEST(TradeViewProcedures, LogoutSharesClosesAndResetActOnThePorts) {
    testsupport::TempProgramFolder folder;
    testsupport::FakeDesk fake;
    auto& stores = fake.stores();
    Book b;
    auto eur = b.Symbol(2, "EURUSD");
    CNetPos net(stores.lvwNetPos, b.clients);
    DeskPorts ports = fake.Ports();
    ports.CNetPos = &net;
    COpenPos trade(stores.lvwOpenPos, stores.lvwPending, net, b.state,
                   [&](int32_t id) { return b.symbols.count(id) ? b.symbols[id] : nullptr; }, {});
    auto byName = [&](const std::string& name) { return name == "EURUSD" ? eur : nullptr; };

    trade.AddPosition(b.Position(1, 2, 1), 1001);
    trade.AddPosition(b.Position(2, 2, 2), 1001);
    trade.AddPosition(b.Position(3, 2, 4), 1002);
    RefreshNetPositionsWith(ports, b.state, true, 1001, byName);
    EXPECT_EQ(stores.lvwOpenPos.Count(), 3u) << "Skip leaves everything";
    RefreshNetPositionsWith(ports, b.state, false, 1001, byName);
    EXPECT_EQ(stores.lvwOpenPos.Count(), 1u);
    EXPECT_EQ(net.NetPositionListItem(eur, 1, 1001), nullptr);
    EXPECT_EQ(net.NetLots(eur, 1, 1002), 4);
    EXPECT_EQ(net.NetLots(eur, 1, -1), 4);

    // 1001 and 1002 hold the symbol, 1001 closes: [Total, 1002]; 1002 logs out.
    trade.RemovePosition(3, 1002);
    trade.AddPosition(b.Position(4, 2, 1), 1001);
    trade.AddPosition(b.Position(5, 2, 1), 1002);
    trade.RemovePosition(4, 1001);
    ASSERT_EQ(stores.lvwNetPos.Item(1).Key(), "To2|1");
    EXPECT_NO_THROW(RefreshNetPositionsWith(ports, b.state, false, 1002, byName));
    EXPECT_EQ(stores.lvwNetPos.Count(), 0u);

    // A net row of a symbol no session knows is passed over; the others still go.
    auto gbp = b.Symbol(3, "GBPUSD");
    trade.AddPosition(b.Position(6, 3, 1), 1002);
    trade.AddPosition(b.Position(7, 2, 1), 1002);
    EXPECT_NO_THROW(RefreshNetPositionsWith(ports, b.state, false, 1002, byName));
    EXPECT_EQ(net.NetLots(gbp, 1, 1002), 1);
    EXPECT_EQ(net.NetPositionListItem(eur, 1, 1002), nullptr);

    for (auto [result, text] : std::vector<std::pair<int32_t, std::string>>{
             {2, "Unable to close position #7, account 1001 does not have privilege"},
             {8, "Unable to close position #7, The amount: 1.5 is invalid"}})
        EXPECT_EQ(CloseRefusalText(result, 7, 1.5, 1001).value_or(""), text);
    EXPECT_FALSE(CloseRefusalText(1, 7, 1.5, 1001));

    DeskServices desk(ports, CClientAPIManagers::Factory());
    fake.Take();
    ClosePositionForAccount(desk, 7, 1.5, 1001);
    EXPECT_TRUE(fake.Log().empty()) << "no session for the account";
    desk.Managers()->Add("127.0.0.1", 1, "A", "pw", false, 1001);
    fake.Take();
    ClosePositionForAccount(desk, 7, 1.5, 1001);
    EXPECT_TRUE(fake.Log().empty()) << "a session not logged on refuses otherwise: no report";

    stores.lvwPending.Add("P1", "1");
    desk.State().SummaryTotals.fill(5);
    fake.summaries = "x";
    ResetTradeViews(desk);
    EXPECT_EQ(stores.lvwOpenPos.Count() + stores.lvwPending.Count() + stores.lvwNetPos.Count(), 0u);
    EXPECT_EQ(desk.State().SummaryTotals[kBalance], 0);
    EXPECT_EQ(fake.summaries, "");
    EXPECT_EQ(fake.statusPanes[2], "Disconnected");
    EXPECT_EQ(fake.Lines("close.ResetMSH").size(), 1u);
    desk.ReleaseManagers();
}

// Lines stamped with the fixed clock, shown for their account, reloaded from the
// account's file; a line without separator is all time; no file, no rows.
TEST(Journal, StoresLinesPerAccountAndReloadsThem) {
    testsupport::TempProgramFolder folder;
    runtime::ScopedClock clock(std::make_shared<runtime::FixedClock>(runtime::Date(46000.5)));
    const std::string now = runtime::CStr(Variant(runtime::Date(46000.5)));
    platform::ListView list;
    CJournal journal(list);
    journal.setVID(1001);
    journal.Add("first", 1001);
    journal.Add("elsewhere", 1002);
    journal.Add("second", 1001);
    ASSERT_EQ(list.Count(), 2u);
    EXPECT_EQ(list.Item(1).Text(), now);
    EXPECT_EQ(list.Item(2).SubItems(2), "second");

    journal.setVID(1002);
    ASSERT_EQ(list.Count(), 1u);
    EXPECT_EQ(list.Item(1).Text(), now);
    EXPECT_EQ(list.Item(1).SubItems(2), "elsewhere");

    std::ofstream(platform::ResolvePath(journal.FileName(1003)), std::ios::binary)
        << "just a time\r\n01/01/2026*,%$text*,%$rest\r\n";
    journal.setVID(1003);
    ASSERT_EQ(list.Count(), 2u);
    EXPECT_EQ(list.Item(1).Text() + "|" + list.Item(1).SubItems(2), "just a time|");
    EXPECT_EQ(list.Item(2).Text() + "|" + list.Item(2).SubItems(2), "01/01/2026|text");

    journal.ClearFile();
    journal.setVID(1003);
    EXPECT_EQ(list.Count(), 0u);
    journal.setVID(1004);
    EXPECT_EQ(list.Count(), 0u);
}

}  // namespace
