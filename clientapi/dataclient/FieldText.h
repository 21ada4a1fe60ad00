#pragma once
// How the data client's objects read numbers out of answer and push fields:
// the leading number (Val) rounded halves to even, or strictly, the whole
// text a number in the locale. Out of range raises runtime::Error(6); a
// strict text that is no number runtime::Error(13).
#include <cstdint>
#include <optional>
#include <string_view>

#include "runtime/Convert.h"
#include "runtime/Error.h"

namespace OrbanexClientAPI10::fieldtext {

inline int32_t Whole(std::string_view text) {
    return runtime::CLng(runtime::Val(text));
}
inline int16_t Short(std::string_view text) {
    return runtime::CInt(runtime::Val(text));
}
inline double Real(std::string_view text) {
    return runtime::Val(text);
}

inline double StrictNumber(std::string_view text) {
    const std::optional<double> number = runtime::ParseNumber(text);
    if (!number) throw runtime::Error(runtime::errc::TypeMismatch);
    return *number;
}
inline int32_t StrictWhole(std::string_view text) {
    return runtime::CLng(StrictNumber(text));
}

}  // namespace OrbanexClientAPI10::fieldtext
