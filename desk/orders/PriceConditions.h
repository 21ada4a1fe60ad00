#pragma once
// The six condition labels of the entry-order pane: on which side of which price
// the at price, stop-loss and take-profit must lie. Computes the captions from a
// snapshot; a label left nullopt keeps what it shows (every early stop leaves all
// six). The look-ups that cost a walk over the sessions (visibility, offsets) are
// asked only once the cheaper stops have passed. Stateless; any thread.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace OrbanexDesk {

struct ConditionLabels {
    std::optional<std::string> lblcondition, lblpricecondition;
    std::optional<std::string> lblslcondition, lblslchanged;
    std::optional<std::string> lbltpcondition, lbltpchanged;

    bool Unchanged() const;
    bool operator==(const ConditionLabels&) const = default;
};

struct PriceConditionInputs {
    std::string PaneMode;
    std::string PositionSide;
    int32_t typeIndex = -1;    // cblimiordertype's list position
    int32_t symbolIndex = -1;  // cblimitordersymbols' list position
    std::string txtatprice;
    // The desk's symbol of the combo's text: none when the desk has no such symbol.
    struct Quote {
        double bid = 0, ask = 0;
    };
    std::optional<Quote> symbol;
    // Whether an account of the pane sees the symbol.
    std::function<bool()> visible;
    // Limit and stop offsets as price distances; -1 when no account counts.
    std::function<double()> limitOffset;
    std::function<double()> stopOffset;
};

class PriceConditions {
public:
    static ConditionLabels Compute(const PriceConditionInputs& in);

private:
    static ConditionLabels EntryLabels(const PriceConditionInputs& in, double lo, double so);
    static ConditionLabels PositionLabels(const PriceConditionInputs& in, double lo, double so);
};

}  // namespace OrbanexDesk
