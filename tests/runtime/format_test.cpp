#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>

#include "runtime/Convert.h"
#include "runtime/Date.h"
#include "runtime/Error.h"
#include "runtime/Format.h"
#include "runtime/Locale.h"
#include "runtime/detail/Text.h"

using namespace runtime;

namespace {

LocaleSettings OtherSeparators() {
    LocaleSettings s;
    s.decimal = ",";
    s.thousands = ".";
    s.date = "-";
    s.time = ".";
    return s;
}

TEST(FormatNumber, Patterns) {
    const struct {
        double x;
        const char* pattern;
        const char* expected;
    } cases[] = {
        {1.005, "0.00", "1.01"},
        {2.675, "0.00", "2.68"},
        {0.60034 + 0.00001, "0.0000", "0.6004"},  // a half in the 15-digit text
        {1.15 * 3, "0.0", "3.5"},
        {-0.5, "0.00", "-0.50"},
        {0.5, "0", "1"},
        {-2.5, "0", "-3"},
        {-0.001, "0.00", "0.00"},  // no minus for what rounds to zero
        {1234567.126, "###,###,###,###,###,##0.00", "1,234,567.13"},
        {1234567.126, "#################0.00", "1234567.13"},
        {-1234567.126, "###,###,###,###,###,##0.00", "-1,234,567.13"},
        {0.5, "###,###,###,###,###,##0.00", "0.50"},
        {999.995, "#,##0.00", "1,000.00"},
        {100, "#,##0", "100"},
        {1000, "#,##0", "1,000"},
        {1e20, "0.00", "100000000000000000000.00"},
        {1.5e20, "#,##0", "150,000,000,000,000,000,000"},
        {1.234565, "0.00000", "1.23457"},
        {1.2345, "0.00000", "1.23450"},
        {0, "0.00000", "0.00000"},
        {12.5, "0", "13"},
        {0, "#", ""},
        {7, "#", "7"},
        {0.75, "#.##", ".75"},
        {1.5, "0.0#", "1.5"},
        {1.25, "0.0#", "1.25"},
        {1.256, "0.0#", "1.26"},
        {1, "0.0#", "1.0"},
        {0.125, "0%", "13%"},
        {0.12345, "0.00%", "12.35%"},
        {12.34, ".00", "12.34"},
        {5, "00-00", "00-05"},
        {12345, "00-00", "123-45"},
        {1234567, "#,##0,", "1,235"},
        {-5, "0.00;(0.00)", "(5.00)"},
        {5, "0.00;(0.00)", "5.00"},
        {0, "0.00;(0.00);\"zero\"", "zero"},
        {-5, "0.00;;\"zero\"", "-5.00"},
        {3, "\"USD \"0.00", "USD 3.00"},
        {3, "0.00\\x", "3.00x"},
        {1234.5, "0.00E+00", "1.23E+03"},
        {0.000123, "0.0E-00", "1.2E-04"},
        {1234.5, "00.0E+0", "12.3E+2"},
        {0, "0.00E+00", "0.00E+00"},
        {1.2345e-10, "0.00", "0.00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatNumber(c.x, c.pattern), c.expected) << c.x << " with " << c.pattern;
}

// Fixed decimals round the number's 15-digit text half away from zero, as
// RoundHalfAway does: also next to halves, where the binary value lies on the
// other side, and for large amounts.
TEST(FormatNumber, FixedDecimalsRoundAsTheFifteenDigitText) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> cents(-1e9, 1e9);
    char expected[64];
    for (int i = 0; i < 20000; ++i) {
        const int32_t decimals = i % 5;
        double x = cents(random) / 100;
        if (i % 2) x = (std::round(x * 100) + 0.5) / 100;  // a half, give or take an ulp
        if (i % 3 == 0) x = x * 1e4;                       // past the fast path's range
        const double rounded = RoundHalfAway(x, decimals);
        std::snprintf(expected, sizeof expected, "%.*f", static_cast<int>(decimals),
                      rounded == 0 ? 0.0 : rounded);
        const std::string pattern = decimals ? "0." + std::string(decimals, '0') : "0";
        ASSERT_EQ(FormatNumber(x, pattern), expected) << x << " with " << pattern;
    }
}

TEST(FormatNumber, LocaleSeparators) {
    ScopedLocale locale(OtherSeparators());
    EXPECT_EQ(FormatNumber(1234567.126, "###,###,###,###,###,##0.00"), "1.234.567,13");
    EXPECT_EQ(FormatNumber(0.5, "0.00"), "0,50");
    EXPECT_EQ(Format(Variant("1.234,5"), "#,##0.00"), "1.234,50");
}

// Plain fixed-decimal patterns take a shortcut: it writes what the general path
// writes, for every kind of value and separator (multi-byte ones included).
TEST(FormatNumber, PlainFixedShortcutWritesTheGeneralText) {
    static constexpr const char* kPatterns[] = {"###,###,###,###,###,##0.00",
                                                "#################0.00",
                                                "0.00000",
                                                "#,##0",
                                                "#.##",
                                                "000,000.0#",
                                                "0.",
                                                "#,##0.000000000",
                                                "#,##0.00;(#,##0.00);\\z\\e\\r\\o"};
    static const std::pair<const char*, const char*> kSeparators[] = {
        {".", ","}, {",", "."}, {".", "'"}, {",", "\u00a0"}};
    std::mt19937_64 random(30);
    std::uniform_real_distribution<double> units(-1e7, 1e7);
    std::uniform_int_distribution<int> ulps(-2, 2), power(-12, 20);
    const double specials[] = {
        0.0,  -0.0,   0.004,  -0.004999,    0.005,    -0.005,   1e11, 9.99999999999e10,
        1e20, -1e300, 5e-324, std::nan(""), INFINITY, -INFINITY};
    for (const auto& [decimal, thousands] : kSeparators) {
        LocaleSettings settings;
        settings.decimal = decimal;
        settings.thousands = thousands;
        ScopedLocale locale(settings);
        for (int i = 0; i < 25000; ++i) {
            double x = units(random);
            if (i % 4 == 1) x = std::nextafter(x, x + ulps(random));
            if (i % 4 == 2) {  // next to a half of the last shown digit
                const double scale = std::pow(10.0, i % 10);
                x = (std::trunc(x) + 0.5) / scale;
                for (int k = ulps(random); k != 0; k += k < 0 ? 1 : -1)
                    x = std::nextafter(x, k < 0 ? -INFINITY : INFINITY);
            }
            if (i % 4 == 3) x = x / 1e7 * std::pow(10.0, power(random));
            if (i < static_cast<int>(std::size(specials))) x = specials[i];
            for (const char* pattern : kPatterns)
                ASSERT_EQ(FormatNumber(x, pattern), detail::FormatNumberGeneral(x, pattern))
                    << x << " with " << pattern << " and " << decimal << thousands;
        }
    }
}

TEST(Format, DatePatterns) {
    const Date d = DateTimeSerial(2024, 4, 3, 14, 5, 9);
    const struct {
        const char* pattern;
        const char* expected;
    } cases[] = {
        {"dd/mm/yyyy hh:mm:ss", "03/04/2024 14:05:09"},
        {"dd-mm-yy", "03-04-24"},
        {"hh:mm:ss", "14:05:09"},
        {"dd-mm-yyyy hh-mm-ss", "03-04-2024 14-05-09"},
        {"mmm dd hh:mm", "Apr 03 14:05"},
        {"mmm dd  yyyy", "Apr 03  2024"},
        {"yyyy-mm-dd hh:nn:ss", "2024-04-03 14:05:09"},
        {"hh:nn", "14:05"},
        {"d/m/yy", "3/4/24"},
        {"mm:ss", "05:09"},
        {"DD/MM/YYYY", "03/04/2024"},
        {"dddd d mmmm", "Wednesday 3 April"},
        {"ddd", "Wed"},
        {"h:nn AM/PM", "2:05 PM"},
        {"h a/p", "2 p"},
        {"\\d\\a\\y d", "day 3"},
        {"\"at\" hh", "at 14"},
        {"yyyy \"W\" q", "2024 W q"},  // unknown letters stay literal
        {"ddddd", "03/04/2024"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatDate(d, c.pattern), c.expected) << c.pattern;
    EXPECT_EQ(FormatDate(DateTimeSerial(2024, 4, 3, 0, 0, 0), "hh:nn AM/PM"), "12:00 AM");
    EXPECT_EQ(FormatDate(Date(45356 + 86399.9999 / 86400), "dd/mm/yyyy hh:nn:ss"),
              "06/03/2024 00:00:00");
    EXPECT_EQ(FormatDate(Date(-1.25), "dd/mm/yyyy hh:nn"), "29/12/1899 06:00");
    EXPECT_EQ(FormatDate(DateTimeSerial(1999, 12, 31, 23, 59, 59), "dd-mm-yy hh:mm:ss"),
              "31-12-99 23:59:59");
}

TEST(Format, DateSeparatorsFollowTheLocale) {
    ScopedLocale locale(OtherSeparators());
    const Date d = DateTimeSerial(2024, 4, 3, 14, 5, 9);
    EXPECT_EQ(FormatDate(d, "dd/mm/yyyy hh:nn:ss"), "03-04-2024 14.05.09");
    // Replacing the separators before formatting keeps them literal.
    EXPECT_EQ(FormatDate(d, "dd&&mm&&yyyy hh__nn"), "03&&04&&2024 14__05");
}

TEST(Format, VariantKinds) {
    const Date d = DateTimeSerial(2024, 4, 3, 14, 5, 9);
    EXPECT_EQ(Format(Variant(true), "TRUE/FALSE"), "TRUE");
    EXPECT_EQ(Format(Variant(false), "TRUE/FALSE"), "FALSE");
    EXPECT_EQ(Format(Variant(true), "Yes/No"), "Yes");
    EXPECT_EQ(Format(Variant(false), "on/off"), "off");
    EXPECT_EQ(Format(Variant(true), "0"), "-1");
    EXPECT_EQ(Format(Variant(true), ""), "True");
    EXPECT_EQ(Format(Variant(Null), "0.00"), "");
    EXPECT_EQ(Format(Variant(), "0.00"), "0.00");
    EXPECT_EQ(Format(Variant(), "dd/mm/yyyy"), "");
    EXPECT_EQ(Format(Variant(int16_t{7}), "000"), "007");
    EXPECT_EQ(Format(Variant(int32_t{1234}), "#,##0"), "1,234");
    EXPECT_EQ(Format(Variant(2.5), ""), "2.5");
    EXPECT_EQ(Format(Variant(" 12.5 "), "0.00"), "12.50");
    EXPECT_EQ(Format(Variant("abc"), "0.00"), "abc");
    EXPECT_EQ(Format(Variant(""), "0.00"), "");
    EXPECT_EQ(Format(Variant(d), "dd/mm/yyyy"), "03/04/2024");
    EXPECT_EQ(Format(Variant(d), ""), "03/04/2024 14:05:09");
    EXPECT_EQ(Format(Variant(Date(45385)), ""), "03/04/2024");
    EXPECT_EQ(Format(Variant(Date(0.5)), ""), "12:00:00");
    EXPECT_EQ(Format(Variant("03/04/2024 14:05:09"), "yyyy-mm-dd hh:nn"), "2024-04-03 14:05");
    EXPECT_EQ(Format(Variant(45385.5), "dd/mm/yyyy hh:nn"), "03/04/2024 12:00");
    EXPECT_EQ(Format(Variant(Date(45385.5)), "0.00"), "45385.50");
    EXPECT_EQ(Format(Variant("45385"), "dd/mm/yyyy"), "03/04/2024");
    try {
        Format(Variant(std::shared_ptr<Object>()), "0");
        ADD_FAILURE();
    } catch (const Error& e) {
        EXPECT_EQ(e.Number(), errc::TypeMismatch);
    }
}

TEST(Format, ManyPatternsStayCorrect) {
    // More patterns than the parsed-pattern cache holds, used in turn.
    for (int round = 0; round < 3; ++round)
        for (int places = 0; places < 40; ++places) {
            std::string pattern = "0";
            if (places > 0) pattern += "." + std::string(static_cast<size_t>(places), '0');
            const std::string text = FormatNumber(1.5, pattern);
            ASSERT_EQ(text.size(), places == 0 ? 1u : static_cast<size_t>(places) + 2) << pattern;
            EXPECT_EQ(text[0], places == 0 ? '2' : '1');
        }
}

}  // namespace
