#pragma once
// The session's socket client: connects and reconnects on a connect timer
// whose interval each client draws at random (3000-5999 ms), runs the
// handshake watchdog, cuts the received text into whole command messages with
// the session's message object and reports state and messages as events.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/TcpSocket.h"
#include "platform/Timer.h"
#include "protocol/CProcess.h"
#include "runtime/Event.h"

namespace KVClientDLL10 {

class CTcpClient {
public:
    // Received text held without an end marker beyond this much is not a
    // message in the making: the connection is dropped (ReceiveBufferOverflow).
    static constexpr size_t kReceiveBufferCap = size_t{16} << 20;
    static constexpr int32_t kMinConnectInterval = 3000;
    static constexpr int32_t kMaxConnectInterval = 5999;

    CTcpClient();
    ~CTcpClient();
    CTcpClient(const CTcpClient&) = delete;
    CTcpClient& operator=(const CTcpClient&) = delete;

    // Restarts the connect timer and tries at once.
    void Connect();
    // Restarts the connect timer without trying now: the first attempt comes
    // one ConnectInterval later.
    void ConnectLater();
    // While True the watchdog's firing does nothing. Setting it restarts the watchdog.
    bool DontAutoDisconnect() const { return dontAutoDisconnect_; }
    void setDontAutoDisconnect(bool value);
    // Stops the connect timer and closes the socket; the close is reported
    // (State(1)) from the event loop. A reconnect follows only when vRelogin and
    // AutoReloginOption are both True. What was sent still reaches the server.
    void Disconnect(bool vRelogin);
    // Disconnect for a connection the client gives up on (silence past the
    // watchdog, unreadable input): the socket is reset, so what the server has
    // not received yet is dropped rather than delivered long after the session
    // counted it lost.
    void GiveUp(bool vRelogin);
    // A handshake message arrived: the watchdog's full interval starts again.
    void HandshakeMsgRecieved();
    // 0 while the socket is connected, 1 otherwise.
    int32_t Status() const;
    // A value below 1 or above 65535 (or not a number) is ignored.
    double ServerPort() const { return serverPort_; }
    void setServerPort(double value);
    const std::string& ServerAddress() const { return serverAddress_; }
    void setServerAddress(const std::string& value) { serverAddress_ = value; }
    // True while the socket cannot take a send.
    bool Blocked() const;
    // Only type 1 runs the watchdog.
    int32_t ServerType() const { return serverType_; }
    void setServerType(int32_t value) { serverType_ = value; }
    // The watchdog's interval in milliseconds.
    int32_t HandshakeMsgTimer() const { return m_oHandshakeMsgTimer->Interval(); }
    void setHandshakeMsgTimer(int32_t ms) { m_oHandshakeMsgTimer->SetInterval(ms); }
    // Sets the relogin-wanted flag too.
    bool AutoReloginOption() const { return autoReloginOption_; }
    void setAutoReloginOption(bool value);
    // The socket is down and will be connected again without anybody asking.
    bool isConnecting() const;
    // The session's message object that cuts the received text.
    void setProcess(std::shared_ptr<KVGeneralDLL10::CProcess> process) {
        process_ = std::move(process);
    }
    const std::shared_ptr<platform::TcpSocket>& Child() const { return m_oTCP; }

    // The connect-retry interval this client drew at creation.
    int32_t ConnectInterval() const { return m_oConnectTimer->Interval(); }

    // 0 when the socket has connected, 1 when a close is reported (once per connection).
    runtime::Event<int32_t /*currentStatus*/> State;
    // One whole command message, without its end marker; in stream order.
    runtime::Event<const std::string& /*rData*/> Receive;
    // Declared for the interface; never raised.
    runtime::Event<> NotConnected;
    // The watchdog fired; the connection is being dropped with re-login wanted.
    runtime::Event<> DisconnectNoHandshakeMsg;
    // The received text held without an end marker passed kReceiveBufferCap;
    // the connection is being dropped with re-login wanted.
    runtime::Event<size_t /*pendingBytes*/> ReceiveBufferOverflow;

private:
    void OnSocketState();
    void OnSocketReceive();
    void OnConnectTick();
    void OnHandshakeTick();
    void RestartConnectTimer();
    void StopConnectTimer();
    void Close(bool vRelogin, bool reset);

    std::shared_ptr<platform::TcpSocket> m_oTCP;
    std::unique_ptr<platform::Timer> m_oConnectTimer;
    std::unique_ptr<platform::Timer> m_oHandshakeMsgTimer;
    std::shared_ptr<KVGeneralDLL10::CProcess> process_;

    bool dontAutoDisconnect_ = false;
    bool autoReloginOption_ = true;
    bool reloginWanted_ = true;
    int32_t closed_ = 1;  // 0 while connected as reported
    int32_t serverType_ = 1;
    double serverPort_ = 4500;
    std::string serverAddress_;

    // Bumped by every connect, disconnect and reported state change: messages
    // of a batch cut from an older connection are not delivered.
    uint64_t generation_ = 0;
    size_t pendingBytes_ = 0;  // received text after the last end marker
    std::string received_;     // reused receive buffer
    std::vector<std::string> rows_;
    std::shared_ptr<char> life_ = std::make_shared<char>();
};

}  // namespace KVClientDLL10
