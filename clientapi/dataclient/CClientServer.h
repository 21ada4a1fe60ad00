#pragma once
// The client API's request object for most server requests: one method per
// request turns its typed arguments into the fifty text parameters of one
// request and hands them to the session's relay; the answers the session
// routes back are turned into typed events.
//
// Nothing is awaited and nothing is remembered: a method returns once the
// request is handed over, and an answer is matched to its request only by
// the token the session has in hand. Events are raised synchronously inside
// the answer calls; a handler may call back into the object. A failed answer
// conversion raises no event and throws runtime::Error back to the session.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "clientapi/dataclient/Enums.h"
#include "connection/IClientServer.h"
#include "connection/ResultTable.h"
#include "general/common/Enums.h"
#include "protocol/CEventManager.h"
#include "runtime/Event.h"
#include "runtime/Variant.h"

namespace OrbanexClientAPI10 {

class CClientServer : public KVClientDLL10::IClientServer {
public:
    using Table = KVClientDLL10::ResultTable;
    using OperationType = OrbanelGeneral10::OperationTypeEnum;
    // NoRows, DataArray, Results, Parameters: a multi-row answer as received.
    using ListEvent = runtime::Event<bool, const Table&, int32_t, int16_t>;

    // ---- Answer events, in their declared order ----
    ListEvent SymbolsRecieved;
    ListEvent DealersRecieved;
    ListEvent AccountsRecieved;
    ListEvent ClientsRecieved;
    ListEvent FloatingStatusRecieved;
    runtime::Event<const std::string& /*vPrivs*/, int32_t /*vTreePriv*/> PrivsRecieved;
    runtime::Event<int32_t /*Ret*/, int32_t /*OrdId*/> AcceptResultReceived;
    runtime::Event<int32_t /*Ret*/, int32_t /*OrdId*/> RejectResultReceived;
    runtime::Event<int32_t /*OrdId*/> ChangeResultReceived;
    ListEvent OpenPositionsRecieved;
    ListEvent AccountHistoryRecieved;
    ListEvent PendingOrdersRecieved;
    runtime::Event<int16_t /*Result*/, double /*TotComm*/, double /*TotInt*/, double /*marginReq*/,
                   double /*NetProfit*/, double /*TotDep*/, double /*TotCr*/, double /*PrvMargin*/>
        SummariesResultReceived;
    runtime::Event<int32_t /*Ret*/, int32_t /*ClientID*/, int32_t /*AccountID*/,
                   double /*AccInitMargin*/, const std::string& /*OpenDate*/, bool /*AccChecked*/,
                   bool /*AccLiquidated*/, const std::string& /*Params*/>
        CompDataReceived;
    runtime::Event<const std::string& /*Globals*/, const std::string& /*LastTickTime*/,
                   const std::string& /*Versions*/, double /*GMTOffset*/, int16_t /*GWPricesStep*/,
                   int32_t /*FirstWL*/, bool /*ReadOnlyLogin*/>
        VariablesRecieved;
    runtime::Event<int32_t /*Ret*/, int16_t /*PosOrOrder*/, const std::string& /*SysDate*/,
                   double /*Lots*/, OperationType /*BuySell*/, double /*Price*/,
                   int32_t /*SymbolID*/, const std::string& /*TransTag*/>
        NewOrderResultRecieved;
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
    runtime::Event<int32_t /*OrderID*/, int32_t /*Ticket*/, double /*NewPrice*/,
                   const std::string& /*SysTime*/, OperationType /*BuySell*/, double /*Lots*/,
                   int32_t /*SymbolID*/, const std::string& /*OPorCP*/, int32_t /*OpenTicket*/,
                   int32_t /*ClientID*/, int32_t /*AccountID*/>
        AcceptOrderResultRecieved;
    runtime::Event<int32_t /*OrderID*/> RejectOrderResultRecieved;
    runtime::Event<int32_t /*OrderID*/> TimerExpiredResultRecieved;
    runtime::Event<SendSMSResultsEnum /*Result*/> SendSMSResultReceived;
    runtime::Event<int32_t /*Result*/, int32_t /*OrderID*/> SwitchOrderResultReceived;
    runtime::Event<bool /*ChatOn*/> SwitchChatResultRecieved;

    // ---- IClientServer ----

    // Converts one answer and raises at most one event. An answer shorter
    // than its token needs, a strict number that is not numeric, or a number
    // out of its range raises runtime::Error (9, 13, 6) and no event.
    // Tokens without a one-row answer are ignored.
    void OneRowResultreceived(int16_t CallerToken, int16_t Parameters,
                              const std::vector<std::string>& ParamVals) override;
    // Raises the list event of the token with the arguments unchanged; other
    // tokens are ignored.
    void MultiRowsResultsreceived(int16_t CallerToken, bool NoRows, const Table& DataArray,
                                  int32_t Results, int16_t Parameters) override;
    // True for exactly the tokens this object answers (103 included, whose
    // answer is dropped); 202 and 205 are not claimed.
    bool HasThisToken(int16_t vToken) override;
    // Keeps the relay, replacing any earlier one.
    void SetEventManager(std::shared_ptr<KVGeneralDLL10::CEventManager> vEventManager) override;

    // ---- Requests ----
    // Every method sends one request and checks nothing. Before
    // SetEventManager it raises runtime::Error(91) and sends nothing; a Null
    // variant argument raises runtime::Error(94) and sends nothing.

    runtime::Variant TimerExpired(int32_t ClientID, int32_t AccountID, int32_t OrderID);
    runtime::Variant ClientRejectOrder(int32_t ClientID, int32_t AccountID, int32_t OrderID);
    runtime::Variant ClientAcceptOrder(int32_t ClientID, int32_t AccountID, int32_t OrderID,
                                       double NewPrice, int32_t LoginUser);
    runtime::Variant NewOrder(int32_t vClient, int32_t vAccount, int32_t SymID,
                              OperationType BuySell, double vLots, double vPrice, double vEffMargin,
                              int32_t LoginUser, const std::string& LastTickTime,
                              const std::string& LastQTime, const std::string& TransTag,
                              const std::string& Note);
    runtime::Variant NewLimitOrder(int32_t vClient, int32_t vAccount, int32_t SymID, double vLots,
                                   double vPrice, OperationType OrderType,
                                   const runtime::Variant& SL, const runtime::Variant& TP,
                                   OrbanelGeneral10::UserTypeEnum WhoType, int32_t WhoID,
                                   const std::string& LastTickTime, const std::string& LastQTime,
                                   const std::string& TransTag, const std::string& Note);
    runtime::Variant UpdateLimitOrder(int32_t ClientID, int32_t AccountID, int32_t OrID,
                                      int32_t SymID, double vNewPrice,
                                      const runtime::Variant& vNewSL,
                                      const runtime::Variant& vNewTP, double vNewLots,
                                      OrbanelGeneral10::UserTypeEnum WhoType, int32_t WhoID,
                                      const std::string& LastTickTime, const std::string& LastQTime,
                                      const std::string& TransTag, const std::string& Note);
    runtime::Variant DeleteLimitOrder(int32_t ClientID, int32_t AccountID, const std::string& OrIDs,
                                      OrbanelGeneral10::UserTypeEnum WhoType, int32_t WhoID,
                                      const std::string& TransTag);
    runtime::Variant NewSLTPOrder(int32_t vClient, int32_t vAccount, int32_t Ticket, int32_t SymID,
                                  double Lots, const runtime::Variant& SL,
                                  const runtime::Variant& TP,
                                  OrbanelGeneral10::UserTypeEnum WhoType, int32_t WhoID,
                                  const std::string& LastTickTime, const std::string& LastQTime,
                                  const std::string& TransTag);
    runtime::Variant UpdateSLTPOrder(int32_t ClientID, int32_t AccountID, int32_t OrID,
                                     int32_t SymID, double NewLots, const runtime::Variant& NewSL,
                                     const runtime::Variant& NewTP,
                                     OrbanelGeneral10::UserTypeEnum WhoType, int32_t WhoID,
                                     const std::string& LastTickTime, const std::string& LastQTime,
                                     const std::string& TransTag);
    runtime::Variant DeleteSLTPOrder(int32_t ClientID, int32_t AccountID, const std::string& OrIDs,
                                     OrbanelGeneral10::UserTypeEnum WhoType, int32_t WhoID,
                                     const std::string& TransTag);
    // Ticket to Lots travel as given; EffMargin is not rounded.
    runtime::Variant CloseOrder(int32_t ClientID, int32_t AccountID, const std::string& Ticket,
                                const std::string& SymbolID, const std::string& Price,
                                const std::string& RefPrice, const std::string& Lots,
                                int32_t LoginUser, double EffMargin,
                                const std::string& LastTickTime, const std::string& LastQTime,
                                const std::string& TransTag);
    // vForce is not sent.
    bool NewPosition(const std::string& vClient, const std::string& vAccount,
                     const std::string& SymID, const std::string& BuySell, const std::string& vLots,
                     const std::string& vPrice, int16_t vForce, double EffMargin, double vInt,
                     int32_t WhoID, const std::string& Note);
    bool ChangeSymbolSettings(
        const std::string& ID, const std::string& Name, const std::string& OpenDay,
        const std::string& OpenTime, const std::string& CloseDay, const std::string& CloseTime,
        const std::string& Close1, const std::string& Open1, const std::string& Close2,
        const std::string& Open2, const std::string& Close3, const std::string& Open3,
        const std::string& TickPips, const std::string& Closed, const std::string& DDESource,
        const std::string& Used, const std::string& PipLoc, const std::string& SymbolType,
        const std::string& RefSymbol, const std::string& Contract, const std::string& Direct,
        const std::string& RefCalc, const std::string& MoveIfClosed, const std::string& GiveQuote,
        const std::string& HighType, const std::string& LowType, const std::string& Unit,
        const std::string& IntEnabled, const std::string& IntBuyRate,
        const std::string& IntSellRate, const std::string& IntYearDays,
        const std::string& IntDayClose, const std::string& IntSatDays,
        const std::string& IntSunDays, const std::string& IntMonDays, const std::string& IntTusDays,
        const std::string& IntWedDays, const std::string& IntThrDays, const std::string& IntFriDays,
        const std::string& StopTrade, const std::string& StopTradeSeconds,
        const std::string& Requotable, const std::string& BColor, const std::string& MOType,
        const std::string& PairNo, const std::string& desc, const std::string& SpreadType,
        const std::string& JustClose, const std::string& BuyOnly, const std::string& ExpDate);
    bool DisconnectSession(OrbanelGeneral10::UserTypeEnum UserType, int32_t UserID);
    bool ChangeParam(int32_t NodeID, OrbanelGeneral10::ParamTypeEnum ParamType, bool InheritValue,
                     const std::string& newValue, const std::string& SymbolIDs);
    bool CreateClient(int32_t vParent, const std::string& vFName, const std::string& vSName,
                      const std::string& vTName, const std::string& vLName,
                      const std::string& vUsername, const std::string& vPassword,
                      const std::string& vTel, const std::string& vMobile,
                      const std::string& vTelPW, const std::string& vPop, const std::string& vFax,
                      const std::string& vEmail, const std::string& vAddress, bool vDemo,
                      bool vReadOnly, const std::string& vCountry, const std::string& vTag);
    // vTag is not sent.
    bool CreateOffice(int32_t vParent, const std::string& vName, double vRepComm, double vFRepComm,
                      double RepPips, const std::string& vUN, const std::string& vPW, bool vLight,
                      bool vDemo, bool vReadOnly, const std::string& vPhone,
                      const std::string& vFax, const std::string& vMobile,
                      const std::string& vTelFax, const std::string& vPOB,
                      const std::string& vEmail, const std::string& vAddress,
                      const std::string& vTag);
    // vTag is not sent.
    bool CreateGroup(int32_t vParent, const std::string& vName, const std::string& vUN,
                     const std::string& vPW, bool vReadOnly, const std::string& vPhone,
                     const std::string& vFax, const std::string& vMobile,
                     const std::string& vTelFax, const std::string& vPOB, const std::string& vEmail,
                     const std::string& vAddress, const std::string& vTag);
    bool CreateAccount(int32_t vClient, int32_t vAccount,
                       OrbanelGeneral10::AccountTypeEnum AccountType, double InitMargin, bool vDemo,
                       bool vLocked, int32_t WhoID, bool vDontLiquidate, const std::string& vTag);
    bool SendSMS(int32_t vClient, const std::string& vText);
    bool SwitchOrder(int32_t OrderID, int32_t DlrID);
    bool ClosePosition(int32_t vClient, int32_t vAccount, int32_t vIoID, double vLots,
                       double vPrice, double vRefPrice, int16_t vAlsoIfHasSlTp, double vComm,
                       int16_t vForce, double EffMargin, int32_t WhoID);
    bool GetAccComplementData(int32_t ClientID, int32_t AccountID);
    bool GetAccSummaries(int32_t ClientID, int32_t AccountID);
    bool GetOpenPositions(int32_t ClientID, int32_t AccountID);
    bool GetAccountHistory(int32_t v_client, int32_t v_account, const std::string& FromDate,
                           const std::string& ToDate, const std::string& AfterDate,
                           const std::string& LastXDays);
    // Answered to the manager-reports object, not here.
    bool GetReport(ManagerReportsTypeEnum ReportType, const std::string& ParamsString);
    bool GetPendingOrders(int32_t ClientID, int32_t AccountID);
    bool ChatOn(int32_t vLoginUser);
    bool AcceptOrder(int32_t ClientID, int32_t AccountID, int32_t OrderID,
                     OrbanelGeneral10::MarketOrLimitOrderEnum MarketOrLimitOrder,
                     int32_t vLoginUser);
    bool RejectOrder(int32_t ClientID, int32_t AccountID, int32_t OrderID,
                     OrbanelGeneral10::MarketOrLimitOrderEnum MarketOrLimitOrder,
                     int32_t vLoginUser);
    bool ChangeOrder(int32_t ClientID, int32_t AccountID, int32_t OrderID,
                     OrbanelGeneral10::MarketOrLimitOrderEnum MarketOrLimitOrder, double NewPrice,
                     bool Requotable, OperationType BuySell, int32_t vLoginUser);
    bool ChatOff(int32_t vLoginUser);
    void GetAllSymbols(int32_t vLoginID, const std::string& ClientOrBo, int32_t LoginUser);
    void GetAllDealers();
    void GetClients(int32_t vFromClientID);
    void GetAccounts(int32_t vFromClientID);
    void StartMarket();
    void GetPrivs(int32_t vLoginID, const std::string& DealerOrClient);
    void GetVariables(const std::string& LoginType, int32_t LoginUser);
    void GetFloatingStatus(int32_t vFromID);

private:
    class Fields;

    void Send(int16_t token, std::vector<std::string> params);
    void RaiseVariables(Fields& f);

    std::shared_ptr<KVGeneralDLL10::CEventManager> eventManager_;
};

}  // namespace OrbanexClientAPI10
