#pragma once
// The rules by which the accounts manager accepts an amount in lots, a limit
// or stop price and a stop-loss or take-profit price, and the nearest allowed
// prices it offers. Pure arithmetic over the client's parameters for one
// symbol; nothing here raises a message. An overflow in the remainder
// arithmetic raises runtime::Error(6) to the caller; a missing parameter's
// symbol raises runtime::Error(91).
#include <cstdint>
#include <string>

#include "general/common/Enums.h"
#include "runtime/Variant.h"

namespace OrbanelGeneral10 {
class CClientParam;
class CSymbol;
}  // namespace OrbanelGeneral10

namespace OrbanexClientAPI10::pricerules {

using OrbanelGeneral10::CClientParam;
using OrbanelGeneral10::CSymbol;
using OrbanelGeneral10::OperationTypeEnum;

// The largest amount an order may carry.
constexpr double kMaxAmount = 999999999;
// A real lot step is found in two or three rounds; beyond this the step is
// too small to move the search and the amount is refused.
constexpr int32_t kMaxMultipleRounds = 1000;

// ---- Lots ----
bool IsPositiveAmount(double x);
// Whether x is a whole multiple of step, compared at 4 decimals. False for a
// step of 0, one that does not move the search, and non-finite arithmetic.
bool IsMultipleOf(double x, double step);
bool LotsInRange(double x, const CClientParam& param);
bool ValidateLots(double x, const CClientParam& param);

// ---- Limit and stop prices ----
double LimitOffsetVal(OperationTypeEnum side, const CClientParam& param);
double PriceWithOffset(OperationTypeEnum side, const CClientParam& param);
std::string LimitRelation(OperationTypeEnum OrderType);

// ---- SL and TP prices ----
// Any selector but "TP" (exactly) is taken as "SL".
double SlTpOffsetVal(OperationTypeEnum vType, const CClientParam& SymbolParam,
                     const std::string& SlORTp);
double SlTpPriceWithOffset(OperationTypeEnum side, const CClientParam& param,
                           const std::string& SlORTp, double FromPrice);
std::string SlTpRelation(OperationTypeEnum OrderType, const std::string& SlORTp);

// ---- Checks ----
// A price's text for the rules: Null and Empty are "", numbers always with ".".
std::string PriceText(const runtime::Variant& price);
// True for an absent price (Null, Empty, "") and for one equal to unchanged;
// else price must lie beyond reference ("" or a text that is not a number fails).
bool CheckPriceRelation(const runtime::Variant& price, double reference,
                        const std::string& relation, const runtime::Variant& unchanged);
// Whether the price lies on the symbol's step of TickPips pips.
bool ValidatePriceTickPips(const std::string& vPrice, const CSymbol* vSymbol);
// Both operands are rounded (halves up) and written back; the remainder takes
// the sign of FirstNum; 0 when SecondNum rounds to 0.
int32_t ModLarge(double& FirstNum, double& SecondNum);
bool ValidateLimitPrice(OperationTypeEnum side, const CClientParam& param, double price,
                        double unchanged);
// An absent price (Null, Empty, "") is valid.
bool ValidateSlTpPrice(OperationTypeEnum side, const CClientParam& param, const std::string& SlORTp,
                       const runtime::Variant& price, double FromPrice, double unchanged);
// Whether an SL or TP argument holds no price (Null, Empty or "").
bool IsAbsentPrice(const runtime::Variant& price);

}  // namespace OrbanexClientAPI10::pricerules
