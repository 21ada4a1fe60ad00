// The orbanex-simserver program: its demo lines, a login against it, its end
// on SIGTERM, and its usage.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "connection/CKVClient.h"
#include "general/common/CTokens.h"
#include "platform/EventLoop.h"

namespace {

struct Child {
    pid_t pid = -1;
    int out = -1;
};

Child Start(const std::vector<std::string>& args) {
    int fds[2];
    if (pipe(fds) != 0) return {};
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], STDOUT_FILENO);
        const int quiet = open("/dev/null", O_WRONLY);  // the usage text
        if (quiet >= 0) dup2(quiet, STDERR_FILENO);
        close(fds[0]);
        close(fds[1]);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(SIMSERVER_PROGRAM));
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(SIMSERVER_PROGRAM, argv.data());
        _exit(127);
    }
    close(fds[1]);
    return {pid, fds[0]};
}

// Lines of the child's output until `count` have come or `ms` have passed.
std::vector<std::string> ReadLines(int fd, size_t count, int ms) {
    std::vector<std::string> lines;
    std::string partial;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
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

// The child's exit status, or -1 when it has not ended within `ms`.
int WaitExit(pid_t pid, int ms) {
    for (int waited = 0; waited <= ms; waited += 20) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
}

TEST(SimServerProgram, DemoPrintsItsAddressAndOneLinePerAccountServesAndEndsOnSigterm) {
    const Child child = Start({"--demo", "--listen", "127.0.0.1:0", "--quote-ms", "50"});
    ASSERT_GT(child.pid, 0);
    const auto lines = ReadLines(child.out, 4, 5000);
    ASSERT_EQ(lines.size(), 4u);
    const std::string prefix = "listening on 127.0.0.1:";
    ASSERT_EQ(lines[0].rfind(prefix, 0), 0u) << lines[0];
    const std::string digits = lines[0].substr(prefix.size());
    ASSERT_TRUE(!digits.empty() && digits.find_first_not_of("0123456789") == std::string::npos)
        << lines[0];
    const int port = std::stoi(digits);
    EXPECT_GT(port, 0);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.end()),
              (std::vector<std::string>{"DEALER1 ALPHA1 10001", "DEALER2 BRAVO2 10002",
                                        "DEALER3 CHARLIE3 10003"}));

    // The printed credentials log in.
    KVClientDLL10::CKVClient client;
    client.setTokens(std::make_shared<OrbanelGeneral10::CTokens>());
    client.setServerAddress("127.0.0.1");
    client.setServerPort(port);
    client.setLoginUN("DEALER2");
    client.setLoginPW("BRAVO2");
    client.setLoginType("CLIENTAPI");
    client.Login();
    EXPECT_TRUE(platform::EventLoop::RunUntil([&] { return client.LogedOn(); }, 5000));
    client.Disconnect(false);

    kill(child.pid, SIGTERM);
    EXPECT_EQ(WaitExit(child.pid, 5000), 0);
    close(child.out);
}

TEST(SimServerProgram, ShowsItsUsageWithoutDemoOrWithABadArgument) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{},
                                                 {"--listen", "127.0.0.1:0"},
                                                 {"--demo", "--listen", "nohost"},
                                                 {"--demo", "--quote-ms", "0"},
                                                 {"--demo", "--seed"}}) {
        const Child child = Start(args);
        ASSERT_GT(child.pid, 0);
        EXPECT_EQ(WaitExit(child.pid, 5000), 2) << args.size() << " arguments";
        close(child.out);
    }
}

}  // namespace
