#pragma once
// A client's order request routed to a dealer for manual handling: who asked
// what, what the dealer answered, and when it was requested, taken, sent on
// and answered. Times come from the runtime clock.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "general/common/Enums.h"
#include "general/common/ISafeObject.h"
#include "runtime/Date.h"
#include "runtime/Variant.h"

namespace OrbanelGeneral10 {

class CChatOrder : public runtime::Object, public ISafeObject {
public:
    CChatOrder();
    ~CChatOrder() override { Deallocate(); }
    CChatOrder(const CChatOrder&) = delete;
    CChatOrder& operator=(const CChatOrder&) = delete;

    runtime::Date CreatedDate() const { return createdDate_; }
    void OrderSentNow();
    // Taken back: no dealer (-1, which stamps ReceivedTime), not sent, target released.
    void OrderNotSent();
    bool IsSent() const { return sendTime_.has_value(); }
    // Whole seconds crossed since the send time; -1 when not sent.
    int32_t TimeAfterSend() const;

    int32_t ID() const { return id_; }
    void setID(int32_t value) { id_ = value; }
    int32_t Dealer() const { return dealer_; }
    // Also stamps ReceivedTime with the present time.
    void setDealer(int32_t value);
    int32_t AccountID() const { return accountID_; }
    void setAccountID(int32_t value) { accountID_ = value; }
    int32_t ClientID() const { return clientID_; }
    void setClientID(int32_t value) { clientID_ = value; }
    int32_t SymbolID() const { return symbolID_; }
    void setSymbolID(int32_t value) { symbolID_ = value; }
    OperationTypeEnum BuySell() const { return buySell_; }
    void setBuySell(OperationTypeEnum value) { buySell_ = value; }
    double lots() const { return lots_; }
    void setLots(double value) { lots_ = value; }
    double OpenLots() const { return openLots_; }
    void setOpenLots(double value) { openLots_ = value; }
    double Price() const { return price_; }
    void setPrice(double value) { price_ = value; }
    double OpenPrice() const { return openPrice_; }
    void setOpenPrice(double value) { openPrice_ = value; }
    int32_t OpenTicket() const { return openTicket_; }
    void setOpenTicket(int32_t value) { openTicket_ = value; }
    double RefHitPrice() const { return refHitPrice_; }
    void setRefHitPrice(double value) { refHitPrice_ = value; }
    double hitPrice() const { return hitPrice_; }
    void setHitPrice(double value) { hitPrice_ = value; }
    NewOrLiquidateEnum NewOrLiquidate() const { return newOrLiquidate_; }
    void setNewOrLiquidate(NewOrLiquidateEnum value) { newOrLiquidate_ = value; }
    MarketOrderStatusEnum Status() const { return status_; }
    void setStatus(MarketOrderStatusEnum value) { status_ = value; }
    MarketOrLimitOrderEnum MarketOrLimitOrder() const { return marketOrLimitOrder_; }
    void setMarketOrLimitOrder(MarketOrLimitOrderEnum value) { marketOrLimitOrder_ = value; }
    int32_t ClientSID() const { return clientSID_; }
    void setClientSID(int32_t value) { clientSID_ = value; }
    int32_t MakerClientID() const { return makerClientID_; }
    void setMakerClientID(int32_t value) { makerClientID_ = value; }
    const std::string& MakerClientIP() const { return makerClientIP_; }
    void setMakerClientIP(std::string value) { makerClientIP_ = std::move(value); }
    const std::shared_ptr<runtime::Object>& SentToDealer() const { return sentToDealer_; }
    void setSentToDealer(std::shared_ptr<runtime::Object> value) {
        sentToDealer_ = std::move(value);
    }
    runtime::Date RequestTime() const { return requestTime_; }
    void setRequestTime(runtime::Date value) { requestTime_ = value; }
    bool FromSystem() const { return fromSystem_; }
    void setFromSystem(bool value) { fromSystem_ = value; }
    runtime::Date DealerTime() const { return dealerTime_; }
    void setDealerTime(runtime::Date value) { dealerTime_ = value; }
    runtime::Date ReceivedTime() const { return receivedTime_; }
    void setReceivedTime(runtime::Date value) { receivedTime_ = value; }

    // Releases the object the order was sent to.
    void Deallocate() override;

private:
    runtime::Date createdDate_;
    std::optional<runtime::Date> sendTime_;
    int32_t id_ = 0;
    int32_t dealer_ = 0;
    int32_t accountID_ = 0;
    int32_t clientID_ = 0;
    int32_t symbolID_ = 0;
    OperationTypeEnum buySell_ = static_cast<OperationTypeEnum>(0);
    double lots_ = 0;
    double openLots_ = 0;
    double price_ = 0;
    double openPrice_ = 0;
    int32_t openTicket_ = 0;
    double refHitPrice_ = 0;
    double hitPrice_ = 0;
    NewOrLiquidateEnum newOrLiquidate_ = static_cast<NewOrLiquidateEnum>(0);
    MarketOrderStatusEnum status_ = static_cast<MarketOrderStatusEnum>(0);
    MarketOrLimitOrderEnum marketOrLimitOrder_ = static_cast<MarketOrLimitOrderEnum>(0);
    int32_t clientSID_ = 0;
    int32_t makerClientID_ = 0;
    std::string makerClientIP_;
    std::shared_ptr<runtime::Object> sentToDealer_;
    runtime::Date requestTime_;
    bool fromSystem_ = false;
    runtime::Date dealerTime_;
    runtime::Date receivedTime_;
};

}  // namespace OrbanelGeneral10
