// The close-position pane in the real desk offscreen: its port and the desk
// procedures' port pass the shared contracts, and its window routes the
// operator's clicks, ticks and the question box's answers to the one grid the
// sessions write.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QWidget>
#include <string>
#include <vector>

#include "desk/MGeneralMain.h"
#include "desk/common/PaneTable.h"
#include "desk/positions/frmClosePos.h"
#include "desk/shell/frmMdiNew.h"
#include "desk/ui/frmMsgBox.h"
#include "platform/widgets/Grid.h"
#include "platform/widgets/MessageBoxWindow.h"
#include "tests/platform/widgets/WidgetsTesting.h"
#include "tests/support/TempProgramFolder.h"
#include "tests/support/desk/ServicePortContracts.h"
#include "tests/support/desk/walk/DeskWalk.h"

namespace {

using namespace OrbanexDesk;

// The started desk; its ports are the program's own.
class DeskHarness {
public:
    DeskHarness() { desk_.Main(); }
    const DeskPorts& Ports() { return desk_.Services().Ports(); }
    MGeneral& Desk() { return desk_; }

private:
    QApplication& app_ = widgets_testing::App();
    testsupport::TempProgramFolder folder_{"desk-close-pane"};
    MGeneral desk_;
};

}  // namespace

namespace testsupport::contracts {
INSTANTIATE_TYPED_TEST_SUITE_P(Program, ClosePosPortContract, DeskHarness);
INSTANTIATE_TYPED_TEST_SUITE_P(Program, MGeneralPortContract, DeskHarness);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(ShellPortContract);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(MessagesPortContract);
}  // namespace testsupport::contracts

namespace {

void AddTrade(platform::ListView& trades, int32_t ticket, int32_t account, const char* side,
              const char* symbol) {
    const std::string t = std::to_string(ticket);
    auto& row = trades.Add(OrbanexDesk::PositionRowKey(account, ticket), t);
    const std::vector<std::string> cells{
        std::to_string(account), "", side, "1", symbol, "1.0800", "1.0850"};
    for (size_t i = 0; i < cells.size(); ++i) row.setSubItems(i + 1, cells[i]);
}

// Ticks, right presses, the all-accounts box and both answers of the question box,
// all through the window, by the mouse and by keys; a Yes marks the checked
// position only; Tab leaves the grid.
TEST(ClosePane, WindowRoutesClicksTicksAndAnswersToTheGrid) {
    DeskHarness h;
    MGeneral& desk = h.Desk();
    const DeskPorts& ports = h.Ports();
    ports.frmMain->addToListView("ANN", 70, true, "", "", 1);
    ports.frmMain->addToListView("BEN", 80, true, "", "", 2);
    auto& trades = ports.frmTrade->lvwOpenPos();
    AddTrade(trades, 7, 70, "Buy", "EURUSD");
    AddTrade(trades, 8, 70, "Sell", "EURUSD");
    AddTrade(trades, 9, 80, "Buy", "EURUSD");
    AddTrade(trades, 10, 80, "Buy", "GBPUSD");
    desk.Shell().SelectPane(kPaneClosePosition);
    frmClosePos& pane = desk.ClosePos();
    pane.CloseSymbols().AddItem("EURUSD");
    pane.CloseSymbols().setListIndex(0);  // the pick rebuilds at once
    widgets_testing::Turn();

    ASSERT_NE(pane.Window(), nullptr);
    auto* grid = pane.Window()->findChild<platform::widgets::Grid*>("MSH");
    auto* all = pane.Window()->findChild<QCheckBox*>("chkAllClients");
    auto* lblCheck = pane.Window()->findChild<QLabel*>("LblCheck");
    ASSERT_TRUE(grid && all && lblCheck);
    platform::Grid& msh = pane.Core().MSH();
    auto rowOf = [&](const std::string& col0, int32_t ticket) -> size_t {
        for (size_t r = 1; r < msh.Rows(); ++r) {
            if (ticket ? ClosePosGrid::TicketOf(msh.TextMatrix(r, 1)) == ticket
                       : msh.TextMatrix(r, 0) == col0)
                return r;
        }
        return 0;
    };
    ASSERT_EQ(msh.Rows(), 6u) << "two accounts, three positions, no GBPUSD";
    ASSERT_EQ(rowOf("", 10), 0u);
    auto checked = [&](size_t r, size_t c) {
        return msh.Cell(r, c).backColor == ClosePosGrid::kChecked;
    };
    auto press = [&](size_t r, size_t c, Qt::MouseButton button) {
        grid->scrollTo(grid->model()->index(static_cast<int>(r) - 1, static_cast<int>(c)));
        const QPoint at =
            grid->visualRect(grid->model()->index(static_cast<int>(r) - 1, static_cast<int>(c)))
                .center();
        QTest::mouseClick(grid->viewport(), button, {}, at);
    };
    auto questionBox = &testsupport::DeskWalk::QuestionBox;

    press(rowOf("70", 0), 0, Qt::LeftButton);
    EXPECT_TRUE(checked(rowOf("", 7), 1) && checked(rowOf("", 8), 1))
        << "the account ticks its own";
    EXPECT_FALSE(checked(rowOf("", 9), 1));
    press(rowOf("80", 0), 0, Qt::RightButton);
    EXPECT_FALSE(checked(rowOf("80", 0), 0)) << "a right press changes nothing";

    QTest::mouseClick(all, Qt::LeftButton);
    EXPECT_TRUE(pane.Core().chkAllClients());
    EXPECT_TRUE(checked(rowOf("", 9), 1));
    pane.Core().setchkAllClients(false);  // by code: the box follows, every mark goes
    EXPECT_FALSE(all->isChecked());
    for (int32_t t : {7, 8, 9}) EXPECT_FALSE(checked(rowOf("", t), 1)) << t;

    // A position's own close, answered No: nothing happens.
    press(rowOf("", 7), 3, Qt::LeftButton);
    auto* box = questionBox();
    ASSERT_NE(box, nullptr);
    QTest::mouseClick(&box->Button(2), Qt::LeftButton);
    widgets_testing::Turn();
    EXPECT_EQ(msh.TextMatrix(rowOf("", 7), 3), "Close At 1.0850");

    // One ticked position, "Close All Selected", Yes: that row alone waits.
    press(rowOf("", 9), 1, Qt::LeftButton);
    QTest::mouseClick(lblCheck, Qt::LeftButton);
    box = questionBox();
    ASSERT_NE(box, nullptr);
    QTest::mouseClick(&box->Button(1), Qt::LeftButton);
    widgets_testing::Turn();
    EXPECT_EQ(msh.TextMatrix(rowOf("", 9), 3), " Waiting.....");
    EXPECT_EQ(msh.TextMatrix(rowOf("", 7), 3), "Close At 1.0850");
    EXPECT_EQ(msh.TextMatrix(rowOf("", 8), 3), "Close At 1.0850");

    // Keys: Space ticks the current cell; Shift+Tab reaches "Close All Selected",
    // Enter asks, Enter on the focused Yes marks the ticked row alone.
    QWidget* shell = grid->window();
    grid->setFocus();
    msh.setRow(rowOf("", 8));
    msh.setCol(2);
    QTest::keyClick(grid, Qt::Key_Left);
    QTest::keyClick(grid, Qt::Key_Space);
    EXPECT_TRUE(checked(rowOf("", 8), 1));
    QTest::keyClick(grid, Qt::Key_Tab, Qt::ShiftModifier);
    ASSERT_EQ(shell->focusWidget(), lblCheck);
    QTest::keyClick(lblCheck, Qt::Key_Return);
    box = questionBox();
    ASSERT_NE(box, nullptr);
    ASSERT_EQ(box->focusWidget(), &box->Button(1));
    QTest::keyClick(&box->Button(1), Qt::Key_Return);
    widgets_testing::Turn();
    EXPECT_EQ(msh.TextMatrix(rowOf("", 8), 3), " Waiting.....");
    EXPECT_EQ(msh.TextMatrix(rowOf("", 7), 3), "Close At 1.0850");

    // Enter on a "Close At" cell asks about that position; Space there does nothing,
    // and so does Enter on an account's "Close" cell (its click closes them all).
    msh.setRow(rowOf("", 7));
    msh.setCol(3);
    QTest::keyClick(grid, Qt::Key_Space);
    EXPECT_EQ(questionBox(), nullptr);
    QTest::keyClick(grid, Qt::Key_Enter);
    box = questionBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->Label().text().toStdString(),
              "Are you sure you want to close selected postion at current market price?");
    QTest::keyClick(&box->Button(1), Qt::Key_Escape);
    widgets_testing::Turn();
    EXPECT_EQ(questionBox(), nullptr);
    msh.setRow(rowOf("80", 0));
    QTest::keyClick(grid, Qt::Key_Enter);
    EXPECT_EQ(questionBox(), nullptr);
    EXPECT_FALSE(checked(rowOf("80", 0), 0));

    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Tab);
    EXPECT_NE(shell->focusWidget(), grid) << "Tab leaves the grid";
}

}  // namespace
