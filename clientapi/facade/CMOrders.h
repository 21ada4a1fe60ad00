#pragma once
// The accounts manager's re-quoted orders, keyed by the decimal text of the
// order ID. It owns the orders; an order that leaves it (Remove, Clear, the
// collection's end) stops counting at once, even if a host still holds it.
#include <cstdint>
#include <memory>
#include <vector>

#include "clientapi/facade/CMOrder.h"
#include "general/model/MModelItems.h"

namespace OrbanexClientAPI10 {

class CMOrders {
public:
    using Index = OrbanelGeneral10::modelitems::Index;

    CMOrders() = default;
    ~CMOrders();
    CMOrders(const CMOrders&) = delete;
    CMOrders& operator=(const CMOrders&) = delete;

    // Creates the order, keys it under ID and starts its countdown (its first
    // tick runs before Add returns, and may already have removed it). A key
    // already present raises runtime::Error(457) and nothing is started.
    std::shared_ptr<CMOrder> Add(int16_t AllTimerSeconds, CAccountsManager* AccountsManagerRef,
                                 double NewPrice, double OldPrice, int32_t AccountID,
                                 int32_t OpenTicket, double Lots,
                                 OrbanelGeneral10::OperationTypeEnum BuySell,
                                 std::shared_ptr<COSymbol> Symbol, int32_t ID);
    // A key text or a 1-based position; nothing on a miss.
    std::shared_ptr<CMOrder> Item(const Index& vntIndexKey) const;
    int32_t Count() const { return items_.Count(); }
    // Stops the order's countdown; a miss is ignored.
    void Remove(const Index& vntIndexKey);
    // Snapshot in insertion order (safe while the collection changes).
    std::vector<std::shared_ptr<CMOrder>> NewEnum() const { return items_.Items(); }
    // Stops every countdown and empties the collection; nothing is reported.
    void Clear();
    // As Clear, and hands the orders back with no seconds left, for their
    // holder to tell that their counts ended.
    std::vector<std::shared_ptr<CMOrder>> EndAll();

private:
    OrbanelGeneral10::modelitems::KeyedItems<CMOrder> items_;
};

}  // namespace OrbanexClientAPI10
