// Trading commands: the check order, the code of the first failing check and
// the exact request (or none) for each command in each state.
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
using runtime::Null;
using runtime::Variant;
using testsupport::TradingSession;

constexpr auto kBuy = OrbanelGeneral10::BuyType;
constexpr auto kSell = OrbanelGeneral10::SellType;
constexpr auto kClient = OrbanelGeneral10::CLIENT_USER_TYPE;

struct Row {
    const char* what;
    std::function<CallingResultsEnum(TradingSession&)> act;
    CallingResultsEnum code;
    std::string request;  // "" for none; {U} is the logged-in user
};

void Lock(TradingSession& s) {
    s.manager->SelectAccount(101);
    s.Sent();
}

std::string WithUser(std::string text, int32_t user) {
    const size_t at = text.find("{U}");
    if (at != std::string::npos) text.replace(at, 3, std::to_string(user));
    return text;
}

TEST(TradingCommands, EachStateGivesItsCodeAndExactlyItsRequest) {
    const Row rows[] = {
        // Market orders: the symbol is looked up before the rights.
        {"market, no selection",
         [](auto& s) {
             s.manager->Reset();
             return s.manager->NewMarketOrder(kBuy, 99, 0.3, "t", "n");
         },
         InvalidAccountResult, ""},
        {"market, locked, unknown symbol",
         [](auto& s) {
             Lock(s);
             return s.manager->NewMarketOrder(kBuy, 99, 0.3, "t", "n");
         },
         InvalidSymbolIDResult, ""},
        {"market, locked",
         [](auto& s) {
             Lock(s);
             return s.manager->NewMarketOrder(kBuy, 2, 0.3, "t", "n");
         },
         NoPrivilegeResult, ""},
        {"market, read-only login",
         [](auto& s) {
             s.manager->setReadOnlyLogin(true);
             return s.manager->NewMarketOrder(kBuy, 2, 0.3, "t", "n");
         },
         NoPrivilegeResult, ""},
        {"market, symbol not in use",
         [](auto& s) { return s.manager->NewMarketOrder(kBuy, 3, 0.3, "t", "n"); },
         InvalidSymbolIDResult, ""},
        {"market, lots off the step",
         [](auto& s) { return s.manager->NewMarketOrder(kBuy, 2, 0.35, "t", "n"); },
         InvalidAmountResult, ""},
        {"market, NaN lots",
         [](auto& s) { return s.manager->NewMarketOrder(kBuy, 2, std::nan(""), "t", "n"); },
         InvalidAmountResult, ""},
        {"market, huge lots",
         [](auto& s) { return s.manager->NewMarketOrder(kBuy, 2, 1e12, "t", "n"); },
         InvalidAmountResult, ""},
        {"market buy asks the ask",
         [](auto& s) { return s.manager->NewMarketOrder(kBuy, 2, 0.3, "t", "n"); }, SuccessResult,
         "107[10|100|2|1|0.3|1.2003|{U}|10000|12:00:00|11:59:58|t|n]"},
        {"market sell asks the bid",
         [](auto& s) { return s.manager->NewMarketOrder(kSell, 2, 10, "", ""); }, SuccessResult,
         "107[10|100|2|-1|10|1.2|{U}|10000|12:00:00|11:59:58||]"},
        // Limit orders: the rights before the symbol.
        {"limit, locked, unknown symbol",
         [](auto& s) {
             Lock(s);
             return s.manager->NewLimitOrder(kBuy, 99, 1, 1.19, kClient, "", "", "t", "n");
         },
         NoPrivilegeResult, ""},
        {"limit at the offset price",
         [](auto& s) {
             return s.manager->NewLimitOrder(kBuy, 2, 1, 1.1983, kClient, "", "", "t", "n");
         },
         InvalidPriceResult, ""},
        {"limit one pip beyond, no SL or TP",
         [](auto& s) {
             return s.manager->NewLimitOrder(kBuy, 2, 1, 1.1982, kClient, "", Null, "t", "n");
         },
         SuccessResult, "115[10|100|2|1|1.1982|1|||2|{U}|0|12:00:00|11:59:58|t|n]"},
        {"limit at -1 is held to the step only",
         [](auto& s) {
             return s.manager->NewLimitOrder(kBuy, 2, 1, -1, kClient, "", "", "t", "n");
         },
         SuccessResult, "115[10|100|2|1|-1|1|||2|{U}|0|12:00:00|11:59:58|t|n]"},
        {"limit with an SL that is no number",
         [](auto& s) {
             return s.manager->NewLimitOrder(kBuy, 2, 1, 1.19, kClient, "abc", "", "t", "n");
         },
         InvalidPriceResult, ""},
        {"sell stop with SL and TP",
         [](auto& s) {
             return s.manager->NewLimitOrder(OrbanelGeneral10::SellStopType, 2, 0.5, 1.1985,
                                             kClient, 1.2, 1.19, "t", "n");
         },
         SuccessResult, "115[10|100|2|0.5|1.1985|-2|1.2|1.19|2|{U}|0|12:00:00|11:59:58|t|n]"},
        // Updating limit order 700 (buy limit at 1.1950, SL 1.19, TP 1.21).
        {"update limit on an SL/TP order",
         [](auto& s) {
             return s.manager->UpdateLimitOrder(701, 1, 1.19, kClient, "", "", "t", "n");
         },
         InvalidTicketResult, ""},
        {"update limit to its stored price after the market fell to it",
         [](auto& s) {
             s.Symbol(2).setAsk(1.1960);
             s.Symbol(2).setBid(1.1957);
             return s.manager->UpdateLimitOrder(700, 1, 1.195, OrbanelGeneral10::DEALER_USER_TYPE,
                                                1.19, 1.21, "t", "n");
         },
         SuccessResult, "116[10|100|700|2|1.195|1|1.19|1.21|1|{U}|1|12:00:00|11:59:58|t|n]"},
        {"update limit to a new price too near the fallen market",
         [](auto& s) {
             s.Symbol(2).setAsk(1.1960);
             return s.manager->UpdateLimitOrder(700, 1, 1.1945, kClient, 1.19, 1.21, "t", "n");
         },
         InvalidPriceResult, ""},
        {"update limit with lots off the step",
         [](auto& s) {
             return s.manager->UpdateLimitOrder(700, 0.25, 1.195, kClient, "", "", "t", "n");
         },
         InvalidAmountResult, ""},
        // SL/TP of buy position 500: from the raw bid 1.2000, SL below 1.1990, TP above 1.2020.
        {"new SL/TP, unknown ticket",
         [](auto& s) { return s.manager->NewSLTPOrder(999, 1, kClient, 1.19, "", "t"); },
         InvalidTicketResult, ""},
        {"new SL/TP, both empty",
         [](auto& s) { return s.manager->NewSLTPOrder(500, 1, kClient, "", "", "t"); },
         InvalidPriceResult, ""},
        {"new SL/TP, SL Null and TP empty",
         [](auto& s) { return s.manager->NewSLTPOrder(500, 1, kClient, Null, "", "t"); },
         InvalidPriceResult, ""},
        {"new SL/TP, SL not a number",
         [](auto& s) { return s.manager->NewSLTPOrder(500, 1, kClient, "abc", 1.21, "t"); },
         InvalidPriceResult, ""},
        {"new SL/TP, SL at the reference",
         [](auto& s) { return s.manager->NewSLTPOrder(500, 1, kClient, 1.199, "", "t"); },
         InvalidPriceResult, ""},
        {"new SL/TP, SL Null and a valid TP",
         [](auto& s) { return s.manager->NewSLTPOrder(500, 1, kClient, Null, 1.21, "t"); },
         SuccessResult, "119[10|100|500|2|1||1.21|2|{U}|0|12:00:00|11:59:58|t]"},
        {"new SL/TP, SL as text",
         [](auto& s) { return s.manager->NewSLTPOrder(500, 1, kClient, "1.1989", "", "t"); },
         SuccessResult, "119[10|100|500|2|1|1.1989||2|{U}|0|12:00:00|11:59:58|t]"},
        // Updating SL/TP order 701 (closes 500 as a sell; SL 1.18, TP 1.22).
        {"update SL/TP on a limit order",
         [](auto& s) { return s.manager->UpdateSLTPOrder(700, 1, kClient, 1.18, 1.22, "t"); },
         InvalidTicketResult, ""},
        {"update SL/TP, both empty",
         [](auto& s) { return s.manager->UpdateSLTPOrder(701, 1, kClient, "", "", "t"); },
         InvalidPriceResult, ""},
        {"update SL/TP to a TP below the reference",
         [](auto& s) { return s.manager->UpdateSLTPOrder(701, 1, kClient, 1.18, 1.201, "t"); },
         InvalidPriceResult, ""},
        {"update SL/TP keeping both",
         [](auto& s) { return s.manager->UpdateSLTPOrder(701, 1, kClient, 1.18, 1.22, "t"); },
         SuccessResult, "169[10|100|701|2|1|0|1.18|1.22|2|{U}|12:00:00|11:59:58|t]"},
        // Deleting orders.
        {"delete SL/TP orders with a limit order among them",
         [](auto& s) { return s.manager->DeleteSLTPOrder("701,700", kClient, "t"); },
         InvalidTicketResult, ""},
        {"delete limit orders, empty list",
         [](auto& s) { return s.manager->DeleteLimitOrder("", kClient, "t"); }, InvalidTicketResult,
         ""},
        {"delete limit order",
         [](auto& s) { return s.manager->DeleteLimitOrder("700", kClient, "t"); }, SuccessResult,
         "117[10|100|700|2|{U}|0|t]"},
        {"delete SL/TP order, locked",
         [](auto& s) {
             Lock(s);
             return s.manager->DeleteSLTPOrder("701", kClient, "t");
         },
         NoPrivilegeResult, ""},
        // Closing positions: the list lengths before the account.
        {"close, lists of different lengths, no selection",
         [](auto& s) {
             s.manager->Reset();
             return s.manager->CloseMarketOrder("1,2", "0.1", "t");
         },
         InvalidTicketResult, ""},
        {"close, second ticket unknown",
         [](auto& s) { return s.manager->CloseMarketOrder("500,999", "1,1", "t"); },
         InvalidTicketResult, ""},
        {"close, second amount off the step",
         [](auto& s) { return s.manager->CloseMarketOrder("500,501", "1,0.55", "t"); },
         InvalidAmountResult, ""},
        {"close two positions",
         [](auto& s) { return s.manager->CloseMarketOrder("500,501", "1,0.5", "t"); },
         SuccessResult,
         "113[10|100|500,501|2,2|1.2,1.2003|1,1|1,0.5|{U}|10000|0|12:00:00|11:59:58,11:59:58|t]"},
        // Dealer positions: the privilege before the lists; the account before the privilege.
        {"new position without the privilege",
         [](auto& s) { return s.manager->NewPosition("x", "", "", "", "", ""); }, NoPrivilegeResult,
         ""},
        {"new position for two accounts with empty notes",
         [](auto& s) {
             s.security->UserHasThesePrivs("75");
             return s.manager->NewPosition("100,102", "1,-1", "1,1", "2,2", "1.2,1.2", "");
         },
         InvalidAccountResult, ""},
        {"new position for an account beyond 32 bits",
         [](auto& s) {
             s.security->UserHasThesePrivs("75");
             return s.manager->NewPosition("1e20", "1", "1", "2", "1.2", "");
         },
         InvalidAccountResult, ""},
        {"new position for two accounts",
         [](auto& s) {
             s.security->UserHasThesePrivs("75");
             return s.manager->NewPosition("100,102", "1,-1", "1,1", "2,2", "1.2,1.2", "a,b");
         },
         SuccessResult, "133[10,11|100,102|2,2|1,-1|1,1|1.2,1.2||{U}|1|0|0|a,b]"},
        {"close position of an unknown account without the privilege",
         [](auto& s) { return s.manager->ClosePosition(999, 7, 1, 1.2, 1, 0); },
         InvalidAccountResult, ""},
        {"close position without the privilege",
         [](auto& s) { return s.manager->ClosePosition(102, 7, 1, 1.2, 1, 0); }, NoPrivilegeResult,
         ""},
        {"close position of another client's account",
         [](auto& s) {
             s.security->UserHasThesePrivs("75");
             return s.manager->ClosePosition(102, 7, 0.5, 1.2, 1, 2.5);
         },
         SuccessResult, "134[11|102|7|0.5|1.2|1||{U}|1|2.5|1|0]"},
        // Re-quote answers without a re-quote.
        {"accept without a re-quote", [](auto& s) { return s.manager->AcceptOrder(42); },
         TimerExpiredResult, ""},
        {"reject without a selection",
         [](auto& s) {
             s.manager->Reset();
             return s.manager->RejectOrder(42);
         },
         TimerExpiredResult, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TradingSession s;
        EXPECT_EQ(row.act(s), row.code);
        const std::vector<std::string> sent = s.Sent();
        if (row.request.empty()) {
            EXPECT_TRUE(sent.empty()) << sent.front();
        } else {
            EXPECT_EQ(sent, std::vector<std::string>{WithUser(row.request, s.client->LoginUser())});
        }
    }
}

TEST(TradingCommands, ARefusedCloseTakesItsMarksBackASentOneKeepsThem) {
    TradingSession s;
    auto positions = s.Account(100)->OpenPositions();
    auto marked = [&](const char* ticket) { return positions->Item(ticket)->Liquidated(); };
    EXPECT_EQ(s.manager->CloseMarketOrder("500,501,999", "1,0.5,1", "t"), InvalidTicketResult);
    EXPECT_FALSE(marked("500"));
    EXPECT_FALSE(marked("501"));
    EXPECT_EQ(s.manager->CloseMarketOrder("501,500", "0.5,1", "t"), SuccessResult);
    EXPECT_TRUE(marked("500"));
    EXPECT_TRUE(marked("501"));
    // The answer for a ticket clears its mark whatever the result.
    s.manager->CloseOrderResultRecieved(-10, 1, "13:00:00", 10, 100, 500, 1, kBuy, 1.2, 2, "t");
    EXPECT_FALSE(marked("500"));
    EXPECT_TRUE(marked("501"));
}

TEST(TradingCommands, PriceGettersFollowTheSelectedClient) {
    TradingSession s;
    EXPECT_NEAR(s.manager->LimitPrice2(kBuy, 2), 1.1983, 1e-12);
    EXPECT_NEAR(s.manager->SlTpPrice2(kBuy, 2, "SL", 1.2), 1.199, 1e-12);
    EXPECT_NEAR(s.manager->SlTpPrice2(kBuy, 2, "TP", 1.2), 1.202, 1e-12);
    EXPECT_EQ(s.manager->LimitPrice2(kBuy, 99), -1);
    s.manager->Reset();
    EXPECT_EQ(s.manager->LimitPrice2(kBuy, 2), -1);
    EXPECT_EQ(s.manager->SlTpPrice2(kBuy, 2, "SL", 1.2), -1);
    EXPECT_EQ(s.manager->LimitRelation(static_cast<OrbanelGeneral10::OperationTypeEnum>(0)), "<");
    EXPECT_EQ(s.manager->SlTpRelation(kBuy, "sl"), "<");
    double a = 7.5, b = 2;
    EXPECT_EQ(s.manager->ModLarge(a, b), 0);
    EXPECT_EQ(a, 8);
}

}  // namespace
