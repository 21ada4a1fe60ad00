#include <gtest/gtest.h>

#include <memory>

#include "general/common/ISafeObject.h"
#include "general/model/CChatOrder.h"
#include "general/model/CChatOrders.h"
#include "runtime/Clock.h"
#include "runtime/Date.h"
#include "trading_fixture.h"

namespace {

using namespace OrbanelGeneral10;
using tradingfixture::ErrorOf;

// Counts how often it is released.
struct Desk : runtime::Object, ISafeObject {
    int released = 0;
    void Deallocate() override { ++released; }
};

class ChatOrderClock : public ::testing::Test {
protected:
    const runtime::Date start = runtime::DateTimeSerial(2024, 5, 6, 10, 0, 0);
    std::shared_ptr<runtime::FixedClock> clock = std::make_shared<runtime::FixedClock>(start);
    runtime::ScopedClock scoped{clock};
};

TEST_F(ChatOrderClock, SendTimeCountsWholeSecondsCrossed) {
    CChatOrder o;
    EXPECT_EQ(o.CreatedDate(), start);
    EXPECT_FALSE(o.IsSent());
    EXPECT_EQ(o.TimeAfterSend(), -1);

    clock->AdvanceSeconds(0.7);
    o.OrderSentNow();
    EXPECT_TRUE(o.IsSent());
    EXPECT_EQ(o.TimeAfterSend(), 0);
    struct Step {
        double advance;
        int32_t expected;
    } steps[] = {{0.2, 0}, {0.1, 1}, {4, 5}, {3600, 3605}};
    for (const auto& s : steps) {
        clock->AdvanceSeconds(s.advance);
        EXPECT_EQ(o.TimeAfterSend(), s.expected);
    }
    // A clock put back still gives a distance.
    clock->Set(runtime::DateTimeSerial(2024, 5, 6, 9, 59, 50));
    EXPECT_EQ(o.TimeAfterSend(), 10);
}

TEST_F(ChatOrderClock, TakenBackAfterSending) {
    CChatOrder o;
    auto desk = std::make_shared<Desk>();
    o.setDealer(5);
    const runtime::Date taken = o.ReceivedTime();
    EXPECT_EQ(taken, start);
    o.OrderSentNow();
    o.setSentToDealer(desk);

    clock->AdvanceSeconds(30);
    o.OrderNotSent();
    EXPECT_FALSE(o.IsSent());
    EXPECT_EQ(o.TimeAfterSend(), -1);
    EXPECT_EQ(o.Dealer(), -1);
    EXPECT_FALSE(o.SentToDealer());
    EXPECT_EQ(desk->released, 1);
    EXPECT_GT(o.ReceivedTime(), taken);
}

TEST_F(ChatOrderClock, SettingTheDealerStampsEachTime) {
    CChatOrder o;
    o.setDealer(1);
    const runtime::Date first = o.ReceivedTime();
    clock->AdvanceSeconds(2);
    o.setDealer(1);
    EXPECT_GT(o.ReceivedTime(), first);
}

TEST_F(ChatOrderClock, AddDatesTheServersNoTimeAndRefusesDuplicates) {
    CChatOrders orders;
    CChatOrders::Values v;
    v.Dealer = 2;
    v.ID = 40;
    v.SymID = 12;
    v.MakerClientIP = "10.0.0.1";
    v.FromSystem = true;
    EXPECT_EQ(v.RequestTime, runtime::DateSerial(1900, 1, 1));  // left unset: "now"

    clock->AdvanceSeconds(60);
    auto o = orders.Add(v);
    ASSERT_TRUE(o);
    EXPECT_EQ(o->RequestTime(), clock->Now());
    EXPECT_EQ(o->ReceivedTime(), clock->Now());
    EXPECT_EQ(o->Dealer(), 2);
    EXPECT_EQ(o->SymbolID(), 12);
    EXPECT_EQ(o->MakerClientIP(), "10.0.0.1");
    EXPECT_TRUE(o->FromSystem());
    EXPECT_EQ(orders.Item("40"), o);

    v.ID = 41;
    v.RequestTime = runtime::DateSerial(2024, 1, 2);
    EXPECT_EQ(orders.Add(v)->RequestTime(), runtime::DateSerial(2024, 1, 2));
    EXPECT_EQ(orders.Item(2)->ID(), 41);

    // An id present is the collection's duplicate-key error; nothing is added.
    EXPECT_EQ(ErrorOf([&] { orders.Add(v); }), runtime::errc::DuplicateKey);
    auto again = std::make_shared<CChatOrder>();
    again->setID(40);
    EXPECT_EQ(ErrorOf([&] { orders.AddObject(again); }), runtime::errc::DuplicateKey);
    EXPECT_EQ(orders.Count(), 2);

    orders.Remove("99");
    orders.Remove("40");
    EXPECT_EQ(orders.Count(), 1);
    EXPECT_EQ(o->ID(), 40);
}

}  // namespace
