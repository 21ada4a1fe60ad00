#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "connection/CKVClient.h"
#include "general/common/CTokens.h"
#include "general/common/MTokens.h"
#include "protocol/CDataProtocol.h"
#include "protocol/CEventManager.h"
#include "protocol/CResponse.h"
#include "tests/general/common/stack_loopback.h"

namespace {

using KVGeneralDLL10::CEventManager;
using KVGeneralDLL10::CResponse;
using stacktest::SocketPair;

// A complete result message, as the owner of a dispatcher builds it.
std::string ResultMessage(const std::string& number, const std::string& row) {
    KVGeneralDLL10::CDataProtocol codec;
    return codec.Response(KVGeneralDLL10::RESULT_TOKEN, {number, row});
}

std::string WithoutEnd(std::string text) {
    text.resize(text.size() - 3);
    return text;
}

struct Dispatcher : ::testing::Test {
    void SetUp() override {
        ASSERT_TRUE(pair.open);
        relay->AddLogEntry.Connect([this](const std::string& msg, int16_t level) {
            logs.push_back(std::to_string(level) + " " + msg);
        });
        response.setChild(pair.near);
        response.setEventManager(relay);
    }
    void AddResults(const std::vector<std::string>& rows) {
        for (size_t i = 0; i < rows.size(); ++i) {
            response.AddResult(ResultMessage(std::to_string(i + 1), rows[i]));
        }
    }
    std::string LogLine(const std::string& text) const {
        return "2 Dispatcher sends msg to 127.0.0.1(" + std::to_string(pair.near->Port()) + ") [" +
               std::to_string(stacktest::kSessionSid) + "]: " + text;
    }

    SocketPair pair;
    std::shared_ptr<CEventManager> relay = std::make_shared<CEventManager>();
    CResponse response;
    std::vector<std::string> logs;
};

TEST_F(Dispatcher, HandleSendsTheCountInParameterOneThenEveryResult) {
    AddResults({"aR,@b", "cR,@d"});
    EXPECT_EQ(response.Results(), runtime::Variant(2.0));
    ASSERT_TRUE(response.Handle());
    EXPECT_TRUE(response.Handled());
    const std::string count = KVGeneralDLL10::CDataProtocol().Response(6, {"2"});
    ASSERT_TRUE(pair.inbox->WaitFor(3));
    EXPECT_EQ(pair.inbox->messages,
              (std::vector<std::string>{WithoutEnd(count), WithoutEnd(ResultMessage("1", "aR,@b")),
                                        WithoutEnd(ResultMessage("2", "cR,@d"))}));
    // One log line of level 2 per send, with the text as sent.
    EXPECT_EQ(logs, (std::vector<std::string>{LogLine(count), LogLine(ResultMessage("1", "aR,@b")),
                                              LogLine(ResultMessage("2", "cR,@d"))}));
}

TEST_F(Dispatcher, WithoutResultsOnlyTheCountGoes) {
    ASSERT_TRUE(response.Handle());
    ASSERT_TRUE(pair.inbox->WaitFor(1));
    ASSERT_TRUE(platform::EventLoop::RunUntilIdle(5000));
    EXPECT_EQ(
        pair.inbox->messages,
        std::vector<std::string>{WithoutEnd(KVGeneralDLL10::CDataProtocol().Response(6, {"0"}))});
    EXPECT_EQ(logs.size(), 1u);
}

TEST_F(Dispatcher, LostResultsGoAgainInTheOrderReported) {
    AddResults({"a", "b", "c"});
    response.ResultNotRecieved(3);
    response.ResultNotRecieved(1);
    EXPECT_TRUE(response.HasNotRecievedResults());
    ASSERT_TRUE(response.SendNotRecievedResults());
    EXPECT_FALSE(response.HasNotRecievedResults());
    ASSERT_TRUE(pair.inbox->WaitFor(2));
    EXPECT_EQ(pair.inbox->messages,
              (std::vector<std::string>{WithoutEnd(ResultMessage("3", "c")),
                                        WithoutEnd(ResultMessage("1", "a"))}));

    // A number above the count fails; the entries after it stay.
    response.ResultNotRecieved(4);
    response.ResultNotRecieved(2);
    EXPECT_FALSE(response.SendNotRecievedResults());
    EXPECT_TRUE(response.HasNotRecievedResults());
    EXPECT_TRUE(response.SendNotRecievedResults());
    ASSERT_TRUE(pair.inbox->WaitFor(3));
    EXPECT_EQ(pair.inbox->messages.back(), WithoutEnd(ResultMessage("2", "b")));
}

TEST_F(Dispatcher, HandleFailsAndSendsNothingWithoutWhatTheLogLineNeeds) {
    struct Case {
        const char* what;
        std::function<void(CResponse&)> setup;
    };
    const std::vector<Case> cases = {
        {"no socket", [](CResponse& r) { r.setChild(nullptr); }},
        {"no relay", [](CResponse& r) { r.setEventManager(nullptr); }},
        {"no session in the tag", [this](CResponse&) { pair.near->Tag = runtime::Variant(); }},
    };
    for (const auto& c : cases) {
        CResponse r;
        r.AddResult(ResultMessage("1", "a"));
        r.setChild(pair.near);
        r.setEventManager(relay);
        c.setup(r);
        EXPECT_FALSE(r.Handle()) << c.what;
        EXPECT_FALSE(r.Handled()) << c.what;
    }
    ASSERT_TRUE(platform::EventLoop::RunUntilIdle(5000));
    EXPECT_TRUE(pair.inbox->messages.empty());
    EXPECT_TRUE(logs.empty());
}

// The connection library's session receives a result this dispatcher sends,
// whole, including a row that reached it blank and was asked for again.
TEST(DispatcherLoopback, TheConnectionSessionReceivesEveryResult) {
    stacktest::DispatchServer server;
    ASSERT_TRUE(server.Ready());
    KVClientDLL10::CKVClient client;
    client.setTokens(std::make_shared<OrbanelGeneral10::CTokens>());
    client.setServerAddress("127.0.0.1");
    client.setServerPort(server.Port());
    client.setLoginUN("dealer");
    client.setLoginPW("secret");
    auto catcher = std::make_shared<stacktest::TableCatcher>(OrbanelGeneral10::GETOPENPOS_TOKEN);
    client.AddClientServerObject(catcher);

    const std::vector<std::vector<std::string>> table = {
        {"10", "a"}, {"11", "b"}, {"12", "c"}, {"13", "d"}};
    auto relay = std::make_shared<CEventManager>();
    int logLines = 0;
    relay->AddLogEntry.Connect([&](const std::string&, int16_t) { ++logLines; });
    CResponse response;
    response.setChild(server.Child());
    response.setEventManager(relay);
    for (size_t i = 0; i < table.size(); ++i) {
        response.AddResult(ResultMessage(std::to_string(i + 1), table[i][0] + "R,@" + table[i][1]));
    }
    server.blankRows = {3};
    server.onRequest = [&](int32_t) { response.Handle(); };
    server.onLost = [&](double row) {
        response.ResultNotRecieved(row);
        EXPECT_TRUE(response.SendNotRecievedResults());
    };

    client.Login();
    ASSERT_TRUE(stacktest::Wait([&] { return client.LogedOn(); }));
    catcher->relay->RequestFromServer(OrbanelGeneral10::GETOPENPOS_TOKEN, {});
    ASSERT_TRUE(stacktest::Wait([&] { return catcher->tables > 0; }));
    ASSERT_TRUE(platform::EventLoop::RunUntilIdle(5000));

    EXPECT_TRUE(response.Handled());
    EXPECT_FALSE(catcher->noRows);
    EXPECT_EQ(catcher->rows, table);
    EXPECT_EQ(server.lostReported, std::vector<double>{3});
    EXPECT_EQ(server.confirmations, 1);
    EXPECT_EQ(logLines, 6);  // the count, four results and one sent again
}

}  // namespace
