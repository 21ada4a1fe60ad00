#pragma once
// One client's accounts, keyed by the account number's decimal text.
#include <cstdint>
#include <memory>
#include <vector>

#include "general/common/Enums.h"
#include "general/common/ISafeObject.h"
#include "general/model/MModelItems.h"
#include "runtime/Variant.h"

namespace OrbanelGeneral10 {

class CAccount;
class CClient;
class CSummaries;

class CAccounts : public runtime::Object, public ISafeObject {
public:
    using Collection = modelitems::KeyedItems<CAccount>;

    CAccounts();
    ~CAccounts() override;
    CAccounts(const CAccounts&) = delete;
    CAccounts& operator=(const CAccounts&) = delete;

    // Nothing for an account number already present; the collection and the
    // account already there are then unchanged.
    std::shared_ptr<CAccount> Add(const std::shared_ptr<CClient>& vClient,
                                  const std::shared_ptr<CSummaries>& vSummaries, int32_t AccountID,
                                  int32_t ClientID, AccountTypeEnum AccountType,
                                  bool AutoOrNotLiquidation, bool AutoOrNotLimitOrder,
                                  bool AutoOrNotSLTP, bool DemoAccount, bool DontLiquidate,
                                  bool Locked);
    std::shared_ptr<CAccount> Item(const modelitems::Index& vntIndexKey) const;
    int32_t Count() const;
    // Releases the account (summary, positions, orders, client link), then drops it.
    void Remove(const modelitems::Index& vntIndexKey);
    std::vector<std::shared_ptr<CAccount>> NewEnum() const;
    double Interest(double AccountInterest, double vLots) const { return AccountInterest * vLots; }
    std::shared_ptr<const Collection> Items() const { return items_; }

    void Deallocate() override;

private:
    std::shared_ptr<Collection> items_;
};

}  // namespace OrbanelGeneral10
