// The amount distribution over many cases, and the order panes' input helpers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "desk/common/OrderPaneProcedures.h"
#include "desk/positions/CDistribution.h"
#include "desk/positions/OrderDistribution.h"
#include "desk/sessions/CClientAPIManagers.h"
#include "runtime/Convert.h"
#include "tests/support/TempProgramFolder.h"
#include "tests/support/clientapi/ViewFactory.h"
#include "tests/support/desk/FakeDesk.h"

namespace {

using namespace OrbanexDesk;
using Pane = CDistribution::Pane;
using Outcome = CDistribution::Outcome;
using Row = CDistribution::Row;
using Texts = std::vector<std::string>;

Row Acc(double equity, double margin = 0) {
    return {.checked = true, .equity = equity, .effMargin = margin};
}

struct Case {
    const char* name;
    std::vector<Row> rows;
    double total;
    int16_t rule;
    int32_t decimals;
    Pane pane;
    Outcome outcome;
    const char* message;
    // Per row: "amount/note/checked", amount "-" when none, note "-" when unchanged.
    Texts rows_out;
};

std::string Describe(const CDistribution::RowResult& r) {
    return (r.amount ? runtime::NumberToText(*r.amount) : "-") + "/" + r.note.value_or("-") + "/" +
           (r.checked ? "x" : "o");
}

// Each case's outcome, message and per-row amount text, note and check.
TEST(Distribution, SplitsTheTotalByEachRuleAndReportsWhatItDropped) {
    const Row hidden{.checked = true, .seesSymbol = false, .equity = 100};
    const Row unchecked{.checked = false, .equity = 100};
    const Row noSession{.checked = true, .hasSession = false, .equity = 999, .effMargin = 999};
    const Pane M = Pane::MarketOrder, E = Pane::EntryOrder;
    const Outcome D = Outcome::Distributed;
    const std::vector<Case> cases = {
        {"equal thirds",
         {Acc(1), Acc(1), Acc(1)},
         1,
         0,
         1,
         M,
         D,
         "",
         {"0.3/-/x", "0.3/-/x", "0.3/-/x"}},
        {"not visible",
         {Acc(1), hidden, Acc(1)},
         1,
         0,
         1,
         M,
         D,
         "",
         {"0.5/-/x", "-/EURUSD is not visible to this account/o", "0.5/-/x"}},
        {"negative equity, market",
         {Acc(-5), Acc(1)},
         1,
         0,
         1,
         M,
         D,
         "",
         {"-/No Balance/o", "1/-/x"}},
        {"negative equity, entry",
         {Acc(-5), Acc(1)},
         1,
         0,
         1,
         E,
         D,
         "",
         {"-/ no Balance  /o", "1/-/x"}},
        {"margin ratio", {Acc(1, 100), Acc(1, 300)}, 2, 1, 1, M, D, "", {"0.5/-/x", "1.5/-/x"}},
        {"negative margin takes nothing",
         {Acc(1, 100), Acc(1, -50)},
         1,
         1,
         1,
         M,
         D,
         "",
         {"1/-/x", "0/-/x"}},
        {"equity ratio, zero equity accepted",
         {Acc(100), Acc(300), Acc(0)},
         2,
         2,
         1,
         M,
         D,
         "",
         {"0.5/-/x", "1.5/-/x", "0/-/x"}},
        {"ratio over nothing", {Acc(0, 0), Acc(0, 0)}, 1, 1, 1, M, D, "", {"0/-/x", "0/-/x"}},
        {"no rule",
         {Acc(1), unchecked},
         1,
         -1,
         1,
         M,
         D,
         "Please select distribution type",
         {"-/-/x", "-/-/o"}},
        {"unknown rule", {Acc(1)}, 1, 7, 1, M, D, "", {"-/-/x"}},
        {"total 0",
         {Acc(1), hidden},
         0,
         0,
         1,
         M,
         Outcome::NoTotal,
         "Please fill the required fields",
         {"-/-/x", "-/-/x"}},
        {"nobody left",
         {hidden, Acc(-1), unchecked},
         1,
         0,
         1,
         M,
         Outcome::NoAccount,
         "No account selected",
         {"-/EURUSD is not visible to this account/o", "-/No Balance/o", "-/-/o"}},
        {"halves to even, down", {Acc(1), Acc(1)}, 0.25, 0, 2, M, D, "", {"0.12/-/x", "0.12/-/x"}},
        {"halves to even, up", {Acc(1), Acc(1)}, 0.75, 0, 2, M, D, "", {"0.38/-/x", "0.38/-/x"}},
        {"no session, equal share", {noSession, Acc(1)}, 1, 0, 1, M, D, "", {"0.5/-/x", "0.5/-/x"}},
        {"no session, ratio", {noSession, Acc(5, 5)}, 1, 1, 1, M, D, "", {"0/-/x", "1/-/x"}},
        {"no session, equity ratio", {noSession, Acc(5)}, 1, 2, 1, M, D, "", {"0/-/x", "1/-/x"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto r = CDistribution::Run(c.rows, c.total, c.rule, c.decimals, "EURUSD", c.pane);
        EXPECT_EQ(r.outcome, c.outcome);
        EXPECT_EQ(r.message, c.message);
        EXPECT_EQ(r.amountsCleared, c.outcome == Outcome::Distributed);
        Texts got;
        for (const auto& row : r.rows) got.push_back(Describe(row));
        EXPECT_EQ(got, c.rows_out);
    }
}

// The key filter, the lots check before sending, the decimals setting and
// ValidateData's buttons.
TEST(OrderPaneInput, FiltersKeysChecksLotsTextsAndEnablesDistribute) {
    struct Key {
        int16_t key;
        const char* text;
        int16_t result, keyAfter;
    };
    for (const Key& k : std::vector<Key>{{'5', "1.5", '5', '5'},
                                         {'.', "1.5", 0, 0},
                                         {'.', "15", '.', '.'},
                                         {'a', "", 0, 'a'},
                                         {8, "1.5", 8, 8},
                                         {13, "1", 0, 13}}) {
        int16_t key = k.key;
        EXPECT_EQ(askycodekeypress(key, k.text), k.result) << k.key << " " << k.text;
        EXPECT_EQ(key, k.keyAfter);
    }
    for (const char* good : {"1", "1.5", ".5", "5.", "0012"}) EXPECT_TRUE(IsLotsText(good)) << good;
    for (const char* bad : {"", ".", "1,5", "1.5.", "-1", " 1", "1e3", "1\x01"})
        EXPECT_FALSE(IsLotsText(bad)) << bad;
    for (const auto& [text, places] : std::vector<std::pair<std::string, int32_t>>{
             {"1", 1}, {"2.5", 2}, {"3.5", 4}, {"-2", 0}, {"abc", 0}, {"99", 10}, {"", 0}})
        EXPECT_EQ(AmountDecimalPlaces(text), places) << text;

    testsupport::FakeDesk desk;
    Ifrmorder& pane = *desk.Ports().frmorder;
    desk.stores().cbsymbols.AddItem("EURUSD");
    desk.orderAmount = "2";
    ValidateData(pane);
    EXPECT_FALSE(desk.cmddis.enabled) << "no symbol chosen yet";
    desk.cmdbuy.enabled = desk.cmddis.enabled = true;
    desk.stores().cbsymbols.setListIndex(0);
    ValidateData(pane);
    EXPECT_TRUE(desk.cmddis.enabled);
    EXPECT_TRUE(desk.cmdbuy.enabled) << "Buy and Sell are left as they are";
    desk.orderAmount = "0";
    ValidateData(pane);
    EXPECT_FALSE(desk.cmddis.enabled || desk.cmdbuy.enabled || desk.cmdsell.enabled);
}

// Check-all and Distribute over the market pane's rows and the sessions: accounts
// without figures read "No Balance" and keep their check; a row that sees nothing
// leaves no account, which resets the pane's buttons and check box.
TEST(Distribution, RunsOverThePaneRowsAndTheSessions) {
    testsupport::TempProgramFolder folder;
    testsupport::FakeDesk desk{CClientAPIManagers::Factory()};
    testsupport::ViewFactory views;
    auto eur = views.Symbol({.id = 2, .name = "EURUSD", .bid = 1.1, .ask = 1.2});
    desk.Services().Managers()->Add("127.0.0.1", 1, "A", "pw", false, 1001);
    auto& rows = desk.stores().orderClients;
    rows.Add("C1001", "1001");
    rows.Add("C1002", "1002").setChecked(true);
    auto results = [&] { return rows.Item(1).SubItems(2) + "|" + rows.Item(2).SubItems(2); };

    CheckAllClients(desk.Services(), rows, true);
    EXPECT_EQ(results(), "No Balance|No Balance");
    EXPECT_FALSE(rows.Item(1).Checked());
    EXPECT_TRUE(rows.Item(2).Checked());

    desk.Take();
    Distribute(desk.Services(), 0, 0, eur);
    EXPECT_EQ(desk.Take(), (Texts{"message|##DEF##|Please fill the required fields"}));
    EXPECT_TRUE(rows.Item(2).Checked());

    // Its account has no session: it reads as an account without data and takes
    // the equal share; nothing tells whether it sees the symbol.
    Distribute(desk.Services(), 1, 0, eur);
    EXPECT_EQ(desk.Take(), Texts{});
    EXPECT_EQ(rows.Item(2).SubItems(1), "1");
    EXPECT_TRUE(rows.Item(2).Checked());
    EXPECT_TRUE(desk.cmdbuy.visible && desk.cmdsell.visible && !desk.cmddis.visible);

    desk.chkAllClients = true;
    rows.Item(2).setChecked(false);
    Distribute(desk.Services(), 1, 0, eur);
    EXPECT_EQ(desk.Take(), (Texts{"message|##DEF##|No account selected"}));
    EXPECT_FALSE(rows.Item(2).Checked());
    EXPECT_EQ(results(), "|") << "unticking check-all empties every result";
    EXPECT_TRUE(desk.cmddis.visible);
    EXPECT_FALSE(desk.cmdbuy.visible || desk.cmdsell.visible || desk.chkAllClients);

    rows.Item(1).setChecked(true);
    rows.Item(1).setSubItems(2, "note");
    CheckAllClients(desk.Services(), rows, false);
    EXPECT_FALSE(rows.Item(1).Checked());
    EXPECT_EQ(results(), "|");
    desk.Services().ReleaseManagers();
}

}  // namespace
