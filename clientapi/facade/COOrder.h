#pragma once
// Read-only view of one pending order. Every property reads the wrapped
// order at the moment it is called; before the library sets the order every
// read raises runtime::Error(91).
#include <cstdint>
#include <memory>
#include <string>

#include "general/common/Enums.h"
#include "runtime/Variant.h"

namespace OrbanelGeneral10 {
class COrder;
class CSymbol;
}  // namespace OrbanelGeneral10

namespace OrbanexClientAPI10 {

class COOrder {
public:
    int32_t OrderID() const;
    OrbanelGeneral10::OrdersTypeEnum OrderType() const;
    OrbanelGeneral10::OperationTypeEnum BuySell() const;
    // For a stop-loss/take-profit order, the ticket of its position.
    int32_t OrderTicket() const;
    double Lots() const;
    double LimitPrice() const;
    double SL() const;
    double TP() const;
    std::string OrderTime() const;
    int32_t SymbolID() const;
    std::string SymbolName() const;
    std::string FormatPrice(const runtime::Variant& Price) const;
    void setOrder(std::shared_ptr<OrbanelGeneral10::COrder> value) { order_ = std::move(value); }

private:
    const OrbanelGeneral10::COrder& Ord() const;
    const OrbanelGeneral10::CSymbol& Sym() const;

    std::shared_ptr<OrbanelGeneral10::COrder> order_;
};

}  // namespace OrbanexClientAPI10
