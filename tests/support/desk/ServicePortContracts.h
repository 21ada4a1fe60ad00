#pragma once
// What the account sessions rely on of the shell, message, close-position and
// module ports, as typed suites any test program can run on its implementation:
//
//   #include "tests/support/desk/ServicePortContracts.h"   // in one file per program
//   INSTANTIATE_TYPED_TEST_SUITE_P(Forms, ShellPortContract, MyHarness);  // and the rest
//
// A harness H is default constructible (a fresh desk with the program folder of
// its own) and offers:
//   const OrbanexDesk::DeskPorts& Ports();
//   std::string StatusPane(int32_t id);                        // the pane's text
//   std::optional<bool> ControlEnabled(int32_t bar, int32_t control);  // as set last
//   std::vector<std::string> Messages();                       // "Caption|Text", in order
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "desk/common/DeskServices.h"
#include "desk/common/MGeneral.h"
#include "platform/Paths.h"
#include "runtime/Error.h"
#include "tests/support/clientapi/ViewFactory.h"

namespace testsupport::contracts {

using Texts = std::vector<std::string>;

template <class H>
class ShellPortContract : public ::testing::Test {
protected:
    H h;
};
TYPED_TEST_SUITE_P(ShellPortContract);

// Each status pane shows what was written to it last; the panes are independent;
// ids and controls the shell does not know change nothing and raise nothing.
TYPED_TEST_P(ShellPortContract, PanesAndControlsKeepWhatWasSetLast) {
    auto& shell = *this->h.Ports().Shell;
    shell.setStatusPaneText(100024, "09:30:00");
    shell.setStatusPaneText(100025, "Waiting");
    shell.setStatusPaneText(100026, "Connected");
    shell.setStatusPaneText(100025, "");
    EXPECT_NO_THROW(shell.setStatusPaneText(99, "nowhere"));
    EXPECT_EQ(
        (Texts{this->h.StatusPane(100024), this->h.StatusPane(100025), this->h.StatusPane(100026)}),
        (Texts{"09:30:00", "", "Connected"}));

    shell.setCommandBarControlEnabled(100017, 100020, false);
    shell.setCommandBarControlEnabled(100017, 100018, false);
    shell.setCommandBarControlEnabled(100017, 100020, true);
    EXPECT_NO_THROW(shell.setCommandBarControlEnabled(99, 99, true));
    EXPECT_EQ(this->h.ControlEnabled(100017, 100020), std::optional<bool>(true));
    EXPECT_EQ(this->h.ControlEnabled(100017, 100018), std::optional<bool>(false));
}

REGISTER_TYPED_TEST_SUITE_P(ShellPortContract, PanesAndControlsKeepWhatWasSetLast);

template <class H>
class MessagesPortContract : public ::testing::Test {
protected:
    H h;
};
TYPED_TEST_SUITE_P(MessagesPortContract);

// Every call shows its own box at once and returns before anybody answers, so
// several stand open together; the note box is captioned "Note".
TYPED_TEST_P(MessagesPortContract, EveryCallShowsItsOwnBoxAndReturnsAtOnce) {
    auto& messages = *this->h.Ports().Messages;
    messages.ShowMessage("account 80 Session disconnected", "Session Disconnected", true);
    messages.GeneralNoteMsg("No account selected");
    messages.SystemMessage("Maximum account number exceeded", "Alert");
    messages.ShowMessage("account 80 Session disconnected", "Session Disconnected", true);
    EXPECT_EQ(this->h.Messages(),
              (Texts{"Session Disconnected|account 80 Session disconnected",
                     "Note|No account selected", "Alert|Maximum account number exceeded",
                     "Session Disconnected|account 80 Session disconnected"}));
}

REGISTER_TYPED_TEST_SUITE_P(MessagesPortContract, EveryCallShowsItsOwnBoxAndReturnsAtOnce);

template <class H>
class ClosePosPortContract : public ::testing::Test {
protected:
    H h;
};
TYPED_TEST_SUITE_P(ClosePosPortContract);

// The symbol combo and the close-request map are the pane's own stores, the same
// on every call; a request number is mapped once (457 on a second time).
TYPED_TEST_P(ClosePosPortContract, SymbolsAndCloseRequestsAreThePanesOwnStores) {
    auto& close = *this->h.Ports().frmClosePos;
    close.CloseSymbols().AddItem("EURUSD");
    close.CloseSymbols().AddItem("GBPUSD");
    close.CloseSymbols().setText("GBPUSD");
    EXPECT_EQ(close.CloseSymbols().ListCount(), 2u);
    EXPECT_EQ(close.CloseSymbols().ListIndex(), 1);

    close.PendingCloses().Add(1001, "7001");
    close.PendingCloses().Add(1002, "7002");
    try {
        close.PendingCloses().Add(1003, "7001");
        ADD_FAILURE() << "a request number mapped twice";
    } catch (const runtime::Error& e) {
        EXPECT_EQ(e.Number(), runtime::errc::DuplicateKey);
    }
    close.PendingCloses().Remove("7002");
    EXPECT_EQ(close.PendingCloses().Item("7001"), 1001);
    EXPECT_FALSE(close.PendingCloses().Contains("7002"));
}

// A session's events reach the pane whatever it shows: an empty pane, an unknown
// ticket or no chosen symbol raise nothing (a raise would end the event's handler).
TYPED_TEST_P(ClosePosPortContract, CallsOnAnEmptyPaneRaiseNothing) {
    auto& close = *this->h.Ports().frmClosePos;
    EXPECT_NO_THROW({
        close.CloseSymbols_Click();
        close.Remove();
        close.RefreshPrice(1.0852, 1.085);
        close.searchpos(1001, 999, "Closing has been rejected");
        close.RefreshMSH();
        close.Add(1001);
        close.Add(1001);
        close.CloseSymbols_Click();
        close.searchpos(1001, 999, "Closing has been rejected");
    });
}

REGISTER_TYPED_TEST_SUITE_P(ClosePosPortContract, SymbolsAndCloseRequestsAreThePanesOwnStores,
                            CallsOnAnEmptyPaneRaiseNothing);

template <class H>
class MGeneralPortContract : public ::testing::Test {
protected:
    H h;
    ViewFactory views;
};
TYPED_TEST_SUITE_P(MGeneralPortContract);

// With Skip nothing changes; without it exactly the account's open positions go.
TYPED_TEST_P(MGeneralPortContract, RefreshNetPositionsTakesOutOnlyTheAccountsPositions) {
    const auto& ports = this->h.Ports();
    auto& trade = *ports.frmTrade;
    this->views.Symbol({.id = 2, .name = "EURUSD", .bid = 1.1, .ask = 1.2});
    const int32_t accounts[] = {1001, 1002, 1001, 10010};
    for (int32_t i = 0; i < 4; ++i) {
        trade.AddPosition(this->views.Position(
                              {.ticket = 7 + i, .symbol = 2, .lots = 1, .price = 1.2, .time = {}}),
                          accounts[i]);
    }
    auto tickets = [&] {
        Texts out;
        for (int32_t i = 0; i < 4; ++i)
            if (trade.lvwOpenPos().Find(OrbanexDesk::PositionRowKey(accounts[i], 7 + i)))
                out.push_back(std::to_string(7 + i));
        return out;
    };
    ports.MGeneral->RefreshNetPositions(true, 1001);
    EXPECT_EQ(tickets(), (Texts{"7", "8", "9", "10"}));
    ports.MGeneral->RefreshNetPositions(false, 1001);
    EXPECT_EQ(tickets(), (Texts{"8", "10"}));
    ports.MGeneral->RefreshNetPositions(false, 4242);
    EXPECT_EQ(tickets(), (Texts{"8", "10"}));
}

// A re-route rewrites, in every line of the server file, each field (between
// "&&", ":" or the line's ends) that is the old address, so the next logins go
// to the new one; an address that merely begins with it, and the other lines,
// stay as they were.
TYPED_TEST_P(MGeneralPortContract, ReplaceInServerFileRewritesWholeFields) {
    const std::filesystem::path file = platform::ProgramFolder() / "manage" / "SERVER.BUF";
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary)
        << "Main&&10.0.0.1&&4401&&Spare&&10.0.0.10&&4402\r\n10.0.0.1:4401\r\n1\r\n10.0.0.1x\r\n";
    this->h.Ports().MGeneral->ReplaceInServerFile("10.0.0.1", "10.0.0.2");
    Texts lines;
    std::ifstream in(file, std::ios::binary);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    EXPECT_EQ(lines, (Texts{"Main&&10.0.0.2&&4401&&Spare&&10.0.0.10&&4402\r", "10.0.0.2:4401\r",
                            "1\r", "10.0.0.1x\r"}));
}

REGISTER_TYPED_TEST_SUITE_P(MGeneralPortContract,
                            RefreshNetPositionsTakesOutOnlyTheAccountsPositions,
                            ReplaceInServerFileRewritesWholeFields);

}  // namespace testsupport::contracts
