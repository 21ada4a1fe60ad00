#pragma once
// The protocol framework's small helpers: the general library's date texts,
// NVL and a text split. Its date texts are written with the format function
// directly, so ":" (and "/") come out as the locale's separators.
#include <string>
#include <string_view>
#include <vector>

#include "general/common/CGenerals.h"
#include "runtime/Date.h"

namespace KVGeneralDLL10 {

class CGenerals : private OrbanelGeneral10::CGenerals {
    using Base = OrbanelGeneral10::CGenerals;

public:
    using Base::FormatDateString;
    using Base::HourMinuteSecond;
    using Base::MonthDayYear;
    using Base::MonthDayYearTime;
    using Base::NVL;
    using Base::YearMonthDateFileName;
    using Base::YearMonthDateTimeFileName;

    // vArray(1..n) := the pieces of Strings between Delimiter (element 0 unused);
    // the empty text is one empty piece.
    void Split(const std::string& Strings, std::vector<std::string>& vArray,
               const std::string& Delimiter = ",") const;

protected:
    std::string DateText(runtime::Date d, std::string_view pattern) const override;
};

}  // namespace KVGeneralDLL10
