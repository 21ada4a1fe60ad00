#include "protocol/CStringValues.h"

#include "general/common/TextPieces.h"
#include "runtime/Convert.h"
#include "runtime/Format.h"
#include "runtime/Strings.h"

namespace KVGeneralDLL10 {

using runtime::Variant;
using namespace OrbanelGeneral10::textpieces;

namespace {

// A field of these older layouts must be a number: "2024 10:00" as a year is
// a type mismatch, not year 0.
int16_t Field(const std::string& piece) {
    return runtime::CInt(Variant(piece));
}

}  // namespace

double CStringValues::StringToNumber(const Variant& Num) const {
    if (!runtime::IsNumeric(Num)) return 0;
    return runtime::Val(runtime::Replace(runtime::CStr(Num), ",", ""));
}

std::string CStringValues::DateToString(const Variant& vDate, const std::string& vFormat) const {
    if (vDate.IsNullOrEmptyText() || !runtime::IsDate(vDate)) return "";
    return runtime::Format(vDate, vFormat);
}

runtime::Date CStringValues::ToDate(const std::string& str,
                                    const std::string& DateDelimiter) const {
    const std::string text = runtime::Trim(str);
    const size_t d1 = FirstPos(text, DateDelimiter);
    const size_t d2 = LastPos(text, DateDelimiter);
    const int16_t day = Field(Before(text, d1));
    const int16_t month = Field(Between(text, d1, d2));
    const int16_t year = Field(After(text, d2));
    return DateTimeSerial(year, month, day);
}

runtime::Date CStringValues::ToDateTime(const std::string& str, const std::string& DateDelimiter,
                                        const std::string& TimeDelimiter) const {
    if (str.empty()) return runtime::DateTimeSerial(1900, 1, 1, 0, 0, 0);
    const std::string text = runtime::Trim(str);
    const size_t d1 = FirstPos(text, DateDelimiter);
    const size_t d2 = LastPos(text, DateDelimiter);
    const size_t t1 = FirstPos(text, TimeDelimiter);
    const size_t t2 = LastPos(text, TimeDelimiter);
    const size_t s = LastPos(text, " ");  // 0 without a blank: the year's length goes negative
    const int16_t day = Field(Before(text, d1));
    const int16_t month = Field(Between(text, d1, d2));
    const int16_t year = Field(Between(text, d2, s));
    const int16_t hour = Field(Between(text, s, t1));
    const int16_t minute = Field(Between(text, t1, t2));
    const int16_t second = Field(After(text, t2));
    return DateTimeSerial(year, month, day, hour, minute, second);
}

}  // namespace KVGeneralDLL10
