// The re-quote window's buttons, close box and keys each reach the presenter:
// every answer removes its account's request row of the order and leaves another
// account's row under the same number; hiding the window is never taken for a
// close; keys answer only once a showing has been on screen a while.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyleOption>
#include <QTest>
#include <string>
#include <vector>

#include "DeskUiTesting.h"
#include "desk/common/MGeneral.h"
#include "desk/ui/frmPriceChanged.h"
#include "platform/Timer.h"
#include "tests/support/TempProgramFolder.h"
#include "tests/support/clientapi/ViewFactory.h"
#include "tests/support/desk/FakeDesk.h"

namespace {

using namespace OrbanexDesk;

TEST(frmPriceChanged, ButtonsCloseBoxAndKeysEachReachThePresenterOnce) {
    desk_ui_testing::App();
    platform::ScopedVirtualTime time;
    testsupport::TempProgramFolder folder;
    testsupport::FakeDesk desk;
    desk.Services().setPriceChangedFactory(frmPriceChanged::Factory());
    testsupport::ViewFactory views;
    SymbolPtr eur = views.Symbol({.id = 2, .name = "EURUSD", .bid = 1.2343, .ask = 1.2345});
    PriceChangedPresenter presenter(desk.Services());
    auto& pending = desk.stores().lvwPending;
    auto& clients = desk.stores().orderClients;
    clients.Add("C81", "81").setChecked(true);

    // A key case presses its keys on the focused control once too early, and again
    // once the window takes keys.
    struct Case {
        const char* act;
        std::vector<Qt::Key> keys;
        const char* note;
    } const cases[] = {{"accept", {}, "Order number 7001 Accepted"},
                       {"reject", {}, "Order number 7002 rejected"},
                       {"close", {}, "Order number 7003 rejected"},
                       {"tab, return", {Qt::Key_Tab, Qt::Key_Return}, "Order number 7004 rejected"},
                       {"return", {Qt::Key_Return}, "Order number 7005 Accepted"},
                       {"keypad enter", {Qt::Key_Enter}, "Order number 7006 Accepted"},
                       {"space", {Qt::Key_Space}, "Order number 7007 Accepted"},
                       {"esc", {Qt::Key_Escape}, "Order number 7008 rejected"}};
    int32_t order = 7000;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.act);
        ++order;
        for (int32_t account : {81, 82})  // another server's order under the same number
            pending.Add(PendingRowKey(account, order), std::to_string(order)).setSubItems(2, "Buy");
        presenter.SetData(nullptr, order, 81, OrbanelGeneral10::BuyType, 1, eur, 1.2345, 1.2350, 0,
                          10, 10);
        auto& window = dynamic_cast<frmPriceChanged&>(*presenter.View());
        ASSERT_TRUE(window.isVisible());
        EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
        EXPECT_EQ(window.lblOrder().parentWidget(), &window.framOriginal());
        EXPECT_EQ(window.lblNewPrice().parentWidget(), &window.framNew());
        QApplication::setActiveWindow(&window);
        ASSERT_EQ(QApplication::focusWidget(), &window.cmdAccept());
        QStyleOption drawn;
        drawn.initFrom(&window.cmdAccept());
        EXPECT_TRUE(
            drawn.state.testFlags(QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange))
            << "drawn as focused";
        const auto press = [&] {
            for (Qt::Key key : c.keys) QTest::keyClick(QApplication::focusWidget(), key);
            desk_ui_testing::Turn();
        };
        if (!c.keys.empty()) {
            time.Advance(frmPriceChanged::kKeysAfterShownMs - 1);
            press();
            ASSERT_TRUE(window.isVisible()) << "a key at once answers nothing";
            window.cmdAccept().setFocus();
            time.Advance(1);
            press();
        }
        const std::string act = c.act;
        if (act == "accept") QTest::mouseClick(&window.cmdAccept(), Qt::LeftButton);
        if (act == "reject") QTest::mouseClick(&window.cmdReject(), Qt::LeftButton);
        if (act == "close") window.close();
        ASSERT_FALSE(window.isVisible());
        window.close();  // already hidden: no second answer
        desk_ui_testing::Turn();
        ASSERT_EQ(pending.Count(), 1u);
        EXPECT_EQ(pending.Item(1).Key(), PendingRowKey(82, order));
        EXPECT_EQ(clients.Item(1).SubItems(2), c.note);
        pending.Clear();
    }
}

}  // namespace
