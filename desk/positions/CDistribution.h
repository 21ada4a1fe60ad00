#pragma once
// Splits one total amount over the checked accounts of an order pane's list by
// equal parts, effective-margin ratio or equity ratio. Pure: the caller reads each
// row's figures from the sessions, hands them in, and writes back what comes out;
// the market-order and entry-order panes share it (they differ in one note and in
// the buttons the market pane changes afterwards).
//
// Each share is rounded by itself to the decimals, halves to even; nothing carries
// a remainder. A ratio whose divisor is 0 gives 0 per taking row; an effective
// margin below 0 counts as 0. A row without a session reads as an account whose
// figures are all 0.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace OrbanexDesk {

class CDistribution {
public:
    enum class Pane { MarketOrder, EntryOrder };
    enum Rule : int16_t { kNoRule = -1, kEqualParts = 0, kMarginRatio = 1, kEquityRatio = 2 };
    enum class Outcome {
        NoTotal,      // nothing changed
        NoAccount,    // checks and notes of the first pass written, amounts kept
        Distributed,  // amounts emptied, then the shares written (none without a rule)
    };

    struct Row {
        bool checked = false;
        bool seesSymbol = true;
        bool hasSession = true;
        double equity = 0;
        double effMargin = 0;
    };
    struct RowResult {
        bool checked = false;
        std::optional<std::string> note;  // the new "Result", when it changes
        std::optional<double> amount;     // the row's share, when it takes one
    };
    struct Result {
        Outcome outcome = Outcome::NoTotal;
        std::string message;  // for the desk's message box; empty when none
        bool amountsCleared = false;
        std::vector<RowResult> rows;  // one per row handed in, same order
    };

    static constexpr const char* kFillFields = "Please fill the required fields";
    static constexpr const char* kNoAccount = "No account selected";
    static constexpr const char* kChooseRule = "Please select distribution type";
    static constexpr const char* kNotVisible = " is not visible to this account";

    static Result Run(const std::vector<Row>& rows, double total, int16_t rule, int32_t decimals,
                      const std::string& SymbolName, Pane pane);
    // The note of a negative equity in that pane.
    static const char* NoBalanceNote(Pane pane);
};

}  // namespace OrbanexDesk
