// Keys on the real desk offscreen reach only the panes in front: a market order
// ready in New Position, then New Entry Order brought to the front by its tab.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDockWidget>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <string>
#include <vector>

#include "desk/MGeneralMain.h"
#include "desk/accounts/frmMain.h"
#include "desk/accounts/frmaccount.h"
#include "desk/common/PaneTable.h"
#include "desk/orders/frmorder.h"
#include "desk/sessions/CClientAPIManagers.h"
#include "desk/shell/frmMdiNew.h"
#include "general/common/MTokens.h"
#include "platform/EventLoop.h"
#include "simserver/Server.h"
#include "tests/platform/widgets/WidgetsTesting.h"
#include "tests/support/QuoteBook.h"
#include "tests/support/TempProgramFolder.h"

namespace {

using namespace OrbanexDesk;

constexpr int32_t kWaitMs = 5000;

simserver::Book OneAccount() {
    simserver::Book b = testsupport::QuoteBook(1.085, 1.0852, 1.09, 1.08);
    simserver::Client c;
    c.id = 101, c.userName = "U1";
    b.AddClient(c);
    simserver::User u;
    u.name = "U1", u.password = "pw", u.clientId = c.id;
    b.AddUser(u);
    simserver::Account a;
    a.id = 71, a.clientId = c.id, a.figures.totDep = 10000;
    b.AddAccount(a);
    return b;
}

// The pane whose window holds `w`: 0 for none.
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

// New Position, 1 lot, the account ticked, Distribute, by keys; New Entry Order's
// tab: the focus follows the front pane, 40 Tabs and 40 Shift+Tabs never reach
// a pane behind a tab; Login ALL by its key with the add-account dialog open
// leaves the focus in the dialog; from where Distribute left the focus, the
// tab click, Shift+Tab twice and Space send no order.
TEST(PaneFocus, KeysReachOnlyThePanesInFront) {
    simserver::Server server(OneAccount());
    server.Listen("127.0.0.1", 0);
    widgets_testing::App();
    testsupport::TempProgramFolder folder{"desk-pane-focus"};
    MGeneral desk;
    desk.Main();
    frmMdiNew& shell = desk.Shell();
    QApplication::setActiveWindow(&shell);
    const DeskPorts& ports = desk.Services().Ports();
    auto& pane = dynamic_cast<frmorder&>(*ports.frmorder);
    desk.Services().Managers()->Add("127.0.0.1", server.Port(), "U1", "pw", true, 71);
    ASSERT_TRUE(platform::EventLoop::RunUntil(
        [&] { return pane.lvwConClients().Count() == 1 && pane.cbsymbols().ListCount() > 0; },
        kWaitMs));

    pane.cbsymbols().setText("EURUSD");
    pane.Txtammount().setFocus();
    QTest::keyClicks(&pane.Txtammount(), "1");
    pane.lvwConClients().Item(1).setChecked(true);
    pane.Cmddis().setFocus();
    Press(Qt::Key_Space);
    ASSERT_EQ(pane.lvwConClients().Item(1).SubItems(1), "1");
    ASSERT_TRUE(pane.Cmdbuy().isVisible());
    QWidget* distributed = QApplication::focusWidget();
    ASSERT_EQ(PaneOf(shell, distributed), kPaneNewPosition);

    ClickTab(shell, "New Entry Order");
    ASSERT_TRUE(Behind(shell, kPaneNewPosition));
    EXPECT_FALSE(shell.PaneClosed(kPaneNewPosition));
    QWidget* entry = QApplication::focusWidget();
    EXPECT_EQ(PaneOf(shell, entry), kPaneNewEntryOrder);
    for (Qt::KeyboardModifiers modifiers : {Qt::NoModifier, Qt::ShiftModifier})
        for (int i = 1; i <= 40; ++i) {
            Press(Qt::Key_Tab, modifiers);
            const QWidget* focus = QApplication::focusWidget();
            const int32_t at = PaneOf(shell, focus);
            EXPECT_FALSE(at && Behind(shell, at))
                << (modifiers ? "Shift+Tab " : "Tab ") << i << " reached "
                << focus->objectName().toStdString() << " in pane " << at;
        }

    // Login ALL brings New Position to the front: the dialog keeps the focus,
    // the shell's own goes with the front for when the dialog is gone.
    entry->setFocus();
    shell.RunCommand(kCmdAddAccount);
    frmaccount* dialog = dynamic_cast<frmMain&>(*ports.frmMain).AccountDialog();
    ASSERT_TRUE(dialog && dialog->isVisible());
    QApplication::setActiveWindow(dialog);
    dialog->findChild<QLineEdit*>()->setFocus();
    QWidget* typing = QApplication::focusWidget();
    ASSERT_TRUE(typing && dialog->isAncestorOf(typing));
    Press(Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
    widgets_testing::Turn();
    EXPECT_TRUE(Behind(shell, kPaneNewEntryOrder)) << "Login ALL ran";
    EXPECT_EQ(QApplication::focusWidget(), typing);
    EXPECT_EQ(PaneOf(shell, shell.focusWidget()), kPaneNewPosition);
    dialog->close();
    QApplication::setActiveWindow(&shell);

    // The dealer's road of the order nobody saw.
    distributed->setFocus();
    ClickTab(shell, "New Entry Order");
    Press(Qt::Key_Tab, Qt::ShiftModifier);
    Press(Qt::Key_Tab, Qt::ShiftModifier);
    Press(Qt::Key_Space);
    platform::EventLoop::RunFor(200);
    EXPECT_TRUE(server.book().Requests(OrbanelGeneral10::NEW_ORDER_TOKEN).empty());
    EXPECT_EQ(pane.lvwConClients().Item(1).SubItems(2), "");
}

}  // namespace
