#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>

#include "platform/TcpSocket.h"
#include "platform/ThreadCheck.h"
#include "platform/Timer.h"

namespace {

// A socket or timer used from a thread other than its creator's would
// register on a loop nobody runs; checked builds stop there, naming it.
TEST(ThreadAffinityDeathTest, SocketsAndTimersStopOnAForeignThread) {
    if (!platform::detail::kCheckThreads) GTEST_SKIP() << "checked builds only";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    struct Case {
        const char* expected;
        std::function<void()> use;
    };
    const Case cases[] = {
        {"TcpSocket::Connect",
         [] {
             platform::TcpSocket socket;
             std::thread([&] { socket.Connect("127.0.0.1", 9); }).join();
         }},
        {"TcpSocket::Send",
         [] {
             platform::TcpSocket socket;
             std::thread([&] { socket.Send("x"); }).join();
         }},
        {"TcpSocket::Close",
         [] {
             platform::TcpSocket socket;
             std::thread([&] { socket.Close(); }).join();
         }},
        {"Timer::SetEnabled",
         [] {
             platform::Timer timer;
             timer.SetInterval(10);
             std::thread([&] { timer.SetEnabled(true); }).join();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_DEATH(c.use(), c.expected);
    }
    // On its own thread each is fine.
    platform::Timer timer;
    timer.SetInterval(10);
    timer.SetEnabled(true);
    EXPECT_TRUE(timer.Enabled());
}

}  // namespace
