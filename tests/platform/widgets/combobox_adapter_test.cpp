#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <string>
#include <vector>

#include "WidgetsTesting.h"
#include "platform/widgets/ComboBox.h"

namespace {

TEST(ComboBoxAdapter, ShowsCodeChangesAndWritesTheOperatorsPicksAndTyping) {
    widgets_testing::App();
    platform::ComboBox store;
    store.AddItem("EURUSD");
    platform::widgets::ComboBox combo(store);
    combo.show();
    std::vector<std::string> log;
    auto click = store.Click.Connect([&] { log.push_back("click " + store.Text()); });
    auto change = store.Change.Connect(
        [&] { log.push_back("change " + store.Text() + "@" + std::to_string(store.ListIndex())); });

    // Code: items, a text naming an item, an index, a clear.
    store.AddItem("GBPUSD");
    store.AddItem("USDJPY");
    ASSERT_EQ(combo.count(), 3);
    store.setText("GBPUSD");
    EXPECT_EQ(combo.currentIndex(), 1);
    EXPECT_EQ(combo.currentText().toStdString(), "GBPUSD");
    store.setListIndex(2);
    EXPECT_EQ(combo.currentText().toStdString(), "USDJPY");
    store.setText("free text");
    EXPECT_EQ(combo.currentIndex(), -1);
    EXPECT_EQ(combo.lineEdit()->text().toStdString(), "free text");

    // The operator picks with the keyboard, then picks the same item again.
    log.clear();
    store.setListIndex(0);
    log.clear();
    QTest::keyClick(&combo, Qt::Key_Down);
    EXPECT_EQ(store.ListIndex(), 1);
    Q_EMIT combo.activated(1);
    EXPECT_EQ(log, (std::vector<std::string>{"change GBPUSD@1", "click GBPUSD", "click GBPUSD"}));

    // Typing gives no list index, even for an item's text.
    log.clear();
    combo.lineEdit()->clear();
    QTest::keyClicks(combo.lineEdit(), "USDJPY");
    EXPECT_EQ(store.Text(), "USDJPY");
    EXPECT_EQ(store.ListIndex(), -1);
    EXPECT_EQ(log.size(), 6u);
    EXPECT_EQ(combo.lineEdit()->text().toStdString(), "USDJPY");

    store.Clear();
    EXPECT_EQ(combo.count(), 0);
    EXPECT_TRUE(combo.currentText().isEmpty());
}

}  // namespace
