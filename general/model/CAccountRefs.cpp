#include "general/model/CAccountRefs.h"

#include "general/common/MGenerals.h"
#include "general/model/CAccount.h"
#include "general/model/CAccountRef.h"
#include "general/model/MModelStamps.h"

namespace OrbanelGeneral10 {

CAccountRefs::CAccountRefs() : items_(std::make_shared<Collection>()) {
    membership::MembersChanged();
}

CAccountRefs::~CAccountRefs() {
    Deallocate();
}

std::shared_ptr<CAccountRef> CAccountRefs::Add(const std::shared_ptr<CAccount>& Account) {
    if (!Account || !items_) return nullptr;
    const std::string key = Account->IndexKey();
    if (items_->Contains(key)) return nullptr;  // listed already: the first entry stays
    auto ref = std::make_shared<CAccountRef>();
    ref->setAccount(Account);
    items_->Add(ref, key);
    membership::MembersChanged();
    return ref;
}

std::shared_ptr<CAccountRef> CAccountRefs::Item(const modelitems::Index& vntIndexKey) const {
    return modelitems::ItemOf(items_, vntIndexKey);
}

int32_t CAccountRefs::Count() const {
    return modelitems::CountOf(items_);
}

void CAccountRefs::Remove(const modelitems::Index& vntIndexKey) {
    modelitems::RemoveOf(items_, vntIndexKey);
    membership::MembersChanged();
}

std::vector<std::shared_ptr<CAccountRef>> CAccountRefs::NewEnum() const {
    return modelitems::Follow(items_).Items();
}

void CAccountRefs::Deallocate() {
    if (!items_) return;
    auto items = std::move(items_);
    for (auto ref : items->Items()) SafeRelease(ref);
    membership::MembersChanged();
}

}  // namespace OrbanelGeneral10
