#include "desk/common/AccountLines.h"

#include <cmath>

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

std::optional<int32_t> WholeNumber(const std::string& text) {
    const double value = runtime::RoundHalfEven(runtime::Val(text));
    if (!std::isfinite(value) || value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<int32_t>(value);
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
    if (fields.size() < 4 || fields[0].empty()) return std::nullopt;
    const size_t n = fields.size();
    const auto account = WholeNumber(coder.DeCode(fields[n - 2]));
    if (!account) return std::nullopt;
    return SavedAccount{coder.DeCode(fields[0]), coder.DeCode(Middle(fields, n - 2)), *account,
                        fields[n - 1] == "True"};
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
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        size_t cut = end;
        if (cut > start && text[cut - 1] == '\r') --cut;
        lines.emplace_back(text.substr(start, cut - start));
        start = end + 1;
    }
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

}  // namespace OrbanexDesk
