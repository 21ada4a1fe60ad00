#include "general/model/CGlobalVar.h"

#include <cmath>
#include <vector>

#include "runtime/Convert.h"
#include "runtime/Error.h"
#include "runtime/Strings.h"

namespace OrbanelGeneral10 {

void CGlobalVar::SetValues(const std::string& StrVals) {
    if (StrVals.empty()) return;
    const std::vector<std::string> items = runtime::Split(StrVals, ",");
    const auto text = [&items](size_t i) -> const std::string& {
        if (i >= items.size()) throw runtime::Error(runtime::errc::SubscriptOutOfRange);
        return items[i];
    };
    const auto number = [&text](size_t i) { return runtime::Val(text(i)); };
    try {
        multiSessionsAllowed_ = number(0) == 1;
        commCalcType_ = number(1) == 1 ? ON_OPEN_TYPE : ON_CLOSE_TYPE;
        priceChangedTimer_ = runtime::CInt(number(2));
        validLotsLocation_ = runtime::CInt(number(3));
        custumizeTradeMsg_ = number(4) == 1;
        clientConnectTimer_ = runtime::CLng(number(5));
        clientTimeoutTimer_ = runtime::CLng(number(6));
        webSecurityID_ = text(7);
        serverGMT_ = number(8);
    } catch (const runtime::Error&) {
        // A short list or a number out of range ends the parse; what was
        // stored before the failing item stays.
    }
}

double CGlobalVar::DefaultLots() const {
    const double power = std::pow(10.0, validLotsLocation_);
    if (std::isinf(power)) throw runtime::Error(runtime::errc::Overflow);
    if (power == 0) throw runtime::Error(runtime::errc::DivisionByZero);
    return 1 / power;
}

}  // namespace OrbanelGeneral10
