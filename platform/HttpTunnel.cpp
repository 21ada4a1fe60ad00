#include "platform/HttpTunnel.h"

// Before Qt's headers, whose keyword macros would rewrite the event's members.
#include "platform/EventLoop.h"
#include "platform/Timer.h"

#include <arpa/inet.h>

#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <optional>
#include <type_traits>
#include <utility>

namespace platform {

namespace {

// Longest HTTP answer head we wait for before calling it something else.
constexpr size_t kMaxHttpHead = 16 * 1024;

bool ParseIPv4(const std::string& host, std::array<unsigned char, 4>& out) {
    return inet_pton(AF_INET, host.c_str(), out.data()) == 1;
}

bool ParseIPv6(const std::string& host, std::array<unsigned char, 16>& out) {
    return inet_pton(AF_INET6, host.c_str(), out.data()) == 1;
}

std::string HostPort(const std::string& host, int32_t port) {
    std::array<unsigned char, 16> v6{};
    const bool bracket = ParseIPv6(host, v6);
    return (bracket ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

// A proxy's own words, safe to put in an error text.
std::string Printable(std::string_view text, size_t max = 120) {
    std::string out;
    for (char c : text.substr(0, max)) {
        const auto u = static_cast<unsigned char>(c);
        out += u >= 32 && u < 127 ? c : '.';
    }
    if (text.size() > max) out += "...";
    return out;
}

std::string HexBytes(std::string_view bytes, size_t max = 8) {
    std::string out;
    char buf[4];
    for (size_t i = 0; i < bytes.size() && i < max; ++i) {
        std::snprintf(buf, sizeof buf, "%02X", static_cast<unsigned char>(bytes[i]));
        if (!out.empty()) out += ' ';
        out += buf;
    }
    return out;
}

std::string Base64(std::string_view in) {
    static constexpr char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((in.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 2 < in.size(); i += 3) {
        const uint32_t v = static_cast<unsigned char>(in[i]) << 16 |
                           static_cast<unsigned char>(in[i + 1]) << 8 |
                           static_cast<unsigned char>(in[i + 2]);
        out += kDigits[v >> 18 & 63];
        out += kDigits[v >> 12 & 63];
        out += kDigits[v >> 6 & 63];
        out += kDigits[v & 63];
    }
    if (i < in.size()) {
        uint32_t v = static_cast<unsigned char>(in[i]) << 16;
        if (i + 1 < in.size()) v |= static_cast<unsigned char>(in[i + 1]) << 8;
        out += kDigits[v >> 18 & 63];
        out += kDigits[v >> 12 & 63];
        out += i + 1 < in.size() ? kDigits[v >> 6 & 63] : '=';
        out += '=';
    }
    return out;
}

void AppendPort(std::string& out, int32_t port) {
    out += static_cast<char>(port >> 8 & 0xFF);
    out += static_cast<char>(port & 0xFF);
}

const char* Socks4Reason(unsigned char code) {
    switch (code) {
        case 0x5B:
            return "request rejected or failed";
        case 0x5C:
            return "the proxy could not reach the identification service of this computer";
        case 0x5D:
            return "the identification service reported another user";
        default:
            return nullptr;
    }
}

const char* Socks5Reason(unsigned char code) {
    switch (code) {
        case 1:
            return "general failure";
        case 2:
            return "not allowed by the proxy's rules";
        case 3:
            return "network unreachable";
        case 4:
            return "host unreachable";
        case 5:
            return "connection refused";
        case 6:
            return "time to live expired";
        case 7:
            return "command not supported";
        case 8:
            return "address type not supported";
        default:
            return "unknown reason";
    }
}

}  // namespace

// ---- ProxyHandshake ---------------------------------------------------------

ProxyHandshake::ProxyHandshake(int32_t proxyType, std::string targetHost, int32_t targetPort,
                               std::string username, std::string password)
    : kind_(static_cast<ProxyKind>(proxyType)),
      host_(std::move(targetHost)),
      port_(targetPort),
      username_(std::move(username)),
      password_(std::move(password)) {
    if (host_.size() > 2 && host_.front() == '[' && host_.back() == ']') {
        host_ = host_.substr(1, host_.size() - 2);
    }
    std::array<unsigned char, 16> v6{};
    const bool isV6 = ParseIPv6(host_, v6);
    if (proxyType < 0 || proxyType > 2) {
        error_ = "Unknown proxy type " + std::to_string(proxyType);
    } else if (host_.empty()) {
        error_ = "No server address to reach through the proxy";
    } else if (!std::all_of(host_.begin(), host_.end(), [](char c) { return c > 32 && c < 127; }) ||
               host_.size() > 255) {
        error_ = "The server address \"" + Printable(host_) + "\" is not valid";
    } else if (port_ < 1 || port_ > 65535) {
        error_ = "The server port " + std::to_string(port_) + " is out of range";
    } else if (kind_ == ProxyKind::Socks4 && isV6) {
        error_ = "A SOCKS4 proxy cannot reach the IPv6 address " + host_;
    } else if (kind_ == ProxyKind::Socks4 && username_.find('\0') != std::string::npos) {
        error_ = "The proxy user name holds a character a SOCKS4 proxy cannot take";
    } else if (kind_ == ProxyKind::Socks5 && (username_.size() > 255 || password_.size() > 255)) {
        error_ = "A SOCKS5 proxy takes at most 255 characters of user name and of password";
    }
}

std::string ProxyHandshake::Target() const {
    return HostPort(host_, port_);
}

std::string ProxyHandshake::Start() {
    std::string out;
    if (!Valid() || stage_ != Stage::Start) return out;
    switch (kind_) {
        case ProxyKind::Http:
            out = "CONNECT " + Target() + " HTTP/1.1\r\nHost: " + Target() + "\r\n";
            if (!username_.empty()) {
                out += "Proxy-Authorization: Basic " + Base64(username_ + ":" + password_) + "\r\n";
            }
            out += "\r\n";
            stage_ = Stage::HttpAnswer;
            break;
        case ProxyKind::Socks4: {
            std::array<unsigned char, 4> v4{};
            const bool literal = ParseIPv4(host_, v4);
            out += '\x04';
            out += '\x01';
            AppendPort(out, port_);
            if (literal) {
                out.append(reinterpret_cast<const char*>(v4.data()), v4.size());
            } else {
                out.append("\0\0\0\x01", 4);  // the proxy resolves the name sent below
            }
            out += username_;
            out += '\0';
            if (!literal) {
                out += host_;
                out += '\0';
            }
            stage_ = Stage::Socks4Answer;
            break;
        }
        case ProxyKind::Socks5:
            out += '\x05';
            if (username_.empty()) {
                out.append("\x01\x00", 2);
            } else {
                out.append("\x02\x00\x02", 3);
            }
            stage_ = Stage::Socks5Method;
            break;
    }
    return out;
}

std::string ProxyHandshake::Socks5Request() const {
    std::string out("\x05\x01\x00", 3);
    std::array<unsigned char, 4> v4{};
    std::array<unsigned char, 16> v6{};
    if (ParseIPv4(host_, v4)) {
        out += '\x01';
        out.append(reinterpret_cast<const char*>(v4.data()), v4.size());
    } else if (ParseIPv6(host_, v6)) {
        out += '\x04';
        out.append(reinterpret_cast<const char*>(v6.data()), v6.size());
    } else {
        out += '\x03';
        out += static_cast<char>(host_.size());
        out += host_;
    }
    AppendPort(out, port_);
    return out;
}

ProxyHandshake::Status ProxyHandshake::Fail(std::string text) {
    stage_ = Stage::Failed;
    error_ = std::move(text);
    in_.clear();
    return Status::Failed;
}

ProxyHandshake::Status ProxyHandshake::Finish(size_t used) {
    stage_ = Stage::Done;
    leftover_ += in_.substr(used);
    in_.clear();
    return Status::Done;
}

std::string ProxyHandshake::TakeLeftover() {
    return std::exchange(leftover_, std::string());
}

ProxyHandshake::Status ProxyHandshake::Feed(std::string_view received, std::string& reply) {
    reply.clear();
    switch (stage_) {
        case Stage::Done:
            leftover_ += received;
            return Status::Done;
        case Stage::Failed:
            return Status::Failed;
        case Stage::Start:
            return Fail("The proxy spoke before it was asked");
        default:
            break;
    }
    if (received.empty()) return Status::Continue;
    in_ += received;
    switch (stage_) {
        case Stage::HttpAnswer:
            return FeedHttp();
        case Stage::Socks4Answer:
            return FeedSocks4();
        case Stage::Socks5Method:
            return FeedSocks5Method(reply);
        case Stage::Socks5Login:
            return FeedSocks5Login(reply);
        case Stage::Socks5Answer:
            return FeedSocks5Answer();
        default:
            return Status::Continue;
    }
}

ProxyHandshake::Status ProxyHandshake::FeedHttp() {
    constexpr std::string_view kPrefix = "HTTP/";
    const size_t n = std::min(in_.size(), kPrefix.size());
    if (in_.compare(0, n, kPrefix.substr(0, n)) != 0) {
        return Fail("The proxy's answer is not HTTP: \"" + Printable(in_) + "\"");
    }
    const size_t crlf = in_.find("\r\n\r\n");
    const size_t lf = in_.find("\n\n");
    size_t end = std::string::npos;
    if (crlf != std::string::npos) end = crlf + 4;
    if (lf != std::string::npos && (end == std::string::npos || lf + 2 < end)) end = lf + 2;
    // The same bound whether or not the head's end came in the same read.
    if (end == std::string::npos ? in_.size() > kMaxHttpHead : end > kMaxHttpHead) {
        return Fail("The proxy's answer is too long to be HTTP");
    }
    if (end == std::string::npos) return Status::Continue;
    std::string line = in_.substr(0, in_.find('\n'));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // "HTTP/1.1 200 Connection established"
    const size_t space = line.find(' ');
    size_t at = space == std::string::npos ? line.size() : line.find_first_not_of(' ', space);
    if (at == std::string::npos) at = line.size();
    const bool coded =
        at + 3 <= line.size() &&
        std::all_of(line.begin() + static_cast<long>(at), line.begin() + static_cast<long>(at + 3),
                    [](char c) { return c >= '0' && c <= '9'; }) &&
        (at + 3 == line.size() || line[at + 3] == ' ');
    if (!coded) return Fail("The proxy's answer is not HTTP: \"" + Printable(line) + "\"");
    const int code = std::stoi(line.substr(at, 3));
    if (code >= 200 && code < 300) return Finish(end);
    const std::string status = Printable(line.substr(at));
    if (code == 407) {
        return Fail(username_.empty()
                        ? "The HTTP proxy asks for a user name and password (" + status + ")"
                        : "The HTTP proxy refused the user name or password (" + status + ")");
    }
    return Fail("The HTTP proxy refused to connect to " + Target() + " (" + status + ")");
}

ProxyHandshake::Status ProxyHandshake::FeedSocks4() {
    const auto code = in_.size() >= 2 ? static_cast<unsigned char>(in_[1]) : 0x5A;
    if (in_[0] != 0 || (code != 0x5A && !Socks4Reason(code))) {
        return Fail("The proxy's answer is not SOCKS4 (" + HexBytes(in_) + ")");
    }
    if (in_.size() < 8) return Status::Continue;
    if (code == 0x5A) return Finish(8);
    return Fail("The SOCKS4 proxy refused to connect to " + Target() + ": " + Socks4Reason(code) +
                " (code " + std::to_string(code) + ")");
}

ProxyHandshake::Status ProxyHandshake::FeedSocks5Method(std::string& reply) {
    if (in_[0] != 5) return Fail("The proxy's answer is not SOCKS5 (" + HexBytes(in_) + ")");
    if (in_.size() < 2) return Status::Continue;
    const auto method = static_cast<unsigned char>(in_[1]);
    in_.erase(0, 2);
    // What arrived after the choice is the next answer: it is read in its turn,
    // after what this answer asks for has been added to the reply.
    if (method == 0x00) {
        reply += Socks5Request();
        stage_ = Stage::Socks5Answer;
        return in_.empty() ? Status::Continue : FeedSocks5Answer();
    }
    if (method == 0x02 && !username_.empty()) {
        reply += '\x01';
        reply += static_cast<char>(username_.size());
        reply += username_;
        reply += static_cast<char>(password_.size());
        reply += password_;
        stage_ = Stage::Socks5Login;
        return in_.empty() ? Status::Continue : FeedSocks5Login(reply);
    }
    if (method == 0x02 || (method == 0xFF && username_.empty())) {
        return Fail("The SOCKS5 proxy asks for a user name and password");
    }
    if (method == 0xFF) return Fail("The SOCKS5 proxy accepts none of the offered login methods");
    return Fail("The SOCKS5 proxy chose a login method that was not offered (" +
                std::to_string(method) + ")");
}

ProxyHandshake::Status ProxyHandshake::FeedSocks5Login(std::string& reply) {
    // The sub-negotiation's version is 1; some proxies answer 5.
    if (in_[0] != 1 && in_[0] != 5) {
        return Fail("The proxy's answer is not SOCKS5 (" + HexBytes(in_) + ")");
    }
    if (in_.size() < 2) return Status::Continue;
    const auto status = static_cast<unsigned char>(in_[1]);
    in_.erase(0, 2);
    if (status != 0) return Fail("The SOCKS5 proxy refused the user name or password");
    reply += Socks5Request();
    stage_ = Stage::Socks5Answer;
    return in_.empty() ? Status::Continue : FeedSocks5Answer();
}

ProxyHandshake::Status ProxyHandshake::FeedSocks5Answer() {
    if (in_[0] != 5) return Fail("The proxy's answer is not SOCKS5 (" + HexBytes(in_) + ")");
    if (in_.size() < 2) return Status::Continue;
    const auto rep = static_cast<unsigned char>(in_[1]);
    if (rep != 0) {
        return Fail("The SOCKS5 proxy could not connect to " + Target() + ": " + Socks5Reason(rep) +
                    " (code " + std::to_string(rep) + ")");
    }
    if (in_.size() < 4) return Status::Continue;
    size_t length = 0;
    switch (in_[3]) {
        case 1:
            length = 10;
            break;
        case 4:
            length = 22;
            break;
        case 3:
            if (in_.size() < 5) return Status::Continue;
            length = 7 + static_cast<unsigned char>(in_[4]);
            break;
        default:
            return Fail("The proxy's answer is not SOCKS5 (" + HexBytes(in_) + ")");
    }
    if (in_.size() < length) return Status::Continue;
    return Finish(length);
}

// ---- HttpTunnel -------------------------------------------------------------

namespace {

// Lets go of a Qt object that may be inside one of its own signals right now.
template <class T>
void Drop(T*& object) {
    if (!object) return;
    T* o = std::exchange(object, nullptr);
    o->blockSignals(true);
    if constexpr (std::is_same_v<T, QTcpServer>) {
        o->close();
    } else {
        o->abort();
    }
    o->deleteLater();
}

// One tunnel (a local port, the local connection, the way through the proxy)
// or one proxy test (the way through the proxy only). Nothing in it calls out
// of the tunnel, so it is never destroyed from inside its own signals.
class Link {
public:
    enum class Phase { Handshaking, Open, Failed, Ended };

    // A test only opens the way through the proxy and lets go of it.
    Link(ProxyHandshake handshake, std::string proxyLabel, std::string& lastError, bool test)
        : handshake_(std::move(handshake)),
          proxy_(std::move(proxyLabel)),
          lastError_(lastError),
          test_(test) {}

    ~Link() {
        Drop(upstream_);
        Drop(local_);
        Drop(listener_);
    }

    // Opens the local port; 0 when it cannot.
    int32_t Listen() {
        listener_ = new QTcpServer();
        QObject::connect(listener_, &QTcpServer::newConnection, listener_, [this] { OnAccept(); });
        if (!listener_->listen(QHostAddress(QHostAddress::LocalHost), 0)) {
            lastError_ = "Cannot open a local port for the tunnel: " +
                         listener_->errorString().toStdString();
            Drop(listener_);
            return 0;
        }
        return listener_->serverPort();
    }

    void Start(const std::string& proxyAddress, int32_t proxyPort) {
        deadline_ = std::make_unique<Timer>();
        deadline_->SetInterval(HttpTunnel::kHandshakeTimeoutMs);
        deadline_->Tick.Connect([this] { OnDeadline(); });
        deadline_->SetEnabled(true);
        upstream_ = new QTcpSocket();
        QObject::connect(upstream_, &QTcpSocket::connected, upstream_, [this] { OnProxyUp(); });
        QObject::connect(upstream_, &QTcpSocket::readyRead, upstream_,
                         [this] { OnUpstreamData(); });
        QObject::connect(upstream_, &QAbstractSocket::errorOccurred, upstream_,
                         [this](QAbstractSocket::SocketError) {
                             if (upstream_) upstreamError_ = upstream_->errorString().toStdString();
                         });
        QObject::connect(upstream_, &QAbstractSocket::stateChanged, upstream_,
                         [this](QAbstractSocket::SocketState st) {
                             if (st == QAbstractSocket::UnconnectedState) OnUpstreamGone();
                         });
        upstream_->connectToHost(QString::fromStdString(proxyAddress),
                                 static_cast<quint16>(proxyPort));
    }

    Phase phase() const { return phase_; }
    bool opened() const { return opened_; }
    const std::string& error() const { return error_; }

private:
    void OnAccept() {
        while (QTcpSocket* s = listener_ ? listener_->nextPendingConnection() : nullptr) {
            s->setParent(nullptr);  // the server goes before the connection does
            if (local_ || phase_ == Phase::Failed) {
                s->abort();
                s->deleteLater();
                continue;
            }
            local_ = s;
            QObject::connect(s, &QTcpSocket::readyRead, s, [this] { OnLocalData(); });
            QObject::connect(s, &QAbstractSocket::stateChanged, s,
                             [this](QAbstractSocket::SocketState st) {
                                 if (st == QAbstractSocket::UnconnectedState) OnLocalGone();
                             });
        }
        if (!local_) return;
        Drop(listener_);  // one connection per tunnel
        if (!toLocal_.empty()) {
            local_->write(toLocal_.data(), static_cast<qint64>(toLocal_.size()));
            toLocal_.clear();
        }
        if (phase_ == Phase::Ended) {
            local_->disconnectFromHost();  // the server has gone already; flush and close
            return;
        }
        if (local_->bytesAvailable() > 0) OnLocalData();
    }

    void OnLocalData() {
        if (!local_) return;
        const QByteArray data = local_->readAll();
        if (phase_ == Phase::Open) {
            upstream_->write(data);
        } else if (phase_ == Phase::Handshaking) {
            toUpstream_.append(data.constData(), static_cast<size_t>(data.size()));
            if (toUpstream_.size() > HttpTunnel::kPendingCap) {
                Fail("Too much data waited for the proxy " + proxy_ + " to answer");
            }
        }
    }

    void OnLocalGone() {
        if (local_ && local_->bytesAvailable() > 0) OnLocalData();  // its last words first
        Drop(local_);
        const Phase was = phase_;
        if (was == Phase::Failed || was == Phase::Ended) return;
        phase_ = Phase::Ended;
        if (deadline_) deadline_->SetEnabled(false);
        if (was == Phase::Open && upstream_) {
            upstream_->disconnectFromHost();  // what the local side sent still goes out
        } else {
            Drop(upstream_);
        }
    }

    void OnProxyUp() {
        proxyUp_ = true;
        const std::string hello = handshake_.Start();
        upstream_->write(hello.data(), static_cast<qint64>(hello.size()));
    }

    void OnUpstreamData() {
        if (!upstream_) return;
        const QByteArray data = upstream_->readAll();
        const std::string_view bytes(data.constData(), static_cast<size_t>(data.size()));
        if (phase_ == Phase::Open) {
            ToLocal(bytes);
            return;
        }
        if (phase_ != Phase::Handshaking || bytes.empty()) return;
        std::string reply;
        const ProxyHandshake::Status status = handshake_.Feed(bytes, reply);
        if (!reply.empty()) upstream_->write(reply.data(), static_cast<qint64>(reply.size()));
        switch (status) {
            case ProxyHandshake::Status::Continue:
                break;
            case ProxyHandshake::Status::Done:
                Opened();
                break;
            case ProxyHandshake::Status::Failed:
                Fail(handshake_.Error());
                break;
        }
    }

    void OnUpstreamGone() {
        if (upstream_ && upstream_->bytesAvailable() > 0) OnUpstreamData();
        switch (phase_) {
            case Phase::Handshaking:
                if (!proxyUp_) {
                    Fail("Cannot reach the proxy " + proxy_ +
                         (upstreamError_.empty() ? std::string() : ": " + upstreamError_));
                } else {
                    Fail("The proxy " + proxy_ + " closed the connection during the handshake");
                }
                return;
            case Phase::Open:
                phase_ = Phase::Ended;
                Drop(upstream_);
                // What the server sent last still reaches the local side.
                if (local_) local_->disconnectFromHost();
                return;
            default:
                Drop(upstream_);
                return;
        }
    }

    void OnDeadline() {
        if (phase_ != Phase::Handshaking) return;
        const std::string seconds = std::to_string(HttpTunnel::kHandshakeTimeoutMs / 1000);
        Fail(proxyUp_ ? "The proxy " + proxy_ + " did not answer within " + seconds + " seconds"
                      : "The proxy " + proxy_ + " did not take the connection within " + seconds +
                            " seconds");
    }

    void Opened() {
        deadline_->SetEnabled(false);
        opened_ = true;
        if (test_) {
            phase_ = Phase::Ended;
            Drop(upstream_);
            return;
        }
        phase_ = Phase::Open;
        if (!toUpstream_.empty()) {
            upstream_->write(toUpstream_.data(), static_cast<qint64>(toUpstream_.size()));
            toUpstream_.clear();
        }
        const std::string first = handshake_.TakeLeftover();
        if (!first.empty()) ToLocal(first);
    }

    void ToLocal(std::string_view bytes) {
        if (local_) {
            local_->write(bytes.data(), static_cast<qint64>(bytes.size()));
            return;
        }
        toLocal_.append(bytes);
        if (toLocal_.size() > HttpTunnel::kPendingCap) {
            Fail("Too much data came from the server before the local side connected");
        }
    }

    void Fail(std::string text) {
        phase_ = Phase::Failed;
        error_ = std::move(text);
        lastError_ = error_;
        if (deadline_) deadline_->SetEnabled(false);
        toUpstream_.clear();
        toLocal_.clear();
        Drop(upstream_);
        Drop(listener_);
        Drop(local_);  // the local side sees the tunnel close
    }

    ProxyHandshake handshake_;
    std::string proxy_;
    std::string& lastError_;
    bool test_;
    QTcpServer* listener_ = nullptr;
    QTcpSocket* upstream_ = nullptr;
    QTcpSocket* local_ = nullptr;
    std::unique_ptr<Timer> deadline_;
    Phase phase_ = Phase::Handshaking;
    bool proxyUp_ = false;
    bool opened_ = false;
    std::string upstreamError_;
    std::string toUpstream_;  // local data waiting for the handshake
    std::string toLocal_;     // server data waiting for the local connection
    std::string error_;
};

}  // namespace

struct HttpTunnel::Impl {
    std::string lastError;  // the links write it; it outlives them
    std::map<int32_t, std::unique_ptr<Link>> links;
    std::unique_ptr<Link> test;
    std::string testStartError;  // why the last test could not start
    int32_t nextHandle = 1;

    // The handshake for these settings, or nullopt with lastError set.
    std::optional<ProxyHandshake> Prepare(const std::string& proxyAddress, int32_t proxyPort,
                                          const std::string& host, int32_t port,
                                          const std::string& username, const std::string& password,
                                          int32_t proxyType) {
        if (proxyAddress.empty()) {
            lastError = "No proxy address is set";
            return std::nullopt;
        }
        if (proxyPort < 1 || proxyPort > 65535) {
            lastError = "The proxy port " + std::to_string(proxyPort) + " is out of range";
            return std::nullopt;
        }
        ProxyHandshake handshake(proxyType, host, port, username, password);
        if (!handshake.Valid()) {
            lastError = handshake.Error();
            return std::nullopt;
        }
        EventLoop::Ensure();
        return handshake;
    }
};

HttpTunnel::HttpTunnel() : impl_(std::make_unique<Impl>()) {}

HttpTunnel::~HttpTunnel() = default;

int32_t HttpTunnel::Connect(const std::string& serverAddress, int32_t serverPort,
                            const std::string& proxyAddress, int32_t proxyPort, int32_t& handle,
                            const std::string& username, const std::string& password,
                            int32_t proxyType) {
    handle = 0;
    auto handshake = impl_->Prepare(proxyAddress, proxyPort, serverAddress, serverPort, username,
                                    password, proxyType);
    if (!handshake) return 0;
    auto link = std::make_unique<Link>(std::move(*handshake), HostPort(proxyAddress, proxyPort),
                                       impl_->lastError, false);
    const int32_t port = link->Listen();
    if (port == 0) return 0;
    link->Start(proxyAddress, proxyPort);
    if (link->phase() == Link::Phase::Failed) return 0;  // refused at once
    handle = impl_->nextHandle;
    impl_->nextHandle = impl_->nextHandle == INT32_MAX ? 1 : impl_->nextHandle + 1;
    impl_->links[handle] = std::move(link);
    return port;
}

void HttpTunnel::Close(int32_t handle) {
    impl_->links.erase(handle);
}

int32_t HttpTunnel::TestProxyAsync(const std::string& proxyAddress, int32_t proxyPort,
                                   const std::string& username, const std::string& password,
                                   const std::string& testHost, int32_t testPort,
                                   int32_t proxyType) {
    impl_->test.reset();
    impl_->testStartError.clear();
    auto handshake =
        impl_->Prepare(proxyAddress, proxyPort, testHost,
                       testPort == 0 ? kDefaultTestPort : testPort, username, password, proxyType);
    if (!handshake) {
        impl_->testStartError = impl_->lastError;
        return 1;
    }
    impl_->test = std::make_unique<Link>(std::move(*handshake), HostPort(proxyAddress, proxyPort),
                                         impl_->lastError, true);
    impl_->test->Start(proxyAddress, proxyPort);
    return 0;
}

int32_t HttpTunnel::GetTestProxyResult(std::string& text) {
    const Link* test = impl_->test.get();
    if (!test) {
        text = impl_->testStartError.empty() ? "No proxy test has been started"
                                             : impl_->testStartError;
        return 1;
    }
    if (test->opened()) return 0;
    if (test->phase() == Link::Phase::Failed) {
        text = test->error();
        return 1;
    }
    return -1;
}

std::string HttpTunnel::GetLastError() const {
    return impl_->lastError;
}

size_t HttpTunnel::TunnelCount() const {
    return impl_->links.size();
}

}  // namespace platform
