// The public session object without a server: its data client driven through
// the test seam (answers to its request object, pushes, State), its events
// recorded in order.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "clientapi/facade/COrbanexClientAPI.h"
#include "general/common/Enums.h"
#include "manager_fixture.h"
#include "platform/Paths.h"
#include "tests/support/clientapi/ClientAPIAccess.h"

namespace {

using namespace managerfixture;
using api::COrbanexClientAPI;
using testsupport::ClientAPIAccess;
using testsupport::DataClientAccess;

// Symbols 2 and 3 with a 2-pip spread, lots 0.1 to 100.
const std::string kParams = "1,0,0,5,5,0,100,1,2,2,0,5,5,0,100,0.1,3,2,0,5,5,0,100,0.1";

struct Host {
    testsupport::TempProgramFolder folder{"session"};
    std::unique_ptr<COrbanexClientAPI> api = std::make_unique<COrbanexClientAPI>();
    testsupport::RequestRecorder requests;
    std::shared_ptr<api::CClientServer> answers;
    Names events;
    std::vector<runtime::ScopedConnection> links;

    Host() {
        api::CDataClient& client = ClientAPIAccess::DataClient(*api);
        testsupport::DivertRequests(client, requests);
        answers = client.ClientServer();
        Record();
    }

    void Record() {
        COrbanexClientAPI& a = *api;
        auto plain = [this](const char* name) { return [this, name] { events.push_back(name); }; };
        links.emplace_back(a.SymbolsLoaded.Connect(plain("SymbolsLoaded")));
        links.emplace_back(a.AllDataAreLoaded.Connect(plain("AllDataAreLoaded")));
        links.emplace_back(a.OpenPositionsLoaded.Connect(plain("OpenPositionsLoaded")));
        links.emplace_back(a.PendingOrdersLoaded.Connect(plain("PendingOrdersLoaded")));
        auto pos = [this](const char* name) {
            return [this, name](const COrbanexClientAPI::PositionView& p) {
                events.push_back(std::string(name) + " " + std::to_string(p->Ticket()));
            };
        };
        links.emplace_back(a.NewOpenPosition.Connect(pos("NewOpenPosition")));
        links.emplace_back(a.DeleteOpenPosition.Connect(pos("DeleteOpenPosition")));
        auto order = [this](const char* name) {
            return [this, name](const COrbanexClientAPI::OrderView& o) {
                events.push_back(std::string(name) + " " + std::to_string(o->OrderID()));
            };
        };
        links.emplace_back(a.NewPendingOrder.Connect(order("NewPendingOrder")));
        links.emplace_back(a.DeletePendingOrder.Connect(order("DeletePendingOrder")));
    }

    Names Take() {
        Names out;
        out.swap(events);
        return out;
    }

    // The login road's answers: privileges, symbols 1-3, clients 7 and 8,
    // accounts 70 and 71 of client 7 (70 selected), then 70's data.
    void Road() {
        testsupport::AnswerOneRow(*answers, og::GET_PRIVS_TOKEN, {"5,8", "42"});
        Symbols();
        testsupport::AnswerRows(*answers, og::GET_CLIENTS_TOKEN,
                                {ClientRow(7, "ann"), ClientRow(8, "bob")});
        testsupport::AnswerRows(*answers, og::GET_ACCOUNTS2_TOKEN,
                                {AccountRow(7, 70), AccountRow(7, 71)});
        testsupport::AnswerOneRow(*answers, og::GET_ACCOUNT_COMPLEMENT_DATA_TOKEN,
                                  {"1", "7", "70", "0", "09/12/2026 10:00:00", "0", "0", kParams});
        testsupport::AnswerRows(*answers, og::GETOPENPOS_TOKEN,
                                {PositionRow(7, 70, 501, 2, 1, 1.2)});
        testsupport::AnswerRows(*answers, og::GET_PENDING_ORDERS_TOKEN, {});
    }
    void Symbols() {
        testsupport::AnswerRows(*answers, og::GET_ALL_SYMBOLS_TOKEN,
                                {SymbolRow("1", "USD", "1", "1"), SymbolRow("2", "EURUSD"),
                                 SymbolRow("3", "GBPUSD", "1.5", "1.5003")});
    }
    int32_t Push(int16_t token, const std::vector<std::string>& values) {
        return DataClientAccess::Push(ClientAPIAccess::DataClient(*api), token, values);
    }
    void RaiseState(bool connected) {
        DataClientAccess::Session(ClientAPIAccess::DataClient(*api)).State(connected);
    }
};

std::string ReadLog() {
    std::ifstream in(platform::ResolvePath("c:\\apirzk.txt"));
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// New positions, new and deleted pending orders wait for the symbol list of
// the login in hand; every other push passes.
TEST(Session, PositionAndOrderPushesWaitForTheSymbolListOfEachLogin) {
    Host h;
    EXPECT_EQ(h.Push(og::NEW_OPEN_POSITION_TOKEN, {"7", "70", PushPosRow(7, 70, 502, 2, 1, 1.2)}),
              0);
    h.Road();
    EXPECT_EQ(h.Take(), (Names{"SymbolsLoaded", "AllDataAreLoaded", "OpenPositionsLoaded",
                               "PendingOrdersLoaded"}));

    auto pushes = [&h](int32_t ticket, int32_t order) {
        h.Push(og::NEW_OPEN_POSITION_TOKEN, {"7", "70", PushPosRow(7, 70, ticket, 2, 1, 1.2)});
        h.Push(og::NEW_PENDING_ORDER_TOKEN, {"7", "70", PushOrderRow(order, 2, 1.1)});
        h.Push(og::DELETE_PENDING_ORDER_TOKEN, {"7", "70", std::to_string(order)});
    };
    pushes(502, 9001);
    EXPECT_EQ(h.Take(),
              (Names{"NewOpenPosition 502", "NewPendingOrder 9001", "DeletePendingOrder 9001"}));

    // A second login: the previous model stays until the privileges answer.
    h.api->SetLoginInfo("ANN", "PW", "127.0.0.1", 1);
    h.api->Login();
    pushes(503, 9002);
    h.Push(og::DELETE_OPEN_POSITION_TOKEN, {"7", "70", "502", "", ""});
    EXPECT_EQ(h.Take(), (Names{"DeleteOpenPosition 502"}));
    EXPECT_EQ(h.api->OpenPositionByTicket(503), nullptr);

    h.Road();
    h.Take();
    pushes(504, 9003);
    EXPECT_EQ(h.Take(),
              (Names{"NewOpenPosition 504", "NewPendingOrder 9003", "DeletePendingOrder 9003"}));
}

// Up: variables and privileges are queued before the host hears of it. Down:
// the trading state is forgotten before the host hears of it.
TEST(Session, ConnectionStateFollowsTheRequestsOrTheReset) {
    Host h;
    h.Road();
    h.requests.Take();
    Names seen;
    int32_t positionsWhenDown = 0;
    h.links.emplace_back(h.api->ConnectionState.Connect([&](bool up) {
        for (auto& r : h.requests.Take()) seen.push_back(r);
        if (!up) positionsWhenDown = h.api->OpenPositionsCount();
        seen.push_back(up ? "ConnectionState(true)" : "ConnectionState(false)");
    }));
    ASSERT_EQ(h.api->OpenPositionsCount(), 1);
    h.RaiseState(true);
    h.RaiseState(false);
    EXPECT_EQ(seen, (Names{"306[CLIENTAPI|-100]", "132[-100|CLIENT]", "ConnectionState(true)",
                           "ConnectionState(false)"}));
    EXPECT_EQ(positionsWhenDown, -1);
}

// Summary figures reach the host rounded halves to even: six to cents, the
// margin level to four places.
TEST(Session, SummariesAreRoundedHalfToEven) {
    Host h;
    std::vector<double> got;
    h.links.emplace_back(h.api->SummariesChanged.Connect(
        [&](double b, double f, double c, double e, double mr, double ml, double em) {
            got = {b, f, c, e, mr, ml, em};
        }));
    ClientAPIAccess::AccountsManager(*h.api).SummariesChanged(100.125, -0.375, 1.5, 100.375, 0.625,
                                                              1.03125, 2.0625);
    EXPECT_EQ(got, (std::vector<double>{100.12, -0.38, 1.5, 100.38, 0.62, 1.0312, 2.06}));
}

// A close result is written to the log before the host hears of it and
// "After raising" afterwards, unless the host released the object meanwhile.
TEST(Session, CloseResultIsFramedInTheLogAndSurvivesARelease) {
    for (const bool release : {false, true}) {
        SCOPED_TRACE(release ? "host releases" : "host keeps");
        Host h;
        h.Road();
        std::string logInside;
        int32_t raised = 0;
        h.links.emplace_back(h.api->CloseOrderResult.Connect(
            [&](api::NewOrderResultEnum, double, int16_t, int32_t, og::OperationTypeEnum, double,
                const COrbanexClientAPI::SymbolView&, const std::string&, int32_t,
                const std::string&) {
                ++raised;
                logInside = ReadLog();
                if (release) h.api.reset();
            }));
        testsupport::AnswerOneRow(
            *h.answers, og::CLOSE_POS_ORDER_TOKEN,
            {"5001", "1", "09/12/2026 10:00:05", "7", "70", "501", "0.5", "1", "1.2", "2", "tag7"});
        EXPECT_EQ(raised, 1);
        const std::string first =
            " : 1 , 1.2 , 1 , 5001 , 1 , 0.5 , 2 , 09/12/2026 10:00:05 , 501 , tag7\r\n";
        EXPECT_NE(logInside.find(first), std::string::npos) << logInside;
        EXPECT_EQ(logInside.find("After raising"), std::string::npos);
        const std::string after = ReadLog();
        EXPECT_EQ(after.find("After raising") != std::string::npos, !release) << after;
    }
}

// A market result names the symbol of its answer, else the one its request
// or closed position was about, else none (name "", ID 0); never the symbol
// shown last. A refused close before any price still reaches the host and its log.
TEST(Session, ResultsNameTheSymbolAskedAboutAndAlwaysReachTheHost) {
    Host h;
    h.Road();  // position 501 in EURUSD (2); no price has pointed a view yet
    Names seen;
    h.links.emplace_back(h.api->NewOrderResult.Connect(
        [&](api::NewOrderResultEnum r, double, int16_t, int32_t, og::OperationTypeEnum, double,
            const COrbanexClientAPI::SymbolView& s, const std::string&, const std::string&) {
            seen.push_back("New " + std::to_string(r) + " " + std::to_string(s->ID()) + " " +
                           s->Name());
        }));
    h.links.emplace_back(h.api->CloseOrderResult.Connect(
        [&](api::NewOrderResultEnum r, double, int16_t, int32_t, og::OperationTypeEnum, double,
            const COrbanexClientAPI::SymbolView& s, const std::string&, int32_t ticket,
            const std::string&) {
            seen.push_back("Close " + std::to_string(r) + " " + std::to_string(ticket) + " " +
                           std::to_string(s->ID()) + " " + s->Name());
        }));
    auto close = [&](const std::string& ticket, const std::string& symbol) {
        testsupport::AnswerOneRow(
            *h.answers, og::CLOSE_POS_ORDER_TOKEN,
            {"-10", "1", "T", "7", "70", ticket, "0.5", "1", "0", symbol, "g"});
    };
    auto answer = [&](const std::string& ret, const std::string& symbol) {
        testsupport::AnswerOneRow(*h.answers, og::NEW_ORDER_TOKEN,
                                  {ret, "1", "T", "1", "1", "1.2", symbol, "g"});
    };
    const struct {
        const char* step;
        std::function<void()> act;
        std::string event;
        std::string logged;  // the close entry's symbol and ticket
    } steps[] = {
        {"refused close, first result", [&] { close("501", "0"); }, "Close 6 501 2 EURUSD",
         " , 2 , T , 501 , g"},
        {"refused close, unknown ticket", [&] { close("999", "0"); }, "Close 6 999 0 ",
         " , 0 , T , 999 , g"},
        {"GBPUSD priced last", [&] { answer("7", "3"); }, "New 1 3 GBPUSD", ""},
        {"refused close, after it", [&] { close("501", "0"); }, "Close 6 501 2 EURUSD",
         " , 2 , T , 501 , g"},
        {"refused order for EURUSD",
         [&] {
             answer("7", "3");  // GBPUSD shown last again
             ASSERT_EQ(h.api->NewMarketOrder(og::BuyType, 2, 1, "t", ""), api::SuccessResult);
             answer("-2", "0");
         },
         "New 2 2 EURUSD", ""},
        {"refused order never asked", [&] { answer("-2", "0"); }, "New 2 0 ", ""},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.step);
        seen.clear();
        const size_t logged = ReadLog().size();
        step.act();
        ASSERT_FALSE(seen.empty());
        EXPECT_EQ(seen.back(), step.event);
        const std::string entries = ReadLog().substr(logged);
        if (!step.logged.empty()) {
            EXPECT_NE(entries.find(step.logged + "\r\n"), std::string::npos) << entries;
            EXPECT_NE(entries.find("After raising"), std::string::npos) << entries;
        }
    }
}

// A login whose accounts answer loads no account, empty or every row refused,
// ends for good with the message and no loaded event; one good row loads.
TEST(Session, ALoginWithoutALoadedAccountEndsForGood) {
    const struct {
        const char* name;
        Rows accounts;
        bool loads;
    } cases[] = {
        {"no rows", {}, false},
        {"every row refused",
         {{"7", "70", "1", "0", "", "x"}, {"7", "71", "1", "0", "", "?"}},
         false},
        {"one row loads", {{"7", "70", "1", "0", "", "x"}, AccountRow(7, 71)}, true},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        Host h;
        Names messages;
        og::SetMessageNotifier([&](const std::string& text) { messages.push_back(text); });
        testsupport::AnswerOneRow(*h.answers, og::GET_PRIVS_TOKEN, {"5,8", "42"});
        h.Symbols();
        testsupport::AnswerRows(*h.answers, og::GET_CLIENTS_TOKEN, {ClientRow(7, "ann")});
        testsupport::AnswerRows(*h.answers, og::GET_ACCOUNTS2_TOKEN, k.accounts);
        og::SetMessageNotifier(nullptr);
        EXPECT_EQ(h.Take(), k.loads ? (Names{"SymbolsLoaded", "AllDataAreLoaded"}) : Names{});
        EXPECT_EQ(messages, k.loads ? Names{} : Names{"Could not login without any account"});
        EXPECT_EQ(ClientAPIAccess::DataClient(*h.api).LoginUser(), k.loads ? -100 : -200);
    }
}

// A host that releases the object inside an event of the loading hears
// nothing more: not AllDataAreLoaded after SymbolsLoaded, not
// OpenPositionsLoaded after the summaries the positions' valuation raised.
TEST(Session, ReleaseInsideTheLoadingEndsIt) {
    for (const bool inSummaries : {false, true}) {
        SCOPED_TRACE(inSummaries ? "SummariesChanged" : "SymbolsLoaded");
        Host h;
        if (inSummaries)
            h.links.emplace_back(h.api->SummariesChanged.Connect(
                [&h](double, double, double, double, double, double, double) {
                    h.events.push_back("SummariesChanged");
                    h.api.reset();
                }));
        else
            h.links.emplace_back(h.api->SymbolsLoaded.Connect([&h] { h.api.reset(); }));
        h.Road();
        EXPECT_EQ(h.api, nullptr);
        EXPECT_EQ(h.Take(), inSummaries
                                ? (Names{"SymbolsLoaded", "AllDataAreLoaded", "SummariesChanged"})
                                : (Names{"SymbolsLoaded"}));
    }
}

// Commands without a login answer with a result code and send nothing.
TEST(Session, CommandsBeforeLoginAreRefusedWithACode) {
    Host h;
    COrbanexClientAPI& a = *h.api;
    const runtime::Variant none(std::string{});
    const std::vector<api::CallingResultsEnum> codes = {
        a.NewMarketOrder(og::BuyType, 2, 1, "t", ""),
        a.NewLimitOrder(og::BuyType, 2, 1, 1.1, none, none, "t", ""),
        a.UpdateLimitOrder(9, 1, 1.1, none, none, "t", ""),
        a.DeleteLimitOrder("9", "t"),
        a.NewSLTPOrder(501, 1, "1.1", none, "t"),
        a.UpdateSLTPOrder(9, 1, "1.1", none, "t"),
        a.DeleteSLTPOrder("9", "t"),
        a.CloseMarketOrder("501", "1", "t"),
        a.AcceptOrder(9),
        a.RejectOrder(9),
        a.SelectAccount(70),
    };
    for (size_t i = 0; i < codes.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_NE(codes[i], api::SuccessResult);
    }
    EXPECT_EQ(h.requests.Take(), Names{});
    EXPECT_EQ(a.OpenPositionsCount(), -1);
}

}  // namespace
