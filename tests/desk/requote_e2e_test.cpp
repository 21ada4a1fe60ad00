// The re-quote dialog and the price path on the simulated server, the client's
// timers on virtual time: a re-quoted market order shown, accepted, rejected,
// expired, taking turns with another, and cut off by a drop and by a server
// DISCONNECT; then one quote over two logged-on sessions. Every wait is bounded.
#include <gtest/gtest.h>

#include <algorithm>

#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "desk/common/MGeneral.h"
#include "desk/sessions/CClientAPIManagers.h"
#include "general/common/MGenerals.h"
#include "platform/EventLoop.h"
#include "platform/Timer.h"
#include "simserver/Server.h"
#include "tests/desk/TwoTraderDesk.h"
#include "tests/support/QuoteBook.h"
#include "tests/support/TempProgramFolder.h"
#include "tests/support/clientapi/ViewFactory.h"
#include "tests/support/desk/FakeDesk.h"
#include "tests/support/desk/RecordingPriceChangedView.h"

namespace {

using namespace OrbanexDesk;
using testsupport::FakeDesk;
using testsupport::RecordingPriceChangedView;
using Names = std::vector<std::string>;
namespace og = OrbanelGeneral10;

constexpr int32_t kSeconds = 10;

simserver::Book RequoteBook() {
    simserver::Book b = testsupport::TwoTraderBook();
    for (int32_t account : {81, 82})
        b.FindAccount(account)->mode = simserver::AnswerMode::Requoting(kSeconds);
    for (int32_t client : {101, 102}) b.FindClient(client)->params[2].limitOffset = 10;
    b.nextOrderId = 7001;
    return b;
}

struct DeskOnServer : testsupport::TwoTraderDesk {
    explicit DeskOnServer(bool virtualTime = true)
        : TwoTraderDesk(RequoteBook(), "desk-requote", virtualTime) {}
};

// A market buy of the session, up to its re-quote's first tick; its request row
// carries the side word as the pending pane writes it.
int32_t Requoted(DeskOnServer& d, const ManagerPtr& s, const std::string& side = "Buy") {
    const size_t ticks = d.desk.Lines("pricechanged|").size();
    EXPECT_EQ(s->SendMarketOrder(og::BuyType, 2, 1, "EURUSD"), OrbanexClientAPI10::SuccessResult);
    EXPECT_TRUE(d.Wait([&] { return d.desk.Lines("pricechanged|").size() > ticks; }));
    const int32_t order = s->frmPriceChanged().OrderID();
    auto& pending = d.desk.stores().lvwPending;
    const std::string key = PendingRowKey(81, order);
    if (!pending.Find(key)) pending.Add(key, std::to_string(order));
    pending.Item(key).setSubItems(2, side);
    return order;
}

// The re-quote's life in the dialog: show, tick, accept, reject, expire, turns
// and the two ways a session goes away mid-countdown.
TEST(RequoteEndToEnd, TheDialogShowsTicksAndAnswersEachReQuoteOnce) {
    DeskOnServer d;
    ManagerPtr s = d.LogIn(1);
    auto& orderRow = d.desk.stores().orderClients.Item("C81");
    orderRow.setChecked(true);
    EXPECT_EQ(RecordingPriceChangedView::Made(d.desk).size(), 0u);  // none before a re-quote
    d.desk.soundAllowed = false;
    d.desk.Take();

    const int32_t first = Requoted(d, s);
    ASSERT_EQ(RecordingPriceChangedView::Made(d.desk).size(), 1u);
    RecordingPriceChangedView& view = *RecordingPriceChangedView::Made(d.desk).front();
    EXPECT_EQ(view.lblOrder, "Buy 1 EURUSD at 1.2345");
    EXPECT_TRUE(view.visible && view.topMost && view.centred);
    EXPECT_EQ(view.caption, "10 / 10");
    EXPECT_EQ(d.desk.Lines("sound|"), Names{"sound|PriceChanged.wav|played"});
    const std::string newPrice = view.lblNewPrice;
    d.time().Advance(1000);
    EXPECT_EQ(view.caption, "9 / 10");
    EXPECT_EQ(d.desk.Lines("sound|").size(), 1u);
    view.ClickAccept();
    ASSERT_TRUE(d.Wait([&] { return d.Sent(og::ACCEPT_ORDER_TOKEN) == 1; }));
    const auto accept = d.Params(og::ACCEPT_ORDER_TOKEN, 0);
    ASSERT_GE(accept.size(), 4u);
    EXPECT_EQ((Names{accept[2], accept[3]}), (Names{std::to_string(first), newPrice}));
    EXPECT_FALSE(view.visible);
    EXPECT_EQ(d.desk.stores().lvwPending.Find(PendingRowKey(81, first)), nullptr);
    EXPECT_EQ(orderRow.SubItems(2), "Order number " + std::to_string(first) + " Accepted");

    // Reject of an entry-order row: sent, removed, no note.
    const int32_t second = Requoted(d, s, "Buy limit");
    orderRow.setSubItems(2, "kept");
    view.ClickReject();
    ASSERT_TRUE(d.Wait([&] { return d.Sent(og::REJECT_ORDER_TOKEN) == 1; }));
    EXPECT_EQ(d.desk.stores().lvwPending.Find(PendingRowKey(81, second)), nullptr);
    EXPECT_EQ(orderRow.SubItems(2), "kept");

    // Expiry: one reject goes out (the client API's own expiry then has nothing
    // to do); message, journal, note, and the request row goes.
    const int32_t third = Requoted(d, s);
    d.desk.Take();
    for (int32_t i = 0; i < kSeconds; ++i) d.time().Advance(1000);
    const std::string expired =
        "Timer Expired - Order number " + std::to_string(third) + " rejected";
    EXPECT_EQ(d.desk.Lines("message|"), Names{"message|##DEF##|" + expired});
    EXPECT_EQ(d.desk.Lines("journal|"), Names{"journal|81|" + expired});
    EXPECT_EQ(orderRow.SubItems(2), expired);
    EXPECT_EQ(d.desk.stores().lvwPending.Find(PendingRowKey(81, third)), nullptr);
    EXPECT_FALSE(view.visible);
    ASSERT_TRUE(d.Wait([&] { return d.Sent(og::REJECT_ORDER_TOKEN) == 2; }));
    d.time().Advance(2000);
    platform::EventLoop::RunFor(50);
    EXPECT_EQ(d.Sent(og::REJECT_ORDER_TOKEN) + d.Sent(og::TIMER_EXPIRED_TOKEN), 2u);

    // Two overlapping re-quotes take turns; Accept answers the one shown.
    const int32_t a = Requoted(d, s);
    const int32_t b = Requoted(d, s);
    EXPECT_EQ(view.caption, "10 / 10");
    d.desk.Take();
    d.time().Advance(1000);
    const Names turns = d.desk.Lines("pricechanged|81|caption");
    EXPECT_EQ(turns, (Names{"pricechanged|81|caption|9 / 10", "pricechanged|81|caption|9 / 10"}));
    EXPECT_EQ(d.desk.Lines("pricechanged|81|lblOrder").size(), 2u);  // a, then b again
    view.ClickAccept();
    ASSERT_TRUE(d.Wait([&] { return d.Sent(og::ACCEPT_ORDER_TOKEN) == 2; }));
    EXPECT_EQ(d.Params(og::ACCEPT_ORDER_TOKEN, 1)[2], std::to_string(b));
    EXPECT_NE(d.desk.stores().lvwPending.Find(PendingRowKey(81, a)), nullptr);

    // A drop mid-countdown hides the dialog and answers nothing. Every order and
    // answer sent had its answer (the orders held as requests).
    ASSERT_TRUE(d.Wait([&] { return s->Unanswered().empty(); }));
    const size_t answers = d.Sent(og::ACCEPT_ORDER_TOKEN) + d.Sent(og::REJECT_ORDER_TOKEN) +
                           d.Sent(og::TIMER_EXPIRED_TOKEN);
    d.desk.Take();
    d.server().DropAll();
    ASSERT_TRUE(d.Wait([&] { return !view.visible; }));
    // The connection's end expired the countdown: the dealer is told, once.
    EXPECT_EQ(d.desk.Lines("journal|"),
              Names{"journal|81|Timer Expired - Order number " + std::to_string(a) + " rejected"});
    EXPECT_EQ(s->frmPriceChanged().OrderID(), 0);
    EXPECT_NO_THROW(view.ClickAccept());
    EXPECT_NO_THROW(view.Close());
    d.time().Advance(kSeconds * 1000);
    platform::EventLoop::RunFor(50);
    EXPECT_EQ(d.Sent(og::ACCEPT_ORDER_TOKEN) + d.Sent(og::REJECT_ORDER_TOKEN) +
                  d.Sent(og::TIMER_EXPIRED_TOKEN),
              answers);
}

// A server DISCONNECT mid-countdown: hidden, nothing sent, nothing thrown, and
// the account's share leaves the totals at once.
TEST(RequoteEndToEnd, AServerDisconnectMidCountdownHidesTheDialogAndSendsNothing) {
    DeskOnServer d;
    ManagerPtr s = d.LogIn(2);
    Requoted(d, s);
    RecordingPriceChangedView& view = *RecordingPriceChangedView::Made(d.desk).front();
    ASSERT_TRUE(view.visible);
    s->CLAPICLASS_SummariesChanged(1000, 0, 0, 1000, 0, 0, 1000);
    ASSERT_EQ(d.desk.State().SummaryTotals[kBalance], 1000);
    d.server().Push(og::DISCONNECT_TOKEN, {"3"});
    ASSERT_TRUE(d.Wait([&] { return !view.visible; }));
    EXPECT_EQ(d.desk.State().SummaryTotals[kBalance], 0);
    d.time().Advance(kSeconds * 1000);
    platform::EventLoop::RunFor(50);
    EXPECT_NO_THROW(view.ClickReject());
    EXPECT_EQ(d.Sent(og::REJECT_ORDER_TOKEN) + d.Sent(og::TIMER_EXPIRED_TOKEN), 0u);
}

// One quote over two logged-on sessions: the current one writes the market
// watch, both let the entry-order pane recompute; colours by number; when the
// server drops the current session, the other writes on.
TEST(RequoteEndToEnd, OneQuoteIsWrittenOnceAndTheNextSessionTakesOverAfterADrop) {
    DeskOnServer d(false);  // quotes are handed on by the client's timer
    ManagerPtr first = d.LogIn(1);
    ManagerPtr second = d.LogIn(2);
    platform::EventLoop::RunFor(200);  // the second login's last answers
    // Found afresh: a login's late symbol list rebuilds the symbol's row.
    auto cell = [&](size_t sub) { return d.desk.stores().lvmw.Item("S2").SubItems(sub); };
    auto colour = [&](size_t sub) { return d.desk.stores().lvmw.Item("S2").SubItemForeColor(sub); };
    size_t writes = 0;
    auto link = d.desk.stores().lvmw.Changed.Connect([&](const platform::ListViewChange& c) {
        if (c.kind == platform::ListViewChange::Kind::Cell && c.column == 2 &&
            c.role == platform::ListViewChange::Role::Text)
            ++writes;
    });
    // An unchanged pair raises nothing, so every step moves the ask.
    double ask = 1.2360;
    auto quote = [&](double bid, size_t sessions = 2) {
        d.desk.Take();
        writes = 0;
        d.server().PushPrice(2, bid, ask += 0.0001);
        EXPECT_TRUE(
            d.Wait([&] { return d.desk.Lines("limit.limitorderpricechange").size() == sessions; }));
        platform::EventLoop::RunFor(20);
        return d.desk.Take();
    };
    struct Step {
        double bid;
        std::string text;
        int32_t colour;
        size_t writes;
    };
    const int32_t green = 160 << 8, red = 255;
    d.desk.stores().lvmw.Item("S2").setSubItemForeColor(1, 7);
    const std::vector<Step> steps = {{1.2343, "1.2343", 7, 0},
                                     {1.2350, "1.235", green, 1},
                                     {1.2345, "1.2345", red, 1},
                                     {1.2345, "1.2345", red, 0}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.bid);
        const Names log = quote(step.bid);
        EXPECT_EQ(log, (Names{"limit.limitorderpricechange", "limit.limitorderpricechange"}));
        EXPECT_EQ(cell(1).substr(0, step.text.size()), step.text);
        EXPECT_EQ(colour(1), step.colour);
        EXPECT_EQ(writes, step.writes);
    }
    EXPECT_EQ(d.desk.State().CurrentManager.lock(), first);

    d.server().Drop(1);
    ASSERT_TRUE(d.Wait([&] { return !first->ClientAPIF()->LogedOn(); }));
    quote(1.2370, 1);
    EXPECT_EQ(d.desk.State().CurrentManager.lock(), second);
    EXPECT_EQ(cell(1).substr(0, 5), "1.237");
}

}  // namespace
