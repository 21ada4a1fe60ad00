// Trading commands: the code of the first failing check and the exact request
// (or none) for each command in each state.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "general/model/COpenPosition.h"
#include "general/model/COpenPositions.h"
#include "tests/clientapi/facade/TradingSession.h"

namespace {

using namespace OrbanexClientAPI10;
using testsupport::TradingSession;
using M = CAccountsManager;
using runtime::Null;
namespace G = OrbanelGeneral10;
constexpr auto kBuy = G::BuyType;
constexpr auto kWho = G::CLIENT_USER_TYPE;

TEST(TradingCommands, EachStateGivesItsCodeAndExactlyItsRequest) {
    auto locked = [](TradingSession& s) { s.manager->SelectAccount(101); };
    auto unselected = [](TradingSession& s) { s.manager->Reset(); };
    auto readOnly = [](TradingSession& s) { s.manager->setReadOnlyLogin(true); };
    auto dealer = [](TradingSession& s) { s.security->UserHasThesePrivs("75"); };
    auto marketFell = [](TradingSession& s) { s.Symbol(2).setAsk(1.1960); };
    auto fivePipSteps = [](TradingSession& s) { s.Symbol(2).setTickPips(5.0); };
    const struct {
        std::function<void(TradingSession&)> state;
        std::function<CallingResultsEnum(M&)> act;
        CallingResultsEnum code;
        std::string request;
    } rows[] = {
        // Market orders look the symbol up before the rights.
        {unselected, [](M& m) { return m.NewMarketOrder(kBuy, 99, 0.3, "t", "n"); },
         InvalidAccountResult, ""},
        {locked, [](M& m) { return m.NewMarketOrder(kBuy, 99, 0.3, "t", "n"); },
         InvalidSymbolIDResult, ""},
        {locked, [](M& m) { return m.NewMarketOrder(kBuy, 2, 0.3, "t", "n"); }, NoPrivilegeResult,
         ""},
        {readOnly, [](M& m) { return m.NewMarketOrder(kBuy, 2, 0.3, "t", "n"); }, NoPrivilegeResult,
         ""},
        {{},
         [](M& m) { return m.NewMarketOrder(kBuy, 3, 0.3, "t", "n"); },
         InvalidSymbolIDResult,
         ""},
        {{},
         [](M& m) { return m.NewMarketOrder(kBuy, 2, std::nan(""), "t", "n"); },
         InvalidAmountResult,
         ""},
        {{},
         [](M& m) { return m.NewMarketOrder(kBuy, 2, 0.3, "t", "n"); },
         SuccessResult,
         "107[10|100|2|1|0.3|1.2003|U|10000|12:00:00|11:59:58|t|n]"},
        {{},
         [](M& m) { return m.NewMarketOrder(G::SellType, 2, 10, "", ""); },
         SuccessResult,
         "107[10|100|2|-1|10|1.2|U|10000|12:00:00|11:59:58||]"},
        // Limit orders check the rights before the symbol; buy limits lie below 1.1983.
        {locked, [](M& m) { return m.NewLimitOrder(kBuy, 99, 1, 1.19, kWho, "", "", "t", "n"); },
         NoPrivilegeResult, ""},
        {{},
         [](M& m) { return m.NewLimitOrder(kBuy, 2, 1, 1.1983, kWho, "", "", "t", "n"); },
         InvalidPriceResult,
         ""},
        {{},
         [](M& m) { return m.NewLimitOrder(kBuy, 2, 1, 1.1982, kWho, "", Null, "t", "n"); },
         SuccessResult,
         "115[10|100|2|1|1.1982|1|||2|U|0|12:00:00|11:59:58|t|n]"},
        // A buy limit below 1.1983 lies on the symbol's price step too.
        {fivePipSteps,
         [](M& m) { return m.NewLimitOrder(kBuy, 2, 1, 1.1979, kWho, "", "", "t", "n"); },
         InvalidPriceResult, ""},
        {fivePipSteps,
         [](M& m) { return m.NewLimitOrder(kBuy, 2, 1, 1.1975, kWho, "", "", "t", "n"); },
         SuccessResult, "115[10|100|2|1|1.1975|1|||2|U|0|12:00:00|11:59:58|t|n]"},
        {{},
         [](M& m) { return m.NewLimitOrder(kBuy, 2, 1, -1, kWho, "", "", "t", "n"); },
         SuccessResult,
         "115[10|100|2|1|-1|1|||2|U|0|12:00:00|11:59:58|t|n]"},
        {{},
         [](M& m) { return m.NewLimitOrder(kBuy, 2, 1, 1.19, kWho, "abc", "", "t", "n"); },
         InvalidPriceResult,
         ""},
        {{},
         [](M& m) {
             return m.NewLimitOrder(G::SellStopType, 2, 0.5, 1.1985, kWho, 1.2, 1.19, "t", "n");
         },
         SuccessResult,
         "115[10|100|2|0.5|1.1985|-2|1.2|1.19|2|U|0|12:00:00|11:59:58|t|n]"},
        // Order 700 keeps its stored price even after the market fell to it.
        {{},
         [](M& m) { return m.UpdateLimitOrder(701, 1, 1.19, kWho, "", "", "t", "n"); },
         InvalidTicketResult,
         ""},
        {marketFell,
         [](M& m) {
             return m.UpdateLimitOrder(700, 1, 1.195, G::DEALER_USER_TYPE, 1.19, 1.21, "t", "n");
         },
         SuccessResult, "116[10|100|700|2|1.195|1|1.19|1.21|1|U|1|12:00:00|11:59:58|t|n]"},
        {marketFell,
         [](M& m) { return m.UpdateLimitOrder(700, 1, 1.1945, kWho, 1.19, 1.21, "t", "n"); },
         InvalidPriceResult, ""},
        // SL/TP of buy 500 from the raw bid 1.2000: SL below 1.1990.
        {{},
         [](M& m) { return m.NewSLTPOrder(999, 1, kWho, 1.19, "", "t"); },
         InvalidTicketResult,
         ""},
        {{},
         [](M& m) { return m.NewSLTPOrder(500, 1, kWho, "", "", "t"); },
         InvalidPriceResult,
         ""},
        {{},
         [](M& m) { return m.NewSLTPOrder(500, 1, kWho, Null, "", "t"); },
         InvalidPriceResult,
         ""},
        {{},
         [](M& m) { return m.NewSLTPOrder(500, 1, kWho, "abc", 1.21, "t"); },
         InvalidPriceResult,
         ""},
        {{},
         [](M& m) { return m.NewSLTPOrder(500, 1, kWho, 1.199, "", "t"); },
         InvalidPriceResult,
         ""},
        {{},
         [](M& m) { return m.NewSLTPOrder(500, 1, kWho, Null, 1.21, "t"); },
         SuccessResult,
         "119[10|100|500|2|1||1.21|2|U|0|12:00:00|11:59:58|t]"},
        // Order 701 closes 500 as a sell.
        {{},
         [](M& m) { return m.UpdateSLTPOrder(700, 1, kWho, 1.18, 1.22, "t"); },
         InvalidTicketResult,
         ""},
        {{},
         [](M& m) { return m.UpdateSLTPOrder(701, 1, kWho, 1.18, 1.201, "t"); },
         InvalidPriceResult,
         ""},
        {{},
         [](M& m) { return m.UpdateSLTPOrder(701, 1, kWho, 1.18, 1.22, "t"); },
         SuccessResult,
         "169[10|100|701|2|1|0|1.18|1.22|2|U|12:00:00|11:59:58|t]"},
        {{}, [](M& m) { return m.DeleteSLTPOrder("701,700", kWho, "t"); }, InvalidTicketResult, ""},
        {{}, [](M& m) { return m.DeleteLimitOrder("", kWho, "t"); }, InvalidTicketResult, ""},
        {{},
         [](M& m) { return m.DeleteLimitOrder("700", kWho, "t"); },
         SuccessResult,
         "117[10|100|700|2|U|0|t]"},
        // Closing checks the list lengths before the account.
        {unselected, [](M& m) { return m.CloseMarketOrder("1,2", "0.1", "t"); },
         InvalidTicketResult, ""},
        {{},
         [](M& m) { return m.CloseMarketOrder("500,999", "1,1", "t"); },
         InvalidTicketResult,
         ""},
        {{},
         [](M& m) { return m.CloseMarketOrder("500,501", "1,0.55", "t"); },
         InvalidAmountResult,
         ""},
        {{},
         [](M& m) { return m.CloseMarketOrder("500,501", "1,0.5", "t"); },
         SuccessResult,
         "113[10|100|500,501|2,2|1.2,1.2003|1,1|1,0.5|U|10000|0|12:00:00|11:59:58,11:59:58|t]"},
        // Dealer positions: any account of the login.
        {{}, [](M& m) { return m.NewPosition("x", "", "", "", "", ""); }, NoPrivilegeResult, ""},
        {dealer, [](M& m) { return m.NewPosition("100,102", "1,-1", "1,1", "2,2", "1,1", ""); },
         InvalidAccountResult, ""},
        {dealer, [](M& m) { return m.NewPosition("1e20", "1", "1", "2", "1", ""); },
         InvalidAccountResult, ""},
        {dealer,
         [](M& m) { return m.NewPosition("100,102", "1,-1", "1,1", "2,2", "1.2,1.2", "a,b"); },
         SuccessResult, "133[10,11|100,102|2,2|1,-1|1,1|1.2,1.2||U|1|0|0|a,b]"},
        {{}, [](M& m) { return m.ClosePosition(999, 7, 1, 1.2, 1, 0); }, InvalidAccountResult, ""},
        {{}, [](M& m) { return m.ClosePosition(102, 7, 1, 1.2, 1, 0); }, NoPrivilegeResult, ""},
        {dealer, [](M& m) { return m.ClosePosition(102, 7, 0.5, 1.2, 1, 2.5); }, SuccessResult,
         "134[11|102|7|0.5|1.2|1||U|1|2.5|1|0]"},
        {unselected, [](M& m) { return m.AcceptOrder(42); }, TimerExpiredResult, ""},
    };
    for (const auto& row : rows) {
        TradingSession s;
        if (row.state) row.state(s);
        s.Sent();
        const CallingResultsEnum code = row.act(*s.manager);
        SCOPED_TRACE(row.request);
        EXPECT_EQ(code, row.code);
        EXPECT_EQ(s.Sent(), row.request.empty() ? std::vector<std::string>{}
                                                : std::vector<std::string>{row.request});
    }
}

TEST(TradingCommands, ARefusedCloseTakesItsMarksBackTheAnswerClearsASentOne) {
    TradingSession s;
    auto positions = s.Account(100)->OpenPositions();
    auto marked = [&](const char* ticket) { return positions->Item(ticket)->Liquidated(); };
    EXPECT_EQ(s.manager->CloseMarketOrder("500,501,999", "1,0.5,1", "t"), InvalidTicketResult);
    EXPECT_FALSE(marked("500") || marked("501"));
    EXPECT_EQ(s.manager->CloseMarketOrder("501,500", "0.5,1", "t"), SuccessResult);
    EXPECT_TRUE(marked("500") && marked("501"));
    s.manager->CloseOrderResultRecieved(-10, 1, "T", 10, 100, 500, 1, kBuy, 1.2, 2, "t");
    EXPECT_FALSE(marked("500"));
    EXPECT_TRUE(marked("501"));
    EXPECT_NEAR(s.manager->SlTpPrice2(kBuy, 2, "TP", 1.2), 1.202, 1e-12);
    s.manager->Reset();
    EXPECT_EQ(s.manager->LimitPrice2(kBuy, 2), -1);
}

}  // namespace
