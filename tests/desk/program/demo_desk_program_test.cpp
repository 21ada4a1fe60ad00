// The programs as a dealer starts them: the simulated server on its demo book, a
// new home seeded with its accounts, the desk offscreen on that home. Every
// demo account logs in, and the credentials at rest are the owner's alone.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "desk/common/AccountLines.h"
#include "runtime/Strings.h"
#include "tests/support/TempProgramFolder.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr auto kWait = 20s;

struct Child {
    pid_t pid = -1;
    int out = -1;
};

// Starts `program` with its output on a pipe (or nowhere) and no error output.
Child Start(const std::string& program, const std::vector<std::string>& args, bool pipeOut) {
    int fds[2] = {-1, -1};
    if (pipeOut && pipe(fds) != 0) return {};
    const pid_t pid = fork();
    if (pid == 0) {
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(pipeOut ? fds[1] : quiet, STDOUT_FILENO);
        dup2(quiet, STDERR_FILENO);
        if (pipeOut) {
            close(fds[0]);
            close(fds[1]);
        }
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    if (pipeOut) close(fds[1]);
    return {pid, pipeOut ? fds[0] : -1};
}

std::vector<std::string> ReadOutputLines(int fd, size_t count) {
    std::vector<std::string> lines;
    std::string partial;
    const auto end = std::chrono::steady_clock::now() + kWait;
    while (lines.size() < count && std::chrono::steady_clock::now() < end) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0) continue;
        char buf[512];
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n <= 0) break;
        partial.append(buf, static_cast<size_t>(n));
        for (size_t at; (at = partial.find('\n')) != std::string::npos;) {
            lines.push_back(partial.substr(0, at));
            partial.erase(0, at + 1);
        }
    }
    return lines;
}

// The exit status, or -1 after a kill when it has not ended in time.
int Stop(pid_t pid, int sig) {
    if (pid <= 0) return -1;
    kill(pid, sig);
    const auto end = std::chrono::steady_clock::now() + kWait;
    int status = 0;
    while (std::chrono::steady_clock::now() < end) {
        if (waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(20ms);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
}

int Mode(const fs::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<int>(st.st_mode & 0777) : -1;
}

TEST(DemoDeskProgram, SeededHomeLogsEveryDemoAccountInWithPrivateFiles) {
    testsupport::TempProgramFolder scratch{"desk-demo-program"};
    const fs::path home = scratch.Path() / "home";

    Child server = Start(SIMSERVER_PROGRAM, {"--demo", "--listen", "127.0.0.1:0"}, true);
    ASSERT_GT(server.pid, 0);
    const auto lines = ReadOutputLines(server.out, 4);
    ASSERT_EQ(lines.size(), 4u);
    const std::string address = lines[0].substr(lines[0].rfind(' ') + 1);
    std::vector<std::string> seedArgs{home.string(), address};
    for (size_t i = 1; i < lines.size(); ++i)
        for (const auto& field : runtime::Split(lines[i], " ")) seedArgs.push_back(field);
    const Child seed = Start(DEMO_HOME_PROGRAM, seedArgs, false);
    ASSERT_EQ(Stop(seed.pid, 0), 0);

    const Child desk = Start(DESK_PROGRAM, {"--home", home.string()}, false);
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

    EXPECT_NE(Stop(desk.pid, SIGTERM), -1);
    EXPECT_EQ(Stop(server.pid, SIGTERM), 0);
    close(server.out);
}

}  // namespace
