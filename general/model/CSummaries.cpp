#include "general/model/CSummaries.h"

#include <cmath>

#include "runtime/Convert.h"
#include "runtime/Error.h"

namespace OrbanelGeneral10 {

namespace {

// A figure beyond the double range is an overflow, never an infinity in the totals.
double Finite(double x) {
    if (!std::isfinite(x)) throw runtime::Error(runtime::errc::Overflow);
    return x;
}

}  // namespace

void CSummaries::SetValues(const runtime::Variant& PrevMargin, const runtime::Variant& TotDep,
                           const runtime::Variant& TotComm, const runtime::Variant& MarginReq,
                           const runtime::Variant& NetProfit, const runtime::Variant& TotCredit,
                           const runtime::Variant& TotInt) {
    // Each figure is stored before the next is converted: a bad one leaves
    // the earlier ones stored, as the server's callers expect.
    setPreviousMargin(runtime::CDbl(PrevMargin));
    setTotalDeposit(runtime::CDbl(TotDep));
    setTotalCommission(runtime::CDbl(TotComm));
    setTotalInterest(runtime::CDbl(TotInt));
    setMarginRequirement(runtime::CDbl(MarginReq));
    setNetProfit(runtime::CDbl(NetProfit));
    setCredit(runtime::CDbl(TotCredit));
    DataChanged();
}

void CSummaries::Init() {
    previousMargin_ = 0;
    totalDeposit_ = 0;
    totalCommission_ = 0;
    totalInterest_ = 0;
    marginRequirement_ = 0;
    netProfit_ = 0;
    credit_ = 0;
    floatingProfitLoss_ = 0;
}

void CSummaries::FloatingProfitLossChanged(double ChangeValue, bool ReflectInterface) {
    floatingProfitLoss_ = floatingProfitLoss_ + ChangeValue;
    if (ReflectInterface) DataChanged();
}

void CSummaries::setFloatingProfitLoss(double value) {
    floatingProfitLoss_ = value;
    DataChanged();
}

double CSummaries::balance() const {
    return Finite(TotalDeposit() + PreviousMargin() + NetProfit() + TotalCommission() +
                  TotalInterest());
}

double CSummaries::equity() const {
    return Finite(FloatingProfitLoss() + balance() + credit());
}

double CSummaries::marginLevel() const {
    const double margin = MarginRequirement();
    if (margin == 0) return 1.0;
    return Finite(equity() / std::fabs(margin));
}

double CSummaries::EffectiveMargin() const {
    return runtime::RoundHalfEven(Finite(equity() + MarginRequirement()), 2);
}

}  // namespace OrbanelGeneral10
