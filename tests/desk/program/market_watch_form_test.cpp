// The market-watch pane in the real desk offscreen: a double click on a symbol
// brings up the market-order pane and puts the symbol into the three order
// combos, adding it where it is missing; without a selected row it only shows.
// (The entry-order pane's reset runs first once that pane has its form.)
#include <gtest/gtest.h>

#include <QDockWidget>
#include <QTest>
#include <string>
#include <vector>

#include "desk/DeskForms.h"
#include "desk/MGeneralMain.h"
#include "desk/common/PaneTable.h"
#include "desk/orders/frmMW.h"
#include "desk/shell/frmMdiNew.h"
#include "platform/widgets/DockingPanes.h"
#include "platform/widgets/ListView.h"
#include "tests/platform/widgets/WidgetsTesting.h"
#include "tests/support/TempProgramFolder.h"

namespace {

using namespace OrbanexDesk;

TEST(MarketWatchForm, DoubleClickShowsTheOrderPaneAndSelectsTheSymbolInThreeCombos) {
    widgets_testing::App();
    testsupport::TempProgramFolder folder{"desk-market-watch"};
    MGeneral desk;
    desk.Main();
    const DeskPorts& ports = desk.Services().Ports();
    ASSERT_TRUE(ports.frmorder && ports.frmlimitorder && ports.frmClosePos);
    std::vector<platform::ComboBox*> combos{&ports.frmorder->cbsymbols(),
                                            &ports.frmlimitorder->cblimitordersymbols(),
                                            &ports.frmClosePos->CloseSymbols()};
    for (auto* combo : combos) combo->AddItem("EURUSD");

    frmMW& mw = desk.MW();
    platform::ListView& rows = mw.lvmw();
    desk.Shell().SelectPane(kPaneMarketWatch);
    ASSERT_NE(mw.Window(), nullptr);
    auto* list = mw.Window()->findChild<platform::widgets::ListView*>("lvmw");
    ASSERT_NE(list, nullptr);
    // Floating, so the list has room whatever the saved arrangement gives it.
    QDockWidget& dock = desk.Shell().GetPane(kPaneMarketWatch)->Dock();
    dock.setFloating(true);
    dock.resize(400, 300);
    widgets_testing::Turn();
    auto doubleClick = [&](int row) {
        const QPoint at = row < 0 ? QPoint(5, list->viewport()->height() - 5)
                                  : list->visualRect(list->model()->index(row, 0)).center();
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        widgets_testing::Turn();
    };
    auto texts = [&] {
        std::vector<std::string> out;
        for (auto* combo : combos)
            out.push_back(combo->Text() + "/" + std::to_string(combo->ListCount()));
        return out;
    };
    CPaneDisplay& orderPane = desk.Views().View(kPaneNewPosition);

    // No row (a focused list selects its first, so an empty one): the pane only.
    orderPane.setDisplayed(false);
    const auto before = texts();
    doubleClick(-1);
    EXPECT_TRUE(orderPane.Displayed());
    EXPECT_FALSE(desk.Shell().PaneClosed(kPaneNewPosition));
    EXPECT_EQ(texts(), before);

    // A symbol none of the combos lists is added to each; a listed one is selected.
    rows.Add("S2", "EURUSD");
    rows.Add("S3", "GBPUSD");
    widgets_testing::Turn();
    orderPane.setDisplayed(false);
    doubleClick(1);
    EXPECT_TRUE(orderPane.Displayed());
    EXPECT_EQ(texts(), (std::vector<std::string>(3, "GBPUSD/2")));
    doubleClick(0);
    EXPECT_EQ(texts(), (std::vector<std::string>(3, "EURUSD/2")));
}

}  // namespace
