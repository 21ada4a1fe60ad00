#include "platform/TcpSocket.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QHostAddress>
#include <QHostInfo>
#include <QObject>
#include <QString>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <utility>
#include <vector>

#include "platform/EventLoop.h"
#include "platform/SocketPoller.h"
#include "platform/ThreadCheck.h"
#include "runtime/Diagnostics.h"
#include "runtime/Error.h"

// Non-blocking sockets on the thread's one epoll set (SocketPoller). Events
// are raised from the poller's callback, which runs from the loop; what a user
// call causes (a refused connect found at once, a close) is posted instead, so
// no handler ever runs inside the call that caused it.

namespace platform {

namespace {

// More unsent output than this and the socket reports itself busy.
constexpr size_t kBusyBytes = size_t{1} << 20;
// One read's worth, and a socket's share of input per turn of the loop: the
// owner decodes and dispatches all of it at once, so a flood on one
// connection costs each turn one bounded bite (level triggering brings the
// socket back for the rest) and cannot starve the others or the timers.
constexpr size_t kReadChunk = size_t{64} << 10;
constexpr size_t kReadShare = kReadChunk;
// Connections accepted per turn of the loop, so a storm of connects leaves
// the loop its other work.
constexpr int kAcceptsPerTurn = 64;
// A send goes straight to the kernel when nothing waits before it, up to
// this much; the rest leaves from the loop. The kernel would often take
// megabytes at once on loopback, yet a large block of output must show as
// backed up (Busy) to the layers that pace their sending by it.
constexpr size_t kDirectBytes = size_t{256} << 10;
constexpr int kListenBacklog = 4096;  // the kernel caps it at its own maximum
constexpr char kRemoteClosed[] = "The remote host closed the connection";
constexpr char kConnectedToItself[] = "Connection refused (the socket connected to itself)";

constexpr uint32_t kReadEvents = EPOLLIN | EPOLLRDHUP;

[[noreturn]] void Fail(const std::string& text) {
    throw runtime::Error(runtime::errc::InvalidProcedureCall, text);
}

std::string ErrorText(int err) {
    return std::strerror(err);
}

// A handler's error must not unwind into the loop's dispatch; the loop carries on.
template <class F>
void Guarded(F&& f) {
    runtime::RunReported("TcpSocket", std::forward<F>(f));
}

struct Endpoint {
    sockaddr_storage address{};
    socklen_t length = 0;
};

// "1.2.3.4" for an IPv4 (or IPv4-mapped IPv6) address, else the IPv6 text.
std::string AddressText(const sockaddr_storage& a, int32_t* port = nullptr) {
    char text[INET6_ADDRSTRLEN] = {};
    if (a.ss_family == AF_INET) {
        const auto& v4 = reinterpret_cast<const sockaddr_in&>(a);
        inet_ntop(AF_INET, &v4.sin_addr, text, sizeof text);
        if (port) *port = ntohs(v4.sin_port);
    } else if (a.ss_family == AF_INET6) {
        const auto& v6 = reinterpret_cast<const sockaddr_in6&>(a);
        if (IN6_IS_ADDR_V4MAPPED(&v6.sin6_addr)) {
            inet_ntop(AF_INET, &v6.sin6_addr.s6_addr[12], text, sizeof text);
        } else {
            inet_ntop(AF_INET6, &v6.sin6_addr, text, sizeof text);
        }
        if (port) *port = ntohs(v6.sin6_port);
    }
    return text;
}

// Numeric addresses only: never asks a name service, so it never blocks.
bool ParseLiteral(const std::string& host, int32_t port, Endpoint& out) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    if (getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0 || !found) return false;
    std::memcpy(&out.address, found->ai_addr, found->ai_addrlen);
    out.length = found->ai_addrlen;
    freeaddrinfo(found);
    return true;
}

bool IsLocalhost(const std::string& host) {
    std::string h = host;
    std::transform(h.begin(), h.end(), h.begin(), [](unsigned char c) { return std::tolower(c); });
    return h == "localhost" || h == "localhost.";
}

void SetNoDelay(int fd) {
    const int on = 1;  // small request messages go out at once
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

// A connect retried at a closed port of the local ephemeral range can be
// given that very port as its own and meet itself (simultaneous open); it
// would then read back everything it sends.
bool ConnectedToItself(int fd) {
    sockaddr_storage local{};
    sockaddr_storage peer{};
    socklen_t localLen = sizeof local;
    socklen_t peerLen = sizeof peer;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&local), &localLen) != 0 ||
        getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &peerLen) != 0) {
        return false;
    }
    int32_t localPort = 0;
    int32_t peerPort = 0;
    return localLen == peerLen && AddressText(local, &localPort) == AddressText(peer, &peerPort) &&
           localPort == peerPort;
}

// Scratch space for reads; nothing runs between a read and its copy-out, so
// nested loops may share it.
char* ReadBuffer() {
    thread_local std::vector<char> buffer(kReadChunk);
    return buffer.data();
}

}  // namespace

struct TcpSocket::Impl final : detail::PollWatcher {
    enum class Phase { Idle, Resolving, Connecting, Open };

    explicit Impl(TcpSocket* o) : owner(o) {}
    ~Impl() { DropSocket(); }

    TcpSocket* owner;
    detail::OwnerThread thread{"TcpSocket"};
    std::shared_ptr<bool> life = std::make_shared<bool>(true);  // queued events check it
    Phase phase = Phase::Idle;
    int fd = -1;
    uint64_t key = 0;  // the poller's registration of fd
    bool writeArmed = false;
    int writeError = 0;            // a send failed; the drop is reported from the loop
    int32_t state = kStateClosed;  // as last reported (or set by Connect/Close)
    bool inStateEvent = false;     // State() then tells what that event reports
    int32_t eventState = kStateClosed;
    uint64_t attempt = 0;   // Connect and Close start a new one
    int queuedReports = 0;  // state reports posted and not yet run
    bool inConnectCall = false;
    std::string rx;
    std::string tx;  // unsent output from txAt on
    size_t txAt = 0;
    std::string remoteAddress;
    int32_t remotePort = 0;
    std::string lastError;
    std::vector<Endpoint> targets;  // addresses of this attempt still to try
    size_t nextTarget = 0;
    QObject* lookup = nullptr;  // a pending name lookup answers to it
    int lookupId = -1;

    size_t Unsent() const { return tx.size() - txAt; }

    // With `reset` the connection ends in a reset that drops what the kernel
    // still holds unsent; without, that still goes out, then the end.
    void DropSocket(bool reset = false) {
        if (lookup) {
            QHostInfo::abortHostLookup(lookupId);
            delete lookup;  // its answer is never delivered
            lookup = nullptr;
        }
        if (fd >= 0) {
            detail::SocketPoller::ForThisThread().Remove(fd, key);
            if (reset) {
                const linger abortive{1, 0};
                ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
            }
            ::close(fd);
            fd = -1;
            key = 0;
        }
        phase = Phase::Idle;
        writeArmed = false;
        writeError = 0;
        tx.clear();
        txAt = 0;
        targets.clear();
        nextTarget = 0;
    }

    void Shut(bool reset) {
        const bool open = state != kStateClosed;
        DropSocket(reset);
        NewAttempt();
        state = kStateClosed;
        if (open) QueueClosed();
    }

    void NewAttempt() {
        ++attempt;
        inStateEvent = false;
        rx.clear();
        remotePort = 0;
    }

    // ---- reporting ----------------------------------------------------------

    void RaiseState(int32_t reported, const std::weak_ptr<bool>& alive) {
        inStateEvent = true;
        eventState = reported;
        Guarded([&] { owner->OnState(); });
        if (!alive.expired()) inStateEvent = false;
    }

    // A state change found by the loop, raised at once, unless reports posted
    // earlier are still waiting: it then queues behind them to keep the order.
    void Deliver(int32_t newState) {
        if (queuedReports > 0) {
            QueueState(attempt, newState);
            return;
        }
        Commit(newState);
        Report(newState);
    }

    void Commit(int32_t newState) {
        state = newState;
        if (newState == kStateClosed) remotePort = 0;
    }

    // Raises a state report; what arrived before a connect was reported is
    // announced right after it. `this` may be gone on return.
    void Report(int32_t newState) {
        std::weak_ptr<bool> alive = life;
        const uint64_t a = attempt;
        RaiseState(newState, alive);
        if (newState != kStateConnected || alive.expired()) return;
        if (attempt == a && !rx.empty() && state == kStateConnected) {
            Guarded([&] { owner->OnReceive(); });
        }
    }

    // A state change of attempt `a`; dropped when Connect or Close came since.
    void QueueState(uint64_t a, int32_t newState) {
        ++queuedReports;
        EventLoop::Post([this, a, newState, alive = std::weak_ptr<bool>(life)] {
            if (alive.expired()) return;
            --queuedReports;
            if (attempt != a) return;
            Commit(newState);
            Report(newState);
        });
    }

    // The report of a Close: never dropped, whatever the socket does next.
    void QueueClosed() {
        ++queuedReports;
        EventLoop::Post([this, alive = std::weak_ptr<bool>(life)] {
            if (alive.expired()) return;
            --queuedReports;
            RaiseState(kStateClosed, alive);
        });
    }

    // The connection or attempt failed. From the loop it is reported at once,
    // from inside a user call it is posted.
    void Failed(std::string why, bool fromLoop) {
        DropSocket();
        lastError = std::move(why);
        if (fromLoop) {
            Deliver(kStateClosed);
        } else {
            QueueState(attempt, kStateClosed);
        }
    }

    // ---- connecting ---------------------------------------------------------

    void StartLookup(const std::string& host, int32_t port) {
        phase = Phase::Resolving;
        lookup = new QObject();
        const uint64_t a = attempt;
        lookupId = QHostInfo::lookupHost(
            QString::fromStdString(host), lookup, [this, a, port](const QHostInfo& info) {
                if (attempt != a || phase != Phase::Resolving) return;
                // Answers go out of our hands before the user call returns.
                if (inConnectCall) {
                    EventLoop::Post([this, a, port, info, alive = std::weak_ptr<bool>(life)] {
                        if (!alive.expired() && attempt == a && phase == Phase::Resolving) {
                            Resolved(info, port);
                        }
                    });
                    return;
                }
                Resolved(info, port);
            });
    }

    void Resolved(const QHostInfo& info, int32_t port) {
        QObject* done = std::exchange(lookup, nullptr);
        done->deleteLater();  // we are inside its delivery
        targets.clear();
        nextTarget = 0;
        for (const QHostAddress& address : info.addresses()) {
            Endpoint e;
            if (ParseLiteral(address.toString().toStdString(), port, e)) targets.push_back(e);
        }
        if (targets.empty()) {
            Failed(info.error() != QHostInfo::NoError ? info.errorString().toStdString()
                                                      : "Host not found",
                   true);
            return;
        }
        TryNext(true);
    }

    // Starts connecting to the next address; when none is left the attempt fails.
    void TryNext(bool fromLoop) {
        std::string why = "No address to connect to";
        while (nextTarget < targets.size()) {
            const Endpoint& e = targets[nextTarget++];
            const int s =
                ::socket(e.address.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
            if (s < 0) {
                why = ErrorText(errno);
                continue;
            }
            SetNoDelay(s);
            if (::connect(s, reinterpret_cast<const sockaddr*>(&e.address), e.length) != 0 &&
                errno != EINPROGRESS) {
                why = ErrorText(errno);
                ::close(s);
                continue;
            }
            // Connected or not, the outcome is read when the socket turns writable.
            const uint64_t k = detail::SocketPoller::ForThisThread().Add(s, EPOLLOUT, this);
            if (k == 0) {
                why = ErrorText(errno);
                ::close(s);
                continue;
            }
            fd = s;
            key = k;
            phase = Phase::Connecting;
            return;
        }
        Failed(why, fromLoop);
    }

    void ConnectOutcome(uint32_t events) {
        int err = 0;
        socklen_t len = sizeof err;
        if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0) err = errno;
        if (err == 0 && !(events & (EPOLLOUT | EPOLLERR | EPOLLHUP))) return;
        if (err == 0 && (events & (EPOLLERR | EPOLLHUP))) err = ECONNREFUSED;
        const bool itself = err == 0 && ConnectedToItself(fd);
        if (itself) err = ECONNREFUSED;
        if (err != 0) {
            detail::SocketPoller::ForThisThread().Remove(fd, key);
            ::close(fd);
            fd = -1;
            key = 0;
            phase = Phase::Idle;
            if (nextTarget < targets.size()) {
                TryNext(true);
            } else {
                Failed(itself ? kConnectedToItself : ErrorText(err), true);
            }
            return;
        }
        sockaddr_storage peer{};
        socklen_t peerLen = sizeof peer;
        if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &peerLen) == 0) {
            remoteAddress = AddressText(peer, &remotePort);
        }
        targets.clear();
        nextTarget = 0;
        if (!detail::SocketPoller::ForThisThread().Modify(fd, key, kReadEvents)) {
            Failed(ErrorText(errno), true);
            return;
        }
        phase = Phase::Open;
        Deliver(kStateConnected);
    }

    // Takes over a connection a server accepted.
    bool Adopt(int s, const sockaddr_storage& peer) {
        const uint64_t k = detail::SocketPoller::ForThisThread().Add(s, kReadEvents, this);
        if (k == 0) return false;
        SetNoDelay(s);
        fd = s;
        key = k;
        phase = Phase::Open;
        state = kStateConnected;
        remoteAddress = AddressText(peer, &remotePort);
        return true;
    }

    // ---- connected ----------------------------------------------------------

    void SetWriteWatch(bool on) {
        if (on == writeArmed) return;
        if (detail::SocketPoller::ForThisThread().Modify(
                fd, key, kReadEvents | (on ? uint32_t{EPOLLOUT} : 0u))) {
            writeArmed = on;
        }
    }

    // Writes what the kernel takes now; false on a broken connection (errno set).
    bool Flush() {
        while (txAt < tx.size()) {
            const ssize_t n = ::send(fd, tx.data() + txAt, tx.size() - txAt, MSG_NOSIGNAL);
            if (n > 0) {
                txAt += static_cast<size_t>(n);
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                break;
            } else {
                return false;
            }
        }
        if (txAt == tx.size()) {
            tx.clear();
            txAt = 0;
            SetWriteWatch(false);
        } else if (txAt >= kBusyBytes && txAt * 2 >= tx.size()) {
            tx.erase(0, txAt);  // the sent part goes before it grows the buffer
            txAt = 0;
        }
        return true;
    }

    void Write(std::string_view data) {
        if (Unsent() == 0) {
            const size_t direct = std::min(data.size(), kDirectBytes);
            size_t sent = 0;
            while (sent < direct) {
                const ssize_t n = ::send(fd, data.data() + sent, direct - sent, MSG_NOSIGNAL);
                if (n > 0) {
                    sent += static_cast<size_t>(n);
                } else if (n < 0 && errno == EINTR) {
                    continue;
                } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                    break;
                } else {
                    // Reported from the loop, which sees the broken socket at once.
                    writeError = n < 0 ? errno : EPIPE;
                    return;
                }
            }
            if (sent == data.size()) return;
            tx.assign(data.substr(sent));
            txAt = 0;
        } else {
            tx.append(data);
        }
        SetWriteWatch(true);
    }

    // Reads this turn's share; `got` tells whether anything came, `why` is set
    // when the connection ended. False when the share ran out with input
    // perhaps still waiting in the kernel.
    bool ReadIn(uint32_t events, bool& got, std::string& why) {
        const bool ending = events & (EPOLLRDHUP | EPOLLHUP | EPOLLERR);
        char* buffer = ReadBuffer();
        size_t taken = 0;
        while (taken < kReadShare) {
            const size_t want = std::min(kReadChunk, kReadShare - taken);
            const ssize_t n = ::recv(fd, buffer, want, 0);
            if (n > 0) {
                rx.append(buffer, static_cast<size_t>(n));
                got = true;
                taken += static_cast<size_t>(n);
                // A short read took all there was, unless the end is pending too.
                if (static_cast<size_t>(n) < want && !ending) return true;
            } else if (n == 0) {
                why = kRemoteClosed;
                return true;
            } else if (errno == EINTR) {
                continue;
            } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
                return true;  // also a poll whose data an earlier turn took
            } else {
                why = ErrorText(errno);
                return true;
            }
        }
        return false;
    }

    // The end of a connection is reported only once everything before it was
    // read, so that it stays readable from the closed report.
    std::string EndSeen(uint32_t events, bool inputDone) {
        if (!inputDone) return {};
        if (writeError) return ErrorText(writeError);
        if (!(events & (EPOLLHUP | EPOLLERR))) return {};
        int err = 0;
        socklen_t len = sizeof err;
        getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len);
        return err ? ErrorText(err) : kRemoteClosed;
    }

    void OnPoll(uint32_t events) override {
        if (phase == Phase::Connecting) {
            ConnectOutcome(events);
            return;
        }
        if (phase != Phase::Open) return;
        std::string why;
        if ((events & EPOLLOUT) && !writeError && !Flush()) writeError = errno;
        bool got = false;
        bool inputDone = true;
        if (events & (EPOLLIN | EPOLLRDHUP | EPOLLHUP | EPOLLERR)) {
            inputDone = ReadIn(events, got, why);
        }
        if (why.empty()) why = EndSeen(events, inputDone);
        const std::weak_ptr<bool> alive = life;
        const uint64_t a = attempt;
        // Data before the connect's report waits for it (see Deliver).
        if (got && state == kStateConnected) {
            Guarded([&] { owner->OnReceive(); });
            if (alive.expired() || attempt != a) return;  // destroyed, closed or reconnected
        }
        if (why.empty()) return;
        // What arrived before the end stays readable from the closed report.
        DropSocket();
        lastError = why;
        Deliver(kStateClosed);
    }
};

TcpSocket::TcpSocket() : impl_(std::make_unique<Impl>(this)) {}

TcpSocket::~TcpSocket() = default;

void TcpSocket::Connect(const std::string& host, int32_t port) {
    impl_->thread.Check("Connect");
    if (host.empty()) Fail("No host to connect to");
    if (port < 1 || port > 65535) Fail("Port out of range: " + std::to_string(port));
    if (impl_->state == kStateConnected) Fail("The socket is already connected");
    detail::SocketPoller::ForThisThread();  // the loop exists from here on
    Impl& in = *impl_;
    in.DropSocket();  // a pending attempt gives way to this one
    in.NewAttempt();
    in.lastError.clear();
    in.state = kStateConnecting;
    in.inConnectCall = true;
    Endpoint literal;
    if (ParseLiteral(host, port, literal)) {
        in.targets.push_back(literal);
    } else if (IsLocalhost(host)) {
        // Known without asking anyone; IPv4 first, as servers here mostly listen there.
        Endpoint e;
        if (ParseLiteral("127.0.0.1", port, e)) in.targets.push_back(e);
        if (ParseLiteral("::1", port, e)) in.targets.push_back(e);
    }
    if (!in.targets.empty()) {
        in.TryNext(false);
    } else {
        in.StartLookup(host, port);
    }
    in.inConnectCall = false;
}

int32_t TcpSocket::State() const {
    return impl_->inStateEvent ? impl_->eventState : impl_->state;
}

bool TcpSocket::Busy() const {
    return impl_->state != kStateConnected || impl_->phase != Impl::Phase::Open ||
           impl_->writeError != 0 || impl_->Unsent() > kBusyBytes;
}

void TcpSocket::Send(std::string_view data) {
    Impl& in = *impl_;
    in.thread.Check("Send");
    if (in.state != kStateConnected || in.phase != Impl::Phase::Open) {
        Fail("The socket is not connected");
    }
    if (in.writeError) Fail("Send failed: " + ErrorText(in.writeError));
    if (data.empty()) return;
    in.Write(data);
}

size_t TcpSocket::Receive(std::string& out) {
    out.clear();
    out.swap(impl_->rx);  // the caller's buffer becomes our next one
    return out.size();
}

void TcpSocket::Close() {
    impl_->thread.Check("Close");
    impl_->Shut(false);
}

void TcpSocket::Abort() {
    impl_->thread.Check("Abort");
    impl_->Shut(true);
}

std::string TcpSocket::RemoteAddress() const {
    return impl_->remoteAddress;
}

int32_t TcpSocket::Port() const {
    return impl_->state == kStateConnected ? impl_->remotePort : 0;
}

std::string TcpSocket::LastError() const {
    return impl_->lastError;
}

// ---- TcpServer --------------------------------------------------------------

struct TcpServer::Impl final : detail::PollWatcher {
    explicit Impl(TcpServer* o) : owner(o) {}
    ~Impl() { Stop(); }

    TcpServer* owner;
    std::shared_ptr<bool> life = std::make_shared<bool>(true);
    int fd = -1;
    uint64_t key = 0;
    int32_t port = 0;

    void Stop() {
        if (fd < 0) return;
        detail::SocketPoller::ForThisThread().Remove(fd, key);
        ::close(fd);
        fd = -1;
        key = 0;
        port = 0;
    }

    void OnPoll(uint32_t) override {
        const std::weak_ptr<bool> alive = life;
        for (int i = 0; i < kAcceptsPerTurn && fd >= 0; ++i) {
            sockaddr_storage peer{};
            socklen_t len = sizeof peer;
            const int s = ::accept4(fd, reinterpret_cast<sockaddr*>(&peer), &len,
                                    SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (s < 0) {
                if (errno == EINTR || errno == ECONNABORTED) continue;
                return;  // nothing more waiting (or out of descriptors: tried again later)
            }
            auto socket = std::make_shared<TcpSocket>();
            if (!socket->impl_->Adopt(s, peer)) {
                ::close(s);
                continue;
            }
            // Before any data event, so the handler can subscribe to them.
            Guarded([&] { owner->OnAccept(socket); });
            if (alive.expired()) return;
        }
    }
};

TcpServer::TcpServer() : impl_(std::make_unique<Impl>(this)) {}

TcpServer::~TcpServer() = default;

void TcpServer::Listen(const std::string& address, int32_t port) {
    if (port < 0 || port > 65535) Fail("Port out of range: " + std::to_string(port));
    if (impl_->fd >= 0) Fail("The server is already listening");
    std::vector<Endpoint> candidates;
    Endpoint e;
    if (address.empty() || address == "*") {
        // Every address: IPv6 taking IPv4 too, or IPv4 alone without IPv6.
        ParseLiteral("::", port, e);
        candidates.push_back(e);
        ParseLiteral("0.0.0.0", port, e);
        candidates.push_back(e);
    } else if (IsLocalhost(address)) {
        ParseLiteral("127.0.0.1", port, e);
        candidates.push_back(e);
    } else if (ParseLiteral(address, port, e)) {
        candidates.push_back(e);
    } else {
        Fail("Not an address to listen on: " + address);
    }
    detail::SocketPoller& poller = detail::SocketPoller::ForThisThread();
    std::string why;
    for (const Endpoint& c : candidates) {
        const int s = ::socket(c.address.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (s < 0) {
            why = ErrorText(errno);
            continue;
        }
        const int on = 1, off = 0;
        // A port given back is taken again at once, whatever lingers on it.
        setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        if (c.address.ss_family == AF_INET6) {
            setsockopt(s, IPPROTO_IPV6, IPV6_V6ONLY, &off, sizeof off);
        }
        uint64_t k = 0;
        if (::bind(s, reinterpret_cast<const sockaddr*>(&c.address), c.length) != 0 ||
            ::listen(s, kListenBacklog) != 0 || (k = poller.Add(s, EPOLLIN, impl_.get())) == 0) {
            why = ErrorText(errno);
            ::close(s);
            continue;
        }
        sockaddr_storage bound{};
        socklen_t len = sizeof bound;
        getsockname(s, reinterpret_cast<sockaddr*>(&bound), &len);
        impl_->fd = s;
        impl_->key = k;
        AddressText(bound, &impl_->port);
        return;
    }
    Fail("Cannot listen on " + address + ":" + std::to_string(port) + ": " + why);
}

int32_t TcpServer::Port() const {
    return impl_->port;
}

void TcpServer::Close() {
    impl_->Stop();
}

}  // namespace platform
