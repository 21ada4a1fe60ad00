// Every view's Displayed flag: pane, command check and "&Trade Panel" in order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "desk/common/CPaneDisplay.h"
#include "tests/support/desk/FakeDesk.h"

namespace {

using namespace OrbanexDesk;
using Lines = std::vector<std::string>;

TEST(PaneDisplay, ShowsOrClosesItsPaneChecksItsCommandAndTheFiveUpdateTradePanel) {
    struct Case {
        int32_t pane, command;
        bool tradePanel;
    } cases[] = {{100000, 100063, false}, {100001, 100036, false}, {100002, 100013, false},
                 {100004, 100011, true},  {100005, 100043, true},  {100037, 100061, true},
                 {100038, 100042, true},  {100044, 100062, true},  {100048, 100054, false}};
    testsupport::FakeDesk desk;
    IShell* shell = desk.Ports().Shell;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pane);
        CPaneDisplay view(c.pane, [&] { return shell; });
        const std::string pane = std::to_string(c.pane), command = std::to_string(c.command);
        view.setDisplayed(true);
        view.setDisplayed(false);
        Lines expected{"shell.SelectPane|" + pane, "shell.checked|" + command + "|True"};
        if (c.tradePanel) expected.push_back("shell.UpdateShowAllCheck");
        expected.push_back("shell.ClosePane|" + pane);
        expected.push_back("shell.checked|" + command + "|False");
        if (c.tradePanel) expected.push_back("shell.UpdateShowAllCheck");
        EXPECT_EQ(desk.Take(), expected);
        EXPECT_FALSE(view.Displayed());
        view.FollowPane(true);
        EXPECT_TRUE(view.Displayed());
        EXPECT_TRUE(desk.Take().empty()) << "following the pane touches nothing";
    }
    CPaneDisplay early(100005, [] { return nullptr; });
    early.setDisplayed(true);
    EXPECT_TRUE(early.Displayed()) << "before the shell exists only the flag changes";
}

}  // namespace
