#pragma once
// The client API's public session object: one per trading login. It builds
// and wires the symbols manager, the accounts manager and the data client,
// forwards every member to one of them unchanged (no member catches) and
// turns their events into its own 38 events.
//
// Events are raised synchronously from inside the inner objects' handlers. A
// host may release the object inside any of its events: a handler touches
// nothing of the object after a raise that released it. Releasing the object
// logs nothing out; call Disconnect first for an orderly logout.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "clientapi/dataclient/Enums.h"
#include "clientapi/facade/CAccountHistory.h"
#include "clientapi/facade/COAccount.h"
#include "clientapi/facade/COClient.h"
#include "clientapi/facade/COOpenPosition.h"
#include "clientapi/facade/COOrder.h"
#include "clientapi/facade/COSymbol.h"
#include "connection/Enums.h"
#include "connection/ResultTable.h"
#include "general/common/Enums.h"
#include "runtime/Collection.h"
#include "runtime/Event.h"
#include "runtime/Variant.h"

namespace OrbanelGeneral10 {
class CGlobalVar;
class CLogFile;
}  // namespace OrbanelGeneral10
namespace testsupport {
class ClientAPIAccess;
}

namespace OrbanexClientAPI10 {

class CAccountsManager;
class CDataClient;
class CMOrder;
class CSecurity;
class CSymbolsManager;

class COrbanexClientAPI {
public:
    using OperationType = OrbanelGeneral10::OperationTypeEnum;
    using SymbolView = std::shared_ptr<COSymbol>;
    using PositionView = std::shared_ptr<COOpenPosition>;
    using OrderView = std::shared_ptr<COOrder>;
    using HistoryRows = runtime::Collection<std::shared_ptr<CAccountHistory>>;

    // The library's own version, 10.2.3.
    static constexpr int16_t kRelease = 10;
    static constexpr int16_t kVersion = 2;
    static constexpr int16_t kPatch = 3;

    COrbanexClientAPI();
    ~COrbanexClientAPI();
    COrbanexClientAPI(const COrbanexClientAPI&) = delete;
    COrbanexClientAPI& operator=(const COrbanexClientAPI&) = delete;

    // ---- Members, in slot order ----

    // The facade's log ("c:\apirzk.txt"); a host may put its own in its place.
    const std::shared_ptr<OrbanelGeneral10::CLogFile>& log() const { return log_; }
    void setLog(std::shared_ptr<OrbanelGeneral10::CLogFile> value) { log_ = std::move(value); }
    void SetLoginInfo(const std::string& Username, const std::string& Password,
                      const std::string& ServerIP, int32_t ServerPort);
    // Clears the symbols-loaded flag, then logs in.
    void Login();
    std::shared_ptr<COAccount> Account(int32_t AccountID);
    CallingResultsEnum SelectAccount(int32_t AccountID);
    CallingResultsEnum GetAccountHistory(int32_t AccID, const std::string& FromDate,
                                         const std::string& ToDate);
    // runtime::Error(6) past 32,767 symbols.
    int16_t SymbolsCount() const;
    std::shared_ptr<COSymbol> SymbolByIndex(int16_t Index);
    std::shared_ptr<COSymbol> SymbolByID(int32_t ID);
    std::shared_ptr<COSymbol> SymbolByName(const std::string& Name);
    int32_t OpenPositionsCount() const;
    std::shared_ptr<COOpenPosition> OpenPositionByIndex(int16_t Index);
    std::shared_ptr<COOpenPosition> OpenPositionByTicket(int32_t Ticket);
    int32_t OrdersCount() const;
    std::shared_ptr<COOrder> OrderByIndex(int16_t Index);
    std::shared_ptr<COOrder> OrderByID(int32_t OrderID);
    CallingResultsEnum NewMarketOrder(OperationType BuySell, int32_t SymbolID, double Lots,
                                      const std::string& TransTag, const std::string& Note);
    // The limit and SL/TP commands go out as a client user's.
    CallingResultsEnum NewLimitOrder(OperationType OrderType, int32_t SymbolID, double Lots,
                                     double AtPrice, const runtime::Variant& SL,
                                     const runtime::Variant& TP, const std::string& TransTag,
                                     const std::string& Note);
    CallingResultsEnum UpdateLimitOrder(int32_t OrderID, double Lots, double NewPrice,
                                        const runtime::Variant& SL, const runtime::Variant& TP,
                                        const std::string& TransTag, const std::string& Note);
    CallingResultsEnum DeleteLimitOrder(const std::string& OrderIDs, const std::string& TransTag);
    CallingResultsEnum AcceptOrder(int32_t OrderID);
    CallingResultsEnum RejectOrder(int32_t OrderID);
    CallingResultsEnum CloseMarketOrder(const std::string& Tickets, const std::string& Lots,
                                        const std::string& TransTag);
    bool LogedOn() const;
    // Ends the session without automatic re-login.
    void Disconnect();
    const std::string& ServerIP() const;
    // The port rounded half to even.
    int32_t ServerPort() const;
    const std::string& LoginUsername() const;
    const std::string& LoginPassword() const;
    CallingResultsEnum AccountSummaries(int32_t AccountID, double& Balance, double& FltPL,
                                        double& Credit, double& Equity, double& marginReq,
                                        double& MarginLevel, double& EffMargin);
    CallingResultsEnum NewSLTPOrder(int32_t Ticket, double Lots, const runtime::Variant& SL,
                                    const runtime::Variant& TP, const std::string& TransTag);
    CallingResultsEnum UpdateSLTPOrder(int32_t OrderID, double Lots, const runtime::Variant& SL,
                                       const runtime::Variant& TP, const std::string& TransTag);
    CallingResultsEnum DeleteSLTPOrder(const std::string& OrderIDs, const std::string& TransTag);
    // Sends nothing.
    void OpenDemoAccount(const std::string& IP, int32_t Port, const std::string& Address,
                         const std::string& Email, const std::string& Name,
                         const std::string& Mobile, const std::string& Country, double Deposit,
                         const std::string& Password);
    double LimitPrice(OperationType OrderType, int32_t SymbolID);
    std::string LimitRelation(OperationType OrderType) const;
    std::string SlTpRelation(OperationType OrderType, const std::string& SlORTp) const;
    double SlTpPrice(OperationType OrderType, int32_t SymbolID, const std::string& SlORTp,
                     double FromPrice);
    int32_t ClientsCount() const;
    std::shared_ptr<COClient> ClientByIndex(int16_t Index);
    std::shared_ptr<COClient> ClientByID(int32_t ID);
    int32_t AccountsCount(int32_t ClientID) const;
    std::shared_ptr<COAccount> AccountByID(int32_t AccountID);
    std::shared_ptr<COAccount> AccountByIndex(int32_t ClientID, int16_t Index);
    double GMTOffset() const;
    double ServerGMTOffset() const;
    double MinimumAmount(int32_t SymbolID) const;
    double MaximumAmount(int32_t SymbolID) const;
    double Commission(int32_t SymbolID) const;
    double LimitOffset(int32_t SymbolID) const;
    double StopOffset(int32_t SymbolID) const;
    runtime::Variant Spread(int32_t SymbolID) const;
    int32_t FirstWhiteLabel() const;
    int16_t Release() const { return kRelease; }
    int16_t Version() const { return kVersion; }
    int16_t Patch() const { return kPatch; }
    // Each trading command (the order, SL/TP, close and re-quote members above)
    // that returns SuccessResult queues one request, unless the session's queue
    // is full; a queued request takes the next number, never reused, across
    // reconnects too. It was answered, whatever the answer (an error
    // included), once its number is at most LastAnsweredRequest().
    uint64_t LastQueuedRequest() const;
    uint64_t LastAnsweredRequest() const;

    // ---- Events, in dispatch order 1 to 38 ----
    runtime::Event<const std::string& /*STime*/> ServerTime;
    runtime::Event<> SessionDisconnected;
    runtime::Event<> InvalidUsernamePassword;
    runtime::Event<bool /*IsConnected*/> ConnectionState;
    runtime::Event<KVClientDLL10::WaitingModeEnum /*Mode*/> WaitingMode;
    runtime::Event<const SymbolView& /*Symbol*/> SymbolPricesChanged;
    runtime::Event<const SymbolView& /*Symbol*/> SymbolHighLowChanged;
    runtime::Event<> SymbolsLoaded;
    runtime::Event<> OpenPositionsLoaded;
    runtime::Event<> PendingOrdersLoaded;
    runtime::Event<const std::shared_ptr<HistoryRows>& /*AccountHistory*/> AccountHistoryReceived;
    runtime::Event<> AllDataAreLoaded;
    runtime::Event<double /*Balance*/, double /*FltPL*/, double /*Credit*/, double /*Equity*/,
                   double /*marginReq*/, double /*MarginLevel*/, double /*EffMargin*/>
        SummariesChanged;
    runtime::Event<const PositionView& /*Pos*/> PosFloatingPLChanged;
    runtime::Event<const PositionView& /*Pos*/> DeleteOpenPosition;
    runtime::Event<const PositionView& /*Pos*/> UpdateOpenPosition;
    runtime::Event<const PositionView& /*Pos*/> NewOpenPosition;
    runtime::Event<NewOrderResultEnum /*Result*/, double /*AtPrice*/, int16_t /*PosOrOrder*/,
                   int32_t /*OrderID*/, OperationType /*BuySell*/, double /*Lots*/,
                   const SymbolView& /*Symbol*/, const std::string& /*ServerTime*/,
                   const std::string& /*TransTag*/>
        NewOrderResult;
    runtime::Event<NewOrderResultEnum /*Result*/, int32_t /*OrderID*/,
                   const std::string& /*ServerTime*/, const std::string& /*TransTag*/>
        NewLimitOrderResult;
    runtime::Event<NewOrderResultEnum, int32_t, const std::string&, const std::string&>
        UpdateLimitOrderResult;
    runtime::Event<NewOrderResultEnum /*Result*/, const std::string& /*OrderIDs*/,
                   const std::string& /*TransTag*/>
        DeleteLimitOrderResult;
    runtime::Event<NewOrderResultEnum, int32_t, const std::string&, const std::string&>
        NewSLTPOrderResult;
    runtime::Event<NewOrderResultEnum, int32_t, const std::string&, const std::string&>
        UpdateSLTPOrderResult;
    runtime::Event<NewOrderResultEnum, const std::string&, const std::string&>
        DeleteSLTPOrderResult;
    runtime::Event<KVClientDLL10::GenerateDemoResultEnum /*Result*/,
                   const std::string& /*Username*/>
        OpenDemoAccountResultRecieved;
    runtime::Event<int32_t /*AccountID*/, int32_t /*OrderID*/, int32_t /*Ticket*/,
                   OperationType /*BuySell*/, double /*Lots*/, const SymbolView& /*Symbol*/,
                   double /*Price*/, OrbanelGeneral10::NewOrLiquidateEnum /*NewOrLiq*/,
                   double /*RequestedPrice*/>
        MarketOrderAccepted;
    runtime::Event<int32_t /*OrderID*/, OperationType /*BuySell*/, double /*Lots*/,
                   const SymbolView& /*Symbol*/, double /*Price*/,
                   OrbanelGeneral10::NewOrLiquidateEnum /*NewOrLiq*/>
        MarketOrderRejected;
    runtime::Event<int32_t /*OrderID*/, int32_t /*AccountID*/, OperationType /*BuySell*/,
                   double /*Lots*/, const SymbolView& /*Symbol*/, double /*OldPrice*/,
                   double /*NewPrice*/, int32_t /*OpenTicket*/, int16_t /*CurrentTimer*/,
                   int16_t /*AllTimer*/>
        OrderTimer;
    runtime::Event<NewOrderResultEnum /*Result*/, double /*AtPrice*/, int16_t /*PosOrOrder*/,
                   int32_t /*OrderID*/, OperationType /*BuySell*/, double /*Lots*/,
                   const SymbolView& /*Symbol*/, const std::string& /*ServerTime*/,
                   int32_t /*OpenTicket*/, const std::string& /*TransTag*/>
        CloseOrderResult;
    runtime::Event<const OrderView& /*Order*/> NewPendingOrder;
    runtime::Event<const OrderView& /*Order*/> DeletePendingOrder;
    runtime::Event<int32_t /*AccountID*/, int32_t /*OrderID*/, int32_t /*Ticket*/,
                   OperationType /*BuySell*/, double /*Lots*/, const SymbolView& /*Symbol*/>
        LimitOrderAccepted;
    runtime::Event<int32_t, int32_t, int32_t, OperationType, double, const SymbolView&>
        LimitOrderCanceledNoMoney;
    runtime::Event<int32_t, int32_t, int32_t, OperationType, double, const SymbolView&>
        LimitOrderCanceledCannotHdg;
    runtime::Event<int32_t /*AccountID*/, int32_t /*OrderID*/, int32_t /*Ticket*/>
        SlTpOrderAccepted;
    runtime::Event<int32_t, int32_t, int32_t> SlTpOrderCanceledNoMoney;
    runtime::Event<> DisconnectNoHandshakeMsg;
    runtime::Event<const std::string& /*OldIP*/, const std::string& /*NewIP*/> ServerRouted;

private:
    friend class testsupport::ClientAPIAccess;
    using Table = KVClientDLL10::ResultTable;

    // ---- Wiring ----
    void ConnectSymbolsManager();
    void ConnectAccountsManager();
    void ConnectDataClient();
    void ConnectLoading();
    void ConnectPushes();
    void ConnectResults();
    // Passes an inner event on as the public event of the same arguments.
    template <class... A>
    void Relay(runtime::Event<A...>& from, runtime::Event<A...>& to);
    template <class... A, class F>
    void Handle(runtime::Event<A...>& from, F handler);

    // ---- Handlers with more to do than passing on ----
    void OnState(bool IsConnected);
    void OnAccountsRecieved(bool NoRows, const Table& DataArray, int32_t Results,
                            int16_t Parameters);
    void OnSummariesChanged(double Balance, double FltPL, double Credit, double Equity,
                            double marginReq, double MarginLevel, double EffMargin);
    // The summary figure in `slot` rounded to `decimals`; most figures repeat
    // from one quote to the next, and a repeated one is not rounded again.
    double RoundedSummary(size_t slot, double value, int32_t decimals);
    void OnOrderTimer(const std::shared_ptr<CMOrder>& vOrder);
    void OnCloseOrderResult(NewOrderResultEnum Result, double AtPrice, int16_t PosOrOrder,
                            int32_t OrderID, OperationType BuySell, double Lots,
                            const SymbolView& Symbol, const std::string& ServerTime,
                            int32_t OpenTicket, const std::string& TransTag);
    void OnSymbolHighLowChanged(const std::shared_ptr<OrbanelGeneral10::CSymbol>& Symbol);
    void OnVariablesRecieved(const std::string& Globals, const std::string& LastTickTime,
                             const std::string& Versions, double vGMTOffset, int16_t GWPricesStep,
                             int32_t FirstWL, bool ReadOnlyLogin);
    bool Alive(const std::weak_ptr<char>& token) const { return !token.expired(); }

    std::shared_ptr<OrbanelGeneral10::CLogFile> log_;
    std::shared_ptr<COSymbol> symbolView_;
    std::shared_ptr<CSecurity> security_;
    std::shared_ptr<OrbanelGeneral10::CGlobalVar> globalVar_;
    bool symbolsLoaded_ = false;
    struct Rounded {
        uint64_t bits = 0;  // the value rounded last, bit for bit
        double rounded = 0;
        bool valid = false;
    };
    std::array<Rounded, 7> roundedSummaries_{};
    std::shared_ptr<CSymbolsManager> m_oSymbolsManager;
    std::shared_ptr<CAccountsManager> m_oAccountsManager;
    std::shared_ptr<CDataClient> m_oClient;

    // Cut first when the object goes, so no inner event reaches it meanwhile.
    std::vector<runtime::ScopedConnection> connections_;
    // Gone once the object is: a host may release it inside an event.
    std::shared_ptr<char> life_ = std::make_shared<char>();
};

}  // namespace OrbanexClientAPI10
