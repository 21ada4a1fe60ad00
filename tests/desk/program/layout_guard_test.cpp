// The started desk's layout files that the window would crash or hang on: the
// saved layout and the default are refused like any damaged text, and a start
// whose load of its layout never ended leaves the next one a first start.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDockWidget>
#include <QEvent>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "desk/MGeneralMain.h"
#include "desk/common/PaneTable.h"
#include "desk/shell/LayoutFile.h"
#include "desk/shell/frmMdiNew.h"
#include "platform/EventLoop.h"
#include "platform/Timer.h"
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

// The shell's paints as a window sees them: none (one never shown on screen),
// or each delivered with a look right after it, before what it queued.
class Paints : public QObject {
public:
    Paints(QWidget& window, bool delivered, std::function<void()> after = {})
        : delivered_(delivered), after_(std::move(after)) {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint) return false;
        if (delivered_) watched->event(event);
        if (after_) after_();
        return true;
    }

private:
    bool delivered_;
    std::function<void()> after_;
};

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
    // A file that links to an endless device is read no further than its cap.
    fs::remove(Layout());
    fs::create_symlink("/dev/zero", Layout());
    ShownDesk shown;
    EXPECT_EQ(Panes(shown.shell), firstStart);
}

// A start that finds the mark of a load that never ended sets the layout file
// aside, says so once and starts as a first start, the layout unread even where
// it cannot be set aside; the default stays, and the start after it loads what
// the last close wrote, leaving no mark.
TEST_F(LayoutGuard, AStartInterruptedInItsLayoutLeavesTheNextAFirstStart) {
    for (const bool asideBlocked : {false, true}) {
        SCOPED_TRACE(asideBlocked ? "the set-aside name taken by a folder" : "set aside");
        fs::remove_all(SetAside());
        if (asideBlocked) WriteFile(SetAside() / "x", "");
        WriteFile(DefaultLayout(), journalClosed);
        WriteFile(Layout(), journalClosed);
        WriteFile(Mark(), "");
        testing::internal::CaptureStderr();
        {
            ShownDesk shown;
            const std::string said = testing::internal::GetCapturedStderr();
            EXPECT_EQ(Panes(shown.shell), firstStart);
            EXPECT_EQ(fs::exists(Layout()), asideBlocked);
            if (!asideBlocked) {
                EXPECT_EQ(ReadFile(SetAside()), journalClosed);
            }
            EXPECT_FALSE(fs::exists(Mark()));
            EXPECT_EQ(ReadFile(DefaultLayout()), journalClosed);
            const size_t at = said.find("OrbanexDesk: ");
            ASSERT_NE(at, std::string::npos) << said;
            EXPECT_NE(said.find((asideBlocked ? Layout() : SetAside()).string(), at),
                      std::string::npos)
                << said;
            EXPECT_EQ(said.find("OrbanexDesk: ", at + 1), std::string::npos)
                << "one line: " << said;
            shown.shell.ClosePane(kPaneJournal);
            Settle();
            shown.Close();
        }
        ShownDesk shown;
        EXPECT_TRUE(shown.shell.PaneClosed(kPaneJournal));
        EXPECT_FALSE(fs::exists(Mark()));
    }
}

// The mark stands from the load until the window has painted and settled the
// layout, and again while a layout waiting for its window size is laid out
// later; a mark another start holds is no sign of a crash: that start's layout
// loads, nothing is set aside or said, and its mark stays.
TEST_F(LayoutGuard, TheMarkStandsWhileTheLayoutMayCrashTheWindowAndOnlyAnUnheldOneCounts) {
    WriteFile(Layout(), journalClosed);  // saved at 1600 x 1000
    {
        MGeneral desk;
        desk.Main();
        frmMdiNew& shell = desk.Shell();
        ASSERT_NE(shell.size(), QSize(1600, 1000));
        EXPECT_TRUE(fs::exists(Mark())) << "before the first paint";
        std::optional<bool> markAtPaint;
        {
            Paints look(shell, true,
                        [&] { markAtPaint = markAtPaint.value_or(fs::exists(Mark())); });
            Settle();
        }
        EXPECT_EQ(markAtPaint, true) << "painted, not yet settled";
        EXPECT_FALSE(fs::exists(Mark())) << "painted and settled";
        bool markedWhileLaidOut = false;
        shell.DockingPaneManager().LayingOutWaiting.Connect([&](bool starts) {
            if (starts) markedWhileLaidOut = fs::exists(Mark());
        });
        shell.setWindowState(Qt::WindowNoState);
        shell.resize(1600, 1000);
        Settle();
        EXPECT_TRUE(markedWhileLaidOut) << "the waiting layout";
        EXPECT_FALSE(fs::exists(Mark()));
        EXPECT_TRUE(shell.PaneClosed(kPaneJournal));
    }
    const int other = ::open(Mark().c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
    testing::internal::CaptureStderr();
    {
        ShownDesk shown;
        EXPECT_EQ(testing::internal::GetCapturedStderr().find("OrbanexDesk: "), std::string::npos);
        EXPECT_TRUE(shown.shell.PaneClosed(kPaneJournal));
        EXPECT_FALSE(fs::exists(SetAside()));
    }
    EXPECT_TRUE(fs::exists(Mark()));
    ::close(other);
}

// A window never painted lets the mark go a while after its load settled, not
// before; its layout is loaded all the same.
TEST_F(LayoutGuard, AWindowNeverPaintedLetsTheMarkGoAWhileAfterItsLoad) {
    WriteFile(Layout(), journalClosed);
    platform::ScopedVirtualTime time;
    MGeneral desk;
    desk.Main();
    Paints none(desk.Shell(), false);
    Settle();
    EXPECT_TRUE(fs::exists(Mark())) << "settled, not painted";
    time.Advance(frmMdiNew::kUnpaintedMarkMs - 1);
    EXPECT_TRUE(fs::exists(Mark()));
    time.Advance(1);
    EXPECT_FALSE(fs::exists(Mark()));
    EXPECT_TRUE(desk.Shell().PaneClosed(kPaneJournal));
}

// A layout that cannot be written at the close is said in one line naming the
// file and the reason.
TEST_F(LayoutGuard, AFailedWriteOfTheLayoutIsSaidOnce) {
    fs::create_directories(Layout());  // the target is a folder
    ShownDesk shown;
    testing::internal::CaptureStderr();
    shown.Close();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.rfind("OrbanexDesk: ", 0), 0u) << said;
    EXPECT_NE(said.find(Layout().string()), std::string::npos) << said;
    EXPECT_NE(said.find("Is a directory"), std::string::npos) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << "one line: " << said;
}

}  // namespace
