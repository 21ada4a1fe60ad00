#pragma once
// Number and text conversions with the classic semantics the whole system relies on.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/Date.h"
#include "runtime/Variant.h"

namespace runtime {

// Leading-number reading ("Val"): blanks, tabs, CR and LF are skipped anywhere
// ("1 2" reads 12); an optional sign; digits with at most one "." (always the
// decimal point, whatever the locale); an optional exponent E or D with sign
// and digits; "&H"/"&O" prefixes read hexadecimal/octal integers. Reading stops
// at the first character that cannot continue the number; no number reads 0.
// Never raises; overflowing exponents give +/-infinity clamped to +/-DBL_MAX.
double Val(std::string_view text);

// Locale-aware numeric test: optional blanks, a sign, digits with the locale's
// thousands separators, the locale's decimal separator, an exponent, or an
// "&H"/"&O" integer. Booleans, numbers and dates are numeric; Null and Empty text are not.
bool IsNumeric(const Variant& value);
bool IsNumericText(std::string_view text);
// Parses a text IsNumericText accepts (in the locale); nullopt otherwise.
std::optional<double> ParseNumber(std::string_view text);

// Date test: a Date, or a text ParseDateText accepts.
bool IsDate(const Variant& value);
// Reads "d/m/yyyy", "d/m/yy", "yyyy/m/d", with an optional "h:n[:s]" time, or a
// time alone, with the locale's separators (also "-" and "." as date separators).
std::optional<Date> ParseDateText(std::string_view text);

// Halves-to-even rounding to a whole number (banker's rounding).
double RoundHalfEven(double x);
// Halves-to-even rounding to `decimals` places, decided on the value's shortest
// decimal text so 2.675 is a tie at two places.
double RoundHalfEven(double x, int32_t decimals);
// Halves-away-from-zero rounding at `decimals`, decided on the shortest
// round-trip decimal text of x (1.005 -> 1.01, 2.675 -> 2.68).
double RoundHalfAway(double x, int32_t decimals);

// Strict integer conversions: halves to even; outside the range raises Error(6).
int16_t CInt(double x);
int32_t CLng(double x);
int16_t CInt(const Variant& v);
int32_t CLng(const Variant& v);
double CDbl(const Variant& v);
bool CBool(const Variant& v);
Date CDate(const Variant& v);
std::string CStr(const Variant& v);

// Number to text: up to 15 significant digits, no grouping, no trailing zeros,
// exponent form ("1E-05", "1.5E+20") below 1E-4 or from 1E15, "-0" printed as "0".
// NumberToText always writes "."; NumberToLocaleText the locale's decimal separator.
std::string NumberToText(double x);
std::string NumberToLocaleText(double x);

// Classic Str$: like NumberToText with a leading blank for non-negative numbers.
std::string Str(double x);

}  // namespace runtime
