#pragma once
// Asynchronous TCP client socket. Outcomes arrive as events from the event
// loop, never inside the call that caused them: OnState after a connect
// succeeds or fails and after every close (once per drop, whoever closed);
// OnReceive when data is buffered. Inside an OnState handler State() is the
// state that event reports (unless the handler connects or closes again).
// A handler may destroy the socket.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "runtime/Event.h"
#include "runtime/Variant.h"

namespace platform {

class TcpSocket {
public:
    static constexpr int32_t kStateClosed = 0;
    static constexpr int32_t kStateConnecting = 1;
    static constexpr int32_t kStateConnected = 2;

    TcpSocket();
    ~TcpSocket();
    TcpSocket(const TcpSocket&) = delete;
    TcpSocket& operator=(const TcpSocket&) = delete;

    // Starts connecting to a host name or address; raises runtime::Error(5) on a
    // bad argument (empty host, port outside 1-65535) or while connected. While
    // still connecting the pending attempt is dropped (no event) and a new one starts.
    void Connect(const std::string& host, int32_t port);
    int32_t State() const;
    // True while the socket cannot take a send (not connected, or output backed up).
    bool Busy() const;
    // Queues the whole text; raises runtime::Error(5) when not connected.
    void Send(std::string_view data);
    // Moves everything received so far into `out` (replacing it); returns its length.
    size_t Receive(std::string& out);
    // Closes, dropping output still queued here; what the kernel already took
    // still goes out before the end. An OnState event follows when it was open or connecting.
    void Close();
    // Closes as Close does, but abortively: the peer gets a reset and what the
    // kernel still holds unsent is dropped, so it cannot reach the peer later.
    void Abort();

    std::string RemoteAddress() const;  // the last peer's address ("" before any)
    int32_t Port() const;               // remote port, 0 while not connected
    std::string LastError() const;      // why the last connection failed or dropped

    runtime::Variant Tag;

    runtime::Event<> OnState;
    runtime::Event<> OnReceive;

private:
    friend class TcpServer;
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Listening socket on a loopback or any address; each accepted connection is
// handed over as a connected TcpSocket.
class TcpServer {
public:
    TcpServer();
    ~TcpServer();
    // An address ("127.0.0.1", "::1", "0.0.0.0"), "localhost", or "" for every
    // address. Port 0 picks a free port. Raises runtime::Error(5) when it cannot listen.
    void Listen(const std::string& address = "127.0.0.1", int32_t port = 0);
    int32_t Port() const;
    void Close();

    runtime::Event<std::shared_ptr<TcpSocket>> OnAccept;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace platform
