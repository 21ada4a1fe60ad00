#include <gtest/gtest.h>

#include "general/model/CAccount.h"
#include "general/model/CAccountsTransactions.h"
#include "general/model/CClient.h"
#include "general/model/CSymbol.h"
#include "manager_fixture.h"

namespace {

using namespace managerfixture;

// The symbols' position references and client parameters hold objects that
// hold the symbols: a new login and a new symbol list must let the old ones
// go, and so must releasing the managers (the sanitizer build checks the rest).
TEST(Lifetimes, ReloginAndReleaseLeaveNoTableBehind) {
    std::weak_ptr<og::CSymbol> firstTable, secondTable;
    std::weak_ptr<og::CClient> firstClient, secondClient;
    std::weak_ptr<og::CAccount> secondAccount;
    {
        Session s;
        s.symbols->setGWPricesStep(3);
        s.Login();
        s.Positions({PositionRow(7, 70, 1, 2, 1, 1.2), PositionRow(7, 70, 2, 3, 1, 1.5)});
        s.symbols->MarketDataReceived("10:00:01,2,1.201,1.2012");
        ASSERT_TRUE(s.Symbol(3)->Ref2() && s.Symbol(3)->Ref3());
        firstTable = s.Symbol(3);
        firstClient = s.manager->AccountsTransactions()->AccountByAccountID(80)->Client();

        s.Login();
        s.Positions({PositionRow(7, 70, 1, 2, 1, 1.2), PositionRow(7, 70, 2, 3, 1, 1.5)});
        s.symbols->MarketDataReceived("10:00:02,2,1.202,1.2022");
        EXPECT_TRUE(firstTable.expired());
        EXPECT_TRUE(firstClient.expired());
        ASSERT_TRUE(s.Symbol(3)->Ref2() && s.Symbol(3)->Ref3());
        secondTable = s.Symbol(3);
        secondAccount = s.manager->AccountsTransactions()->AccountByAccountID(70);
        secondClient = secondAccount.lock()->Client();
    }
    EXPECT_TRUE(secondTable.expired());
    EXPECT_TRUE(secondClient.expired());
    EXPECT_TRUE(secondAccount.expired());
}

}  // namespace
