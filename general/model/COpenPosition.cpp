#include "general/model/COpenPosition.h"

#include "general/model/CClientParam.h"
#include "general/model/CSymbol.h"
#include "general/model/MModelItems.h"
#include "runtime/Convert.h"
#include "runtime/Error.h"

namespace OrbanelGeneral10 {

using modelitems::Follow;

COpenPosition::~COpenPosition() {
    Deallocate();
}

double COpenPosition::AddInterest(int16_t vDayFactor, double YearlyBuyRate, double YearlySellRate,
                                  int16_t YearDays) {
    const double rate = Type_no() == BuyType ? YearlyBuyRate : YearlySellRate;
    const double base = vDayFactor * lots() * Follow(Follow(SymbolParam()).Symbol()).Factor();
    // Floating-point division would give an infinity that poisons the totals.
    if (YearDays == 0) throw runtime::Error(runtime::errc::DivisionByZero);
    const double increment = runtime::RoundHalfEven(rate * base / YearDays, 2);
    setInterest(Interest() + increment);
    return increment;
}

double COpenPosition::FloatingProfitLoss(CommCalcTypeEnum vCommCalcType) const {
    const CClientParam& param = Follow(SymbolParam());
    const double openPrice = Price();
    const double closePrice = ClosePrice();
    const double commission = param.CommissionValue(lots());
    const double refPrice = RefClosePrice();
    const CSymbol* symbol = param.PeekSymbol();
    if (!symbol) throw runtime::Error(runtime::errc::ObjectVariableNotSet);
    const double profit = symbol->DealProfit(openPrice, closePrice, lots(), Type_no(), Interest(),
                                             commission, vCommCalcType, refPrice, true);
    return runtime::RoundHalfEven(profit, 2);
}

double COpenPosition::RefClosePrice() const {
    // Pricing runs no handler: the parent needs no share for the read.
    const CClientParam* parent = Follow(SymbolParam()).PeekParent();
    if (!parent) throw runtime::Error(runtime::errc::ObjectVariableNotSet);
    return parent->ClosePriceWithSpread(Type_no());
}

double COpenPosition::ClosePrice() const {
    return Follow(SymbolParam()).ClosePriceWithSpread(Type_no());
}

void COpenPosition::setPrice(double value) {
    price_ = Follow(Follow(SymbolParam()).Symbol()).RoundedPrice(value);
    valuation::InputsChanged();
}

double COpenPosition::Commission() const {
    return 0.0 - Follow(SymbolParam()).CommissionValue(lots());  // never a negative zero
}

void COpenPosition::Deallocate() {
    account_.reset();
}

}  // namespace OrbanelGeneral10
