#pragma once
// One trading account of one client: identity, type and flags, its summary
// figures, its open positions and its pending orders.
#include <cstdint>
#include <memory>
#include <string>

#include "general/common/Enums.h"
#include "general/common/ISafeObject.h"
#include "runtime/Variant.h"

namespace OrbanelGeneral10 {

class CClient;
class COpenPositions;
class COrders;
class CSummaries;

class CAccount : public runtime::Object, public ISafeObject {
public:
    CAccount();
    ~CAccount() override;
    CAccount(const CAccount&) = delete;
    CAccount& operator=(const CAccount&) = delete;

    int32_t ClientID() const { return ClientID_; }
    void setClientID(int32_t value) { ClientID_ = value; }
    int32_t AccountID() const { return AccountID_; }
    void setAccountID(int32_t value) { AccountID_ = value; }
    const std::shared_ptr<CSummaries>& SummeryInfo() const { return SummeryInfo_; }
    void setSummeryInfo(std::shared_ptr<CSummaries> value) { SummeryInfo_ = std::move(value); }
    // Nothing after a release.
    const std::shared_ptr<COpenPositions>& OpenPositions() const { return OpenPositions_; }
    const std::shared_ptr<COrders>& Orders() const { return Orders_; }
    AccountTypeEnum AccountType() const { return AccountType_; }
    void setAccountType(AccountTypeEnum value) { AccountType_ = value; }
    bool AutoOrNotLiquidation() const { return AutoOrNotLiquidation_; }
    void setAutoOrNotLiquidation(bool value) { AutoOrNotLiquidation_ = value; }
    bool AutoOrNotLimitOrder() const { return AutoOrNotLimitOrder_; }
    void setAutoOrNotLimitOrder(bool value) { AutoOrNotLimitOrder_ = value; }
    bool AutoOrNotSLTP() const { return AutoOrNotSLTP_; }
    void setAutoOrNotSLTP(bool value) { AutoOrNotSLTP_ = value; }
    bool Locked() const { return Locked_; }
    void setLocked(bool value) { Locked_ = value; }
    bool DemoAccount() const { return DemoAccount_; }
    void setDemoAccount(bool value) { DemoAccount_ = value; }
    // The collection key: the account number's decimal text.
    std::string IndexKey() const { return std::to_string(AccountID_); }
    bool DontLiquidate() const { return DontLiquidate_; }
    void setDontLiquidate(bool value) { DontLiquidate_ = value; }
    bool LockLiquidate() const { return LockLiquidate_; }
    void setLockLiquidate(bool value) { LockLiquidate_ = value; }
    // The owning client; nothing once it is gone or the account was released.
    std::shared_ptr<CClient> Client() const { return Client_.lock(); }
    void setClient(const std::shared_ptr<CClient>& value) { Client_ = value; }

    // Releases the summary, the positions and the orders, then drops the client link.
    void Deallocate() override;

private:
    int32_t ClientID_ = 0;
    int32_t AccountID_ = 0;
    std::shared_ptr<CSummaries> SummeryInfo_;
    std::shared_ptr<COpenPositions> OpenPositions_;
    std::shared_ptr<COrders> Orders_;
    AccountTypeEnum AccountType_ = DemoAccountType;
    bool AutoOrNotLiquidation_ = false;
    bool AutoOrNotLimitOrder_ = false;
    bool AutoOrNotSLTP_ = false;
    bool Locked_ = false;
    bool DemoAccount_ = false;
    bool DontLiquidate_ = false;
    bool LockLiquidate_ = false;
    std::weak_ptr<CClient> Client_;
};

}  // namespace OrbanelGeneral10
