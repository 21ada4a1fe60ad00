// The entry-order pane in the real desk offscreen: its port's contract, its three
// modes against the simulated server in the same process, and the lot rule its
// total shares with the market pane's.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "desk/MGeneralMain.h"
#include "desk/accounts/AccountInput.h"
#include "desk/common/DeskProcedures.h"
#include "desk/common/PaneTable.h"
#include "desk/orders/frmlimitorder.h"
#include "desk/orders/frmorder.h"
#include "desk/sessions/CClientAPIManager.h"
#include "desk/sessions/CClientAPIManagers.h"
#include "desk/sessions/DeleteManagedOrder.h"
#include "desk/shell/frmJournal.h"
#include "desk/shell/frmMdiNew.h"
#include "general/common/MTokens.h"
#include "platform/EventLoop.h"
#include "platform/Timer.h"
#include "platform/widgets/MessageBoxWindow.h"
#include "runtime/Convert.h"
#include "simserver/Server.h"
#include "tests/platform/widgets/WidgetsTesting.h"
#include "tests/support/QuoteBook.h"
#include "tests/support/TempProgramFolder.h"

namespace {

using namespace OrbanexDesk;
namespace og = OrbanelGeneral10;
using Texts = std::vector<std::string>;

constexpr int32_t kWaitMs = 5000;
constexpr int32_t kEur = 2;
constexpr int32_t kGbp = 3;
const int32_t kAccounts[] = {70, 80, 90};
const char* const kUsers[] = {"ANN", "BEN", "CAL"};

frmlimitorder& Pane(MGeneral& desk) {
    auto* pane = dynamic_cast<frmlimitorder*>(desk.Services().Ports().frmlimitorder);
    EXPECT_NE(pane, nullptr);
    return *pane;
}

Texts Column(const platform::ListView& rows, size_t sub) {
    Texts out;
    for (size_t i = 1; i <= rows.Count(); ++i)
        out.push_back(sub ? rows.Item(i).SubItems(sub) : rows.Item(i).Text());
    return out;
}

// The port as the sessions, the market pane and the resets use it.
TEST(EntryPane, ServesItsPortFromItsPane) {
    widgets_testing::App();
    testsupport::TempProgramFolder folder{"desk-entry-pane"};
    MGeneral desk;
    desk.Main();
    frmlimitorder& pane = Pane(desk);
    const DeskPorts& ports = desk.Services().Ports();
    EXPECT_EQ(desk.Shell().GetPane(kPaneNewEntryOrder)->Widget(), &pane);
    ASSERT_NE(pane.CBlimitorderdis(), nullptr);
    EXPECT_EQ(pane.CBlimitorderdis()->ListIndex(), 0) << "the accounts window's load picks it";
    EXPECT_FALSE(pane.CancelVisible());
    EXPECT_TRUE(pane.findChild<QLineEdit*>("txtEditPrice")->isHidden());

    // Rows keyed by account; a listed account's Add changes nothing.
    Ifrmlimitorder& port = pane;
    port.Add(1001, 4, "", 0);
    port.Add(1002, 5, "0.5", 2.5);
    port.lvwConClients().Item("C1001").setSubItems(2, "kept");
    port.Add(1001, 9, "7", 0);
    EXPECT_EQ(Column(port.lvwConClients(), 0), (Texts{"1001", "1002"}));
    EXPECT_EQ(Column(port.lvwConClients(), 1), (Texts{"", "0.5"}));
    EXPECT_EQ(Column(port.lvwConClients(), 2), (Texts{"kept", "2.5"}));
    port.addNote("note", 1002);
    port.addNote("nobody", 1003);
    EXPECT_EQ(Column(port.lvwConClients(), 2), (Texts{"kept", "note"}));
    EXPECT_EQ(port.lvwConClients().Item("C1002").SubItemForeColor(2), 255);
    pane.updateAmount(0, 0.30000000000000004, "C1001");
    EXPECT_EQ(port.lvwConClients().Item("C1001").SubItems(1), "0.3");
    EXPECT_EQ(pane.checkkey(1), "") << "no session";

    // Cancel empties results and amounts; the pane's own reset keeps results.
    port.lvwConClients().Item("C1001").setChecked(true);
    pane.clearFrmlimit();
    EXPECT_EQ(Column(port.lvwConClients(), 1), (Texts{"", ""}));
    EXPECT_EQ(Column(port.lvwConClients(), 2), (Texts{"kept", "note"}));
    EXPECT_FALSE(port.lvwConClients().Item("C1001").Checked());
    port.cmdcancel_Click();
    EXPECT_EQ(Column(port.lvwConClients(), 2), (Texts{"", ""}));

    // The market pane's Remove takes the entry pane's row too; twice is harmless.
    ports.frmorder->Add(1001, "", 0);
    ports.frmorder->Remove(1001);
    ports.frmorder->Remove(1001);
    EXPECT_EQ(Column(port.lvwConClients(), 0), (Texts{"1002"}));

    // The desk's clearing of the order forms empties the four boxes and six labels.
    port.setTxtatprice("1.2");
    port.setTxtsl("1.1");
    port.setTxttp("1.3");
    port.setTxtlimitorderammount("2");
    port.setLblcondition("<");
    port.setLblpricecondition("1.2495");
    port.setLblslcondition("<");
    port.setLblslchanged("1.249");
    port.setLbltpcondition(">");
    port.setLbltpchanged("1.25");
    ports.MGeneral->ClearOrderForms();
    EXPECT_EQ(port.txtatprice() + port.txtsl() + port.txttp() + port.txtlimitorderammount() +
                  port.lblpricecondition() + port.lblslchanged() + port.lbltpchanged(),
              "");
    for (const char* name : {"lblcondition", "lblslcondition", "lbltpcondition"})
        EXPECT_EQ(pane.findChild<QLabel*>(name)->text(), "") << name;

    // The trade views' reset leaves any edit.
    pane.setIsEditing(true);
    pane.setPaneMode("SLTP ");
    ports.MGeneral->ResetTradeViews();
    EXPECT_FALSE(pane.IsEditing());
    EXPECT_EQ(pane.PaneMode(), "");
    EXPECT_EQ(port.lvwConClients().Count(), 0u);
}

// Three accounts on one server: EURUSD at 1.2480/1.2500 with 5-pip offsets, a buy
// position of BEN's with its stop-loss order, and CAL's sell limit.
simserver::Book EntryBook() {
    // EURUSD is kEur; the client's ask is bid + 2 pips of spread: 1.2482.
    simserver::Book book = testsupport::QuoteBook(1.2480, 1.2500);
    for (int i = 0; i < 3; ++i) {
        simserver::Client c;
        c.id = 101 + i;
        c.userName = kUsers[i];
        book.AddClient(c);
        simserver::User u;
        u.name = kUsers[i];
        u.password = "PW";
        u.clientId = c.id;
        book.AddUser(u);
        simserver::Account a;
        a.id = kAccounts[i];
        a.clientId = c.id;
        a.figures.totDep = 10000;
        book.AddAccount(a);
    }
    simserver::Position p;
    p.ticket = 501;
    p.accountId = 80;
    p.side = 1;
    p.lots = 2;
    p.symbolId = kEur;
    p.price = 1.24;
    book.AddPosition(p);
    simserver::Order sl;
    sl.id = 601;
    sl.accountId = 80;
    sl.side = -1;
    sl.lots = 2;
    sl.symbolId = kEur;
    sl.slTp = true;
    sl.ticket = 501;
    sl.sl = "1.2";
    book.AddOrder(sl);
    simserver::Order limit;
    limit.id = 602;
    limit.accountId = 90;
    limit.side = -1;
    limit.lots = 1;
    limit.symbolId = kEur;
    limit.price = 1.26;
    book.AddOrder(limit);
    return book;
}

struct EntryOnServer : ::testing::Test {
    QApplication& app = widgets_testing::App();
    testsupport::TempProgramFolder folder{"desk-entry-server"};
    simserver::Server server{EntryBook()};
    MGeneral desk;

    void SetUp() override {
        server.Listen("127.0.0.1", 0);
        desk.Main();
    }
    void LogIn(int count) {
        auto managers = desk.Services().Managers();
        for (int i = 0; i < count; ++i)
            managers->Add("127.0.0.1", server.Port(), kUsers[i], "PW", true, kAccounts[i]);
        ASSERT_TRUE(platform::EventLoop::RunUntil(
            [&] {
                const DeskPorts& ports = desk.Services().Ports();
                return Pane(desk).lvwConClients().Count() == static_cast<size_t>(count) &&
                       ports.frmPending->lvwPending().Count() == (count == 3 ? 2u : 1u) &&
                       ports.frmTrade->lvwOpenPos().Count() == 1;
            },
            kWaitMs))
            << Pane(desk).lvwConClients().Count() << " "
            << desk.Services().Ports().frmPending->lvwPending().Count() << " "
            << desk.Services().Ports().frmTrade->lvwOpenPos().Count();
        platform::EventLoop::RunFor(50);
    }
    std::vector<simserver::LoggedRequest> Sent(int32_t token) const {
        return server.book().Requests(token);
    }
    // The row of an order id; the ids here are unique over the accounts.
    platform::ListItem* PendingRow(const std::string& id) {
        platform::ListView& rows = desk.Services().Ports().frmPending->lvwPending();
        return rows.FindItem(id);
    }
    bool Wait(const std::function<bool()>& done) {
        return platform::EventLoop::RunUntil(done, kWaitMs);
    }
};

TEST_F(EntryOnServer, NewOrdersForTwoAccountsThenAnEditAndADeletion) {
    LogIn(2);
    frmlimitorder& pane = Pane(desk);
    desk.Shell().SelectPane(kPaneNewEntryOrder);  // keys reach only the pane in front
    auto& rows = pane.lvwConClients();
    auto* price = pane.findChild<QLineEdit*>("txtatprice");
    auto* amount = pane.findChild<QLineEdit*>("txtlimitorderammount");
    EXPECT_EQ(pane.cblimitordersymbols().Text(), "EURUSD");
    pane.cblimiordertype().setListIndex(0);
    // The sessions' call runs on the next turn, every time: quotes in a stream
    // are shown as fast as one after a quiet spell.
    for (int quote = 1; quote <= 2; ++quote) {
        pane.limitorderpricechange();
        pane.setLblpricecondition("unchanged");
        EXPECT_EQ(pane.lblpricecondition(), "unchanged") << "the sessions' call waits for the loop";
        platform::EventLoop::RunFor(20);
        EXPECT_EQ(pane.lblpricecondition(), "1.2477") << quote;
    }

    // Typing enables Submit while the at price lies below the boundary.
    QTest::keyClicks(price, "1.2x4.7");
    EXPECT_EQ(pane.txtatprice(), "1.247");
    EXPECT_TRUE(pane.SubmitEnabled());
    QTest::keyClicks(price, "7");
    EXPECT_FALSE(pane.SubmitEnabled());
    price->clear();
    QTest::keyClicks(price, "1.2");
    EXPECT_EQ(pane.lblslchanged(), "1.1995");
    QTest::keyClicks(amount, "2");

    // Check all, distribute, submit: one order per account with its own share.
    pane.LblCheck_Click();
    EXPECT_EQ(pane.findChild<QLabel*>("LblCheck")->text(), "Uncheck All");
    EXPECT_TRUE(rows.Item("C70").Checked() && rows.Item("C80").Checked());
    pane.findChild<QPushButton*>("cmdlimiorderdis")->click();
    EXPECT_EQ(Column(rows, 1), (Texts{"1", "1"}));
    ASSERT_TRUE(pane.SubmitEnabled());

    // A pasted stop-loss that is no number: refused in the pane, texts kept.
    pane.setTxtsl("1,1");
    pane.cmdsubmitlimiorder_Click();
    EXPECT_EQ(Column(rows, 2), (Texts{"Invalid Price", "Invalid Price"}));
    EXPECT_EQ(pane.txtatprice() + "|" + pane.txtlimitorderammount(), "1.2|2");
    pane.setTxtsl("");
    pane.findChild<QPushButton*>("cmdsubmitlimiorder")->click();
    const auto sent = Sent(og::NEW_LIMIT_ORDER_TOKEN);
    ASSERT_EQ(sent.size(), 0u) << "queued, not yet read";
    ASSERT_TRUE(Wait([&] { return Sent(og::NEW_LIMIT_ORDER_TOKEN).size() == 2; }));
    Texts accounts;
    for (const auto& r : Sent(og::NEW_LIMIT_ORDER_TOKEN)) {
        accounts.push_back(r.params.at(1));
        EXPECT_EQ(runtime::Val(r.params.at(3)), 1) << "lots";
        EXPECT_EQ(runtime::Val(r.params.at(4)), 1.2) << "price";
        EXPECT_EQ(r.params.at(5), "1") << "buy limit";
    }
    // Two connections: the server may read either first.
    std::sort(accounts.begin(), accounts.end());
    EXPECT_EQ(accounts, (Texts{"70", "80"}));
    EXPECT_EQ(Column(rows, 2), (Texts{"Success Result", "Success Result"}));
    EXPECT_EQ(pane.txtatprice() + pane.txtlimitorderammount(), "") << "the pane resets";
    auto* journal = dynamic_cast<frmJournal*>(desk.Services().Ports().frmJournal);
    ASSERT_NE(journal, nullptr);
    const Texts lines = Column(journal->lvwJournal(), 2);
    EXPECT_EQ(
        std::count(lines.begin(), lines.end(), "Request Buy Limit EURUSD at 1.2 ( SL=  TP=  )"), 2);
    ASSERT_TRUE(
        Wait([&] { return desk.Services().Ports().frmPending->lvwPending().Count() == 3; }));
    Texts types;
    for (size_t i = 1; i <= 3; ++i)
        types.push_back(desk.Services().Ports().frmPending->lvwPending().Item(i).SubItems(2));
    EXPECT_EQ(std::count(types.begin(), types.end(), "Buy limit"), 2);

    // Edit of ANN's new order: the typed amount goes as typed.
    const std::string annOrder = server.book().orders.at(2).accountId == 70
                                     ? std::to_string(server.book().orders.at(2).id)
                                     : std::to_string(server.book().orders.at(3).id);
    PendingRow(annOrder)->setSelected(true);
    pane.EdirMode();
    EXPECT_EQ(pane.PaneMode(), "Limit Orders");
    EXPECT_TRUE(pane.CancelVisible());
    EXPECT_EQ(pane.cblimiordertypeListIndex(), 0) << "\"Buy limit\" selects \"Buy Limit\"";
    EXPECT_TRUE(rows.Item("C70").Checked());
    EXPECT_FALSE(rows.Item("C80").Checked());
    pane.setTxtlimitorderammount("0.3");
    pane.setTxtatprice("1.19");
    pane.cmdsubmitlimiorder_Click();
    ASSERT_TRUE(Wait([&] { return Sent(og::UPDATE_LIMIT_ORDER_TOKEN).size() == 1; }));
    const auto update = Sent(og::UPDATE_LIMIT_ORDER_TOKEN).front();
    EXPECT_EQ(update.params.at(1), "70");
    EXPECT_EQ(update.params.at(2), annOrder);
    EXPECT_EQ(update.params.at(10), "0.3");
    EXPECT_FALSE(pane.CancelVisible());
    EXPECT_EQ(pane.PaneMode(), "");

    // Cancel of a confirmed order: nothing without a selected pending row.
    PendingRow(annOrder)->setSelected(false);
    DeleteManagedOrder(desk.Services(), 70, runtime::CLng(runtime::Val(annOrder)));
    PendingRow(annOrder)->setSelected(true);
    DeleteManagedOrder(desk.Services(), 70, runtime::CLng(runtime::Val(annOrder)));
    ASSERT_TRUE(Wait([&] { return !PendingRow(annOrder); }));
    ASSERT_EQ(Sent(og::DELETE_LIMIT_ORDER_TOKEN).size(), 1u);
    EXPECT_EQ(Sent(og::DELETE_LIMIT_ORDER_TOKEN).front().params.at(2), annOrder);
    EXPECT_EQ(rows.Item("C70").SubItems(2), "Success Result");
    EXPECT_FALSE(rows.Item("C70").Checked());
}

// The texts of the desk's open message boxes, which are then closed.
Texts TakeBoxes() {
    Texts out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = dynamic_cast<platform::widgets::MessageBoxWindow*>(w);
            box && box->isVisible()) {
            out.push_back(box->Label().text().toStdString());
            box->close();
        }
    return out;
}

// Both panes hold a total to one lot-text rule: a refused total says "Invalid
// Lots" and leaves every row as it was; a taken one is spread (two accounts).
TEST_F(EntryOnServer, BothPanesTakeAndRefuseTheSameTotals) {
    LogIn(2);
    frmlimitorder& entry = Pane(desk);
    auto* market = dynamic_cast<frmorder*>(desk.Services().Ports().frmorder);
    ASSERT_NE(market, nullptr);
    market->cbsymbols().setText("EURUSD");
    market->setChkAllClients(true);
    entry.setChkAllClients(true);
    TakeBoxes();
    struct Case {
        const char* total;
        Texts amounts;  // empty: refused
    };
    const Case cases[] = {{"2", {"1", "1"}},
                          {"1.", {"0.5", "0.5"}},
                          {".5", {"0.2", "0.2"}},
                          {"-1", {}},
                          {"1e1", {}},
                          {"2e-1", {}},
                          {"1.5.", {}},
                          {" 1 ", {}},
                          {"1,5", {}},
                          {".", {}}};
    struct Side {
        const char* name;
        platform::ListView& rows;
        std::function<void(const std::string&)> setTotal;
        std::function<void()> distribute;
    };
    const Side sides[] = {
        {"market", market->lvwConClients(), [&](const std::string& t) { market->setTxtammount(t); },
         [&] { market->cmddis_Click(); }},
        {"entry", entry.lvwConClients(),
         [&](const std::string& t) { entry.setTxtlimitorderammount(t); },
         [&] { entry.cmdlimiorderdis_Click(); }}};
    for (const Side& side : sides) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(side.name) + " \"" + c.total + "\"");
            side.setTotal(c.total);
            for (size_t i = 1; i <= side.rows.Count(); ++i) {
                ASSERT_TRUE(side.rows.Item(i).Checked());
                side.rows.Item(i).setSubItems(1, "7");
                side.rows.Item(i).setSubItems(2, "kept");
            }
            side.distribute();
            const bool refused = c.amounts.empty();
            EXPECT_EQ(TakeBoxes(), refused ? Texts{"Invalid Lots"} : Texts{});
            EXPECT_EQ(Column(side.rows, 1), refused ? (Texts{"7", "7"}) : c.amounts);
            EXPECT_EQ(Column(side.rows, 2), refused ? (Texts{"kept", "kept"}) : (Texts{"", ""}));
        }
    }
}

TEST_F(EntryOnServer, AStopLossRequestNamesItsOrderAndRowsFollowTheirAccounts) {
    LogIn(3);
    frmlimitorder& pane = Pane(desk);
    auto& rows = pane.lvwConClients();

    // "Sell(Manage)": the position is a buy; the stray Trade selection is ignored.
    PendingRow("601")->setSelected(true);
    pane.EdirMode();
    EXPECT_EQ(pane.PaneMode(), "SLTP ");
    EXPECT_EQ(pane.PositionSide(), "Buy");
    EXPECT_EQ(pane.cblimiordertypeListIndex(), 0);
    EXPECT_FALSE(pane.findChild<QLineEdit*>("txtatprice")->isEnabled());
    EXPECT_EQ(Column(rows, 1), (Texts{"", "2", ""}));
    EXPECT_EQ(rows.Item("C80").Checked(), true);
    auto& positions = desk.Services().Ports().frmTrade->lvwOpenPos();
    ASSERT_GE(positions.Count(), 1u);
    positions.Item(1).setSelected(true);
    pane.setTxtsl("1.1");
    pane.cmdsubmitlimiorder_Click();
    ASSERT_TRUE(Wait([&] { return Sent(og::UPDATE_SL_TP_ORDER_TOKEN).size() == 1; }));
    EXPECT_EQ(Sent(og::UPDATE_SL_TP_ORDER_TOKEN).front().params.at(2), "601");
    EXPECT_EQ(Sent(og::UPDATE_SL_TP_ORDER_TOKEN).front().params.at(6), "1.1");
    EXPECT_TRUE(Sent(og::NEW_SL_TP_TOKEN).empty());

    // ANN's session goes: CAL's edit and cancel still reach CAL.
    auto& clients = desk.Accounts().lvwClients();
    for (size_t i = 1; i <= clients.Count(); ++i)
        if (clients.Item(i).SubItems(kAccountColumn) == "70") clients.Item(i).setSelected(true);
    desk.Accounts().Core().mnuRemove_Click();
    ASSERT_TRUE(Wait([&] { return rows.Count() == 2; }));
    PendingRow("602")->setSelected(true);
    pane.EdirMode();
    EXPECT_EQ(pane.cblimiordertypeListIndex(), 1);
    EXPECT_TRUE(rows.Item("C90").Checked());
    pane.setTxtatprice("1.27");
    pane.cmdsubmitlimiorder_Click();
    ASSERT_TRUE(Wait([&] { return Sent(og::UPDATE_LIMIT_ORDER_TOKEN).size() == 1; }));
    EXPECT_EQ(Sent(og::UPDATE_LIMIT_ORDER_TOKEN).front().params.at(1), "90");
    EXPECT_EQ(rows.Item("C90").SubItems(2), "Success Result");
    // Cancel during an edit gives the controls back and empties every row.
    PendingRow("602")->setSelected(true);
    pane.EdirMode();
    pane.findChild<QPushButton*>("cmdcancel")->click();
    EXPECT_FALSE(pane.IsEditing());
    EXPECT_FALSE(pane.CancelVisible());
    EXPECT_TRUE(pane.findChild<QWidget*>("cblimiordertype")->isEnabled());
    EXPECT_TRUE(pane.findChild<QWidget*>("lvwConClients")->isEnabled());
    EXPECT_EQ(Column(rows, 1), (Texts{"", ""}));
    EXPECT_EQ(Column(rows, 2), (Texts{"", ""}));
    EXPECT_FALSE(rows.Item("C90").Checked());
    DeleteManagedOrder(desk.Services(), 90, 602);
    ASSERT_TRUE(Wait([&] { return Sent(og::DELETE_LIMIT_ORDER_TOKEN).size() == 1; }));
    EXPECT_EQ(Sent(og::DELETE_LIMIT_ORDER_TOKEN).front().params.at(1), "90");

    // ANN back: a fresh row at the end.
    desk.Services().Managers()->Add("127.0.0.1", server.Port(), "ANN", "PW", true, 70);
    ASSERT_TRUE(Wait([&] { return rows.Count() == 3; }));
    EXPECT_EQ(Column(rows, 0), (Texts{"80", "90", "70"}));
    // A result by session key reaches the row of that session's account, after the
    // renumbering too.
    pane.UpdateResult("by key", 3);
    pane.UpdateResult("by key", 2);
    EXPECT_EQ(Column(rows, 2), (Texts{"", "by key", "by key"}));

    // Check-all with a row whose account has no session: "No Balance", kept as it was.
    pane.Add(4242, 99, "", 0);
    pane.setChkAllClients(true);
    EXPECT_EQ(rows.Item("C4242").SubItems(2), "No Balance");
    EXPECT_FALSE(rows.Item("C4242").Checked());
    EXPECT_TRUE(rows.Item("C90").Checked());
    // Checked by hand it is an account without data: it takes its share, then
    // Submit names it and sends nothing.
    rows.Item("C4242").setChecked(true);
    pane.cblimiordertype().setListIndex(0);
    pane.setTxtatprice("1.2");
    pane.setTxtlimitorderammount("4");
    pane.findChild<QPushButton*>("cmdlimiorderdis")->click();
    EXPECT_TRUE(rows.Item("C4242").Checked());
    EXPECT_EQ(rows.Item("C4242").SubItems(1), rows.Item("C90").SubItems(1));
    EXPECT_EQ(rows.Item("C4242").SubItems(2), "");
    const size_t placed = Sent(og::NEW_LIMIT_ORDER_TOKEN).size();
    pane.cmdsubmitlimiorder_Click();
    EXPECT_EQ(rows.Item("C4242").SubItems(2), "Account not connected");
    platform::EventLoop::RunFor(50);
    EXPECT_EQ(Sent(og::NEW_LIMIT_ORDER_TOKEN).size(), placed);

    // A symbol change empties every amount and result and unchecks every row.
    pane.cblimitordersymbols().setText("");
    EXPECT_EQ(Column(rows, 2), (Texts{"", "", "", ""}));
    EXPECT_FALSE(rows.Item("C90").Checked());
    EXPECT_FALSE(pane.findChild<QCheckBox*>("chkAllClients")->isChecked());
}

// A Buy Limit and a Sell Stop with their levels, filled by one quote: each new
// position shows its S/L and T/P in Trade, its S/L-T/P order in Pending Order, and
// the first quote that reaches its stop-loss closes it at that quote's price.
TEST_F(EntryOnServer, FilledEntryOrdersCarryTheirLevelsAndTheStopLossCloses) {
    LogIn(2);
    const DeskPorts& ports = desk.Services().Ports();
    auto& trade = ports.frmTrade->lvwOpenPos();
    auto& pending = ports.frmPending->lvwPending();
    const auto ann = desk.Services().Managers()->Item("C1")->ClientAPIF();
    ASSERT_EQ(ann->NewLimitOrder(og::BuyType, kEur, 1, 1.24, runtime::Variant("1.235"),
                                 runtime::Variant("1.27"), "", ""),
              OrbanexClientAPI10::SuccessResult);
    ASSERT_EQ(ann->NewLimitOrder(og::SellStopType, kEur, 1, 1.245, runtime::Variant("1.255"),
                                 runtime::Variant("1.2"), "", ""),
              OrbanexClientAPI10::SuccessResult);
    ASSERT_TRUE(Wait([&] { return pending.Count() == 3; }));
    const int32_t buy = server.book().nextTicket, sell = buy + 1;
    server.PushPrice(kEur, 1.2398, 1.24);
    // Account, S/L, T/P of each new position's Trade row and of its order's row.
    auto levels = [&](const platform::ListView& rows, int32_t ticket, size_t sl) {
        const std::string key = std::to_string(ticket);
        for (size_t i = 1; i <= rows.Count(); ++i) {
            const platform::ListItem& row = rows.Item(i);
            if (row.SubItems(1) == "70" && (&rows == &trade ? row.Text() : row.Tag()) == key)
                return Texts{row.SubItems(sl), row.SubItems(sl + 1)};
        }
        return Texts{};
    };
    ASSERT_TRUE(Wait([&] { return !levels(trade, sell, 8).empty() && pending.Count() == 3; }));
    EXPECT_EQ(levels(trade, buy, 8), (Texts{"1.2350", "1.2700"}));
    EXPECT_EQ(levels(trade, sell, 8), (Texts{"1.2550", "1.2000"}));
    EXPECT_EQ(levels(pending, buy, 6), (Texts{"1.2350", "1.2700"}));
    EXPECT_EQ(levels(pending, sell, 6), (Texts{"1.2550", "1.2000"}));

    // Short of every level, then past the buy's stop-loss, then past the sell's:
    // each closes at its quote's price (bid for the buy, ask for the sell).
    const auto balance = [&] {
        std::string shown = desk.Accounts().lvwClients().Item("C1").SubItems(kBalanceColumn);
        shown.erase(std::remove(shown.begin(), shown.end(), ','), shown.end());
        return runtime::Val(shown);
    };
    const double before = balance();
    server.PushPrice(kEur, 1.2351, 1.2353);
    platform::EventLoop::RunFor(100);
    EXPECT_EQ(trade.Count(), 3u);
    server.PushPrice(kEur, 1.2341, 1.2343);
    ASSERT_TRUE(Wait([&] { return levels(trade, buy, 8).empty() && pending.Count() == 2; }));
    EXPECT_TRUE(Wait([&] { return balance() == before - 590; })) << balance() - before;
    EXPECT_EQ(levels(pending, sell, 6), (Texts{"1.2550", "1.2000"}));
    server.PushPrice(kEur, 1.2561, 1.2563);
    ASSERT_TRUE(Wait([&] { return levels(trade, sell, 8).empty() && pending.Count() == 1; }));
    EXPECT_TRUE(Wait([&] { return balance() == before - 590 - 1130; })) << balance() - before;
}

// A quote's run shows new conditions whenever anything they are read from changed
// since they were shown: the bid alone, the ask alone, the mode (a stop-loss edit
// left by Cancel), a listed account's lost connection (its row stays), a row gone.
TEST_F(EntryOnServer, PriceConditionsFollowEachInputTheyAreReadFrom) {
    // Limit offsets ANN 5, BEN 20, CAL 10 pips; stop offsets 5.
    const double offsets[] = {5, 20, 10};
    for (int i = 0; i < 3; ++i)
        server.book().FindClient(101 + i)->params[kEur].limitOffset = offsets[i];
    simserver::Symbol gbp;
    gbp.id = kGbp, gbp.name = "GBPUSD", gbp.bid = 1.3, gbp.ask = 1.3002;
    server.book().AddSymbol(gbp);
    LogIn(3);
    frmlimitorder& pane = Pane(desk);
    // Without the clients' own spreads the raw bid and ask move each alone.
    for (int i = 0; i < 3; ++i)
        server.Push(og::CLIENT_PARAMETERS_TOKEN,
                    {std::to_string(101 + i),
                     "2,,0," + runtime::NumberToText(offsets[i]) + ",5,0,100,0.1"});
    ASSERT_TRUE(Wait([&] { return pane.PaneSymbol() && pane.PaneSymbol()->Ask() == 1.25; }));
    // A quote of EURUSD; of GBPUSD where EURUSD's prices stay as they are.
    double gbpBid = 1.3;
    auto quote = [&](const char* step, double bid, double ask, const Texts& labels) {
        SCOPED_TRACE(step);
        const auto& eur = *pane.PaneSymbol();
        if (eur.Bid() == bid && eur.Ask() == ask) {
            gbpBid += 0.0001;
            server.PushPrice(kGbp, gbpBid, gbpBid + 0.0002);
        } else {
            server.PushPrice(kEur, bid, ask);
        }
        const auto shown = [&] {
            return Texts{pane.lblpricecondition(), pane.lblslchanged(), pane.lbltpchanged()};
        };
        EXPECT_TRUE(Wait([&] { return shown() == labels; })) << ::testing::PrintToString(shown());
    };

    pane.cblimiordertype().setListIndex(1);  // Sell Limit: the bid
    EXPECT_EQ(pane.lblpricecondition(), "1.25");
    quote("the bid alone", 1.2484, 1.25, {"1.2504", "1.2524", "1.2484"});
    pane.cblimiordertype().setListIndex(0);  // Buy Limit: the ask
    EXPECT_EQ(pane.lblpricecondition(), "1.248");
    quote("the ask alone", 1.2484, 1.2506, {"1.2486", "1.2466", "1.2506"});

    // BEN's stop-loss edit shows the position's (bid - 5, bid + 20 pips); the dealer
    // empties the amount and cancels.
    PendingRow("601")->setSelected(true);
    pane.EdirMode();
    EXPECT_EQ(Texts({pane.lblslchanged(), pane.lbltpchanged()}), (Texts{"1.2479", "1.2504"}));
    pane.setTxtlimitorderammount("");
    pane.cmdcancel_Click();
    quote("the edit left", 1.2484, 1.2506, {"1.2486", "1.2466", "1.2506"});

    // BEN's connection is lost for good; the pane keeps its row.
    size_t ben = 0;
    for (const auto& r : Sent(og::LOGIN_TOKEN))
        if (r.params.at(0) == "BEN") ben = r.connection;
    const ManagerPtr benSession = desk.Services().Managers()->Item("C2");
    ASSERT_EQ(benSession->m_lAccount, 80);
    server.PushTo(ben, og::DISCONNECT_TOKEN, {"3"});
    ASSERT_TRUE(Wait(
        [&] { return desk.Accounts().lvwClients().Item("C2").SubItems(2) == "Disconnected"; }));
    EXPECT_FALSE(benSession->ClientAPIF()->LogedOn());
    TakeBoxes();
    EXPECT_TRUE(pane.lvwConClients().Find("C80"));
    quote("BEN's connection lost", 1.2484, 1.2506, {"1.2496", "1.2486", "1.2506"});

    // CAL's row leaves as the market pane's does.
    desk.Services().Ports().frmorder->Remove(90);
    quote("CAL's row gone", 1.2484, 1.2506, {"1.2501", "1.2496", "1.2506"});
}

// A listed account logs in again: its symbol load brings new prices and its
// selection's answers a new offset, and no quote of the symbol follows; the
// conditions show both, though another session's quote ran them while it loaded.
TEST_F(EntryOnServer, PriceConditionsFollowAReloginThatNoQuoteFollows) {
    platform::ScopedVirtualTime time;  // the sessions' reconnect wait
    // Limit offsets ANN 20, BEN 5 pips; the clients' spread is the server's own.
    simserver::Symbol gbp;
    gbp.id = kGbp, gbp.name = "GBPUSD", gbp.bid = 1.3, gbp.ask = 1.3002;
    server.book().AddSymbol(gbp);
    simserver::Symbol* eur = server.book().FindSymbol(kEur);
    eur->ask = 1.2482;
    server.book().FindClient(101)->params[kEur].limitOffset = 20;
    LogIn(2);
    frmlimitorder& pane = Pane(desk);
    const auto shown = [&] {
        return Texts{pane.lblpricecondition(), pane.lblslchanged(), pane.lbltpchanged()};
    };
    pane.cblimiordertype().setListIndex(0);  // Buy Limit: below the ask by the largest
    ASSERT_EQ(shown(), (Texts{"1.2462", "1.2442", "1.2482"}));

    // ANN's connection drops; its server answers the new login with new prices and
    // a 30-pip offset. BEN's GBPUSD quote comes once ANN's login is answered.
    eur->bid = 1.26, eur->ask = 1.2602;
    server.book().FindClient(101)->params[kEur].limitOffset = 30;
    const auto ann = desk.Services().Managers()->Item("C1")->CLAPICLASS();
    const auto ben = desk.Services().Managers()->Item("C2")->CLAPICLASS();
    runtime::ScopedConnection answered = ann->ConnectionState.Connect([&](bool up) {
        if (up) server.PushPrice(kGbp, 1.3001, 1.3003);
    });
    // Its loading ends with the pending orders of its login's selection, then the
    // desk's. By the first, BEN's quote has come and the symbol load's new ask shows
    // (Buy Limit's take-profit limit is the ask whatever the offset).
    int selections = 0;
    double gbpBid = 0;
    std::string tpBeforeTheEnd;
    runtime::ScopedConnection loaded = ann->PendingOrdersLoaded.Connect([&] {
        if (++selections > 1) return;
        if (const auto symbol = ben->SymbolByName("GBPUSD")) gbpBid = symbol->Bid();
        tpBeforeTheEnd = pane.lbltpchanged();
    });
    for (const auto& r : Sent(og::LOGIN_TOKEN))
        if (r.params.at(0) == "ANN") server.Drop(r.connection);
    for (int s = 0; s < 10 && selections < 2; ++s) {
        time.Advance(1000);
        platform::EventLoop::RunUntil([&] { return selections == 2; }, 250);
    }
    ASSERT_EQ(selections, 2);
    EXPECT_EQ(gbpBid, 1.3001);
    EXPECT_EQ(tpBeforeTheEnd, "1.2602");
    platform::EventLoop::RunFor(50);
    EXPECT_EQ(shown(), (Texts{"1.2572", "1.2542", "1.2602"}));
}

}  // namespace
