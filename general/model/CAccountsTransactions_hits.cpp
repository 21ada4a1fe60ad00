// Pending-order and alert hits (server-side execution), and the owner's
// answers that put a hit order back or take it out.
#include "general/model/CAccount.h"
#include "general/model/CAccountsTransactions.h"
#include "general/model/CAccountsTransactions_internal.h"
#include "general/model/CAlert.h"
#include "general/model/CAlerts.h"
#include "general/model/CClient.h"
#include "general/model/CClientParam.h"
#include "general/model/COpenPosition.h"
#include "general/model/COpenPositions.h"
#include "general/model/COrder.h"
#include "general/model/COrders.h"
#include "general/model/CSymbol.h"
#include "runtime/Clock.h"

namespace OrbanelGeneral10 {

using engine::Follow;
using engine::KeyText;
using engine::StillHeld;

namespace {

constexpr int16_t kUntriggered = 0;
constexpr int16_t kReachedWaiting = 1;
constexpr int16_t kReachedAuto = 5;
constexpr int16_t kStoppedWaiting = 11;
constexpr int16_t kStoppedAuto = 15;

}  // namespace

runtime::Date CAccountsTransactions::HitTime(const CClientParam& parameters) const {
    // The quote's own time; a quote time that is no date (or a released
    // engine) must not lose the hit, which is then stamped with the present.
    const auto symbol = parameters.Symbol();
    if (symbol && stringValues_) {
        try {
            return stringValues_->ToDateTime(symbol->LastQuteTime(), "/", ":",
                                             DDspMMspYYYY_HHspNNspSS);
        } catch (const runtime::Error&) {
        }
    }
    return runtime::Now();
}

void CAccountsTransactions::CheckOrdersHit(const AccountPtr& AccountRefInfo,
                                           const ParamPtr& SymbolParam) {
    const auto self = weak_from_this().lock();  // a handler may drop the engine
    const AccountPtr account = AccountRefInfo;
    const ParamPtr parameters = SymbolParam;
    const CClientParam& param = Follow(parameters);
    const int32_t symbolId = Follow(param.Symbol()).ID();
    engine::SnapshotPool<OrderPtr>::Lease orders(scratch_->orders);
    if (const auto& held = Follow(account).Orders(); held && held->Items())
        for (const auto& entry : *held->Items()) orders->push_back(entry.value);
    bool second = false;
    for (const OrderPtr& order : *orders) {
        // A handler may have taken orders out (or the account away) meanwhile.
        const auto& held = account->Orders();
        if (!held || !StillHeld(held->Items(), KeyText(order->OrderId()), order)) continue;
        const auto& orderParam = order->SymbolParam();
        if (!orderParam) continue;
        const auto orderSymbol = orderParam->Symbol();
        if (!orderSymbol || orderSymbol->ID() != symbolId) continue;
        bool done = false;
        if (order->OrderType() == LimitOrdersType && order->Status() == kUntriggered)
            CheckLimitOrderHit(order, account, second, param, done);
        else if (order->OrderType() == SlTpType && order->Status() == kUntriggered)
            CheckSlTpOrderHit(order, account, second, param, done);
        else
            continue;
        if (done) second = true;
    }
}

void CAccountsTransactions::CheckLimitOrderHit(const OrderPtr& order, const AccountPtr& account,
                                               bool second, const CClientParam& parameters,
                                               bool& done) {
    done = false;
    if (order->Status() != kUntriggered) return;
    const double limit = order->LimitPrice();
    double price = 0;
    bool hit = false;
    switch (order->operationType()) {
        case BuyType:  // buy limit
            price = parameters.AskWithSpread();
            hit = price <= limit;
            break;
        case BuyStopType:
            price = parameters.AskWithSpread();
            hit = price >= limit;
            break;
        case SellType:  // sell limit
            price = parameters.BidWithSpread();
            hit = price >= limit;
            break;
        default:  // sell stop
            price = parameters.BidWithSpread();
            hit = price <= limit;
            break;
    }
    if (!hit) return;
    const runtime::Date when = HitTime(parameters);
    order->setHitPrice(price);
    order->setHitTime(when);
    const bool automatic = account->DemoAccount() || account->AutoOrNotLimitOrder();
    order->setStatus(automatic ? kReachedAuto : kReachedWaiting);
    bool answer = false;
    RaiseHitOrder(LimitOrdersType, order, account, second, answer);
    done = answer;
}

void CAccountsTransactions::CheckSlTpOrderHit(const OrderPtr& order, const AccountPtr& account,
                                              bool second, const CClientParam& parameters,
                                              bool& done) {
    done = false;
    // The order's side is the closing deal's: 1 buys a sell position back at
    // the ask, anything else sells a buy position at the bid.
    const bool buysBack = order->operationType() == BuyType;
    const double sl = order->slPrice();
    const double tp = order->tpPrice();
    if (!(sl > 0) && !(tp > 0)) return;
    const double price = buysBack ? parameters.AskWithSpread() : parameters.BidWithSpread();
    int16_t waiting = 0;
    int16_t automatic = 0;
    if (sl > 0 && (buysBack ? price >= sl : price <= sl)) {
        waiting = kStoppedWaiting;
        automatic = kStoppedAuto;
    } else if (tp > 0 && (buysBack ? price <= tp : price >= tp)) {
        waiting = kReachedWaiting;
        automatic = kReachedAuto;
    } else {
        return;
    }
    const runtime::Date when = HitTime(parameters);
    order->setHitPrice(price);
    order->setHitTime(when);
    const bool byDealer = !account->DemoAccount() && !account->AutoOrNotSLTP();
    order->setStatus(byDealer ? waiting : automatic);
    bool answer = false;
    RaiseHitOrder(SlTpType, order, account, second, answer);
    done = answer;
}

void CAccountsTransactions::CheckAlertsHit(const ClientPtr& vClient, const ParamPtr& SymbolParam) {
    const auto self = weak_from_this().lock();
    const ClientPtr client = vClient;
    const ParamPtr parameters = SymbolParam;
    const CClientParam& param = Follow(parameters);
    const int32_t symbolId = Follow(param.Symbol()).ID();
    engine::SnapshotPool<AlertPtr>::Lease alerts(scratch_->alerts);
    if (const auto& held = Follow(client).Alerts(); held && held->Items())
        for (const auto& entry : *held->Items()) alerts->push_back(entry.value);
    for (const AlertPtr& alert : *alerts) {
        const auto& held = client->Alerts();
        if (!held || !StillHeld(held->Items(), KeyText(alert->ID()), alert)) continue;
        const auto& symbol = alert->Symbol();
        if (!symbol || symbol->ID() != symbolId) continue;
        CheckAlertHit(alert, client, param);
    }
}

void CAccountsTransactions::CheckAlertHit(const AlertPtr& alert, const ClientPtr& client,
                                          const CClientParam& parameters) {
    const double level = alert->AlertValue();
    double price = 0;
    bool hit = false;
    switch (alert->AlertCondition()) {
        case BID_GREATER:
            price = parameters.BidWithSpread();
            hit = price > level;
            break;
        case BID_LESS:
            price = parameters.BidWithSpread();
            hit = price < level;
            break;
        case ASK_GREATER:
            price = parameters.AskWithSpread();
            hit = price > level;
            break;
        default:  // ask less
            price = parameters.AskWithSpread();
            hit = price < level;
            break;
    }
    if (!hit) return;
    const runtime::Date when = HitTime(parameters);
    alert->setHitPrice(price);
    alert->setHitTime(when);
    RaiseHitAlert(alert, client);
}

void CAccountsTransactions::OrderRejected(MarketOrLimitOrderEnum vType, int32_t vClient,
                                          int32_t vAccount, int32_t OrderId, int32_t vTicket) {
    const AccountPtr account = Account(vClient, vAccount);
    if (!account) return;
    if (vType == MarketOrderType) {
        const auto& positions = account->OpenPositions();
        if (const auto position = positions ? positions->Item(KeyText(vTicket)) : nullptr)
            position->setLiquidated(false);
    } else {
        const auto& orders = account->Orders();
        if (const auto order = orders ? orders->Item(KeyText(OrderId)) : nullptr)
            order->setStatus(kUntriggered);
    }
}

void CAccountsTransactions::OrderStatusChanged(int32_t vClient, int32_t vAccount, int32_t OrderId) {
    DeleteOrder(vClient, vAccount, OrderId);
}

}  // namespace OrbanelGeneral10
