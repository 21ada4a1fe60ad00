#pragma once
// The client API's data client: one connection session to one trading
// server, the four request objects the session routes answers to (in this
// order: ClientServer, Reports, MoneyTrans, OnlineSessions) and the push
// dispatcher. Everything the session and the request objects report comes
// out as this object's own events, so its owner listens to one source.
// Events are raised synchronously; a handler may call back in or release the
// data client, and nothing of it is touched after such a release.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "clientapi/dataclient/CClientServer.h"
#include "clientapi/dataclient/CManagerReports.h"
#include "clientapi/dataclient/CMoneyTrans.h"
#include "clientapi/dataclient/COnlineSession.h"
#include "clientapi/dataclient/COnlineSessions.h"
#include "clientapi/dataclient/CSecurity.h"
#include "clientapi/dataclient/Enums.h"
#include "connection/Enums.h"
#include "connection/ResultTable.h"
#include "general/common/Enums.h"
#include "runtime/Event.h"

namespace KVClientDLL10 {
class CKVClient;
}
namespace OrbanelGeneral10 {
class CChatOrder;
class CLogFile;
class CProcess;
class CTokens;
}  // namespace OrbanelGeneral10
namespace testsupport {
class DataClientAccess;
}

namespace OrbanexClientAPI10 {

class CDataClient {
public:
    using Table = KVClientDLL10::ResultTable;
    using ListEvent = runtime::Event<bool /*NoRows*/, const Table& /*DataArray*/,
                                     int32_t /*Results*/, int16_t /*Parameters*/>;
    using OperationType = OrbanelGeneral10::OperationTypeEnum;
    using SessionPtr = std::shared_ptr<COnlineSession>;

    // Creates the session (automatic relogin on), the request objects and the
    // API log "c:\APIlog.txt"; nothing is written to the log until the
    // session reports an error.
    CDataClient();
    ~CDataClient();
    CDataClient(const CDataClient&) = delete;
    CDataClient& operator=(const CDataClient&) = delete;

    // The privileges, set by the owner; the session pushes 10 and 11 ask them.
    const std::shared_ptr<CSecurity>& SecurityRef() const { return securityRef_; }
    void setSecurityRef(std::shared_ptr<CSecurity> value) { securityRef_ = std::move(value); }
    // The API log; every error the session reports is one line of it.
    const std::shared_ptr<OrbanelGeneral10::CLogFile>& log() const { return log_; }
    void setLog(std::shared_ptr<OrbanelGeneral10::CLogFile> value) { log_ = std::move(value); }
    // The request objects. Read-only: the session routes answers to these very objects.
    const std::shared_ptr<CMoneyTrans>& MoneyTrans() const { return moneyTrans_; }
    const std::shared_ptr<COnlineSessions>& OnlineSessions() const { return onlineSessions_; }
    const std::shared_ptr<CClientServer>& ClientServer() const { return clientServer_; }
    const std::shared_ptr<CManagerReports>& Reports() const { return reports_; }

    // Parameter 3 of the login request.
    const std::string& LoginType() const;
    void setLoginType(const std::string& value);
    void Login();
    // Login on the server's word: at once at most once per connect interval
    // (CKVClient::LoginAgain).
    void LoginAgain();
    // With False no automatic relogin follows and LoginUser reads -200.
    void Disconnect(bool AutoRelogin);
    // Tells the server (139, outside the queue) that a dealer order arrived:
    // the user id and the order's id, "-1" without an order. Logged off, nothing goes.
    void MarketOrderReceived(const std::shared_ptr<OrbanelGeneral10::CChatOrder>& vOrder);
    bool LogedOn() const;
    double ServerPort() const;
    void setServerPort(double value);
    const std::string& ServerAddress() const;
    void setServerAddress(const std::string& value);
    // The first server address the owner gave; a re-routing back to it ends
    // the session. Independent of ServerAddress.
    const std::string& FirstIP() const { return m_sFirstIP; }
    void setFirstIP(const std::string& value) { m_sFirstIP = value; }
    const std::string& LoginUN() const;
    void setLoginUN(const std::string& value);
    const std::string& LoginPW() const;
    void setLoginPW(const std::string& value);
    // The session's user id rounded halves to even: -100 before any login,
    // -200 after a disconnection without relogin.
    int32_t LoginUser() const;
    // Does nothing: no request, no event.
    void GenerateDemoAccount(const std::string& IP, double Port, const std::string& Address,
                             const std::string& Email, const std::string& Name,
                             const std::string& Mobile, const std::string& Country, double Deposit,
                             const std::string& Password);
    // Asks the server for the online sessions under TreeID (182).
    void GetSessions(int32_t TreeID);
    // The session's request numbers (CKVClient::LastQueuedRequest and
    // LastAnsweredRequest): a request was answered when its number is at most
    // the answered one.
    uint64_t LastQueuedRequest() const;
    uint64_t LastAnsweredRequest() const;

    // ---- Events, in their declared order ----
    runtime::Event<const std::string& /*PriceS*/> ReceivePrices;
    runtime::Event<int32_t /*OrderID*/> KillOrder;
    ListEvent DealersRecieved;
    runtime::Event<const std::string& /*STime*/> ServerTime;
    runtime::Event<const std::string& /*PriceS*/> ReceiveHighLowPrices;
    runtime::Event<> SessionDisconnected;
    runtime::Event<> InvalidUsernamePassword;
    runtime::Event<bool /*IsConnected*/> State;
    runtime::Event<KVClientDLL10::WaitingModeEnum /*vMode*/> WaitingMode;
    runtime::Event<> AllSessionsLoaded;
    ListEvent SymbolsRecieved;
    ListEvent AccountsRecieved;
    ListEvent ClientsRecieved;
    ListEvent FloatingStatusRecieved;
    runtime::Event<int32_t /*vClient*/, int32_t /*vAccount*/, const std::string& /*PosRow*/>
        NewOpenPosMsg;
    runtime::Event<int32_t /*vClient*/, int32_t /*vAccount*/, int32_t /*Ticket*/,
                   const std::string& /*RowString*/, const std::string& /*ClosesPos*/>
        DeleteOpenPosMsg;
    runtime::Event<int32_t /*vClient*/, int32_t /*vAccount*/, int32_t /*Ticket*/,
                   const std::string& /*OldPosRow*/, const std::string& /*NewPosRow*/,
                   const std::string& /*ClosesPos*/>
        UpdateOpenPosMsg;
    runtime::Event<int32_t /*ClientID*/, int32_t /*vAccount*/, int32_t /*Ticket*/,
                   int32_t /*OpenTicket*/, const std::string& /*RowString*/,
                   const std::string& /*OpenPosRowString*/>
        DeleteClosePosMsg;
    runtime::Event<int32_t /*vClient*/, int32_t /*vAccount*/, int32_t /*Ticket*/,
                   int32_t /*OpenTicket*/, const std::string& /*OpenPosRow*/,
                   const std::string& /*HisOpenRow*/, const std::string& /*HisCloseRow*/>
        CloseOpenPosMsg;
    runtime::Event<int32_t /*vClient*/, int32_t /*vAccount*/, const std::string& /*RowString*/>
        NewPendingOrderMsg;
    runtime::Event<int32_t /*vClient*/, int32_t /*vAccount*/, int32_t /*OrderID*/>
        DeletePendingOrderMsg;
    runtime::Event<const std::string& /*vPrivs*/, int32_t /*vTreePriv*/> PrivsRecieved;
    runtime::Event<const std::string& /*vMarketLimitSt*/, const std::string& /*vAccount*/,
                   const std::string& /*vOrderID*/, const std::string& /*vOpCp*/,
                   const std::string& /*vStatus*/, const std::string& /*vBuySell*/,
                   const std::string& /*vLots*/, const std::string& /*vSymID*/,
                   const std::string& /*vPrice*/, const std::string& /*vOpenPrice*/,
                   const std::string& /*vHitPrice*/, const std::string& /*vRefHitPrice*/,
                   const std::string& /*vTime*/, const std::string& /*vFromSystem*/,
                   int32_t /*vOpenTicket*/, double /*vOpenLots*/>
        NewChatOrder;
    runtime::Event<int32_t /*Ret*/, int32_t /*OrdId*/> AcceptResultReceived;
    runtime::Event<int32_t /*OrdId*/> ChangeResultReceived;
    runtime::Event<int32_t /*Ret*/, int32_t /*OrdId*/> RejectResultReceived;
    runtime::Event<int16_t /*Result*/, double /*TotComm*/, double /*TotInt*/, double /*marginReq*/,
                   double /*NetProfit*/, double /*TotDep*/, double /*TotCr*/, double /*PrvMargin*/>
        SummariesResultReceived;
    ListEvent OpenPositionsRecieved;
    ListEvent AccountHistoryRecieved;
    ListEvent PendingOrdersRecieved;
    runtime::Event<int32_t /*Ret*/, int32_t /*ClientID*/, int32_t /*AccountID*/,
                   double /*AccInitMargin*/, const std::string& /*OpenDate*/, bool /*AccChecked*/,
                   bool /*AccLiquidated*/, const std::string& /*Params*/>
        CompDataReceived;
    runtime::Event<KVClientDLL10::GenerateDemoResultEnum /*Result*/,
                   const std::string& /*Username*/>
        OpenDemoAccountResultRecieved;
    runtime::Event<int32_t /*vClient*/, const std::string& /*vPars*/> ClientParametersChanged;
    runtime::Event<int32_t /*vClient*/, int32_t /*vAccount*/, double /*TotComm*/, double /*TotInt*/,
                   double /*marginReq*/, double /*NetProfit*/, double /*TotDep*/, double /*TotCr*/,
                   double /*PrvMargin*/, bool /*LockLiquidation*/>
        SummariesMsg;
    runtime::Event<const std::string& /*Globals*/, const std::string& /*LastTickTime*/,
                   const std::string& /*Versions*/, double /*GMTOffset*/, int16_t /*GWPricesStep*/,
                   int32_t /*FirstWL*/, bool /*ReadOnlyLogin*/>
        VariablesRecieved;
    runtime::Event<int32_t /*Ret*/, int16_t /*PosOrOrder*/, const std::string& /*SysDate*/,
                   double /*Lots*/, OperationType /*BuySell*/, double /*Price*/,
                   int32_t /*SymbolID*/, const std::string& /*TransTag*/>
        NewOrderResultRecieved;
    runtime::Event<int32_t /*ClientID*/, int32_t /*AccountID*/, int32_t /*OrderType*/,
                   int32_t /*OrderID*/, int16_t /*Status*/, int32_t /*OrIoID*/,
                   int32_t /*OrCpIoID*/, const std::string& /*vTime*/, double /*NewBuyPrice*/,
                   double /*NewSellPrice*/, double /*Lots*/, int32_t /*SymbolID*/,
                   double /*OldBuyPrice*/, double /*OldSellPrice*/, OperationType /*BuySell*/>
        OrderStatusChanged;
    runtime::Event<int32_t /*OrderID*/, int32_t /*Ticket*/, double /*NewPrice*/,
                   const std::string& /*SysTime*/, OperationType /*BuySell*/, double /*Lots*/,
                   int32_t /*SymbolID*/, const std::string& /*OPorCP*/, int32_t /*OpenTicket*/,
                   int32_t /*ClientID*/, int32_t /*AccountID*/>
        AcceptOrderResultRecieved;
    runtime::Event<int32_t /*OrderID*/> RejectOrderResultRecieved;
    // Never raised: no answer of the request object reaches it.
    runtime::Event<int32_t /*OrderID*/> TimerExpiredResultRecieved;
    runtime::Event<int32_t /*Ret*/, int16_t /*PosOrOrder*/, const std::string& /*SysDate*/,
                   int32_t /*ClientID*/, int32_t /*AccountID*/, int32_t /*OpenTicket*/,
                   double /*Lots*/, OperationType /*BuySell*/, double /*Price*/,
                   int32_t /*SymbolID*/, const std::string& /*TransTag*/>
        CloseOrderResultRecieved;
    runtime::Event<const std::string& /*Ret*/, const std::string& /*SysDate*/> NewPosResultRecieved;
    runtime::Event<const std::string& /*Ret*/> ChangeSymbolSettingsResultRecieved;
    runtime::Event<const std::string& /*NewVal*/> ChangeParamResultRecieved;
    runtime::Event<int32_t /*Ret*/, const std::string& /*Tag*/> CreateClientResultRecieved;
    runtime::Event<int32_t /*Ret*/, const std::string& /*Tag*/> CreateOfficeResultRecieved;
    runtime::Event<int32_t /*Ret*/, const std::string& /*Tag*/> CreateGroupResultRecieved;
    runtime::Event<int32_t /*Ret*/, const std::string& /*Tag*/> CreateAccountResultRecieved;
    runtime::Event<int32_t /*Ret*/, const std::string& /*SysDate*/, int32_t /*OpenTicket*/>
        ClosePosResultRecieved;
    runtime::Event<int32_t /*Ret*/, const std::string& /*SysDate*/, const std::string& /*TransTag*/>
        NewLimitOrderResultRecieved;
    runtime::Event<int32_t /*Ret*/, const std::string& /*SysDate*/, const std::string& /*TransTag*/>
        UpdateLimitOrderResultRecieved;
    runtime::Event<const std::string& /*Ret*/, const std::string& /*OrderIDs*/,
                   const std::string& /*TransTag*/>
        DeleteLimitOrderResultRecieved;
    runtime::Event<int32_t /*Ret*/, const std::string& /*SysDate*/, const std::string& /*TransTag*/>
        NewSLTPOrderResultRecieved;
    runtime::Event<int32_t /*Ret*/, const std::string& /*SysDate*/, const std::string& /*TransTag*/>
        UpdateSLTPOrderResultRecieved;
    runtime::Event<const std::string& /*Ret*/, const std::string& /*OrderIDs*/,
                   const std::string& /*TransTag*/>
        DeleteSLTPOrderResultRecieved;
    runtime::Event<bool /*NoRows*/, const Table& /*Data*/> ReportDataReceived;
    runtime::Event<int32_t /*ClientID*/, int32_t /*AccountID*/, int32_t /*TicketOrder*/,
                   int16_t /*Trans*/, int16_t /*TransType*/, int16_t /*TransSubType*/,
                   const std::string& /*IP*/, double /*Amount*/, int16_t /*WhoType*/,
                   int32_t /*WhoID*/, const std::string& /*Method*/, double /*Commission*/,
                   double /*Interest*/, double /*Price*/, double /*ClosePrice*/,
                   int32_t /*SymbolID*/, int32_t /*BuySell*/, int32_t /*TicketOrder2*/,
                   const std::string& /*TransTime*/, int32_t /*TransID*/, double /*RefSymbolPrice*/,
                   double /*ProfitLoss*/>
        TransactionLogMsg;
    runtime::Event<SendSMSResultsEnum /*Result*/> SendSMSResultReceived;
    // Raised twice per answer: the result as the server gave it, then
    // normalised (-1 and -2 kept, every other value 1).
    runtime::Event<SwitchOrderResultsEnum /*Result*/, int32_t /*OrderID*/>
        SwitchOrderResultReceived;
    runtime::Event<bool /*Done*/> MoneyTransResultReceived;
    runtime::Event<const SessionPtr& /*LogedSession*/> SessionLoggedON;
    runtime::Event<const SessionPtr& /*LogedOffSession*/> SessionLoggedOff;
    runtime::Event<bool /*ChatOn*/> SwitchChatResultRecieved;
    runtime::Event<> DisconnectNoHandshakeMsg;
    runtime::Event<const std::string& /*OldIP*/, const std::string& /*NewIP*/> ServerRouted;

private:
    friend class testsupport::DataClientAccess;
    using Fields = std::vector<std::string>;

    // ---- Wiring ----
    void ConnectSession();
    void ConnectRequestObjects();
    template <class... A>
    void Relay(runtime::Event<A...>& from, runtime::Event<A...>& to);
    template <class... A, class F>
    void Handle(runtime::Event<A...>& from, F handler);
    void OnSwitchOrderResult(int32_t Result, int32_t OrderID);
    void OnShowError(const std::string& Msg);

    // ---- Pushes ----
    void OnDataRecieved(int16_t vToken, const Fields& v);
    void OnOrderAudit(const Fields& v);
    void OnDealerOrder(const Fields& v);
    void OnSummaries(const Fields& v);
    void OnTransactionLog(const Fields& v);
    void OnSessionLoggedOn(const Fields& v);
    void OnSessionLoggedOff(const Fields& v);
    SessionPtr SessionFromPush(const Fields& v) const;
    bool MayWatchSessions() const;
    void OnServerRouted(const Fields& v);

    std::unique_ptr<KVClientDLL10::CKVClient> m_oKVClient;
    std::shared_ptr<OrbanelGeneral10::CTokens> tokens_;
    std::shared_ptr<CClientServer> clientServer_;
    std::shared_ptr<CManagerReports> reports_;
    std::shared_ptr<CMoneyTrans> moneyTrans_;
    std::shared_ptr<COnlineSessions> onlineSessions_;
    std::unique_ptr<OrbanelGeneral10::CProcess> m_oProcess;
    std::shared_ptr<OrbanelGeneral10::CLogFile> log_;
    std::shared_ptr<CSecurity> securityRef_;
    std::string m_sFirstIP;
    // The order-audit cells, reused push after push.
    std::vector<std::string> auditCells_;

    // Declared after the objects, so they are cut first when the client goes.
    std::vector<runtime::ScopedConnection> connections_;
    std::shared_ptr<char> life_ = std::make_shared<char>();
};

}  // namespace OrbanexClientAPI10
