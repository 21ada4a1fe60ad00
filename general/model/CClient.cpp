#include "general/model/CClient.h"

#include <vector>

#include "general/common/CGenerals.h"
#include "general/common/MGenerals.h"
#include "general/model/CAccounts.h"
#include "general/model/CAlert.h"
#include "general/model/CAlerts.h"
#include "general/model/CClientParam.h"
#include "general/model/CClientParams.h"
#include "general/model/CClientRefs.h"
#include "general/model/CSymbol.h"
#include "general/model/CSymbols.h"
#include "general/model/MModelItems.h"
#include "general/model/MModelStamps.h"

namespace OrbanelGeneral10 {

using modelitems::Follow;
using modelitems::KeyText;

CClient::CClient()
    : accounts_(std::make_shared<CAccounts>()),
      alerts_(std::make_shared<CAlerts>()),
      childrenClients_(std::make_shared<CClientRefs>()),
      params_(std::make_shared<CClientParams>()) {}

CClient::~CClient() {
    Deallocate();
}

std::shared_ptr<CClientParam> CClient::SymbolParam(int32_t SymbolID) const {
    return Follow(Params()).Item(KeyText(SymbolID));
}

std::shared_ptr<CClientParam> CClient::SetSymbolParam(
    const runtime::Variant& Spread, int16_t SourcePlus, double Commission, double MaxLots,
    double MinLots, double LimitOffset, double StopOffset, const std::shared_ptr<CSymbol>& Symbol,
    bool KeepExisting, bool ForSureAdd, int16_t ClientOrServer) {
    CClientParams& params = Follow(Params());
    std::shared_ptr<CClientParam> param;
    if (!ForSureAdd) param = params.Item(KeyText(Follow(Symbol).ID()));
    if (!param) {
        param = params.Add(Spread, SourcePlus, Commission, MaxLots, MinLots, LimitOffset,
                           StopOffset, Symbol, ClientOrServer);
    } else if (!KeepExisting) {
        param->setSpread(Spread);
        param->setSourcePlus(SourcePlus);
        param->setCommission(Commission);
        param->setMaxLots(MaxLots);
        param->setMinLots(MinLots);
        param->setLimitOffset(LimitOffset);
        param->setStopOffset(StopOffset);
    }
    // Re-points a kept object at the current symbol object; an Add that was
    // refused (a symbol named twice) ends here with an error.
    Follow(param).setSymbol(Symbol);
    return param;
}

void CClient::RefreshClientParams(const std::string& Params,
                                  const std::shared_ptr<CSymbols>& Symbols,
                                  const std::shared_ptr<CGenerals>& Generals, bool ForSureAdd,
                                  int16_t ClientOrServer) {
    std::vector<int32_t> symID;
    std::vector<runtime::Variant> spread;
    std::vector<int16_t> sourcePlus;
    std::vector<double> limitOff, stopOff, comm, maxLots, minLots;
    const int32_t n = Follow(Generals).SplitClientParameters(
        Params, symID, spread, sourcePlus, limitOff, stopOff, comm, maxLots, minLots);
    const CSymbols& symbols = Follow(Symbols);
    for (int32_t i = 1; i <= n; ++i) {
        auto symbol = symbols.Item(KeyText(symID[i]));
        if (!symbol) continue;
        SetSymbolParam(spread[i], sourcePlus[i], comm[i], maxLots[i], minLots[i], limitOff[i],
                       stopOff[i], symbol, false, ForSureAdd, ClientOrServer);
    }
    Follow(this->Params()).SetParamsRefParams();
}

void CClient::RefreshSymbols(const std::shared_ptr<CSymbols>& Symbols) {
    const CSymbols& symbols = Follow(Symbols);
    // The alerts first: one whose symbol the new list lacks stops here.
    for (const auto& alert : Follow(Follow(Alerts()).Items()).Items())
        alert->setSymbol(symbols.Item(KeyText(alert->SymbolID())));
    CClientParams& params = Follow(Params());
    const auto items = symbols.Items();
    for (const auto& entry : Follow(items)) {
        const auto& symbol = entry.value;
        if (auto param = params.Item(KeyText(symbol->ID()))) param->setSymbol(symbol);
    }
}

void CClient::InitializeParams(const std::shared_ptr<CSymbols>& Symbols, int16_t ClientOrServer) {
    for (const auto& symbol : Follow(Symbols).NewEnum())
        SetSymbolParam(runtime::Null, 0, 0, 100, 1, 0, 0, symbol, true, false, ClientOrServer);
    Follow(Params()).SetParamsRefParams();
}

std::string CClient::FullName() const {
    std::string name = FirstName();
    for (const std::string* part : {&SecondName(), &ThirdName(), &LastName()}) {
        if (part->empty()) continue;
        name += ' ';
        name += *part;
    }
    return name;
}

void CClient::Deallocate() {
    SafeRelease(accounts_);
    SafeRelease(alerts_);
    SafeRelease(childrenClients_);
    SafeRelease(params_);
    parent_.reset();
    membership::MembersChanged();
}

}  // namespace OrbanelGeneral10
