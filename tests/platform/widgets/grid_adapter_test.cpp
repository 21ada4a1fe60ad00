#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QTest>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "WidgetsTesting.h"
#include "platform/widgets/Grid.h"

namespace {

using platform::widgets::Grid;
using widgets_testing::Turn;

std::string Text(const QAbstractItemModel& m, int row, int column) {
    return m.data(m.index(row, column)).toString().toStdString();
}

// The view shows exactly what the store holds, row 0 as the header.
void ExpectMirrors(const platform::Grid& store, const QAbstractItemModel& m) {
    ASSERT_EQ(m.rowCount(), static_cast<int>(store.Rows()) - 1);
    ASSERT_EQ(m.columnCount(), static_cast<int>(store.Cols()));
    for (size_t c = 0; c < store.Cols(); ++c)
        EXPECT_EQ(m.headerData(static_cast<int>(c), Qt::Horizontal).toString().toStdString(),
                  store.TextMatrix(0, c));
    for (size_t r = 1; r < store.Rows(); ++r) {
        for (size_t c = 0; c < store.Cols(); ++c) {
            const QModelIndex cell = m.index(static_cast<int>(r) - 1, static_cast<int>(c));
            EXPECT_EQ(Text(m, cell.row(), cell.column()), store.TextMatrix(r, c));
            EXPECT_EQ(m.data(cell, Grid::kBackColorRole).toInt(), store.Cell(r, c).backColor);
            EXPECT_EQ(m.data(cell, Grid::kPictureRole).toInt(), store.Cell(r, c).picture);
        }
    }
}

struct GridAdapter : ::testing::Test {
    GridAdapter() {
        const char* const header[] = {"Account", "Status", "Amount", "Action"};
        for (size_t c = 0; c < 4; ++c) store.setTextMatrix(0, c, header[c]);
        view.resize(500, 300);
        view.show();
    }
    QApplication& app = widgets_testing::App();
    widgets_testing::ModelWarnings warnings;
    platform::Grid store{2, 4};
    Grid view{store};
    QAbstractItemModelTester tester{view.model(),
                                    QAbstractItemModelTester::FailureReportingMode::Warning};
};

TEST_F(GridAdapter, FollowsRandomStoreTrafficUnderTheModelTester) {
    std::mt19937 rng(24);
    auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); };
    for (int step = 0; step < 3000; ++step) {
        const size_t op = pick(100);
        const size_t rows = store.Rows();
        if (op < 20) {
            store.AddItem(std::to_string(step), pick(rows + 1));  // index 0 moves the header
        } else if (op < 24) {
            store.setRows(rows > 1 ? 1 + pick(rows) : 3);
        } else if (op < 25) {
            store.Clear();
        } else if (op < 26) {
            store.setRedraw(false);
            store.AddItem("r", pick(rows + 1));
            store.setTextMatrix(pick(rows), 3, "x");
            store.setRedraw(true);
        } else if (op < 30) {
            Turn();
        } else if (op < 33) {
            store.setColWidth(pick(4), 600.0 + static_cast<double>(pick(3)) * 300);
        } else {
            const size_t r = pick(rows), c = pick(4);
            store.setRow(r);
            store.setCol(c);
            switch (op % 4) {
                case 0:
                    store.setText(std::to_string(step));
                    break;
                case 1:
                    store.setCellBackColor(op % 2 ? 0xFFFFFF : 0xFFFFFE);
                    break;
                case 2:
                    store.setCellPicture(op % 3 ? 104 : 105);
                    break;
                default:
                    store.setCellForeColor(255);
                    break;
            }
        }
    }
    Turn();
    ExpectMirrors(store, *view.model());
    EXPECT_EQ(view.horizontalHeader()->sectionSize(0),
              static_cast<int>(std::lround(store.ColWidth(0) * view.logicalDpiX() / 1440.0)));
    warnings.ExpectNone();
}

// A press makes the cell current before MouseDown; Click follows; arrows move the
// current cell, Space and Enter reach KeyDown once a press without moving it; the
// drawings are found by id; both check states paint white, the picture over them.
TEST_F(GridAdapter, PressesSelectTheCellFirstAndChecksPaintWhite) {
    store.AddItem("1001\t\t\tClose", 1);
    store.AddItem("\tdesc\t1\tClose At 1.2", 2);
    store.AddItem("\t desc\t1\tClose At 1.2", 3);
    store.setRow(1);
    store.setCol(0);
    store.setCellBackColor(0xFFFFFE);
    store.setCellPicture(104);
    store.setCellPictureAlignment(2);
    store.setRow(2);
    store.setCol(1);
    store.setCellBackColor(0xFFFFFF);
    Turn();

    std::vector<std::string> log;
    runtime::ScopedConnection down =
        view.MouseDown.Connect([&](int32_t b, int32_t s, double, double) {
            log.push_back("down " + std::to_string(b) + "/" + std::to_string(s) + " at " +
                          std::to_string(store.Row()) + "." + std::to_string(store.Col()));
        });
    runtime::ScopedConnection click = view.Click.Connect([&] {
        log.push_back("click at " + std::to_string(store.Row()) + "." +
                      std::to_string(store.Col()));
    });
    const QModelIndex action = view.model()->index(1, 3);  // store row 2, column 3
    QTest::mouseClick(view.viewport(), Qt::RightButton, Qt::ShiftModifier,
                      view.visualRect(action).center());
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier,
                      view.visualRect(view.model()->index(0, 0)).center());
    runtime::ScopedConnection key = view.KeyDown.Connect([&](int32_t k, int32_t s) {
        if (k == Grid::kKeyEnter || k == Grid::kKeySpace)
            log.push_back("key " + std::to_string(k) + "/" + std::to_string(s));
    });
    for (Qt::Key k : {Qt::Key_Down, Qt::Key_Right, Qt::Key_Space, Qt::Key_Enter})
        QTest::keyClick(&view, k, k == Qt::Key_Enter ? Qt::ControlModifier : Qt::NoModifier);
    QKeyEvent held(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ", true);
    QCoreApplication::sendEvent(&view, &held);  // a held key acts once
    const std::vector<std::string> expected = {"down 2/1 at 2.3", "click at 2.3", "down 1/0 at 1.0",
                                               "click at 1.0",    "key 32/0",     "key 13/2"};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(view.currentIndex(), view.model()->index(1, 1)) << "Space searched no blank text";

    EXPECT_EQ(view.Picture(101).size(), QSize(300, 15));
    EXPECT_EQ(view.Picture(104).size(), QSize(18, 16));
    EXPECT_EQ(view.Picture(105).size(), QSize(18, 16));
    EXPECT_TRUE(view.Picture(7).isNull());
    EXPECT_TRUE(view.Picture(0).isNull());

    store.setRow(1);
    store.setCol(2);  // move the focus frame away from the sampled cells
    const QImage shot = view.viewport()->grab().toImage();
    const QRect checked = view.visualRect(view.model()->index(0, 0));
    const QRect clear = view.visualRect(view.model()->index(1, 1));
    EXPECT_EQ(QColor(shot.pixel(checked.right() - 2, checked.top() + 2)), QColor(Qt::white));
    EXPECT_EQ(QColor(shot.pixel(clear.right() - 2, clear.top() + 2)), QColor(Qt::white));
    // The ticked box's frame is drawn at the cell's left edge.
    EXPECT_NE(QColor(shot.pixel(checked.left() + 2, checked.bottom() - 2)), QColor(Qt::white));
    warnings.ExpectNone();
}

}  // namespace
