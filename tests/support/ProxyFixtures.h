#pragma once
// Loopback proxies for tunnel tests: an HTTP CONNECT proxy (with or without
// Basic authentication), a SOCKS4 proxy (also taking a host name, as SOCKS4A
// does) and a SOCKS5 proxy (with or without a user name and password), each of
// which checks what the client sends, opens the way to the asked-for target and
// relays both ways. A fault makes one misbehave: refuse the way through in its
// own protocol, answer garbage, close in the middle of its answer, or never
// answer at all. And a plain loopback target to reach through them.
//
// Their delays (the short wait that lets a last answer leave before a close)
// run on real time, also inside a ScopedVirtualTime.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace testsupport {

class ProxyFixture {
public:
    enum class Kind { Http, Socks4, Socks5 };
    enum class Fault { None, Refuse, Garbage, CloseMidHandshake, Silent };

    // With a user name set the proxy demands it (and for HTTP and SOCKS5 the
    // password too); without one it takes anybody.
    explicit ProxyFixture(Kind kind, std::string username = "", std::string password = "",
                          Fault fault = Fault::None);
    ~ProxyFixture();
    ProxyFixture(const ProxyFixture&) = delete;
    ProxyFixture& operator=(const ProxyFixture&) = delete;

    std::string Address() const { return "127.0.0.1"; }
    int32_t Port() const;
    // The proxy type as the tunnel numbers it (0 HTTP, 1 SOCKS4, 2 SOCKS5).
    int32_t Type() const;

    size_t Connections() const;  // clients accepted
    size_t Granted() const;      // ways opened to a target
    size_t Refused() const;      // handshakes answered with a refusal (login or rule)
    // "host:port" of every target asked for, in order.
    std::vector<std::string> Targets() const;
    // The user name the last client presented ("" when none).
    std::string LastUser() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// A plain server on 127.0.0.1 that keeps what every connection sent.
class LoopbackTarget {
public:
    LoopbackTarget();
    ~LoopbackTarget();
    LoopbackTarget(const LoopbackTarget&) = delete;
    LoopbackTarget& operator=(const LoopbackTarget&) = delete;

    std::string Address() const { return "127.0.0.1"; }
    int32_t Port() const;
    // Sent to every connection as soon as it is accepted.
    void SetGreeting(std::string text);

    size_t Connections() const;
    size_t OpenConnections() const;
    // Everything received, over all connections, in arrival order.
    std::string Received() const;
    // Sends to the newest open connection; false when there is none.
    bool Send(const std::string& text);
    // Closes every open connection from this side.
    void CloseAll();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace testsupport
