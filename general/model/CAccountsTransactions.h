#pragma once
// The root and engine of the trading data model of one session: it owns the
// tree of clients, holds the session's symbols, applies the server's rows to
// the tree, revalues the accounts concerned on every quote and reports what
// changed through its events. In server-side execution it also looks for
// pending-order and alert hits and for accounts at their liquidation point.
//
// Every walk over a collection goes over a snapshot and re-checks that each
// member is still there, so handlers may change the model while an event is
// raised. The quote path allocates nothing once its buffers have grown.
#include <cstdint>
#include <memory>
#include <string>

#include "general/common/CGenerals.h"
#include "general/common/CStringValues.h"
#include "general/common/Enums.h"
#include "general/common/ISafeObject.h"
#include "runtime/Date.h"
#include "runtime/Event.h"
#include "runtime/Variant.h"

namespace OrbanelGeneral10 {

class CAccount;
class CAlert;
class CClient;
class CClientParam;
class CClients;
class CCurAccount;
class COpenPosition;
class COrder;
class CSymbol;
class CSymbols;

class CAccountsTransactions : public runtime::Object,
                              public ISafeObject,
                              public std::enable_shared_from_this<CAccountsTransactions> {
public:
    using Variant = runtime::Variant;
    using AccountPtr = std::shared_ptr<CAccount>;
    using AlertPtr = std::shared_ptr<CAlert>;
    using ClientPtr = std::shared_ptr<CClient>;
    using ParamPtr = std::shared_ptr<CClientParam>;
    using PositionPtr = std::shared_ptr<COpenPosition>;
    using OrderPtr = std::shared_ptr<COrder>;
    using SymbolPtr = std::shared_ptr<CSymbol>;

    // The values of one symbol row, in the server's order.
    struct NewSymbolArgs {
        Variant TickPips, RefCase, PriceCase, Factor, LastQTime, Low, High, Bid, Ask;
        bool isDisplay = false;
        bool isUsed = false;
        Variant RefSymbolID, PipLocation;
        SymbolTypeEnum SymbolType = static_cast<SymbolTypeEnum>(0);
        Variant SymbolName, ID, OpenDay, OpenTime, CloseDay, CloseTime;
        Variant DailyCloseTime1, DailyOpenTime1, DailyCloseTime2, DailyOpenTime2, DailyCloseTime3,
            DailyOpenTime3;
        bool Closed = false;
        Variant DDEItems;
        bool MoveIfClosed = false;
        Variant HighType, LowType;
        bool GiveHLQuote = false;
        bool StopFeed = false;
        Variant PriceOffset, SpreadOffset, Bank;
        bool StopTrade = false;
        Variant StopTradeSeconds;
        SpreadCalTypeEnum SpreadType = FromBidSpread;
        std::string ExpDate;
        double DayOpenPrice = 0;
        double DayClosePrice = 0;
    };

    // The values of one account row, in the server's order.
    struct NewAccountArgs {
        Variant cl_no, acc_no, accType, demoAcc, TotComm, MarginReq, NetProfit, TotDep, TotCr,
            PrvMargin;
        bool AutoLiq = false;
        bool autoLimit = false;
        bool autoSlTp = false;
        Variant DontLiquidate, TotInt;
        bool Locked = false;
        bool Loading = false;
    };

    // The values of one client row, in the server's order.
    struct NewClientArgs {
        Variant cl_no, theSpread, ParentID;
        ClientTypeEnum vClientType = static_cast<ClientTypeEnum>(0);
        bool vEnableInterest = false;
        LiquidationTypeEnum LiqType = static_cast<LiquidationTypeEnum>(0);
        double LiqPoint = 0;
        std::string FirstName, SecondName, ThirdName, LastName, Username;
        int16_t ClientOrServer = 1;
    };

    // The values of one pending order, in the server's order.
    struct NewOrderArgs {
        int32_t cl_no = 0;
        int32_t acc_no = 0;
        int32_t OrderId = 0;
        OrdersTypeEnum OrderType = static_cast<OrdersTypeEnum>(0);
        OperationTypeEnum operationType = static_cast<OperationTypeEnum>(0);
        int32_t IoID = 0;
        double lots = 0;
        int32_t cur_no = 0;
        double LimitPrice = 0;
        double slPrice = 0;
        double tpPrice = 0;
        int16_t Status = 0;
        double hitPrice = 0;
        runtime::Date hitDate;
        std::string OrderTime;
    };

    CAccountsTransactions();
    ~CAccountsTransactions() override;
    CAccountsTransactions(const CAccountsTransactions&) = delete;
    CAccountsTransactions& operator=(const CAccountsTransactions&) = delete;

    // --- Accessors ----------------------------------------------------------

    const std::shared_ptr<CSymbols>& Symbols() const { return symbols_; }
    void setSymbols(std::shared_ptr<CSymbols> value) {
        symbols_ = std::move(value);
        ++generation_;
    }
    // Nothing after a release.
    const std::shared_ptr<CClients>& Clients() const { return clients_; }
    ExecutionModeEnum ExecutionSide() const { return executionSide_; }
    void setExecutionSide(ExecutionModeEnum value) { executionSide_ = value; }
    void setGenerals(std::shared_ptr<CGenerals> value) { generals_ = std::move(value); }
    CommCalcTypeEnum CommCalcType() const { return commCalcType_; }
    // Stores the mode, then raises ParametersChanged.
    void setCommCalcType(CommCalcTypeEnum value);
    int16_t MarginReqType() const { return marginReqType_; }
    // Stores the mode, then raises ParametersChanged.
    void setMarginReqType(int16_t value);
    bool JustAccounts() const { return justAccounts_; }
    void setJustAccounts(bool value) { justAccounts_ = value; }
    // Set the flag of the same name on every account held now.
    void setAutoOrNotLiquidation(bool value);
    void setAutoOrNotLimitOrder(bool value);
    void setAutoOrNotSLTP(bool value);

    // Nothing (and no error) when absent.
    AccountPtr Account(int32_t ClientID, int32_t AccountID) const;
    AccountPtr AccountByAccountID(int32_t Account) const;
    // 0 after a release.
    int32_t AccountsCount() const;

    // Stores the symbols and the modes (ParametersChanged twice).
    void InitializeNeededData(std::shared_ptr<CSymbols> SymInfo, ExecutionModeEnum execType,
                              CommCalcTypeEnum CommType, int16_t MReqType);
    // Takes a new symbol list and points every client's parameters at it.
    void RefreshSymbols(std::shared_ptr<CSymbols> Symbols);
    void SetParamsRefParams();

    // --- Symbols, clients, accounts, client parameters -----------------------

    // Builds and adds one symbol with its account references; nothing when
    // the symbol collection refuses it.
    SymbolPtr NewSymbol(const NewSymbolArgs& a);
    // Takes the symbol out of the symbols and of every client's parameters.
    // Whoever still holds the symbol or its parameters keeps them whole.
    // Always answers nothing.
    SymbolPtr DeleteSymbol(const Variant& ID);

    // Nothing when the client cannot be added (an id already held, a bad
    // parameter list); no error reaches the caller.
    ClientPtr AddNewClient(const NewClientArgs& a);
    // The client's children first, then its accounts (one DeleteFromListView
    // each), then the client itself.
    void DeleteClient(int32_t cl_no);
    // Deletes every client.
    void Unload();

    // Nothing for an unknown client or an account number already held; no
    // error reaches the caller.
    AccountPtr AddNewAccount(const NewAccountArgs& a);
    void UpdateAccount(int32_t vClient, int32_t vAccount, AccountTypeEnum vType, bool vDemo,
                       bool vLocked, bool vLiquidated);
    void DeleteAccount(int32_t cl_no, int32_t acc_no);

    // Ignored for an unknown client and in just-accounts mode; a value that is
    // no number raises the conversion error.
    void ClientOneParameterChanged(int32_t vClientID, int32_t SymID, int16_t vType,
                                   const std::string& vVal);
    void ClientParametersChanged(int32_t vClientID, const std::string& Pars,
                                 int16_t ClientOrServer);
    void UpdateParameters(const std::string& vChangedPars, const ClientPtr& vClient,
                          int16_t ClientOrServer);

    // --- Quotes and summaries ------------------------------------------------

    // Revalues every account holding the symbol and raises its summary; in
    // server-side execution looks for order and alert hits first and checks
    // each revalued account for liquidation. An account holding a position
    // that cannot be valued (its parameters, reference parameters or symbol
    // gone) is left with its last figures; the others are still revalued.
    void DealWithChangedSymbolPrices(const SymbolPtr& vSymbol);
    // Revalues one account and raises UpdateListView.
    void SummariesChanged(const AccountPtr& vAccInfo);
    // Revalues and stores one account's floating profit and loss.
    double RefreshFloatingProfitLoss(const AccountPtr& vAccInfo);
    // Applies a summary row; nothing for an unknown account.
    void UpdateAccountSummaries(const Variant& cl_no, const Variant& acc_no, const Variant& TotComm,
                                const Variant& MarginReq, const Variant& NetProfit,
                                const Variant& TotDep, const Variant& TotCr,
                                const Variant& PrvMargin, bool LockLiquidation,
                                const Variant& TotInt);
    void RefreshListView();

    // --- Pending-order and alert hits -----------------------------------------

    void CheckOrdersHit(const AccountPtr& AccountRefInfo, const ParamPtr& SymbolParam);
    void CheckAlertsHit(const ClientPtr& vClient, const ParamPtr& SymbolParam);
    void OrderRejected(MarketOrLimitOrderEnum vType, int32_t vClient, int32_t vAccount,
                       int32_t OrderId, int32_t vTicket);
    void OrderStatusChanged(int32_t vClient, int32_t vAccount, int32_t OrderId);

    // --- Liquidation and interest ---------------------------------------------

    void CloseResultReceived(int32_t ReturnVal, int32_t vClient, int32_t vAccount, int32_t Ticket);
    // YearDays 0 raises the division-by-zero error before anything changes.
    void CalculateInterest(int32_t vSymID, int16_t vDayFactor, double YearlyBuyRate,
                           double YearlySellRate, int16_t YearDays);

    // --- Positions, orders and alerts -----------------------------------------
    // A symbol the model does not hold (or for which the account's client has
    // no parameters) raises runtime::Error(91) before anything changes; an
    // unknown account makes these members answer nothing.

    PositionPtr AddNewOpenPosition(const Variant& cl_no, const Variant& acc_no,
                                   const Variant& io_id, const Variant& io_cur_no,
                                   const Variant& theLots, const Variant& Price,
                                   const Variant& theType, const Variant& vInt,
                                   const std::string& PosTime, bool Loading = false);
    PositionPtr DefineOpenPosRow(int32_t vClient, int32_t vAccount, int32_t Ticket,
                                 const std::string& OpenPosRow);
    // A ticket the account does not hold raises runtime::Error(91) unless lots is 0.
    void UpdateOpenPosition(int32_t cl_no, int32_t acc_no, const Variant& io_id, double lots,
                            double Price, OperationTypeEnum BuySell, int32_t vCur, double vInt,
                            const std::string& PosTime);
    void DeleteOpenPosition(int32_t cl_no, int32_t acc_no, const Variant& io_id);
    void ClosePosition(int32_t cl_no, int32_t acc_no, int32_t io_id, double closedLots);
    // An unknown client or account raises runtime::Error(91).
    void CloseAllPositions(int32_t cl_no, int32_t acc_no);
    OrderPtr AddNewOrder(const NewOrderArgs& a);
    OrderPtr DefineOrder(int32_t vClient, int32_t vAccount, const std::string& OrderRow);
    // The order removed, or nothing.
    OrderPtr DeleteOrder(int32_t cl_no, int32_t acc_no, int32_t id_no);
    // An unknown client raises runtime::Error(91).
    void AddNewAlert(int32_t cl_no, int32_t ID, int32_t CurID, AlertConditionsEnum CondType,
                     double vVal, AlertTypeEnum AlertType, bool Enabled);
    void DeleteAlert(int32_t ClientID, int32_t ID);
    void UpdateAlert(int32_t ID, int32_t vClient, int32_t CurID, AlertConditionsEnum CondType,
                     double vVal);

    // Releases the client tree and the helpers; the symbols are only dropped.
    void Deallocate() override;

    // --- Events -----------------------------------------------------------------

    runtime::Event<int32_t /*vClient*/, int32_t /*vAccount*/> SendLiquidateAccount;
    runtime::Event<int32_t /*cl_no*/, int32_t /*acc_no*/, double /*balance*/, double /*flt*/,
                   double /*credit*/, double /*equity*/, double /*MarginReq*/,
                   double /*marginLevel*/, double /*EffMargin*/, int32_t /*OpenPositions*/>
        NewAccountSummeriesData;
    runtime::Event<int32_t /*cl_no*/, int32_t /*acc_no*/, double /*balance*/, double /*flt*/,
                   double /*credit*/, double /*equity*/, double /*MarginReq*/,
                   double /*marginLevel*/, double /*EffMargin*/, int32_t /*OpenPos*/>
        UpdateListView;
    runtime::Event<int32_t /*cl_no*/, int32_t /*acc_no*/> DeleteFromListView;
    // Done is the handlers' answer: True when they acted on the hit.
    runtime::Event<OrdersTypeEnum /*OrderType*/, const OrderPtr& /*Order*/,
                   const AccountPtr& /*AccInfo*/, bool /*SecondHit*/, bool& /*Done*/>
        RaiseHitOrder;
    runtime::Event<const AlertPtr& /*vAlert*/, const ClientPtr& /*vClient*/> RaiseHitAlert;
    runtime::Event<int32_t /*vClient*/, int32_t /*vAccount*/, int32_t /*vTicket*/,
                   int32_t /*vSymID*/, double /*vClosePrice*/, double /*vRefPrice*/,
                   double /*vLots*/, double /*EffMargin*/>
        SendLiqPosition;
    runtime::Event<int32_t /*vAccounts*/, CommCalcTypeEnum /*vCommCalcType*/,
                   int16_t /*vMarginReqType*/>
        ParametersChanged;
    runtime::Event<const std::string& /*msg*/, int16_t /*LogLevel*/> AddLogEntry;
    runtime::Event<int32_t /*vClient*/, int32_t /*vAccount*/, int32_t /*vTicket*/, double /*vInt*/>
        ChangePosInterest;
    runtime::Event<int32_t /*vClient*/, int32_t /*vAccount*/, double /*vTorInt*/> ChangeTotInterest;

private:
    // The quote path's reusable snapshot buffers.
    struct Scratch;

    // The summary figures in the order the events carry them.
    struct Figures {
        double balance = 0, flt = 0, credit = 0, equity = 0, MarginReq = 0, marginLevel = 0,
               EffMargin = 0;
        int32_t OpenPos = 0;
    };

    void Terminate();
    void RaiseParametersChanged();
    void RaiseNewAccountSummaries(int32_t clientNumber, int32_t accountNumber);
    // Sum of the account's positions' floating results; runtime::Error(91)
    // when one of them cannot be valued.
    double AccountFloatingProfitLoss(const CAccount& account) const;
    Figures ReadFigures(const CAccount& account) const;
    // The quote's step for one account: false, with nothing changed or
    // raised, when the account cannot be valued.
    bool RevalueForQuote(const AccountPtr& account);

    void CheckLimitOrderHit(const OrderPtr& order, const AccountPtr& account, bool second,
                            const CClientParam& parameters, bool& done);
    void CheckSlTpOrderHit(const OrderPtr& order, const AccountPtr& account, bool second,
                           const CClientParam& parameters, bool& done);
    void CheckAlertHit(const AlertPtr& alert, const ClientPtr& client,
                       const CClientParam& parameters);
    runtime::Date HitTime(const CClientParam& parameters) const;

    void CheckLiquidation(const AccountPtr& account);
    void LiquidateAccount(const AccountPtr& account);
    int32_t FirstAwaitingOrderID(const CAccount& account) const;
    void Log(const std::string& msg);

    void AccountDeletedFromSymbols(int32_t cl_no, int32_t acc_no);
    void ClientDeletedFromSymbols(int32_t cl_no);
    void DeleteClientAt(int32_t cl_no, int32_t depth);
    void RemovePositionOrders(const AccountPtr& account, int32_t ticket);
    // A symbol the engine holds, with its account references and (for a
    // client) the client's parameters for it; runtime::Error(91) when any of
    // them is missing, before the caller changes anything.
    struct SymbolTarget {
        SymbolPtr symbol;
        std::shared_ptr<CCurAccount> cur;
        ParamPtr param;
    };
    SymbolTarget TargetFor(int32_t symbolId, const CClient* client) const;
    // The account's client, or runtime::Error(91).
    ClientPtr ClientOfAccount(const CAccount& account) const;
    ClientPtr ClientOf(int32_t cl_no) const;

    std::shared_ptr<CGenerals> generals_;
    std::shared_ptr<CSymbols> symbols_;
    std::shared_ptr<CClients> clients_;
    double liquidationFigure_ = 0;
    bool justAccounts_ = false;
    CommCalcTypeEnum commCalcType_ = static_cast<CommCalcTypeEnum>(0);
    int16_t marginReqType_ = 0;
    ExecutionModeEnum executionSide_ = static_cast<ExecutionModeEnum>(0);
    std::shared_ptr<CStringValues> stringValues_;
    std::unique_ptr<Scratch> scratch_;
    // Counts the changes that take accounts, clients, positions, orders,
    // alerts or symbols out of the model, so that a walk over a snapshot
    // re-checks membership only after a handler changed something.
    uint64_t generation_ = 0;
};

}  // namespace OrbanelGeneral10
