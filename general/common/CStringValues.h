#pragma once
// The one place where values become texts and back: numbers and money
// amounts, Booleans, dates in the server's fixed layouts, shifts between GMT
// offsets, separated lists, and the coder that scrambles saved credentials.
// Stateless: every member depends only on its arguments, the clock and the locale.
#include <cstdint>
#include <string>
#include <string_view>

#include "general/common/Enums.h"
#include "general/common/ISafeObject.h"
#include "runtime/Date.h"
#include "runtime/Variant.h"

namespace OrbanelGeneral10 {

class CStringValues : public ISafeObject {
public:
    CStringValues() = default;
    ~CStringValues() override = default;

    // Raises runtime::Error(13) when a text is not a time.
    bool IsInPeriod(const std::string& vTime, const std::string& FromTime,
                    const std::string& ToTime) const;

    // Lists. The separators of equal_one_of and get_element are one character.
    bool equal_one_of(const std::string& Item, const std::string& v_array,
                      const std::string& seperator = ",") const;
    std::string get_first_val(std::string v_array, std::string& remain_values,
                              const std::string& seperator = ",") const;
    std::string get_element(const std::string& v_array, int16_t v_element,
                            const std::string& seperator = ",") const;

    // Numbers. Null, the empty text and non-numeric values give "", 0 or Null.
    std::string NumberToString(const runtime::Variant& Num) const;
    runtime::Variant NumberToVariant(const runtime::Variant& Num) const;
    double StringToNumber2(const runtime::Variant& Num, const std::string& LocalDecimal,
                           const std::string& LocalThousand) const;
    std::string FormatStringAsNumber(const runtime::Variant& Num,
                                     const std::string& LocalDecimal = ".",
                                     const std::string& LocalThousand = ",") const;
    std::string BooleanToString(bool vBool) const;
    std::string DateToString(const runtime::Variant& vDate,
                             const std::string& vFormat = "dd/mm/yyyy") const;
    // "/" and ":" in the pattern stay literal whatever the locale's separators.
    std::string MyFormat(const runtime::Variant& vDate, const std::string& vFormat) const;
    // Position (a Long) of occurrence `Occurrence`, letter case ignored; `Start` is unused.
    runtime::Variant inString(const std::string& String1, const std::string& String2,
                              int32_t Start = 1, int16_t Occurrence = 1) const;
    std::string ToCurrencyVal(const runtime::Variant& vVal, bool ShowComma = true) const;

    // Dates and GMT offsets.
    std::string FormatGMTDate(const std::string& vDate, double ToGMTOffset, double ServerGMTOffset,
                              GMTConvertTypeEnum ConvertType,
                              const std::string& DateDelimiter = "/",
                              const std::string& TimeDelimiter = ":",
                              DateFormatsEnum vDateFormat = DDspMMspYYYY_HHspNNspSS) const;
    runtime::Date ConvertGMTVal(runtime::Date vDate, double ToGMTOffset, double ServerGMTOffset,
                                GMTConvertTypeEnum ConvertType) const;
    double ClientServerGMTOffset(double ToGMTOffset, double ServerGMTOffset,
                                 GMTConvertTypeEnum ConvertType) const;
    std::string FormatString(DateFormatsEnum vFormat, const std::string& DateDelimiter = "/",
                             const std::string& TimeDelimiter = ":") const;
    // Fixed-layout parsers: a missing delimiter raises runtime::Error(5).
    runtime::Date ToDate(const std::string& str, const std::string& DateDelimiter = "/") const;
    runtime::Date ToDateTime(const std::string& vDate, const std::string& DateDelimiter = "/",
                             const std::string& TimeDelimiter = ":",
                             DateFormatsEnum vDateFormat = DDspMMspYYYY_HHspNNspSS) const;
    runtime::Date DateTimeSerial(int16_t Year, int16_t Month, int16_t day, int16_t Hour = 0,
                                 int16_t Minute = 0, int16_t Second = 0) const;

    // Coder.
    std::string Translate(std::string str, const std::string& CharsToReplace,
                          const std::string& ReplacedWith) const;
    // Raises runtime::Error(5) when Loc < 1.
    std::string Char(const std::string& str, int32_t Loc) const;
    std::string Code(const std::string& str) const;
    std::string DeCode(const std::string& str) const;

    // Offsets in hours <-> "+hh:mm" / "-hh:mm".
    std::string DoubleToTime(double vGMTOffset) const;
    double TimeToDouble(const std::string& vTime) const;

    // Holds nothing.
    void Deallocate() override {}

    // The coder's two tables: capitals, digits and punctuation, never the
    // comma, the double quote or the blank (the desk's files rely on that).
    static constexpr std::string_view kPlainTable =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789!#$%()*+-./:;<=>?@[]{}";
    static constexpr std::string_view kCodedTable =
        "K58#Q!D1)>ME@-W/N.A+9R]Z:<6[%X7OVH;F}*(=BGI3UJY$L?S{0T4PC2";

protected:
    // A piece of a fixed-layout date text read as a whole number.
    int16_t DateField(const std::string& piece) const;
};

}  // namespace OrbanelGeneral10
