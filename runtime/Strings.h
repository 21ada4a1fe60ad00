#pragma once
// 1-based text helpers with the classic semantics. Positions count from 1;
// a start below 1 raises Error(5); every search with an empty find text is guarded.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace runtime {

enum class Compare { Binary, Text };  // Text: letters compared without regard to case

size_t Len(std::string_view s);
std::string Left(std::string_view s, size_t length);
std::string Right(std::string_view s, size_t length);
// Mid(s, start) / Mid(s, start, length): start past the end gives "".
std::string Mid(std::string_view s, int64_t start);
std::string Mid(std::string_view s, int64_t start, int64_t length);

// Position (1-based) of `find` at or after `start`, 0 when absent. An empty
// `find` returns `start` (when start <= Len + 1), as the classic function does.
size_t InStr(int64_t start, std::string_view s, std::string_view find,
             Compare compare = Compare::Binary);
size_t InStr(std::string_view s, std::string_view find, Compare compare = Compare::Binary);
// Last position (1-based) of a match of `find` that ends at or before `start` (-1: from
// the end); 0 when `start` is past the end; start 0 or below -1 raises Error(5).
size_t InStrRev(std::string_view s, std::string_view find, int64_t start = -1,
                Compare compare = Compare::Binary);

// Every occurrence of `find` (empty: nothing replaced), left to right, non-overlapping.
std::string Replace(std::string_view s, std::string_view find, std::string_view with,
                    Compare compare = Compare::Binary);

std::string Trim(std::string_view s);  // blanks only, both ends
std::string LTrim(std::string_view s);
std::string RTrim(std::string_view s);
std::string UCase(std::string_view s);  // ASCII letters
std::string LCase(std::string_view s);
std::string Space(size_t n);
std::string String(size_t n, char c);

// Pieces between delimiters, from left to right; the empty text is one empty
// piece; an empty delimiter gives the whole text as one piece.
std::vector<std::string> Split(std::string_view s, std::string_view delimiter);
std::string Join(const std::vector<std::string>& parts, std::string_view delimiter);

bool EqualsNoCase(std::string_view a, std::string_view b);
// StrComp semantics: -1, 0, 1.
int StrComp(std::string_view a, std::string_view b, Compare compare = Compare::Binary);

// Classic Like with "*", "?", "#", "[list]" and "[!list]" (ranges "a-z"; "[]" matches
// nothing); letters compare by case. An unclosed "[" raises Error(93).
bool Like(std::string_view s, std::string_view pattern);

}  // namespace runtime
