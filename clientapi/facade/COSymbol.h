#pragma once
// Read-only view of one symbol as one client sees it: prices with that
// client's spread, the raw quote, and the symbol's price arithmetic. Every
// property reads the wrapped parameters at the moment it is called. A new
// view holds an empty parameter object: reading it raises runtime::Error(91)
// until the library points it at real parameters. The view holds only its
// parameters, never the session that made it.
#include <cstdint>
#include <memory>
#include <string>

#include "general/common/Enums.h"
#include "general/model/CClientParam.h"
#include "runtime/Variant.h"

namespace OrbanelGeneral10 {
class CSymbol;
}

namespace OrbanexClientAPI10 {

class CAccountsManager;

class COSymbol {
    // Only the library names it: a view it makes already pointed needs no
    // placeholder parameters first.
    friend class CAccountsManager;
    struct Pointed {
        explicit Pointed() = default;
    };

public:
    using CClientParam = OrbanelGeneral10::CClientParam;

    COSymbol();
    COSymbol(Pointed, std::shared_ptr<CClientParam> param,
             OrbanelGeneral10::CommCalcTypeEnum commCalcType)
        : param_(std::move(param)), commCalcType_(commCalcType) {}

    int32_t ID() const;
    std::string Name() const;
    OrbanelGeneral10::SymbolTypeEnum SymbolType() const;
    // With the client's spread.
    double Bid() const;
    double Ask() const;
    // The reference symbol's prices with the same client's spread.
    double RefSymbolBid() const;
    double RefSymbolAsk() const;
    int32_t RefSymbolID() const;
    // Raw, without spread.
    double High() const;
    double Low() const;
    std::string LastQuteTime() const;
    int16_t PipLoc() const;
    std::string FormatPrice(const runtime::Variant& Price) const;
    // The raw ask for a buy, the raw bid otherwise.
    double Price(OrbanelGeneral10::OperationTypeEnum BuySell) const;
    void setSymbolParam(std::shared_ptr<CClientParam> value) { param_ = std::move(value); }
    double TickPips() const;
    double Pips(double vPips) const;
    // Always with the commission and interest terms.
    double DealProfit(double Price, double ClosePrice, double Lots,
                      OrbanelGeneral10::OperationTypeEnum BuySell, double Interest,
                      double RemainOpenComm, double RefPrice) const;
    double ContractSize() const;
    void setCommCalcType(OrbanelGeneral10::CommCalcTypeEnum value) { commCalcType_ = value; }

private:
    const OrbanelGeneral10::CSymbol& Sym() const;
    const CClientParam& Param() const;
    const CClientParam& ParentParam() const;

    std::shared_ptr<CClientParam> param_;
    OrbanelGeneral10::CommCalcTypeEnum commCalcType_ =
        static_cast<OrbanelGeneral10::CommCalcTypeEnum>(0);
};

}  // namespace OrbanexClientAPI10
