#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "general/model/CSymbolTradingTimes.h"
#include "runtime/Clock.h"
#include "runtime/Date.h"
#include "runtime/Error.h"

namespace {

using namespace OrbanelGeneral10;
using runtime::Null;
using runtime::Variant;

struct Week {
    const char* closeDay;
    const char* closeTime;  // nullptr: never set
    const char* openDay;
    const char* openTime;
};

CSymbolTradingTimes Schedule(const Week& w) {
    CSymbolTradingTimes t;
    t.setCloseDay(w.closeDay);
    t.setOpenDay(w.openDay);
    if (w.closeTime) t.setCloseTime(Variant(w.closeTime));
    if (w.openTime) t.setOpenTime(Variant(w.openTime));
    return t;
}

// The week of Friday 8 to Thursday 14 March 2024.
class TradingTimesClock : public testing::Test {
protected:
    void At(int day, int hour, int minute, int second = 0) {
        clock->Set(runtime::DateTimeSerial(2024, 3, day, hour, minute, second));
    }
    std::shared_ptr<runtime::FixedClock> clock =
        std::make_shared<runtime::FixedClock>(runtime::DateSerial(2024, 3, 8));
    runtime::ScopedClock scoped{clock};
};

TEST_F(TradingTimesClock, CalendarOfTheTestWeek) {
    EXPECT_EQ(runtime::Weekday(runtime::DateSerial(2024, 3, 8)), 6);   // Friday
    EXPECT_EQ(runtime::Weekday(runtime::DateSerial(2024, 3, 10)), 1);  // Sunday
}

TEST_F(TradingTimesClock, WeeklyCloseAcrossTheWeek) {
    struct Row {
        const char* what;
        Week week;
        bool closed;
        int day, hour, minute, second;
        bool open;
    };
    const Week fridayToSunday{"FRIDAY", "21:00", "SUNDAY", "22:00"};
    const Week mondayOnly{"MONDAY", "17:00", "MONDAY", "08:00"};
    const Week noCloseDay{"", "21:00", "MONDAY", "08:00"};
    const Row rows[] = {
        {"before the close", fridayToSunday, false, 8, 20, 59, 59, true},
        {"at the close", fridayToSunday, false, 8, 21, 0, 0, false},
        {"saturday", fridayToSunday, false, 9, 12, 0, 0, false},
        {"before the reopening", fridayToSunday, false, 10, 21, 59, 0, false},
        {"at the reopening", fridayToSunday, false, 10, 22, 0, 0, true},
        {"monday", fridayToSunday, false, 11, 0, 0, 0, true},
        {"thursday", fridayToSunday, false, 14, 23, 59, 0, true},
        {"closed flag", fridayToSunday, true, 12, 12, 0, 0, false},
        {"same day, before", mondayOnly, false, 11, 7, 59, 0, false},
        {"same day, from the open", mondayOnly, false, 11, 8, 0, 0, true},
        {"same day, last minute", mondayOnly, false, 11, 16, 59, 0, true},
        {"same day, at the close", mondayOnly, false, 11, 17, 0, 0, false},
        {"same day, other day", mondayOnly, false, 12, 12, 0, 0, false},
        {"same day, sunday", mondayOnly, false, 10, 12, 0, 0, false},
        {"no close day: sunday", noCloseDay, false, 10, 12, 0, 0, false},
        {"no close day: before the open", noCloseDay, false, 11, 7, 59, 0, false},
        {"no close day: from the open", noCloseDay, false, 11, 8, 0, 0, true},
        {"no close day: saturday", noCloseDay, false, 9, 12, 0, 0, true},
        {"no open day", {"FRIDAY", "21:00", "", "22:00"}, false, 12, 12, 0, 0, false},
        {"unknown open day", {"FRIDAY", "21:00", "FUNDAY", "22:00"}, false, 12, 12, 0, 0, false},
        {"never filled", {"", nullptr, "", nullptr}, false, 12, 12, 0, 0, false},
        {"no times, day outside the close",
         {"FRIDAY", nullptr, "SUNDAY", nullptr},
         false,
         12,
         12,
         0,
         0,
         true},
        {"no times, day inside the close",
         {"FRIDAY", nullptr, "SUNDAY", nullptr},
         false,
         8,
         12,
         0,
         0,
         false},
        {"no open time", {"FRIDAY", "21:00", "SUNDAY", nullptr}, false, 10, 23, 0, 0, false},
        {"12-hour times, closed",
         {"FRIDAY", "9:00 PM", "SUNDAY", "10:00 PM"},
         false,
         10,
         21,
         59,
         0,
         false},
        {"12-hour times, open",
         {"FRIDAY", "9:00 PM", "SUNDAY", "10:00 PM"},
         false,
         10,
         22,
         0,
         0,
         true},
    };
    for (const Row& r : rows) {
        CSymbolTradingTimes t = Schedule(r.week);
        t.setClosed(r.closed);
        At(r.day, r.hour, r.minute, r.second);
        EXPECT_EQ(t.TradeIsOpen(), r.open) << r.what;
    }
}

TEST_F(TradingTimesClock, DailyClosedPeriods) {
    CSymbolTradingTimes t = Schedule({"FRIDAY", "21:00", "SUNDAY", "22:00"});
    t.setDailyCloseTime1(Variant("12:00"));
    t.setDailyOpenTime1(Variant("12:30"));
    t.setDailyCloseTime2(Variant("23:00"));  // over midnight: closes nothing
    t.setDailyOpenTime2(Variant("01:00"));
    t.setDailyCloseTime3(Variant("15:00"));  // no end: closes nothing
    t.setDailyOpenTime3(Variant(Null));
    struct Row {
        int hour, minute, second;
        bool open;
    };
    const Row rows[] = {{11, 59, 0, true},  {12, 0, 0, false},   {12, 15, 0, false},
                        {12, 30, 0, false}, {12, 30, 59, false}, {12, 31, 0, true},
                        {23, 30, 0, true},  {0, 30, 0, true},    {15, 30, 0, true}};
    for (const Row& r : rows) {
        At(12, r.hour, r.minute, r.second);
        EXPECT_EQ(t.TradeIsOpen(), r.open) << r.hour << ":" << r.minute << ":" << r.second;
    }
}

TEST(TradingTimesLets, DailyTimesAndDays) {
    CSymbolTradingTimes t;
    const Variant notTimes[] = {Variant(""), Variant(Null), Variant("abc"), Variant(),
                                Variant(5.5)};
    for (const Variant& v : notTimes) {
        t.setDailyCloseTime1(Variant("08:00"));
        t.setDailyCloseTime1(v);
        EXPECT_TRUE(t.DailyCloseTime1().IsNull());
    }
    t.setDailyOpenTime2(Variant("10:30"));
    EXPECT_EQ(t.DailyOpenTime2().ToDate(), runtime::TimeSerial(10, 30, 0));
    t.setDailyOpenTime3(Variant(runtime::DateTimeSerial(2024, 1, 1, 9, 15, 0)));
    EXPECT_EQ(t.DailyOpenTime3().ToDate(), runtime::TimeSerial(9, 15, 0));
    EXPECT_TRUE(t.DailyCloseTime3().IsNull());

    t.setOpenDay("  friday ");
    EXPECT_EQ(t.OpenDay(), "FRIDAY");
    t.setCloseDay("Sunday");
    EXPECT_EQ(t.CloseDay(), "SUNDAY");

    t.setCloseTime(Variant("21:00"));
    EXPECT_EQ(t.CloseTime(), "21:00:00");
    for (const char* bad : {"xx", "", "25:00"}) {
        try {
            t.setCloseTime(Variant(bad));
            ADD_FAILURE() << bad;
        } catch (const runtime::Error& e) {
            EXPECT_EQ(e.Number(), runtime::errc::TypeMismatch);
        }
        EXPECT_EQ(t.CloseTime(), "21:00:00");
    }
}

TEST(TradingTimesLets, IsInPeriod) {
    CSymbolTradingTimes t;
    const Variant noon("12:00"), half("12:30");
    EXPECT_FALSE(t.IsInPeriod(noon, noon, Variant(Null)));
    EXPECT_FALSE(t.IsInPeriod(noon, Variant(Null), half));
    EXPECT_TRUE(t.IsInPeriod(noon, noon, half));
    EXPECT_TRUE(t.IsInPeriod(half, noon, half));
    EXPECT_TRUE(t.IsInPeriod(Variant(runtime::DateTimeSerial(2024, 1, 1, 12, 10, 0)), noon, half));
    EXPECT_FALSE(t.IsInPeriod(Variant("12:31"), noon, half));
    EXPECT_FALSE(t.IsInPeriod(Variant("23:30"), Variant("23:00"), Variant("01:00")));
    EXPECT_THROW(t.IsInPeriod(Variant("later"), noon, half), runtime::Error);
}

}  // namespace
