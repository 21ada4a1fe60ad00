// Window procedures, label-button looks and a shown list's column widths.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTreeView>

#include "DeskUiTesting.h"
#include "desk/ui/Culf.h"
#include "desk/ui/ListProcedures.h"
#include "desk/ui/WindowProcedures.h"

namespace {

using namespace OrbanexDesk;

// Twips follow the screen's resolution both ways; forms centre on the screen;
// top-most windows show in place, also when given by their handle.
TEST(WindowProcedures, TwipsCentringSelectionAndTopMost) {
    desk_ui_testing::App();
    const double dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchX();
    EXPECT_FLOAT_EQ(TwipsToPixelsX(1440), static_cast<float>(dpi));
    EXPECT_FLOAT_EQ(PixelsToTwipsX(TwipsToPixelsX(300)), 300);

    QWidget form;
    form.resize(200, 100);
    CenterForm(form);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_NEAR(form.frameGeometry().center().x(), screen.center().x(), 1);
    EXPECT_NEAR(form.frameGeometry().center().y(), screen.center().y(), 1);

    QLineEdit box("12.5");
    SelectAllText(box);
    EXPECT_EQ(box.selectedText(), "12.5");

    form.move(40, 30);
    form.show();
    SetTopMost(form.winId(), true);
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(form.pos(), QPoint(40, 30));
    SetTopMost(WId(0xDEAD), true);  // no such window: nothing happens
    EXPECT_EQ(GetCursorX(nullptr) - GetCursorX(&form), form.mapToGlobal(QPoint(0, 0)).x());
}

// Lit: the lit colour, underlined, 10 points; unlit: the other colour, plain, 8.
TEST(Culf, LightsAndUnlightsColourUnderlineAndSizeTogether) {
    desk_ui_testing::App();
    Culf looks;
    looks.setDockFormLabelButtonOn(0xD2B54D);
    looks.setDockFormLabelButtonOff(0x800000);
    QLabel label("Close All Selected");
    for (int round = 0; round < 2; ++round) {
        looks.LightONButton(label);
        EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(77, 181, 210));
        EXPECT_TRUE(label.font().underline());
        EXPECT_EQ(label.font().pointSize(), 10);
    }
    looks.LightOFFButton(label);
    EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(0, 0, 128));
    EXPECT_FALSE(label.font().underline());
    EXPECT_EQ(label.font().pointSize(), 8);
}

// A shown list takes its percentages of its own width in store and header alike.
TEST(ListProcedures, AShownListAppliesPercentagesOfItsWidth) {
    desk_ui_testing::App();
    platform::ListView store;
    platform::widgets::ListView list(store);
    list.AddColumn("Account", 100);
    list.AddColumn("Amount", 100);
    list.resize(420, 200);
    list.show();
    const double width = ListWidthTwips(list);
    ASSERT_GT(width, 300);
    ApplyColumnWidths(list, "25,75");
    EXPECT_NEAR(store.ColumnWidth(1), width / 4, 1e-6);
    EXPECT_NEAR(list.header()->sectionSize(1), list.viewport()->width() * 3 / 4.0, 1);
    EXPECT_EQ(GetColumnWidths(list), "25,75");
}

}  // namespace
