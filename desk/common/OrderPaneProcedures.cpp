#include "desk/common/OrderPaneProcedures.h"

#include <algorithm>
#include <cmath>

#include "runtime/Convert.h"

namespace OrbanexDesk {

namespace {
constexpr int32_t kMostAmountDecimals = 10;
}

void ValidateData(Ifrmorder& frmorder) {
    const double amount = runtime::Val(frmorder.txtammount());
    if (amount > 0 && frmorder.cbsymbols().ListIndex() >= 0) {
        frmorder.setCmddisEnabled(true);
        return;
    }
    frmorder.setCmdbuyEnabled(false);
    frmorder.setCmdsellEnabled(false);
    frmorder.setCmddisEnabled(false);
}

int16_t askycodekeypress(int16_t& KeyAscii, const std::string& Text) {
    if (KeyAscii == kKeyPoint && Text.find('.') != std::string::npos) KeyAscii = 0;
    const bool digit = KeyAscii >= '0' && KeyAscii <= '9';
    if (digit || KeyAscii == kKeyPoint || KeyAscii == kKeyBackspace) return KeyAscii;
    return 0;
}

void clearammountfromlistview() {}

bool IsLotsText(std::string_view text) {
    size_t digits = 0, points = 0;
    for (const char c : text) {
        if (c >= '0' && c <= '9')
            ++digits;
        else if (c == '.')
            ++points;
        else
            return false;
    }
    return digits > 0 && points <= 1;
}

int32_t AmountDecimalPlaces(const std::string& AmountDecimals) {
    const double places = runtime::RoundHalfEven(runtime::Val(AmountDecimals));
    if (!(places > 0)) return 0;
    return static_cast<int32_t>(std::min<double>(places, kMostAmountDecimals));
}

}  // namespace OrbanexDesk
