// The market-order pane and the trade forms' mouse work in the real desk
// offscreen: the forms pass the port suite, the pane filters and edits through
// its window, the lists open the shell's context menus; then one market order
// for three accounts on the simulated server, seen in every view.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QWindow>
#include <string>
#include <vector>

#include "desk/MGeneralMain.h"
#include "desk/accounts/frmMain.h"
#include "desk/accounts/frmSure.h"
#include "desk/accounts/frmaccount.h"
#include "desk/common/MGeneral.h"
#include "desk/common/PaneTable.h"
#include "desk/orders/frmorder.h"
#include "desk/positions/PositionForms.h"
#include "desk/sessions/CClientAPIManagers.h"
#include "desk/shell/frmJournal.h"
#include "desk/shell/frmMdiNew.h"
#include "general/common/Enums.h"
#include "platform/EventLoop.h"
#include "platform/widgets/CommandBars.h"
#include "platform/widgets/LabelButton.h"
#include "platform/widgets/MessageBoxWindow.h"
#include "simserver/Server.h"
#include "tests/platform/widgets/WidgetsTesting.h"
#include "tests/support/QuoteBook.h"
#include "tests/support/TempProgramFolder.h"
#include "tests/support/clientapi/ViewFactory.h"
#include "tests/support/desk/FormPortContracts.h"

namespace {

using namespace OrbanexDesk;
using Texts = std::vector<std::string>;

constexpr int32_t kWaitMs = 5000;

class ProgramDesk {
public:
    ProgramDesk() { desk_.Main(); }
    const DeskPorts& Ports() { return desk_.Services().Ports(); }
    MGeneral& Desk() { return desk_; }

private:
    QApplication& app_ = widgets_testing::App();
    testsupport::TempProgramFolder folder_{"desk-market-pane"};
    MGeneral desk_;
};

}  // namespace

namespace testsupport::contracts {
INSTANTIATE_TYPED_TEST_SUITE_P(Program, FormPortContract, ProgramDesk);
}  // namespace testsupport::contracts

namespace {

// The texts of the visible message boxes, newest last.
Texts Boxes() {
    Texts out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = dynamic_cast<platform::widgets::MessageBoxWindow*>(w);
            box && box->isVisible())
            out.push_back(box->Label().text().toStdString());
    return out;
}

bool Contains(const Texts& texts, const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// The captions of a context menu when it shows, else nothing.
Texts MenuShown(frmMdiNew& shell, int32_t id) {
    Texts out;
    platform::widgets::CommandBar* bar = shell.CommandBars().FindContextMenu(id);
    if (!bar || !bar->Widget().isVisible()) return out;
    for (size_t i = 1; i <= bar->ControlCount(); ++i) out.push_back(bar->Control(i).Caption());
    static_cast<QMenu&>(bar->Widget()).hide();
    return out;
}

void ClickCell(platform::widgets::ListView& list, int row, int column, Qt::MouseButton button) {
    const QRect cell = list.visualRect(list.model()->index(row, column));
    QTest::mouseClick(list.viewport(), button, {}, cell.center());
    widgets_testing::Turn();
}

TEST(MarketPane, WindowFiltersEditsAndTheListsOpenTheShellsMenus) {
    ProgramDesk h;
    MGeneral& desk = h.Desk();
    const DeskPorts& ports = h.Ports();
    auto* pane = dynamic_cast<frmorder*>(ports.frmorder);
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(desk.Shell().GetPane(kPaneNewPosition)->Widget(), pane);

    // The accounts window's load chose rule 0 and left Distribute disabled.
    EXPECT_EQ(pane->CBdis().ListIndex(), 0);
    EXPECT_FALSE(pane->Cmddis().isEnabled());
    EXPECT_TRUE(pane->Cmdbuy().isHidden() && pane->Cmdsell().isHidden());
    pane->cbsymbols().AddItem("EURUSD");
    pane->cbsymbols().setListIndex(0);
    QTest::keyClicks(&pane->Txtammount(), "1a.5.");
    EXPECT_EQ(pane->Txtammount().text(), "1.5");
    EXPECT_TRUE(pane->Cmddis().isEnabled());
    ports.frmorder->setEnabled(false);
    EXPECT_FALSE(pane->isEnabled());
    pane->Enableds(true);
    EXPECT_TRUE(pane->isEnabled() && pane->Cmdbuy().isEnabled());

    // Check All by the label; the box itself writes the other caption.
    pane->Add(1001, "", 0);
    pane->Add(1002, "", 0);
    QTest::mouseClick(&pane->LblCheck(), Qt::LeftButton);
    EXPECT_TRUE(pane->ChkAllClients().isChecked());
    EXPECT_EQ(pane->LblCheck().text(), "Uncheck All");
    EXPECT_EQ(pane->lvwConClients().Item(1).SubItems(2), "No Balance") << "no session";
    pane->ChkAllClients().click();
    EXPECT_EQ(pane->LblCheck().text(), "Check all");

    // The editor opens over "Amount" only; Enter commits; a paste is refused.
    widgets_testing::Turn();
    auto& list = pane->List();
    ClickCell(list, 0, 0, Qt::LeftButton);
    EXPECT_TRUE(pane->TxtLvw().isHidden());
    ClickCell(list, 0, 1, Qt::LeftButton);
    ASSERT_TRUE(pane->TxtLvw().isVisible());
    QTest::keyClicks(&pane->TxtLvw(), "0x.2.5");
    QTest::keyClick(&pane->TxtLvw(), Qt::Key_Return);
    EXPECT_TRUE(pane->TxtLvw().isHidden());
    EXPECT_EQ(pane->lvwConClients().Item(1).SubItems(1), "0.25");
    // A commit reuses the one hidden price box instead of making another.
    EXPECT_EQ(pane->findChildren<QLineEdit*>("txtEditPrice").size(), 1);
    QApplication::clipboard()->setText("1,5");
    ClickCell(list, 1, 1, Qt::LeftButton);
    QTest::keySequence(&pane->TxtLvw(), QKeySequence::Paste);
    EXPECT_EQ(pane->TxtLvw().text(), "");

    // Trade: no menu over an empty list; a right press selects its row and shows
    // "trade Popup"; Close Selected asks only with a row checked.
    auto* trade = dynamic_cast<frmTrade*>(ports.frmTrade);
    ASSERT_NE(trade, nullptr);
    desk.Shell().SelectPane(kPaneTrade);
    widgets_testing::Turn();
    QTest::mouseClick(trade->List().viewport(), Qt::RightButton, {}, QPoint(20, 20));
    EXPECT_TRUE(MenuShown(desk.Shell(), kBarTradePopup).empty());
    testsupport::ViewFactory views;
    views.Symbol({.id = 2, .name = "EURUSD", .bid = 1.1, .ask = 1.2});
    for (int32_t ticket : {7, 8})
        trade->AddPosition(
            views.Position({.ticket = ticket, .symbol = 2, .lots = 1, .price = 1.2, .time = {}}),
            1001);
    widgets_testing::Turn();
    ClickCell(trade->List(), 1, 2, Qt::RightButton);
    EXPECT_EQ(MenuShown(desk.Shell(), 100030),
              (Texts{"Close Position", "New Position", "New Entry Order"}));
    ASSERT_NE(trade->lvwOpenPos().SelectedItem(), nullptr);
    EXPECT_EQ(trade->lvwOpenPos().SelectedItem()->Text(), "8");
    QTest::mouseClick(&trade->lbbClose(), Qt::LeftButton);
    EXPECT_TRUE(Contains(Boxes(), "No selected positions"));
    trade->lvwOpenPos().Item(PositionRowKey(1001, 7)).setChecked(true);
    QTest::mouseClick(&trade->lbbClose(), Qt::LeftButton);
    EXPECT_TRUE(Contains(
        Boxes(), "Are you sure you want to close selected postion(s) at current market price(s)?"));

    // Pending: the menu and the double click on a symbol no entry pane offers.
    auto* pending = dynamic_cast<frmPending*>(ports.frmPending);
    ASSERT_NE(pending, nullptr);
    desk.Shell().SelectPane(kPanePendingOrder);
    pending->AddOrder(views.Order({.id = 9, .symbol = 2, .lots = 1, .price = 1.0, .time = {}}),
                      1001);
    widgets_testing::Turn();
    ClickCell(pending->List(), 0, 0, Qt::RightButton);
    EXPECT_EQ(MenuShown(desk.Shell(), 100058), (Texts{"Edit Order", "Cancel Order"}));
    QTest::mouseDClick(pending->List().viewport(), Qt::LeftButton, {},
                       pending->List().visualRect(pending->List().model()->index(0, 0)).center());
    EXPECT_TRUE(Contains(Boxes(), "EURUSD is not visible for any of the connected accounts"));
    // Once the entry pane offers the symbol, the double click opens the order there.
    ports.frmlimitorder->cblimitordersymbols().AddItem("EURUSD");
    QTest::mouseDClick(pending->List().viewport(), Qt::LeftButton, {},
                       pending->List().visualRect(pending->List().model()->index(0, 0)).center());
    const Ifrmlimitorder& entry = *ports.frmlimitorder;
    EXPECT_EQ(entry.PaneMode(), "Limit Orders");
    EXPECT_TRUE(entry.IsEditing());
    EXPECT_EQ(entry.EditID(), 9);
    EXPECT_EQ(entry.EditAmount(), "1");

    // Journal: its one-entry menu over a list with lines.
    auto* journal = dynamic_cast<frmJournal*>(ports.frmJournal);
    desk.Shell().SelectPane(kPaneJournal);
    journal->Add("line", 1001, false);
    widgets_testing::Turn();
    auto* lines = journal->findChild<platform::widgets::ListView*>();
    ASSERT_NE(lines, nullptr);
    ClickCell(*lines, 0, 0, Qt::RightButton);
    EXPECT_EQ(MenuShown(desk.Shell(), 100045), (Texts{"Clear"}));
}

simserver::Book ThreeAccounts() {
    simserver::Book b = testsupport::QuoteBook(1.085, 1.0852, 1.09, 1.08);
    for (int32_t n : {1, 2, 3}) {
        simserver::Client c;
        c.id = 100 + n, c.userName = "U" + std::to_string(n);
        b.AddClient(c);
        simserver::User u;
        u.name = c.userName, u.password = "pw", u.clientId = c.id;
        b.AddUser(u);
        simserver::Account a;
        a.id = 70 + n, a.clientId = c.id, a.figures.totDep = 10000;
        b.AddAccount(a);
    }
    b.nextTicket = 3001;
    return b;
}

// Three accounts checked, 1 lot spread equally by a double click on Distribute,
// then Buy: one order each on the server, the positions in Trade, their net
// rows under one bold total, journal lines; a logout takes its share out again.
TEST(MarketPane, OneMarketOrderForThreeAccountsShowsInEveryView) {
    simserver::Server server(ThreeAccounts());
    server.Listen("127.0.0.1", 0);
    ProgramDesk h;
    const DeskPorts& ports = h.Ports();
    auto* pane = dynamic_cast<frmorder*>(ports.frmorder);
    ASSERT_NE(pane, nullptr);
    {
        auto managers = h.Desk().Services().Managers();
        for (int32_t n : {1, 2, 3})
            managers->Add("127.0.0.1", server.Port(), "U" + std::to_string(n), "pw", true, 70 + n);
    }
    auto& clients = ports.frmMain->lvwClients();
    ASSERT_TRUE(platform::EventLoop::RunUntil(
        [&] {
            size_t ready = 0;
            for (size_t i = 1; i <= clients.Count(); ++i)
                ready += clients.Item(i).SubItems(2) == "Connected" &&
                         !clients.Item(i).SubItems(8).empty();
            return ready == 3 && pane->lvwConClients().Count() == 3 &&
                   pane->cbsymbols().ListCount() > 0;
        },
        kWaitMs));

    pane->cbsymbols().setText("EURUSD");
    pane->setChkAllClients(true);
    pane->setTxtammount("1");
    // A double click on Distribute as the window system delivers it, each press
    // to what stands under the pointer then: one distribution and no order.
    QWidget& top = *pane->window();
    auto at = [&](QWidget& w) { return w.mapTo(&top, w.rect().center()); };
    QTest::mouseDClick(top.windowHandle(), Qt::LeftButton, {}, at(pane->Cmddis()));
    Texts amounts;
    for (size_t i = 1; i <= 3; ++i) {
        EXPECT_TRUE(pane->lvwConClients().Item(i).Checked()) << i;
        amounts.push_back(pane->lvwConClients().Item(i).SubItems(1));
    }
    EXPECT_EQ(amounts, (Texts{"0.3", "0.3", "0.3"}));
    ASSERT_TRUE(pane->Cmdbuy().isVisible() && pane->Cmdbuy().isEnabled()) << "Buy was pressed";
    QTest::mouseClick(top.windowHandle(), Qt::LeftButton, {}, at(pane->Cmdbuy()));

    auto& trades = ports.frmTrade->lvwOpenPos();
    auto& net = ports.frmNetTrade->lvwNetPos();
    ASSERT_TRUE(platform::EventLoop::RunUntil(
        [&] { return trades.Count() == 3 && net.Count() == 4; }, kWaitMs));
    const auto requests = server.book().Requests(OrbanelGeneral10::NEW_ORDER_TOKEN);
    Texts users;
    for (const auto& r : requests) users.push_back(r.user);
    std::sort(users.begin(), users.end());
    EXPECT_EQ(users, (Texts{"U1", "U2", "U3"}));
    for (size_t i = 1; i <= 3; ++i) EXPECT_EQ(trades.Item(i).SubItems(4), "0.3") << i;
    size_t bold = 0;
    for (size_t i = 1; i <= net.Count(); ++i) {
        if (!net.Item(i).Bold()) continue;
        ++bold;
        EXPECT_EQ(net.Item(i).SubItems(2), "0.9");
    }
    EXPECT_EQ(bold, 1u);
    auto& journal = dynamic_cast<frmJournal*>(ports.frmJournal)->lvwJournal();
    std::set<std::string> accepted;
    for (size_t i = 1; i <= journal.Count(); ++i)
        if (journal.Item(i).SubItems(2).find("[BUY 0.3 EURUSD] has been accepted") !=
            std::string::npos)
            accepted.insert(journal.Item(i).SubItems(1));
    EXPECT_EQ(accepted, (std::set<std::string>{"71", "72", "73"}));
    for (size_t i = 1; i <= 3; ++i)
        EXPECT_EQ(pane->lvwConClients().Item(i).SubItems(2), "Market Order Accepted") << i;
    EXPECT_TRUE(pane->isEnabled());

    // One account logs out: its position and net share leave, the total drops.
    clients.Item(1).setSelected(true);
    ports.frmMain->MnuDisconnecte_Click();
    ASSERT_TRUE(platform::EventLoop::RunUntil([&] { return trades.Count() == 2; }, kWaitMs));
    for (size_t i = 1; i <= net.Count(); ++i)
        if (net.Item(i).Bold()) {
            EXPECT_EQ(net.Item(i).SubItems(2), "0.6");
        }

    // Check All, Logout ALL, Login ALL: the emptied list cleared the box.
    pane->setChkAllClients(false);
    QTest::mouseClick(&pane->LblCheck(), Qt::LeftButton);
    ASSERT_EQ(pane->LblCheck().text(), "Uncheck All");
    h.Desk().Shell().RunCommand(100033);
    dynamic_cast<frmMain&>(*ports.frmMain).SureDialog().cmd1_Click();
    ASSERT_TRUE(
        platform::EventLoop::RunUntil([&] { return pane->lvwConClients().Count() == 0; }, kWaitMs));
    h.Desk().Shell().RunCommand(100032);
    ASSERT_TRUE(
        platform::EventLoop::RunUntil([&] { return pane->lvwConClients().Count() == 3; }, kWaitMs));
    EXPECT_FALSE(pane->ChkAllClients().isChecked());
    EXPECT_EQ(pane->LblCheck().text(), "Check All");
    for (size_t i = 1; i <= 3; ++i) EXPECT_FALSE(pane->lvwConClients().Item(i).Checked()) << i;
}

// The pane of the shell whose window holds `w`: 0 for none.
int32_t PaneOf(frmMdiNew& shell, const QWidget* w) {
    for (const PaneRow& row : kPaneTable)
        if (w && shell.GetPane(row.id)->Dock().isAncestorOf(w)) return row.id;
    return 0;
}

// Open, docked and out of sight: behind another tab of its group.
bool Behind(frmMdiNew& shell, int32_t pane) {
    const QDockWidget& dock = shell.GetPane(pane)->Dock();
    return !dock.isHidden() && !dock.isFloating() && !shell.rect().intersects(dock.geometry());
}

void ClickTab(frmMdiNew& shell, const char* title) {
    for (QTabBar* bar : shell.findChildren<QTabBar*>(Qt::FindDirectChildrenOnly))
        for (int i = 0; i < bar->count(); ++i)
            if (bar->isVisible() && bar->tabText(i) == title)
                QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
    widgets_testing::Turn();
}

void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

// An order made ready by keys in New Position, then New Entry Order's tab: the
// focus goes with the front, 40 Tabs and 40 Shift+Tabs never reach a pane
// behind a tab, focus in another pane stays; Login ALL by its key leaves the
// focus in the add-account dialog; from where Distribute left the focus, the
// tab click, Shift+Tab twice and Space send no order.
TEST(MarketPane, KeysReachOnlyThePanesInFront) {
    simserver::Server server(ThreeAccounts());
    server.Listen("127.0.0.1", 0);
    ProgramDesk h;
    frmMdiNew& shell = h.Desk().Shell();
    QApplication::setActiveWindow(&shell);
    auto& pane = dynamic_cast<frmorder&>(*h.Ports().frmorder);
    for (int32_t n : {1, 2, 3})
        h.Desk().Services().Managers()->Add("127.0.0.1", server.Port(), "U" + std::to_string(n),
                                            "pw", true, 70 + n);
    ASSERT_TRUE(platform::EventLoop::RunUntil(
        [&] { return pane.lvwConClients().Count() == 3 && pane.cbsymbols().ListCount() > 0; },
        kWaitMs));
    pane.cbsymbols().setText("EURUSD");
    pane.Txtammount().setFocus();
    QTest::keyClicks(&pane.Txtammount(), "1");
    pane.lvwConClients().Item(1).setChecked(true);
    pane.Cmddis().setFocus();
    Press(Qt::Key_Space);
    ASSERT_TRUE(pane.Cmdbuy().isVisible());
    QWidget* distributed = QApplication::focusWidget();
    ASSERT_EQ(PaneOf(shell, distributed), kPaneNewPosition);

    ClickTab(shell, "New Entry Order");
    ASSERT_TRUE(Behind(shell, kPaneNewPosition));
    EXPECT_FALSE(shell.PaneClosed(kPaneNewPosition) || !shell.CommandChecked(100013));
    QWidget* entry = QApplication::focusWidget();
    EXPECT_EQ(PaneOf(shell, entry), kPaneNewEntryOrder);
    const auto tabAround = [&](const char* when) {
        for (Qt::KeyboardModifiers modifiers : {Qt::NoModifier, Qt::ShiftModifier})
            for (int i = 1; i <= 40; ++i) {
                Press(Qt::Key_Tab, modifiers);
                const int32_t at = PaneOf(shell, QApplication::focusWidget());
                EXPECT_FALSE(at && Behind(shell, at))
                    << when << ": " << (modifiers ? "Shift+" : "") << "Tab " << i;
            }
    };
    tabAround("by the tab");
    const std::string entryInFront = shell.DockingPaneManager().SaveLayout();
    auto* watch = shell.GetPane(kPaneMarketWatch)->Dock().findChild<QAbstractItemView*>();
    watch->setFocus();
    ClickTab(shell, "New Position");
    EXPECT_EQ(QApplication::focusWidget(), watch) << "focus in another pane stays";
    ClickTab(shell, "New Entry Order");

    // Login ALL brings New Position to the front; the dialog keeps the focus,
    // and the shell's goes back to where it was in that pane, for when the
    // dialog is gone.
    entry->setFocus();
    shell.RunCommand(kCmdAddAccount);
    frmaccount* dialog = dynamic_cast<frmMain&>(*h.Ports().frmMain).AccountDialog();
    ASSERT_TRUE(dialog && dialog->isVisible());
    QApplication::setActiveWindow(dialog);
    dialog->findChild<QLineEdit*>()->setFocus();
    QWidget* typing = QApplication::focusWidget();
    Press(Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
    widgets_testing::Turn();
    EXPECT_TRUE(Behind(shell, kPaneNewEntryOrder)) << "Login ALL ran";
    EXPECT_EQ(QApplication::focusWidget(), typing);
    EXPECT_EQ(shell.focusWidget(), distributed) << "back where it was in New Position";
    dialog->close();
    QApplication::setActiveWindow(&shell);
    ASSERT_TRUE(shell.DockingPaneManager().LoadLayout(entryInFront));
    widgets_testing::Turn();
    ASSERT_TRUE(Behind(shell, kPaneNewPosition));
    entry->setFocus();
    tabAround("by a layout");
    ClickTab(shell, "New Position");

    // The road of the order nobody saw.
    distributed->setFocus();
    ClickTab(shell, "New Entry Order");
    Press(Qt::Key_Tab, Qt::ShiftModifier);
    Press(Qt::Key_Tab, Qt::ShiftModifier);
    Press(Qt::Key_Space);
    platform::EventLoop::RunFor(200);
    EXPECT_TRUE(server.book().Requests(OrbanelGeneral10::NEW_ORDER_TOKEN).empty());
}

// Floating at its narrowest, 200 x 188, and at its first size, the pane shows
// Check All's caption whole in either wording; Distribute, Buy and Sell each keep
// their place shown or hidden, so that the rest of the pane stays where it is
// as they alternate, and no point is both Distribute's and Buy's or Sell's.
TEST(MarketPane, TheCaptionReadsWholeAndTheButtonsKeepTheirPlacesAtAnyWidth) {
    ProgramDesk h;
    auto* pane = dynamic_cast<frmorder*>(h.Ports().frmorder);
    ASSERT_NE(pane, nullptr);
    QDockWidget& dock = h.Desk().Shell().GetPane(kPaneNewPosition)->Dock();
    dock.setFloating(true);
    EXPECT_EQ(pane->minimumSizeHint(), QSize(200, 188));
    const std::vector<QWidget*> parts{&pane->Cmddis(),     &pane->Cmdbuy(),        &pane->Cmdsell(),
                                      &pane->Txtammount(), &pane->ChkAllClients(), &pane->List()};
    const auto places = [&] {
        std::vector<QRect> rects;
        for (QWidget* part : parts) rects.push_back(part->geometry());
        return rects;
    };
    for (const QSize size : {QSize(1, 1), QSize(420, 300)}) {
        dock.resize(size);
        for (int i = 0; i < 3; ++i) widgets_testing::Turn();
        SCOPED_TRACE(std::to_string(pane->width()) + " x " + std::to_string(pane->height()));
        for (int click = 0; click < 2; ++click) {
            const QLabel& label = pane->LblCheck();
            EXPECT_GE(label.contentsRect().width(),
                      label.fontMetrics().horizontalAdvance(label.text()))
                << label.text().toStdString();
            QTest::mouseClick(&pane->LblCheck(), Qt::LeftButton);
        }
        ASSERT_TRUE(pane->Cmddis().isVisible() && pane->Cmdbuy().isHidden());
        const std::vector<QRect> distributing = places();
        pane->setCmddisVisible(false);
        pane->setCmdbuyVisible(true);
        pane->setCmdsellVisible(true);
        widgets_testing::Turn();
        EXPECT_EQ(places(), distributing);
        for (QWidget* side : {&pane->Cmdbuy(), &pane->Cmdsell()})
            EXPECT_FALSE(side->geometry().intersects(pane->Cmddis().geometry()));
        pane->setCmddisVisible(true);
        pane->setCmdbuyVisible(false);
        pane->setCmdsellVisible(false);
    }
}

}  // namespace
