#include "platform/Timer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/EventLoop.h"

namespace {

using platform::ScopedVirtualTime;
using platform::Timer;

using Log = std::vector<std::pair<std::string, int64_t>>;

// A timer that logs (name, virtual time) on every tick.
std::unique_ptr<Timer> Logged(ScopedVirtualTime& vt, Log& log, std::string name, int32_t ms) {
    auto t = std::make_unique<Timer>();
    t->SetInterval(ms);
    t->Tick.Connect([&vt, &log, name] { log.emplace_back(name, vt.driver().NowMs()); });
    return t;
}

TEST(VirtualTimer, TicksOncePerIntervalOnlyWhileEnabled) {
    ScopedVirtualTime vt;
    Log log;
    auto t = Logged(vt, log, "t", 100);
    EXPECT_EQ(vt.Advance(500), 0u);  // a new timer is off
    t->SetEnabled(true);
    EXPECT_EQ(vt.Advance(99), 0u);
    EXPECT_EQ(vt.Advance(1), 1u);
    EXPECT_EQ(vt.Advance(250), 2u);
    t->SetEnabled(false);
    EXPECT_EQ(vt.Advance(1000), 0u);
    EXPECT_EQ(log, (Log{{"t", 600}, {"t", 700}, {"t", 800}}));
    EXPECT_EQ(vt.driver().RunningTimers(), 0u);
    EXPECT_EQ(vt.driver().NextDueIn(), -1);
}

struct RestartCase {
    const char* name;
    void (*change)(Timer&);
    int64_t firstTickAt;  // the change happens at 60 ms of a 100 ms timer
};

class VirtualTimerRestart : public ::testing::TestWithParam<RestartCase> {};

TEST_P(VirtualTimerRestart, NextTickAfterChange) {
    ScopedVirtualTime vt;
    Log log;
    auto t = Logged(vt, log, "t", 100);
    t->SetEnabled(true);
    vt.Advance(60);
    GetParam().change(*t);
    vt.Advance(1000);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front().second, GetParam().firstTickAt);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VirtualTimerRestart,
    ::testing::Values(
        RestartCase{"OffThenOnRestartsTheCount",
                    [](Timer& t) {
                        t.SetEnabled(false);
                        t.SetEnabled(true);
                    },
                    160},
        RestartCase{"OnAgainKeepsTheCount", [](Timer& t) { t.SetEnabled(true); }, 100},
        RestartCase{"NewIntervalRestarts", [](Timer& t) { t.SetInterval(200); }, 260},
        RestartCase{"SameIntervalKeepsTheCount", [](Timer& t) { t.SetInterval(100); }, 100},
        RestartCase{"ZeroIntervalStopsUntilSetAgain",
                    [](Timer& t) {
                        t.SetInterval(0);
                        t.SetInterval(30);
                    },
                    90}),
    [](const ::testing::TestParamInfo<RestartCase>& info) { return info.param.name; });

TEST(VirtualTimer, TwoTimersInterleaveInTimeThenStartOrder) {
    ScopedVirtualTime vt;
    Log log;
    auto a = Logged(vt, log, "a", 30);
    auto b = Logged(vt, log, "b", 50);
    auto c = Logged(vt, log, "c", 50);
    c->SetEnabled(true);  // started first: wins every tie
    a->SetEnabled(true);
    b->SetEnabled(true);
    EXPECT_EQ(vt.Advance(150), 11u);
    EXPECT_EQ(log, (Log{{"a", 30},
                        {"c", 50},
                        {"b", 50},
                        {"a", 60},
                        {"a", 90},
                        {"c", 100},
                        {"b", 100},
                        {"a", 120},
                        {"c", 150},
                        {"a", 150},
                        {"b", 150}}));
    EXPECT_EQ(vt.driver().NowMs(), 150);
    EXPECT_EQ(vt.driver().NextDueIn(), 30);
}

TEST(VirtualTimer, HandlerStoppingOrStartingTimersIsHonouredAtOnce) {
    ScopedVirtualTime vt;
    Log log;
    auto self = Logged(vt, log, "self", 10);
    auto later = Logged(vt, log, "later", 25);
    auto victim = Logged(vt, log, "victim", 50);
    self->Tick.Connect([&] {
        self->SetEnabled(false);  // one tick only
        later->SetEnabled(true);  // due at 35, inside this Advance
        victim->SetEnabled(false);
    });
    self->SetEnabled(true);
    victim->SetEnabled(true);
    vt.Advance(60);
    EXPECT_EQ(log, (Log{{"self", 10}, {"later", 35}, {"later", 60}}));
}

TEST(VirtualTimer, HandlerMayDestroyItsOwnAndAnotherDueTimer) {
    ScopedVirtualTime vt;
    Log log;
    auto first = Logged(vt, log, "first", 20);
    auto second = Logged(vt, log, "second", 20);  // due at the same moment, after first
    auto third = Logged(vt, log, "third", 30);
    first->Tick.Connect([&] {
        second.reset();
        first.reset();
    });
    first->SetEnabled(true);
    second->SetEnabled(true);
    third->SetEnabled(true);
    EXPECT_EQ(vt.Advance(100), 4u);
    EXPECT_EQ(log, (Log{{"first", 20}, {"third", 30}, {"third", 60}, {"third", 90}}));
    EXPECT_EQ(vt.driver().RunningTimers(), 1u);
}

TEST(VirtualTimer, TimerOutlivingItsScopeMovesToTheLoop) {
    std::unique_ptr<Timer> t;
    {
        ScopedVirtualTime vt;
        t = std::make_unique<Timer>();
        t->SetInterval(1000000);
        t->SetEnabled(true);
    }
    t->SetEnabled(false);
    t->SetEnabled(true);
    t.reset();
    platform::EventLoop::ProcessEvents(0);
}

TEST(LoopTimer, TicksFromTheLoopAndMayDestroyItself) {
    auto t = std::make_unique<Timer>();
    int ticks = 0;
    t->SetInterval(15);
    t->Tick.Connect([&] {
        if (++ticks == 3) t.reset();  // from inside the QTimer's own signal
    });
    t->SetEnabled(true);
    EXPECT_EQ(ticks, 0);  // never inside SetEnabled
    EXPECT_TRUE(platform::EventLoop::RunUntil([&] { return !t; }, 5000));
    ASSERT_TRUE(platform::EventLoop::RunUntilIdle(5000));
    EXPECT_EQ(ticks, 3);
}

}  // namespace
