// The orbanex-simserver program: its demo lines, a login against it, a user's
// connection closed and its logins refused on signals, its end on SIGTERM, and
// its usage.
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
#include "tests/support/ChildProcess.h"

namespace {

using testsupport::Child;
using namespace std::chrono_literals;

Child Start(const std::vector<std::string>& args) {
    return testsupport::StartChild(SIMSERVER_PROGRAM, args);
}

TEST(SimServerProgram, DemoPrintsItsAddressAndOneLinePerAccountServesAndEndsOnSigterm) {
    const Child child = Start({"--demo", "--listen", "127.0.0.1:0", "--quote-ms", "50",
                               "--accounts", "2", "--positions", "3", "--drop-user", "TRADER2"});
    ASSERT_GT(child.pid, 0);
    const auto lines = testsupport::ReadChildLines(child.out, 6, 5s);
    ASSERT_EQ(lines.size(), 6u);
    const std::string prefix = "listening on 127.0.0.1:";
    ASSERT_EQ(lines[0].rfind(prefix, 0), 0u) << lines[0];
    const std::string digits = lines[0].substr(prefix.size());
    ASSERT_TRUE(!digits.empty() && digits.find_first_not_of("0123456789") == std::string::npos)
        << lines[0];
    const int port = std::stoi(digits);
    EXPECT_GT(port, 0);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.end()),
              (std::vector<std::string>{"DEALER1 ALPHA1 10001", "DEALER2 BRAVO2 10002",
                                        "DEALER3 CHARLIE3 10003", "TRADER1 PASS1 20001",
                                        "TRADER2 PASS2 20002"}));

    // The printed credentials log in.
    KVClientDLL10::CKVClient client;
    client.setTokens(std::make_shared<OrbanelGeneral10::CTokens>());
    client.setServerAddress("127.0.0.1");
    client.setServerPort(port);
    client.setLoginUN("TRADER2");
    client.setLoginPW("PASS2");
    client.setLoginType("CLIENTAPI");
    client.Login();
    EXPECT_TRUE(platform::EventLoop::RunUntil([&] { return client.LogedOn(); }, 5000));

    // SIGUSR2 refuses the user's logins; SIGUSR1 then closes its connection from the
    // server's side, and the client's login again is refused.
    bool refused = false;
    client.InvalidUsernamePassword.Connect([&] { refused = true; });
    kill(child.pid, SIGUSR2);
    EXPECT_EQ(testsupport::ReadChildLines(child.out, 1, 5s),
              std::vector<std::string>{"TRADER2: logins refused"});
    kill(child.pid, SIGUSR1);
    EXPECT_TRUE(platform::EventLoop::RunUntil([&] { return refused; }, 5000));
    client.Disconnect(false);

    EXPECT_EQ(testsupport::StopChild(child.pid, SIGTERM, 5s), 0);
    close(child.out);
}

TEST(SimServerProgram, ShowsItsUsageWithoutDemoOrWithABadArgument) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{},
                                                 {"--listen", "127.0.0.1:0"},
                                                 {"--demo", "--listen", "nohost"},
                                                 {"--demo", "--quote-ms", "0"},
                                                 {"--demo", "--positions", "2"},
                                                 {"--demo", "--seed"},
                                                 {"--demo", "--drop-user", "NOBODY"}}) {
        const Child child = Start(args);
        ASSERT_GT(child.pid, 0);
        EXPECT_EQ(testsupport::StopChild(child.pid, 0, 5s), 2) << args.size() << " arguments";
        close(child.out);
    }
}

}  // namespace
