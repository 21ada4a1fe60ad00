// The started desk's panes offscreen: what the dealer's first look and the
// pane moves leave of the Accounts List's columns.
#include <gtest/gtest.h>

#include <QDockWidget>
#include <QHeaderView>
#include <QLabel>
#include <algorithm>
#include <string>
#include <vector>

#include "desk/MGeneralMain.h"
#include "desk/accounts/AccountInput.h"
#include "desk/accounts/frmMain.h"
#include "desk/common/PaneTable.h"
#include "desk/shell/frmMdiNew.h"
#include "platform/EventLoop.h"
#include "platform/widgets/DockingPanes.h"
#include "platform/widgets/ListView.h"
#include "runtime/Strings.h"
#include "tests/platform/widgets/WidgetsTesting.h"
#include "tests/support/TempProgramFolder.h"

namespace {

using namespace OrbanexDesk;

void Settle() {
    for (int i = 0; i < 5; ++i) platform::EventLoop::ProcessEvents();
}

// Each column's pixel width against its share of the list's present width.
void ExpectColumnsAtTheirShares(const platform::widgets::ListView& list, const char* road) {
    const std::vector<std::string> shares = runtime::Split(frmMain::kColumnWidths, ",");
    const int width = list.viewport()->width();
    const double narrowest = list.header()->minimumSectionSize();
    for (int k = 0; k < list.header()->count(); ++k)
        EXPECT_NEAR(list.header()->sectionSize(k),
                    std::max(narrowest, width * std::stod(shares[k]) / 100), 2)
            << road << ", column " << k << " of a list " << width << " px wide";
}

// The default arrangement at 1600 x 1000 (no layout file): the Accounts List's
// figures fit their columns, and no summary line holds the Trade pane wide.
TEST(DeskLayout, TheFirstStartGivesTheAccountsListRoomForItsColumns) {
    widgets_testing::App();
    testsupport::TempProgramFolder folder{"desk-layout-first"};
    platform::EventLoop::Ensure();
    MGeneral desk;
    desk.Main();
    frmMdiNew& shell = desk.Shell();
    shell.setWindowState(Qt::WindowNoState);
    shell.resize(1600, 1000);
    Settle();
    auto* summary = shell.GetPane(kPaneTrade)->Dock().findChild<QLabel*>("lbmSummaries");
    ASSERT_NE(summary, nullptr);
    summary->setText(QString(300, 'M'));
    Settle();
    EXPECT_LT(shell.GetPane(kPaneTrade)->Dock().minimumSizeHint().width(), 400)
        << "a long summary line must not hold the pane wide";

    const platform::widgets::ListView& list = desk.Accounts().ClientsView();
    const QFontMetrics metrics = list.fontMetrics();
    const int figure = metrics.horizontalAdvance("10,000.00");
    for (int k = kBalanceColumn; k < list.header()->count(); ++k)
        EXPECT_GT(list.header()->sectionSize(k), figure) << "column " << k;
    EXPECT_GT(list.header()->sectionSize(kStatusColumn), metrics.horizontalAdvance("Connected"));
}

TEST(DeskLayout, AccountsColumnsFollowEverySizeChangeOfTheirList) {
    widgets_testing::App();
    testsupport::TempProgramFolder folder{"desk-layout"};
    platform::EventLoop::Ensure();
    MGeneral desk;
    desk.Main();
    frmMdiNew& shell = desk.Shell();
    shell.setWindowState(Qt::WindowNoState);
    shell.resize(1600, 1000);
    QDockWidget& dock = shell.GetPane(kPaneAccountsList)->Dock();
    shell.resizeDocks({&dock}, {1000}, Qt::Horizontal);
    Settle();
    platform::widgets::ListView& list = desk.Accounts().ClientsView();
    ExpectColumnsAtTheirShares(list, "first look");

    dock.setFloating(true);
    dock.resize(1400, 400);
    Settle();
    dock.setFloating(false);
    Settle();
    ExpectColumnsAtTheirShares(list, "floated wide and docked again");

    shell.GetPane(kPaneAccountsList)->Close();
    Settle();
    shell.resize(1300, 900);
    Settle();
    shell.GetPane(kPaneAccountsList)->Select();
    Settle();
    ExpectColumnsAtTheirShares(list, "closed, window resized, shown again");
}

}  // namespace
