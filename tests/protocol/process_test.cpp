#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "general/common/CTokens.h"
#include "general/common/ISessionTag.h"
#include "general/common/MTokens.h"
#include "platform/EventLoop.h"
#include "platform/TcpSocket.h"
#include "protocol/CProcess.h"
#include "runtime/Error.h"
#include "tests/support/ErrorNumber.h"

namespace {

using testsupport::ErrorNumberOf;

using KVGeneralDLL10::CProcess;

std::string W(int32_t token) {
    return std::string(OrbanelGeneral10::TokenWord(token));
}
const std::string NS = "!&NS&!";

struct Session : OrbanelGeneral10::ISessionTag {
    explicit Session(int32_t id) : id(id) {}
    int32_t SID() const override { return id; }
    int32_t id;
};

runtime::Variant SessionTag(int32_t id) {
    return runtime::Variant(
        std::static_pointer_cast<runtime::Object>(std::make_shared<Session>(id)));
}

class Process : public ::testing::Test {
protected:
    void SetUp() override { process.setTokens(std::make_shared<OrbanelGeneral10::CTokens>()); }
    CProcess process;
};

TEST_F(Process, StartsEmpty) {
    CProcess fresh;
    EXPECT_EQ(fresh.TokenID(), 0);
    EXPECT_EQ(fresh.CommandSID(), -100);
    EXPECT_EQ(fresh.Parameters(), 0u);
    EXPECT_EQ(fresh.SystemLogLevel(), 0);
    EXPECT_EQ(fresh.SID(), -1);
    EXPECT_EQ(fresh.ProcessDescription(), "'' ");
    EXPECT_EQ(fresh.RowCellsCount(), 0u);
    EXPECT_EQ(fresh.Tokens(), nullptr);
    EXPECT_EQ(fresh.ParameterDefaultValue(), "!&NS&!");
}

TEST_F(Process, DefinesRequestsAndResponsesWithTheParametersTheWireCarries) {
    struct Case {
        bool request;
        int16_t token;
        std::vector<std::string> p;
        std::vector<std::string> held;
    };
    const std::vector<Case> cases = {
        {true, 1, {"user", "pass", "x", NS, NS}, {"user", "pass", "x"}},
        {true, 107, {NS, "ignored"}, {}},
        {false, 4, {"", "b", NS, "c"}, {"", "b"}},
        {false, 16, {"a"}, {"a"}},
    };
    for (const auto& c : cases) {
        if (c.request) {
            process.DefineRequestByToken(-1, 5, c.token, c.p);
        } else {
            process.DefineResponseByToken(5, c.token, c.p);
        }
        EXPECT_EQ(process.TokenID(), c.token);
        ASSERT_EQ(process.Parameters(), c.held.size());
        EXPECT_TRUE(process.HasTheseParameters(c.held.size()));
        for (size_t i = 0; i < c.held.size(); ++i)
            EXPECT_EQ(process.ParameterValue(static_cast<int64_t>(i + 1)), c.held[i]);
        EXPECT_EQ(process.ParameterValue(static_cast<int64_t>(c.held.size() + 1)), "%$#InVaLID");
        EXPECT_EQ(ErrorNumberOf([&] { process.ParameterValue(0); }), 9);
    }
    std::vector<std::string> fiftyOne(51, "v");
    process.DefineResponseByToken(5, 4, fiftyOne);
    EXPECT_EQ(process.Parameters(), 50u);
}

TEST_F(Process, ParsesReceivedMessages) {
    struct Case {
        std::string cmd;
        int16_t token;
        int32_t sid;
        std::vector<std::string> params;
    };
    const std::vector<Case> cases = {
        {W(1) + "s?<42&h,G)_userG)_pass", 1, 42, {"user", "pass"}},
        {W(4) + "s?<G)_G)_b", 4, -100, {"", "b"}},
        {W(4) + "s?<G)_aG)_%$#InVaLIDG)_c", 4, -100, {"a"}},
        {W(243) + "s?<", 243, -100, {}},
        {"unknown s?<G)_a", 0, -100, {}},
        {W(0) + "s?<7&h,G)_a", 0, 7, {}},
        {"garbage without markers", 0, -100, {}},
    };
    for (const auto& c : cases) {
        process.DefineProcessByCommand(5, c.cmd);
        EXPECT_EQ(process.TokenID(), c.token) << c.cmd;
        EXPECT_EQ(process.CommandSID(), c.sid) << c.cmd;
        ASSERT_EQ(process.Parameters(), c.params.size()) << c.cmd;
        EXPECT_TRUE(process.HasTheseParameters(c.params.size()));
        for (size_t i = 0; i < c.params.size(); ++i)
            EXPECT_EQ(process.ParameterValue(static_cast<int64_t>(i + 1)), c.params[i]);
    }
}

TEST(ProcessWithoutDictionary, AFailedParseKeepsTheParametersBefore) {
    CProcess process;
    process.setTokens(std::make_shared<OrbanelGeneral10::CTokens>());
    process.DefineProcessByCommand(5, W(4) + "s?<G)_first valueG)_second value");
    process.setTokens(nullptr);
    EXPECT_THROW(process.DefineProcessByCommand(5, "x"), runtime::Error);
    ASSERT_EQ(process.Parameters(), 2u);
    EXPECT_EQ(process.ParameterValue(2), "second value");
}

TEST_F(Process, ParsesMoreParametersThanSixteenBitsCount) {
    std::string cmd = W(4) + "s?<";
    for (int i = 0; i < 40000; ++i) cmd += "G)_p";
    process.DefineProcessByCommand(5, cmd);
    EXPECT_EQ(process.Parameters(), 40000u);
    EXPECT_EQ(process.ParameterValue(40000), "p");
}

TEST_F(Process, DescribesOnlyWhenTheLevelAllows) {
    process.DefineRequestByToken(-1, 1, 1, {"a", "b"});
    EXPECT_EQ(process.ProcessDescription(), "'' ");

    process.setSystemLogLevel(5);
    process.DefineRequestByToken(-1, 5, 1, {"a", "b"});
    EXPECT_EQ(process.ProcessDescription(), "'Logging on' P1=(a) , P2=(b)");
    process.DefineProcessByCommand(6, W(4) + "s?<G)_x");  // above the level: the old text stays
    EXPECT_EQ(process.ProcessDescription(), "'Logging on' P1=(a) , P2=(b)");
    process.DefineProcessByCommand(5, W(12) + "s?<");
    EXPECT_EQ(process.ProcessDescription(), "'Disconnect' ");

    CProcess noDictionary;  // a logged define needs the dictionary's description
    EXPECT_EQ(ErrorNumberOf([&] { noDictionary.DefineResponseByToken(0, 4, {}); }), 91);
}

TEST_F(Process, SplitsRows) {
    process.DifineRow("aR,@bR,@");
    EXPECT_EQ(process.RowCellsCount(), 3u);
    EXPECT_EQ(process.RowCell(2), "b");
    EXPECT_EQ(process.RowCell(3), "");
    EXPECT_EQ(ErrorNumberOf([&] { process.RowCell(4); }), 9);
    EXPECT_EQ(ErrorNumberOf([&] { process.RowCell(0); }), 9);
    process.DifineRow("");
    EXPECT_EQ(process.RowCellsCount(), 1u);
}

TEST_F(Process, SessionMembersReadTheSocketsTag) {
    auto socket = std::make_shared<platform::TcpSocket>();
    process.setChild(socket);
    process.DefineProcessByCommand(5, W(4) + "s?<G)_x");  // a response: no session id
    EXPECT_FALSE(process.ValidateSID());
    process.DefineProcessByCommand(5, W(1) + "s?<-1&h,G)_x");
    EXPECT_FALSE(process.ValidateSID());

    process.DefineProcessByCommand(5, W(4) + "s?<42&h,G)_x");
    EXPECT_EQ(ErrorNumberOf([&] { process.ValidateSID(); }), 424);  // nothing in the tag
    EXPECT_EQ(ErrorNumberOf([&] { process.ID(); }), 424);
    socket->Tag = SessionTag(42);
    EXPECT_TRUE(process.ValidateSID());
    EXPECT_EQ(process.ID(), "42");
    socket->Tag = SessionTag(43);
    EXPECT_FALSE(process.ValidateSID());
    EXPECT_EQ(process.toString(), "From: Process:" + W(4) + "s?<42&h,G)_x");
    EXPECT_EQ(process.SessionDescriptions(socket), "<43> (0)");
    EXPECT_EQ(process.SessionDescriptions(nullptr), "");

    process.setChild(nullptr);
    EXPECT_EQ(ErrorNumberOf([&] { process.ValidateSID(); }), 91);
    EXPECT_EQ(ErrorNumberOf([&] { process.toString(); }), 91);
}

TEST_F(Process, SendFailsQuietlyWithoutAConnection) {
    process.DefineRequestByToken(-1, 5, 1, {"a"});
    EXPECT_EQ(process.Send(nullptr), KVGeneralDLL10::SentFailedError);
    auto socket = std::make_shared<platform::TcpSocket>();
    EXPECT_EQ(process.Send(socket), KVGeneralDLL10::SentFailedZeroPort);
    process.setChild(socket);
    process.SendResult({"r"});
    EXPECT_EQ(process.TokenID(), 4);
}

TEST_F(Process, SendsTheBuiltTextOnAConnectedSocket) {
    platform::EventLoop::Ensure();
    platform::TcpServer server;
    server.Listen("127.0.0.1", 0);
    std::shared_ptr<platform::TcpSocket> peer;
    server.OnAccept.Connect([&](std::shared_ptr<platform::TcpSocket> s) { peer = s; });
    auto client = std::make_shared<platform::TcpSocket>();
    client->Connect("127.0.0.1", server.Port());
    ASSERT_TRUE(platform::EventLoop::RunUntil(
        [&] { return peer && client->State() == platform::TcpSocket::kStateConnected; }, 5000));
    std::string received;
    peer->OnReceive.Connect([&] {
        std::string chunk;
        peer->Receive(chunk);
        received += chunk;
    });

    process.DefineRequestByToken(-1, 5, 1, {"user", "pass", "x", NS});
    EXPECT_EQ(process.Send(client), KVGeneralDLL10::SentSuccessfully);
    const std::string login = W(1) + "s?<-1&h,G)_userG)_passG)_x+3!";

    std::vector<std::string> thirtyOne;
    for (int i = 1; i <= 31; ++i) thirtyOne.push_back(std::to_string(i));
    process.setChild(client);
    process.SendResult(thirtyOne);
    std::string result = W(4) + "s?<";
    for (int i = 1; i <= 30; ++i) result += "G)_" + std::to_string(i);
    result += "+3!";

    const std::string expected = login + result;
    ASSERT_TRUE(
        platform::EventLoop::RunUntil([&] { return received.size() >= expected.size(); }, 5000));
    EXPECT_EQ(received, expected);
    EXPECT_EQ(process.SessionDescriptions(client), "");  // no session in the tag
    client->Tag = SessionTag(5);
    EXPECT_EQ(process.SessionDescriptions(client),
              "<5> 127.0.0.1(" + std::to_string(server.Port()) + ")");
}

}  // namespace
