#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "general/common/CStringValues.h"
#include "runtime/Convert.h"
#include "runtime/Date.h"
#include "runtime/Error.h"
#include "runtime/Format.h"
#include "runtime/Locale.h"
#include "tests/support/ErrorNumber.h"

namespace {

using testsupport::ErrorNumberOf;

using namespace OrbanelGeneral10;
using runtime::Variant;

runtime::LocaleSettings CommaDecimalLocale() {
    runtime::LocaleSettings l;
    l.decimal = ",";
    l.thousands = ".";
    l.date = ".";
    l.time = ".";
    return l;
}

std::string Stamp(runtime::Date d) {
    return runtime::FormatDate(d, "yyyy-mm-dd hh:nn:ss");
}

TEST(StringValuesNumbers, NumberTextsFollowTheLeadingNumberRules) {
    CStringValues sv;
    struct Case {
        Variant in;
        std::string toString, asNumber;
        double toNumber;
    };
    const std::vector<Case> cases = {
        {Variant(" 12.50 "), "12.50", " 12.50 ", 12.5},
        {Variant("1,234.5"), "1,234.5", "1234.5", 1234.5},
        {Variant(0.1 + 0.2), "0.3", "0.3", 0.3},
        {Variant(int32_t{42}), "42", "42", 42},
        {Variant(1e-5), "1E-05", "1E-05", 1e-5},
        {Variant("-7"), "-7", "-7", -7},
        {Variant("12.5abc"), "", "", 0},  // not a number as a whole
        {Variant("abc"), "", "", 0},
        {Variant(""), "", "", 0},
        {Variant(runtime::Null), "", "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.toString + "|" + c.asNumber);
        EXPECT_EQ(sv.NumberToString(c.in), c.toString);
        EXPECT_EQ(sv.FormatStringAsNumber(c.in), c.asNumber);
        EXPECT_DOUBLE_EQ(sv.StringToNumber2(c.in, ".", ","), c.toNumber);
    }
    EXPECT_TRUE(sv.NumberToVariant(Variant("abc")).IsNull());
    EXPECT_TRUE(sv.NumberToVariant(Variant("")).IsNull());
    EXPECT_EQ(sv.NumberToVariant(Variant("1,234.5")), Variant(1234.5));
}

TEST(StringValuesNumbers, OtherLocaleTextsBecomeInvariant) {
    runtime::ScopedLocale locale(CommaDecimalLocale());
    CStringValues sv;
    EXPECT_EQ(sv.FormatStringAsNumber(Variant("1.234,5"), ",", "."), "1234.5");
    EXPECT_DOUBLE_EQ(sv.StringToNumber2(Variant("1.234,5"), ",", "."), 1234.5);
    EXPECT_EQ(sv.ToCurrencyVal(Variant(1234567.126)), "1.234.567,13");
}

TEST(StringValuesNumbers, CurrencyHasTwoDecimalsHalvesAwayFromZero) {
    CStringValues sv;
    struct Case {
        Variant in;
        bool comma;
        std::string out;
    };
    const std::vector<Case> cases = {
        {Variant(1234567.126), true, "1,234,567.13"},
        {Variant(1234567.126), false, "1234567.13"},
        {Variant(-0.5), true, "-0.50"},
        {Variant(1.005), true, "1.01"},
        {Variant(2.675), true, "2.68"},
        {Variant(-2.675), false, "-2.68"},
        {Variant(0.0), true, "0.00"},
        {Variant(123456789012345.0), true, "123,456,789,012,345.00"},
        {Variant("1,234.5"), true, "1,234.50"},
        {Variant(" 7 "), false, "7.00"},
        {Variant(runtime::Null), true, ""},
        {Variant(""), true, ""},
        {Variant("abc"), true, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(sv.ToCurrencyVal(c.in, c.comma), c.out) << c.out;
}

TEST(StringValuesDates, ToDateTimeReadsEveryLayout) {
    CStringValues sv;
    struct Case {
        std::string text, d, t;
        DateFormatsEnum layout;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"05/03/2024", "/", ":", DDspMMspYYYY, "2024-03-05 00:00:00"},
        {"05/03/24", "/", ":", DDspMMspYY, "2024-03-05 00:00:00"},
        {" 05/03/2024 23:30:00 ", "/", ":", DDspMMspYYYY_HHspNNspSS, "2024-03-05 23:30:00"},
        {"05/03/99 01:02:03", "/", ":", DDspMMspYY_HHspNNspSS, "1999-03-05 01:02:03"},
        {"2024/03/05 14:07:09", "/", ":", YYYYspMMspDD_HHspNNspSS, "2024-03-05 14:07:09"},
        {"24-03-05 14.07.09", "-", ".", YYspMMspDD_HHspNNspSS, "2024-03-05 14:07:09"},
        {"14:07", "/", ":", HHspNN, "1999-11-30 14:07:00"},
        {"14:07:09", "/", ":", HHspNNspSS, "1999-11-30 14:07:09"},
        {"05/03/2024 14:07", "/", ":", DDspMMspYYYY_HHspNN, "2024-03-05 14:07:00"},
        {"2024/03/05 14:07", "/", ":", YYYYspMMspDD_HHspNN, "2024-03-05 14:07:00"},
        // a date-only layout still reads a time that is there
        {"05/03/2024 10:11:12", "/", ":", DDspMMspYYYY, "2024-03-05 10:11:12"},
        // carries: day 32 and second 60
        {"32/12/2023 23:59:60", "/", ":", DDspMMspYYYY_HHspNNspSS, "2024-01-02 00:00:00"},
        // fields round halves to even: 4.5 -> 4, 5.5 -> 6
        {"4.5/5.5/2024", "/", ":", DDspMMspYYYY, "2024-06-04 00:00:00"},
        {"", "/", ":", DDspMMspYYYY_HHspNNspSS, "1900-01-01 00:00:00"},
        {"14:07", "/", ":", static_cast<DateFormatsEnum>(42), "1999-11-30 00:00:00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Stamp(sv.ToDateTime(c.text, c.d, c.t, c.layout)), c.expected);
    }
    EXPECT_EQ(Stamp(sv.ToDate("05/03/2024")), "2024-03-05 00:00:00");
}

TEST(StringValuesDates, ToDateTimeRefusesTextsWithoutTheirDelimiters) {
    CStringValues sv;
    struct Case {
        std::string text;
        DateFormatsEnum layout;
    };
    const std::vector<Case> cases = {
        {"05032024", DDspMMspYYYY},
        {"05/03", DDspMMspYYYY},  // one delimiter: the month has a negative length
        {" ", DDspMMspYYYY},
        {"05/03/2024", HHspNNspSS},
        {"14:07", HHspNNspSS},
        {"05/03/2024 14:07", DDspMMspYYYY_HHspNNspSS},
        {"05/03/2024T14:07:09", DDspMMspYYYY_HHspNNspSS},  // no blank before the time
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ErrorNumberOf([&] { sv.ToDateTime(c.text, "/", ":", c.layout); }),
                  runtime::errc::InvalidProcedureCall)
            << c.text;
    }
    EXPECT_EQ(ErrorNumberOf([&] { sv.ToDateTime("05/03/2024", "", ":", DDspMMspYYYY); }),
              runtime::errc::InvalidProcedureCall);
}

TEST(StringValuesDates, GmtShiftKeepsTheExactSecond) {
    CStringValues sv;
    EXPECT_EQ(sv.FormatGMTDate("05/03/2024 23:30:00", 3, 1, ServerToClient), "06/03/2024 01:30:00");
    EXPECT_EQ(sv.FormatGMTDate("05/03/2024 23:30:00", 3, 1, ClientToServer), "05/03/2024 21:30:00");
    EXPECT_EQ(sv.FormatGMTDate("2024-03-05 23:30", 5.75, 0, ServerToClient, "-", ":",
                               YYYYspMMspDD_HHspNN),
              "2024-03-06 05:15");
    EXPECT_EQ(sv.FormatGMTDate("", 3, 1, ServerToClient), "");
    EXPECT_EQ(sv.FormatGMTDate("garbage", 3, 1, ServerToClient), "");
    EXPECT_DOUBLE_EQ(sv.ClientServerGMTOffset(3, 1, ClientToServer), -2);

    // Every second of a day shifted by awkward offsets formats to the second
    // that whole-second arithmetic gives.
    for (double offset : {-12.0, -3.5, 0.25, 2.0, 5.75, 13.0}) {
        const int32_t minutes = static_cast<int32_t>(offset * 60);
        for (int32_t s = 0; s < 86400; s += 997) {
            const runtime::Date server = runtime::DateTimeSerial(2024, 2, 29, 0, 0, s);
            const runtime::Date expected = runtime::DateTimeSerial(2024, 2, 29, 0, minutes, s);
            const runtime::Date shifted = sv.ConvertGMTVal(server, offset, 0, ServerToClient);
            ASSERT_EQ(sv.MyFormat(Variant(shifted), "dd/mm/yyyy hh:nn:ss"),
                      sv.MyFormat(Variant(expected), "dd/mm/yyyy hh:nn:ss"))
                << offset << " " << s;
        }
    }
}

TEST(StringValuesDates, PatternsKeepSlashAndColonWhateverTheLocale) {
    runtime::ScopedLocale locale(CommaDecimalLocale());
    CStringValues sv;
    const Variant d(runtime::DateTimeSerial(2024, 3, 5, 14, 7, 9));
    EXPECT_EQ(sv.DateToString(d, "dd/mm/yyyy hh:nn:ss"), "05/03/2024 14:07:09");
    EXPECT_EQ(sv.DateToString(d), "05/03/2024");
    EXPECT_EQ(sv.DateToString(Variant("not a date")), "");
    EXPECT_EQ(sv.DateToString(Variant(runtime::Null)), "");
    EXPECT_EQ(sv.FormatGMTDate("05/03/2024 23:30:00", 3, 1, ServerToClient), "06/03/2024 01:30:00");
}

TEST(StringValuesDates, OffsetTextsAreInverse) {
    CStringValues sv;
    const std::vector<std::pair<double, std::string>> cases =
        {
            {0, "00:00"},        {2, "+02:00"},    {3.5, "+03:30"},   {-3.5, "-04:30"},
            {-5.5, "-06:30"},    {5.75, "+05:45"}, {-0.25, "-01:45"}, {12, "+12:00"},
            {2.99999, "+03:00"},  // the minutes round up into the hour
        };
    for (const auto& [hours, text] : cases) EXPECT_EQ(sv.DoubleToTime(hours), text) << hours;
    for (double h = -12; h <= 14; h += 0.25)
        EXPECT_DOUBLE_EQ(sv.TimeToDouble(sv.DoubleToTime(h)), h);
    EXPECT_DOUBLE_EQ(sv.TimeToDouble("-06:30"), -5.5);
    for (const char* bad : {"0630", "", "ab:cd", ":"})
        EXPECT_DOUBLE_EQ(sv.TimeToDouble(bad), 0) << bad;
}

TEST(StringValuesDates, IsInPeriodComparesTimesOfDay) {
    CStringValues sv;
    EXPECT_TRUE(sv.IsInPeriod("10:00", "09:00", "17:00"));
    EXPECT_TRUE(sv.IsInPeriod("09:00", "09:00", "17:00"));
    EXPECT_FALSE(sv.IsInPeriod("18:00", "09:00", "17:00"));
    EXPECT_FALSE(sv.IsInPeriod("23:30", "22:00", "02:00"));  // across midnight: never
    EXPECT_EQ(ErrorNumberOf([&] { sv.IsInPeriod("soon", "09:00", "17:00"); }),
              runtime::errc::TypeMismatch);
}

TEST(StringValuesLists, ElementsAndValues) {
    CStringValues sv;
    const std::vector<std::pair<int16_t, std::string>> elements = {
        {1, "a"}, {2, "b"}, {3, "c"}, {4, "-1"}, {0, "-1"}, {-1, "-1"}};
    for (const auto& [n, text] : elements) EXPECT_EQ(sv.get_element("a,b,c", n), text) << n;
    EXPECT_EQ(sv.get_element("a,,c", 2), "");
    EXPECT_EQ(sv.get_element("abc", 1, ""), "abc");
    EXPECT_EQ(sv.get_element("abc", 2, ""), "-1");

    std::string rest;
    EXPECT_EQ(sv.get_first_val("a;b;c", rest, ";"), "a");
    EXPECT_EQ(rest, "b;c");
    EXPECT_EQ(sv.get_first_val("aXXbXXc", rest, "xx"), "a");  // letter case ignored
    EXPECT_EQ(rest, "bXXc");
    EXPECT_EQ(sv.get_first_val("abc", rest), "abc");
    EXPECT_EQ(rest, "");
    rest = "a,b";
    EXPECT_EQ(sv.get_first_val(rest, rest, ""), "a,b");  // an empty separator ends a peeling loop
    EXPECT_EQ(rest, "");

    EXPECT_TRUE(sv.equal_one_of("b", "a,b,c"));
    EXPECT_FALSE(sv.equal_one_of("B", "a,b,c"));
    EXPECT_TRUE(sv.equal_one_of("", ""));
    EXPECT_TRUE(sv.equal_one_of("", "a,,c"));
    EXPECT_FALSE(sv.equal_one_of("a", "ab", ""));

    struct Find {
        std::string s, find;
        int16_t occurrence;
        int32_t pos;
    };
    const std::vector<Find> finds = {
        {"xAxa", "a", 2, 4}, {"xAxa", "a", 1, 2}, {"xAxa", "a", 3, 0},
        {"aaa", "aa", 2, 2}, {"abc", "", 1, 0},   {"abc", "b", 0, 0},
    };
    for (const Find& f : finds) {
        EXPECT_EQ(sv.inString(f.s, f.find, 1, f.occurrence), Variant(f.pos)) << f.s << f.find;
    }
}

TEST(StringValuesCoder, RoundTripsEveryPrintableCharacter) {
    CStringValues sv;
    std::string all;
    for (int c = 32; c < 127; ++c) all.push_back(static_cast<char>(c));
    const std::string coded = sv.Code(all);
    EXPECT_EQ(coded.size(), all.size());
    EXPECT_NE(coded, all);
    EXPECT_EQ(sv.DeCode(coded), all);
    for (size_t i = 0; i < all.size(); ++i) {
        const bool inTable = CStringValues::kPlainTable.find(all[i]) != std::string_view::npos;
        EXPECT_EQ(coded[i] != all[i], inTable) << "character " << all[i];
        // The comma, the double quote and the blank hold the desk's files
        // together: they stay, and nothing else turns into them.
        const bool separator = all[i] == ',' || all[i] == '"' || all[i] == ' ';
        EXPECT_FALSE(separator && inTable);
        if (!separator) {
            EXPECT_TRUE(coded[i] != ',' && coded[i] != '"' && coded[i] != ' ');
        }
        if (all[i] >= 'a' && all[i] <= 'z') {
            EXPECT_EQ(coded[i], all[i]);
        }
    }
    const std::string bytes = "\x01\t\x80\xff";
    EXPECT_EQ(sv.Code(bytes), bytes);

    const std::set<char> plain(CStringValues::kPlainTable.begin(),
                               CStringValues::kPlainTable.end());
    const std::set<char> coder(CStringValues::kCodedTable.begin(),
                               CStringValues::kCodedTable.end());
    EXPECT_EQ(plain.size(), 58u);
    EXPECT_EQ(plain, coder);

    const std::string line = "USER1,P@SS:W{RD},12345,True";
    EXPECT_EQ(sv.DeCode(sv.Code(line)), line);
}

TEST(StringValuesCoder, TranslateDecidesOnTheInput) {
    CStringValues sv;
    EXPECT_EQ(sv.Translate("abba", "ab", "ba"), "baab");
    EXPECT_EQ(sv.Translate("abc", "abc", "x"), "xbc");  // a short replacement table changes no more
    EXPECT_EQ(sv.Char("abc", 2), "b");
    EXPECT_EQ(sv.Char("abc", 9), "");
    EXPECT_EQ(ErrorNumberOf([&] { sv.Char("abc", 0); }), runtime::errc::InvalidProcedureCall);
}

}  // namespace
