#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/Error.h"
#include "runtime/Strings.h"

using namespace runtime;

namespace {

template <class F>
int32_t ErrorNumberOf(F&& f) {
    try {
        f();
    } catch (const Error& e) {
        return e.Number();
    }
    return 0;
}

TEST(Strings, LeftRightMid) {
    EXPECT_EQ(Left("abc", 2), "ab");
    EXPECT_EQ(Left("abc", 9), "abc");
    EXPECT_EQ(Right("abc", 2), "bc");
    EXPECT_EQ(Right("abc", 9), "abc");
    EXPECT_EQ(Right("abc", 0), "");
    EXPECT_EQ(Mid("abcdef", 2), "bcdef");
    EXPECT_EQ(Mid("abcdef", 2, 3), "bcd");
    EXPECT_EQ(Mid("abcdef", 5, 10), "ef");
    EXPECT_EQ(Mid("abc", 4), "");
    EXPECT_EQ(Mid("abc", 99, 2), "");
    EXPECT_EQ(Mid("abc", 1, 0), "");
    EXPECT_EQ(ErrorNumberOf([] { Mid("abc", 0); }), errc::InvalidProcedureCall);
    EXPECT_EQ(ErrorNumberOf([] { Mid("abc", -3, 1); }), errc::InvalidProcedureCall);
    EXPECT_EQ(ErrorNumberOf([] { Mid("abc", 1, -1); }), errc::InvalidProcedureCall);
}

TEST(Strings, InStr) {
    const struct {
        int64_t start;
        const char* s;
        const char* find;
        Compare compare;
        size_t expected;
    } cases[] = {
        {1, "abcabc", "bc", Compare::Binary, 2}, {3, "abcabc", "bc", Compare::Binary, 5},
        {6, "abcabc", "bc", Compare::Binary, 0}, {1, "abc", "BC", Compare::Binary, 0},
        {1, "abc", "BC", Compare::Text, 2},      {1, "abc", "", Compare::Binary, 1},
        {3, "abc", "", Compare::Binary, 3},      {4, "abc", "", Compare::Binary, 4},
        {5, "abc", "", Compare::Binary, 0},      {1, "", "", Compare::Binary, 1},
        {1, "", "a", Compare::Binary, 0},        {1, "ab", "abc", Compare::Text, 0},
        {2, "xAxa", "a", Compare::Text, 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(InStr(c.start, c.s, c.find, c.compare), c.expected)
            << c.start << " '" << c.s << "' '" << c.find << "'";
    EXPECT_EQ(InStr("hello", "l"), 3u);
    EXPECT_EQ(ErrorNumberOf([] { InStr(0, "abc", "a"); }), errc::InvalidProcedureCall);
}

TEST(Strings, InStrRev) {
    EXPECT_EQ(InStrRev("abcabc", "bc"), 5u);
    EXPECT_EQ(InStrRev("abcabc", "bc", 5), 2u);  // the match must end by the start
    EXPECT_EQ(InStrRev("abcabc", "bc", 6), 5u);
    EXPECT_EQ(InStrRev("abcabc", "BC", -1, Compare::Text), 5u);
    EXPECT_EQ(InStrRev("abc", "x"), 0u);
    EXPECT_EQ(InStrRev("abc", ""), 3u);
    EXPECT_EQ(InStrRev("abc", "", 2), 2u);
    EXPECT_EQ(InStrRev("abc", "a", 9), 0u);
    EXPECT_EQ(InStrRev("", "a"), 0u);
    EXPECT_EQ(InStrRev("", ""), 0u);
    EXPECT_EQ(ErrorNumberOf([] { InStrRev("abc", "a", 0); }), errc::InvalidProcedureCall);
    EXPECT_EQ(ErrorNumberOf([] { InStrRev("abc", "a", -2); }), errc::InvalidProcedureCall);
}

TEST(Strings, ReplaceTrimCase) {
    EXPECT_EQ(Replace("a,b,,c", ",", ";"), "a;b;;c");
    EXPECT_EQ(Replace("aaaa", "aa", "b"), "bb");
    EXPECT_EQ(Replace("abc", "", "x"), "abc");
    EXPECT_EQ(Replace("aXbx", "x", "-", Compare::Text), "a-b-");
    EXPECT_EQ(Replace("abab", "ab", "abab"), "abababab");
    EXPECT_EQ(Replace("", "a", "b"), "");
    EXPECT_EQ(Trim("  a b \t"), "a b \t");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(LTrim("  a "), "a ");
    EXPECT_EQ(RTrim("  a "), "  a");
    EXPECT_EQ(UCase("aBc1é"), "ABC1é");
    EXPECT_EQ(LCase("aBc1"), "abc1");
    EXPECT_EQ(Space(3), "   ");
    EXPECT_EQ(String(2, '*'), "**");
    EXPECT_EQ(Len("abc"), 3u);
}

TEST(Strings, SplitJoin) {
    using V = std::vector<std::string>;
    EXPECT_EQ(Split("a,b,,c", ","), (V{"a", "b", "", "c"}));
    EXPECT_EQ(Split("", ","), (V{""}));
    EXPECT_EQ(Split("a,", ","), (V{"a", ""}));
    EXPECT_EQ(Split("a::b", "::"), (V{"a", "b"}));
    EXPECT_EQ(Split("a,b", ""), (V{"a,b"}));
    EXPECT_EQ(Join({"a", "b", ""}, "-"), "a-b-");
    EXPECT_EQ(Join({}, "-"), "");
    EXPECT_EQ(Join(Split("x;y;z", ";"), ";"), "x;y;z");
}

TEST(Strings, Compare) {
    EXPECT_TRUE(EqualsNoCase("AbC", "aBc"));
    EXPECT_FALSE(EqualsNoCase("abc", "abd"));
    EXPECT_FALSE(EqualsNoCase("abc", "ab"));
    EXPECT_EQ(StrComp("a", "b"), -1);
    EXPECT_EQ(StrComp("b", "a"), 1);
    EXPECT_EQ(StrComp("a", "A"), 1);
    EXPECT_EQ(StrComp("a", "A", Compare::Text), 0);
    EXPECT_EQ(StrComp("ab", "abc"), -1);
    EXPECT_EQ(StrComp("", ""), 0);
    EXPECT_EQ(StrComp("\xe9", "z"), 1);  // bytes compare unsigned
}

TEST(Strings, Like) {
    const struct {
        const char* s;
        const char* pattern;
        bool match;
    } cases[] = {
        {"abc", "abc", true},
        {"abc", "ABC", false},
        {"abc", "a?c", true},
        {"ac", "a?c", false},
        {"abc", "a*", true},
        {"abc", "*c", true},
        {"abc", "*", true},
        {"", "*", true},
        {"", "", true},
        {"a", "", false},
        {"", "?", false},
        {"abcbc", "a*bc", true},
        {"abcbd", "a*bc", false},
        {"a1", "a#", true},
        {"ab", "a#", false},
        {"b", "[a-c]", true},
        {"d", "[a-c]", false},
        {"d", "[!a-c]", true},
        {"-", "[a-]", true},
        {"x", "[xyz]", true},
        {"ab", "a[]b", true},
        {"aXXXbYYYc", "a*b*c", true},
        {"aXXXbYYY", "a*b*c", false},
        {"mississippi", "*sip*", true},
        {"mississippi", "m*iss*ppi", true},
        {"*", "[*]", true},
        {"a", "[*]", false},
        {"ab", "*?", true},
        {"a", "*??", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Like(c.s, c.pattern), c.match) << '"' << c.s << "\" Like \"" << c.pattern << '"';
    EXPECT_EQ(ErrorNumberOf([] { Like("a", "[a"); }), errc::InvalidPattern);
    // Many stars on a long text finish quickly (no exponential backtracking).
    EXPECT_FALSE(Like(std::string(5000, 'a'), "*a*a*a*a*a*a*a*a*b"));
}

}  // namespace
