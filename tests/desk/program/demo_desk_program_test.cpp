// The programs as a dealer starts them: the simulated server on its demo book, a
// new home seeded with its accounts, the desk offscreen on that home. Every
// demo account logs in, the credentials at rest are the owner's alone, and a
// signal ends the desk as its close does.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "desk/common/AccountLines.h"
#include "runtime/Strings.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempProgramFolder.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr auto kWait = 20s;

int Mode(const fs::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<int>(st.st_mode & 0777) : -1;
}

TEST(DemoDeskProgram, SeededHomeLogsEveryDemoAccountInWithPrivateFiles) {
    testsupport::TempProgramFolder scratch{"desk-demo-program"};
    const fs::path home = scratch.Path() / "home";

    testsupport::Child server =
        testsupport::StartChild(SIMSERVER_PROGRAM, {"--demo", "--listen", "127.0.0.1:0"});
    ASSERT_GT(server.pid, 0);
    const auto lines = testsupport::ReadChildLines(server.out, 4, kWait);
    ASSERT_EQ(lines.size(), 4u);
    const std::string address = lines[0].substr(lines[0].rfind(' ') + 1);
    std::vector<std::string> seedArgs{home.string(), address};
    for (size_t i = 1; i < lines.size(); ++i)
        for (const auto& field : runtime::Split(lines[i], " ")) seedArgs.push_back(field);
    const testsupport::Child seed = testsupport::StartChild(DEMO_HOME_PROGRAM, seedArgs, false);
    ASSERT_EQ(testsupport::StopChild(seed.pid, 0, kWait), 0);

    const testsupport::Child desk = testsupport::StartChild(
        DESK_PROGRAM, {"--home", home.string()}, false, {{"QT_QPA_PLATFORM", "offscreen"}});
    ASSERT_GT(desk.pid, 0);
    const fs::path connected = home / "saveconnected.buf";
    size_t count = 0;
    for (auto end = std::chrono::steady_clock::now() + kWait;
         count < 3 && std::chrono::steady_clock::now() < end; std::this_thread::sleep_for(50ms)) {
        try {
            count = OrbanexDesk::ReadLines(connected).size();
        } catch (...) {
            count = 0;
        }
    }
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(Mode(home), 0700);
    // Letter case as the first writer made the folder.
    const fs::path manage = home / (fs::exists(home / "manage") ? "manage" : "Manage");
    EXPECT_EQ(Mode(manage / "Acountinfo.buf"), 0600);
    EXPECT_EQ(Mode(home / "savelvinfo.buf"), 0600);
    EXPECT_EQ(Mode(connected), 0600);

    // A desktop logout ends it as its close does: the layout written, no mark left.
    EXPECT_EQ(testsupport::StopChild(desk.pid, SIGTERM, kWait), 0);
    const fs::path layout = manage / "Interface.vfx";
    std::ifstream saved(layout, std::ios::binary);
    std::string panes;
    EXPECT_TRUE(std::getline(saved, panes) && panes.rfind("DP2:", 0) == 0) << panes;
    EXPECT_FALSE(fs::exists(layout.string() + ".loading"));
    EXPECT_EQ(testsupport::StopChild(server.pid, SIGTERM, kWait), 0);
    close(server.out);
}

}  // namespace
