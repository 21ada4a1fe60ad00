// desk_screenshots OUTDIR: runs the real desk offscreen in a temporary program
// folder seeded from the assets, at 1600 x 1000, and writes PNGs of the main
// window, each pane and a message box for a human look; then closes the shell
// and keeps the layout it wrote (Interface.vfx) beside them.
#include <QApplication>
#include <QDockWidget>
#include <QPixmap>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "desk/AssetsDir.h"
#include "desk/MGeneralMain.h"
#include "desk/common/PaneTable.h"
#include "desk/shell/frmMdiNew.h"
#include "desk/ui/DeskMessages.h"
#include "platform/Paths.h"

namespace fs = std::filesystem;

namespace {

void Settle() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

bool Save(QWidget& widget, const fs::path& file) {
    Settle();
    const bool ok = widget.grab().save(QString::fromStdString(file.string()), "PNG");
    if (!ok) std::fprintf(stderr, "desk_screenshots: cannot write %s\n", file.c_str());
    return ok;
}

std::string Slug(const char* title) {
    std::string s;
    for (const char* p = title; *p; ++p) s += *p == ' ' ? '-' : *p;
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: desk_screenshots OUTDIR\n");
        return 2;
    }
    const fs::path out = fs::absolute(argv[1]);
    std::error_code ec;
    fs::create_directories(out, ec);
    if (!fs::is_directory(out)) {
        std::fprintf(stderr, "desk_screenshots: cannot make %s\n", out.c_str());
        return 2;
    }
    if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::string pattern = (fs::temp_directory_path() / "desk-shots-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) return 2;
    const fs::path home = pattern;

    int code = 0;
    {
        QApplication app(argc, argv);
        char flag[] = "--home";
        std::string homeText = home.string();
        char* homeArgs[] = {argv[0], flag, homeText.data(), nullptr};
        platform::InitProgramFolder(3, homeArgs, OrbanexDesk::kAssetsDir);

        OrbanexDesk::MGeneral desk;
        desk.Main();
        auto& shell = desk.Shell();
        shell.setWindowState(Qt::WindowNoState);
        shell.resize(1600, 1000);
        bool ok = Save(shell, out / "main-window.png");
        for (const OrbanexDesk::PaneRow& row : OrbanexDesk::kPaneTable) {
            shell.SelectPane(row.id);
            ok = Save(shell.GetPane(row.id)->Dock(), out / ("pane-" + Slug(row.title) + ".png")) &&
                 ok;
        }
        desk.Messages().ShowMessage("The account 70 was logged out by the server.", "##DEF##",
                                    false);
        if (auto box = desk.Messages().LastShown(); box && box->Window())
            ok = Save(*box->Window(), out / "message-box.png") && ok;
        else
            ok = false;
        shell.close();
        desk.End();
        fs::copy_file(home / "Manage" / "Interface.vfx", out / "Interface.vfx",
                      fs::copy_options::overwrite_existing, ec);
        code = ok ? 0 : 1;
    }
    fs::remove_all(home, ec);
    return code;
}
