#include "desk/positions/CDistribution.h"

#include <algorithm>

#include "runtime/Convert.h"

namespace OrbanexDesk {

namespace {
struct Sums {
    int32_t count = 0;
    double equity = 0;
    double effMargin = 0;
};

double Equity(const CDistribution::Row& row) {
    return row.hasSession ? row.equity : 0;
}
// An account deep in margin takes nothing rather than lowering the others' divisor.
double TakingMargin(const CDistribution::Row& row) {
    return row.hasSession ? std::max(row.effMargin, 0.0) : 0;
}
double Ratio(double total, double part, double whole) {
    return whole == 0 ? 0 : total * part / whole;
}
}  // namespace

const char* CDistribution::NoBalanceNote(Pane pane) {
    return pane == Pane::MarketOrder ? "No Balance" : " no Balance  ";
}

CDistribution::Result CDistribution::Run(const std::vector<Row>& rows, double total, int16_t rule,
                                         int32_t decimals, const std::string& SymbolName,
                                         Pane pane) {
    Result result;
    result.rows.resize(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) result.rows[i].checked = rows[i].checked;
    if (total == 0) {
        result.message = kFillFields;
        return result;
    }

    Sums sums;
    for (size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        RowResult& out = result.rows[i];
        if (!row.checked) continue;
        if (!row.seesSymbol) {
            out.checked = false;
            out.note = SymbolName + kNotVisible;
        } else if (Equity(row) < 0) {
            out.checked = false;
            out.note = NoBalanceNote(pane);
        } else {
            ++sums.count;
            sums.equity += Equity(row);
            sums.effMargin += TakingMargin(row);
        }
    }
    if (sums.count == 0) {
        result.outcome = Outcome::NoAccount;
        result.message = kNoAccount;
        return result;
    }

    result.outcome = Outcome::Distributed;
    result.amountsCleared = true;
    if (rule == kNoRule) result.message = kChooseRule;
    if (rule < kEqualParts || rule > kEquityRatio) return result;
    for (size_t i = 0; i < rows.size(); ++i) {
        RowResult& out = result.rows[i];
        if (!out.checked || !rows[i].seesSymbol) continue;
        double share = total / sums.count;
        if (rule == kMarginRatio) share = Ratio(total, TakingMargin(rows[i]), sums.effMargin);
        if (rule == kEquityRatio) share = Ratio(total, Equity(rows[i]), sums.equity);
        out.amount = runtime::RoundHalfEven(share, decimals);
    }
    return result;
}

}  // namespace OrbanexDesk
