#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "general/model/CAccount.h"
#include "general/model/CAccountsTransactions.h"
#include "general/model/CClient.h"
#include "general/model/CClientParam.h"
#include "general/model/COpenPosition.h"
#include "general/model/COpenPositions.h"
#include "general/model/COrder.h"
#include "general/model/COrders.h"
#include "general/model/CSummaries.h"
#include "general/model/CSymbol.h"
#include "manager_fixture.h"

namespace {

using namespace managerfixture;

std::string LogText(const Session& s) {
    std::ifstream in(s.folder.Path() / "logs" / "log.txt");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::shared_ptr<og::CAccount> Account(const Session& s, int32_t id) {
    return s.manager->AccountsTransactions()->AccountByAccountID(id);
}

double Deposit(const Session& s, int32_t id) {
    return Account(s, id)->SummeryInfo()->TotalDeposit();
}

// The login road: privileges → 104, 313, 314; accounts → 103 then row 1's
// account selected (224, 106, 102, 111); a stray comma in the privileges
// keeps what came before it.
TEST(Loading, PrivilegesThenListsThenRowOnesAccount) {
    Session s;
    s.Login("5,8,");
    EXPECT_EQ(s.requests.Take(), (Names{"104[42|CLIENT|-100]", "313[42]", "314[42]", "103[]",
                                        "224[7|70]", "106[7|70]", "102[7|70]", "111[7|70]"}));
    EXPECT_TRUE(s.security->UserHasPriv(api::OpenClosePositionsPriv));
    EXPECT_TRUE(s.security->UserHasPriv(api::OpenLimitOrdersPriv));
    EXPECT_NE(LogText(s).find("PrivsRecieved \"5,8,\": error 9"), std::string::npos);
    EXPECT_EQ(s.manager->SelectedAccount()->AccountID(), 70);

    // An unknown account is refused with nothing sent; another client's
    // account binds that client's parameters to the symbols.
    EXPECT_EQ(s.manager->SelectAccount(999), api::InvalidAccountResult);
    EXPECT_TRUE(s.requests.Take().empty());
    EXPECT_EQ(s.manager->SelectedAccount()->AccountID(), 70);
    EXPECT_EQ(s.manager->SelectAccount(80), api::SuccessResult);
    EXPECT_EQ(s.requests.Take(), (Names{"224[8|80]", "106[8|80]", "102[8|80]", "111[8|80]"}));
    EXPECT_EQ(s.Symbol(2)->Ref3(), Account(s, 80)->Client()->SymbolParam(2));

    // No account rows: the market starts and nothing is selected.
    s.manager->PrivsRecieved("", 42, "CLIENT");
    s.requests.Take();
    s.Answer(&api::CAccountsManager::AccountsRecieved, {});
    EXPECT_EQ(s.requests.Take(), Names{"103[]"});
    EXPECT_EQ(s.manager->SelectedAccount(), nullptr);
    EXPECT_EQ(s.manager->AccountByID(-1)->AccountID(), -1);
}

// Each answer of a selection lands on the account it was asked for, even
// when the desk selected again before it came; only the selected account
// raises its summaries.
TEST(Loading, AnswersLandOnTheAccountTheyWereAskedFor) {
    Session s;
    s.Login();
    s.manager->SelectAccount(71);
    for (int32_t account : {70, 71}) {
        s.manager->CompDataResultReceived(0, 7, account, 0, "", false, false, "");
        s.Summaries(account * 10);
        s.Positions({});
        s.Orders({OrderRow(account * 10, "LO", 2, 1.1)});
    }
    EXPECT_EQ(s.TakeEvents(), Names{"SummariesChanged 710"});
    EXPECT_EQ(Deposit(s, 70), 700);
    EXPECT_EQ(Deposit(s, 71), 710);
    EXPECT_TRUE(Account(s, 70)->Orders()->Item("700"));
    EXPECT_TRUE(Account(s, 71)->Orders()->Item("710"));
    EXPECT_EQ(Account(s, 71)->Orders()->Count(), 1);
}

// A 106 whose answer never came (a server error) leaves no stale stamp:
// the next answers and the next selection's land right.
TEST(Loading, ALostAnswerDropsItsStamp) {
    Session s;
    s.Login();
    s.Positions({});
    s.Orders({OrderRow(1, "LO", 2, 1.1)});
    s.manager->SelectAccount(71);
    s.Summaries(500);
    s.Orders({OrderRow(2, "ST", 2, 1.1)});
    EXPECT_EQ(s.TakeEvents(), Names{"SummariesChanged 500"});
    EXPECT_EQ(Deposit(s, 70), 0);
    EXPECT_EQ(Deposit(s, 71), 500);
    EXPECT_TRUE(Account(s, 70)->Orders()->Item("1"));
    EXPECT_TRUE(Account(s, 71)->Orders()->Item("2"));
}

// After a reset no answer lands anywhere; after a re-login the new login's
// answers land on its selection.
TEST(Loading, ResetAndReloginDropTheStamps) {
    Session s;
    s.Login();
    s.manager->Reset();
    s.Summaries(300);
    s.Orders({OrderRow(1, "LO", 2, 1.1)});
    EXPECT_TRUE(s.TakeEvents().empty());
    EXPECT_EQ(Deposit(s, 70), 0);
    EXPECT_EQ(Account(s, 70)->Orders()->Count(), 0);

    s.manager->SelectAccount(71);
    s.Login();
    s.Summaries(400);
    EXPECT_EQ(s.TakeEvents(), Names{"SummariesChanged 400"});
    EXPECT_EQ(Deposit(s, 70), 400);
}

// One bad row (a position in an unknown symbol, an an order in one)
// is logged and skipped; the rows around it load; kinds other than LO and
// ST are skipped silently; rows the model holds pass silently.
TEST(Loading, ABadRowIsLoggedAndTheRestLoads) {
    Session s;
    s.Login();
    const Rows positions = {PositionRow(7, 70, 1, 2, 1, 1.2), PositionRow(7, 70, 2, 99, 1, 1.2),
                            PositionRow(7, 70, 3, 3, 2, 1.5, "Sell")};
    s.Positions(positions);
    s.Positions(positions);
    s.Orders({OrderRow(10, "LO", 2, 1.1), OrderRow(11, "LO", 99, 1.1), OrderRow(12, "ST", 3, 1.4),
              OrderRow(13, "XX", 2, 1.1)});
    const auto& held = *Account(s, 70)->OpenPositions();
    EXPECT_EQ(held.Count(), 2);
    EXPECT_TRUE(held.Item("1") && held.Item("3"));
    EXPECT_EQ(held.Item("3")->Type_no(), og::SellType);
    const auto& orders = *Account(s, 70)->Orders();
    EXPECT_EQ(orders.Count(), 2);
    EXPECT_EQ(orders.Item("10")->OrderType(), og::LimitOrdersType);
    EXPECT_EQ(orders.Item("12")->OrderType(), og::SlTpType);
    const std::string log = LogText(s);
    EXPECT_NE(log.find("OpenPositionsReceived row 2: error 91"), std::string::npos);
    EXPECT_EQ(log.find("OpenPositionsReceived row 1"), std::string::npos);
    EXPECT_NE(log.find("PendingOrdersReceived row 2: error 91"), std::string::npos);
    EXPECT_EQ(s.manager->OpenPositionsCount(), 2);
}

}  // namespace
