#include <cfloat>
#include <cmath>
#include <iomanip>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "runtime/Convert.h"
#include "runtime/Error.h"
#include "runtime/Format.h"
#include "runtime/Locale.h"

using namespace runtime;

namespace {

LocaleSettings CommaDecimal() {
    LocaleSettings s;
    s.decimal = ",";
    s.thousands = ".";
    s.date = ".";
    s.time = ".";
    return s;
}

template <class F>
int32_t ErrorNumberOf(F&& f) {
    try {
        f();
    } catch (const Error& e) {
        return e.Number();
    }
    return 0;
}

TEST(Val, ReadsTheLeadingNumber) {
    const struct {
        std::string text;
        double expected;
    } cases[] = {
        {"  12.5abc", 12.5},
        {"abc", 0},
        {"", 0},
        {"1 2", 12},
        {"\t1\n2 . 5", 12.5},
        {"1\r2", 1},
        {"\r5", 0},
        {"-.5", -0.5},
        {"+7", 7},
        {"- 3", -3},
        {"-", 0},
        {".", 0},
        {"1.2.3", 1.2},
        {"1,234", 1},
        {"1e3", 1000},
        {"1E-2", 0.01},
        {"2.5D2", 250},
        {"1d", 1},
        {"1e", 1},
        {"1e+", 1},
        {"1e 2", 100},
        {"e5", 0},
        {"&H1F", 31},
        {"&h1f", 31},
        {"&O17", 15},
        {"&HFFFF", -1},
        {"&H8000", -32768},
        {"&H10000", 65536},
        {"&HFFFFFFFF", -1},
        {"&H", 0},
        {"&Z1", 0},
        {"0.1", 0.1},
        {"123456789012345678", 123456789012345678.0},
        {"0.30000000000000004", 0.30000000000000004},
        {"1e400", DBL_MAX},
        {"-1e400", -DBL_MAX},
        {"1e-400", 0},
        {"4.9e-324", 4.9e-324},
        {"12%", 12},
    };
    for (const auto& c : cases) EXPECT_EQ(Val(c.text), c.expected) << '"' << c.text << '"';
}

TEST(Val, IgnoresTheLocale) {
    ScopedLocale locale(CommaDecimal());
    EXPECT_EQ(Val("12.5"), 12.5);
    EXPECT_EQ(Val("12,5"), 12);
}

TEST(Val, HugeInputsReadCorrectly) {
    const std::string megabyte(1 << 20, '7');
    EXPECT_EQ(Val(megabyte), DBL_MAX);  // 1e1048575 overflows
    EXPECT_EQ(Val("0." + megabyte), Val("0.7777777777777777777777"));
    EXPECT_EQ(Val(std::string(1 << 20, '0') + "42"), 42);
    EXPECT_EQ(Val("0." + std::string(1 << 20, '0') + "1"), 0);
    EXPECT_EQ(Val("1" + std::string(1000, '0') + "e-1000"), 1);
    EXPECT_EQ(Val("1e" + std::string(1 << 20, '9')), DBL_MAX);
    EXPECT_EQ(Val(std::string(1 << 20, ' ') + "5"), 5);
    // 1 + 2^-53 is the tie between 1 and the next double; a 1 past the 800th
    // digit puts it above.
    const std::string tie = "1.00000000000000011102230246251565404236316680908203125";
    EXPECT_EQ(Val(tie + std::string(800, '0')), 1);
    EXPECT_EQ(Val(tie + std::string(800, '0') + "1"), 1.0000000000000002);
    EXPECT_EQ(Val("0." + std::string(900, '9') + "e1"), 10);
}

TEST(IsNumeric, FollowsTheLocaleGrammar) {
    const struct {
        std::string text;
        bool numeric;
        double value;
    } cases[] = {
        {"12.5", true, 12.5},
        {"  -12.5  ", true, -12.5},
        {"+ 3", true, 3},
        {"1,234,567.25", true, 1234567.25},
        {"1,2", true, 12},
        {".5", true, 0.5},
        {"5.", true, 5},
        {"1e3", true, 1000},
        {"1.5E-2", true, 0.015},
        {"2D2", true, 200},
        {"&H1F", true, 31},
        {" &O17 ", true, 15},
        {"", false, 0},
        {"   ", false, 0},
        {"abc", false, 0},
        {"12abc", false, 0},
        {"1 2", false, 0},
        {".", false, 0},
        {"-", false, 0},
        {",5", false, 0},
        {"1e", false, 0},
        {"1e+", false, 0},
        {"1.2.3", false, 0},
        {"&H", false, 0},
        {"&HG", false, 0},
        {"&H123456789", false, 0},
        {"1e400", false, 0},
        {"1.7976931348623157e308", true, DBL_MAX},
        {"-1.7976931348623157e308", true, -DBL_MAX},
        {"1.7976931348623159e308", false, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsNumericText(c.text), c.numeric) << '"' << c.text << '"';
        auto v = ParseNumber(c.text);
        EXPECT_EQ(v.has_value(), c.numeric) << '"' << c.text << '"';
        if (v && c.numeric) {
            EXPECT_EQ(*v, c.value) << '"' << c.text << '"';
        }
    }
}

TEST(IsNumeric, CommaDecimalLocale) {
    ScopedLocale locale(CommaDecimal());
    EXPECT_EQ(ParseNumber("1.234,5"), 1234.5);
    EXPECT_EQ(ParseNumber("12,5"), 12.5);
    EXPECT_EQ(ParseNumber("12.5"), 125);  // "." groups digits here
    EXPECT_FALSE(IsNumericText("12,5,1"));
}

TEST(IsNumeric, VariantKinds) {
    EXPECT_TRUE(IsNumeric(Variant(true)));
    EXPECT_TRUE(IsNumeric(Variant(int16_t{3})));
    EXPECT_TRUE(IsNumeric(Variant(2.5)));
    EXPECT_TRUE(IsNumeric(Variant()));
    EXPECT_TRUE(IsNumeric(Variant(Date(1.5))));
    EXPECT_TRUE(IsNumeric(Variant(" 4 ")));
    EXPECT_FALSE(IsNumeric(Variant(Null)));
    EXPECT_FALSE(IsNumeric(Variant("")));
    EXPECT_FALSE(IsNumeric(Variant("x")));
}

TEST(Round, HalfAwayOnTheDecimalText) {
    const struct {
        double x;
        int32_t decimals;
        double expected;
    } cases[] = {
        {1.005, 2, 1.01},
        {2.675, 2, 2.68},
        {-1.005, 2, -1.01},
        {1.234445, 4, 1.2344},
        {0.5, 0, 1},
        {-0.5, 0, -1},
        {1.5, 0, 2},
        {2.5, 0, 3},
        {0.125, 2, 0.13},
        {9.995, 2, 10},
        {0.0049, 2, 0},
        {0.005, 2, 0.01},
        {0.0005, 2, 0},
        {123.456, 5, 123.456},
        {1e20, 2, 1e20},
        {0, 3, 0},
        {1.15 * 3, 1, 3.5},
        {1234567.125, 2, 1234567.13},
        // A hair below the tie in binary, a half in the 15-digit text.
        {0.60034 + 0.00001, 4, 0.6004},
        {10.004 + 0.001, 2, 10.01},
        {-(0.60034 + 0.00001), 4, -0.6004},
        {0.60034 + 0.00001, 5, 0.60035},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RoundHalfAway(c.x, c.decimals), c.expected) << c.x << " at " << c.decimals;
    EXPECT_FALSE(std::signbit(RoundHalfAway(-0.001, 2)));
    EXPECT_EQ(ErrorNumberOf([] { RoundHalfAway(1.5, -1); }), errc::InvalidProcedureCall);
    EXPECT_TRUE(std::isnan(RoundHalfAway(NAN, 2)));
}

TEST(Round, HalfEvenOnTheDecimalText) {
    const struct {
        double x;
        int32_t decimals;
        double expected;
    } cases[] = {
        {2.675, 2, 2.68},     {2.665, 2, 2.66},
        {0.125, 2, 0.12},     {0.135, 2, 0.14},
        {-2.665, 2, -2.66},   {0.5, 0, 0},
        {1.5, 0, 2},          {2.5, 0, 2},
        {0.05, 1, 0},         {0.15, 1, 0.2},
        {0.1251, 2, 0.13},    {1.234445, 4, 1.2344},
        {12.345, 8, 12.345},  {2.5000000000000004, 0, 2},
        {0.1 + 0.2, 20, 0.3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RoundHalfEven(c.x, c.decimals), c.expected) << c.x << " at " << c.decimals;
}

TEST(Round, WholeHalfEven) {
    const double cases[][2] = {{2.5, 2},
                               {3.5, 4},
                               {-2.5, -2},
                               {0.5, 0},
                               {1.5, 2},
                               {2.4, 2},
                               {2.6, 3},
                               {-0.4, 0},
                               {-3.5, -4},
                               {1e300, 1e300},
                               {2.5000000000000004, 3},
                               {4503599627370497.0, 4503599627370497.0}};
    for (const auto& c : cases) EXPECT_EQ(RoundHalfEven(c[0]), c[1]) << c[0];
}

TEST(CInt, HalvesToEvenAndOverflows) {
    const double cases[][2] = {{2.5, 2},       {3.5, 4},         {-2.5, -2},
                               {0.5, 0},       {1.5, 2},         {-32768, -32768},
                               {32767, 32767}, {32767.4, 32767}, {-32768.5, -32768}};
    for (const auto& c : cases) EXPECT_EQ(CInt(c[0]), c[1]) << c[0];
    for (double bad : {32767.5, 32768.0, -32769.0, -32768.6, 1e10, double(NAN), double(INFINITY)})
        EXPECT_EQ(ErrorNumberOf([&] { CInt(bad); }), errc::Overflow) << bad;
}

TEST(CLng, HalvesToEvenAndOverflows) {
    EXPECT_EQ(CLng(2.5), 2);
    EXPECT_EQ(CLng(-3.5), -4);
    EXPECT_EQ(CLng(2147483647.0), 2147483647);
    EXPECT_EQ(CLng(-2147483648.5), -2147483648LL);
    for (double bad : {2147483647.5, 2147483648.0, -2147483649.0, double(NAN)})
        EXPECT_EQ(ErrorNumberOf([&] { CLng(bad); }), errc::Overflow) << bad;
}

TEST(CLng, VariantConversions) {
    EXPECT_EQ(CLng(Variant("12.5")), 12);
    EXPECT_EQ(CLng(Variant(" 13.5 ")), 14);
    EXPECT_EQ(CInt(Variant(true)), -1);
    EXPECT_EQ(CInt(Variant()), 0);
    EXPECT_EQ(CLng(Variant("&H1F")), 31);
    EXPECT_EQ(ErrorNumberOf([] { CLng(Variant("12x")); }), errc::TypeMismatch);
    EXPECT_EQ(ErrorNumberOf([] { CLng(Variant("")); }), errc::TypeMismatch);
    EXPECT_EQ(ErrorNumberOf([] { CLng(Variant(Null)); }), errc::InvalidUseOfNull);
    EXPECT_EQ(ErrorNumberOf([] { CStr(Variant(Null)); }), errc::InvalidUseOfNull);
    EXPECT_EQ(ErrorNumberOf([] { CInt(Variant(int32_t{40000})); }), errc::Overflow);
    EXPECT_EQ(ErrorNumberOf([] { CInt(Variant("32768")); }), errc::Overflow);
    {
        ScopedLocale locale(CommaDecimal());
        EXPECT_EQ(CLng(Variant("12,5")), 12);
        EXPECT_EQ(CLng(Variant("1.234,5")), 1234);
        EXPECT_EQ(CDbl(Variant("0,25")), 0.25);
    }
}

TEST(NumberToText, FifteenSignificantDigits) {
    const struct {
        double x;
        const char* text;
    } cases[] = {
        {0.1 + 0.2, "0.3"},
        {1.0 / 3, "0.333333333333333"},
        {2.0 / 3, "0.666666666666667"},
        {1e-5, "1E-05"},
        {1.5e20, "1.5E+20"},
        {123456789012345, "123456789012345"},
        {1234567890123456, "1.23456789012346E+15"},
        {1e15, "1E+15"},
        {999999999999999.9, "1E+15"},
        {-0.0, "0"},
        {0, "0"},
        {100, "100"},
        {0.0001, "0.0001"},
        {0.00012345, "0.00012345"},
        {-2.5, "-2.5"},
        {1e100, "1E+100"},
        {-1.25e-7, "-1.25E-07"},
        {1.2345 - 0.0005, "1.234"},
        {DBL_MAX, "1.79769313486232E+308"},
        {5e-324, "4.94065645841247E-324"},
        // The longest texts of each form.
        {-0.000123456789012345, "-0.000123456789012345"},
        {-1.23456789012345e-300, "-1.23456789012345E-300"},
        {-123456789012345, "-123456789012345"},
        {-12345678.9012345, "-12345678.9012345"},
    };
    for (const auto& c : cases) EXPECT_EQ(NumberToText(c.x), c.text) << c.x;
}

TEST(NumberToText, LocaleAndStr) {
    EXPECT_EQ(Str(5), " 5");
    EXPECT_EQ(Str(-5.5), "-5.5");
    EXPECT_EQ(Str(0), " 0");
    EXPECT_EQ(Str(-0.0), " 0");
    ScopedLocale locale(CommaDecimal());
    EXPECT_EQ(NumberToLocaleText(1234.5), "1234,5");
    EXPECT_EQ(NumberToLocaleText(1.5e20), "1,5E+20");
    EXPECT_EQ(NumberToText(1234.5), "1234.5");
    EXPECT_EQ(Str(0.5), " 0.5");
    EXPECT_EQ(CStr(Variant(0.5)), "0,5");
}

TEST(NumberToText, RoundTripsThroughVal) {
    // Texts of 15 digits or fewer read back to the same double.
    for (double x : {0.1, 1.23456789012345, 98765.4321, 1e-10, 7e22, 0.000123})
        EXPECT_EQ(Val(NumberToText(x)), x) << x;
}

TEST(ParseDateText, DocumentLayouts) {
    constexpr double kNotADate = 1e9;
    const struct {
        const char* text;
        double expected;  // serial; kNotADate when refused
    } cases[] = {
        {"05/03/2024", 45356},
        {"5/3/2024", 45356},
        {"05/03/24", 45356},
        {"5-3-2024", 45356},
        {"05.03.2024", 45356},
        {"2024/03/05", 45356},
        {"2024-03-05 14:07:09", 45356 + (14 * 3600 + 7 * 60 + 9) / 86400.0},
        {" 05/03/2024  14:07 ", 45356 + (14 * 3600 + 7 * 60) / 86400.0},
        {"14:07:09", (14 * 3600 + 7 * 60 + 9) / 86400.0},
        {"31/12/1999 23:59:59", 36525 + 86399 / 86400.0},
        {"01/01/1899", -363},
        {"29/02/2023", kNotADate},
        {"31/04/2024", kNotADate},
        {"13/13/2024", kNotADate},
        {"05/03", kNotADate},
        {"05/03-2024", kNotADate},
        {"24:00", kNotADate},
        {"12:60", kNotADate},
        {"12:", kNotADate},
        {"", kNotADate},
        {"abc", kNotADate},
        {"05/03/2024 x", kNotADate},
        {"05/03/2024 10:00 PM", 45356 + 22 / 24.0},
        {"10:30 PM", (22 * 60 + 30) / 1440.0},
        {"10:30:15am", (10 * 3600 + 30 * 60 + 15) / 86400.0},
        {"12:05 AM", 5 / 1440.0},
        {"12:05 pm", (12 * 60 + 5) / 1440.0},
        {"7 PM", 19 / 24.0},
        {"13:00 PM", kNotADate},
        {"05/03/2024 PM", kNotADate},
        {"PM", kNotADate},
        {"12.5", kNotADate},
    };
    for (const auto& c : cases) {
        auto d = ParseDateText(c.text);
        if (c.expected == kNotADate) {
            EXPECT_FALSE(d.has_value()) << c.text;
            EXPECT_FALSE(IsDate(Variant(c.text))) << c.text;
        } else {
            ASSERT_TRUE(d.has_value()) << c.text;
            EXPECT_NEAR(d->value, c.expected, 1e-9) << c.text;
            EXPECT_TRUE(IsDate(Variant(c.text))) << c.text;
        }
    }
    EXPECT_TRUE(IsDate(Variant(Date(3))));
    EXPECT_FALSE(IsDate(Variant(45356.0)));
    EXPECT_FALSE(IsDate(Variant(Null)));
}

TEST(ParseDateText, LocaleSeparators) {
    LocaleSettings s;
    s.date = "-";
    s.time = ".";
    ScopedLocale locale(s);
    auto d = ParseDateText("05-03-2024 14.07");
    ASSERT_TRUE(d.has_value());
    EXPECT_NEAR(d->value, 45356 + (14 * 60 + 7) / 1440.0, 1e-9);
    EXPECT_TRUE(ParseDateText("14:07").has_value());
}

}  // namespace

// The arithmetic shortcut of the decimal rounding must give the very double
// the formatted text reads back as, near ties included.
TEST(RoundDecimal, AgreesWithTheFormattedText) {
    std::mt19937_64 gen(12345);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::uniform_int_distribution<int> decimalsOf(0, 8), magnitudeOf(-3, 9);
    for (int i = 0; i < 200000; ++i) {
        const int d = decimalsOf(gen);
        double x = unit(gen) * std::pow(10.0, magnitudeOf(gen));
        if (i % 3 == 0) {  // close to a half at d places
            const double step = std::pow(10.0, -d);
            x = (std::floor(x / step) + 0.5) * step + (unit(gen) - 0.5) * step * 1e-3;
        }
        if (i % 2) x = -x;
        std::string pattern(d ? d + 2 : 1, '0');
        if (d) pattern[1] = '.';
        const double viaText = Val(FormatNumber(x, pattern));
        ASSERT_EQ(RoundHalfAway(x, d), viaText) << std::setprecision(17) << x << " at " << d;
    }
}
