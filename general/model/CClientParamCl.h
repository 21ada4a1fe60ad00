#pragma once
// Client parameters that keep every value: pricing, lot limits and offsets.
#include <cstdint>
#include <memory>

#include "general/common/ISafeObject.h"
#include "general/model/CClientParam.h"
#include "general/model/CSymbol.h"

namespace OrbanelGeneral10 {

class CClientParamCl : public CClientParam, public ISafeObject {
public:
    CClientParamCl() = default;
    ~CClientParamCl() override;

    // Computed through Symbol on every call; runtime::Error(91) without a symbol.
    double CommissionValue(double lots) const override { return commission_ * lots; }
    double ClosePriceWithSpread(OperationTypeEnum vBuySell) const override;
    double BidWithSpread() const override;
    double AskWithSpread() const override;
    double PriceWithSpread(OperationTypeEnum BuySell) const override;
    // The let stores Null for "", Null or a non-numeric value, otherwise the
    // value as given (a numeric text stays text).
    Variant Spread() const override { return spread_; }
    void setSpread(const Variant& value) override;
    int16_t SourcePlus() const override { return sourcePlus_; }
    void setSourcePlus(int16_t value) override { sourcePlus_ = value; }
    double Commission() const override { return commission_; }
    void setCommission(double value) override { commission_ = value; }
    double MaxLots() const override { return maxLots_; }
    void setMaxLots(double value) override { maxLots_ = value; }
    double MinLots() const override { return minLots_; }
    void setMinLots(double value) override { minLots_ = value; }
    double LimitOffset() const override { return limitOffset_; }
    void setLimitOffset(double value) override { limitOffset_ = value; }
    double StopOffset() const override { return stopOffset_; }
    void setStopOffset(double value) override { stopOffset_ = value; }
    std::shared_ptr<CSymbol> Symbol() const override { return symbol_; }
    void setSymbol(std::shared_ptr<CSymbol> value) override { symbol_ = std::move(value); }
    std::shared_ptr<CClientParam> Parent() const override { return parent_.lock(); }
    void setParent(const std::shared_ptr<CClientParam>& value) override { parent_ = value; }

    // Empties Symbol and Parent.
    void Deallocate() override;

private:
    const CSymbol& Sym() const;

    Variant spread_;
    // spread_ read as a number when it is set, so a quote parses no text;
    // a spread never set (Empty) counts as 0.
    CSymbol::SpreadArg spreadArg_;
    int16_t sourcePlus_ = 0;
    double commission_ = 0;
    double maxLots_ = 0;
    double minLots_ = 0;
    double limitOffset_ = 0;
    double stopOffset_ = 0;
    std::shared_ptr<CSymbol> symbol_;
    std::weak_ptr<CClientParam> parent_;  // a sibling in the same collection
};

}  // namespace OrbanelGeneral10
