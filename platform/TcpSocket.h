#pragma once
// Asynchronous TCP client socket. Outcomes arrive as events from the event
// loop, never inside the call that caused them: OnState after a connect
// succeeds or fails and after every close; OnReceive when data is buffered.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "runtime/Event.h"
#include "runtime/Variant.h"

namespace platform {

class TcpSocket {
public:
    static constexpr int32_t StateClosed = 0;
    static constexpr int32_t StateConnecting = 1;
    static constexpr int32_t StateConnected = 2;

    TcpSocket();
    ~TcpSocket();
    TcpSocket(const TcpSocket&) = delete;
    TcpSocket& operator=(const TcpSocket&) = delete;

    // Starts connecting; raises runtime::Error on a bad argument (empty host, port
    // outside 1-65535) or while not closed.
    void Connect(const std::string& host, int32_t port);
    int32_t State() const;
    // True while the socket cannot take a send (not connected, or output backed up).
    bool Busy() const;
    // Queues the whole text; raises runtime::Error when not connected.
    void Send(std::string_view data);
    // Moves everything received so far into `out` (replacing it); returns its length.
    size_t Receive(std::string& out);
    // Closes (aborting what is unsent); an OnState event follows when it was open or connecting.
    void Close();

    std::string RemoteAddress() const;
    int32_t Port() const;  // remote port, 0 while not connected
    std::string LastError() const;

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
    // Port 0 picks a free port. Raises runtime::Error when it cannot listen.
    void Listen(const std::string& address = "127.0.0.1", int32_t port = 0);
    int32_t Port() const;
    void Close();

    runtime::Event<std::shared_ptr<TcpSocket>> OnAccept;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace platform
