#pragma once
// One row of an account's history as the server sent it: eighteen values,
// each readable and writable, with no logic of their own.
#include "runtime/Variant.h"

namespace OrbanexClientAPI10 {

class CAccountHistory {
public:
    using Variant = runtime::Variant;

    const Variant& Ticket() const { return Ticket_; }
    void setTicket(Variant value) { Ticket_ = std::move(value); }
    const Variant& HisTime() const { return HisTime_; }
    void setHisTime(Variant value) { HisTime_ = std::move(value); }
    const Variant& HisType() const { return HisType_; }
    void setHisType(Variant value) { HisType_ = std::move(value); }
    const Variant& SymbolID() const { return SymbolID_; }
    void setSymbolID(Variant value) { SymbolID_ = std::move(value); }
    const Variant& Lots() const { return Lots_; }
    void setLots(Variant value) { Lots_ = std::move(value); }
    const Variant& BuySell() const { return BuySell_; }
    void setBuySell(Variant value) { BuySell_ = std::move(value); }
    const Variant& OpenTime() const { return OpenTime_; }
    void setOpenTime(Variant value) { OpenTime_ = std::move(value); }
    const Variant& OpenPrice() const { return OpenPrice_; }
    void setOpenPrice(Variant value) { OpenPrice_ = std::move(value); }
    const Variant& ClosePrice() const { return ClosePrice_; }
    void setClosePrice(Variant value) { ClosePrice_ = std::move(value); }
    const Variant& AccTransAmount() const { return AccTransAmount_; }
    void setAccTransAmount(Variant value) { AccTransAmount_ = std::move(value); }
    const Variant& Comm() const { return Comm_; }
    void setComm(Variant value) { Comm_ = std::move(value); }
    const Variant& Interest() const { return Interest_; }
    void setInterest(Variant value) { Interest_ = std::move(value); }
    const Variant& Checked() const { return Checked_; }
    void setChecked(Variant value) { Checked_ = std::move(value); }
    const Variant& RefPrice() const { return RefPrice_; }
    void setRefPrice(Variant value) { RefPrice_ = std::move(value); }
    const Variant& Profit() const { return Profit_; }
    void setProfit(Variant value) { Profit_ = std::move(value); }
    const Variant& SymbolName() const { return SymbolName_; }
    void setSymbolName(Variant value) { SymbolName_ = std::move(value); }
    const Variant& Method() const { return Method_; }
    void setMethod(Variant value) { Method_ = std::move(value); }
    const Variant& Comment() const { return Comment_; }
    void setComment(Variant value) { Comment_ = std::move(value); }

private:
    Variant Ticket_, HisTime_, HisType_, SymbolID_, Lots_, BuySell_, OpenTime_, OpenPrice_,
        ClosePrice_, AccTransAmount_, Comm_, Interest_, Checked_, RefPrice_, Profit_, SymbolName_,
        Method_, Comment_;
};

}  // namespace OrbanexClientAPI10
