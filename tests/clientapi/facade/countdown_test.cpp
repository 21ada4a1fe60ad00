// Re-quote countdown: ticks, expiry, answers for the re-quote's own account,
// replacement, silent drops on reset and release, symbols of their own.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "clientapi/facade/CMOrders.h"
#include "clientapi/facade/COSymbol.h"
#include "tests/clientapi/facade/TradingSession.h"

namespace {

using namespace OrbanexClientAPI10;
using testsupport::TradingSession;

constexpr auto kBuy = OrbanelGeneral10::BuyType;

// A session that records every OrderTimer as "id:seconds".
struct RequoteSession : TradingSession {
    RequoteSession() {
        ticks_ = manager->OrderTimer.Connect([this](const std::shared_ptr<CMOrder>& order) {
            ticks.push_back(std::to_string(order->ID()) + ":" +
                            std::to_string(order->CurrentTimer()));
            last = order;
        });
    }
    // The dealer re-quotes market order `id` of `account` (new ask 1.2010, asked 1.2003).
    void Requote(int32_t id, int16_t seconds, int32_t account = 100, int32_t symbol = 2,
                 double newBuy = 1.2010) {
        manager->setChangePriceSeconds(seconds);
        manager->OrderStatusChanged(10, account, OrbanelGeneral10::MarketOrderType, id,
                                    OrbanelGeneral10::NewBuyPriceChanged, 0, 500, "t", newBuy,
                                    1.2007, 0.3, symbol, 1.2003, 1.2, kBuy);
    }
    std::vector<std::string> TakeTicks() {
        std::vector<std::string> out;
        out.swap(ticks);
        return out;
    }
    std::vector<std::string> ticks;
    std::shared_ptr<CMOrder> last;
    runtime::ScopedConnection ticks_;
};

TEST(RequoteCountdown, NSecondsGiveNPlusOneTicksThenTheExpiryOnce) {
    RequoteSession s;
    s.Requote(9, 2);
    EXPECT_EQ(s.TakeTicks(), std::vector<std::string>{"9:2"});
    EXPECT_EQ(s.last->AllTimerSeconds(), 2);
    EXPECT_EQ(s.last->OpenTicket(), 500);
    EXPECT_EQ(s.last->NewPrice(), 1.2010);
    EXPECT_EQ(s.last->OldPrice(), 1.2003);
    s.time.Advance(999);
    EXPECT_TRUE(s.TakeTicks().empty());
    s.time.Advance(1);
    EXPECT_EQ(s.TakeTicks(), std::vector<std::string>{"9:1"});
    EXPECT_TRUE(s.Sent().empty());
    s.time.Advance(1000);
    EXPECT_EQ(s.TakeTicks(), std::vector<std::string>{"9:0"});
    EXPECT_EQ(s.Sent(), std::vector<std::string>{"110[10|100|9]"});
    s.time.Advance(10000);
    EXPECT_TRUE(s.TakeTicks().empty());
    EXPECT_EQ(s.time.driver().RunningTimers(), 0u);
    EXPECT_EQ(s.manager->AcceptOrder(9), TimerExpiredResult);
    EXPECT_TRUE(s.Sent().empty());
    // Zero seconds: one tick showing 0 and the expiry at once.
    s.Requote(10, 0);
    EXPECT_EQ(s.TakeTicks(), std::vector<std::string>{"10:0"});
    EXPECT_EQ(s.Sent(), std::vector<std::string>{"110[10|100|10]"});
}

TEST(RequoteCountdown, AnswersGoOutForTheRequotesOwnAccountAndStopTheCount) {
    RequoteSession s;
    s.Requote(9, 5);
    s.time.Advance(2000);
    s.manager->SelectAccount(102);  // the desk moves on to another account
    s.Sent();
    EXPECT_EQ(s.manager->AcceptOrder(9), SuccessResult);
    EXPECT_EQ(s.Sent(), std::vector<std::string>{"108[10|100|9|1.201|" +
                                                 std::to_string(s.client->LoginUser()) + "]"});
    s.TakeTicks();
    s.time.Advance(10000);
    EXPECT_TRUE(s.TakeTicks().empty());
    EXPECT_TRUE(s.Sent().empty());
    EXPECT_EQ(s.manager->RejectOrder(9), TimerExpiredResult);
    // A re-quote whose account left the model is dropped unanswered.
    s.Requote(11, 5, 102);
    s.engine().DeleteAccount(11, 102);
    EXPECT_EQ(s.manager->RejectOrder(11), InvalidAccountResult);
    EXPECT_EQ(s.manager->RejectOrder(11), TimerExpiredResult);
    s.manager->SelectAccount(100);
    s.Requote(12, 1);
    s.manager->RejectOrder(12);
    EXPECT_EQ(s.Sent().back(), "109[10|100|12]");
}

TEST(RequoteCountdown, ExpiryForAVanishedAccountIsLoggedNotSent) {
    RequoteSession s;
    s.Requote(9, 1);
    s.engine().DeleteAccount(10, 100);
    s.Sent();
    s.time.Advance(1000);
    EXPECT_EQ(s.TakeTicks(), (std::vector<std::string>{"9:1", "9:0"}));
    EXPECT_TRUE(s.Sent().empty());
    EXPECT_EQ(s.LogLines().size(), 1u);
}

TEST(RequoteCountdown, ASecondPriceChangeRestartsWithTheNewPrice) {
    RequoteSession s;
    s.Requote(9, 3);
    s.time.Advance(2000);
    const std::shared_ptr<CMOrder> first = s.last;
    s.Requote(9, 3, 100, 2, 1.2020);
    EXPECT_EQ(s.TakeTicks(), (std::vector<std::string>{"9:3", "9:2", "9:1", "9:3"}));
    EXPECT_NE(s.last, first);
    EXPECT_EQ(s.last->NewPrice(), 1.2020);
    s.time.Advance(3000);
    EXPECT_EQ(s.TakeTicks(), (std::vector<std::string>{"9:2", "9:1", "9:0"}));
    EXPECT_EQ(s.Sent(), std::vector<std::string>{"110[10|100|9]"});
    EXPECT_EQ(first->CurrentTimer(), 1);  // the replaced count stopped where it was
}

TEST(RequoteCountdown, ResetAndANewLoginStopEveryCountSilently) {
    RequoteSession s;
    s.Requote(9, 3);
    s.Requote(10, 3);
    s.manager->Reset();
    s.time.Advance(10000);
    EXPECT_EQ(s.TakeTicks(), (std::vector<std::string>{"9:3", "10:3"}));
    EXPECT_TRUE(s.Sent().empty());
    s.manager->SelectAccount(100);
    s.Requote(11, 3);
    s.manager->PrivsRecieved("", 1, "CLIENT");
    s.time.Advance(10000);
    EXPECT_EQ(s.TakeTicks(), std::vector<std::string>{"11:3"});
    for (const std::string& request : s.Sent()) EXPECT_NE(request.substr(0, 4), "110[");
}

TEST(RequoteCountdown, AHostAnsweringInsideTheTickEndsTheCount) {
    RequoteSession s;
    runtime::ScopedConnection accept =
        s.manager->OrderTimer.Connect([&s](const std::shared_ptr<CMOrder>& order) {
            if (order->CurrentTimer() == 1) s.manager->AcceptOrder(order->ID());
        });
    s.Requote(9, 2);
    s.time.Advance(5000);
    EXPECT_EQ(s.TakeTicks(), (std::vector<std::string>{"9:2", "9:1"}));
    const std::vector<std::string> sent = s.Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].substr(0, 4), "108[");
}

TEST(RequoteCountdown, EachRequoteKeepsItsOwnSymbol) {
    RequoteSession s;
    s.Requote(9, 5, 100, 2);
    const std::shared_ptr<CMOrder> eurusd = s.last;
    s.Requote(10, 5, 100, TradingSession::kUnused);
    s.manager->NewOrderResultRecieved(1, 1, "T", 1, kBuy, 1.2, 2, "");  // refills the shared view
    s.time.Advance(1000);
    EXPECT_EQ(eurusd->Symbol()->ID(), 2);
    EXPECT_EQ(s.last->Symbol()->ID(), TradingSession::kUnused);
    EXPECT_NE(eurusd->Symbol(), s.last->Symbol());
}

TEST(RequoteCountdown, ReleasingTheManagerStopsTheCountsEvenFromATick) {
    {
        RequoteSession s;
        s.Requote(9, 3);
        const std::shared_ptr<CMOrder> kept = s.last;
        s.manager.reset();
        s.time.Advance(5000);
        EXPECT_EQ(kept->CurrentTimer(), 3);
        EXPECT_EQ(s.time.driver().RunningTimers(), 0u);
    }
    RequoteSession s;
    runtime::ScopedConnection release =
        s.manager->OrderTimer.Connect([&s](const std::shared_ptr<CMOrder>& order) {
            if (order->CurrentTimer() == 0) s.manager.reset();
        });
    s.Requote(9, 1);
    s.time.Advance(1000);
    EXPECT_FALSE(s.manager);
    EXPECT_TRUE(s.Sent().empty());
}

TEST(RequoteCountdown, OrdersAreWriteOnceButTheSideAndKeyedByTheirId) {
    platform::ScopedVirtualTime time;
    CMOrders orders;
    auto order = orders.Add(1, nullptr, 1.5, 1.4, 100, 0, 0.3, kBuy, nullptr, 9);
    order->setID(10);
    order->setNewPrice(2);
    order->setOpenTicket(7);  // 0 holds nothing yet, so this write takes
    order->setBuySell(OrbanelGeneral10::SellType);
    EXPECT_EQ(order->ID(), 9);
    EXPECT_EQ(order->NewPrice(), 1.5);
    EXPECT_EQ(order->OpenTicket(), 7);
    EXPECT_EQ(order->BuySell(), OrbanelGeneral10::SellType);
    EXPECT_EQ(orders.Item("9"), order);
    EXPECT_EQ(orders.Item("8"), nullptr);
    EXPECT_EQ(testsupport::ErrorNumberOf(
                  [&] { orders.Add(1, nullptr, 0, 0, 0, 0, 0, kBuy, nullptr, 9); }),
              457);
    orders.Remove("8");
    EXPECT_EQ(orders.Count(), 1);
    orders.Remove("9");
    EXPECT_EQ(orders.Count(), 0);
    EXPECT_EQ(time.driver().RunningTimers(), 0u);
    // The longest countdown starts without overflow.
    auto longest = orders.Add(32767, nullptr, 0, 0, 0, 0, 0, kBuy, nullptr, 1);
    EXPECT_EQ(longest->CurrentTimer(), 32767);
}

}  // namespace
