// The real desk offscreen: its start in empty and garbled program folders, its
// orderly end with logged-in sessions on the simulated server, the program's
// arguments, and the keys that must never end it.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QDockWidget>
#include <QTabBar>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "desk/AssetsDir.h"
#include "desk/DeskForms.h"
#include "desk/MGeneralMain.h"
#include "desk/common/PaneTable.h"
#include "desk/sessions/CClientAPIManagers.h"
#include "desk/shell/CDockable.h"
#include "desk/shell/CommandBarTables.h"
#include "desk/shell/LayoutFile.h"
#include "desk/shell/frmMdiNew.h"
#include "desk/ui/Culf.h"
#include "platform/EventLoop.h"
#include "platform/Paths.h"
#include "simserver/Server.h"
#include "tests/platform/widgets/WidgetsTesting.h"
#include "tests/support/TempProgramFolder.h"

namespace {

using namespace OrbanexDesk;
namespace fs = std::filesystem;

constexpr int32_t kWaitMs = 5000;

void WriteFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// The titles of the tabs in front of the window's tab groups.
std::vector<std::string> FrontTabs(QWidget& window) {
    std::vector<std::string> out;
    // The docks' tab bars are the window's own children; the ribbon's is not.
    for (QTabBar* bar : window.findChildren<QTabBar*>(Qt::FindDirectChildrenOnly))
        if (bar->isVisible() && bar->currentIndex() >= 0)
            out.push_back(bar->tabText(bar->currentIndex()).toStdString());
    std::sort(out.begin(), out.end());
    return out;
}

struct DeskRun {
    int code;  // -1: did not exit by itself
    std::string output;
};

// The desk program as a user starts it from a shell with no display of its own,
// `environment` added, its two outputs as one, ended after 10 s at most.
DeskRun RunDesk(const std::string& environment, const std::string& args) {
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " +
                                environment + " timeout -s KILL 10 '" DESK_PROGRAM "' " + args +
                                " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return {-1, ""};
    std::string output;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
    const int status = ::pclose(pipe);
    return {WIFEXITED(status) && WEXITSTATUS(status) != 137 ? WEXITSTATUS(status) : -1, output};
}

struct Program : ::testing::Test {
    QApplication& app = widgets_testing::App();
    testsupport::TempProgramFolder folder{"desk-program"};
};

// Empty or garbled, no program folder stops the start; the table's panes come up.
TEST_F(Program, StartsInEmptyAndGarbledFoldersWithTradeAndNewPositionInFront) {
    const fs::path shipped = fs::path(kAssetsDir) / "Manage" / "InterfaceDefault.vfx";
    for (const char* kind : {"empty", "garbled", "shipped default"}) {
        SCOPED_TRACE(kind);
        fs::remove_all(folder.Path() / "Manage");
        if (std::string(kind) == "garbled") {
            WriteFile(folder.Path() / "Manage" / "Interface.vfx",
                      std::string("DP1:12:9:@@@\r\n\xff\xfe", 16) + std::string(3000, '\0'));
            WriteFile(folder.Path() / "Manage" / "dat.cmo", std::string(5000, '\n'));
        }
        if (std::string(kind) == "shipped default") {
            fs::create_directories(folder.Path() / "Manage");
            fs::copy_file(shipped, folder.Path() / "Manage" / "InterfaceDefault.vfx");
        }
        MGeneral desk;
        desk.Main();
        frmMdiNew& shell = desk.Shell();
        ASSERT_TRUE(shell.Loaded());
        for (const PaneRow& row : kPaneTable) {
            EXPECT_TRUE(shell.FormAttached(row.id)) << row.title;
            EXPECT_FALSE(shell.PaneClosed(row.id)) << row.title;
            EXPECT_TRUE(desk.Views().View(row.id).Displayed()) << row.title;
        }
        widgets_testing::Turn();
        EXPECT_EQ(FrontTabs(shell), (std::vector<std::string>{"New Position", "Trade"}));
        for (QTabBar* bar : shell.findChildren<QTabBar*>(Qt::FindDirectChildrenOnly))
            EXPECT_FALSE(bar->isVisible() && bar->count() == 0) << "an emptied tab bar shows";
        EXPECT_EQ(desk.Services().State().ClientGMTOffset, 123);
        EXPECT_EQ(shell.CommandBars().StatusPane(100026)->Text(), "Disconnected");
        EXPECT_EQ(desk.LabelLooks().DockFormLabelButtonOn(), 0xD2B54D);
        EXPECT_EQ(desk.LabelLooks().DockFormLabelButtonOff(), 0x800000);
        EXPECT_TRUE(shell.windowTitle().isEmpty());
        if (std::string(kind) == "shipped default") {
            const auto lines = ReadLayoutLines(folder.Path() / "Manage" / "InterfaceDefault.vfx");
            EXPECT_TRUE(shell.DockingPaneManager().LoadLayout(lines[0]))
                << "the shipped default restores";
        }
    }
}

// Closing ends the loop and writes the layout; End logs every session out
// while the forms live; the destructor then frees the rest.
TEST_F(Program, EndsWithEverySessionLoggedOutAndTheLayoutWritten) {
    simserver::Book book;
    simserver::Symbol eur;
    eur.id = 2;
    eur.name = "EURUSD";
    eur.bid = 1.085;
    eur.ask = 1.0852;
    book.AddSymbol(eur);
    for (int32_t i : {0, 1}) {
        simserver::Client c;
        c.id = 101 + i;
        c.userName = i ? "BEN" : "ANN";
        book.AddClient(c);
        simserver::User u;
        u.name = c.userName;
        u.password = "PW";
        u.clientId = c.id;
        book.AddUser(u);
        simserver::Account a;
        a.id = 70 + 10 * i;
        a.clientId = c.id;
        a.figures.totDep = 10000;
        book.AddAccount(a);
    }
    simserver::Server server(std::move(book));
    server.Listen("127.0.0.1", 0);
    {
        MGeneral desk;
        desk.Main();
        auto managers = desk.Services().Managers();
        managers->Add("127.0.0.1", server.Port(), "ANN", "PW", true, 70);
        managers->Add("127.0.0.1", server.Port(), "BEN", "PW", true, 80);
        managers.reset();
        ASSERT_TRUE(platform::EventLoop::RunUntil([&] { return server.Sessions() == 2; }, kWaitMs));
        EXPECT_EQ(desk.Views().View(kPaneAccountsList).Displayed(), true);
        desk.Shell().close();
        // The server list made the folder first, in its own case.
        EXPECT_EQ(
            ReadLayoutLines(platform::ResolvePath("\\Manage\\Interface.vfx"))[0].rfind("DP2:", 0),
            0u);
        desk.End();
        EXPECT_TRUE(platform::EventLoop::RunUntil([&] { return server.Sessions() == 0; }, kWaitMs))
            << "both logouts reach the server";
    }
    EXPECT_TRUE(platform::EventLoop::RunUntil([&] { return server.Sessions() == 0; }, 100));
}

// Asking for help, an argument the desk does not know and no display each end
// it at once, saying how to run it, with no home made or seeded.
TEST_F(Program, HelpAnUnknownArgumentAndNoDisplayEndItAtOnceTouchingNoHome) {
    const fs::path home = folder.Path() / "home";
    const fs::path data = folder.Path() / "data";
    const std::string homes = "ORBANEX_HOME='" + home.string() + "' XDG_DATA_HOME='" +
                              data.string() + "' HOME='" + folder.Path().string() + "' ";
    const std::string offscreen = "QT_QPA_PLATFORM=offscreen";
    struct Case {
        const char* name;
        std::string environment, args;
        int code;
        std::vector<std::string> says;
    } cases[] = {
        {"help", offscreen, "--help", 0, {"Usage: OrbanexDesk", "--home DIR"}},
        {"help without a display", "", "--home '" + home.string() + "' --help", 0, {"Usage:"}},
        {"a typo of --home",
         offscreen,
         "--hom '" + home.string() + "'",
         2,
         {"unknown argument --hom\n", "Usage: OrbanexDesk"}},
        {"an unknown argument after the toolkit's own",
         "",
         "-platform offscreen --bogus",
         2,
         {"unknown argument --bogus\n", "Usage:"}},
        {"no display", "", "", 2, {"QT_QPA_PLATFORM=offscreen"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DeskRun run = RunDesk(homes + c.environment, c.args);
        EXPECT_EQ(run.code, c.code) << run.output;
        for (const std::string& said : c.says)
            EXPECT_NE(run.output.find(said), std::string::npos) << run.output;
        if (c.code == 2 && c.args.empty()) {
            EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << run.output;
        }
        EXPECT_FALSE(fs::exists(home));
        EXPECT_FALSE(fs::exists(data));
    }
}

QWidget* RibbonButton(const platform::widgets::CommandBar& ribbon, int32_t id) {
    for (size_t t = 1; t <= ribbon.TabCount(); ++t)
        for (size_t g = 1; g <= ribbon.Tab(t).GroupCount(); ++g)
            if (auto* control = ribbon.Tab(t).Group(g).FindControl(id))
                return control->ToolButton();
    return nullptr;
}

// Exit System ends the desk asking nothing: no Shift+Tab from New Entry Order's
// first field reaches it, and switching ribbon pages by keys from a ribbon
// button leaves the focus on the ribbon's tabs.
TEST_F(Program, NoKeyOfTheTabChainOrAPageSwitchFocusesExitSystem) {
    MGeneral desk;
    desk.Main();
    frmMdiNew& shell = desk.Shell();
    QApplication::setActiveWindow(&shell);
    widgets_testing::Turn();
    platform::widgets::CommandBar& ribbon = *shell.Dockable().RibbonBar();
    const QWidget* exitSystem = RibbonButton(ribbon, kCmdExitSystem);
    const QTabBar* tabs = ribbon.Widget().findChild<QTabBar*>();
    ASSERT_TRUE(exitSystem && tabs);
    const auto press = [](Qt::Key key, Qt::KeyboardModifiers modifiers) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    };
    shell.SelectPane(kPaneNewEntryOrder);
    shell.GetPane(kPaneNewEntryOrder)->Dock().findChild<QWidget*>("cblimiordertype")->setFocus();
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    for (int i = 1; i <= 40; ++i) {
        press(Qt::Key_Tab, Qt::ShiftModifier);
        EXPECT_NE(QApplication::focusWidget(), exitSystem) << "Shift+Tab " << i;
    }
    RibbonButton(ribbon, 100057)->setFocus();  // Add Accounts, before Exit System
    for (const auto& [key, name] : {std::pair{Qt::Key_P, "Alt+P"}, std::pair{Qt::Key_H, "Alt+H"}}) {
        press(key, Qt::AltModifier);
        EXPECT_EQ(QApplication::focusWidget(), tabs) << name;
    }
    EXPECT_EQ(tabs->currentIndex(), 0);
}

}  // namespace
