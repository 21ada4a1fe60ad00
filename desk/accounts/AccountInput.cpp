#include "desk/accounts/AccountInput.h"

#include <bit>
#include <cmath>

#include "runtime/Convert.h"
#include "runtime/Locale.h"
#include "runtime/Strings.h"

namespace OrbanexDesk {

namespace {
bool IsDigit(int16_t key) {
    return key >= '0' && key <= '9';
}

bool HasDot(const std::string& text) {
    return text.find('.') != std::string::npos;
}

// The whole-number value of the number at the start of the text, if 32 bits hold it.
std::optional<int32_t> WholeNumber(const std::string& text) {
    const double value = runtime::RoundHalfEven(runtime::Val(text));
    if (!std::isfinite(value) || value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<int32_t>(value);
}

std::string Key(const AccountEntry& entry) {
    return runtime::UCase(runtime::Trim(entry.UserName));
}
}  // namespace

// ---- Key filters ----

AccountKey txtaccount_KeyPress(const std::string& Text, int16_t KeyAscii) {
    constexpr size_t kLongestAccountText = 8;
    if (Text.size() > kLongestAccountText) return {KeyAscii, false};
    AccountKey result{KeyAscii, true};
    if (KeyAscii == kKeyDot && !HasDot(Text)) result.key = 0;
    if (KeyAscii == kKeyEnter) result.add = true;
    if (KeyAscii == kKeyEscape) result.unload = true;
    if (!IsDigit(result.key) && result.key != kKeyDot && result.key != kKeyBackspace)
        result.key = 0;
    return result;
}

// ---- The dialog's checks ----

std::string CheckAccountEntry(const AccountEntry& entry) {
    if (entry.UserName.empty() || entry.Password.empty() || entry.AccountText.empty() ||
        entry.ServerText.empty())
        return "Please fill all account information";
    // The saved-accounts line takes the user as its first ","-separated field.
    if (entry.UserName.find(',') != std::string::npos) return kCommaInUserName;
    if (!runtime::IsNumericText(entry.AccountText) || !WholeNumber(entry.AccountText))
        return "Please enter a valid  account ID";
    return "";
}

int32_t EntryAccount(const AccountEntry& entry) {
    return WholeNumber(entry.AccountText).value_or(0);
}

std::string AlreadyExistsMessage(const AccountEntry& entry) {
    return "Account " + entry.AccountText + " for client " + entry.UserName + " already exists";
}

namespace {
int RowsShowing(const platform::ListView& lvwClients, const AccountEntry& entry) {
    const std::string user = Key(entry);
    const std::string account = runtime::Trim(entry.AccountText);
    int count = 0;
    for (size_t i = 1; i <= lvwClients.Count(); ++i) {
        const auto& row = lvwClients.Item(i);
        if (row.SubItems(kUsernameColumn) == user && row.SubItems(kAccountColumn) == account)
            ++count;
    }
    return count;
}
}  // namespace

bool AccountListed(const platform::ListView& lvwClients, const AccountEntry& entry) {
    return RowsShowing(lvwClients, entry) > 0;
}

bool EditRefused(platform::ListView& lvwClients, platform::ListItem& selected,
                 const AccountEntry& entry) {
    selected.setTag(Key(entry) + runtime::UCase(runtime::Trim(entry.AccountText)));
    int count = RowsShowing(lvwClients, entry);
    for (size_t i = 1; i <= lvwClients.Count(); ++i)
        if (lvwClients.Item(i).Tag() == selected.Tag()) ++count;
    if (count < 2) return false;
    selected.setTag("");
    return true;
}

// ---- The accounts popup ----

std::optional<PopupCommands> AccountsPopup(const platform::ListView& lvwClients, bool rightButton) {
    if (!rightButton) return std::nullopt;
    if (lvwClients.Count() == 0) return PopupCommands{};
    const platform::ListItem* selected = lvwClients.SelectedItem();
    if (!selected || selected->Text().empty()) return std::nullopt;
    auto any = [&](const char* status) {
        for (size_t i = 1; i <= lvwClients.Count(); ++i)
            if (lvwClients.Item(i).SubItems(kStatusColumn) == status) return true;
        return false;
    };
    const std::string status = selected->SubItems(kStatusColumn);
    if (status == "Disconnected")
        return PopupCommands{true, false, true, true, any("Connected"), true};
    if (status == "Connecting") return PopupCommands{true, true, true, true, true, true};
    if (status == "Connected")
        return PopupCommands{false, true, true, any("Disconnected"), true, true};
    return std::nullopt;
}

// ---- Row texts ----

namespace {
// Summary column `i`'s text of its figure.
std::string SummaryText(const OrbanelGeneral10::CStringValues& values, size_t i, double figure) {
    auto money = [&](double v) { return values.ToCurrencyVal(runtime::Variant(v), true); };
    if (i == 4) return money(-figure);
    if (i == 5) return money(figure * 100) + "%";
    return money(figure);
}
}  // namespace

std::array<std::string, 7> SummaryTexts(const OrbanelGeneral10::CStringValues& values,
                                        double Balance, double FltPL, double Credit, double Equity,
                                        double marginReq, double MarginLevel, double EffMargin) {
    const double figures[] = {Balance, FltPL, Credit, Equity, marginReq, MarginLevel, EffMargin};
    std::array<std::string, 7> texts;
    for (size_t i = 0; i < texts.size(); ++i) texts[i] = SummaryText(values, i, figures[i]);
    return texts;
}

std::array<std::string, 7> SummaryTextMemo::Texts(const OrbanelGeneral10::CStringValues& values,
                                                  size_t place,
                                                  const std::array<double, 7>& figures) {
    const runtime::LocaleSettings& locale = runtime::Locale();
    if (locale.decimal != decimal_ || locale.thousands != thousands_) {
        places_.clear();
        decimal_ = locale.decimal;
        thousands_ = locale.thousands;
    }
    std::array<std::string, 7> texts;
    if (place >= kPlaces) {
        for (size_t i = 0; i < texts.size(); ++i) texts[i] = SummaryText(values, i, figures[i]);
        return texts;
    }
    if (places_.size() <= place) places_.resize(place + 1);
    std::array<Shown, 7>& shown = places_[place];
    for (size_t i = 0; i < texts.size(); ++i) {
        const uint64_t bits = std::bit_cast<uint64_t>(figures[i]);
        if (!shown[i].valid || shown[i].bits != bits)
            shown[i] = {bits, true, SummaryText(values, i, figures[i])};
        texts[i] = shown[i].text;
    }
    return texts;
}

platform::ListItem* ReturnList(const platform::ListView& lvwClients, const std::string& Account) {
    const auto wanted = WholeNumber(Account);
    if (!wanted) return nullptr;
    for (size_t i = 1; i <= lvwClients.Count(); ++i) {
        auto& row = lvwClients.Item(i);
        if (WholeNumber(row.SubItems(kAccountColumn)) == wanted) return &row;
    }
    return nullptr;
}

}  // namespace OrbanexDesk
