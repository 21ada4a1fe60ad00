#include "general/common/CTcpClient.h"

#include <chrono>
#include <limits>
#include <utility>

#include "general/common/CDataProtocol.h"
#include "general/common/CTCPSendObject.h"
#include "general/common/MCommandMessage.h"
#include "platform/HttpTunnel.h"
#include "platform/TcpSocket.h"
#include "platform/Timer.h"
#include "runtime/Convert.h"
#include "runtime/Diagnostics.h"
#include "runtime/Error.h"
#include "runtime/Random.h"

namespace OrbanelGeneral10 {

namespace {

int32_t DrawConnectInterval() {
    return runtime::RandomBetween(CTcpClient::kMinConnectInterval, CTcpClient::kMaxConnectInterval);
}

struct ProxyTestTarget {
    std::string host = "www.example.com";
    int32_t port = 80;
};

ProxyTestTarget& TestTarget() {
    static ProxyTestTarget target;
    return target;
}

// Handler failures must not unwind into the event loop's dispatch.
template <class F>
void Guarded(F&& f) {
    runtime::RunReported("OrbanelGeneral CTcpClient", std::forward<F>(f));
}

int32_t Length(const std::string& text) {
    constexpr size_t kMax = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(text.size() < kMax ? text.size() : kMax);
}

std::unique_ptr<platform::Timer> MakeTimer(int32_t intervalMs) {
    auto timer = std::make_unique<platform::Timer>();
    timer->SetInterval(intervalMs);
    timer->SetEnabled(false);
    return timer;
}

}  // namespace

CTcpClient::CTcpClient()
    : m_oTCP(std::make_shared<platform::TcpSocket>()),
      tunnel_(std::make_unique<platform::HttpTunnel>()),
      codec_(std::make_unique<CDataProtocol>()),
      m_oConnectTimer(MakeTimer(DrawConnectInterval())),
      m_oHandshakeMsgTimer(MakeTimer(100000)),
      m_oSendTimer(MakeTimer(kSendInterval)),
      m_oProxyTestTimer(MakeTimer(kProxyTestPollInterval)) {
    m_oTCP->OnState.Connect([this] { OnSocketState(); });
    m_oTCP->OnReceive.Connect([this] { OnSocketReceive(); });
    m_oConnectTimer->Tick.Connect([this] { OnConnectTick(); });
    m_oHandshakeMsgTimer->Tick.Connect([this] { OnHandshakeTick(); });
    m_oSendTimer->Tick.Connect([this] { OnSendTick(); });
    m_oProxyTestTimer->Tick.Connect([this] { OnProxyTestTick(); });
}

CTcpClient::~CTcpClient() {
    Deallocate();
}

void CTcpClient::Deallocate() {
    ++generation_;
    pendingBytes_ = 0;
    if (m_oTCP) {
        // Message objects may hold the socket longer: it must neither stay open
        // nor call back into this object.
        m_oTCP->OnState.DisconnectAll();
        m_oTCP->OnReceive.DisconnectAll();
        m_oTCP->Close();
        m_oTCP.reset();
    }
    tunnel_.reset();  // closes its tunnels and the proxy test
    tunnelHandle_ = 0;
    m_oConnectTimer.reset();
    m_oHandshakeMsgTimer.reset();
    m_oSendTimer.reset();
    m_oProxyTestTimer.reset();
    codec_.reset();
    sendQueue_.Deallocate();
}

platform::TcpSocket& CTcpClient::Socket() const {
    if (!m_oTCP) throw runtime::Error(runtime::errc::ObjectVariableNotSet);
    return *m_oTCP;
}

platform::Timer& CTcpClient::Need(const std::unique_ptr<platform::Timer>& timer) const {
    if (!timer) throw runtime::Error(runtime::errc::ObjectVariableNotSet);
    return *timer;
}

// ---- members ----------------------------------------------------------------

void CTcpClient::Connect() {
    RestartConnectTimer();
    OnConnectTick();
    reloginWanted_ = autoReloginOption_;
}

void CTcpClient::Send(const std::string& txt) {
    platform::Timer& sendTimer = Need(m_oSendTimer);
    auto node = std::make_shared<CTCPSendObject>();
    node->setSendText(txt);
    // Queued before SentData, so a text its handler sends goes out after this one.
    if (sendQueue_.Enqueue(node) == OVERFLOW) {
        throw runtime::Error(runtime::errc::Overflow,
                             "The send queue is full: " + std::to_string(CQueue::kCapacity) +
                                 " texts are waiting; this one was not queued");
    }
    std::weak_ptr<char> alive = life_;
    Guarded([&] { SentData(Length(txt)); });
    if (alive.expired() || !m_oSendTimer) return;
    sendTimer.SetEnabled(true);
    OnSendTick();
}

void CTcpClient::Disconnect(bool vRelogin) {
    reloginWanted_ = vRelogin && autoReloginOption_;
    Need(m_oConnectTimer).SetEnabled(false);
    // Nothing left to watch: a firing before the close is reported would ask
    // for a re-login this call may just have declined.
    Need(m_oHandshakeMsgTimer).SetEnabled(false);
    ++generation_;
    pendingBytes_ = 0;
    CloseTunnel();
}

void CTcpClient::HandshakeMsgRecieved() {
    // Only a running watchdog restarts: one started while no connection is up
    // would later stop the connect timer of a client still trying to connect.
    if (serverType_ != DisconnectWhenNoHandshakMsgType || closed_ != 0) return;
    platform::Timer& watchdog = Need(m_oHandshakeMsgTimer);
    watchdog.SetEnabled(false);
    watchdog.SetEnabled(true);
}

TCPClientStatusType CTcpClient::Status() const {
    return Socket().State() == platform::TcpSocket::kStateConnected ? STATUS_CONNECTED
                                                                    : STATUS_DISCONNECTED;
}

void CTcpClient::setServerPort(double value) {
    if (!(value >= 1 && value <= 65535)) return;  // also refuses NaN
    serverPort_ = value;
}

bool CTcpClient::Blocked() const {
    return Socket().Busy();
}

int32_t CTcpClient::HandshakeMsgTimer() const {
    return Need(m_oHandshakeMsgTimer).Interval();
}

void CTcpClient::setHandshakeMsgTimer(int32_t ms) {
    Need(m_oHandshakeMsgTimer).SetInterval(ms);
}

void CTcpClient::setAutoReloginOption(bool value) {
    autoReloginOption_ = value;
    reloginWanted_ = value;
}

bool CTcpClient::isConnecting() const {
    return Status() == STATUS_DISCONNECTED && reloginWanted_ && autoReloginOption_;
}

int32_t CTcpClient::ConnectInterval() const {
    return Need(m_oConnectTimer).Interval();
}

void CTcpClient::TestProxy(const std::string& proxyAddress, int32_t proxyPort,
                           const std::string& Username, const std::string& password,
                           ProxyTypeEnum ProxyType) {
    platform::Timer& poll = Need(m_oProxyTestTimer);
    const ProxyTestTarget& target = TestTarget();
    const int32_t started = tunnel_->TestProxyAsync(proxyAddress, proxyPort, Username, password,
                                                    target.host, target.port, ProxyType);
    poll.SetEnabled(false);
    if (started == 0) {
        poll.SetEnabled(true);
        return;
    }
    const std::string reason = tunnel_->GetLastError();
    Guarded([&] { ProxyTestResult(ProxyNotWork, reason); });
}

std::string CTcpClient::ProxyTestHost() {
    return TestTarget().host;
}

void CTcpClient::setProxyTestHost(const std::string& host) {
    TestTarget().host = host;
}

int32_t CTcpClient::ProxyTestPort() {
    return TestTarget().port;
}

void CTcpClient::setProxyTestPort(int32_t port) {
    TestTarget().port = port;
}

// ---- connecting -------------------------------------------------------------

void CTcpClient::RestartConnectTimer() {
    platform::Timer& timer = Need(m_oConnectTimer);
    timer.SetEnabled(false);
    timer.SetEnabled(true);
}

void CTcpClient::CloseTunnel() {
    Socket().Close();
    if (tunnelHandle_ != 0 && tunnel_) tunnel_->Close(std::exchange(tunnelHandle_, 0));
}

void CTcpClient::OnConnectTick() {
    // A failed attempt ends the tick quietly; the timer keeps running and the
    // next tick tries again.
    try {
        // The previous tunnel goes first: each attempt would leave one open.
        CloseTunnel();
        if (proxyEnabled_) {
            const int32_t port = tunnel_->Connect(serverAddress_, runtime::CLng(serverPort_),
                                                  proxyAddress_, proxyPort_, tunnelHandle_,
                                                  proxyUsername_, proxyPassword_, proxyType_);
            if (port != 0) Socket().Connect("127.0.0.1", port);
        } else {
            Socket().Connect(serverAddress_, runtime::CLng(serverPort_));
        }
    } catch (...) {
    }
}

void CTcpClient::OnSocketState() {
    std::weak_ptr<char> alive = life_;
    const int32_t state = Socket().State();
    if (state == platform::TcpSocket::kStateConnected) {
        Need(m_oConnectTimer).SetEnabled(false);
        if (serverType_ == DisconnectWhenNoHandshakMsgType) {
            Need(m_oHandshakeMsgTimer).SetEnabled(false);
            Need(m_oHandshakeMsgTimer).SetEnabled(true);
        }
        // Set before the event, so a handler's Disconnect(False) is not undone.
        closed_ = 0;
        reloginWanted_ = autoReloginOption_;
        ++generation_;
        pendingBytes_ = 0;
        Guarded([&] { State(STATUS_CONNECTED); });
        return;
    }
    if (state != platform::TcpSocket::kStateClosed || closed_ != 0) return;
    closed_ = 1;
    Need(m_oHandshakeMsgTimer).SetEnabled(false);
    sendQueue_.Clear();
    Need(m_oSendTimer).SetEnabled(false);
    if (autoReloginOption_ && reloginWanted_) RestartConnectTimer();
    codec_->ClearBuffer();
    ++generation_;
    pendingBytes_ = 0;
    Guarded([&] { State(STATUS_DISCONNECTED); });
}

// ---- receiving --------------------------------------------------------------

void CTcpClient::OnSocketReceive() {
    std::weak_ptr<char> alive = life_;
    const uint64_t generation = generation_;
    try {
        Socket().Receive(received_);
    } catch (...) {
        return;
    }
    if (received_.empty()) return;
    Guarded([&] { ReceivedData(Length(received_)); });
    if (alive.expired() || generation_ != generation) return;
    HandshakeMsgRecieved();

    std::vector<std::string> rows;
    const size_t n = codec_->SplitBuffer(received_, rows);
    // What the codec keeps is the text after the last end marker (give or take
    // a marker cut across two reads).
    const std::string_view marker = wire::kEndMarker.text;
    const size_t last = received_.rfind(marker);
    if (last != std::string::npos) {
        pendingBytes_ = received_.size() - last - marker.size();
    } else if (n > 0) {
        pendingBytes_ = received_.size();
    } else {
        pendingBytes_ += received_.size();
    }
    for (size_t i = 1; i <= n; ++i) {
        Guarded([&] { Receive(rows[i]); });
        if (alive.expired()) return;
        // A handler dropped or reset the connection: the rest belongs to the old one.
        if (generation_ != generation) return;
    }
    if (pendingBytes_ > kReceiveBufferCap) Guarded([&] { Disconnect(true); });
}

void CTcpClient::OnHandshakeTick() {
    Guarded([&] { Disconnect(true); });
}

// ---- sending ----------------------------------------------------------------

void CTcpClient::OnSendTick() {
    try {
        // The socket's busy flag also covers "not connected"; only a backed-up
        // open connection makes the text wait.
        const bool connected = Status() == STATUS_CONNECTED;
        if (connected && Socket().Busy()) return;
        std::shared_ptr<IQueueNode> head;
        if (sendQueue_.Top(head) != SUCCESS) return;
        auto* node = dynamic_cast<CTCPSendObject*>(head.get());
        if (node && connected) Socket().Send(node->SendText());  // a failure keeps it at the head
        // Off the queue before NotConnected: a handler that sends again must
        // not meet this text a second time.
        sendQueue_.Dequeue();
        if (sendQueue_.isEmptyQueue()) Need(m_oSendTimer).SetEnabled(false);
        if (node && !connected) Guarded([&] { NotConnected(); });
    } catch (...) {
    }
}

void CTcpClient::OnProxyTestTick() {
    if (!tunnel_) return;
    std::string text = "Test result string";
    const int32_t result = tunnel_->GetTestProxyResult(text);
    if (result == -1) return;  // still testing
    Need(m_oProxyTestTimer).SetEnabled(false);
    if (result == 0) {
        Guarded([&] { ProxyTestResult(ProxyWorks, std::string()); });
    } else {
        Guarded([&] { ProxyTestResult(ProxyNotWork, text); });
    }
}

}  // namespace OrbanelGeneral10
