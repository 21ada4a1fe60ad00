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

    runtime::Date CreatedDate() const { return CreatedDate_; }
    void OrderSentNow();
    // Taken back: no dealer (-1, which stamps ReceivedTime), not sent, target released.
    void OrderNotSent();
    bool IsSent() const { return SendTime_.has_value(); }
    // Whole seconds crossed since the send time; -1 when not sent.
    int32_t TimeAfterSend() const;

    int32_t ID() const { return ID_; }
    void setID(int32_t value) { ID_ = value; }
    int32_t Dealer() const { return Dealer_; }
    // Also stamps ReceivedTime with the present time.
    void setDealer(int32_t value);
    int32_t AccountID() const { return AccountID_; }
    void setAccountID(int32_t value) { AccountID_ = value; }
    int32_t ClientID() const { return ClientID_; }
    void setClientID(int32_t value) { ClientID_ = value; }
    int32_t SymbolID() const { return SymbolID_; }
    void setSymbolID(int32_t value) { SymbolID_ = value; }
    OperationTypeEnum BuySell() const { return BuySell_; }
    void setBuySell(OperationTypeEnum value) { BuySell_ = value; }
    double lots() const { return lots_; }
    void setLots(double value) { lots_ = value; }
    double OpenLots() const { return OpenLots_; }
    void setOpenLots(double value) { OpenLots_ = value; }
    double Price() const { return Price_; }
    void setPrice(double value) { Price_ = value; }
    double OpenPrice() const { return OpenPrice_; }
    void setOpenPrice(double value) { OpenPrice_ = value; }
    int32_t OpenTicket() const { return OpenTicket_; }
    void setOpenTicket(int32_t value) { OpenTicket_ = value; }
    double RefHitPrice() const { return RefHitPrice_; }
    void setRefHitPrice(double value) { RefHitPrice_ = value; }
    double hitPrice() const { return hitPrice_; }
    void setHitPrice(double value) { hitPrice_ = value; }
    NewOrLiquidateEnum NewOrLiquidate() const { return NewOrLiquidate_; }
    void setNewOrLiquidate(NewOrLiquidateEnum value) { NewOrLiquidate_ = value; }
    MarketOrderStatusEnum Status() const { return Status_; }
    void setStatus(MarketOrderStatusEnum value) { Status_ = value; }
    MarketOrLimitOrderEnum MarketOrLimitOrder() const { return MarketOrLimitOrder_; }
    void setMarketOrLimitOrder(MarketOrLimitOrderEnum value) { MarketOrLimitOrder_ = value; }
    int32_t ClientSID() const { return ClientSID_; }
    void setClientSID(int32_t value) { ClientSID_ = value; }
    int32_t MakerClientID() const { return MakerClientID_; }
    void setMakerClientID(int32_t value) { MakerClientID_ = value; }
    const std::string& MakerClientIP() const { return MakerClientIP_; }
    void setMakerClientIP(std::string value) { MakerClientIP_ = std::move(value); }
    const std::shared_ptr<runtime::Object>& SentToDealer() const { return SentToDealer_; }
    void setSentToDealer(std::shared_ptr<runtime::Object> value) {
        SentToDealer_ = std::move(value);
    }
    runtime::Date RequestTime() const { return RequestTime_; }
    void setRequestTime(runtime::Date value) { RequestTime_ = value; }
    bool FromSystem() const { return FromSystem_; }
    void setFromSystem(bool value) { FromSystem_ = value; }
    runtime::Date DealerTime() const { return DealerTime_; }
    void setDealerTime(runtime::Date value) { DealerTime_ = value; }
    runtime::Date ReceivedTime() const { return ReceivedTime_; }
    void setReceivedTime(runtime::Date value) { ReceivedTime_ = value; }

    // Releases the object the order was sent to.
    void Deallocate() override;

private:
    runtime::Date CreatedDate_;
    std::optional<runtime::Date> SendTime_;
    int32_t ID_ = 0;
    int32_t Dealer_ = 0;
    int32_t AccountID_ = 0;
    int32_t ClientID_ = 0;
    int32_t SymbolID_ = 0;
    OperationTypeEnum BuySell_ = static_cast<OperationTypeEnum>(0);
    double lots_ = 0;
    double OpenLots_ = 0;
    double Price_ = 0;
    double OpenPrice_ = 0;
    int32_t OpenTicket_ = 0;
    double RefHitPrice_ = 0;
    double hitPrice_ = 0;
    NewOrLiquidateEnum NewOrLiquidate_ = static_cast<NewOrLiquidateEnum>(0);
    MarketOrderStatusEnum Status_ = static_cast<MarketOrderStatusEnum>(0);
    MarketOrLimitOrderEnum MarketOrLimitOrder_ = static_cast<MarketOrLimitOrderEnum>(0);
    int32_t ClientSID_ = 0;
    int32_t MakerClientID_ = 0;
    std::string MakerClientIP_;
    std::shared_ptr<runtime::Object> SentToDealer_;
    runtime::Date RequestTime_;
    bool FromSystem_ = false;
    runtime::Date DealerTime_;
    runtime::Date ReceivedTime_;
};

}  // namespace OrbanelGeneral10
