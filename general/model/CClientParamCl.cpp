#include "general/model/CClientParamCl.h"

#include "general/model/CSymbol.h"
#include "general/model/MModelItems.h"
#include "runtime/Convert.h"

namespace OrbanelGeneral10 {

CClientParamCl::~CClientParamCl() {
    Deallocate();
}

void CClientParamCl::Deallocate() {
    symbol_.reset();
    parent_.reset();
}

const CSymbol& CClientParamCl::Sym() const {
    return modelitems::Follow(symbol_);
}

double CClientParamCl::ClosePriceWithSpread(OperationTypeEnum vBuySell) const {
    return Sym().ClosePriceWith(spreadArg_, sourcePlus_, vBuySell);
}

double CClientParamCl::BidWithSpread() const {
    return Sym().BidWith(spreadArg_, sourcePlus_);
}

double CClientParamCl::AskWithSpread() const {
    return Sym().AskWith(spreadArg_, sourcePlus_);
}

double CClientParamCl::PriceWithSpread(OperationTypeEnum BuySell) const {
    return Sym().PriceWith(spreadArg_, sourcePlus_, BuySell);
}

void CClientParamCl::setSpread(const Variant& value) {
    if (value.IsNullOrEmptyText() || !runtime::IsNumeric(value))
        spread_ = Variant(runtime::Null);
    else
        spread_ = value;
    spreadArg_ = CSymbol::ReadSpread(spread_);
}

}  // namespace OrbanelGeneral10
