#pragma once
// One account's pending orders, keyed by the order id's decimal text.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "general/common/Enums.h"
#include "general/common/ISafeObject.h"
#include "general/model/MModelItems.h"
#include "runtime/Date.h"
#include "runtime/Variant.h"

namespace OrbanelGeneral10 {

class CClientParam;
class COrder;

class COrders : public runtime::Object, public ISafeObject {
public:
    using Collection = modelitems::KeyedItems<COrder>;

    COrders();
    ~COrders() override;
    COrders(const COrders&) = delete;
    COrders& operator=(const COrders&) = delete;

    // Nothing for an order id already present or a price that cannot be
    // rounded (no parameter object); the collection is then unchanged.
    std::shared_ptr<COrder> Add(int16_t Status, double tpPrice, double slPrice, double LimitPrice,
                                const std::shared_ptr<CClientParam>& SymParam, double lots,
                                int32_t IoID, OperationTypeEnum operationType,
                                OrdersTypeEnum OrderType, int32_t OrderId, double hitPrice,
                                runtime::Date hitTime, const std::string& OrderTime);
    std::shared_ptr<COrder> Item(const modelitems::Index& vntIndexKey) const;
    int32_t Count() const;
    // Drops the entry only.
    void Remove(const modelitems::Index& vntIndexKey);
    std::vector<std::shared_ptr<COrder>> NewEnum() const;
    std::shared_ptr<const Collection> Items() const { return items_; }
    // A fresh empty collection; orders taken out before keep working.
    void Clear();

    void Deallocate() override;

private:
    std::shared_ptr<Collection> items_;
};

}  // namespace OrbanelGeneral10
