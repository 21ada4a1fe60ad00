#pragma once
// Decimal digits of a double, the base of rounding and number texts (not part of the interface).
#include <cstdint>

namespace runtime::detail {

// |value| = 0.d1 d2 ... dn x 10^point; no leading or trailing zero digits, n == 0 for zero.
struct Decimal {
    char digits[24];
    int32_t count = 0;
    int32_t point = 0;
    bool negative = false;
};

enum class Tie { AwayFromZero, ToEven };

// The shortest text that reads back as x. x must be finite.
Decimal ShortestDigits(double x);
// x correctly rounded to `significant` digits (1..17). x must be finite.
Decimal SignificantDigits(double x, int32_t significant);
// Keeps the first `keep` digits (a negative count keeps none), rounding by the dropped ones.
void RoundDigits(Decimal& d, int64_t keep, Tie tie);
// The double nearest to the decimal.
double ToDouble(const Decimal& d);

}  // namespace runtime::detail
