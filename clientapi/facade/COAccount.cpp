#include "clientapi/facade/COAccount.h"

#include "general/model/CAccount.h"
#include "general/model/CClient.h"
#include "general/model/CSummaries.h"
#include "general/model/MModelItems.h"

namespace OrbanexClientAPI10 {

using OrbanelGeneral10::modelitems::Follow;

const OrbanelGeneral10::CAccount& COAccount::Acc() const {
    return Follow(account_);
}

const OrbanelGeneral10::CSummaries& COAccount::Summary() const {
    return Follow(Acc().SummeryInfo());
}

std::shared_ptr<OrbanelGeneral10::CClient> COAccount::Owner() const {
    auto owner = Acc().Client();
    Follow(owner);
    return owner;
}

int32_t COAccount::AccountID() const {
    return Acc().AccountID();
}

int32_t COAccount::ClientID() const {
    return Acc().ClientID();
}

double COAccount::Balance() const {
    return Summary().balance();
}

double COAccount::FloatingProfitLoss() const {
    return Summary().FloatingProfitLoss();
}

double COAccount::Credit() const {
    return Summary().credit();
}

double COAccount::Equity() const {
    return Summary().equity();
}

double COAccount::MarginRequirement() const {
    return Summary().MarginRequirement();
}

double COAccount::MarginLevel() const {
    return Summary().marginLevel();
}

double COAccount::EffectiveMargin() const {
    return Summary().EffectiveMargin();
}

bool COAccount::DemoAccount() const {
    return Acc().DemoAccount();
}

std::string COAccount::FirstName() const {
    return Owner()->FirstName();
}

std::string COAccount::SecondName() const {
    return Owner()->SecondName();
}

std::string COAccount::ThirdName() const {
    return Owner()->ThirdName();
}

std::string COAccount::LastName() const {
    return Owner()->LastName();
}

std::string COAccount::FullName() const {
    return Owner()->FullName();
}

}  // namespace OrbanexClientAPI10
