// The session's state machine on virtual time: the login timer, the send
// retry, the connect retry, the watchdog before and after login and
// DontAutoDisconnect. Timers run on a ScopedVirtualTime and never sleep; the
// socket side goes through the scripted peer on loopback where a state needs
// a connection.
#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "connection/CKVClient.h"
#include "connection/CTcpClient.h"
#include "general/common/CTokens.h"
#include "general/common/Enums.h"
#include "platform/EventLoop.h"
#include "platform/TcpSocket.h"
#include "platform/Timer.h"
#include "tests/support/ScriptedPeer.h"

namespace {

namespace kv = KVClientDLL10;
namespace og = OrbanelGeneral10;
using testsupport::LoginGrant;
using testsupport::Result;
using testsupport::ScriptedPeer;

// A request object that sends through the session's relay.
class RequestObject : public kv::IClientServer {
public:
    void OneRowResultreceived(int16_t, int16_t, const std::vector<std::string>&) override {}
    void MultiRowsResultsreceived(int16_t, bool, const kv::ResultTable&, int32_t,
                                  int16_t) override {}
    bool HasThisToken(int16_t) override { return true; }
    void SetEventManager(std::shared_ptr<KVGeneralDLL10::CEventManager> relay) override {
        relay_ = std::move(relay);
    }

    void Request(int16_t token) {
        std::vector<std::string> p(50, "!&NS&!");
        relay_->RequestFromServer(token, p);
    }

private:
    std::shared_ptr<KVGeneralDLL10::CEventManager> relay_;
};

// The session's events, in order, as short texts.
struct EventLog {
    explicit EventLog(kv::CKVClient& c) {
        c.State.Connect([this](bool up) { Add(up ? "State(True)" : "State(False)"); });
        c.LoggedOn.Connect([this](int32_t user) { Add("LoggedOn(" + std::to_string(user) + ")"); });
        c.InvalidUsernamePassword.Connect([this] { Add("InvalidUsernamePassword"); });
        c.NotConnected.Connect([this] { Add("NotConnected"); });
        c.DisconnectNoHandshakeMsg.Connect([this] { Add("DisconnectNoHandshakeMsg"); });
        c.ShowError.Connect([this](const std::string& title, const std::string& msg) {
            Add("ShowError(" + title + ")");
            errors.push_back(msg);
        });
        c.DataRecieved.Connect([this](int16_t token, int16_t n, const std::vector<std::string>&) {
            Add("DataRecieved(" + std::to_string(token) + "," + std::to_string(n) + ")");
        });
        c.ServerTime.Connect([this](const std::string& t) { Add("ServerTime(" + t + ")"); });
    }
    void Add(std::string e) { log.push_back(std::move(e)); }
    size_t Count(const std::string& e) const {
        size_t n = 0;
        for (const auto& x : log) n += x == e;
        return n;
    }
    std::vector<std::string> log;
    std::vector<std::string> errors;
};

class Session : public ::testing::Test {
protected:
    Session() {
        client = std::make_unique<kv::CKVClient>();
        client->setTokens(std::make_shared<og::CTokens>());
        client->setServerAddress(peer.Address());
        client->setServerPort(peer.Port());
        client->setLoginUN("dealer");
        client->setLoginPW("secret");
        client->setLoginType("CLIENTAPI");
        events = std::make_unique<EventLog>(*client);
        requests = std::make_shared<RequestObject>();
        client->AddClientServerObject(requests);
    }

    ::testing::AssertionResult Until(const std::function<bool()>& done, const char* what) {
        return peer.RunUntil(done, ScriptedPeer::kWaitMs, what);
    }
    ::testing::AssertionResult LoggedOn() {
        return Until([this] { return client->LogedOn(); }, "logged on");
    }
    size_t Logins() const { return peer.ReceivedWith(og::LOGIN_TOKEN).size(); }

    // First: the session's timers bind to it.
    platform::ScopedVirtualTime time;
    ScriptedPeer peer;
    std::unique_ptr<kv::CKVClient> client;
    std::unique_ptr<EventLog> events;
    std::shared_ptr<RequestObject> requests;
};

// ---- Without a connection ---------------------------------------------------

TEST(SessionDefaults, FreshSessionAndPortRange) {
    platform::ScopedVirtualTime time;
    kv::CKVClient client;
    EXPECT_FALSE(client.LogedOn());
    EXPECT_EQ(client.LoginUser(), -100);
    EXPECT_EQ(client.ServerAddress(), "localhost");
    EXPECT_EQ(client.ServerPort(), 4401);
    EXPECT_TRUE(client.AutoRelogin());
    EXPECT_FALSE(client.DontAutoDisconnect());
    EXPECT_EQ(time.driver().RunningTimers(), 0u);

    struct Case {
        double value;
        double after;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const Case& c : {Case{0, 4401}, Case{-5, 4401}, Case{65536, 4401}, Case{70000, 4401},
                          Case{nan, 4401}, Case{1, 1}, Case{65535, 65535}, Case{8080, 8080}}) {
        client.setServerPort(4401);
        client.setServerPort(c.value);
        EXPECT_EQ(client.ServerPort(), c.after) << c.value;
    }
}

// Sessions created together must not come back after a drop in lock-step.
TEST(SocketClient, EachClientDrawsItsOwnConnectInterval) {
    platform::ScopedVirtualTime time;
    std::vector<std::unique_ptr<kv::CTcpClient>> clients;
    std::set<int32_t> distinct;
    for (int i = 0; i < 500; ++i) {
        clients.push_back(std::make_unique<kv::CTcpClient>());
        const int32_t interval = clients.back()->ConnectInterval();
        ASSERT_GE(interval, 3000);
        ASSERT_LE(interval, 5999);
        distinct.insert(interval);
    }
    // 500 draws from 3000 values: about 460 distinct ones are expected.
    EXPECT_GT(distinct.size(), 350u);
}

TEST(SocketClient, IsConnectingOnlyWhileAReconnectIsWanted) {
    platform::ScopedVirtualTime time;
    struct Case {
        bool autoRelogin;
        bool relogin;
        bool connecting;
    };
    for (const Case& c : {Case{true, true, true}, Case{true, false, false},
                          Case{false, true, false}, Case{false, false, false}}) {
        kv::CTcpClient tcp;
        tcp.setAutoReloginOption(c.autoRelogin);
        tcp.Disconnect(c.relogin);
        EXPECT_EQ(tcp.isConnecting(), c.connecting) << c.autoRelogin << c.relogin;
        EXPECT_EQ(tcp.Status(), 1);
    }
}

// A watchdog restarted while nothing is connected would fire on an idle session.
TEST(SessionDefaults, DontAutoDisconnectStartsNothingOnAnIdleSession) {
    platform::ScopedVirtualTime time;
    kv::CKVClient client;
    EventLog events(client);
    client.setDontAutoDisconnect(true);
    client.setDontAutoDisconnect(false);
    EXPECT_EQ(time.driver().RunningTimers(), 0u);
    time.Advance(300000);
    EXPECT_TRUE(events.log.empty());
}

// ---- Send retry -----------------------------------------------------------------

// While the socket client reconnects on its own a waiting request is not retried;
// on a session closed for good it is retried every 500 ms, each time with
// NotConnected, until a reset drops it with one report.
TEST_F(Session, SendRetryWhileLoggedOff) {
    requests->Request(og::GET_ALL_SYMBOLS_TOKEN);
    EXPECT_EQ(events->Count("NotConnected"), 1u);
    EXPECT_EQ(time.driver().RunningTimers(), 0u);  // a fresh session counts as reconnecting
    time.Advance(5000);
    EXPECT_EQ(events->Count("NotConnected"), 1u);

    client->Disconnect(false);  // closed for good: no reconnect follows
    EXPECT_EQ(events->Count("ShowError(ResetSession)"), 1u);
    EXPECT_NE(events->errors.back().find("1 request"), std::string::npos) << events->errors.back();
    EXPECT_NE(events->errors.back().find("104"), std::string::npos) << events->errors.back();
    events->log.clear();

    requests->Request(og::GET_ALL_SYMBOLS_TOKEN);
    requests->Request(og::GET_ALL_SYMBOLS_TOKEN);
    EXPECT_EQ(events->Count("NotConnected"), 1u);  // only the head is tried
    time.Advance(kv::CKVClient::kSendRetryMs - 1);
    EXPECT_EQ(events->Count("NotConnected"), 1u);
    time.Advance(1);
    EXPECT_EQ(events->Count("NotConnected"), 2u);
    time.Advance(1500);
    EXPECT_EQ(events->Count("NotConnected"), 5u);

    // Login resets the queue: both requests are dropped and reported once.
    peer.Script().AcceptLogin();
    client->Login();
    EXPECT_EQ(events->Count("ShowError(ResetSession)"), 1u);
    EXPECT_NE(events->errors.back().find("2 requests"), std::string::npos) << events->errors.back();
    EXPECT_NE(events->errors.back().find("104 x2"), std::string::npos) << events->errors.back();
    ASSERT_TRUE(LoggedOn());
    time.Advance(5000);
    EXPECT_EQ(events->Count("NotConnected"), 5u);
    EXPECT_EQ(Logins(), 1u);
}

// ---- Login timer and login ----------------------------------------------------

// The first connect logs in at once (the login timer's first tick runs on the
// connect); the reply sets the session id, the user and the watchdog interval
// (WatchdogAfterLoginMs of the server's value), which holds across a re-login.
TEST_F(Session, LoginReplySetsSessionAndWatchdogAfterLogin) {
    peer.Script()
        .Expect(og::LOGIN_TOKEN)
        .WithSid(-1)
        .WithParams({"dealer", "secret", "CLIENTAPI"})
        .Reply(Result({"OK", "1234", "77", "20000"}))
        .ExpectClose()
        .Accept()
        .Expect(og::LOGIN_TOKEN)
        .WithSid(1234)
        .Reply(Result({"OK", "1234", "77", "20000"}));
    client->Login();
    ASSERT_TRUE(LoggedOn());
    EXPECT_EQ(time.driver().NowMs(), 0);
    EXPECT_EQ(client->LoginUser(), 77);
    std::vector<std::string> ups;
    for (const auto& e : events->log)
        if (e == "State(True)" || e.rfind("LoggedOn", 0) == 0) ups.push_back(e);
    EXPECT_EQ(ups, (std::vector<std::string>{"State(True)", "LoggedOn(77)"}));

    const int32_t watchdog = kv::CKVClient::WatchdogAfterLoginMs(20000);
    EXPECT_EQ(watchdog, 35000);
    time.Advance(watchdog - 1);
    EXPECT_EQ(events->Count("DisconnectNoHandshakeMsg"), 0u);
    EXPECT_TRUE(client->LogedOn());
    time.Advance(1);
    EXPECT_EQ(events->Count("DisconnectNoHandshakeMsg"), 1u);
    // The session resets when the close is reported, and logs in again.
    ASSERT_TRUE(Until([this] { return !client->LogedOn(); }, "the reported close"));
    ASSERT_TRUE(peer.Finish());
    ASSERT_TRUE(LoggedOn());
    EXPECT_EQ(events->Count("State(False)"), 1u);
    EXPECT_EQ(events->Count("LoggedOn(77)"), 2u);
    // The interval of the last login stands.
    time.Advance(watchdog - 1);
    EXPECT_EQ(events->Count("DisconnectNoHandshakeMsg"), 1u);
    time.Advance(1);
    EXPECT_EQ(events->Count("DisconnectNoHandshakeMsg"), 2u);
}

// Until the first accepted login the watchdog gives the server kWatchdogBeforeLoginMs; the
// login request is queued once per connection, not once per login-timer tick. The
// connection it drops never logged on: the next comes one ReconnectIntervalMs later.
TEST_F(Session, WatchdogBeforeLogin) {
    peer.Script().Expect(og::LOGIN_TOKEN).ExpectClose().Accept().AcceptLogin();
    client->Login();
    ASSERT_TRUE(Until([this] { return Logins() == 1; }, "the login request"));
    time.Advance(kv::CKVClient::kWatchdogBeforeLoginMs - 1);
    EXPECT_EQ(Logins(), 1u);
    EXPECT_EQ(events->Count("DisconnectNoHandshakeMsg"), 0u);
    time.Advance(1);
    EXPECT_EQ(events->Count("DisconnectNoHandshakeMsg"), 1u);
    ASSERT_TRUE(Until([this] { return events->Count("State(False)") == 1; }, "the close"));
    time.Advance(client->ReconnectIntervalMs() - 1);
    ASSERT_TRUE(platform::EventLoop::RunUntilIdle(ScriptedPeer::kWaitMs));
    EXPECT_EQ(peer.Connections(), 1u);
    time.Advance(1);
    ASSERT_TRUE(peer.Finish());
    ASSERT_TRUE(LoggedOn());
    // The pending login was the session's own: no report of dropped requests.
    EXPECT_TRUE(events->errors.empty()) << events->errors.front();
}

// Every handshake restarts the watchdog's full interval; with DontAutoDisconnect
// the firing changes nothing, and setting it restarts the count.
TEST_F(Session, HandshakesAndDontAutoDisconnect) {
    peer.Script().AcceptLogin(LoginGrant().HandshakeMs(5000));
    client->Login();
    ASSERT_TRUE(LoggedOn());
    const int32_t watchdog = kv::CKVClient::WatchdogAfterLoginMs(5000);

    time.Advance(15000);
    peer.Script().Send(testsupport::Handshake(), testsupport::ServerTime("t1"));
    ASSERT_TRUE(Until([this] { return events->Count("ServerTime(t1)") == 1; }, "the handshake"));
    time.Advance(watchdog - 1);  // the handshake at 15000 restarted the count
    EXPECT_EQ(events->Count("DisconnectNoHandshakeMsg"), 0u);

    client->setDontAutoDisconnect(true);  // restarts again, at 34999
    time.Advance(100000);
    EXPECT_EQ(events->Count("DisconnectNoHandshakeMsg"), 0u);
    EXPECT_TRUE(client->LogedOn());

    const int64_t since = time.driver().NowMs();
    client->setDontAutoDisconnect(false);
    time.Advance(watchdog - 1);
    EXPECT_EQ(events->Count("DisconnectNoHandshakeMsg"), 0u);
    time.Advance(1);
    EXPECT_EQ(events->Count("DisconnectNoHandshakeMsg"), 1u);
    EXPECT_EQ(time.driver().NowMs() - since, watchdog);
}

// What a login reply does: refused (any first parameter but "OK") closes the
// session for good; a reply that cannot be read is a failed login that is
// tried again on a new connection one ReconnectIntervalMs later, never a
// session connected but not logged on.
TEST(SessionLogin, Replies) {
    struct Case {
        std::vector<std::string> reply;
        bool refused;
    };
    const Case cases[] = {
        {{"ok", "1234", "77", "20000"}, true},
        {{"NO"}, true},
        {{"OK", "x", "77", "20000"}, false},       // session id not a number
        {{"OK", "1234", "77", "abc"}, false},      // interval not a number
        {{"OK", "1234", "1e12", "20000"}, false},  // user id past 32 bits
        {{"OK", "1234", "77"}, false},             // no interval
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply[0] + " " + (c.reply.size() > 1 ? c.reply[1] : ""));
        platform::ScopedVirtualTime time;
        ScriptedPeer peer;
        kv::CKVClient client;
        client.setTokens(std::make_shared<og::CTokens>());
        client.setServerAddress(peer.Address());
        client.setServerPort(peer.Port());
        EventLog events(client);
        auto& script = peer.Script().Expect(og::LOGIN_TOKEN).Reply(Result(c.reply));
        client.Login();
        if (!c.refused) {
            script.ExpectClose();
            ASSERT_TRUE(peer.RunUntil([&] { return events.Count("State(False)") == 1; }));
            time.Advance(client.ReconnectIntervalMs());
            script.Accept().Expect(og::LOGIN_TOKEN).WithSid(-1);
        }
        ASSERT_TRUE(peer.Finish());
        if (c.refused) {
            ASSERT_TRUE(peer.RunUntil([&] { return !peer.IsOpen(1); }));
            EXPECT_EQ(events.Count("InvalidUsernamePassword"), 1u);
            EXPECT_EQ(client.LoginUser(), kv::CKVClient::kClosedForGood);
            time.Advance(60000);  // closed for good: nothing runs, nothing reconnects
            EXPECT_EQ(time.driver().RunningTimers(), 0u);
            EXPECT_EQ(peer.Connections(), 1u);
        } else {
            EXPECT_EQ(events.Count("InvalidUsernamePassword"), 0u);
            EXPECT_EQ(events.Count("ShowError(Login)"), 1u);
            EXPECT_FALSE(client.LogedOn());
            EXPECT_EQ(client.LoginUser(), kv::CKVClient::kNotLoggedIn);
        }
        EXPECT_EQ(events.Count("State(True)"), 0u);
    }
}

// ---- Connect retry ------------------------------------------------------------

// A failed connect is tried again after the client's interval (3000-5999 ms),
// not before; the connect timer then stops.
TEST_F(Session, ConnectRetryAfterTheDrawnInterval) {
    int32_t deadPort = 0;
    {
        platform::TcpServer probe;
        probe.Listen("127.0.0.1", 0);
        deadPort = probe.Port();
    }
    client->setServerPort(deadPort);
    peer.Script().AcceptLogin();
    client->Login();
    ASSERT_TRUE(platform::EventLoop::RunUntilIdle(ScriptedPeer::kWaitMs));  // the refusal
    client->setServerPort(peer.Port());
    time.Advance(2999);
    ASSERT_TRUE(platform::EventLoop::RunUntilIdle(ScriptedPeer::kWaitMs));
    EXPECT_EQ(peer.Connections(), 0u);
    time.Advance(3000);
    ASSERT_TRUE(LoggedOn());
    EXPECT_EQ(peer.Connections(), 1u);
    EXPECT_TRUE(events->errors.empty());
    // Connected: only the watchdog runs.
    EXPECT_EQ(time.driver().RunningTimers(), 1u);
}

}  // namespace
