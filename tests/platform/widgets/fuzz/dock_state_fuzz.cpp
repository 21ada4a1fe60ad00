// libFuzzer target: a window state that DockStateWhole passes never crashes the
// window. Each passing state is loaded, as a layout line, into a shown window
// that holds the desk's nine panes and two toolbars (offscreen), laid out and
// painted, and the window is then put back. Its floating toolbars brought onto
// the screens stay whole, and no floating toolbar the load leaves is larger than
// the largest screen or off every screen. Every build makes
// dock_state_fuzz_replay, which ctest runs over fuzz/seeds (make_seeds.sh writes
// them). With clang, from the repository's root:
//
//   CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DFUZZ=ON
//   cmake --build build-fuzz --target dock_state_fuzz
//   ASAN_OPTIONS=detect_leaks=0 build-fuzz/tests/platform/widgets/dock_state_fuzz
//       corpus tests/platform/widgets/fuzz/seeds -max_total_time=600 -rss_limit_mb=6000
//
// (the window keeps some memory at every restore; two screens: set
// QT_QPA_PLATFORM=offscreen:configfile=tests/platform/widgets/fuzz/two-screens.json).
// With FUZZ_SEEDS_OUT=DIR set, it writes the states of a few arrangements of
// that window to DIR as seeds and exits.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QToolBar>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/widgets/DockStateCheck.h"
#include "platform/widgets/DockingPanes.h"

namespace {

using platform::widgets::DockingPane;
using platform::widgets::DockingPanes;

struct Window {
    QMainWindow window;
    DockingPanes panes{window};
    QByteArray home;
};
Window* shown = nullptr;

// The desk's panes: id, width, height, side, the neighbour and the tab group.
void CreatePanes(DockingPanes& panes) {
    const struct {
        int32_t id, width, height, side, neighbour, tabWith;
    } table[] = {
        {100000, 200, 120, 1, 0, 0},           {100002, 200, 120, 0, 0, 0},
        {100001, 200, 120, 0, 0, 100002},      {100048, 200, 120, 0, 0, 100001},
        {100004, 200, 120, 3, 0, 0},           {100005, 400, 200, 3, 0, 0},
        {100037, 200, 120, 1, 100002, 100005}, {100038, 200, 120, 1, 100002, 100037},
        {100044, 200, 120, 3, 0, 100038},
    };
    for (const auto& row : table) {
        DockingPane& pane =
            panes.CreatePane(row.id, row.width, row.height, row.side,
                             row.neighbour ? panes.FindPane(row.neighbour) : nullptr);
        if (row.tabWith) pane.AttachTo(*panes.FindPane(row.tabWith));
    }
}

void AddToolBars(QMainWindow& window) {
    for (const char* name : {"Bar2:Standard Toolbar", "Bar3:Login Toolbar"}) {
        QToolBar* bar = window.addToolBar(name);
        bar->setObjectName(name);
        bar->addAction(name);
    }
}

// Aborts on a floating toolbar that outgrows the largest screen or misses them all.
void CheckToolBarsOnScreens(QMainWindow& window) {
    QSize largest;
    for (const QScreen* screen : QGuiApplication::screens())
        largest = largest.expandedTo(screen->availableGeometry().size());
    for (const QToolBar* bar : window.findChildren<QToolBar*>()) {
        if (!bar->isFloating()) continue;
        bool onScreen = false;
        for (const QScreen* screen : QGuiApplication::screens())
            onScreen = onScreen || screen->availableGeometry().intersects(bar->geometry());
        if (!onScreen || largest.expandedTo(bar->size()) != largest) std::abort();
    }
}

std::string Line(const QByteArray& state) {
    return "DP1:" + std::to_string(state.size()) + ":" + std::to_string(qChecksum(state)) + ":" +
           state.toBase64().toStdString();
}

void Turn() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

void WriteSeeds(Window& w, const QString& folder) {
    QDir().mkpath(folder);
    DockingPane& watch = *w.panes.FindPane(100000);
    DockingPane& accounts = *w.panes.FindPane(100004);
    QToolBar* bar = w.window.findChildren<QToolBar*>().value(0);
    const std::vector<std::pair<const char*, std::function<void()>>> steps = {
        {"first", [] {}},
        {"closed", [&] { w.panes.FindPane(100038)->Close(); }},
        {"tabbed", [&] { accounts.AttachTo(watch); }},
        {"split",
         [&] {
             w.window.splitDockWidget(&watch.Dock(), &w.panes.FindPane(100002)->Dock(),
                                      Qt::Horizontal);
         }},
        {"floating", [&] { accounts.Dock().setFloating(true); }},
        {"toolbar left", [&] { w.window.addToolBar(Qt::LeftToolBarArea, bar); }},
        {"toolbar hidden", [&] { bar->hide(); }},
    };
    int n = 0;
    for (const auto& [name, step] : steps) {
        step();
        Turn();
        for (int version : {1, 2}) {
            QFile file(folder + QString("/%1-%2-v%3").arg(++n).arg(name).arg(version));
            if (file.open(QIODevice::WriteOnly)) file.write(w.window.saveState(version));
        }
    }
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // Offscreen unless a run chose its own (the two screens' configuration).
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(*argc, *argv);  // lives as long as the process
    shown = new Window;
    CreatePanes(shown->panes);
    AddToolBars(shown->window);
    shown->window.resize(1600, 1000);
    shown->window.show();
    Turn();
    if (const char* folder = std::getenv("FUZZ_SEEDS_OUT")) {
        WriteSeeds(*shown, folder);
        std::exit(0);
    }
    shown->home = shown->window.saveState(2);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray state(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (!platform::widgets::DockStateWhole(state)) return 0;
    const std::optional<QByteArray> fitted = platform::widgets::ToolBarsOnScreens(state);
    if (!fitted || !platform::widgets::DockStateWhole(*fitted)) std::abort();
    // As a line the desk reads: the text's own checks pass, the state decides
    // (the window may still refuse it, for one: another version).
    shown->panes.LoadLayout(Line(state));
    Turn();
    CheckToolBarsOnScreens(shown->window);
    shown->window.repaint();
    shown->window.resize(1200, 800);
    Turn();
    shown->window.resize(1600, 1000);
    shown->panes.LoadLayout(Line(shown->home));
    Turn();
    return 0;
}
