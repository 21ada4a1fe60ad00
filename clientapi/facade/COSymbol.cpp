#include "clientapi/facade/COSymbol.h"

#include "general/model/CSymbol.h"
#include "general/model/MModelItems.h"

namespace OrbanexClientAPI10 {

using OrbanelGeneral10::modelitems::Follow;

COSymbol::COSymbol() : param_(std::make_shared<CClientParam>()) {}

// Parameters without a symbol are the placeholder of a view not yet pointed.
const COSymbol::CClientParam& COSymbol::Param() const {
    const CClientParam& param = Follow(param_);
    Follow(param.Symbol());
    return param;
}

const COSymbol::CClientParam& COSymbol::ParentParam() const {
    return Follow(Param().Parent());
}

const OrbanelGeneral10::CSymbol& COSymbol::Sym() const {
    return Follow(Param().Symbol());
}

int32_t COSymbol::ID() const {
    return Sym().ID();
}

std::string COSymbol::Name() const {
    return Sym().name();
}

OrbanelGeneral10::SymbolTypeEnum COSymbol::SymbolType() const {
    return Sym().SymbolType();
}

double COSymbol::Bid() const {
    return Param().BidWithSpread();
}

double COSymbol::Ask() const {
    return Param().AskWithSpread();
}

double COSymbol::RefSymbolBid() const {
    return ParentParam().BidWithSpread();
}

double COSymbol::RefSymbolAsk() const {
    return ParentParam().AskWithSpread();
}

int32_t COSymbol::RefSymbolID() const {
    return Follow(ParentParam().Symbol()).ID();
}

double COSymbol::High() const {
    return Sym().High();
}

double COSymbol::Low() const {
    return Sym().Low();
}

std::string COSymbol::LastQuteTime() const {
    return Sym().LastQuteTime();
}

int16_t COSymbol::PipLoc() const {
    return Sym().PipLocation();
}

std::string COSymbol::FormatPrice(const runtime::Variant& Price) const {
    return OrbanelGeneral10::CSymbol::FormatPriceFormula(Price, PipLoc());
}

double COSymbol::Price(OrbanelGeneral10::OperationTypeEnum BuySell) const {
    return Sym().Price(BuySell);
}

double COSymbol::TickPips() const {
    return Sym().TickPips();
}

double COSymbol::Pips(double vPips) const {
    return Sym().Pips(vPips);
}

double COSymbol::DealProfit(double Price, double ClosePrice, double Lots,
                            OrbanelGeneral10::OperationTypeEnum BuySell, double Interest,
                            double RemainOpenComm, double RefPrice) const {
    return Sym().DealProfit(Price, ClosePrice, Lots, BuySell, Interest, RemainOpenComm,
                            commCalcType_, RefPrice, true);
}

double COSymbol::ContractSize() const {
    return Sym().Factor();
}

}  // namespace OrbanexClientAPI10
