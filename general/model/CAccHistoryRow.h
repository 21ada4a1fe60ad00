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

    int32_t Ticket() const { return ticket_; }
    void setTicket(int32_t value) { ticket_ = value; }
    const std::string& HisTime() const { return hisTime_; }
    void setHisTime(std::string value) { hisTime_ = std::move(value); }
    const std::string& HisType() const { return hisType_; }
    void setHisType(std::string value) { hisType_ = std::move(value); }
    const std::shared_ptr<CSymbol>& Symbol() const { return symbol_; }
    void setSymbol(std::shared_ptr<CSymbol> value) { symbol_ = std::move(value); }
    const Variant& lots() const { return lots_; }
    void setLots(Variant value) { lots_ = std::move(value); }
    const Variant& BuySell() const { return buySell_; }
    void setBuySell(Variant value) { buySell_ = std::move(value); }
    const std::string& OpenTime() const { return openTime_; }
    void setOpenTime(std::string value) { openTime_ = std::move(value); }
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
    bool Checked() const { return checked_; }
    void setChecked(bool value) { checked_ = value; }
    const Variant& RefPrice() const { return refPrice_; }
    void setRefPrice(Variant value) { refPrice_ = std::move(value); }
    const Variant& Profit() const { return profit_; }
    void setProfit(Variant value) { profit_ = std::move(value); }
    const Variant& SymbolName() const { return symbolName_; }
    void setSymbolName(Variant value) { symbolName_ = std::move(value); }

private:
    std::shared_ptr<CDataProtocol> protocol_;
    int32_t ticket_ = 0;
    std::string hisTime_;
    std::string hisType_;
    std::shared_ptr<CSymbol> symbol_;
    Variant lots_;
    Variant buySell_;
    std::string openTime_;
    Variant openPrice_;
    Variant closePrice_;
    Variant accTransAmount_;
    Variant comm_;
    Variant interest_;
    bool checked_ = false;
    Variant refPrice_;
    Variant profit_;
    Variant symbolName_;
};

}  // namespace OrbanelGeneral10
