#include "runtime/Convert.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstring>

#include "runtime/Error.h"
#include "runtime/Locale.h"
#include "runtime/detail/Calendar.h"
#include "runtime/detail/Decimal.h"
#include "runtime/detail/Text.h"

namespace runtime {

namespace detail {

namespace {
constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                             1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Reads "d[.ddd]e±x" as written by to_chars in scientific form.
Decimal FromScientific(const char* p, const char* end) {
    Decimal d;
    int32_t exponent = 0;
    for (; p < end && *p != 'e'; ++p)
        if (*p != '.') d.digits[d.count++] = *p;
    if (p < end) std::from_chars(p + (p[1] == '+' ? 2 : 1), end, exponent);
    while (d.count > 0 && d.digits[d.count - 1] == '0') --d.count;
    d.point = d.count == 0 ? 0 : exponent + 1;
    return d;
}

// digits x 10^exponent, correctly rounded; ±DBL_MAX on overflow (and
// *overflow set, when given), 0 on underflow.
double Compose(char* digits, int32_t count, int64_t exponent, size_t capacity,
               bool* overflow = nullptr) {
    auto tooLarge = [overflow] {
        if (overflow) *overflow = true;
        return DBL_MAX;
    };
    if (count == 0) return 0.0;
    if (count <= 15 && exponent >= -22 && exponent <= 22) {
        uint64_t m = 0;
        for (int32_t i = 0; i < count; ++i) m = m * 10 + static_cast<uint64_t>(digits[i] - '0');
        const auto v = static_cast<double>(m);
        return exponent < 0 ? v / kPow10[-exponent] : v * kPow10[exponent];
    }
    if (exponent > 100000000) return tooLarge();
    if (exponent < -100000000) return 0.0;
    char* end = digits + count;
    *end++ = 'e';
    end = std::to_chars(end, digits + capacity, exponent).ptr;
    double v = 0.0;
    auto r = std::from_chars(digits, end, v);
    if (r.ec == std::errc::result_out_of_range) return exponent + count > 0 ? tooLarge() : 0.0;
    return std::isinf(v) ? tooLarge() : v;
}
}  // namespace

Decimal ShortestDigits(double x) {
    char buf[40];
    auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(x), std::chars_format::scientific);
    Decimal d = FromScientific(buf, r.ptr);
    d.negative = std::signbit(x);
    return d;
}

Decimal SignificantDigits(double x, int32_t significant) {
    Decimal d = ShortestDigits(x);
    if (std::fabs(x) >= DBL_MIN && significant <= 15) {
        // A double carries more than 15 digits, so the shortest text rounds to the same 15
        // digits as the exact value, unless it is itself a tie (16 digits ending in 5).
        // Subnormals carry fewer digits and take the exact path.
        if (d.count <= significant) return d;
        if (!(d.count == significant + 1 && d.digits[significant] == '5')) {
            RoundDigits(d, significant, Tie::ToEven);
            return d;
        }
    }
    char buf[48];
    auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(x), std::chars_format::scientific,
                           significant - 1);
    Decimal s = FromScientific(buf, r.ptr);
    s.negative = d.negative;
    return s;
}

void RoundDigits(Decimal& d, int64_t keep, Tie tie) {
    if (keep >= d.count) return;
    if (keep < 0) {
        d.count = 0;
        d.point = 0;
        return;
    }
    const auto k = static_cast<int32_t>(keep);
    const char next = d.digits[k];
    bool up = next > '5';
    if (next == '5') {
        // Digits carry no trailing zeros: anything after the 5 puts it past the half.
        if (tie == Tie::AwayFromZero || k + 1 < d.count)
            up = true;
        else
            up = k > 0 && ((d.digits[k - 1] - '0') & 1) != 0;
    }
    d.count = k;
    if (up) {
        int32_t i = k - 1;
        while (i >= 0 && d.digits[i] == '9') --i;
        if (i < 0) {
            d.digits[0] = '1';
            d.count = 1;
            ++d.point;
        } else {
            ++d.digits[i];
            d.count = i + 1;
        }
    } else {
        while (d.count > 0 && d.digits[d.count - 1] == '0') --d.count;
    }
    if (d.count == 0) d.point = 0;
}

double ToDouble(const Decimal& d) {
    char buf[64];
    std::memcpy(buf, d.digits, static_cast<size_t>(d.count));
    const double v = Compose(buf, d.count, static_cast<int64_t>(d.point) - d.count, sizeof buf);
    return d.negative ? -v : v;
}

namespace {

// A text of known small bound, kept on the stack: a std::string grown piece by
// piece would allocate for most numbers, and prices are written per quote.
struct ShortText {
    char data[96];
    size_t size = 0;
    ShortText& operator+=(char c) {
        data[size++] = c;
        return *this;
    }
    ShortText& operator+=(std::string_view text) { return append(text.data(), text.size()); }
    ShortText& append(const char* text, size_t n) {
        std::memcpy(data + size, text, n);
        size += n;
        return *this;
    }
    ShortText& append(size_t n, char c) {
        std::memset(data + size, c, n);
        size += n;
        return *this;
    }
};

// The general form: sign, at most 15 digits, at most 4 zeros after the decimal
// sign before them, or an exponent of at most 3 digits.
template <class Text>
void WriteGeneral(Text& out, const Decimal& d, std::string_view decimal) {
    if (d.negative) out += '-';
    const int32_t e = d.point - 1;
    if (e < -4 || e >= 15) {
        out += d.digits[0];
        if (d.count > 1) {
            out += decimal;
            out.append(d.digits + 1, static_cast<size_t>(d.count - 1));
        }
        out += 'E';
        out += e < 0 ? '-' : '+';
        const int32_t a = e < 0 ? -e : e;
        if (a >= 100) out += static_cast<char>('0' + a / 100);
        out += static_cast<char>('0' + a / 10 % 10);
        out += static_cast<char>('0' + a % 10);
    } else if (d.point <= 0) {
        out += '0';
        out += decimal;
        out.append(static_cast<size_t>(-d.point), '0');
        out.append(d.digits, static_cast<size_t>(d.count));
    } else if (d.point >= d.count) {
        out.append(d.digits, static_cast<size_t>(d.count));
        out.append(static_cast<size_t>(d.point - d.count), '0');
    } else {
        out.append(d.digits, static_cast<size_t>(d.point));
        out += decimal;
        out.append(d.digits + d.point, static_cast<size_t>(d.count - d.point));
    }
}

}  // namespace

std::string GeneralNumberText(double x, std::string_view decimal) {
    if (std::isnan(x)) return "NaN";
    if (std::isinf(x)) return x > 0 ? "Infinity" : "-Infinity";
    if (x == 0) return "0";
    const Decimal d = SignificantDigits(x, 15);
    constexpr size_t kLongestWithoutDecimal = 1 + 15 + 5 + 5;
    if (decimal.size() + kLongestWithoutDecimal <= sizeof(ShortText::data)) {
        ShortText out;
        WriteGeneral(out, d, decimal);
        return std::string(out.data, out.size);
    }
    std::string out;
    WriteGeneral(out, d, decimal);
    return out;
}

}  // namespace detail

using detail::Decimal;
using detail::Tie;

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
// Val skips only these three.
bool IsValBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

int HexValue(char c) {
    if (IsDigit(c)) return c - '0';
    c = Upper(c);
    return c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

// "&H"/"&O" integers are typed by size: up to 16 bits they are a 16-bit value, up to
// 32 bits a 32-bit value (so &HFFFF is -1 and &H8000 is -32768); larger ones stay unsigned.
double TypedRadixValue(uint64_t value, bool tooLong, double big) {
    if (tooLong || value > 0xFFFFFFFFull) return big;
    if (value <= 0xFFFF) return static_cast<int16_t>(static_cast<uint16_t>(value));
    return static_cast<int32_t>(static_cast<uint32_t>(value));
}

// Mantissa digits of a decimal number: kMaxDigits significant digits are kept and
// any nonzero digit past them is remembered as one sticky digit, which is all
// the nearest double can depend on; the rest only move the decimal exponent.
class DigitCollector {
public:
    void Add(char c, bool fraction) {
        any_ = true;
        if (count_ == 0 && c == '0') {
            if (fraction) --scale_;
            return;
        }
        if (count_ < kMaxDigits) {
            buf_[count_++] = c;
            if (fraction) --scale_;
        } else {
            sticky_ = sticky_ || c != '0';
            if (!fraction) ++scale_;
        }
    }
    bool Any() const { return any_; }
    double Value(bool negative, int64_t exponent, bool* overflow = nullptr) {
        int32_t count = count_;
        int64_t scale = scale_;
        if (sticky_) {
            buf_[count++] = '1';
            --scale;
        }
        double v = detail::Compose(buf_, count, scale + exponent, sizeof buf_, overflow);
        if (v == 0) return 0.0;
        return negative ? -v : v;
    }

private:
    static constexpr int32_t kMaxDigits = 800;
    char buf_[kMaxDigits + 32];
    int32_t count_ = 0;
    int64_t scale_ = 0;
    bool any_ = false;
    bool sticky_ = false;
};

void AccumulateExponent(int64_t& exponent, char c) {
    if (exponent < 1000000000) exponent = exponent * 10 + (c - '0');
}

struct RadixResult {
    double value = 0;
    size_t end = 0;  // index after the last digit read
    bool any = false;
};

// Digits of base 16 or 8 from `i`; `skipBlanks` lets blanks sit between them.
RadixResult ReadRadix(std::string_view s, size_t i, int base, bool skipBlanks) {
    RadixResult r;
    uint64_t v = 0;
    double big = 0;
    bool tooLong = false;
    for (; i < s.size(); ++i) {
        if (skipBlanks && IsValBlank(s[i])) continue;
        const int d = base == 16 ? HexValue(s[i]) : (s[i] >= '0' && s[i] <= '7' ? s[i] - '0' : -1);
        if (d < 0) break;
        r.any = true;
        r.end = i + 1;
        big = big * base + d;
        if (v > (UINT64_MAX >> 4))
            tooLong = true;
        else
            v = v * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
    }
    r.value = TypedRadixValue(v, tooLong, big);
    return r;
}

bool MatchAt(std::string_view s, size_t i, std::string_view what) {
    return !what.empty() && s.substr(i, what.size()) == what;
}

bool IsExponentLetter(char c) {
    return c == 'E' || c == 'e' || c == 'D' || c == 'd';
}

// The locale-aware number grammar behind IsNumericText and ParseNumber.
std::optional<double> ParseLocaleNumber(std::string_view s) {
    const LocaleSettings& loc = Locale();
    size_t i = 0;
    const size_t n = s.size();
    auto skipBlanks = [&] {
        while (i < n && IsBlank(s[i])) ++i;
    };
    skipBlanks();
    if (i == n) return std::nullopt;
    if (s[i] == '&') {
        if (i + 1 >= n) return std::nullopt;
        const char kind = Upper(s[i + 1]);
        if (kind != 'H' && kind != 'O') return std::nullopt;
        RadixResult r = ReadRadix(s, i + 2, kind == 'H' ? 16 : 8, false);
        if (!r.any || r.value != r.value) return std::nullopt;
        i = r.end;
        skipBlanks();
        if (i != n) return std::nullopt;
        // Beyond 32 bits the classic conversion overflows.
        if (std::fabs(r.value) > 4294967295.0) return std::nullopt;
        return r.value;
    }
    bool negative = false;
    if (s[i] == '+' || s[i] == '-') {
        negative = s[i] == '-';
        ++i;
        skipBlanks();
    }
    DigitCollector digits;
    bool intDigit = false;
    while (i < n) {
        if (IsDigit(s[i])) {
            digits.Add(s[i++], false);
            intDigit = true;
        } else if (MatchAt(s, i, loc.decimal)) {
            break;
        } else if (intDigit && MatchAt(s, i, loc.thousands)) {
            i += loc.thousands.size();
        } else {
            break;
        }
    }
    if (MatchAt(s, i, loc.decimal)) {
        i += loc.decimal.size();
        while (i < n && IsDigit(s[i])) digits.Add(s[i++], true);
    }
    if (!digits.Any()) return std::nullopt;
    int64_t exponent = 0;
    if (i < n && IsExponentLetter(s[i])) {
        ++i;
        bool expNegative = false;
        if (i < n && (s[i] == '+' || s[i] == '-')) expNegative = s[i++] == '-';
        if (i == n || !IsDigit(s[i])) return std::nullopt;
        while (i < n && IsDigit(s[i])) AccumulateExponent(exponent, s[i++]);
        if (expNegative) exponent = -exponent;
    }
    skipBlanks();
    if (i != n) return std::nullopt;
    bool overflow = false;
    const double v = digits.Value(negative, exponent, &overflow);
    if (overflow) return std::nullopt;  // not a number of this range
    return v;
}

// Three fields of digits joined by one separator; date order by the first field's length.
std::optional<int64_t> ParseDatePart(std::string_view t) {
    const LocaleSettings& loc = Locale();
    std::string_view fields[3];
    std::string_view sep;
    int32_t count = 0;
    size_t start = 0;
    for (size_t i = 0; i <= t.size();) {
        size_t sepLen = 0;
        if (i < t.size()) {
            if (MatchAt(t, i, loc.date))
                sepLen = loc.date.size();
            else if (t[i] == '/' || t[i] == '-' || t[i] == '.')
                sepLen = 1;
            else if (!IsDigit(t[i]))
                return std::nullopt;
        }
        if (i == t.size() || sepLen > 0) {
            if (count == 3) return std::nullopt;
            fields[count++] = t.substr(start, i - start);
            if (i == t.size()) break;
            std::string_view thisSep = t.substr(i, sepLen);
            if (!sep.empty() && thisSep != sep) return std::nullopt;
            sep = thisSep;
            i += sepLen;
            start = i;
        } else {
            ++i;
        }
    }
    if (count != 3) return std::nullopt;
    int32_t v[3];
    for (int k = 0; k < 3; ++k) {
        if (fields[k].empty() || fields[k].size() > 4) return std::nullopt;
        std::from_chars(fields[k].data(), fields[k].data() + fields[k].size(), v[k]);
    }
    int32_t y, m, d;
    if (fields[0].size() >= 3) {
        y = v[0], m = v[1], d = v[2];
    } else {
        d = v[0], m = v[1], y = fields[2].size() <= 2 ? ExpandTwoDigitYear(v[2]) : v[2];
    }
    if (!IsValidDate(y, m, d)) return std::nullopt;
    return detail::SerialFromCivil(y, m, d);
}

enum class Meridiem { None, Am, Pm };

// "h:n" or "h:n:s" with ":" or the locale's time separator; seconds since midnight.
// With AM/PM the hour alone also counts and it is of the 12-hour clock (12 AM is 0).
std::optional<int32_t> ParseTimePart(std::string_view t, Meridiem meridiem) {
    const LocaleSettings& loc = Locale();
    int32_t v[3] = {0, 0, 0};
    int32_t count = 0;
    size_t i = 0;
    while (true) {
        const size_t start = i;
        while (i < t.size() && IsDigit(t[i])) ++i;
        if (i == start || i - start > 2 || count == 3) return std::nullopt;
        std::from_chars(t.data() + start, t.data() + i, v[count++]);
        if (i == t.size()) break;
        if (t[i] == ':')
            ++i;
        else if (MatchAt(t, i, loc.time))
            i += loc.time.size();
        else
            return std::nullopt;
        if (i == t.size()) return std::nullopt;
    }
    if (count < (meridiem == Meridiem::None ? 2 : 1) || v[0] > 23 || v[1] > 59 || v[2] > 59)
        return std::nullopt;
    if (meridiem != Meridiem::None) {
        if (v[0] > 12) return std::nullopt;
        v[0] = v[0] % 12 + (meridiem == Meridiem::Pm ? 12 : 0);
    }
    return v[0] * 3600 + v[1] * 60 + v[2];
}

}  // namespace

double Val(std::string_view s) {
    const size_t n = s.size();
    size_t i = 0;
    auto skipBlanks = [&] {
        while (i < n && IsValBlank(s[i])) ++i;
    };
    skipBlanks();
    if (i < n && s[i] == '&') {
        ++i;
        skipBlanks();
        if (i == n) return 0.0;
        const char kind = Upper(s[i]);
        if (kind != 'H' && kind != 'O') return 0.0;
        return ReadRadix(s, i + 1, kind == 'H' ? 16 : 8, true).value;
    }
    bool negative = false;
    if (i < n && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    DigitCollector digits;
    bool fraction = false;
    for (; i < n; ++i) {
        const char c = s[i];
        if (IsDigit(c))
            digits.Add(c, fraction);
        else if (c == '.' && !fraction)
            fraction = true;
        else if (!IsValBlank(c))
            break;
    }
    if (!digits.Any()) return 0.0;
    int64_t exponent = 0;
    if (i < n && IsExponentLetter(s[i])) {
        ++i;
        skipBlanks();
        bool expNegative = false;
        if (i < n && (s[i] == '+' || s[i] == '-')) expNegative = s[i++] == '-';
        for (; i < n; ++i) {
            if (IsDigit(s[i]))
                AccumulateExponent(exponent, s[i]);
            else if (!IsValBlank(s[i]))
                break;
        }
        if (expNegative) exponent = -exponent;
    }
    return digits.Value(negative, exponent);
}

bool IsNumericText(std::string_view text) {
    return ParseLocaleNumber(text).has_value();
}

std::optional<double> ParseNumber(std::string_view text) {
    return ParseLocaleNumber(text);
}

bool IsNumeric(const Variant& value) {
    switch (value.Type()) {
        case VarType::Empty:
        case VarType::Boolean:
        case VarType::Integer:
        case VarType::Long:
        case VarType::Double:
        case VarType::Date:
            return true;
        case VarType::String:
            return IsNumericText(value.StringRef());
        default:
            return false;
    }
}

std::optional<Date> ParseDateText(std::string_view text) {
    std::string_view parts[3];
    int32_t count = 0;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsBlank(text[i])) ++i;
        if (i == text.size()) break;
        const size_t start = i;
        while (i < text.size() && !IsBlank(text[i])) ++i;
        if (count == 3) return std::nullopt;
        parts[count++] = text.substr(start, i - start);
    }
    // "AM" or "PM" ends the time, as a word of its own or right after it.
    Meridiem meridiem = Meridiem::None;
    if (count > 0 && parts[count - 1].size() >= 2) {
        std::string_view& last = parts[count - 1];
        const std::string_view tail = last.substr(last.size() - 2);
        if (Upper(tail[1]) == 'M' && (Upper(tail[0]) == 'A' || Upper(tail[0]) == 'P')) {
            meridiem = Upper(tail[0]) == 'A' ? Meridiem::Am : Meridiem::Pm;
            last.remove_suffix(2);
            if (last.empty()) --count;
        }
    }
    if (count == 0 || count > 2) return std::nullopt;
    if (count == 1) {
        if (meridiem == Meridiem::None) {
            if (auto day = ParseDatePart(parts[0])) return Date(static_cast<double>(*day));
        }
        if (auto secs = ParseTimePart(parts[0], meridiem)) return Date(*secs / 86400.0);
        return std::nullopt;
    }
    auto day = ParseDatePart(parts[0]);
    auto secs = ParseTimePart(parts[1], meridiem);
    if (!day || !secs) return std::nullopt;
    return detail::Encode(*day, *secs / 86400.0);
}

bool IsDate(const Variant& value) {
    if (value.Type() == VarType::Date) return true;
    return value.IsString() && ParseDateText(value.StringRef()).has_value();
}

double RoundHalfEven(double x) {
    if (!std::isfinite(x)) return x;
    double r = std::round(x);
    if (std::fabs(x - std::trunc(x)) == 0.5) r = 2.0 * std::round(x / 2.0);
    return r == 0 ? 0.0 : r;
}

namespace {
// Exact powers of ten for the fast path (all exactly representable).
constexpr double kPow10[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                             1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

double RoundDecimalText(double x, int32_t decimals, Tie tie) {
    if (decimals < 0) throw Error(errc::InvalidProcedureCall);
    if (!std::isfinite(x) || x == 0) return x == 0 ? 0.0 : x;
    // Fast path, same result as rounding the 15-digit text: with |y| < 1e11
    // that text, scaled, is within 5e-5 of y and y is within 2^-17 of the
    // exact product, so outside a 1e-3 band around a half both round to the
    // same n, and n / 10^d (both exact, division correctly rounded) is the
    // double the kept digits read back as.
    if (decimals <= 15) {
        const double scale = kPow10[decimals];
        const double y = x * scale;
        if (std::fabs(y) < 1e11) {
            const double whole = std::trunc(y);
            const double frac = std::fabs(y - whole);
            if (std::fabs(frac - 0.5) >= 1e-3) {
                // std::round(y) without the library call: no tie here, and
                // whole +- 1 is exact below 1e11.
                const double n = frac < 0.5 ? whole : whole + (y < 0 ? -1.0 : 1.0);
                return n == 0 ? 0.0 : n / scale;
            }
        }
    }
    Decimal d = detail::SignificantDigits(x, 15);
    const int64_t keep = static_cast<int64_t>(d.point) + decimals;
    detail::RoundDigits(d, keep, tie);
    return d.count == 0 ? 0.0 : detail::ToDouble(d);
}
}  // namespace

double RoundHalfEven(double x, int32_t decimals) {
    return RoundDecimalText(x, decimals, Tie::ToEven);
}

double RoundHalfAway(double x, int32_t decimals) {
    return RoundDecimalText(x, decimals, Tie::AwayFromZero);
}

int16_t CInt(double x) {
    const double r = RoundHalfEven(x);
    if (!(r >= -32768.0 && r <= 32767.0)) throw Error(errc::Overflow);
    return static_cast<int16_t>(r);
}

int32_t CLng(double x) {
    const double r = RoundHalfEven(x);
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) throw Error(errc::Overflow);
    return static_cast<int32_t>(r);
}

int16_t CInt(const Variant& v) {
    return v.ToInteger();
}
int32_t CLng(const Variant& v) {
    return v.ToLong();
}
double CDbl(const Variant& v) {
    return v.ToDouble();
}
bool CBool(const Variant& v) {
    return v.ToBool();
}
Date CDate(const Variant& v) {
    return v.ToDate();
}
std::string CStr(const Variant& v) {
    return v.ToString();
}

std::string NumberToText(double x) {
    return detail::GeneralNumberText(x, ".");
}

std::string NumberToLocaleText(double x) {
    return detail::GeneralNumberText(x, Locale().decimal);
}

std::string Str(double x) {
    std::string t = NumberToText(x);
    if (t[0] != '-') t.insert(t.begin(), ' ');
    return t;
}

}  // namespace runtime
