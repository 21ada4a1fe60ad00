#include "desk/shell/LayoutFile.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <optional>
#include <string_view>
#include <system_error>

#include "platform/Paths.h"

namespace OrbanexDesk {

namespace {
// The most a file of two whole lines holds, line breaks included.
constexpr size_t kLargestLayoutFile = 2 * (kMaxLayoutLine + 2);

// The line of `text` from `at` up to its LF, without its CR LF; one over the
// cap reads as empty. `at` moves past the LF.
std::string CappedLine(std::string_view text, size_t& at) {
    const size_t end = std::min(text.find('\n', at), text.size());
    std::string_view line = text.substr(at, end - at);
    at = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line.size() > kMaxLayoutLine ? std::string() : std::string(line);
}
}  // namespace

std::array<std::string, 2> ReadLayoutLines(const std::filesystem::path& path) {
    std::array<std::string, 2> lines;
    std::optional<std::string> text;
    try {
        text = platform::ReadFileUpTo(path, kLargestLayoutFile);
    } catch (const std::exception&) {
        return lines;  // missing or unreadable: a first start
    }
    if (!text) return lines;
    size_t at = 0;
    for (auto& line : lines)
        if (at <= text->size()) line = CappedLine(*text, at);
    return lines;
}

namespace {
std::filesystem::path WithSuffix(const std::filesystem::path& path, const char* suffix) {
    return std::filesystem::path(path.native() + suffix);
}
}  // namespace

LayoutLoadMark::LayoutLoadMark(const std::filesystem::path& layout, Judge judge)
    : mark_(WithSuffix(layout, kLoadMarkSuffix)) {
    std::error_code error;
    interrupted_ = judge == Judge::LastLoad && mark_.Standing() == platform::HeldMark::Found::Left;
    if (interrupted_ && std::filesystem::exists(layout, error)) {
        const std::filesystem::path aside = WithSuffix(layout, kSetAsideSuffix);
        std::filesystem::rename(layout, aside, error);
        const std::string fate =
            error ? "it is not loaded this time" : "it is kept as " + aside.string();
        std::fprintf(stderr, "OrbanexDesk: the last start ended while it loaded %s; %s\n",
                     layout.c_str(), fate.c_str());
    }
}

}  // namespace OrbanexDesk
