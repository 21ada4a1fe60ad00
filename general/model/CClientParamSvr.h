#pragma once
// Client parameters that keep only the pricing values: MaxLots, MinLots,
// LimitOffset and StopOffset always read 0 and their lets are ignored.
#include <cstdint>
#include <memory>

#include "general/common/ISafeObject.h"
#include "general/model/CClientParam.h"
#include "general/model/CSymbol.h"
#include "general/model/MModelStamps.h"

namespace OrbanelGeneral10 {

class CClientParamSvr : public CClientParam, public ISafeObject {
public:
    CClientParamSvr() = default;
    ~CClientParamSvr() override;

    // Computed through Symbol on every call; runtime::Error(91) without a symbol.
    double CommissionValue(double lots) const override { return commission_ * lots; }
    double ClosePriceWithSpread(OperationTypeEnum vBuySell) const override;
    double BidWithSpread() const override;
    double AskWithSpread() const override;
    double PriceWithSpread(OperationTypeEnum BuySell) const override;
    Variant Spread() const override { return spread_; }
    void setSpread(const Variant& value) override;
    int16_t SourcePlus() const override { return sourcePlus_; }
    void setSourcePlus(int16_t value) override {
        sourcePlus_ = value;
        valuation::InputsChanged();
    }
    double Commission() const override { return commission_; }
    void setCommission(double value) override {
        commission_ = value;
        valuation::InputsChanged();
    }
    // MaxLots, MinLots, LimitOffset, StopOffset: the interface's empty members.
    std::shared_ptr<CSymbol> Symbol() const override { return symbol_; }
    void setSymbol(std::shared_ptr<CSymbol> value) override {
        symbol_ = std::move(value);
        valuation::InputsChanged();
    }
    std::shared_ptr<CClientParam> Parent() const override { return parent_.lock(); }
    void setParent(const std::shared_ptr<CClientParam>& value) override {
        parent_ = value;
        parentSeen_ = value.get();
        valuation::InputsChanged();
    }
    const CSymbol* PeekSymbol() const override { return symbol_.get(); }
    const CClientParam* PeekParent() const override {
        return parent_.expired() ? nullptr : parentSeen_;
    }

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
    std::shared_ptr<CSymbol> symbol_;
    std::weak_ptr<CClientParam> parent_;        // a sibling in the same collection
    const CClientParam* parentSeen_ = nullptr;  // parent_'s object while parent_ lives
};

}  // namespace OrbanelGeneral10
