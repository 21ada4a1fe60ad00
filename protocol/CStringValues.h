#pragma once
// The protocol framework's conversions: the general library's, with its own
// number reading (StringToNumber), date texts written with the locale's
// separators, and the older date parsers of the server's "dd/mm/yyyy" and
// "dd/mm/yyyy hh:nn:ss" texts.
#include <string>

#include "general/common/CStringValues.h"
#include "runtime/Date.h"
#include "runtime/Variant.h"

namespace KVGeneralDLL10 {

class CStringValues : private OrbanelGeneral10::CStringValues {
    using Base = OrbanelGeneral10::CStringValues;

public:
    using Base::BooleanToString;
    using Base::Char;
    using Base::Code;
    using Base::DateTimeSerial;
    using Base::DeCode;
    using Base::equal_one_of;
    using Base::get_element;
    using Base::get_first_val;
    using Base::inString;
    using Base::NumberToString;
    using Base::NumberToVariant;
    using Base::ToCurrencyVal;
    using Base::Translate;

    // 0 when not numeric; otherwise the text without "," read with "." as
    // the decimal point.
    double StringToNumber(const runtime::Variant& Num) const;
    // "/" and ":" in the pattern are the locale's separators.
    std::string DateToString(const runtime::Variant& vDate,
                             const std::string& vFormat = "dd/mm/yyyy") const;
    // Day, month and year around the first and last delimiter, each a number
    // (runtime::Error(13) otherwise); raises runtime::Error(5) when a
    // delimiter is missing (the empty text included).
    runtime::Date ToDate(const std::string& str, const std::string& DateDelimiter = "/") const;
    // "dd/mm/yyyy hh:nn:ss": the empty text is 1 January 1900; a text without
    // a blank or a delimiter raises runtime::Error(5), a field that is not a
    // number runtime::Error(13).
    runtime::Date ToDateTime(const std::string& str, const std::string& DateDelimiter = "/",
                             const std::string& TimeDelimiter = ":") const;
};

}  // namespace KVGeneralDLL10
