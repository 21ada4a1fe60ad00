#pragma once
// One pending order of one trading account: an entry order or a stop-loss /
// take-profit order. It computes nothing; the engine compares its prices.
#include <cstdint>
#include <memory>
#include <string>

#include "general/common/Enums.h"
#include "runtime/Date.h"
#include "runtime/Variant.h"

namespace OrbanelGeneral10 {

class CClientParam;

class COrder : public runtime::Object {
public:
    int32_t OrderId() const { return OrderId_; }
    void setOrderId(int32_t value) { OrderId_ = value; }
    OrdersTypeEnum OrderType() const { return OrderType_; }
    void setOrderType(OrdersTypeEnum value) { OrderType_ = value; }
    OperationTypeEnum operationType() const { return operationType_; }
    void setOperationType(OperationTypeEnum value) { operationType_ = value; }
    int32_t IoID() const { return IoID_; }
    void setIoID(int32_t value) { IoID_ = value; }
    double lots() const { return lots_; }
    void setLots(double value) { lots_ = value; }
    const std::shared_ptr<CClientParam>& SymbolParam() const { return SymbolParam_; }
    void setSymbolParam(std::shared_ptr<CClientParam> value) { SymbolParam_ = std::move(value); }
    // The three price lets store the symbol's formatted price; SymbolParam first.
    double LimitPrice() const { return LimitPrice_; }
    void setLimitPrice(double value);
    double slPrice() const { return slPrice_; }
    void setSlPrice(double value);
    double tpPrice() const { return tpPrice_; }
    void setTpPrice(double value);
    int16_t Status() const { return Status_; }
    void setStatus(int16_t value) { Status_ = value; }
    double hitPrice() const { return hitPrice_; }
    void setHitPrice(double value) { hitPrice_ = value; }
    runtime::Date hitTime() const { return hitTime_; }
    void setHitTime(runtime::Date value) { hitTime_ = value; }
    const std::string& OrderTime() const { return OrderTime_; }
    void setOrderTime(std::string value) { OrderTime_ = std::move(value); }

private:
    double RoundedPrice(double value) const;

    int32_t OrderId_ = 0;
    OrdersTypeEnum OrderType_ = static_cast<OrdersTypeEnum>(0);
    OperationTypeEnum operationType_ = static_cast<OperationTypeEnum>(0);
    int32_t IoID_ = 0;
    double lots_ = 0;
    std::shared_ptr<CClientParam> SymbolParam_;
    double LimitPrice_ = 0;
    double slPrice_ = 0;
    double tpPrice_ = 0;
    int16_t Status_ = 0;
    double hitPrice_ = 0;
    runtime::Date hitTime_;
    std::string OrderTime_;
};

}  // namespace OrbanelGeneral10
