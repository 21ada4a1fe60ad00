#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "connection/CKVClient.h"
#include "general/common/CEventManager.h"
#include "general/common/CResponse.h"
#include "general/common/CTokens.h"
#include "general/common/MTokens.h"
#include "runtime/Error.h"
#include "tests/general/common/stack_loopback.h"
#include "tests/support/ErrorNumber.h"

namespace {

using testsupport::ErrorNumberOf;

using OrbanelGeneral10::CEventManager;
using OrbanelGeneral10::CResponse;
using runtime::Variant;
using stacktest::SocketPair;

std::string W(int32_t token) {
    return std::string(OrbanelGeneral10::TokenWord(token));
}

// The wire text of a response without its end marker.
std::string Response(int32_t token, const std::vector<std::string>& p) {
    std::string text = W(token) + "s?<";
    for (const auto& v : p) text += "G)_" + v;
    return text;
}

struct Dispatch : ::testing::Test {
    void SetUp() override {
        ASSERT_TRUE(pair.open);
        manager->AddLogEntry.Connect([this](const std::string& msg, int16_t level) {
            logs.push_back(std::to_string(level) + " " + msg);
        });
        response.setChild(pair.near);
        response.setEventManager(manager);
    }
    void AddRows(const std::vector<std::vector<std::string>>& rows) {
        for (const auto& row : rows) {
            for (const auto& cell : row) response.AddCell(Variant(cell));
            response.AddRow();
        }
    }
    std::string Where() const {
        return "<" + std::to_string(stacktest::kSessionSid) + "> 127.0.0.1(" +
               std::to_string(pair.near->Port()) + ")";
    }

    SocketPair pair;
    std::shared_ptr<CEventManager> manager = std::make_shared<CEventManager>();
    CResponse response;
    std::vector<std::string> logs;
};

TEST_F(Dispatch, HandleSendsTheCountThenEveryRowWithOneLogLineEach) {
    AddRows({{"1", "EUR"}, {"", "USD"}, {"3", ""}});
    EXPECT_EQ(response.Results(), 3);
    EXPECT_FALSE(response.Handled());
    ASSERT_TRUE(response.Handle());
    EXPECT_TRUE(response.Handled());
    ASSERT_TRUE(pair.inbox->WaitFor(4));
    EXPECT_EQ(pair.inbox->messages,
              (std::vector<std::string>{Response(6, {"3"}), Response(4, {"1", "1R,@EUR"}),
                                        Response(4, {"2", "R,@USD"}), Response(4, {"3", "3R,@"})}));
    EXPECT_EQ(logs, (std::vector<std::string>{
                        "2 Dispatcher sent row 1 <<1R,@EUR>> to " + Where(),
                        "2 Dispatcher sent row 2 <<R,@USD>> to " + Where(),
                        "2 Dispatcher sent row 3 <<3R,@>> to " + Where(),
                    }));
}

TEST_F(Dispatch, HandleWithoutRowsSendsOnlyTheCountZero) {
    response.setEventManager(nullptr);  // no row, so no log line is needed
    ASSERT_TRUE(response.Handle());
    EXPECT_TRUE(response.Handled());
    ASSERT_TRUE(pair.inbox->WaitFor(1));
    ASSERT_TRUE(platform::EventLoop::RunUntilIdle(5000));
    EXPECT_EQ(pair.inbox->messages, std::vector<std::string>{Response(6, {"0"})});
}

TEST_F(Dispatch, LostRowsAreSentAgainInTheOrderReported) {
    AddRows({{"a"}, {"b"}, {"c"}, {"d"}, {"e"}});
    response.ResultNotRecieved(3);
    response.ResultNotRecieved(5);
    EXPECT_TRUE(response.HasNotRecievedResults());
    ASSERT_TRUE(response.SendNotRecievedResults());
    EXPECT_FALSE(response.HasNotRecievedResults());
    EXPECT_FALSE(response.Handled());  // only Handle sets it
    ASSERT_TRUE(pair.inbox->WaitFor(2));
    EXPECT_EQ(pair.inbox->messages,
              (std::vector<std::string>{Response(4, {"3", "c"}), Response(4, {"5", "e"})}));
    EXPECT_EQ(logs.size(), 2u);
    EXPECT_TRUE(response.SendNotRecievedResults());  // an empty list
}

TEST_F(Dispatch, ALostNumberOutsideTheRowsStopsAndKeepsTheRest) {
    AddRows({{"a"}, {"b"}});
    response.ResultNotRecieved(7);
    response.ResultNotRecieved(0);
    response.ResultNotRecieved(2);
    EXPECT_FALSE(response.SendNotRecievedResults());  // 7 is taken off and fails
    EXPECT_TRUE(response.HasNotRecievedResults());
    EXPECT_FALSE(response.SendNotRecievedResults());  // 0 likewise
    ASSERT_TRUE(response.SendNotRecievedResults());   // 2 goes
    EXPECT_FALSE(response.HasNotRecievedResults());
    ASSERT_TRUE(pair.inbox->WaitFor(1));
    EXPECT_EQ(pair.inbox->messages, std::vector<std::string>{Response(4, {"2", "b"})});
}

TEST_F(Dispatch, HandleFailsWithoutSocketManagerOrConnection) {
    struct Case {
        const char* what;
        std::function<void(CResponse&)> setup;
    };
    const std::vector<Case> cases = {
        {"no socket", [](CResponse& r) { r.setChild(nullptr); }},
        {"no event manager", [](CResponse& r) { r.setEventManager(nullptr); }},
        {"socket not connected",
         [](CResponse& r) { r.setChild(std::make_shared<platform::TcpSocket>()); }},
    };
    for (const auto& c : cases) {
        CResponse r;
        r.AddCell(Variant("a"));
        r.AddRow();
        r.setChild(pair.near);
        r.setEventManager(manager);
        c.setup(r);
        EXPECT_FALSE(r.Handle()) << c.what;
        EXPECT_FALSE(r.Handled()) << c.what;
    }
    // Neither sent a count that no row would follow.
    ASSERT_TRUE(platform::EventLoop::RunUntilIdle(5000));
    EXPECT_TRUE(pair.inbox->messages.empty());
}

TEST_F(Dispatch, CellsAndRowsTheClientCouldNotReadAreRefused) {
    struct Case {
        std::vector<Variant> cells;
        int32_t error;
    };
    const std::vector<Case> cells = {
        {{Variant(runtime::Null)}, runtime::errc::InvalidUseOfNull},
        {{Variant("aR,@b")}, runtime::errc::InvalidProcedureCall},
        {{Variant("x+3!")}, runtime::errc::InvalidProcedureCall},
        {{Variant("G)_y")}, runtime::errc::InvalidProcedureCall},
    };
    for (const auto& c : cells) {
        EXPECT_EQ(ErrorNumberOf([&] { response.AddCell(c.cells[0]); }), c.error)
            << c.cells[0].ToString();
    }
    // Refused cells left the row empty, so it is refused whole.
    EXPECT_EQ(ErrorNumberOf([&] { response.AddRow(); }), runtime::errc::InvalidProcedureCall);
    for (const char* text : {"", "!&NS&!", "%$#InVaLID"}) {
        CResponse r;
        r.AddCell(Variant(text));
        EXPECT_EQ(ErrorNumberOf([&] { r.AddRow(); }), runtime::errc::InvalidProcedureCall) << text;
        EXPECT_EQ(r.Results(), 0);
    }
    // Nothing was lost: the row goes on from where it was.
    response.AddCell(Variant(int32_t{12}));
    response.AddCell(Variant(""));
    response.AddRow();
    EXPECT_EQ(response.Results(), 1);
    ASSERT_TRUE(response.Handle());
    ASSERT_TRUE(pair.inbox->WaitFor(2));
    EXPECT_EQ(pair.inbox->messages[1], Response(4, {"1", "12R,@"}));
}

// The connection library's session receives a result a dispatcher sends,
// whole, including the rows that reached it blank and were asked for again.
TEST(DispatchLoopback, TheConnectionSessionReceivesEveryRow) {
    const std::vector<std::vector<std::string>> table = {
        {"1", "EUR", "1.5"}, {"2", "USD", ""}, {"3", "GBP", "2"}, {"4", "", "x"}, {"5", "JPY", "0"},
    };
    for (bool empty : {false, true}) {
        SCOPED_TRACE(empty ? "no rows" : "five rows");
        stacktest::DispatchServer server;
        ASSERT_TRUE(server.Ready());
        KVClientDLL10::CKVClient client;
        client.setTokens(std::make_shared<OrbanelGeneral10::CTokens>());
        client.setServerAddress("127.0.0.1");
        client.setServerPort(server.Port());
        client.setLoginUN("dealer");
        client.setLoginPW("secret");
        auto catcher =
            std::make_shared<stacktest::TableCatcher>(OrbanelGeneral10::GET_ACCOUNTS_TOKEN);
        client.AddClientServerObject(catcher);

        auto manager = std::make_shared<CEventManager>();
        int logLines = 0;
        manager->AddLogEntry.Connect([&](const std::string&, int16_t) { ++logLines; });
        CResponse response;
        response.setChild(server.Child());
        response.setEventManager(manager);
        if (!empty) {
            for (const auto& row : table) {
                for (const auto& cell : row) response.AddCell(Variant(cell));
                response.AddRow();
            }
            server.blankRows = {2, 4};
        }
        int requests = 0;
        bool handled = false;
        std::vector<bool> resent;
        server.onRequest = [&](int32_t token) {
            ++requests;
            EXPECT_EQ(token, OrbanelGeneral10::GET_ACCOUNTS_TOKEN);
            handled = response.Handle();
        };
        server.onLost = [&](double row) {
            response.ResultNotRecieved(row);
            resent.push_back(response.SendNotRecievedResults());
        };

        std::vector<std::string> errors;
        client.ShowError.Connect(
            [&](const std::string& t, const std::string& m) { errors.push_back(t + ": " + m); });

        client.Login();
        ASSERT_TRUE(stacktest::Wait([&] { return client.LogedOn(); }));
        catcher->relay->RequestFromServer(OrbanelGeneral10::GET_ACCOUNTS_TOKEN, {});
        ASSERT_TRUE(stacktest::Wait([&] { return catcher->tables > 0; }))
            << server.forwarded.size() << " messages reached the client";
        ASSERT_TRUE(platform::EventLoop::RunUntilIdle(5000));

        EXPECT_TRUE(errors.empty()) << errors.front();
        EXPECT_EQ(requests, 1);
        EXPECT_TRUE(handled);
        EXPECT_TRUE(response.Handled());
        EXPECT_EQ(catcher->tables, 1);
        EXPECT_EQ(catcher->token, OrbanelGeneral10::GET_ACCOUNTS_TOKEN);
        if (empty) {
            EXPECT_TRUE(catcher->noRows);
            EXPECT_TRUE(server.lostReported.empty());
            continue;
        }
        EXPECT_FALSE(catcher->noRows);
        EXPECT_EQ(catcher->rows, table);
        EXPECT_EQ(server.lostReported, (std::vector<double>{2, 4}));
        EXPECT_EQ(resent, (std::vector<bool>{true, true}));
        EXPECT_EQ(server.confirmations, 1);
        EXPECT_FALSE(response.HasNotRecievedResults());
        EXPECT_EQ(logLines, 7);  // five rows and two sent again
    }
}

}  // namespace
