#include "clientapi/facade/COOrder.h"

#include "general/model/CClientParam.h"
#include "general/model/COrder.h"
#include "general/model/CSymbol.h"
#include "general/model/MModelItems.h"

namespace OrbanexClientAPI10 {

using OrbanelGeneral10::modelitems::Follow;

const OrbanelGeneral10::COrder& COOrder::Ord() const {
    return Follow(order_);
}

const OrbanelGeneral10::CSymbol& COOrder::Sym() const {
    return Follow(Follow(Ord().SymbolParam()).Symbol());
}

int32_t COOrder::OrderID() const {
    return Ord().OrderId();
}

OrbanelGeneral10::OrdersTypeEnum COOrder::OrderType() const {
    return Ord().OrderType();
}

OrbanelGeneral10::OperationTypeEnum COOrder::BuySell() const {
    return Ord().operationType();
}

int32_t COOrder::OrderTicket() const {
    return Ord().IoID();
}

double COOrder::Lots() const {
    return Ord().lots();
}

double COOrder::LimitPrice() const {
    return Ord().LimitPrice();
}

double COOrder::SL() const {
    return Ord().slPrice();
}

double COOrder::TP() const {
    return Ord().tpPrice();
}

std::string COOrder::OrderTime() const {
    return Ord().OrderTime();
}

int32_t COOrder::SymbolID() const {
    return Sym().ID();
}

std::string COOrder::SymbolName() const {
    return Sym().name();
}

std::string COOrder::FormatPrice(const runtime::Variant& Price) const {
    return Sym().FormatPrice(Price);
}

}  // namespace OrbanexClientAPI10
