#pragma once
// A text file's lines walked where they stand, cut as SplitLines cuts them (CR LF
// or LF; a last line without an ending counts), none kept: a file of empty lines
// would otherwise cost a string each. Header only.
#include <cstddef>
#include <string_view>

namespace OrbanexDesk {

// Calls `f` with each line in order until it returns false.
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

}  // namespace OrbanexDesk
