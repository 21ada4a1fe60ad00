#include "general/model/COrder.h"

#include "general/model/CClientParam.h"
#include "general/model/CSymbol.h"
#include "general/model/MModelItems.h"

namespace OrbanelGeneral10 {

double COrder::RoundedPrice(double value) const {
    using modelitems::Follow;
    return Follow(Follow(SymbolParam()).Symbol()).RoundedPrice(value);
}

void COrder::setLimitPrice(double value) {
    limitPrice_ = RoundedPrice(value);
}

void COrder::setSlPrice(double value) {
    slPrice_ = RoundedPrice(value);
}

void COrder::setTpPrice(double value) {
    tpPrice_ = RoundedPrice(value);
}

}  // namespace OrbanelGeneral10
