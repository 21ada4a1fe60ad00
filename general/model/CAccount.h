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

    int32_t ClientID() const { return clientID_; }
    void setClientID(int32_t value) { clientID_ = value; }
    int32_t AccountID() const { return accountID_; }
    void setAccountID(int32_t value) { accountID_ = value; }
    const std::shared_ptr<CSummaries>& SummeryInfo() const { return summeryInfo_; }
    void setSummeryInfo(std::shared_ptr<CSummaries> value) { summeryInfo_ = std::move(value); }
    // Nothing after a release.
    const std::shared_ptr<COpenPositions>& OpenPositions() const { return openPositions_; }
    const std::shared_ptr<COrders>& Orders() const { return orders_; }
    AccountTypeEnum AccountType() const { return accountType_; }
    void setAccountType(AccountTypeEnum value) { accountType_ = value; }
    bool AutoOrNotLiquidation() const { return autoOrNotLiquidation_; }
    void setAutoOrNotLiquidation(bool value) { autoOrNotLiquidation_ = value; }
    bool AutoOrNotLimitOrder() const { return autoOrNotLimitOrder_; }
    void setAutoOrNotLimitOrder(bool value) { autoOrNotLimitOrder_ = value; }
    bool AutoOrNotSLTP() const { return autoOrNotSLTP_; }
    void setAutoOrNotSLTP(bool value) { autoOrNotSLTP_ = value; }
    bool Locked() const { return locked_; }
    void setLocked(bool value) { locked_ = value; }
    bool DemoAccount() const { return demoAccount_; }
    void setDemoAccount(bool value) { demoAccount_ = value; }
    // The collection key: the account number's decimal text.
    std::string IndexKey() const { return std::to_string(accountID_); }
    bool DontLiquidate() const { return dontLiquidate_; }
    void setDontLiquidate(bool value) { dontLiquidate_ = value; }
    bool LockLiquidate() const { return lockLiquidate_; }
    void setLockLiquidate(bool value) { lockLiquidate_ = value; }
    // The owning client; nothing once it is gone or the account was released.
    std::shared_ptr<CClient> Client() const { return client_.lock(); }
    void setClient(const std::shared_ptr<CClient>& value) { client_ = value; }

    // Releases the summary, the positions and the orders, then drops the client link.
    void Deallocate() override;

private:
    int32_t clientID_ = 0;
    int32_t accountID_ = 0;
    std::shared_ptr<CSummaries> summeryInfo_;
    std::shared_ptr<COpenPositions> openPositions_;
    std::shared_ptr<COrders> orders_;
    AccountTypeEnum accountType_ = DemoAccountType;
    bool autoOrNotLiquidation_ = false;
    bool autoOrNotLimitOrder_ = false;
    bool autoOrNotSLTP_ = false;
    bool locked_ = false;
    bool demoAccount_ = false;
    bool dontLiquidate_ = false;
    bool lockLiquidate_ = false;
    std::weak_ptr<CClient> client_;
};

}  // namespace OrbanelGeneral10
