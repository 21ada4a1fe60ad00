#include "platform/StringList.h"

#include <cstring>

#include "runtime/Error.h"

namespace platform {

void StringList::Load(std::string_view text, int32_t /*flags*/) {
    text_.assign(text.data(), text.size());  // safe when `text` views our own buffer
    bounds_.clear();                         // keeps its capacity for the next load

    const std::string_view all(text_);
    const size_t dlen = delimiter_.size();
    if (dlen == 0) {
        bounds_.emplace_back(0, all.size());
        return;
    }
    size_t start = 0;
    if (dlen == 1) {
        const char d = delimiter_[0];
        const char* base = all.data();
        const char* end = base + all.size();
        const char* p = base;
        while (p < end) {
            const auto* hit = static_cast<const char*>(std::memchr(p, d, end - p));
            if (!hit) break;
            bounds_.emplace_back(start, static_cast<size_t>(hit - base) - start);
            start = static_cast<size_t>(hit - base) + 1;
            p = hit + 1;
        }
    } else {
        const std::string_view delim(delimiter_);
        for (size_t hit = all.find(delim); hit != std::string_view::npos;
             hit = all.find(delim, start)) {
            bounds_.emplace_back(start, hit - start);
            start = hit + dlen;
        }
    }
    bounds_.emplace_back(start, all.size() - start);
}

void StringList::Clear() {
    bounds_.clear();
    text_.clear();
}

std::string_view StringList::ItemView(size_t index) const {
    if (index < 1 || index > bounds_.size()) {
        throw runtime::Error(runtime::errc::SubscriptOutOfRange);
    }
    const auto& [offset, length] = bounds_[index - 1];
    return std::string_view(text_).substr(offset, length);
}

}  // namespace platform
