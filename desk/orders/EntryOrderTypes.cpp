#include "desk/orders/EntryOrderTypes.h"

namespace OrbanexDesk {

std::optional<OrbanelGeneral10::OperationTypeEnum> EntryOrderType(int32_t typeIndex) {
    switch (typeIndex) {
        case kBuyLimit:
            return OrbanelGeneral10::BuyType;
        case kSellLimit:
            return OrbanelGeneral10::SellType;
        case kBuyStop:
            return OrbanelGeneral10::BuyStopType;
        case kSellStop:
            return OrbanelGeneral10::SellStopType;
        default:
            return std::nullopt;
    }
}

bool IsBuyEntry(int32_t typeIndex) {
    return typeIndex == kBuyLimit || typeIndex == kBuyStop;
}

}  // namespace OrbanexDesk
