// The question box runs its type's desk action once on "Yes" and nothing else.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "desk/shell/CQuestionBox.h"
#include "tests/support/desk/FakeDesk.h"

namespace {

using OrbanexDesk::CQuestionBox;

TEST(CQuestionBox, RunsTheActionOfItsTypeOnYesOnly) {
    testsupport::FakeDesk desk;
    desk.State().CancelOrderAccount = 1001;
    desk.State().CancelOrderID = 77;
    CQuestionBox box(
        desk.Ports(), desk.State(),
        {[&](const std::string& text) { desk.Record("ask|" + text); }, [&] { desk.Record("hide"); },
         [&](int32_t account, int32_t id) {
             desk.Record("DeleteManagedOrder|" + std::to_string(account) + "|" +
                         std::to_string(id));
         }});
    struct Case {
        int32_t type;
        int32_t button;
        std::vector<std::string> log;
    };
    const std::vector<Case> cases = {
        {1, 1, {"ask|q", "trade.closeAllse"}},
        {2, 1, {"ask|q", "close.closepos"}},
        {3, 1, {"ask|q", "DeleteManagedOrder|1001|77"}},
        {4, 1, {"ask|q", "close.close_single"}},
        {5, 1, {"ask|q"}},
        {0, 1, {"ask|q"}},
    };
    for (const auto& c : cases) {
        for (int32_t button : {2, 1}) {  // "No" runs nothing, then "Yes" its action once
            SCOPED_TRACE("type " + std::to_string(c.type) + " button " + std::to_string(button));
            box.Show("q", c.type);
            EXPECT_EQ(box.QuestionType(), c.type);
            box.m_oMsgBox_ButtonPessed(button);
            EXPECT_EQ(desk.Take(), button == 1 ? c.log : std::vector<std::string>{"ask|q"});
        }
    }

    // The five values are kept until the next question; the last question decides.
    box.Show("first", 4, 1, "two", 3.5);
    EXPECT_EQ(box.Value(2).ToString(), "two");
    EXPECT_TRUE(box.Value(5).IsEmpty());
    box.Show("second", 1);
    EXPECT_TRUE(box.Value(1).IsEmpty());
    box.m_oMsgBox_ButtonPessed(1);
    box.Hide();
    EXPECT_EQ(desk.Take(),
              (std::vector<std::string>{"ask|first", "ask|second", "trade.closeAllse", "hide"}));
}

}  // namespace
