#include "runtime/Clock.h"

#include <chrono>
#include <ctime>

#include "runtime/detail/Calendar.h"

namespace runtime {

Date SystemClock::Now() const {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const int64_t ms = duration_cast<milliseconds>(now.time_since_epoch()).count();
    const std::time_t seconds = static_cast<std::time_t>(ms >= 0 ? ms / 1000 : (ms - 999) / 1000);
    std::tm local{};
    localtime_r(&seconds, &local);
    const int64_t day =
        detail::SerialFromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    const int64_t msOfDay =
        (static_cast<int64_t>(local.tm_hour) * 3600 + local.tm_min * 60 + local.tm_sec) * 1000 +
        (ms - static_cast<int64_t>(seconds) * 1000);
    return detail::Encode(day, static_cast<double>(msOfDay) / 86400000.0);
}

namespace {
std::shared_ptr<Clock>& Installed() {
    static std::shared_ptr<Clock> clock;
    return clock;
}
const SystemClock& System() {
    static const SystemClock clock;
    return clock;
}
}  // namespace

void SetClock(std::shared_ptr<Clock> clock) {
    Installed() = std::move(clock);
}

const Clock& CurrentClock() {
    const auto& installed = Installed();
    return installed ? *installed : static_cast<const Clock&>(System());
}

Date Now() {
    return CurrentClock().Now();
}
Date Today() {
    return DateOnly(Now());
}
Date TimeOfDay() {
    return TimeOnly(Now());
}
double Timer() {
    return TimeOnly(Now()).value * 86400.0;
}

ScopedClock::ScopedClock(std::shared_ptr<Clock> clock) : previous_(Installed()) {
    SetClock(std::move(clock));
}

ScopedClock::~ScopedClock() {
    SetClock(std::move(previous_));
}

}  // namespace runtime
