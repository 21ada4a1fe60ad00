#pragma once
// Calendar arithmetic shared by the date, clock and format code (not part of the interface).
#include <cstdint>

#include "runtime/Date.h"

namespace runtime::detail {

// Serial day numbers of 1 Jan 100 and 31 Dec 9999.
inline constexpr int64_t kMinSerialDay = -657434;
inline constexpr int64_t kMaxSerialDay = 2958465;

int64_t SerialFromCivil(int64_t year, int32_t month, int32_t day);
void CivilFromSerial(int64_t serial, int32_t& year, int32_t& month, int32_t& day);

// A date as a whole day and the seconds since that day's midnight (rounded to the
// nearest second, a full day carrying into the next). Raises Error(5) outside the
// supported range.
struct DaySeconds {
    int64_t day;
    int32_t seconds;
};
DaySeconds SplitDaySeconds(Date d);

// The stored form of day + seconds/86400 (before the epoch the time still counts forwards).
Date Encode(int64_t day, double dayFraction);

}  // namespace runtime::detail
