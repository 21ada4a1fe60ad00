#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "general/common/CGenerals.h"
#include "general/model/CAccount.h"
#include "general/model/CAccounts.h"
#include "general/model/CAlert.h"
#include "general/model/CAlerts.h"
#include "general/model/CClient.h"
#include "general/model/CClientParams.h"
#include "general/model/CClientRef.h"
#include "general/model/CClientRefs.h"
#include "general/model/CClients.h"
#include "general/model/CSummaries.h"
#include "general/model/CSymbols.h"
#include "trading_fixture.h"

namespace {

using namespace OrbanelGeneral10;
using namespace tradingfixture;
using runtime::Variant;

class ClientTree : public ::testing::Test {
protected:
    ClientTree() {
        for (int32_t id : {10, 11}) symbols->AddByObject(MakeSymbol(id, -4, 1.1, 1.1002));
        symbols->Item("11")->setRefID(Variant(10));
    }

    std::shared_ptr<CClient> Add(int32_t id, Variant parent, const std::string& spreads = "",
                                 const std::string& first = "") {
        return clients.Add(id, spreads, parent, CLIENT_TYPE, false, EQUITY_LIQUIDATION, 0, first,
                           "", "", "", "user" + std::to_string(id), symbols, generals, 1);
    }
    bool Lists(int32_t parent, int32_t child) {
        auto ref =
            clients.Item(std::to_string(parent))->ChildrenClients()->Item(std::to_string(child));
        return ref && ref->Client() == clients.Item(std::to_string(child));
    }
    std::shared_ptr<CClient> C(int32_t id) { return clients.Item(std::to_string(id)); }

    std::shared_ptr<CSymbols> symbols = std::make_shared<CSymbols>();
    std::shared_ptr<CGenerals> generals = std::make_shared<CGenerals>();
    CClients clients;
    const Variant none = runtime::Null;
};

TEST(Client, FullNameJoinsTheNonEmptyLaterParts) {
    struct Case {
        const char *first, *second, *third, *last, *expected;
    } cases[] = {
        {"Ann", "", "", "Lee", "Ann Lee"},
        {"", "Bo", "", "", " Bo"},
        {"", "", "", "", ""},
        {"A", "B", "C", "D", "A B C D"},
    };
    for (const auto& c : cases) {
        CClient client;
        client.setFirstName(c.first);
        client.setSecondName(c.second);
        client.setThirdName(c.third);
        client.setLastName(c.last);
        EXPECT_EQ(client.FullName(), c.expected);
    }
}

TEST_F(ClientTree, IsChildWalksUpThroughEveryAncestor) {
    Add(3, none);
    Add(4, Variant(3));
    Add(7, Variant(int16_t(4)));
    ASSERT_EQ(C(7)->Parent(), C(4));
    struct Case {
        int32_t child, parent;
        bool expected;
    } cases[] = {{5, 5, true},  {7, 3, true},   {7, 4, true},   {3, 7, false},
                 {4, 7, false}, {7, 99, false}, {99, 3, false}, {3, 3, true}};
    for (const auto& c : cases)
        EXPECT_EQ(clients.isChild(c.child, c.parent), c.expected) << c.child << " " << c.parent;
}

TEST_F(ClientTree, AddStoresValuesAndRefusesAnIdPresentWithoutSideEffects) {
    auto parent = Add(3, none);
    auto first = clients.Add(4, "", Variant(3), OFFICE_TYPE, true, MARGIN_LEVEL_LIQUIDATION, 0.5,
                             "F", "S", "T", "L", "bob", symbols, generals, 1);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->Parent(), parent);
    EXPECT_EQ(first->ParentID(), Variant(3));
    EXPECT_EQ(first->ClientType(), OFFICE_TYPE);
    EXPECT_TRUE(first->EnableInterest());
    EXPECT_EQ(first->LiquidationType(), MARGIN_LEVEL_LIQUIDATION);
    EXPECT_EQ(first->LiquidationPoint(), 0.5);
    EXPECT_EQ(first->FullName(), "F S T L");
    EXPECT_EQ(first->Username(), "bob");

    EXPECT_FALSE(Add(4, Variant(3), "10,2,1,0,0,5,50,0.5", "Other"));
    EXPECT_EQ(clients.Count(), 2);
    EXPECT_EQ(parent->ChildrenClients()->Count(), 1);
    EXPECT_TRUE(Lists(3, 4));
    EXPECT_EQ(C(4), first);
    EXPECT_EQ(first->Params()->Count(), 0);

    EXPECT_EQ(clients.Item(1), parent);
    EXPECT_EQ(clients.Item("3"), parent);
    EXPECT_FALSE(clients.Item(3));
}

TEST_F(ClientTree, ChildrenAddedFirstAreLinkedLater) {
    auto child = Add(10, Variant(20));
    EXPECT_FALSE(child->Parent());
    auto parent = Add(20, none);
    EXPECT_FALSE(child->Parent());
    clients.SetClientsParents();
    EXPECT_EQ(child->Parent(), parent);
    EXPECT_TRUE(Lists(20, 10));
    EXPECT_TRUE(clients.isChild(10, 20));
}

TEST_F(ClientTree, ParentLinksThatWouldCloseARingAreRefused) {
    // 1 names 2 and 2 names 1; 2 is linked when it is added.
    Add(1, Variant(2));
    Add(2, Variant(1));
    Add(5, Variant(5));  // its own parent
    clients.SetClientsParents();
    EXPECT_EQ(clients.Count(), 3);
    EXPECT_FALSE(C(1)->Parent());
    EXPECT_EQ(C(2)->Parent(), C(1));
    EXPECT_FALSE(C(5)->Parent());
    EXPECT_EQ(C(5)->ChildrenClients()->Count(), 0);
    EXPECT_FALSE(clients.isChild(1, 2));

    // Moving 1 under its own child is refused as a whole.
    clients.ClientParentChanged(1, 2);
    EXPECT_FALSE(C(1)->Parent());
    EXPECT_EQ(C(1)->ParentID(), Variant(2));
    EXPECT_EQ(C(2)->ChildrenClients()->Count(), 0);
    EXPECT_TRUE(Lists(1, 2));
    clients.ClientParentChanged(5, 5);
    EXPECT_FALSE(C(5)->Parent());
}

TEST_F(ClientTree, WalksEndEvenOverARingMadeByHand) {
    Add(1, none);
    Add(2, none);
    C(1)->setParent(C(2));
    C(2)->setParent(C(1));
    EXPECT_FALSE(clients.isChild(1, 42));
    EXPECT_TRUE(clients.isChild(1, 2));
    Add(3, none);
    clients.ClientParentChanged(3, 1);  // under a ring: refused
    EXPECT_FALSE(C(3)->Parent());
}

TEST_F(ClientTree, ClientParentChangedMovesBetweenChildLists) {
    Add(3, none);
    Add(4, Variant(3));
    Add(7, Variant(4));
    clients.ClientParentChanged(7, 3);
    EXPECT_EQ(C(7)->Parent(), C(3));
    EXPECT_EQ(C(7)->ParentID(), Variant(3));
    EXPECT_FALSE(Lists(4, 7));
    EXPECT_TRUE(Lists(3, 7));
    EXPECT_TRUE(Lists(3, 4));

    // A parent not known: the client stands alone until that parent comes.
    clients.ClientParentChanged(7, 99);
    EXPECT_FALSE(C(7)->Parent());
    EXPECT_EQ(C(7)->ParentID(), Variant(99));
    EXPECT_FALSE(Lists(3, 7));
    Add(99, none);
    clients.SetClientsParents();
    EXPECT_TRUE(Lists(99, 7));

    clients.ClientParentChanged(12345, 3);  // no such client: nothing
    EXPECT_EQ(C(3)->ChildrenClients()->Count(), 1);
}

TEST_F(ClientTree, SetClientsParentsTakesAMovedClientOffItsOldList) {
    Add(3, none);
    Add(8, none);
    Add(4, Variant(3));
    C(4)->setParentID(Variant(8));
    clients.SetClientsParents();
    EXPECT_EQ(C(4)->Parent(), C(8));
    EXPECT_TRUE(Lists(8, 4));
    EXPECT_FALSE(Lists(3, 4));
}

TEST_F(ClientTree, RemoveLeavesNoLinkToTheRemovedClient) {
    Add(3, none);
    auto four = Add(4, Variant(3));
    Add(7, Variant(4));
    EXPECT_FALSE(clients.Remove("999"));
    EXPECT_FALSE(clients.Remove(9));
    EXPECT_TRUE(clients.Remove("4"));
    EXPECT_EQ(clients.Count(), 2);
    EXPECT_EQ(C(3)->ChildrenClients()->Count(), 0);
    EXPECT_FALSE(C(7)->Parent());
    EXPECT_EQ(C(7)->ParentID(), Variant(4));
    EXPECT_FALSE(clients.isChild(7, 3));
    EXPECT_EQ(four->ClientID(), 4);  // released: fields readable, references gone
    EXPECT_FALSE(four->Accounts());
}

TEST_F(ClientTree, LookupsByNameAndAccount) {
    auto ann = Add(3, none, "", "  Ann ");
    auto bob = Add(4, none);
    bob->setUsername("ALICE");
    EXPECT_EQ(clients.ClientByUserName(" alice "), bob);
    EXPECT_EQ(clients.ClientByName("ANN"), ann);
    EXPECT_FALSE(clients.ClientByName("bob"));

    auto account =
        bob->Accounts()->Add(bob, std::make_shared<CSummaries>(), 1001, 4, NormalAccountType, false,
                             false, false, false, false, false);
    EXPECT_TRUE(clients.AccountExists(1001));
    EXPECT_FALSE(clients.AccountExists(1002));
    EXPECT_EQ(clients.AccountByAccountID(1001), account);
    EXPECT_EQ(clients.Account(4, 1001), account);
    EXPECT_FALSE(clients.Account(3, 1001));
    EXPECT_FALSE(clients.Account(9, 1001));
}

TEST_F(ClientTree, ParametersFromTheServerSurviveInitialisation) {
    auto c = Add(3, none, "10,2,1,0,0,5,50,0.5");
    ASSERT_TRUE(c);
    auto p10 = c->SymbolParam(10);
    ASSERT_TRUE(p10);
    EXPECT_EQ(p10->Spread(), Variant("2"));
    EXPECT_EQ(p10->Commission(), 5);
    EXPECT_FALSE(c->SymbolParam(11));

    clients.InitializeParams(symbols, 1);
    EXPECT_EQ(c->SymbolParam(10), p10);
    EXPECT_EQ(p10->MaxLots(), 50);
    EXPECT_EQ(p10->MinLots(), 0.5);
    auto p11 = c->SymbolParam(11);
    ASSERT_TRUE(p11);
    EXPECT_EQ(p11->MaxLots(), 100);
    EXPECT_EQ(p11->MinLots(), 1);
    EXPECT_TRUE(p11->Spread().IsNull());
    EXPECT_EQ(p11->Parent(), p10);  // 11's reference symbol is 10
    EXPECT_FALSE(c->SymbolParam(99));

    // A later list overwrites what is there and skips unknown symbols.
    c->RefreshClientParams("10,4,0,0,0,6,60,1,99,1,1,1,1,1,1,1", symbols, generals, false, 1);
    EXPECT_EQ(c->SymbolParam(10), p10);
    EXPECT_EQ(p10->Commission(), 6);
    EXPECT_EQ(c->Params()->Count(), 2);
}

TEST_F(ClientTree, AParameterListThatCannotBeAppliedAddsNoClient) {
    Add(3, none);
    EXPECT_FALSE(Add(4, Variant(3), "10,2,1,0,0,5,50,0.5,10,3,1,0,0,5,50,0.5"));
    EXPECT_FALSE(Add(5, Variant(3), "10,2,1"));
    EXPECT_EQ(clients.Count(), 1);
    EXPECT_EQ(C(3)->ChildrenClients()->Count(), 0);

    auto c = Add(6, none);
    EXPECT_EQ(ErrorOf([&] {
                  c->RefreshClientParams("10,2,1,0,0,5,50,0.5,10,3,1,0,0,5,50,0.5", symbols,
                                         generals, true, 1);
              }),
              runtime::errc::ObjectVariableNotSet);
}

TEST_F(ClientTree, RefreshSymbolsRepointsAlertsAndParameters) {
    auto c = Add(3, none, "10,2,1,0,0,5,50,0.5");
    c->Alerts()->Add(3, 1, symbols->Item("11"), BID_GREATER, 1.2);

    auto fresh = std::make_shared<CSymbols>();
    for (int32_t id : {10, 11}) fresh->AddByObject(MakeSymbol(id, -4, 1.2, 1.2002));
    c->RefreshSymbols(fresh);
    EXPECT_EQ(c->Alerts()->Item("1")->Symbol(), fresh->Item("11"));
    EXPECT_EQ(c->SymbolParam(10)->Symbol(), fresh->Item("10"));

    auto lacking = std::make_shared<CSymbols>();
    lacking->AddByObject(MakeSymbol(10, -4, 1.3, 1.3));
    EXPECT_EQ(ErrorOf([&] { c->RefreshSymbols(lacking); }), runtime::errc::ObjectVariableNotSet);
    EXPECT_EQ(c->SymbolParam(10)->Symbol(), fresh->Item("10"));
}

}  // namespace
