#pragma once
// One row of an account's history as the server sent it: eighteen values,
// each readable and writable, with no logic of their own.
#include "runtime/Variant.h"

namespace OrbanexClientAPI10 {

class CAccountHistory {
public:
    using Variant = runtime::Variant;

    const Variant& Ticket() const { return ticket_; }
    void setTicket(Variant value) { ticket_ = std::move(value); }
    const Variant& HisTime() const { return hisTime_; }
    void setHisTime(Variant value) { hisTime_ = std::move(value); }
    const Variant& HisType() const { return hisType_; }
    void setHisType(Variant value) { hisType_ = std::move(value); }
    const Variant& SymbolID() const { return symbolID_; }
    void setSymbolID(Variant value) { symbolID_ = std::move(value); }
    const Variant& Lots() const { return lots_; }
    void setLots(Variant value) { lots_ = std::move(value); }
    const Variant& BuySell() const { return buySell_; }
    void setBuySell(Variant value) { buySell_ = std::move(value); }
    const Variant& OpenTime() const { return openTime_; }
    void setOpenTime(Variant value) { openTime_ = std::move(value); }
    const Variant& OpenPrice() const { return openPrice_; }
    void setOpenPrice(Variant value) { openPrice_ = std::move(value); }
    const Variant& ClosePrice() const { return closePrice_; }
    void setClosePrice(Variant value) { closePrice_ = std::move(value); }
    const Variant& AccTransAmount() const { return accTransAmount_; }
    void setAccTransAmount(Variant value) { accTransAmount_ = std::move(value); }
    const Variant& Comm() const { return comm_; }
    void setComm(Variant value) { comm_ = std::move(value); }
    const Variant& Interest() const { return interest_; }
    void setInterest(Variant value) { interest_ = std::move(value); }
    const Variant& Checked() const { return checked_; }
    void setChecked(Variant value) { checked_ = std::move(value); }
    const Variant& RefPrice() const { return refPrice_; }
    void setRefPrice(Variant value) { refPrice_ = std::move(value); }
    const Variant& Profit() const { return profit_; }
    void setProfit(Variant value) { profit_ = std::move(value); }
    const Variant& SymbolName() const { return symbolName_; }
    void setSymbolName(Variant value) { symbolName_ = std::move(value); }
    const Variant& Method() const { return method_; }
    void setMethod(Variant value) { method_ = std::move(value); }
    const Variant& Comment() const { return comment_; }
    void setComment(Variant value) { comment_ = std::move(value); }

private:
    Variant ticket_, hisTime_, hisType_, symbolID_, lots_, buySell_, openTime_, openPrice_,
        closePrice_, accTransAmount_, comm_, interest_, checked_, refPrice_, profit_, symbolName_,
        method_, comment_;
};

}  // namespace OrbanexClientAPI10
