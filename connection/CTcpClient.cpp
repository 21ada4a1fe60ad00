#include "connection/CTcpClient.h"

#include <chrono>
#include <string_view>
#include <utility>

#include "general/common/MCommandMessage.h"
#include "runtime/Convert.h"
#include "runtime/Diagnostics.h"
#include "runtime/Error.h"
#include "runtime/Random.h"

namespace KVClientDLL10 {

namespace {

int32_t DrawConnectInterval() {
    return runtime::RandomBetween(CTcpClient::kMinConnectInterval, CTcpClient::kMaxConnectInterval);
}

// Handler failures must not unwind into the event loop's dispatch.
template <class F>
void Guarded(F&& f) {
    runtime::RunReported("KVClient CTcpClient", std::forward<F>(f));
}

}  // namespace

CTcpClient::CTcpClient() : m_oTCP(std::make_shared<platform::TcpSocket>()) {
    m_oTCP->OnState.Connect([this] { OnSocketState(); });
    m_oTCP->OnReceive.Connect([this] { OnSocketReceive(); });

    m_oConnectTimer = std::make_unique<platform::Timer>();
    m_oConnectTimer->SetInterval(DrawConnectInterval());
    m_oConnectTimer->SetEnabled(false);
    m_oConnectTimer->Tick.Connect([this] { OnConnectTick(); });

    m_oHandshakeMsgTimer = std::make_unique<platform::Timer>();
    m_oHandshakeMsgTimer->SetInterval(100000);
    m_oHandshakeMsgTimer->SetEnabled(false);
    m_oHandshakeMsgTimer->Tick.Connect([this] { OnHandshakeTick(); });
}

CTcpClient::~CTcpClient() {
    // The message objects may hold the socket longer: it must neither stay
    // open nor call back into this object.
    m_oTCP->OnState.DisconnectAll();
    m_oTCP->OnReceive.DisconnectAll();
    m_oTCP->Close();
}

void CTcpClient::Connect() {
    RestartConnectTimer();
    OnConnectTick();
    reloginWanted_ = autoReloginOption_;
}

void CTcpClient::ConnectLater() {
    RestartConnectTimer();
    reloginWanted_ = autoReloginOption_;
}

void CTcpClient::setDontAutoDisconnect(bool value) {
    HandshakeMsgRecieved();
    dontAutoDisconnect_ = value;
}

void CTcpClient::Disconnect(bool vRelogin) {
    Close(vRelogin, false);
}

void CTcpClient::GiveUp(bool vRelogin) {
    Close(vRelogin, true);
}

void CTcpClient::Close(bool vRelogin, bool reset) {
    reloginWanted_ = vRelogin && autoReloginOption_;
    StopConnectTimer();
    // Nothing left to watch; a second firing before the close is reported
    // would raise DisconnectNoHandshakeMsg twice.
    m_oHandshakeMsgTimer->SetEnabled(false);
    ++generation_;
    pendingBytes_ = 0;
    if (reset) {
        m_oTCP->Abort();
    } else {
        m_oTCP->Close();
    }
}

void CTcpClient::HandshakeMsgRecieved() {
    // Only a running watchdog restarts: one started while no connection is up
    // would fire on a session that has nothing to lose.
    if (serverType_ != 1 || closed_ != 0) return;
    m_oHandshakeMsgTimer->SetEnabled(false);
    m_oHandshakeMsgTimer->SetEnabled(true);
}

int32_t CTcpClient::Status() const {
    return m_oTCP->State() == platform::TcpSocket::kStateConnected ? 0 : 1;
}

void CTcpClient::setServerPort(double value) {
    if (!(value >= 1 && value <= 65535)) return;  // also refuses NaN
    serverPort_ = value;
}

bool CTcpClient::Blocked() const {
    return m_oTCP->Busy();
}

void CTcpClient::setAutoReloginOption(bool value) {
    autoReloginOption_ = value;
    reloginWanted_ = value;
}

bool CTcpClient::isConnecting() const {
    return Status() == 1 && reloginWanted_ && autoReloginOption_;
}

void CTcpClient::RestartConnectTimer() {
    m_oConnectTimer->SetEnabled(false);
    m_oConnectTimer->SetEnabled(true);
}

void CTcpClient::StopConnectTimer() {
    m_oConnectTimer->SetEnabled(false);
}

void CTcpClient::OnConnectTick() {
    // The timer keeps running: an attempt that has not connected within one
    // interval is made again.
    try {
        m_oTCP->Connect(serverAddress_, runtime::CLng(serverPort_));
    } catch (...) {
        RestartConnectTimer();
    }
}

void CTcpClient::OnHandshakeTick() {
    if (dontAutoDisconnect_) return;
    std::weak_ptr<char> alive = life_;
    Guarded([&] { DisconnectNoHandshakeMsg(); });
    if (alive.expired()) return;
    GiveUp(true);
}

void CTcpClient::OnSocketState() {
    std::weak_ptr<char> alive = life_;
    const int32_t state = m_oTCP->State();
    if (state == platform::TcpSocket::kStateConnected) {
        StopConnectTimer();
        if (serverType_ == 1) {
            m_oHandshakeMsgTimer->SetEnabled(false);
            m_oHandshakeMsgTimer->SetEnabled(true);
        }
        closed_ = 0;
        reloginWanted_ = autoReloginOption_;
        ++generation_;
        pendingBytes_ = 0;
        Guarded([&] { State(0); });
        return;
    }
    if (state != platform::TcpSocket::kStateClosed || closed_ != 0) return;
    closed_ = 1;
    m_oHandshakeMsgTimer->SetEnabled(false);
    ++generation_;
    pendingBytes_ = 0;
    if (autoReloginOption_ && reloginWanted_) RestartConnectTimer();
    Guarded([&] { State(1); });
}

void CTcpClient::OnSocketReceive() {
    std::weak_ptr<char> alive = life_;
    const uint64_t generation = generation_;
    // Taken out while the messages are raised: a nested receive gets its own.
    std::vector<std::string> rows;
    rows.swap(rows_);
    size_t n = 0;
    try {
        m_oTCP->Receive(received_);
        if (!process_) throw runtime::Error(runtime::errc::ObjectVariableNotSet);
        n = process_->SplitBuffer(received_, rows);
        // What the message object keeps is the text after the last end marker
        // (give or take a marker cut across two reads).
        const size_t last = received_.rfind(OrbanelGeneral10::wire::kEndMarker.text);
        if (last != std::string::npos) {
            pendingBytes_ =
                received_.size() - last - OrbanelGeneral10::wire::kEndMarker.text.size();
        } else if (n > 0) {
            pendingBytes_ = received_.size();
        } else {
            pendingBytes_ += received_.size();
        }
    } catch (...) {
        GiveUp(true);
        return;
    }
    OrbanelGeneral10::wire::ReleaseIfLarge(received_);
    for (size_t i = 1; i <= n; ++i) {
        Guarded([&] { Receive(rows[i]); });
        if (alive.expired()) return;
        // A handler reset the session: the rest belongs to the old connection.
        if (generation_ != generation) break;
    }
    if (rows_.empty()) {
        OrbanelGeneral10::wire::TrimSpareTexts(rows);
        rows_.swap(rows);
    }
    if (generation_ != generation || pendingBytes_ <= kReceiveBufferCap) return;
    const size_t pending = pendingBytes_;
    Guarded([&] { ReceiveBufferOverflow(pending); });
    if (alive.expired() || generation_ != generation) return;
    GiveUp(true);
}

}  // namespace KVClientDLL10
