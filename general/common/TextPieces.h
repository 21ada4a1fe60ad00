#pragma once
// Pieces of the server's fixed-layout texts by 1-based delimiter positions. A
// delimiter that is missing (position 0) makes a negative length, which is an
// invalid argument (runtime::Error 5): the layout parsers fail instead of
// guessing.
#include <cstdint>
#include <string>

#include "runtime/Error.h"
#include "runtime/Strings.h"

namespace OrbanelGeneral10::textpieces {

// `length` characters from `start`; a start below 1 or a negative length raises.
inline std::string Piece(const std::string& s, int64_t start, int64_t length) {
    if (start < 1 || length < 0) throw runtime::Error(runtime::errc::InvalidProcedureCall);
    return runtime::Mid(s, start, length);
}

inline std::string Before(const std::string& s, size_t pos) {
    return Piece(s, 1, static_cast<int64_t>(pos) - 1);
}

inline std::string Between(const std::string& s, size_t from, size_t to) {
    return Piece(s, static_cast<int64_t>(from) + 1,
                 static_cast<int64_t>(to) - static_cast<int64_t>(from) - 1);
}

// Everything after `pos` (the whole text when pos is 0).
inline std::string After(const std::string& s, size_t pos) {
    return runtime::Mid(s, static_cast<int64_t>(pos) + 1);
}

// Positions of a delimiter; an empty one is never found.
inline size_t FirstPos(const std::string& s, const std::string& find) {
    return find.empty() ? 0 : runtime::InStr(s, find);
}

inline size_t LastPos(const std::string& s, const std::string& find) {
    return find.empty() ? 0 : runtime::InStrRev(s, find);
}

}  // namespace OrbanelGeneral10::textpieces
