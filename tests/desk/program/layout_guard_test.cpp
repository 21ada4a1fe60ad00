// The started desk's layout files that the window would crash on: the saved
// layout and the default are refused like any damaged text, and a start whose
// load of its layout never ended leaves the next one a first start.
#include <gtest/gtest.h>

#include <QDockWidget>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "desk/MGeneralMain.h"
#include "desk/common/PaneTable.h"
#include "desk/shell/LayoutFile.h"
#include "desk/shell/frmMdiNew.h"
#include "platform/EventLoop.h"
#include "tests/platform/widgets/WidgetsTesting.h"
#include "tests/support/TempProgramFolder.h"

namespace {

using namespace OrbanexDesk;
namespace fs = std::filesystem;

// The two texts that crashed the desk at every start.
const char* const kCrashingLines[] = {
    "DP2:1000:700:768:512:26:3859:AAAA/wAAAAL9AAAAAgD//z3nAwAAAAABA/w=",
    "DP2:1000:700:768:512:27:11986:AAAA/wAAAAL9AAAAVHlwZSAxAAAAAAAA1fwA",
};

void Settle() {
    for (int i = 0; i < 5; ++i) platform::EventLoop::ProcessEvents();
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// Where each pane stands, by title ("closed" for a closed one).
std::map<std::string, std::string> Panes(frmMdiNew& shell) {
    std::map<std::string, std::string> panes;
    for (const PaneRow& row : kPaneTable) {
        const QDockWidget& dock = shell.GetPane(row.id)->Dock();
        const QRect r = dock.geometry();
        panes[row.title] = dock.isHidden()
                               ? "closed"
                               : std::to_string(r.x()) + "," + std::to_string(r.y()) + " " +
                                     std::to_string(r.width()) + "x" + std::to_string(r.height());
    }
    return panes;
}

// The real desk, started in the current program folder at 1600 x 1000.
struct ShownDesk {
    static frmMdiNew& Started(MGeneral& desk) {
        desk.Main();
        frmMdiNew& shell = desk.Shell();
        shell.setWindowState(Qt::WindowNoState);
        shell.resize(1600, 1000);
        Settle();
        return shell;
    }
    void Close() {
        int16_t cancel = 1;
        shell.MDIForm_Unload(cancel);
    }
    MGeneral desk;
    frmMdiNew& shell = Started(desk);
};

struct LayoutGuard : ::testing::Test {
    QApplication& app = widgets_testing::App();
    testsupport::TempProgramFolder folder{"desk-layout-guard"};
    fs::path Layout() const { return folder.Path() / "Manage" / "Interface.vfx"; }
    fs::path DefaultLayout() const { return folder.Path() / "Manage" / "InterfaceDefault.vfx"; }
    fs::path Mark() const { return Layout().string() + LayoutLoadMark::kLoadMarkSuffix; }
    fs::path SetAside() const { return Layout().string() + LayoutLoadMark::kSetAsideSuffix; }
    // The panes of a first start, and the file a desk leaves with the Journal closed.
    std::map<std::string, std::string> firstStart;
    std::string journalClosed;
    void SetUp() override {
        platform::EventLoop::Ensure();
        fs::create_directories(folder.Path() / "Manage");  // before the desk makes "manage"
        ShownDesk shown;
        firstStart = Panes(shown.shell);
        shown.shell.ClosePane(kPaneJournal);
        Settle();
        shown.Close();
        journalClosed = ReadFile(Layout());
        fs::remove(Layout());
    }
};

// Either text as the saved layout starts the desk as a first start, with the bars'
// line loaded; as the default, Reset Interface leaves the panes where they are.
TEST_F(LayoutGuard, TextsTheWindowWouldCrashOnChangeNothing) {
    ASSERT_EQ(journalClosed.rfind("DP2:", 0), 0u);
    const std::string bars = "CB1;0,3;0,0";  // the first toolbar at the bottom
    for (const char* line : kCrashingLines) {
        SCOPED_TRACE(line);
        WriteFile(Layout(), line + ("\r\n" + bars));
        WriteFile(DefaultLayout(), line);
        ShownDesk shown;
        EXPECT_EQ(Panes(shown.shell), firstStart) << "the saved layout";
        EXPECT_EQ(shown.shell.CommandBars().SaveLayout(), bars);
        shown.shell.ClosePane(kPaneJournal);
        Settle();
        const std::map<std::string, std::string> closed = Panes(shown.shell);
        shown.shell.RunCommand(100027);
        Settle();
        EXPECT_EQ(Panes(shown.shell), closed) << "the default";
    }
}

// A start that finds the mark of a load that never ended sets the layout file
// aside, says so once and starts as a first start; the default stays, and the
// start after it loads what the last close wrote, leaving no mark.
TEST_F(LayoutGuard, AStartInterruptedInItsLayoutLeavesTheNextAFirstStart) {
    WriteFile(DefaultLayout(), journalClosed);
    WriteFile(Layout(), journalClosed);
    WriteFile(Mark(), "");
    testing::internal::CaptureStderr();
    {
        ShownDesk shown;
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(Panes(shown.shell), firstStart);
        EXPECT_EQ(ReadFile(SetAside()), journalClosed);
        EXPECT_FALSE(fs::exists(Layout()));
        EXPECT_FALSE(fs::exists(Mark()));
        EXPECT_EQ(ReadFile(DefaultLayout()), journalClosed);
        const size_t at = said.find("OrbanexDesk: ");
        ASSERT_NE(at, std::string::npos) << said;
        EXPECT_NE(said.find(SetAside().string(), at), std::string::npos) << said;
        EXPECT_EQ(said.find("OrbanexDesk: ", at + 1), std::string::npos) << "one line: " << said;
        shown.shell.ClosePane(kPaneJournal);
        Settle();
        shown.Close();
    }
    ShownDesk shown;
    EXPECT_TRUE(shown.shell.PaneClosed(kPaneJournal));
    EXPECT_FALSE(fs::exists(Mark()));
}

}  // namespace
