#include "general/common/CHClient.h"

namespace OrbanelGeneral10 {

CHClient::CHClient() : m_oTCPClient(std::make_unique<CTcpClient>()) {
    CTcpClient& tcp = *m_oTCPClient;
    links_.emplace_back(tcp.State.Connect([this](TCPClientStatusType s) { State(s); }));
    links_.emplace_back(
        tcp.Receive.Connect([this](const std::string& rData) { OnReceive(rData); }));
    links_.emplace_back(tcp.NotConnected.Connect([this] { NotConnected(); }));
    links_.emplace_back(
        tcp.ProxyTestResult.Connect([this](ProxyTestResultEnum result, const std::string& msg) {
            ProxyTestResult(result, msg);
        }));
    links_.emplace_back(tcp.ReceivedData.Connect([this](int32_t bytes) { ReceivedData(bytes); }));
    links_.emplace_back(tcp.SentData.Connect([this](int32_t bytes) { SentData(bytes); }));
}

CHClient::~CHClient() {
    // Nothing the TCP client does on its way out may reach a half-destroyed host object.
    links_.clear();
    m_oTCPClient.reset();
}

void CHClient::OnReceive(const std::string& rData) {
    auto process = std::make_shared<CProcess>();
    process->DefineProcessByCommand(5, rData);
    // The handler may release this object: nothing here is touched after it.
    Receive(process);
}

}  // namespace OrbanelGeneral10
