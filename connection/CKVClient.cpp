#include "connection/CKVClient.h"

#include <algorithm>
#include <exception>
#include <limits>
#include <string_view>
#include <utility>

#include "general/common/MCommandMessage.h"
#include "runtime/Convert.h"
#include "runtime/Diagnostics.h"
#include "runtime/Error.h"
#include "runtime/Variant.h"

namespace KVClientDLL10 {

namespace wire = OrbanelGeneral10::wire;
using KVGeneralDLL10::CProcess;

namespace {

constexpr int16_t kReceiveLogLevel = 1;
constexpr int16_t kQueuedLogLevel = 5;
constexpr int16_t kSendLogLevel = 1;
constexpr size_t kMaxRequestParameters = 50;

bool IsLoginToken(int16_t token) {
    return token == KVGeneralDLL10::LOGIN_TOKEN || token == KVGeneralDLL10::GENERATE_DEMO_ACCOUNT;
}

std::string ErrorText(const std::exception& e) {
    if (const auto* error = dynamic_cast<const runtime::Error*>(&e)) {
        return error->Description() + " (" + std::to_string(error->Number()) + ")";
    }
    return e.what();
}

// "104, 313 x2, 314": each token once, in order of first appearance.
std::string TokenList(const std::vector<int16_t>& tokens) {
    std::vector<std::pair<int16_t, size_t>> counts;
    for (int16_t t : tokens) {
        auto it = std::find_if(counts.begin(), counts.end(), [t](auto& c) { return c.first == t; });
        if (it == counts.end()) {
            counts.emplace_back(t, 1);
        } else {
            ++it->second;
        }
    }
    std::string text;
    for (const auto& [token, count] : counts) {
        if (!text.empty()) text += ", ";
        text += std::to_string(token);
        if (count > 1) text += " x" + std::to_string(count);
    }
    return text;
}

// The protocol has no escaping: a value holding one of these would shift the
// parameters or end the message early and forge another.
bool HoldsMarker(std::string_view value) {
    return wire::Find(value, wire::kParameterMarker) != wire::npos ||
           wire::Find(value, wire::kEndMarker) != wire::npos;
}

std::string Requests(size_t n) {
    return std::to_string(n) + (n == 1 ? " request" : " requests");
}

// Whether a message holds more parameter markers than `limit` (cheap for
// ordinary messages: too short to hold that many).
bool MoreParametersThan(std::string_view message, size_t limit) {
    if (message.size() <= limit * wire::kParameterMarker.text.size()) return false;
    size_t count = 0;
    for (size_t p = wire::Find(message, wire::kParameterMarker); p != wire::npos;
         p = wire::Find(message, wire::kParameterMarker, p + wire::kParameterMarker.text.size())) {
        if (++count > limit) return true;
    }
    return false;
}

}  // namespace

// Raises a session event. A handler's failure is reported with ShowError and
// goes no further, so the session's own steps always complete. False when a
// handler released the session.
template <class Ev, class... A>
bool CKVClient::Raise(const char* name, Ev& event, A&&... args) {
    std::weak_ptr<char> alive = life_;
    std::string failure;
    try {
        event(std::forward<A>(args)...);
    } catch (const std::exception& e) {
        failure = ErrorText(e);
    } catch (...) {
        failure = "unknown error";
    }
    if (alive.expired()) return false;
    if (!failure.empty()) {
        RaiseShowError(name, std::string("KVClient: a handler of ") + name + " failed: " + failure);
    }
    return !alive.expired();
}

CKVClient::CKVClient() {
    m_oProcess = std::make_shared<CProcess>();
    m_oSendProcess = std::make_shared<CProcess>();
    m_oQueue = std::make_unique<KVGeneralDLL10::CQueue>();

    m_oTCPClient = std::make_unique<CTcpClient>();
    m_oTCPClient->setProcess(m_oProcess);

    m_oClientServerObjects = std::make_unique<CClientServerManager>();
    m_oClientServerObjects->setDataProtocol(m_oProcess);

    m_oTCPClient->setAutoReloginOption(true);

    m_oLoginTimer = std::make_unique<platform::Timer>();
    m_oLoginTimer->SetInterval(kLoginTickMs);
    m_oLoginTimer->SetEnabled(false);

    m_oTCPClient->setHandshakeMsgTimer(kWatchdogBeforeLoginMs);

    m_oSendTimer = std::make_unique<platform::Timer>();
    m_oSendTimer->SetInterval(kSendRetryMs);
    m_oSendTimer->SetEnabled(false);

    reconnectGuard_ = std::make_unique<platform::Timer>();
    reconnectGuard_->SetInterval(m_oTCPClient->ConnectInterval());
    reconnectGuard_->Tick.Connect([this] { reconnectGuard_->SetEnabled(false); });

    SetLogedOn(false, 0, kNotLoggedIn);

    m_oTCPClient->setServerAddress("localhost");
    m_oTCPClient->setServerPort(4401);

    m_oProcess->setChild(m_oTCPClient->Child());
    m_oSendProcess->setChild(m_oTCPClient->Child());

    // Every source below is owned by this object and dies with it.
    m_oTCPClient->State.Connect([this](int32_t status) { OnTcpState(status); });
    m_oTCPClient->Receive.Connect([this](const std::string& rData) { OnTcpReceive(rData); });
    m_oTCPClient->DisconnectNoHandshakeMsg.Connect(
        [this] { Raise("DisconnectNoHandshakeMsg", DisconnectNoHandshakeMsg); });
    m_oTCPClient->ReceiveBufferOverflow.Connect([this](size_t pending) {
        RaiseShowError("Receive", "KVClient received " + std::to_string(pending) +
                                      " bytes without a message end; the connection is dropped");
    });
    m_oClientServerObjects->RequestFromServer.Connect(
        [this](int16_t Tkn, const std::vector<std::string>& p) { AddRequest(Tkn, p); });
    m_oLoginTimer->Tick.Connect([this] { OnLoginTick(); });
    m_oSendTimer->Tick.Connect([this] { OnSendTick(); });
}

CKVClient::~CKVClient() {
    m_oTCPClient.reset();
    m_oProcess.reset();
    m_oLoginTimer.reset();
    m_oQueue.reset();
    m_oClientServerObjects.reset();
    m_oSendTimer.reset();
    current_.reset();
}

// ---- Public members ---------------------------------------------------------

void CKVClient::AddClientServerObject(std::shared_ptr<IClientServer> vObject) {
    m_oClientServerObjects->AddClientServerObject(std::move(vObject));
}

void CKVClient::Login() {
    reconnecting_ = false;
    ConnectForLogin(true);
}

void CKVClient::LoginAgain() {
    const bool atOnce = !reconnectGuard_->Enabled();
    reconnecting_ = true;
    ConnectForLogin(atOnce);
}

void CKVClient::Disconnect(bool AutoRelogin) {
    EndConnection(AutoRelogin, false);
}

void CKVClient::EndConnection(bool AutoRelogin, bool giveUp) {
    std::weak_ptr<char> alive = life_;
    const std::string dropped = ResetSession();
    if (!Alive(alive)) return;
    if (!AutoRelogin) SetLogedOn(false, 0, kClosedForGood);
    if (giveUp) {
        m_oTCPClient->GiveUp(AutoRelogin);
    } else {
        m_oTCPClient->Disconnect(AutoRelogin);
    }
    RaiseWaitingMode();
    // Reported last, when the session is whole again.
    if (!dropped.empty() && Alive(alive)) RaiseShowError("ResetSession", dropped);
}

void CKVClient::OpenDemoAccount(const std::string& ServerIP, int32_t ServerPort,
                                const std::string& Address, const std::string& Email,
                                const std::string& Name, const std::string& Mobile,
                                const std::string& Country, double Deposit,
                                const std::string& Password) {
    std::weak_ptr<char> alive = life_;
    setServerAddress(ServerIP);
    setServerPort(ServerPort);
    mode_ = Mode::Demo;
    reconnecting_ = false;
    address_ = Address;
    email_ = Email;
    name_ = Name;
    mobile_ = Mobile;
    country_ = Country;
    deposit_ = Deposit;
    password_ = Password;
    Disconnect(false);
    if (!Alive(alive)) return;
    receiving_ = false;
    RaiseWaitingMode();
    if (!Alive(alive)) return;
    m_oTCPClient->Connect();
}

bool CKVClient::Send(int16_t Token, const std::vector<std::string>& p) {
    if (RefuseMarkers("Send", Token, p)) return false;
    m_oSendProcess->DefineRequestByToken(sid_, kSendLogLevel, Token, p);
    return SendRequest(*m_oSendProcess);
}

bool CKVClient::SendRequest(CProcess& Request) {
    const int16_t token = Request.TokenID();
    for (size_t i = 1; i <= Request.Parameters(); ++i) {
        if (HoldsMarker(Request.ParameterValue(static_cast<int64_t>(i)))) {
            RefuseMarker("SendRequest", token, i);
            return false;
        }
    }
    if (token == KVGeneralDLL10::LOGIN_TOKEN || logedOn_ ||
        token == KVGeneralDLL10::GENERATE_DEMO_ACCOUNT) {
        return Request.Send(m_oTCPClient->Child()) == KVGeneralDLL10::SentSuccessfully;
    }
    Raise("NotConnected", NotConnected);
    return false;
}

void CKVClient::setTokens(std::shared_ptr<KVGeneralDLL10::ITokens> tokens) {
    m_oProcess->setTokens(tokens);
    m_oSendProcess->setTokens(std::move(tokens));
}

// ---- Connection and login ---------------------------------------------------

void CKVClient::ConnectForLogin(bool atOnce) {
    std::weak_ptr<char> alive = life_;
    mode_ = Mode::Login;
    Disconnect(true);
    if (!Alive(alive)) return;
    receiving_ = false;
    RaiseWaitingMode();
    if (!Alive(alive)) return;
    if (atOnce) {
        m_oTCPClient->Connect();
    } else {
        m_oTCPClient->ConnectLater();
    }
}

void CKVClient::OnTcpState(int32_t currentStatus) {
    std::weak_ptr<char> alive = life_;
    if (currentStatus != 0) {
        const bool atOnce = ReconnectsAtOnce();
        loginAccepted_ = false;
        const std::string dropped = ResetSession();
        if (!Alive(alive)) return;
        if (ReloginWanted()) {
            reconnecting_ = true;
            ConnectForLogin(atOnce);
            if (!Alive(alive)) return;
        }
        if (!dropped.empty()) {
            RaiseShowError("ResetSession", dropped);
            if (!Alive(alive)) return;
        }
        Raise("State", State, false);
        return;
    }
    loginAccepted_ = false;
    if (std::exchange(reconnecting_, false)) {
        reconnectGuard_->SetEnabled(false);
        reconnectGuard_->SetEnabled(true);
    }
    if (mode_ == Mode::Login) {
        if (!m_oLoginTimer->Enabled()) {
            m_oLoginTimer->SetEnabled(true);
            OnLoginTick();
        }
    } else {
        SendDemoRequest();
    }
}

void CKVClient::OnLoginTick() {
    if (m_oTCPClient->Blocked()) return;
    m_oLoginTimer->SetEnabled(false);
    SendLoginRequest();
}

void CKVClient::SendLoginRequest() {
    std::weak_ptr<char> alive = life_;
    if (AddRequest(KVGeneralDLL10::LOGIN_TOKEN, {loginUN_, loginPW_, loginType_})) return;
    // A login that cannot be put on the wire could never be answered.
    Disconnect(false);
    if (Alive(alive)) Raise("InvalidUsernamePassword", InvalidUsernamePassword);
}

void CKVClient::SendDemoRequest() {
    std::weak_ptr<char> alive = life_;
    const std::string deposit = runtime::CStr(runtime::Variant(deposit_));
    if (AddRequest(KVGeneralDLL10::GENERATE_DEMO_ACCOUNT,
                   {"8", address_, email_, name_, mobile_, country_, deposit, password_, "-1"})) {
        return;
    }
    Raise("OpenDemoAccountResultRecieved", OpenDemoAccountResultRecieved, NotGeneratedError,
          std::string());
    if (Alive(alive)) Disconnect(false);
}

std::string CKVClient::ResetSession() {
    std::weak_ptr<char> alive = life_;
    m_oProcess->ClearBuffer();
    SetLogedOn(false, 0, loginUser_);
    RaiseWaitingMode();
    if (!Alive(alive)) return {};
    m_oSendTimer->SetEnabled(false);
    m_oLoginTimer->SetEnabled(false);

    std::vector<int16_t> dropped;
    std::shared_ptr<KVGeneralDLL10::IQueueNode> node;
    while (m_oQueue->Top(node) == KVGeneralDLL10::SUCCESS) {
        // The request whose answer is being delivered was not dropped.
        auto request = std::static_pointer_cast<CProcess>(node);
        if (request && request != answering_) dropped.push_back(request->TokenID());
        node.reset();
        DequeueHead();
    }
    loginRequest_.reset();
    current_.reset();
    currentSent_ = false;

    std::string report;
    if (!refused_.empty()) {
        report = OverflowReport();
        refused_.clear();
    }
    if (!dropped.empty()) {
        if (!report.empty()) report += "; ";
        report += "KVClient dropped " + Requests(dropped.size()) + " at a session reset (tokens " +
                  TokenList(dropped) + ")";
    }
    RaiseWaitingMode();
    return report;
}

int32_t CKVClient::WatchdogAfterLoginMs(double serverIntervalMs) {
    const int32_t read = runtime::CLng(serverIntervalMs + 10000);
    if (int64_t{read} + 5000 > std::numeric_limits<int32_t>::max()) {
        throw runtime::Error(runtime::errc::Overflow);
    }
    return read + 5000;
}

void CKVClient::SetLogedOn(bool value, int32_t watchdogMs, double user) {
    logedOn_ = value;
    loginUser_ = user;
    if (value) m_oTCPClient->setHandshakeMsgTimer(watchdogMs);
    if (logedOn_) Raise("State", State, true);
}

void CKVClient::SetSID(int32_t sid) {
    sid_ = sid;
    m_oProcess->setSID(sid);
    m_oClientServerObjects->setSID(sid);
}

void CKVClient::RaiseWaitingMode() {
    WaitingModeEnum mode = NormalMode;
    ProcessPtr head = loginRequest_;
    if (!head) {
        std::shared_ptr<KVGeneralDLL10::IQueueNode> node;
        if (m_oQueue->Top(node) == KVGeneralDLL10::SUCCESS) {
            head = std::static_pointer_cast<CProcess>(node);
        }
    }
    if (m_oTCPClient->isConnecting() || (head && IsLoginToken(head->TokenID()))) {
        mode = ConnectingMode;
    } else if (head) {
        mode = WaitingModeEnum::WaitingMode;
    }
    Raise("WaitingMode", WaitingMode, mode);
}

void CKVClient::LoginReplyReceived(const ProcessPtr& answered) {
    std::weak_ptr<char> alive = life_;
    const CProcess& reply = *m_oProcess;
    if (reply.ParameterValue(1) != "OK") {
        Disconnect(false);
        if (Alive(alive)) Raise("InvalidUsernamePassword", InvalidUsernamePassword);
        if (Alive(alive)) RequestDone(answered);
        return;
    }
    int32_t sid = 0;
    int32_t watchdogMs = 0;
    int32_t userId = 0;
    double user = 0;
    try {
        sid = runtime::CLng(runtime::Variant(reply.ParameterValue(2)));
        user = runtime::Val(reply.ParameterValue(3));
        userId = runtime::CLng(user);
        watchdogMs = WatchdogAfterLoginMs(runtime::CDbl(runtime::Variant(reply.ParameterValue(4))));
    } catch (const std::exception& e) {
        FailLoginRequest(answered, "KVClient could not read the login reply: " + ErrorText(e));
        return;
    }
    SetSID(sid);
    loginAccepted_ = true;
    SetLogedOn(true, watchdogMs, user);
    // A State handler may have closed the session again.
    if (!Alive(alive)) return;
    if (logedOn_ && !Raise("LoggedOn", LoggedOn, userId)) return;
    RequestDone(answered);
}

void CKVClient::DemoReplyReceived(const ProcessPtr& answered) {
    std::weak_ptr<char> alive = life_;
    const std::string text = m_oProcess->ParameterValue(1);
    GenerateDemoResultEnum result = GeneratedSuccessfully;
    std::string username = text;
    if (text == "REALSVR" || text == "ERRDEMO") {
        result = NotGeneratedError;
        username.clear();
    } else if (text == "WAITDEMO") {
        result = NotGeneratedSameIP;
        username.clear();
    }
    if (!Raise("OpenDemoAccountResultRecieved", OpenDemoAccountResultRecieved, result, username))
        return;
    Disconnect(false);
    if (Alive(alive)) RequestDone(answered);
}

// A login or demo request whose answer cannot be used: a login is tried again
// on a fresh connection, a demo request ends as not generated. Either way the
// connection is given up.
void CKVClient::FailLoginRequest(const ProcessPtr& answered, const std::string& why) {
    std::weak_ptr<char> alive = life_;
    RaiseShowError("Login", why);
    if (!Alive(alive) || !answered || answered != current_) return;
    if (answered->TokenID() == KVGeneralDLL10::GENERATE_DEMO_ACCOUNT) {
        if (!Raise("OpenDemoAccountResultRecieved", OpenDemoAccountResultRecieved,
                   NotGeneratedError, std::string())) {
            return;
        }
        EndConnection(false, true);
    } else {
        EndConnection(true, true);
    }
}

// ---- Requests ---------------------------------------------------------------

bool CKVClient::AddRequest(int16_t Tkn, const std::vector<std::string>& p) {
    std::weak_ptr<char> alive = life_;
    if (RefuseMarkers("AddRequest", Tkn, p)) return false;
    auto request = std::make_shared<CProcess>();
    request->setTokens(m_oProcess->Tokens());
    request->setSID(m_oProcess->SID());
    request->DefineRequestByToken(m_oProcess->SID(), kQueuedLogLevel, Tkn, p);

    if (IsLoginToken(Tkn) && !loginRequest_) {
        loginRequest_ = std::move(request);
        // It goes ahead of a queued request that is only waiting to be sent.
        if (!current_ || !currentSent_) {
            current_.reset();
            m_oSendTimer->SetEnabled(false);
            DoTopRequest();
            if (!Alive(alive)) return true;
        }
    } else {
        if (m_oQueue->Enqueue(request) == KVGeneralDLL10::OVERFLOW) {
            refused_.push_back(Tkn);
        } else {
            ++queued_;
            if (!current_) {
                DoTopRequest();
                if (!Alive(alive)) return true;
            }
        }
    }
    RaiseWaitingMode();
    return true;
}

bool CKVClient::HasPending() const {
    return loginRequest_ || !m_oQueue->isEmptyQueue();
}

std::string CKVClient::OverflowReport() const {
    return "KVClient refused " + Requests(refused_.size()) + " because its queue held " +
           std::to_string(KVGeneralDLL10::CQueue::kCapacity) + " (tokens " + TokenList(refused_) +
           ")";
}

bool CKVClient::DoTopRequest() {
    ProcessPtr top = loginRequest_;
    if (!top) {
        std::shared_ptr<KVGeneralDLL10::IQueueNode> node;
        if (m_oQueue->Top(node) == KVGeneralDLL10::UNDERFLOW) {
            RaiseShowError("DoTopRequest", "KVClient UNDERFLOW");
            return false;
        }
        top = std::static_pointer_cast<CProcess>(node);
        if (!top) {
            RaiseShowError("DoTopRequest", "Top of queue is nothing");
            return true;
        }
    }
    current_ = std::move(top);
    currentSent_ = false;
    SendTopRequest();
    return true;
}

bool CKVClient::SendTopRequest() {
    std::weak_ptr<char> alive = life_;
    ProcessPtr request = current_;
    if (!request) return false;
    if (m_oTCPClient->isConnecting()) {
        Raise("NotConnected", NotConnected);
        return false;
    }
    // A request queued before the login was built with the id of no session
    // (or of the last one); it goes out with the id the login gave.
    if (request != loginRequest_ && request->SID() != m_oProcess->SID()) {
        std::vector<std::string> p;
        p.reserve(request->Parameters());
        for (size_t i = 1; i <= request->Parameters(); ++i)
            p.push_back(request->ParameterValue(static_cast<int64_t>(i)));
        request->DefineRequestByToken(m_oProcess->SID(), kQueuedLogLevel, request->TokenID(), p);
    }
    const bool sent = SendRequest(*request);
    // A NotConnected handler may have reset the session meanwhile.
    if (!Alive(alive) || current_ != request) return sent;
    if (sent) {
        currentSent_ = true;
        return true;
    }
    m_oSendTimer->SetEnabled(false);
    m_oSendTimer->SetEnabled(true);
    return false;
}

void CKVClient::OnSendTick() {
    if (!current_ || SendTopRequest()) m_oSendTimer->SetEnabled(false);
}

void CKVClient::RequestDone(const ProcessPtr& answered) {
    // Only the request that was answered leaves: a handler may have reset the
    // session or sent the next request meanwhile.
    if (!answered || answered != current_) {
        RaiseWaitingMode();
        return;
    }
    std::weak_ptr<char> alive = life_;
    AnswerCame(answered);
    current_.reset();
    currentSent_ = false;
    m_oSendTimer->SetEnabled(false);
    if (answered == loginRequest_) {
        loginRequest_.reset();
    } else {
        DequeueHead();
        if (!refused_.empty()) {
            // The queue has room again: the overflow is over, report it once.
            const std::string report = OverflowReport();
            refused_.clear();
            RaiseShowError("AddRequest", report);
            if (!Alive(alive)) return;
            if (current_) return;  // the handler sent something meanwhile
        }
    }
    if (HasPending()) {
        DoTopRequest();
    } else {
        RaiseWaitingMode();
    }
}

void CKVClient::AnswerCame(const ProcessPtr& answered) {
    if (answered && answered == current_ && answered != loginRequest_)
        answered_ = std::max(answered_, left_ + 1);
}

void CKVClient::DequeueHead() {
    m_oQueue->Dequeue();
    ++left_;
}

void CKVClient::CompleteWithError(const ProcessPtr& answered, const std::string& title,
                                  const std::string& why) {
    if (answered && answered == current_ && IsLoginToken(answered->TokenID())) {
        FailLoginRequest(answered, why);
        return;
    }
    // Whoever hears of the error may already ask what was answered.
    AnswerCame(answered);
    std::weak_ptr<char> alive = life_;
    RaiseShowError(title, why);
    if (Alive(alive)) RequestDone(answered);
}

bool CKVClient::RefuseMarkers(const std::string& title, int16_t token,
                              const std::vector<std::string>& values) {
    const size_t n = std::min(values.size(), kMaxRequestParameters);
    for (size_t i = 0; i < n && values[i] != wire::kNotSent; ++i) {
        if (HoldsMarker(values[i])) {
            RefuseMarker(title, token, i + 1);
            return true;
        }
    }
    return false;
}

void CKVClient::RefuseMarker(const std::string& title, int16_t token, size_t parameter) {
    RaiseShowError(title, "KVClient refused request " + std::to_string(token) + ": parameter " +
                              std::to_string(parameter) +
                              " holds a protocol marker (\"G)_\" or \"+3!\")");
}

// ---- Receiving --------------------------------------------------------------

void CKVClient::OnTcpReceive(const std::string& rData) {
    const ProcessPtr answered = current_;
    const bool answeredSent = currentSent_;
    const bool wasReceiving = receiving_;
    const size_t length = rData.size();
    std::weak_ptr<char> alive = life_;
    int16_t token = -1;
    try {
        if (MoreParametersThan(rData, kMaxMessageParameters)) {
            token = WordToken(rData);
            throw runtime::Error(runtime::errc::Overflow,
                                 "more than " + std::to_string(kMaxMessageParameters) + " values");
        }
        m_oProcess->DefineProcessByCommand(kReceiveLogLevel, rData);
        token = m_oProcess->TokenID();
        Dispatch(token, answered, answeredSent, wasReceiving);
    } catch (const std::exception& e) {
        if (token < 0) token = WordToken(rData);
        MessageFailed(token, answered, answeredSent, wasReceiving, ErrorText(e));
    }
    // A large message's room goes back once it is handled: the message
    // object is left holding no message.
    if (length > wire::kSpareBytes && Alive(alive) && m_oProcess) {
        try {
            m_oProcess->DefineProcessByCommand(kReceiveLogLevel, {});
        } catch (...) {
            // the room goes back with the next message instead
        }
    }
}

int16_t CKVClient::WordToken(std::string_view message) const {
    try {
        KVGeneralDLL10::CProcess probe;
        probe.setTokens(m_oProcess->Tokens());
        const auto word = wire::CommandWord(message);
        if (!word) return KVGeneralDLL10::UNDEFINED;
        std::string head(*word);
        head.append(wire::kSessionMarker.text);
        probe.DefineProcessByCommand(kReceiveLogLevel, head);
        return probe.TokenID();
    } catch (...) {
        return -1;
    }
}

// A message that could not be handled is abandoned; when it was the current
// request's answer the request completes, so the queue moves on.
void CKVClient::MessageFailed(int16_t token, const ProcessPtr& answered, bool answeredSent,
                              bool wasReceiving, const std::string& why) {
    const std::string text =
        "KVClient could not handle message " + std::to_string(token) + ": " + why;
    switch (token) {
        case KVGeneralDLL10::RESULT_TOKEN:
            if (wasReceiving && receiving_) {
                std::weak_ptr<char> alive = life_;
                RaiseShowError("Receive", text);
                if (Alive(alive)) CountDownRow();
                return;
            }
            CompleteWithError(answered, "Receive", text);
            return;
        case KVGeneralDLL10::RESULT_COUNT_TOKEN:
        case KVGeneralDLL10::NO_ROWS_TOKEN:
            receiving_ = false;
            ClearRows();
            CompleteWithError(answered, "Receive", text);
            return;
        case KVGeneralDLL10::ERROR_TOKEN:
            if (answered && answeredSent && !wasReceiving) {
                CompleteWithError(answered, "Receive", text);
                return;
            }
            break;
        default:
            break;
    }
    RaiseShowError("Receive", text);
}

void CKVClient::Dispatch(int16_t token, const ProcessPtr& answered, bool answeredSent,
                         bool wasReceiving) {
    switch (token) {
        case KVGeneralDLL10::CONNECT_HANDCHAKE_TOKEN:
            m_oTCPClient->HandshakeMsgRecieved();
            return;
        case KVGeneralDLL10::ERROR_TOKEN:
            HandleServerError(answered, answeredSent, wasReceiving);
            return;
        case KVGeneralDLL10::TIME_TOKEN:
            Raise("ServerTime", ServerTime, m_oProcess->ParameterValue(1));
            return;
        case KVGeneralDLL10::RESULT_COUNT_TOKEN:
            StartRows();
            return;
        case KVGeneralDLL10::NO_ROWS_TOKEN:
            DeliverMultiRows(true);
            return;
        case KVGeneralDLL10::DISCONNECT_TOKEN: {
            // The server's order to disconnect stands whatever its code says.
            const std::string text = m_oProcess->ParameterValue(1);
            std::weak_ptr<char> alive = life_;
            Disconnect(false);
            if (!Alive(alive)) return;
            int16_t code = 0;
            try {
                code = runtime::CInt(runtime::Val(text));
            } catch (const runtime::Error&) {
                RaiseShowError(
                    "Receive",
                    "KVClient: the server disconnected with the unreadable code " + text);
                if (!Alive(alive)) return;
            }
            Raise("DisconnectMessageRecieved", DisconnectMessageRecieved, code);
            return;
        }
        case KVGeneralDLL10::RESULT_TOKEN:
            if (receiving_) {
                RowReceived();
            } else {
                OneRowReceived(answered);
            }
            return;
        default: {
            std::vector<std::string> values;
            values.swap(values_);
            m_oClientServerObjects->GenerateParamsArr(*m_oProcess, values);
            std::weak_ptr<char> alive = life_;
            Raise("DataRecieved", DataRecieved, token, static_cast<int16_t>(values.size() - 1),
                  values);
            if (Alive(alive) && values_.empty()) {
                OrbanelGeneral10::wire::TrimSpareTexts(values);
                values_.swap(values);
            }
            return;
        }
    }
}

void CKVClient::HandleServerError(const ProcessPtr& answered, bool answeredSent,
                                  bool wasReceiving) {
    const int32_t code = runtime::CLng(runtime::Variant(m_oProcess->ParameterValue(1)));
    if (code >= KVGeneralDLL10::INVALID_PARAMETERS_ERR && code <= KVGeneralDLL10::INVALID_SID_ERR) {
        // The server no longer knows the session: what it has not received
        // yet goes with the connection. The session is reset when the close is reported.
        m_oTCPClient->GiveUp(true);
        return;
    }
    // The protocol defines no other code; one that answers the outstanding
    // request ends it, so the queue does not stand still until the next reset.
    const std::string text = "KVClient: the server sent error " + std::to_string(code);
    if (answered && answeredSent && !wasReceiving) {
        CompleteWithError(answered, "ServerError",
                          text + " for request " + std::to_string(answered->TokenID()));
        return;
    }
    RaiseShowError("ServerError", text);
}

void CKVClient::StartRows() {
    const int32_t n = runtime::CLng(runtime::Val(m_oProcess->ParameterValue(1)));
    if (n < 1) {
        // The server answers NO_ROWS_TOKEN when there are no rows; a count
        // below 1 can only mean the same.
        DeliverMultiRows(true);
        return;
    }
    if (n > kMaxResultRows) {
        throw runtime::Error(runtime::errc::Overflow, "a count of " + std::to_string(n) +
                                                          " rows (at most " +
                                                          std::to_string(kMaxResultRows) + ")");
    }
    expected_ = n;
    remaining_ = n;
    ClearRows();
    receiving_ = true;
}

void CKVClient::ClearRows() {
    rows_.clear();
    missing_.clear();
    askedLost_ = false;
}

void CKVClient::RowReceived() {
    const CProcess& row = *m_oProcess;
    const double number = runtime::RoundHalfEven(runtime::Val(row.ParameterValue(1)));
    if (row.Parameters() >= 2 && number >= 1 && number <= expected_) {
        KeepRow(static_cast<int32_t>(number), row.ParameterValue(2));
    } else {
        std::weak_ptr<char> alive = life_;
        const std::string what = row.Parameters() >= 2 ? "is out of range" : "has no text";
        RaiseShowError("Receive", "KVClient: row " + row.ParameterValue(1) + " of a " +
                                      std::to_string(expected_) + "-row result " + what +
                                      "; it is asked for again");
        if (!Alive(alive)) return;
    }
    CountDownRow();
}

// The last text of a row stands; an empty one leaves the row lost.
void CKVClient::KeepRow(int32_t number, std::string text) {
    if (!text.empty()) {
        rows_[number] = std::move(text);
        if (askedLost_) missing_.erase(number);
    } else if (rows_.erase(number) != 0 && askedLost_) {
        missing_.insert(number);
    }
}

void CKVClient::CountDownRow() {
    if (!receiving_ || remaining_ <= 0) return;
    if (--remaining_ == 0) AskLostRows();
}

void CKVClient::AskLostRows() {
    std::weak_ptr<char> alive = life_;
    const ProcessPtr answered = current_;
    if (!askedLost_) {
        // Only the first ask walks the rows that came; later ones walk what is asked.
        askedLost_ = true;
        int32_t next = 1;
        for (const auto& kept : rows_) {
            for (; next < kept.first; ++next) missing_.insert(missing_.end(), next);
            next = kept.first + 1;
        }
        for (; next <= expected_; ++next) missing_.insert(missing_.end(), next);
    }
    // Copied out: a handler of a send may reset the answer.
    const std::vector<int32_t> asked(missing_.begin(), missing_.end());
    remaining_ = static_cast<int32_t>(asked.size());
    for (int32_t number : asked) {
        Send(KVGeneralDLL10::RESULT_LOST_TOKEN, {std::to_string(number)});
        // A NotConnected handler may have reset the session.
        if (!Alive(alive) || current_ != answered || !receiving_) return;
    }
    if (remaining_ > 0) return;
    Send(KVGeneralDLL10::RESULT_OK_TOKEN, {});
    if (!Alive(alive) || current_ != answered || !receiving_) return;
    DeliverMultiRows(false);
}

void CKVClient::DeliverMultiRows(bool NoRows) {
    std::weak_ptr<char> alive = life_;
    receiving_ = false;
    const ProcessPtr answered = current_;
    if (answered && IsLoginToken(answered->TokenID())) {
        FailLoginRequest(answered, "KVClient: the login request was answered with a table");
        return;
    }
    // Delivered only once every row 1..expected_ is there.
    std::vector<std::string> rows;
    if (!NoRows) {
        rows.resize(static_cast<size_t>(expected_) + 1);
        for (auto& [number, text] : rows_) rows[static_cast<size_t>(number)] = std::move(text);
    }
    ClearRows();
    const int16_t token = answered ? answered->TokenID() : int16_t{0};
    answering_ = answered;
    AnswerCame(answered);
    try {
        m_oClientServerObjects->MultiRowsResultsreceived(token, NoRows, rows);
    } catch (const std::exception& e) {
        if (!Alive(alive)) return;
        RaiseShowError("Receive", "KVClient could not deliver the " +
                                      std::to_string(rows.empty() ? 0 : rows.size() - 1) +
                                      "-row result of request " + std::to_string(token) + ": " +
                                      ErrorText(e));
    }
    if (!Alive(alive)) return;
    answering_.reset();
    RequestDone(answered);
}

void CKVClient::OneRowReceived(const ProcessPtr& answered) {
    const int16_t token = answered ? answered->TokenID() : int16_t{0};
    if (token == KVGeneralDLL10::LOGIN_TOKEN) {
        LoginReplyReceived(answered);
        return;
    }
    if (token == KVGeneralDLL10::GENERATE_DEMO_ACCOUNT) {
        DemoReplyReceived(answered);
        return;
    }
    std::weak_ptr<char> alive = life_;
    answering_ = answered;
    AnswerCame(answered);
    try {
        m_oClientServerObjects->OneRowResultreceived(token, *m_oProcess);
    } catch (const std::exception& e) {
        if (!Alive(alive)) return;
        RaiseShowError("Receive", "KVClient could not deliver the answer to request " +
                                      std::to_string(token) + ": " + ErrorText(e));
    }
    if (!Alive(alive)) return;
    answering_.reset();
    RequestDone(answered);
}

void CKVClient::RaiseShowError(const std::string& title, const std::string& msg) {
    // A failing ShowError handler cannot report through ShowError.
    runtime::RunReported("KVClient ShowError", [&] { ShowError(title, msg); });
}

}  // namespace KVClientDLL10
