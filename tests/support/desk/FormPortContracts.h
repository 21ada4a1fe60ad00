#pragma once
// What the account sessions rely on of the forms' ports (accounts window, order
// panes, trade views, sound), as a typed suite any test program runs on its
// desk: the fake desk's doubles or the real forms offscreen.
//
//   #include "tests/support/desk/FormPortContracts.h"   // in one file per program
//   INSTANTIATE_TYPED_TEST_SUITE_P(Forms, FormPortContract, MyHarness);
//
// A harness H is default constructible (a fresh desk) and offers
//   const OrbanexDesk::DeskPorts& Ports();
#include <gtest/gtest.h>

#include <string>

#include "desk/common/DeskServices.h"
#include "desk/common/MGeneral.h"
#include "tests/support/clientapi/ViewFactory.h"

namespace testsupport::contracts {

template <class H>
class FormPortContract : public ::testing::Test {
protected:
    H desk;
    ViewFactory views;
    const OrbanexDesk::DeskPorts& p() { return desk.Ports(); }
};
TYPED_TEST_SUITE_P(FormPortContract);

// addToListView creates the row "C" & n once and refreshes it after; the user shows
// in upper case.
TYPED_TEST_P(FormPortContract, AccountsRowsAreCreatedOnceAndRefreshed) {
    auto& main = *this->p().frmMain;
    main.addToListView("Alice", 1001, false, "", "", 1);
    main.addToListView("alice", 1002, true, "five", "four", 1);
    ASSERT_EQ(main.lvwClients().Count(), 1u);
    auto& row = main.lvwClients().Item("C1");
    EXPECT_EQ(row.SubItems(1), "ALICE");
    EXPECT_EQ(row.SubItems(2), "Connected");
    EXPECT_EQ(row.SubItems(3), "1002");
    EXPECT_EQ(row.SubItems(4), "four");
    EXPECT_EQ(row.SubItems(5), "five");
}

// The order panes key their rows "C" & account; a market row added again (a
// re-login) moves to the end keeping its tick and amount, its note gone and the
// other rows' kept; the market pane's Remove clears both.
TYPED_TEST_P(FormPortContract, OrderPanesAddAndRemoveAccountRows) {
    auto& order = *this->p().frmorder;
    auto& limit = *this->p().frmlimitorder;
    auto& rows = order.lvwConClients();
    order.Add(1001, "", 0);
    order.Add(1002, "", 0);
    limit.Add(1001, 1, "", 0);
    EXPECT_EQ(rows.Item("C1001").Text(), "1001");
    EXPECT_EQ(limit.lvwConClients().Item("C1001").Text(), "1001");
    order.addNote("note", 1001);
    order.addNote("other", 1002);
    EXPECT_EQ(rows.Item("C1001").SubItems(2), "note");
    rows.Item("C1001").setChecked(true);
    rows.Item("C1001").setSubItems(1, "0.1");
    order.Add(1001, "", 0);
    EXPECT_EQ(rows.Item(2).Key(), "C1001");
    EXPECT_TRUE(rows.Item("C1001").Checked());
    EXPECT_EQ(rows.Item("C1001").SubItems(1) + "|" + rows.Item("C1001").SubItems(2), "0.1|");
    EXPECT_EQ(rows.Item("C1002").SubItems(2), "other");
    for (int32_t account : {1001, 1001, 1002}) order.Remove(account);
    EXPECT_EQ(rows.Count() + limit.lvwConClients().Count(), 0u);
}

// Positions are keyed by account and ticket and pending orders by account and id, once each.
TYPED_TEST_P(FormPortContract, PositionAndPendingRowsAreKeyedAndRemovable) {
    auto& trade = *this->p().frmTrade;
    auto& pending = *this->p().frmPending;
    this->views.Symbol({.id = 2, .name = "EURUSD", .bid = 1.1, .ask = 1.2});
    auto pos =
        this->views.Position({.ticket = 7, .symbol = 2, .lots = 1, .price = 1.2, .time = {}});
    trade.AddPosition(pos, 1001);
    trade.AddPosition(pos, 1001);
    EXPECT_EQ(trade.lvwOpenPos().Count(), 1u);
    EXPECT_NE(trade.lvwOpenPos().Find(OrbanexDesk::PositionRowKey(1001, 7)), nullptr);
    trade.RemovePosition(7, 1001);
    EXPECT_EQ(trade.lvwOpenPos().Count(), 0u);

    pending.AddOrder(this->views.Order({.id = 9, .symbol = 2, .lots = 1, .price = 1.0, .time = {}}),
                     1001);
    pending.AddOrder(
        this->views.Order({.id = 10, .symbol = 2, .lots = 1, .price = 1.0, .time = {}}), 1002);
    pending.removeClientinfo(1001);
    ASSERT_EQ(pending.lvwPending().Count(), 1u);
    EXPECT_NE(pending.lvwPending().Find(OrbanexDesk::PendingRowKey(1002, 10)), nullptr);
    pending.Removeorder(10, 1001);  // another account's order 10
    EXPECT_EQ(pending.lvwPending().Count(), 1u);
    pending.Removeorder(10, 1002);
    pending.Removeorder(10, 1002);
    EXPECT_EQ(pending.lvwPending().Count(), 0u);
}

// A sound clears the accounts window's switch, so a second one waits for the timer.
TYPED_TEST_P(FormPortContract, PlayWaveClearsTheSoundSwitch) {
    auto& main = *this->p().frmMain;
    main.setSoundAllowed(true);
    this->p().Sound->PlayWave("/nowhere/sounds/Connect.wav");
    EXPECT_FALSE(main.SoundAllowed());
    this->p().Sound->PlayWave("/nowhere/sounds/Connect.wav");
    EXPECT_FALSE(main.SoundAllowed());
}

// The market pane's members the distribution drives: amounts as the shortest
// text by row key, the total read back, check-all's reset unticking every row.
TYPED_TEST_P(FormPortContract, MarketPaneTakesAmountsAndResetsCheckAll) {
    auto& order = *this->p().frmorder;
    auto& main = *this->p().frmMain;
    order.Add(1001, "", 0);
    order.updateAmount(0, 0.30000000000000004, "C1001");
    order.updateAmount(0, 7, "C9");
    EXPECT_EQ(order.lvwConClients().Item("C1001").SubItems(1), "0.3");
    EXPECT_EQ(order.lvwConClients().Count(), 1u);
    order.setTxtammount("1.5");
    EXPECT_EQ(order.txtammount(), "1.5");
    int16_t point = '.';
    EXPECT_EQ(main.askycodekeypress(point, order.txtammount()), 0);
    auto& row = order.lvwConClients().Item("C1001");
    order.setChkAllClients(true);
    row.setChecked(true);
    row.setSubItems(2, "No Balance");
    order.setChkAllClients(false);
    EXPECT_FALSE(row.Checked());
    EXPECT_EQ(row.SubItems(2), "");
}

REGISTER_TYPED_TEST_SUITE_P(FormPortContract, AccountsRowsAreCreatedOnceAndRefreshed,
                            OrderPanesAddAndRemoveAccountRows,
                            PositionAndPendingRowsAreKeyedAndRemovable,
                            PlayWaveClearsTheSoundSwitch, MarketPaneTakesAmountsAndResetsCheckAll);

}  // namespace testsupport::contracts
