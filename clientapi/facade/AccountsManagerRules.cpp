// The accounts manager's price rules as its callers see them: the nearest
// allowed prices for the selected account's client and the rules themselves.
#include "clientapi/facade/CAccountsManager.h"
#include "clientapi/facade/PriceRules.h"
#include "general/model/CClientParam.h"
#include "general/model/MModelItems.h"

namespace OrbanexClientAPI10 {

namespace {
using OrbanelGeneral10::OperationTypeEnum;
using OrbanelGeneral10::modelitems::Follow;
}  // namespace

double CAccountsManager::LimitPrice2(OperationTypeEnum OrderType, int32_t SymbolID) {
    currentParam_ = SelectedParam(SymbolID);
    if (!currentParam_) return -1;
    return pricerules::PriceWithOffset(OrderType, *currentParam_);
}

double CAccountsManager::SlTpPrice2(OperationTypeEnum OrderType, int32_t SymbolID,
                                    const std::string& SlORTp, double FromPrice) {
    currentParam_ = SelectedParam(SymbolID);
    if (!currentParam_) return -1;
    return pricerules::SlTpPriceWithOffset(OrderType, *currentParam_, SlORTp, FromPrice);
}

bool CAccountsManager::ValidatePriceTickPips(
    const std::string& vPrice, const std::shared_ptr<OrbanelGeneral10::CSymbol>& vSymbol) const {
    return pricerules::ValidatePriceTickPips(vPrice, vSymbol.get());
}

int32_t CAccountsManager::ModLarge(double& FirstNum, double& SecondNum) const {
    return pricerules::ModLarge(FirstNum, SecondNum);
}

double CAccountsManager::SlTpOffsetVal(
    OperationTypeEnum vType, const std::shared_ptr<OrbanelGeneral10::CClientParam>& SymbolParam,
    const std::string& SlORTp) const {
    return pricerules::SlTpOffsetVal(vType, Follow(SymbolParam), SlORTp);
}

std::string CAccountsManager::LimitRelation(OperationTypeEnum OrderType) const {
    return pricerules::LimitRelation(OrderType);
}

std::string CAccountsManager::SlTpRelation(OperationTypeEnum OrderType,
                                           const std::string& SlORTp) const {
    return pricerules::SlTpRelation(OrderType, SlORTp);
}

}  // namespace OrbanexClientAPI10
