#pragma once
// One client's price alerts, keyed by the alert id's decimal text.
#include <cstdint>
#include <memory>

#include "general/common/Enums.h"
#include "general/common/ISafeObject.h"
#include "general/model/MModelItems.h"
#include "runtime/Variant.h"

namespace OrbanelGeneral10 {

class CAlert;
class CSymbol;

class CAlerts : public runtime::Object, public ISafeObject {
public:
    using Collection = modelitems::KeyedItems<CAlert>;

    CAlerts();
    ~CAlerts() override;
    CAlerts(const CAlerts&) = delete;
    CAlerts& operator=(const CAlerts&) = delete;

    // Nothing for an id already present or a missing symbol.
    std::shared_ptr<CAlert> Add(int32_t ClientID, int32_t ID,
                                const std::shared_ptr<CSymbol>& Symbol,
                                AlertConditionsEnum AlertCondition, double AlertValue);
    std::shared_ptr<CAlert> Item(const modelitems::Index& vntIndexKey) const;
    int32_t Count() const;
    // Drops the entry only.
    void Remove(const modelitems::Index& vntIndexKey);
    std::shared_ptr<const Collection> Items() const { return items_; }
    // A fresh empty collection; the alerts live on with whoever holds them.
    void Clear();

    void Deallocate() override;

private:
    std::shared_ptr<Collection> items_;
};

}  // namespace OrbanelGeneral10
