#include "desk/shell/LayoutFile.h"

#include <cstdio>
#include <fstream>
#include <system_error>

namespace OrbanexDesk {

namespace {
// One line of at most kMaxLayoutLine bytes without its CR LF; longer reads as
// empty, and no more than the cap and its line break is read of it.
std::string ReadCappedLine(std::istream& in) {
    std::string line;
    for (int c; (c = in.get()) != EOF && c != '\n';) {
        line.push_back(static_cast<char>(c));
        if (line.size() > kMaxLayoutLine + 1) {
            in.setstate(std::ios::eofbit);  // the rest is not read: no line follows
            return {};
        }
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() > kMaxLayoutLine) return {};
    return line;
}
}  // namespace

std::array<std::string, 2> ReadLayoutLines(const std::filesystem::path& path) {
    std::array<std::string, 2> lines;
    std::ifstream in(path, std::ios::binary);
    if (!in) return lines;
    for (auto& line : lines) line = ReadCappedLine(in);
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
