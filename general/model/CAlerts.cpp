#include "general/model/CAlerts.h"

#include "general/common/MGenerals.h"
#include "general/model/CAlert.h"

namespace OrbanelGeneral10 {

CAlerts::CAlerts() : items_(std::make_shared<Collection>()) {}

CAlerts::~CAlerts() {
    Deallocate();
}

std::shared_ptr<CAlert> CAlerts::Add(int32_t ClientID, int32_t ID,
                                     const std::shared_ptr<CSymbol>& Symbol,
                                     AlertConditionsEnum AlertCondition, double AlertValue) {
    try {
        auto alert = std::make_shared<CAlert>();
        alert->setClientID(ClientID);
        alert->setAlertValue(AlertValue);
        alert->setAlertCondition(AlertCondition);
        alert->setSymbol(Symbol);
        alert->setID(ID);
        modelitems::Follow(items_).Add(alert, modelitems::KeyText(ID));
        return alert;
    } catch (const runtime::Error&) {
        return nullptr;
    }
}

std::shared_ptr<CAlert> CAlerts::Item(const modelitems::Index& vntIndexKey) const {
    return modelitems::ItemOf(items_, vntIndexKey);
}

int32_t CAlerts::Count() const {
    return modelitems::CountOf(items_);
}

void CAlerts::Remove(const modelitems::Index& vntIndexKey) {
    modelitems::RemoveOf(items_, vntIndexKey);
}

void CAlerts::Clear() {
    items_ = std::make_shared<Collection>();
}

void CAlerts::Deallocate() {
    if (!items_) return;
    auto items = std::move(items_);
    for (auto alert : items->Items()) SafeRelease(alert);
}

}  // namespace OrbanelGeneral10
