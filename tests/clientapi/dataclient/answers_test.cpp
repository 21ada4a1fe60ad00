// Answers into typed events: every one-row and list token, the variable
// answer by its field count, the spare field, number conversions and the
// answers that end as one error with no event.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "clientapi/dataclient/CClientServer.h"
#include "runtime/Locale.h"
#include "tests/clientapi/dataclient/AnswerCases.h"
#include "tests/clientapi/dataclient/AnswerRecorder.h"
#include "tests/support/ErrorNumber.h"

namespace {

namespace oc = OrbanexClientAPI10;
using Lines = std::vector<std::string>;
using Fields = std::vector<std::string>;

class AnswerTest : public ::testing::Test {
protected:
    // The error number the answer raised (0 for none) and the events it raised.
    int32_t OneRow(int16_t token, Fields fields) {
        fields.insert(fields.begin(), "");  // slot 0 is unused
        return testsupport::ErrorNumberOf([&] {
            object.OneRowResultreceived(token, static_cast<int16_t>(fields.size() - 1), fields);
        });
    }

    oc::CClientServer object;
    testsupport::AnswerRecorder<oc::CClientServer> events{object};
};

// Distinct field texts in, one event line out, each argument from its field.
TEST_F(AnswerTest, EveryOneRowAnswerRaisesItsEventFromItsFields) {
    for (const auto& c : testsupport::OneRowAnswers()) {
        SCOPED_TRACE(c.token);
        EXPECT_EQ(OneRow(c.token, c.fields), 0);
        EXPECT_EQ(events.Take(), Lines{c.event});
    }

    KVClientDLL10::ResultTable table(2, 2);
    table(1, 1) = "a", table(1, 2) = "b", table(2, 1) = "c", table(2, 2) = "d";
    for (const auto& [token, name] : testsupport::ListAnswers()) {
        SCOPED_TRACE(token);
        object.MultiRowsResultsreceived(token, false, table, 2, 2);
        object.MultiRowsResultsreceived(token, true, {}, 0, 0);
        EXPECT_EQ(events.Take(),
                  Lines({name + "(False, [a,b|c,d], 2, 2)", name + "(True, [], 0, 0)"}));
    }
}

// The variables answer by its field count: from three fields on, the ones
// left out read 0 and False; with two there is nothing to raise.
TEST_F(AnswerTest, VariablesAnswerFollowsItsFieldCount) {
    const Fields full{"a", "b", "c", "2.5", "7", "9", "1", "extra"};
    const std::vector<std::string> expected = {
        "",  // 2 fields
        "VariablesRecieved(b, c, a, 0, 0, 0, False)",
        "VariablesRecieved(b, c, a, 2.5, 0, 0, False)",
        "VariablesRecieved(b, c, a, 2.5, 7, 0, False)",
        "VariablesRecieved(b, c, a, 2.5, 7, 9, False)",
        "VariablesRecieved(b, c, a, 2.5, 7, 9, True)",
        "VariablesRecieved(b, c, a, 2.5, 7, 9, True)",
    };
    for (size_t n = 2; n <= 8; ++n) {
        SCOPED_TRACE(n);
        const Fields cut(full.begin(), full.begin() + n);
        EXPECT_EQ(OneRow(306, cut), n == 2 ? 9 : 0);
        const Lines got = events.Take();
        EXPECT_EQ(got, n == 2 ? Lines{} : Lines{expected[n - 2]});
    }
    for (const auto& [flag, readOnly] : std::vector<std::pair<std::string, bool>>{
             {"1.0", true}, {" 1", true}, {"2", false}, {"", false}}) {
        SCOPED_TRACE(flag);
        EXPECT_EQ(OneRow(306, {"a", "b", "c", "0", "0", "0", flag}), 0);
        EXPECT_TRUE(events.Take().at(0).ends_with(readOnly ? "True)" : "False)"));
    }
}

// One spare empty field follows the answer; a shorter answer, an overflow or
// a flag that is not a number ends with one error and no event.
TEST_F(AnswerTest, ShortOverflowingOrNonNumericAnswersRaiseOneErrorAndNoEvent) {
    EXPECT_EQ(OneRow(107, {"5", "2", "d3", "1.5", "-1", "1.2345", "7"}), 0);
    EXPECT_EQ(events.Take(), Lines{"NewOrderResultRecieved(5, 2, d3, 1.5, -1, 1.2345, 7, )"});

    struct Bad {
        int16_t token;
        Fields fields;
        int32_t error;
    };
    const std::vector<Bad> bad = {
        {107, {"5", "2", "d3", "1.5", "-1", "1.2345"}, 9},
        {107, {}, 9},
        {108, {"1", "2", "3", "4", "5", "6", "7", "8", "9"}, 9},
        {109, {"3e9"}, 6},
        {109, {"-2147483649"}, 6},
        {106, {"40000", "1", "2", "3", "4", "5", "6", "7"}, 6},
        {224, {"1", "2", "3", "4", "d", "", "0", "p"}, 13},
        {224, {"1", "2", "3", "4", "d", "1", "yes", "p"}, 13},
        {140, {"1"}, 0},  // the spare field reads 0
    };
    for (const auto& b : bad) {
        SCOPED_TRACE(::testing::PrintToString(b.fields));
        EXPECT_EQ(OneRow(b.token, b.fields), b.error);
        EXPECT_EQ(events.Take().size(), b.error ? 0u : 1u);
    }

    const std::vector<std::pair<std::string, std::string>> longs = {
        {"2.5", "2"}, {"3.5", "4"}, {"12abc", "12"}, {"", "0"}, {"&H10", "16"}, {" -7 ", "-7"}};
    for (const auto& [text, value] : longs) {
        SCOPED_TRACE(text);
        EXPECT_EQ(OneRow(109, {text}), 0);
        EXPECT_EQ(events.Take(), Lines{"RejectOrderResultRecieved(" + value + ")"});
    }
}

// Doubles read with "." whatever the locale; the strict flags under it.
TEST_F(AnswerTest, DoublesIgnoreTheLocaleWhileStrictFlagsFollowIt) {
    runtime::LocaleSettings comma;
    comma.decimal = ",";
    comma.thousands = ".";
    runtime::ScopedLocale locale(comma);
    EXPECT_EQ(OneRow(224, {"1", "2", "3", "2.5", "d", "1,0", "0", "p"}), 0);
    EXPECT_EQ(events.Take(), Lines{"CompDataReceived(1, 2, 3, 2.5, d, True, False, p)"});
}

// Tokens without an answer of that kind raise nothing and are no error.
TEST_F(AnswerTest, AnswersOfAnotherKindOrTokenAreDroppedQuietly) {
    EXPECT_EQ(OneRow(103, {"1"}), 0);
    EXPECT_EQ(OneRow(102, {"1", "2"}), 0);
    EXPECT_EQ(OneRow(999, {}), 0);
    EXPECT_EQ(
        testsupport::ErrorNumberOf([&] { object.MultiRowsResultsreceived(107, true, {}, 0, 0); }),
        0);
    EXPECT_EQ(testsupport::ErrorNumberOf([&] { object.OneRowResultreceived(107, 0, {}); }), 9);
    EXPECT_TRUE(events.Take().empty());
}

}  // namespace
