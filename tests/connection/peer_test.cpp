// The scripted peer's own tests, against a bare socket client: what it sends
// for each script step and fault, and that a script that goes wrong fails
// quickly with a message that says where, instead of hanging.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "general/common/CDataProtocol.h"
#include "general/common/Enums.h"
#include "general/common/MCommandMessage.h"
#include "platform/EventLoop.h"
#include "platform/TcpSocket.h"
#include "platform/Timer.h"
#include "tests/support/ScriptedPeer.h"

namespace {

namespace og = OrbanelGeneral10;
using testsupport::Batch;
using testsupport::kSid;
using testsupport::LoginGrant;
using testsupport::Msg;
using testsupport::Received;
using testsupport::Rows;
using testsupport::ScriptedPeer;

// A bare client: sends requests built with the general codec, collects what arrives.
struct RawClient {
    RawClient() {
        socket.OnState.Connect([this] {
            const int32_t st = socket.State();
            connected = st == platform::TcpSocket::kStateConnected;
            if (st == platform::TcpSocket::kStateClosed) closed = true;
        });
        socket.OnReceive.Connect([this] {
            std::string chunk;
            socket.Receive(chunk);
            ++chunks;
            bytes += chunk;
            const size_t n = rx.Split(chunk, cut);
            for (size_t i = 1; i <= n; ++i) got.push_back(testsupport::ParseMessage(cut[i]));
        });
    }

    ::testing::AssertionResult Connect(ScriptedPeer& peer) {
        connected = closed = false;
        socket.Connect(peer.Address(), peer.Port());
        // Not the peer's RunUntil: a script may fail before the client is in.
        return platform::EventLoop::RunUntil([this] { return connected; }, ScriptedPeer::kWaitMs)
                   ? ::testing::AssertionSuccess()
                   : ::testing::AssertionFailure() << "not connected to the peer";
    }
    void Request(int32_t token, int32_t sid, const std::vector<std::string>& p = {}) {
        og::CDataProtocol codec;
        codec.setSid(sid);
        socket.Send(codec.Request(token, p));
    }
    std::vector<int32_t> Tokens() const {
        std::vector<int32_t> out;
        for (const auto& m : got) out.push_back(m.token);
        return out;
    }

    platform::TcpSocket socket;
    og::wire::ReceiveBuffer rx;
    std::vector<std::string> cut;
    std::vector<Received> got;
    std::string bytes;
    int chunks = 0;
    bool connected = false;
    bool closed = false;
};

using Wire = std::vector<std::pair<int32_t, std::vector<std::string>>>;

Wire WireOf(const std::vector<Received>& got) {
    Wire out;
    for (const auto& m : got) out.emplace_back(m.token, m.params);
    return out;
}

TEST(ScriptedPeer, LoginGivesASessionIdThatLaterStepsExpectAndSend) {
    ScriptedPeer peer;
    Received login;
    peer.Script()
        .Expect(og::LOGIN_TOKEN)
        .WithSid(-1)
        .WithParams({"dealer", "secret", "CLIENTAPI"})
        .Capture(&login)
        .Reply(testsupport::LoginAccepted(LoginGrant().User(42).HandshakeMs(3000)))
        .Expect(og::GET_PRIVS_TOKEN)
        .WithSessionSid()
        .WithParam(1, kSid)
        .Reply(testsupport::Result({"echo", kSid}));
    RawClient client;
    ASSERT_TRUE(client.Connect(peer));
    client.Request(og::LOGIN_TOKEN, -1, {"dealer", "secret", "CLIENTAPI"});
    ASSERT_TRUE(peer.RunUntil([&] { return client.got.size() == 1; }));
    ASSERT_EQ(client.got[0].params.size(), 4u);
    const std::string sid = client.got[0].params[1];
    EXPECT_EQ(client.got[0].params, (std::vector<std::string>{"OK", sid, "42", "3000"}));
    EXPECT_EQ(sid, "1001");  // the peer's first session id
    EXPECT_EQ(login.params.size(), 3u);

    client.Request(og::GET_PRIVS_TOKEN, 1001, {"1001"});
    ASSERT_TRUE(peer.Finish());
    ASSERT_TRUE(peer.RunUntil([&] { return client.got.size() == 2; }));
    EXPECT_EQ(client.got[1].params, (std::vector<std::string>{"echo", "1001"}));
    EXPECT_EQ(peer.Script().SessionSid(), 1001);
}

TEST(ScriptedPeer, LoginNamingAnIdMakesItTheSessionId) {
    ScriptedPeer peer;
    peer.Script().AcceptLogin(LoginGrant().Sid(1234)).Expect(og::GET_PRIVS_TOKEN).WithSessionSid();
    RawClient client;
    ASSERT_TRUE(client.Connect(peer));
    client.Request(og::LOGIN_TOKEN, -1, {"u", "p", "CLIENTAPI"});
    client.Request(og::GET_PRIVS_TOKEN, 1234);
    ASSERT_TRUE(peer.Finish());
    ASSERT_TRUE(peer.RunUntil([&] { return !client.got.empty(); }));
    EXPECT_EQ(client.got[0].params.at(1), "1234");
}

TEST(ScriptedPeer, RowFaultsShapeTheMultiRowAnswer) {
    const Msg push = testsupport::Push(og::GET_PRICES_TOKEN, {"EURUSD"});
    const Wire pushWire{{og::GET_PRICES_TOKEN, {"EURUSD"}}};
    struct Case {
        const char* name;
        Rows rows;
        Wire want;
    };
    const Rows abc({"a", "b", "c"});
    const std::vector<Case> cases = {
        {"plain",
         abc,
         {{og::RESULT_COUNT_TOKEN, {"3"}},
          {og::RESULT_TOKEN, {"1", "a"}},
          {og::RESULT_TOKEN, {"2", "b"}},
          {og::RESULT_TOKEN, {"3", "c"}}}},
        {"row 2 lost, row 3 twice",
         Rows(abc).Drop(2).Duplicate(3),
         {{og::RESULT_COUNT_TOKEN, {"3"}},
          {og::RESULT_TOKEN, {"1", "a"}},
          {og::RESULT_TOKEN, {"3", "c"}},
          {og::RESULT_TOKEN, {"3", "c"}}}},
        {"blank and misnumbered",
         Rows(abc).Blank(1).NumberAs(2, "9"),
         {{og::RESULT_COUNT_TOKEN, {"3"}},
          {og::RESULT_TOKEN, {"1", ""}},
          {og::RESULT_TOKEN, {"9", "b"}},
          {og::RESULT_TOKEN, {"3", "c"}}}},
        {"pushes between rows",
         Rows(abc).PushAfter(0, push).PushAfter(2, push),
         {{og::RESULT_COUNT_TOKEN, {"3"}},
          pushWire[0],
          {og::RESULT_TOKEN, {"1", "a"}},
          {og::RESULT_TOKEN, {"2", "b"}},
          pushWire[0],
          {og::RESULT_TOKEN, {"3", "c"}}}},
        {"another count",
         Rows({"x"}).CountAs("0"),
         {{og::RESULT_COUNT_TOKEN, {"0"}}, {og::RESULT_TOKEN, {"1", "x"}}}},
        {"table cells",
         Rows::Table({{"1", "EUR"}, {"2", "USD", "x"}}),
         {{og::RESULT_COUNT_TOKEN, {"2"}},
          {og::RESULT_TOKEN, {"1", "1R,@EUR"}},
          {og::RESULT_TOKEN, {"2", "2R,@USDR,@x"}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedPeer peer;
        peer.Script().Send(c.rows);
        RawClient client;
        ASSERT_TRUE(client.Connect(peer));
        ASSERT_TRUE(peer.Finish());
        ASSERT_TRUE(peer.RunUntil([&] { return client.got.size() >= c.want.size(); }));
        EXPECT_EQ(WireOf(client.got), c.want);
    }
}

TEST(ScriptedPeer, AskedForRowsAreSentAgainWithTheirOriginalText) {
    ScriptedPeer peer;
    peer.Script()
        .Expect(og::GET_ACCOUNTS_TOKEN)
        .Reply(Rows({"r1", "r2", "r3", "r4"}).Drop(2).Blank(4))
        .ExpectLostRows({2, 4})
        .Expect(og::RESULT_OK_TOKEN)
        .WithParamCount(0);
    RawClient client;
    ASSERT_TRUE(client.Connect(peer));
    client.Request(og::GET_ACCOUNTS_TOKEN, 5);
    ASSERT_TRUE(peer.RunUntil([&] { return client.got.size() == 4; }));
    client.Request(og::RESULT_LOST_TOKEN, 5, {"2"});
    client.Request(og::RESULT_LOST_TOKEN, 5, {"4"});
    ASSERT_TRUE(peer.RunUntil([&] { return client.got.size() == 6; }));
    client.Request(og::RESULT_OK_TOKEN, 5);
    ASSERT_TRUE(peer.Finish());
    EXPECT_EQ(client.got[4].params, (std::vector<std::string>{"2", "r2"}));
    EXPECT_EQ(client.got[5].params, (std::vector<std::string>{"4", "r4"}));
}

TEST(ScriptedPeer, CutWritesArriveInPiecesAndReassembleUnchanged) {
    const Batch batch({testsupport::Handshake(), testsupport::ServerTime("01/02/2024 10:00:00"),
                       testsupport::Result({"a", "b"})});
    struct Case {
        const char* name;
        std::function<void(testsupport::PeerScript&)> cut;
        int minChunks;
    };
    const std::vector<Case> cases = {
        {"one write per message", [](auto& s) { s.EachMessageApart(); }, 2},
        {"byte by byte", [](auto& s) { s.SplitEvery(7); }, 4},
        {"inside markers", [](auto& s) { s.SplitInMarkers(); }, 4},
        {"at given positions",
         [](auto& s) {
             s.SplitAt({1, 28, 29, 30});
         },
         3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedPeer peer;
        c.cut(peer.Script().Send(batch));
        RawClient client;
        ASSERT_TRUE(client.Connect(peer));
        ASSERT_TRUE(peer.Finish());
        ASSERT_TRUE(peer.RunUntil([&] { return client.got.size() >= 3; }));
        EXPECT_EQ(client.Tokens(), (std::vector<int32_t>{og::CONNECT_HANDCHAKE_TOKEN,
                                                         og::TIME_TOKEN, og::RESULT_TOKEN}));
        EXPECT_EQ(client.got[2].params, (std::vector<std::string>{"a", "b"}));
        EXPECT_GE(client.chunks, c.minChunks);
    }
}

TEST(ScriptedPeer, RawBytesAndLongParameterListsGoOutAsGiven) {
    std::vector<std::string> many;
    for (int i = 1; i <= 60; ++i) many.push_back(std::to_string(i));
    ScriptedPeer peer;
    peer.Script().Send(Msg::Raw("garbage"), Msg::Raw("+3!"),
                       testsupport::Push(og::MESSAGE_TOKEN, many));
    RawClient client;
    ASSERT_TRUE(client.Connect(peer));
    ASSERT_TRUE(peer.Finish());
    ASSERT_TRUE(peer.RunUntil([&] { return client.got.size() == 2; }));
    EXPECT_EQ(client.got[0].text, "garbage");
    EXPECT_EQ(client.got[1].params, many);
}

TEST(ScriptedPeer, DataWrittenBeforeAnAbruptCloseStillArrives) {
    ScriptedPeer peer;
    peer.Script().Send(Rows({"1", "2"})).Close();
    RawClient client;
    ASSERT_TRUE(client.Connect(peer));
    ASSERT_TRUE(peer.Finish());
    ASSERT_TRUE(peer.RunUntil([&] { return client.closed; }));
    EXPECT_EQ(client.got.size(), 3u);
    EXPECT_FALSE(peer.IsOpen(1));
}

// A script that goes wrong ends at once, or after its bounded wait, saying
// which step it was at, what it expected and what it got.
TEST(ScriptedPeer, FailuresAreReportedPromptlyWithWhatWasExpectedAndGot) {
    struct Case {
        const char* name;
        std::function<void(testsupport::PeerScript&)> script;
        std::function<void(RawClient&)> client;
        std::vector<std::string> mentions;
    };
    const std::vector<Case> cases = {
        {"another token",
         [](auto& s) { s.Expect(og::LOGIN_TOKEN); },
         [](RawClient& c) { c.Request(og::GET_PRIVS_TOKEN, 1); },
         {"step 1 of 1", "expect LOGIN_TOKEN(1)", "got GET_PRIVS_TOKEN(132)"}},
        {"another session id",
         [](auto& s) {
             s.AcceptLogin(LoginGrant().Sid(7)).Expect(og::GET_PRIVS_TOKEN).WithSessionSid();
         },
         [](RawClient& c) {
             c.Request(og::LOGIN_TOKEN, -1, {"u"});
             c.Request(og::GET_PRIVS_TOKEN, 8);
         },
         {"step 3", "session id 8, wanted the session's 7"}},
        {"other parameters",
         [](auto& s) {
             s.Expect(og::LOGIN_TOKEN).WithParams({"u", "p"});
         },
         [](RawClient& c) {
             c.Request(og::LOGIN_TOKEN, -1, {"u", "x"});
         },
         {"[u|p]", "[u|x]", "other parameters"}},
        {"the client closes",
         [](auto& s) { s.Expect(og::LOGIN_TOKEN); },
         [](RawClient& c) { c.socket.Close(); },
         {"closed", "expect LOGIN_TOKEN(1)"}},
        {"not quiet",
         [](auto& s) { s.Expect(og::LOGIN_TOKEN).ExpectQuiet(2000); },
         [](RawClient& c) {
             c.Request(og::LOGIN_TOKEN, -1);
             c.Request(og::RESULT_OK_TOKEN, 1);
         },
         {"expect quiet", "got RESULT_OK_TOKEN(3)"}},
        {"a new connection while quiet",
         [](auto& s) { s.ExpectQuiet(2000); },
         [](RawClient&) {},
         {"expect quiet", "connection #1 came"}},
        {"nothing comes",
         [](auto& s) { s.Expect(og::RESULT_OK_TOKEN); },
         [](RawClient&) {},
         {"not done after 300 ms", "expect RESULT_OK_TOKEN(3)", "on connection #1"}},
        {"no row to send again", [](auto& s) { s.Resend(1); }, [](RawClient&) {}, {"no row 1"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedPeer peer;
        c.script(peer.Script());
        RawClient client;
        ASSERT_TRUE(client.Connect(peer));
        c.client(client);
        const auto result = peer.Finish(300);
        ASSERT_FALSE(result);
        for (const auto& text : c.mentions) {
            EXPECT_NE(std::string(result.message()).find(text), std::string::npos)
                << "no \"" << text << "\" in:\n"
                << result.message();
        }
        EXPECT_TRUE(peer.Failure() || std::string(c.name) == "nothing comes");
    }
}

TEST(ScriptedPeer, ModifierWithoutItsStepIsAScriptError) {
    ScriptedPeer peer;
    EXPECT_THROW(peer.Script().Pause(1).WithSid(3), std::logic_error);
    EXPECT_THROW(peer.Script().Expect(1).SplitEvery(3), std::logic_error);
}

TEST(ScriptedPeer, AReloginGoesToTheScriptWhoseSessionIdItCarries) {
    ScriptedPeer peer;
    peer.Script().AcceptLogin().Close().Accept().Expect(og::LOGIN_TOKEN).WithSessionSid();
    peer.AddScript().AcceptLogin();
    RawClient first, second;
    ASSERT_TRUE(first.Connect(peer));
    first.Request(og::LOGIN_TOKEN, -1);
    ASSERT_TRUE(peer.RunUntil([&] { return first.closed; }));
    ASSERT_TRUE(second.Connect(peer));
    second.Request(og::LOGIN_TOKEN, -1);
    ASSERT_TRUE(peer.RunUntil([&] { return !second.got.empty(); }));
    // The first client comes back with the id it was given.
    ASSERT_TRUE(first.Connect(peer));
    first.Request(og::LOGIN_TOKEN, 1001);
    ASSERT_TRUE(peer.Finish());
    EXPECT_EQ(first.got.at(0).params.at(1), "1001");
    EXPECT_EQ(second.got.at(0).params.at(1), "1002");
    EXPECT_EQ(peer.Connections(), 3u);
    EXPECT_EQ(peer.Script().Connection(), 3u);
}

TEST(ScriptedPeer, StandingAnswersServeUnscriptedClients) {
    ScriptedPeer peer;
    peer.Answer(og::LOGIN_TOKEN, testsupport::LoginAccepted())
        .Answer(og::GET_ACCOUNTS_TOKEN, Rows({"a", "b"}).Drop(1))
        .Answer(og::GET_PRIVS_TOKEN,
                [](const Received& m) { return Batch(testsupport::Result({m.params.at(0)})); })
        .ServeRowRequests()
        .HandshakeEvery(20);
    RawClient a, b;
    ASSERT_TRUE(a.Connect(peer));
    ASSERT_TRUE(b.Connect(peer));
    a.Request(og::LOGIN_TOKEN, -1);
    ASSERT_TRUE(peer.RunUntil([&] { return !a.got.empty() && a.got.back().params.size() == 4; }));
    b.Request(og::LOGIN_TOKEN, -1);
    a.Request(og::GET_ACCOUNTS_TOKEN, 1001);
    a.Request(og::RESULT_LOST_TOKEN, 1001, {"1"});
    a.Request(og::RESULT_OK_TOKEN, 1001);
    b.Request(og::GET_PRIVS_TOKEN, 1002, {"mirror"});
    auto count = [](const RawClient& c, int32_t token) {
        int n = 0;
        for (auto t : c.Tokens()) n += t == token;
        return n;
    };
    ASSERT_TRUE(peer.RunUntil([&] {
        return count(a, og::CONNECT_HANDCHAKE_TOKEN) >= 2 && count(b, og::RESULT_TOKEN) >= 2;
    }));
    std::vector<Received> answers;
    for (const auto& m : a.got) {
        if (m.token != og::CONNECT_HANDCHAKE_TOKEN) answers.push_back(m);
    }
    EXPECT_EQ(WireOf(answers), (Wire{{og::RESULT_TOKEN, {"OK", "1001", "77", "20000"}},
                                     {og::RESULT_COUNT_TOKEN, {"2"}},
                                     {og::RESULT_TOKEN, {"2", "b"}},
                                     {og::RESULT_TOKEN, {"1", "a"}}}));
    EXPECT_EQ(b.got.at(0).params.at(1), "1002");
    EXPECT_EQ(peer.ReceivedWith(og::RESULT_OK_TOKEN).size(), 1u);
}

// Steps may be added after the earlier ones ran; what arrived meanwhile waits for them.
TEST(ScriptedPeer, ScriptsGrowWhileTheyRun) {
    ScriptedPeer peer;
    auto& s = peer.Script();
    s.AcceptLogin();
    RawClient client;
    ASSERT_TRUE(client.Connect(peer));
    client.Request(og::LOGIN_TOKEN, -1);
    ASSERT_TRUE(peer.Finish());
    client.Request(og::GET_PRIVS_TOKEN, 1001);
    ASSERT_TRUE(peer.RunUntil([&] { return peer.ReceivedOn(1).size() == 2; }));
    s.Expect(og::GET_PRIVS_TOKEN).WithSessionSid().Reply(testsupport::NoRows());
    ASSERT_TRUE(peer.Finish());
    ASSERT_TRUE(peer.RunUntil([&] { return client.got.size() == 2; }));
    EXPECT_EQ(client.got[1].token, og::NO_ROWS_TOKEN);
}

// The client's timers may run on virtual time; the peer's keep real time.
TEST(ScriptedPeer, RunsOnRealTimeInsideVirtualTime) {
    platform::ScopedVirtualTime virtualTime;
    ScriptedPeer peer;
    bool ran = false;
    peer.Script()
        .StartHandshakes(10)
        .Pause(40)
        .Do([&] { ran = true; }, "the marker")
        .StopHandshakes();
    RawClient client;
    ASSERT_TRUE(client.Connect(peer));
    ASSERT_TRUE(peer.Finish());
    EXPECT_TRUE(ran);
    platform::EventLoop::RunFor(30);  // the last ones on their way
    EXPECT_GE(client.got.size(), 2u);
    const size_t handshakes = client.got.size();
    platform::EventLoop::RunFor(60);
    EXPECT_EQ(client.got.size(), handshakes);
    EXPECT_EQ(virtualTime.driver().NowMs(), 0);
}

}  // namespace
