// OrbanexDesk: the dealing desk. `--home DIR` names the program folder.
#include <QApplication>
#include <cstdio>
#include <exception>

#include "desk/AssetsDir.h"
#include "desk/MGeneralMain.h"
#include "desk/shell/frmMdiNew.h"
#include "platform/EventLoop.h"
#include "platform/Paths.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    try {
        platform::InitProgramFolder(argc, argv, OrbanexDesk::kAssetsDir);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "OrbanexDesk: cannot use the program folder: %s\n", e.what());
        return 2;
    }
    OrbanexDesk::MGeneral desk;
    // Noted from now on; the loop, which starts after the shell is up, closes it.
    platform::EventLoop::EndOnSignals([&desk] { desk.Shell().close(); });
    desk.Main();
    const int code = app.exec();
    desk.End();
    return code;
}
