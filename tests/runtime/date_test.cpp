#include <cmath>
#include <memory>

#include <gtest/gtest.h>

#include "runtime/Clock.h"
#include "runtime/Date.h"
#include "runtime/Error.h"

using namespace runtime;

namespace {

struct Ymdhns {
    int32_t y, m, d, h, n, s;
};

void ExpectParts(Date date, Ymdhns e) {
    const DateParts p = SplitDate(date);
    EXPECT_EQ(p.year, e.y) << date.value;
    EXPECT_EQ(p.month, e.m) << date.value;
    EXPECT_EQ(p.day, e.d) << date.value;
    EXPECT_EQ(p.hour, e.h) << date.value;
    EXPECT_EQ(p.minute, e.n) << date.value;
    EXPECT_EQ(p.second, e.s) << date.value;
}

TEST(DateSerial, CarriesOutOfRangeParts) {
    const struct {
        int32_t y, m, d;
        double serial;
    } cases[] = {
        {1899, 12, 30, 0},    {1900, 1, 1, 2},
        {2024, 3, 5, 45356},  {2023, 13, 1, 45292},  // month 13: January of the next year
        {2024, 0, 1, 45261},                         // month 0: December before
        {2024, 3, 0, 45351},                         // day 0: last day of February (leap year)
        {2023, 3, 0, 44985},                         // 28 Feb 2023
        {2024, 1, 32, 45323},                        // 1 Feb 2024
        {2024, -1, 1, 45231},                        // November 2023
        {2024, 25, 1, 46023},                        // January 2026
        {2024, 1, -1, 45290},                        // 30 Dec 2023
        {24, 3, 5, 45356},                           // two-digit year
        {29, 1, 1, 47119},                           // 2029
        {30, 1, 1, 10959},                           // 1930
        {99, 12, 31, 36525},                         // 1999
        {0, 0, 0, 36494},                            // 30 Nov 1999
        {100, 1, 1, -657434}, {9999, 12, 31, 2958465},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DateSerial(c.y, c.m, c.d).value, c.serial) << c.y << '-' << c.m << '-' << c.d;
}

TEST(DateSerial, OutsideTheRangeRaises5) {
    const int32_t cases[][3] = {{10000, 1, 1},
                                {9999, 12, 32},
                                {100, 1, 0},
                                {-5, 1, 1},
                                {2024, 2147483647, 1},
                                {2024, 1, 2147483647},
                                {2024, -2147483647 - 1, 1}};
    for (const auto& c : cases) {
        try {
            DateSerial(c[0], c[1], c[2]);
            ADD_FAILURE() << c[0] << '-' << c[1] << '-' << c[2];
        } catch (const Error& e) {
            EXPECT_EQ(e.Number(), errc::InvalidProcedureCall);
        }
    }
}

TEST(TwoDigitYear, PivotIsSettable) {
    EXPECT_EQ(TwoDigitYearPivot(), 30);
    SetTwoDigitYearPivot(50);
    EXPECT_EQ(ExpandTwoDigitYear(45), 2045);
    EXPECT_EQ(ExpandTwoDigitYear(50), 1950);
    EXPECT_EQ(Year(DateSerial(49, 1, 1)), 2049);
    SetTwoDigitYearPivot(30);
    EXPECT_EQ(ExpandTwoDigitYear(29), 2029);
    EXPECT_EQ(ExpandTwoDigitYear(30), 1930);
    EXPECT_EQ(ExpandTwoDigitYear(100), 100);
    EXPECT_EQ(ExpandTwoDigitYear(-1), -1);
}

TEST(TimeSerial, CarriesAcrossUnitsAndDays) {
    const struct {
        int32_t h, n, s;
        Ymdhns expected;
    } cases[] = {
        {14, 7, 9, {1899, 12, 30, 14, 7, 9}},  {0, 0, 60, {1899, 12, 30, 0, 1, 0}},
        {23, 59, 60, {1899, 12, 31, 0, 0, 0}}, {25, 0, 0, {1899, 12, 31, 1, 0, 0}},
        {0, -1, 0, {1899, 12, 29, 23, 59, 0}}, {-1, 0, 0, {1899, 12, 29, 23, 0, 0}},
        {0, 90, 0, {1899, 12, 30, 1, 30, 0}},  {-24, 0, 0, {1899, 12, 29, 0, 0, 0}},
    };
    for (const auto& c : cases) ExpectParts(TimeSerial(c.h, c.n, c.s), c.expected);
    EXPECT_DOUBLE_EQ(TimeSerial(12, 0, 0).value, 0.5);
    EXPECT_DOUBLE_EQ(TimeSerial(-6, 0, 0).value, -1.75);  // 29 Dec 18:00
}

TEST(DateTimeSerial, TimeCarriesAcrossMidnight) {
    ExpectParts(DateTimeSerial(2024, 12, 31, 23, 59, 60), {2025, 1, 1, 0, 0, 0});
    ExpectParts(DateTimeSerial(2024, 3, 1, 0, 0, -1), {2024, 2, 29, 23, 59, 59});
    ExpectParts(DateTimeSerial(2024, 3, 5, 14, 7, 9), {2024, 3, 5, 14, 7, 9});
    ExpectParts(DateTimeSerial(1899, 12, 29, 6, 0, 0), {1899, 12, 29, 6, 0, 0});
    ExpectParts(DateTimeSerial(1899, 12, 30, -18, 0, 0), {1899, 12, 29, 6, 0, 0});
    ExpectParts(DateTimeSerial(1800, 1, 1, 30, 0, 0), {1800, 1, 2, 6, 0, 0});
    EXPECT_DOUBLE_EQ(DateTimeSerial(1899, 12, 29, 6, 0, 0).value, -1.25);
}

TEST(SplitDate, NegativeDatesAndSecondRounding) {
    const struct {
        double value;
        Ymdhns expected;
    } cases[] = {
        {-1.25, {1899, 12, 29, 6, 0, 0}},
        {-0.25, {1899, 12, 30, 6, 0, 0}},
        {-2.75, {1899, 12, 28, 18, 0, 0}},
        {-1.999999999, {1899, 12, 30, 0, 0, 0}},  // 29 Dec 23:59:59.9999 rounds into the 30th
        {1.5, {1899, 12, 31, 12, 0, 0}},
        {45356 + 86399.9999 / 86400, {2024, 3, 6, 0, 0, 0}},
        {45351 + 86399.9999 / 86400, {2024, 3, 1, 0, 0, 0}},  // out of the leap day
        {36525 + 86399.9999 / 86400, {2000, 1, 1, 0, 0, 0}},
        {45356 + 86399.4 / 86400, {2024, 3, 5, 23, 59, 59}},
        {45356 + 30.6 / 86400, {2024, 3, 5, 0, 0, 31}},
        {-657434, {100, 1, 1, 0, 0, 0}},
        {2958465.5, {9999, 12, 31, 12, 0, 0}},
    };
    for (const auto& c : cases) ExpectParts(Date(c.value), c.expected);
    EXPECT_EQ(Hour(Date(-1.25)), 6);
    EXPECT_EQ(Minute(Date(45356 + 86399.9999 / 86400)), 0);
    EXPECT_EQ(Day(Date(45356 + 86399.9999 / 86400)), 6);
    for (double bad : {-657435.0, 2958466.0, 1e300, double(NAN)}) {
        try {
            SplitDate(Date(bad));
            ADD_FAILURE() << bad;
        } catch (const Error& e) {
            EXPECT_EQ(e.Number(), errc::InvalidProcedureCall);
        }
    }
}

TEST(Date, WeekdayPartsAndValidity) {
    EXPECT_EQ(Weekday(Date(0)), 7);      // Saturday
    EXPECT_EQ(Weekday(Date(1)), 1);      // Sunday
    EXPECT_EQ(Weekday(Date(45356)), 3);  // Tuesday 5 Mar 2024
    EXPECT_EQ(Weekday(Date(-1.25)), 6);  // Friday 29 Dec 1899
    EXPECT_EQ(Weekday(Date(-7)), 7);
    EXPECT_EQ(DateOnly(Date(-1.25)).value, -1);
    EXPECT_EQ(TimeOnly(Date(-1.25)).value, 0.25);
    EXPECT_EQ(DateOnly(Date(45356.75)).value, 45356);
    EXPECT_TRUE(IsValidDate(2024, 2, 29));
    EXPECT_FALSE(IsValidDate(2023, 2, 29));
    EXPECT_FALSE(IsValidDate(1900, 2, 29));
    EXPECT_TRUE(IsValidDate(2000, 2, 29));
    EXPECT_FALSE(IsValidDate(99, 1, 1));
    EXPECT_FALSE(IsValidDate(2024, 0, 1));
    EXPECT_FALSE(IsValidDate(2024, 4, 31));
}

TEST(Clock, FixedClockDrivesNowTodayTimer) {
    auto fixed = std::make_shared<FixedClock>(DateTimeSerial(2024, 3, 5, 14, 7, 9));
    {
        ScopedClock scope(fixed);
        EXPECT_EQ(Now().value, fixed->Now().value);
        EXPECT_EQ(Today().value, 45356);
        EXPECT_NEAR(TimeOfDay().value, (14 * 3600 + 7 * 60 + 9) / 86400.0, 1e-9);
        EXPECT_NEAR(Timer(), 14 * 3600 + 7 * 60 + 9, 1e-4);
        fixed->AdvanceSeconds(0.5);
        EXPECT_NEAR(Timer(), 14 * 3600 + 7 * 60 + 9.5, 1e-4);
        fixed->Set(DateSerial(2000, 1, 1));
        EXPECT_EQ(Year(Now()), 2000);
        {
            ScopedClock inner(std::make_shared<FixedClock>(Date(1)));
            EXPECT_EQ(Now().value, 1);
        }
        EXPECT_EQ(Year(Now()), 2000);
    }
    EXPECT_NE(&CurrentClock(), fixed.get());
}

TEST(Clock, SystemClockReadsLocalTimeWithMilliseconds) {
    SetClock(nullptr);
    const Date a = Now();
    EXPECT_GT(Year(a), 2020);
    EXPECT_LT(Year(a), 2200);
    // Millisecond resolution: two readings a few ms apart differ by less than a second.
    const Date b = SystemClock().Now();
    EXPECT_GE(b.value, a.value);
    EXPECT_LT((b.value - a.value) * 86400.0, 1.0);
    const double t = Timer();
    EXPECT_GE(t, 0);
    EXPECT_LT(t, 86400);
}

}  // namespace
