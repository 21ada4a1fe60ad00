#pragma once
// One managed account: owns its client API object, handles its events and mirrors
// them in the desk's views through the ports.
//
// Every event handler catches what is thrown inside it, stops at that step,
// journals "<event> failed: <description>" for its account and returns normally,
// so the client API's event chain goes on (ConnectionState, ClientListItem,
// Summary and RemoveData absorb errors without a word). A running handler keeps
// its session alive. Release() ends the session for good: handlers disconnected,
// the commands still waiting for their answers journaled, then the account logged
// out (a failure journaled), then the API object dropped; destruction releases too.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "clientapi/facade/COrbanexClientAPI.h"
#include "desk/common/DeskServices.h"
#include "desk/sessions/PriceChangedPresenter.h"
#include "desk/sessions/RowCache.h"
#include "desk/sessions/SummaryDisplay.h"
#include "desk/sessions/UnansweredCommands.h"
#include "runtime/Event.h"

namespace OrbanexDesk {

class CClientAPIManager : public std::enable_shared_from_this<CClientAPIManager> {
public:
    using API = OrbanexClientAPI10::COrbanexClientAPI;

    // Creates the session with a fresh client API object whose events it handles.
    static std::shared_ptr<CClientAPIManager> Create(DeskServices& desk);
    ~CClientAPIManager();
    CClientAPIManager(const CClientAPIManager&) = delete;
    CClientAPIManager& operator=(const CClientAPIManager&) = delete;

    int32_t m_lAccount = 0;
    double preBalance = 0, preFltPL = 0, preCredit = 0, preEquity = 0, preMarginReq = 0,
           preMarginLevel = 0, preEffMargin = 0;
    std::string pass;

    // The handled API object; setting one moves the handler connections to it.
    const std::shared_ptr<API>& CLAPICLASS() const { return api_; }
    void setCLAPICLASS(std::shared_ptr<API> api);
    std::shared_ptr<API> ClientAPIF() const { return api_; }

    int16_t key() const { return key_; }
    void setKey(int16_t key) { key_ = key; }
    // "C" & key.
    std::string RowKey() const { return "C" + std::to_string(key_); }
    // The session's accounts-list row, or nullptr.
    platform::ListItem* ClientListItem();

    // Copies the account's seven summaries into the arguments when the API answers with
    // success; otherwise leaves them alone.
    void Summary(int32_t AccountID, double& Balance, double& FltPL, double& Credit, double& Equity,
                 double& marginReq, double& MarginLevel, double& EffMargin);
    std::string SummaryDesc(double Balance, double Equity, double EffMargin) const;
    // The id of the first symbol named Name exactly; 0 when none. 32-bit: ids above
    // 32767 are ordinary.
    int32_t GetIDByName(const std::string& Name);
    // Removes Key from the shared symbol collection; a missing key is ignored.
    void RemoveData(const std::string& Key);
    // Refills the market watch from the desk's shared symbols (no caller in the desk).
    void LoadMWPprices();
    // Logs the account of row "C" & SessionKeyText out and notes "Invalid account ID".
    void DisInvalidAcc(const std::string& SessionKeyText);

    // Ends the session: see the class comment. Safe to call twice.
    void Release();
    bool Released() const { return released_; }

    // ---- Handlers of the API object's events ----
    void CLAPICLASS_ConnectionState(bool IsConnected);
    void CLAPICLASS_WaitingMode(KVClientDLL10::WaitingModeEnum Mode);
    void CLAPICLASS_ServerTime(const std::string& STime);
    void CLAPICLASS_ServerRouted(const std::string& OldIP, const std::string& NewIP);
    void CLAPICLASS_SessionDisconnected();
    void CLAPICLASS_InvalidUsernamePassword();
    void CLAPICLASS_SymbolsLoaded();
    void CLAPICLASS_OpenPositionsLoaded();
    void CLAPICLASS_PendingOrdersLoaded();
    void CLAPICLASS_AllDataAreLoaded();
    void CLAPICLASS_NewOpenPosition(const PositionPtr& Pos);
    void CLAPICLASS_UpdateOpenPosition(const PositionPtr& Pos);
    void CLAPICLASS_DeleteOpenPosition(const PositionPtr& Pos);
    void CLAPICLASS_NewPendingOrder(const OrderPtr& Order);
    void CLAPICLASS_DeletePendingOrder(const OrderPtr& Order);

    // ---- Prices and valuation ----
    using OperationType = OrbanelGeneral10::OperationTypeEnum;
    using NewOrderResult = OrbanexClientAPI10::NewOrderResultEnum;
    using NewOrLiqType = OrbanelGeneral10::NewOrLiquidateEnum;
    // Only the current session writes the market watch; every session lets the
    // entry-order pane recompute.
    void CLAPICLASS_SymbolPricesChanged(const SymbolPtr& Symbol);
    void CLAPICLASS_SymbolHighLowChanged(const SymbolPtr& Symbol);
    // A missing "T" row skips the position; a missing net or total row skips that row.
    void CLAPICLASS_PosFloatingPLChanged(const PositionPtr& Pos);
    // Replaces this session's share of the desk totals; a figure that is not finite
    // counts as 0.
    void CLAPICLASS_SummariesChanged(double Balance, double FltPL, double Credit, double Equity,
                                     double marginReq, double MarginLevel, double EffMargin);

    // ---- Order results ----
    static std::string ResultDescription(NewOrderResult Result);
    // "buy" for buy and buy stop, "sell" otherwise.
    static std::string BuySellDesc(OperationType BuySell);
    void CLAPICLASS_CloseOrderResult(NewOrderResult Result, double AtPrice, int16_t PosOrOrder,
                                     int32_t OrderID, OperationType BuySell, double Lots,
                                     const SymbolPtr& Symbol, const std::string& ServerTime,
                                     int32_t OpenTicket, const std::string& TransTag);
    // Every whole number of the comma-separated OrderIDs loses its request row.
    void CLAPICLASS_DeleteLimitOrderResult(NewOrderResult Result, const std::string& OrderIDs,
                                           const std::string& TransTag);
    void CLAPICLASS_DeleteSLTPOrderResult(NewOrderResult Result, const std::string& OrderIDs,
                                          const std::string& TransTag);
    void CLAPICLASS_LimitOrderAccepted(int32_t AccountID, int32_t OrderID, int32_t Ticket,
                                       OperationType BuySell, double Lots, const SymbolPtr& Symbol);
    void CLAPICLASS_LimitOrderCanceledCannotHdg(int32_t AccountID, int32_t OrderID, int32_t Ticket,
                                                OperationType BuySell, double Lots,
                                                const SymbolPtr& Symbol);
    void CLAPICLASS_LimitOrderCanceledNoMoney(int32_t AccountID, int32_t OrderID, int32_t Ticket,
                                              OperationType BuySell, double Lots,
                                              const SymbolPtr& Symbol);
    void CLAPICLASS_MarketOrderAccepted(int32_t AccountID, int32_t OrderID, int32_t Ticket,
                                        OperationType BuySell, double Lots, const SymbolPtr& Symbol,
                                        double Price, NewOrLiqType NewOrLiq, double RequestedPrice);
    // Ends quietly at the first step that finds no row or no close request.
    void CLAPICLASS_MarketOrderRejected(int32_t OrderID, OperationType BuySell, double Lots,
                                        const SymbolPtr& Symbol, double Price,
                                        NewOrLiqType NewOrLiq);
    void CLAPICLASS_NewLimitOrderResult(NewOrderResult Result, int32_t OrderID,
                                        const std::string& ServerTime, const std::string& TransTag);
    void CLAPICLASS_NewOrderResult(NewOrderResult Result, double AtPrice, int16_t PosOrOrder,
                                   int32_t OrderID, OperationType BuySell, double Lots,
                                   const SymbolPtr& Symbol, const std::string& ServerTime,
                                   const std::string& TransTag);
    void CLAPICLASS_NewSLTPOrderResult(NewOrderResult Result, int32_t OrderID,
                                       const std::string& ServerTime, const std::string& TransTag);
    // Passes the tick to the re-quote dialog while logged on; re-enables the order pane.
    void CLAPICLASS_OrderTimer(int32_t OrderID, int32_t AccountID, OperationType BuySell,
                               double Lots, const SymbolPtr& Symbol, double OldPrice,
                               double NewPrice, int32_t OpenTicket, int16_t CurrentTimer,
                               int16_t AllTimer);
    void CLAPICLASS_SlTpOrderAccepted(int32_t AccountID, int32_t OrderID, int32_t Ticket);
    void CLAPICLASS_SlTpOrderCanceledNoMoney(int32_t AccountID, int32_t OrderID, int32_t Ticket);
    void CLAPICLASS_UpdateLimitOrderResult(NewOrderResult Result, int32_t OrderID,
                                           const std::string& ServerTime,
                                           const std::string& TransTag);
    void CLAPICLASS_UpdateSLTPOrderResult(NewOrderResult Result, int32_t OrderID,
                                          const std::string& ServerTime,
                                          const std::string& TransTag);

    // ---- Trading commands ----
    // Each sends its command through CLAPICLASS and returns the client API's code
    // (error 91 without an API object). A command that went out while logged on is
    // kept until it is answered (see UnansweredCommands); one still waiting when
    // the connection is lost or closed is journaled and logged for the account,
    // and a market or entry order's pane row gets the same note. Nothing is resent.
    using CallingResult = OrbanexClientAPI10::CallingResultsEnum;
    CallingResult SendMarketOrder(OperationType BuySell, int32_t SymbolID, double Lots,
                                  const std::string& SymbolName);
    CallingResult SendLimitOrder(OperationType OrderType, int32_t SymbolID, double Lots,
                                 double AtPrice, const runtime::Variant& SL,
                                 const runtime::Variant& TP);
    CallingResult SendLimitOrderUpdate(int32_t OrderID, double Lots, double NewPrice,
                                       const runtime::Variant& SL, const runtime::Variant& TP);
    CallingResult SendLimitOrderCancel(const std::string& OrderIDs);
    CallingResult SendSLTPOrder(int32_t Ticket, double Lots, const runtime::Variant& SL,
                                const runtime::Variant& TP);
    CallingResult SendSLTPOrderUpdate(int32_t OrderID, double Lots, const runtime::Variant& SL,
                                      const runtime::Variant& TP);
    CallingResult SendSLTPOrderCancel(const std::string& OrderIDs);
    CallingResult SendClose(const std::string& Tickets, const std::string& Lots);
    CallingResult SendRequoteAnswer(int32_t OrderID, bool Accept);
    // The commands sent and not answered yet.
    UnansweredCommands& Unanswered() { return unanswered_; }

    // The session's re-quote dialog.
    PriceChangedPresenter& frmPriceChanged() { return priceChanged_; }

private:
    explicit CClientAPIManager(DeskServices& desk);
    void ConnectHandlers();
    template <class... A, class F>
    void Handle(runtime::Event<A...>& event, const char* name, F member);
    void Journal(const std::string& text);
    platform::ListItem& Row();
    // Adds the symbol's market-watch row with its four prices (raises what the
    // list's Add raises); AddMarketWatchRow adds its quote time too.
    platform::ListItem& AddMarketWatchPrices(const SymbolPtr& symbol);
    void AddMarketWatchRow(const SymbolPtr& symbol);
    void RegisterWithOrderPanes();
    void SaveConnectedLine(const std::string& savedList);
    void ReadDecimalsSetting();
    void ConnectPriceHandlers();
    void ConnectResultHandlers();
    // Takes this session's last figures out of the desk totals and zeroes them;
    // shows the totals when there was a share (or always).
    void TakeShareOut(bool showAlways);
    // The summary line's texts, written at the end of the loop turn.
    void ShowTotals(const char* const* labels);
    // Takes the desk's GMT offsets from this session's API unless taken; the last
    // server time any session received before is shown with them.
    void TakeGMTOffsets();
    // Zeroes the pre* figures when the desk totals were reset since they were counted.
    void ForgetShareOfEarlierReset();
    void RefreshPendingRow(int32_t OrderID);
    void EnableCloseSymbols();
    void Message(const std::string& text);
    // One step of a result row (journal, note, message or sound).
    void Perform(int32_t act, const std::string& text, int32_t notePane);
    // The API object, held for the statement (a handler it raises may release the
    // session), or error 91.
    std::shared_ptr<API> Api();
    // Sends a command through `send` and keeps it when a request of it was queued.
    template <class F>
    CallingResult Kept(UnansweredCommands::Command command, F send);
    void ConnectUnansweredTracking();
    // Journals and notes every command still waiting, and forgets them.
    void ReportUnanswered();

    DeskServices& desk_;
    const DeskPorts& ports_;
    std::shared_ptr<API> api_;
    int16_t key_ = 0;
    bool released_ = false;
    uint64_t summaryReset_ = 0;  // the desk's SummaryResets when pre* were counted
    friend class SummaryDisplay;
    friend class CClientAPIManagers;
    std::shared_ptr<SummaryDisplay> summaries_;  // the collection's; none outside one
    bool summaryRowPending_ = false;             // SummaryDisplay's mark
    SummaryDisplay::LevelShare levelShare_;      // this account's part in the margin level
    // This account's trade rows by ticket and net rows by symbol and side.
    // The trade rows' current price and profit, the net rows' price and profit.
    RowCache tradeRows_{8, 13}, netRows_{7, 10};
    std::vector<runtime::ScopedConnection> connections_;
    std::string settingsPath_;
    PriceChangedPresenter priceChanged_{desk_};
    UnansweredCommands unanswered_;
};

}  // namespace OrbanexDesk
