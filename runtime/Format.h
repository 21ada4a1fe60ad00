#pragma once
// The classic format function.
//
// Number patterns: "0" a digit always shown, "#" a digit shown when significant,
// "." the decimal point (the locale's separator in the output), "," grouping by
// three with the locale's thousands separator, "%" percent, "E+"/"E-" exponent,
// "\x" and "..." literals, up to three ";"-separated sections (positive, negative,
// zero). Rounding is halves away from zero on the decimal text (1.005 -> "1.01").
//
// Date patterns: d dd ddd dddd, m mm mmm mmmm (m/mm is the minute right after
// h/hh or right before s/ss), yy yyyy, h hh, n nn, s ss, AM/PM; "/" and ":"
// are the locale's date and time separators.
//
// Booleans: a pattern with no digit placeholder treats "A/B" as the true/false texts
// ("TRUE/FALSE" gives "TRUE" or "FALSE"); otherwise True is -1 and False 0.
// Text values that are numeric are formatted as numbers, dates as dates; other
// text comes back unchanged. Null and Empty give "" (Empty with a number pattern: as 0).
#include <string>
#include <string_view>

#include "runtime/Variant.h"

namespace runtime {

std::string Format(const Variant& value, std::string_view pattern);
std::string FormatNumber(double value, std::string_view pattern);
std::string FormatDate(Date value, std::string_view pattern);

}  // namespace runtime
