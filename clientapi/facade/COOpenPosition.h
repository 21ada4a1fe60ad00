#pragma once
// Read-only view of one open position. Every property reads the wrapped
// position at the moment it is called; before the library sets the position
// every read raises runtime::Error(91).
#include <cstdint>
#include <memory>
#include <string>

#include "general/common/Enums.h"
#include "runtime/Variant.h"

namespace OrbanelGeneral10 {
class COpenPosition;
class CSymbol;
}  // namespace OrbanelGeneral10

namespace OrbanexClientAPI10 {

class COOpenPosition {
public:
    double RefClosePrice() const;
    double ClosePrice() const;
    int32_t Ticket() const;
    OrbanelGeneral10::OperationTypeEnum BuySell() const;
    double Lots() const;
    double Interest() const;
    double Price() const;
    void setOpenPos(std::shared_ptr<OrbanelGeneral10::COpenPosition> value) {
        pos_ = std::move(value);
    }
    double FloatingProfitLoss() const;
    void setCommCalcType(OrbanelGeneral10::CommCalcTypeEnum value) { commCalcType_ = value; }
    int32_t SymbolID() const;
    std::string SymbolName() const;
    std::string FormatPrice(const runtime::Variant& Price) const;
    std::string PosTime() const;
    double Commission() const;
    bool Liquidated() const;

private:
    const OrbanelGeneral10::COpenPosition& Pos() const;
    const OrbanelGeneral10::CSymbol& Sym() const;

    std::shared_ptr<OrbanelGeneral10::COpenPosition> pos_;
    OrbanelGeneral10::CommCalcTypeEnum commCalcType_ =
        static_cast<OrbanelGeneral10::CommCalcTypeEnum>(0);
};

}  // namespace OrbanexClientAPI10
