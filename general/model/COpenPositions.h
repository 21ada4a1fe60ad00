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
class CSymbol;

class COpenPositions : public runtime::Object, public ISafeObject {
public:
    using Collection = modelitems::KeyedItems<COpenPosition>;

    // One member's rounded floating result as the engine last summed it, and
    // what tells whether it still holds. The pointers are identities, followed
    // only while the memo holds (then nothing they point at has changed).
    struct ValuedPosition {
        const COpenPosition* position = nullptr;
        const CClientParam* param = nullptr;  // only fetched ahead, never followed
        const CSymbol* symbol = nullptr;      // priced through
        const CSymbol* refSymbol = nullptr;   // converted through
        uint64_t symbolStamp = 0;
        uint64_t refStamp = 0;
        double rounded = 0;
        bool kept = false;  // false: valued afresh every time
    };
    // The engine's memo of the members' values, in collection order; it holds
    // while epoch is the current valuation epoch. Changing the members forgets it.
    struct ValuationMemo {
        uint64_t epoch = 0;  // 0: holds nothing
        int32_t commCalcType = 0;
        std::vector<ValuedPosition> values;
    };

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
    // Items without taking a share, for a walk that runs no handler.
    const Collection* PeekItems() const { return items_.get(); }
    // Kept with the members, so that it goes when they go; read and written
    // by the engine only.
    ValuationMemo& Memo() const { return memo_; }

    void Deallocate() override;

private:
    std::shared_ptr<Collection> items_;
    mutable ValuationMemo memo_;
};

}  // namespace OrbanelGeneral10
