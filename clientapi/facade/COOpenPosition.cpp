#include "clientapi/facade/COOpenPosition.h"

#include "general/model/CClientParam.h"
#include "general/model/COpenPosition.h"
#include "general/model/CSymbol.h"
#include "general/model/MModelItems.h"

namespace OrbanexClientAPI10 {

using OrbanelGeneral10::modelitems::Follow;

const OrbanelGeneral10::COpenPosition& COOpenPosition::Pos() const {
    return Follow(pos_);
}

const OrbanelGeneral10::CSymbol& COOpenPosition::Sym() const {
    // Read on every revalued position: a look, not a share, where the
    // parameters offer one (it is the same symbol).
    const auto& param = Follow(Pos().SymbolParam());
    if (const OrbanelGeneral10::CSymbol* symbol = param.PeekSymbol()) return *symbol;
    return Follow(param.Symbol());
}

double COOpenPosition::RefClosePrice() const {
    return Pos().RefClosePrice();
}

double COOpenPosition::ClosePrice() const {
    return Pos().ClosePrice();
}

int32_t COOpenPosition::Ticket() const {
    return Pos().Ticket();
}

OrbanelGeneral10::OperationTypeEnum COOpenPosition::BuySell() const {
    return Pos().Type_no();
}

double COOpenPosition::Lots() const {
    return Pos().lots();
}

double COOpenPosition::Interest() const {
    return Pos().Interest();
}

double COOpenPosition::Price() const {
    return Pos().Price();
}

double COOpenPosition::FloatingProfitLoss() const {
    return Pos().FloatingProfitLoss(commCalcType_);
}

int32_t COOpenPosition::SymbolID() const {
    return Sym().ID();
}

std::string COOpenPosition::SymbolName() const {
    return Sym().name();
}

std::string COOpenPosition::FormatPrice(const runtime::Variant& Price) const {
    return Sym().FormatPrice(Price);
}

std::string COOpenPosition::PosTime() const {
    return Pos().PosTime();
}

double COOpenPosition::Commission() const {
    return Pos().Commission();
}

bool COOpenPosition::Liquidated() const {
    return Pos().Liquidated();
}

}  // namespace OrbanexClientAPI10
