#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Grid.h"
#include "tests/support/ErrorNumber.h"

namespace {

using platform::Grid;
using platform::GridChange;
using testsupport::ErrorNumberOf;

// The change feed as short texts, with the row count seen at each notice.
struct GridFeed {
    explicit GridFeed(Grid& g) : grid(g) {
        connection = g.Changed.Connect([this](const GridChange& c) { Record(c); });
    }
    void Record(const GridChange& c) {
        static const char* const kKinds[] = {"+?", "+",    "-?",  "-",     "0?",
                                             "0",  "cell", "cur", "width", "refresh"};
        static const char* const kRoles[] = {"text", "back", "fore", "align", "pic", "picalign"};
        std::string s = kKinds[static_cast<int>(c.kind)];
        switch (c.kind) {
            case GridChange::Kind::Cell:
                s += std::to_string(c.first) + "." + std::to_string(c.column) +
                     kRoles[static_cast<int>(c.role)];
                break;
            case GridChange::Kind::Current:
                s += std::to_string(c.first) + "." + std::to_string(c.column);
                break;
            case GridChange::Kind::ColumnWidth:
                s += std::to_string(c.column);
                break;
            default:
                if (c.kind < GridChange::Kind::AboutToReset)
                    s += std::to_string(c.first) + ".." + std::to_string(c.last);
        }
        lines.push_back(s + "/n" + std::to_string(grid.Rows()));
    }
    std::vector<std::string> Take() { return std::exchange(lines, {}); }
    Grid& grid;
    runtime::ScopedConnection connection;
    std::vector<std::string> lines;
};

// Column 0 of every row, joined by "|".
std::string Column0(const Grid& g) {
    std::string s;
    for (size_t r = 0; r < g.Rows(); ++r) s += (r ? "|" : "") + g.TextMatrix(r, 0);
    return s;
}

// Each step acts on one grid in turn; the feed and column 0 afterwards are compared.
TEST(Grid, KeepsCellsAndAnnouncesEveryRealChangeOnce) {
    Grid g(2, 4);
    GridFeed feed(g);
    struct Step {
        const char* what;
        std::function<void()> act;
        std::vector<std::string> feed;
        std::string column0;
    };
    const std::vector<Step> steps = {
        {"header text", [&] { g.setTextMatrix(0, 0, "Account"); }, {"cell0.0text/n2"}, "Account|"},
        {"same text again is silent", [&] { g.setTextMatrix(0, 0, "Account"); }, {}, "Account|"},
        {"insert at index 1 splits on tabs",
         [&] { g.AddItem("1001\tx", 1); },
         {"+?1..1/n2", "+1..1/n3"},
         "Account|1001|"},
        {"insert at the end",
         [&] { g.AddItem("", 3); },
         {"+?3..3/n3", "+3..3/n4"},
         "Account|1001||"},
        {"current cell moves",
         [&] {
             g.setRow(2);
             g.setCol(1);
             g.setCol(1);
         },
         {"cur2.0/n4", "cur2.1/n4"},
         "Account|1001||"},
        {"current cell looks, each once",
         [&] {
             g.setCellBackColor(0xFFFFFE);
             g.setCellBackColor(0xFFFFFE);
             g.setCellPicture(104);
             g.setCellPictureAlignment(2);
             g.setCellAlignment(1);
             g.setCellForeColor(255);
             g.setText("desc");
         },
         {"cell2.1back/n4", "cell2.1pic/n4", "cell2.1picalign/n4", "cell2.1align/n4",
          "cell2.1fore/n4", "cell2.1text/n4"},
         "Account|1001||"},
        {"a row inserted above moves the cell down",
         [&] { g.AddItem("1002", 1); },
         {"+?1..1/n4", "+1..1/n5"},
         "Account|1002|1001||"},
        {"widths",
         [&] { g.setColWidth(3, 1200), g.setColWidth(3, 1200); },
         {"width3/n5"},
         "Account|1002|1001||"},
        {"clear keeps rows and widths", [&] { g.Clear(); }, {"0?/n5", "0/n5"}, "||||"},
        {"fewer rows", [&] { g.setRows(2); }, {"-?2..4/n5", "-2..4/n2"}, "|"},
        {"more rows", [&] { g.setRows(3); }, {"+?2..2/n2", "+2..2/n3"}, "||"},
        {"redraw off: one reset around silent writes",
         [&] {
             g.setRedraw(false);
             g.AddItem("9", 1);
             g.setTextMatrix(1, 3, "Close");
             g.setRow(1);
             g.setRedraw(true);
             g.Refresh();
         },
         {"0?/n3", "0/n4", "refresh/n4"},
         "|9||"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        EXPECT_EQ(feed.Take(), step.feed);
        EXPECT_EQ(Column0(g), step.column0);
    }
    EXPECT_EQ(g.ColWidth(3), 1200);
    EXPECT_EQ(g.ColWidth(0), -1);
    EXPECT_EQ(g.Row(), 1u);
    EXPECT_EQ(g.TextMatrix(1, 3), "Close");
    EXPECT_EQ(g.Cell(3, 1).backColor, platform::kNoColor);  // cleared
    EXPECT_EQ(g.Cell(3, 1).alignment, platform::kAlignGeneral);

    // Bad addresses raise and change nothing.
    EXPECT_EQ(ErrorNumberOf([&] { g.setRow(4); }), 30009);
    EXPECT_EQ(ErrorNumberOf([&] { g.setCol(4); }), 30010);
    EXPECT_EQ(ErrorNumberOf([&] { g.setTextMatrix(9, 0, "x"); }), 30009);
    EXPECT_EQ(ErrorNumberOf([&] { g.AddItem("x", 5); }), 30009);
    EXPECT_EQ(ErrorNumberOf([&] { g.ColWidth(4); }), 30010);
    EXPECT_EQ(g.Rows(), 4u);
    EXPECT_TRUE(feed.Take().empty());
}

}  // namespace
