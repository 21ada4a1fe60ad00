#include "runtime/Format.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <vector>

#include "runtime/Convert.h"
#include "runtime/Error.h"
#include "runtime/Locale.h"
#include "runtime/Strings.h"
#include "runtime/detail/Calendar.h"
#include "runtime/detail/Decimal.h"
#include "runtime/detail/Text.h"

namespace runtime {

namespace {

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

void AppendPadded(std::string& out, int64_t v, int width) {
    const std::string t = std::to_string(v);
    if (static_cast<int>(t.size()) < width) out.append(static_cast<size_t>(width) - t.size(), '0');
    out += t;
}

// Reads the literal at p[i] ("\x" or a quoted run) into `text`; returns the index of its
// last character, or npos when p[i] starts no literal.
size_t ReadLiteral(std::string_view p, size_t i, std::string& text) {
    if (p[i] == '\\') {
        if (i + 1 < p.size()) text += p[i + 1];
        return std::min(i + 1, p.size() - 1);
    }
    if (p[i] == '"') {
        const size_t close = p.find('"', i + 1);
        const size_t end = close == std::string_view::npos ? p.size() : close;
        text.append(p.substr(i + 1, end - i - 1));
        return close == std::string_view::npos ? p.size() - 1 : close;
    }
    return std::string_view::npos;
}

// A small per-thread cache of parsed patterns: a handful of patterns are used over and over.
template <class Parsed, Parsed (*Parse)(std::string_view)>
const Parsed& Cached(std::string_view pattern) {
    struct Entry {
        std::string pattern;
        Parsed parsed;
    };
    thread_local std::array<Entry, 16> entries;
    thread_local size_t used = 0, next = 0;
    for (size_t i = 0; i < used; ++i)
        if (entries[i].pattern == pattern) return entries[i].parsed;
    Entry& e = entries[next];
    next = (next + 1) % entries.size();
    used = std::max(used, next == 0 ? entries.size() : next);
    e.pattern.assign(pattern);
    e.parsed = Parse(pattern);
    return e.parsed;
}

// ---------------------------------------------------------------- number patterns

struct NumToken {
    bool digit;        // a placeholder, else literal text
    char placeholder;  // '0' or '#'
    std::string text;
};

struct NumSection {
    std::vector<NumToken> intPart, fracPart, tail;  // tail: after the exponent
    bool empty = true;
    bool hasPoint = false;
    bool grouping = false;
    bool anyPlaceholder = false;
    int32_t intPlaceholders = 0, intMin = 0, fracTotal = 0, fracMin = 0;
    int32_t percent = 0, thousandsScale = 0;
    bool scientific = false, exponentPlus = false;
    char exponentLetter = 'E';
    int32_t exponentMin = 0;
    bool plainFixed = false;  // only digits, grouping and a point: FormatPlainFixed's kind
};

struct NumPattern {
    std::vector<NumSection> sections;
};

void AddLiteral(std::vector<NumToken>& toks, std::string_view text) {
    if (!toks.empty() && !toks.back().digit)
        toks.back().text.append(text);
    else
        toks.push_back(NumToken{false, 0, std::string(text)});
}

NumSection ParseNumSection(std::string_view p) {
    NumSection s;
    s.empty = p.empty();
    enum { Int, Frac, Exp, After } part = Int;
    int32_t commaRun = 0;
    bool intDigit = false;
    auto current = [&]() -> std::vector<NumToken>& {
        return part == Int ? s.intPart : part == Frac ? s.fracPart : s.tail;
    };
    for (size_t i = 0; i < p.size(); ++i) {
        const char c = p[i];
        if (part == Exp) {
            if (c == '0' || c == '#') {
                if (c == '0') ++s.exponentMin;
                continue;
            }
            part = After;
        }
        std::string lit;
        if (size_t end = ReadLiteral(p, i, lit); end != std::string_view::npos) {
            AddLiteral(current(), lit);
            i = end;
        } else if (part == After) {
            AddLiteral(s.tail, std::string_view(&p[i], 1));
        } else if (c == '0' || c == '#') {
            if (part == Int) {
                if (commaRun > 0) s.grouping = true;
                commaRun = 0;
                intDigit = true;
            }
            current().push_back(NumToken{true, c, {}});
        } else if (c == '.' && part == Int) {
            s.thousandsScale = commaRun;
            s.hasPoint = true;
            part = Frac;
        } else if (c == ',' && (part == Frac || intDigit)) {
            if (part == Int) ++commaRun;  // grouping, or scaling when nothing follows
        } else if (c == '%') {
            ++s.percent;
            AddLiteral(current(), "%");
        } else if ((c == 'E' || c == 'e') && i + 2 < p.size() &&
                   (p[i + 1] == '+' || p[i + 1] == '-') && (p[i + 2] == '0' || p[i + 2] == '#')) {
            if (part == Int) s.thousandsScale = commaRun;
            s.scientific = true;
            s.exponentLetter = c;
            s.exponentPlus = p[i + 1] == '+';
            part = Exp;
            ++i;
        } else {
            AddLiteral(current(), std::string_view(&p[i], 1));
        }
    }
    if (part == Int) s.thousandsScale = commaRun;

    for (const auto& t : s.intPart)
        if (t.digit) ++s.intPlaceholders;
    for (const auto& t : s.fracPart) {
        if (!t.digit) continue;
        ++s.fracTotal;
        if (t.placeholder == '0') s.fracMin = s.fracTotal;
    }
    s.anyPlaceholder = s.intPlaceholders + s.fracTotal > 0;
    if (s.anyPlaceholder && s.intPlaceholders == 0) {
        // The whole-number digits still show, just before the decimal point.
        s.intPart.push_back(NumToken{true, '#', {}});
        s.intPlaceholders = 1;
    }
    int32_t seen = 0;
    for (const auto& t : s.intPart) {
        if (!t.digit) continue;
        if (t.placeholder == '0' && s.intMin == 0) s.intMin = s.intPlaceholders - seen;
        ++seen;
    }
    const auto isDigit = [](const NumToken& t) { return t.digit; };
    s.plainFixed = s.anyPlaceholder && !s.scientific && s.percent == 0 && s.thousandsScale == 0 &&
                   s.tail.empty() && std::all_of(s.intPart.begin(), s.intPart.end(), isDigit) &&
                   std::all_of(s.fracPart.begin(), s.fracPart.end(), isDigit);
    return s;
}

NumPattern ParseNumPattern(std::string_view p) {
    NumPattern pattern;
    size_t start = 0;
    for (size_t i = 0; i <= p.size(); ++i) {
        if (i < p.size()) {
            std::string ignored;
            if (size_t end = ReadLiteral(p, i, ignored); end != std::string_view::npos) {
                i = end;
                continue;
            }
            if (p[i] != ';') continue;
        }
        pattern.sections.push_back(ParseNumSection(p.substr(start, i - start)));
        start = i + 1;
    }
    return pattern;
}

void AppendReversed(std::string& rev, std::string_view text) {
    rev.append(text.rbegin(), text.rend());
}

// The digits FormatSection keeps of a fixed-point number, without making its
// 15-digit text: with y = magnitude * 10^decimals below 1e11, rounding y gives the
// same whole number as rounding that text, except within a narrow band around a
// half (see RoundDecimalText in Convert.cpp, whose fast path this is); there, and
// for large numbers, it gives up. Money and prices take this path on every quote.
bool FixedUnits(double magnitude, int32_t decimals, uint64_t& units) {
    static constexpr double kPow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    if (decimals < 0 || decimals > 9) return false;
    const double y = magnitude * kPow10[decimals];
    if (!(y < 1e11)) return false;
    if (std::fabs(y - std::trunc(y) - 0.5) < 1e-3) return false;
    units = static_cast<uint64_t>(std::round(y));
    return true;
}

bool FixedDigits(double magnitude, int32_t decimals, detail::Decimal& d) {
    uint64_t n = 0;
    if (!FixedUnits(magnitude, decimals, n)) return false;
    d = detail::Decimal{};
    if (n == 0) return true;
    char text[24];
    const auto end = std::to_chars(text, text + sizeof text, n).ptr;
    const auto length = static_cast<int32_t>(end - text);
    int32_t count = length;
    while (text[count - 1] == '0') --count;
    std::memcpy(d.digits, text, static_cast<size_t>(count));
    d.count = count;
    d.point = length - decimals;
    return true;
}

// A plainFixed section ("#,##0.00", every money figure) written straight from the
// rounded units, skipping the placeholder walk: the same text FormatSection's general
// path makes, which the tests hold it to. False where FixedUnits gives up.
bool FormatPlainFixed(const NumSection& s, double magnitude, bool minus, std::string& out) {
    static constexpr uint64_t kScale[] = {
        1, 10, 100, 1'000, 10'000, 100'000, 1'000'000, 10'000'000, 100'000'000, 1'000'000'000};
    uint64_t units = 0;
    if (!FixedUnits(magnitude, s.fracTotal, units)) return false;
    const LocaleSettings& loc = Locale();
    const uint64_t scale = kScale[s.fracTotal];
    char whole[24];
    const char* end = whole;
    if (units >= scale) end = std::to_chars(whole, whole + sizeof whole, units / scale).ptr;
    const auto count = static_cast<size_t>(end - whole);
    const size_t width = std::max(count, static_cast<size_t>(s.intMin));
    const size_t zeros = width - count;
    if (minus && units != 0) out += '-';
    for (size_t i = 0; i < width; ++i) {
        out += i < zeros ? '0' : whole[i - zeros];
        const size_t fromRight = width - 1 - i;
        if (s.grouping && fromRight > 0 && fromRight % 3 == 0) out += loc.thousands;
    }
    if (s.hasPoint) out += loc.decimal;
    char frac[16];
    uint64_t rest = units % scale;
    for (int32_t k = s.fracTotal; k-- > 0; rest /= 10) frac[k] = static_cast<char>('0' + rest % 10);
    int32_t shown = s.fracTotal;
    while (shown > s.fracMin && frac[shown - 1] == '0') --shown;
    out.append(frac, static_cast<size_t>(shown));
    return true;
}

std::string FormatSection(const NumSection& s, double magnitude, bool minus, bool fast) {
    std::string out;
    if (fast && s.plainFixed && FormatPlainFixed(s, magnitude, minus, out)) return out;
    const LocaleSettings& loc = Locale();
    if (!s.anyPlaceholder) {
        for (const auto* part : {&s.intPart, &s.fracPart, &s.tail})
            for (const auto& t : *part) out += t.text;
        return out;
    }
    detail::Decimal d;
    const bool plain = !s.scientific && s.percent == 0 && s.thousandsScale == 0;
    const bool fixed = plain && FixedDigits(magnitude, s.fracTotal, d);
    if (!fixed) d = detail::SignificantDigits(magnitude, 15);
    if (d.count > 0) d.point += 2 * s.percent - 3 * s.thousandsScale;
    int32_t exponent = 0;
    if (s.scientific) {
        if (d.count > 0) {
            detail::RoundDigits(d, s.intPlaceholders + s.fracTotal, detail::Tie::AwayFromZero);
            exponent = d.point - s.intPlaceholders;
            d.point = s.intPlaceholders;
        }
    } else if (!fixed) {
        detail::RoundDigits(d, static_cast<int64_t>(d.point) + s.fracTotal,
                            detail::Tie::AwayFromZero);
    }
    if (minus && d.count > 0) out += '-';

    // Whole-number digits, at least intMin of them.
    std::string whole;
    if (d.count > 0 && d.point > 0) {
        whole.append(d.digits, static_cast<size_t>(std::min(d.count, d.point)));
        if (d.point > d.count) whole.append(static_cast<size_t>(d.point - d.count), '0');
    }
    if (static_cast<int32_t>(whole.size()) < s.intMin)
        whole.insert(0, static_cast<size_t>(s.intMin) - whole.size(), '0');

    // Placeholders take digits from the right; the leftmost one takes all that remain.
    std::string rev;
    size_t left = whole.size();
    const size_t total = whole.size();
    auto push = [&](size_t idx) {
        const size_t fromRight = total - 1 - idx;
        if (s.grouping && fromRight > 0 && fromRight % 3 == 0) AppendReversed(rev, loc.thousands);
        rev += whole[idx];
    };
    size_t firstDigit = 0;
    while (!s.intPart[firstDigit].digit) ++firstDigit;
    for (size_t t = s.intPart.size(); t-- > 0;) {
        const NumToken& tok = s.intPart[t];
        if (!tok.digit) {
            AppendReversed(rev, tok.text);
        } else if (t == firstDigit) {
            while (left > 0) push(--left);
        } else if (left > 0) {
            push(--left);
        }
    }
    out.append(rev.rbegin(), rev.rend());

    if (s.hasPoint) out += loc.decimal;
    if (s.fracTotal > 0) {
        char frac[64];
        std::string fracLong;
        char* f = frac;
        if (s.fracTotal > static_cast<int32_t>(sizeof frac)) {
            fracLong.resize(static_cast<size_t>(s.fracTotal));
            f = fracLong.data();
        }
        for (int32_t k = 0; k < s.fracTotal; ++k) {
            const int64_t idx = static_cast<int64_t>(d.point) + k;
            f[k] = idx >= 0 && idx < d.count ? d.digits[idx] : '0';
        }
        int32_t shown = s.fracTotal;
        while (shown > s.fracMin && f[shown - 1] == '0') --shown;
        int32_t k = 0;
        for (const auto& tok : s.fracPart) {
            if (!tok.digit)
                out += tok.text;
            else if (k++ < shown)
                out += f[k - 1];
        }
    } else {
        for (const auto& tok : s.fracPart) out += tok.text;
    }

    if (s.scientific) {
        out += s.exponentLetter;
        if (exponent < 0)
            out += '-';
        else if (s.exponentPlus)
            out += '+';
        AppendPadded(out, exponent < 0 ? -exponent : exponent, std::max(s.exponentMin, 1));
    }
    for (const auto& tok : s.tail) out += tok.text;
    return out;
}

// ---------------------------------------------------------------- date patterns

struct DateToken {
    enum Kind { Literal, DateSep, TimeSep, Day, Month, Minute, Year, Hour, Second, AmPm } kind;
    int32_t count = 0;
    std::string text;  // literal; for AmPm the morning text
    std::string pm;
};

struct DatePattern {
    std::vector<DateToken> tokens;
    bool twelveHour = false;
};

bool IsField(DateToken::Kind k) {
    return k != DateToken::Literal && k != DateToken::DateSep && k != DateToken::TimeSep &&
           k != DateToken::AmPm;
}

DatePattern ParseDatePattern(std::string_view p) {
    DatePattern dp;
    auto& toks = dp.tokens;
    auto literal = [&](std::string_view text) {
        if (!toks.empty() && toks.back().kind == DateToken::Literal)
            toks.back().text.append(text);
        else
            toks.push_back(DateToken{DateToken::Literal, 0, std::string(text), {}});
    };
    for (size_t i = 0; i < p.size(); ++i) {
        const char c = p[i];
        const char l = Lower(c);
        std::string lit;
        if (size_t end = ReadLiteral(p, i, lit); end != std::string_view::npos) {
            literal(lit);
            i = end;
        } else if (c == '/') {
            toks.push_back(DateToken{DateToken::DateSep, 0, {}, {}});
        } else if (c == ':') {
            toks.push_back(DateToken{DateToken::TimeSep, 0, {}, {}});
        } else if (l == 'a' && EqualsNoCase(p.substr(i, 5), "am/pm")) {
            toks.push_back(DateToken{DateToken::AmPm, 0, std::string(p.substr(i, 2)),
                                     std::string(p.substr(i + 3, 2))});
            dp.twelveHour = true;
            i += 4;
        } else if (l == 'a' && EqualsNoCase(p.substr(i, 3), "a/p")) {
            toks.push_back(
                DateToken{DateToken::AmPm, 0, std::string(1, p[i]), std::string(1, p[i + 2])});
            dp.twelveHour = true;
            i += 2;
        } else if (l == 'd' || l == 'm' || l == 'y' || l == 'h' || l == 'n' || l == 's') {
            size_t j = i;
            while (j < p.size() && Lower(p[j]) == l) ++j;
            const auto count = static_cast<int32_t>(j - i);
            const DateToken::Kind kind = l == 'd'   ? DateToken::Day
                                         : l == 'm' ? DateToken::Month
                                         : l == 'y' ? DateToken::Year
                                         : l == 'h' ? DateToken::Hour
                                         : l == 'n' ? DateToken::Minute
                                                    : DateToken::Second;
            toks.push_back(DateToken{kind, count, {}, {}});
            i = j - 1;
        } else {
            literal(std::string_view(&p[i], 1));
        }
    }
    // "m"/"mm" is the minute right after an hour or right before a second.
    for (size_t t = 0; t < toks.size(); ++t) {
        if (toks[t].kind != DateToken::Month || toks[t].count > 2) continue;
        bool minute = false;
        for (size_t k = t; k-- > 0;)
            if (IsField(toks[k].kind)) {
                minute = toks[k].kind == DateToken::Hour;
                break;
            }
        for (size_t k = t + 1; !minute && k < toks.size(); ++k)
            if (IsField(toks[k].kind)) {
                minute = toks[k].kind == DateToken::Second;
                break;
            }
        if (minute) toks[t].kind = DateToken::Minute;
    }
    return dp;
}

void AppendShortDate(std::string& out, const DateParts& p, const LocaleSettings& loc) {
    AppendPadded(out, p.day, 2);
    out += loc.date;
    AppendPadded(out, p.month, 2);
    out += loc.date;
    AppendPadded(out, p.year, 4);
}

void AppendTime(std::string& out, const DateParts& p, const LocaleSettings& loc) {
    AppendPadded(out, p.hour, 2);
    out += loc.time;
    AppendPadded(out, p.minute, 2);
    out += loc.time;
    AppendPadded(out, p.second, 2);
}

enum class PatternKind { Number, Date };

PatternKind KindOf(std::string_view p) {
    bool dateLetter = false;
    for (size_t i = 0; i < p.size(); ++i) {
        std::string ignored;
        if (size_t end = ReadLiteral(p, i, ignored); end != std::string_view::npos) {
            i = end;
            continue;
        }
        const char l = Lower(p[i]);
        if (p[i] == '0' || p[i] == '#') return PatternKind::Number;
        if (l == 'd' || l == 'm' || l == 'y' || l == 'h' || l == 'n' || l == 's' ||
            (l == 'a' &&
             (EqualsNoCase(p.substr(i, 5), "am/pm") || EqualsNoCase(p.substr(i, 3), "a/p"))))
            dateLetter = true;
    }
    return dateLetter ? PatternKind::Date : PatternKind::Number;
}

// A number value: as a date when the pattern is a date pattern.
std::string FormatNumeric(double x, std::string_view pattern) {
    if (pattern.empty()) return NumberToLocaleText(x);
    if (KindOf(pattern) == PatternKind::Date) return FormatDate(Date(x), pattern);
    return FormatNumber(x, pattern);
}

std::string FormatDateValue(Date d, std::string_view pattern) {
    if (pattern.empty()) return detail::GeneralDateText(d);
    if (KindOf(pattern) == PatternKind::Number) return FormatNumber(d.value, pattern);
    return FormatDate(d, pattern);
}

// "True/False", "Yes/No", "On/Off" in any letter case: the half for the value, as written.
bool BooleanPattern(bool b, std::string_view pattern, std::string& out) {
    static constexpr std::string_view kNamed[] = {"true/false", "yes/no", "on/off"};
    for (std::string_view named : kNamed) {
        if (!EqualsNoCase(pattern, named)) continue;
        const size_t slash = pattern.find('/');
        out = std::string(b ? pattern.substr(0, slash) : pattern.substr(slash + 1));
        return true;
    }
    return false;
}

}  // namespace

namespace detail {

std::string GeneralDateText(Date d) {
    const LocaleSettings& loc = Locale();
    const DaySeconds ds = SplitDaySeconds(d);
    const DateParts p = SplitDate(d);
    std::string out;
    if (ds.day != 0) AppendShortDate(out, p, loc);
    if (ds.day == 0 || ds.seconds != 0) {
        if (!out.empty()) out += ' ';
        AppendTime(out, p, loc);
    }
    return out;
}

}  // namespace detail

namespace {

std::string FormatNumberWith(double value, std::string_view pattern, bool fast) {
    if (pattern.empty() || !std::isfinite(value)) return NumberToLocaleText(value);
    const NumPattern& p = Cached<NumPattern, ParseNumPattern>(pattern);
    const auto& sec = p.sections;
    if (value == 0 && sec.size() >= 3 && !sec[2].empty)
        return FormatSection(sec[2], 0.0, false, fast);
    if (value < 0 && sec.size() >= 2 && !sec[1].empty)
        return FormatSection(sec[1], -value, false, fast);
    return FormatSection(sec[0], std::fabs(value), value < 0, fast);
}

}  // namespace

std::string detail::FormatNumberGeneral(double value, std::string_view pattern) {
    return FormatNumberWith(value, pattern, false);
}

std::string FormatNumber(double value, std::string_view pattern) {
    return FormatNumberWith(value, pattern, true);
}

std::string FormatDate(Date value, std::string_view pattern) {
    if (pattern.empty()) return detail::GeneralDateText(value);
    const DatePattern& dp = Cached<DatePattern, ParseDatePattern>(pattern);
    const LocaleSettings& loc = Locale();
    const detail::DaySeconds ds = detail::SplitDaySeconds(value);
    const DateParts p = SplitDate(value);
    std::string out;
    for (const DateToken& t : dp.tokens) {
        switch (t.kind) {
            case DateToken::Literal:
                out += t.text;
                break;
            case DateToken::DateSep:
                out += loc.date;
                break;
            case DateToken::TimeSep:
                out += loc.time;
                break;
            case DateToken::Day:
                if (t.count <= 2)
                    AppendPadded(out, p.day, t.count);
                else if (t.count == 3)
                    out += loc.dayAbbrev[static_cast<size_t>(Weekday(value) - 1)];
                else if (t.count == 4)
                    out += loc.dayNames[static_cast<size_t>(Weekday(value) - 1)];
                else
                    AppendShortDate(out, p, loc);
                break;
            case DateToken::Month:
                if (t.count <= 2)
                    AppendPadded(out, p.month, t.count);
                else
                    out += (t.count == 3 ? loc.monthAbbrev
                                         : loc.monthNames)[static_cast<size_t>(p.month - 1)];
                break;
            case DateToken::Year:
                if (t.count == 1)
                    AppendPadded(out, ds.day - detail::SerialFromCivil(p.year, 1, 1) + 1, 1);
                else if (t.count <= 3)
                    AppendPadded(out, p.year % 100, 2);
                else
                    AppendPadded(out, p.year, 4);
                break;
            case DateToken::Hour: {
                int32_t h = p.hour;
                if (dp.twelveHour) h = h % 12 == 0 ? 12 : h % 12;
                AppendPadded(out, h, std::min(t.count, 2));
                break;
            }
            case DateToken::Minute:
                AppendPadded(out, p.minute, std::min(t.count, 2));
                break;
            case DateToken::Second:
                AppendPadded(out, p.second, std::min(t.count, 2));
                break;
            case DateToken::AmPm:
                out += p.hour < 12 ? t.text : t.pm;
                break;
        }
    }
    return out;
}

std::string Format(const Variant& value, std::string_view pattern) {
    std::string named;
    switch (value.Type()) {
        case VarType::Null:
            return {};
        case VarType::Empty:
            return !pattern.empty() && KindOf(pattern) == PatternKind::Number
                       ? FormatNumber(0, pattern)
                       : std::string();
        case VarType::Boolean: {
            const bool b = std::get<bool>(value.Raw());
            if (BooleanPattern(b, pattern, named)) return named;
            if (pattern.empty()) return b ? "True" : "False";
            return FormatNumeric(b ? -1.0 : 0.0, pattern);
        }
        case VarType::Integer:
        case VarType::Long:
        case VarType::Double:
            return FormatNumeric(value.ToDouble(), pattern);
        case VarType::Date:
            return FormatDateValue(std::get<Date>(value.Raw()), pattern);
        case VarType::String: {
            const std::string& s = value.StringRef();
            if (pattern.empty()) return s;
            if (auto x = ParseNumber(s)) return FormatNumeric(*x, pattern);
            if (auto d = ParseDateText(s)) return FormatDateValue(*d, pattern);
            return s;
        }
        case VarType::Object:
            break;
    }
    throw Error(errc::TypeMismatch);
}

}  // namespace runtime
