#include "general/model/CAlert.h"

#include "general/model/CSymbol.h"
#include "general/model/MModelItems.h"

namespace OrbanelGeneral10 {

void CAlert::setSymbol(std::shared_ptr<CSymbol> value) {
    Symbol_ = std::move(value);
    SymbolID_ = modelitems::Follow(Symbol_).ID();
}

}  // namespace OrbanelGeneral10
