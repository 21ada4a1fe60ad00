#pragma once
// The general library's client of one server connection, with proxy and
// tunnel support: it owns one CTcpClient, exposes its settings and operations
// under the same names and hands every complete received command message to
// its host as a parsed CProcess. It adds the session id `sid`, which only the
// host reads. It has no Send: a host sends through Child or CProcess::Send.
//
// Events come from the event loop as the TCP client raises them; a handler may
// call back in or release this object.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "general/common/CProcess.h"
#include "general/common/CTcpClient.h"
#include "general/common/Enums.h"
#include "runtime/Event.h"

namespace platform {
class TcpSocket;
}

namespace OrbanelGeneral10 {

class CHClient {
public:
    CHClient();
    ~CHClient();
    CHClient(const CHClient&) = delete;
    CHClient& operator=(const CHClient&) = delete;

    const std::shared_ptr<platform::TcpSocket>& Child() const { return m_oTCPClient->Child(); }
    TCPClientStatusType Status() const { return m_oTCPClient->Status(); }
    // Values below 1 or above 65535 are ignored.
    double ServerPort() const { return m_oTCPClient->ServerPort(); }
    void setServerPort(double value) { m_oTCPClient->setServerPort(value); }
    const std::string& ServerAddress() const { return m_oTCPClient->ServerAddress(); }
    void setServerAddress(const std::string& value) { m_oTCPClient->setServerAddress(value); }
    int32_t proxyPort() const { return m_oTCPClient->proxyPort(); }
    void setProxyPort(int32_t value) { m_oTCPClient->setProxyPort(value); }
    bool ProxyEnabled() const { return m_oTCPClient->ProxyEnabled(); }
    void setProxyEnabled(bool value) { m_oTCPClient->setProxyEnabled(value); }
    const std::string& proxyAddress() const { return m_oTCPClient->proxyAddress(); }
    void setProxyAddress(const std::string& value) { m_oTCPClient->setProxyAddress(value); }
    const std::string& ProxyUsername() const { return m_oTCPClient->ProxyUsername(); }
    void setProxyUsername(const std::string& value) { m_oTCPClient->setProxyUsername(value); }
    const std::string& ProxyPassword() const { return m_oTCPClient->ProxyPassword(); }
    void setProxyPassword(const std::string& value) { m_oTCPClient->setProxyPassword(value); }
    ProxyTypeEnum ProxyType() const { return m_oTCPClient->ProxyType(); }
    void setProxyType(ProxyTypeEnum value) { m_oTCPClient->setProxyType(value); }
    bool Blocked() const { return m_oTCPClient->Blocked(); }
    TCPServerTypeEnum ServerType() const { return m_oTCPClient->ServerType(); }
    void setServerType(TCPServerTypeEnum value) { m_oTCPClient->setServerType(value); }
    int32_t HandshakeMsgTimer() const { return m_oTCPClient->HandshakeMsgTimer(); }
    void setHandshakeMsgTimer(int32_t ms) { m_oTCPClient->setHandshakeMsgTimer(ms); }
    bool AutoReloginOption() const { return m_oTCPClient->AutoReloginOption(); }
    void setAutoReloginOption(bool value) { m_oTCPClient->setAutoReloginOption(value); }
    bool isConnecting() const { return m_oTCPClient->isConnecting(); }
    void TestProxy(const std::string& proxyAddress, int32_t proxyPort, const std::string& Username,
                   const std::string& password, ProxyTypeEnum ProxyType) {
        m_oTCPClient->TestProxy(proxyAddress, proxyPort, Username, password, ProxyType);
    }
    void HandshakeMsgRecieved() { m_oTCPClient->HandshakeMsgRecieved(); }
    int32_t sid() const { return sid_; }
    void setSid(int32_t value) { sid_ = value; }
    void Disconnect(bool vRelogin = false) { m_oTCPClient->Disconnect(vRelogin); }
    void Connect() { m_oTCPClient->Connect(); }

    runtime::Event<TCPClientStatusType /*currentStatus*/> State;
    // One parsed message (process log level 5), in wire order. The object is
    // the host's to keep; this client lets go of it when the handler returns.
    runtime::Event<const std::shared_ptr<CProcess>& /*Process*/> Receive;
    runtime::Event<> NotConnected;
    runtime::Event<ProxyTestResultEnum /*Result*/, const std::string& /*ErrorMsg*/> ProxyTestResult;
    runtime::Event<int32_t /*Bytes*/> ReceivedData;
    runtime::Event<int32_t /*Bytes*/> SentData;

private:
    void OnReceive(const std::string& rData);

    int32_t sid_ = 0;
    std::unique_ptr<CTcpClient> m_oTCPClient;
    std::vector<runtime::ScopedConnection> links_;
};

}  // namespace OrbanelGeneral10
