#include "desk/orders/PriceConditions.h"

#include "desk/orders/EntryOrderTypes.h"
#include "runtime/Convert.h"

namespace OrbanexDesk {

namespace {
// A label shows the general number format, and a value read back from a label is
// what the dealer sees (1.2345 - 0.0005 shows and reads "1.234").
std::string Shown(double value) {
    return runtime::NumberToText(value);
}
double AsShown(double value) {
    return runtime::Val(Shown(value));
}
}  // namespace

bool ConditionLabels::Unchanged() const {
    return !lblcondition && !lblpricecondition && !lblslcondition && !lblslchanged &&
           !lbltpcondition && !lbltpchanged;
}

ConditionLabels PriceConditions::Compute(const PriceConditionInputs& in) {
    if (!in.symbol) return {};
    if (!in.visible || !in.visible()) return {};
    const double lo = in.limitOffset ? in.limitOffset() : -1;
    const double so = in.stopOffset ? in.stopOffset() : -1;
    if (in.PaneMode == kModeSLTP) return PositionLabels(in, lo, so);
    return EntryLabels(in, lo, so);
}

ConditionLabels PriceConditions::EntryLabels(const PriceConditionInputs& in, double lo, double so) {
    if (!EntryOrderType(in.typeIndex) || in.symbolIndex == -1) return {};
    const bool limit = in.typeIndex == kBuyLimit || in.typeIndex == kSellLimit;
    const bool buy = IsBuyEntry(in.typeIndex);
    const double offset = limit ? lo : so;
    const double reference = buy ? in.symbol->ask : in.symbol->bid;
    // A buy limit and a sell stop wait below the market, the other two above it.
    const bool below = in.typeIndex == kBuyLimit || in.typeIndex == kSellStop;
    const double boundary = AsShown(below ? reference - offset : reference + offset);
    const double p = in.txtatprice.empty() ? boundary : runtime::Val(in.txtatprice);
    ConditionLabels out;
    out.lblcondition = below ? "<" : ">";
    out.lblpricecondition = Shown(boundary);
    out.lblslcondition = buy ? "<" : ">";
    out.lblslchanged = Shown(buy ? p - offset : p + offset);
    out.lbltpcondition = buy ? ">" : "<";
    out.lbltpchanged = Shown(buy ? p + offset : p - offset);
    return out;
}

ConditionLabels PriceConditions::PositionLabels(const PriceConditionInputs& in, double lo,
                                                double so) {
    ConditionLabels out;
    if (in.PositionSide == "Buy") {
        const double bid = AsShown(in.symbol->bid);
        out.lblslcondition = "<";
        out.lblslchanged = Shown(bid - so);
        out.lbltpcondition = ">";
        out.lbltpchanged = Shown(bid + lo);
    } else if (in.PositionSide == "Sell") {
        const double ask = AsShown(in.symbol->ask);
        out.lblslcondition = ">";
        out.lblslchanged = Shown(ask + so);
        out.lbltpcondition = "<";
        out.lbltpchanged = Shown(ask - lo);
    }
    return out;
}

}  // namespace OrbanexDesk
