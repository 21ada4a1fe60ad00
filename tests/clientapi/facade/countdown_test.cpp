// Re-quote countdown: ticks and expiry, answers for the re-quote's own
// account, replacement, silent drops on reset and release, own symbols.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "clientapi/facade/CMOrders.h"
#include "tests/clientapi/facade/TradingSession.h"

namespace {

using namespace OrbanexClientAPI10;
using Lines = std::vector<std::string>;
namespace G = OrbanelGeneral10;

struct RequoteSession : testsupport::TradingSession {
    RequoteSession() { ticks.Watch(manager->OrderTimer, "tick"); }
    // The dealer re-quotes market order id of the account at a new ask.
    void Requote(int32_t id, int16_t seconds, int32_t account = 100, int32_t symbol = 2,
                 double newAsk = 1.201) {
        manager->setChangePriceSeconds(seconds);
        last.reset();
        runtime::ScopedConnection keep = manager->OrderTimer.Connect(
            [this](const std::shared_ptr<CMOrder>& o) { last = last ? last : o; });
        manager->OrderStatusChanged(10, account, G::MarketOrderType, id, G::NewBuyPriceChanged, 0,
                                    500, "t", newAsk, 1.2007, 0.3, symbol, 1.2003, 1.2, G::BuyType);
    }
    testsupport::EventLog ticks;
    std::shared_ptr<CMOrder> last;
};

TEST(RequoteCountdown, NSecondsGiveNPlusOneTicksThenOneExpiry) {
    RequoteSession s;
    s.Requote(9, 2);
    EXPECT_EQ(s.ticks.Take(), Lines{"tick 9:2"});
    EXPECT_EQ(s.last->OldPrice(), 1.2003);
    s.time.Advance(999);
    EXPECT_TRUE(s.ticks.Take().empty());
    s.time.Advance(1001);
    EXPECT_EQ(s.ticks.Take(), (Lines{"tick 9:1", "tick 9:0"}));
    EXPECT_EQ(s.Sent(), Lines{"110[10|100|9]"});
    s.time.Advance(10000);
    EXPECT_EQ(s.time.driver().RunningTimers(), 0u);
    EXPECT_EQ(s.manager->AcceptOrder(9), TimerExpiredResult);
    s.Requote(10, 0);  // zero seconds: one tick at 0 and the expiry at once
    EXPECT_EQ(s.ticks.Take(), (Lines{"tick 10:0"}));
    EXPECT_EQ(s.Sent(), Lines{"110[10|100|10]"});
}

TEST(RequoteCountdown, AnswersGoOutForTheRequotesOwnAccountAndEndTheCount) {
    RequoteSession s;
    s.Requote(9, 5);
    s.time.Advance(2000);
    s.manager->SelectAccount(102);  // the desk moved on
    s.Sent();
    EXPECT_EQ(s.manager->AcceptOrder(9), SuccessResult);
    EXPECT_EQ(s.Sent(), Lines{"108[10|100|9|1.201|U]"});
    s.ticks.Take();
    s.time.Advance(10000);
    EXPECT_TRUE(s.ticks.Take().empty());
    EXPECT_EQ(s.manager->RejectOrder(9), TimerExpiredResult);
    // A re-quote whose account left the model is dropped unanswered; its expiry is logged.
    s.Requote(11, 5, 102);
    s.Requote(12, 1, 102);
    s.engine().DeleteAccount(11, 102);
    EXPECT_EQ(s.manager->RejectOrder(11), InvalidAccountResult);
    EXPECT_EQ(s.manager->RejectOrder(11), TimerExpiredResult);
    s.time.Advance(1000);
    EXPECT_TRUE(s.Sent().empty());
    EXPECT_EQ(s.LogLines().size(), 1u);
}

TEST(RequoteCountdown, ASecondPriceChangeRestartsWithTheNewPrice) {
    RequoteSession s;
    s.Requote(9, 3);
    const std::shared_ptr<CMOrder> first = s.last;
    s.time.Advance(2000);
    s.Requote(9, 3, 100, 2, 1.202);
    EXPECT_EQ(s.ticks.Take(), (Lines{"tick 9:3", "tick 9:2", "tick 9:1", "tick 9:3"}));
    EXPECT_EQ(s.last->NewPrice(), 1.202);
    s.time.Advance(3000);
    EXPECT_EQ(s.ticks.Take(), (Lines{"tick 9:2", "tick 9:1", "tick 9:0"}));
    EXPECT_EQ(s.Sent(), Lines{"110[10|100|9]"});
    EXPECT_EQ(first->CurrentTimer(), 1);  // the replaced count stopped
}

// Reset and a new login end each count with a last tick at 0 and send
// nothing; a released manager's counts stop without a word.
TEST(RequoteCountdown, ResetAndNewLoginEndEveryCountUnsentAndReleaseStopsSilently) {
    RequoteSession s;
    s.Requote(9, 3);
    s.manager->Reset();
    s.manager->SelectAccount(100);
    s.Requote(10, 3);
    s.manager->PrivsRecieved("", 1, "CLIENT");
    s.Sent();
    s.time.Advance(10000);
    EXPECT_EQ(s.ticks.Take(), (Lines{"tick 9:3", "tick 9:0", "tick 10:3", "tick 10:0"}));
    EXPECT_TRUE(s.Sent().empty());
    EXPECT_EQ(s.manager->AcceptOrder(9), TimerExpiredResult);
    RequoteSession r;
    r.Requote(11, 3);
    const std::shared_ptr<CMOrder> kept = r.last;
    r.manager.reset();
    r.time.Advance(10000);
    EXPECT_TRUE(r.Sent().empty());
    EXPECT_EQ(kept->CurrentTimer(), 3);
}

TEST(RequoteCountdown, AHostMayAnswerOrReleaseInsideATick) {
    RequoteSession s;
    runtime::ScopedConnection host =
        s.manager->OrderTimer.Connect([&s](const std::shared_ptr<CMOrder>& o) {
            if (o->ID() == 9 && o->CurrentTimer() == 1) s.manager->AcceptOrder(9);
            if (o->ID() == 10 && o->CurrentTimer() == 0) s.manager.reset();
        });
    s.Requote(9, 2);
    s.Requote(10, 3);
    s.time.Advance(5000);
    EXPECT_EQ(s.ticks.Take(),
              (Lines{"tick 9:2", "tick 10:3", "tick 9:1", "tick 10:2", "tick 10:1", "tick 10:0"}));
    EXPECT_EQ(s.Sent(), Lines{"108[10|100|9|1.201|U]"});
    EXPECT_FALSE(s.manager);
}

TEST(RequoteCountdown, EachRequoteKeepsItsOwnSymbol) {
    RequoteSession s;
    s.Requote(9, 5, 100, 2);
    const std::shared_ptr<CMOrder> first = s.last;
    s.Requote(10, 5, 100, 3);
    s.manager->NewOrderResultRecieved(1, 1, "T", 1, G::BuyType, 1.2, 2, "");  // shared view: 2
    EXPECT_EQ(first->Symbol()->ID(), 2);
    EXPECT_EQ(s.last->Symbol()->ID(), 3);
}

TEST(RequoteCountdown, OrdersAreWriteOnceButTheSideAndKeyedByTheirId) {
    platform::ScopedVirtualTime time;
    CMOrders orders;
    auto order = orders.Add(1, nullptr, 1.5, 1.4, 100, 0, 0.3, G::BuyType, nullptr, 9);
    order->setID(10);
    order->setNewPrice(2);
    order->setOpenTicket(7);  // 0 held nothing yet
    order->setBuySell(G::SellType);
    EXPECT_EQ(order->ID(), 9);
    EXPECT_EQ(order->NewPrice(), 1.5);
    EXPECT_EQ(order->OpenTicket(), 7);
    EXPECT_EQ(order->BuySell(), G::SellType);
    EXPECT_EQ(testsupport::ErrorNumberOf(
                  [&] { orders.Add(1, nullptr, 0, 0, 0, 0, 0, G::BuyType, nullptr, 9); }),
              457);
    orders.Remove("8");
    orders.Remove("9");
    EXPECT_EQ(orders.Count(), 0);
    EXPECT_EQ(time.driver().RunningTimers(), 0u);
    EXPECT_EQ(orders.Add(32767, nullptr, 0, 0, 0, 0, 0, G::BuyType, nullptr, 1)->CurrentTimer(),
              32767);
}

}  // namespace
