#include "clientapi/facade/CMOrders.h"

namespace OrbanexClientAPI10 {

CMOrders::~CMOrders() {
    Clear();
}

std::shared_ptr<CMOrder> CMOrders::Add(int16_t AllTimerSeconds,
                                       CAccountsManager* AccountsManagerRef, double NewPrice,
                                       double OldPrice, int32_t AccountID, int32_t OpenTicket,
                                       double Lots, OrbanelGeneral10::OperationTypeEnum BuySell,
                                       std::shared_ptr<COSymbol> Symbol, int32_t ID) {
    auto order = std::make_shared<CMOrder>();
    order->setAllTimerSeconds(AllTimerSeconds);
    order->setAccountsManagerRef(AccountsManagerRef);
    order->setNewPrice(NewPrice);
    order->setOldPrice(OldPrice);
    order->setAccountID(AccountID);
    order->setOpenTicket(OpenTicket);
    order->setLots(Lots);
    order->setBuySell(BuySell);
    order->setSymbol(std::move(Symbol));
    order->setID(ID);
    // In the collection before its first tick, so that an immediate expiry finds it.
    items_.Add(order, OrbanelGeneral10::modelitems::KeyText(ID));
    order->Start();
    return order;
}

std::shared_ptr<CMOrder> CMOrders::Item(const Index& vntIndexKey) const {
    return vntIndexKey.In(items_);
}

void CMOrders::Remove(const Index& vntIndexKey) {
    const std::shared_ptr<CMOrder> order = vntIndexKey.In(items_);
    if (!order) return;
    vntIndexKey.RemoveFrom(items_);
    order->Stop();
}

void CMOrders::Clear() {
    const auto orders = items_.Items();
    items_.Clear();
    for (const auto& order : orders) order->Stop();
}

std::vector<std::shared_ptr<CMOrder>> CMOrders::EndAll() {
    auto orders = items_.Items();
    items_.Clear();
    for (const auto& order : orders) order->End();
    return orders;
}

}  // namespace OrbanexClientAPI10
