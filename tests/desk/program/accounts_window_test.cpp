// The real accounts window in the real desk offscreen: saved accounts log in at
// start against the simulated server in the same process.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "desk/DeskForms.h"
#include "desk/MGeneralMain.h"
#include "desk/accounts/DemoHome.h"
#include "desk/accounts/frmAboutOrbanel.h"
#include "desk/accounts/frmMain.h"
#include "desk/accounts/frmSure.h"
#include "desk/accounts/frmaccount.h"
#include "desk/common/AccountLines.h"
#include "desk/common/PaneTable.h"
#include "desk/orders/frmorder.h"
#include "desk/sessions/CClientAPIManagers.h"
#include "desk/shell/frmMdiNew.h"
#include "desk/ui/DeskMessages.h"
#include "desk/ui/ListProcedures.h"
#include "general/common/CStringValues.h"
#include "platform/EventLoop.h"
#include "platform/Paths.h"
#include "platform/widgets/CommandBars.h"
#include "platform/widgets/FileChooser.h"
#include "platform/widgets/LabelButton.h"
#include "platform/widgets/ListView.h"
#include "platform/widgets/MessageBoxWindow.h"
#include "runtime/Strings.h"
#include "simserver/Demo.h"
#include "simserver/Server.h"
#include "tests/platform/widgets/WidgetsTesting.h"
#include "tests/support/TempProgramFolder.h"
#include "tests/support/desk/walk/DeskWalk.h"

namespace {

using namespace OrbanexDesk;

constexpr int32_t kWaitMs = 5000;

TEST(AccountsWindowForm, SavedAccountsFlaggedTrueReachConnectedAtStart) {
    widgets_testing::App();
    testsupport::TempProgramFolder folder{"desk-accounts-window"};
    platform::EventLoop::Ensure();
    simserver::Book book = simserver::DemoBook();
    simserver::AddNumberedTraders(book, 1, 0);
    simserver::Server server(std::move(book));
    server.Listen("127.0.0.1", 0);
    SeedDemoHome("127.0.0.1", server.Port(), {});
    const OrbanelGeneral10::CStringValues coder;
    std::vector<std::string> lines;
    std::vector<std::string> accounts;
    const bool flags[] = {true, false, true, false};
    const auto creds = simserver::CredentialLines(server.book());
    ASSERT_GE(creds.size(), 4u);
    for (int i = 0; i < 4; ++i) {
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
    ASSERT_EQ(rows.Count(), 4u);
    auto status = [&](const char* key) { return rows.Item(key).SubItems(kStatusColumn); };
    // Balance to Free Margin of a row.
    auto figures = [&](size_t i) {
        std::vector<std::string> out;
        for (size_t column = kBalanceColumn; column <= kFreeMarginColumn; ++column)
            out.push_back(rows.Item(i).SubItems(column));
        return out;
    };
    const std::vector<std::string> blank(7);
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
    // Every row's figures once the rows given show theirs: no quote moves them here.
    auto settled = [&](std::initializer_list<size_t> connected) {
        EXPECT_TRUE(platform::EventLoop::RunUntil(
            [&] {
                return std::all_of(connected.begin(), connected.end(), [&](size_t i) {
                    return rows.Item(i).SubItems(kStatusColumn) == "Connected" &&
                           !rows.Item(i).SubItems(kFreeMarginColumn).empty();
                });
            },
            kWaitMs));
        platform::EventLoop::RunUntil([] { return false; }, 200);
        std::vector<std::vector<std::string>> all;
        for (size_t i = 1; i <= rows.Count(); ++i) all.push_back(figures(i));
        return all;
    };
    auto before = settled({1, 2, 3});
    EXPECT_EQ(before[3], blank);
    rows.Item("C1").setSelected(true);
    run(100020);
    ASSERT_EQ(rows.Count(), 3u);
    EXPECT_EQ(rows.Item("C1").SubItems(kAccountColumn), accounts[1]);
    EXPECT_EQ(rows.Item("C2").Text(), "02");
    EXPECT_EQ(ReadLines(platform::ResolvePath("\\Manage\\Acountinfo.buf")).size(), 3u);
    for (size_t i = 1; i <= 3; ++i) EXPECT_EQ(figures(i), before[i]) << i;
    EXPECT_EQ(status("C3"), "Disconnected");

    // A server list that cannot be written stops the add with the file and the reason.
    run(100057);
    frmaccount& dialog = *window.AccountDialog();
    ASSERT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.EditMode());
    EXPECT_EQ(dialog.windowTitle().toStdString(), "Add Account Screen");
    const auto first = runtime::Split(creds[0], " ");
    auto fill = [&](const std::vector<std::string>& account) {
        dialog.txtusername().setText(QString::fromStdString(account[0]));
        dialog.txtpassword().setText(QString::fromStdString(account[1]));
        dialog.txtaccount().setText(QString::fromStdString(account[2]));
    };
    const std::filesystem::path serverFile = window.LoginOptions().ServerFileName();
    const std::filesystem::path aside = folder.Path() / "server list aside";
    std::filesystem::rename(serverFile, aside);
    std::filesystem::create_directories(serverFile / "x");
    fill(first);
    dialog.chkSave().setChecked(true);
    dialog.cmdLoginAA().click();
    EXPECT_EQ(rows.Count(), 3u);
    EXPECT_EQ(dialog.txtaccount().text().toStdString(), first[2]);
    ASSERT_NE(desk.Messages().LastShown(), nullptr);
    EXPECT_EQ(desk.Messages().LastShown()->Window()->Label().text().toStdString(),
              "Could not write the server list " + serverFile.string() + ": Is a directory");
    std::filesystem::remove_all(serverFile);
    std::filesystem::rename(aside, serverFile);

    // The dialog adds the removed account back: saved, logged in, refused twice.
    for (int attempt = 0; attempt < 2; ++attempt) {
        fill(first);
        dialog.chkSave().setChecked(true);
        dialog.chkAutoLogin().setChecked(true);
        dialog.cmdLoginAA().click();
    }
    ASSERT_EQ(rows.Count(), 4u);
    EXPECT_EQ(rows.Item("C4").SubItems(kUsernameColumn), runtime::UCase(first[0]));
    ASSERT_TRUE(platform::EventLoop::RunUntil([&] { return status("C4") == "Connected"; }, kWaitMs))
        << rows.Item("C4").SubItems(kNotesColumn);
    EXPECT_EQ(ReadLines(platform::ResolvePath("\\Manage\\Acountinfo.buf")).size(), 4u);

    // An edit of row 01 renumbers the rest as a removal does: the same figures.
    before = settled({1, 2, 4});
    rows.Item("C1").setSelected(true);
    window.lvwClients_DblClick();
    ASSERT_TRUE(dialog.EditMode());
    dialog.txtusername().setText("renamed");
    dialog.cmdLoginAA().click();
    ASSERT_EQ(rows.Count(), 4u);
    EXPECT_EQ(rows.Item("C4").SubItems(kUsernameColumn), "RENAMED");
    for (size_t i = 1; i <= 3; ++i) EXPECT_EQ(figures(i), before[i]) << i;
    EXPECT_EQ(status("C2"), "Disconnected");

    desk.End();
    EXPECT_TRUE(platform::EventLoop::RunUntil([&] { return server.Sessions() == 0; }, kWaitMs));
}

// The dealer's way through the window: status pane, dialog keys, popup by the
// mouse and by the keys, the account commands, Remove All asked above the
// add-account dialog and confirmed, a list saved and loaded back.
TEST(AccountsWindowForm, CommandsPopupDialogKeysAndListFilesWorkOnTheRealDesk) {
    widgets_testing::App();
    testsupport::TempProgramFolder folder{"desk-accounts-commands"};
    platform::EventLoop::Ensure();
    simserver::Server server(simserver::DemoBook());
    server.Listen("127.0.0.1", 0);
    const auto creds = simserver::CredentialLines(server.book());
    ASSERT_GE(creds.size(), 3u);
    const std::vector<DemoAccount> all = testsupport::DeskWalk::DemoAccounts(server.book());
    const std::vector<DemoAccount> seeded(all.begin(), all.begin() + 2);
    SeedDemoHome("127.0.0.1", server.Port(), seeded);
    std::vector<platform::widgets::FileChooser::Request> asked;
    std::string answer;
    platform::widgets::FileChooser::SetScript([&](const auto& request) {
        asked.push_back(request);
        return answer.empty() ? std::nullopt : std::optional<std::string>(answer);
    });

    MGeneral desk;
    desk.Main();
    frmMain& window = desk.Accounts();
    platform::ListView& rows = window.lvwClients();
    auto status = [&](size_t i) { return rows.Item(i).SubItems(kStatusColumn); };
    auto allConnected = [&](size_t count) {
        return platform::EventLoop::RunUntil(
            [&] {
                if (rows.Count() != count) return false;
                for (size_t i = 1; i <= count; ++i)
                    if (status(i) != "Connected") return false;
                return true;
            },
            kWaitMs);
    };
    ASSERT_TRUE(allConnected(2));
    auto& popup = *desk.Shell().CommandBars().FindContextMenu(kBarAccountsPopup);
    // Commands the popup lacks come from a menu of the test's own.
    auto& others = desk.Shell().CommandBars().AddContextMenu(199999, "Test");
    auto run = [&](int32_t command) {
        auto* control = popup.FindControl(command);
        if (!control)
            control = &others.AddControl(platform::widgets::CommandBarControl::Button, command, "");
        desk.Shell().CommandBars_Execute(*control);
    };

    // The status pane opens the dialog; the account box drops "." and letters,
    // Enter adds; a user typed in lower case logs in.
    QLabel* connectionPane = nullptr;
    for (QLabel* label : desk.Shell().statusBar()->findChildren<QLabel*>())
        if (label->text() == "Disconnected") connectionPane = label;
    ASSERT_NE(connectionPane, nullptr);
    QTest::mouseClick(connectionPane, Qt::LeftButton);
    frmaccount& dialog = *window.AccountDialog();
    ASSERT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.chkAutoLogin().isEnabled());
    const auto third = runtime::Split(creds[2], " ");
    dialog.txtusername().setText(QString::fromStdString(runtime::LCase(third[0])));
    dialog.txtpassword().setText(QString::fromStdString(runtime::LCase(third[1])));
    // A box that gets the focus has its whole text selected.
    for (QLineEdit* box : {&dialog.txtusername(), &dialog.txtpassword()}) {
        QFocusEvent focus(QEvent::FocusIn, Qt::MouseFocusReason);
        QApplication::sendEvent(box, &focus);
        widgets_testing::Turn();
        EXPECT_EQ(box->selectionStart(), 0);
        EXPECT_EQ(box->selectionLength(), box->text().size());
    }
    dialog.chkSave().setChecked(true);
    dialog.chkAutoLogin().setChecked(true);
    QTest::keyClicks(&dialog.txtaccount(),
                     QString::fromStdString(third[2].substr(0, 1) + ".x" + third[2].substr(1)));
    EXPECT_EQ(dialog.txtaccount().text().toStdString(), third[2]);
    QTest::keyClick(&dialog.txtaccount(), Qt::Key_Return);
    EXPECT_TRUE(dialog.txtaccount().text().isEmpty());
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.chkSave().isChecked() && dialog.chkAutoLogin().isChecked());
    ASSERT_TRUE(allConnected(3)) << rows.Item(3).SubItems(kNotesColumn);
    QTest::keyClicks(&dialog.txtaccount(), "123456789");
    QTest::keyClick(&dialog.txtaccount(), '0');
    EXPECT_FALSE(dialog.cmdLoginAA().isEnabled());
    // Tab and Shift+Tab move the focus on and leave the box and the add button be.
    dialog.txtaccount().setText("");
    QTest::keyClicks(&dialog.txtaccount(), "20001");
    ASSERT_TRUE(dialog.cmdLoginAA().isEnabled());
    for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab}) {
        dialog.txtaccount().setFocus();
        QTest::keyClick(&dialog.txtaccount(), key);
        EXPECT_NE(dialog.focusWidget(), &dialog.txtaccount()) << key;
        EXPECT_EQ(dialog.txtaccount().text(), "20001") << key;
        EXPECT_TRUE(dialog.cmdLoginAA().isEnabled()) << key;
    }
    // Every way out leaves the dialog as built, so an abandoned entry's ticks
    // never save or auto-login the next add; opening again keeps a row's values.
    const std::function<void()> waysOut[] = {
        [&] { QTest::keyClick(&dialog.txtusername(), Qt::Key_Escape); },
        [&] { dialog.cmdcancel().click(); },
        [&] { dialog.close(); },
    };
    for (size_t way = 0; way < std::size(waysOut); ++way) {
        SCOPED_TRACE(way);
        if (way > 0) {
            window.mnuLogin_Click();
            dialog.txtusername().setText("abandoned");
            dialog.chkSave().setChecked(true);
            dialog.chkAutoLogin().setChecked(true);
        }
        waysOut[way]();
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(window.AccountDialog(), &dialog);
        for (QLineEdit* box : {&dialog.txtusername(), &dialog.txtpassword(), &dialog.txtaccount()})
            EXPECT_TRUE(box->text().isEmpty());
        EXPECT_FALSE(dialog.chkSave().isChecked());
        EXPECT_FALSE(dialog.chkAutoLogin().isChecked());
        EXPECT_FALSE(dialog.chkAutoLogin().isEnabled());
    }
    rows.Item(1).setSelected(true);
    window.lvwClients_DblClick();
    EXPECT_TRUE(dialog.EditMode());
    EXPECT_EQ(dialog.txtaccount().text().toStdString(), rows.Item(1).SubItems(kAccountColumn));
    dialog.close();

    // The Menu key and Shift+F10 on the current row, then a right click on it: a
    // connected row's popup, Connect and Login All off; "Logout" logs it out.
    platform::widgets::ListView& view = window.ClientsView();
    window.resize(900, 300);
    window.show();
    auto* menu = static_cast<QMenu*>(&popup.Widget());
    const std::pair<int32_t, bool> expected[] = {{100018, false}, {100019, true}, {100020, true},
                                                 {100032, false}, {100033, true}, {100034, true}};
    const QRect first = view.visualRect(view.model()->index(0, 0));
    const std::function<void()> opens[] = {
        [&] { QTest::keyClick(&view, Qt::Key_Menu); },
        [&] { QTest::keyClick(&view, Qt::Key_F10, Qt::ShiftModifier); },
        [&] { QTest::mouseClick(view.viewport(), Qt::RightButton, {}, first.center()); }};
    for (size_t way = 0; way < std::size(opens); ++way) {
        SCOPED_TRACE(way);
        for (auto [id, on] : expected) popup.FindControl(id)->setEnabled(!on);
        view.setCurrentIndex(view.model()->index(0, 0));
        opens[way]();
        ASSERT_EQ(rows.SelectedItem(), &rows.Item(1));
        EXPECT_TRUE(menu->isVisible());
        for (auto [id, on] : expected) EXPECT_EQ(popup.FindControl(id)->Enabled(), on) << id;
        if (way + 1 < std::size(opens)) menu->hide();
    }
    QAction* logout = nullptr;
    for (QAction* action : menu->actions())
        if (action->text() == "Logout") logout = action;
    ASSERT_NE(logout, nullptr);
    menu->hide();
    logout->trigger();
    ASSERT_TRUE(
        platform::EventLoop::RunUntil([&] { return status(1) == "Disconnected"; }, kWaitMs));
    run(100032);
    ASSERT_TRUE(allConnected(3));

    ASSERT_TRUE(platform::EventLoop::RunUntil(
        [&] { return ReadLines(AccountsWindowCore::ConnectedListPath()).size() >= 3; }, kWaitMs));
    // The popup's save-as asks for a target and copies the run's connected accounts
    // there, in the order they logged in; its load brings the same rows back below.
    auto rowsShown = [&] {
        std::vector<std::string> out;
        for (size_t i = 1; i <= rows.Count(); ++i)
            out.push_back(rows.Item(i).SubItems(kUsernameColumn) + ":" +
                          rows.Item(i).SubItems(kAccountColumn));
        std::sort(out.begin(), out.end());
        return out;
    };
    // Saved where the load looks; a name typed without ".buf" gets it, so that the
    // load's filter shows it.
    const std::vector<std::string> saved = rowsShown();
    const std::filesystem::path list = folder.Path() / "dealer list.buf";
    answer = (folder.Path() / "dealer list").string();
    ASSERT_NE(popup.FindControl(100006), nullptr);
    popup.FindControl(100006)->Action()->trigger();
    ASSERT_TRUE(
        platform::EventLoop::RunUntil([&] { return std::filesystem::exists(list); }, kWaitMs));
    EXPECT_EQ(asked.back().mode, platform::widgets::FileChooser::Mode::Save);
    EXPECT_EQ(asked.back().InitDir, AccountsWindowCore::LoadStartFolder().string());
    EXPECT_EQ(ReadLines(list).size(), 3u);

    // Remove All over the add-account dialog: the question shows above the dialog
    // on No, so Enter removes nothing; Tab then Enter removes every row, session
    // and saved line.
    const std::filesystem::path savedFile = platform::ResolvePath("\\Manage\\Acountinfo.buf");
    const std::string savedBytes = platform::ReadWholeFile(savedFile);
    run(100029);
    ASSERT_TRUE(dialog.isVisible() && dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    run(100034);
    frmSure& sure = window.SureDialog();
    EXPECT_TRUE(sure.isVisible());
    EXPECT_TRUE(sure.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(sure.Message(), " Are you sure to remove all accounts?");
    ASSERT_EQ(sure.focusWidget(), &sure.cmd2());
    QTest::keyClick(sure.focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(sure.isVisible());
    EXPECT_EQ(rows.Count(), 3u);
    EXPECT_EQ(platform::ReadWholeFile(savedFile), savedBytes);
    run(100034);
    EXPECT_TRUE(sure.isVisible() && sure.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QTest::keyClick(sure.focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(sure.focusWidget(), &sure.cmd1());
    QTest::keyClick(sure.focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(sure.isVisible());
    EXPECT_EQ(rows.Count(), 0u);
    EXPECT_EQ(window.CClientAPIManagers()->Count(), 0);
    EXPECT_TRUE(ReadLines(savedFile).empty());
    dialog.close();

    // A cancelled load changes nothing; the saved list brings the three back.
    answer.clear();
    window.mnuload_Click();
    platform::EventLoop::RunUntil([] { return false; }, 50);
    EXPECT_EQ(rows.Count(), 0u);
    EXPECT_EQ(asked.back().DialogTitle, "Load File");
    EXPECT_EQ(asked.back().Filter, "Text Files (*.buf)|*.buf|All Files (*.*)|*.*");
    answer = list.string();
    desk.Views().View(kPaneAccountsList).setDisplayed(false);
    ASSERT_NE(popup.FindControl(100007), nullptr);
    popup.FindControl(100007)->Action()->trigger();
    ASSERT_TRUE(allConnected(3));
    EXPECT_EQ(rowsShown(), saved);
    EXPECT_TRUE(desk.Views().View(kPaneAccountsList).Displayed()) << "the load shows the window";
    EXPECT_FALSE(desk.Shell().PaneClosed(kPaneAccountsList));

    // New Position's list emptied by an edit of its last account shows its ticked
    // box cleared at once.
    auto& order = dynamic_cast<frmorder&>(*desk.Services().Ports().frmorder);
    ASSERT_TRUE(
        platform::EventLoop::RunUntil([&] { return order.lvwConClients().Count() == 3; }, kWaitMs));
    for (size_t i : {3u, 2u}) {
        rows.Item(i).setSelected(true);
        run(100019);
    }
    ASSERT_EQ(order.lvwConClients().Count(), 1u);
    order.setChkAllClients(false);
    QTest::mouseClick(&order.LblCheck(), Qt::LeftButton);
    ASSERT_EQ(order.LblCheck().text().toStdString(), "Uncheck All");
    rows.Item(1).setSelected(true);
    window.lvwClients_DblClick();
    dialog.txtusername().setText("renamed");
    dialog.cmdLoginAA().click();
    ASSERT_EQ(order.lvwConClients().Count(), 0u);
    EXPECT_FALSE(order.ChkAllClients().isChecked());
    EXPECT_EQ(order.LblCheck().text().toStdString(), "Check All");

    // "About" opens the box.
    run(100010);
    EXPECT_TRUE(window.AboutBox().isVisible());

    platform::widgets::FileChooser::SetScript({});
    desk.End();
    EXPECT_TRUE(platform::EventLoop::RunUntil([&] { return server.Sessions() == 0; }, kWaitMs));
}

// An edit deletes the row's saved line: the dialog opens with that line's ticks
// when it is the row's user's, whatever it showed before, so that confirming
// saves the changed account back with its log-in-at-start.
TEST(AccountsWindowForm, EditOpensWithTheTicksOfTheSavedLineItDeletes) {
    widgets_testing::App();
    testsupport::TempProgramFolder folder{"desk-accounts-edit"};
    platform::EventLoop::Ensure();
    simserver::Server server(simserver::DemoBook());
    server.Listen("127.0.0.1", 0);
    SeedDemoHome("127.0.0.1", server.Port(), {});
    const auto creds = simserver::CredentialLines(server.book());
    ASSERT_GE(creds.size(), 3u);
    std::vector<std::vector<std::string>> c;
    for (size_t i = 0; i < 3; ++i) c.push_back(runtime::Split(creds[i], " "));
    const OrbanelGeneral10::CStringValues coder;
    const auto path = platform::ResolvePath("\\Manage\\Acountinfo.buf");
    // Rows 1-4 come from these lines; row 3's account is also row 4's, a user of its
    // own whose flagged line comes after row 3's; row 5 has no line.
    platform::AtomicWriteFile(
        path,
        JoinLines({SavedAccountLine(coder, c[0][0], c[0][1], std::stoi(c[0][2]), true),
                   SavedAccountLine(coder, c[1][0], c[1][1], std::stoi(c[1][2]), false),
                   SavedAccountLine(coder, "OTHER", "PW", std::stoi(c[2][2]), false),
                   SavedAccountLine(coder, c[2][0], c[2][1], std::stoi(c[2][2]), true)}),
        platform::FileAccess::OwnerOnly);

    MGeneral desk;
    desk.Main();
    frmMain& window = desk.Accounts();
    platform::ListView& rows = window.lvwClients();
    window.mnuLogin_Click();
    frmaccount& dialog = *window.AccountDialog();
    dialog.txtusername().setText("nobody");
    dialog.txtpassword().setText("pw");
    dialog.txtaccount().setText("424242");
    dialog.cmdLoginAA().click();
    ASSERT_EQ(rows.Count(), 5u);
    ASSERT_TRUE(platform::EventLoop::RunUntil(
        [&] { return rows.Item(1).SubItems(kStatusColumn) == "Connected"; }, kWaitMs));

    // Each row opened over a clear dialog, or over an add's two ticks.
    const struct {
        size_t row;
        bool addTicks, save, autoLogin;
    } cases[] = {{1, false, true, true},
                 {2, true, true, false},
                 {3, false, true, false},
                 {4, true, false, false},
                 {5, true, false, false}};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.row);
        dialog.close();
        window.mnuLogin_Click();
        dialog.chkSave().setChecked(k.addTicks);
        dialog.chkAutoLogin().setChecked(k.addTicks);
        rows.Item(k.row).setSelected(true);
        window.lvwClients_DblClick();
        ASSERT_TRUE(dialog.EditMode());
        EXPECT_EQ(dialog.chkSave().isChecked(), k.save);
        EXPECT_EQ(dialog.chkAutoLogin().isChecked(), k.autoLogin);
        EXPECT_EQ(dialog.chkAutoLogin().isEnabled(), k.save);
    }

    // The add command over an edit clears the edit's ticks; over an add, and
    // after that add was made, it keeps the dealer's.
    rows.Item(1).setSelected(true);
    window.lvwClients_DblClick();
    ASSERT_TRUE(dialog.chkSave().isChecked() && dialog.chkAutoLogin().isChecked());
    window.mnuLogin_Click();
    EXPECT_FALSE(dialog.EditMode());
    EXPECT_FALSE(dialog.chkSave().isChecked());
    EXPECT_FALSE(dialog.chkAutoLogin().isChecked());
    EXPECT_FALSE(dialog.chkAutoLogin().isEnabled());
    dialog.chkSave().setChecked(true);
    dialog.txtusername().setText("saved");
    dialog.txtpassword().setText("pw");
    dialog.txtaccount().setText("434343");
    dialog.cmdLoginAA().click();
    ASSERT_EQ(rows.Count(), 6u);
    window.mnuLogin_Click();
    EXPECT_TRUE(dialog.chkSave().isChecked());
    EXPECT_TRUE(dialog.chkAutoLogin().isEnabled());

    // The flagged row edited to another user comes back flagged, at the file's end.
    dialog.close();
    rows.Item(1).setSelected(true);
    window.lvwClients_DblClick();
    dialog.txtusername().setText("trader2");
    dialog.cmdLoginAA().click();
    std::vector<std::string> saved;
    for (const auto& line : ReadLines(path))
        if (auto a = ParseSavedAccountLine(coder, line))
            saved.push_back(a->UserName + ":" + std::to_string(a->Account) +
                            (a->AutoLogin ? ":True" : ":False"));
    EXPECT_EQ(saved,
              (std::vector<std::string>{runtime::UCase(c[1][0]) + ":" + c[1][2] + ":False",
                                        "OTHER:" + c[2][2] + ":False",
                                        runtime::UCase(c[2][0]) + ":" + c[2][2] + ":True",
                                        "SAVED:434343:False", "TRADER2:" + c[0][2] + ":True"}));

    desk.End();
    EXPECT_TRUE(platform::EventLoop::RunUntil([&] { return server.Sessions() == 0; }, kWaitMs));
}

// A server list of random bytes gives no current server: one message at start,
// the file left as it is, and no account logged in, at start or by hand, where
// Login and Login All say that reason again.
TEST(AccountsWindowForm, AServerListOfRandomBytesLogsNobodyIn) {
    widgets_testing::App();
    testsupport::TempProgramFolder folder{"desk-accounts-random-servers"};
    platform::EventLoop::Ensure();
    const std::filesystem::path serverFile = folder.Path() / "manage" / "SERVER.BUF";
    std::filesystem::create_directories(serverFile.parent_path());
    std::mt19937 random(49);
    std::string bytes(4096, '\0');
    for (char& b : bytes) b = static_cast<char>(random());
    platform::AtomicWriteFile(serverFile, bytes);
    const OrbanelGeneral10::CStringValues coder;
    platform::AtomicWriteFile(
        platform::ResolvePath("\\Manage\\Acountinfo.buf"),
        JoinLines({SavedAccountLine(coder, "DEALER1", "ALPHA1", 10001, true),
                   SavedAccountLine(coder, "DEALER2", "BRAVO2", 10002, true)}),
        platform::FileAccess::OwnerOnly);

    // The boxes this desk opened.
    const QWidgetList earlier = QApplication::topLevelWidgets();
    auto shownBoxes = [&] {
        std::vector<std::string> texts;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = dynamic_cast<platform::widgets::MessageBoxWindow*>(w);
                box && box->isVisible() && !earlier.contains(w))
                texts.push_back(box->Label().text().toStdString());
        return texts;
    };

    MGeneral desk;
    desk.Main();
    frmMain& window = desk.Accounts();
    platform::ListView& rows = window.lvwClients();
    ASSERT_EQ(rows.Count(), 2u);
    const std::vector<std::string> expected = {
        "No current server could be read from the server list " + serverFile.string() +
        " (0 listed servers were read). The file is left as it is, and no account is logged in."};
    EXPECT_EQ(shownBoxes(), expected);
    auto& popup = *desk.Shell().CommandBars().FindContextMenu(kBarAccountsPopup);
    rows.Item(1).setSelected(true);
    popup.FindControl(100018)->Action()->trigger();
    popup.FindControl(100032)->Action()->trigger();
    platform::EventLoop::RunUntil([] { return false; }, 300);
    for (size_t i = 1; i <= rows.Count(); ++i)
        EXPECT_EQ(rows.Item(i).SubItems(kStatusColumn), "Disconnected") << i;
    // Login and Login All each say the start's reason once more.
    EXPECT_EQ(shownBoxes(), std::vector<std::string>(3, expected.front()));
    EXPECT_EQ(platform::ReadWholeFile(serverFile), bytes);
    desk.End();
}

}  // namespace
