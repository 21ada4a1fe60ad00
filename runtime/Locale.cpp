#include "runtime/Locale.h"

namespace runtime {

namespace {
LocaleSettings& Current() {
    static LocaleSettings settings;
    return settings;
}
}  // namespace

const LocaleSettings& Locale() {
    return Current();
}

void SetLocale(const LocaleSettings& settings) {
    Current() = settings;
}

ScopedLocale::ScopedLocale(const LocaleSettings& settings) : previous_(Locale()) {
    SetLocale(settings);
}

ScopedLocale::~ScopedLocale() {
    SetLocale(previous_);
}

}  // namespace runtime
