// The close-position grid over the fake desk's real accounts and Trade lists:
// rebuild, check marks, prices, answers and the closes it sends.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "desk/common/MGeneral.h"
#include "desk/positions/ClosePosGrid.h"
#include "platform/EventLoop.h"
#include "runtime/Convert.h"
#include "tests/support/desk/FakeDesk.h"

namespace {

using OrbanexDesk::ClosePosGrid;
using OrbanexDesk::PositionRowKey;

struct CloseDesk {
    CloseDesk() {
        auto& main = *desk.Ports().frmMain;
        main.addToListView("a", 1001, true, "", "", 1);
        main.addToListView("b", 1002, true, "", "", 2);
        main.addToListView("c", 1003, false, "", "", 3);
        main.addToListView("d", 1004, true, "", "Invalid account", 4);
        Trade(11, 1001, "Buy", "1", "EURUSD", "1.11");
        Trade(12, 1001, "Sell", "2", "EURUSD", "1.12");
        Trade(21, 1002, "Buy", "0.5", "EURUSD", "1.21");
        Trade(22, 1002, "Buy", "1", "GBPUSD", "1.22");
        Trade(31, 1009, "Buy", "3", "EURUSD", "1.31");  // its account has no row
        grid.CloseSymbols().AddItem("EURUSD");
    }
    void Trade(int ticket, int account, const char* side, const char* amount, const char* symbol,
               const char* price) {
        const std::string t = std::to_string(ticket);
        auto& row = desk.stores().lvwOpenPos.Add(PositionRowKey(account, ticket), t);
        const std::vector<std::string> subs = {
            std::to_string(account), "2026-12-09", side, amount, symbol, price, price};
        for (size_t i = 0; i < subs.size(); ++i) row.setSubItems(i + 1, subs[i]);
    }
    platform::ListItem& TradeRow(int ticket, int account) {
        return desk.stores().lvwOpenPos.Item(PositionRowKey(account, ticket));
    }

    // One line per body row: "<account>:<box>" or "#<ticket>:<box>:<action>", box
    // x checked, o clear, - none.
    std::vector<std::string> Rows() {
        const platform::Grid& g = grid.MSH();
        auto box = [&](size_t r, size_t c) {
            const int32_t back = g.Cell(r, c).backColor;
            return back == ClosePosGrid::kChecked     ? "x"
                   : back == ClosePosGrid::kUnchecked ? "o"
                                                      : "-";
        };
        std::vector<std::string> rows;
        for (size_t r = 1; r < g.Rows(); ++r) {
            if (!g.TextMatrix(r, 0).empty()) {
                rows.push_back(g.TextMatrix(r, 0) + ":" + box(r, 0));
            } else if (!g.TextMatrix(r, 1).empty()) {
                rows.push_back("#" + std::to_string(ClosePosGrid::TicketOf(g.TextMatrix(r, 1))) +
                               ":" + box(r, 1) + ":" + g.TextMatrix(r, 3));
            } else {
                rows.push_back("blank:" + g.TextMatrix(r, 3));
            }
        }
        return rows;
    }
    void Click(size_t row, size_t col, int32_t button = 1) {
        grid.MSH().setRow(row);
        grid.MSH().setCol(col);
        grid.MSH_MouseDown(button);
        grid.MSH_Click();
    }
    // The sessions' rebuild requests are served from the loop.
    void Turn() { platform::EventLoop::ProcessEvents(); }
    std::vector<std::string> Take() {
        std::vector<std::string> lines;
        for (auto& line : desk.Take())
            if (line.rfind("message|", 0) == 0) lines.push_back(line);
        for (auto& line : sent) lines.push_back(line);
        sent.clear();
        return lines;
    }

    testsupport::FakeDesk desk;
    std::vector<std::string> sent;  // closes and questions, in order
    ClosePosGrid grid{desk.Ports(),
                      {[this](int32_t t, double lots, int32_t a) {
                           sent.push_back("close #" + std::to_string(t) + " " +
                                          runtime::NumberToText(lots) + " @" + std::to_string(a));
                       },
                       [this](const std::string& text, int32_t type) {
                           sent.push_back("ask " + std::to_string(type) + " " + text);
                       }}};
};

const std::string kAskAll =
    "ask 2 Are you sure you want to close selected postion(s) at current market price(s)?";
const std::string kAskOne =
    "ask 4 Are you sure you want to close selected postion at current market price?";
const std::string kNothing =
    "message|##DEF##|There is no selected or open postions for this symbol";

TEST(ClosePosGrid, RebuildsChecksPricesAndClosesOverManyAccounts) {
    CloseDesk d;
    auto& g = d.grid;
    g.CloseSymbols().setListIndex(0);  // a choice in the list rebuilds
    EXPECT_EQ(g.MSH().TextMatrix(0, 3), "Action");
    EXPECT_EQ(g.MSH().TextMatrix(6, 1), "            #11 Buy 1 EURUSD at 1.11");
    EXPECT_EQ(g.MSH().TextMatrix(6, 2), "1");

    struct Step {
        const char* what;
        std::function<void()> act;
        std::vector<std::string> rows;
        std::vector<std::string> log;
    };
    const std::vector<std::string> built = {"#31:o:Close At 1.31", "1002:o",
                                            "#21:o:Close At 1.21", "1001:o",
                                            "#12:o:Close At 1.12", "#11:o:Close At 1.11"};
    const std::vector<Step> steps = {
        {"accounts in reverse, positions under them in reverse, the orphan on top",
         [] {},
         built,
         {}},
        {"the account box ticks its positions",
         [&] { d.Click(4, 0); },
         {"#31:o:Close At 1.31", "1002:o", "#21:o:Close At 1.21", "1001:x", "#12:x:Close At 1.12",
          "#11:x:Close At 1.11"},
         {}},
        {"one position leaves its account",
         [&] { d.Click(5, 1); },
         {"#31:o:Close At 1.31", "1002:o", "#21:o:Close At 1.21", "1001:x", "#12:o:Close At 1.12",
          "#11:x:Close At 1.11"},
         {}},
        {"clearing the account clears them all", [&] { d.Click(4, 0); }, built, {}},
        {"a right-button click changes nothing", [&] { d.Click(4, 0, 2); }, built, {}},
        {"all accounts, then cleared over a hand check",
         [&] {
             d.Click(3, 1);
             g.setchkAllClients(true);
             EXPECT_EQ(d.Rows()[5], "#11:x:Close At 1.11");
             g.setchkAllClients(false);
             g.setchkAllClients(false);  // a clear box runs nothing
         },
         built,
         {}},
        {"quotes: bid on Buy, ask on Sell, also over a status; answers by account and ticket",
         [&] {
             g.searchpos(1002, 21, "Position in pending mode");
             g.searchpos(1001, 12, " Waiting.....");
             g.RefreshPrice(1.5, 1.4);
             g.searchpos(1002, 21, "Closing has been rejected");
             g.searchpos(1001, 21, "another account's ticket");
             g.searchpos(1001, 0, "nothing");
         },
         {"#31:o:Close At 1.4", "1002:o", "#21:o:Closing has been rejected", "1001:o",
          "#12:o:Close At 1.5", "#11:o:Close At 1.4"},
         {}},
        {"close all selected: one close per checked position, each with its account",
         [&] {
             d.Click(4, 0);
             d.Click(3, 1);
             g.LblCheck_Click();
             g.closepos();
         },
         {"#31:o:Close At 1.4", "1002:o", "#21:x: Waiting.....", "1001:x", "#12:x: Waiting.....",
          "#11:x: Waiting....."},
         {kAskAll, "close #21 0.5 @1002", "close #12 2 @1001", "close #11 1 @1001"}},
        {"again after a partial close, a deleted row and a stale pairing: the Trade rows decide",
         [&] {
             d.TradeRow(12, 1001).setSubItems(4, "1.5");
             d.desk.stores().lvwOpenPos.Remove(PositionRowKey(1001, 11));
             d.desk.stores().lvwOpenPos.Remove(PositionRowKey(1002, 21));
             d.Trade(21, 1001, "Buy", "0.5", "EURUSD", "1.21");
             g.closepos();
         },
         {"#31:o:Close At 1.4", "1002:o", "#21:x: Waiting.....", "1001:x", "#12:x: Waiting.....",
          "#11:x: Waiting....."},
         {"close #12 1.5 @1001"}},
        {"an account's Close cell ticks it and asks; a ticked one unticks first",
         [&] {
             d.Click(2, 3);
             d.Click(4, 3);
         },
         {"#31:o:Close At 1.4", "1002:x", "#21:x: Waiting.....", "1001:o", "#12:o: Waiting.....",
          "#11:o: Waiting....."},
         {kAskAll, kAskAll}},
        {"nothing checked then, and no symbol",
         [&] {
             d.Click(2, 3);
             g.closepos();
             g.CloseSymbols().setText("");
             g.LblCheck_Click();
         },
         {"#31:o:Close At 1.4", "1002:o", "#21:o: Waiting.....", "1001:o", "#12:o: Waiting.....",
          "#11:o: Waiting....."},
         {kNothing, kNothing, "message|##DEF##|No symbol is selected"}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        EXPECT_EQ(d.Rows(), step.rows);
        EXPECT_EQ(d.Take(), step.log);
    }
}

// An account is added once; the blank row of a rebuild is reused only while blank;
// prices never reach it.
TEST(ClosePosGrid, AddsEachAccountOnceAndLeavesTheBlankRowBlank) {
    CloseDesk d;
    auto& g = d.grid;
    d.desk.stores().lvwClients.Clear();
    g.CloseSymbols().setText("USDJPY");
    g.CloseSymbols_Click();
    g.RefreshPrice(1.5, 1.4);
    d.Turn();
    EXPECT_EQ(d.Rows(), std::vector<std::string>{"blank:"});
    g.Add(1001);
    g.Add(1001);
    g.CloseSymbols().setText("EURUSD");
    g.Add(1002);
    EXPECT_EQ(d.Rows(), (std::vector<std::string>{"1002:o", "1001:o"}));
    EXPECT_EQ(g.MSH().TextMatrix(1, 3), "Close");

    // With no account row every position goes on top; an orphan in row 1 stays one.
    g.CloseSymbols_Click();
    g.Add(1005);
    d.Turn();
    EXPECT_EQ(d.Rows(),
              (std::vector<std::string>{"1005:o", "#31:o:Close At 1.31", "#21:o:Close At 1.21",
                                        "#12:o:Close At 1.12", "#11:o:Close At 1.11", "blank:"}));

    // The trade views' reset leaves the header and one blank row.
    g.ResetMSH();
    EXPECT_EQ(d.Rows(), std::vector<std::string>{"blank:"});
    EXPECT_EQ(g.MSH().TextMatrix(0, 1), "Status");
}

// The sessions' requests of one loop turn cost one rebuild, and the grid ends as if
// each had rebuilt at once; a close runs a due rebuild first; a due rebuild dies
// with its grid.
TEST(ClosePosGrid, RequestsOfOneTurnRebuildOnceAsIfEachRebuiltAtOnce) {
    CloseDesk d;
    auto& g = d.grid;
    g.CloseSymbols().setListIndex(0);
    size_t rebuilds = 0;
    const runtime::ScopedConnection count =
        g.MSH().Changed.Connect([&](const platform::GridChange& c) {
            rebuilds += c.kind == platform::GridChange::Kind::Reset;
        });
    const std::vector<std::string> before = d.Rows();

    d.Trade(13, 1001, "Buy", "4", "EURUSD", "1.13");
    g.CloseSymbols_Click();
    g.RefreshPrice(1.5, 1.4);  // dropped by the next request's rebuild
    d.Trade(23, 1002, "Sell", "1", "EURUSD", "1.23");
    g.Remove();
    g.RefreshPrice(1.6, 1.5);
    g.Add(1003);
    g.RefreshPrice(1.7, 1.6);
    g.searchpos(1002, 21, "Position in pending mode");
    EXPECT_EQ(d.Rows(), before);
    d.Turn();
    EXPECT_EQ(rebuilds, 1u);
    EXPECT_EQ(d.Rows(), (std::vector<std::string>{
                            "1003:o", "#31:o:Close At 1.6", "1002:o", "#23:o:Close At 1.7",
                            "#21:o:Position in pending mode", "1001:o", "#13:o:Close At 1.6",
                            "#12:o:Close At 1.7", "#11:o:Close At 1.6"}));

    g.setchkAllClients(true);
    d.Trade(14, 1001, "Buy", "2", "EURUSD", "1.14");
    g.CloseSymbols_Click();
    g.closepos();  // rebuilt first: the marks go, as with a rebuild at once
    EXPECT_EQ(d.Take(), std::vector<std::string>{kNothing});
    EXPECT_EQ(d.Rows()[5], "#14:o:Close At 1.14");
    d.Turn();
    EXPECT_EQ(rebuilds, 2u);

    auto gone = std::make_unique<ClosePosGrid>(d.desk.Ports(), ClosePosGrid::Hooks{});
    gone->CloseSymbols_Click();
    gone.reset();
    d.Turn();
}

// A status or account written between two requests of one turn is gone once the
// turn ends, as the second request's rebuild would have wiped it; what comes after
// the last request stays.
TEST(ClosePosGrid, OnlyWritesAfterTheLastRequestOfATurnOutliveItsRebuild) {
    CloseDesk d;
    auto& g = d.grid;
    g.CloseSymbols().setListIndex(0);
    g.CloseSymbols_Click();
    g.searchpos(1001, 11, "Position in pending mode");
    g.Add(1005);
    g.Remove();
    g.searchpos(1001, 12, "Closing has been rejected");
    g.Add(1006);
    d.Turn();
    EXPECT_EQ(d.Rows(), (std::vector<std::string>{
                            "1006:o", "#31:o:Close At 1.31", "1002:o", "#21:o:Close At 1.21",
                            "1001:o", "#12:o:Closing has been rejected", "#11:o:Close At 1.11"}));
}

// The answer closes the position asked about, once, whatever the grid shows by then.
TEST(ClosePosGrid, SingleCloseActsOnThePositionAskedAbout) {
    CloseDesk d;
    auto& g = d.grid;
    g.CloseSymbols().setListIndex(0);
    d.Click(3, 3);  // #21 of account 1002
    EXPECT_EQ(d.Take(), std::vector<std::string>{kAskOne});

    // A new position of another account rebuilds the grid; another cell is clicked.
    d.Trade(13, 1001, "Buy", "4", "EURUSD", "1.13");
    g.CloseSymbols_Click();
    d.Click(5, 1);
    g.close_single();
    g.close_single();
    EXPECT_EQ(d.Take(), std::vector<std::string>{"close #21 0.5 @1002"});
    EXPECT_EQ(d.Rows()[2], "#21:o:Close At 1.21");  // no waiting mark

    d.Click(7, 3);  // #11; the position goes before the answer
    d.desk.stores().lvwOpenPos.Remove(PositionRowKey(1001, 11));
    g.close_single();
    d.Click(1, 3);  // the orphan: no account row above
    g.close_single();
    d.Click(6, 3);  // answered No: nothing runs
    EXPECT_EQ(d.Take(), (std::vector<std::string>{kAskOne, kAskOne, kAskOne}));
}

}  // namespace
