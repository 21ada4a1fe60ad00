// The connection session against the scripted peer on loopback: login,
// refusal, re-login, the watchdog, the server's disconnect, error and time
// messages and the demo account. The session's timers run on virtual time, so
// the watchdog and the reconnect timer fire exactly when a test advances it.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "general/common/CTokens.h"
#include "general/common/Enums.h"
#include "platform/EventLoop.h"
#include "platform/TcpSocket.h"
#include "platform/Timer.h"
#include "tests/support/KVClientProbe.h"
#include "tests/support/ScriptedPeer.h"

namespace {

namespace og = OrbanelGeneral10;
using Lines = std::vector<std::string>;
using testsupport::LoginGrant;
using testsupport::ScriptedPeer;

const std::vector<std::string> kLogin{"dealer", "secret", "CLIENTAPI"};

class LoopbackSession : public ::testing::Test {
protected:
    // Logs in; the peer gives the session id 1234 and a 20000 ms handshake interval.
    void LogIn() {
        peer.Script()
            .Expect(og::LOGIN_TOKEN)
            .WithSid(-1)
            .WithParams(kLogin)
            .Reply(testsupport::LoginAccepted(LoginGrant().Sid(1234).User(77).HandshakeMs(20000)));
        client.Login();
        ASSERT_TRUE(
            peer.RunUntil([&] { return client.LogedOn(); }, ScriptedPeer::kWaitMs, "the login"));
    }

    // However long the session's timers run, it does not connect again.
    void ExpectNoReconnect() {
        const size_t before = peer.Connections();
        time.Advance(20000);
        ASSERT_TRUE(platform::EventLoop::RunUntilIdle(ScriptedPeer::kWaitMs));
        EXPECT_EQ(peer.Connections(), before) << peer.Transcript(10);
        EXPECT_FALSE(client.LogedOn());
    }

    platform::ScopedVirtualTime time;
    ScriptedPeer peer;
    testsupport::KVClientProbe probe{peer};
    KVClientDLL10::CKVClient& client = *probe.client;
};

TEST_F(LoopbackSession, AcceptedLoginSetsTheSessionAndLaterRequestsCarryItsId) {
    auto object = probe.AddObject({og::GET_PRIVS_TOKEN});
    for (double port : {0.0, -1.0, 65536.0}) client.setServerPort(port);  // ignored
    LogIn();
    EXPECT_EQ(probe.Only({"State", "LoggedOn"}), (Lines{"State(1)", "LoggedOn(77)"}));
    EXPECT_EQ(client.LoginUser(), 77);

    peer.Script()
        .Expect(og::GET_PRIVS_TOKEN)
        .WithSid(1234)
        .WithParams({"x"})
        .Reply(testsupport::Result({"granted"}));
    object->Request(og::GET_PRIVS_TOKEN, {"x"});
    ASSERT_TRUE(peer.RunUntil([&] { return probe.Has("OneRow(132, 1: granted)"); }));
    ASSERT_TRUE(peer.Finish());
    EXPECT_TRUE(probe.errors.empty()) << probe.Dump();
}

// Silence past the interval the login reply set (WatchdogAfterLoginMs) drops
// the connection and logs in again with the session's id; a handshake restarts the count.
TEST_F(LoopbackSession, WatchdogAfterLoginUsesTheServersIntervalAndReloginKeepsTheSessionId) {
    LogIn();
    time.Advance(30000);
    peer.Script().Send(testsupport::Handshake(), testsupport::ServerTime("t1"));
    ASSERT_TRUE(peer.RunUntil([&] { return probe.Has("ServerTime(t1)"); }));
    time.Advance(KVClientDLL10::CKVClient::WatchdogAfterLoginMs(20000) - 10);
    ASSERT_TRUE(platform::EventLoop::RunUntilIdle(ScriptedPeer::kWaitMs));
    EXPECT_FALSE(probe.Has("DisconnectNoHandshakeMsg"));
    EXPECT_TRUE(peer.IsOpen(1));

    peer.Script()
        .ExpectClose()
        .Accept()
        .Expect(og::LOGIN_TOKEN)
        .WithSid(1234)
        .WithParams(kLogin)
        .Reply(testsupport::LoginAccepted(LoginGrant().Sid(1234).User(77)));
    time.Advance(20);
    ASSERT_TRUE(peer.Finish());
    ASSERT_TRUE(peer.RunUntil([&] { return client.LogedOn(); }));
    EXPECT_EQ(probe.Only({"State", "Disconnect"}),
              (Lines{"State(1)", "DisconnectNoHandshakeMsg", "State(0)", "State(1)"}));
}

TEST_F(LoopbackSession, WatchdogBeforeLoginIsTenSeconds) {
    peer.Script().Expect(og::LOGIN_TOKEN).WithSid(-1);
    client.Login();
    ASSERT_TRUE(peer.Finish());
    time.Advance(KVClientDLL10::CKVClient::kWatchdogBeforeLoginMs - 10);
    ASSERT_TRUE(platform::EventLoop::RunUntilIdle(ScriptedPeer::kWaitMs));
    EXPECT_TRUE(peer.IsOpen(1));

    peer.Script().ExpectClose().Accept().Expect(og::LOGIN_TOKEN).WithSid(-1);
    time.Advance(20);
    ASSERT_TRUE(peer.RunUntil([&] { return probe.Has("State(0)"); }));
    time.Advance(client.ReconnectIntervalMs());  // it never logged on
    ASSERT_TRUE(peer.Finish());
    EXPECT_TRUE(probe.Has("DisconnectNoHandshakeMsg"));
}

TEST_F(LoopbackSession, DontAutoDisconnectKeepsASilentSession) {
    LogIn();
    client.setDontAutoDisconnect(true);
    time.Advance(200000);
    ASSERT_TRUE(platform::EventLoop::RunUntilIdle(ScriptedPeer::kWaitMs));
    EXPECT_TRUE(peer.IsOpen(1));
    EXPECT_TRUE(client.LogedOn());
    EXPECT_FALSE(probe.Has("DisconnectNoHandshakeMsg"));
}

// A re-login may be given another session id; from then on every request,
// and the row confirmations, carry the new one.
TEST_F(LoopbackSession, ANewSessionIdFromAReloginIsUsedFromThenOn) {
    auto object = probe.AddObject({og::GET_ACCOUNTS_TOKEN});
    LogIn();
    peer.Script()
        .Close()
        .Accept()
        .Expect(og::LOGIN_TOKEN)
        .WithSid(1234)
        .Reply(testsupport::LoginAccepted(LoginGrant().Sid(4321)))
        .Expect(og::GET_ACCOUNTS_TOKEN)
        .WithSid(4321)
        .Reply(testsupport::Rows({"a", "b"}).Blank(1))
        .Expect(og::RESULT_LOST_TOKEN)
        .WithSid(4321)
        .Resend(1)
        .Expect(og::RESULT_OK_TOKEN)
        .WithSid(4321);
    ASSERT_TRUE(peer.RunUntil([&] { return probe.Count("LoggedOn") == 2; }));
    object->Request(og::GET_ACCOUNTS_TOKEN);
    ASSERT_TRUE(peer.Finish());
    ASSERT_TRUE(peer.RunUntil([&] { return probe.Has("Rows(105, 2x1: a|b)"); }));
}

// A handler may release the session from inside any of its events; nothing
// runs on afterwards and the connection closes.
TEST(LoopbackRelease, TheSessionMayBeReleasedFromInsideItsEvents) {
    using Hook = std::function<void(testsupport::KVClientProbe&, std::function<void()>)>;
    struct Case {
        const char* name;
        Hook hook;
        std::function<void(testsupport::PeerScript&)> script;
    };
    auto answerLogin = [](testsupport::PeerScript& s) { s.AcceptLogin(); };
    const std::vector<Case> cases = {
        {"State(True)",
         [](auto& p, auto release) {
             p.client->State.Connect([release](bool on) {
                 if (on) release();
             });
         },
         answerLogin},
        {"LoggedOn",
         [](auto& p, auto release) {
             p.client->LoggedOn.Connect([release](int32_t) { release(); });
         },
         answerLogin},
        {"InvalidUsernamePassword",
         [](auto& p, auto release) { p.client->InvalidUsernamePassword.Connect(release); },
         [](auto& s) { s.Expect(og::LOGIN_TOKEN).Reply(testsupport::LoginRefused()); }},
        {"a push in a batch",
         [](auto& p, auto release) { p.onData = [release](int16_t) { release(); }; },
         [](auto& s) {
             s.AcceptLogin().Send(testsupport::Push(og::GET_PRICES_TOKEN, {"1"}),
                                  testsupport::Push(og::GET_PRICES_TOKEN, {"2"}),
                                  testsupport::ServerTime("t"));
         }},
        {"the time between two rows",
         [](auto& p, auto release) {
             p.client->ServerTime.Connect([release](const std::string&) { release(); });
         },
         [](auto& s) {
             s.AcceptLogin().Send(testsupport::RowCount("2"), testsupport::Row("1", "a"),
                                  testsupport::ServerTime("t"), testsupport::Row("2", "b"));
         }},
        {"DisconnectMessageRecieved",
         [](auto& p, auto release) {
             p.client->DisconnectMessageRecieved.Connect([release](int16_t) { release(); });
         },
         [](auto& s) { s.AcceptLogin().Send(testsupport::ServerDisconnect(1)); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        platform::ScopedVirtualTime time;
        ScriptedPeer peer;
        testsupport::KVClientProbe probe{peer};
        bool released = false;
        c.hook(probe, [&] {
            probe.client.reset();
            released = true;
        });
        c.script(peer.Script());
        probe.client->Login();
        ASSERT_TRUE(peer.RunUntil([&] { return released; }, ScriptedPeer::kWaitMs, "the release"));
        ASSERT_TRUE(peer.RunUntil([&] { return !peer.IsOpen(1); }));
        time.Advance(20000);
        ASSERT_TRUE(platform::EventLoop::RunUntilIdle(ScriptedPeer::kWaitMs));
        EXPECT_EQ(peer.Connections(), 1u);
    }
}

// A refused login closes the session for good: no re-login, not even on the
// socket client's own reconnect timer.
TEST_F(LoopbackSession, RefusedLoginNeverReconnects) {
    for (const char* answer : {"NO", "ok", ""}) {
        SCOPED_TRACE(answer);
        ScriptedPeer peer;
        testsupport::KVClientProbe probe{peer};
        auto& client = *probe.client;
        peer.Script()
            .Expect(og::LOGIN_TOKEN)
            .Reply(testsupport::LoginRefused(answer))
            .ExpectClose();
        client.Login();
        ASSERT_TRUE(peer.Finish());
        ASSERT_TRUE(peer.RunUntil([&] { return probe.Has("State(0)"); }));
        EXPECT_EQ(probe.Only({"State", "Invalid", "LoggedOn"}),
                  (Lines{"InvalidUsernamePassword", "State(0)"}));
        EXPECT_EQ(client.LoginUser(), -200);
        time.Advance(20000);
        ASSERT_TRUE(platform::EventLoop::RunUntilIdle(ScriptedPeer::kWaitMs));
        EXPECT_EQ(peer.Connections(), 1u);
    }
}

// A login that cannot go on the wire (a marker in a field would forge the
// message) ends like a refused login, without sending anything.
TEST_F(LoopbackSession, LoginWithAProtocolMarkerInAFieldIsRefusedUnsent) {
    client.setLoginPW("se+3!cret");
    peer.Script().ExpectClose();
    client.Login();
    ASSERT_TRUE(peer.Finish());
    EXPECT_TRUE(peer.ReceivedOn(1).empty());
    EXPECT_TRUE(probe.Has("InvalidUsernamePassword"));
    EXPECT_EQ(probe.Count("ShowError"), 1u) << probe.Dump();
    EXPECT_EQ(client.LoginUser(), -200);
    ExpectNoReconnect();
}

// A login reply whose numbers do not fit is a failed login, reported; the
// session logs in again (one ReconnectIntervalMs later) instead of staying
// connected and not logged on.
TEST_F(LoopbackSession, UnreadableLoginReplyLogsInAgain) {
    const std::vector<std::vector<std::string>> replies = {
        {"OK", "99999999999", "77", "20000"},
        {"OK", "1", "77", "99999999999"},
        {"OK", "1", "77", "2147480000"},
    };
    for (const auto& reply : replies) {
        SCOPED_TRACE(reply[1] + " " + reply[3]);
        ScriptedPeer peer;
        testsupport::KVClientProbe probe{peer};
        auto& client = *probe.client;
        peer.Script()
            .Expect(og::LOGIN_TOKEN)
            .WithSid(-1)
            .Reply(testsupport::Result(reply))
            .ExpectClose()
            .Accept()
            .Expect(og::LOGIN_TOKEN)
            .WithSid(-1)
            .WithParams(kLogin)
            .Reply(testsupport::LoginAccepted(LoginGrant().Sid(5)));
        client.Login();
        ASSERT_TRUE(peer.RunUntil([&] { return probe.Has("State(0)"); }));
        time.Advance(client.ReconnectIntervalMs() - 1);
        ASSERT_TRUE(platform::EventLoop::RunUntilIdle(ScriptedPeer::kWaitMs));
        EXPECT_EQ(peer.Connections(), 1u) << peer.Transcript(10);
        time.Advance(1);
        ASSERT_TRUE(peer.Finish());
        ASSERT_TRUE(peer.RunUntil([&] { return client.LogedOn(); }));
        EXPECT_EQ(probe.Count("ShowError"), 1u) << probe.Dump();
        EXPECT_EQ(probe.Only({"State", "LoggedOn", "Invalid"}),
                  (Lines{"State(0)", "State(1)", "LoggedOn(77)"}));
    }
}

TEST_F(LoopbackSession, DisconnectTrueLogsInAgainAndFalseEndsTheSession) {
    LogIn();
    peer.Script()
        .ExpectClose()
        .Accept()
        .Expect(og::LOGIN_TOKEN)
        .WithSid(1234)
        .Reply(testsupport::LoginAccepted(LoginGrant().Sid(1234)));
    client.Disconnect(true);
    ASSERT_TRUE(peer.Finish());
    ASSERT_TRUE(peer.RunUntil([&] { return client.LogedOn(); }));

    peer.Script().ExpectClose();
    client.Disconnect(false);
    ASSERT_TRUE(peer.Finish());
    EXPECT_EQ(client.LoginUser(), -200);
    ExpectNoReconnect();

    // A new Login carries the last session's id. The session stays marked
    // closed until a reply is accepted, so a drop before it is not logged in
    // again at once; the socket client's reconnect timer brings it back.
    peer.Script()
        .Accept()
        .Expect(og::LOGIN_TOKEN)
        .WithSid(1234)
        .Close()
        .ExpectQuiet(100)
        .Do([&] { time.Advance(6000); }, "the reconnect timer")
        .Accept()
        .Expect(og::LOGIN_TOKEN)
        .WithSid(1234)
        .Reply(testsupport::LoginAccepted(LoginGrant().Sid(1234)));
    client.Login();
    ASSERT_TRUE(peer.Finish());
    ASSERT_TRUE(peer.RunUntil([&] { return client.LogedOn(); }));
    EXPECT_EQ(client.LoginUser(), 77);
}

// A drop of a logged-on connection logs in again at once, whatever
// AutoRelogin says; so does the next one once the reconnected session has
// stood one ReconnectIntervalMs.
TEST_F(LoopbackSession, ADropLogsInAgainAtOnceWhateverAutoRelogin) {
    for (bool autoRelogin : {true, false}) {
        SCOPED_TRACE(autoRelogin);
        ScriptedPeer peer;
        testsupport::KVClientProbe probe{peer};
        probe.client->setAutoRelogin(autoRelogin);
        peer.Script()
            .AcceptLogin()
            .Close()
            .Accept()
            .AcceptLogin()
            .Do([&] { time.Advance(probe.client->ReconnectIntervalMs()); }, "one interval")
            .Close()
            .Accept()
            .AcceptLogin();
        probe.client->Login();
        ASSERT_TRUE(peer.Finish());
        ASSERT_TRUE(peer.RunUntil([&] { return probe.Count("LoggedOn") == 3; }));
    }
}

// A server that closes every connection, before or after granting the login,
// gets at most 4 connections in the 10 s after the first loss, whatever
// AutoRelogin says: the rule of ReconnectIntervalMs.
TEST(LoopbackReconnect, APeerThatKeepsClosingIsConnectedAboutOncePerInterval) {
    using HangUp = ScriptedPeer::HangUp;
    enum Peer { kClosesAtOnce, kClosesOnceLoggedOn, kGrantsThenCloses };
    for (Peer kind : {kClosesAtOnce, kClosesOnceLoggedOn, kGrantsThenCloses}) {
        for (bool autoRelogin : {true, false}) {
            SCOPED_TRACE(std::to_string(kind) + (autoRelogin ? " AutoRelogin" : ""));
            platform::ScopedVirtualTime time;
            ScriptedPeer peer;
            testsupport::KVClientProbe probe{peer};
            probe.client->setAutoRelogin(autoRelogin);
            if (kind == kClosesOnceLoggedOn) peer.Script().AcceptLogin().Close();
            if (kind == kGrantsThenCloses)
                peer.Answer(og::LOGIN_TOKEN, testsupport::LoginAccepted());
            peer.HangUpOn(kind == kGrantsThenCloses ? HangUp::AfterAnswer : HangUp::OnAccept);
            probe.client->Login();
            ASSERT_TRUE(peer.RunUntil([&] { return probe.Has("State(0)"); }, ScriptedPeer::kWaitMs,
                                      "the first loss"));
            for (int step = 0; step < 100 && peer.Connections() <= 5; ++step) {
                time.Advance(100);
                ASSERT_TRUE(platform::EventLoop::RunUntilIdle(ScriptedPeer::kWaitMs));
            }
            const size_t reconnects = peer.Connections() - 1;
            EXPECT_LE(reconnects, 4u) << peer.Transcript(20);
            EXPECT_GE(reconnects, 1u) << peer.Transcript(20);
            // Each peer did what it stands for.
            if (kind == kGrantsThenCloses) {
                EXPECT_GE(probe.Count("LoggedOn"), reconnects) << probe.Dump();
            } else {
                EXPECT_EQ(probe.Count("LoggedOn"), kind == kClosesAtOnce ? 0u : 1u) << probe.Dump();
            }
        }
    }
}

// Honoured whatever the code; one that does not fit 16 bits is reported after
// the close and raised as 0, so the host still learns the server ended it.
TEST_F(LoopbackSession, ServersDisconnectMessageClosesForGoodWhateverItsCode) {
    const struct {
        int32_t code;
        Lines events;
    } cases[] = {
        {3, {"DisconnectMessageRecieved(3, user -200)"}},
        {-32768, {"DisconnectMessageRecieved(-32768, user -200)"}},
        {70000, {"ShowError(Receive)", "DisconnectMessageRecieved(0, user -200)"}},
        {-32769, {"ShowError(Receive)", "DisconnectMessageRecieved(0, user -200)"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        ScriptedPeer peer;
        testsupport::KVClientProbe probe{peer};
        peer.Script().AcceptLogin().Send(testsupport::ServerDisconnect(c.code)).ExpectClose();
        probe.client->Login();
        ASSERT_TRUE(peer.Finish());
        EXPECT_EQ(probe.Only({"ShowError", "DisconnectMessageRecieved"}), c.events) << probe.Dump();
        if (!probe.errors.empty()) {
            EXPECT_NE(probe.errors[0].find(std::to_string(c.code)), std::string::npos);
        }
        const size_t before = peer.Connections();
        time.Advance(20000);
        ASSERT_TRUE(platform::EventLoop::RunUntilIdle(ScriptedPeer::kWaitMs));
        EXPECT_EQ(peer.Connections(), before);
        EXPECT_FALSE(probe.client->LogedOn());
    }
}

// Error codes -502 to -500 drop the connection and log in again; any other
// code with nothing outstanding is only reported.
TEST_F(LoopbackSession, ServerErrorsBySessionCode) {
    for (int32_t code : {-500, -501, -502}) {
        SCOPED_TRACE(code);
        ScriptedPeer peer;
        testsupport::KVClientProbe probe{peer};
        peer.Script()
            .AcceptLogin(LoginGrant().Sid(88))
            .Send(testsupport::ServerError(code))
            .ExpectClose()
            .Accept()
            .Expect(og::LOGIN_TOKEN)
            .WithSid(88)
            .Reply(testsupport::LoginAccepted());
        probe.client->Login();
        ASSERT_TRUE(peer.Finish());
        ASSERT_TRUE(peer.RunUntil([&] { return probe.Count("LoggedOn") == 2; }));
    }
    LogIn();
    peer.Script().Send(testsupport::ServerError(-7), testsupport::ServerTime("after"));
    ASSERT_TRUE(peer.RunUntil([&] { return probe.Has("ServerTime(after)"); }));
    EXPECT_EQ(probe.Count("ShowError"), 1u) << probe.Dump();
    EXPECT_TRUE(peer.IsOpen(1));
    EXPECT_TRUE(client.LogedOn());
}

TEST_F(LoopbackSession, DemoAccountRequestAndReplies) {
    struct Case {
        const char* reply;
        std::string event;
    };
    for (const Case& c : {Case{"WAITDEMO", "Demo(3, )"}, Case{"REALSVR", "Demo(2, )"},
                          Case{"ERRDEMO", "Demo(2, )"}, Case{"demo1234", "Demo(1, demo1234)"}}) {
        SCOPED_TRACE(c.reply);
        ScriptedPeer peer;
        testsupport::KVClientProbe probe{peer};
        auto& client = *probe.client;
        client.setServerPort(1);  // the demo request names its own server
        peer.Script()
            .Expect(og::GENERATE_DEMO_ACCOUNT)
            .WithSid(-1)
            .WithParams({"8", "Street 1", "a@b.c", "Ann", "0123", "XX", "1000.5", "pw", "-1"})
            .Reply(testsupport::Result({c.reply}))
            .ExpectClose();
        client.OpenDemoAccount(peer.Address(), peer.Port(), "Street 1", "a@b.c", "Ann", "0123",
                               "XX", 1000.5, "pw");
        ASSERT_TRUE(peer.Finish());
        EXPECT_EQ(probe.Only({"Demo", "Invalid", "LoggedOn"}), Lines{c.event});
        EXPECT_EQ(client.LoginUser(), -200);
        EXPECT_EQ(client.ServerPort(), peer.Port());
        time.Advance(20000);
        ASSERT_TRUE(platform::EventLoop::RunUntilIdle(ScriptedPeer::kWaitMs));
        EXPECT_EQ(peer.Connections(), 1u);
    }
}

// How a close reaches the server: a connection the session gives up on
// (silence past the watchdog, an unreadable login reply) ends in a reset, so
// what the server has not received yet never arrives later; a Logout's close
// delivers its last message and then ends normally.
TEST(LoopbackClose, AGivenUpConnectionIsResetAndALogoutEndsAfterItsLastMessage) {
    const std::string reset = std::strerror(ECONNRESET);
    const std::string ended = "The remote host closed the connection";
    using Close = std::function<void(KVClientDLL10::CKVClient&, platform::ScopedVirtualTime&)>;
    struct Case {
        const char* name;
        testsupport::Msg loginReply;
        Close close;
        Lines server;
    };
    const std::vector<Case> cases = {
        {"the watchdog",
         testsupport::LoginAccepted(LoginGrant().HandshakeMs(20000)),
         [](auto&, auto& time) {
             time.Advance(KVClientDLL10::CKVClient::WatchdogAfterLoginMs(20000));
         },
         {"LOGIN_TOKEN(1) [dealer]", "end: " + reset}},
        {"an unreadable login reply",
         testsupport::Result({"OK", "99999999999", "77", "20000"}),
         [](auto&, auto&) {},
         {"LOGIN_TOKEN(1) [dealer]", "end: " + reset}},
        {"a Logout",
         testsupport::LoginAccepted(),
         [](auto& client, auto&) {
             client.Send(og::GET_PRIVS_TOKEN, {"last"});
             client.Disconnect(false);
         },
         {"LOGIN_TOKEN(1) [dealer]", "GET_PRIVS_TOKEN(132) [last]", "end: " + ended}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        platform::ScopedVirtualTime time;
        platform::TcpServer server;
        std::vector<std::shared_ptr<platform::TcpSocket>> ends;  // a reconnect is not watched
        std::string in;
        Lines seen;
        server.OnAccept.Connect([&](std::shared_ptr<platform::TcpSocket> s) {
            ends.push_back(s);
            if (ends.size() > 1) return;
            platform::TcpSocket* end = s.get();
            s->OnReceive.Connect([&, end] {
                std::string chunk;
                end->Receive(chunk);
                in += chunk;
                for (size_t at; (at = in.find("+3!")) != std::string::npos; in.erase(0, at + 3)) {
                    const auto m = testsupport::ParseMessage(in.substr(0, at));
                    seen.push_back(testsupport::TokenName(m.token) + " [" +
                                   (m.params.empty() ? "" : m.params[0]) + "]");
                }
            });
            s->OnState.Connect([&, end] { seen.push_back("end: " + end->LastError()); });
        });
        server.Listen("127.0.0.1", 0);
        KVClientDLL10::CKVClient client;
        client.setTokens(std::make_shared<og::CTokens>());
        client.setServerAddress("127.0.0.1");
        client.setServerPort(server.Port());
        client.setLoginUN("dealer");
        client.Login();
        ASSERT_TRUE(
            platform::EventLoop::RunUntil([&] { return !seen.empty(); }, ScriptedPeer::kWaitMs));
        int32_t sid = 1;
        testsupport::Session session(&sid);
        ends[0]->Send(c.loginReply.Render(session));
        ASSERT_TRUE(platform::EventLoop::RunUntil(
            [&] { return client.LogedOn() || seen.size() > 1; }, ScriptedPeer::kWaitMs));
        c.close(client, time);
        EXPECT_TRUE(platform::EventLoop::RunUntil(
            [&] { return !seen.empty() && seen.back().rfind("end: ", 0) == 0; },
            ScriptedPeer::kWaitMs));
        EXPECT_EQ(seen, c.server);
    }
}

// After a server outage the sessions come back each at its own moment (its
// connect-retry interval, 3000 to 5999 ms), not all in the same instant.
TEST(LoopbackReconnect, SessionsComeBackAtTheirOwnMoments) {
    platform::ScopedVirtualTime time;
    ScriptedPeer peer;
    peer.Answer(og::LOGIN_TOKEN, testsupport::LoginAccepted());
    std::vector<std::unique_ptr<testsupport::KVClientProbe>> sessions;
    for (int i = 0; i < 12; ++i) {
        sessions.push_back(std::make_unique<testsupport::KVClientProbe>(peer));
        sessions.back()->client->Login();
    }
    auto loggedOn = [&] {
        size_t n = 0;
        for (const auto& s : sessions) n += s->client->LogedOn();
        return n;
    };
    ASSERT_TRUE(peer.RunUntil([&] { return loggedOn() == sessions.size(); }));

    peer.StopListening();
    peer.CloseAll();
    ASSERT_TRUE(peer.RunUntil([&] {
        for (const auto& s : sessions) {
            if (s->Count("State") < 2) return false;
        }
        return true;
    }));
    ASSERT_TRUE(platform::EventLoop::RunUntilIdle(
        ScriptedPeer::kWaitMs));  // their attempts at once are refused
    peer.ResumeListening();

    std::set<int> moments;  // 200 ms steps in which sessions came back
    size_t back = 0;
    for (int step = 1; step <= 30 && back < sessions.size(); ++step) {
        time.Advance(200);
        ASSERT_TRUE(platform::EventLoop::RunUntilIdle(ScriptedPeer::kWaitMs));
        if (loggedOn() > back) moments.insert(step);
        back = loggedOn();
    }
    ASSERT_TRUE(peer.RunUntil([&] { return loggedOn() == sessions.size(); }));
    EXPECT_GE(*moments.begin(), 15);  // none before 3000 ms
    EXPECT_GE(moments.size(), 4u) << "sessions reconnect in lock-step";
}

}  // namespace
