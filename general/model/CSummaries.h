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

    double PreviousMargin() const { return previousMargin_; }
    void setPreviousMargin(double value) { previousMargin_ = value; }
    double TotalDeposit() const { return totalDeposit_; }
    void setTotalDeposit(double value) { totalDeposit_ = value; }
    double TotalCommission() const { return totalCommission_; }
    void setTotalCommission(double value) { totalCommission_ = value; }
    double TotalInterest() const { return totalInterest_; }
    void setTotalInterest(double value) { totalInterest_ = value; }
    double MarginRequirement() const { return marginRequirement_; }
    void setMarginRequirement(double value) { marginRequirement_ = value; }
    double NetProfit() const { return netProfit_; }
    void setNetProfit(double value) { netProfit_ = value; }
    double credit() const { return credit_; }
    void setCredit(double value) { credit_ = value; }
    double FloatingProfitLoss() const { return floatingProfitLoss_; }
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
    double previousMargin_ = 0;
    double totalDeposit_ = 0;
    double totalCommission_ = 0;
    double totalInterest_ = 0;
    double marginRequirement_ = 0;
    double netProfit_ = 0;
    double credit_ = 0;
    double floatingProfitLoss_ = 0;
};

}  // namespace OrbanelGeneral10
