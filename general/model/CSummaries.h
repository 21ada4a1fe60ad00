#pragma once
// The money figures of one trading account and the four figures derived from
// them (balance, equity, margin level, effective margin). The derived ones
// are computed at every read, so they always match the last stores.
#include "general/common/ISafeObject.h"
#include "runtime/Event.h"
#include "runtime/Variant.h"

namespace OrbanelGeneral10 {

class CSummaries : public runtime::Object, public ISafeObject {
public:
    CSummaries() { Init(); }

    // Stores the server's seven figures in the order previous margin, deposit,
    // commission, interest, margin, net profit, credit (note the argument
    // order). A figure that is no number raises an error; those stored before
    // it keep their new values and DataChanged is not raised.
    void SetValues(const runtime::Variant& PrevMargin, const runtime::Variant& TotDep,
                   const runtime::Variant& TotComm, const runtime::Variant& MarginReq,
                   const runtime::Variant& NetProfit, const runtime::Variant& TotCredit,
                   const runtime::Variant& TotInt);
    // All eight stored figures to 0, silently.
    void Init();
    void FloatingProfitLossChanged(double ChangeValue, bool ReflectInterface);

    double PreviousMargin() const { return PreviousMargin_; }
    void setPreviousMargin(double value) { PreviousMargin_ = value; }
    double TotalDeposit() const { return TotalDeposit_; }
    void setTotalDeposit(double value) { TotalDeposit_ = value; }
    double TotalCommission() const { return TotalCommission_; }
    void setTotalCommission(double value) { TotalCommission_ = value; }
    double TotalInterest() const { return TotalInterest_; }
    void setTotalInterest(double value) { TotalInterest_ = value; }
    double MarginRequirement() const { return MarginRequirement_; }
    void setMarginRequirement(double value) { MarginRequirement_ = value; }
    double NetProfit() const { return NetProfit_; }
    void setNetProfit(double value) { NetProfit_ = value; }
    double credit() const { return credit_; }
    void setCredit(double value) { credit_ = value; }
    double FloatingProfitLoss() const { return FloatingProfitLoss_; }
    // Always raises DataChanged, even for an unchanged value.
    void setFloatingProfitLoss(double value);

    // Derived figures; a result beyond the double range raises error 6.
    double balance() const;
    double equity() const;
    // A ratio (2 means twice the margin); 1 when no margin is required.
    double marginLevel() const;
    // Equity plus the (negative) margin requirement, two decimals, halves to even.
    double EffectiveMargin() const;

    // The summary holds no references.
    void Deallocate() override {}

    runtime::Event<> DataChanged;

private:
    double PreviousMargin_ = 0;
    double TotalDeposit_ = 0;
    double TotalCommission_ = 0;
    double TotalInterest_ = 0;
    double MarginRequirement_ = 0;
    double NetProfit_ = 0;
    double credit_ = 0;
    double FloatingProfitLoss_ = 0;
};

}  // namespace OrbanelGeneral10
