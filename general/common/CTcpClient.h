#pragma once
// The general library's client end of one TCP connection: connects directly or
// through a proxy (by way of the HTTP tunnel, which answers a local port on
// 127.0.0.1), retries on a connect timer whose interval each client draws once
// (5000-10999 ms), watches the line for silence, cuts the received text into
// command messages and sends texts through a bounded queue drained by a 10 ms
// timer (one text per tick, in the order of Send calls). It can also test a
// proxy asynchronously.
//
// Events are raised from the event loop (socket and timer events), except
// SentData and NotConnected, which Send raises inside the call, and a
// ProxyTestResult for a test that cannot start, which TestProxy raises inside
// the call. A handler may call back into the client or release it.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "general/common/CQueue.h"
#include "general/common/Enums.h"
#include "general/common/ISafeObject.h"
#include "runtime/Event.h"

namespace platform {
class HttpTunnel;
class TcpSocket;
class Timer;
}  // namespace platform

namespace OrbanelGeneral10 {

class CDataProtocol;

class CTcpClient : public ISafeObject {
public:
    static constexpr int32_t kMinConnectInterval = 5000;
    static constexpr int32_t kMaxConnectInterval = 10999;
    static constexpr int32_t kSendInterval = 10;
    static constexpr int32_t kProxyTestPollInterval = 100;
    // Received text held without an end marker beyond this much is not a
    // message in the making: the connection is dropped with re-login wanted.
    static constexpr size_t kReceiveBufferCap = size_t{16} << 20;

    CTcpClient();
    ~CTcpClient() override;
    CTcpClient(const CTcpClient&) = delete;
    CTcpClient& operator=(const CTcpClient&) = delete;

    // Restarts the connect timer and tries at once.
    void Connect();
    // Raises SentData(length) and runs one send tick at once: the head of the
    // queue goes out when connected, or is dropped after NotConnected when
    // not. A text the queue cannot take (5000 waiting) is refused with
    // runtime::Error(6) and no SentData.
    void Send(const std::string& txt);
    // Stops the connect timer and closes the connection (and the tunnel, with
    // the proxy enabled); the close is reported from the event loop. A
    // reconnect follows only when vRelogin and AutoReloginOption are both True.
    void Disconnect(bool vRelogin = false);
    // Any sign of life: with ServerType 1 the watchdog's full interval starts again.
    void HandshakeMsgRecieved();
    TCPClientStatusType Status() const;

    // Values below 1 or above 65535 (or not a number) are ignored.
    double ServerPort() const { return serverPort_; }
    void setServerPort(double value);
    const std::string& ServerAddress() const { return serverAddress_; }
    void setServerAddress(const std::string& value) { serverAddress_ = value; }

    int32_t proxyPort() const { return proxyPort_; }
    void setProxyPort(int32_t value) { proxyPort_ = value; }
    // Chooses the tunnel path at the next connect.
    bool ProxyEnabled() const { return proxyEnabled_; }
    void setProxyEnabled(bool value) { proxyEnabled_ = value; }
    const std::string& proxyAddress() const { return proxyAddress_; }
    void setProxyAddress(const std::string& value) { proxyAddress_ = value; }
    const std::string& ProxyUsername() const { return proxyUsername_; }
    void setProxyUsername(const std::string& value) { proxyUsername_ = value; }
    const std::string& ProxyPassword() const { return proxyPassword_; }
    void setProxyPassword(const std::string& value) { proxyPassword_ = value; }
    ProxyTypeEnum ProxyType() const { return proxyType_; }
    void setProxyType(ProxyTypeEnum value) { proxyType_ = value; }

    // The socket's busy flag: True while it cannot take a send.
    bool Blocked() const;
    // Only DisconnectWhenNoHandshakMsgType (1) runs the watchdog.
    TCPServerTypeEnum ServerType() const { return serverType_; }
    void setServerType(TCPServerTypeEnum value) { serverType_ = value; }
    // The watchdog's interval in milliseconds (100000 at creation).
    int32_t HandshakeMsgTimer() const;
    void setHandshakeMsgTimer(int32_t ms);
    // Sets the relogin-wanted flag too.
    bool AutoReloginOption() const { return autoReloginOption_; }
    void setAutoReloginOption(bool value);
    // Down, and to be connected again without anybody asking.
    bool isConnecting() const;

    // Starts an asynchronous test of a proxy against the proxy-test host; the
    // outcome arrives as ProxyTestResult.
    void TestProxy(const std::string& proxyAddress, int32_t proxyPort, const std::string& Username,
                   const std::string& password, ProxyTypeEnum ProxyType);

    // The socket; empty after Deallocate.
    const std::shared_ptr<platform::TcpSocket>& Child() const { return m_oTCP; }

    // Closes everything and lets go of the socket, the tunnel, the timers and
    // the codec. Plain properties stay readable; members that need the socket
    // or a timer then raise runtime::Error(91).
    void Deallocate() override;

    // The host TestProxy asks the proxy to reach: a public web host unless set
    // otherwise (tests point it at loopback). Shared by every client.
    static std::string ProxyTestHost();
    static void setProxyTestHost(const std::string& host);
    static int32_t ProxyTestPort();
    static void setProxyTestPort(int32_t port);

    // The connect-retry interval this client drew at creation.
    int32_t ConnectInterval() const;

    runtime::Event<TCPClientStatusType /*currentStatus*/> State;
    // One whole command message, without its end marker; in stream order.
    runtime::Event<const std::string& /*rData*/> Receive;
    // A queued text met a closed connection and was dropped.
    runtime::Event<> NotConnected;
    runtime::Event<ProxyTestResultEnum /*Result*/, const std::string& /*ErrorMsg*/> ProxyTestResult;
    // Once per received chunk, before its messages.
    runtime::Event<int32_t /*Bytes*/> ReceivedData;
    // Once per text that Send queued, before it leaves.
    runtime::Event<int32_t /*Bytes*/> SentData;

private:
    void OnSocketState();
    void OnSocketReceive();
    void OnConnectTick();
    void OnHandshakeTick();
    void OnSendTick();
    void OnProxyTestTick();
    void RestartConnectTimer();
    void CloseTunnel();
    platform::TcpSocket& Socket() const;
    platform::Timer& Need(const std::unique_ptr<platform::Timer>& timer) const;

    std::shared_ptr<platform::TcpSocket> m_oTCP;
    std::unique_ptr<platform::HttpTunnel> tunnel_;  // the tunnel library
    int32_t tunnelHandle_ = 0;
    std::unique_ptr<CDataProtocol> codec_;
    CQueue sendQueue_;
    std::unique_ptr<platform::Timer> m_oConnectTimer;
    std::unique_ptr<platform::Timer> m_oHandshakeMsgTimer;
    std::unique_ptr<platform::Timer> m_oSendTimer;
    std::unique_ptr<platform::Timer> m_oProxyTestTimer;

    double serverPort_ = 4500;
    std::string serverAddress_;
    bool proxyEnabled_ = false;
    std::string proxyAddress_;
    int32_t proxyPort_ = 0;
    std::string proxyUsername_;
    std::string proxyPassword_;
    ProxyTypeEnum proxyType_ = HTTPProxy;
    TCPServerTypeEnum serverType_ = DisconnectWhenNoHandshakMsgType;
    bool autoReloginOption_ = true;
    bool reloginWanted_ = true;
    int32_t closed_ = 1;  // 0 while connected as reported

    // Bumped by every connect, disconnect and reported state change: messages
    // of a batch cut from an older connection are not delivered.
    uint64_t generation_ = 0;
    size_t pendingBytes_ = 0;  // received text after the last end marker
    std::string received_;     // reused receive buffer
    std::shared_ptr<char> life_ = std::make_shared<char>();
};

}  // namespace OrbanelGeneral10
