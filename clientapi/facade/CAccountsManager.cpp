#include "clientapi/facade/CAccountsManager.h"

#include "clientapi/facade/CSymbolsManager.h"
#include "general/common/MGenerals.h"
#include "general/model/CAccount.h"
#include "general/model/CAccountsTransactions.h"
#include "general/model/CClient.h"
#include "general/model/CClientParamCl.h"
#include "general/model/CSymbol.h"
#include "general/model/CSymbols.h"
#include "general/model/MModelItems.h"
#include "runtime/Error.h"

namespace OrbanexClientAPI10 {

namespace og = OrbanelGeneral10;
using og::modelitems::Follow;

CAccountsManager::CAccountsManager()
    : log_(std::make_shared<og::CLogFile>()),
      engine_(std::make_shared<og::CAccountsTransactions>()),
      generals_(std::make_shared<og::CGenerals>()),
      positionView_(std::make_shared<COOpenPosition>()),
      symbolView_(std::make_shared<COSymbol>()),
      orderView_(std::make_shared<COOrder>()),
      defParam_(std::make_shared<og::CClientParamCl>()),
      defParamParent_(std::make_shared<og::CClientParamCl>()),
      unknownParam_(std::make_shared<og::CClientParamCl>()) {
    log_->setFileName("c:\\log.txt");
    updateListView_ = engine_->UpdateListView.Connect(
        [this](int32_t, int32_t acc_no, double, double, double, double, double, double, double,
               int32_t) { OnUpdateListView(acc_no); });
    defParam_->setParent(defParamParent_);
    defParam_->setSpread(runtime::Null);
    defParamParent_->setSpread(runtime::Null);
    auto unknown = std::make_shared<og::CSymbol>();
    unknown->setBid(0);
    unknown->setAsk(0);
    unknownParam_->setSymbol(unknown);
    unknownParam_->setParent(unknownParam_);  // not owned: no ring
}

CAccountsManager::~CAccountsManager() {
    updateListView_.Disconnect();
    if (symbolsManager_) ClearSymbolRefs(true);
    selected_.reset();
    currentParam_.reset();
    stamps_.clear();
    defParam_->setSymbol(nullptr);
    defParamParent_->setSymbol(nullptr);
    og::SafeRelease(engine_);
}

void CAccountsManager::SetRefs(std::shared_ptr<CSymbolsManager> SymbolsManagerRef,
                               std::shared_ptr<CDataClient> vClient,
                               std::shared_ptr<CSecurity> vSecurity) {
    symbolsManager_ = std::move(SymbolsManagerRef);
    dataClient_ = std::move(vClient);
    security_ = std::move(vSecurity);
    engine_->InitializeNeededData(Follow(symbolsManager_).Symbols(), og::CLIENT_SIDE_EXECUTION,
                                  og::ON_OPEN_TYPE, 1);
    Reset();
}

void CAccountsManager::Reset() {
    ReportEndedRequotes(ForgetLogin());
}

CAccountsManager::Requotes CAccountsManager::ForgetLogin() {
    Requotes ended = requotes_.EndAll();
    if (symbolsManager_) ClearSymbolRefs(false);
    selected_.reset();
    currentParam_.reset();
    stamps_.clear();
    placeholderClient_ = std::make_shared<og::CClient>();
    placeholderAccount_ = std::make_shared<og::CAccount>();
    placeholderAccount_->setAccountID(-1);
    placeholderAccount_->setClient(placeholderClient_);
    accountView_ = std::make_shared<COAccount>();
    accountView_->setAccount(placeholderAccount_);
    return ended;
}

og::CSymbols& CAccountsManager::Symbols() const {
    return Follow(Follow(symbolsManager_).Symbols());
}

void CAccountsManager::ClearSymbolRefs(bool params) {
    const auto& symbols = Follow(symbolsManager_).Symbols();
    if (!symbols || !symbols->Items()) return;
    for (const SymbolPtr& symbol : symbols->NewEnum()) {
        symbol->setRef2(nullptr);
        if (params) symbol->setRef3(nullptr);
    }
}

void CAccountsManager::Log(const std::string& entry) {
    log_->AddEntry(entry, 1);
}

std::string CAccountsManager::VersionMessage(int16_t release, int16_t version, int16_t patch) {
    return "You have to use Orbanex API version " + std::to_string(release) + "." +
           std::to_string(version) + "." + std::to_string(patch) + " or more";
}

}  // namespace OrbanexClientAPI10
