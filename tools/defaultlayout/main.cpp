// orbanex_default_layout ASSETS_DIR: writes ASSETS_DIR/Manage/InterfaceDefault.vfx,
// the layout Reset Interface loads. Line 1 is the panes' arrangement that a first
// start of the desk leaves on close, in a 1600 x 1000 window on an offscreen
// screen of that size. Line 2 is the command bars' tag alone, a text the bars
// refuse, so Reset leaves them as they are (a first start's own line would hide
// the simple interface's toolbars).
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "desk/AssetsDir.h"
#include "desk/MGeneralMain.h"
#include "desk/shell/LayoutFile.h"
#include "desk/shell/frmMdiNew.h"
#include "platform/EventLoop.h"
#include "platform/Paths.h"

namespace fs = std::filesystem;

namespace {

constexpr int kWidth = 1600;
constexpr int kHeight = 1000;
constexpr const char* kBarsLine = "CB1";

// The window takes the whole screen, so the first start is laid out at the
// size the text keeps, with no later refit.
void UseScreenOfTheWindowsSize(const fs::path& folder) {
    const fs::path config = folder / "screen.json";
    std::ofstream(config) << R"({"windowFrameMargins": false, "screens": [{"name": "layout", )"
                          << R"("x": 0, "y": 0, "width": )" << kWidth << R"(, "height": )"
                          << kHeight << R"(, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})";
    ::setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config.string()).c_str(), 1);
}

// The panes' line the desk writes on close after its first start.
std::string FirstStartPanesLine(int argc, char** argv, const fs::path& home) {
    QApplication app(argc, argv);
    char flag[] = "--home";
    std::string homeText = home.string();
    char* homeArgs[] = {argv[0], flag, homeText.data(), nullptr};
    platform::InitProgramFolder(3, homeArgs, OrbanexDesk::kAssetsDir);
    fs::remove(home / "Manage" / "Interface.vfx");
    platform::EventLoop::Ensure();
    {
        OrbanexDesk::MGeneral desk;
        desk.Main();
        OrbanexDesk::frmMdiNew& shell = desk.Shell();
        shell.setWindowState(Qt::WindowNoState);
        shell.resize(kWidth, kHeight);
        platform::EventLoop::RunFor(300);
        shell.close();
        desk.End();
    }
    return OrbanexDesk::ReadLayoutLines(platform::ResolvePath("\\Manage\\Interface.vfx"))[0];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s ASSETS_DIR\n", argv[0]);
        return 2;
    }
    std::string pattern = (fs::temp_directory_path() / "default-layout-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) return 2;
    const fs::path home = pattern;
    UseScreenOfTheWindowsSize(home);
    const std::string panes = FirstStartPanesLine(argc, argv, home);
    std::error_code ec;
    fs::remove_all(home, ec);
    if (panes.rfind("DP2:" + std::to_string(kWidth) + ":" + std::to_string(kHeight) + ":", 0) !=
        0) {
        std::fprintf(stderr, "%s: the desk left no layout of a %d x %d window\n", argv[0], kWidth,
                     kHeight);
        return 1;
    }
    const fs::path file = fs::path(argv[1]) / "Manage" / "InterfaceDefault.vfx";
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << panes << "\r\n" << kBarsLine;
    if (!out.flush()) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], file.c_str());
        return 1;
    }
    return 0;
}
