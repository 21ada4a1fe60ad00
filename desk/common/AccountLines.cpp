#include "desk/common/AccountLines.h"

#include <charconv>

#include "platform/Paths.h"
#include "runtime/Convert.h"
#include "runtime/Strings.h"

namespace OrbanexDesk {

namespace {
std::vector<std::string> Fields(std::string_view line) {
    return runtime::Split(line, ",");
}

// The fields first+1 .. last-1 joined back: a password may hold ",".
std::string Middle(const std::vector<std::string>& fields, size_t lastExcluded) {
    std::vector<std::string> middle(fields.begin() + 1, fields.begin() + lastExcluded);
    return runtime::Join(middle, ",");
}

// Only the text std::to_string gives a 32-bit number, as the writer writes it: a
// damaged field is no account, even when it starts with digits.
std::optional<int32_t> AccountNumber(const std::string& text) {
    int32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [last, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || last != end || std::to_string(value) != text) return std::nullopt;
    return value;
}

// The writer writes exactly these two; anything else marks a damaged line.
std::optional<bool> Flag(const std::string& text) {
    if (text == "True") return true;
    if (text == "False") return false;
    return std::nullopt;
}
}  // namespace

// ---- Saved-accounts lines ----

std::string SavedAccountLine(const OrbanelGeneral10::CStringValues& coder,
                             const std::string& UserName, const std::string& Password,
                             int32_t Account, bool AutoLogin) {
    return coder.Code(runtime::UCase(UserName)) + "," + coder.Code(runtime::UCase(Password)) + "," +
           coder.Code(std::to_string(Account)) + "," + (AutoLogin ? "True" : "False");
}

std::optional<SavedAccount> ParseSavedAccountLine(const OrbanelGeneral10::CStringValues& coder,
                                                  std::string_view line) {
    const auto fields = Fields(line);
    if (fields.size() < 4) return std::nullopt;
    const size_t n = fields.size();
    const auto account = AccountNumber(coder.DeCode(fields[n - 2]));
    const auto autoLogin = Flag(fields[n - 1]);
    SavedAccount saved{coder.DeCode(fields[0]), coder.DeCode(Middle(fields, n - 2)), 0, false};
    if (!account || !autoLogin || saved.UserName.empty() || saved.Password.empty())
        return std::nullopt;
    saved.Account = *account;
    saved.AutoLogin = *autoLogin;
    return saved;
}

// ---- Account-list lines ----

std::string AccountListLine(const OrbanelGeneral10::CStringValues& coder,
                            const std::string& UserName, const std::string& Password,
                            const std::string& AccountText) {
    return UserName + "," + coder.Code(runtime::UCase(Password)) + "," +
           runtime::NumberToText(runtime::Val(AccountText));
}

std::optional<ListAccount> ParseAccountListLine(const OrbanelGeneral10::CStringValues& coder,
                                                std::string_view line) {
    const auto fields = Fields(line);
    if (fields.size() < 3 || fields[0].empty()) return std::nullopt;
    const size_t n = fields.size();
    return ListAccount{fields[0], coder.DeCode(Middle(fields, n - 1)), fields[n - 1]};
}

std::string MatchAccountListLine(const std::vector<std::string>& lines, const std::string& user,
                                 const std::string& account, std::string fallback) {
    for (const auto& line : lines) {
        const auto fields = Fields(line);
        if (fields.size() < 3) continue;
        if (runtime::EqualsNoCase(fields.front(), user) && fields.back() == account)
            fallback = line;
    }
    return fallback;
}

// ---- Files ----

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    ForEachLine(text, [&lines](std::string_view line) {
        lines.emplace_back(line);
        return true;
    });
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    return text;
}

std::vector<std::string> ReadLines(const std::filesystem::path& path) {
    return SplitLines(platform::ReadWholeFile(path));
}

void MakePrivateFolder(const std::filesystem::path& folder) {
    std::error_code ec;
    if (folder.empty() || std::filesystem::exists(folder, ec)) return;
    if (std::filesystem::create_directories(folder, ec))
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all, ec);
}

std::string FailureReason(const runtime::Error& error) {
    if (error.Number() == runtime::errc::FileNotFound) return "it does not exist";
    // File errors read "<what>: <path>: <reason>"; the reason is the part after the path.
    const std::string& text = error.Description();
    const size_t cut = text.rfind(": ");
    return error.Number() == runtime::errc::PathFileAccess && cut != std::string::npos
               ? text.substr(cut + 2)
               : text;
}

}  // namespace OrbanexDesk
