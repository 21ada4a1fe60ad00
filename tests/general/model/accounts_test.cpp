#include <gtest/gtest.h>

#include <memory>

#include "general/model/CAccount.h"
#include "general/model/CAccountRef.h"
#include "general/model/CAccountRefs.h"
#include "general/model/CAccounts.h"
#include "general/model/CClient.h"
#include "general/model/COpenPositions.h"
#include "general/model/COrders.h"
#include "general/model/CSummaries.h"
#include "trading_fixture.h"

namespace {

using namespace OrbanelGeneral10;
using tradingfixture::ErrorOf;

std::shared_ptr<CAccount> AddAccount(CAccounts& accounts, const std::shared_ptr<CClient>& client,
                                     int32_t id, std::shared_ptr<CSummaries> summary = nullptr) {
    if (!summary) summary = std::make_shared<CSummaries>();
    return accounts.Add(client, summary, id, 77, CoverageAccountType, true, false, true, false,
                        true, false);
}

TEST(Accounts, NewAccountDefaults) {
    CAccount a;
    EXPECT_FALSE(a.LockLiquidate());
    EXPECT_EQ(a.AccountType(), DemoAccountType);
    EXPECT_EQ(a.IndexKey(), "0");
    EXPECT_FALSE(a.Client());
    EXPECT_FALSE(a.SummeryInfo());
    ASSERT_TRUE(a.OpenPositions() && a.Orders());
    EXPECT_EQ(a.OpenPositions()->Count(), 0);
    a.setAccountID(-12);
    EXPECT_EQ(a.IndexKey(), "-12");
}

TEST(Accounts, AddStoresEveryValueAndRefusesADuplicate) {
    auto client = std::make_shared<CClient>();
    auto summary = std::make_shared<CSummaries>();
    CAccounts accounts;
    auto a = accounts.Add(client, summary, 1001, 77, CoverageAccountType, true, false, true, false,
                          true, false);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->Client(), client);
    EXPECT_EQ(a->SummeryInfo(), summary);
    EXPECT_EQ(a->AccountID(), 1001);
    EXPECT_EQ(a->ClientID(), 77);
    EXPECT_EQ(a->AccountType(), CoverageAccountType);
    EXPECT_TRUE(a->AutoOrNotSLTP());
    EXPECT_TRUE(a->DontLiquidate());

    auto other = std::make_shared<CSummaries>();
    EXPECT_FALSE(accounts.Add(nullptr, other, 1001, 1, NormalAccountType, false, true, false, true,
                              false, true));
    EXPECT_EQ(accounts.Count(), 1);
    EXPECT_EQ(accounts.Item("1001"), a);
    EXPECT_EQ(a->SummeryInfo(), summary);
    EXPECT_EQ(a->ClientID(), 77);
    EXPECT_EQ(accounts.Interest(0.5, 3), 1.5);
}

TEST(Accounts, ItemByKeyOrPositionAndRemoveReleases) {
    auto client = std::make_shared<CClient>();
    CAccounts accounts;
    auto a1001 = AddAccount(accounts, client, 1001);
    auto a1 = AddAccount(accounts, client, 1);
    EXPECT_EQ(accounts.Item(1), a1001);
    EXPECT_EQ(accounts.Item("1"), a1);
    EXPECT_FALSE(accounts.Item(3));
    EXPECT_FALSE(accounts.Item("2"));
    ASSERT_EQ(accounts.NewEnum().size(), 2u);

    accounts.Remove("999");
    accounts.Remove(7);
    EXPECT_EQ(accounts.Count(), 2);

    accounts.Remove("1001");
    EXPECT_EQ(accounts.Count(), 1);
    // The removed account is an empty shell: its number stays readable.
    EXPECT_EQ(a1001->AccountID(), 1001);
    EXPECT_FALSE(a1001->Client());
    EXPECT_FALSE(a1001->SummeryInfo());
    EXPECT_FALSE(a1001->OpenPositions());
    EXPECT_FALSE(a1001->Orders());

    accounts.Remove(1);
    EXPECT_EQ(accounts.Count(), 0);
    EXPECT_FALSE(a1->OpenPositions());
}

TEST(AccountRefs, ListWithoutOwning) {
    auto client = std::make_shared<CClient>();
    CAccounts accounts;
    auto a = AddAccount(accounts, client, 1001);
    auto b = AddAccount(accounts, client, 2002);

    CAccountRefs refs;
    auto first = refs.Add(a);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->IndexKey(), "1001");
    EXPECT_FALSE(refs.Add(a));  // listed already: the first entry stays
    EXPECT_FALSE(refs.Add(nullptr));
    EXPECT_TRUE(refs.Add(b));
    EXPECT_EQ(refs.Count(), 2);
    EXPECT_EQ(refs.Item("1001"), first);
    EXPECT_EQ(refs.Item(2)->Account(), b);

    refs.Remove("1001");
    refs.Remove("5");
    EXPECT_EQ(refs.Count(), 1);
    EXPECT_EQ(a->AccountID(), 1001);
    EXPECT_TRUE(a->OpenPositions());  // untouched by the reference set

    // A reference never keeps its account alive.
    auto ref = refs.Item(1);
    accounts.Remove("2002");
    b.reset();
    EXPECT_FALSE(ref->Account());
    EXPECT_EQ(ErrorOf([&] { ref->IndexKey(); }), runtime::errc::ObjectVariableNotSet);
}

}  // namespace
