#pragma once
// The two lines of a layout file: the panes' text and the command bars' text.
// A missing file or line reads as empty; so does a line over the cap, which no
// layout the desk writes comes near, so a damaged file cannot swallow memory.
#include <array>
#include <cstddef>
#include <filesystem>
#include <string>

namespace OrbanexDesk {

constexpr size_t kMaxLayoutLine = size_t{1} << 20;

std::array<std::string, 2> ReadLayoutLines(const std::filesystem::path& path);

}  // namespace OrbanexDesk
