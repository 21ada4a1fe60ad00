// The real accounts window in the real desk offscreen: saved accounts log in at
// start against the simulated server in the same process.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>
#include <string>
#include <vector>

#include "desk/MGeneralMain.h"
#include "desk/accounts/DemoHome.h"
#include "desk/accounts/frmMain.h"
#include "desk/accounts/frmaccount.h"
#include "desk/common/AccountLines.h"
#include "desk/common/PaneTable.h"
#include "desk/shell/frmMdiNew.h"
#include "desk/ui/ListProcedures.h"
#include "general/common/CStringValues.h"
#include "platform/EventLoop.h"
#include "platform/Paths.h"
#include "platform/widgets/CommandBars.h"
#include "platform/widgets/ListView.h"
#include "runtime/Strings.h"
#include "simserver/Demo.h"
#include "simserver/Server.h"
#include "tests/platform/widgets/WidgetsTesting.h"
#include "tests/support/TempProgramFolder.h"

namespace {

using namespace OrbanexDesk;

constexpr int32_t kWaitMs = 5000;

TEST(AccountsWindowForm, SavedAccountsFlaggedTrueReachConnectedAtStart) {
    widgets_testing::App();
    testsupport::TempProgramFolder folder{"desk-accounts-window"};
    platform::EventLoop::Ensure();
    simserver::Server server(simserver::DemoBook());
    server.Listen("127.0.0.1", 0);
    SeedDemoHome("127.0.0.1", server.Port(), {});
    const OrbanelGeneral10::CStringValues coder;
    std::vector<std::string> lines;
    std::vector<std::string> accounts;
    const bool flags[] = {true, false, true};
    const auto creds = simserver::CredentialLines(server.book());
    ASSERT_GE(creds.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const auto c = runtime::Split(creds[i], " ");
        lines.push_back(SavedAccountLine(coder, c[0], c[1], std::stoi(c[2]), flags[i]));
        accounts.push_back(c[2]);
    }
    platform::AtomicWriteFile(platform::ResolvePath("\\Manage\\Acountinfo.buf"), JoinLines(lines),
                              platform::FileAccess::OwnerOnly);

    MGeneral desk;
    desk.Main();
    frmMain& window = desk.Accounts();
    EXPECT_TRUE(desk.Shell().FormAttached(kPaneAccountsList));
    EXPECT_EQ(window.ClientsView().Store().ColumnCount(), 12u);
    EXPECT_EQ(window.ClientsView().Store().ColumnText(3), "Connection Status ");
    EXPECT_EQ(window.SoundTimer().Interval(), 10000);
    EXPECT_TRUE(window.SoundTimer().Enabled());
    EXPECT_FALSE(window.SoundAllowed());

    platform::ListView& rows = window.lvwClients();
    ASSERT_EQ(rows.Count(), 3u);
    auto status = [&](const char* key) { return rows.Item(key).SubItems(kStatusColumn); };
    ASSERT_TRUE(platform::EventLoop::RunUntil(
        [&] {
            return status("C1") == "Connected" && status("C3") == "Connected" &&
                   !rows.Item("C1").SubItems(kBalanceColumn).empty();
        },
        kWaitMs));
    EXPECT_EQ(status("C2"), "Disconnected");
    EXPECT_EQ(rows.Item("C2").SubItemForeColor(kStatusColumn), AccountsWindowCore::kAlertColor);
    for (const char* key : {"C1", "C3"})
        EXPECT_EQ(rows.Item(key).SubItemForeColor(kStatusColumn),
                  AccountsWindowCore::kConnectedColor);
    EXPECT_EQ(rows.Item("C1").Text(), "01");
    EXPECT_EQ(rows.Item("C3").SubItems(kAccountColumn), accounts[2]);
    EXPECT_EQ(rows.Item("C1").SubItems(10).back(), '%');

    // Widths follow the list's width: the first column is 4 of 100.
    window.resize(1000, 300);
    widgets_testing::Turn();
    const double total = ListWidthTwips(window.ClientsView());
    EXPECT_NEAR(window.ClientsView().ColumnWidth(1), total * 0.04, total * 0.01);

    // The shell's Login and Remove run on the selected row.
    auto& popup = desk.Shell().CommandBars().AddContextMenu(100017, "Accounts Popup");
    auto run = [&](int32_t command) {
        auto* control = desk.Shell().GetCommandBarControl(100017, command);
        if (!control)
            control = &popup.AddControl(platform::widgets::CommandBarControl::Button, command, "");
        desk.Shell().CommandBars_Execute(*control);
    };
    rows.Item("C2").setSelected(true);
    run(100018);
    ASSERT_TRUE(
        platform::EventLoop::RunUntil([&] { return status("C2") == "Connected"; }, kWaitMs));
    rows.Item("C1").setSelected(true);
    run(100020);
    ASSERT_EQ(rows.Count(), 2u);
    EXPECT_EQ(rows.Item("C1").SubItems(kAccountColumn), accounts[1]);
    EXPECT_EQ(rows.Item("C2").Text(), "02");
    EXPECT_EQ(ReadLines(platform::ResolvePath("\\Manage\\Acountinfo.buf")).size(), 2u);

    // The dialog adds the removed account back: saved, logged in, refused twice.
    run(100057);
    frmaccount& dialog = *window.AccountDialog();
    ASSERT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.EditMode());
    EXPECT_EQ(dialog.windowTitle().toStdString(), "Add Account Screen");
    const auto first = runtime::Split(creds[0], " ");
    for (int attempt = 0; attempt < 2; ++attempt) {
        dialog.txtusername().setText(QString::fromStdString(first[0]));
        dialog.txtpassword().setText(QString::fromStdString(first[1]));
        dialog.txtaccount().setText(QString::fromStdString(first[2]));
        dialog.chkSave().setChecked(true);
        dialog.chkAutoLogin().setChecked(true);
        dialog.cmdLoginAA().click();
    }
    ASSERT_EQ(rows.Count(), 3u);
    EXPECT_EQ(rows.Item("C3").SubItems(kUsernameColumn), runtime::UCase(first[0]));
    ASSERT_TRUE(platform::EventLoop::RunUntil([&] { return status("C3") == "Connected"; }, kWaitMs))
        << rows.Item("C3").SubItems(kNotesColumn);
    EXPECT_EQ(ReadLines(platform::ResolvePath("\\Manage\\Acountinfo.buf")).size(), 3u);

    desk.End();
    EXPECT_TRUE(platform::EventLoop::RunUntil([&] { return server.Sessions() == 0; }, kWaitMs));
}

}  // namespace
