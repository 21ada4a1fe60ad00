// Requests and answers of a logged-on session against the scripted peer: the
// queue, one-row and multi-row answers with lost, duplicate and misnumbered
// rows, routing, pushes, errors inside one message, resets in the middle of a
// result, handlers that call back in, cut and coalesced writes, bad input.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "general/common/Enums.h"
#include "platform/EventLoop.h"
#include "platform/Timer.h"
#include "tests/support/KVClientProbe.h"
#include "tests/support/ScriptedPeer.h"

namespace {

namespace og = OrbanelGeneral10;
using Lines = std::vector<std::string>;
using testsupport::Batch;
using testsupport::LoginGrant;
using testsupport::Msg;
using testsupport::PeerScript;
using testsupport::Rows;
using testsupport::ScriptedPeer;

constexpr int16_t kPrivs = og::GET_PRIVS_TOKEN;        // answered with one row
constexpr int16_t kAccounts = og::GET_ACCOUNTS_TOKEN;  // answered with rows
constexpr int16_t kSymbols = og::GET_ALL_SYMBOLS_TOKEN;
constexpr int16_t kQuote = og::GET_PRICES_TOKEN;  // used as a push

class LoopbackRequests : public ::testing::Test {
protected:
    void SetUp() override {
        object = probe.AddObject({kPrivs, kAccounts, kSymbols});
        peer.Script().AcceptLogin(LoginGrant().Sid(1234).User(77));
        client.Login();
        ASSERT_TRUE(
            peer.RunUntil([&] { return client.LogedOn(); }, ScriptedPeer::kWaitMs, "the login"));
        probe.log.clear();
    }

    // The session serves requests still: one more round trip goes through.
    void ExpectStillServing() {
        peer.Script().Expect(kPrivs).WithSessionSid().Reply(testsupport::Result({"alive"}));
        object->Request(kPrivs);
        EXPECT_TRUE(peer.RunUntil([&] { return probe.Has("OneRow(132, 1: alive)"); },
                                  ScriptedPeer::kWaitMs, "an answer after the fault"))
            << probe.Dump();
    }

    platform::ScopedVirtualTime time;
    ScriptedPeer peer;
    testsupport::KVClientProbe probe{peer};
    KVClientDLL10::CKVClient& client = *probe.client;
    std::shared_ptr<testsupport::RecordingObject> object;
};

TEST_F(LoopbackRequests, OneRowAndMultiRowAnswersReachTheirObjectAndPushesGoAround) {
    peer.Script()
        .Expect(kPrivs)
        .WithSid(1234)
        .WithParams({"p1", "p2"})
        .Reply(testsupport::Push(kQuote, {"EURUSD", "1.1", "1.2", "x"}),
               testsupport::Result({"a", "b"}))
        .Expect(kAccounts)
        .WithSid(1234)
        .WithParamCount(0)
        .Reply(Rows::Table({{"1", "A", "x"}, {"2", "B", "y"}})
                   .PushAfter(1, testsupport::Route({"10.0.0.2", "4401"})))
        .Expect(og::RESULT_OK_TOKEN)
        .WithSid(1234)
        .WithParamCount(0);
    object->Request(kPrivs, {"p1", "p2"});
    object->Request(kAccounts);
    ASSERT_TRUE(peer.Finish());
    ASSERT_TRUE(peer.RunUntil([&] { return probe.Count("Rows") == 1; }));
    EXPECT_EQ(probe.log,
              (Lines{"DataRecieved(101, 4: EURUSD|1.1|1.2|x)", "OneRow(132, 2: a|b)",
                     "DataRecieved(14, 2: 10.0.0.2|4401)", "Rows(105, 2x3: 1,A,x|2,B,y)"}));
    EXPECT_TRUE(probe.errors.empty()) << probe.Dump();
}

// One request outstanding at a time: the second goes only after the first's answer.
TEST_F(LoopbackRequests, QueuedRequestsGoOneAtATime) {
    peer.Script()
        .Expect(kPrivs)
        .ExpectQuiet(100)
        .Reply(testsupport::Result({"1"}))
        .Expect(kSymbols)
        .ExpectQuiet(100)
        .Reply(testsupport::NoRows());
    probe.modes.clear();
    object->Request(kPrivs);
    object->Request(kSymbols);
    ASSERT_TRUE(peer.Finish());
    ASSERT_TRUE(peer.RunUntil([&] { return probe.log.size() == 2; }));
    EXPECT_EQ(probe.log, (Lines{"OneRow(132, 1: 1)", "NoRows(104, 0x0)"}));
    ASSERT_FALSE(probe.modes.empty());
    EXPECT_EQ(probe.modes.front(), KVClientDLL10::WaitingMode);
    EXPECT_EQ(probe.modes.back(), KVClientDLL10::NormalMode);
}

// Requests made while the session is logged off wait; the login goes first.
TEST(LoopbackLogin, RequestsQueuedBeforeTheLoginGoAfterIt) {
    platform::ScopedVirtualTime time;
    ScriptedPeer peer;
    testsupport::KVClientProbe probe{peer};
    auto object = probe.AddObject({kPrivs, kSymbols});
    peer.Script()
        .Expect(og::LOGIN_TOKEN)
        .WithSid(-1)
        .ExpectQuiet(100)
        .Reply(testsupport::LoginAccepted(LoginGrant().Sid(9)))
        .Expect(kPrivs)
        .WithSid(9)
        .Reply(testsupport::Result({"1"}))
        .Expect(kSymbols)
        .WithSid(9)
        .Reply(testsupport::NoRows());
    probe.client->Login();
    object->Request(kPrivs);
    object->Request(kSymbols);
    ASSERT_TRUE(peer.Finish());
    ASSERT_TRUE(peer.RunUntil([&] { return probe.Count("NoRows") == 1; }));
    EXPECT_EQ(probe.Only({"OneRow", "NoRows", "LoggedOn"}),
              (Lines{"LoggedOn(77)", "OneRow(132, 1: 1)", "NoRows(104, 0x0)"}));
    EXPECT_TRUE(probe.errors.empty()) << probe.Dump();
}

// Lost rows are asked for (RESULT_LOST_TOKEN with the row number) and the
// table is delivered once, complete, after RESULT_OK_TOKEN.
TEST_F(LoopbackRequests, LostDuplicateBlankAndMisnumberedRowsAreRecovered) {
    struct Case {
        const char* name;
        Batch answer;
        std::vector<size_t> asked;
        size_t errors;
        // Sent for the next ask, after the asked rows, instead of the row it asks.
        std::optional<Msg> forNextAsk = {};
        std::vector<size_t> askedAgain = {};
    };
    const Rows four({"r1", "r2", "r3", "r4"});
    const std::vector<Case> cases = {
        {"rows 1, 3 and 3 again", Rows({"r1", "r2", "r3"}).Drop(2).Duplicate(3), {2}, 0},
        {"an empty row", Rows({"r1", "r2", "r3"}).Blank(2), {2}, 0},
        {"two lost, two twice", Rows(four).Drop(1).Drop(3).Duplicate(2).Duplicate(4), {1, 3}, 0},
        {"a row number out of range", Rows({"r1", "r2", "r3"}).NumberAs(2, "9"), {2}, 1},
        {"a row numbered one past the count", Rows({"r1", "r2", "r3"}).NumberAs(2, "4"), {2}, 1},
        {"a row emptied after the ask",
         Rows({"r1", "r2", "r3"}).Drop(2).Duplicate(3),
         {},
         0,
         testsupport::Row("3", ""),
         {2, 3}},
        {"a row number that is no number", Rows({"r1", "r2", "r3"}).NumberAs(3, "x"), {3}, 1},
        {"a row without its text",
         Rows({"r1", "r2", "r3"}).Drop(2).PushAfter(1, testsupport::Result({"2"})),
         {2},
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        probe.log.clear();
        probe.errors.clear();
        PeerScript& script =
            peer.Script().Expect(kAccounts).Reply(c.answer).ExpectLostRows(c.asked);
        if (c.forNextAsk) {
            script.Expect(og::RESULT_LOST_TOKEN).Reply(*c.forNextAsk).ExpectLostRows(c.askedAgain);
        }
        script.Expect(og::RESULT_OK_TOKEN).WithParamCount(0);
        object->Request(kAccounts);
        ASSERT_TRUE(peer.Finish());
        ASSERT_TRUE(peer.RunUntil([&] { return probe.Count("Rows") == 1; }));
        Lines want(c.errors, "ShowError(Receive)");
        want.push_back(c.answer.rows()->size() == 4 ? "Rows(105, 4x1: r1|r2|r3|r4)"
                                                    : "Rows(105, 3x1: r1|r2|r3)");
        EXPECT_EQ(probe.log, want) << probe.Dump();
    }
    ExpectStillServing();
}

// A count below 1 is taken as "no rows"; the request completes either way.
TEST_F(LoopbackRequests, NoRowsAndCountsBelowOne) {
    for (const Batch& answer : {Batch(testsupport::NoRows()), Batch(testsupport::RowCount("0")),
                                Batch(testsupport::RowCount("-3"))}) {
        SCOPED_TRACE(answer.Describe());
        probe.log.clear();
        peer.Script().Expect(kAccounts).Reply(answer);
        object->Request(kAccounts);
        ASSERT_TRUE(peer.Finish());
        ASSERT_TRUE(peer.RunUntil([&] { return !probe.log.empty(); }));
        EXPECT_EQ(probe.log, Lines{"NoRows(105, 0x0)"});
    }
    ExpectStillServing();
}

// A message that cannot be handled is reported and abandoned; when it answers
// the request in hand, that request completes and the next one goes out.
TEST_F(LoopbackRequests, AFaultInOneAnswerCompletesItsRequestAndTheQueueMovesOn) {
    struct Case {
        const char* name;
        Batch answer;
        bool handlerFails;
    };
    const std::vector<Case> cases = {
        {"a row wider than row 1", Rows::Table({{"a", "b"}, {"c", "d", "e"}}), false},
        {"a count that overflows", testsupport::RowCount("99999999999"), false},
        {"a count past the row limit", testsupport::RowCount("2000000"), false},
        {"an error code the protocol does not define", testsupport::ServerError(-7), false},
        {"an error code that is no number", Msg(og::ERROR_TOKEN, {"x"}), false},
        {"a failing request object", testsupport::Result({"boom"}), true},
    };
    peer.ServeRowRequests();  // the confirmation of a complete table is not the point here
    bool fail = false;
    object->onAnswer = [&] {
        if (!fail) return;
        fail = false;
        throw std::runtime_error("handler failed");
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        probe.errors.clear();
        fail = c.handlerFails;
        peer.Script().Expect(kAccounts).Reply(c.answer).Expect(kPrivs).Reply(
            testsupport::Result({"next"}));
        object->Request(kAccounts);
        object->Request(kPrivs);
        ASSERT_TRUE(peer.Finish()) << probe.Dump();
        ASSERT_TRUE(peer.RunUntil([&] { return probe.Has("OneRow(132, 1: next)"); }))
            << probe.Dump();
        EXPECT_EQ(probe.errors.size(), 1u) << probe.Dump();
        EXPECT_FALSE(probe.Has("Rows(105, 2x3: a,b|c,d)"));
        probe.log.clear();
    }
    EXPECT_TRUE(client.LogedOn());
}

// Every queued request takes the next number. An answer of any kind, an error
// included, counts its request answered before anyone hears of it; requests a
// reset drops never count, and the numbers go on after the reconnect.
TEST_F(LoopbackRequests, RequestNumbersCountEveryAnswerAndNoDroppedRequest) {
    Lines heard;  // what was heard, with the answered number at that moment
    auto hear = [&](const std::string& what) {
        heard.push_back(what + " " + std::to_string(client.LastAnsweredRequest()));
    };
    object->onAnswer = [&] { hear("answer"); };
    client.ShowError.Connect([&](const std::string& title, const std::string&) { hear(title); });
    peer.ServeRowRequests();
    peer.Script()
        .Expect(kPrivs)
        .Reply(testsupport::ServerError(-7))
        .Expect(kAccounts)
        .Reply(Rows({"r1"}))
        .Expect(kPrivs)
        .Reply(testsupport::Result({"1"}))
        .Expect(kSymbols)  // left unanswered
        .ExpectClose()
        .Accept()
        .AcceptLogin(LoginGrant().Sid(1234))
        .Expect(kPrivs)
        .Reply(testsupport::Result({"2"}));
    for (int16_t token : {kPrivs, kAccounts, kPrivs, kSymbols, kPrivs}) object->Request(token);
    ASSERT_TRUE(peer.RunUntil([&] { return heard.size() == 3; })) << probe.Dump();
    EXPECT_EQ(client.LastQueuedRequest(), 5u);
    client.Disconnect(true);
    EXPECT_EQ(client.LastQueuedRequest(), 5u);
    ASSERT_TRUE(peer.RunUntil([&] { return client.LogedOn(); }));
    object->Request(kPrivs);
    ASSERT_TRUE(peer.Finish());
    ASSERT_TRUE(peer.RunUntil([&] { return heard.size() == 5; })) << probe.Dump();
    EXPECT_EQ(heard,
              (Lines{"ServerError 1", "answer 2", "answer 3", "ResetSession 3", "answer 6"}));
    EXPECT_EQ(client.LastQueuedRequest(), 6u);
}

TEST_F(LoopbackRequests, RoutingGoesToTheFirstClaimingObjectAndAnAnswerWithNothingAskedToToken0) {
    auto second = probe.AddObject({kPrivs, 0}, "second:");
    peer.Script()
        .Expect(kPrivs)
        .Reply(testsupport::Result({"mine"}))
        .Send(testsupport::Result({"stray", "x"}), testsupport::Result({}));
    object->Request(kPrivs);
    ASSERT_TRUE(peer.Finish());
    ASSERT_TRUE(peer.RunUntil([&] { return probe.log.size() == 3; }));
    EXPECT_EQ(probe.log, (Lines{"OneRow(132, 1: mine)", "second:OneRow(0, 2: stray|x)",
                                "second:OneRow(0, 0:)"}));
}

TEST_F(LoopbackRequests, PushesWithAndWithoutValues) {
    peer.Script().Send(testsupport::Push(kQuote), testsupport::Push(og::MESSAGE_TOKEN, {""}),
                       testsupport::Route({"10.1.1.1", "4402", "x"}),
                       testsupport::ServerTime("01/02/2024 10:00:00"));
    ASSERT_TRUE(peer.Finish());
    ASSERT_TRUE(peer.RunUntil([&] { return probe.log.size() == 4; }));
    EXPECT_EQ(probe.log,
              (Lines{"DataRecieved(101, 0:)", "DataRecieved(9, 1: )",
                     "DataRecieved(14, 3: 10.1.1.1|4402|x)", "ServerTime(01/02/2024 10:00:00)"}));
}

// The server drops the line in the middle of a multi-row answer, while the
// session asks for a lost row: the partial table is never delivered, the
// dropped requests are reported once, the session logs in again with the
// session id it had, and the next answer is made of its own rows alone.
TEST_F(LoopbackRequests, AbruptCloseInTheMiddleOfRowsThenReloginWithTheOldSessionId) {
    peer.Script()
        .Expect(kAccounts)
        .Reply(Rows({"r1", "r2", "r3", "r4", "r5"}).Drop(3).Duplicate(4))
        .Expect(og::RESULT_LOST_TOKEN)
        .Close()
        .Accept()
        .Expect(og::LOGIN_TOKEN)
        .WithSid(1234)
        .WithParams({"dealer", "secret", "CLIENTAPI"})
        .Reply(testsupport::LoginAccepted(LoginGrant().Sid(1234)))
        .Expect(kAccounts)
        .WithSid(1234)
        .Reply(Rows({"n1", "n2", "n3"}).Drop(2).Duplicate(3))
        .ExpectLostRows({2})
        .Expect(og::RESULT_OK_TOKEN);
    object->Request(kAccounts);
    object->Request(kPrivs);
    ASSERT_TRUE(peer.RunUntil([&] { return probe.Has("State(0)"); }));
    ASSERT_TRUE(peer.RunUntil([&] { return client.LogedOn(); }));
    object->Request(kAccounts);
    ASSERT_TRUE(peer.Finish());
    ASSERT_TRUE(peer.RunUntil([&] { return probe.Count("Rows") == 1; }));
    EXPECT_EQ(
        probe.Only({"Rows", "State", "ShowError"}),
        (Lines{"ShowError(ResetSession)", "State(0)", "State(1)", "Rows(105, 3x1: n1|n2|n3)"}));
    ASSERT_EQ(probe.errors.size(), 1u);
    EXPECT_NE(probe.errors[0].find("2 requests"), std::string::npos) << probe.errors[0];
    EXPECT_NE(probe.errors[0].find("105, 132"), std::string::npos) << probe.errors[0];
}

// A handler that resets the session drops the rest of what arrived on the
// old connection.
TEST_F(LoopbackRequests, AResetFromAHandlerDropsTheRestOfTheOldConnectionsData) {
    bool reset = true;
    object->onAnswer = [&] {
        if (reset) client.Disconnect(true);
        reset = false;
    };
    peer.Script()
        .Expect(kPrivs)
        .Reply(testsupport::Result({"reset"}), testsupport::Push(kQuote, {"stale"}),
               testsupport::ServerTime("stale"))
        .ExpectClose()
        .Accept()
        .AcceptLogin(LoginGrant().Sid(1234));
    object->Request(kPrivs);
    ASSERT_TRUE(peer.Finish());
    ASSERT_TRUE(peer.RunUntil([&] { return client.LogedOn(); }));
    EXPECT_EQ(probe.Only({"OneRow", "DataRecieved", "ServerTime", "State"}),
              (Lines{"OneRow(132, 1: reset)", "State(0)", "State(1)"}));
}

// The request in hand was answered before its handler reset the session: the
// reset has nothing to report as dropped. (The second reset comes within a
// connect interval of the first reconnect: it waits one ReconnectIntervalMs.)
TEST_F(LoopbackRequests, AnAnsweredRequestIsNotReportedDroppedWhenItsHandlerResets) {
    bool reset = false;
    object->onAnswer = [&] {
        if (reset) client.Disconnect(true);
        reset = false;
    };
    const std::vector<std::pair<int16_t, Batch>> answers = {
        {kPrivs, testsupport::Result({"one row"})},
        {kAccounts, Rows({"r1", "r2"})},
    };
    // The confirmation of the table goes out right before the handler's reset,
    // which may cut it off with the connection.
    peer.ServeRowRequests();
    for (const auto& [token, answer] : answers) {
        SCOPED_TRACE(token);
        probe.errors.clear();
        reset = true;
        peer.Script().Expect(token).Reply(answer).ExpectClose().Accept().AcceptLogin(
            LoginGrant().Sid(1234));
        const size_t losses = probe.Count("State(0)");
        object->Request(token);
        ASSERT_TRUE(peer.RunUntil([&] { return probe.Count("State(0)") > losses; }));
        time.Advance(client.ReconnectIntervalMs());
        ASSERT_TRUE(peer.Finish());
        ASSERT_TRUE(peer.RunUntil([&] { return client.LogedOn(); }));
        EXPECT_TRUE(probe.errors.empty()) << probe.Dump();
    }
}

// Requests sent from inside events go out in turn: from a push, and from the
// State(True) of a re-login (the client API asks for its data there).
TEST_F(LoopbackRequests, RequestsSentFromEventsAreAnswered) {
    probe.onData = [&](int16_t) { object->Request(kSymbols, {"from a push"}); };
    client.State.Connect([&](bool on) {
        if (on) object->Request(kPrivs, {"from State"});
    });
    peer.Script()
        .Push(kQuote, {"q"})
        .Expect(kSymbols)
        .WithParams({"from a push"})
        .Reply(Rows({"s1"}))
        .Expect(og::RESULT_OK_TOKEN)
        .Close()
        .Accept()
        .AcceptLogin(LoginGrant().Sid(1234))
        .Expect(kPrivs)
        .WithSid(1234)
        .WithParams({"from State"})
        .Reply(testsupport::Result({"2"}));
    ASSERT_TRUE(peer.Finish());
    ASSERT_TRUE(peer.RunUntil([&] { return probe.Has("OneRow(132, 1: 2)"); })) << probe.Dump();
    EXPECT_EQ(probe.Only({"Rows", "OneRow", "LoggedOn"}),
              (Lines{"Rows(104, 1x1: s1)", "LoggedOn(77)", "OneRow(132, 1: 2)"}));
}

// Two sessions on one server: each has its own session id, and a drop of one
// leaves the other alone.
TEST(LoopbackLogin, TwoSessionsSideBySide) {
    platform::ScopedVirtualTime time;
    ScriptedPeer peer;
    testsupport::KVClientProbe a{peer}, b{peer};
    auto objectA = a.AddObject({kPrivs});
    auto objectB = b.AddObject({kPrivs});
    peer.Script()
        .AcceptLogin()
        .Close()
        .Accept()
        .Expect(og::LOGIN_TOKEN)
        .WithSessionSid()
        .Reply(testsupport::LoginAccepted())
        .Expect(kPrivs)
        .WithSessionSid()
        .Reply(testsupport::Result({"A"}));
    auto& second = peer.AddScript().AcceptLogin().Expect(kPrivs).WithSessionSid().Reply(
        testsupport::Result({"B"}));
    a.client->Login();
    ASSERT_TRUE(peer.RunUntil([&] { return a.Count("State") == 2; }));  // in, then dropped
    b.client->Login();
    ASSERT_TRUE(peer.RunUntil([&] { return a.client->LogedOn() && b.client->LogedOn(); }));
    objectA->Request(kPrivs);
    objectB->Request(kPrivs);
    ASSERT_TRUE(peer.Finish());
    ASSERT_TRUE(peer.RunUntil([&] { return a.Count("OneRow") == 1 && b.Count("OneRow") == 1; }));
    EXPECT_TRUE(a.Has("OneRow(132, 1: A)"));
    EXPECT_TRUE(b.Has("OneRow(132, 1: B)"));
    EXPECT_EQ(b.Only({"State"}), Lines{"State(1)"});
    EXPECT_NE(peer.Script().SessionSid(), second.SessionSid());
}

// Without the socket client's own reconnect, a request made while logged off
// is retried on the send timer; the login still goes first, and only once.
TEST(LoopbackLogin, LoginGoesFirstAlsoWhileTheSendTimerRetries) {
    platform::ScopedVirtualTime time;
    ScriptedPeer peer;
    testsupport::KVClientProbe probe{peer};
    auto object = probe.AddObject({kPrivs});
    probe.client->setAutoRelogin(false);
    peer.Script()
        .Expect(og::LOGIN_TOKEN)
        .Do([&] { time.Advance(1600); }, "three send-timer ticks")
        .ExpectQuiet(100)
        .Reply(testsupport::LoginAccepted())
        .Expect(kPrivs)
        .WithSessionSid()
        .Reply(testsupport::Result({"1"}));
    probe.client->Login();
    object->Request(kPrivs);
    ASSERT_TRUE(peer.Finish());
    ASSERT_TRUE(peer.RunUntil([&] { return probe.Count("OneRow") == 1; })) << probe.Dump();
    EXPECT_EQ(peer.ReceivedWith(og::LOGIN_TOKEN).size(), 1u);
}

// However the server's writes are cut, and also inside a marker, each message
// is raised once, whole, in order.
TEST_F(LoopbackRequests, CutAndCoalescedWritesDeliverEachMessageOnce) {
    using Cutter = std::function<void(PeerScript&)>;
    const std::vector<std::pair<const char*, Cutter>> cuts = {
        {"one write", [](PeerScript&) {}},
        {"one write per message", [](PeerScript& s) { s.EachMessageApart(); }},
        {"inside every marker", [](PeerScript& s) { s.SplitInMarkers(); }},
        {"every 5 bytes", [](PeerScript& s) { s.SplitEvery(5); }},
    };
    for (const auto& [name, cut] : cuts) {
        SCOPED_TRACE(name);
        probe.log.clear();
        cut(peer.Script().Expect(kAccounts).Reply(
            testsupport::Handshake(),
            Rows::Table({{"a", "b"}, {"c", "d"}}).PushAfter(1, testsupport::Push(kQuote, {"q"})),
            testsupport::ServerTime("t")));
        peer.Script().Expect(og::RESULT_OK_TOKEN);
        object->Request(kAccounts);
        ASSERT_TRUE(peer.Finish());
        ASSERT_TRUE(peer.RunUntil([&] { return probe.Has("ServerTime(t)"); }));
        EXPECT_EQ(probe.log,
                  (Lines{"DataRecieved(101, 1: q)", "Rows(105, 2x2: a,b|c,d)", "ServerTime(t)"}));
    }
}

// Garbage, a message without an end, a message with a huge number of values:
// reported or dropped, never a crash; the session serves again afterwards.
TEST_F(LoopbackRequests, BadInputIsSurvived) {
    std::string many;
    for (int i = 0; i < 40000; ++i) many += "G)_v";
    peer.Script().Send(Msg::Raw("garbage+3!"),
                       Msg::Raw("104.GET-ALL-SYMBOLS~~~~~~~s?<" + many + "+3!"),
                       testsupport::ServerTime("after"));
    ASSERT_TRUE(peer.RunUntil([&] { return probe.Has("ServerTime(after)"); })) << probe.Dump();
    EXPECT_EQ(probe.Count("ShowError"), 1u) << probe.Dump();
    ExpectStillServing();

    // Past the receive cap without an end marker: dropped, reported, logged in again.
    probe.log.clear();
    peer.Script()
        .Send(Msg::Raw(std::string(17u << 20, 'x')))
        .ExpectClose()
        .Accept()
        .AcceptLogin(LoginGrant().Sid(1234));
    ASSERT_TRUE(peer.Finish(15000)) << probe.Dump();
    ASSERT_TRUE(peer.RunUntil([&] { return client.LogedOn(); }));
    EXPECT_EQ(probe.Only({"ShowError", "State"}),
              (Lines{"ShowError(Receive)", "State(0)", "State(1)"}));
    ExpectStillServing();
}

// A value holding a protocol marker would shift the parameters or forge a
// message: such a request is refused and reported, never sent.
TEST_F(LoopbackRequests, ValuesWithProtocolMarkersAreRefused) {
    peer.Script().ExpectQuiet(150);
    object->Request(kPrivs, {"a+3!b"});
    EXPECT_FALSE(client.Send(kPrivs, {"ok", "xG)_y"}));
    ASSERT_TRUE(peer.Finish());
    EXPECT_EQ(probe.Count("ShowError"), 2u) << probe.Dump();
    ExpectStillServing();
}

TEST(LoopbackLogin, SendWhileLoggedOffRaisesNotConnected) {
    platform::ScopedVirtualTime time;
    ScriptedPeer peer;
    testsupport::KVClientProbe probe{peer};
    EXPECT_FALSE(probe.client->Send(kPrivs, {"x"}));
    EXPECT_EQ(probe.notConnected, 1);
}

// Past 5000 queued requests the queue refuses more (they take no number); the
// refusals and, at the reset, the dropped requests are each reported once, with
// their count.
TEST(LoopbackLogin, QueueOverflowAndResetAreReportedOnceEach) {
    platform::ScopedVirtualTime time;
    ScriptedPeer peer;
    testsupport::KVClientProbe probe{peer};
    auto object = probe.AddObject({kPrivs});
    peer.Script().AcceptLogin().Expect(kPrivs).Reply(testsupport::Result({"1"})).Expect(kPrivs);
    probe.client->Login();
    for (int i = 0; i < 5003; ++i) object->Request(kPrivs);
    ASSERT_TRUE(peer.Finish());
    ASSERT_TRUE(peer.RunUntil([&] { return probe.Count("OneRow") == 1; }));
    ASSERT_EQ(probe.errors.size(), 1u) << probe.Dump();
    EXPECT_NE(probe.errors[0].find("refused 3 requests"), std::string::npos) << probe.errors[0];
    EXPECT_EQ(probe.client->LastQueuedRequest(), 5000u);  // a refused request takes no number

    probe.client->Disconnect(false);
    ASSERT_EQ(probe.errors.size(), 2u) << probe.Dump();
    EXPECT_NE(probe.errors[1].find("dropped 4999 requests"), std::string::npos) << probe.errors[1];
}

}  // namespace
