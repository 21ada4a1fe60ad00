#pragma once
// The classic format function.
//
// Number patterns: "0" a digit always shown, "#" a digit shown when significant,
// "." the decimal point (the locale's separator in the output), "," grouping by
// three with the locale's thousands separator, "%" percent, "E+"/"E-" exponent,
// "\x" and "..." literals, up to three ";"-separated sections (positive, negative,
// zero). Rounding is halves away from zero on the decimal text (1.005 -> "1.01").
//
// Date patterns (letters in any case): d dd ddd dddd (ddddd: the short date),
// m mm mmm mmmm (m/mm is the minute when the nearest date part before it is h/hh or
// the nearest after it is s/ss), y (day of the year) yy yyyy, h hh, n nn, s ss,
// AM/PM am/pm A/P a/p (12-hour clock); "/" and ":" are the locale's date and time
// separators. Other letters are literal, like "\x" and "quoted" text.
//
// Rounding uses the value's text at 15 significant digits (as RoundHalfAway does), and
// the whole-number part is never cut ("0.00" of 1E20 prints 21 digits). A value that
// rounds to zero loses its minus sign. A decimal point in the pattern is always written
// ("0.##" of 5 is "5."). Commas right after the last whole-number placeholder divide by
// 1000 each ("#,##0," shows thousands); a comma between placeholders asks for grouping.
//
// Booleans: the named patterns "True/False", "Yes/No" and "On/Off", in any letter
// case, give the half for the value as the pattern writes it ("TRUE/FALSE" gives
// "TRUE" or "FALSE"); with any other pattern True is -1 and False 0.
// An empty pattern gives the default text (NumberToLocaleText, "True"/"False", the
// general date "dd/mm/yyyy hh:nn:ss" without a zero part, text unchanged).
// Numbers with a date pattern (no "0" or "#", some date letter) are formatted as
// dates, dates with a number pattern as numbers. Text values that are numeric in the
// locale are formatted as numbers, date texts (ParseDateText) as dates; other text
// comes back unchanged. Null and Empty give "" (Empty with a number pattern: as 0).
// Objects raise Error(13); dates outside 100-9999 raise Error(5).
#include <string>
#include <string_view>

#include "runtime/Variant.h"

namespace runtime {

std::string Format(const Variant& value, std::string_view pattern);
std::string FormatNumber(double value, std::string_view pattern);
std::string FormatDate(Date value, std::string_view pattern);

}  // namespace runtime
