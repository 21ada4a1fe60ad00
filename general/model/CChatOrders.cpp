#include "general/model/CChatOrders.h"

#include "general/common/MGenerals.h"
#include "general/model/CChatOrder.h"
#include "runtime/Clock.h"

namespace OrbanelGeneral10 {

using modelitems::KeyText;

CChatOrders::CChatOrders() : items_(std::make_shared<Collection>()) {}

CChatOrders::~CChatOrders() {
    Deallocate();
}

std::shared_ptr<CChatOrder> CChatOrders::AddObject(const std::shared_ptr<CChatOrder>& vOrder) {
    modelitems::Follow(items_).Add(vOrder, KeyText(modelitems::Follow(vOrder).ID()));
    return vOrder;
}

std::shared_ptr<CChatOrder> CChatOrders::Add(const Values& v) {
    auto order = std::make_shared<CChatOrder>();
    order->setMarketOrLimitOrder(v.MarketOrLimitOrder);
    order->setDealer(v.Dealer);
    order->setID(v.ID);
    order->setAccountID(v.AccountID);
    order->setClientID(v.ClientID);
    order->setSymbolID(v.SymID);
    order->setBuySell(v.BuySell);
    order->setLots(v.lots);
    order->setOpenLots(v.OpenLots);
    order->setPrice(v.Price);
    order->setOpenPrice(v.OpenPrice);
    order->setHitPrice(v.hitPrice);
    order->setRefHitPrice(v.RefHitPrice);
    order->setNewOrLiquidate(v.NewOrLiq);
    order->setStatus(v.Status);
    order->setClientSID(v.ClientSID);
    order->setMakerClientID(v.MakerClientID);
    order->setMakerClientIP(v.MakerClientIP);
    order->setOpenTicket(v.OpenTicket);
    order->setFromSystem(v.FromSystem);
    // The server's "no time" is 1 January 1900; such a request is dated now.
    static constexpr runtime::Date kNoTime(2.0);
    order->setRequestTime(v.RequestTime == kNoTime ? runtime::Now() : v.RequestTime);
    return AddObject(order);
}

std::shared_ptr<CChatOrder> CChatOrders::Item(const modelitems::Index& vntIndexKey) const {
    return modelitems::ItemOf(items_, vntIndexKey);
}

int32_t CChatOrders::Count() const {
    return modelitems::CountOf(items_);
}

void CChatOrders::Remove(const modelitems::Index& vntIndexKey) {
    modelitems::RemoveOf(items_, vntIndexKey);
}

std::vector<std::shared_ptr<CChatOrder>> CChatOrders::NewEnum() const {
    return modelitems::Follow(items_).Items();
}

void CChatOrders::Deallocate() {
    if (!items_) return;
    auto items = std::move(items_);
    for (auto order : items->Items()) SafeRelease(order);
}

}  // namespace OrbanelGeneral10
