#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "desk/common/MGeneral.h"
#include "tests/support/clientapi/ViewFactory.h"
#include "tests/support/desk/FakeDesk.h"

namespace {

using namespace OrbanexDesk;
using testsupport::FakeDesk;
using testsupport::ViewFactory;

// Net rows of different accounts and symbols never share a key, and a total row
// never takes an account row's key.
TEST(DeskCommon, NetRowKeysKeepSymbolSideAndAccountApart) {
    EXPECT_NE(NetRowKey(5, 1, 11001), NetRowKey(51, 1, 1001));
    EXPECT_NE(NetRowKey(5, 1), NetRowKey(51, 1));
    EXPECT_NE(NetRowKey(5, 1), NetRowKey(5, 1, 1));
    EXPECT_EQ(NetRowKey(5, -1, 1001), "To5|-1|1001");
    EXPECT_EQ(NetRowKey(5, -1), "To5|-1");
}

// Look-ups in the shared symbol collection and the market watch find by id key or
// by exact name, and find nothing (without an error) before the collection exists.
TEST(DeskCommon, SymbolLookUpsFindByKeyOrExactNameAndNothingOtherwise) {
    FakeDesk desk;
    ViewFactory views;
    DeskState& state = desk.State();
    EXPECT_EQ(GetSymbolItem(state, "2"), nullptr);
    EXPECT_EQ(GetCollectionItem(state, "EURUSD"), nullptr);

    state.DeskSymbols = std::make_shared<SymbolCollection>();
    auto eur = views.Symbol({.id = 2, .name = "EURUSD", .bid = 1.1, .ask = 1.2});
    auto eurAgain = views.Symbol({.id = 40000, .name = "EURUSD", .bid = 1.1, .ask = 1.2});
    state.DeskSymbols->Add(eur, "2");
    state.DeskSymbols->Add(eurAgain, "40000");
    EXPECT_EQ(GetSymbolItem(state, "40000"), eurAgain);
    EXPECT_EQ(GetSymbolItem(state, "3"), nullptr);
    EXPECT_EQ(GetCollectionItem(state, "EURUSD"), eur);
    EXPECT_EQ(GetCollectionItem(state, "eurusd"), nullptr);

    desk.stores().lvmw.Add(MarketWatchKey(40000), "EURUSD");
    EXPECT_TRUE(IsSymbolInMarketWatch(*desk.Ports().frmMW, 40000));
    EXPECT_FALSE(IsSymbolInMarketWatch(*desk.Ports().frmMW, 2));
    EXPECT_EQ(GetMarketWatchItem(*desk.Ports().frmMW, eurAgain), &desk.stores().lvmw.Item(1));
    EXPECT_EQ(GetMarketWatchItem(*desk.Ports().frmMW, eur), nullptr);
}

// Server times are read day first and shifted from the server's offset to the desk's.
TEST(DeskCommon, ServerTimeTextsAreShiftedToTheDesksOffset) {
    FakeDesk desk;
    DeskState& state = desk.State();
    state.ClientGMTOffset = 2;
    state.ServerGMTOffset = 2;
    EXPECT_EQ(FormatDateTimeText(state, "05/01/2024 10:00:00"), "2024-01-05 10:00:00");
    state.ServerGMTOffset = 0;
    EXPECT_EQ(FormatDateTimeText(state, "05/01/2024 23:30:00"), "2024-01-06 01:30:00");
    EXPECT_EQ(FormatTimeText(state, "05/01/2024 23:30:00"), "01:30");
}

// The contract the sessions rely on, checked on the doubles (and later on the forms):
// the order panes and the views make and remove rows, sounds are gated.
TEST(DeskPorts, ThePanesMakeAndRemoveTheRowsTheSessionsRelyOn) {
    FakeDesk desk;
    ViewFactory views;
    const DeskPorts& p = desk.Ports();
    views.Symbol({.id = 2, .name = "EURUSD", .bid = 1.1, .ask = 1.2});

    p.frmMain->addToListView("Alice", 1001, false, "", "", 1);
    p.frmMain->addToListView("alice", 1001, true, "five", "four", 1);
    ASSERT_EQ(p.frmMain->lvwClients().Count(), 1u);
    auto& row = p.frmMain->lvwClients().Item("C1");
    EXPECT_EQ(row.Text(), "01");
    EXPECT_EQ(row.SubItems(2), "Connected");
    EXPECT_EQ(row.SubItems(4), "four");
    EXPECT_EQ(row.SubItems(5), "five");

    p.frmorder->Add(1001, "", 0);
    p.frmlimitorder->Add(1001, 1, "", 0);
    EXPECT_NE(p.frmorder->lvwConClients().Find("C1001"), nullptr);
    EXPECT_EQ(p.frmlimitorder->lvwConClients().Item("C1001").Text(), "1001");
    p.frmorder->Remove(1001);
    p.frmorder->Remove(1001);
    EXPECT_EQ(p.frmorder->lvwConClients().Count() + p.frmlimitorder->lvwConClients().Count(), 0u);

    auto pos = views.Position({.ticket = 7, .symbol = 2, .lots = 1, .price = 1.2});
    p.frmTrade->AddPosition(pos, 1001);
    p.frmTrade->AddPosition(pos, 1001);
    EXPECT_EQ(p.frmTrade->lvwOpenPos().Count(), 1u);
    p.frmTrade->RemovePosition(7, 1001);
    EXPECT_EQ(p.frmTrade->lvwOpenPos().Count(), 0u);

    auto order = views.Order({.id = 9, .symbol = 2, .lots = 1, .price = 1.0});
    p.frmPending->AddOrder(order, 1001);
    p.frmPending->AddOrder(views.Order({.id = 10, .symbol = 2, .lots = 1, .price = 1.0}), 1002);
    p.frmPending->removeClientinfo(1001);
    ASSERT_EQ(p.frmPending->lvwPending().Count(), 1u);
    p.frmPending->Removeorder(10);
    p.frmPending->Removeorder(10);
    EXPECT_EQ(p.frmPending->lvwPending().Count(), 0u);

    std::vector<std::string> disconnected;
    desk.DisconnectSelected = [&](const std::string& key) { disconnected.push_back(key); };
    row.setSelected(true);
    p.frmMain->MnuDisconnecte_Click();
    EXPECT_EQ(disconnected, std::vector<std::string>{"C1"});

    desk.Take();
    p.Sound->PlayWave("/home/x/sounds/Connect.wav");
    p.Sound->PlayWave("/home/x/sounds/OrderOk.wav");
    p.frmJournal->Add("text", 1001, true);
    const std::vector<std::string> expected = {"sound|Connect.wav|played",
                                               "sound|OrderOk.wav|muted", "journal|1001|text"};
    EXPECT_EQ(desk.Take(), expected);
    EXPECT_EQ(desk.State().ClientGMTOffset, 123);
}

}  // namespace
