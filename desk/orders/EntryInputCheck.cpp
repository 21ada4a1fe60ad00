#include "desk/orders/EntryInputCheck.h"

#include "desk/orders/EntryOrderTypes.h"
#include "runtime/Convert.h"

namespace OrbanexDesk {

bool EntryInputCheck::SubmitEnabled(const EntryInputs& in) {
    return in.PaneMode == kModeSLTP ? PositionPasses(in) : EntryPasses(in);
}

bool EntryInputCheck::Side(const std::string& price, const std::string& boundary, bool below) {
    if (price.empty()) return true;
    const double p = runtime::Val(price), b = runtime::Val(boundary);
    return below ? p < b : p > b;
}

bool EntryInputCheck::EntryPasses(const EntryInputs& in) {
    if (!EntryOrderType(in.typeIndex)) return false;
    const bool below = in.typeIndex == kBuyLimit || in.typeIndex == kSellStop;
    const double at = runtime::Val(in.txtatprice);
    const double boundary = runtime::Val(in.lblpricecondition);
    if (below ? !(at < boundary) : !(at > boundary)) return false;
    if (at <= 0) return false;
    const bool buy = IsBuyEntry(in.typeIndex);
    return Side(in.txtsl, in.lblslchanged, buy) && Side(in.txttp, in.lbltpchanged, !buy);
}

bool EntryInputCheck::PositionPasses(const EntryInputs& in) {
    bool buy;
    if (in.PositionSide == "Buy") {
        buy = true;
    } else if (in.PositionSide == "Sell") {
        buy = false;
    } else {
        return false;
    }
    // A negative amount would be sent as it stands: it never fits.
    const double amount = runtime::Val(in.txtlimitorderammount);
    const bool amountFits = amount >= 0 && amount <= runtime::Val(in.EditAmount);
    return Side(in.txtsl, in.lblslchanged, buy) && Side(in.txttp, in.lbltpchanged, !buy) &&
           amountFits;
}

}  // namespace OrbanexDesk
