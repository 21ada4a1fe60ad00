#pragma once
// The two line formats that hold accounts. A saved-accounts line carries the user
// name, password and account each scrambled by the string coder, then the
// log-in-at-start flag in plain ("True"/"False"); an account-list line carries the
// user as typed, the coded upper-case password and the account's shortest
// decimal text. The coder passes "," unchanged, so a password holding "," is
// read back by taking the fields from both ends: the user first, the flag (and
// the account) last, the rest the password. Torn, hand-edited or damaged lines
// read as nothing rather than raising.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "general/common/CStringValues.h"
#include "runtime/Error.h"

namespace OrbanexDesk {

// A file of account lines (saved accounts, an account list) beyond this is
// damaged: 500 accounts take about 40 KB.
constexpr size_t kLargestAccountLinesFile = 4 * 1024 * 1024;

struct SavedAccount {
    std::string UserName;  // upper case, as stored
    std::string Password;  // upper case, as stored
    int32_t Account = 0;
    bool AutoLogin = false;
};

struct ListAccount {
    std::string UserName;     // as typed
    std::string Password;     // decoded
    std::string AccountText;  // as the line holds it
};

// The saved-accounts line of an account (upper-cases user name and password).
std::string SavedAccountLine(const OrbanelGeneral10::CStringValues& coder,
                             const std::string& UserName, const std::string& Password,
                             int32_t Account, bool AutoLogin);
// Nothing unless the line has four or more fields, user and password decode
// non-empty, the account decodes to the decimal text std::to_string gives a 32-bit
// number and the flag is "True" or "False": exactly what the writer writes.
std::optional<SavedAccount> ParseSavedAccountLine(const OrbanelGeneral10::CStringValues& coder,
                                                  std::string_view line);

// The account-list line; AccountText is read as the number at its start.
std::string AccountListLine(const OrbanelGeneral10::CStringValues& coder,
                            const std::string& UserName, const std::string& Password,
                            const std::string& AccountText);
// Nothing for a blank line, fewer than three fields or an empty user.
std::optional<ListAccount> ParseAccountListLine(const OrbanelGeneral10::CStringValues& coder,
                                                std::string_view line);
// The last list line of this user (any letter case) and account (exact text), or
// `fallback`.
std::string MatchAccountListLine(const std::vector<std::string>& lines, const std::string& user,
                                 const std::string& account, std::string fallback);

// A file's lines walked where they stand (CR LF or LF; a last line without an
// ending counts), none kept: a file of empty lines would otherwise cost a string
// each. Calls `f` with each line in order until it returns false.
template <class F>
void ForEachLine(std::string_view text, F f) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const size_t cut = end > start && text[end - 1] == '\r' ? end - 1 : end;
        if (!f(text.substr(start, cut - start))) return;
        start = end + 1;
    }
}
// A file's lines, cut as ForEachLine cuts them.
std::vector<std::string> SplitLines(std::string_view text);
// Lines joined, each ended by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);
// The lines of a file; raises runtime::Error(53) when it is missing.
std::vector<std::string> ReadLines(const std::filesystem::path& path);
// Creates `folder` when it is missing, the owner's alone (0700) as it holds
// credentials; an existing folder keeps its rights. A failure shows when the
// folder's files are written.
void MakePrivateFolder(const std::filesystem::path& folder);
// The reason of a file error without the path it names ("Is a directory").
std::string FailureReason(const runtime::Error& error);

}  // namespace OrbanexDesk
