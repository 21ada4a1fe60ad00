#include "general/model/COpenPositions.h"

#include "general/common/MGenerals.h"
#include "general/model/COpenPosition.h"

namespace OrbanelGeneral10 {

COpenPositions::COpenPositions() : items_(std::make_shared<Collection>()) {}

COpenPositions::~COpenPositions() {
    Deallocate();
}

double COpenPositions::TotalFloatingProfitLoss(CommCalcTypeEnum vCommCalcType) const {
    double total = 0;
    for (const auto& entry : modelitems::Follow(items_))
        total += entry.value->FloatingProfitLoss(vCommCalcType);
    return total;
}

std::shared_ptr<COpenPosition> COpenPositions::Add(double Price,
                                                   const std::shared_ptr<CClientParam>& vSymbol,
                                                   double lots, OperationTypeEnum Type_no,
                                                   int32_t Ticket,
                                                   const std::shared_ptr<CAccount>& Account,
                                                   double Interest, const std::string& PosTime) {
    try {
        auto position = std::make_shared<COpenPosition>();
        position->setSymbolParam(vSymbol);
        position->setPrice(Price);
        position->setLots(lots);
        position->setType_no(Type_no);
        position->setTicket(Ticket);
        position->setInterest(Interest);
        position->setPosTime(PosTime);
        position->setAccount(Account);
        modelitems::Follow(items_).Add(position, modelitems::KeyText(Ticket));
        memo_.epoch = 0;
        return position;
    } catch (const runtime::Error&) {
        return nullptr;
    }
}

void COpenPositions::Clear() {
    items_ = std::make_shared<Collection>();
    memo_.epoch = 0;
}

std::shared_ptr<COpenPosition> COpenPositions::Item(const modelitems::Index& vntIndexKey) const {
    return modelitems::ItemOf(items_, vntIndexKey);
}

int32_t COpenPositions::Count() const {
    return modelitems::CountOf(items_);
}

void COpenPositions::Remove(const modelitems::Index& vntIndexKey) {
    modelitems::RemoveOf(items_, vntIndexKey);
    memo_.epoch = 0;
}

std::vector<std::shared_ptr<COpenPosition>> COpenPositions::NewEnum() const {
    return modelitems::Follow(items_).Items();
}

void COpenPositions::Deallocate() {
    memo_.epoch = 0;
    if (!items_) return;
    auto items = std::move(items_);
    for (auto position : items->Items()) SafeRelease(position);
}

}  // namespace OrbanelGeneral10
