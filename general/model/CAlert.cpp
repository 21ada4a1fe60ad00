#include "general/model/CAlert.h"

#include "general/model/CSymbol.h"
#include "general/model/MModelItems.h"

namespace OrbanelGeneral10 {

void CAlert::setSymbol(std::shared_ptr<CSymbol> value) {
    symbol_ = std::move(value);
    symbolID_ = modelitems::Follow(symbol_).ID();
}

}  // namespace OrbanelGeneral10
