#pragma once
// Accounts listed without being owned (the accounts with positions or orders
// in one symbol), keyed by the account number's decimal text.
#include <cstdint>
#include <memory>
#include <vector>

#include "general/common/ISafeObject.h"
#include "general/model/MModelItems.h"
#include "runtime/Variant.h"

namespace OrbanelGeneral10 {

class CAccount;
class CAccountRef;

class CAccountRefs : public runtime::Object, public ISafeObject {
public:
    using Collection = modelitems::KeyedItems<CAccountRef>;

    CAccountRefs();
    ~CAccountRefs() override;
    CAccountRefs(const CAccountRefs&) = delete;
    CAccountRefs& operator=(const CAccountRefs&) = delete;

    // Nothing when the account is listed already (the first entry stays) or
    // when no account is given.
    std::shared_ptr<CAccountRef> Add(const std::shared_ptr<CAccount>& Account);
    std::shared_ptr<CAccountRef> Item(const modelitems::Index& vntIndexKey) const;
    int32_t Count() const;
    // Drops the entry; the account is untouched.
    void Remove(const modelitems::Index& vntIndexKey);
    std::vector<std::shared_ptr<CAccountRef>> NewEnum() const;
    std::shared_ptr<const Collection> Items() const { return items_; }
    // Items without taking a share, for a walk that runs no handler.
    const Collection* PeekItems() const { return items_.get(); }

    void Deallocate() override;

private:
    std::shared_ptr<Collection> items_;
};

}  // namespace OrbanelGeneral10
