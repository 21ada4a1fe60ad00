#pragma once
// One account's open positions, keyed by the ticket's decimal text.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "general/common/Enums.h"
#include "general/common/ISafeObject.h"
#include "general/model/MModelItems.h"
#include "runtime/Variant.h"

namespace OrbanelGeneral10 {

class CAccount;
class CClientParam;
class COpenPosition;

class COpenPositions : public runtime::Object, public ISafeObject {
public:
    using Collection = modelitems::KeyedItems<COpenPosition>;

    COpenPositions();
    ~COpenPositions() override;
    COpenPositions(const COpenPositions&) = delete;
    COpenPositions& operator=(const COpenPositions&) = delete;

    // Sum of the positions' rounded floating results, itself not rounded.
    double TotalFloatingProfitLoss(CommCalcTypeEnum vCommCalcType) const;
    // Nothing for a ticket already present or a price that cannot be rounded
    // (no parameter object); the collection is then unchanged.
    std::shared_ptr<COpenPosition> Add(double Price, const std::shared_ptr<CClientParam>& vSymbol,
                                       double lots, OperationTypeEnum Type_no, int32_t Ticket,
                                       const std::shared_ptr<CAccount>& Account, double Interest,
                                       const std::string& PosTime);
    // A fresh empty collection; the old members are left as they are.
    void Clear();
    std::shared_ptr<COpenPosition> Item(const modelitems::Index& vntIndexKey) const;
    int32_t Count() const;
    // Drops the entry only; the position itself is not released.
    void Remove(const modelitems::Index& vntIndexKey);
    // The members in collection order, as a snapshot.
    std::vector<std::shared_ptr<COpenPosition>> NewEnum() const;
    // The collection itself; nothing after a release.
    std::shared_ptr<const Collection> Items() const { return items_; }

    void Deallocate() override;

private:
    std::shared_ptr<Collection> items_;
};

}  // namespace OrbanelGeneral10
