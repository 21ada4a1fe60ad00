#pragma once
// Per symbol, the accounts with open positions, the accounts with pending
// orders and the clients with alerts in that symbol, so that a quote
// reaches exactly those. The engine keeps one in its symbol's Ref1 slot.
#include <cstdint>
#include <memory>
#include <vector>

#include "general/common/ISafeObject.h"
#include "runtime/Variant.h"

namespace OrbanelGeneral10 {

class CAccount;
class CAccountRefs;
class CAlert;
class CClient;
class CClientRefs;
class COpenPosition;
class COrder;

class CCurAccount : public runtime::Object, public ISafeObject {
public:
    CCurAccount();
    ~CCurAccount() override;
    CCurAccount(const CCurAccount&) = delete;
    CCurAccount& operator=(const CCurAccount&) = delete;

    // Drops the account from a set only when no other order (position,
    // alert) of the symbol remains; the deleted item itself never counts.
    // An argument without its symbol raises runtime::Error(91).
    void OrderDeleted(const std::shared_ptr<CAccount>& vAccount,
                      const std::shared_ptr<COrder>& vOrder);
    void AlertDeleted(const std::shared_ptr<CClient>& vClient,
                      const std::shared_ptr<CAlert>& vAlert);
    void PositionDeleted(const std::shared_ptr<CAccount>& vAccount,
                         const std::shared_ptr<COpenPosition>& vPos);
    // Removes the account from both account sets; vClient is not used.
    void AccountDeleted(int32_t vClient, int32_t vAccount);
    void ClientDeleted(int32_t vClient);

    // The sets themselves (shared, not copies); nothing after Deallocate.
    const std::shared_ptr<CAccountRefs>& AccountsHavePositions() const { return positions_; }
    const std::shared_ptr<CAccountRefs>& AccountsHaveOrders() const { return orders_; }
    const std::shared_ptr<CClientRefs>& ClientsHaveAlerts() const { return alerts_; }
    // The links of the accounts AccountsHavePositions lists, in its order: a
    // flat copy for the quote path, taken again once anything changed who is
    // listed (an account gone since reads as nothing when locked).
    const std::vector<std::weak_ptr<CAccount>>& PositionHolders() const;

    // Releases the three sets.
    void Deallocate() override;

private:
    void Terminate();

    std::shared_ptr<CAccountRefs> positions_;
    std::shared_ptr<CAccountRefs> orders_;
    std::shared_ptr<CClientRefs> alerts_;
    mutable std::vector<std::weak_ptr<CAccount>> holders_;
    mutable const CAccountRefs* holdersOf_ = nullptr;
    mutable uint64_t holdersEpoch_ = 0;  // 0: taken never
};

}  // namespace OrbanelGeneral10
