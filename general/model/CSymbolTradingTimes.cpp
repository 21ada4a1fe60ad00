#include "general/model/CSymbolTradingTimes.h"

#include "runtime/Clock.h"
#include "runtime/Convert.h"
#include "runtime/Date.h"
#include "runtime/Error.h"
#include "runtime/Strings.h"

namespace OrbanelGeneral10 {

namespace {

constexpr std::array<std::string_view, 7> kDayNames = {"SUNDAY",   "MONDAY", "TUESDAY", "WEDNESDAY",
                                                       "THURSDAY", "FRIDAY", "SATURDAY"};

int32_t SecondsOfDay(runtime::Date d) {
    return runtime::Hour(d) * 3600 + runtime::Minute(d) * 60 + runtime::Second(d);
}

// The time of day of a Date, or of a text that reads as a date or a time.
std::optional<int32_t> TimeOfDayOf(const runtime::Variant& value) {
    if (value.Type() == runtime::VarType::Date) return SecondsOfDay(value.ToDate());
    if (!value.IsString()) return std::nullopt;
    auto d = runtime::ParseDateText(value.StringRef());
    if (!d) return std::nullopt;
    return SecondsOfDay(*d);
}

// The time of day read from a value's text form; runtime::Error(13) when it is none.
int32_t RequireTimeOfDay(const runtime::Variant& value) {
    std::optional<int32_t> secs;
    if (value.IsString() || value.Type() == runtime::VarType::Date) {
        secs = TimeOfDayOf(value);
    } else if (!value.IsNull() && !value.IsObject()) {
        secs = TimeOfDayOf(runtime::Variant(value.ToString()));
    }
    if (!secs) throw runtime::Error(runtime::errc::TypeMismatch);
    return *secs;
}

runtime::Date TimeValue(int32_t seconds) {
    return runtime::TimeSerial(seconds / 3600, seconds / 60 % 60, seconds % 60);
}

}  // namespace

int32_t CSymbolTradingTimes::DayNumber(std::string_view name) {
    for (size_t i = 0; i < kDayNames.size(); ++i)
        if (kDayNames[i] == name) return static_cast<int32_t>(i) + 1;
    return 0;
}

void CSymbolTradingTimes::setCloseDay(std::string_view value) {
    closeDay_ = runtime::UCase(runtime::Trim(value));
}

void CSymbolTradingTimes::setOpenDay(std::string_view value) {
    openDay_ = runtime::UCase(runtime::Trim(value));
}

void CSymbolTradingTimes::setCloseTime(const Variant& value) {
    const int32_t secs = RequireTimeOfDay(value);
    closeTime_ = runtime::CStr(Variant(TimeValue(secs)));
    closeSeconds_ = secs;
}

void CSymbolTradingTimes::setOpenTime(const Variant& value) {
    const int32_t secs = RequireTimeOfDay(value);
    openTime_ = runtime::CStr(Variant(TimeValue(secs)));
    openSeconds_ = secs;
}

std::optional<int32_t> CSymbolTradingTimes::ReadDaily(const Variant& value) {
    return TimeOfDayOf(value);
}

runtime::Variant CSymbolTradingTimes::AsVariant(const std::optional<int32_t>& seconds) {
    if (!seconds) return Variant(runtime::Null);
    return Variant(TimeValue(*seconds));
}

bool CSymbolTradingTimes::IsInPeriod(const Variant& curTime, const Variant& Loc2From,
                                     const Variant& Loc2To) const {
    if (Loc2From.IsNull() || Loc2To.IsNull()) return false;
    const int32_t c = RequireTimeOfDay(curTime);
    const int32_t f = RequireTimeOfDay(Loc2From);
    const int32_t t = RequireTimeOfDay(Loc2To);
    return f <= c && c <= t;
}

bool CSymbolTradingTimes::WeeklyClosed(int32_t weekday, int32_t now) const {
    if (closed_) return true;
    const int32_t open = DayNumber(openDay_);
    const int32_t close = DayNumber(closeDay_);
    // With no open day the week never reopens: read it as closed rather
    // than walking the week forever.
    if (open == 0) return true;

    // The days from the close day round to the open day; once round the
    // whole week when they are the same day. A close day that names no day
    // counts as day 0, just before Sunday.
    std::array<int32_t, 9> days{};
    size_t n = 0;
    int32_t d = close;
    days[n++] = d;
    do {
        d = d % 7 + 1;
        days[n++] = d;
    } while (d != open);

    bool inList = false;
    for (size_t i = 0; i < n; ++i) inList = inList || days[i] == weekday;
    if (!inList) return false;
    // A week whose times were never given cannot be placed: closed.
    if (!openSeconds_ || !closeSeconds_) return true;

    const int32_t first = days[0];
    const int32_t last = days[n - 1];
    if (first != last) {
        if (weekday == last && now >= *openSeconds_) return false;
        if (weekday == first && now < *closeSeconds_) return false;
        return true;
    }
    return !(weekday == first && *openSeconds_ <= now && now < *closeSeconds_);
}

bool CSymbolTradingTimes::TradeIsOpen() const {
    const runtime::Date now = runtime::Now();
    // To the minute: the seconds of the clock are dropped.
    const int32_t nowSeconds = runtime::Hour(now) * 3600 + runtime::Minute(now) * 60;
    if (WeeklyClosed(runtime::Weekday(now), nowSeconds)) return false;
    bool open = true;
    for (const Period& p : daily_) {
        if (!p.close || !p.open) continue;
        if (*p.close <= nowSeconds && nowSeconds <= *p.open) open = false;
    }
    return open;
}

}  // namespace OrbanelGeneral10
