#include "general/model/CAccounts.h"

#include "general/common/MGenerals.h"
#include "general/model/CAccount.h"
#include "general/model/CSummaries.h"
#include "general/model/MModelStamps.h"

namespace OrbanelGeneral10 {

using modelitems::KeyText;

CAccounts::CAccounts() : items_(std::make_shared<Collection>()) {
    membership::MembersChanged();
}

CAccounts::~CAccounts() {
    Deallocate();
}

std::shared_ptr<CAccount> CAccounts::Add(const std::shared_ptr<CClient>& vClient,
                                         const std::shared_ptr<CSummaries>& vSummaries,
                                         int32_t AccountID, int32_t ClientID,
                                         AccountTypeEnum AccountType, bool AutoOrNotLiquidation,
                                         bool AutoOrNotLimitOrder, bool AutoOrNotSLTP,
                                         bool DemoAccount, bool DontLiquidate, bool Locked) {
    const std::string key = KeyText(AccountID);
    // A number already present leaves everything as it was; checked first so
    // the shared summary is never handed to an account that is then dropped.
    if (!items_ || items_->Contains(key)) return nullptr;
    auto account = std::make_shared<CAccount>();
    account->setClient(vClient);
    account->setSummeryInfo(vSummaries);
    account->setAccountID(AccountID);
    account->setClientID(ClientID);
    account->setAccountType(AccountType);
    account->setAutoOrNotLiquidation(AutoOrNotLiquidation);
    account->setAutoOrNotLimitOrder(AutoOrNotLimitOrder);
    account->setAutoOrNotSLTP(AutoOrNotSLTP);
    account->setDemoAccount(DemoAccount);
    account->setDontLiquidate(DontLiquidate);
    account->setLocked(Locked);
    items_->Add(account, key);
    membership::MembersChanged();
    return account;
}

std::shared_ptr<CAccount> CAccounts::Item(const modelitems::Index& vntIndexKey) const {
    return modelitems::ItemOf(items_, vntIndexKey);
}

int32_t CAccounts::Count() const {
    return modelitems::CountOf(items_);
}

void CAccounts::Remove(const modelitems::Index& vntIndexKey) {
    auto account = Item(vntIndexKey);
    if (!account) return;
    SafeRelease(account);
    modelitems::RemoveOf(items_, vntIndexKey);
    membership::MembersChanged();
}

std::vector<std::shared_ptr<CAccount>> CAccounts::NewEnum() const {
    return modelitems::Follow(items_).Items();
}

void CAccounts::Deallocate() {
    if (!items_) return;
    auto items = std::move(items_);
    for (auto account : items->Items()) SafeRelease(account);
    membership::MembersChanged();
}

}  // namespace OrbanelGeneral10
