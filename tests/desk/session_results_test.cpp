// The account session's order results without a server: every row of the result
// tables as data (journal, note, message and sound in their order), the texts of
// ResultDescription and BuySellDesc, a close request and its rejection, and the
// mends for order-id lists and lost connections.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "desk/common/MGeneral.h"
#include "desk/sessions/CClientAPIManagers.h"
#include "desk/sessions/UnansweredCommands.h"
#include "tests/support/TempProgramFolder.h"
#include "tests/support/clientapi/ViewFactory.h"
#include "tests/support/desk/FakeDesk.h"

namespace {

using namespace OrbanexDesk;
using testsupport::FakeDesk;
using Names = std::vector<std::string>;
using API = CClientAPIManager::API;
using R = OrbanexClientAPI10::NewOrderResultEnum;
namespace og = OrbanelGeneral10;

constexpr int32_t kOrder = 77;
constexpr int32_t kTicket = 5;
constexpr int32_t kOther = 2002;  // an event's own account

struct Desk {
    testsupport::TempProgramFolder folder{"desk-results"};
    testsupport::ViewFactory views;
    FakeDesk desk{CClientAPIManagers::Factory()};
    ManagerPtr session;
    SymbolPtr eurusd = views.Symbol({.id = 2, .name = "EURUSD", .bid = 1.2345, .ask = 1.2347});

    Desk() {
        session = desk.Services().Managers()->Add("127.0.0.1", 1, "A", "pw", false, 1001);
        desk.Ports().frmorder->Add(1001, "", 0);
        desk.stores().CloseSymbols.setEnabled(false);
        desk.Take();
    }
    API& api() { return *session->ClientAPIF(); }
};

R Code(int32_t code) {
    return static_cast<R>(code);
}

// Raises one result event of the session's API object with fixed arguments.
void Raise(Desk& d, const std::string& handler, int32_t code) {
    API& a = d.api();
    const R r = Code(code);
    const auto& s = d.eurusd;
    if (handler == "NewOrder")
        a.NewOrderResult(r, 1.2345, 1, kOrder, og::BuyType, 1.5, s, "09/12/2026 10:00:00", "");
    else if (handler == "NewLimit")
        a.NewLimitOrderResult(r, kOrder, "", "");
    else if (handler == "UpdateLimit")
        a.UpdateLimitOrderResult(r, kOrder, "", "");
    else if (handler == "DeleteLimit")
        a.DeleteLimitOrderResult(r, std::to_string(kOrder), "");
    else if (handler == "NewSLTP")
        a.NewSLTPOrderResult(r, kOrder, "", "");
    else if (handler == "UpdateSLTP")
        a.UpdateSLTPOrderResult(r, kOrder, "", "");
    else if (handler == "DeleteSLTP")
        a.DeleteSLTPOrderResult(r, std::to_string(kOrder), "");
    else if (handler == "Close")
        a.CloseOrderResult(r, 1.2345, 1, kOrder, og::BuyType, 1.5, s, "09/12/2026 10:00:00",
                           kTicket, "");
}

// Every listed result gives its reactions in order; a code outside a table gives
// none, except the two SL/TP handlers that always journal.
TEST(SessionResults, EveryTableRowGivesItsReactionsInOrder) {
    struct Case {
        std::string handler;
        int32_t code;
        Names log;
        bool chooserEnabled = false;
    };
    const std::string j = "journal|1001|", m = "message|##DEF##|", on = "order.addNote|",
                      ln = "limit.addNote|", sp = "close.searchpos|1001|5|";
    const std::string noEquity = "sound|NoEquity.wav|played", enable = "order.Enableds|True";
    const std::string quote = "Unable to get  quote on this symbol due to market conditions";
    const std::vector<Case> cases = {
        {"NewOrder",
         1,
         {"pending.Removeorder|77|1001", j + "Order #77 [BUY 1.5 EURUSD] has been accepted",
          on + "Market Order Accepted|1001", enable}},
        {"NewOrder", 2, {j + "Not enough money", on + "Not enough money|1001", noEquity, enable}},
        {"NewOrder", 3, {j + "Trading Is Closed", on + "Trading Is Closed|1001", noEquity, enable}},
        {"NewOrder",
         4,
         {j + "Not Taken According to market Connditions",
          on + "Not Taken According to market Connditions|1001", noEquity, enable}},
        {"NewOrder", 5, {j + "Bad Connection", on + "Bad Connection|1001", noEquity, enable}},
        {"NewOrder",
         6,
         {j + "Position Is Closed", on + "Position Is Closed|1001", noEquity, enable}},
        {"NewOrder",
         7,
         {j + "Position in peniding Order", on + "Position in peniding Order|1001", enable}},
        {"NewOrder",
         8,
         {j + "Position Has Pending Orders", on + "Position Has Pending Orders|1001", noEquity,
          enable}},
        {"NewOrder",
         13,
         {j + "Heddging Not Allowed", on + "Heddging Not Allowed|1001", "sound|Alert.wav|played",
          enable}},
        {"NewOrder", 9, {enable}},
        {"NewOrder", 100, {enable}},
        {"NewLimit", 1, {"pending.Removeorder|77|1001", "sound|OrderOk.wav|played"}},
        {"NewLimit", 2, {j + "Not Enough Money", ln + "Not Enough Money|1001", noEquity}},
        {"NewLimit", 3, {j + "Trading Is Closed", noEquity, ln + "Trading Is Closed|1001"}},
        {"NewLimit", 4, {j + "Unable MarketConditions", noEquity}},
        {"NewLimit", 5, {j + "Unable_Bad Connection", noEquity, ln + "Unable Bad Connection|1001"}},
        {"NewLimit", 6, {j + "Position Is Closed", noEquity, ln + "Position Is Closed|1001"}},
        {"NewLimit", 7, {j + "Position Is Pending", ln + "Position Is Pending|1001"}},
        {"NewLimit",
         8,
         {j + "Position Has Pending Orders", ln + "Position Has Pending Orders|1001", noEquity}},
        {"NewLimit", 9, {j + "Invalid Amount", noEquity}},
        {"NewLimit", 10, {j + "Not Found", ln + "Not Found|1001", noEquity}},
        {"NewLimit", 11, {j + "Order 77 :All Lots Are Managed"}},
        {"NewLimit", 12, {}},
        {"UpdateLimit", 1, {j + "Order #77has been updated"}},
        {"UpdateLimit", 2, {ln + " Not Enough Money |1001"}},
        {"UpdateLimit", 3, {ln + " Trading Is Closed |1001"}},
        {"UpdateLimit", 4, {}},
        {"UpdateLimit", 5, {ln + " Unable Bad Connection|1001"}},
        {"UpdateLimit", 6, {ln + " Position Is Closed |1001"}},
        {"UpdateLimit", 7, {ln + " Position Is Pending |1001"}},
        {"UpdateLimit", 8, {ln + " Position Has Pending Orders |1001"}},
        {"UpdateLimit", 9, {ln + " Invalid Amount |1001"}},
        {"UpdateLimit", 10, {ln + " Not Found |1001"}},
        {"UpdateLimit", 11, {ln + " All Amount Are Managed |1001"}},
        {"UpdateLimit", 12, {}},
        {"UpdateLimit", 13, {ln + " Hedging Not Allowed |1001"}},
        {"UpdateLimit", 100, {ln + " Failed Result |1001"}},
        {"DeleteLimit",
         1,
         {"pending.Removeorder|77|1001", j + "Order number #77 Canceled successfully"}},
        {"DeleteLimit",
         2,
         {j + "Order number #77 Not Enough Money", m + "Order number #77 Not Enough Money"}},
        {"DeleteLimit",
         3,
         {j + "Order number #77 Trading Is Closed", m + "Order number #77 Trading Is Closed"}},
        {"DeleteLimit", 4, {j + "Order number #77 " + quote, m + "Order number #77 " + quote}},
        {"DeleteLimit",
         5,
         {j + "Order number #77 Unable Bad Connection",
          m + "Order number #77 Unable Bad Connection"}},
        {"DeleteLimit",
         6,
         {j + "Order number #77 Position Is Closed ", m + "Order number #77 Position Is Closed "}},
        {"DeleteLimit",
         7,
         {j + "Order number #77 Position Is Pending", m + "Order number #77 Position Is Pending"}},
        {"DeleteLimit",
         8,
         {j + "Order number #77 Position Has Pending Orders",
          m + "Order number #77 Position Has Pending Orders"}},
        {"DeleteLimit",
         9,
         {j + "Order number #77 Invalid Amount", m + "Order number #77 Invalid Amount"}},
        {"DeleteLimit", 10, {j + "Order number #77 NotFound", m + "Order number #77 NotFound"}},
        {"DeleteLimit",
         11,
         {j + "Order number #77 All Amount Are Managed",
          m + "Order number #77 All Amount Are Managed"}},
        {"DeleteLimit",
         12,
         {j + "Order number #77 Unable To Do Operation",
          m + "Order number #77 Unable ToDo Operation"}},
        {"DeleteLimit", 13, {}},
        {"DeleteLimit", 100, {}},
        {"NewSLTP", 1, {j + "Request SL/TP for #77"}},
        {"NewSLTP", 2, {j + "NotEnoughMoney"}},
        {"NewSLTP", 3, {j + "Trading Is Closed"}},
        {"NewSLTP", 4, {j + quote}},
        {"NewSLTP", 5, {j + "Unable to get  quote due to a bad connection, Please try again"}},
        {"NewSLTP", 6, {j + "Position Is Closed "}},
        {"NewSLTP", 7, {j + "Position Is Pending"}},
        {"NewSLTP", 8, {j + "Position Has Pending Orders"}},
        {"NewSLTP", 9, {j + "InvalidAmount"}},
        {"NewSLTP", 10, {j + "NotFound"}},
        {"NewSLTP", 11, {j + "All Amount Are Managed"}},
        {"NewSLTP", 12, {j + "Unable ToDo Operation"}},
        {"NewSLTP", 13, {}},
        {"UpdateSLTP", 3, {j + "Updating SL/TP order #77 result #3"}},
        {"UpdateSLTP", 0, {j + "Updating SL/TP order #77 result #0"}},
        {"DeleteSLTP", 1, {"pending.Removeorder|77|1001", j + "Delete SLTP Order #77 Succeeded"}},
        {"DeleteSLTP", 7, {j + "Delete SLTP Order #77 UNDEFINED RESULT"}},
        {"Close",
         2,
         {j + "Order 5 not enough money", m + "Order 5 not enough money for account 1001",
          sp + " not enough money"},
         true},
        {"Close",
         3,
         {j + "Order 5 trading is closed", m + "Order 5 trading is closed for account 1001",
          sp + " Trading is closed", "pending.Removeorder|77|1001"},
         true},
        {"Close", 4, {j + quote, m + "Order 5 is " + quote, sp + "Position 5 is " + quote}, true},
        {"Close",
         5,
         {j + "Unable to get  quote due to  bad connection, Please try again",
          m + "Order 5 is Unable to get quote due to bad connection, Please try again ",
          sp + "Position 5 is Unable to get  quote due to  bad connection, Please try again"}},
        {"Close",
         6,
         {j + "Position 5 is closed", m + "Order 5 is closed", sp + "Position 5 is closed"},
         true},
        {"Close",
         7,
         {j + "Request close ticket #5 Buy  1.5 EURUSD at 1.2345",
          m + "Position 5 is in pending mode", sp + "Position 5 is in pending mode"}},
        {"Close",
         8,
         {j + "Position 5 has pending orders", m + "Position 5 has pending orders",
          sp + "Position 5 has pending orders"},
         true},
        {"Close", 9, {}},
        {"Close", 100, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.handler + " " + std::to_string(c.code));
        Desk d;
        Raise(d, c.handler, c.code);
        EXPECT_EQ(d.desk.Take(), c.log);
        EXPECT_EQ(d.desk.stores().CloseSymbols.Enabled(), c.chooserEnabled);
    }
}

// The notices of the server carry their own account where the table says so.
TEST(SessionResults, OrderNoticesRemoveTheRequestRowAndJournalOrWarn) {
    Desk d;
    API& a = d.api();
    const auto& s = d.eurusd;
    a.LimitOrderAccepted(kOther, kOrder, kTicket, og::BuyStopType, 1.5, s);
    a.LimitOrderCanceledCannotHdg(kOther, kOrder, kTicket, og::BuyType, 1.5, s);
    a.LimitOrderCanceledNoMoney(kOther, kOrder, kTicket, og::BuyType, 1.5, s);
    a.SlTpOrderAccepted(kOther, kOrder, kTicket);
    a.SlTpOrderCanceledNoMoney(kOther, kOrder, kTicket);
    d.desk.orderAmount = "3";
    a.MarketOrderAccepted(kOther, kOrder, kTicket, og::SellType, 1.5, s, 1.2345, og::NewType, 1.2);
    EXPECT_EQ(d.desk.orderAmount, "");
    EXPECT_EQ(d.desk.stores().orderClients.Item("C1001").SubItems(2), "Market Order Accepted");
    a.MarketOrderAccepted(kOther, kOrder, kTicket, og::BuyType, 1.5, s, 1.2345, og::LiquidateType,
                          1.2);
    const std::string rm = "pending.Removeorder|77|1001", m = "message|##DEF##|Limit Order:77 ";
    EXPECT_EQ(d.desk.Take(),
              (Names{rm, "journal|2002|Entry Order 77 [buy 1.5 EURUSD] has been executed",
                     m + "cancelled because cannot handge for account number #2002", rm,
                     m + "cancelled because there is no money for account number #2002", rm, rm,
                     "journal|2002|SL/TP request #77 is accepted", rm,
                     "journal|2002|SL/TP request #77 is canceled - no money",
                     "journal|1001|Order #77 [SELL 1.5 EURUSD] has been accepted", rm,
                     "order.Enableds|True", "trade.RemovePosition|5|2002", rm,
                     "journal|1001|Ticket #5 has been closed successfully"}));

    // Without the account's market-order row the note is skipped, the rest runs.
    d.desk.Ports().frmorder->Remove(1001);
    d.desk.Take();
    a.MarketOrderAccepted(kOther, kOrder, kTicket, og::BuyType, 1, s, 1.2345, og::NewType, 1.2);
    EXPECT_EQ(d.desk.Take(), (Names{"journal|1001|Order #77 [BUY 1 EURUSD] has been accepted", rm,
                                    "order.Enableds|True"}));
    // A rejection without the row ends quietly at once.
    a.MarketOrderRejected(kOrder, og::BuyType, 1, s, 1.2345, og::NewType);
    EXPECT_TRUE(d.desk.Take().empty());
}

TEST(SessionResults, ResultAndSideTextsFollowTheirTables) {
    const std::vector<std::pair<int32_t, std::string>> results = {
        {1, "Succeeded"},
        {2, "Not enough money"},
        {3, "Trading is closed"},
        {4, "Failed - Market conditions"},
        {5, "Failed - Bad connection"},
        {6, "Position is closed"},
        {7, "UNDEFINED RESULT"},
        {8, "Position has pending orders"},
        {9, "Invalid amount"},
        {10, "Order not found"},
        {11, "All amount are managed"},
        {12, "Unable to do operation"},
        {13, "Hedging not allowed"},
        {100, "Failed"},
        {0, "UNDEFINED RESULT"},
        {-1, "UNDEFINED RESULT"},
    };
    for (const auto& [code, text] : results)
        EXPECT_EQ(CClientAPIManager::ResultDescription(Code(code)), text) << code;
    const std::vector<std::pair<int32_t, std::string>> sides = {
        {1, "buy"}, {2, "buy"}, {-1, "sell"}, {-2, "sell"}, {0, "sell"}};
    for (const auto& [side, text] : sides)
        EXPECT_EQ(CClientAPIManager::BuySellDesc(static_cast<og::OperationTypeEnum>(side)), text)
            << side;
}

// A close held as a request: a "CP" row and the map entry; its rejection marks
// the position and forgets the entry; an executed close of the last position
// unchecks chkAll, with another one left the box stays.
TEST(SessionResults, ACloseRequestAndItsRejectionAndTheLastClose) {
    Desk d;
    API& a = d.api();
    const auto& s = d.eurusd;
    a.CloseOrderResult(R::DoneResult, 1.2345, 2, kOrder, og::SellType, 1.5, s, "t", kTicket, "");
    EXPECT_EQ(d.desk.stores().pendingCloses.Item(OrbanexDesk::PendingRowKey(1001, kOrder)),
              kTicket);
    EXPECT_NE(d.desk.stores().lvwPending.Find(OrbanexDesk::PendingRowKey(1001, 77)), nullptr);
    a.MarketOrderRejected(kOrder, og::SellType, 1.5, s, 1.2345, og::LiquidateType);
    EXPECT_EQ(d.desk.Take(),
              (Names{"pending.Add|77|1001|CP", "close.searchpos|1001|5|Position in pending mode",
                     "journal|1001|Request close ticket #5 Sell  1.5 EURUSD at 1.2345",
                     "close.RefreshMSH", "journal|1001|Order 77 has been rejected",
                     "pending.Removeorder|77|1001", "order.Enableds|True",
                     "close.searchpos|1001|5|Closing has been rejected"}));
    EXPECT_FALSE(d.desk.stores().pendingCloses.Contains(std::to_string(kOrder)));
    EXPECT_TRUE(d.desk.stores().CloseSymbols.Enabled());
    EXPECT_EQ(d.desk.stores().orderClients.Item("C1001").SubItems(2), "order has been rejected");
    // Side 0 has no side word.
    a.CloseOrderResult(Code(7), 1.2345, 1, kOrder, static_cast<og::OperationTypeEnum>(0), 2, s, "",
                       kTicket, "");
    EXPECT_EQ(d.desk.Lines("journal").front(),
              "journal|1001|Request close ticket #5 2 EURUSD at 1.2345");

    for (int32_t t : {5, 6}) {
        auto pos =
            d.views.Position({.ticket = t, .symbol = 2, .lots = 1, .price = 1.2, .time = {}});
        d.desk.Ports().frmTrade->AddPosition(pos, 1001);
    }
    d.desk.chkAll = true;
    a.CloseOrderResult(R::DoneResult, 1.2345, 1, kOrder, og::BuyType, 1, s, "", 5, "");
    EXPECT_TRUE(d.desk.chkAll);
    a.CloseOrderResult(R::DoneResult, 1.2345, 1, kOrder, og::BuyType, 1, s, "", 6, "");
    EXPECT_FALSE(d.desk.chkAll);
    EXPECT_EQ(d.desk.Lines("journal").back(), "journal|1001|Postion 6 is closed successfuly");
}

// Order-id lists lose every whole number's row (the rest is skipped); a lost
// connection re-enables the market-order pane.
TEST(SessionResults, IdListsRemoveEachWholeNumberAndADropReenablesThePane) {
    Desk d;
    d.api().DeleteLimitOrderResult(R::DoneResult, "12,13", "");
    d.api().DeleteSLTPOrderResult(R::DoneResult, "14,,x,1.5, 15", "");
    EXPECT_EQ(d.desk.Take(), (Names{"pending.Removeorder|12|1001", "pending.Removeorder|13|1001",
                                    "journal|1001|Order number #12,13 Canceled successfully",
                                    "pending.Removeorder|14|1001", "pending.Removeorder|15|1001",
                                    "journal|1001|Delete SLTP Order #14,,x,1.5, 15 Succeeded"}));
    d.desk.orderControlsEnabled = false;
    d.api().ConnectionState(false);
    EXPECT_TRUE(d.desk.orderControlsEnabled);
}

}  // namespace

// A re-quote's notice answers the answers sent for its order (the other commands
// are answered by their requests' answers, end to end). When the connection
// ends, each command still waiting gets one line (a market or entry order's pane
// row the same note), once; a removed session tells its own.
TEST(SessionResults, ACommandWithoutItsAnswerIsToldOnceWhenTheConnectionEnds) {
    using K = UnansweredCommands::Kind;
    using C = UnansweredCommands::Command;
    Desk d;
    API& a = d.api();
    UnansweredCommands& kept = d.session->Unanswered();
    uint64_t request = 0;
    for (C c : {C::Order(K::MarketOrder, og::BuyType, 1.5, "EURUSD"),
                C::Order(K::EntryOrder, og::SellStopType, 1, "EURUSD", "1.2000"),
                C::Numbered(K::EntryUpdate, 12), C::Listed(K::EntryCancel, "13,14"),
                C::Numbered(K::SlTpOrder, kTicket), C::Numbered(K::SlTpUpdate, 15),
                C::Listed(K::SlTpCancel, "16"), C::Listed(K::Close, "6"),
                C::Numbered(K::RequoteAccept, 17), C::Numbered(K::RequoteReject, 18)})
        kept.Keep(std::move(c), ++request);
    a.MarketOrderAccepted(kOther, 17, kTicket, og::BuyType, 1, d.eurusd, 1.2, og::NewType, 1.2);
    a.MarketOrderRejected(19, og::BuyType, 1, d.eurusd, 1.2, og::NewType);  // no answer of ours
    d.desk.Take();
    a.ConnectionState(false);
    a.ConnectionState(false);
    const std::string lost =
        ": no answer came before the connection closed; its result is not known; see Trade and "
        "Pending Order once the account is logged in again";
    const std::string market = "Market order [BUY 1.5 EURUSD]" + lost,
                      entry = "Entry order [Sell Stop 1 EURUSD at 1.2000]" + lost,
                      update = "Update of entry order #12" + lost;
    const Names told = d.desk.Take();
    Names lines;
    for (const std::string& line : told)
        if (line.rfind("journal|", 0) == 0 || line.find(".addNote|") != std::string::npos)
            lines.push_back(line);
    EXPECT_EQ(lines, (Names{"journal|1001|" + market, "order.addNote|" + market + "|1001",
                            "journal|1001|" + entry, "limit.addNote|" + entry + "|1001",
                            "journal|1001|" + update, "limit.addNote|" + update + "|1001",
                            "journal|1001|Cancel of entry order #13,14" + lost,
                            "journal|1001|SL/TP order for ticket #5" + lost,
                            "journal|1001|Update of SL/TP order #15" + lost,
                            "journal|1001|Cancel of SL/TP order #16" + lost,
                            "journal|1001|Close of ticket #6" + lost,
                            "journal|1001|Reject of re-quoted order #18" + lost}));
    EXPECT_TRUE(kept.empty());

    kept.Keep(C::Numbered(K::RequoteAccept, 17), ++request);
    kept.Keep(C::Numbered(K::RequoteReject, 18), ++request);
    a.MarketOrderRejected(18, og::BuyType, 1, d.eurusd, 1.2, og::NewType);
    d.desk.Take();
    d.desk.Services().Managers()->Remove("C1");
    EXPECT_EQ(d.desk.Lines("journal|"),
              (Names{"journal|1001|Accept of re-quoted order #17" + lost}));
}
