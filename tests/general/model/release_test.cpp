#include <gtest/gtest.h>

#include <memory>

#include "general/common/CGenerals.h"
#include "general/common/MGenerals.h"
#include "general/model/CAccount.h"
#include "general/model/CAccountRef.h"
#include "general/model/CAccountRefs.h"
#include "general/model/CAccounts.h"
#include "general/model/CAlert.h"
#include "general/model/CAlerts.h"
#include "general/model/CChatOrder.h"
#include "general/model/CChatOrders.h"
#include "general/model/CClient.h"
#include "general/model/CClientParams.h"
#include "general/model/CClientRefs.h"
#include "general/model/CClients.h"
#include "general/model/COpenPosition.h"
#include "general/model/COpenPositions.h"
#include "general/model/COrder.h"
#include "general/model/COrders.h"
#include "general/model/CSummaries.h"
#include "general/model/CSymbols.h"
#include "trading_fixture.h"

namespace {

using namespace OrbanelGeneral10;
using namespace tradingfixture;
constexpr int32_t kNotSet = runtime::errc::ObjectVariableNotSet;

// A client tree with an account that holds a position and an order, an
// alert, a child client, and parameters for two symbols.
struct Tree {
    Tree() {
        for (int32_t id : {1, 12}) symbols->AddByObject(MakeSymbol(id, -4, 1.1, 1.1002));
        symbols->Item("12")->setRefID(runtime::Variant(1));
        parent = clients->Add(3, "", runtime::Null, OFFICE_TYPE, false, EQUITY_LIQUIDATION, 0, "P",
                              "", "", "", "p", symbols, generals, 1);
        client = clients->Add(4, "", runtime::Variant(3), CLIENT_TYPE, false, EQUITY_LIQUIDATION, 0,
                              "C", "", "", "", "c", symbols, generals, 1);
        clients->InitializeParams(symbols, 1);
        account =
            client->Accounts()->Add(client, std::make_shared<CSummaries>(), 1001, 4,
                                    NormalAccountType, false, false, false, false, false, false);
        position = account->OpenPositions()->Add(1.1, client->SymbolParam(12), 1, BuyType, 501,
                                                 account, 0, "t");
        order = account->Orders()->Add(0, 0, 0, 1.2, client->SymbolParam(12), 1, 0, BuyType,
                                       LimitOrdersType, 601, 0, runtime::Date(), "t");
        alert = client->Alerts()->Add(4, 701, symbols->Item("12"), BID_GREATER, 1.3);
    }
    std::shared_ptr<CSymbols> symbols = std::make_shared<CSymbols>();
    std::shared_ptr<CGenerals> generals = std::make_shared<CGenerals>();
    std::shared_ptr<CClients> clients = std::make_shared<CClients>();
    std::shared_ptr<CClient> parent, client;
    std::shared_ptr<CAccount> account;
    std::shared_ptr<COpenPosition> position;
    std::shared_ptr<COrder> order;
    std::shared_ptr<CAlert> alert;
};

TEST(Release, TheWholeTreeGoesOnceTheOutsideHoldersLetGo) {
    Tree t;
    ASSERT_TRUE(t.position && t.order && t.alert);
    EXPECT_NO_THROW(t.position->FloatingProfitLoss(ON_OPEN_TYPE));
    std::weak_ptr<CClient> parent = t.parent, client = t.client;
    std::weak_ptr<CAccount> account = t.account;
    std::weak_ptr<CSummaries> summary = t.account->SummeryInfo();
    std::weak_ptr<COpenPosition> position = t.position;
    std::weak_ptr<COrder> order = t.order;
    std::weak_ptr<CAlert> alert = t.alert;
    std::weak_ptr<CClientParam> param = t.client->SymbolParam(12);
    t.parent.reset();
    t.client.reset();
    t.account.reset();
    t.order.reset();
    t.alert.reset();

    SafeRelease(t.clients);
    EXPECT_FALSE(t.clients);
    for (bool gone : {parent.expired(), client.expired(), account.expired(), summary.expired(),
                      order.expired(), alert.expired()})
        EXPECT_TRUE(gone);

    // The position is still held: an empty shell that is read, never crashed on.
    ASSERT_FALSE(position.expired());
    EXPECT_EQ(t.position->Ticket(), 501);
    EXPECT_DOUBLE_EQ(t.position->Price(), 1.1);
    EXPECT_FALSE(t.position->Account());
    EXPECT_EQ(ErrorOf([&] { t.position->FloatingProfitLoss(ON_OPEN_TYPE); }), kNotSet);
    t.position.reset();
    EXPECT_TRUE(param.expired());
}

TEST(Release, ReleasedObjectsAreEmptyShells) {
    Tree t;
    auto positions = t.account->OpenPositions();
    auto orders = t.account->Orders();
    auto alerts = t.client->Alerts();
    auto children = t.parent->ChildrenClients();
    SafeRelease(t.clients);

    // Plain fields stay; references read as nothing.
    EXPECT_EQ(t.client->ClientID(), 4);
    EXPECT_EQ(t.client->FirstName(), "C");
    EXPECT_FALSE(t.client->Parent());
    EXPECT_FALSE(t.client->Accounts());
    EXPECT_FALSE(t.client->Alerts());
    EXPECT_FALSE(t.client->ChildrenClients());
    EXPECT_FALSE(t.client->Params());
    EXPECT_EQ(t.account->AccountID(), 1001);
    EXPECT_FALSE(t.account->Client());
    EXPECT_FALSE(t.account->SummeryInfo());
    EXPECT_FALSE(t.account->OpenPositions());
    EXPECT_EQ(t.alert->SymbolID(), 12);
    EXPECT_FALSE(t.alert->Symbol());
    EXPECT_EQ(t.order->OrderId(), 601);  // an order has no release of its own
    EXPECT_TRUE(t.order->SymbolParam());

    // Following an emptied reference is an error.
    EXPECT_EQ(ErrorOf([&] { t.client->SymbolParam(12); }), kNotSet);
    EXPECT_EQ(ErrorOf([&] { t.client->InitializeParams(t.symbols, 1); }), kNotSet);

    // A released collection answers lookups with nothing and counts with an error.
    EXPECT_FALSE(positions->Items());
    EXPECT_FALSE(positions->Item(1));
    EXPECT_FALSE(positions->Add(1.1, nullptr, 1, BuyType, 9, nullptr, 0, ""));
    positions->Remove("501");
    EXPECT_EQ(ErrorOf([&] { positions->Count(); }), kNotSet);
    EXPECT_EQ(ErrorOf([&] { positions->TotalFloatingProfitLoss(ON_OPEN_TYPE); }), kNotSet);
    EXPECT_EQ(ErrorOf([&] { orders->Count(); }), kNotSet);
    EXPECT_EQ(ErrorOf([&] { alerts->Count(); }), kNotSet);
    EXPECT_FALSE(alerts->Add(4, 9, t.symbols->Item("12"), BID_LESS, 1));
    EXPECT_EQ(ErrorOf([&] { children->Count(); }), kNotSet);
}

TEST(Release, DeallocateTwiceAndThenDestroy) {
    auto clients = std::make_shared<CClients>();
    auto summary = std::make_shared<CSummaries>();
    auto position = std::make_shared<COpenPosition>();
    auto chat = std::make_shared<CChatOrders>();
    auto refs = std::make_shared<CAccountRefs>();
    auto account = std::make_shared<CAccount>();
    refs->Add(account);
    for (ISafeObject* o : std::initializer_list<ISafeObject*>{
             clients.get(), summary.get(), position.get(), chat.get(), refs.get(), account.get()}) {
        o->Deallocate();
        o->Deallocate();
    }
    EXPECT_EQ(ErrorOf([&] { clients->Count(); }), kNotSet);
    EXPECT_FALSE(clients->Remove("1"));
    EXPECT_FALSE(clients->Item("1"));
    EXPECT_EQ(ErrorOf([&] { chat->Count(); }), kNotSet);
    EXPECT_FALSE(refs->Items());
    EXPECT_EQ(account.use_count(), 1);  // the set let go of nothing it owned
}

TEST(Release, APositionNeverKeepsItsAccountAlive) {
    Market m;
    std::weak_ptr<CAccount> gone;
    std::shared_ptr<COpenPosition> kept;
    {
        auto account = std::make_shared<CAccount>();
        kept = account->OpenPositions()->Add(1.1, MakeParam(MakeSymbol(7, -4, 1, 1), m.unitParam),
                                             1, BuyType, 1, account, 0, "");
        ASSERT_EQ(kept->Account(), account);
        gone = account;
    }
    EXPECT_TRUE(gone.expired());
    EXPECT_FALSE(kept->Account());
    EXPECT_EQ(kept->Ticket(), 1);
}

}  // namespace
