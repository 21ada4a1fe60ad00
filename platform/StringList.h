#pragma once
// A text cut at every occurrence of a delimiter. Pieces are numbered from 1;
// count is delimiters + 1, so the empty text is one empty piece and a trailing
// delimiter gives an empty last piece. An empty delimiter keeps the text whole.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class StringList {
public:
    void SetDelimiter(std::string_view delimiter) { delimiter_ = delimiter; }
    const std::string& Delimiter() const { return delimiter_; }

    // Replaces the content with the pieces of `text`. `flags` is accepted and unused.
    void Load(std::string_view text, int32_t flags = 0);
    void Clear();

    // 0 after Clear (or before any Load).
    size_t Count() const { return bounds_.size(); }
    // Piece `index` (1..Count); raises runtime::Error(9) outside.
    std::string Item(size_t index) const { return std::string(ItemView(index)); }
    std::string_view ItemView(size_t index) const;

private:
    std::string delimiter_;
    std::string text_;
    std::vector<std::pair<size_t, size_t>> bounds_;  // offset, length
};

}  // namespace platform
