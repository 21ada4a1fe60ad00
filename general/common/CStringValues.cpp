#include "general/common/CStringValues.h"

#include <cmath>
#include <exception>

#include "general/common/MGenerals.h"
#include "general/common/TextPieces.h"
#include "runtime/Convert.h"
#include "runtime/Error.h"
#include "runtime/Format.h"
#include "runtime/Strings.h"

namespace OrbanelGeneral10 {

using runtime::Variant;
using namespace textpieces;

namespace {

bool IsNoValue(const Variant& v) {
    return v.IsNullOrEmptyText() || !runtime::IsNumeric(v);
}

// Occurrence `occurrence` of `find`, letter case ignored; a search after a hit
// starts one character after it, so overlapping occurrences count.
size_t NthPosition(const std::string& s, const std::string& find, int64_t occurrence) {
    if (occurrence < 1 || find.empty()) return 0;
    int64_t start = 1;
    for (int64_t n = 1;; ++n) {
        const size_t p = runtime::InStr(start, s, find, runtime::Compare::Text);
        if (p == 0 || n == occurrence) return p;
        start = static_cast<int64_t>(p) + 1;
    }
}

}  // namespace

bool CStringValues::IsInPeriod(const std::string& vTime, const std::string& FromTime,
                               const std::string& ToTime) const {
    const runtime::Date t = runtime::CDate(Variant(vTime));
    const runtime::Date from = runtime::CDate(Variant(FromTime));
    const runtime::Date to = runtime::CDate(Variant(ToTime));
    return from <= t && t <= to;
}

bool CStringValues::equal_one_of(const std::string& Item, const std::string& v_array,
                                 const std::string& seperator) const {
    if (seperator.empty()) return Item == v_array;
    size_t start = 0;
    for (;;) {
        const size_t p = v_array.find(seperator, start);
        const size_t end = p == std::string::npos ? v_array.size() : p;
        if (std::string_view(v_array).substr(start, end - start) == Item) return true;
        if (p == std::string::npos) return false;
        start = p + 1;  // one character past the separator
    }
}

std::string CStringValues::get_first_val(std::string v_array, std::string& remain_values,
                                         const std::string& seperator) const {
    // An empty separator is never found, so a caller that loops until the
    // remainder is empty always ends.
    const size_t p =
        seperator.empty() ? 0 : runtime::InStr(v_array, seperator, runtime::Compare::Text);
    if (p == 0) {
        remain_values.clear();
        return v_array;
    }
    remain_values = runtime::Mid(v_array, static_cast<int64_t>(p + seperator.size()));
    return runtime::Left(v_array, p - 1);
}

std::string CStringValues::get_element(const std::string& v_array, int16_t v_element,
                                       const std::string& seperator) const {
    if (v_element < 1) return "-1";
    int64_t start = 1;
    if (v_element > 1) {
        const size_t previous = NthPosition(v_array, seperator, v_element - 1);
        if (previous == 0) return "-1";
        start = static_cast<int64_t>(previous) + 1;
    }
    const size_t end = NthPosition(v_array, seperator, v_element);
    if (end == 0) return runtime::Mid(v_array, start);
    return runtime::Mid(v_array, start, static_cast<int64_t>(end) - start);
}

std::string CStringValues::NumberToString(const Variant& Num) const {
    if (IsNoValue(Num)) return "";
    return runtime::Trim(runtime::CStr(Num));
}

Variant CStringValues::NumberToVariant(const Variant& Num) const {
    if (!runtime::IsNumeric(Num)) return runtime::Null;
    return Variant(StringToNumber2(Num, ".", ","));
}

double CStringValues::StringToNumber2(const Variant& Num, const std::string& LocalDecimal,
                                      const std::string& LocalThousand) const {
    return runtime::Val(FormatStringAsNumber(Num, LocalDecimal, LocalThousand));
}

std::string CStringValues::FormatStringAsNumber(const Variant& Num, const std::string& LocalDecimal,
                                                const std::string& LocalThousand) const {
    if (IsNoValue(Num)) return "";
    const std::string text = runtime::Replace(runtime::CStr(Num), LocalThousand, "");
    return runtime::Replace(text, LocalDecimal, ".");
}

std::string CStringValues::BooleanToString(bool vBool) const {
    return vBool ? "TRUE" : "FALSE";
}

std::string CStringValues::DateToString(const Variant& vDate, const std::string& vFormat) const {
    if (vDate.IsNullOrEmptyText() || !runtime::IsDate(vDate)) return "";
    return MyFormat(vDate, vFormat);
}

std::string CStringValues::MyFormat(const Variant& vDate, const std::string& vFormat) const {
    return SafeFormat(vDate, vFormat);
}

Variant CStringValues::inString(const std::string& String1, const std::string& String2,
                                int32_t /*Start*/, int16_t Occurrence) const {
    return Variant(static_cast<int32_t>(NthPosition(String1, String2, Occurrence)));
}

std::string CStringValues::ToCurrencyVal(const Variant& vVal, bool ShowComma) const {
    if (IsNoValue(vVal)) return "";
    try {
        return runtime::FormatNumber(runtime::CDbl(vVal), ShowComma ? "###,###,###,###,###,##0.00"
                                                                    : "#################0.00");
    } catch (const runtime::Error&) {
        return "";  // a numeric text too large for a double
    }
}

std::string CStringValues::FormatGMTDate(const std::string& vDate, double ToGMTOffset,
                                         double ServerGMTOffset, GMTConvertTypeEnum ConvertType,
                                         const std::string& DateDelimiter,
                                         const std::string& TimeDelimiter,
                                         DateFormatsEnum vDateFormat) const {
    if (vDate.empty()) return "";
    try {
        const runtime::Date parsed = ToDateTime(vDate, DateDelimiter, TimeDelimiter, vDateFormat);
        const runtime::Date shifted =
            ConvertGMTVal(parsed, ToGMTOffset, ServerGMTOffset, ConvertType);
        return MyFormat(Variant(shifted), FormatString(vDateFormat, DateDelimiter, TimeDelimiter));
    } catch (const std::exception&) {
        return "";
    }
}

runtime::Date CStringValues::ConvertGMTVal(runtime::Date vDate, double ToGMTOffset,
                                           double ServerGMTOffset,
                                           GMTConvertTypeEnum ConvertType) const {
    return runtime::Date(vDate.value +
                         ClientServerGMTOffset(ToGMTOffset, ServerGMTOffset, ConvertType) / 24.0);
}

double CStringValues::ClientServerGMTOffset(double ToGMTOffset, double ServerGMTOffset,
                                            GMTConvertTypeEnum ConvertType) const {
    return static_cast<double>(ConvertType) * (ToGMTOffset - ServerGMTOffset);
}

std::string CStringValues::FormatString(DateFormatsEnum vFormat, const std::string& DateDelimiter,
                                        const std::string& TimeDelimiter) const {
    const std::string& d = DateDelimiter;
    const std::string& t = TimeDelimiter;
    const std::string hms = "hh" + t + "nn" + t + "ss";
    const std::string hm = "hh" + t + "nn";
    switch (vFormat) {
        case DDspMMspYYYY:
            return "dd" + d + "mm" + d + "yyyy";
        case DDspMMspYY:
            return "dd" + d + "mm" + d + "yy";
        case DDspMMspYYYY_HHspNNspSS:
            return "dd" + d + "mm" + d + "yyyy " + hms;
        case DDspMMspYY_HHspNNspSS:
            return "dd" + d + "mm" + d + "yy " + hms;
        case YYYYspMMspDD_HHspNNspSS:
            return "yyyy" + d + "mm" + d + "dd " + hms;
        case YYspMMspDD_HHspNNspSS:
            return "yy" + d + "mm" + d + "dd " + hms;
        case HHspNN:
            return hm;
        case HHspNNspSS:
            return hms;
        case DDspMMspYYYY_HHspNN:
            return "dd" + d + "mm" + d + "yyyy " + hm;
        case YYYYspMMspDD_HHspNN:
            return "yyyy" + d + "mm" + d + "dd " + hm;
    }
    return "";
}

runtime::Date CStringValues::ToDate(const std::string& str,
                                    const std::string& DateDelimiter) const {
    return ToDateTime(str, DateDelimiter, ":", DDspMMspYYYY);
}

int16_t CStringValues::DateField(const std::string& piece) const {
    return runtime::CInt(StringToNumber2(Variant(piece), ".", ","));
}

runtime::Date CStringValues::ToDateTime(const std::string& vDate, const std::string& DateDelimiter,
                                        const std::string& TimeDelimiter,
                                        DateFormatsEnum vDateFormat) const {
    if (vDate.empty()) return runtime::DateTimeSerial(1900, 1, 1, 0, 0, 0);
    const std::string text = runtime::Trim(vDate);
    const size_t d1 = FirstPos(text, DateDelimiter);
    const size_t d2 = LastPos(text, DateDelimiter);
    const size_t t1 = FirstPos(text, TimeDelimiter);
    const size_t t2 = LastPos(text, TimeDelimiter);
    size_t s = LastPos(text, " ");
    if (s == 0) s = text.size() + 1;

    int16_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    switch (vDateFormat) {
        case DDspMMspYYYY:
        case DDspMMspYY:
        case DDspMMspYYYY_HHspNNspSS:
        case DDspMMspYY_HHspNNspSS:
        case DDspMMspYYYY_HHspNN:
            day = DateField(Before(text, d1));
            month = DateField(Between(text, d1, d2));
            year = DateField(Between(text, d2, s));
            break;
        case YYYYspMMspDD_HHspNNspSS:
        case YYspMMspDD_HHspNNspSS:
        case YYYYspMMspDD_HHspNN:
            year = DateField(Before(text, d1));
            month = DateField(Between(text, d1, d2));
            day = DateField(Between(text, d2, s));
            break;
        case HHspNN:
            hour = DateField(Before(text, t1));
            minute = DateField(After(text, t1));
            break;
        case HHspNNspSS:
            hour = DateField(Before(text, t1));
            minute = DateField(Between(text, t1, t2));
            second = DateField(After(text, t2));
            break;
    }

    const bool withSeconds = vDateFormat >= DDspMMspYYYY && vDateFormat <= YYspMMspDD_HHspNNspSS;
    const bool withMinutes =
        vDateFormat == DDspMMspYYYY_HHspNN || vDateFormat == YYYYspMMspDD_HHspNN;
    if ((withSeconds || withMinutes) && t1 >= 1) {
        hour = DateField(Between(text, s, t1));
        if (withSeconds) {
            minute = DateField(Between(text, t1, t2));
            second = DateField(After(text, t2));
        } else {
            minute = DateField(After(text, t1));
        }
    }
    return DateTimeSerial(year, month, day, hour, minute, second);
}

runtime::Date CStringValues::DateTimeSerial(int16_t Year, int16_t Month, int16_t day, int16_t Hour,
                                            int16_t Minute, int16_t Second) const {
    return runtime::DateTimeSerial(Year, Month, day, Hour, Minute, Second);
}

std::string CStringValues::Translate(std::string str, const std::string& CharsToReplace,
                                     const std::string& ReplacedWith) const {
    // Decide on the input so that a replaced character is never replaced again.
    std::string out = str;
    for (size_t i = 0; i < str.size(); ++i) {
        const size_t j = CharsToReplace.find(str[i]);
        if (j != std::string::npos && j < ReplacedWith.size()) out[i] = ReplacedWith[j];
    }
    return out;
}

std::string CStringValues::Char(const std::string& str, int32_t Loc) const {
    return Piece(str, Loc, 1);
}

std::string CStringValues::Code(const std::string& str) const {
    return Translate(str, std::string(kPlainTable), std::string(kCodedTable));
}

std::string CStringValues::DeCode(const std::string& str) const {
    return Translate(str, std::string(kCodedTable), std::string(kPlainTable));
}

std::string CStringValues::DoubleToTime(double vGMTOffset) const {
    if (vGMTOffset == 0) return "00:00";
    if (!std::isfinite(vGMTOffset)) return "";
    // The hour is taken downwards and the minutes added, so -3.5 is -04:30.
    double hours = std::floor(vGMTOffset);
    double minutes = runtime::RoundHalfEven((vGMTOffset - hours) * 60.0);
    if (minutes >= 60) {  // 2.9999 is +03:00, never +02:60
        hours += 1;
        minutes -= 60;
    }
    return std::string(vGMTOffset > 0 ? "+" : "-") + runtime::FormatNumber(std::fabs(hours), "00") +
           ":" + runtime::FormatNumber(minutes, "00");
}

double CStringValues::TimeToDouble(const std::string& vTime) const {
    try {
        const size_t p = runtime::InStr(vTime, ":");
        if (p == 0) return 0;
        const double hours = runtime::CInt(Variant(runtime::Left(vTime, p - 1)));
        const double minutes =
            runtime::CInt(Variant(runtime::Mid(vTime, static_cast<int64_t>(p) + 1)));
        return hours + minutes / 60.0;
    } catch (const runtime::Error&) {
        return 0;
    }
}

}  // namespace OrbanelGeneral10
