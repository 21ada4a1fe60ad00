#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "general/model/CAccount.h"
#include "general/model/CAccountRefs.h"
#include "general/model/CAlert.h"
#include "general/model/CAlerts.h"
#include "general/model/CClient.h"
#include "general/model/CClientParams.h"
#include "general/model/CClientRefs.h"
#include "general/model/CCurAccount.h"
#include "general/model/COpenPosition.h"
#include "general/model/COpenPositions.h"
#include "general/model/COrder.h"
#include "general/model/COrders.h"
#include "general/model/CSymbol.h"
#include "runtime/Error.h"

namespace {

using namespace OrbanelGeneral10;
using runtime::Variant;

class CurAccount : public testing::Test {
protected:
    CurAccount() {
        for (int32_t id : {10, 20}) {
            auto sym = std::make_shared<CSymbol>();
            sym->setPipLocation(Variant(int16_t{-4}));
            sym->setID(id);
            params.Add(Variant(runtime::Null), 0, 0, 100, 1, 0, 0, sym, 1);
        }
        account->setAccountID(1001);
        client->setClientID(5);
    }

    std::shared_ptr<CClientParam> Param(int32_t symbolId) {
        return params.Item(std::to_string(symbolId));
    }
    std::shared_ptr<COpenPosition> Position(int32_t ticket, int32_t symbolId) {
        return account->OpenPositions()->Add(1.1, Param(symbolId), 1, BuyType, ticket, account, 0,
                                             "");
    }
    std::shared_ptr<COrder> Order(int32_t id, int32_t symbolId) {
        return account->Orders()->Add(0, 0, 0, 1.1, Param(symbolId), 1, 0, BuyType, LimitOrdersType,
                                      id, 0, runtime::Date(), "");
    }
    std::shared_ptr<CAlert> Alert(int32_t id, int32_t symbolId) {
        return client->Alerts()->Add(5, id, Param(symbolId)->Symbol(), BID_GREATER, 1.2);
    }
    bool Listed(const std::shared_ptr<CAccountRefs>& set) const {
        return set->Item(account->IndexKey()) != nullptr;
    }

    CClientParams params;
    std::shared_ptr<CAccount> account = std::make_shared<CAccount>();
    std::shared_ptr<CClient> client = std::make_shared<CClient>();
    std::shared_ptr<CCurAccount> cur = std::make_shared<CCurAccount>();
};

// Each kind: the account (client) stays listed while another item of the
// symbol remains, and the deleted item never counts, whether or not it is
// still in its collection when the notification comes.
TEST_F(CurAccount, SetsDropOnlyWithTheLastItemOfTheSymbol) {
    auto p1 = Position(1, 10), p2 = Position(2, 10), p3 = Position(3, 20);
    auto o1 = Order(11, 10), o2 = Order(12, 10), o3 = Order(13, 20);
    auto a1 = Alert(21, 10), a2 = Alert(22, 10), a3 = Alert(23, 20);
    ASSERT_TRUE(p1 && p2 && p3 && o1 && o2 && o3 && a1 && a2 && a3);
    cur->AccountsHavePositions()->Add(account);
    cur->AccountsHaveOrders()->Add(account);
    cur->ClientsHaveAlerts()->Add(client);

    account->OpenPositions()->Remove("1");
    cur->PositionDeleted(account, p1);
    account->Orders()->Remove("11");
    cur->OrderDeleted(account, o1);
    client->Alerts()->Remove("21");
    cur->AlertDeleted(client, a1);
    EXPECT_TRUE(Listed(cur->AccountsHavePositions()));
    EXPECT_TRUE(Listed(cur->AccountsHaveOrders()));
    EXPECT_NE(cur->ClientsHaveAlerts()->Item("5"), nullptr);

    // Still in their collections; the remaining items are of another symbol.
    cur->PositionDeleted(account, p2);
    cur->OrderDeleted(account, o2);
    cur->AlertDeleted(client, a2);
    EXPECT_FALSE(Listed(cur->AccountsHavePositions()));
    EXPECT_FALSE(Listed(cur->AccountsHaveOrders()));
    EXPECT_EQ(cur->ClientsHaveAlerts()->Item("5"), nullptr);
    // The sets only list: the account and its items are untouched.
    EXPECT_EQ(account->OpenPositions()->Count(), 2);
    EXPECT_EQ(client->Alerts()->Count(), 2);

    // A notification for an item without its symbol is an error, not a crash.
    p3->setSymbolParam(nullptr);
    EXPECT_THROW(cur->PositionDeleted(account, p3), runtime::Error);
    EXPECT_THROW(cur->OrderDeleted(nullptr, o3), runtime::Error);
}

TEST_F(CurAccount, AccountAndClientDeletion) {
    cur->AccountsHavePositions()->Add(account);
    cur->AccountsHaveOrders()->Add(account);
    cur->ClientsHaveAlerts()->Add(client);
    cur->ClientDeleted(99);
    EXPECT_EQ(cur->ClientsHaveAlerts()->Count(), 1);
    cur->AccountDeleted(5, 1001);
    EXPECT_EQ(cur->AccountsHavePositions()->Count(), 0);
    EXPECT_EQ(cur->AccountsHaveOrders()->Count(), 0);
    EXPECT_EQ(cur->ClientsHaveAlerts()->Count(), 1);
    cur->ClientDeleted(5);
    EXPECT_EQ(cur->ClientsHaveAlerts()->Count(), 0);
}

TEST_F(CurAccount, ReleasedWithItsSymbol) {
    cur->AccountsHavePositions()->Add(account);
    auto sym = Param(10)->Symbol();
    std::weak_ptr<CCurAccount> weak = cur;
    sym->setRef1(std::move(cur));
    sym->Deallocate();
    EXPECT_TRUE(weak.expired());
    EXPECT_EQ(account->AccountID(), 1001);

    CCurAccount shell;
    shell.Deallocate();
    EXPECT_EQ(shell.AccountsHavePositions(), nullptr);
    EXPECT_EQ(shell.ClientsHaveAlerts(), nullptr);
    EXPECT_THROW(shell.AccountDeleted(1, 1001), runtime::Error);
    shell.Deallocate();
}

}  // namespace
