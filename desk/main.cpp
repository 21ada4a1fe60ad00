// OrbanexDesk: the dealing desk. `--home DIR` names the program folder.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string_view>

#include "desk/AssetsDir.h"
#include "desk/MGeneralMain.h"
#include "desk/shell/frmMdiNew.h"
#include "platform/EventLoop.h"
#include "platform/Paths.h"

namespace {

constexpr const char* kUsage =
    "Usage: OrbanexDesk [--home DIR] [toolkit options, such as -platform offscreen]\n"
    "  --home DIR  the program folder (else $ORBANEX_HOME, else $XDG_DATA_HOME/OrbanexDesk,\n"
    "              else ~/.local/share/OrbanexDesk), made and seeded when missing\n"
    "  --help      show this and exit\n"
    "Without a display, run it with QT_QPA_PLATFORM=offscreen.\n";

bool EnvironmentSet(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

// Anywhere but as --home's folder.
bool AsksForHelp(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg(argv[i]);
        if (arg == "--home")
            ++i;
        else if (arg == "--help" || arg == "-h")
            return true;
    }
    return false;
}

// Where none is, the toolkit aborts the program without a word of how to run it.
bool DisplayOrPlatformGiven(int argc, char** argv) {
    if (EnvironmentSet("DISPLAY") || EnvironmentSet("WAYLAND_DISPLAY") ||
        EnvironmentSet("QT_QPA_PLATFORM"))
        return true;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg(argv[i]);
        if (arg == "-platform" || arg == "--platform") return true;
    }
    return false;
}

// After the toolkit took its own options only --home may be left; a typo must
// not start the desk on the default home, logging its accounts in.
const char* UnknownArgument(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg(argv[i]);
        if (arg == "--home")
            ++i;  // a missing folder is the program folder's to refuse
        else if (!arg.starts_with("--home="))
            return argv[i];
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    if (AsksForHelp(argc, argv)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (!DisplayOrPlatformGiven(argc, argv)) {
        std::fputs(
            "OrbanexDesk: no display: run it in a desktop session, or with "
            "QT_QPA_PLATFORM=offscreen to run it without one\n",
            stderr);
        return 2;
    }
    QApplication app(argc, argv);
    if (const char* unknown = UnknownArgument(argc, argv)) {
        std::fprintf(stderr, "OrbanexDesk: unknown argument %s\n%s", unknown, kUsage);
        return 2;
    }
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
