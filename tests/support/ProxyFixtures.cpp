#include "tests/support/ProxyFixtures.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <utility>

#include "platform/TcpSocket.h"
#include "platform/Timer.h"

namespace testsupport {

namespace {

// Long enough for a last answer to leave on loopback before the close.
constexpr int32_t kLingerMs = 50;

constexpr std::string_view kGarbage = "\x7fNOT A PROXY\r\n\r\n";

std::unique_ptr<platform::Timer> RealTimer() {
    platform::TimerDriver& current = platform::TimerDriver::Current();
    platform::TimerDriver::Install(nullptr);
    auto timer = std::make_unique<platform::Timer>();
    platform::TimerDriver::Install(&current);
    return timer;
}

std::string Base64Decode(std::string_view in) {
    static constexpr std::string_view kDigits =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    uint32_t acc = 0;
    int bits = 0;
    for (char c : in) {
        const size_t v = kDigits.find(c);
        if (v == std::string_view::npos) break;  // "=" or the end
        acc = acc << 6 | static_cast<uint32_t>(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>(acc >> bits & 0xFF);
        }
    }
    return out;
}

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

int32_t PortAt(const std::string& s, size_t at) {
    return static_cast<unsigned char>(s[at]) << 8 | static_cast<unsigned char>(s[at + 1]);
}

std::string Dotted(const std::string& s, size_t at) {
    std::string out;
    for (size_t i = 0; i < 4; ++i) {
        if (i) out += '.';
        out += std::to_string(static_cast<unsigned char>(s[at + i]));
    }
    return out;
}

}  // namespace

// ---- ProxyFixture -----------------------------------------------------------

struct ProxyFixture::Impl {
    enum class Stage { Hello, Socks5Login, Socks5Request, Connecting, Relay, Done };

    struct Conn {
        std::shared_ptr<platform::TcpSocket> client;
        std::unique_ptr<platform::TcpSocket> target;
        std::unique_ptr<platform::Timer> linger;
        Stage stage = Stage::Hello;
        std::string in;  // client bytes not yet used (relayed once the way is open)
        bool faulted = false;
    };

    Impl(Kind k, std::string u, std::string p, Fault f)
        : kind(k), user(std::move(u)), password(std::move(p)), fault(f) {
        server.OnAccept.Connect([this](std::shared_ptr<platform::TcpSocket> s) { Accept(s); });
        server.Listen("127.0.0.1", 0);
    }

    ~Impl() {
        for (auto& c : conns) {
            c->client->OnReceive.DisconnectAll();
            c->client->OnState.DisconnectAll();
            c->client->Close();
            if (c->target) {
                c->target->OnReceive.DisconnectAll();
                c->target->OnState.DisconnectAll();
                c->target->Close();
            }
        }
    }

    void Accept(const std::shared_ptr<platform::TcpSocket>& socket) {
        conns.push_back(std::make_unique<Conn>());
        Conn* c = conns.back().get();
        c->client = socket;
        socket->OnReceive.Connect([this, c] { FromClient(*c); });
        socket->OnState.Connect([this, c] {
            if (c->client->State() == platform::TcpSocket::kStateClosed) ClientGone(*c);
        });
    }

    void FromClient(Conn& c) {
        std::string chunk;
        c.client->Receive(chunk);
        if (c.stage == Stage::Relay) {
            Send(c.target.get(), chunk);
            return;
        }
        if (c.stage == Stage::Done || c.faulted) return;
        c.in += chunk;
        if (c.stage == Stage::Connecting) return;  // relayed once the way is open
        if (fault != Fault::None && fault != Fault::Refuse) {
            Misbehave(c);
            return;
        }
        // Each step takes what it needs from c.in; stop when one waits for more.
        for (Stage before = c.stage;; before = c.stage) {
            Step(c);
            if (c.stage == before || c.stage == Stage::Connecting || c.stage == Stage::Done) break;
        }
    }

    void Misbehave(Conn& c) {
        c.faulted = true;
        switch (fault) {
            case Fault::Garbage:
                Send(c.client.get(), std::string(kGarbage));
                break;
            case Fault::CloseMidHandshake:
                // The first byte or line of a real answer, then nothing.
                Send(c.client.get(), kind == Kind::Http     ? std::string("HTTP/1.1 200 Conn")
                                     : kind == Kind::Socks4 ? std::string(1, '\0')
                                                            : std::string(1, '\x05'));
                CloseSoon(c);
                break;
            default:  // Silent
                break;
        }
    }

    void Step(Conn& c) {
        switch (kind) {
            case Kind::Http:
                return HttpHello(c);
            case Kind::Socks4:
                return Socks4Hello(c);
            case Kind::Socks5:
                if (c.stage == Stage::Hello) return Socks5Hello(c);
                if (c.stage == Stage::Socks5Login) return Socks5Login(c);
                return Socks5Request(c);
        }
    }

    void HttpHello(Conn& c) {
        const size_t end = c.in.find("\r\n\r\n");
        if (end == std::string::npos) return;
        const std::string head = c.in.substr(0, end);
        c.in.erase(0, end + 4);
        // "CONNECT host:port HTTP/1.1"
        const size_t sp1 = head.find(' ');
        const size_t sp2 = head.find(' ', sp1 + 1);
        const std::string target = head.substr(sp1 + 1, sp2 - sp1 - 1);
        if (head.compare(0, 8, "CONNECT ") != 0 || sp2 == std::string::npos) {
            return Reply(c, "HTTP/1.1 400 Bad Request\r\n\r\n", true);
        }
        targets.push_back(target);
        std::string presented;
        const std::string lower = Lower(head);
        const size_t auth = lower.find("\r\nproxy-authorization: basic ");
        if (auth != std::string::npos) {
            const size_t from = auth + 29;
            presented = Base64Decode(head.substr(from, head.find("\r\n", from) - from));
        }
        lastUser = presented.substr(0, presented.find(':'));
        if (!user.empty() && presented != user + ":" + password) {
            ++refused;
            return Reply(c,
                         "HTTP/1.1 407 Proxy Authentication Required\r\n"
                         "Proxy-Authenticate: Basic realm=\"fixture\"\r\nContent-Length: 0\r\n\r\n",
                         true);
        }
        if (fault == Fault::Refuse) {
            ++refused;
            return Reply(c, "HTTP/1.1 403 Forbidden\r\nContent-Length: 0\r\n\r\n", true);
        }
        const size_t colon = target.rfind(':');
        std::string host = target.substr(0, colon);
        if (host.size() > 1 && host.front() == '[') host = host.substr(1, host.size() - 2);
        OpenWay(c, host, std::stoi(target.substr(colon + 1)));
    }

    void Socks4Hello(Conn& c) {
        if (c.in.size() < 9) return;
        const size_t userEnd = c.in.find('\0', 8);
        if (userEnd == std::string::npos) return;
        const bool named = c.in.compare(4, 3, std::string(3, '\0')) == 0 && c.in[7] != 0;
        size_t end = userEnd + 1;
        std::string host = Dotted(c.in, 4);
        if (named) {
            const size_t nameEnd = c.in.find('\0', end);
            if (nameEnd == std::string::npos) return;
            host = c.in.substr(end, nameEnd - end);
            end = nameEnd + 1;
        }
        const int32_t port = PortAt(c.in, 2);
        lastUser = c.in.substr(8, userEnd - 8);
        c.in.erase(0, end);
        targets.push_back(host + ":" + std::to_string(port));
        const std::string tail(6, '\0');
        if (!user.empty() && lastUser != user) {
            ++refused;
            return Reply(c, std::string("\0\x5D", 2) + tail, true);
        }
        if (fault == Fault::Refuse) {
            ++refused;
            return Reply(c, std::string("\0\x5B", 2) + tail, true);
        }
        OpenWay(c, host, port);
    }

    void Socks5Hello(Conn& c) {
        if (c.in.size() < 2) return;
        const size_t n = static_cast<unsigned char>(c.in[1]);
        if (c.in.size() < 2 + n) return;
        const std::string methods = c.in.substr(2, n);
        c.in.erase(0, 2 + n);
        const char wanted = user.empty() ? '\x00' : '\x02';
        if (methods.find(wanted) == std::string::npos) {
            ++refused;
            return Reply(c, "\x05\xFF", true);
        }
        Send(c.client.get(), std::string("\x05") + wanted);
        c.stage = user.empty() ? Stage::Socks5Request : Stage::Socks5Login;
    }

    void Socks5Login(Conn& c) {
        if (c.in.size() < 2) return;
        const size_t ulen = static_cast<unsigned char>(c.in[1]);
        if (c.in.size() < 3 + ulen) return;
        const size_t plen = static_cast<unsigned char>(c.in[2 + ulen]);
        if (c.in.size() < 3 + ulen + plen) return;
        lastUser = c.in.substr(2, ulen);
        const std::string pass = c.in.substr(3 + ulen, plen);
        c.in.erase(0, 3 + ulen + plen);
        if (lastUser != user || pass != password) {
            ++refused;
            return Reply(c, std::string("\x01\x01", 2), true);
        }
        Send(c.client.get(), std::string("\x01\x00", 2));
        c.stage = Stage::Socks5Request;
    }

    void Socks5Request(Conn& c) {
        if (c.in.size() < 5) return;
        std::string host;
        size_t end = 0;
        switch (c.in[3]) {
            case 1:
                end = 10;
                if (c.in.size() >= end) host = Dotted(c.in, 4);
                break;
            case 3:
                end = 7 + static_cast<unsigned char>(c.in[4]);
                if (c.in.size() >= end) host = c.in.substr(5, end - 7);
                break;
            default:  // IPv6 is not needed on this loopback
                return Reply(c, std::string("\x05\x08\x00\x01\0\0\0\0\0\0", 10), true);
        }
        if (c.in.size() < end) return;
        const int32_t port = PortAt(c.in, end - 2);
        c.in.erase(0, end);
        targets.push_back(host + ":" + std::to_string(port));
        if (fault == Fault::Refuse) {
            ++refused;
            return Reply(c, std::string("\x05\x02\x00\x01\0\0\0\0\0\0", 10), true);
        }
        OpenWay(c, host, port);
    }

    void OpenWay(Conn& c, const std::string& host, int32_t port) {
        c.stage = Stage::Connecting;
        c.target = std::make_unique<platform::TcpSocket>();
        platform::TcpSocket* t = c.target.get();
        t->OnReceive.Connect([&c, t] {
            std::string chunk;
            t->Receive(chunk);
            Send(c.client.get(), chunk);
        });
        t->OnState.Connect([this, &c, t] {
            if (t->State() == platform::TcpSocket::kStateConnected) {
                ++granted;
                Send(c.client.get(), Granted());
                c.stage = Stage::Relay;
                Send(t, std::exchange(c.in, std::string()));
            } else if (t->State() == platform::TcpSocket::kStateClosed) {
                if (c.stage == Stage::Connecting) Reply(c, Unreachable(), true);
                if (c.stage == Stage::Relay) {
                    c.stage = Stage::Done;
                    CloseSoon(c);
                }
            }
        });
        try {
            t->Connect(host, port);
        } catch (...) {
            Reply(c, Unreachable(), true);
        }
    }

    std::string Granted() const {
        switch (kind) {
            case Kind::Http:
                return "HTTP/1.1 200 Connection established\r\n\r\n";
            case Kind::Socks4:
                return std::string("\0\x5A\0\0\0\0\0\0", 8);
            case Kind::Socks5:
                return std::string("\x05\x00\x00\x01\0\0\0\0\0\0", 10);
        }
        return {};
    }

    std::string Unreachable() const {
        switch (kind) {
            case Kind::Http:
                return "HTTP/1.1 502 Bad Gateway\r\nContent-Length: 0\r\n\r\n";
            case Kind::Socks4:
                return std::string("\0\x5B\0\0\0\0\0\0", 8);
            case Kind::Socks5:
                return std::string("\x05\x05\x00\x01\0\0\0\0\0\0", 10);
        }
        return {};
    }

    void Reply(Conn& c, const std::string& bytes, bool close) {
        Send(c.client.get(), bytes);
        if (!close) return;
        c.stage = Stage::Done;
        CloseSoon(c);
    }

    static void Send(platform::TcpSocket* s, const std::string& bytes) {
        if (!s || bytes.empty()) return;
        try {
            s->Send(bytes);
        } catch (...) {  // gone meanwhile: its close is on the way
        }
    }

    // A close at once would drop what was just sent.
    void CloseSoon(Conn& c) {
        c.linger = RealTimer();
        c.linger->SetInterval(kLingerMs);
        c.linger->Tick.Connect([&c] {
            c.linger->SetEnabled(false);
            c.client->Close();
            if (c.target) c.target->Close();
        });
        c.linger->SetEnabled(true);
    }

    void ClientGone(Conn& c) {
        c.stage = Stage::Done;
        if (c.target) c.target->Close();
    }

    Kind kind;
    std::string user;
    std::string password;
    Fault fault;
    platform::TcpServer server;
    std::vector<std::unique_ptr<Conn>> conns;
    size_t granted = 0;
    size_t refused = 0;
    std::vector<std::string> targets;
    std::string lastUser;
};

ProxyFixture::ProxyFixture(Kind kind, std::string username, std::string password, Fault fault)
    : impl_(std::make_unique<Impl>(kind, std::move(username), std::move(password), fault)) {}

ProxyFixture::~ProxyFixture() = default;

int32_t ProxyFixture::Port() const {
    return impl_->server.Port();
}

int32_t ProxyFixture::Type() const {
    return static_cast<int32_t>(impl_->kind);
}

size_t ProxyFixture::Connections() const {
    return impl_->conns.size();
}

size_t ProxyFixture::Granted() const {
    return impl_->granted;
}

size_t ProxyFixture::Refused() const {
    return impl_->refused;
}

std::vector<std::string> ProxyFixture::Targets() const {
    return impl_->targets;
}

std::string ProxyFixture::LastUser() const {
    return impl_->lastUser;
}

// ---- LoopbackTarget ---------------------------------------------------------

struct LoopbackTarget::Impl {
    Impl() {
        server.OnAccept.Connect([this](std::shared_ptr<platform::TcpSocket> s) {
            conns.push_back(s);
            platform::TcpSocket* raw = s.get();
            s->OnReceive.Connect([this, raw] {
                std::string chunk;
                raw->Receive(chunk);
                received += chunk;
            });
            if (!greeting.empty()) s->Send(greeting);
        });
        server.Listen("127.0.0.1", 0);
    }

    ~Impl() {
        for (auto& s : conns) {
            s->OnReceive.DisconnectAll();
            s->Close();
        }
    }

    platform::TcpServer server;
    std::vector<std::shared_ptr<platform::TcpSocket>> conns;
    std::string greeting;
    std::string received;
};

LoopbackTarget::LoopbackTarget() : impl_(std::make_unique<Impl>()) {}

LoopbackTarget::~LoopbackTarget() = default;

int32_t LoopbackTarget::Port() const {
    return impl_->server.Port();
}

void LoopbackTarget::SetGreeting(std::string text) {
    impl_->greeting = std::move(text);
}

size_t LoopbackTarget::Connections() const {
    return impl_->conns.size();
}

size_t LoopbackTarget::OpenConnections() const {
    return static_cast<size_t>(std::count_if(
        impl_->conns.begin(), impl_->conns.end(),
        [](const auto& s) { return s->State() == platform::TcpSocket::kStateConnected; }));
}

std::string LoopbackTarget::Received() const {
    return impl_->received;
}

bool LoopbackTarget::Send(const std::string& text) {
    for (auto it = impl_->conns.rbegin(); it != impl_->conns.rend(); ++it) {
        if ((*it)->State() != platform::TcpSocket::kStateConnected) continue;
        (*it)->Send(text);
        return true;
    }
    return false;
}

void LoopbackTarget::CloseAll() {
    for (auto& s : impl_->conns) s->Close();
}

}  // namespace testsupport
