// The shell offscreen over placeholder views: the pane table, forms attached
// only after the layout, layout files good and bad, the window commands and
// their checks, and the command-bar search.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAction>
#include <QCoreApplication>
#include <QDockWidget>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "desk/common/CPaneDisplay.h"
#include "desk/common/PaneTable.h"
#include "desk/shell/LayoutFile.h"
#include "desk/shell/frmMdiNew.h"
#include "tests/platform/widgets/WidgetsTesting.h"
#include "tests/support/TempProgramFolder.h"

namespace {

using namespace OrbanexDesk;
using platform::widgets::CommandBarControl;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

void WriteFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// Docked, or floating where some screen shows it.
bool Reachable(const QDockWidget& dock) {
    if (!dock.isFloating()) return true;
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().intersects(dock.geometry())) return true;
    return false;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A shell over placeholder views in its own program folder; each form records
// whether its pane was closed when it was made (the layout is in by then).
class Desk {
public:
    explicit Desk(const fs::path&) {}
    void Start() {
        for (const PaneRow& row : kPaneTable) {
            views.push_back(std::make_unique<CPaneDisplay>(row.id, [this] { return shell.get(); }));
            shell->RegisterPane(
                row.id,
                [this, id = row.id]() -> QWidget* {
                    attachOrder.push_back(id);
                    closedAtAttach[id] = shell->PaneClosed(id);
                    return new QWidget;
                },
                views.back().get());
        }
        shell->Show(state);
    }
    IPaneView& View(int32_t paneId) {
        for (auto& v : views)
            if (v->PaneID() == paneId) return *v;
        throw std::out_of_range("pane");
    }
    void Close() { shell->close(); }
    // Clicks the "&View" item with the id, else the control anywhere (the ribbon).
    void Click(int32_t id) {
        if (auto* control = shell->GetCommandBarControl(kBarView, id))
            control->Action()->trigger();
        else
            ADD_FAILURE() << "no item " << id;
    }

    DeskState state;
    std::vector<std::unique_ptr<CPaneDisplay>> views;
    std::unique_ptr<frmMdiNew> shell = std::make_unique<frmMdiNew>();
    std::vector<int32_t> attachOrder;
    std::map<int32_t, bool> closedAtAttach;
};

struct Shell : ::testing::Test {
    QApplication& app = widgets_testing::App();
    testsupport::TempProgramFolder folder{"desk-shell"};
    fs::path Layout() const { return folder.Path() / "Manage" / "Interface.vfx"; }
    fs::path DefaultLayout() const { return folder.Path() / "Manage" / "InterfaceDefault.vfx"; }
    // The file a closed desk leaves after `arrange` ran on it.
    std::string Saved(const std::function<void(Desk&)>& arrange) {
        fs::remove(Layout());
        {
            Desk d(folder.Path());
            d.Start();
            arrange(d);
            d.Close();
        }
        std::string text = ReadFile(Layout());
        fs::remove(Layout());
        return text;
    }
};

// The pane table builds the first start's arrangement; forms come after the layout.
TEST_F(Shell, StartsWithThePaneTableAndAttachesEveryFormAfterTheLayout) {
    WriteFile(Layout(), Saved([](Desk& d) { d.shell->ClosePane(kPaneJournal); }));
    Desk d(folder.Path());
    d.Start();
    auto& shell = *d.shell;
    for (const PaneRow& row : kPaneTable) {
        SCOPED_TRACE(row.title);
        auto* pane = shell.GetPane(row.id);
        ASSERT_NE(pane, nullptr);
        EXPECT_EQ(pane->Title(), row.title);
        EXPECT_EQ(pane->Tag(), "0");
        EXPECT_TRUE(shell.FormAttached(row.id));
        EXPECT_NE(pane->Widget(), nullptr);
    }
    EXPECT_EQ(d.attachOrder.size(), 9u);
    EXPECT_TRUE(d.closedAtAttach.at(kPaneJournal)) << "a form loads only after the layout";
    EXPECT_EQ(shell.GetPane(kPaneMarketWatch)->Title(), "Market Watch");
    EXPECT_EQ(shell.GetPane(kPaneClosePosition)->Title(), "Close Postion");
    auto area = [&](int32_t id) { return shell.dockWidgetArea(&shell.GetPane(id)->Dock()); };
    EXPECT_EQ(area(kPaneMarketWatch), Qt::RightDockWidgetArea);
    EXPECT_EQ(area(kPaneNewPosition), Qt::LeftDockWidgetArea);
    EXPECT_EQ(area(kPaneAccountsList), Qt::BottomDockWidgetArea);
    auto group = [&](int32_t id) {
        std::vector<std::string> titles;
        for (QDockWidget* w : shell.tabifiedDockWidgets(&shell.GetPane(id)->Dock()))
            titles.push_back(w->windowTitle().toStdString());
        std::sort(titles.begin(), titles.end());
        return titles;
    };
    EXPECT_EQ(group(kPaneNewPosition),
              (std::vector<std::string>{"Close Postion", "New Entry Order"}));
    EXPECT_EQ(group(kPaneTrade),
              (std::vector<std::string>{"Journal", "Net Trade", "Pending Order"}));
    EXPECT_EQ(d.state.ClientGMTOffset, 123);
    EXPECT_EQ(shell.CommandBars().StatusPane(100026)->Text(), "Disconnected");
    EXPECT_FALSE(shell.CommandChecked(100042));
    EXPECT_FALSE(shell.CommandChecked(kCmdShowAll));
    EXPECT_TRUE(shell.CommandChecked(100043));
    EXPECT_TRUE(shell.CommandChecked(100063)) << "Market Watch follows its shown pane";
}

// Each layout file either restores the saved arrangement or leaves the table's.
TEST_F(Shell, LayoutFilesRestoreWhatTheyHoldAndAnythingElseChangesNothing) {
    const std::string journalClosed = Saved([](Desk& d) { d.shell->ClosePane(kPaneJournal); });
    const std::string panesLine = journalClosed.substr(0, journalClosed.find("\r\n"));
    const std::string floatingFar = Saved([](Desk& d) {
        auto& dock = d.shell->GetPane(kPaneTrade)->Dock();
        dock.setFloating(true);
        dock.move(90000, 90000);
    });
    std::string wrongTag = panesLine;
    wrongTag[2] = '9';
    struct Case {
        const char* name;
        std::string file;
        bool journalClosed;
        bool pipe = false;
    } cases[] = {
        {"no file", "", false},
        {"one line", panesLine, true},
        {"two lines", journalClosed, true},
        {"garbage", "hello\r\nworld\r\n", false},
        {"truncated", panesLine.substr(0, panesLine.size() / 2), false},
        {"wrong tag or version", wrongTag, false},
        {"2 MiB", std::string(2u << 20, 'A') + "\r\n", false},
        {"floating off every screen", floatingFar, false},
        {"a pipe nobody writes", "", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(Layout());
        if (!c.file.empty()) WriteFile(Layout(), c.file);
        if (c.pipe) {
            ASSERT_EQ(::mkfifo(Layout().c_str(), 0600), 0);
        }
        std::atomic<bool> started = false, unblocked = false;
        std::thread unblock([&] {  // a start that waits for a writer is let go, and fails
            for (int i = 0; i < 300 && !started; ++i) std::this_thread::sleep_for(10ms);
            if (!c.pipe || started) return;
            ::close(::open(Layout().c_str(), O_RDWR));
            unblocked = true;
        });
        Desk d(folder.Path());
        d.Start();
        started = true;
        unblock.join();
        EXPECT_FALSE(unblocked) << "the start waited";
        EXPECT_EQ(d.shell->PaneClosed(kPaneJournal), c.journalClosed);
        EXPECT_EQ(d.shell->CommandChecked(100042), !c.journalClosed);
        EXPECT_TRUE(Reachable(d.shell->GetPane(kPaneTrade)->Dock()));
        EXPECT_EQ(d.attachOrder.size(), 9u);
        EXPECT_EQ(d.shell->CommandBars().ActiveMenuBar()->Control(2).DropDownBar()->ControlCount(),
                  10u)
            << "bars as built";
    }
    fs::remove(Layout());
    // A line over the cap reads as empty, and the next line as it stands.
    const std::string full(kMaxLayoutLine, 'A');
    for (const auto& [text, first] :
         std::vector<std::pair<std::string, std::string>>{{full + "\r\nsecond", full},
                                                          {full + "A\nsecond", ""},
                                                          {full + "tail\r\nsecond\r\n", ""}}) {
        WriteFile(Layout(), text);
        EXPECT_EQ(ReadLayoutLines(Layout()), (std::array<std::string, 2>{first, "second"}))
            << text.substr(kMaxLayoutLine);
    }
}

// Closing writes two lines; a failing write is said on standard error and the loop still ends.
TEST_F(Shell, CloseWritesTwoLinesAndAFailedWriteStillEndsTheLoop) {
    const std::string text = Saved([](Desk&) {});
    const size_t cut = text.find("\r\n");
    ASSERT_NE(cut, std::string::npos);
    EXPECT_EQ(text.find('\n', cut + 2), std::string::npos) << "two lines, no third";
    EXPECT_EQ(text.rfind("DP2:", 0), 0u);
    EXPECT_GT(text.size(), cut + 2);

    fs::create_directories(Layout());  // the target is a folder
    Desk d(folder.Path());
    d.Start();
    QTimer::singleShot(0, d.shell.get(), [&] { d.Close(); });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(7); });
    guard.start(5000);
    EXPECT_EQ(app.exec(), 0);
    guard.stop();
    EXPECT_TRUE(fs::is_directory(Layout()));
}

// Reset loads the default file when there is one; the titles and checks follow.
TEST_F(Shell, ResetInterfaceRestoresTheDefaultFileOrOnlyTheTitlesAndChecks) {
    const std::string journalClosed = Saved([](Desk& d) { d.shell->ClosePane(kPaneJournal); });
    for (bool withDefault : {false, true}) {
        SCOPED_TRACE(withDefault ? "with default" : "without default");
        fs::remove(DefaultLayout());
        if (withDefault) WriteFile(DefaultLayout(), journalClosed);
        Desk d(folder.Path());
        d.Start();
        d.shell->GetPane(kPaneNetTrade)->setTitle("renamed");
        d.shell->ClosePane(kPaneTrade);
        d.shell->CommandBars_Execute(*d.shell->GetCommandBarControl(kBarView, 100027));
        EXPECT_EQ(d.shell->GetPane(kPaneNetTrade)->Title(), "Net Trade");
        EXPECT_EQ(d.shell->PaneClosed(kPaneJournal), withDefault);
        EXPECT_EQ(d.shell->CommandChecked(100042), !withDefault);
        EXPECT_EQ(d.shell->PaneClosed(kPaneTrade), !withDefault);
        EXPECT_EQ(d.View(kPaneTrade).Displayed(), withDefault);
    }
}

// A command's check mirrors its pane: clicks read the state from before the click.
TEST_F(Shell, WindowCommandsToggleTheirPanesAndTheChecksFollowTheCloseButton) {
    WriteFile(Layout(), Saved([](Desk& d) { d.shell->ClosePane(kPaneJournal); }));
    Desk d(folder.Path());
    d.Start();
    auto& shell = *d.shell;
    EXPECT_FALSE(shell.CommandChecked(100042));
    d.Click(100042);
    EXPECT_FALSE(shell.PaneClosed(kPaneJournal)) << "one click shows a pane the file closed";
    EXPECT_TRUE(shell.CommandChecked(100042));
    EXPECT_TRUE(shell.CommandChecked(kCmdShowAll));
    EXPECT_TRUE(shell.GetCommandBarControl(kBarView, 100042)->Checked());

    d.Click(100043);
    EXPECT_TRUE(shell.PaneClosed(kPaneTrade)) << "Trade while checked hides the pane";
    EXPECT_FALSE(shell.CommandChecked(kCmdShowAll));
    d.Click(kCmdShowAll);
    for (int32_t id :
         {kPaneAccountsList, kPaneJournal, kPanePendingOrder, kPaneTrade, kPaneNetTrade})
        EXPECT_FALSE(shell.PaneClosed(id)) << id;
    EXPECT_TRUE(shell.CommandChecked(kCmdShowAll));

    struct Case {
        int32_t pane, command;
        bool tradePanel;
    } cases[] = {{kPaneAccountsList, 100011, true},
                 {kPaneNewPosition, 100013, false},
                 {kPaneClosePosition, 100054, false},
                 {kPanePendingOrder, 100062, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pane);
        shell.GetPane(c.pane)->Dock().close();  // its close button
        EXPECT_FALSE(shell.CommandChecked(c.command));
        EXPECT_FALSE(shell.GetCommandBarControl(kBarView, c.command)->Checked());
        EXPECT_EQ(shell.CommandChecked(kCmdShowAll), !c.tradePanel);
        d.Click(c.command);
        EXPECT_FALSE(shell.PaneClosed(c.pane)) << "one click shows it again";
        EXPECT_TRUE(shell.CommandChecked(c.command));
        EXPECT_TRUE(shell.CommandChecked(kCmdShowAll));
    }
    d.Click(kCmdShowAll);
    EXPECT_TRUE(shell.PaneClosed(kPaneTrade));
    EXPECT_FALSE(shell.CommandChecked(kCmdShowAll));
}

// Every control with an id runs its handler; the search goes context menu, bar, all.
TEST_F(Shell, CommandsDispatchByIdAndTheControlSearchKeepsItsOrder) {
    Desk d(folder.Path());
    d.Start();
    auto& shell = *d.shell;
    auto& bars = shell.CommandBars();
    std::vector<int32_t> ran;
    shell.AddCommandHandler(100047, [&] { ran.push_back(100047); });
    auto& popup = *bars.FindContextMenu(100045);
    auto& inPopup = popup.AddControl(CommandBarControl::Button, 100047, "Refresh");
    auto& second = popup.AddControl(CommandBarControl::Button, 100042, "Journal");
    shell.CommandBars_Execute(inPopup);
    bars.Execute(inPopup);
    EXPECT_EQ(ran, (std::vector<int32_t>{100047, 100047}));

    // The same id on two controls: each runs the same handler.
    const bool before = shell.PaneClosed(kPaneJournal);
    bars.Execute(second);
    EXPECT_NE(shell.PaneClosed(kPaneJournal), before);
    bars.Execute(*shell.GetCommandBarControl(kBarView, 100042));
    EXPECT_EQ(shell.PaneClosed(kPaneJournal), before);

    EXPECT_EQ(shell.GetCommandBarControl(100045, 100042), &second) << "the context menu first";
    EXPECT_EQ(shell.GetCommandBarControl(kBarView, 100042)->Caption(), "Journal");
    EXPECT_NE(shell.GetCommandBarControl(kBarView, 100042), &second) << "then the bar";
    EXPECT_EQ(shell.GetCommandBarControl(12345, 100047), &inPopup) << "then anywhere";
    EXPECT_EQ(shell.GetCommandBarControl(kBarView, 424242), nullptr);
    EXPECT_EQ(shell.GetCommandBarControl(12345, 424242), nullptr);
    const size_t before2 = ran.size();
    CommandBarControl& unknown = popup.AddControl(CommandBarControl::Button, 424242, "x");
    bars.Execute(unknown);
    EXPECT_EQ(ran.size(), before2) << "an unknown id does nothing";
}

}  // namespace
