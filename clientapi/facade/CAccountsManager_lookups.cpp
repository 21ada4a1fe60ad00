// Server variables, privileges, and the lookups over symbols, clients and
// accounts.
#include "clientapi/dataclient/CClientServer.h"
#include "clientapi/dataclient/CDataClient.h"
#include "clientapi/dataclient/CSecurity.h"
#include "clientapi/facade/CAccountsManager.h"
#include "clientapi/facade/CSymbolsManager.h"
#include "general/common/MGenerals.h"
#include "general/model/CAccount.h"
#include "general/model/CAccounts.h"
#include "general/model/CAccountsTransactions.h"
#include "general/model/CClient.h"
#include "general/model/CClientParams.h"
#include "general/model/CClients.h"
#include "general/model/CGlobalVar.h"
#include "general/model/CSymbol.h"
#include "general/model/CSymbols.h"
#include "general/model/MModelItems.h"
#include "runtime/Convert.h"
#include "runtime/Error.h"
#include "runtime/Strings.h"

namespace OrbanexClientAPI10 {

namespace og = OrbanelGeneral10;
using og::modelitems::Follow;
using og::modelitems::KeyText;
using runtime::Variant;

namespace {

// A version's weighted sum, in the 16-bit range or runtime::Error(6).
int16_t VersionNumber(int16_t release, int16_t version, int16_t patch) {
    const int32_t n = int32_t{release} * 100 + int32_t{version} * 10 + patch;
    if (n < INT16_MIN || n > INT16_MAX) throw runtime::Error(runtime::errc::Overflow);
    return static_cast<int16_t>(n);
}

}  // namespace

// ---- Server variables and privileges ----

void CAccountsManager::VariablesRecieved(const std::shared_ptr<og::CGlobalVar>& GlobalVar,
                                         const std::string& Globals,
                                         const std::string& LastTickTime,
                                         const std::string& Versions, int16_t CurrentRel,
                                         int16_t CurrentVer, int16_t CurrentPat, double vGMTOffset,
                                         int16_t GWPricesStep, int32_t FirstWL,
                                         bool ReadOnlyLogin) {
    readOnlyLogin_ = ReadOnlyLogin;
    const std::vector<std::string> parts = runtime::Split(Versions, ",");
    if (parts.size() < 3) throw runtime::Error(runtime::errc::SubscriptOutOfRange);
    const int16_t minRelease = runtime::CInt(Variant(parts[0]));
    const int16_t minVersion = runtime::CInt(Variant(parts[1]));
    const int16_t minPatch = runtime::CInt(Variant(parts[2]));
    const int16_t own = VersionNumber(CurrentRel, CurrentVer, CurrentPat);
    const int16_t required = VersionNumber(minRelease, minVersion, minPatch);
    if (own < required) {
        og::ShowMessage(VersionMessage(minRelease, minVersion, minPatch));
        Follow(dataClient_).Disconnect(false);
    } else {
        og::CGlobalVar& vars = Follow(GlobalVar);
        vars.SetValues(Globals);
        engine_->setCommCalcType(vars.CommCalcType());
        CSymbolsManager& symbols = Follow(symbolsManager_);
        symbols.setCommCalcType(vars.CommCalcType());
        changePriceSeconds_ = vars.PriceChangedTimer();
        symbols.setLastTickTime(LastTickTime);
        symbols.setGWPricesStep(GWPricesStep);
    }
    gmtOffset_ = vGMTOffset;
    firstWhiteLabel_ = FirstWL;
}

void CAccountsManager::PrivsRecieved(const std::string& vPrivs, int32_t vTreePriv,
                                     const std::string& ClientOrBo) {
    // A new login starts from nothing: no selection, no references into the
    // previous login's clients (they would keep them and the symbols alive).
    const Requotes ended = ForgetLogin();
    ClearSymbolRefs(true);
    engine_->Unload();
    if (!ReportEndedRequotes(ended)) return;
    try {
        Follow(security_).UserHasThesePrivs(vPrivs);
    } catch (const runtime::Error& e) {
        // The privileges before the bad piece stay granted; the login goes on.
        Log("PrivsRecieved \"" + vPrivs + "\": error " + std::to_string(e.Number()) + " " +
            e.Description());
    }
    treePrivID_ = vTreePriv;
    CDataClient& client = Follow(dataClient_);
    CClientServer& server = Follow(client.ClientServer());
    server.GetAllSymbols(treePrivID_, ClientOrBo, client.LoginUser());
    server.GetClients(treePrivID_);
    server.GetAccounts(treePrivID_);
}

// ---- Symbol views ----

bool CAccountsManager::CopySymbol(COSymbol& OSym, const ParamPtr& SymParam) {
    if (!SymParam) return false;
    OSym.setSymbolParam(SymParam);
    OSym.setCommCalcType(engine_->CommCalcType());
    return true;
}

void CAccountsManager::CopySymbolBO(COSymbol& OSym, const SymbolPtr& Sym) {
    defParam_->setSymbol(Sym);
    defParamParent_->setSymbol(Follow(Sym).RefSymbol());
    OSym.setSymbolParam(defParam_);
    OSym.setCommCalcType(engine_->CommCalcType());
}

std::shared_ptr<COSymbol> CAccountsManager::ClientSymbolView(const ParamPtr& param) {
    if (!param) return nullptr;
    const SymbolPtr symbol = param->Symbol();
    if (!symbol || !symbol->isUsed()) return nullptr;
    return std::make_shared<COSymbol>(COSymbol::Pointed{}, param, engine_->CommCalcType());
}

std::shared_ptr<COSymbol> CAccountsManager::SymbolViewBO(const SymbolPtr& symbol) {
    if (!symbol || !symbol->isUsed()) return nullptr;
    auto view = std::make_shared<COSymbol>();
    CopySymbolBO(*view, symbol);
    return view;
}

std::shared_ptr<COSymbol> CAccountsManager::SymbolByIndex(int16_t Index) {
    if (!selected_) return nullptr;
    const auto client = selected_->Client();
    if (!client || !client->Params()) return nullptr;
    return ClientSymbolView(client->Params()->ItemByIndex(int32_t{Index}));
}

std::shared_ptr<COSymbol> CAccountsManager::SymbolByID(int32_t ID) {
    if (!selected_) return nullptr;
    const auto client = selected_->Client();
    return client ? ClientSymbolView(client->SymbolParam(ID)) : nullptr;
}

std::shared_ptr<COSymbol> CAccountsManager::SymbolByName(const std::string& Name) {
    if (!selected_) return nullptr;
    const auto client = selected_->Client();
    if (!client || !client->Params()) return nullptr;
    // Nothing below runs a handler, so the walk needs no snapshot.
    const auto params = client->Params()->Items();
    for (const auto& entry : Follow(params)) {
        const og::CSymbol* symbol = entry.value->PeekSymbol();
        if (symbol && symbol->name() == Name) return ClientSymbolView(entry.value);
    }
    return nullptr;
}

std::shared_ptr<COSymbol> CAccountsManager::SymbolByIndexBO(int16_t Index) {
    return SymbolViewBO(Symbols().ItemByIndex(int32_t{Index}));
}

std::shared_ptr<COSymbol> CAccountsManager::SymbolByIDBO(int32_t ID) {
    return SymbolViewBO(Symbols().Item(KeyText(ID)));
}

std::shared_ptr<COSymbol> CAccountsManager::SymbolByNameBO(const std::string& Name) {
    return SymbolViewBO(Follow(symbolsManager_).SymbolByName(Name));
}

std::shared_ptr<COSymbol> CAccountsManager::ClientSymbol(int32_t SymbolID, int32_t AccountID) {
    const auto& clients = engine_->Clients();
    if (!clients) return nullptr;
    const AccountPtr account = clients->AccountByAccountID(AccountID);
    const auto client = account ? account->Client() : nullptr;
    const ParamPtr param = client ? client->SymbolParam(SymbolID) : nullptr;
    if (!param) return nullptr;
    CopySymbol(*symbolView_, param);
    return symbolView_;
}

// ---- Clients and accounts ----

int32_t CAccountsManager::ClientID(const std::string& ClientUsername) const {
    const auto client = Follow(engine_->Clients()).ClientByUserName(ClientUsername);
    return client ? client->ClientID() : -1;
}

bool CAccountsManager::isChild(int32_t ClientID, int32_t ParentID) const {
    return Follow(engine_->Clients()).isChild(ClientID, ParentID);
}

int32_t CAccountsManager::ClientsCount() const {
    return Follow(engine_->Clients()).Count();
}

std::shared_ptr<COClient> CAccountsManager::MakeOClient(
    const std::shared_ptr<og::CClient>& client) {
    if (!client) return nullptr;
    auto view = std::make_shared<COClient>();
    view->setClient(client);
    return view;
}

std::shared_ptr<COClient> CAccountsManager::ClientByIndex(int16_t Index) {
    return MakeOClient(Follow(engine_->Clients()).Item(int32_t{Index}));
}

std::shared_ptr<COClient> CAccountsManager::ClientByID(int32_t ID) {
    return MakeOClient(Follow(engine_->Clients()).Item(KeyText(ID)));
}

int32_t CAccountsManager::AccountsCount(int32_t ClientID) const {
    const auto client = Follow(engine_->Clients()).Item(KeyText(ClientID));
    return client ? Follow(client->Accounts()).Count() : -1;
}

std::shared_ptr<COAccount> CAccountsManager::PointAccountView(const AccountPtr& account) {
    if (!account) return nullptr;
    accountView_->setAccount(account);
    return accountView_;
}

std::shared_ptr<COAccount> CAccountsManager::AccountByID(int32_t AccountID) {
    if (accountView_->AccountID() == AccountID) return accountView_;
    return PointAccountView(engine_->AccountByAccountID(AccountID));
}

std::shared_ptr<COAccount> CAccountsManager::AccountByIndex(int32_t ClientID, int16_t Index) {
    const auto client = Follow(engine_->Clients()).Item(KeyText(ClientID));
    if (!client || !client->Accounts()) return nullptr;
    return PointAccountView(client->Accounts()->Item(int32_t{Index}));
}

// ---- The selected client's parameters ----

CAccountsManager::ParamPtr CAccountsManager::SelectedParam(int32_t SymbolID) const {
    if (!selected_) return nullptr;
    const auto client = selected_->Client();
    return client ? client->SymbolParam(SymbolID) : nullptr;
}

double CAccountsManager::MinimumAmount(int32_t SymbolID) const {
    const ParamPtr p = SelectedParam(SymbolID);
    return p ? p->MinLots() : -1;
}

double CAccountsManager::MaximumAmount(int32_t SymbolID) const {
    const ParamPtr p = SelectedParam(SymbolID);
    return p ? p->MaxLots() : -1;
}

double CAccountsManager::Commission(int32_t SymbolID) const {
    const ParamPtr p = SelectedParam(SymbolID);
    return p ? p->Commission() : -1;
}

double CAccountsManager::LimitOffset(int32_t SymbolID) const {
    const ParamPtr p = SelectedParam(SymbolID);
    return p ? p->LimitOffset() : -1;
}

double CAccountsManager::StopOffset(int32_t SymbolID) const {
    const ParamPtr p = SelectedParam(SymbolID);
    return p ? p->StopOffset() : -1;
}

runtime::Variant CAccountsManager::Spread(int32_t SymbolID) const {
    const ParamPtr p = SelectedParam(SymbolID);
    return p ? p->Spread() : Variant(int16_t{-1});
}

}  // namespace OrbanexClientAPI10
