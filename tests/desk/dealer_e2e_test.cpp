// Account sessions over the simulated server as a dealer's counterpart, the
// client's timers on virtual time: a re-quoted order held as a pending request,
// filled after acceptance and rejected after expiry; an instant and a held close;
// the account's figures after an open and a close; the server's time; a buy limit
// that fills when the quote reaches it. Every wait is bounded.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
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
#include "tests/support/desk/FakeDesk.h"
#include "tests/support/desk/RecordingPriceChangedView.h"

namespace {

using namespace OrbanexDesk;
using testsupport::FakeDesk;
using testsupport::RecordingPriceChangedView;
using Names = std::vector<std::string>;
namespace og = OrbanelGeneral10;

constexpr int32_t kSeconds = 5;
constexpr double kMarginPerLot = 1000;
const std::string kUnknown =
    ": no answer came before the connection closed; its result is not known; see Trade and "
    "Pending Order once the account is logged in again";

// U1 (account 81) re-quotes and has its closes held; U2 (82) is served at once.
simserver::Book DealerBook() {
    simserver::Book b = testsupport::TwoTraderBook();
    b.FindSymbol(2)->marginPerLot = kMarginPerLot;
    b.timeMs = 100;
    simserver::AnswerMode& held = b.FindAccount(81)->mode;
    held = simserver::AnswerMode::Requoting(kSeconds);
    held.dealerMs = 100;
    return b;
}

struct DeskOnDealer : testsupport::TwoTraderDesk {
    DeskOnDealer() : TwoTraderDesk(DealerBook(), "desk-dealer", true) {}

    bool Journal(const std::string& line) {
        const Names lines = desk.Lines("journal|");
        return std::find(lines.begin(), lines.end(), "journal|" + line) != lines.end();
    }
    size_t Count(const std::string& prefix) { return desk.Lines(prefix).size(); }
    // The account's position tickets, as the trade pane keys them.
    Names Trades(int32_t account) {
        Names out;
        auto& lv = desk.stores().lvwOpenPos;
        for (size_t i = 1; i <= lv.Count(); ++i)
            if (lv.Item(i).SubItems(1) == std::to_string(account)) out.push_back(lv.Item(i).Text());
        return out;
    }
};

TEST(DealerEndToEnd, ReQuotesAreHeldFilledOrRejectedAndClosesEndInOneJournalLineEach) {
    DeskOnDealer d;
    ManagerPtr dealt = d.LogIn(1);
    ManagerPtr instant = d.LogIn(2);
    d.desk.soundAllowed = false;
    auto& pending = d.desk.stores().lvwPending;

    // Held: the request row first, the fill once the re-quote is accepted.
    auto requote = [&] {
        const size_t ticks = d.Count("pricechanged|");
        EXPECT_EQ(dealt->ClientAPIF()->NewMarketOrder(og::BuyType, 2, 1, "", ""),
                  OrbanexClientAPI10::SuccessResult);
        EXPECT_TRUE(d.Wait([&] { return d.Count("pricechanged|") > ticks; }));
        return dealt->frmPriceChanged().OrderID();
    };
    const int32_t first = requote();
    const std::string row = PendingRowKey(81, first);
    ASSERT_NE(pending.Find(row), nullptr);
    EXPECT_TRUE(d.Journal("81|Order " + std::to_string(first) + " in Pending mode"));
    RecordingPriceChangedView::Made(d.desk).front()->ClickAccept();
    ASSERT_TRUE(d.Wait([&] { return d.Trades(81).size() == 1; }));
    EXPECT_TRUE(
        d.Journal("81|Order #" + std::to_string(first) + " [BUY 1 EURUSD] has been accepted"));
    EXPECT_EQ(pending.Find(row), nullptr);

    // Expired: the server's rejection takes the request row.
    const int32_t second = requote();
    ASSERT_NE(pending.Find(PendingRowKey(81, second)), nullptr);
    for (int32_t i = 0; i <= kSeconds; ++i) d.time().Advance(1000);
    ASSERT_TRUE(d.Wait(
        [&] { return d.Journal("81|Order " + std::to_string(second) + " has been rejected"); }));
    EXPECT_EQ(pending.Find(PendingRowKey(81, second)), nullptr);
    EXPECT_EQ(d.Trades(81).size(), 1u);

    // An instant close and a held one: each row goes with exactly one close line.
    ASSERT_EQ(instant->ClientAPIF()->NewMarketOrder(og::BuyType, 2, 1, "", ""),
              OrbanexClientAPI10::SuccessResult);
    ASSERT_TRUE(d.Wait([&] { return d.Trades(82).size() == 1; }));
    const std::string heldTicket = d.Trades(81).front();
    const std::string instantTicket = d.Trades(82).front();
    d.desk.Take();
    ASSERT_EQ(instant->ClientAPIF()->CloseMarketOrder(instantTicket, "1", ""),
              OrbanexClientAPI10::SuccessResult);
    ASSERT_EQ(dealt->ClientAPIF()->CloseMarketOrder(heldTicket, "1", ""),
              OrbanexClientAPI10::SuccessResult);
    ASSERT_TRUE(d.Wait([&] { return d.Count("pending.Add|") == 1; }));
    EXPECT_EQ(d.Trades(81).size(), 1u) << "held for the dealer";
    EXPECT_NE(d.desk.Lines("close.searchpos|81|" + heldTicket + "|Position in pending mode").size(),
              0u);
    ASSERT_TRUE(d.Wait([&] { return d.Trades(81).empty() && d.Trades(82).empty(); }));
    platform::EventLoop::RunFor(100);
    auto closeLines = [&](int32_t account) {
        Names out;
        for (const auto& l : d.desk.Lines("journal|" + std::to_string(account) + "|"))
            if (l.find("closed succes") != std::string::npos) out.push_back(l);
        return out;
    };
    EXPECT_EQ(closeLines(82),
              Names{"journal|82|Postion " + instantTicket + " is closed successfuly"});
    EXPECT_EQ(closeLines(81),
              Names{"journal|81|Ticket #" + heldTicket + " has been closed successfully"});
    EXPECT_EQ(pending.Count(), 0u);

    // A reject still waiting for its notice at a drop is told as a reject.
    const int32_t third = requote();
    ASSERT_EQ(dealt->SendRequoteAnswer(third, false), OrbanexClientAPI10::SuccessResult);
    d.server().DropAll();  // before the server reads it
    EXPECT_TRUE(d.Wait([&] {
        return d.Journal("81|Reject of re-quoted order #" + std::to_string(third) + kUnknown);
    }));
}

TEST(DealerEndToEnd, FiguresMoveTheServerTellsItsTimeAndABuyLimitFillsWhenReached) {
    DeskOnDealer d;
    ManagerPtr s = d.LogIn(2);
    ASSERT_TRUE(d.Wait([&] { return !d.desk.statusPanes[0].empty(); })) << "the server's time";
    auto figure = [&](size_t index) { return d.desk.State().SummaryTotals[index]; };
    ASSERT_TRUE(d.Wait([&] { return figure(kBalance) == 10000; })) << "the deposit";
    const double margin = figure(kMarginReq), balance = figure(kBalance);

    ASSERT_EQ(s->ClientAPIF()->NewMarketOrder(og::BuyType, 2, 1, "", ""),
              OrbanexClientAPI10::SuccessResult);
    ASSERT_TRUE(d.Wait([&] { return d.Trades(82).size() == 1; }));
    ASSERT_TRUE(d.Wait([&] { return figure(kMarginReq) != margin; }));
    EXPECT_DOUBLE_EQ(figure(kMarginReq) - margin, kMarginPerLot) << "the used margin";
    EXPECT_EQ(figure(kBalance), balance);

    // Opened at the ask 1.2345, closed at the bid 1.2355: 100 more in the balance.
    d.server().PushPrice(2, 1.2355, 1.2357);
    platform::EventLoop::RunFor(50);
    ASSERT_EQ(s->ClientAPIF()->CloseMarketOrder(d.Trades(82).front(), "1", ""),
              OrbanexClientAPI10::SuccessResult);
    ASSERT_TRUE(d.Wait([&] { return figure(kBalance) != balance; }));
    EXPECT_DOUBLE_EQ(figure(kBalance) - balance, 100);
    EXPECT_DOUBLE_EQ(figure(kMarginReq), margin);

    // A buy limit below the market with a take-profit alone: pending until the ask
    // comes down to it, then the take-profit on an SL/TP order of the position.
    ASSERT_EQ(s->ClientAPIF()->NewLimitOrder(og::BuyType, 2, 0.5, 1.2300, runtime::Variant(""),
                                             runtime::Variant("1.2400"), "", ""),
              OrbanexClientAPI10::SuccessResult);
    auto& pending = d.desk.stores().lvwPending;
    ASSERT_TRUE(d.Wait([&] { return pending.Count() == 1; }));
    const std::string order = pending.Item(1).Text();
    d.server().PushPrice(2, 1.2310, 1.2312);
    platform::EventLoop::RunFor(100);
    EXPECT_EQ(pending.Count(), 1u);
    EXPECT_TRUE(d.Trades(82).empty());
    d.server().PushPrice(2, 1.2298, 1.2300);
    ASSERT_TRUE(d.Wait([&] { return d.Trades(82).size() == 1; }));
    ASSERT_TRUE(d.Wait([&] { return pending.Count() == 1 && pending.Item(1).Text() != order; }));
    EXPECT_TRUE(d.Journal("82|Entry Order " + order + " [buy 0.5 EURUSD] has been executed"));

    // An SL/TP cancel and an entry order waiting at a drop are told as what they
    // are, the price with the symbol's digits.
    const std::string slTp = pending.Item(1).Text();
    d.desk.Take();
    ASSERT_EQ(s->SendSLTPOrderCancel(slTp), OrbanexClientAPI10::SuccessResult);
    ASSERT_EQ(
        s->SendLimitOrder(og::BuyType, 2, 0.5, 1.2, runtime::Variant(""), runtime::Variant("")),
        OrbanexClientAPI10::SuccessResult);
    d.server().DropAll();  // before the server reads them
    ASSERT_TRUE(d.Wait([&] { return d.Count("journal|82|") >= 2; }));
    EXPECT_EQ(d.desk.Lines("journal|82|"),
              (Names{"journal|82|Cancel of SL/TP order #" + slTp + kUnknown,
                     "journal|82|Entry order [Buy Limit 0.5 EURUSD at 1.2000]" + kUnknown}));
}

}  // namespace
