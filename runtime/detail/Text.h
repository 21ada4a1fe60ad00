#pragma once
// Default text forms shared by the conversions and the format function (not part of the interface).
#include <string>
#include <string_view>

#include "runtime/Date.h"

namespace runtime::detail {

// 15 significant digits, exponent form below 1E-4 and from 1E15, `decimal` as the point.
std::string GeneralNumberText(double x, std::string_view decimal);
// "dd/mm/yyyy hh:nn:ss" with the locale's separators; the date alone at midnight, the
// time alone on day 0.
std::string GeneralDateText(Date d);
// FormatNumber without its shortcut for plain fixed-decimal patterns, the reference
// the shortcut is tested against.
std::string FormatNumberGeneral(double value, std::string_view pattern);

}  // namespace runtime::detail
