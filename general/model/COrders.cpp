#include "general/model/COrders.h"

#include "general/common/MGenerals.h"
#include "general/model/COrder.h"

namespace OrbanelGeneral10 {

COrders::COrders() : items_(std::make_shared<Collection>()) {}

COrders::~COrders() {
    Deallocate();
}

std::shared_ptr<COrder> COrders::Add(int16_t Status, double tpPrice, double slPrice,
                                     double LimitPrice,
                                     const std::shared_ptr<CClientParam>& SymParam, double lots,
                                     int32_t IoID, OperationTypeEnum operationType,
                                     OrdersTypeEnum OrderType, int32_t OrderId, double hitPrice,
                                     runtime::Date hitTime, const std::string& OrderTime) {
    try {
        auto order = std::make_shared<COrder>();
        order->setSymbolParam(SymParam);
        order->setTpPrice(tpPrice);
        order->setSlPrice(slPrice);
        order->setLimitPrice(LimitPrice);
        order->setLots(lots);
        order->setIoID(IoID);
        order->setOperationType(operationType);
        order->setOrderType(OrderType);
        order->setOrderId(OrderId);
        order->setStatus(Status);
        order->setHitPrice(hitPrice);
        order->setHitTime(hitTime);
        order->setOrderTime(OrderTime);
        modelitems::Follow(items_).Add(order, modelitems::KeyText(OrderId));
        return order;
    } catch (const runtime::Error&) {
        return nullptr;
    }
}

std::shared_ptr<COrder> COrders::Item(const modelitems::Index& vntIndexKey) const {
    return modelitems::ItemOf(items_, vntIndexKey);
}

int32_t COrders::Count() const {
    return modelitems::CountOf(items_);
}

void COrders::Remove(const modelitems::Index& vntIndexKey) {
    modelitems::RemoveOf(items_, vntIndexKey);
}

std::vector<std::shared_ptr<COrder>> COrders::NewEnum() const {
    return modelitems::Follow(items_).Items();
}

void COrders::Clear() {
    items_ = std::make_shared<Collection>();
}

void COrders::Deallocate() {
    if (!items_) return;
    auto items = std::move(items_);
    // Orders hold no release routine of their own: this only drops the references.
    for (auto order : items->Items()) SafeRelease(order);
}

}  // namespace OrbanelGeneral10
