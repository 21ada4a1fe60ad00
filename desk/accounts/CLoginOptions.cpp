#include "desk/accounts/CLoginOptions.h"

#include <array>
#include <cmath>
#include <optional>

#include "desk/common/AccountLines.h"
#include "platform/Paths.h"
#include "runtime/Convert.h"
#include "runtime/Error.h"
#include "runtime/Strings.h"

namespace OrbanexDesk {

namespace {
constexpr std::string_view kServerSeparator = "&&";

struct Address {
    std::string ip;
    int32_t port = 0;
};

// "ip:port" split at the first ":"; nothing without ":" or with a port that is
// not a whole 32-bit number.
std::optional<Address> ParseAddress(const std::string& text) {
    const size_t colon = text.find(':');
    if (colon == std::string::npos) return std::nullopt;
    try {
        return Address{text.substr(0, colon),
                       runtime::CLng(runtime::Variant(text.substr(colon + 1)))};
    } catch (const runtime::Error&) {
        return std::nullopt;
    }
}

std::optional<int32_t> PortOf(const std::string& item) {
    const double value = runtime::RoundHalfEven(runtime::Val(item));
    if (!std::isfinite(value) || value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<int32_t>(value);
}

// A field written before the separator: one ending in "&" gets a blank (read as
// "x& " and trimmed), or its "&" would join the separator and the list would read
// back otherwise.
std::string SeparableField(const std::string& field) {
    return field.ends_with('&') ? field + " " : field;
}

// A fresh home may lack the manage folder, which holds the saved credentials.
void MakeFolderOf(const std::filesystem::path& file) {
    MakePrivateFolder(file.parent_path());
}

struct ServerFileText {
    bool present = false;   // something is there, read or not
    bool tooLarge = false;  // beyond kLargestServerFile: not read
    bool unread = false;    // a read failed: no text
    std::string reason;     // why, when unread
    std::string text;
};

// Reads no more than the bound and its one byte more, whatever stands there (a
// device or a pipe included); what cannot be read gives no text.
ServerFileText ReadServerFile(const std::filesystem::path& path) {
    ServerFileText out;
    out.present = true;
    try {
        auto text = platform::ReadFileUpTo(path, CLoginOptions::kLargestServerFile);
        out.tooLarge = !text;
        if (text) out.text = std::move(*text);
    } catch (const runtime::Error& e) {
        out.present = e.Number() != runtime::errc::FileNotFound;
        out.unread = out.present;
        out.reason = FailureReason(e);
    }
    return out;
}

// The first four lines of `text`; what follows is never kept.
std::array<std::string_view, 4> FirstFourLines(std::string_view text) {
    std::array<std::string_view, 4> lines;
    size_t n = 0;
    ForEachLine(text, [&](std::string_view line) {
        lines[n++] = line;
        return n < lines.size();
    });
    return lines;
}

// A file the next start would not read, past its bound, is not written.
void CheckWritable(const std::filesystem::path& file, const std::string& text, size_t bound) {
    if (text.size() <= bound) return;
    throw runtime::Error(runtime::errc::PathFileAccess,
                         "Path/File access error: " + file.string() + ": it would be larger than " +
                             platform::SizeText(bound) +
                             ", which no start reads; the file is left as it is");
}
}  // namespace

// ---- The list ----

CLoginOptions::CLoginOptions(DeskServices& desk) : desk_(desk) {
    serverFileName_ = platform::ResolvePath("\\manage\\SERVER.BUF").string();
    // Made now, so "\Manage\" below resolves to the same folder on a fresh home.
    MakeFolderOf(serverFileName_);
    desk_.State().AccountsFilePath = platform::ResolvePath("\\Manage\\Acountinfo.buf").string();
    InitializeFromFile();
}

const CLoginOptions::ServerEntry& CLoginOptions::Entry(int16_t i) const {
    if (i < 1 || i > Servers()) throw runtime::Error(runtime::errc::SubscriptOutOfRange);
    return servers_[static_cast<size_t>(i - 1)];
}

std::string CLoginOptions::ServerIP(int16_t i) const {
    return Entry(i).ip;
}

std::string CLoginOptions::ServerDesc(int16_t i) const {
    return Entry(i).desc;
}

int32_t CLoginOptions::ServerPort(int16_t i) const {
    return Entry(i).port;
}

std::string CLoginOptions::Server(int16_t i) const {
    return ServerIP(i) + ":" + std::to_string(ServerPort(i));
}

std::string CLoginOptions::CurrentServer() const {
    if (currentIP_.empty()) return "";
    return currentIP_ + ":" + std::to_string(currentPort_);
}

int16_t CLoginOptions::CurrentServerIndex() const {
    const std::string current = CurrentServer();
    for (size_t i = 0; i < servers_.size(); ++i)
        if (servers_[i].ip + ":" + std::to_string(servers_[i].port) == current)
            return static_cast<int16_t>(i + 1);
    return -1;
}

std::string CLoginOptions::CurrentServerDesc() const {
    const int16_t index = CurrentServerIndex();
    return index == -1 ? CurrentServer() : ServerDesc(index);
}

std::string CLoginOptions::AllServers() const {
    std::vector<std::string> items;
    for (const auto& s : servers_) {
        items.push_back(s.desc);
        items.push_back(SeparableField(s.ip));
        items.push_back(std::to_string(s.port));
    }
    if (!unlisted_.empty()) items.push_back(unlisted_);
    return runtime::Join(items, kServerSeparator);
}

void CLoginOptions::RoutServer(const std::string& NewIP, int32_t NewPort) {
    for (auto& s : servers_) {
        if (s.ip == currentIP_ && s.port == currentPort_) {
            s.ip = NewIP;
            s.port = NewPort;
        }
    }
    currentIP_ = NewIP;
    currentPort_ = NewPort;
}

// ---- The file ----

void CLoginOptions::InitializeFromFile() {
    const ServerFileText file = ReadServerFile(serverFileName_);
    const auto lines = FirstFourLines(file.text);
    ReadServers(lines[0]);
    const auto current = ParseAddress(std::string(lines[1]));
    currentIP_ = current ? runtime::Trim(current->ip) : "";
    currentPort_ = current && !currentIP_.empty() ? current->port : 0;
    try {
        parentDemoAccounts_ = runtime::CLng(runtime::Variant(std::string(lines[2])));
    } catch (const runtime::Error&) {
        parentDemoAccounts_ = 0;
    }
    loginUnderwlIDs_ = lines[3];
    noServerReason_.clear();
    // One box per read: a file that gives no current server says that, and how
    // many servers it listed or why it was not read.
    if (file.present && currentIP_.empty())
        NoCurrentServer(file.tooLarge ? ": the file is larger than 4 MB, far more than any server "
                                        "list takes, and was not read"
                        : file.unread ? ": " + file.reason
                                      : " (" + std::to_string(servers_.size()) +
                                            (servers_.size() == 1 ? " listed server was"
                                                                  : " listed servers were") +
                                            " read)");
    else if (!unlisted_.empty())
        TooManyServers();
}

// Line 1's items are taken three at a time where they stand, never split apart
// all at once: a line of separators alone would make a string of each.
void CLoginOptions::ReadServers(std::string_view all) {
    servers_.clear();
    unlisted_.clear();
    constexpr size_t kWidth = kServerSeparator.size();
    size_t from = 0;  // where the next entry's description starts
    while (from != std::string_view::npos) {
        const size_t ip = all.find(kServerSeparator, from);
        const size_t port =
            ip == std::string_view::npos ? ip : all.find(kServerSeparator, ip + kWidth);
        // A torn last entry (fewer than three items) is left out.
        if (port == std::string_view::npos) break;
        // Servers past the count's reach are kept as written, so a save loses none.
        if (servers_.size() == kMostServers) {
            unlisted_ = all.substr(from);
            break;
        }
        const size_t next = all.find(kServerSeparator, port + kWidth);
        const std::string_view portItem =
            all.substr(port + kWidth, next == std::string_view::npos ? next : next - port - kWidth);
        // A port beyond 32 bits is left out.
        if (auto number = PortOf(std::string(portItem)))
            servers_.push_back(
                {std::string(all.substr(from, ip - from)),
                 runtime::Trim(std::string(all.substr(ip + kWidth, port - ip - kWidth))), *number});
        from = next == std::string_view::npos ? next : next + kWidth;
    }
}

void CLoginOptions::Save() {
    const std::string text = JoinLines(
        {AllServers(), CurrentServer(), std::to_string(parentDemoAccounts_), loginUnderwlIDs_});
    CheckWritable(serverFileName_, text, kLargestServerFile);
    MakeFolderOf(serverFileName_);
    platform::AtomicWriteFile(serverFileName_, text);
}

bool CLoginOptions::SetData(const platform::ComboBox& CBServer) {
    Address chosen;
    const int32_t index = CBServer.ListIndex();
    if (index == -1) {
        const auto typed = ParseAddress(CBServer.Text());
        if (!typed || typed->ip.empty()) {
            WrongServer();
            return false;
        }
        chosen = *typed;
    } else {
        const auto i = static_cast<int16_t>(index + 1);
        if (i > Servers()) {
            WrongServer();
            return false;
        }
        chosen = {ServerIP(i), ServerPort(i)};
    }
    const Address before{currentIP_, currentPort_};
    currentIP_ = chosen.ip;
    currentPort_ = chosen.port;
    try {
        Save();
    } catch (const runtime::Error& e) {
        currentIP_ = before.ip;
        currentPort_ = before.port;
        desk_.Ports().Messages->ShowMessage(
            "Could not write the server list " + serverFileName_ + ": " + FailureReason(e),
            "##DEF##", false);
        return false;
    }
    noServerReason_.clear();
    return true;
}

void CLoginOptions::NoCurrentServer(const std::string& why) {
    noServerReason_ = "No current server could be read from the server list " + serverFileName_ +
                      why + ". The file is left as it is, and no account is logged in.";
    if (desk_.Ports().Messages)
        desk_.Ports().Messages->ShowMessage(noServerReason_, "##DEF##", false);
}

void CLoginOptions::TooManyServers() {
    if (!desk_.Ports().Messages) return;
    desk_.Ports().Messages->ShowMessage(
        "The server list " + serverFileName_ + " holds more than " + std::to_string(kMostServers) +
            " servers: only the first " + std::to_string(kMostServers) +
            " are offered, the others are kept in the file as they are.",
        "##DEF##", false);
}

void CLoginOptions::WrongServer() {
    desk_.Ports().Messages->SystemMessage(std::string("Wrong server.\r\n") +
                                              "Server must be of the (IP:PORT) format\r\n" +
                                              "i.e\r\n" + kExampleServer,
                                          "Alert");
}

void CLoginOptions::saveAccount(const std::string& UserName, const std::string& Password,
                                int32_t Account, bool AutoLogin) {
    const std::filesystem::path path = desk_.State().AccountsFilePath;
    std::string text;
    try {
        text = platform::ReadFileWithin(path, kLargestAccountLinesFile);
    } catch (const runtime::Error& e) {
        if (e.Number() != runtime::errc::FileNotFound) throw;
    }
    MakeFolderOf(path);
    if (!text.empty() && text.back() != '\n') text += "\r\n";  // a torn last line stays its own
    text += JoinLines(
        {SavedAccountLine(*desk_.State().StringValues, UserName, Password, Account, AutoLogin)});
    CheckWritable(path, text, kLargestAccountLinesFile);
    platform::AtomicWriteFile(path, text, platform::FileAccess::OwnerOnly);
}

// ---- Re-routing ----

namespace {
// The line with every field equal to `from` (blanks aside) replaced by `to`.
std::string ReplaceFields(const std::string& line, const std::string& from, const std::string& to) {
    std::string out;
    size_t start = 0;
    while (true) {
        const size_t amp = line.find(kServerSeparator, start);
        const size_t colon = line.find(':', start);
        const size_t end = std::min(amp, colon);
        const std::string field = line.substr(start, end == std::string::npos ? end : end - start);
        if (runtime::Trim(field) == from) {
            const size_t lead = field.find_first_not_of(' ');
            const size_t trail = field.find_last_not_of(' ');
            const std::string replaced = field.substr(0, lead) + to + field.substr(trail + 1);
            out += end != std::string::npos && end == amp ? SeparableField(replaced) : replaced;
        } else {
            out += field;
        }
        if (end == std::string::npos) break;
        const size_t width = end == amp ? kServerSeparator.size() : 1;
        out += line.substr(end, width);
        start = end + width;
    }
    return out;
}
}  // namespace

bool ReplaceInServerFile(const std::filesystem::path& file, const std::string& OldText,
                         const std::string& NewText) {
    if (runtime::Trim(OldText).empty() || runtime::Trim(NewText).empty()) return false;
    const ServerFileText text = ReadServerFile(file);
    if (!text.present || text.tooLarge || text.unread) return false;
    // Every line goes back, each ended by CR LF.
    bool changed = false;
    std::string replaced;
    ForEachLine(text.text, [&](std::string_view line) {
        std::string out = ReplaceFields(std::string(line), runtime::Trim(OldText), NewText);
        changed = changed || out != line;
        replaced.append(out).append("\r\n");
        return true;
    });
    if (!changed) return false;
    CheckWritable(file, replaced, CLoginOptions::kLargestServerFile);
    platform::AtomicWriteFile(file, replaced);
    return true;
}

bool ReplaceInServerFile(const std::string& OldText, const std::string& NewText) {
    return ReplaceInServerFile(platform::ResolvePath("\\manage\\Server.buf"), OldText, NewText);
}

}  // namespace OrbanexDesk
