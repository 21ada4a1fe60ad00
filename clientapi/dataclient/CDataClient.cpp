#include "clientapi/dataclient/CDataClient.h"

#include <utility>

#include "clientapi/dataclient/FieldText.h"
#include "connection/CKVClient.h"
#include "general/common/CLogFile.h"
#include "general/common/CProcess.h"
#include "general/common/CTokens.h"
#include "general/common/MGenerals.h"
#include "general/model/CChatOrder.h"
#include "runtime/Convert.h"
#include "runtime/Error.h"
#include "runtime/Strings.h"

namespace OrbanexClientAPI10 {

namespace ft = fieldtext;
namespace og = OrbanelGeneral10;

namespace {

constexpr char kLogFile[] = "c:\\APIlog.txt";
constexpr size_t kAuditCells = 15;

// Field n of a push (1-based); a missing one raises runtime::Error(9).
const std::string& Field(const std::vector<std::string>& v, size_t n) {
    if (n == 0 || n >= v.size()) {
        throw runtime::Error(runtime::errc::SubscriptOutOfRange,
                             "The message has no field " + std::to_string(n));
    }
    return v[n];
}

bool Alive(const std::weak_ptr<char>& token) {
    return !token.expired();
}

}  // namespace

CDataClient::CDataClient() {
    m_oKVClient = std::make_unique<KVClientDLL10::CKVClient>();
    ConnectSession();
    tokens_ = std::make_shared<og::CTokens>();
    m_oKVClient->setTokens(tokens_);
    clientServer_ = std::make_shared<CClientServer>();
    reports_ = std::make_shared<CManagerReports>();
    moneyTrans_ = std::make_shared<CMoneyTrans>();
    onlineSessions_ = std::make_shared<COnlineSessions>();
    ConnectRequestObjects();
    m_oProcess = std::make_unique<og::CProcess>();
    auditCells_.resize(kAuditCells);
    // Registration order is routing order.
    m_oKVClient->AddClientServerObject(clientServer_);
    m_oKVClient->AddClientServerObject(reports_);
    m_oKVClient->AddClientServerObject(moneyTrans_);
    m_oKVClient->AddClientServerObject(onlineSessions_);
    m_oKVClient->setAutoRelogin(true);
    log_ = std::make_shared<og::CLogFile>();
    log_->setFileName(kLogFile);
    log_->setLogEnabled(true);
}

CDataClient::~CDataClient() = default;

// ---- Forwarded to the session ----

const std::string& CDataClient::LoginType() const {
    return m_oKVClient->LoginType();
}
void CDataClient::setLoginType(const std::string& value) {
    m_oKVClient->setLoginType(value);
}
void CDataClient::Login() {
    m_oKVClient->Login();
}
void CDataClient::LoginAgain() {
    m_oKVClient->LoginAgain();
}
void CDataClient::Disconnect(bool AutoRelogin) {
    m_oKVClient->Disconnect(AutoRelogin);
}
bool CDataClient::LogedOn() const {
    return m_oKVClient->LogedOn();
}
double CDataClient::ServerPort() const {
    return m_oKVClient->ServerPort();
}
void CDataClient::setServerPort(double value) {
    m_oKVClient->setServerPort(value);
}
const std::string& CDataClient::ServerAddress() const {
    return m_oKVClient->ServerAddress();
}
void CDataClient::setServerAddress(const std::string& value) {
    m_oKVClient->setServerAddress(value);
}
const std::string& CDataClient::LoginUN() const {
    return m_oKVClient->LoginUN();
}
void CDataClient::setLoginUN(const std::string& value) {
    m_oKVClient->setLoginUN(value);
}
const std::string& CDataClient::LoginPW() const {
    return m_oKVClient->LoginPW();
}
void CDataClient::setLoginPW(const std::string& value) {
    m_oKVClient->setLoginPW(value);
}
int32_t CDataClient::LoginUser() const {
    return runtime::CLng(m_oKVClient->LoginUser());
}

void CDataClient::GenerateDemoAccount(const std::string&, double, const std::string&,
                                      const std::string&, const std::string&, const std::string&,
                                      const std::string&, double, const std::string&) {}

void CDataClient::GetSessions(int32_t TreeID) {
    onlineSessions_->RequestOnlineSessionsFromServer(TreeID);
}

uint64_t CDataClient::LastQueuedRequest() const {
    return m_oKVClient->LastQueuedRequest();
}
uint64_t CDataClient::LastAnsweredRequest() const {
    return m_oKVClient->LastAnsweredRequest();
}

void CDataClient::MarketOrderReceived(const std::shared_ptr<og::CChatOrder>& vOrder) {
    const std::string id = vOrder ? std::to_string(vOrder->ID()) : std::string("-1");
    m_oKVClient->Send(og::MARKET_ORDER_RECIEVED_TOKEN,
                      {runtime::NumberToText(m_oKVClient->LoginUser()), id});
}

// ---- Wiring ----

template <class... A>
void CDataClient::Relay(runtime::Event<A...>& from, runtime::Event<A...>& to) {
    connections_.emplace_back(from.Connect([&to](A... args) { to(args...); }));
}

template <class... A, class F>
void CDataClient::Handle(runtime::Event<A...>& from, F handler) {
    connections_.emplace_back(from.Connect(std::move(handler)));
}

void CDataClient::ConnectSession() {
    KVClientDLL10::CKVClient& s = *m_oKVClient;
    Relay(s.State, State);
    Handle(s.DataRecieved,
           [this](int16_t vToken, int16_t, const Fields& v) { OnDataRecieved(vToken, v); });
    Relay(s.InvalidUsernamePassword, InvalidUsernamePassword);
    Relay(s.WaitingMode, WaitingMode);
    Relay(s.ServerTime, ServerTime);
    Handle(s.DisconnectMessageRecieved, [this](int16_t) { SessionDisconnected(); });
    Handle(s.ShowError, [this](const std::string&, const std::string& Msg) { OnShowError(Msg); });
    Relay(s.OpenDemoAccountResultRecieved, OpenDemoAccountResultRecieved);
    Relay(s.DisconnectNoHandshakeMsg, DisconnectNoHandshakeMsg);
}

void CDataClient::ConnectRequestObjects() {
    CClientServer& c = *clientServer_;
    Relay(c.SymbolsRecieved, SymbolsRecieved);
    Relay(c.DealersRecieved, DealersRecieved);
    Relay(c.AccountsRecieved, AccountsRecieved);
    Relay(c.ClientsRecieved, ClientsRecieved);
    Relay(c.FloatingStatusRecieved, FloatingStatusRecieved);
    Relay(c.PrivsRecieved, PrivsRecieved);
    Relay(c.AcceptResultReceived, AcceptResultReceived);
    Relay(c.RejectResultReceived, RejectResultReceived);
    Relay(c.ChangeResultReceived, ChangeResultReceived);
    Relay(c.OpenPositionsRecieved, OpenPositionsRecieved);
    Relay(c.AccountHistoryRecieved, AccountHistoryRecieved);
    Relay(c.PendingOrdersRecieved, PendingOrdersRecieved);
    Relay(c.SummariesResultReceived, SummariesResultReceived);
    Relay(c.CompDataReceived, CompDataReceived);
    Relay(c.VariablesRecieved, VariablesRecieved);
    Relay(c.NewOrderResultRecieved, NewOrderResultRecieved);
    Relay(c.CloseOrderResultRecieved, CloseOrderResultRecieved);
    Relay(c.NewPosResultRecieved, NewPosResultRecieved);
    Relay(c.ChangeSymbolSettingsResultRecieved, ChangeSymbolSettingsResultRecieved);
    Relay(c.ChangeParamResultRecieved, ChangeParamResultRecieved);
    Relay(c.CreateClientResultRecieved, CreateClientResultRecieved);
    Relay(c.CreateOfficeResultRecieved, CreateOfficeResultRecieved);
    Relay(c.CreateGroupResultRecieved, CreateGroupResultRecieved);
    Relay(c.CreateAccountResultRecieved, CreateAccountResultRecieved);
    Relay(c.ClosePosResultRecieved, ClosePosResultRecieved);
    Relay(c.NewLimitOrderResultRecieved, NewLimitOrderResultRecieved);
    Relay(c.UpdateLimitOrderResultRecieved, UpdateLimitOrderResultRecieved);
    Relay(c.DeleteLimitOrderResultRecieved, DeleteLimitOrderResultRecieved);
    Relay(c.NewSLTPOrderResultRecieved, NewSLTPOrderResultRecieved);
    Relay(c.UpdateSLTPOrderResultRecieved, UpdateSLTPOrderResultRecieved);
    Relay(c.DeleteSLTPOrderResultRecieved, DeleteSLTPOrderResultRecieved);
    Relay(c.AcceptOrderResultRecieved, AcceptOrderResultRecieved);
    Relay(c.RejectOrderResultRecieved, RejectOrderResultRecieved);
    Relay(c.SendSMSResultReceived, SendSMSResultReceived);
    Relay(c.SwitchChatResultRecieved, SwitchChatResultRecieved);
    Handle(c.SwitchOrderResultReceived,
           [this](auto Result, int32_t OrderID) { OnSwitchOrderResult(Result, OrderID); });
    Relay(reports_->ReportDataReceived, ReportDataReceived);
    Relay(moneyTrans_->MoneyTransResultReceived, MoneyTransResultReceived);
    Relay(onlineSessions_->AllSessionsLoaded, AllSessionsLoaded);
}

void CDataClient::OnSwitchOrderResult(int32_t Result, int32_t OrderID) {
    std::weak_ptr<char> alive = life_;
    SwitchOrderResultReceived(static_cast<SwitchOrderResultsEnum>(Result), OrderID);
    if (!Alive(alive)) return;
    const SwitchOrderResultsEnum normalised = (Result == OrderNotExist || Result == NoOtherDealer)
                                                  ? static_cast<SwitchOrderResultsEnum>(Result)
                                                  : SwitchedSuccessfully;
    SwitchOrderResultReceived(normalised, OrderID);
}

void CDataClient::OnShowError(const std::string& Msg) {
    // The session's failures are the API log's only lines; the title is not kept.
    if (log_) log_->AddEntry(Msg, 1);
}

// ---- Pushes ----

void CDataClient::OnDataRecieved(int16_t vToken, const Fields& v) {
    switch (vToken) {
        case og::MARKET_DATA_TOKEN:
            ReceivePrices(Field(v, 1));
            return;
        case og::NEW_HIGH_LOW_TOKEN:
            ReceiveHighLowPrices(Field(v, 1));
            return;
        case og::NEW_OPEN_POSITION_TOKEN:
            NewOpenPosMsg(ft::Whole(Field(v, 1)), ft::Whole(Field(v, 2)), Field(v, 3));
            return;
        case og::DELETE_OPEN_POSITION_TOKEN:
            DeleteOpenPosMsg(ft::Whole(Field(v, 1)), ft::Whole(Field(v, 2)), ft::Whole(Field(v, 3)),
                             Field(v, 4), Field(v, 5));
            return;
        case og::UPDATE_OPEN_POSITION_TOKEN:
            UpdateOpenPosMsg(ft::Whole(Field(v, 1)), ft::Whole(Field(v, 2)), ft::Whole(Field(v, 3)),
                             Field(v, 4), Field(v, 5), Field(v, 6));
            return;
        case og::DELETE_POS_LIQ_TOKEN:
            DeleteClosePosMsg(ft::Whole(Field(v, 1)), ft::Whole(Field(v, 2)),
                              ft::Whole(Field(v, 3)), ft::Whole(Field(v, 4)), Field(v, 5),
                              Field(v, 6));
            return;
        case og::CLOSE_OPEN_POSITION_TOKEN:
            CloseOpenPosMsg(ft::Whole(Field(v, 1)), ft::Whole(Field(v, 2)), ft::Whole(Field(v, 3)),
                            ft::Whole(Field(v, 4)), Field(v, 5), Field(v, 6), Field(v, 7));
            return;
        case og::MARKET_ORDER_TOKEN:
            OnDealerOrder(v);
            return;
        case og::CLIENT_PARAMETERS_TOKEN:
            ClientParametersChanged(ft::Whole(Field(v, 1)), Field(v, 2));
            return;
        case og::SUMMARIES_CHANGED_TOKEN:
            OnSummaries(v);
            return;
        case og::ORDER_AUDIT_TOKEN:
            OnOrderAudit(v);
            return;
        case og::NEW_PENDING_ORDER_TOKEN:
            NewPendingOrderMsg(ft::Whole(Field(v, 1)), ft::Whole(Field(v, 2)), Field(v, 3));
            return;
        case og::DELETE_PENDING_ORDER_TOKEN:
            DeletePendingOrderMsg(ft::Whole(Field(v, 1)), ft::Whole(Field(v, 2)),
                                  ft::Whole(Field(v, 3)));
            return;
        case og::TRANS_LOG_TOKEN:
            OnTransactionLog(v);
            return;
        case og::SESSION_LOGGED_OFF_TOKEN:
            OnSessionLoggedOff(v);
            return;
        case og::SESSION_LOGGED_ON_TOKEN:
            OnSessionLoggedOn(v);
            return;
        case og::KILL_ORDER_TOKEN:
            KillOrder(ft::Whole(Field(v, 1)));
            return;
        case og::ROUT_SERVER_TOKEN:
            OnServerRouted(v);
            return;
        default:
            return;  // not a push of ours
    }
}

void CDataClient::OnOrderAudit(const Fields& v) {
    std::vector<std::string>& c = auditCells_;
    m_oProcess->SplitOrderAuditRow(Field(v, 1), c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7],
                                   c[8], c[9], c[10], c[11], c[12], c[13], c[14]);
    // Converted before the raise: a handler's push may reuse the cells.
    const int32_t client = ft::Whole(c[0]), account = ft::Whole(c[1]), type = ft::Whole(c[2]),
                  order = ft::Whole(c[3]);
    const int16_t status = ft::Short(c[4]);
    const int32_t ioId = ft::Whole(c[5]), cpIoId = ft::Whole(c[6]);
    const std::string time = c[7];
    const double newBuy = ft::Real(c[8]), newSell = ft::Real(c[9]), lots = ft::Real(c[10]);
    const int32_t symbol = ft::Whole(c[11]);
    const double oldBuy = ft::Real(c[12]), oldSell = ft::Real(c[13]);
    const auto buySell = static_cast<OperationType>(ft::Whole(c[14]));
    OrderStatusChanged(client, account, type, order, status, ioId, cpIoId, time, newBuy, newSell,
                       lots, symbol, oldBuy, oldSell, buySell);
}

void CDataClient::OnDealerOrder(const Fields& v) {
    const int32_t openTicket = ft::Whole(Field(v, 15));
    const double openLots = ft::Real(Field(v, 16));
    NewChatOrder(Field(v, 1), Field(v, 2), Field(v, 3), Field(v, 4), Field(v, 5), Field(v, 6),
                 Field(v, 7), Field(v, 8), Field(v, 9), Field(v, 10), Field(v, 11), Field(v, 12),
                 Field(v, 13), Field(v, 14), openTicket, openLots);
}

void CDataClient::OnSummaries(const Fields& v) {
    const bool lockLiquidation = ft::StrictNumber(Field(v, 10)) == 1;
    SummariesMsg(ft::Whole(Field(v, 1)), ft::Whole(Field(v, 2)), ft::Real(Field(v, 3)),
                 ft::Real(Field(v, 4)), ft::Real(Field(v, 5)), ft::Real(Field(v, 6)),
                 ft::Real(Field(v, 7)), ft::Real(Field(v, 8)), ft::Real(Field(v, 9)),
                 lockLiquidation);
}

void CDataClient::OnTransactionLog(const Fields& v) {
    auto w = [&v](size_t n) { return ft::Whole(Field(v, n)); };
    auto s = [&v](size_t n) { return ft::Short(Field(v, n)); };
    auto r = [&v](size_t n) { return ft::Real(Field(v, n)); };
    // Every field is read before the event, in field order.
    const int32_t client = w(1), account = w(2), ticket = w(3);
    const int16_t trans = s(4), transType = s(5), subType = s(6);
    const std::string& ip = Field(v, 7);
    const double amount = r(8);
    const int16_t whoType = s(9);
    const int32_t whoId = w(10);
    const std::string& method = Field(v, 11);
    const double commission = r(12), interest = r(13), price = r(14), closePrice = r(15);
    const int32_t symbol = w(16), buySell = w(17), ticket2 = w(18);
    const std::string& time = Field(v, 19);
    const int32_t transId = w(20);
    const double refPrice = r(21), profitLoss = r(22);
    TransactionLogMsg(client, account, ticket, trans, transType, subType, ip, amount, whoType,
                      whoId, method, commission, interest, price, closePrice, symbol, buySell,
                      ticket2, time, transId, refPrice, profitLoss);
}

bool CDataClient::MayWatchSessions() const {
    if (!securityRef_) {
        throw runtime::Error(runtime::errc::ObjectVariableNotSet,
                             "Session messages need the privileges object");
    }
    return securityRef_->UserHasPriv(ConnectedSessionsScreenPriv);
}

CDataClient::SessionPtr CDataClient::SessionFromPush(const Fields& v) const {
    auto session = std::make_shared<COnlineSession>();
    session->setSID(ft::Whole(Field(v, 1)));
    session->setLoginTime(Field(v, 2));
    session->setUserType(static_cast<UserType>(ft::Whole(Field(v, 6))));
    session->setUserID(ft::Whole(Field(v, 7)));
    session->setUsername(Field(v, 3));
    session->setName(Field(v, 4));
    session->setIP(Field(v, 5));
    session->setAPILogin(ft::Real(Field(v, 9)) == 1);
    return session;
}

void CDataClient::OnSessionLoggedOn(const Fields& v) {
    SessionPtr session;
    try {
        if (!MayWatchSessions()) return;
        session = SessionFromPush(v);
        session->setDealerPriv(ft::Whole(Field(v, 10)));
    } catch (const std::exception&) {
        return;  // a malformed logged-on message is dropped without a trace
    }
    SessionLoggedON(session);
}

void CDataClient::OnSessionLoggedOff(const Fields& v) {
    if (!MayWatchSessions()) return;
    SessionPtr session = SessionFromPush(v);
    if (session->UserType() == DealerUser && !securityRef_->UserHasPriv(ShowOnlineDealersPriv))
        return;
    onlineSessions_->RemoveSession(*session);
    SessionLoggedOff(session);
}

void CDataClient::OnServerRouted(const Fields& v) {
    const std::string newIP = Field(v, 1);
    if (runtime::Trim(newIP).empty()) {
        // Following it would send the session nowhere and have the host write
        // the blank over its server list.
        throw runtime::Error(runtime::errc::InvalidProcedureCall,
                             "The re-routing message names no server");
    }
    const std::string oldIP = m_oKVClient->ServerAddress();
    std::weak_ptr<char> alive = life_;
    ServerRouted(oldIP, newIP);
    if (!Alive(alive)) return;
    m_oKVClient->setServerAddress(newIP);
    const std::string& current = m_oKVClient->ServerAddress();
    const bool backToFirst = runtime::Trim(current) == runtime::Trim(m_sFirstIP);
    // The host shows the box and we go on at once: a library never waits for a user.
    og::ShowMessage((backToFirst ? "Disconnect m_sFirstIP = " : "login m_sFirstIP = ") +
                    m_sFirstIP + "  ServerAddress=" + current);
    if (!Alive(alive)) return;
    if (backToFirst) {
        m_oKVClient->Disconnect(false);
        if (!Alive(alive)) return;
        InvalidUsernamePassword();
    } else {
        m_oKVClient->LoginAgain();
    }
}

}  // namespace OrbanexClientAPI10
