// The data client against the scripted server peer: the login road with its
// answers routed to the four request objects, pushes good and bad, re-routing
// and the dealer-order acknowledgement.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "clientapi/dataclient/CDataClient.h"
#include "general/common/Enums.h"
#include "general/common/MGenerals.h"
#include "general/model/CChatOrder.h"
#include "platform/EventLoop.h"
#include "platform/Timer.h"
#include "runtime/Strings.h"
#include "tests/clientapi/dataclient/EngineWithAccount.h"
#include "tests/clientapi/dataclient/PushRecorder.h"
#include "tests/support/ScriptedPeer.h"
#include "tests/support/TempProgramFolder.h"

namespace {

namespace api = OrbanexClientAPI10;
namespace og = OrbanelGeneral10;
namespace ts = testsupport;
using Lines = std::vector<std::string>;
using ts::LoginGrant;
using ts::Rows;
using ts::ScriptedPeer;

class DataClientLoopback : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(folder.Path() / "logs");
        og::SetMessageNotifier([this](const std::string& text) { boxes.push_back(text); });
        security->UserHasThesePrivs("3");
        client->setSecurityRef(security);
        client->setLoginType("CLIENTAPI");
        client->setFirstIP(peer.Address());
        client->setServerAddress(peer.Address());
        client->setServerPort(peer.Port());
        client->setLoginUN("dealer");
        client->setLoginPW("secret");
        events.Record(client->VariablesRecieved, "VariablesRecieved");
        events.Record(client->PrivsRecieved, "PrivsRecieved");
        events.Record(client->SymbolsRecieved, "SymbolsRecieved");
        peer.ServeRowRequests();
    }
    void TearDown() override { og::SetMessageNotifier(nullptr); }

    // Logs in and waits for it.
    void LogIn() {
        peer.Script().AcceptLogin(LoginGrant().Sid(1234).User(77));
        client->Login();
        ASSERT_TRUE(
            peer.RunUntil([&] { return client->LogedOn(); }, ScriptedPeer::kWaitMs, "the login"));
    }

    // The API log's lines without their time stamps.
    Lines ApiLog() const {
        Lines out;
        std::ifstream in(folder.Path() / "logs" / "APIlog.txt");
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            const size_t at = line.find(" : ");
            out.push_back(at == std::string::npos ? line : line.substr(at + 3));
        }
        return out;
    }

    platform::ScopedVirtualTime time;
    ts::TempProgramFolder folder;
    ScriptedPeer peer;
    std::unique_ptr<api::CDataClient> client = std::make_unique<api::CDataClient>();
    std::shared_ptr<api::CSecurity> security = std::make_shared<api::CSecurity>();
    ts::PushRecorder events{*client};
    Lines boxes;
};

// From State(True) the host asks variables and privileges; each later answer
// reaches its own request object's event, in queue order, with the pushes
// that arrive among the rows raised where they arrive; bad pushes leave one
// API log line each and the session logged on.
TEST_F(DataClientLoopback, AnswersReachTheirObjectsInQueueOrderAmongPushes) {
    client->State.Connect([&](bool on) {
        if (!on) return;
        client->ClientServer()->GetVariables(client->LoginType(), client->LoginUser());
        client->ClientServer()->GetPrivs(client->LoginUser(), "1");
    });
    client->MoneyTrans()->SetRefs(security, ts::EngineWithAccount(7, 1001));
    const std::string audit14 = runtime::Join(Lines(14, "1"), "R,@");
    peer.Script()
        .AcceptLogin(LoginGrant().Sid(1234).User(77))
        .Expect(og::GET_VARIABLES_TOKEN)
        .WithParams({"CLIENTAPI", "77"})
        .Reply(ts::Result({"g", "t", "v", "2", "5", "1", "0"}))
        .Expect(og::GET_PRIVS_TOKEN)
        .WithParams({"77", "1"})
        .Reply(ts::Result({"3,58", "9"}))
        .Expect(og::GET_ALL_SYMBOLS_TOKEN)
        .Reply(Rows::Table({{"1", "EUR"}, {"2", "GBP"}})
                   .PushAfter(1, ts::Push(og::MARKET_DATA_TOKEN, {"q1"}))
                   .PushAfter(1, ts::Push(og::NEW_OPEN_POSITION_TOKEN, {"1"})))
        .Expect(og::GET_REPORT_TOKEN)
        .WithParams({"11", ""})
        .Reply(Rows::Table({{"r"}}).PushAfter(0, ts::Push(og::KILL_ORDER_TOKEN, {"5"})))
        .Expect(og::ACCOUNT_TRANS_TOKEN)
        .WithParams({"7", "1001", "12.5", "", "1", "9", "d"})
        .Reply(ts::Push(og::SUMMARIES_CHANGED_TOKEN,
                        {"1", "2", "3", "4", "5", "6", "7", "8", "9", "x"}),
               ts::Result({"1"}))
        .Expect(og::GET_ONLINE_SESSIONS_TOKEN)
        .WithParams({"3", "1"})
        .Reply(ts::Push(og::ORDER_AUDIT_TOKEN, {audit14}), ts::NoRows());
    client->Login();
    ASSERT_TRUE(peer.RunUntil([&] { return client->LogedOn(); }));
    client->ClientServer()->GetAllSymbols(77, "1", 77);
    client->Reports()->RequestReportFromServer(api::SMSReport, "");
    EXPECT_EQ(client->MoneyTrans()->MakeMoneyTrans(1001, og::DepositAccTrans, 12.5, 9, "d"), 1);
    client->GetSessions(3);
    ASSERT_TRUE(peer.Finish()) << peer.Transcript(30);
    ASSERT_TRUE(peer.RunUntil([&] { return events.lines.size() >= 9; }));
    EXPECT_EQ(events.Take(), (Lines{"State(True)", "VariablesRecieved(t, v, g, 2, 5, 1, False)",
                                    "PrivsRecieved(3,58, 9)", "ReceivePrices(q1)",
                                    "SymbolsRecieved(False, [1,EUR|2,GBP], 2, 2)", "KillOrder(5)",
                                    "ReportDataReceived(False, [r])",
                                    "MoneyTransResultReceived(True)", "AllSessionsLoaded()"}));
    const Lines log = ApiLog();
    ASSERT_EQ(log.size(), 3u) << runtime::Join(log, "\n");
    EXPECT_NE(log[0].find("(9)"), std::string::npos) << log[0];
    EXPECT_NE(log[1].find("(13)"), std::string::npos) << log[1];
    EXPECT_NE(log[2].find("(9)"), std::string::npos) << log[2];
    EXPECT_TRUE(client->LogedOn());
}

// Routed elsewhere the session logs in there; a blank address is refused and
// logged; routed back to the first address the session ends for good.
TEST_F(DataClientLoopback, ReRoutingLogsInElsewhereRefusesABlankAndEndsAtTheFirstAddress) {
    LogIn();
    events.Take();
    peer.Script()
        .Push(og::ROUT_SERVER_TOKEN, {"localhost"})
        .ExpectClose()
        // Login on a live session connects at once and again when the old
        // connection's close is reported: the first new connection is dropped.
        .Accept()
        .ExpectClose()
        .Accept()
        .AcceptLogin(LoginGrant().Sid(1235).User(77))
        .Push(og::ROUT_SERVER_TOKEN, {"  "})
        .Push(og::MARKET_DATA_TOKEN, {"after"})
        .Push(og::ROUT_SERVER_TOKEN, {" 127.0.0.1 "})
        .ExpectClose()
        .ExpectQuiet(300);
    ASSERT_TRUE(peer.Finish()) << peer.Transcript(30);
    EXPECT_EQ(events.Take(),
              (Lines{"ServerRouted(127.0.0.1, localhost)", "State(False)", "State(True)",
                     "ReceivePrices(after)", "ServerRouted(localhost,  127.0.0.1 )",
                     "InvalidUsernamePassword()", "State(False)"}));
    EXPECT_EQ(boxes, (Lines{"login m_sFirstIP = 127.0.0.1  ServerAddress=localhost",
                            "Disconnect m_sFirstIP = 127.0.0.1  ServerAddress= 127.0.0.1 "}));
    EXPECT_EQ(ApiLog().size(), 1u);
    EXPECT_EQ(client->LoginUser(), -200);
    EXPECT_FALSE(client->LogedOn());
    EXPECT_EQ(peer.Connections(), 3u);
}

// The acknowledgement goes out at once, ahead of a request waiting for its
// answer; logged off it goes nowhere and raises nothing. A disconnect message
// from the server is SessionDisconnected.
TEST_F(DataClientLoopback, DealerOrderAcknowledgementJumpsTheQueue) {
    LogIn();
    auto order = std::make_shared<og::CChatOrder>();
    order->setID(4242);
    peer.Script()
        .Expect(og::GET_PRIVS_TOKEN)
        .Do([&] {
            client->MarketOrderReceived(order);
            client->MarketOrderReceived(nullptr);
        })
        .Expect(og::MARKET_ORDER_RECIEVED_TOKEN)
        .WithParams({"77", "4242"})
        .Expect(og::MARKET_ORDER_RECIEVED_TOKEN)
        .WithParams({"77", "-1"})
        .Reply(ts::Result({"1", "0"}), ts::ServerDisconnect(3));
    client->ClientServer()->GetPrivs(77, "1");
    ASSERT_TRUE(peer.Finish()) << peer.Transcript(30);
    ASSERT_TRUE(peer.RunUntil([&] { return !client->LogedOn(); }));
    EXPECT_EQ(client->LoginUser(), -200);
    EXPECT_NO_THROW(client->MarketOrderReceived(order));
    EXPECT_EQ(peer.ReceivedWith(og::MARKET_ORDER_RECIEVED_TOKEN).size(), 2u);
    const Lines seen = events.Take();
    EXPECT_EQ(Lines(seen.end() - 2, seen.end()),
              (Lines{"PrivsRecieved(1, 0)", "SessionDisconnected()"}));
}

}  // namespace
