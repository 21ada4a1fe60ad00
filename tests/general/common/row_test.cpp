#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "general/common/CRow.h"
#include "runtime/Error.h"
#include "tests/support/ErrorNumber.h"

namespace {

using testsupport::ErrorNumberOf;

using OrbanelGeneral10::CRow;
using runtime::Variant;

TEST(Row, SplitsIntoCellsKeepingEmptyOnes) {
    struct Case {
        std::string row;
        std::vector<std::string> cells;
    };
    const std::vector<Case> cases = {
        {"aR,@R,@b", {"a", "", "b"}},
        {"abc", {"abc"}},
        {"R,@", {"", ""}},
        {"aR,@", {"a", ""}},
        {"ar,@b", {"ar,@b"}},  // letter case counts
        {"", {}},
    };
    CRow row;
    for (const auto& c : cases) {
        row.Add(c.row);
        ASSERT_EQ(row.Count(), static_cast<int32_t>(c.cells.size())) << c.row;
        for (size_t i = 0; i < c.cells.size(); ++i)
            EXPECT_EQ(row.Item(static_cast<int32_t>(i + 1)), c.cells[i]) << c.row;
        EXPECT_EQ(ErrorNumberOf([&] { row.Item(row.Count() + 1); }), 9);
        EXPECT_EQ(ErrorNumberOf([&] { row.Item(0); }), 9);
    }
}

TEST(Row, CountAndItemFailBeforeAnyAdd) {
    CRow row;
    EXPECT_EQ(ErrorNumberOf([&] { row.Count(); }), 9);
    EXPECT_EQ(ErrorNumberOf([&] { row.Item(1); }), 9);
}

TEST(Row, BuildsCellByCell) {
    struct Case {
        std::vector<Variant> cells;
        Variant row;
    };
    const std::vector<Case> cases = {
        {{}, runtime::Null},
        {{"a", "", "b"}, Variant("aR,@R,@b")},
        {{runtime::Null}, runtime::Null},
        {{runtime::Null, "x", "y"}, Variant("xR,@y")},
        {{"a", runtime::Null, "b"}, Variant("aR,@R,@b")},
        {{int32_t{1}}, Variant(int32_t{1})},  // a lone first cell keeps its kind
        {{int32_t{1}, int32_t{2}}, Variant("1R,@2")},
    };
    CRow row;
    for (const auto& c : cases) {
        row.NewRow();
        for (const auto& cell : c.cells) row.AddCell(cell);
        EXPECT_TRUE(row.RowVal() == c.row) << c.cells.size();
    }
}

TEST(Row, BuildingAndSplittingAreIndependentButShareTheDelimiter) {
    CRow row;
    row.Add("pR,@q");
    row.NewRow();
    row.AddCell("a");
    row.AddCell("b");
    EXPECT_EQ(row.Count(), 2);
    EXPECT_EQ(row.Item(2), "q");
    row.Add(row.RowVal().ToString());
    EXPECT_EQ(row.Item(2), "b");

    row.setDelimiter(",");
    row.NewRow();
    row.AddCell("x");
    row.AddCell("y");
    EXPECT_EQ(row.RowVal().ToString(), "x,y");
    row.Add("1,2,3");
    EXPECT_EQ(row.Count(), 3);
    row.Deallocate();
    EXPECT_EQ(row.Item(3), "3");
}

}  // namespace
