// desk_screenshots OUTDIR: runs the real desk offscreen in a temporary program
// folder seeded from the assets, at 1600 x 1000, and writes PNGs of the main
// window, each pane, a message box and the re-quote dialog for a human look,
// then the command bars: the ribbon on each tab with the system menu open, the
// "&Trade Panel" drop-down, the simple interface with each menu open, the four
// context menus and the status bar; then closes the shell and keeps the layout
// it wrote (Interface.vfx) beside them.
#include <QApplication>
#include <QDockWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QStatusBar>
#include <QToolButton>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "desk/AssetsDir.h"
#include "desk/MGeneralMain.h"
#include "desk/common/PaneTable.h"
#include "desk/sessions/PriceChangedPresenter.h"
#include "desk/shell/CDockable.h"
#include "desk/shell/CommandBarTables.h"
#include "desk/shell/frmMdiNew.h"
#include "desk/ui/DeskMessages.h"
#include "desk/ui/frmPriceChanged.h"
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
    for (const char* p = title; *p; ++p)
        if (*p != '&' && *p != '/') s += *p == ' ' ? '-' : *p;
    return s;
}

// The window with an open menu painted where it shows (menus are windows of
// their own, so a grab of the window misses them); the menu closes after.
bool SaveWithMenu(QWidget& window, QMenu& menu, const QPoint& at, const fs::path& file) {
    menu.popup(at);
    Settle();
    QPixmap shot = window.grab();
    {
        QPainter painter(&shot);
        painter.drawPixmap(window.mapFromGlobal(menu.pos()), menu.grab());
    }
    menu.close();
    const bool ok = shot.save(QString::fromStdString(file.string()), "PNG");
    if (!ok) std::fprintf(stderr, "desk_screenshots: cannot write %s\n", file.c_str());
    return ok;
}

QMenu& MenuOf(platform::widgets::CommandBarControl& control) {
    return static_cast<QMenu&>(control.DropDownBar()->Widget());
}

QPoint Below(QWidget& widget) {
    return widget.mapToGlobal(QPoint(0, widget.height()));
}

bool SaveCommandBars(OrbanexDesk::frmMdiNew& shell, const fs::path& out) {
    using namespace OrbanexDesk;
    bool ok = true;
    auto& ribbon = *shell.Dockable().RibbonBar();
    auto& system = ribbon.Control(1);
    for (size_t t = 1; t <= ribbon.TabCount(); ++t) {
        ribbon.setSelectedTab(t);
        const std::string name = "ribbon-" + Slug(ribbon.Tab(t).Caption().c_str()) + ".png";
        ok = SaveWithMenu(shell, MenuOf(system), Below(*system.ToolButton()), out / name) && ok;
    }
    ribbon.setSelectedTab(2);
    auto& split = *ribbon.FindControl(kTradePanelSplit);
    ok = SaveWithMenu(shell, MenuOf(split), Below(*split.ToolButton()),
                      out / "ribbon-Trade-Panel.png") &&
         ok;
    for (const BarTable& bar : kContextBars) {
        auto& menu = static_cast<QMenu&>(shell.CommandBars().FindContextMenu(bar.id)->Widget());
        ok = SaveWithMenu(shell, menu, shell.mapToGlobal(shell.rect().center()),
                          out / ("context-" + Slug(bar.title) + ".png")) &&
             ok;
    }
    ok = Save(*shell.statusBar(), out / "status-bar.png") && ok;
    shell.ResetMenuBar();
    Settle();
    auto& menuBar = *shell.CommandBars().ActiveMenuBar();
    auto& bar = static_cast<QMenuBar&>(menuBar.Widget());
    for (size_t i = 1; i <= menuBar.ControlCount(); ++i) {
        auto& popup = menuBar.Control(i);
        const QRect place = bar.actionGeometry(popup.Action());
        ok = SaveWithMenu(shell, MenuOf(popup), bar.mapToGlobal(place.bottomLeft()),
                          out / ("simple-" + Slug(popup.Caption().c_str()) + ".png")) &&
             ok;
    }
    shell.CreateRibbonBar();
    Settle();
    return ok;
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
        OrbanexDesk::PriceChangedPresenter requote(desk.Services());
        requote.SetData(nullptr, 5001, 70, OrbanelGeneral10::BuyType, 1, nullptr, 1.0852, 1.0855, 0,
                        9, 10);
        if (auto* window = dynamic_cast<QWidget*>(requote.View()))
            ok = Save(*window, out / "requote-dialog.png") && ok;
        else
            ok = false;
        requote.Dismiss();
        ok = SaveCommandBars(shell, out) && ok;
        shell.close();
        desk.End();
        fs::copy_file(home / "Manage" / "Interface.vfx", out / "Interface.vfx",
                      fs::copy_options::overwrite_existing, ec);
        code = ok ? 0 : 1;
    }
    fs::remove_all(home, ec);
    return code;
}
