// Closing over many accounts in the real desk offscreen, against the simulated
// server in the same process: what reaches the server's request log is exactly
// the checked positions, each with its own account, ticket and current amount,
// and a single close answers the question that was asked, not the grid's
// current cell. Every wait is bounded.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "desk/MGeneralMain.h"
#include "desk/accounts/DemoHome.h"
#include "desk/common/MGeneral.h"
#include "desk/common/PaneTable.h"
#include "desk/positions/frmClosePos.h"
#include "desk/sessions/CClientAPIManagers.h"
#include "desk/sessions/TradeViewProcedures.h"
#include "desk/shell/CQuestionBox.h"
#include "desk/shell/frmMdiNew.h"
#include "desk/ui/frmMsgBox.h"
#include "general/common/CTokens.h"
#include "general/common/Enums.h"
#include "platform/EventLoop.h"
#include "platform/widgets/Grid.h"
#include "platform/widgets/MessageBoxWindow.h"
#include "runtime/Convert.h"
#include "simserver/Server.h"
#include "tests/platform/widgets/WidgetsTesting.h"
#include "tests/support/QuoteBook.h"
#include "tests/support/TempProgramFolder.h"
#include "tests/support/desk/walk/DeskWalk.h"

namespace {

using namespace OrbanexDesk;
namespace og = OrbanelGeneral10;

constexpr int32_t kWaitMs = 5000;
constexpr int32_t kEur = 2;
constexpr int32_t kGbp = 3;

// (account, ticket, lots) of one close request.
using Close = std::tuple<int32_t, int32_t, double>;

// ANN 70: 1001 (2 lots), 1002 and GBPUSD 1003; BEN 80: 1004; CARL 90: 1005 (2 lots),
// 1006 (3 lots) and GBPUSD 1007.
simserver::Book ThreeAccounts() {
    // Both pairs 2 pips wide, a cent either side for the day's range; EURUSD is kEur.
    simserver::Book b = testsupport::QuoteBook(1.085, 1.085 + 0.0002, 1.085 + 0.01, 1.085 - 0.01);
    simserver::Symbol gbp;
    gbp.id = kGbp, gbp.name = "GBPUSD", gbp.bid = 1.26, gbp.ask = 1.26 + 0.0002;
    gbp.high = 1.26 + 0.01, gbp.low = 1.26 - 0.01;
    b.AddSymbol(gbp);
    int32_t ticket = 1001;
    const std::vector<std::tuple<const char*, int32_t, std::vector<std::pair<int32_t, double>>>>
        users = {{"ANN", 70, {{kEur, 2}, {kEur, 1}, {kGbp, 1}}},
                 {"BEN", 80, {{kEur, 1}}},
                 {"CARL", 90, {{kEur, 2}, {kEur, 3}, {kGbp, 1}}}};
    for (const auto& [name, account, positions] : users) {
        simserver::Client c;
        c.id = account + 1000;
        c.userName = name;
        b.AddClient(c);
        simserver::User u;
        u.name = name, u.password = "PW", u.clientId = c.id;
        b.AddUser(u);
        simserver::Account a;
        a.id = account, a.clientId = c.id, a.figures.totDep = 100000;
        b.AddAccount(a);
        for (const auto& [symbolId, lots] : positions) {
            simserver::Position p;
            p.ticket = ticket++, p.clientId = c.id, p.accountId = account;
            p.time = "01/12/2026 09:00:00", p.lots = lots, p.symbolId = symbolId;
            p.price = symbolId == kEur ? 1.08 : 1.25;
            b.AddPosition(p);
        }
    }
    b.nextTicket = 2001;
    return b;
}

class CloseOnServer {
public:
    CloseOnServer() {
        server_.Listen("127.0.0.1", 0);
        SeedDemoHome("127.0.0.1", server_.Port(),
                     {{"ANN", "PW", 70}, {"BEN", "PW", 80}, {"CARL", "PW", 90}});
        desk_.Main();
    }
    ~CloseOnServer() {
        desk_.End();
        platform::EventLoop::RunUntil([&] { return server_.Sessions() == 0; }, kWaitMs);
    }
    MGeneral& Desk() { return desk_; }
    platform::ListView& Trades() { return desk_.Services().Ports().frmTrade->lvwOpenPos(); }
    // The tickets here are unique over the accounts.
    bool HasTrade(int32_t ticket) { return Trades().FindItem(std::to_string(ticket)); }
    std::vector<Close> Closes() const {
        std::vector<Close> out;
        for (const auto& r : server_.book().Requests(og::CLOSE_POS_ORDER_TOKEN))
            out.emplace_back(static_cast<int32_t>(runtime::Val(r.params.at(1))),
                             static_cast<int32_t>(runtime::Val(r.params.at(2))),
                             runtime::Val(r.params.at(6)));
        return out;
    }
    // The closes sent since `from` requests, in any order, once `count` have come.
    std::multiset<Close> ClosesSince(size_t from, size_t count = 0) const {
        platform::EventLoop::RunUntil([&] { return Closes().size() >= from + count; }, kWaitMs);
        platform::EventLoop::RunUntil([] { return false; }, 150);  // and none after them
        const auto all = Closes();
        return {all.begin() + static_cast<std::ptrdiff_t>(std::min(from, all.size())), all.end()};
    }
    void Market(int32_t account) {
        for (const auto& entry : desk_.Services().Managers()->Children())
            if (entry.value && entry.value->m_lAccount == account)
                entry.value->ClientAPIF()->NewMarketOrder(og::BuyType, kEur, 1, "", "");
    }

private:
    QApplication& app_ = widgets_testing::App();
    testsupport::TempProgramFolder folder_{"desk-close-e2e"};
    simserver::Server server_{ThreeAccounts()};
    MGeneral desk_;
};

constexpr auto QuestionBox = &testsupport::DeskWalk::QuestionBox;

// Answers the open question: button 1 is "Yes", 2 "No".
bool Answer(int button) {
    auto* box = QuestionBox();
    if (!box) return false;
    QTest::mouseClick(&box->Button(button), Qt::LeftButton);
    widgets_testing::Turn();
    return true;
}

std::string Dump(platform::ListView& v) {
    std::string out;
    for (size_t i = 1; i <= v.Count(); ++i) {
        out += v.Item(i).Text();
        for (size_t c = 1; c < 6; ++c) out += "|" + v.Item(i).SubItems(c);
        out += "\n";
    }
    return out;
}

TEST(ClosePositionsEndToEnd, ChecksQuestionsAndSingleClosesSendExactlyThePositionsMeant) {
    CloseOnServer s;
    MGeneral& desk = s.Desk();
    ASSERT_TRUE(platform::EventLoop::RunUntil(
        [&] { return s.Trades().Count() == 7 && desk.ClosePos().CloseSymbols().ListCount() >= 2; },
        kWaitMs))
        << s.Trades().Count() << " " << Dump(desk.Services().Ports().frmMain->lvwClients());
    desk.Shell().SelectPane(kPaneClosePosition);
    frmClosePos& pane = desk.ClosePos();
    platform::ComboBox& symbols = pane.CloseSymbols();
    for (size_t i = 0; i < symbols.ListCount(); ++i)
        if (symbols.List(i) == "EURUSD") symbols.setListIndex(static_cast<int32_t>(i));
    widgets_testing::Turn();
    ASSERT_NE(pane.Window(), nullptr);
    auto* grid = pane.Window()->findChild<platform::widgets::Grid*>("MSH");
    auto* lblCheck = pane.Window()->findChild<QLabel*>("LblCheck");
    ASSERT_TRUE(grid && lblCheck);
    platform::Grid& msh = pane.Core().MSH();
    auto rowOf = [&](int32_t account, int32_t ticket) -> size_t {
        for (size_t r = 1; r < msh.Rows(); ++r) {
            if (ticket ? ClosePosGrid::TicketOf(msh.TextMatrix(r, 1)) == ticket
                       : msh.TextMatrix(r, 0) == std::to_string(account))
                return r;
        }
        return 0;
    };
    auto press = [&](size_t r, size_t c) {
        ASSERT_GT(r, 0u);
        const QModelIndex at = grid->model()->index(static_cast<int>(r) - 1, static_cast<int>(c));
        grid->scrollTo(at);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(at).center());
    };
    ASSERT_EQ(msh.Rows(), 9u) << "the header, three accounts, five positions";

    // One account ticked and one position of another: three closes, whole amounts.
    press(rowOf(70, 0), 0);
    press(rowOf(0, 1005), 1);
    QTest::mouseClick(lblCheck, Qt::LeftButton);
    ASSERT_TRUE(Answer(1));
    EXPECT_EQ(msh.TextMatrix(rowOf(0, 1005), 3), " Waiting.....");
    EXPECT_EQ(s.ClosesSince(0, 3),
              (std::multiset<Close>{{70, 1001, 2}, {70, 1002, 1}, {90, 1005, 2}}));
    ASSERT_TRUE(platform::EventLoop::RunUntil(
        [&] { return !s.HasTrade(1001) && !s.HasTrade(1002) && !s.HasTrade(1005); }, kWaitMs));
    EXPECT_TRUE(s.HasTrade(1003) && s.HasTrade(1006));

    // The server cuts 1006 from 3 lots to 2; no rebuild follows an update, so its grid
    // row still reads 3: the Trade row's 2 are sent.
    ClosePositionForAccount(desk.Services(), 1006, 1, 90);
    ASSERT_TRUE(platform::EventLoop::RunUntil(
        [&] { return s.Trades().Item(PositionRowKey(90, 1006)).SubItems(4) == "2"; }, kWaitMs));
    EXPECT_EQ(msh.TextMatrix(rowOf(0, 1006), 2), "3");
    size_t sent = s.Closes().size();
    press(rowOf(0, 1006), 1);
    QTest::mouseClick(lblCheck, Qt::LeftButton);
    ASSERT_TRUE(Answer(1));
    EXPECT_EQ(s.ClosesSince(sent, 1), (std::multiset<Close>{{90, 1006, 2}}));
    ASSERT_TRUE(platform::EventLoop::RunUntil([&] { return !s.HasTrade(1006); }, kWaitMs));

    // Trade: two checked rows of two accounts, the type-1 question, two closes.
    sent = s.Closes().size();
    s.Trades().Item(PositionRowKey(70, 1003)).setChecked(true);
    s.Trades().Item(PositionRowKey(90, 1007)).setChecked(true);
    desk.QuestionBox().Show("Are you sure you want to close?", CQuestionBox::kCloseSelectedTrades);
    ASSERT_TRUE(Answer(1));
    EXPECT_EQ(s.ClosesSince(sent, 2), (std::multiset<Close>{{70, 1003, 1}, {90, 1007, 1}}));

    // Asked on BEN's 1004; CARL's new position rebuilds the grid and another cell is
    // clicked: Yes still closes 1004 of account 80, once.
    sent = s.Closes().size();
    press(rowOf(0, 1004), 3);
    ASSERT_NE(QuestionBox(), nullptr);
    std::set<std::string> before;
    for (size_t i = 1; i <= s.Trades().Count(); ++i) before.insert(s.Trades().Item(i).Key());
    s.Market(90);
    int32_t fresh = 0;
    ASSERT_TRUE(platform::EventLoop::RunUntil(
        [&] {
            for (size_t i = 1; i <= s.Trades().Count() && !fresh; ++i)
                if (!before.count(s.Trades().Item(i).Key()))
                    fresh = static_cast<int32_t>(runtime::Val(s.Trades().Item(i).Text()));
            return fresh && rowOf(0, fresh) != 0;
        },
        kWaitMs))
        << "the grid shows CARL's new position";
    press(rowOf(0, fresh), 1);
    EXPECT_EQ(msh.Cell(msh.Row(), 1).backColor, ClosePosGrid::kChecked) << "the click landed";
    ASSERT_TRUE(Answer(1));
    EXPECT_EQ(s.ClosesSince(sent, 1), (std::multiset<Close>{{80, 1004, 1}}));
    ASSERT_TRUE(platform::EventLoop::RunUntil([&] { return !s.HasTrade(1004); }, kWaitMs));

    // Asked on the new position: No sends nothing; closed elsewhere before Yes: nothing.
    sent = s.Closes().size();
    press(rowOf(0, fresh), 3);
    ASSERT_TRUE(Answer(2));
    press(rowOf(0, fresh), 3);
    ASSERT_NE(QuestionBox(), nullptr);
    ClosePositionForAccount(desk.Services(), fresh, 1, 90);
    ASSERT_TRUE(platform::EventLoop::RunUntil([&] { return !s.HasTrade(fresh); }, kWaitMs));
    ASSERT_TRUE(Answer(1));
    EXPECT_EQ(s.ClosesSince(sent, 1), (std::multiset<Close>{{90, fresh, 1}}))
        << "only the close made elsewhere";
}

}  // namespace
