#include "general/model/CClientParams.h"

#include <exception>

#include "general/common/MGenerals.h"
#include "general/model/CClientParamCl.h"
#include "general/model/CClientParamSvr.h"
#include "general/model/CSymbol.h"

namespace OrbanelGeneral10 {

using modelitems::Follow;
using modelitems::KeyText;

CClientParams::CClientParams() : params_(std::make_shared<Collection>()) {}

CClientParams::~CClientParams() {
    Terminate();
}

void CClientParams::Deallocate() {
    Terminate();
}

void CClientParams::Terminate() {
    if (!params_) return;
    for (ParamPtr param : params_->Items()) SafeRelease(param);
    params_.reset();
}

void CClientParams::SetParamsRefParams() {
    for (const auto& entry : Follow(params_)) {
        const std::shared_ptr<CSymbol> sym = entry.value->Symbol();
        entry.value->setParent(Item(KeyText(Follow(sym).RefID())));
    }
}

CClientParams::ParamPtr CClientParams::Add(const Variant& Spread, int16_t SourcePlus,
                                           double Commission, double MaxLots, double MinLots,
                                           double LimitOffset, double StopOffset,
                                           const std::shared_ptr<CSymbol>& Symbol,
                                           int16_t ClientOrServer) {
    try {
        ParamPtr param;
        if (ClientOrServer == 1)
            param = std::make_shared<CClientParamCl>();
        else
            param = std::make_shared<CClientParamSvr>();
        param->setSymbol(Symbol);
        param->setStopOffset(StopOffset);
        param->setLimitOffset(LimitOffset);
        param->setMinLots(MinLots);
        param->setMaxLots(MaxLots);
        param->setCommission(Commission);
        param->setSpread(Spread);
        param->setSourcePlus(SourcePlus);
        Follow(params_).Add(param, KeyText(Follow(Symbol).ID()));
        return param;
    } catch (const std::exception&) {
        // No symbol, or one that has its parameters already: nothing changes.
        return nullptr;
    }
}

CClientParams::ParamPtr CClientParams::Item(const modelitems::Index& vntIndexKey) const {
    return modelitems::ItemOf(params_, vntIndexKey);
}

int32_t CClientParams::Count() const {
    return modelitems::CountOf(params_);
}

void CClientParams::Remove(const modelitems::Index& vntIndexKey) {
    ParamPtr found = Item(vntIndexKey);
    if (!found) return;
    SafeRelease(found);
    modelitems::RemoveOf(params_, vntIndexKey);
}

CClientParams::ParamPtr CClientParams::Detach(const modelitems::Index& vntIndexKey) {
    ParamPtr found = Item(vntIndexKey);
    if (found) modelitems::RemoveOf(params_, vntIndexKey);
    return found;
}

std::vector<CClientParams::ParamPtr> CClientParams::NewEnum() const {
    return Follow(params_).Items();
}

}  // namespace OrbanelGeneral10
