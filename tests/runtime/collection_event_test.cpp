#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/Collection.h"
#include "runtime/Error.h"
#include "runtime/Event.h"

using namespace runtime;

namespace {

TEST(Collection, KeysPositionsAndMisses) {
    Collection<std::string> c;
    c.Add("one", "K1");
    c.Add("two");
    c.Add("three", "k3");
    EXPECT_EQ(c.Count(), 3);
    EXPECT_EQ(c.Item("k1"), "one");
    EXPECT_EQ(c.Item("K3"), "three");
    EXPECT_EQ(c.Item(2), "two");
    EXPECT_EQ(c.Item("nope"), "");
    EXPECT_EQ(c.Item(""), "");
    EXPECT_EQ(c.Item(0), "");
    EXPECT_EQ(c.Item(4), "");
    EXPECT_TRUE(c.Contains("k1"));
    ASSERT_NE(c.Find("K3", nullptr), nullptr);
    EXPECT_EQ(*c.Find("K3", nullptr), "three");
    EXPECT_EQ(c.Find("x", nullptr), nullptr);
    EXPECT_EQ(c.KeyAt(1), "K1");
    EXPECT_EQ(c.KeyAt(2), "");
    try {
        c.KeyAt(4);
        ADD_FAILURE();
    } catch (const Error& e) {
        EXPECT_EQ(e.Number(), errc::SubscriptOutOfRange);
    }
}

TEST(Collection, DuplicateKeyLeavesItUnchanged) {
    Collection<int> c;
    c.Add(1, "a");
    c.Add(2, "b");
    try {
        c.Add(3, "A");
        ADD_FAILURE();
    } catch (const Error& e) {
        EXPECT_EQ(e.Number(), errc::DuplicateKey);
    }
    EXPECT_EQ(c.Count(), 2);
    EXPECT_EQ(c.Item("a"), 1);
    EXPECT_EQ(c.Items(), (std::vector<int>{1, 2}));
}

TEST(Collection, RemoveShiftsPositionsAndKeys) {
    Collection<int> c;
    for (int i = 1; i <= 5; ++i) c.Add(i * 10, "k" + std::to_string(i));
    EXPECT_FALSE(c.Remove("absent"));
    EXPECT_FALSE(c.Remove(0));
    EXPECT_FALSE(c.Remove(6));
    EXPECT_TRUE(c.Remove("K2"));
    EXPECT_EQ(c.Items(), (std::vector<int>{10, 30, 40, 50}));
    EXPECT_EQ(c.Item(2), 30);
    EXPECT_EQ(c.Item("k4"), 40);
    EXPECT_TRUE(c.Remove(1));
    EXPECT_EQ(c.Item("k5"), 50);
    EXPECT_EQ(c.Item(3), 50);
    EXPECT_EQ(c.Item("k1"), 0);
    c.Add(99, "k1");  // a removed key may come back
    EXPECT_EQ(c.Item(4), 99);
    EXPECT_TRUE(c.Remove("k5"));
    EXPECT_EQ(c.Item("k1"), 99);
    c.Clear();
    EXPECT_TRUE(c.Empty());
    EXPECT_EQ(c.Item("k1"), 0);
}

TEST(Event, HandlersRunInOrderAndAnswerByReference) {
    Event<int, bool&> e;
    std::vector<int> calls;
    e.Connect([&](int v, bool& cancel) {
        calls.push_back(v);
        cancel = false;
    });
    e.Connect([&](int v, bool& cancel) {
        calls.push_back(v * 10);
        cancel = true;
    });
    bool cancel = false;
    e(3, cancel);
    EXPECT_TRUE(cancel);
    EXPECT_EQ(calls, (std::vector<int>{3, 30}));
}

TEST(Event, DisconnectingDuringARaise) {
    Event<> e;
    std::vector<int> calls;
    Connection self, second;
    self = e.Connect([&] {
        calls.push_back(1);
        self.Disconnect();    // itself
        second.Disconnect();  // a later handler: skipped in this raise
    });
    second = e.Connect([&] { calls.push_back(2); });
    e.Connect([&] { calls.push_back(3); });
    e();
    EXPECT_EQ(calls, (std::vector<int>{1, 3}));
    EXPECT_FALSE(self.Connected());
    EXPECT_EQ(e.HandlerCount(), 1u);
    calls.clear();
    e();
    EXPECT_EQ(calls, (std::vector<int>{3}));
}

TEST(Event, ConnectingDuringARaiseStartsNextTime) {
    Event<> e;
    int added = 0, first = 0;
    e.Connect([&] {
        ++first;
        if (first == 1) e.Connect([&] { ++added; });
    });
    e();
    EXPECT_EQ(added, 0);
    e();
    EXPECT_EQ(added, 1);
    EXPECT_EQ(e.HandlerCount(), 2u);
}

TEST(Event, ReentrantRaise) {
    Event<int> e;
    std::vector<int> calls;
    Connection c;
    e.Connect([&](int depth) {
        calls.push_back(depth);
        if (depth < 3) e(depth + 1);
    });
    c = e.Connect([&](int depth) {
        calls.push_back(100 + depth);
        if (depth == 3) c.Disconnect();  // in the innermost raise
    });
    e(1);
    // The inner raises complete first; the disconnected handler is skipped in the outer ones.
    EXPECT_EQ(calls, (std::vector<int>{1, 2, 3, 103}));
    EXPECT_EQ(e.HandlerCount(), 1u);
}

TEST(Event, HandlerDestroysTheOwner) {
    struct Owner {
        Event<> Changed;
    };
    auto owner = std::make_unique<Owner>();
    int after = 0;
    owner->Changed.Connect([&] { owner.reset(); });
    owner->Changed.Connect([&] { ++after; });
    owner->Changed();
    EXPECT_EQ(owner, nullptr);
    EXPECT_EQ(after, 1);  // handlers connected when the raise began still run
}

TEST(Event, ConnectionsOutliveTheEvent) {
    Connection c;
    {
        ScopedConnection scoped;
        {
            Event<> e;
            c = e.Connect([] {});
            scoped = e.Connect([] {});
            EXPECT_EQ(e.HandlerCount(), 2u);
        }
        EXPECT_TRUE(c.Connected());
    }
    c.Disconnect();  // the event is gone: nothing happens
    EXPECT_FALSE(c.Connected());
    Event<> e;
    int n = 0;
    {
        ScopedConnection s = e.Connect([&] { ++n; });
        e();
    }
    e();
    EXPECT_EQ(n, 1);
    e.Connect([&] { ++n; });
    e.DisconnectAll();
    e();
    EXPECT_EQ(n, 1);
}

}  // namespace
