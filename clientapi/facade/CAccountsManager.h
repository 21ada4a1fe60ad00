#pragma once
// The trading state of one client API session: the model's engine, the
// selected account, the loading road of a login (privileges, symbols,
// clients, accounts, the selected account's data), the server's pushes into
// the model and the lookups over symbols, clients, accounts, positions and
// orders. Answers and pushes arrive through the public session object, which
// passes this class's events on.
//
// Always created with std::make_shared (the data client's online sessions
// hold it as a weak IAccountsManager). Events are raised synchronously; a
// handler may call back into the manager. The views raised in events and the
// account view are single objects re-pointed before each use; lookups of
// symbols, positions, orders and clients hand out new views.
//
// Lifetime: the symbols' Ref2 (position references) and Ref3 (the selected
// client's parameters) hold model objects that hold the symbols again; they
// are emptied at every login and when the manager goes.
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "clientapi/dataclient/Enums.h"
#include "clientapi/dataclient/IAccountsManager.h"
#include "clientapi/facade/CAccountHistory.h"
#include "clientapi/facade/CMOrders.h"
#include "clientapi/facade/COAccount.h"
#include "clientapi/facade/COClient.h"
#include "clientapi/facade/COOpenPosition.h"
#include "clientapi/facade/COOrder.h"
#include "clientapi/facade/COSymbol.h"
#include "clientapi/facade/COpenPosRefs.h"
#include "connection/ResultTable.h"
#include "general/common/CGenerals.h"
#include "general/common/CLogFile.h"
#include "general/common/Enums.h"
#include "runtime/Collection.h"
#include "runtime/Event.h"
#include "runtime/Variant.h"

namespace OrbanelGeneral10 {
class CAccount;
class CAccountsTransactions;
class CClient;
class CClientParam;
class CGlobalVar;
class COpenPosition;
class COrder;
class CSymbol;
class CSymbols;
}  // namespace OrbanelGeneral10

namespace OrbanexClientAPI10 {

class CClientServer;
class CDataClient;
class CManagerReports;
class CMOrder;
class CSecurity;
class CSymbolsManager;

class CAccountsManager : public IAccountsManager {
public:
    using Table = KVClientDLL10::ResultTable;
    using AccountPtr = std::shared_ptr<OrbanelGeneral10::CAccount>;
    using ParamPtr = std::shared_ptr<OrbanelGeneral10::CClientParam>;
    using SymbolPtr = std::shared_ptr<OrbanelGeneral10::CSymbol>;
    using PositionPtr = std::shared_ptr<OrbanelGeneral10::COpenPosition>;
    using OrderPtr = std::shared_ptr<OrbanelGeneral10::COrder>;
    using HistoryRows = runtime::Collection<std::shared_ptr<CAccountHistory>>;

    // The text shown when the server asks for a newer library.
    static std::string VersionMessage(int16_t release, int16_t version, int16_t patch);

    CAccountsManager();
    ~CAccountsManager() override;
    CAccountsManager(const CAccountsManager&) = delete;
    CAccountsManager& operator=(const CAccountsManager&) = delete;

    // ---- Loading and account selection ----

    std::shared_ptr<OrbanelGeneral10::CAccountsTransactions> AccountsTransactions() override {
        return engine_;
    }
    // Stores the references, gives the engine the symbols and modes, resets.
    void SetRefs(std::shared_ptr<CSymbolsManager> SymbolsManagerRef,
                 std::shared_ptr<CDataClient> vClient, std::shared_ptr<CSecurity> vSecurity);
    // Loads the clients. A row the model refuses is logged and skipped.
    void ClientsRecieved(bool NoRows, const Table& DataArray, int32_t Results, int16_t Parameters);
    // Loads the accounts, starts the market (103) and selects row 1's
    // account. A row the model refuses is logged and skipped; the result is
    // the number of rows loaded.
    int32_t AccountsRecieved(bool NoRows, const Table& DataArray, int32_t Results,
                             int16_t Parameters);
    // InvalidAccountResult (nothing sent) for an account the model lacks;
    // otherwise selects it and asks for its data (224, 106, 102, 111).
    CallingResultsEnum SelectAccount(int32_t AccountID);
    // The answers to a selection's requests. Each applies to the account it
    // was asked for while the model holds it (see the request stamps).
    void CompDataResultReceived(int32_t Ret, int32_t ClientID, int32_t AccountID,
                                double AccInitMargin, const std::string& OpenDate, bool AccChecked,
                                bool AccLiquidated, const std::string& Params);
    void SummariesResultReceived(int16_t Result, double TotComm, double TotInt, double marginReq,
                                 double NetProfit, double TotDep, double TotCr, double PrvMargin);
    void OpenPositionsReceived(bool NoRows, const Table& DataArr);
    void PendingOrdersReceived(bool NoRows, const Table& DataArr);
    // A new collection, empty for no rows; rows of kind "N" are left out.
    std::shared_ptr<HistoryRows> AccountHistoryReceived(bool NoRows, const Table& DataArr);
    // Forgets the selection, the position references, the queued requests'
    // stamps; the account view shows AccountID -1. Each running re-quote
    // ends: one last OrderTimer with no seconds left, nothing sent.
    void Reset();
    const AccountPtr& SelectedAccount() const { return selected_; }
    // Stores the account and binds its client's parameters to the symbols (Ref3).
    void setSelectedAccount(AccountPtr value);

    // ---- Server variables, privileges and lookups ----

    // Refuses an outdated library (message, disconnect); otherwise applies
    // the variables. A malformed Versions raises with only ReadOnlyLogin stored.
    void VariablesRecieved(const std::shared_ptr<OrbanelGeneral10::CGlobalVar>& GlobalVar,
                           const std::string& Globals, const std::string& LastTickTime,
                           const std::string& Versions, int16_t CurrentRel, int16_t CurrentVer,
                           int16_t CurrentPat, double vGMTOffset, int16_t GWPricesStep,
                           int32_t FirstWL, bool ReadOnlyLogin);
    bool SymbolsRecieved(bool NoRows, const Table& DataArray, int32_t Results, int16_t Parameters);
    // Empties the model of the previous login, takes the privileges and asks
    // for the symbols (104), clients (313) and accounts (314).
    void PrivsRecieved(const std::string& vPrivs, int32_t vTreePriv, const std::string& ClientOrBo);
    int32_t TreePrivID() const { return treePrivID_; }

    // Symbol lookups: a new view, or nothing (not found, or not isUsed).
    std::shared_ptr<COSymbol> SymbolByIndex(int16_t Index);
    std::shared_ptr<COSymbol> SymbolByIndexBO(int16_t Index);
    std::shared_ptr<COSymbol> SymbolByID(int32_t ID);
    std::shared_ptr<COSymbol> SymbolByIDBO(int32_t ID);
    std::shared_ptr<COSymbol> SymbolByName(const std::string& Name);
    std::shared_ptr<COSymbol> SymbolByNameBO(const std::string& Name);
    // Points the view at the parameters; false (view unchanged) for none.
    bool CopySymbol(COSymbol& OSym, const ParamPtr& SymParam);
    // Points the view at the symbol through the shared default parameters.
    void CopySymbolBO(COSymbol& OSym, const SymbolPtr& Sym);
    void setAPIType(APITypeEnum value) { apiType_ = value; }
    const ParamPtr& DefParam() const { return defParam_; }
    // The shared symbol view over the client of any account of the login.
    std::shared_ptr<COSymbol> ClientSymbol(int32_t SymbolID, int32_t AccountID);
    double GMTOffset() const { return gmtOffset_; }
    // -1 when no client has that user name.
    int32_t ClientID(const std::string& ClientUsername) const;
    bool isChild(int32_t ClientID, int32_t ParentID) const;
    int32_t ClientsCount() const;
    std::shared_ptr<COClient> ClientByIndex(int16_t Index);
    std::shared_ptr<COClient> ClientByID(int32_t ID);
    // -1 for an unknown client.
    int32_t AccountsCount(int32_t ClientID) const;
    // The shared account view re-pointed, or nothing.
    std::shared_ptr<COAccount> AccountByID(int32_t AccountID);
    std::shared_ptr<COAccount> AccountByIndex(int32_t ClientID, int16_t Index);
    // The selected client's parameter for the symbol; -1 without a selection
    // or a parameter (Spread: the 16-bit -1).
    double MinimumAmount(int32_t SymbolID) const;
    double MaximumAmount(int32_t SymbolID) const;
    double Commission(int32_t SymbolID) const;
    double LimitOffset(int32_t SymbolID) const;
    double StopOffset(int32_t SymbolID) const;
    runtime::Variant Spread(int32_t SymbolID) const;
    int32_t FirstWhiteLabel() const { return firstWhiteLabel_; }
    bool ReadOnlyLogin() const { return readOnlyLogin_; }
    void setReadOnlyLogin(bool value) { readOnlyLogin_ = value; }

    // ---- Quotes and server messages ----

    // -1 without a selection.
    int32_t OpenPositionsCount() const;
    int32_t OrdersCount() const;
    // New views of the selected account's entries, or nothing.
    std::shared_ptr<COOpenPosition> OpenPositionByIndex(int16_t Index);
    std::shared_ptr<COOpenPosition> OpenPositionByTicket(int32_t Ticket);
    std::shared_ptr<COOrder> OrderByIndex(int16_t Index);
    std::shared_ptr<COOrder> OrderByID(int32_t ID);
    // Revalues the model, then raises PosFloatingPLChanged per position of
    // the selected account in the symbol and SymbolPricesChanged.
    void DealWithChangedSymbolPrices(const SymbolPtr& vSymbol);
    // Pushes: every account's model changes; events only for the selected one.
    void UpdateOpenPosMsg(int32_t vClient, int32_t vAccount, int32_t Ticket,
                          const std::string& OldPosRow, const std::string& NewPosRow,
                          const std::string& ClosesPos);
    void DeleteOpenPosMsg(int32_t vClient, int32_t vAccount, int32_t Ticket,
                          const std::string& RowString, const std::string& ClosesPos);
    void NewPendingOrderMsg(int32_t vClient, int32_t vAccount, const std::string& OrderRow);
    void DeletePendingOrderMsg(int32_t vClient, int32_t vAccount, int32_t OrderID);
    void NewOpenPosMsg(int32_t vClient, int32_t vAccount, const std::string& PosRow);
    void CloseOpenPosMsg(int32_t vClient, int32_t vAccount, int32_t Ticket, int32_t OpenTicket,
                         const std::string& OpenPosRow, const std::string& HisOpenRow,
                         const std::string& HisCloseRow);
    void DeleteClosePosMsg(int32_t ClientID, int32_t vAccount, int32_t Ticket, int32_t OpenTicket,
                           const std::string& RowString, const std::string& OpenPosRowString);

    // ---- Events, in their declared order ----

    runtime::Event<double /*Balance*/, double /*FltPL*/, double /*Credit*/, double /*Equity*/,
                   double /*marginReq*/, double /*MarginLevel*/, double /*EffMargin*/>
        SummariesChanged;
    runtime::Event<const std::shared_ptr<COOpenPosition>& /*Pos*/> PosFloatingPLChanged;
    runtime::Event<const std::shared_ptr<COOpenPosition>& /*Pos*/> DeleteOpenPosition;
    runtime::Event<const std::shared_ptr<COOpenPosition>& /*Pos*/> UpdateOpenPosition;
    runtime::Event<const std::shared_ptr<COOpenPosition>& /*Pos*/> NewOpenPosition;
    runtime::Event<const std::shared_ptr<COOrder>& /*Order*/> NewPendingOrder;
    runtime::Event<const std::shared_ptr<COOrder>& /*Order*/> DeletePendingOrder;
    runtime::Event<const std::shared_ptr<COSymbol>& /*Symbol*/> SymbolPricesChanged;

    // ==== Trading: price rules, commands, results, re-quotes, administration ====
    // A re-quote counts down until it is answered, expires, is replaced by a
    // new price for the same order, or the login is forgotten (Reset, a new
    // login, the manager's end), which stops it without telling the server;
    // Reset and a new login tell the host as an expiry does (OrderTimer at 0).

    // ---- Price rules ----
    // The nearest allowed limit or stop price for the selected account's
    // client; -1 without a selection or a parameter for the symbol.
    double LimitPrice2(OrbanelGeneral10::OperationTypeEnum OrderType, int32_t SymbolID);
    // The nearest allowed SL or TP price from FromPrice; -1 as LimitPrice2.
    double SlTpPrice2(OrbanelGeneral10::OperationTypeEnum OrderType, int32_t SymbolID,
                      const std::string& SlORTp, double FromPrice);
    // Whether the price text lies on the symbol's step; runtime::Error(6) on overflow.
    bool ValidatePriceTickPips(const std::string& vPrice,
                               const std::shared_ptr<OrbanelGeneral10::CSymbol>& vSymbol) const;
    // Remainder of the two operands rounded halves up (both written back).
    int32_t ModLarge(double& FirstNum, double& SecondNum) const;
    // Signed SL/TP distance; runtime::Error(91) without a parameter.
    double SlTpOffsetVal(OrbanelGeneral10::OperationTypeEnum vType,
                         const std::shared_ptr<OrbanelGeneral10::CClientParam>& SymbolParam,
                         const std::string& SlORTp) const;
    std::string LimitRelation(OrbanelGeneral10::OperationTypeEnum OrderType) const;
    std::string SlTpRelation(OrbanelGeneral10::OperationTypeEnum OrderType,
                             const std::string& SlORTp) const;

    // ---- Trading commands ----
    // Each checks and either refuses with a code at once (nothing sent) or
    // sends one request and answers SuccessResult. Errors of the model or of
    // a builder reach the caller. An SL or TP that is Null, Empty or "" means none.
    CallingResultsEnum NewMarketOrder(OrbanelGeneral10::OperationTypeEnum BuySell, int32_t SymbolID,
                                      double Lots, const std::string& TransTag,
                                      const std::string& Note);
    CallingResultsEnum NewPosition(const std::string& AccountIDs, const std::string& BuySells,
                                   const std::string& Amounts, const std::string& SymbolIDs,
                                   const std::string& PriceS, const std::string& Notes);
    // Marks each position Liquidated; a refusal takes the marks back.
    CallingResultsEnum CloseMarketOrder(const std::string& Tickets, const std::string& Lots,
                                        const std::string& TransTag);
    CallingResultsEnum ClosePosition(int32_t AccountID, int32_t Ticket, double Amount, double Price,
                                     double RefPrice, double Comm);
    CallingResultsEnum NewLimitOrder(OrbanelGeneral10::OperationTypeEnum OrderType,
                                     int32_t SymbolID, double Lots, double AtPrice,
                                     OrbanelGeneral10::UserTypeEnum WhoType,
                                     const runtime::Variant& SL, const runtime::Variant& TP,
                                     const std::string& TransTag, const std::string& Note);
    CallingResultsEnum UpdateLimitOrder(int32_t OrderID, double Lots, double NewPrice,
                                        OrbanelGeneral10::UserTypeEnum WhoType,
                                        const runtime::Variant& SL, const runtime::Variant& TP,
                                        const std::string& TransTag, const std::string& Note);
    CallingResultsEnum DeleteLimitOrder(const std::string& OrderIDs,
                                        OrbanelGeneral10::UserTypeEnum WhoType,
                                        const std::string& TransTag);
    CallingResultsEnum NewSLTPOrder(int32_t Ticket, double Lots,
                                    OrbanelGeneral10::UserTypeEnum WhoType,
                                    const runtime::Variant& SL, const runtime::Variant& TP,
                                    const std::string& TransTag);
    CallingResultsEnum UpdateSLTPOrder(int32_t OrderID, double Lots,
                                       OrbanelGeneral10::UserTypeEnum WhoType,
                                       const runtime::Variant& SL, const runtime::Variant& TP,
                                       const std::string& TransTag);
    CallingResultsEnum DeleteSLTPOrder(const std::string& OrderIDs,
                                       OrbanelGeneral10::UserTypeEnum WhoType,
                                       const std::string& TransTag);
    // The answer to a re-quote, for the re-quote's own account:
    // TimerExpiredResult when it is gone, InvalidAccountResult (re-quote
    // dropped, nothing sent) when the model no longer holds its account.
    CallingResultsEnum AcceptOrder(int32_t OrderID);
    CallingResultsEnum RejectOrder(int32_t OrderID);

    // ---- Command results and order status ----
    // The market results show the answer's symbol, else the one the request or
    // the closed position was about, else a symbol named "" with ID 0.
    void NewOrderResultRecieved(int32_t Ret, int16_t PosOrOrder, const std::string& SysDate,
                                double Lots, OrbanelGeneral10::OperationTypeEnum BuySell,
                                double Price, int32_t SymbolID, const std::string& TransTag);
    void CloseOrderResultRecieved(int32_t Ret, int16_t PosOrOrder, const std::string& SysDate,
                                  int32_t ClientID, int32_t AccountID, int32_t OpenTicket,
                                  double Lots, OrbanelGeneral10::OperationTypeEnum BuySell,
                                  double Price, int32_t SymbolID, const std::string& TransTag);
    void NewLimitOrderResultRecieved(int32_t Ret, const std::string& SysDate,
                                     const std::string& TransTag);
    void UpdateLimitOrderResultRecieved(int32_t Ret, const std::string& SysDate,
                                        const std::string& TransTag);
    void NewSLTPOrderResultRecieved(int32_t Ret, const std::string& SysDate,
                                    const std::string& TransTag);
    void UpdateSLTPOrderResultRecieved(int32_t Ret, const std::string& SysDate,
                                       const std::string& TransTag);
    void DeleteLimitOrderResultRecieved(const std::string& Ret, const std::string& OrderIDs,
                                        const std::string& TransTag);
    void DeleteSLTPOrderResultRecieved(const std::string& Ret, const std::string& OrderIDs,
                                       const std::string& TransTag);
    void NewPosResultRecieved(const std::string& Ret, const std::string& SysDate);
    void ClosePosResultRecieved(int32_t Ret, const std::string& SysDate, int32_t OpenTicket);
    // Taken and ignored.
    void AcceptOrderResultRecieved(int32_t OrderID, int32_t Ticket, double NewPrice,
                                   const std::string& SysTime,
                                   OrbanelGeneral10::OperationTypeEnum BuySell, double Lots,
                                   int32_t SymbolID, const std::string& OPorCP, int32_t OpenTicket,
                                   int32_t ClientID, int32_t AccountID);
    void RejectOrderResultRecieved(int32_t OrderID);
    void TimerExpiredResultRecieved(int32_t OrderID);
    // An order's progress for the selected account; errors inside are written
    // to the log and end the call quietly.
    void OrderStatusChanged(int32_t ClientID, int32_t AccountID,
                            OrbanelGeneral10::MarketOrLimitOrderEnum OrderType, int32_t OrderID,
                            int16_t Status, int32_t OrIoID, int32_t OrCpIoID,
                            const std::string& vTime, double NewBuyPrice, double NewSellPrice,
                            double Lots, int32_t SymbolID, double OldBuyPrice, double OldSellPrice,
                            OrbanelGeneral10::OperationTypeEnum BuySell);
    // One countdown tick: raises OrderTimer, then answers the server when the
    // count has run out. Errors are written to the log.
    void RaiseOrderTimer(const std::shared_ptr<CMOrder>& vOrder);
    // Countdown length of new re-quotes in seconds (0 until set).
    void setChangePriceSeconds(int16_t value) { changePriceSeconds_ = value; }

    // ---- Administration ----
    // SymbolIDs becomes "-1" for the client-wide settings (100 to 109).
    bool ChangeParam(const std::string& NodeUsername, OrbanelGeneral10::ParamTypeEnum ParamType,
                     bool InheritValue, const std::string& newValue, std::string& SymbolIDs);
    CreateClientResultEnum CreateClient(const std::string& ParentUsername,
                                        const std::string& FirstName, const std::string& SecondName,
                                        const std::string& ThirdName, const std::string& LastName,
                                        const std::string& Username, const std::string& Password,
                                        double Phone, const std::string& Fax, double Mobile,
                                        const std::string& TelPW, const std::string& POB,
                                        const std::string& Country, const std::string& Email,
                                        const std::string& Address, bool ShowAsDemo,
                                        bool ReadOnlyLogin, const std::string& TransTag);
    CreateClientResultEnum CreateOffice(const std::string& ParentUsername, const std::string& Name,
                                        const std::string& Username, const std::string& Password,
                                        bool ShowAsDemo, bool ReadOnlyLogin,
                                        const std::string& Phone, const std::string& Fax,
                                        const std::string& Mobile, const std::string& TelFax,
                                        const std::string& POB, const std::string& Email,
                                        const std::string& Address, const std::string& TransTag);
    CreateClientResultEnum CreateGroup(const std::string& ParentUsername, const std::string& Name,
                                       const std::string& Username, const std::string& Password,
                                       bool ReadOnlyLogin, const std::string& Phone,
                                       const std::string& Fax, const std::string& Mobile,
                                       const std::string& TelFax, const std::string& POB,
                                       const std::string& Email, const std::string& Address,
                                       const std::string& TransTag);
    CreateAccountResultEnum CreateAccount(const std::string& Username, int32_t AccountID,
                                          OrbanelGeneral10::AccountTypeEnum AccountType,
                                          double InitMargin, bool DemoAccount, bool LockedAccount,
                                          bool DontLiquidate, const std::string& TransTag);
    CallingResultsEnum SendSMS(int32_t AccountID, const std::string& SMSText);
    CallingResultsEnum SendSMSToSelectedAccount(const std::string& SMSText);
    CallingResultsEnum RequestReport(ManagerReportsTypeEnum ReportType, const std::string& Params);
    // Leaves the seven figures unchanged for an unknown account.
    CallingResultsEnum AccountSummaries(int32_t AccountID, double& Balance, double& FltPL,
                                        double& Credit, double& Equity, double& marginReq,
                                        double& MarginLevel, double& EffMargin);
    CallingResultsEnum GetAccountHistory(int32_t AccountID, const std::string& FromDate,
                                         const std::string& ToDate);
    // The shared account view pointed at the account; nothing when unknown.
    std::shared_ptr<COAccount> Account(int32_t AccountID);
    void ChangeParamResultRecieved(const std::string& NewVal);
    void CreateClientResultRecieved(int32_t Ret, const std::string& Tag);
    void CreateOfficeResultRecieved(int32_t Ret, const std::string& Tag);
    void CreateGroupResultRecieved(int32_t Ret, const std::string& Tag);
    void CreateAccountResultRecieved(int32_t Ret, const std::string& Tag);

    // ---- Events of the trading commands, in order ----
    using SymbolView = std::shared_ptr<COSymbol>;
    using Side = OrbanelGeneral10::OperationTypeEnum;
    runtime::Event<NewOrderResultEnum, double, int16_t, int32_t, Side, double, const SymbolView&,
                   const std::string&, const std::string&>
        NewOrderResult;
    runtime::Event<NewOrderResultEnum, double, int16_t, int32_t, Side, double, const SymbolView&,
                   const std::string&, int32_t, const std::string&>
        CloseOrderResult;
    runtime::Event<NewOrderResultEnum, int32_t, const std::string&, const std::string&>
        NewLimitOrderResult;
    runtime::Event<NewOrderResultEnum, int32_t, const std::string&, const std::string&>
        UpdateLimitOrderResult;
    runtime::Event<NewOrderResultEnum, int32_t, const std::string&, const std::string&>
        NewSLTPOrderResult;
    runtime::Event<NewOrderResultEnum, int32_t, const std::string&, const std::string&>
        UpdateSLTPOrderResult;
    runtime::Event<NewOrderResultEnum, const std::string&, const std::string&>
        DeleteLimitOrderResult;
    runtime::Event<NewOrderResultEnum, const std::string&, const std::string&>
        DeleteSLTPOrderResult;
    runtime::Event<NewOrderResultEnum> NewPosResult;
    runtime::Event<NewOrderResultEnum, int32_t> ClosePosResult;
    runtime::Event<int32_t, int32_t, int32_t, Side, double, const SymbolView&, double,
                   OrbanelGeneral10::NewOrLiquidateEnum, double>
        MarketOrderAccepted;
    runtime::Event<int32_t, Side, double, const SymbolView&, double,
                   OrbanelGeneral10::NewOrLiquidateEnum>
        MarketOrderRejected;
    runtime::Event<const std::shared_ptr<CMOrder>&> OrderTimer;
    runtime::Event<int32_t, int32_t, int32_t, Side, double, const SymbolView&> LimitOrderAccepted;
    runtime::Event<int32_t, int32_t, int32_t, Side, double, const SymbolView&>
        LimitOrderCanceledNoMoney;
    runtime::Event<int32_t, int32_t, int32_t, Side, double, const SymbolView&>
        LimitOrderCanceledCannotHdg;
    runtime::Event<int32_t, int32_t, int32_t> SlTpOrderAccepted;
    runtime::Event<int32_t, int32_t, int32_t> SlTpOrderCanceledNoMoney;
    // Administration.
    runtime::Event<const std::string&> ChangeParamResult;
    runtime::Event<CreateClientResultEnum, const std::string&> CreateClientResult;
    runtime::Event<CreateClientResultEnum, const std::string&> CreateOfficeResult;
    runtime::Event<CreateClientResultEnum, const std::string&> CreateGroupResult;
    runtime::Event<CreateAccountResultEnum, const std::string&> CreateAccountResult;

private:
    // One request whose answer needs to know what was asked, in the order it
    // was sent: a selection's (its answer belongs to this account) or a
    // market order's (its answer is about this symbol).
    struct Stamp {
        int16_t token = 0;
        int32_t client = 0;
        int32_t account = 0;
        int32_t symbol = 0;
    };
    using Requotes = std::vector<std::shared_ptr<CMOrder>>;

    // ---- Construction and forgetting ----
    // What a drop and a new login forget: the selection, the position
    // references, the stamps, the account view, the re-quotes (their counts
    // end, nothing is sent); returns the re-quotes it ended.
    [[nodiscard]] Requotes ForgetLogin();
    // Tells the host of each count that ended without an expiry by one last
    // OrderTimer with no seconds left. False when a handler released the manager.
    bool ReportEndedRequotes(const Requotes& ended);
    OrbanelGeneral10::CSymbols& Symbols() const;
    // Empties Ref2 (and Ref3 with params) of every symbol.
    void ClearSymbolRefs(bool params);
    void Log(const std::string& entry);
    // Runs one row's load; a failure is logged with the answer and row.
    template <class F>
    void LoadRow(const char* answer, int32_t row, F&& load);

    // ---- Loading ----
    void SendSelectionRequest(int16_t token, const OrbanelGeneral10::CAccount& account);
    // The oldest stamp of token, dropping the older stamps of answers that
    // never came; none when no request of token is waiting.
    std::optional<Stamp> TakeStamp(int16_t token);
    // The account an answer of token is for: its stamp's (when the model
    // still holds it) or, without a stamp, the selected one.
    AccountPtr AnsweredAccount(int16_t token);
    void BindClientParamsToSymbols();
    void RaiseSummaries();
    void OnUpdateListView(int32_t acc_no);

    // ---- Lookups ----
    ParamPtr SelectedParam(int32_t SymbolID) const;
    std::shared_ptr<COSymbol> ClientSymbolView(const ParamPtr& param);
    std::shared_ptr<COSymbol> SymbolViewBO(const SymbolPtr& symbol);
    std::shared_ptr<COClient> MakeOClient(const std::shared_ptr<OrbanelGeneral10::CClient>& client);
    std::shared_ptr<COAccount> PointAccountView(const AccountPtr& account);

    // ---- Positions and orders ----
    bool IsSelected(int32_t vAccount) const;
    PositionPtr SelectedPosition(int32_t Ticket) const;
    void MakeOOpenPosition(COOpenPosition& view, const PositionPtr& position) const;
    static void MakeOOrder(COOrder& view, const OrderPtr& order);
    static std::shared_ptr<COpenPosRefs> PositionRefs(const OrbanelGeneral10::CSymbol& symbol);
    // Whether the symbol's references still hold the position.
    static bool StillReferenced(const OrbanelGeneral10::CSymbol& symbol,
                                const PositionPtr& position);
    // The same for a position taken from the entry at `place` of a snapshot
    // of refs taken at `taken` changes; while nothing changed it needs no look-up.
    static bool StillReferencedAt(const OrbanelGeneral10::CSymbol& symbol, const COpenPosRefs& refs,
                                  uint64_t taken, int32_t place, const PositionPtr& position);
    static SymbolPtr SymbolOf(const OrbanelGeneral10::COpenPosition& position);
    void RemovePositionRef(const PositionPtr& position);
    void AddPositionRef(const PositionPtr& position);
    void BuildPositionRefs();
    // Updates or deletes a position from its row and tells the selection.
    void ApplyPositionRow(int32_t vClient, int32_t vAccount, int32_t Ticket,
                          const std::string& row);

    std::shared_ptr<OrbanelGeneral10::CLogFile> log_;
    bool readOnlyLogin_ = false;
    APITypeEnum apiType_ = ClientAPIType;
    std::shared_ptr<OrbanelGeneral10::CAccountsTransactions> engine_;
    runtime::ScopedConnection updateListView_;
    std::shared_ptr<OrbanelGeneral10::CGenerals> generals_;
    std::shared_ptr<COOpenPosition> positionView_;
    std::shared_ptr<COSymbol> symbolView_;
    std::shared_ptr<COOrder> orderView_;
    // The default parameters of back-office symbol views and their parent
    // (the parent link does not own).
    ParamPtr defParam_;
    ParamPtr defParamParent_;
    std::shared_ptr<COAccount> accountView_;
    // Reset's placeholder account and its client (the account's link does not own).
    AccountPtr placeholderAccount_;
    std::shared_ptr<OrbanelGeneral10::CClient> placeholderClient_;

    std::shared_ptr<CSymbolsManager> symbolsManager_;
    std::shared_ptr<CDataClient> dataClient_;
    std::shared_ptr<CSecurity> security_;

    int32_t treePrivID_ = 0;
    int32_t firstWhiteLabel_ = 0;
    double gmtOffset_ = 0;
    // The re-quote countdown length from the server's variables.
    int16_t changePriceSeconds_ = 0;
    AccountPtr selected_;
    // The commands' working parameter reference (the client's parameters
    // of the symbol in hand); emptied with the login, like Ref3.
    ParamPtr currentParam_;
    std::deque<Stamp> stamps_;
    // The quote path's snapshot of a symbol's position references.
    std::vector<std::shared_ptr<COpenPosRef>> refsScratch_;

    // ==== Trading (private) ====
    enum class RequoteAnswer { Accept, Reject, Expire };
    // What a new client, office or group, or a new account, holds between
    // its command and the answer.
    struct NewClientRecord {
        std::string FirstName, SecondName, ThirdName, LastName, Username;
    };
    struct NewAccountRecord {
        int32_t ClientID = 0;
        OrbanelGeneral10::AccountTypeEnum AccountType = OrbanelGeneral10::DemoAccountType;
        bool DemoAccount = false, DontLiquidate = false, Locked = false;
    };

    // ---- What the commands read of the session ----
    CClientServer& Requests() const;  // runtime::Error(91) without a data client
    int32_t ActingUser() const;
    std::string TickTime() const;
    bool HasPriv(PrivsEnum privilege) const;
    // Locked, or a read-only login.
    bool TradingRefused(const OrbanelGeneral10::CAccount& account) const;
    // The account's client's parameter for the symbol, kept as the working parameter.
    std::shared_ptr<OrbanelGeneral10::CClientParam> TradingParam(
        const OrbanelGeneral10::CAccount& account, int32_t SymbolID);
    std::shared_ptr<OrbanelGeneral10::CAccount> ModelAccount(int32_t AccountID) const;

    // ---- Re-quotes ----
    CallingResultsEnum AnswerRequote(int32_t OrderID, RequoteAnswer answer);
    CallingResultsEnum OrderTimerExpired(int32_t OrderID);
    void StartRequote(int32_t AccountID, int32_t OrderID, int32_t OrCpIoID, double Lots,
                      OrbanelGeneral10::OperationTypeEnum BuySell, double newPrice, double oldPrice,
                      const std::shared_ptr<OrbanelGeneral10::CClientParam>& param);
    void ApplyOrderStatus(int32_t AccountID, OrbanelGeneral10::MarketOrLimitOrderEnum OrderType,
                          int32_t OrderID, int16_t Status, int32_t OrIoID, int32_t OrCpIoID,
                          double NewBuyPrice, double NewSellPrice, double Lots, int32_t SymbolID,
                          double OldBuyPrice, double OldSellPrice,
                          OrbanelGeneral10::OperationTypeEnum BuySell);

    // ---- Administration ----
    CreateClientResultEnum CheckNewNode(const std::string& ParentUsername, PrivsEnum privilege);
    void AddNewNode(int32_t Ret, OrbanelGeneral10::ClientTypeEnum type,
                    runtime::Event<CreateClientResultEnum, const std::string&>& event,
                    const std::string& Tag);

    // ---- Session reads shared with the lookups ----
    std::shared_ptr<OrbanelGeneral10::CClient> ClientByUsername(const std::string& Username) const;
    CManagerReports& Reports() const;
    // Refills the shared symbol view (left as it is without a parameter).
    const std::shared_ptr<COSymbol>& RefillSymbolView(const ParamPtr& param);
    // Refills the shared symbol view for a result: the answer's symbol, else
    // the one the request was about, else the unknown symbol (name "", ID 0).
    const std::shared_ptr<COSymbol>& ResultSymbolView(const ParamPtr& answered,
                                                      const ParamPtr& asked);
    // The parameter of the symbol a market order asked for, of the client of
    // the account it was sent for; nothing when either is gone.
    ParamPtr AskedParam(const std::optional<Stamp>& stamp) const;
    // A symbol view of its own over the parameter.
    std::shared_ptr<COSymbol> OwnSymbolView(const ParamPtr& param);

    CMOrders requotes_;
    // What a result shows when neither the answer nor its request names a
    // symbol the client has.
    ParamPtr unknownParam_;
    // Gone once the manager is: a countdown handler may release it.
    std::shared_ptr<char> tradingLife_ = std::make_shared<char>();
    std::shared_ptr<OrbanelGeneral10::COpenPosition> lastClosedPosition_;
    std::shared_ptr<OrbanelGeneral10::CClient> pendingNode_;
    NewClientRecord newClient_;
    NewAccountRecord newAccount_;
};

}  // namespace OrbanexClientAPI10
