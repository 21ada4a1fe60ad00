#include "general/common/CTcpClient.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/EventLoop.h"
#include "platform/HttpTunnel.h"
#include "platform/TcpSocket.h"
#include "platform/Timer.h"
#include "runtime/Error.h"
#include "tests/support/ProxyFixtures.h"

namespace {

using namespace OrbanelGeneral10;
using platform::EventLoop;
using testsupport::LoopbackTarget;
using testsupport::ProxyFixture;
using Kind = ProxyFixture::Kind;
using Fault = ProxyFixture::Fault;

constexpr int32_t kWaitMs = 5000;

bool Wait(const std::function<bool()>& done) {
    return EventLoop::RunUntil(done, kWaitMs);
}

// Every event of a client, in order, as short texts.
struct Recorder {
    explicit Recorder(CTcpClient& c) {
        c.State.Connect([this](TCPClientStatusType s) {
            log.push_back(s == STATUS_CONNECTED ? "connected" : "disconnected");
        });
        c.Receive.Connect([this](const std::string& m) { log.push_back("receive " + m); });
        c.NotConnected.Connect([this] { log.push_back("not connected"); });
        c.ProxyTestResult.Connect([this](ProxyTestResultEnum r, const std::string& text) {
            log.push_back("proxy test " + std::to_string(r) + " " + text);
        });
        c.ReceivedData.Connect(
            [this](int32_t n) { log.push_back("received " + std::to_string(n)); });
        c.SentData.Connect([this](int32_t n) { log.push_back("sent " + std::to_string(n)); });
    }
    size_t Count(const std::string& entry) const {
        return static_cast<size_t>(std::count(log.begin(), log.end(), entry));
    }
    bool Has(const std::string& entry) const { return Count(entry) > 0; }
    std::vector<std::string> log;
};

// A port nobody listens on (until a test listens there itself).
int32_t DeadPort() {
    platform::TcpServer probe;
    probe.Listen("127.0.0.1", 0);
    return probe.Port();
}

// Connects `client` to `target` and waits for the connection.
void ConnectTo(CTcpClient& client, const LoopbackTarget& target, Recorder& rec) {
    client.setServerAddress(target.Address());
    client.setServerPort(target.Port());
    client.Connect();
    ASSERT_TRUE(Wait([&] { return rec.Has("connected") && target.OpenConnections() == 1; }));
}

class ProxyTestHostScope {
public:
    ProxyTestHostScope(const std::string& host, int32_t port)
        : host_(CTcpClient::ProxyTestHost()), port_(CTcpClient::ProxyTestPort()) {
        CTcpClient::setProxyTestHost(host);
        CTcpClient::setProxyTestPort(port);
    }
    ~ProxyTestHostScope() {
        CTcpClient::setProxyTestHost(host_);
        CTcpClient::setProxyTestPort(port_);
    }

private:
    std::string host_;
    int32_t port_;
};

// ---- settings ---------------------------------------------------------------

TEST(TcpClient, ServerPortTakesOnlyPortsOneTo65535) {
    struct Case {
        double value;
        double expected;
    };
    const std::vector<Case> cases = {{0.5, 4500}, {0, 4500}, {-1, 4500},     {65536, 4500},
                                     {NAN, 4500}, {1, 1},    {65535, 65535}, {4401, 4401}};
    for (const Case& c : cases) {
        CTcpClient client;
        client.setServerPort(c.value);
        EXPECT_EQ(client.ServerPort(), c.expected) << c.value;
    }
}

TEST(TcpClient, EachClientDrawsItsOwnConnectInterval) {
    std::set<int32_t> seen;
    for (int i = 0; i < 40; ++i) {
        CTcpClient client;  // created within the same second, as a desk does
        const int32_t interval = client.ConnectInterval();
        EXPECT_GE(interval, CTcpClient::kMinConnectInterval);
        EXPECT_LE(interval, CTcpClient::kMaxConnectInterval);
        seen.insert(interval);
    }
    EXPECT_GT(seen.size(), 20u);
}

// ---- connecting and dropping (virtual time) ---------------------------------

TEST(TcpClient, RetriesAFailedConnectEveryInterval) {
    platform::ScopedVirtualTime time;
    const int32_t port = DeadPort();
    CTcpClient client;
    Recorder rec(client);
    client.setServerAddress("127.0.0.1");
    client.setServerPort(port);
    client.setHandshakeMsgTimer(1000);
    client.Connect();
    ASSERT_TRUE(
        EventLoop::RunUntilIdle(kWaitMs));  // the first attempt is refused, without an event
    EXPECT_TRUE(rec.log.empty());
    EXPECT_TRUE(client.isConnecting());
    // A sign of life while down must not arm the watchdog, whose firing would
    // stop the retries.
    client.HandshakeMsgRecieved();

    platform::TcpServer server;
    server.Listen("127.0.0.1", port);
    time.Advance(client.ConnectInterval() - 1);
    ASSERT_TRUE(EventLoop::RunUntilIdle(kWaitMs));
    EXPECT_TRUE(rec.log.empty()) << "tried before the interval was over";
    time.Advance(1);
    ASSERT_TRUE(Wait([&] { return rec.Has("connected"); }));
    EXPECT_EQ(client.Status(), STATUS_CONNECTED);
    EXPECT_FALSE(client.isConnecting());
}

TEST(TcpClient, EachDropIsReportedOnceAndReconnectsOnlyWhenWanted) {
    enum class Drop {
        ServerCloses,
        DisconnectRelogin,
        DisconnectNoRelogin,
        Watchdog,
        NoReloginFromConnectedHandler
    };
    struct Case {
        const char* name;
        Drop drop;
        bool autoRelogin;
        bool reconnects;
    };
    const std::vector<Case> cases = {
        {"ServerCloses", Drop::ServerCloses, true, true},
        {"ServerClosesNoAutoRelogin", Drop::ServerCloses, false, false},
        {"DisconnectTrue", Drop::DisconnectRelogin, true, true},
        {"DisconnectTrueNoAutoRelogin", Drop::DisconnectRelogin, false, false},
        {"DisconnectFalse", Drop::DisconnectNoRelogin, true, false},
        {"WatchdogFires", Drop::Watchdog, true, true},
        {"DisconnectFalseInsideConnected", Drop::NoReloginFromConnectedHandler, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform::ScopedVirtualTime time;
        LoopbackTarget target;
        CTcpClient client;
        client.setAutoReloginOption(c.autoRelogin);
        Recorder rec(client);
        if (c.drop == Drop::NoReloginFromConnectedHandler) {
            client.State.Connect([&](TCPClientStatusType s) {
                if (s == STATUS_CONNECTED) client.Disconnect(false);
            });
        }
        ConnectTo(client, target, rec);
        switch (c.drop) {
            case Drop::ServerCloses:
                target.CloseAll();
                break;
            case Drop::DisconnectRelogin:
                client.Disconnect(true);
                break;
            case Drop::DisconnectNoRelogin:
                client.Disconnect(false);
                break;
            case Drop::Watchdog:
                time.Advance(client.HandshakeMsgTimer());
                break;
            case Drop::NoReloginFromConnectedHandler:
                break;
        }
        ASSERT_TRUE(Wait([&] { return rec.Has("disconnected"); }));
        ASSERT_TRUE(EventLoop::RunUntilIdle(kWaitMs));
        client.Child()->Close();  // a second close report for the same drop
        ASSERT_TRUE(EventLoop::RunUntilIdle(kWaitMs));
        EXPECT_EQ(rec.Count("disconnected"), 1u);
        EXPECT_EQ(client.isConnecting(), c.reconnects);
        time.Advance(c.reconnects ? client.ConnectInterval() : 3 * CTcpClient::kMaxConnectInterval);
        if (c.reconnects) {
            EXPECT_TRUE(Wait([&] { return rec.Count("connected") == 2; }));
            EXPECT_EQ(target.Connections(), 2u);
        } else {
            ASSERT_TRUE(EventLoop::RunUntilIdle(kWaitMs));
            EXPECT_EQ(target.Connections(), 1u);
            EXPECT_EQ(rec.Count("connected"), 1u);
        }
    }
}

TEST(TcpClient, AnyReceivedDataRestartsTheWatchdogOfServerType1Only) {
    for (TCPServerTypeEnum type :
         {DisconnectWhenNoHandshakMsgType, NoDisconnectWhenNoHandshakMsgType}) {
        SCOPED_TRACE(type);
        platform::ScopedVirtualTime time;
        LoopbackTarget target;
        CTcpClient client;
        client.setServerType(type);
        Recorder rec(client);
        ConnectTo(client, target, rec);
        time.Advance(60000);
        ASSERT_TRUE(target.Send("x"));
        ASSERT_TRUE(Wait([&] { return rec.Has("received 1"); }));
        time.Advance(99999);
        ASSERT_TRUE(EventLoop::RunUntilIdle(kWaitMs));
        EXPECT_FALSE(rec.Has("disconnected"));
        time.Advance(1);
        ASSERT_TRUE(EventLoop::RunUntilIdle(kWaitMs));
        EXPECT_EQ(rec.Has("disconnected"), type == DisconnectWhenNoHandshakMsgType);
    }
}

// ---- receiving --------------------------------------------------------------

TEST(TcpClient, CutsChunksIntoMessagesAndKeepsTheIncompleteTail) {
    LoopbackTarget target;
    CTcpClient client;
    Recorder rec(client);
    ConnectTo(client, target, rec);
    rec.log.clear();
    ASSERT_TRUE(target.Send("ONEs?<G)_1+3!TWOs?<+3!THR"));
    ASSERT_TRUE(Wait([&] { return rec.log.size() == 3; }));
    EXPECT_EQ(rec.log,
              (std::vector<std::string>{"received 25", "receive ONEs?<G)_1", "receive TWOs?<"}));
    ASSERT_TRUE(target.Send("EEs?<+3!"));
    ASSERT_TRUE(Wait([&] { return rec.log.size() == 5; }));
    EXPECT_EQ(rec.log[4], "receive THREEs?<");
}

TEST(TcpClient, TextWithoutEndMarkerPastTheCapDropsTheConnection) {
    platform::ScopedVirtualTime time;
    LoopbackTarget target;
    CTcpClient client;
    Recorder rec(client);
    ConnectTo(client, target, rec);
    ASSERT_TRUE(target.Send(std::string(CTcpClient::kReceiveBufferCap + 1, 'x')));
    ASSERT_TRUE(Wait([&] { return rec.Has("disconnected"); }));
    EXPECT_TRUE(client.isConnecting());
    EXPECT_EQ(std::count_if(rec.log.begin(), rec.log.end(),
                            [](const std::string& e) { return e.rfind("receive ", 0) == 0; }),
              0);
}

TEST(TcpClient, AHostMayReleaseTheClientFromItsOwnHandlers) {
    LoopbackTarget target;
    target.SetGreeting("As?<+3!Bs?<+3!");
    auto client = std::make_shared<CTcpClient>();
    std::vector<std::string> got;
    client->Receive.Connect([&](const std::string& m) {
        got.push_back(m);
        client.reset();  // the last reference goes inside the event
    });
    client->setServerAddress(target.Address());
    client->setServerPort(target.Port());
    client->Connect();
    ASSERT_TRUE(Wait([&] { return client == nullptr; }));
    ASSERT_TRUE(EventLoop::RunUntilIdle(kWaitMs));
    EXPECT_EQ(got, std::vector<std::string>{"As?<"});

    auto second = std::make_shared<CTcpClient>();
    second->State.Connect([&](TCPClientStatusType) { second.reset(); });
    second->setServerAddress(target.Address());
    second->setServerPort(target.Port());
    second->Connect();
    EXPECT_TRUE(Wait([&] { return second == nullptr; }));
}

// ---- sending ----------------------------------------------------------------

TEST(TcpClient, SendWhileDisconnectedReportsAndDropsTheText) {
    platform::ScopedVirtualTime time;
    CTcpClient client;
    Recorder rec(client);
    client.Send("abc");
    EXPECT_EQ(rec.log, (std::vector<std::string>{"sent 3", "not connected"}));
    time.Advance(1000);
    EXPECT_EQ(rec.log.size(), 2u) << "the text stayed queued";
}

// Fills the socket's output past its busy mark, so what Send queues waits.
void MakeBusy(CTcpClient& client, std::string& big) {
    big.assign(size_t{2} << 20, 'b');
    client.Send(big);
    ASSERT_TRUE(client.Blocked());
}

TEST(TcpClient, QueuedTextsLeaveOnePerTickInTheOrderSent) {
    platform::ScopedVirtualTime time;
    LoopbackTarget target;
    CTcpClient client;
    Recorder rec(client);
    ConnectTo(client, target, rec);
    std::string big;
    MakeBusy(client, big);
    client.Send("x+3!");
    client.Send("y+3!");
    client.Send("z+3!");
    ASSERT_TRUE(Wait([&] { return target.Received().size() == big.size(); }));
    ASSERT_FALSE(client.Blocked());
    for (const std::string expected : {"x+3!", "x+3!y+3!", "x+3!y+3!z+3!"}) {
        time.Advance(CTcpClient::kSendInterval);
        ASSERT_TRUE(Wait([&] { return target.Received().size() == big.size() + expected.size(); }));
        EXPECT_EQ(target.Received().substr(big.size()), expected);
    }
    EXPECT_EQ(rec.Count("sent 4"), 3u);
}

TEST(TcpClient, AFullQueueRefusesTheTextWithOverflowAndLosesNothingQueued) {
    platform::ScopedVirtualTime time;
    LoopbackTarget target;
    CTcpClient client;
    Recorder rec(client);
    ConnectTo(client, target, rec);
    std::string big;
    MakeBusy(client, big);
    std::string expected;
    for (size_t i = 0; i < CQueue::kCapacity; ++i) {
        const std::string text = "q" + std::to_string(i) + ";";
        client.Send(text);
        expected += text;
    }
    rec.log.clear();
    try {
        client.Send("REFUSED");
        FAIL() << "a full queue took the text";
    } catch (const runtime::Error& e) {
        EXPECT_EQ(e.Number(), runtime::errc::Overflow);
        EXPECT_NE(e.Description().find("5000 texts are waiting"), std::string::npos);
    }
    EXPECT_TRUE(rec.log.empty()) << "SentData for a text that was not queued";
    ASSERT_TRUE(Wait([&] { return !client.Blocked(); }));
    time.Advance(int64_t{CTcpClient::kSendInterval} * CQueue::kCapacity);
    ASSERT_TRUE(Wait([&] { return target.Received().size() == big.size() + expected.size(); }));
    EXPECT_EQ(target.Received().substr(big.size()), expected);
    client.Send("after");  // room again
}

TEST(TcpClient, ADropClearsWhatWasWaiting) {
    platform::ScopedVirtualTime time;
    LoopbackTarget target;
    CTcpClient client;
    Recorder rec(client);
    ConnectTo(client, target, rec);
    std::string big;
    MakeBusy(client, big);
    client.Send("stale");
    client.Disconnect(true);
    ASSERT_TRUE(Wait([&] { return rec.Has("disconnected"); }));
    time.Advance(client.ConnectInterval());
    ASSERT_TRUE(Wait([&] { return target.OpenConnections() == 1; }));
    time.Advance(1000);
    ASSERT_TRUE(EventLoop::RunUntilIdle(kWaitMs));
    EXPECT_EQ(target.Received().find("stale"), std::string::npos);
    EXPECT_FALSE(rec.Has("not connected"));
}

// ---- through a proxy ----------------------------------------------------------

struct Through {
    const char* name;
    Kind kind;
    ProxyTypeEnum type;
    std::string user;
    std::string password;
};

const std::vector<Through> kProxies = {
    {"Http", Kind::Http, HTTPProxy, "", ""},
    {"HttpBasicLogin", Kind::Http, HTTPProxy, "dealer", "pw"},
    {"Socks4", Kind::Socks4, Socks4Proxy, "", ""},
    {"Socks5", Kind::Socks5, Socks5Proxy, "", ""},
    {"Socks5Login", Kind::Socks5, Socks5Proxy, "dealer", "pw"},
};

void UseProxy(CTcpClient& client, const ProxyFixture& proxy, ProxyTypeEnum type,
              const std::string& user, const std::string& password) {
    client.setProxyEnabled(true);
    client.setProxyAddress(proxy.Address());
    client.setProxyPort(proxy.Port());
    client.setProxyType(type);
    client.setProxyUsername(user);
    client.setProxyPassword(password);
}

TEST(TcpClient, TalksToTheServerDirectlyAndThroughEachProxy) {
    {
        LoopbackTarget target;
        target.SetGreeting("HIs?<+3!");
        CTcpClient client;
        Recorder rec(client);
        ConnectTo(client, target, rec);
        ASSERT_TRUE(Wait([&] { return rec.Has("receive HIs?<"); }));
        client.Send("LOGINs?<5&h,+3!");
        EXPECT_TRUE(Wait([&] { return target.Received() == "LOGINs?<5&h,+3!"; }));
    }
    for (const Through& c : kProxies) {
        SCOPED_TRACE(c.name);
        platform::ScopedVirtualTime time;
        LoopbackTarget target;
        target.SetGreeting("HIs?<+3!");
        ProxyFixture proxy(c.kind, c.user, c.password);
        CTcpClient client;
        UseProxy(client, proxy, c.type, c.user, c.password);
        Recorder rec(client);
        client.setServerAddress(target.Address());
        client.setServerPort(target.Port());
        client.Connect();
        ASSERT_TRUE(Wait([&] { return rec.Has("receive HIs?<"); }));
        client.Send("LOGINs?<5&h,+3!");
        EXPECT_TRUE(Wait([&] { return target.Received() == "LOGINs?<5&h,+3!"; }));
        // The tunnel was told the server's port, not the proxy's.
        EXPECT_EQ(proxy.Targets(),
                  std::vector<std::string>{"127.0.0.1:" + std::to_string(target.Port())});
        // Disconnect closes the socket and the tunnel behind it.
        client.Disconnect(false);
        EXPECT_TRUE(Wait([&] { return rec.Has("disconnected") && target.OpenConnections() == 0; }));
        EXPECT_EQ(rec.Count("connected"), 1u);
    }
}

TEST(TcpClient, ABrokenProxyGivesOneDropAndARetryNeverAHang) {
    struct Case {
        const char* name;
        Kind kind;
        Fault fault;
    };
    const std::vector<Case> cases = {
        {"HttpRefuses", Kind::Http, Fault::Refuse},
        {"Socks4Refuses", Kind::Socks4, Fault::Refuse},
        {"Socks5Refuses", Kind::Socks5, Fault::Refuse},
        {"Garbage", Kind::Http, Fault::Garbage},
        {"ClosesMidway", Kind::Socks5, Fault::CloseMidHandshake},
        {"NeverAnswers", Kind::Socks4, Fault::Silent},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform::ScopedVirtualTime time;
        LoopbackTarget target;
        ProxyFixture proxy(c.kind, "", "", c.fault);
        CTcpClient client;
        UseProxy(client, proxy, static_cast<ProxyTypeEnum>(proxy.Type()), "", "");
        Recorder rec(client);
        client.setServerAddress(target.Address());
        client.setServerPort(target.Port());
        client.Connect();
        ASSERT_TRUE(Wait([&] { return rec.Has("connected") && proxy.Connections() == 1; }));
        if (c.fault == Fault::Silent) {
            ASSERT_TRUE(EventLoop::RunUntilIdle(kWaitMs));
            EXPECT_FALSE(rec.Has("disconnected"));
            time.Advance(platform::HttpTunnel::kHandshakeTimeoutMs);
        }
        ASSERT_TRUE(Wait([&] { return rec.Has("disconnected"); }));
        EXPECT_EQ(rec.log, (std::vector<std::string>{"connected", "disconnected"}));
        EXPECT_TRUE(client.isConnecting());
        time.Advance(client.ConnectInterval());
        EXPECT_TRUE(Wait([&] { return proxy.Connections() == 2; })) << "no retry";
        EXPECT_EQ(target.Connections(), 0u);
    }
}

TEST(TcpClient, ProxyTestReportsThroughItsEvent) {
    platform::ScopedVirtualTime time;
    LoopbackTarget site;
    ProxyTestHostScope scope("127.0.0.1", site.Port());
    struct Case {
        const char* name;
        Kind kind;
        Fault fault;
        int32_t port;  // 0: the proxy's own
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"Works", Kind::Socks5, Fault::None, 0, "proxy test 2 "},
        {"Refuses", Kind::Http, Fault::Refuse, 0, "proxy test 3 The HTTP proxy refused to connect"},
        {"Garbage", Kind::Socks4, Fault::Garbage, 0,
         "proxy test 3 The proxy's answer is not SOCKS4"},
        {"CannotStart", Kind::Http, Fault::None, 70000,
         "proxy test 3 The proxy port 70000 is out of range"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProxyFixture proxy(c.kind, "", "", c.fault);
        CTcpClient client;
        Recorder rec(client);
        client.TestProxy(proxy.Address(), c.port ? c.port : proxy.Port(), "", "",
                         static_cast<ProxyTypeEnum>(proxy.Type()));
        if (c.port == 0) {
            EXPECT_TRUE(rec.log.empty());
            // Poll by poll until the outcome is in.
            ASSERT_TRUE(Wait([&] {
                time.Advance(CTcpClient::kProxyTestPollInterval);
                return !rec.log.empty();
            }));
        }
        ASSERT_EQ(rec.log.size(), 1u);
        EXPECT_EQ(rec.log[0].substr(0, c.expected.size()), c.expected) << rec.log[0];
        time.Advance(1000);
        EXPECT_EQ(rec.log.size(), 1u) << "kept polling";
    }
}

// ---- release ------------------------------------------------------------------

TEST(TcpClient, DeallocateLetsGoOfEverythingAndKeepsPlainProperties) {
    LoopbackTarget target;
    CTcpClient client;
    Recorder rec(client);
    ConnectTo(client, target, rec);
    client.Deallocate();
    EXPECT_EQ(client.Child(), nullptr);
    EXPECT_EQ(client.ServerAddress(), "127.0.0.1");
    EXPECT_TRUE(Wait([&] { return target.OpenConnections() == 0; }));
    for (const std::function<void()>& use : std::vector<std::function<void()>>{
             [&] { (void)client.Status(); }, [&] { client.Send("x"); }, [&] { client.Connect(); },
             [&] { client.Disconnect(true); }}) {
        try {
            use();
            ADD_FAILURE() << "used a released socket";
        } catch (const runtime::Error& e) {
            EXPECT_EQ(e.Number(), runtime::errc::ObjectVariableNotSet);
        }
    }
    client.Deallocate();  // twice is harmless
    ASSERT_TRUE(EventLoop::RunUntilIdle(kWaitMs));
    EXPECT_EQ(rec.Count("disconnected"), 0u);
}

}  // namespace
