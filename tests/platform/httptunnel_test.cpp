#include "platform/HttpTunnel.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/EventLoop.h"
#include "platform/TcpSocket.h"
#include "platform/Timer.h"
#include "tests/support/ProxyFixtures.h"

namespace {

using platform::EventLoop;
using platform::HttpTunnel;
using platform::ProxyHandshake;
using platform::TcpSocket;
using testsupport::LoopbackTarget;
using testsupport::ProxyFixture;
using Kind = ProxyFixture::Kind;
using Fault = ProxyFixture::Fault;
using Status = ProxyHandshake::Status;

constexpr int32_t kWaitMs = 5000;

bool Wait(const std::function<bool()>& done) {
    return EventLoop::RunUntil(done, kWaitMs);
}

std::string Bytes(std::initializer_list<int> list) {
    std::string s;
    for (int b : list) s += static_cast<char>(b);
    return s;
}

// ---- the handshake, byte by byte --------------------------------------------

// One exchange: what the proxy answers, what the client must send next.
struct Exchange {
    std::string answer;
    std::string next;
};

struct HandshakeCase {
    const char* name;
    int32_t type;
    std::string host;
    std::string user;
    std::string password;
    std::string hello;  // the first bytes the client sends
    std::vector<Exchange> exchanges;
    Status end;
    std::string errorPart;  // for Failed
    std::string leftover;   // for Done
};

const std::string kV4Request = Bytes({5, 1, 0, 1, 127, 0, 0, 1, 0x11, 0x94});
const std::string kV4Bound = Bytes({5, 0, 0, 1, 0, 0, 0, 0, 0, 0});

std::vector<HandshakeCase> HandshakeCases() {
    return {
        {"HttpGrantedInPiecesKeepsTheServersFirstBytes",
         0,
         "127.0.0.1",
         "",
         "",
         "CONNECT 127.0.0.1:4500 HTTP/1.1\r\nHost: 127.0.0.1:4500\r\n\r\n",
         {{"HTTP/1.1 200 Connection est", ""}, {"ablished\r\nVia: x\r\n\r\nHELLO", ""}},
         Status::Done,
         "",
         "HELLO"},
        {"HttpSendsBasicLoginAndTakesBareLineFeeds",
         0,
         "srv.example",
         "user",
         "pass",
         "CONNECT srv.example:4500 HTTP/1.1\r\nHost: srv.example:4500\r\n"
         "Proxy-Authorization: Basic dXNlcjpwYXNz\r\n\r\n",
         {{"HTTP/1.0 200 OK\n\n", ""}},
         Status::Done,
         "",
         ""},
        {"HttpBracketsAnIPv6Target",
         0,
         "::1",
         "",
         "",
         "CONNECT [::1]:4500 HTTP/1.1\r\nHost: [::1]:4500\r\n\r\n",
         {{"HTTP/1.1 200 OK\r\n\r\n", ""}},
         Status::Done,
         "",
         ""},
        {"HttpLoginWanted",
         0,
         "127.0.0.1",
         "",
         "",
         "",
         {{"HTTP/1.1 407 Proxy Authentication Required\r\n\r\n", ""}},
         Status::Failed,
         "asks for a user name and password (407 Proxy Authentication Required)",
         ""},
        {"HttpLoginRefused",
         0,
         "127.0.0.1",
         "u",
         "bad",
         "",
         {{"HTTP/1.1 407 Denied\r\n\r\n", ""}},
         Status::Failed,
         "refused the user name or password",
         ""},
        {"HttpRefused",
         0,
         "127.0.0.1",
         "",
         "",
         "",
         {{"HTTP/1.1 403 Forbidden\r\n\r\n", ""}},
         Status::Failed,
         "refused to connect to 127.0.0.1:4500 (403 Forbidden)",
         ""},
        {"HttpGarbageFailsOnItsFirstByte",
         0,
         "127.0.0.1",
         "",
         "",
         "",
         {{"S", ""}},
         Status::Failed,
         "not HTTP: \"S\"",
         ""},
        {"HttpStatusWithoutCode",
         0,
         "127.0.0.1",
         "",
         "",
         "",
         {{"HTTP/1.1 OK\r\n\r\n", ""}},
         Status::Failed,
         "not HTTP",
         ""},
        {"HttpEndlessHead",
         0,
         "127.0.0.1",
         "",
         "",
         "",
         {{"HTTP/1.1 200 OK\r\n" + std::string(17000, 'x'), ""}},
         Status::Failed,
         "too long",
         ""},
        {"HttpTooLongAHeadAlsoWithItsEnd",
         0,
         "127.0.0.1",
         "",
         "",
         "",
         {{"HTTP/1.1 200 OK\r\nVia: " + std::string(17000, 'x') + "\r\n\r\n", ""}},
         Status::Failed,
         "too long",
         ""},
        {"Socks4Address",
         1,
         "127.0.0.1",
         "ann",
         "ignored",
         Bytes({4, 1, 0x11, 0x94, 127, 0, 0, 1, 'a', 'n', 'n', 0}),
         {{Bytes({0, 0x5A, 0, 0}), ""}, {Bytes({0, 0, 0, 0}) + "HI", ""}},
         Status::Done,
         "",
         "HI"},
        {"Socks4NameForTheProxyToResolve",
         1,
         "localhost",
         "",
         "",
         Bytes({4, 1, 0x11, 0x94, 0, 0, 0, 1, 0}) + "localhost" + std::string(1, '\0'),
         {{Bytes({0, 0x5A, 0, 0, 0, 0, 0, 0}), ""}},
         Status::Done,
         "",
         ""},
        {"Socks4Refused",
         1,
         "127.0.0.1",
         "",
         "",
         "",
         {{Bytes({0, 0x5B, 0, 0, 0, 0, 0, 0}), ""}},
         Status::Failed,
         "request rejected or failed (code 91)",
         ""},
        {"Socks4Garbage",
         1,
         "127.0.0.1",
         "",
         "",
         "",
         {{"HTTP/1.1 400", ""}},
         Status::Failed,
         "not SOCKS4 (48 54 54 50",
         ""},
        {"Socks4UnknownCode",
         1,
         "127.0.0.1",
         "",
         "",
         "",
         {{Bytes({0, 0x20}), ""}},
         Status::Failed,
         "not SOCKS4",
         ""},
        {"Socks5WithoutLogin",
         2,
         "127.0.0.1",
         "",
         "",
         Bytes({5, 1, 0}),
         {{Bytes({5, 0}), kV4Request}, {kV4Bound + "DATA", ""}},
         Status::Done,
         "",
         "DATA"},
        {"Socks5LoginAndNameTarget",
         2,
         "srv",
         "user",
         "pw",
         Bytes({5, 2, 0, 2}),
         {{Bytes({5, 2}), Bytes({1, 4, 'u', 's', 'e', 'r', 2, 'p', 'w'})},
          {Bytes({1, 0}), Bytes({5, 1, 0, 3, 3, 's', 'r', 'v', 0x11, 0x94})},
          {Bytes({5, 0, 0, 3, 4, 'h', 'o', 's', 't'}), ""},
          {Bytes({0, 80}), ""}},
         Status::Done,
         "",
         ""},
        {"Socks5IPv6Target",
         2,
         "::1",
         "",
         "",
         Bytes({5, 1, 0}),
         {{Bytes({5, 0}),
           Bytes({5, 1, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0x11, 0x94})},
          {Bytes({5, 0, 0, 4}) + std::string(18, '\0'), ""}},
         Status::Done,
         "",
         ""},
        {"Socks5LoginRefused",
         2,
         "127.0.0.1",
         "user",
         "bad",
         "",
         {{Bytes({5, 2}), Bytes({1, 4, 'u', 's', 'e', 'r', 3, 'b', 'a', 'd'})},
          {Bytes({1, 1}), ""}},
         Status::Failed,
         "refused the user name or password",
         ""},
        {"Socks5WantsLoginNoneSet",
         2,
         "127.0.0.1",
         "",
         "",
         "",
         {{Bytes({5, 0xFF}), ""}},
         Status::Failed,
         "asks for a user name and password",
         ""},
        {"Socks5NoMethodFits",
         2,
         "127.0.0.1",
         "u",
         "p",
         "",
         {{Bytes({5, 0xFF}), ""}},
         Status::Failed,
         "accepts none of the offered login methods",
         ""},
        {"Socks5ConnectionRefused",
         2,
         "127.0.0.1",
         "",
         "",
         "",
         {{Bytes({5, 0}), kV4Request}, {Bytes({5, 5}), ""}},
         Status::Failed,
         "could not connect to 127.0.0.1:4500: connection refused (code 5)",
         ""},
        {"Socks5Garbage",
         2,
         "127.0.0.1",
         "",
         "",
         "",
         {{"\x7fNOT", ""}},
         Status::Failed,
         "not SOCKS5 (7F 4E 4F 54)",
         ""},
        {"Socks5BadAddressType",
         2,
         "127.0.0.1",
         "",
         "",
         "",
         {{Bytes({5, 0}), kV4Request}, {Bytes({5, 0, 0, 9}), ""}},
         Status::Failed,
         "not SOCKS5",
         ""},
        // The login status read with the method choice: the credentials still
        // go out, then the request.
        {"Socks5LoginStatusInTheMethodsRead",
         2,
         "127.0.0.1",
         "user",
         "pw",
         Bytes({5, 2, 0, 2}),
         {{Bytes({5, 2, 1, 0}), Bytes({1, 4, 'u', 's', 'e', 'r', 2, 'p', 'w'}) + kV4Request},
          {kV4Bound, ""}},
         Status::Done,
         "",
         ""},
        // A proxy that answers the request before it was sent is garbage too,
        // but the request still goes out first.
        {"Socks5AnswersRunTogether",
         2,
         "127.0.0.1",
         "",
         "",
         "",
         {{Bytes({5, 0}) + kV4Bound, kV4Request}},
         Status::Done,
         "",
         ""},
    };
}

// The same answers fed one byte per read: the same bytes go out, in the same
// order, and the handshake ends the same way.
void ExpectTheSameByteByByte(const HandshakeCase& c) {
    ProxyHandshake h(c.type, c.host, 4500, c.user, c.password);
    h.Start();
    std::string sent;
    std::string expected;
    Status status = Status::Continue;
    for (const Exchange& e : c.exchanges) {
        expected += e.next;
        for (size_t i = 0; i < e.answer.size() && status != Status::Failed; ++i) {
            std::string reply;
            status = h.Feed(e.answer.substr(i, 1), reply);
            sent += reply;
        }
    }
    EXPECT_EQ(sent, expected) << "byte by byte";
    EXPECT_EQ(status, c.end) << "byte by byte: " << h.Error();
    if (c.end == Status::Done) {
        EXPECT_EQ(h.TakeLeftover(), c.leftover) << "byte by byte";
    }
}

TEST(ProxyHandshakeTest, SpeaksEachProtocolAndNamesEveryFailure) {
    for (const HandshakeCase& c : HandshakeCases()) {
        SCOPED_TRACE(c.name);
        ExpectTheSameByteByByte(c);
        ProxyHandshake h(c.type, c.host, 4500, c.user, c.password);
        ASSERT_TRUE(h.Valid()) << h.Error();
        const std::string hello = h.Start();
        if (!c.hello.empty()) {
            EXPECT_EQ(hello, c.hello);
        }
        Status status = Status::Continue;
        for (size_t i = 0; i < c.exchanges.size(); ++i) {
            ASSERT_EQ(status, Status::Continue) << "ended before exchange " << i;
            std::string reply;
            status = h.Feed(c.exchanges[i].answer, reply);
            EXPECT_EQ(reply, c.exchanges[i].next) << "after exchange " << i;
        }
        ASSERT_EQ(status, c.end) << h.Error();
        if (c.end == Status::Failed) {
            EXPECT_NE(h.Error().find(c.errorPart), std::string::npos) << h.Error();
        } else {
            EXPECT_EQ(h.TakeLeftover(), c.leftover);
        }
    }
}

TEST(ProxyHandshakeTest, RefusesSettingsItCannotSend) {
    struct Case {
        int32_t type;
        std::string host;
        int32_t port;
        std::string user;
        std::string password;
        std::string errorPart;
    };
    const std::vector<Case> cases = {
        {3, "h", 1, "", "", "Unknown proxy type 3"},
        {-1, "h", 1, "", "", "Unknown proxy type -1"},
        {0, "", 1, "", "", "No server address"},
        {0, "a b", 1, "", "", "is not valid"},
        {0, "a\r\nX: y", 1, "", "", "is not valid"},
        {0, "h", 0, "", "", "port 0 is out of range"},
        {0, "h", 65536, "", "", "port 65536 is out of range"},
        {1, "::1", 1, "", "", "cannot reach the IPv6 address"},
        {1, "h", 1, std::string("a\0b", 3), "", "cannot take"},
        {2, "h", 1, std::string(256, 'u'), "", "at most 255"},
        {2, "h", 1, "u", std::string(256, 'p'), "at most 255"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.errorPart);
        ProxyHandshake h(c.type, c.host, c.port, c.user, c.password);
        EXPECT_FALSE(h.Valid());
        EXPECT_NE(h.Error().find(c.errorPart), std::string::npos) << h.Error();
        EXPECT_EQ(h.Start(), "");
    }
}

// ---- the tunnel on loopback ---------------------------------------------------

// The local side of a tunnel: a plain socket that keeps what it gets.
struct Local {
    Local() {
        socket.OnState.Connect([this] { states.push_back(socket.State()); });
        socket.OnReceive.Connect([this] {
            std::string chunk;
            socket.Receive(chunk);
            data += chunk;
        });
    }
    bool Closed() const { return !states.empty() && states.back() == TcpSocket::kStateClosed; }
    TcpSocket socket;
    std::vector<int32_t> states;
    std::string data;
};

struct Through {
    const char* name;
    Kind kind;
    std::string user;
    std::string password;
    std::string serverName;  // how the tunnel names the target
};

TEST(HttpTunnelTest, ReachesTheServerThroughEachProxyBothWays) {
    const std::vector<Through> cases = {
        {"Http", Kind::Http, "", "", "127.0.0.1"},
        {"HttpBasicLogin", Kind::Http, "dealer", "s3cret:x", "127.0.0.1"},
        {"Socks4", Kind::Socks4, "", "", "127.0.0.1"},
        {"Socks4UserAndName", Kind::Socks4, "desk", "", "localhost"},
        {"Socks5", Kind::Socks5, "", "", "localhost"},
        {"Socks5Login", Kind::Socks5, "dealer", "pw", "127.0.0.1"},
    };
    for (const Through& c : cases) {
        SCOPED_TRACE(c.name);
        LoopbackTarget server;
        server.SetGreeting("HELLO");
        ProxyFixture proxy(c.kind, c.user, c.password);
        HttpTunnel tunnel;
        int32_t handle = -1;
        const int32_t port = tunnel.Connect(c.serverName, server.Port(), proxy.Address(),
                                            proxy.Port(), handle, c.user, c.password, proxy.Type());
        ASSERT_NE(port, 0) << tunnel.GetLastError();
        EXPECT_GT(handle, 0);
        Local local;
        local.socket.Connect("127.0.0.1", port);
        ASSERT_TRUE(Wait([&] { return local.socket.State() == TcpSocket::kStateConnected; }));
        local.socket.Send("PING");  // most likely before the proxy has answered
        ASSERT_TRUE(Wait([&] { return local.data == "HELLO" && server.Received() == "PING"; }))
            << "local got \"" << local.data << "\", server got \"" << server.Received() << "\"";
        ASSERT_TRUE(server.Send("PONG"));
        local.socket.Send("AGAIN");
        EXPECT_TRUE(Wait([&] { return local.data == "HELLOPONG"; }));
        EXPECT_TRUE(Wait([&] { return server.Received() == "PINGAGAIN"; }));
        EXPECT_EQ(proxy.Targets(),
                  std::vector<std::string>{c.serverName + ":" + std::to_string(server.Port())});
        EXPECT_EQ(proxy.LastUser(), c.user);
        EXPECT_EQ(proxy.Granted(), 1u);
        EXPECT_EQ(tunnel.GetLastError(), "");
    }
}

TEST(HttpTunnelTest, ServerSideCloseDeliversTheLastBytesThenClosesTheLocalSide) {
    LoopbackTarget server;
    ProxyFixture proxy(Kind::Socks5);
    HttpTunnel tunnel;
    int32_t handle = 0;
    const int32_t port = tunnel.Connect("127.0.0.1", server.Port(), proxy.Address(), proxy.Port(),
                                        handle, "", "", proxy.Type());
    ASSERT_NE(port, 0);
    Local local;
    local.socket.Connect("127.0.0.1", port);
    ASSERT_TRUE(Wait([&] { return server.OpenConnections() == 1; }));
    ASSERT_TRUE(server.Send("BYE"));
    ASSERT_TRUE(EventLoop::RunUntilIdle(
        kWaitMs));  // the target's close would drop what it has not sent yet
    server.CloseAll();
    ASSERT_TRUE(Wait([&] { return local.Closed(); }));
    EXPECT_EQ(local.data, "BYE");
}

TEST(HttpTunnelTest, CloseEndsTheTunnelAndAnUnknownHandleIsIgnored) {
    LoopbackTarget server;
    ProxyFixture proxy(Kind::Http);
    HttpTunnel tunnel;
    int32_t handle = 0;
    const int32_t port = tunnel.Connect("127.0.0.1", server.Port(), proxy.Address(), proxy.Port(),
                                        handle, "", "", proxy.Type());
    ASSERT_NE(port, 0);
    Local local;
    local.socket.Connect("127.0.0.1", port);
    ASSERT_TRUE(Wait([&] { return server.OpenConnections() == 1; }));
    EXPECT_EQ(tunnel.TunnelCount(), 1u);
    tunnel.Close(handle + 100);
    EXPECT_EQ(tunnel.TunnelCount(), 1u);
    tunnel.Close(handle);
    EXPECT_EQ(tunnel.TunnelCount(), 0u);
    EXPECT_TRUE(Wait([&] { return local.Closed() && server.OpenConnections() == 0; }));
    tunnel.Close(handle);  // twice is harmless
}

TEST(HttpTunnelTest, TakesOneLocalConnectionPerTunnel) {
    LoopbackTarget server;
    ProxyFixture proxy(Kind::Http);
    HttpTunnel tunnel;
    int32_t handle = 0;
    const int32_t port = tunnel.Connect("127.0.0.1", server.Port(), proxy.Address(), proxy.Port(),
                                        handle, "", "", proxy.Type());
    Local first;
    first.socket.Connect("127.0.0.1", port);
    ASSERT_TRUE(Wait([&] { return server.OpenConnections() == 1; }));
    Local second;
    second.socket.Connect("127.0.0.1", port);
    EXPECT_TRUE(Wait([&] { return second.Closed(); }));
    EXPECT_EQ(proxy.Connections(), 1u);
    EXPECT_EQ(first.socket.State(), TcpSocket::kStateConnected);
}

struct Broken {
    const char* name;
    Kind kind;
    Fault fault;
    std::string proxyUser;  // what the proxy demands
    std::string user;       // what the tunnel presents
    std::string errorPart;
};

std::vector<Broken> BrokenProxies() {
    return {
        {"HttpRefuses", Kind::Http, Fault::Refuse, "", "", "refused to connect to"},
        {"Socks4Refuses", Kind::Socks4, Fault::Refuse, "", "", "request rejected or failed"},
        {"Socks5Refuses", Kind::Socks5, Fault::Refuse, "", "", "not allowed by the proxy's rules"},
        {"HttpWantsLogin", Kind::Http, Fault::None, "u", "", "asks for a user name and password"},
        {"HttpWrongLogin", Kind::Http, Fault::None, "u", "x", "refused the user name or password"},
        {"Socks4WrongUser", Kind::Socks4, Fault::None, "u", "x", "reported another user"},
        {"Socks5WrongLogin", Kind::Socks5, Fault::None, "u", "x", "refused the user name"},
        {"Socks5WantsLogin", Kind::Socks5, Fault::None, "u", "", "asks for a user name"},
        {"HttpGarbage", Kind::Http, Fault::Garbage, "", "", "not HTTP"},
        {"Socks4Garbage", Kind::Socks4, Fault::Garbage, "", "", "not SOCKS4"},
        {"Socks5Garbage", Kind::Socks5, Fault::Garbage, "", "", "not SOCKS5"},
        {"HttpClosesMidway", Kind::Http, Fault::CloseMidHandshake, "", "", "during the handshake"},
        {"Socks4ClosesMidway", Kind::Socks4, Fault::CloseMidHandshake, "", "",
         "during the handshake"},
        {"Socks5ClosesMidway", Kind::Socks5, Fault::CloseMidHandshake, "", "",
         "during the handshake"},
    };
}

TEST(HttpTunnelTest, ABrokenProxyClosesTheLocalSideWithTheReason) {
    for (const Broken& c : BrokenProxies()) {
        SCOPED_TRACE(c.name);
        LoopbackTarget server;
        ProxyFixture proxy(c.kind, c.proxyUser, "pw", c.fault);
        HttpTunnel tunnel;
        int32_t handle = 0;
        const int32_t port = tunnel.Connect("127.0.0.1", server.Port(), proxy.Address(),
                                            proxy.Port(), handle, c.user, "bad", proxy.Type());
        ASSERT_NE(port, 0) << tunnel.GetLastError();
        Local local;
        local.socket.Connect("127.0.0.1", port);
        ASSERT_TRUE(Wait([&] { return !local.states.empty(); }));
        if (!local.Closed()) local.socket.Send("LOGIN");
        ASSERT_TRUE(Wait([&] { return local.Closed(); }));
        EXPECT_NE(tunnel.GetLastError().find(c.errorPart), std::string::npos)
            << tunnel.GetLastError();
        EXPECT_EQ(local.data, "");
        EXPECT_EQ(server.Received(), "");
    }
}

TEST(HttpTunnelTest, ProxyTestReportsWorkingAndBrokenProxies) {
    LoopbackTarget site;
    {
        ProxyFixture proxy(Kind::Socks5, "u", "pw");
        HttpTunnel tunnel;
        ASSERT_EQ(tunnel.TestProxyAsync(proxy.Address(), proxy.Port(), "u", "pw", "127.0.0.1",
                                        site.Port(), proxy.Type()),
                  0);
        std::string text = "untouched";
        EXPECT_EQ(tunnel.GetTestProxyResult(text), -1);
        ASSERT_TRUE(Wait([&] { return tunnel.GetTestProxyResult(text) != -1; }));
        EXPECT_EQ(tunnel.GetTestProxyResult(text), 0);
        EXPECT_EQ(text, "untouched");
        EXPECT_EQ(proxy.Granted(), 1u);
    }
    for (const Broken& c : BrokenProxies()) {
        SCOPED_TRACE(c.name);
        ProxyFixture proxy(c.kind, c.proxyUser, "pw", c.fault);
        HttpTunnel tunnel;
        ASSERT_EQ(tunnel.TestProxyAsync(proxy.Address(), proxy.Port(), c.user, "bad", "127.0.0.1",
                                        site.Port(), proxy.Type()),
                  0);
        std::string text;
        ASSERT_TRUE(Wait([&] { return tunnel.GetTestProxyResult(text) != -1; }));
        EXPECT_EQ(tunnel.GetTestProxyResult(text), 1);
        EXPECT_NE(text.find(c.errorPart), std::string::npos) << text;
    }
}

TEST(HttpTunnelTest, NoProxyListeningIsAClearFailure) {
    // Bound but never listening: the port refuses and, held, no parallel test can take it.
    const int held = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(held, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof at;
    ASSERT_EQ(::bind(held, reinterpret_cast<sockaddr*>(&at), sizeof at), 0);
    ASSERT_EQ(::getsockname(held, reinterpret_cast<sockaddr*>(&at), &length), 0);
    const int32_t deadPort = ntohs(at.sin_port);
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{held};
    HttpTunnel tunnel;
    int32_t handle = 0;
    const int32_t port =
        tunnel.Connect("127.0.0.1", 4500, "127.0.0.1", deadPort, handle, "", "", 0);
    if (port != 0) {  // refused asynchronously, the usual case
        Local local;
        local.socket.Connect("127.0.0.1", port);
        EXPECT_TRUE(Wait([&] { return local.Closed(); }));
    }
    EXPECT_NE(
        tunnel.GetLastError().find("Cannot reach the proxy 127.0.0.1:" + std::to_string(deadPort)),
        std::string::npos)
        << tunnel.GetLastError();
    std::string text;
    ASSERT_EQ(tunnel.TestProxyAsync("127.0.0.1", deadPort, "", "", "127.0.0.1", 80, 0), 0);
    ASSERT_TRUE(Wait([&] { return tunnel.GetTestProxyResult(text) != -1; }));
    EXPECT_NE(text.find("Cannot reach the proxy"), std::string::npos) << text;
}

TEST(HttpTunnelTest, ASilentProxyTimesOutWithoutHanging) {
    platform::ScopedVirtualTime time;
    ProxyFixture proxy(Kind::Http, "", "", Fault::Silent);
    HttpTunnel tunnel;
    int32_t handle = 0;
    const int32_t port = tunnel.Connect("127.0.0.1", 4500, proxy.Address(), proxy.Port(), handle,
                                        "", "", proxy.Type());
    ASSERT_NE(port, 0);
    ASSERT_EQ(
        tunnel.TestProxyAsync(proxy.Address(), proxy.Port(), "", "", "127.0.0.1", 80, proxy.Type()),
        0);
    Local local;
    local.socket.Connect("127.0.0.1", port);
    ASSERT_TRUE(Wait([&] { return proxy.Connections() == 2 && !local.states.empty(); }));
    ASSERT_TRUE(
        EventLoop::RunUntilIdle(kWaitMs));  // the handshakes reach the proxy, which says nothing
    std::string text;
    EXPECT_EQ(tunnel.GetTestProxyResult(text), -1);
    time.Advance(HttpTunnel::kHandshakeTimeoutMs - 1);
    EXPECT_FALSE(local.Closed());
    time.Advance(1);
    ASSERT_TRUE(Wait([&] { return local.Closed(); }));
    EXPECT_EQ(tunnel.GetTestProxyResult(text), 1);
    EXPECT_NE(text.find("did not answer within 20 seconds"), std::string::npos) << text;
    EXPECT_NE(tunnel.GetLastError().find("did not answer"), std::string::npos);
}

TEST(HttpTunnelTest, BadSettingsFailAtOnceWithTheReason) {
    struct Case {
        std::string server;
        int32_t serverPort;
        std::string proxy;
        int32_t proxyPort;
        int32_t type;
        std::string errorPart;
    };
    const std::vector<Case> cases = {
        {"s", 1, "", 8080, 0, "No proxy address"},
        {"s", 1, "p", 0, 0, "proxy port 0 is out of range"},
        {"s", 1, "p", 70000, 0, "proxy port 70000 is out of range"},
        {"s", 1, "p", 8080, 7, "Unknown proxy type 7"},
        {"s", 0, "p", 8080, 0, "server port 0 is out of range"},
        {"", 1, "p", 8080, 2, "No server address"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.errorPart);
        HttpTunnel tunnel;
        int32_t handle = 42;
        EXPECT_EQ(
            tunnel.Connect(c.server, c.serverPort, c.proxy, c.proxyPort, handle, "", "", c.type),
            0);
        EXPECT_EQ(handle, 0);
        EXPECT_NE(tunnel.GetLastError().find(c.errorPart), std::string::npos)
            << tunnel.GetLastError();
        EXPECT_EQ(tunnel.TunnelCount(), 0u);
        if (c.serverPort == 0) continue;  // the test takes 0 as port 80
        EXPECT_NE(
            tunnel.TestProxyAsync(c.proxy, c.proxyPort, "", "", c.server, c.serverPort, c.type), 0);
        std::string text;
        EXPECT_EQ(tunnel.GetTestProxyResult(text), 1);
        EXPECT_NE(text.find(c.errorPart), std::string::npos) << text;
    }
    HttpTunnel fresh;
    std::string text;
    EXPECT_EQ(fresh.GetTestProxyResult(text), 1);
    EXPECT_EQ(text, "No proxy test has been started");
}

}  // namespace
