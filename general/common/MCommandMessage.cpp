#include "general/common/MCommandMessage.h"

#include <cstring>
#include <utility>

#include "runtime/Convert.h"
#include "runtime/Error.h"

namespace OrbanelGeneral10::wire {

std::optional<std::string_view> CommandWord(std::string_view cmd) noexcept {
    size_t p = Find(cmd, kSessionMarker);
    if (p == npos) return std::nullopt;
    return cmd.substr(0, p);
}

void AppendParameters(std::string& out, const std::vector<std::string>& values, size_t max) {
    const size_t n = values.size() < max ? values.size() : max;
    for (size_t i = 0; i < n; ++i) {
        if (values[i] == kNotSent) break;
        out.append(kParameterMarker.text);
        out.append(values[i]);
    }
}

std::string_view ParameterView(std::string_view cmd, int64_t index) {
    size_t p = Find(cmd, kParameterMarker);
    if (p == npos) return kInvalidParameter;
    if (index < 0) throw runtime::Error(runtime::errc::SubscriptOutOfRange);
    if (index == 0) return {};
    size_t start = p + kParameterMarker.text.size();
    for (int64_t i = 1;; ++i) {
        size_t next = Find(cmd, kParameterMarker, start);
        if (i == index) return cmd.substr(start, next == npos ? npos : next - start);
        if (next == npos) return kInvalidParameter;
        start = next + kParameterMarker.text.size();
    }
}

void ParameterCache::Rebuild(std::string_view cmd) {
    valid_ = false;
    ReleaseIfLarge(text_);
    text_.assign(cmd);
    starts_.clear();
    ForEachMarker(cmd, kParameterMarker, 0, [&](size_t at) {
        starts_.push_back(at + kParameterMarker.text.size());
        return true;
    });
    valid_ = true;
}

void ParameterCache::RaiseNegativeIndex() {
    throw runtime::Error(runtime::errc::SubscriptOutOfRange);
}

void ReadParameters(std::string_view cmd, std::vector<Span>& out) {
    out.clear();
    size_t start = npos;  // where the value behind the last marker begins
    auto take = [&](size_t end) {
        const size_t length = end - start;
        if (length == kInvalidParameter.size() &&
            std::memcmp(cmd.data() + start, kInvalidParameter.data(), length) == 0)
            return false;
        out.push_back(Span{start, length});
        return true;
    };
    bool more = true;
    ForEachMarker(cmd, kParameterMarker, 0, [&](size_t at) {
        if (start != npos) more = take(at);
        start = at + kParameterMarker.text.size();
        return more;
    });
    if (more && start != npos) take(cmd.size());
}

void ReadParameters(std::string_view cmd, std::vector<std::string>& out) {
    std::vector<Span> spans;
    ReadParameters(cmd, spans);
    out.resize(spans.size());
    for (size_t i = 0; i < spans.size(); ++i)
        out[i].assign(cmd.substr(spans[i].offset, spans[i].length));
}

int32_t RequestSID(std::string_view cmd) {
    const size_t session = Find(cmd, kSessionMarker);
    if (session == npos) return kNoSessionId;
    const size_t list = Find(cmd, kParameterListMarker);
    const size_t from = session + kSessionMarker.text.size();
    if (list == npos || list <= from) return kNoSessionId;
    return runtime::CLng(runtime::Val(cmd.substr(from, list - from)));
}

std::string ErrorText(int32_t code) {
    switch (code) {
        case -500:
            return "Invalid session ID";
        case -501:
            return "Undefined command";
        case -502:
            return "Invalid paramenter";
        default:
            return {};
    }
}

void TrimSpareTexts(std::vector<std::string>& rows) noexcept {
    constexpr size_t kMaxRows = 256;
    size_t kept = 0;
    for (auto& row : rows) {
        kept += row.capacity();
        if (row.capacity() > kSpareBytes || kept > kSpareBytes) std::string().swap(row);
    }
    if (rows.size() > kMaxRows) {
        rows.resize(kMaxRows);
        rows.shrink_to_fit();
    }
}

size_t ReceiveBuffer::Split(std::string_view received, std::vector<std::string>& rows) {
    buffer_.append(received);
    const std::string_view text = buffer_;
    const size_t markerLength = kEndMarker.text.size();

    size_t pos = 0;
    if (text.substr(0, markerLength) == kEndMarker.text) pos = markerLength;

    if (rows.empty()) rows.emplace_back();
    size_t n = 0;
    size_t from = pos > scanFrom_ ? pos : scanFrom_;
    for (size_t end = Find(text, kEndMarker, from); end != npos;
         end = Find(text, kEndMarker, pos)) {
        ++n;
        if (n == rows.size()) {
            if (spare_.empty()) {
                rows.emplace_back();
            } else {
                spareBytes_ -= spare_.back().capacity();
                rows.push_back(std::move(spare_.back()));
                spare_.pop_back();
            }
        }
        rows[n].clear();
        rows[n].append(text.data() + pos, end - pos);
        pos = end + markerLength;
    }
    // Rows beyond this call's keep their storage for the next call, whose
    // number of messages differs with every read.
    // Rows past the budget are dropped.
    while (rows.size() > n + 2 && spare_.size() < kSpareRows) {
        const size_t bytes = rows.back().capacity();
        if (bytes <= kSpareBytes && spareBytes_ + bytes <= kSpareBytes) {
            spareBytes_ += bytes;
            spare_.push_back(std::move(rows.back()));
        }
        rows.pop_back();
    }
    rows.resize(n + 2);
    rows[0].clear();
    rows[n + 1].clear();

    buffer_.erase(0, pos);
    // Once a large message is done, its room goes back.
    if (buffer_.capacity() > kSpareBytes && buffer_.size() <= kSpareBytes) buffer_.shrink_to_fit();
    // A marker may straddle the end of the tail; everything before that is clean.
    scanFrom_ = buffer_.size() >= markerLength ? buffer_.size() - (markerLength - 1) : 0;
    return n;
}

void ReceiveBuffer::Clear() noexcept {
    buffer_.clear();
    ReleaseIfLarge(buffer_);
    scanFrom_ = 0;
}

}  // namespace OrbanelGeneral10::wire
