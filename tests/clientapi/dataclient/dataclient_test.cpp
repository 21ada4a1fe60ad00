// The data client without a socket: relays of the request objects' events,
// the push dispatcher, the session pushes against the privileges, and a host
// that releases the data client inside any of its events.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "clientapi/dataclient/CDataClient.h"
#include "general/common/Enums.h"
#include "runtime/Strings.h"
#include "tests/clientapi/dataclient/AnswerCases.h"
#include "tests/clientapi/dataclient/AnswerRecorder.h"
#include "tests/clientapi/dataclient/PushRecorder.h"
#include "tests/support/DataClientProbe.h"

namespace {

namespace api = OrbanexClientAPI10;
namespace og = OrbanelGeneral10;
using Lines = std::vector<std::string>;
using testsupport::DataClientAccess;
using testsupport::PushRecorder;

class DataClient : public ::testing::Test {
protected:
    void SetUp() override {
        client->setSecurityRef(security);
        testsupport::DivertRequests(*client, requests);
    }
    int32_t Push(int16_t token, const Lines& values) {
        return DataClientAccess::Push(*client, token, values);
    }

    std::unique_ptr<api::CDataClient> client = std::make_unique<api::CDataClient>();
    std::shared_ptr<api::CSecurity> security = std::make_shared<api::CSecurity>();
    testsupport::RequestRecorder requests;
    PushRecorder pushes{*client};
};

// Every answer of the request object comes out of the data client under its
// own name with its own arguments; a switch-order result comes twice, raw and
// then normalised, and the timer-expired answer reaches no one.
TEST_F(DataClient, RelaysEveryAnswerOfTheRequestObjectUnderItsOwnName) {
    testsupport::AnswerRecorder<api::CDataClient> relayed(*client);
    std::vector<testsupport::AnswerCase> cases = testsupport::OneRowAnswers();
    cases.push_back({og::SWITCH_ORDER_TOKEN, {"0", "15"}, "SwitchOrderResultReceived(0, 15)"});
    cases.push_back({og::SWITCH_ORDER_TOKEN, {"-2", "16"}, "SwitchOrderResultReceived(-2, 16)"});
    for (const auto& k : cases) {
        SCOPED_TRACE(k.token);
        testsupport::AnswerOneRow(*client->ClientServer(), k.token, k.fields);
        Lines expected{k.event};
        if (k.token == og::TIMER_EXPIRED_TOKEN) expected.clear();
        if (k.token == og::SWITCH_ORDER_TOKEN) {
            const std::string normal = k.fields[0] == "-2" ? "-2" : "1";
            expected.push_back("SwitchOrderResultReceived(" + normal + ", " + k.fields[1] + ")");
        }
        EXPECT_EQ(relayed.Take(), expected);
    }
    for (const auto& [token, name] : testsupport::ListAnswers()) {
        SCOPED_TRACE(token);
        testsupport::AnswerRows(*client->ClientServer(), token, {{"a", "b"}, {"c", "d"}});
        EXPECT_EQ(relayed.Take(), Lines{name + "(False, [a,b|c,d], 2, 2)"});
    }
    testsupport::AnswerRows(*client->Reports(), og::GET_REPORT_TOKEN, {});
    testsupport::AnswerOneRow(*client->MoneyTrans(), og::ACCOUNT_TRANS_TOKEN, {"x"});
    testsupport::AnswerRows(*client->OnlineSessions(), og::GET_ONLINE_SESSIONS_TOKEN, {});
    EXPECT_EQ(pushes.Take(), (Lines{"ReportDataReceived(True, [])",
                                    "MoneyTransResultReceived(True)", "AllSessionsLoaded()"}));
    client->GetSessions(4);
    client->GenerateDemoAccount("ip", 1, "a", "e", "n", "m", "c", 5, "p");
    EXPECT_EQ(requests.Take(), Lines{"182[4|1]"});
}

TEST_F(DataClient, PushesBecomeTypedEventsAndBadOnesRaiseNothing) {
    struct Case {
        int16_t token;
        Lines fields;
        std::string event;  // "" for none
        int32_t error;
    };
    const std::string audit = runtime::Join(
        {"1", "2", "3", "4", "5", "6", "7", "10:00", "1.5", "1.6", "0.5", "8", "1.4", "1.3", "-1"},
        "R,@");
    const std::vector<Case> cases = {
        {243, {"EURUSD;1.1", "more"}, "ReceivePrices(EURUSD;1.1)", 0},
        {276, {"hl"}, "ReceiveHighLowPrices(hl)", 0},
        {253, {"1.5", "2.5", "row"}, "NewOpenPosMsg(2, 2, row)", 0},
        {254, {"1", "2", "3", "r", "c"}, "DeleteOpenPosMsg(1, 2, 3, r, c)", 0},
        {255, {"1", "2", "3", "o", "n", "c"}, "UpdateOpenPosMsg(1, 2, 3, o, n, c)", 0},
        {256, {"1", "2", "3", "4", "o", "h", "c"}, "CloseOpenPosMsg(1, 2, 3, 4, o, h, c)", 0},
        {257, {"1", "2", "3", "4", "r", "o"}, "DeleteClosePosMsg(1, 2, 3, 4, r, o)", 0},
        {259, {" 7x", "", "row"}, "NewPendingOrderMsg(7, 0, row)", 0},
        {260, {"1", "2", "3"}, "DeletePendingOrderMsg(1, 2, 3)", 0},
        {245,
         {audit},
         "OrderStatusChanged(1, 2, 3, 4, 5, 6, 7, 10:00, 1.5, 1.6, 0.5, 8, 1.4, 1.3, -1)",
         0},
        {248,
         {"m", "a", "o", "oc", "s", "b", "l", "sy", "p", "op", "h", "rh", "t", "f", "12", "0.5"},
         "NewChatOrder(m, a, o, oc, s, b, l, sy, p, op, h, rh, t, f, 12, 0.5)",
         0},
        {250,
         {"1", "2", "3", "4", "5", "6", "7", "8", "9", " 1 "},
         "SummariesMsg(1, 2, 3, 4, 5, 6, 7, 8, 9, True)",
         0},
        {250,
         {"1", "2", "3", "4", "5", "6", "7", "8", "9", "2"},
         "SummariesMsg(1, 2, 3, 4, 5, 6, 7, 8, 9, False)",
         0},
        {265, {"4", "pars"}, "ClientParametersChanged(4, pars)", 0},
        {268,
         {"1",   "2",   "3",   "4",   "5", "6",  "ip", "7.5", "1",  "9",   "me",
          "0.1", "0.2", "1.1", "1.2", "5", "-1", "11", "tt",  "12", "1.3", "-4.5"},
         "TransactionLogMsg(1, 2, 3, 4, 5, 6, ip, 7.5, 1, 9, me, 0.1, 0.2, 1.1, 1.2, 5, -1, 11, "
         "tt, 12, 1.3, -4.5)",
         0},
        {112, {"44"}, "KillOrder(44)", 0},
        {999, {"x"}, "", 0},
        {253, {"1", "2"}, "", 9},
        {253, {"3e9", "1", "r"}, "", 6},
        {268, Lines(21, "1"), "", 9},
        {268, {"1", "2", "3", "40000"}, "", 6},
        {250, {"1", "2", "3", "4", "5", "6", "7", "8", "9", "x"}, "", 13},
        {250, {"1", "2", "3", "4", "5", "6", "7", "8", "9"}, "", 9},
        {245, {"1R,@2"}, "", 9},
        {248, Lines(15, "a"), "", 9},
        {14, {}, "", 9},
        {14, {"   "}, "", 5},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(std::to_string(k.token) + " " + runtime::Join(k.fields, "|"));
        EXPECT_EQ(Push(k.token, k.fields), k.error);
        EXPECT_EQ(pushes.Take(), k.event.empty() ? Lines{} : Lines{k.event});
    }
    EXPECT_EQ(client->ServerAddress(), "localhost");
}

// Session pushes need privilege 58; a dealer leaving needs 115 as well, a
// dealer arriving does not; neither push adds to the list.
TEST_F(DataClient, SessionPushesFollowThePrivilegesAndOnlyLeavingTouchesTheList) {
    const auto row = [](const std::string& sid, const std::string& type, const std::string& api) {
        return Lines{sid, "t", "u", "N", "ip", type, "40", "x", api, "6"};
    };
    testsupport::AnswerRows(*client->OnlineSessions(), 182,
                            {{"5", "t", "u", "N", "ip", "2", "40", "1", "0"},
                             {"6", "t", "u", "N", "ip", "2", "40", "1", "0"}});
    pushes.Take();
    struct Case {
        std::string privs;
        int16_t token;
        Lines fields;
        std::string event;
        int32_t listed;
    };
    const std::vector<Case> cases = {
        {"", 10, row("9", "2", "1"), "", 2},
        {"", 11, row("5", "2", "1"), "", 2},
        {"58", 10, row("9", "1", "1"), "SessionLoggedON(9:t/u/N/ip/1/40/api/6)", 2},
        {"58", 10, row("5", "2", "2"), "SessionLoggedON(5:t/u/N/ip/2/40/-/6)", 2},
        {"58", 10, Lines{"5", "t"}, "", 2},
        {"58", 11, row("5", "1", "1"), "", 2},
        {"58,115", 11, row("5", "1", "0"), "SessionLoggedOff(5:t/u/N/ip/1/40/-/0)", 1},
        {"58", 11, row("6", "2", "1"), "SessionLoggedOff(6:t/u/N/ip/2/40/api/0)", 0},
        {"58", 11, row("7", "3", ""), "SessionLoggedOff(7:t/u/N/ip/3/40/-/0)", 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.privs + " " + std::to_string(k.token) + " " + k.fields.at(0));
        security->UserHasThesePrivs(k.privs);
        EXPECT_EQ(Push(k.token, k.fields), 0);
        EXPECT_EQ(pushes.Take(), k.event.empty() ? Lines{} : Lines{k.event});
        EXPECT_EQ(client->OnlineSessions()->OnlineSessions()->Count(), k.listed);
    }
    // Without privileges: 10 drops itself silently, 11 raises 91.
    client->setSecurityRef(nullptr);
    EXPECT_EQ(Push(10, row("9", "2", "1")), 0);
    EXPECT_EQ(Push(11, row("9", "2", "1")), 91);
    EXPECT_TRUE(pushes.Take().empty());
}

// A host may release the data client inside any event that more work follows.
TEST(DataClientRelease, TheHostMayReleaseItInsideAnyEvent) {
    struct Case {
        std::string name;
        std::function<void(api::CDataClient&, std::function<void()>)> hook;
        std::function<void(api::CDataClient&)> trigger;
    };
    const std::vector<Case> cases = {
        {"relay",
         [](api::CDataClient& c, std::function<void()> f) {
             c.PrivsRecieved.Connect([f](const std::string&, int32_t) { f(); });
         },
         [](api::CDataClient& c) {
             testsupport::AnswerOneRow(*c.ClientServer(), og::GET_PRIVS_TOKEN, {"1", "2"});
         }},
        {"push",
         [](api::CDataClient& c, std::function<void()> f) {
             c.ReceivePrices.Connect([f](const std::string&) { f(); });
         },
         [](api::CDataClient& c) { DataClientAccess::Push(c, 243, {"p"}); }},
        {"ServerRouted",
         [](api::CDataClient& c, std::function<void()> f) {
             c.ServerRouted.Connect([f](const std::string&, const std::string&) { f(); });
         },
         [](api::CDataClient& c) { DataClientAccess::Push(c, 14, {"10.1.1.1"}); }},
        {"SwitchOrderResultReceived",
         [](api::CDataClient& c, std::function<void()> f) {
             c.SwitchOrderResultReceived.Connect(
                 [f](api::SwitchOrderResultsEnum, int32_t) { f(); });
         },
         [](api::CDataClient& c) {
             testsupport::AnswerOneRow(*c.ClientServer(), og::SWITCH_ORDER_TOKEN, {"0", "1"});
         }},
        {"SessionLoggedOff",
         [](api::CDataClient& c, std::function<void()> f) {
             c.SessionLoggedOff.Connect([f](const api::CDataClient::SessionPtr&) { f(); });
         },
         [](api::CDataClient& c) {
             DataClientAccess::Push(c, 11, {"5", "t", "u", "N", "ip", "2", "40", "x", "1"});
         }},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        auto client = std::make_unique<api::CDataClient>();
        auto security = std::make_shared<api::CSecurity>();
        security->UserHasThesePrivs("58");
        client->setSecurityRef(security);
        int raised = 0;
        api::CDataClient* raw = client.get();
        k.hook(*client, [&] {
            ++raised;
            client.reset();
        });
        k.trigger(*raw);
        EXPECT_EQ(client, nullptr);
        EXPECT_EQ(raised, 1);
    }
}

TEST_F(DataClient, FirstIPAndServerAddressAreIndependent) {
    client->setFirstIP("10.0.0.1");
    EXPECT_EQ(client->ServerAddress(), "localhost");
    client->setServerAddress("10.0.0.2");
    EXPECT_EQ(client->FirstIP(), "10.0.0.1");
    EXPECT_EQ(client->LoginUser(), -100);
}

}  // namespace
