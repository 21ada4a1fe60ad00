#include "runtime/Collection.h"

namespace runtime::detail {

std::string FoldKey(std::string_view key) {
    std::string out(key);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

}  // namespace runtime::detail
