#pragma once
// One row of an account's history as the server sends it: a position opened
// or closed, or a money transaction. Filled from a row string or from values.
#include <cstdint>
#include <memory>
#include <string>

#include "runtime/Variant.h"

namespace OrbanelGeneral10 {

class CClientParam;
class CDataProtocol;
class CSymbol;
class CSymbols;

class CAccHistoryRow : public runtime::Object {
public:
    using Variant = runtime::Variant;

    CAccHistoryRow();
    ~CAccHistoryRow();
    CAccHistoryRow(const CAccHistoryRow&) = delete;
    CAccHistoryRow& operator=(const CAccHistoryRow&) = delete;

    // Cells 1 to 16, trimmed; the symbol cell is looked up in Symbols. A short
    // row, a ticket that is no number or a checked cell that is no Boolean
    // raises an error; the cells before it keep their new values.
    void DefineRow(const std::shared_ptr<CSymbols>& Symbols, const std::string& rData);
    // Leaves Symbol as it is; SymbolParam is accepted and not used.
    void Define(const Variant& vTicket, const std::string& vTime, const std::string& vType,
                const std::shared_ptr<CClientParam>& SymbolParam, const Variant& vLots,
                const Variant& vBuySell, const std::string& vOpenTime, const Variant& vOpenPrice,
                const Variant& vClosePrice, const Variant& vAccTransAmount, const Variant& vComm,
                const Variant& vInt, bool vChecked, const Variant& vRefPrice,
                const Variant& vProfit, const Variant& vCurName);

    int32_t Ticket() const { return Ticket_; }
    void setTicket(int32_t value) { Ticket_ = value; }
    const std::string& HisTime() const { return HisTime_; }
    void setHisTime(std::string value) { HisTime_ = std::move(value); }
    const std::string& HisType() const { return HisType_; }
    void setHisType(std::string value) { HisType_ = std::move(value); }
    const std::shared_ptr<CSymbol>& Symbol() const { return Symbol_; }
    void setSymbol(std::shared_ptr<CSymbol> value) { Symbol_ = std::move(value); }
    const Variant& lots() const { return lots_; }
    void setLots(Variant value) { lots_ = std::move(value); }
    const Variant& BuySell() const { return BuySell_; }
    void setBuySell(Variant value) { BuySell_ = std::move(value); }
    const std::string& OpenTime() const { return OpenTime_; }
    void setOpenTime(std::string value) { OpenTime_ = std::move(value); }
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
    bool Checked() const { return Checked_; }
    void setChecked(bool value) { Checked_ = value; }
    const Variant& RefPrice() const { return RefPrice_; }
    void setRefPrice(Variant value) { RefPrice_ = std::move(value); }
    const Variant& Profit() const { return Profit_; }
    void setProfit(Variant value) { Profit_ = std::move(value); }
    const Variant& SymbolName() const { return SymbolName_; }
    void setSymbolName(Variant value) { SymbolName_ = std::move(value); }

private:
    std::shared_ptr<CDataProtocol> protocol_;
    int32_t Ticket_ = 0;
    std::string HisTime_;
    std::string HisType_;
    std::shared_ptr<CSymbol> Symbol_;
    Variant lots_;
    Variant BuySell_;
    std::string OpenTime_;
    Variant OpenPrice_;
    Variant ClosePrice_;
    Variant AccTransAmount_;
    Variant Comm_;
    Variant Interest_;
    bool Checked_ = false;
    Variant RefPrice_;
    Variant Profit_;
    Variant SymbolName_;
};

}  // namespace OrbanelGeneral10
