#include "platform/TcpSocket.h"

#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>

#include "platform/EventLoop.h"
#include "runtime/Error.h"

namespace platform {

namespace {

// More unsent output than this and the socket reports itself busy.
constexpr qint64 kBusyBytes = 1 << 20;

std::string AddressText(const QHostAddress& address) {
    bool mapped = false;
    const quint32 v4 = address.toIPv4Address(&mapped);
    if (mapped) return QHostAddress(v4).toString().toStdString();
    return address.toString().toStdString();
}

[[noreturn]] void Fail(const std::string& text) {
    throw runtime::Error(runtime::errc::InvalidProcedureCall, text);
}

}  // namespace

// Qt's signals only record what happened and queue an event; user code runs
// from those queued events alone. So no handler ever runs inside a Qt signal
// of this socket, nor inside the call that caused it, and a handler may
// destroy the TcpSocket (and with it the QTcpSocket) freely.
struct TcpSocket::Impl {
    explicit Impl(TcpSocket* o) : owner(o) {}
    ~Impl() { DropSocket(); }

    TcpSocket* owner;
    std::shared_ptr<bool> life = std::make_shared<bool>(true);  // queued events check it
    QTcpSocket* sock = nullptr;
    int32_t state = StateClosed;  // as last reported (or set by Connect/Close)
    bool inStateEvent = false;    // State() then tells what that event reports
    int32_t eventState = StateClosed;
    uint64_t attempt = 0;     // Connect and Close start a new one
    bool dropQueued = false;  // this attempt's failure or drop is queued
    bool receiveQueued = false;
    std::string rx;
    std::string remoteAddress;
    int32_t remotePort = 0;
    std::string lastError;

    void Wire(QTcpSocket* s) {
        sock = s;
        const uint64_t a = attempt;
        QObject::connect(s, &QTcpSocket::connected, s, [this, a] { QtConnected(a); });
        QObject::connect(s, &QTcpSocket::readyRead, s, [this] { ReadAvailable(true); });
        QObject::connect(s, &QAbstractSocket::errorOccurred, s,
                         [this](QAbstractSocket::SocketError) {
                             lastError = sock->errorString().toStdString();
                         });
        QObject::connect(s, &QAbstractSocket::stateChanged, s,
                         [this, a](QAbstractSocket::SocketState st) {
                             if (st == QAbstractSocket::UnconnectedState) QtGone(a);
                         });
    }

    void DropSocket() {
        if (!sock) return;
        sock->blockSignals(true);  // an abort must not report anything
        sock->abort();
        delete sock;
        sock = nullptr;
    }

    void NotePeer() {
        remoteAddress = AddressText(sock->peerAddress());
        remotePort = sock->peerPort();
        sock->setSocketOption(QAbstractSocket::LowDelayOption, 1);  // small request messages
    }

    void QtConnected(uint64_t a) {
        NotePeer();
        QueueState(a, StateConnected);
    }

    void QtGone(uint64_t a) {
        ReadAvailable(true);  // what arrived before the close is still delivered, first
        if (dropQueued) return;
        dropQueued = true;
        if (lastError.empty()) lastError = "The connection was closed";
        QueueState(a, StateClosed);
    }

    void ReadAvailable(bool notify) {
        if (!sock) return;
        const qint64 n = sock->bytesAvailable();
        if (n <= 0) return;
        const size_t old = rx.size();
        rx.resize(old + static_cast<size_t>(n));
        const qint64 got = sock->read(rx.data() + old, n);
        rx.resize(old + static_cast<size_t>(got > 0 ? got : 0));
        if (notify && got > 0 && !receiveQueued) {
            receiveQueued = true;
            EventLoop::Post([this, alive = std::weak_ptr<bool>(life)] {
                if (alive.expired()) return;
                receiveQueued = false;
                if (rx.empty()) return;  // taken already, or dropped by Close
                owner->OnReceive();
            });
        }
    }

    // A state change of attempt `a`; dropped when Connect or Close came since.
    void QueueState(uint64_t a, int32_t newState) {
        EventLoop::Post([this, a, newState, alive = std::weak_ptr<bool>(life)] {
            if (alive.expired() || attempt != a) return;
            state = newState;
            if (newState == StateClosed) remotePort = 0;
            RaiseState(newState, alive);
        });
    }

    // The report of a Close: never dropped, whatever the socket does next.
    void QueueClosed() {
        EventLoop::Post([this, alive = std::weak_ptr<bool>(life)] {
            if (alive.expired()) return;
            RaiseState(StateClosed, alive);
        });
    }

    void RaiseState(int32_t reported, const std::weak_ptr<bool>& alive) {
        inStateEvent = true;
        eventState = reported;
        owner->OnState();
        if (!alive.expired()) inStateEvent = false;
    }

    void NewAttempt() {
        ++attempt;
        dropQueued = false;
        inStateEvent = false;
        rx.clear();
        remotePort = 0;
    }
};

TcpSocket::TcpSocket() : impl_(std::make_unique<Impl>(this)) {}

TcpSocket::~TcpSocket() = default;

void TcpSocket::Connect(const std::string& host, int32_t port) {
    if (host.empty()) Fail("No host to connect to");
    if (port < 1 || port > 65535) Fail("Port out of range: " + std::to_string(port));
    if (impl_->state == StateConnected) Fail("The socket is already connected");
    EventLoop::Ensure();
    impl_->DropSocket();  // a pending attempt gives way to this one
    impl_->NewAttempt();
    impl_->lastError.clear();
    impl_->state = StateConnecting;
    impl_->Wire(new QTcpSocket());
    impl_->sock->connectToHost(QString::fromStdString(host), static_cast<quint16>(port));
}

int32_t TcpSocket::State() const {
    return impl_->inStateEvent ? impl_->eventState : impl_->state;
}

bool TcpSocket::Busy() const {
    return impl_->state != StateConnected || !impl_->sock ||
           impl_->sock->bytesToWrite() > kBusyBytes;
}

void TcpSocket::Send(std::string_view data) {
    if (impl_->state != StateConnected || !impl_->sock) Fail("The socket is not connected");
    if (data.empty()) return;
    const qint64 n = impl_->sock->write(data.data(), static_cast<qint64>(data.size()));
    if (n != static_cast<qint64>(data.size())) {
        Fail("Send failed: " + impl_->sock->errorString().toStdString());
    }
}

size_t TcpSocket::Receive(std::string& out) {
    impl_->ReadAvailable(false);
    out.clear();
    out.swap(impl_->rx);  // the caller's buffer becomes our next one
    return out.size();
}

void TcpSocket::Close() {
    const bool open = impl_->state != StateClosed;
    impl_->DropSocket();
    impl_->NewAttempt();
    impl_->state = StateClosed;
    if (open) impl_->QueueClosed();
}

std::string TcpSocket::RemoteAddress() const {
    return impl_->remoteAddress;
}

int32_t TcpSocket::Port() const {
    return impl_->state == StateConnected ? impl_->remotePort : 0;
}

std::string TcpSocket::LastError() const {
    return impl_->lastError;
}

// ---- TcpServer --------------------------------------------------------------

struct TcpServer::Impl {
    std::shared_ptr<bool> life = std::make_shared<bool>(true);
    QTcpServer* server = nullptr;

    ~Impl() {
        if (!server) return;
        server->blockSignals(true);
        delete server;  // also the accepted connections nobody took yet
    }
};

TcpServer::TcpServer() : impl_(std::make_unique<Impl>()) {}

TcpServer::~TcpServer() = default;

void TcpServer::Listen(const std::string& address, int32_t port) {
    if (port < 0 || port > 65535) Fail("Port out of range: " + std::to_string(port));
    if (impl_->server && impl_->server->isListening()) Fail("The server is already listening");
    QHostAddress host;
    if (address.empty() || address == "*") {
        host = QHostAddress(QHostAddress::Any);  // IPv4 and IPv6
    } else if (address == "localhost") {
        host = QHostAddress(QHostAddress::LocalHost);
    } else if (!host.setAddress(QString::fromStdString(address))) {
        Fail("Not an address to listen on: " + address);
    }
    EventLoop::Ensure();
    if (!impl_->server) {
        impl_->server = new QTcpServer();
        QTcpServer* server = impl_->server;
        QObject::connect(server, &QTcpServer::newConnection, server, [this, server] {
            while (QTcpSocket* s = server->nextPendingConnection()) {
                s->setParent(nullptr);  // owned by the TcpSocket from here on
                auto socket = std::make_shared<TcpSocket>();
                // The accept goes first so its handler can subscribe before any data event.
                EventLoop::Post([this, socket, alive = std::weak_ptr<bool>(impl_->life)] {
                    if (!alive.expired()) OnAccept(socket);
                });
                TcpSocket::Impl& in = *socket->impl_;
                in.NewAttempt();
                in.state = TcpSocket::StateConnected;
                in.Wire(s);
                in.NotePeer();
                in.ReadAvailable(true);
                if (s->state() != QAbstractSocket::ConnectedState) in.QtGone(in.attempt);
            }
        });
    }
    if (!impl_->server->listen(host, static_cast<quint16>(port))) {
        Fail("Cannot listen on " + address + ":" + std::to_string(port) + ": " +
             impl_->server->errorString().toStdString());
    }
}

int32_t TcpServer::Port() const {
    return impl_->server && impl_->server->isListening() ? impl_->server->serverPort() : 0;
}

void TcpServer::Close() {
    if (impl_->server) impl_->server->close();
}

}  // namespace platform
