#include "desk/common/CLocalSettings.h"

#include "runtime/Convert.h"
#include "runtime/Locale.h"

namespace OrbanexDesk {

namespace {
constexpr size_t kItemBufferLength = 256;
}  // namespace

CLocalSettings::CLocalSettings() {
    InitializeSystemVariables();
    localDecimal_ = GetSystemCharacter(kDecimalItem);
    localThousand_ = GetSystemCharacter(kThousandItem);
}

void CLocalSettings::InitializeSystemVariables() {
    runtime::LocaleSettings settings = runtime::Locale();
    settings.decimal = ".";
    settings.thousands = ",";
    settings.date = "/";
    settings.time = ":";
    runtime::SetLocale(settings);
}

std::string CLocalSettings::GetSystemCharacter(int32_t item) const {
    const runtime::LocaleSettings& locale = runtime::Locale();
    switch (item) {
        case kDecimalItem:
            return locale.decimal;
        case kThousandItem:
            return locale.thousands;
        case kDateItem:
            return locale.date;
        case kTimeItem:
            return locale.time;
        default:
            return std::string(kItemBufferLength, ' ');
    }
}

std::string CLocalSettings::FormatStringAsNumber(const std::string& text) const {
    if (!runtime::IsNumericText(text)) return "";
    return values_.FormatStringAsNumber(runtime::Variant(text), localDecimal_, localThousand_);
}

double CLocalSettings::StringToNumber(const std::string& text) const {
    const std::string number = FormatStringAsNumber(text);
    return number.empty() ? 0 : runtime::Val(number);
}

}  // namespace OrbanexDesk
