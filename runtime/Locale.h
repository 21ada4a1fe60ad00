#pragma once
// Process-wide number and date separators. Defaults "." "," "/" ":".
// The machine's own locale is never read or changed.
#include <array>
#include <string>

namespace runtime {

struct LocaleSettings {
    std::string decimal = ".";
    std::string thousands = ",";
    std::string date = "/";
    std::string time = ":";
    std::array<std::string, 12> monthAbbrev{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::array<std::string, 12> monthNames{"January",   "February", "March",    "April",
                                           "May",       "June",     "July",     "August",
                                           "September", "October",  "November", "December"};
    std::array<std::string, 7> dayAbbrev{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    std::array<std::string, 7> dayNames{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                        "Thursday", "Friday", "Saturday"};
};

const LocaleSettings& Locale();
void SetLocale(const LocaleSettings& settings);

// RAII: a different locale for the scope of a test.
class ScopedLocale {
public:
    explicit ScopedLocale(const LocaleSettings& settings);
    ~ScopedLocale();
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

private:
    LocaleSettings previous_;
};

}  // namespace runtime
