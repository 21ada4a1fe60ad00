// The re-quote window's buttons and close box each reach the presenter: every
// answer removes its account's request row of the order and leaves another
// account's row under the same number; hiding the window is never taken for a close.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <string>

#include "DeskUiTesting.h"
#include "desk/common/MGeneral.h"
#include "desk/ui/frmPriceChanged.h"
#include "tests/support/TempProgramFolder.h"
#include "tests/support/clientapi/ViewFactory.h"
#include "tests/support/desk/FakeDesk.h"

namespace {

using namespace OrbanexDesk;

TEST(frmPriceChanged, AcceptRejectAndCloseEachReachThePresenterOnce) {
    desk_ui_testing::App();
    testsupport::TempProgramFolder folder;
    testsupport::FakeDesk desk;
    desk.Services().setPriceChangedFactory(frmPriceChanged::Factory());
    testsupport::ViewFactory views;
    SymbolPtr eur = views.Symbol({.id = 2, .name = "EURUSD", .bid = 1.2343, .ask = 1.2345});
    PriceChangedPresenter presenter(desk.Services());
    auto& pending = desk.stores().lvwPending;
    auto& clients = desk.stores().orderClients;
    clients.Add("C81", "81").setChecked(true);

    struct Case {
        const char* act;
        const char* note;
    } const cases[] = {{"accept", "Order number 7001 Accepted"},
                       {"reject", "Order number 7002 rejected"},
                       {"close", "Order number 7003 rejected"}};
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
        const std::string act = c.act;
        if (act == "accept") QTest::mouseClick(&window.cmdAccept(), Qt::LeftButton);
        if (act == "reject") QTest::mouseClick(&window.cmdReject(), Qt::LeftButton);
        if (act == "close") window.close();
        window.close();  // already hidden: no second answer
        desk_ui_testing::Turn();
        EXPECT_FALSE(window.isVisible());
        ASSERT_EQ(pending.Count(), 1u);
        EXPECT_EQ(pending.Item(1).Key(), PendingRowKey(82, order));
        EXPECT_EQ(clients.Item(1).SubItems(2), c.note);
        pending.Clear();
    }
}

}  // namespace
