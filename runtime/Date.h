#pragma once
// Dates are days since 30 Dec 1899 as a double: the integer part is the day,
// the fraction the time of day. Before the epoch the fraction still counts
// forwards from midnight (-1.25 is 29 Dec 1899 06:00).
#include <compare>
#include <cstdint>

namespace runtime {

struct Date {
    double value = 0.0;

    constexpr Date() = default;
    constexpr explicit Date(double days) : value(days) {}
    constexpr auto operator<=>(const Date&) const = default;
};

// Calendar fields of a date (seconds rounded to the nearest whole second).
struct DateParts {
    int32_t year = 1899, month = 12, day = 30, hour = 0, minute = 0, second = 0;
};

// Raises Error(5) for a value outside 1 Jan 100 .. 31 Dec 9999 (and NaN); so do the
// field functions below.
DateParts SplitDate(Date d);

// DateSerial semantics: out-of-range months and days carry (month 13 is
// January of the next year, day 0 the last day of the month before); years
// 0-99 go through the two-digit-year window. Throws Error(5) outside 100-9999.
Date DateSerial(int32_t year, int32_t month, int32_t day);
// TimeSerial semantics: out-of-range parts carry (second 60 is the next minute).
Date TimeSerial(int32_t hour, int32_t minute, int32_t second);
// DateSerial + TimeSerial, with the time added so that carries cross midnight.
Date DateTimeSerial(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute,
                    int32_t second);

// The two-digit-year window: years below `pivot` are 20xx, the rest 19xx (default 30).
int32_t TwoDigitYearPivot();
void SetTwoDigitYearPivot(int32_t pivot);
int32_t ExpandTwoDigitYear(int32_t year);  // 0-99 through the window, others unchanged

int32_t Year(Date d);
int32_t Month(Date d);
int32_t Day(Date d);
int32_t Hour(Date d);
int32_t Minute(Date d);
int32_t Second(Date d);
// 1 = Sunday .. 7 = Saturday (Sunday as the first day of the week).
int32_t Weekday(Date d);

Date DateOnly(Date d);  // the day, time cut to midnight
Date TimeOnly(Date d);  // the time of day on 30 Dec 1899

bool IsValidDate(int32_t year, int32_t month, int32_t day);

}  // namespace runtime
