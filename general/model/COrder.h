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
    int32_t OrderId() const { return orderId_; }
    void setOrderId(int32_t value) { orderId_ = value; }
    OrdersTypeEnum OrderType() const { return orderType_; }
    void setOrderType(OrdersTypeEnum value) { orderType_ = value; }
    OperationTypeEnum operationType() const { return operationType_; }
    void setOperationType(OperationTypeEnum value) { operationType_ = value; }
    int32_t IoID() const { return ioID_; }
    void setIoID(int32_t value) { ioID_ = value; }
    double lots() const { return lots_; }
    void setLots(double value) { lots_ = value; }
    const std::shared_ptr<CClientParam>& SymbolParam() const { return symbolParam_; }
    void setSymbolParam(std::shared_ptr<CClientParam> value) { symbolParam_ = std::move(value); }
    // The three price lets store the symbol's formatted price; SymbolParam first.
    double LimitPrice() const { return limitPrice_; }
    void setLimitPrice(double value);
    double slPrice() const { return slPrice_; }
    void setSlPrice(double value);
    double tpPrice() const { return tpPrice_; }
    void setTpPrice(double value);
    int16_t Status() const { return status_; }
    void setStatus(int16_t value) { status_ = value; }
    double hitPrice() const { return hitPrice_; }
    void setHitPrice(double value) { hitPrice_ = value; }
    runtime::Date hitTime() const { return hitTime_; }
    void setHitTime(runtime::Date value) { hitTime_ = value; }
    const std::string& OrderTime() const { return orderTime_; }
    void setOrderTime(std::string value) { orderTime_ = std::move(value); }

private:
    double RoundedPrice(double value) const;

    int32_t orderId_ = 0;
    OrdersTypeEnum orderType_ = static_cast<OrdersTypeEnum>(0);
    OperationTypeEnum operationType_ = static_cast<OperationTypeEnum>(0);
    int32_t ioID_ = 0;
    double lots_ = 0;
    std::shared_ptr<CClientParam> symbolParam_;
    double limitPrice_ = 0;
    double slPrice_ = 0;
    double tpPrice_ = 0;
    int16_t status_ = 0;
    double hitPrice_ = 0;
    runtime::Date hitTime_;
    std::string orderTime_;
};

}  // namespace OrbanelGeneral10
