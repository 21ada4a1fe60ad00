#include "desk/common/MGeneral.h"

#include <charconv>
#include <cmath>

#include "runtime/Convert.h"
#include "runtime/Error.h"

namespace OrbanexDesk {

namespace {
using OrbanelGeneral10::DDspMMspYYYY_HHspNNspSS;
using OrbanelGeneral10::ServerToClient;

runtime::Date ToClientTime(const DeskState& state, const std::string& serverTime) {
    const auto& sv = *state.StringValues;
    const runtime::Date at = sv.ToDateTime(serverTime, "/", ":", DDspMMspYYYY_HHspNNspSS);
    return sv.ConvertGMTVal(at, state.ClientGMTOffset, state.ServerGMTOffset, ServerToClient);
}

std::string AccountKey(char kind, std::string_view account, std::string_view id) {
    std::string key;
    key.reserve(2 + account.size() + id.size());
    key += kind;
    key += account;
    key += '|';
    key += id;
    return key;
}
}  // namespace

std::string FormatDateTimeText(const DeskState& state, const std::string& ServerTime) {
    return state.StringValues->MyFormat(runtime::Variant(ToClientTime(state, ServerTime)),
                                        "yyyy-mm-dd hh:nn:ss");
}

std::string FormatTimeText(const DeskState& state, const std::string& ServerTime) {
    return state.StringValues->MyFormat(runtime::Variant(ToClientTime(state, ServerTime)), "hh:nn");
}

SymbolPtr GetSymbolItem(const DeskState& state, const std::string& Key) {
    if (!state.DeskSymbols) return nullptr;
    const SymbolPtr* found = state.DeskSymbols->Find(Key, nullptr);
    return found ? *found : nullptr;
}

SymbolPtr GetCollectionItem(const DeskState& state, const std::string& Name) {
    if (!state.DeskSymbols) return nullptr;
    for (const auto& entry : *state.DeskSymbols) {
        if (!entry.value) continue;
        try {
            if (entry.value->Name() == Name) return entry.value;
        } catch (const runtime::Error&) {
            // the view of a session that was released since: it is no symbol of the desk
        }
    }
    return nullptr;
}

std::string MarketWatchKey(int32_t SymbolID) {
    return "S" + std::to_string(SymbolID);
}

platform::ListItem* GetMarketWatchItem(IfrmMW& frmMW, const SymbolPtr& Symbol) {
    if (!Symbol) return nullptr;
    return frmMW.lvmw().Find(MarketWatchKey(Symbol->ID()));
}

bool IsSymbolInMarketWatch(IfrmMW& frmMW, int32_t SymbolID) {
    return frmMW.lvmw().Find(MarketWatchKey(SymbolID)) != nullptr;
}

std::string OrderPaneRowKey(int32_t Account) {
    return "C" + std::to_string(Account);
}

std::string PositionRowKey(std::string_view Account, std::string_view Ticket) {
    return AccountKey('T', Account, Ticket);
}

std::string_view PositionRowKey(int32_t Account, int32_t Ticket,
                                char (&buffer)[kPositionRowKeyChars]) {
    // Each number gets the room of its longest text, so neither write can fail
    // nor take the room of what follows it.
    constexpr size_t kNumberChars = 11;  // "-2147483648"
    static_assert(kPositionRowKeyChars == 2 + 2 * kNumberChars);
    char* at = buffer;
    *at++ = 'T';
    at = std::to_chars(at, at + kNumberChars, Account).ptr;
    *at++ = '|';
    at = std::to_chars(at, at + kNumberChars, Ticket).ptr;
    return std::string_view(buffer, at - buffer);
}

std::string PositionRowKey(int32_t Account, int32_t Ticket) {
    char buffer[kPositionRowKeyChars];
    return std::string(PositionRowKey(Account, Ticket, buffer));
}

std::string PendingRowKey(int32_t Account, std::string_view OrderID) {
    return AccountKey('P', std::to_string(Account), OrderID);
}

std::string PendingRowKey(int32_t Account, int32_t OrderID) {
    return PendingRowKey(Account, std::to_string(OrderID));
}

std::string NetRowKey(int32_t SymbolID, int32_t Side, std::optional<int32_t> Account) {
    std::string key = "To" + std::to_string(SymbolID) + "|" + std::to_string(Side);
    if (Account) key += "|" + std::to_string(*Account);
    return key;
}

namespace {

// The shape every money cell has ("-1234.5", "12345.67" once "," and blanks are
// dropped), read as whole cents without a double: below 10^14 cents the double
// read, times 100 and rounded, gives the same whole number. False for anything else.
bool PlainCents(const char* text, size_t n, int64_t& cents) {
    size_t i = n > 0 && text[0] == '-' ? 1 : 0;
    const bool minus = i == 1;
    int64_t value = 0;
    int32_t digits = 0, decimals = 0;
    bool point = false;
    for (; i < n; ++i) {
        const char c = text[i];
        if (c == '.' && !point && digits > 0) {
            point = true;
            continue;
        }
        if (c < '0' || c > '9' || decimals == 2) return false;
        value = value * 10 + (c - '0');
        ++digits;
        if (point) ++decimals;
    }
    if (digits == 0 || (point && decimals == 0) || digits - decimals + 2 > 14) return false;
    for (; decimals < 2; ++decimals) value *= 10;
    cents = minus ? -value : value;
    return true;
}

}  // namespace

int64_t MoneyCents(std::string_view text) {
    char digits[64];
    size_t n = 0;
    for (char c : text) {
        if (c == ',' || c == ' ') continue;
        if (n == sizeof digits) break;
        digits[n++] = c;
    }
    if (int64_t cents = 0; PlainCents(digits, n, cents)) return cents;
    const char* begin = digits;
    if (n > 0 && *begin == '+') ++begin;
    double value = 0;
    const auto [end, ec] = std::from_chars(begin, digits + n, value);
    // Beyond 2^53 cents no figure is exact; such a text is no money figure.
    constexpr double kLargest = 9e13;  // 2^53 cents, in units
    if (ec != std::errc() || !(std::fabs(value) < kLargest)) return 0;
    return static_cast<int64_t>(std::llround(value * 100));
}

std::string CentsText(int64_t cents) {
    // Beyond this a double's 15 digits no longer hold every cent: the general path.
    constexpr int64_t kExact = 1'000'000'000'000'000 / 100;
    if (cents <= -kExact || cents >= kExact)
        return runtime::NumberToText(static_cast<double>(cents) / 100);
    const uint64_t magnitude = cents < 0 ? uint64_t(-cents) : uint64_t(cents);
    std::string text = (cents < 0 ? "-" : "") + std::to_string(magnitude / 100);
    const unsigned fraction = unsigned(magnitude % 100);
    if (fraction != 0) {
        text += '.';
        text += char('0' + fraction / 10);
        if (fraction % 10 != 0) text += char('0' + fraction % 10);
    }
    return text;
}

}  // namespace OrbanexDesk
