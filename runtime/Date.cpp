#include "runtime/Date.h"

#include <cmath>

#include "runtime/Error.h"
#include "runtime/detail/Calendar.h"

namespace runtime {

namespace detail {

namespace {
constexpr int64_t kEpochFrom1970 = 25569;  // 30 Dec 1899 is 25569 days before 1 Jan 1970

int64_t FloorDiv(int64_t a, int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}
}  // namespace

// Days-from-civil on the proleptic Gregorian calendar (eras of 400 years).
int64_t SerialFromCivil(int64_t year, int32_t month, int32_t day) {
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yoe = year - era * 400;
    const int64_t mp = month > 2 ? month - 3 : month + 9;
    const int64_t doy = (153 * mp + 2) / 5 + day - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468 + kEpochFrom1970;
}

void CivilFromSerial(int64_t serial, int32_t& year, int32_t& month, int32_t& day) {
    const int64_t z = serial - kEpochFrom1970 + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int32_t>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int32_t>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int32_t>(yoe + era * 400 + (month <= 2));
}

DaySeconds SplitDaySeconds(Date d) {
    const double whole = std::trunc(d.value);
    if (!(whole >= static_cast<double>(kMinSerialDay) &&
          whole <= static_cast<double>(kMaxSerialDay)))
        throw Error(errc::InvalidProcedureCall);
    int64_t day = static_cast<int64_t>(whole);
    auto seconds = static_cast<int32_t>(std::llround(std::fabs(d.value - whole) * 86400.0));
    if (seconds >= 86400) {
        seconds -= 86400;
        ++day;
    }
    return {day, seconds};
}

Date Encode(int64_t day, double dayFraction) {
    const auto whole = static_cast<double>(day);
    return Date(day >= 0 ? whole + dayFraction : whole - dayFraction);
}

namespace {
// day + seconds (any sign) as a stored date; Error(5) outside the range.
Date FromDaySeconds(int64_t day, int64_t seconds) {
    day += FloorDiv(seconds, 86400);
    seconds -= FloorDiv(seconds, 86400) * 86400;
    if (day < kMinSerialDay || day > kMaxSerialDay) throw Error(errc::InvalidProcedureCall);
    return Encode(day, static_cast<double>(seconds) / 86400.0);
}

int64_t SerialOf(int32_t year, int32_t month, int32_t day) {
    int64_t y = ExpandTwoDigitYear(year);
    const int64_t m0 = static_cast<int64_t>(month) - 1;
    y += FloorDiv(m0, 12);
    const auto m = static_cast<int32_t>(m0 - FloorDiv(m0, 12) * 12 + 1);
    // Far outside the range either way; keeps the arithmetic below in bounds.
    if (y < -1000000 || y > 1000000) throw Error(errc::InvalidProcedureCall);
    const int64_t serial = SerialFromCivil(y, m, 1) + static_cast<int64_t>(day) - 1;
    if (serial < kMinSerialDay || serial > kMaxSerialDay) throw Error(errc::InvalidProcedureCall);
    return serial;
}

int64_t SecondsOf(int32_t hour, int32_t minute, int32_t second) {
    return static_cast<int64_t>(hour) * 3600 + static_cast<int64_t>(minute) * 60 + second;
}

int32_t g_pivot = 30;
}  // namespace

}  // namespace detail

using namespace detail;

DateParts SplitDate(Date d) {
    const DaySeconds ds = SplitDaySeconds(d);
    DateParts p;
    CivilFromSerial(ds.day, p.year, p.month, p.day);
    p.hour = ds.seconds / 3600;
    p.minute = ds.seconds / 60 % 60;
    p.second = ds.seconds % 60;
    return p;
}

Date DateSerial(int32_t year, int32_t month, int32_t day) {
    return Date(static_cast<double>(SerialOf(year, month, day)));
}

Date TimeSerial(int32_t hour, int32_t minute, int32_t second) {
    return FromDaySeconds(0, SecondsOf(hour, minute, second));
}

Date DateTimeSerial(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute,
                    int32_t second) {
    return FromDaySeconds(SerialOf(year, month, day), SecondsOf(hour, minute, second));
}

int32_t TwoDigitYearPivot() {
    return g_pivot;
}

void SetTwoDigitYearPivot(int32_t pivot) {
    g_pivot = pivot < 0 ? 0 : (pivot > 100 ? 100 : pivot);
}

int32_t ExpandTwoDigitYear(int32_t year) {
    if (year < 0 || year > 99) return year;
    return year < g_pivot ? 2000 + year : 1900 + year;
}

int32_t Year(Date d) {
    return SplitDate(d).year;
}
int32_t Month(Date d) {
    return SplitDate(d).month;
}
int32_t Day(Date d) {
    return SplitDate(d).day;
}
int32_t Hour(Date d) {
    return SplitDaySeconds(d).seconds / 3600;
}
int32_t Minute(Date d) {
    return SplitDaySeconds(d).seconds / 60 % 60;
}
int32_t Second(Date d) {
    return SplitDaySeconds(d).seconds % 60;
}

int32_t Weekday(Date d) {
    // Serial day 0 (30 Dec 1899) was a Saturday.
    const int64_t day = SplitDaySeconds(d).day;
    const int64_t mod = ((day % 7) + 7) % 7;
    return static_cast<int32_t>((mod + 6) % 7 + 1);
}

Date DateOnly(Date d) {
    return Date(std::trunc(d.value) + 0.0);
}

Date TimeOnly(Date d) {
    return Date(std::fabs(d.value - std::trunc(d.value)));
}

bool IsValidDate(int32_t year, int32_t month, int32_t day) {
    static constexpr int32_t kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

}  // namespace runtime
