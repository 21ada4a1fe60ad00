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

class CDataClient;
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
    // Loads the accounts, starts the market (103) and selects row 1's account.
    void AccountsRecieved(bool NoRows, const Table& DataArray, int32_t Results,
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
    // stamps; the account view shows AccountID -1.
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

private:
    // One request of a selection, in the order it was sent: its answer
    // belongs to this account.
    struct Stamp {
        int16_t token = 0;
        int32_t client = 0;
        int32_t account = 0;
    };

    // ---- Construction and forgetting ----
    // What a drop and a new login forget: the selection, the position
    // references, the stamps, the account view.
    void ForgetLogin();
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
    std::deque<Stamp> stamps_;
    // The quote path's snapshot of a symbol's position references.
    std::vector<std::shared_ptr<COpenPosRef>> refsScratch_;
};

}  // namespace OrbanexClientAPI10
