#pragma once
// The command-message wire format that both codecs speak: the markers, cutting
// the received stream into messages, and reading a message's session id and
// parameters. Positions and counts are size_t so that a long message parses.
//
//   request:  word "s?<" sid "&h," ("G)_" value)* "+3!"
//   response: word "s?<" ("G)_" value)* "+3!"
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace OrbanelGeneral10::wire {

// A marker and the index of the character searched for first: the one least
// likely to turn up in ordinary message text, so memchr skips most of it.
struct Marker {
    std::string_view text;
    size_t key;
};

inline constexpr Marker kSessionMarker{"s?<", 1};
inline constexpr Marker kParameterListMarker{"&h,", 0};
inline constexpr Marker kParameterMarker{"G)_", 1};
inline constexpr Marker kEndMarker{"+3!", 0};

inline constexpr std::string_view kNotSent = "!&NS&!";
inline constexpr std::string_view kInvalidParameter = "%$#InVaLID";
inline constexpr int32_t kNoSessionId = -100;
// The most parameters a request or response of the general library's codec carries.
inline constexpr size_t kMaxParameters = 51;

inline constexpr size_t npos = std::string_view::npos;

namespace detail {
// First `key` in [p, end), nullptr when none. Parameters and words are short,
// so the first bytes are tested eight at a time before memchr, whose call costs
// more than such a stretch, takes over.
inline const char* FindByte(const char* p, const char* end, char key) noexcept {
    const char* near = end - p > 64 ? p + 64 : end;
    if constexpr (std::endian::native == std::endian::little) {
        constexpr uint64_t kOnes = 0x0101010101010101ull;
        constexpr uint64_t kHighs = 0x8080808080808080ull;
        const uint64_t pattern = kOnes * static_cast<unsigned char>(key);
        for (; near - p >= 8; p += 8) {
            uint64_t x;
            std::memcpy(&x, p, sizeof x);
            x ^= pattern;
            // The lowest flagged byte is always a true match.
            const uint64_t hit = (x - kOnes) & ~x & kHighs;
            if (hit != 0) return p + (std::countr_zero(hit) >> 3);
        }
    }
    for (; p < near; ++p)
        if (*p == key) return p;
    if (p == end) return nullptr;
    return static_cast<const char*>(std::memchr(p, key, static_cast<size_t>(end - p)));
}

}  // namespace detail

// First position of `marker` at or after `from`, npos when absent. Inline: the
// parsers call it once per parameter.
inline size_t Find(std::string_view text, const Marker& marker, size_t from = 0) noexcept {
    const size_t n = marker.text.size();
    if (n == 0 || text.size() < n || from > text.size() - n) return npos;
    const char* base = text.data();
    const char* m = marker.text.data();
    const char key = m[marker.key];
    const char* p = base + from + marker.key;
    const char* end = base + (text.size() - n) + marker.key + 1;  // past the last key position
    while ((p = detail::FindByte(p, end, key)) != nullptr) {
        const char* start = p - marker.key;
        size_t k = 0;
        while (k < n && start[k] == m[k]) ++k;
        if (k == n) return static_cast<size_t>(start - base);
        ++p;
    }
    return npos;
}

// Calls visit(position) for every occurrence of `marker` at or after `from`,
// left to right and not overlapping, until visit returns false. One pass with
// no restarts, for markers that lie a few bytes apart (parameters).
template <class Visit>
void ForEachMarker(std::string_view text, const Marker& marker, size_t from, Visit&& visit) {
    constexpr size_t n = 3;
    if (text.size() < n || from > text.size() - n) return;
    if (std::endian::native != std::endian::little || marker.text.size() != n) {
        for (size_t at = Find(text, marker, from); at != npos;
             at = Find(text, marker, at + marker.text.size()))
            if (!visit(at)) return;
        return;
    }
    const char* base = text.data();
    const char m0 = marker.text[0], m1 = marker.text[1], m2 = marker.text[2];
    const size_t key = marker.key;
    const char* p = base + from + key;
    const char* end = base + (text.size() - n) + key + 1;  // past the last key position
    const char* allowed = p;  // key positions before this would overlap the last marker
    constexpr uint64_t kOnes = 0x0101010101010101ull;
    constexpr uint64_t kHighs = 0x8080808080808080ull;
    const uint64_t pattern = kOnes * static_cast<unsigned char>(marker.text[key]);
    for (; end - p >= 8; p += 8) {
        uint64_t x;
        std::memcpy(&x, p, sizeof x);
        x ^= pattern;
        // Flags every byte equal to the key and possibly a few others, which
        // the full comparison drops.
        for (uint64_t hit = (x - kOnes) & ~x & kHighs; hit != 0; hit &= hit - 1) {
            const char* at = p + (std::countr_zero(hit) >> 3);
            const char* s = at - key;
            if (at >= allowed && s[0] == m0 && s[1] == m1 && s[2] == m2) {
                allowed = at + n;
                if (!visit(static_cast<size_t>(s - base))) return;
            }
        }
    }
    for (; p < end; ++p) {
        const char* s = p - key;
        if (p >= allowed && s[0] == m0 && s[1] == m1 && s[2] == m2) {
            allowed = p + n;
            if (!visit(static_cast<size_t>(s - base))) return;
        }
    }
}

// The text before the first "s?<"; nullopt when the message holds none.
std::optional<std::string_view> CommandWord(std::string_view cmd) noexcept;

// Appends "G)_" & value for the first `max` values, stopping before the first
// that is exactly the not-sent marker.
void AppendParameters(std::string& out, const std::vector<std::string>& values, size_t max);

// Parameter `index` of a received message: "%$#InVaLID" when the message holds
// no "G)_" or fewer parameters; the empty text for index 0. A negative index
// raises runtime::Error(9) (when the message has parameters at all).
std::string_view ParameterView(std::string_view cmd, int64_t index);
inline std::string ParameterValue(std::string_view cmd, int64_t index) {
    return std::string(ParameterView(cmd, index));
}

// ParameterView for a codec that is asked for the parameters of one message
// one by one: the positions of the last message's parameters are kept, so
// reading all of them costs one scan, not one scan each.
class ParameterCache {
public:
    std::string_view View(std::string_view cmd, int64_t index) {
        if (!valid_ || cmd.size() != text_.size() ||
            std::memcmp(cmd.data(), text_.data(), cmd.size()) != 0)
            Rebuild(cmd);
        if (starts_.empty()) return kInvalidParameter;
        if (index < 0) RaiseNegativeIndex();
        if (index == 0) return {};
        if (static_cast<uint64_t>(index) > starts_.size()) return kInvalidParameter;
        const size_t i = static_cast<size_t>(index);
        const size_t begin = starts_[i - 1];
        const size_t end =
            i < starts_.size() ? starts_[i] - kParameterMarker.text.size() : cmd.size();
        return cmd.substr(begin, end - begin);
    }

private:
    void Rebuild(std::string_view cmd);
    [[noreturn]] static void RaiseNegativeIndex();

    std::string text_;            // the message the positions belong to
    std::vector<size_t> starts_;  // where each parameter's value begins
    bool valid_ = false;
};

// Where one parameter's value lies in its message.
struct Span {
    size_t offset;
    size_t length;
};

// Every parameter of a message in one pass, as reading ParameterValue(1, 2, ...)
// until the first "%$#InVaLID" gives them.
void ReadParameters(std::string_view cmd, std::vector<Span>& out);
// The same as texts; reuses the strings of `out`.
void ReadParameters(std::string_view cmd, std::vector<std::string>& out);

// Session id of a received request: the number between the first "s?<" and the
// first "&h,", rounded half to even; -100 when either marker is missing, out of
// order or nothing lies between them. A number outside 32 bits raises Error(6).
int32_t RequestSID(std::string_view cmd);

// Text of an error code (-500, -501, -502); empty for any other code.
std::string ErrorText(int32_t code);

// Memory kept for reuse once a message is done: a buffer larger than this is
// released, and the spare message texts of a receiver hold no more than this
// together, so that memory after a burst goes back near the idle figure. A desk
// runs hundreds of receivers, each of which meets a burst now and then: what
// each keeps is held by all of them in the end. A quote message is a few
// hundred bytes.
inline constexpr size_t kSpareBytes = size_t{8} << 10;

// Releases the storage of a buffer larger than kSpareBytes.
inline void ReleaseIfLarge(std::string& buffer) noexcept {
    if (buffer.capacity() > kSpareBytes) std::string().swap(buffer);
}

// For rows handed back by ReceiveBuffer::Split once their messages are done:
// releases the rows past what kSpareBytes keeps (at most 256 of them).
void TrimSpareTexts(std::vector<std::string>& rows) noexcept;

// The receive buffer of a codec: text received and not yet cut into messages.
class ReceiveBuffer {
public:
    // Appends `received`, drops one leading end marker, cuts at every end
    // marker and keeps the incomplete tail. rows is made anew with indices 1 to
    // n + 1 (index 0 and n + 1 empty); the messages are rows[1..n], without their
    // end markers. Returns n.
    size_t Split(std::string_view received, std::vector<std::string>& rows);
    void Clear() noexcept;

private:
    static constexpr size_t kSpareRows = 256;

    std::string buffer_;
    std::vector<std::string> spare_;
    size_t spareBytes_ = 0;  // their capacities together
    // The buffer holds no end marker that starts before this position, so a
    // long message arriving in small reads is not rescanned from its start.
    size_t scanFrom_ = 0;
};

}  // namespace OrbanelGeneral10::wire
