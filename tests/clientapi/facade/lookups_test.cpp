#include <gtest/gtest.h>

#include "general/model/CAccountsTransactions.h"
#include "general/model/CGlobalVar.h"
#include "manager_fixture.h"
#include "tests/support/ErrorNumber.h"

namespace {

using namespace managerfixture;
using testsupport::ErrorNumberOf;

// The version rule compares weighted sums (release x 100 + version x 10 +
// patch); an outdated library shows the required version and disconnects,
// and quote buffers stay off. A malformed list raises after ReadOnlyLogin.
TEST(Variables, VersionRule) {
    struct Case {
        const char* versions;
        int16_t rel, ver, pat;
        int32_t error;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"10,2,3", 10, 2, 3, 0, ""},
        {"10,2,4", 10, 2, 3, 0, "You have to use Orbanex API version 10.2.4 or more"},
        {"9,9,9", 10, 0, 0, 0, ""},
        {"10,1,13", 10, 2, 3, 0, ""},
        {"10,2", 10, 2, 3, 9, ""},
        {"10,x,3", 10, 2, 3, 13, ""},
        {"400,0,0", 10, 2, 3, 6, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.versions);
        Session s;
        auto vars = std::make_shared<og::CGlobalVar>();
        const int32_t error = ErrorNumberOf([&] {
            s.manager->VariablesRecieved(vars, "", "09:59:59", c.versions, c.rel, c.ver, c.pat, 2.5,
                                         3, 77, true);
        });
        EXPECT_EQ(error, c.error);
        EXPECT_TRUE(s.manager->ReadOnlyLogin());
        const bool applied = error == 0 && c.message.empty();
        EXPECT_EQ(s.messages, c.message.empty() ? Names{} : Names{c.message});
        EXPECT_EQ(s.symbols->GWPricesStep(), applied ? 3 : 0);
        EXPECT_EQ(s.symbols->LastTickTime(), applied ? "09:59:59" : "00:00:00");
        EXPECT_EQ(s.manager->GMTOffset(), error ? 0 : 2.5);
        EXPECT_EQ(s.manager->FirstWhiteLabel(), error ? 0 : 77);
        if (!c.message.empty()) {
            EXPECT_EQ(s.client->LoginUser(), -200);
        }
    }
}

// Symbol lookups hand out new views (client variants over the selected
// client's parameters, only for symbols in use); the account lookups
// re-point one shared view; misses are nothing or -1.
TEST(Lookups, SymbolsClientsAccountsAndParameters) {
    Session s;
    s.manager->PrivsRecieved("", 42, "CLIENT");
    s.manager->SymbolsRecieved(
        false,
        testsupport::Table({SymbolRow("1", "USD", "1", "1"), SymbolRow("2", "EURUSD"),
                            SymbolRow("4", "OLD", "2", "2.1", "0")}),
        3, 34);
    EXPECT_EQ(s.manager->SymbolByID(2), nullptr);  // no selection yet
    s.Answer(&api::CAccountsManager::ClientsRecieved, {ClientRow(7, "ann"), ClientRow(8, "bob")});
    s.Answer(&api::CAccountsManager::AccountsRecieved,
             {AccountRow(7, 70), AccountRow(7, 71), AccountRow(8, 80)});
    api::CAccountsManager& m = *s.manager;

    auto a = m.SymbolByID(2), b = m.SymbolByID(2);
    ASSERT_TRUE(a && b);
    EXPECT_NE(a, b);
    EXPECT_EQ(b->ID(), 2);
    EXPECT_EQ(m.SymbolByIndex(2)->ID(), 2);
    EXPECT_EQ(m.SymbolByIndex(0), nullptr);
    EXPECT_EQ(m.SymbolByName("EURUSD")->ID(), 2);
    EXPECT_EQ(m.SymbolByName("eurusd"), nullptr);
    EXPECT_EQ(m.SymbolByNameBO("eurusd")->RefSymbolID(), 1);
    EXPECT_EQ(m.SymbolByID(4), nullptr);
    EXPECT_EQ(m.SymbolByIDBO(4), nullptr);
    EXPECT_EQ(m.ClientSymbol(4, 80)->ID(), 4);
    EXPECT_EQ(m.ClientSymbol(4, 999), nullptr);

    EXPECT_EQ(m.ClientID(" Ann "), 7);
    EXPECT_EQ(m.ClientID("zed"), -1);
    EXPECT_EQ(m.ClientsCount(), 2);
    EXPECT_EQ(m.ClientByIndex(2)->ClientID(), 8);
    EXPECT_EQ(m.ClientByIndex(0), nullptr);
    EXPECT_EQ(m.ClientByID(7)->FirstName(), "Ann");
    EXPECT_EQ(m.ClientByID(9), nullptr);
    EXPECT_EQ(m.AccountsCount(7), 2);
    EXPECT_EQ(m.AccountsCount(9), -1);
    auto first = m.AccountByID(70);
    EXPECT_EQ(m.AccountByID(80), first);
    EXPECT_EQ(first->AccountID(), 80);
    EXPECT_EQ(m.AccountByIndex(7, 2)->AccountID(), 71);
    EXPECT_EQ(m.AccountByIndex(7, 3), nullptr);
    EXPECT_EQ(m.AccountByID(999), nullptr);

    m.CompDataResultReceived(0, 7, 70, 0, "", false, false, "2,,0,5,6,0.5,100,0.2");
    EXPECT_EQ(m.MinimumAmount(2), 0.2);
    EXPECT_EQ(m.MaximumAmount(2), 100);
    EXPECT_EQ(m.Commission(2), 0.5);
    EXPECT_EQ(m.LimitOffset(2), 5);
    EXPECT_EQ(m.StopOffset(2), 6);
    EXPECT_TRUE(m.Spread(2).IsNull());
    EXPECT_EQ(m.Spread(99), runtime::Variant(int16_t{-1}));
    EXPECT_EQ(m.MinimumAmount(99), -1);

    m.Reset();
    EXPECT_EQ(m.AccountByID(-1)->AccountID(), -1);
    EXPECT_EQ(m.MinimumAmount(2), -1);
    EXPECT_EQ(m.Spread(2), runtime::Variant(int16_t{-1}));
    EXPECT_EQ(m.OpenPositionsCount(), -1);
    EXPECT_EQ(m.OrdersCount(), -1);
    EXPECT_EQ(m.OpenPositionByIndex(1), nullptr);
    EXPECT_EQ(m.OrderByID(1), nullptr);
}

}  // namespace
