#pragma once
// The HTTP tunnel: reaches a server through an HTTP (CONNECT), SOCKS4 or
// SOCKS5 proxy and answers a local port on 127.0.0.1 that leads there, so a
// plain socket can talk to the server as if it were direct. A small forwarder
// on the event loop: Connect opens the local port and starts the proxy
// handshake at once, without waiting for it; what the local side sends before
// the tunnel is through waits, and a tunnel that fails closes its local side,
// with the reason in GetLastError. Each tunnel serves one local connection.
//
// It also tests a proxy asynchronously: TestProxyAsync starts, and
// GetTestProxyResult is polled for the outcome.
//
// One object per user; nothing is shared between objects. Nothing here calls
// back into its user, so every member may be called from any event handler.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

// Proxy types as the tunnel's callers number them.
enum class ProxyKind : int32_t { Http = 0, Socks4 = 1, Socks5 = 2 };

// The client side of one proxy handshake, as bytes in and bytes out: Start
// gives the first bytes to send, Feed takes what the proxy answered and gives
// what to send next, until the proxy has opened the way to the target (Done)
// or refused, answered something else, or broken the rules (Failed, with the
// reason in Error). Targets: an IPv4 or IPv6 address or a host name (SOCKS4
// sends a name for the proxy to resolve, as SOCKS4A does).
class ProxyHandshake {
public:
    enum class Status { Continue, Done, Failed };

    ProxyHandshake(int32_t proxyType, std::string targetHost, int32_t targetPort,
                   std::string username, std::string password);

    // False when the settings cannot make a handshake; Error tells why.
    bool Valid() const { return error_.empty(); }
    std::string Start();
    // `reply` is replaced by the bytes to send next (often none).
    Status Feed(std::string_view received, std::string& reply);
    const std::string& Error() const { return error_; }
    // What arrived after the proxy's answer: the target's first bytes.
    std::string TakeLeftover();
    // "host:port" of the target, with an IPv6 address in brackets.
    std::string Target() const;

private:
    enum class Stage {
        Start,
        HttpAnswer,
        Socks4Answer,
        Socks5Method,
        Socks5Login,
        Socks5Answer,
        Done,
        Failed
    };
    Status Fail(std::string text);
    Status Finish(size_t used);
    Status FeedHttp();
    Status FeedSocks4();
    Status FeedSocks5Method(std::string& reply);
    Status FeedSocks5Login(std::string& reply);
    Status FeedSocks5Answer();
    std::string Socks5Request() const;

    ProxyKind kind_;
    std::string host_;
    int32_t port_;
    std::string username_;
    std::string password_;
    Stage stage_ = Stage::Start;
    std::string in_;  // received and not yet used
    std::string leftover_;
    std::string error_;
};

class HttpTunnel {
public:
    // A proxy that takes longer to connect and answer fails the tunnel (or the test).
    static constexpr int32_t kHandshakeTimeoutMs = 20000;
    // Data the local side may send before the tunnel is through.
    static constexpr size_t kPendingCap = size_t{1} << 20;
    // The test host's port when the caller passes 0.
    static constexpr int32_t kDefaultTestPort = 80;

    HttpTunnel();
    // Closes every tunnel and the running test.
    ~HttpTunnel();
    HttpTunnel(const HttpTunnel&) = delete;
    HttpTunnel& operator=(const HttpTunnel&) = delete;

    // Opens a tunnel to serverAddress:serverPort through the proxy and returns
    // the local port on 127.0.0.1 that leads there, with `handle` filled in;
    // 0 when it cannot start (bad settings, no local port), with the reason
    // in GetLastError.
    int32_t Connect(const std::string& serverAddress, int32_t serverPort,
                    const std::string& proxyAddress, int32_t proxyPort, int32_t& handle,
                    const std::string& username, const std::string& password, int32_t proxyType);
    // Closes the tunnel and its connections at once. An unknown or closed handle does nothing.
    void Close(int32_t handle);

    // Starts testing whether the proxy reaches testHost:testPort (0: port 80),
    // replacing a test still running. 0 when it started; otherwise the reason
    // is in GetLastError.
    int32_t TestProxyAsync(const std::string& proxyAddress, int32_t proxyPort,
                           const std::string& username, const std::string& password,
                           const std::string& testHost, int32_t testPort, int32_t proxyType);
    // -1 while the test runs; 0 when the proxy works; 1 when it does not (or
    // the test could not start, or none was started), with `text` replaced by
    // the reason.
    int32_t GetTestProxyResult(std::string& text);

    // The reason the last operation or tunnel failed; "" when none has.
    std::string GetLastError() const;

    // Tunnels not yet closed with Close (failed and finished ones included).
    size_t TunnelCount() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace platform
