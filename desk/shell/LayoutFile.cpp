#include "desk/shell/LayoutFile.h"

#include <fstream>

namespace OrbanexDesk {

namespace {
// One line of at most kMaxLayoutLine bytes without its CR LF; longer reads as empty.
std::string ReadCappedLine(std::istream& in) {
    std::string line;
    bool tooLong = false;
    for (int c; (c = in.get()) != EOF && c != '\n';) {
        if (tooLong) continue;
        line.push_back(static_cast<char>(c));
        if (line.size() > kMaxLayoutLine + 1) {
            tooLong = true;
            line.clear();
            line.shrink_to_fit();
        }
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (tooLong || line.size() > kMaxLayoutLine) return {};
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

}  // namespace OrbanexDesk
