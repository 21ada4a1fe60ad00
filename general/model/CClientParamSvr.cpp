#include "general/model/CClientParamSvr.h"

#include "general/model/CSymbol.h"
#include "general/model/MModelItems.h"
#include "runtime/Convert.h"

namespace OrbanelGeneral10 {

CClientParamSvr::~CClientParamSvr() {
    Deallocate();
}

void CClientParamSvr::Deallocate() {
    symbol_.reset();
    parent_.reset();
    parentSeen_ = nullptr;
    valuation::InputsChanged();
}

const CSymbol& CClientParamSvr::Sym() const {
    return modelitems::Follow(symbol_);
}

double CClientParamSvr::ClosePriceWithSpread(OperationTypeEnum vBuySell) const {
    return Sym().ClosePriceWith(spreadArg_, sourcePlus_, vBuySell);
}

double CClientParamSvr::BidWithSpread() const {
    return Sym().BidWith(spreadArg_, sourcePlus_);
}

double CClientParamSvr::AskWithSpread() const {
    return Sym().AskWith(spreadArg_, sourcePlus_);
}

double CClientParamSvr::PriceWithSpread(OperationTypeEnum BuySell) const {
    return Sym().PriceWith(spreadArg_, sourcePlus_, BuySell);
}

void CClientParamSvr::setSpread(const Variant& value) {
    if (value.IsNullOrEmptyText() || !runtime::IsNumeric(value))
        spread_ = Variant(runtime::Null);
    else
        spread_ = value;
    spreadArg_ = CSymbol::ReadSpread(spread_);
    valuation::InputsChanged();
}

}  // namespace OrbanelGeneral10
