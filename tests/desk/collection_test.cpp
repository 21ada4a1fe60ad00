// The session collection without a server: numbering, removal and release, the
// capacity, result texts, and what a failing handler leaves behind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "desk/sessions/CClientAPIManagers.h"
#include "platform/EventLoop.h"
#include "tests/support/TempProgramFolder.h"
#include "tests/support/clientapi/ViewFactory.h"
#include "tests/support/desk/FakeDesk.h"

namespace {

using namespace OrbanexDesk;
using testsupport::FakeDesk;
using Names = std::vector<std::string>;

struct Desk {
    testsupport::TempProgramFolder folder;
    FakeDesk desk{CClientAPIManagers::Factory()};
    CClientAPIManagers& managers() { return *desk.Services().Managers(); }
    ManagerPtr Add(const std::string& user, int32_t account) {
        return managers().Add("127.0.0.1", 1, user, "pw", false, account);
    }
    // Each row as "key:user:account:note".
    Names Rows() {
        Names out;
        auto& lv = desk.stores().lvwClients;
        for (size_t i = 1; i <= lv.Count(); ++i) {
            auto& r = lv.Item(i);
            out.push_back(r.Key() + ":" + r.SubItems(1) + ":" + r.SubItems(3) + ":" +
                          r.SubItems(4));
        }
        return out;
    }
    Names Keys() {
        Names out;
        for (const auto& e : managers().Children())
            out.push_back(e.key + "=" + std::to_string(e.value->key()) + "/" +
                          std::to_string(e.value->m_lAccount));
        return out;
    }
};

// Removal renumbers the sessions and rows behind it in the old order, keeps the
// notes, releases the removed session and never touches an unknown key.
TEST(Sessions, RemoveRenumbersBehindAndReleasesTheRemovedSession) {
    Desk d;
    ManagerPtr first = d.Add("A", 1001);
    ManagerPtr second = d.Add("B", 1002);
    d.Add("C", 1003);
    d.Add("D", 1004);
    EXPECT_EQ(d.desk.State().CurrentManager.lock(), first);
    d.desk.stores().lvwClients.Item("C3").setSubItems(4, "note");

    for (const char* bad : {"C9", "X2", "C", "C2x", ""}) d.managers().Remove(bad);
    EXPECT_EQ(d.managers().Count(), 4);

    d.managers().Remove("C2");
    EXPECT_TRUE(second->Released());
    EXPECT_EQ(second->ClientAPIF(), nullptr);
    EXPECT_EQ(d.Keys(), (Names{"C1=1/1001", "C2=2/1003", "C3=3/1004"}));
    EXPECT_EQ(d.Rows(), (Names{"C1:A:1001:", "C2:C:1003:note", "C3:D:1004:"}));
    EXPECT_EQ(d.desk.stores().lvwClients.Item("C2").Text(), "02");

    d.managers().Remove("C1");
    EXPECT_TRUE(first->Released());
    EXPECT_EQ(d.Keys(), (Names{"C1=1/1003", "C2=2/1004"}));
    // The current session is never a released one; none is logged on to take its place.
    EXPECT_EQ(d.desk.State().CurrentManager.lock(), nullptr);

    d.managers().Clear();
    EXPECT_EQ(d.managers().Count(), 0);
    EXPECT_EQ(d.desk.stores().lvwClients.Count(), 0u);
    EXPECT_EQ(d.managers().Item("C1"), nullptr);
    EXPECT_EQ(d.managers().Item(1), nullptr);
}

// The 500th session is the last: the next Add shows the limit and adds nothing.
TEST(Sessions, TheFiveHundredAndFirstAddIsRefused) {
    Desk d;
    for (int32_t i = 1; i <= CClientAPIManagers::kMaxSessions; ++i)
        ASSERT_NE(d.Add("U", 1000 + i), nullptr);
    d.desk.Take();
    EXPECT_EQ(d.Add("U", 9999), nullptr);
    EXPECT_EQ(d.managers().Count(), 500);
    EXPECT_EQ(d.desk.Take(), Names{"system|Alert|Maximum account number exceeded"});
}

// A thrown error inside a handler is journaled once for its account and the event
// chain goes on; the quiet members and a released session write nothing.
TEST(Sessions, AHandlerErrorIsJournaledAndQuietEndsWriteNothing) {
    Desk d;
    ManagerPtr s = d.Add("A", 1001);
    d.desk.stores().lvwClients.Remove("C1");
    d.desk.Take();
    auto api = s->ClientAPIF();
    api->InvalidUsernamePassword();
    api->ConnectionState(false);
    s->ClientListItem();
    double balance = 7, x = 0;
    s->Summary(1001, balance, x, x, x, x, x, x);
    EXPECT_EQ(balance, 7);
    EXPECT_EQ(d.desk.Take(),
              Names{"journal|1001|InvalidUsernamePassword failed: Element not found"});

    s->Release();
    api->InvalidUsernamePassword();
    EXPECT_TRUE(d.desk.Take().empty());
}

// Result: every code reddens the cell; texts, journal lines and re-enabling by code.
TEST(Sessions, ResultWritesTheCodesTextCellAndJournal) {
    struct Case {
        int32_t code;
        bool checked;
        std::string note;
        std::string cell;
        Names log;
    };
    const std::vector<Case> cases = {
        {1, true, "", "", {}},
        {2, true, "", "No Privilege ", {"journal|1001|No Privilege ", "order.Enableds|True"}},
        {3, true, "", "", {"journal|1001|Invalid Account ", "order.Enableds|True"}},
        {5, true, "", "", {"order.Enableds|True"}},
        {9, true, "", "", {"order.Enableds|True"}},
        {21, true, "", "Invalid Price", {"journal|1001|Invalid Price", "order.Enableds|True"}},
        {8, false, "", "", {"order.Enableds|True"}},
        {8, true, "Invalid account ID", "", {"order.Enableds|True"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        Desk d;
        d.Add("A", 1001);
        d.desk.Ports().frmorder->Add(1001, "", 0);
        auto& row = d.desk.stores().orderClients.Item("C1001");
        row.setChecked(c.checked);
        d.desk.stores().lvwClients.Item("C1").setSubItems(4, c.note);
        d.desk.Take();
        d.managers().Result(c.code, 1001, "C1");
        EXPECT_EQ(row.SubItemForeColor(2), 255);
        EXPECT_EQ(row.SubItems(2), c.cell);
        EXPECT_EQ(d.desk.Take(), c.log);
    }
}

// With nobody logged on, a fan-out sends nothing, tells the ticked account, says
// so and enables the pane.
TEST(Sessions, AFanOutWithNoQualifiedAccountSaysSoAndEnablesThePane) {
    Desk d;
    d.Add("A", 1001);
    d.desk.Ports().frmorder->Add(1001, "", 0);
    d.desk.stores().orderClients.Item("C1001").setChecked(true);
    d.desk.orderEnabled = false;
    d.desk.Take();
    d.managers().SellFunction();
    EXPECT_EQ(d.desk.Take(), (Names{"journal|1001|No order was sent: the account is not logged in",
                                    "note|No account selected"}));
    EXPECT_TRUE(d.desk.orderEnabled);
    EXPECT_EQ(d.managers().Limit_Offset(2), -1);
    EXPECT_FALSE(d.managers().Check_Visibility("EURUSD", "1001"));
}

// Position and pending-order events only forward, tagged with the session's account.
TEST(Sessions, PositionAndOrderEventsForwardToTheirViews) {
    Desk d;
    testsupport::ViewFactory views;
    views.Symbol({.id = 2, .name = "EURUSD", .bid = 1.1, .ask = 1.2});
    auto pos = views.Position({.ticket = 7, .symbol = 2, .lots = 1, .price = 1.2, .time = {}});
    auto ord = views.Order({.id = 9, .symbol = 2, .lots = 1, .price = 1.0, .time = {}});
    ManagerPtr s = d.Add("A", 1001);
    auto api = s->ClientAPIF();
    d.desk.stores().CloseSymbols.setEnabled(false);
    d.desk.Take();
    api->NewOpenPosition(pos);
    api->UpdateOpenPosition(pos);
    api->NewPendingOrder(ord);
    api->DeletePendingOrder(ord);
    api->DeleteOpenPosition(pos);
    EXPECT_EQ(d.desk.Take(), (Names{"trade.AddPosition|7|1001", "close.CloseSymbols_Click",
                                    "trade.RemovePosition|7|1001", "trade.AddPosition|7|1001",
                                    "pending.AddOrder|9|1001", "pending.Removeorder|9|1001",
                                    "trade.RemovePosition|7|1001", "close.Remove"}));
    EXPECT_TRUE(d.desk.stores().CloseSymbols.Enabled());
    EXPECT_EQ(d.desk.stores().lvwOpenPos.Count() + d.desk.stores().lvwPending.Count(), 0u);
}

// A lost connection takes the session's figures out of the desk totals once, and
// its row's summary refresh asked for earlier in the turn with them.
TEST(Sessions, ALostConnectionTakesTheFiguresOutOfTheTotalsOnce) {
    Desk d;
    ManagerPtr s = d.Add("A", 1001), other = d.Add("B", 1002);
    s->ClientAPIF()->SummariesChanged(1000, 20, 0, 1020, -100, 10, 920);
    other->ClientAPIF()->SummariesChanged(500, 0, 0, 500, 0, 5, 500);
    auto& totals = d.desk.State().SummaryTotals;
    d.desk.stores().lvwClients.Item("C1").setSubItems(7, "1,000.00");
    for (int i = 0; i < 2; ++i) s->ClientAPIF()->ConnectionState(false);
    EXPECT_EQ(totals[kBalance], 500);
    EXPECT_EQ(totals[kEffMargin], 500);
    EXPECT_EQ(s->preBalance, 0);
    platform::EventLoop::RunUntilIdle(1000);  // the summary line is written at the turn's end
    EXPECT_EQ(d.desk.summaries,
              "Balance:500.00   Flt P/L:0.00   Credit:0.00   Equity:500.00   Used Margin:0.00   "
              "Free Margin:500.00   Margin Level:500.00 %");
    EXPECT_EQ(d.desk.Lines("main.refreshsummery_Click"), Names{"main.refreshsummery_Click|C2"});
    auto& row = d.desk.stores().lvwClients.Item("C1");
    EXPECT_EQ(row.SubItems(2), "Disconnected");
    EXPECT_EQ(row.SubItemForeColor(2), 255);
    EXPECT_EQ(row.SubItems(7), "");
}

}  // namespace
