#include "general/model/CCurAccount.h"

#include "general/common/MGenerals.h"
#include "general/model/CAccount.h"
#include "general/model/CAccountRef.h"
#include "general/model/CAccountRefs.h"
#include "general/model/CAlert.h"
#include "general/model/CAlerts.h"
#include "general/model/CClient.h"
#include "general/model/CClientParam.h"
#include "general/model/CClientRefs.h"
#include "general/model/COpenPosition.h"
#include "general/model/COpenPositions.h"
#include "general/model/COrder.h"
#include "general/model/COrders.h"
#include "general/model/CSymbol.h"
#include "general/model/MModelItems.h"
#include "general/model/MModelStamps.h"

namespace OrbanelGeneral10 {

using modelitems::Follow;
using modelitems::KeyText;

namespace {

int32_t SymbolIdOf(const std::shared_ptr<CSymbol>& symbol) {
    return Follow(symbol).ID();
}

int32_t SymbolIdOf(const std::shared_ptr<CClientParam>& param) {
    return SymbolIdOf(Follow(param).Symbol());
}

// Whether the collection holds an item of the symbol other than the one with `id`.
template <class Items, class SymbolOf, class IdOf>
bool AnyOtherOfSymbol(const Items& items, int32_t symbolId, int32_t id, SymbolOf symbolOf,
                      IdOf idOf) {
    for (const auto& entry : Follow(items)) {
        const auto& item = Follow(entry.value);
        if (symbolOf(item) == symbolId && idOf(item) != id) return true;
    }
    return false;
}

}  // namespace

CCurAccount::CCurAccount()
    : positions_(std::make_shared<CAccountRefs>()),
      orders_(std::make_shared<CAccountRefs>()),
      alerts_(std::make_shared<CClientRefs>()) {}

const std::vector<std::weak_ptr<CAccount>>& CCurAccount::PositionHolders() const {
    const uint64_t epoch = membership::MembersEpoch();
    if (holdersEpoch_ == epoch && holdersOf_ == positions_.get()) return holders_;
    holders_.clear();
    if (const auto* items = positions_ ? positions_->PeekItems() : nullptr)
        for (const auto& entry : *items) holders_.push_back(entry.value->AccountLink());
    holdersOf_ = positions_.get();
    holdersEpoch_ = epoch;
    return holders_;
}

CCurAccount::~CCurAccount() {
    Terminate();
}

void CCurAccount::Deallocate() {
    Terminate();
}

void CCurAccount::Terminate() {
    SafeRelease(positions_);
    SafeRelease(orders_);
    SafeRelease(alerts_);
}

void CCurAccount::PositionDeleted(const std::shared_ptr<CAccount>& vAccount,
                                  const std::shared_ptr<COpenPosition>& vPos) {
    const CAccount& account = Follow(vAccount);
    const COpenPosition& deleted = Follow(vPos);
    const bool kept = AnyOtherOfSymbol(
        Follow(account.OpenPositions()).Items(), SymbolIdOf(deleted.SymbolParam()),
        deleted.Ticket(), [](const COpenPosition& p) { return SymbolIdOf(p.SymbolParam()); },
        [](const COpenPosition& p) { return p.Ticket(); });
    if (!kept) Follow(positions_).Remove(account.IndexKey());
}

void CCurAccount::OrderDeleted(const std::shared_ptr<CAccount>& vAccount,
                               const std::shared_ptr<COrder>& vOrder) {
    const CAccount& account = Follow(vAccount);
    const COrder& deleted = Follow(vOrder);
    const bool kept = AnyOtherOfSymbol(
        Follow(account.Orders()).Items(), SymbolIdOf(deleted.SymbolParam()), deleted.OrderId(),
        [](const COrder& o) { return SymbolIdOf(o.SymbolParam()); },
        [](const COrder& o) { return o.OrderId(); });
    if (!kept) Follow(orders_).Remove(account.IndexKey());
}

void CCurAccount::AlertDeleted(const std::shared_ptr<CClient>& vClient,
                               const std::shared_ptr<CAlert>& vAlert) {
    const CClient& client = Follow(vClient);
    const CAlert& deleted = Follow(vAlert);
    const bool kept = AnyOtherOfSymbol(
        Follow(client.Alerts()).Items(), SymbolIdOf(deleted.Symbol()), deleted.ID(),
        [](const CAlert& a) { return SymbolIdOf(a.Symbol()); },
        [](const CAlert& a) { return a.ID(); });
    if (!kept) Follow(alerts_).Remove(KeyText(client.ClientID()));
}

void CCurAccount::AccountDeleted(int32_t /*vClient*/, int32_t vAccount) {
    const std::string key = KeyText(vAccount);
    Follow(positions_).Remove(key);
    Follow(orders_).Remove(key);
}

void CCurAccount::ClientDeleted(int32_t vClient) {
    Follow(alerts_).Remove(KeyText(vClient));
}

}  // namespace OrbanelGeneral10
