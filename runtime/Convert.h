#pragma once
// Number and text conversions with the classic semantics the whole system relies on.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/Date.h"
#include "runtime/Variant.h"

namespace runtime {

// Leading-number reading ("Val"): blanks, tabs and line feeds are skipped anywhere
// ("1 2" reads 12, "- 5" reads -5, "1\r2" reads 1); an optional sign; digits with at most one "."
// (always the decimal point, whatever the locale; "-.5" is -0.5); an optional
// exponent: E, e, D or d, an optional sign and digits, where a letter without
// digits adds nothing ("1e" and "1e+" read 1). "&H"/"&O" at the start read
// hexadecimal/octal digits, typed by size: up to FFFF a 16-bit value, up to
// FFFFFFFF a 32-bit value ("&HFFFF" is -1, "&H10000" 65536), larger ones unsigned.
// Reading stops at the first character that cannot continue the number; no number
// reads 0. Never raises; the result is correctly rounded however long the text;
// overflow gives +/-DBL_MAX, underflow 0; never -0.
double Val(std::string_view text);

// Locale-aware numeric test. The whole text must be: optional blanks (space, tab,
// CR, LF), an optional "+" or "-" (blanks may follow it), digits in which the locale's
// thousands separator may stand anywhere after the first digit ("1,234" and "1,2"),
// at most one locale decimal separator ("5." and ".5" count; at least one digit in
// all), an optional exponent (E or D, either case, optional sign, at least one digit),
// optional blanks. Or blanks, "&H" or "&O" and 1+ digits of that base up to 32 bits,
// blanks. A value beyond the double range is not numeric; the largest double
// itself ("1.7976931348623157e308") is.
// Booleans, numbers, dates and Empty (it reads as 0) are numeric; Null, objects and
// text that is empty or does not match are not.
bool IsNumeric(const Variant& value);
bool IsNumericText(std::string_view text);
// Parses a text IsNumericText accepts (in the locale); nullopt otherwise.
std::optional<double> ParseNumber(std::string_view text);

// Date test: a Date, or a text ParseDateText accepts.
bool IsDate(const Variant& value);
// Reads "d/m/yyyy", "d/m/yy", "yyyy/m/d", with an optional "h:n[:s]" time after
// blanks, or a time alone, with the locale's separators (also "/", "-" and "." as date
// separators, the same one twice, and ":" as the time separator). Fields are digits
// (a date part with 3-4 digits first is the year); a two-digit year goes through the
// window; impossible dates and times (31/04, 24:00) are refused, never carried.
// A time may end in "AM" or "PM" (either case, after blanks or not): the 12-hour
// clock, hours 0 to 12, the hour alone allowed ("10:30 PM", "7pm").
std::optional<Date> ParseDateText(std::string_view text);

// Halves-to-even rounding to a whole number (banker's rounding), decided on
// the binary value: 2.5000000000000004 -> 3. CInt and CLng use it.
double RoundHalfEven(double x);
// Decimal rounding decides halves on the number's text at 15 significant
// digits, the text NumberToText writes (0.60034999999999994 reads
// 0.600350000000000, a half), and returns the double the kept digits read
// back as. Negative `decimals` raise Error(5), as for the classic Round.
// Halves to even: 2.675 -> 2.68 and 2.665 -> 2.66 at two places.
double RoundHalfEven(double x, int32_t decimals);
// Halves away from zero: 1.005 -> 1.01, 2.675 -> 2.68; 1.15 * 3 is
// 3.4499999999999997, text 3.45000000000000, and rounds to 3.5.
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
// exponent form ("1E-05", "1.5E+20", "1E+100": mantissa, "E", sign, at least two
// digits) below 1E-4 or from 1E15 (after rounding to 15 digits), "-0" printed as "0".
// Infinities and NaN (which the system never stores) give "Infinity", "-Infinity", "NaN".
// NumberToText always writes "."; NumberToLocaleText the locale's decimal separator.
std::string NumberToText(double x);
std::string NumberToLocaleText(double x);

// Classic Str$: like NumberToText with a leading blank for non-negative numbers.
std::string Str(double x);

}  // namespace runtime
