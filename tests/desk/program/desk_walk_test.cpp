// The new user's walk on the started desk offscreen against the demo book of the
// simulated server in the same process: each step's requests in the server's
// log and its rows in the views.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "desk/MGeneralMain.h"
#include "desk/accounts/AccountInput.h"
#include "desk/accounts/AccountsWindowCore.h"
#include "desk/orders/frmorder.h"
#include "desk/positions/frmClosePos.h"
#include "desk/shell/frmJournal.h"
#include "desk/ui/frmPriceChanged.h"
#include "general/common/MTokens.h"
#include "platform/EventLoop.h"
#include "platform/Grid.h"
#include "runtime/Convert.h"
#include "runtime/Strings.h"
#include "simserver/Demo.h"
#include "simserver/Server.h"
#include "tests/platform/widgets/WidgetsTesting.h"
#include "tests/support/TempProgramFolder.h"
#include "tests/support/desk/walk/DeskWalk.h"

namespace {

using namespace OrbanexDesk;
namespace og = OrbanelGeneral10;
using Texts = std::vector<std::string>;
using testsupport::DeskWalk;

constexpr int32_t kWaitMs = 5000;

// Column `sub` of every row whose column `filterSub` reads `filter`.
Texts Column(const platform::ListView& rows, size_t sub, size_t filterSub = 0,
             const std::string& filter = "") {
    Texts out;
    for (size_t i = 1; i <= rows.Count(); ++i)
        if (filter.empty() || rows.Item(i).SubItems(filterSub) == filter)
            out.push_back(rows.Item(i).SubItems(sub));
    std::sort(out.begin(), out.end());
    return out;
}

Texts Accounts(const std::vector<int32_t>& ids) {
    Texts out;
    for (int32_t id : ids) out.push_back(std::to_string(id));
    std::sort(out.begin(), out.end());
    return out;
}

// Parameter `index` of every logged request with the token, sorted.
Texts Sent(const simserver::Server& server, int32_t token, size_t index, size_t from = 0) {
    Texts out;
    const auto requests = server.book().Requests(token);
    for (size_t i = from; i < requests.size(); ++i) out.push_back(requests[i].params.at(index));
    std::sort(out.begin(), out.end());
    return out;
}

TEST(DeskWalk, ANewUsersWalkFromLoginToAnAcceptedReQuote) {
    widgets_testing::App();
    testsupport::TempProgramFolder folder{"desk-walk"};
    platform::EventLoop::Ensure();
    simserver::Server server(simserver::DemoBook());
    server.Listen("127.0.0.1", 0);
    DeskWalk::SeedHome(server);
    MGeneral desk;
    desk.Main();
    DeskWalk walk(desk, server, kWaitMs);
    const DeskPorts& ports = desk.Services().Ports();
    platform::ListView& trades = ports.frmTrade->lvwOpenPos();
    platform::ListView& net = ports.frmNetTrade->lvwNetPos();
    platform::ListView& journal = dynamic_cast<frmJournal&>(*ports.frmJournal).lvwJournal();
    ASSERT_EQ(walk.Accepting().size(), 2u);
    ASSERT_NE(walk.Requoting(), 0);
    const std::string symbol = DeskWalk::kSymbol;

    // Log in: every saved account green and "Connected", summaries filled, quotes move.
    ASSERT_EQ(walk.LogIn(), "");
    platform::ListView& clients = desk.Accounts().lvwClients();
    for (size_t i = 1; i <= clients.Count(); ++i) {
        EXPECT_EQ(clients.Item(i).SubItemForeColor(kStatusColumn),
                  AccountsWindowCore::kConnectedColor);
        EXPECT_FALSE(clients.Item(i).SubItems(kBalanceColumn).empty());
    }
    const size_t demoPositions = server.book().positions.size();
    EXPECT_EQ(trades.Count(), demoPositions) << "the demo book's positions";

    // A market Buy spread over the accepting accounts: one order each on the
    // server, their positions in Trade and Net Trade, accepted in the journal.
    ASSERT_EQ(walk.MarketOrder(), "");
    EXPECT_EQ(Sent(server, og::NEW_ORDER_TOKEN, 1), Accounts(walk.Accepting()));
    EXPECT_EQ(Sent(server, og::NEW_ORDER_TOKEN, 4), (Texts{"0.5", "0.5"}));
    EXPECT_EQ(trades.Count(), demoPositions + 2);
    const Texts lots = Column(trades, 4, 5, symbol);
    EXPECT_EQ(lots, (Texts{"0.5", "0.5", "0.5"})) << "the demo position and the two new ones";
    Texts netTotals;
    for (size_t i = 1; i <= net.Count(); ++i)
        if (net.Item(i).Bold() && net.Item(i).Text() == symbol)
            netTotals.push_back(net.Item(i).SubItems(2));
    EXPECT_EQ(netTotals, Texts{"1.5"}) << "the demo 0.5 and the two new ones under one total";
    std::set<std::string> accepted;
    for (size_t i = 1; i <= journal.Count(); ++i)
        if (journal.Item(i).SubItems(2).find("[BUY 0.5 " + symbol + "] has been accepted") !=
            std::string::npos)
            accepted.insert(journal.Item(i).SubItems(1));
    EXPECT_EQ(Texts(accepted.begin(), accepted.end()), Accounts(walk.Accepting()));
    auto& orderRows = dynamic_cast<frmorder&>(*ports.frmorder).lvwConClients();
    EXPECT_EQ(Column(orderRows, 2, 2, "Market Order Accepted").size(), walk.Accepting().size());

    // A Buy Limit for two accounts: two requests at the typed price, two Pending rows.
    ASSERT_EQ(walk.BuyLimitForTwo(), "");
    EXPECT_EQ(Sent(server, og::NEW_LIMIT_ORDER_TOKEN, 1), Accounts(walk.Accepting()));
    for (const std::string& price : Sent(server, og::NEW_LIMIT_ORDER_TOKEN, 4))
        EXPECT_EQ(runtime::Val(price), runtime::Val(walk.LimitPrice()));
    EXPECT_EQ(Column(ports.frmPending->lvwPending(), 1, 2, "Buy limit"),
              Accounts(walk.Accepting()));
    for (const std::string& price : Column(ports.frmPending->lvwPending(), 5, 2, "Buy limit"))
        EXPECT_EQ(runtime::Val(price), runtime::Val(walk.LimitPrice()));

    // Close the symbol from the close pane: one close request per position, none left.
    const size_t closesBefore = server.book().Requests(og::CLOSE_POS_ORDER_TOKEN).size();
    ASSERT_EQ(walk.CloseSymbol(), "");
    ASSERT_EQ(walk.Closed().size(), 3u) << "the demo position and the two new ones";
    Texts tickets;
    for (const std::string& key : walk.Closed()) tickets.push_back(key.substr(key.find('|') + 1));
    std::sort(tickets.begin(), tickets.end());
    EXPECT_EQ(Sent(server, og::CLOSE_POS_ORDER_TOKEN, 2, closesBefore), tickets);
    EXPECT_EQ(trades.Count(), demoPositions - 1);
    EXPECT_TRUE(Column(trades, 1, 5, symbol).empty());
    for (size_t i = 1; i <= net.Count(); ++i)
        EXPECT_NE(net.Item(i).Text(), symbol) << "no net row of a closed symbol";
    const Texts journalTexts = Column(journal, 2);
    for (const std::string& ticket : tickets)
        EXPECT_EQ(std::count(journalTexts.begin(), journalTexts.end(),
                             "Postion " + ticket + " is closed successfuly"),
                  1)
            << ticket;
    platform::EventLoop::ProcessEvents();  // the close pane rebuilds from the loop
    const platform::Grid& grid = desk.ClosePos().Core().MSH();
    EXPECT_EQ(grid.Rows(), 1 + clients.Count()) << "the accounts' rows alone are left";

    // A market Buy on the re-quoting account: the dialog counts down; Accept opens it.
    ASSERT_EQ(walk.RequotedMarketOrder(), "");
    frmPriceChanged* dialog = DeskWalk::RequoteDialog();
    EXPECT_EQ(dialog->lblOrder().text().toStdString().rfind("Buy 1 " + symbol + " at ", 0), 0u)
        << dialog->lblOrder().text().toStdString();
    const std::string newPrice = dialog->lblNewPrice().text().toStdString();
    EXPECT_EQ(dialog->windowTitle().toStdString(), "8 / 8") << "the demo account's seconds";
    EXPECT_TRUE(platform::EventLoop::RunUntil(
        [&] { return dialog->windowTitle().toStdString() == "7 / 8"; }, kWaitMs))
        << "counting down";
    EXPECT_EQ(server.book().Requests(og::ACCEPT_ORDER_TOKEN).size(), 0u);
    ASSERT_EQ(walk.AcceptRequote(), "");
    EXPECT_EQ(Sent(server, og::ACCEPT_ORDER_TOKEN, 1), Accounts({walk.Requoting()}));
    const Texts acceptedAt = Sent(server, og::ACCEPT_ORDER_TOKEN, 3);
    const Texts openedAt = Column(trades, 6, 5, symbol);
    ASSERT_EQ(acceptedAt.size(), 1u);
    ASSERT_EQ(openedAt.size(), 1u);
    EXPECT_EQ(runtime::Val(acceptedAt[0]), runtime::Val(newPrice));
    EXPECT_EQ(runtime::Val(openedAt[0]), runtime::Val(newPrice)) << "opened at the new price";
    EXPECT_EQ(DeskWalk::RequoteDialog(), nullptr);
    EXPECT_EQ(Column(trades, 1, 5, symbol), Accounts({walk.Requoting()}));

    desk.End();
    EXPECT_TRUE(platform::EventLoop::RunUntil([&] { return server.Sessions() == 0; }, kWaitMs));
}

}  // namespace
