#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QFont>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>
#include <random>
#include <string>
#include <vector>

#include "WidgetsTesting.h"
#include "platform/widgets/Color.h"
#include "platform/widgets/ListView.h"

namespace {

using platform::ListItem;
using platform::widgets::ListView;
using widgets_testing::Turn;

std::string Text(const QAbstractItemModel& m, int row, int column, int role = Qt::DisplayRole) {
    return m.data(m.index(row, column), role).toString().toStdString();
}

// The view shows exactly what the store holds.
void ExpectMirrors(const platform::ListView& store, const QAbstractItemModel& m) {
    ASSERT_EQ(m.rowCount(), static_cast<int>(store.Count()));
    for (size_t r = 1; r <= store.Count(); ++r) {
        const ListItem& item = store.Item(r);
        const int row = static_cast<int>(r) - 1;
        EXPECT_EQ(Text(m, row, 0), item.Text());
        EXPECT_EQ(m.data(m.index(row, 0), Qt::CheckStateRole).toInt(),
                  item.Checked() ? Qt::Checked : Qt::Unchecked);
        for (size_t s = 1; s < store.ColumnCount(); ++s) {
            const QModelIndex cell = m.index(row, static_cast<int>(s));
            EXPECT_EQ(Text(m, row, static_cast<int>(s)), item.SubItems(s));
            EXPECT_EQ(m.data(cell, Qt::ForegroundRole).value<QColor>(),
                      platform::widgets::ToQColor(item.SubItemForeColor(s)));
            EXPECT_EQ(m.data(cell, Qt::FontRole).value<QFont>().bold(), item.SubItemBold(s));
        }
    }
}

struct ListViewAdapter : ::testing::Test {
    ListViewAdapter() {
        view.setCheckboxes(true);
        view.AddColumn("Account", 1440);
        view.AddColumn("Price", 720);
        view.AddColumn("Profit", 2880);
        view.resize(400, 300);
        view.show();
    }
    QApplication& app = widgets_testing::App();
    widgets_testing::ModelWarnings warnings;
    platform::ListView store;
    ListView view{store};
    QAbstractItemModelTester tester{view.model(),
                                    QAbstractItemModelTester::FailureReportingMode::Warning};
};

TEST_F(ListViewAdapter, FollowsRandomStoreTrafficUnderTheModelTester) {
    std::mt19937 rng(20);
    auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(1, n)(rng); };
    int nextKey = 0;
    for (int step = 0; step < 3000; ++step) {
        const size_t op = pick(100);
        const size_t n = store.Count();
        if (op <= 25 || n == 0) {
            const std::string key = "C" + std::to_string(++nextKey);
            store.Add(key, key, static_cast<int32_t>(pick(3)) - 1);
        } else if (op <= 35) {
            store.Remove(pick(n));
        } else if (op <= 36) {
            store.Clear();
        } else if (op <= 37) {
            store.Refresh();
        } else if (op <= 40) {
            Turn();
        } else {
            ListItem& item = store.Item(pick(n));
            const size_t sub = pick(4);  // one past the last column is legal too
            switch (op % 6) {
                case 0:
                    item.setSubItems(sub, std::to_string(step));
                    break;
                case 1:
                    item.setSubItemForeColor(sub, op % 2 ? 255 : 0x00A000);
                    break;
                case 2:
                    item.setSubItemBold(sub, op % 4 == 0);
                    break;
                case 3:
                    item.setChecked(!item.Checked());
                    break;
                case 4:
                    item.setSelected(true);
                    break;
                default:
                    item.setText("t" + std::to_string(step));
                    break;
            }
        }
    }
    Turn();
    ExpectMirrors(store, *view.model());
    warnings.ExpectNone();
}

TEST_F(ListViewAdapter, CoalescesCellWritesAndShowsStoreChanges) {
    for (int i = 1; i <= 5; ++i) store.Add("C" + std::to_string(i), "acc" + std::to_string(i));
    Turn();
    QSignalSpy changed(view.model(), &QAbstractItemModel::dataChanged);

    // A quote rewrites many cells of rows 2..4: one notice for the run, after the turn.
    for (int k = 0; k < 50; ++k)
        for (size_t r = 2; r <= 4; ++r) store.Item(r).setSubItems(1, std::to_string(k));
    store.Item(3).setSubItemForeColor(2, 255);
    EXPECT_EQ(changed.count(), 0);
    Turn();
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed[0][0].toModelIndex(), view.model()->index(1, 1));
    EXPECT_EQ(changed[0][1].toModelIndex(), view.model()->index(3, 2));

    // A shown view is told only of the rows in sight; the others read afresh.
    for (int i = 6; i <= 500; ++i) store.Add("C" + std::to_string(i), "acc");
    Turn();
    changed.clear();
    for (size_t r = 1; r <= 500; ++r) store.Item(r).setSubItems(1, "new");
    Turn();
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed[0][0].toModelIndex().row(), 0);
    const int lastShown = changed[0][1].toModelIndex().row();
    EXPECT_GT(lastShown, 2);
    EXPECT_LT(lastShown, 100);
    EXPECT_EQ(Text(*view.model(), 400, 1), "new");
    for (size_t r = 6; r <= 500; ++r) store.Remove(6);
    Turn();

    // Two separate runs give two notices; Refresh announces without waiting.
    changed.clear();
    store.Item(1).setBold(true);
    store.Item(5).setSubItemBold(2, true);
    store.Refresh();
    EXPECT_EQ(changed.count(), 2);
    Turn();
    EXPECT_EQ(changed.count(), 2);

    // Pending writes are announced before a removal moves rows.
    changed.clear();
    store.Item(5).setSubItems(2, "x");
    store.Remove(1);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(Text(*view.model(), 3, 2), "x");
    EXPECT_EQ(view.model()->data(view.model()->index(1, 2), Qt::ForegroundRole).value<QColor>(),
              QColor(255, 0, 0));

    // Selection goes both ways.
    store.Item("C4").setSelected(true);
    EXPECT_EQ(view.currentIndex().row(), 2);
    view.setCurrentIndex(view.model()->index(0, 0));
    EXPECT_EQ(store.SelectedItem()->Key(), "C2");
    store.Remove("C2");  // the view moves on; the store keeps no selection
    EXPECT_EQ(store.SelectedItem(), nullptr);
    EXPECT_FALSE(view.selectionModel()->hasSelection());
    store.Clear();
    EXPECT_EQ(view.model()->rowCount(), 0);
    warnings.ExpectNone();
}

TEST_F(ListViewAdapter, RaisesItemCheckOnlyForTheOperatorsTick) {
    store.Add("C1", "a");
    store.Add("C2", "b");
    std::vector<std::string> ticks;
    auto c = view.ItemCheck.Connect(
        [&](ListItem& item) { ticks.push_back(item.Key() + (item.Checked() ? "+" : "-")); });
    store.Item(1).setChecked(true);  // code
    QAbstractItemModel& m = *view.model();
    EXPECT_TRUE(m.flags(m.index(1, 0)) & Qt::ItemIsUserCheckable);
    EXPECT_TRUE(m.setData(m.index(1, 0), Qt::Checked, Qt::CheckStateRole));  // the view's path
    EXPECT_TRUE(m.setData(m.index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_FALSE(m.setData(m.index(0, 1), Qt::Checked, Qt::CheckStateRole));
    EXPECT_EQ(ticks, (std::vector<std::string>{"C2+", "C1-"}));
    EXPECT_TRUE(store.Item(2).Checked());
    EXPECT_FALSE(store.Item(1).Checked());
    warnings.ExpectNone();
}

TEST_F(ListViewAdapter, ReportsMouseAndGeometryInTwips) {
    store.Add("C1", "a");
    store.Add("C2", "b");
    const double perPixelX = 1440.0 / view.logicalDpiX();
    const double perPixelY = 1440.0 / view.logicalDpiY();

    EXPECT_EQ(view.header()->sectionSize(1), std::lround(720 / perPixelX));
    EXPECT_DOUBLE_EQ(view.ColumnLeft(3), 2160);
    view.header()->resizeSection(0, 100);  // the operator drags a divider
    EXPECT_DOUBLE_EQ(view.ColumnWidth(1), 100 * perPixelX);
    view.setColumnWidth(2, 1440);
    EXPECT_EQ(view.header()->sectionSize(1), std::lround(1440 / perPixelX));

    const double top1 = view.ItemTop(store.Item(1));
    const double height = view.ItemHeight(store.Item(1));
    EXPECT_GT(top1, 0);  // below the header
    EXPECT_GT(height, 0);
    EXPECT_DOUBLE_EQ(view.ItemTop(store.Item(2)), top1 + height);

    std::vector<std::string> log;
    auto record = [&](const char* what) {
        return [&log, what](int32_t button, int32_t shift, double x, double y) {
            log.push_back(std::string(what) + std::to_string(button) + "," + std::to_string(shift) +
                          "," + std::to_string(std::lround(x)) + "," +
                          std::to_string(std::lround(y)));
        };
    };
    auto down = view.MouseDown.Connect(record("down"));
    auto up = view.MouseUp.Connect(record("up"));
    auto dbl = view.DblClick.Connect([&] { log.push_back("dbl"); });
    const QPoint at(10, static_cast<int>(std::lround(top1 / perPixelY)) + 2 - view.viewport()->y());
    const QPoint onWidget = view.viewport()->mapTo(&view, at);
    const std::string xy = std::to_string(std::lround(onWidget.x() * perPixelX)) + "," +
                           std::to_string(std::lround(onWidget.y() * perPixelY));
    QTest::mouseClick(view.viewport(), Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier,
                      at);
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, at);
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[0], "down2,3," + xy);
    EXPECT_EQ(log[1], "up2,3," + xy);
    EXPECT_EQ(log.back(), "dbl");
    EXPECT_EQ(store.SelectedItem(), &store.Item(1));  // the click landed on row 1
    warnings.ExpectNone();
}

TEST(ColorConversion, TurnsDeskColoursIntoQtColours) {
    struct Case {
        int32_t bgr;
        QColor qt;
    } const cases[] = {{0, QColor(0, 0, 0)},
                       {255, QColor(255, 0, 0)},
                       {0x00A000, QColor(0, 160, 0)},
                       {0xFF0000, QColor(0, 0, 255)},
                       {static_cast<int32_t>(0x80FFFFFF), QColor(255, 255, 255)}};
    for (const Case& c : cases)
        EXPECT_EQ(platform::widgets::ToQColor(c.bgr), c.qt) << std::hex << c.bgr;
}

}  // namespace
