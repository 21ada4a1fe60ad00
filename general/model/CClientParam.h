#pragma once
// A client's parameters for one symbol: spread, source-plus, commission, lot
// limits and order distances, and the client's prices computed through the
// symbol. This class is the interface: its own members are empty (gets read
// 0, Empty or nothing, lets do nothing). CClientParamCl keeps every
// parameter, CClientParamSvr only the pricing ones.
#include <cstdint>
#include <memory>

#include "general/common/Enums.h"
#include "runtime/Variant.h"

namespace OrbanelGeneral10 {

class CSymbol;

class CClientParam : public runtime::Object {
public:
    using Variant = runtime::Variant;

    CClientParam() = default;
    ~CClientParam() override = default;
    CClientParam(const CClientParam&) = delete;
    CClientParam& operator=(const CClientParam&) = delete;

    virtual double CommissionValue(double /*lots*/) const { return 0; }
    virtual double ClosePriceWithSpread(OperationTypeEnum /*vBuySell*/) const { return 0; }
    virtual double BidWithSpread() const { return 0; }
    virtual double AskWithSpread() const { return 0; }
    virtual double PriceWithSpread(OperationTypeEnum /*BuySell*/) const { return 0; }
    // Null: no spread of the client's own (the symbol's source-plus rule applies).
    virtual Variant Spread() const { return {}; }
    virtual void setSpread(const Variant& /*value*/) {}
    virtual int16_t SourcePlus() const { return 0; }
    virtual void setSourcePlus(int16_t /*value*/) {}
    virtual double Commission() const { return 0; }
    virtual void setCommission(double /*value*/) {}
    virtual double MaxLots() const { return 0; }
    virtual void setMaxLots(double /*value*/) {}
    virtual double MinLots() const { return 0; }
    virtual void setMinLots(double /*value*/) {}
    virtual double LimitOffset() const { return 0; }
    virtual void setLimitOffset(double /*value*/) {}
    virtual double StopOffset() const { return 0; }
    virtual void setStopOffset(double /*value*/) {}
    virtual std::shared_ptr<CSymbol> Symbol() const { return nullptr; }
    virtual void setSymbol(std::shared_ptr<CSymbol> /*value*/) {}
    // The same client's parameters of the symbol's reference symbol.
    virtual std::shared_ptr<CClientParam> Parent() const { return nullptr; }
    virtual void setParent(const std::shared_ptr<CClientParam>& /*value*/) {}
    // Symbol and Parent without taking a share: for a caller that runs no
    // handler and releases nothing while it reads through the pointer.
    virtual const CSymbol* PeekSymbol() const { return nullptr; }
    virtual const CClientParam* PeekParent() const { return nullptr; }
};

}  // namespace OrbanelGeneral10
