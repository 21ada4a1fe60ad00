#pragma once
// Read-only view of one trading account: its ids, its money figures
// (computed by the model at every read, unrounded) and its owner's names.
// Before the library sets the account every read raises runtime::Error(91).
#include <cstdint>
#include <memory>
#include <string>

namespace OrbanelGeneral10 {
class CAccount;
class CClient;
class CSummaries;
}  // namespace OrbanelGeneral10

namespace OrbanexClientAPI10 {

class COAccount {
public:
    int32_t AccountID() const;
    int32_t ClientID() const;
    double Balance() const;
    double FloatingProfitLoss() const;
    double Credit() const;
    double Equity() const;
    double MarginRequirement() const;
    double MarginLevel() const;
    double EffectiveMargin() const;
    bool DemoAccount() const;
    std::string FirstName() const;
    std::string SecondName() const;
    std::string ThirdName() const;
    std::string LastName() const;
    std::string FullName() const;
    void setAccount(std::shared_ptr<OrbanelGeneral10::CAccount> value) {
        account_ = std::move(value);
    }

private:
    const OrbanelGeneral10::CAccount& Acc() const;
    const OrbanelGeneral10::CSummaries& Summary() const;
    std::shared_ptr<OrbanelGeneral10::CClient> Owner() const;

    std::shared_ptr<OrbanelGeneral10::CAccount> account_;
};

}  // namespace OrbanexClientAPI10
