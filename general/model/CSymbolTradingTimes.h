#pragma once
// One symbol's trading schedule: the weekly close and reopening, up to three
// daily closed periods and a switch that closes the symbol altogether.
// TradeIsOpen reads the runtime clock afresh on every call and works to the
// minute.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "general/common/ISafeObject.h"
#include "runtime/Variant.h"

namespace OrbanelGeneral10 {

class CSymbolTradingTimes : public runtime::Object, public ISafeObject {
public:
    using Variant = runtime::Variant;

    CSymbolTradingTimes() = default;
    ~CSymbolTradingTimes() override = default;

    // Day names are stored trimmed and in capitals ("SUNDAY" .. "SATURDAY").
    const std::string& CloseDay() const { return closeDay_; }
    void setCloseDay(std::string_view value);
    bool Closed() const { return closed_; }
    void setClosed(bool value) { closed_ = value; }
    const std::string& OpenDay() const { return openDay_; }
    void setOpenDay(std::string_view value);

    // The text form of the time of day read from the value; a value that is
    // no time raises runtime::Error(13) and leaves the stored time unchanged.
    const std::string& CloseTime() const { return closeTime_; }
    void setCloseTime(const Variant& value);
    const std::string& OpenTime() const { return openTime_; }
    void setOpenTime(const Variant& value);

    // A time of day (a Date without its day), or Null for no such period.
    // The lets store Null for anything that is not a date or a date/time text.
    Variant DailyCloseTime1() const { return AsVariant(daily_[0].close); }
    void setDailyCloseTime1(const Variant& value) { daily_[0].close = ReadDaily(value); }
    Variant DailyOpenTime1() const { return AsVariant(daily_[0].open); }
    void setDailyOpenTime1(const Variant& value) { daily_[0].open = ReadDaily(value); }
    Variant DailyCloseTime2() const { return AsVariant(daily_[1].close); }
    void setDailyCloseTime2(const Variant& value) { daily_[1].close = ReadDaily(value); }
    Variant DailyCloseTime3() const { return AsVariant(daily_[2].close); }
    void setDailyCloseTime3(const Variant& value) { daily_[2].close = ReadDaily(value); }
    Variant DailyOpenTime2() const { return AsVariant(daily_[1].open); }
    void setDailyOpenTime2(const Variant& value) { daily_[1].open = ReadDaily(value); }
    Variant DailyOpenTime3() const { return AsVariant(daily_[2].open); }
    void setDailyOpenTime3(const Variant& value) { daily_[2].open = ReadDaily(value); }

    // Whether the time of day of curTime lies in [Loc2From, Loc2To], both ends
    // included; False when either end is Null. A period running over midnight
    // contains no time. A value that is no time raises runtime::Error(13).
    bool IsInPeriod(const Variant& curTime, const Variant& Loc2From, const Variant& Loc2To) const;

    // Whether the symbol trades at the present local time. Never throws: a
    // schedule without its open day or without its times reads as closed.
    bool TradeIsOpen() const;

    // Holds no references.
    void Deallocate() override {}

private:
    // Sunday 1 .. Saturday 7; 0 for a text that names no day.
    static int32_t DayNumber(std::string_view name);
    struct Period {
        std::optional<int32_t> close;  // seconds since midnight
        std::optional<int32_t> open;
    };

    static std::optional<int32_t> ReadDaily(const Variant& value);
    static Variant AsVariant(const std::optional<int32_t>& seconds);
    // Is the symbol in its weekly close at `now` (seconds since midnight) on day `weekday`?
    bool WeeklyClosed(int32_t weekday, int32_t now) const;

    std::string closeDay_;
    std::string openDay_;
    std::string openTime_;
    std::string closeTime_;
    std::optional<int32_t> openSeconds_;
    std::optional<int32_t> closeSeconds_;
    std::array<Period, 3> daily_{};
    bool closed_ = false;
};

}  // namespace OrbanelGeneral10
