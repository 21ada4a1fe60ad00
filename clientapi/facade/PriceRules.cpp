#include "clientapi/facade/PriceRules.h"

#include <cmath>
#include <memory>
#include <optional>

#include "general/model/CClientParam.h"
#include "general/model/CSymbol.h"
#include "general/model/MModelItems.h"
#include "runtime/Convert.h"
#include "runtime/Error.h"
#include "runtime/Strings.h"

namespace OrbanexClientAPI10::pricerules {

namespace {

using OrbanelGeneral10::modelitems::Follow;

double Round4(double v) {
    return runtime::RoundHalfEven(v, 4);
}

std::shared_ptr<CSymbol> SymbolOf(const CClientParam& param) {
    std::shared_ptr<CSymbol> symbol = param.Symbol();
    Follow(symbol);
    return symbol;
}

bool IsBuySide(OperationTypeEnum side) {
    return side == OrbanelGeneral10::BuyType || side == OrbanelGeneral10::BuyStopType;
}

bool IsSellSide(OperationTypeEnum side) {
    return side == OrbanelGeneral10::SellType || side == OrbanelGeneral10::SellStopType;
}

// A price argument as a number, the way the comparison reads it; nothing for
// a text that is not a number.
std::optional<double> NumberOf(const runtime::Variant& v) {
    try {
        return runtime::CDbl(v);
    } catch (const runtime::Error& e) {
        if (e.Number() == runtime::errc::TypeMismatch) return std::nullopt;
        throw;
    }
}

}  // namespace

// ---- Lots ----

bool IsPositiveAmount(double x) {
    return x > 0 && x <= kMaxAmount;
}

bool IsMultipleOf(double x, double step) {
    if (step == 0) return false;
    const double target = Round4(x);
    double m = Round4(std::floor(x / step) * step);
    for (int32_t round = 0; round < kMaxMultipleRounds; ++round) {
        if (!std::isfinite(m)) return false;
        if (target == Round4(m)) return true;
        const double next = m + step;
        if (!(next > m)) return false;  // a step too small (or negative) never reaches x
        m = next;
        if (Round4(m) > target) return false;
    }
    return false;
}

bool LotsInRange(double x, const CClientParam& param) {
    return param.MinLots() <= x && x <= param.MaxLots() && IsMultipleOf(x, param.MinLots());
}

bool ValidateLots(double x, const CClientParam& param) {
    return IsPositiveAmount(x) && LotsInRange(x, param);
}

// ---- Limit and stop prices ----

double LimitOffsetVal(OperationTypeEnum side, const CClientParam& param) {
    const std::shared_ptr<CSymbol> symbol = SymbolOf(param);
    switch (side) {
        case OrbanelGeneral10::BuyType:
            return -symbol->Pips(param.LimitOffset());
        case OrbanelGeneral10::BuyStopType:
            return symbol->Pips(param.StopOffset());
        case OrbanelGeneral10::SellType:
            return symbol->Pips(param.LimitOffset());
        default:
            return -symbol->Pips(param.StopOffset());
    }
}

double PriceWithOffset(OperationTypeEnum side, const CClientParam& param) {
    const double base = IsBuySide(side) ? param.AskWithSpread() : param.BidWithSpread();
    return LimitOffsetVal(side, param) + base;
}

std::string LimitRelation(OperationTypeEnum OrderType) {
    return OrderType == OrbanelGeneral10::BuyStopType || OrderType == OrbanelGeneral10::SellType
               ? ">"
               : "<";
}

// ---- SL and TP prices ----

double SlTpOffsetVal(OperationTypeEnum vType, const CClientParam& SymbolParam,
                     const std::string& SlORTp) {
    const std::shared_ptr<CSymbol> symbol = SymbolOf(SymbolParam);
    const bool tp = SlORTp == "TP";
    const double offset =
        tp ? symbol->Pips(SymbolParam.LimitOffset()) : symbol->Pips(SymbolParam.StopOffset());
    // A buy's SL lies below and its TP above; the reverse for every other side.
    return IsBuySide(vType) == tp ? offset : -offset;
}

double SlTpPriceWithOffset(OperationTypeEnum side, const CClientParam& param,
                           const std::string& SlORTp, double FromPrice) {
    return FromPrice + SlTpOffsetVal(side, param, SlORTp);
}

std::string SlTpRelation(OperationTypeEnum OrderType, const std::string& SlORTp) {
    if (IsBuySide(OrderType)) return SlORTp == "TP" ? ">" : "<";
    if (IsSellSide(OrderType)) return SlORTp == "SL" ? ">" : "<";
    return "<";
}

// ---- Checks ----

std::string PriceText(const runtime::Variant& price) {
    if (price.IsNull() || price.IsEmpty()) return {};
    if (price.IsString()) return price.StringRef();
    return runtime::NumberToText(runtime::CDbl(price));
}

bool IsAbsentPrice(const runtime::Variant& price) {
    return price.IsNull() || price.IsEmpty() || (price.IsString() && price.StringRef().empty());
}

bool CheckPriceRelation(const runtime::Variant& price, double reference,
                        const std::string& relation, const runtime::Variant& unchanged) {
    if (IsAbsentPrice(price)) return true;
    const std::optional<double> value = NumberOf(price);
    if (!value) return false;
    const std::optional<double> kept = NumberOf(unchanged);
    if (kept && *value == *kept) return true;
    return relation == ">" ? *value > reference : *value < reference;
}

bool ValidatePriceTickPips(const std::string& vPrice, const CSymbol* vSymbol) {
    if (!vSymbol) return false;
    if (runtime::Trim(vPrice).empty()) return false;
    if (!runtime::IsNumericText(vPrice)) return false;
    double tick = vSymbol->TickPips();
    if (tick == 0) return false;
    // The price in pips. Above 0 the pip is a multiple of the unit, so the
    // price is divided by it (PipLocation 100 means prices are not rounded).
    const int16_t location = vSymbol->PipLocation();
    double pips = location <= 0 ? runtime::Val(vPrice) * std::pow(10.0, -location)
                                : runtime::Val(vPrice) / std::pow(10.0, location);
    return ModLarge(pips, tick) == 0;
}

int32_t ModLarge(double& FirstNum, double& SecondNum) {
    FirstNum = std::floor(FirstNum + 0.5);
    SecondNum = std::floor(SecondNum + 0.5);
    if (SecondNum == 0) return 0;
    return runtime::CLng(FirstNum - std::trunc(FirstNum / SecondNum) * SecondNum);
}

bool ValidateLimitPrice(OperationTypeEnum side, const CClientParam& param, double price,
                        double unchanged) {
    const bool related =
        CheckPriceRelation(price, PriceWithOffset(side, param), LimitRelation(side), unchanged);
    const bool onStep = ValidatePriceTickPips(runtime::NumberToText(price), param.Symbol().get());
    return related && onStep;
}

bool ValidateSlTpPrice(OperationTypeEnum side, const CClientParam& param, const std::string& SlORTp,
                       const runtime::Variant& price, double FromPrice, double unchanged) {
    if (IsAbsentPrice(price)) return true;
    const bool related =
        CheckPriceRelation(price, SlTpPriceWithOffset(side, param, SlORTp, FromPrice),
                           SlTpRelation(side, SlORTp), unchanged);
    const bool onStep = ValidatePriceTickPips(PriceText(price), param.Symbol().get());
    return related && onStep;
}

}  // namespace OrbanexClientAPI10::pricerules
