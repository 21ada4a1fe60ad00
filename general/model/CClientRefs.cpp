#include "general/model/CClientRefs.h"

#include "general/common/MGenerals.h"
#include "general/model/CClient.h"
#include "general/model/CClientRef.h"

namespace OrbanelGeneral10 {

CClientRefs::CClientRefs() : items_(std::make_shared<Collection>()) {}

CClientRefs::~CClientRefs() {
    Deallocate();
}

std::shared_ptr<CClientRef> CClientRefs::Add(const std::shared_ptr<CClient>& Client) {
    if (!Client || !items_) return nullptr;
    const std::string key = modelitems::KeyText(Client->ClientID());
    // A client listed already gets a fresh entry in place of the old one.
    items_->Remove(key);
    auto ref = std::make_shared<CClientRef>();
    ref->setClient(Client);
    items_->Add(ref, key);
    return ref;
}

std::shared_ptr<CClientRef> CClientRefs::Item(const modelitems::Index& vntIndexKey) const {
    return modelitems::ItemOf(items_, vntIndexKey);
}

int32_t CClientRefs::Count() const {
    return modelitems::CountOf(items_);
}

void CClientRefs::Remove(const modelitems::Index& vntIndexKey) {
    modelitems::RemoveOf(items_, vntIndexKey);
}

std::vector<std::shared_ptr<CClientRef>> CClientRefs::NewEnum() const {
    return modelitems::Follow(items_).Items();
}

void CClientRefs::Deallocate() {
    if (!items_) return;
    auto items = std::move(items_);
    for (auto ref : items->Items()) SafeRelease(ref);
}

}  // namespace OrbanelGeneral10
