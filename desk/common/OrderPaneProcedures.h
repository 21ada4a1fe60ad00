#pragma once
// The accounts window's helpers for the order panes that need no window and no
// session: the distribution rules' captions, the Distribute button's enabling,
// the amount key filter and the check of an amount text before anything is sent.
#include <cstdint>
#include <string>
#include <string_view>

#include "desk/common/Ports.h"

namespace OrbanexDesk {

constexpr int16_t kKeyBackspace = 8;
constexpr int16_t kKeyPoint = 46;

// The captions of the panes' distribution-rule combos, in rule order: the
// combo's index is the rule the panes pass on to the distribution.
inline constexpr const char* kDistributionRules[] = {
    "Distribute as equal parts", "Distribute by margin Ratio", "Distribute by equity Ratio"};

// Distribute enabled when the total reads above 0 and a symbol is chosen; else
// Distribute, Buy and Sell disabled.
void ValidateData(Ifrmorder& frmorder);

// The key filter of amount fields: a second "." becomes 0 in KeyAscii; the result
// is the key for a digit, "." or Backspace, else 0 (the pane drops a 0).
int16_t askycodekeypress(int16_t& KeyAscii, const std::string& Text);

// Kept as the panes expect it: it leaves every list as it is.
void clearammountfromlistview();

// The one lot-count rule of both order panes, for a total before it is spread and
// for a row's amount before it is sent: digits with at most one "." (and one digit
// at least), as the key filter lets a dealer type; no sign, blank, exponent,
// grouping or protocol marker, which a paste could bring. A text that fails is
// refused with kInvalidLots.
bool IsLotsText(std::string_view text);
inline constexpr const char* kInvalidLots = "Invalid Lots";

// The desk's AmountDecimals text as decimal places: read as a number, rounded,
// held to 0..10 (a bad setting never gives a negative or absurd precision).
int32_t AmountDecimalPlaces(const std::string& AmountDecimals);

}  // namespace OrbanexDesk
