#include "runtime/Strings.h"

#include <algorithm>

#include "runtime/Error.h"

namespace runtime {

namespace {
char Fold(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool CharsEqual(char a, char b, Compare compare) {
    return compare == Compare::Binary ? a == b : Fold(a) == Fold(b);
}

// 0-based index of `find` in `s` at or after `from`, npos when absent.
size_t Find(std::string_view s, std::string_view find, size_t from, Compare compare) {
    if (compare == Compare::Binary) return s.find(find, from);
    if (find.size() > s.size()) return std::string_view::npos;
    for (size_t i = from; i + find.size() <= s.size(); ++i) {
        size_t k = 0;
        while (k < find.size() && CharsEqual(s[i + k], find[k], compare)) ++k;
        if (k == find.size()) return i;
    }
    return std::string_view::npos;
}

void RequireStart(int64_t start) {
    if (start < 1) throw Error(errc::InvalidProcedureCall);
}

bool IsTrimBlank(char c) {
    return c == ' ';
}
}  // namespace

size_t Len(std::string_view s) {
    return s.size();
}

std::string Left(std::string_view s, size_t length) {
    return std::string(s.substr(0, length));
}

std::string Right(std::string_view s, size_t length) {
    return std::string(length >= s.size() ? s : s.substr(s.size() - length));
}

std::string Mid(std::string_view s, int64_t start) {
    RequireStart(start);
    if (static_cast<uint64_t>(start) > s.size()) return {};
    return std::string(s.substr(static_cast<size_t>(start - 1)));
}

std::string Mid(std::string_view s, int64_t start, int64_t length) {
    RequireStart(start);
    if (length < 0) throw Error(errc::InvalidProcedureCall);
    if (static_cast<uint64_t>(start) > s.size()) return {};
    return std::string(s.substr(static_cast<size_t>(start - 1), static_cast<size_t>(length)));
}

size_t InStr(int64_t start, std::string_view s, std::string_view find, Compare compare) {
    RequireStart(start);
    if (static_cast<uint64_t>(start) > s.size() + 1) return 0;
    if (find.empty()) return static_cast<size_t>(start);
    const size_t i = Find(s, find, static_cast<size_t>(start - 1), compare);
    return i == std::string_view::npos ? 0 : i + 1;
}

size_t InStr(std::string_view s, std::string_view find, Compare compare) {
    return InStr(1, s, find, compare);
}

size_t InStrRev(std::string_view s, std::string_view find, int64_t start, Compare compare) {
    if (start == -1) start = static_cast<int64_t>(s.size());
    if (start < 1) {
        // An empty text searched from its end (start -1 became 0) finds nothing.
        if (start == 0 && s.empty()) return 0;
        throw Error(errc::InvalidProcedureCall);
    }
    if (static_cast<uint64_t>(start) > s.size()) return 0;
    if (find.empty()) return static_cast<size_t>(start);
    if (find.size() > static_cast<size_t>(start)) return 0;
    // The match must end at or before `start`.
    for (size_t i = static_cast<size_t>(start) - find.size() + 1; i-- > 0;) {
        size_t k = 0;
        while (k < find.size() && CharsEqual(s[i + k], find[k], compare)) ++k;
        if (k == find.size()) return i + 1;
    }
    return 0;
}

std::string Replace(std::string_view s, std::string_view find, std::string_view with,
                    Compare compare) {
    if (find.empty()) return std::string(s);
    std::string out;
    out.reserve(s.size());
    size_t from = 0;
    while (true) {
        const size_t i = Find(s, find, from, compare);
        if (i == std::string_view::npos) break;
        out.append(s.substr(from, i - from));
        out.append(with);
        from = i + find.size();
    }
    out.append(s.substr(from));
    return out;
}

std::string LTrim(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && IsTrimBlank(s[i])) ++i;
    return std::string(s.substr(i));
}

std::string RTrim(std::string_view s) {
    size_t n = s.size();
    while (n > 0 && IsTrimBlank(s[n - 1])) --n;
    return std::string(s.substr(0, n));
}

std::string Trim(std::string_view s) {
    size_t i = 0, n = s.size();
    while (i < n && IsTrimBlank(s[i])) ++i;
    while (n > i && IsTrimBlank(s[n - 1])) --n;
    return std::string(s.substr(i, n - i));
}

std::string UCase(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = Fold(c);
    return out;
}

std::string LCase(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string Space(size_t n) {
    return std::string(n, ' ');
}

std::string String(size_t n, char c) {
    return std::string(n, c);
}

std::vector<std::string> Split(std::string_view s, std::string_view delimiter) {
    std::vector<std::string> parts;
    if (delimiter.empty()) {
        parts.emplace_back(s);
        return parts;
    }
    size_t from = 0;
    while (true) {
        const size_t i = s.find(delimiter, from);
        if (i == std::string_view::npos) break;
        parts.emplace_back(s.substr(from, i - from));
        from = i + delimiter.size();
    }
    parts.emplace_back(s.substr(from));
    return parts;
}

std::string Join(const std::vector<std::string>& parts, std::string_view delimiter) {
    std::string out;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) out.append(delimiter);
        out.append(parts[i]);
    }
    return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Fold(a[i]) != Fold(b[i])) return false;
    return true;
}

int StrComp(std::string_view a, std::string_view b, Compare compare) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        auto x = static_cast<unsigned char>(compare == Compare::Text ? Fold(a[i]) : a[i]);
        auto y = static_cast<unsigned char>(compare == Compare::Text ? Fold(b[i]) : b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

namespace {
// One element of a Like pattern; each matches exactly one character.
struct LikeElement {
    enum Kind { Literal, Any, Digit, Set } kind;
    char c = 0;
    bool negated = false;
    std::string_view set;  // list text between the brackets (without "!")
};

bool SetMatches(const LikeElement& e, char c) {
    bool hit = false;
    const std::string_view set = e.set;
    for (size_t i = 0; i < set.size() && !hit; ++i) {
        if (i + 2 < set.size() && set[i + 1] == '-') {
            hit = static_cast<unsigned char>(c) >= static_cast<unsigned char>(set[i]) &&
                  static_cast<unsigned char>(c) <= static_cast<unsigned char>(set[i + 2]);
            i += 2;
        } else {
            hit = set[i] == c;
        }
    }
    return hit != e.negated;
}

bool ElementMatches(const LikeElement& e, char c) {
    switch (e.kind) {
        case LikeElement::Literal:
            return e.c == c;
        case LikeElement::Any:
            return true;
        case LikeElement::Digit:
            return c >= '0' && c <= '9';
        case LikeElement::Set:
            return SetMatches(e, c);
    }
    return false;
}
}  // namespace

bool Like(std::string_view s, std::string_view pattern) {
    // Pattern as elements with "*" marks; stars are matched greedily with backtracking to
    // the last star only, which is exact because every other element takes one character.
    std::vector<LikeElement> elems;
    std::vector<bool> starBefore;  // starBefore[i]: a "*" precedes element i
    bool star = false;
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        LikeElement e{LikeElement::Literal, c, false, {}};
        if (c == '*') {
            star = true;
            continue;
        } else if (c == '?') {
            e.kind = LikeElement::Any;
        } else if (c == '#') {
            e.kind = LikeElement::Digit;
        } else if (c == '[') {
            const size_t close = pattern.find(']', i + 1);
            if (close == std::string_view::npos) throw Error(errc::InvalidPattern);
            std::string_view list = pattern.substr(i + 1, close - i - 1);
            i = close;
            if (list.empty()) continue;  // "[]" matches the empty text
            e.kind = LikeElement::Set;
            if (list[0] == '!') {
                e.negated = true;
                list.remove_prefix(1);
            }
            e.set = list;
        }
        elems.push_back(e);
        starBefore.push_back(star);
        star = false;
    }
    const bool trailingStar = star;

    // Classic wildcard matching: on a mismatch, let the latest star swallow one more character.
    size_t si = 0, pi = 0;
    size_t starP = SIZE_MAX, starS = 0;  // element after the latest star, text position there
    while (si < s.size()) {
        if (pi < elems.size() && starBefore[pi] && starP != pi) {
            starP = pi;
            starS = si;
        }
        if (pi < elems.size() && ElementMatches(elems[pi], s[si])) {
            ++si;
            ++pi;
        } else if (pi == elems.size() && trailingStar) {
            return true;
        } else if (starP != SIZE_MAX) {
            pi = starP;
            si = ++starS;
        } else {
            return false;
        }
    }
    // The text is used up; what is left of the pattern (stars aside) would need characters.
    return pi == elems.size();
}

}  // namespace runtime
