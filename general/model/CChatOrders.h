#pragma once
// Chat orders keyed by the request number's decimal text.
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

class CChatOrder;

class CChatOrders : public runtime::Object, public ISafeObject {
public:
    using Collection = modelitems::KeyedItems<CChatOrder>;

    // The values of one new chat order, in the order Add applies them
    // (RequestTime last).
    struct Values {
        MarketOrLimitOrderEnum MarketOrLimitOrder = static_cast<MarketOrLimitOrderEnum>(0);
        int32_t Dealer = 0;
        int32_t ID = 0;
        int32_t AccountID = 0;
        int32_t ClientID = 0;
        int32_t SymID = 0;
        OperationTypeEnum BuySell = static_cast<OperationTypeEnum>(0);
        double lots = 0;
        double OpenLots = 0;
        double Price = 0;
        double OpenPrice = 0;
        double hitPrice = 0;
        double RefHitPrice = 0;
        NewOrLiquidateEnum NewOrLiq = static_cast<NewOrLiquidateEnum>(0);
        MarketOrderStatusEnum Status = static_cast<MarketOrderStatusEnum>(0);
        int32_t ClientSID = 0;
        int32_t MakerClientID = 0;
        std::string MakerClientIP;
        int32_t OpenTicket = 0;
        bool FromSystem = false;
        // 1 January 1900 (the default) stands for "now".
        runtime::Date RequestTime{2.0};
    };

    CChatOrders();
    ~CChatOrders() override;
    CChatOrders(const CChatOrders&) = delete;
    CChatOrders& operator=(const CChatOrders&) = delete;

    // Both raise the duplicate-key error (457) for an id already present and
    // then insert nothing.
    std::shared_ptr<CChatOrder> AddObject(const std::shared_ptr<CChatOrder>& vOrder);
    std::shared_ptr<CChatOrder> Add(const Values& v);
    std::shared_ptr<CChatOrder> Item(const modelitems::Index& vntIndexKey) const;
    int32_t Count() const;
    // Drops the entry only.
    void Remove(const modelitems::Index& vntIndexKey);
    std::vector<std::shared_ptr<CChatOrder>> NewEnum() const;
    std::shared_ptr<const Collection> Children() const { return items_; }

    void Deallocate() override;

private:
    std::shared_ptr<Collection> items_;
};

}  // namespace OrbanelGeneral10
