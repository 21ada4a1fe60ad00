// The position, net, pending and journal forms in the real desk offscreen: hosted
// in their panes, serving their ports, showing what the sessions write, and
// opening their context menus by keys.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <string>
#include <vector>

#include "desk/DeskForms.h"
#include "desk/MGeneralMain.h"
#include "desk/common/PaneTable.h"
#include "desk/positions/PositionForms.h"
#include "desk/shell/frmJournal.h"
#include "desk/shell/frmMdiNew.h"
#include "platform/widgets/CommandBars.h"
#include "platform/widgets/MessageBoxWindow.h"
#include "runtime/Clock.h"
#include "runtime/Convert.h"
#include "tests/platform/widgets/WidgetsTesting.h"
#include "tests/support/TempProgramFolder.h"
#include "tests/support/clientapi/ViewFactory.h"

namespace {

using namespace OrbanexDesk;
using Texts = std::vector<std::string>;

Texts Captions(const QAbstractItemModel& model) {
    Texts out;
    for (int c = 0; c < model.columnCount(); ++c)
        out.push_back(model.headerData(c, Qt::Horizontal).toString().toStdString());
    return out;
}

// The rows as the widget shows them: the item text of each.
Texts Shown(const QAbstractItemModel& model) {
    Texts out;
    for (int r = 0; r < model.rowCount(); ++r)
        out.push_back(model.index(r, 0).data().toString().toStdString());
    return out;
}

// The open question box asking `text`.
platform::widgets::MessageBoxWindow* Asking(const std::string& text) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* box = dynamic_cast<platform::widgets::MessageBoxWindow*>(w);
        if (box && box->isVisible() && box->Label().text().toStdString() == text) return box;
    }
    return nullptr;
}

struct TradeForms : ::testing::Test {
    QApplication& app = widgets_testing::App();
    testsupport::TempProgramFolder folder{"desk-trade-forms"};
    testsupport::ViewFactory views;
};

TEST_F(TradeForms, ServeTheirPortsFromTheirPanesAndShowWhatIsWritten) {
    MGeneral desk;
    desk.Main();
    const DeskPorts& ports = desk.Services().Ports();
    auto* trade = dynamic_cast<frmTrade*>(ports.frmTrade);
    auto* net = dynamic_cast<frmNetTrade*>(ports.frmNetTrade);
    auto* pending = dynamic_cast<frmPending*>(ports.frmPending);
    auto* journal = dynamic_cast<frmJournal*>(ports.frmJournal);
    ASSERT_TRUE(trade && net && pending && journal);
    EXPECT_EQ(ports.CNetPos, static_cast<ICNetPos*>(net));
    const std::vector<std::pair<int32_t, QWidget*>> hosted{{kPaneTrade, trade},
                                                           {kPaneNetTrade, net},
                                                           {kPanePendingOrder, pending},
                                                           {kPaneJournal, journal}};
    for (auto [pane, form] : hosted) {
        EXPECT_EQ(desk.Shell().GetPane(pane)->Widget(), form) << pane;
        EXPECT_TRUE(desk.Views().View(pane).Displayed()) << pane;
    }
    EXPECT_EQ(Captions(*trade->List().model()),
              (Texts{"Ticket", "Account", "Date/Time", "Type", "Amount", "Symbol", "Open Price",
                     "Current Price", "S/L", "T/P", "Comm", "Interest", "P/L"}));
    EXPECT_EQ(Captions(*net->List().model()),
              (Texts{"Symbol", "Account", "Amount", "NH", "Buy/Sell", "Avg Open Price",
                     "Current Price", "Comm", "Interest", "Profit/Loss"}));
    EXPECT_EQ(Captions(*pending->List().model()),
              (Texts{"Order", "Account", "Type", "Amount", "Symbol", "Price", "S/L", "T/P",
                     "Date/Time"}));

    // Positions: once per ticket, gone on removal; no session knows the symbol, so
    // the net stays empty.
    auto symbol = views.Symbol({.id = 2, .name = "EURUSD", .bid = 1.1, .ask = 1.2});
    auto seven = views.Position({.ticket = 7, .symbol = 2, .lots = 1, .price = 1.2, .time = {}});
    auto eight = views.Position({.ticket = 8, .symbol = 2, .lots = 1, .price = 1.2, .time = {}});
    for (const auto& position : {seven, eight, seven}) trade->AddPosition(position, 1001);
    widgets_testing::Turn();
    EXPECT_EQ(Shown(*trade->List().model()), (Texts{"8", "7"}));
    EXPECT_EQ(net->lvwNetPos().Count(), 0u);

    // Check-all ticks every row; its reset (as after the closes) unticks them.
    trade->setChkAll(true);
    EXPECT_TRUE(trade->lvwOpenPos().Item(1).Checked() && trade->lvwOpenPos().Item(2).Checked());
    trade->setChkAll(false);
    EXPECT_FALSE(trade->lvwOpenPos().Item(1).Checked() || trade->lvwOpenPos().Item(2).Checked());
    trade->RemovePosition(7, 1001);
    trade->RemovePosition(7, 1001);
    widgets_testing::Turn();
    EXPECT_EQ(Shown(*trade->List().model()), (Texts{"8"}));

    // The net port: the account's row and the bold total, which empty together.
    ports.CNetPos->PositionAdded(symbol, 1, 1.5, 1.2, 0, 0, runtime::Variant(10.0), 1001);
    widgets_testing::Turn();
    ASSERT_EQ(net->List().model()->rowCount(), 2);
    EXPECT_DOUBLE_EQ(ports.CNetPos->caluclate_profit("EURUSD", "Buy"), 10);
    ports.CNetPos->PositionAdded(symbol, 1, -1.5, 1.2, 0, 0, runtime::Variant(-10.0), 1001);
    widgets_testing::Turn();
    EXPECT_EQ(net->List().model()->rowCount(), 0);

    // Pending rows by account.
    pending->AddOrder(views.Order({.id = 9, .symbol = 2, .lots = 1, .price = 1.0, .time = {}}),
                      1001);
    pending->AddOrder(views.Order({.id = 10, .symbol = 2, .lots = 1, .price = 1.0, .time = {}}),
                      1002);
    pending->removeClientinfo(1001);
    widgets_testing::Turn();
    EXPECT_EQ(Shown(*pending->List().model()), (Texts{"10"}));
    pending->Removeorder(10, 1002);
    widgets_testing::Turn();
    EXPECT_EQ(pending->List().model()->rowCount(), 0);

    // The journal: newest on top, stamped by the clock.
    auto clock = std::make_shared<runtime::FixedClock>(runtime::Now());
    runtime::ScopedClock scoped(clock);
    const std::string first = runtime::CStr(runtime::Variant(clock->Now()));
    ports.frmJournal->Add("first", 1001, false);
    clock->AdvanceSeconds(61);
    ports.frmJournal->Add("second", 1002, true);
    widgets_testing::Turn();
    auto& lines = journal->lvwJournal();
    ASSERT_EQ(lines.Count(), 2u);
    EXPECT_EQ(lines.Item(1).SubItems(2), "second");
    EXPECT_EQ(lines.Item(1).SubItems(1), "1002");
    EXPECT_EQ(lines.Item(2).Text(), first);
    EXPECT_NE(lines.Item(1).Text(), first);
    EXPECT_EQ(Captions(*journal->findChild<QAbstractItemView*>()->model()),
              (Texts{"Time", "Account", "Message"}));

    // The Menu key and Shift+F10 open each list's menu at the row the arrows chose;
    // the pending menu's Cancel Order asks about that row's order.
    pending->AddOrder(views.Order({.id = 11, .symbol = 2, .lots = 1, .price = 1.0, .time = {}}),
                      1001);
    pending->AddOrder(views.Order({.id = 12, .symbol = 2, .lots = 1, .price = 1.0, .time = {}}),
                      1002);
    widgets_testing::Turn();
    struct Case {
        int32_t pane;
        platform::widgets::ListView& list;
        int32_t bar;
        Qt::Key key;
        Qt::KeyboardModifiers mods;
    } const cases[] = {
        {kPaneTrade, trade->List(), kBarTradePopup, Qt::Key_Menu, Qt::NoModifier},
        {kPaneJournal, *journal->findChild<platform::widgets::ListView*>(), kBarJournalPopup,
         Qt::Key_F10, Qt::ShiftModifier},
        {kPanePendingOrder, pending->List(), kBarPendingPopup, Qt::Key_F10, Qt::ShiftModifier},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pane);
        desk.Shell().SelectPane(c.pane);
        widgets_testing::Turn();
        platform::ListView& rows = c.list.Store();
        const size_t row = std::min<size_t>(2, rows.Count());
        if (row == 1) {
            // Tabbed into: the first row is current, not shown selected.
            QFocusEvent tabbedIn(QEvent::FocusIn, Qt::TabFocusReason);
            QCoreApplication::sendEvent(&c.list, &tabbedIn);
        } else {
            for (size_t down = 0; down < row; ++down) QTest::keyClick(&c.list, Qt::Key_Down);
        }
        auto& menu =
            static_cast<QMenu&>(desk.Shell().CommandBars().FindContextMenu(c.bar)->Widget());
        QTest::keyClick(&c.list, c.key, c.mods);
        ASSERT_TRUE(menu.isVisible());
        ASSERT_EQ(rows.SelectedItem(), &rows.Item(row));
        EXPECT_TRUE(c.list.selectionModel()->isRowSelected(static_cast<int>(row) - 1, {}));
        const QRect shown = c.list.visualRect(c.list.model()->index(static_cast<int>(row) - 1, 0));
        EXPECT_EQ(menu.pos(), c.list.viewport()->mapToGlobal(shown.bottomLeft()));
        menu.hide();
        if (c.bar != kBarPendingPopup) continue;
        for (QAction* action : menu.actions())
            if (action->text() == "Cancel Order") action->trigger();
        auto* box =
            Asking("Are you sure you want to cancel order number " + rows.Item(2).Text() + "?");
        ASSERT_NE(box, nullptr);
        QTest::keyClick(box, Qt::Key_Escape);
        widgets_testing::Turn();
    }
}

}  // namespace
