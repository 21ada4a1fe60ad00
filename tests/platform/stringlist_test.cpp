#include "platform/StringList.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "runtime/Error.h"

namespace {

using platform::StringList;

std::vector<std::string> Pieces(const StringList& list) {
    std::vector<std::string> out;
    for (size_t i = 1; i <= list.Count(); ++i) out.push_back(list.Item(i));
    return out;
}

struct SplitCase {
    const char* name;
    std::string delimiter;
    std::string text;
    std::vector<std::string> pieces;
};

// A failure names the case, not the struct's bytes.
void PrintTo(const SplitCase& c, std::ostream* out) {
    *out << c.name;
}

class StringListSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(StringListSplit, CutsAtEveryDelimiter) {
    const SplitCase& c = GetParam();
    StringList list;
    list.SetDelimiter(c.delimiter);
    list.Load(c.text, 0);
    EXPECT_EQ(Pieces(list), c.pieces);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StringListSplit,
    ::testing::Values(
        SplitCase{"EmptyTextIsOneEmptyPiece", "+3!", "", {""}},
        SplitCase{"NoDelimiter", "+3!", "abc", {"abc"}},
        SplitCase{"TwoPieces", "+3!", "a+3!b", {"a", "b"}},
        SplitCase{"TrailingDelimiterGivesEmptyLast", "+3!", "a+3!b+3!", {"a", "b", ""}},
        SplitCase{"OnlyDelimiter", "+3!", "+3!", {"", ""}},
        SplitCase{"AdjacentDelimiters", "+3!", "+3!+3!x", {"", "", "x"}},
        SplitCase{"PartialDelimiterAtEndIsText", "+3!", "a+3", {"a+3"}},
        SplitCase{"NearMissesInside", "+3!", "+3+3!!3!", {"+3", "!3!"}},
        SplitCase{"RowDelimiter", "R,@", "1R,@2.5R,@", {"1", "2.5", ""}},
        SplitCase{"OverlapTakesLeftmost", "aa", "aaa", {"", "a"}},
        SplitCase{"SingleCharDelimiter", ",", "a,,b,", {"a", "", "b", ""}},
        SplitCase{"EmptyDelimiterKeepsWhole", "", "a,b", {"a,b"}},
        SplitCase{
            "BytesAfterNul", "+3!", std::string("a\0b+3!c", 7), {std::string("a\0b", 3), "c"}}),
    [](const ::testing::TestParamInfo<SplitCase>& info) { return info.param.name; });

TEST(StringList, ItemOutsideTheListRaisesSubscriptError) {
    StringList list;
    list.SetDelimiter(",");
    list.Load("a,b", 0);
    for (size_t bad : {size_t{0}, size_t{3}, size_t{1000}}) {
        try {
            (void)list.Item(bad);
            ADD_FAILURE() << "no error for item " << bad;
        } catch (const runtime::Error& e) {
            EXPECT_EQ(e.Number(), 9) << bad;
        }
    }
}

TEST(StringList, ClearEmptiesAndNextLoadHoldsOnlyNewPieces) {
    StringList list;
    EXPECT_EQ(list.Count(), 0u);
    list.SetDelimiter(",");
    list.Load("a,b,c,d", 0);
    list.Clear();
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_THROW((void)list.Item(1), runtime::Error);
    list.Load("x,y", 0);
    EXPECT_EQ(Pieces(list), (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(list.Delimiter(), ",");  // stays until changed
    list.Load("p,q,r,s,t", 0);         // a load without Clear replaces too
    list.Load("z", 0);
    EXPECT_EQ(Pieces(list), (std::vector<std::string>{"z"}));
}

TEST(StringList, LoadsFromItsOwnPiece) {
    StringList list;
    list.SetDelimiter("|");
    list.Load("a,b|c", 0);
    list.SetDelimiter(",");
    list.Load(list.ItemView(1), 0);
    EXPECT_EQ(Pieces(list), (std::vector<std::string>{"a", "b"}));
}

}  // namespace
