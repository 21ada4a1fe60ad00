// The engine as a whole: construction and release, accessors, and the
// maintenance of symbols, clients, accounts and client parameters.
#include "general/model/CAccountsTransactions.h"

#include <vector>

#include "general/common/MGenerals.h"
#include "general/model/CAccount.h"
#include "general/model/CAccounts.h"
#include "general/model/CAccountsTransactions_internal.h"
#include "general/model/CClient.h"
#include "general/model/CClientParams.h"
#include "general/model/CClientRef.h"
#include "general/model/CClientRefs.h"
#include "general/model/CClients.h"
#include "general/model/CCurAccount.h"
#include "general/model/CSummaries.h"
#include "general/model/CSymbol.h"
#include "general/model/CSymbols.h"
#include "runtime/Strings.h"

namespace OrbanelGeneral10 {

using engine::Follow;
using engine::KeyText;
using engine::NumberOf;
using engine::TextOf;
using engine::WholeOf;

CAccountsTransactions::CAccountsTransactions()
    : generals_(std::make_shared<CGenerals>()),
      clients_(std::make_shared<CClients>()),
      stringValues_(std::make_shared<CStringValues>()),
      scratch_(std::make_unique<Scratch>()) {}

CAccountsTransactions::~CAccountsTransactions() {
    Terminate();
}

void CAccountsTransactions::Deallocate() {
    Terminate();
}

void CAccountsTransactions::Terminate() {
    ++generation_;
    SafeRelease(stringValues_);
    SafeRelease(clients_);
    SafeRelease(generals_);
    symbols_.reset();
}

// --- Accessors --------------------------------------------------------------

void CAccountsTransactions::RaiseParametersChanged() {
    ParametersChanged(AccountsCount(), commCalcType_, marginReqType_);
}

void CAccountsTransactions::setCommCalcType(CommCalcTypeEnum value) {
    commCalcType_ = value;
    RaiseParametersChanged();
}

void CAccountsTransactions::setMarginReqType(int16_t value) {
    marginReqType_ = value;
    RaiseParametersChanged();
}

namespace {

// Every account held now; flags only, so no handler runs during the walk.
template <class Fn>
void ForEachAccount(const std::shared_ptr<CClients>& clients, Fn fn) {
    if (!clients || !clients->Items()) return;
    for (const auto& c : *clients->Items()) {
        const auto& accounts = c.value->Accounts();
        if (!accounts || !accounts->Items()) continue;
        for (const auto& a : *accounts->Items()) fn(*a.value);
    }
}

}  // namespace

void CAccountsTransactions::setAutoOrNotLiquidation(bool value) {
    ForEachAccount(clients_, [value](CAccount& a) { a.setAutoOrNotLiquidation(value); });
}

void CAccountsTransactions::setAutoOrNotLimitOrder(bool value) {
    ForEachAccount(clients_, [value](CAccount& a) { a.setAutoOrNotLimitOrder(value); });
}

void CAccountsTransactions::setAutoOrNotSLTP(bool value) {
    ForEachAccount(clients_, [value](CAccount& a) { a.setAutoOrNotSLTP(value); });
}

CAccountsTransactions::AccountPtr CAccountsTransactions::Account(int32_t ClientID,
                                                                 int32_t AccountID) const {
    try {
        return clients_ ? clients_->Account(ClientID, AccountID) : nullptr;
    } catch (const runtime::Error&) {
        return nullptr;
    }
}

CAccountsTransactions::AccountPtr CAccountsTransactions::AccountByAccountID(int32_t Account) const {
    try {
        return clients_ ? clients_->AccountByAccountID(Account) : nullptr;
    } catch (const runtime::Error&) {
        return nullptr;
    }
}

int32_t CAccountsTransactions::AccountsCount() const {
    int32_t count = 0;
    if (!clients_ || !clients_->Items()) return 0;
    for (const auto& c : *clients_->Items())
        if (const auto& accounts = c.value->Accounts(); accounts && accounts->Items())
            count += accounts->Count();
    return count;
}

void CAccountsTransactions::InitializeNeededData(std::shared_ptr<CSymbols> SymInfo,
                                                 ExecutionModeEnum execType,
                                                 CommCalcTypeEnum CommType, int16_t MReqType) {
    setSymbols(std::move(SymInfo));
    setExecutionSide(execType);
    setCommCalcType(CommType);
    setMarginReqType(MReqType);
}

void CAccountsTransactions::RefreshSymbols(std::shared_ptr<CSymbols> Symbols) {
    symbols_ = std::move(Symbols);
    ++generation_;
    Follow(clients_).RefreshSymbols(symbols_);
}

void CAccountsTransactions::SetParamsRefParams() {
    for (const auto& client : Follow(Follow(clients_).Items()).Items())
        Follow(client->Params()).SetParamsRefParams();
}

CAccountsTransactions::ClientPtr CAccountsTransactions::ClientOf(int32_t cl_no) const {
    return clients_ ? clients_->Item(KeyText(cl_no)) : nullptr;
}

// --- Symbols ------------------------------------------------------------------

// A Null day, time or number cell raises invalid use of Null before anything is added.
CAccountsTransactions::SymbolPtr CAccountsTransactions::NewSymbol(const NewSymbolArgs& a) {
    CSymbols& symbols = Follow(symbols_);
    CSymbols::AddArgs s;
    s.Spread = Variant(1.0);
    s.SourcePlus = 0;
    s.TickPips = a.TickPips;
    s.RefPriceCase = a.RefCase;
    s.PriceCase = a.PriceCase;
    s.Factor = a.Factor;
    s.LastQuteTime = a.LastQTime;
    s.Low = a.Low;
    s.High = a.High;
    s.Bid = a.Bid;
    s.Ask = a.Ask;
    s.Last = Variant(0.0);
    s.isDisplay = a.isDisplay;
    s.isUsed = a.isUsed;
    s.RefID = a.RefSymbolID;
    s.PipLocation = a.PipLocation;
    s.SymbolType = a.SymbolType;
    s.name = a.SymbolName;
    s.ID = a.ID;
    s.OpenDay = a.OpenDay.ToString();
    s.OpenTime = a.OpenTime.ToString();
    s.CloseDay = a.CloseDay.ToString();
    s.CloseTime = a.CloseTime.ToString();
    s.DailyCloseTime1 = a.DailyCloseTime1;
    s.DailyOpenTime1 = a.DailyOpenTime1;
    s.DailyCloseTime2 = a.DailyCloseTime2;
    s.DailyOpenTime2 = a.DailyOpenTime2;
    s.DailyCloseTime3 = a.DailyCloseTime3;
    s.DailyOpenTime3 = a.DailyOpenTime3;
    s.Closed = a.Closed;
    s.DDEItems = TextOf(a.DDEItems);
    s.MoveIfClosed = a.MoveIfClosed;
    s.HighType = static_cast<HighLowComputeTypeEnum>(WholeOf(a.HighType));
    s.LowType = static_cast<HighLowComputeTypeEnum>(WholeOf(a.LowType));
    s.GiveQuoteHL = a.GiveHLQuote;
    s.StopFeed = a.StopFeed;
    s.PriceOffset = runtime::CInt(NumberOf(a.PriceOffset));
    s.SpreadOffset = runtime::CInt(NumberOf(a.SpreadOffset));
    s.SortOrder = 1;
    s.AmountUnitID = 1;
    s.Bank = Variant(TextOf(a.Bank));
    s.StopTrade = a.StopTrade;
    s.StopTradeSeconds = runtime::CInt(NumberOf(a.StopTradeSeconds));
    s.ParentID = Variant(runtime::Null);
    s.MWColor = 1.0;
    s.Requotable = true;
    s.MOType = AtPriceMO;
    s.Description.clear();
    s.SpreadType = a.SpreadType;
    s.JustClose = false;
    s.BuyOnly = false;
    s.HasPriv = false;
    s.ExpDate = a.ExpDate;
    s.DayOpen = a.DayOpenPrice;
    s.DayClose = a.DayClosePrice;
    s.Ref1 = std::make_shared<CCurAccount>();
    return symbols.Add(s);
}

CAccountsTransactions::SymbolPtr CAccountsTransactions::DeleteSymbol(const Variant& ID) {
    const std::string key = ID.ToString();
    ++generation_;
    // Detached, not released: positions, orders, alerts, reference symbols
    // and the client API may still hold the symbol and its parameters. Its
    // references go, so that none of them (a parameter object pointing back
    // at it, say) keeps a ring alive past the model.
    const SymbolPtr symbol = symbols_ ? symbols_->Detach(key) : nullptr;
    if (clients_ && clients_->Items())
        for (const auto& c : *clients_->Items())
            if (const auto& params = c.value->Params()) params->Detach(key);
    if (symbol) {
        symbol->setRef1(nullptr);
        symbol->setRef2(nullptr);
        symbol->setRef3(nullptr);
        symbol->setRef4(nullptr);
    }
    return nullptr;
}

void CAccountsTransactions::AccountDeletedFromSymbols(int32_t cl_no, int32_t acc_no) {
    if (!symbols_ || !symbols_->Items()) return;
    for (const auto& sym : symbols_->NewEnum()) {
        const auto holder = sym->Ref1();
        auto* cur = engine::CurAccountOf(*sym);
        // A symbol without references has nothing to forget.
        if (cur && cur->AccountsHavePositions() && cur->AccountsHaveOrders())
            cur->AccountDeleted(cl_no, acc_no);
    }
}

void CAccountsTransactions::ClientDeletedFromSymbols(int32_t cl_no) {
    if (!symbols_ || !symbols_->Items()) return;
    for (const auto& sym : symbols_->NewEnum()) {
        const auto holder = sym->Ref1();
        auto* cur = engine::CurAccountOf(*sym);
        if (cur && cur->ClientsHaveAlerts()) cur->ClientDeleted(cl_no);
    }
}

// --- Clients ------------------------------------------------------------------

CAccountsTransactions::ClientPtr CAccountsTransactions::AddNewClient(const NewClientArgs& a) {
    try {
        return Follow(clients_).Add(WholeOf(a.cl_no), TextOf(a.theSpread), a.ParentID,
                                    a.vClientType, a.vEnableInterest, a.LiqType, a.LiqPoint,
                                    a.FirstName, a.SecondName, a.ThirdName, a.LastName, a.Username,
                                    symbols_, generals_, a.ClientOrServer);
    } catch (const runtime::Error&) {
        return nullptr;
    }
}

void CAccountsTransactions::DeleteClient(int32_t cl_no) {
    const auto self = weak_from_this().lock();  // a handler may drop the engine
    DeleteClientAt(cl_no, 0);
}

void CAccountsTransactions::DeleteClientAt(int32_t cl_no, int32_t depth) {
    if (!clients_) return;
    ++generation_;
    if (const ClientPtr client = ClientOf(cl_no)) {
        // The tree has no rings, but a bound keeps the descent finite whatever happens.
        if (depth <= clients_->Count()) {
            std::vector<int32_t> children;
            if (const auto& refs = client->ChildrenClients(); refs && refs->Items())
                for (const auto& ref : refs->NewEnum())
                    if (const auto child = ref->Client()) children.push_back(child->ClientID());
            for (const int32_t child : children) DeleteClientAt(child, depth + 1);
        }
        std::vector<int32_t> accounts;
        if (const auto& held = client->Accounts(); held && held->Items())
            for (const auto& account : held->NewEnum()) accounts.push_back(account->AccountID());
        for (const int32_t account : accounts) DeleteAccount(cl_no, account);
        ClientDeletedFromSymbols(cl_no);
    }
    if (clients_) clients_->Remove(KeyText(cl_no));
}

void CAccountsTransactions::Unload() {
    const auto self = weak_from_this().lock();
    if (!clients_ || !clients_->Items()) return;
    std::vector<int32_t> ids;
    for (const auto& c : *clients_->Items()) ids.push_back(c.value->ClientID());
    for (const int32_t id : ids) DeleteClient(id);
}

// --- Accounts -------------------------------------------------------------------

CAccountsTransactions::AccountPtr CAccountsTransactions::AddNewAccount(const NewAccountArgs& a) {
    AccountPtr account;
    try {
        const ClientPtr client = clients_ ? clients_->Item(a.cl_no.ToString()) : nullptr;
        if (!client) return nullptr;
        auto summaries = std::make_shared<CSummaries>();
        summaries->SetValues(a.PrvMargin, a.TotDep, a.TotComm, a.MarginReq, a.NetProfit, a.TotCr,
                             a.TotInt);
        const int32_t accountNumber = a.acc_no.IsNull() ? -1 : WholeOf(a.acc_no);
        const int32_t clientNumber = WholeOf(a.cl_no);
        const auto type = a.accType.IsNull() ? NormalAccountType
                                             : static_cast<AccountTypeEnum>(WholeOf(a.accType));
        const bool demo = !a.demoAcc.IsNull() && NumberOf(a.demoAcc) == 1;
        const bool dontLiquidate = !a.DontLiquidate.IsNull() && NumberOf(a.DontLiquidate) == 1;
        account = Follow(client->Accounts())
                      .Add(client, summaries, accountNumber, clientNumber, type, a.AutoLiq,
                           a.autoLimit, a.autoSlTp, demo, dontLiquidate, a.Locked);
        // An account number held already: nothing changed, so nothing to report.
        if (!account) return nullptr;
        const auto self = weak_from_this().lock();  // a handler may drop the engine
        if (!a.Loading) RaiseParametersChanged();
        RaiseNewAccountSummaries(clientNumber, accountNumber);
        return account;
    } catch (const runtime::Error&) {
        return account;
    }
}

void CAccountsTransactions::UpdateAccount(int32_t vClient, int32_t vAccount, AccountTypeEnum vType,
                                          bool vDemo, bool vLocked, bool vLiquidated) {
    const AccountPtr account = Account(vClient, vAccount);
    if (!account) return;
    account->setAccountType(vType);
    account->setDemoAccount(vDemo);
    account->setDontLiquidate(vLiquidated);
    account->setLocked(vLocked);
}

void CAccountsTransactions::DeleteAccount(int32_t cl_no, int32_t acc_no) {
    const ClientPtr client = ClientOf(cl_no);
    if (!client) return;
    ++generation_;
    AccountDeletedFromSymbols(cl_no, acc_no);
    if (const auto& accounts = client->Accounts()) accounts->Remove(KeyText(acc_no));
    DeleteFromListView(cl_no, acc_no);
}

// --- Client parameters -------------------------------------------------------------

void CAccountsTransactions::ClientOneParameterChanged(int32_t vClientID, int32_t /*SymID*/,
                                                      int16_t vType, const std::string& vVal) {
    if (justAccounts_) return;
    const ClientPtr client = ClientOf(vClientID);
    if (!client) return;
    switch (vType) {
        case EnableInterestType:
            client->setEnableInterest(runtime::CDbl(Variant(vVal)) == 1);
            break;
        case LiquidationTypeType:
            client->setLiquidationType(
                static_cast<LiquidationTypeEnum>(runtime::CLng(runtime::CDbl(Variant(vVal)))));
            break;
        case LiquidationPointType:
            client->setLiquidationPoint(runtime::CDbl(Variant(vVal)));
            break;
        default:
            break;
    }
}

void CAccountsTransactions::ClientParametersChanged(int32_t vClientID, const std::string& Pars,
                                                    int16_t ClientOrServer) {
    if (justAccounts_) return;
    const ClientPtr client = ClientOf(vClientID);
    if (!client) return;
    UpdateParameters(Pars, client, ClientOrServer);
}

void CAccountsTransactions::UpdateParameters(const std::string& vChangedPars,
                                             const ClientPtr& vClient, int16_t ClientOrServer) {
    if (runtime::Trim(vChangedPars).empty()) return;
    Follow(vClient).RefreshClientParams(vChangedPars, symbols_, generals_, false, ClientOrServer);
}

}  // namespace OrbanelGeneral10
