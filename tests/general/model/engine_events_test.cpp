// The engine's events as the client API sees them: set-up, accounts, quotes
// in client-side execution, summary rows, deletes and unloading.
#include <gtest/gtest.h>

#include <functional>

#include "engine_fixture.h"

namespace {

using namespace enginefixture;
using Names = std::vector<std::string>;

TEST(EngineEvents, InitialisingRaisesParametersChangedForEachMode) {
    auto engine = std::make_shared<CAccountsTransactions>();
    Recorder ev;
    ev.Attach(*engine);
    engine->InitializeNeededData(std::make_shared<CSymbols>(), CLIENT_SIDE_EXECUTION, ON_CLOSE_TYPE,
                                 3);
    ASSERT_EQ(ev.parameters.size(), 2u);
    EXPECT_EQ(ev.parameters[0], (std::vector<double>{0, 2, 0}));
    EXPECT_EQ(ev.parameters[1], (std::vector<double>{0, 2, 3}));
    EXPECT_EQ(engine->ExecutionSide(), CLIENT_SIDE_EXECUTION);
}

TEST(EngineEvents, AddingAnAccountReportsCountThenFirstFigures) {
    struct Case {
        bool loading;
        Names names;
    };
    for (const Case& c : {Case{false, {"ParametersChanged", "NewAccountSummeriesData"}},
                          Case{true, {"NewAccountSummeriesData"}}})
        for (ExecutionModeEnum mode : {CLIENT_SIDE_EXECUTION, SERVER_SIDE_EXECUTION}) {
            Desk d(mode);
            d.AddClient(7);
            d.events.Clear();
            auto account = d.AddAccount(7, 70, 2500, c.loading);
            ASSERT_TRUE(account) << c.loading;
            EXPECT_EQ(d.events.names, c.names) << c.loading;
            if (!c.loading) {
                EXPECT_EQ(d.events.parameters[0][0], 1);  // the new count
            }
            ASSERT_EQ(d.events.created.size(), 1u);
            EXPECT_EQ(d.events.created[0].client, 7);
            EXPECT_EQ(d.events.created[0].account, 70);
            EXPECT_EQ(d.events.created[0].balance, 2500);
            EXPECT_EQ(d.events.created[0].equity, 2500);
        }
}

TEST(EngineEvents, AccountRowDefaultsAndRefusals) {
    Desk d;
    d.AddClient(7);
    d.events.Clear();

    CAccountsTransactions::NewAccountArgs nulls;
    nulls.cl_no = Variant(7);
    nulls.acc_no = runtime::Null;
    nulls.accType = runtime::Null;
    nulls.demoAcc = runtime::Null;
    auto account = d.engine->AddNewAccount(nulls);
    ASSERT_TRUE(account);
    EXPECT_EQ(account->AccountID(), -1);
    EXPECT_EQ(account->AccountType(), NormalAccountType);
    EXPECT_FALSE(account->DemoAccount());

    d.events.Clear();
    EXPECT_FALSE(d.AddAccount(99, 1));  // no such client
    EXPECT_FALSE(d.AddAccount(7, -1));  // number held already
    EXPECT_TRUE(d.events.names.empty());
    EXPECT_EQ(d.engine->AccountsCount(), 1);
}

TEST(EngineEvents, ClientSideQuoteRaisesOneSummaryPerAccountHoldingTheSymbol) {
    Desk d;
    d.AddClient(7);
    d.AddAccount(7, 70);
    d.AddAccount(7, 71);
    d.AddAccount(7, 72);
    d.AddPosition(7, 70, 1, 2, 1, 1.1990);
    d.AddPosition(7, 70, 2, 2, 1, 1.1990);
    d.AddPosition(7, 70, 3, 3, 1, 1.5010, SellType);
    d.AddPosition(7, 71, 4, 2, 2, 1.2010, SellType);
    d.AddPosition(7, 72, 5, 3, 1, 1.5000);
    d.events.Clear();

    d.Quote(2, 1.2000, 1.2002);
    EXPECT_EQ(d.events.names, (Names{"UpdateListView", "UpdateListView"}));
    ASSERT_EQ(d.events.updates.size(), 2u);
    // Account 70: two buys of symbol 2 at +100 each and a sell of symbol 3
    // closed at its ask, +70: every symbol counts.
    EXPECT_EQ(d.events.updates[0].account, 70);
    EXPECT_DOUBLE_EQ(d.events.updates[0].flt, 270);
    EXPECT_DOUBLE_EQ(d.events.updates[0].equity, 1270);
    EXPECT_EQ(d.events.updates[0].open, 3);
    // Account 71: a sell of 2 lots closed at the ask 1.2002.
    EXPECT_EQ(d.events.updates[1].account, 71);
    EXPECT_DOUBLE_EQ(d.events.updates[1].flt, 160);
    EXPECT_DOUBLE_EQ(d.engine->Account(7, 71)->SummeryInfo()->FloatingProfitLoss(), 160);

    d.events.Clear();
    d.AddSymbol(4, 1, 1.0001);
    d.Quote(4, 1.1, 1.1001);  // nobody holds it
    EXPECT_TRUE(d.events.names.empty());
}

TEST(EngineEvents, PositionsWhileLoadingRaiseNothingAfterwardsOneSummary) {
    Desk d;
    d.AddClient(7);
    d.AddAccount(7, 70);
    d.events.Clear();
    d.AddPosition(7, 70, 1, 2, 1, 1.1990, BuyType, true);
    EXPECT_TRUE(d.events.names.empty());
    d.AddPosition(7, 70, 2, 2, 1, 1.1990, BuyType, false);
    EXPECT_EQ(d.events.names, (Names{"UpdateListView"}));
    EXPECT_EQ(d.events.updates[0].open, 2);
}

TEST(EngineEvents, DeletingAClientRemovesItsChildrenFirst) {
    Desk d;
    d.AddClient(1);
    d.AddClient(2, Variant(1));
    d.AddAccount(2, 21);
    d.AddAccount(2, 22);
    d.AddAccount(1, 11);
    d.AddPosition(2, 21, 5, 2, 1, 1.1990);
    d.events.Clear();

    d.engine->DeleteClient(1);
    EXPECT_EQ(d.events.removed,
              (std::vector<std::pair<int32_t, int32_t>>{{2, 21}, {2, 22}, {1, 11}}));
    EXPECT_EQ(d.engine->Clients()->Count(), 0);
    EXPECT_EQ(d.engine->AccountsCount(), 0);
    // The symbol no longer sends its quotes to the deleted account.
    d.events.Clear();
    d.Quote(2, 1.21, 1.2102);
    EXPECT_TRUE(d.events.names.empty());
}

TEST(EngineEvents, UnloadEmptiesTheModel) {
    Desk d;
    for (int32_t c : {1, 2}) {
        d.AddClient(c);
        d.AddAccount(c, c * 10);
    }
    d.events.Clear();
    d.engine->Unload();
    EXPECT_EQ(d.events.names, (Names{"DeleteFromListView", "DeleteFromListView"}));
    EXPECT_EQ(d.engine->AccountsCount(), 0);
}

TEST(EngineEvents, HandlersMayDeleteOtherClientsWhileUnloading) {
    Desk d;
    for (int32_t c : {1, 2, 3}) {
        d.AddClient(c);
        d.AddAccount(c, c * 10);
        d.AddAccount(c, c * 10 + 1);
    }
    d.AddClient(4, Variant(3));
    d.AddAccount(4, 40);
    d.events.onRemoved = [&](int32_t client, int32_t) {
        if (client == 1) d.engine->DeleteClient(3);
    };
    d.engine->Unload();
    EXPECT_EQ(d.engine->Clients()->Count(), 0);
    EXPECT_EQ(d.events.removed.size(), 7u);
}

TEST(EngineEvents, ModeSettersReportTheAccountCount) {
    Desk d;
    d.AddClient(7);
    d.AddAccount(7, 70);
    d.events.Clear();
    d.engine->setCommCalcType(ON_CLOSE_TYPE);
    d.engine->setMarginReqType(4);
    EXPECT_EQ(d.events.parameters, (std::vector<std::vector<double>>{{1, 2, 1}, {1, 2, 4}}));
}

TEST(EngineEvents, OneClientParameterTable) {
    struct Case {
        int16_t type;
        const char* value;
        bool interest;
        int32_t liqType;
        double point;
    };
    const Case cases[] = {
        {EnableInterestType, "1", true, 1, 0},
        {EnableInterestType, "0", false, 1, 0},
        {EnableInterestType, "2", false, 1, 0},
        {LiquidationTypeType, "2", false, 2, 0},
        {LiquidationTypeType, "1.5", false, 2, 0},
        {LiquidationPointType, "35.5", false, 1, 35.5},
        {101, "9", false, 1, 0},  // other types are ignored
    };
    for (const Case& c : cases) {
        Desk d;
        auto client = d.AddClient(7);
        d.engine->ClientOneParameterChanged(7, 2, c.type, c.value);
        EXPECT_EQ(client->EnableInterest(), c.interest) << c.type << " " << c.value;
        EXPECT_EQ(client->LiquidationType(), c.liqType) << c.type << " " << c.value;
        EXPECT_EQ(client->LiquidationPoint(), c.point) << c.type << " " << c.value;
    }
    Desk d;
    d.AddClient(7);
    EXPECT_EQ(ErrorOf([&] { d.engine->ClientOneParameterChanged(7, 2, EnableInterestType, "x"); }),
              runtime::errc::TypeMismatch);
    EXPECT_EQ(ErrorOf([&] { d.engine->ClientOneParameterChanged(8, 2, EnableInterestType, "x"); }),
              0);
}

TEST(EngineEvents, JustAccountsModeIgnoresParametersPositionsAndOrders) {
    Desk d;
    auto client = d.AddClient(7);
    d.AddAccount(7, 70);
    d.engine->setJustAccounts(true);
    d.engine->ClientParametersChanged(7, "2,5,0,0,0,0,100,1", 1);
    EXPECT_TRUE(client->SymbolParam(2)->Spread().IsNull());
    d.engine->ClientOneParameterChanged(7, 2, EnableInterestType, "1");
    EXPECT_FALSE(client->EnableInterest());
    CGenerals g;
    const std::string row =
        g.PosRowString(7, 70, 9, "t", 1, 1.0, 2, 1.1, "", "", 0, 1.0, "S2", 0.0, "", "");
    EXPECT_FALSE(d.engine->DefineOpenPosRow(7, 70, 9, row));
    EXPECT_EQ(d.engine->Account(7, 70)->OpenPositions()->Count(), 0);

    d.engine->setJustAccounts(false);
    d.engine->ClientParametersChanged(7, "2,5,0,0,0,0,100,1", 1);
    EXPECT_EQ(client->SymbolParam(2)->Spread().ToDouble(), 5);
}

TEST(EngineEvents, SummaryRowsFindTheirAccountByLeadingNumbers) {
    Desk d;
    d.AddClient(12);
    auto account = d.AddAccount(12, 8);
    d.events.Clear();
    d.engine->UpdateAccountSummaries(Variant("12"), Variant(7.5), Variant(-5.0), Variant(-200.0),
                                     Variant(50.0), Variant(1000.0), Variant(30.0), Variant(10.0),
                                     true, Variant(-1.0));
    EXPECT_EQ(d.events.names, (Names{"UpdateListView"}));
    const CSummaries& s = *account->SummeryInfo();
    EXPECT_EQ(s.TotalCommission(), -5);
    EXPECT_EQ(s.MarginRequirement(), -200);
    EXPECT_EQ(s.NetProfit(), 50);
    EXPECT_EQ(s.TotalDeposit(), 1000);
    EXPECT_EQ(s.credit(), 30);
    EXPECT_EQ(s.PreviousMargin(), 10);
    EXPECT_EQ(s.TotalInterest(), -1);
    EXPECT_TRUE(account->LockLiquidate());
    EXPECT_DOUBLE_EQ(d.events.updates[0].balance, 1054);

    d.events.Clear();
    d.engine->UpdateAccountSummaries(Variant("12"), Variant(9), 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, false,
                                     0.0);
    EXPECT_TRUE(d.events.names.empty());
}

TEST(EngineEvents, RefreshListViewReportsEveryAccountInOrder) {
    Desk d;
    d.engine->RefreshListView();
    EXPECT_TRUE(d.events.names.empty());
    d.AddClient(1);
    d.AddClient(2);
    d.AddAccount(2, 21);
    d.AddAccount(1, 11);
    d.AddAccount(1, 12);
    d.events.Clear();
    // A handler deleting a later account does not make the walk follow it.
    d.events.onUpdate = [&](const Summary& s) {
        if (s.account == 11) d.engine->DeleteAccount(1, 12);
    };
    d.engine->RefreshListView();
    ASSERT_EQ(d.events.updates.size(), 2u);
    EXPECT_EQ(d.events.updates[0].account, 11);
    EXPECT_EQ(d.events.updates[1].account, 21);
}

// A quote revalues only what changed, yet after any change of a position, its
// parameters, a symbol's settings or prices, or the commission mode, made
// outside the quote path, the figure the next quote raises is the sum made anew.
TEST(EngineEvents, AQuoteAfterAnyChangeRaisesTheSumMadeAnew) {
    Desk d;
    auto converted = Desk::SymbolArgs(4, 0.9000, 0.9003);
    converted.RefSymbolID = Variant(int32_t{3});
    d.engine->NewSymbol(converted);
    d.symbols->SetSymbolsRefSymbols();
    const auto client = d.AddClient(7);
    const auto account = d.AddAccount(7, 70);
    d.AddPosition(7, 70, 1, 2, 1, 1.1990);
    const auto sold = d.AddPosition(7, 70, 2, 3, 2, 1.5010, SellType);
    const auto bought = d.AddPosition(7, 70, 3, 4, 1, 0.8990);
    const auto param = [&](int32_t id) { return client->Params()->Item(std::to_string(id)); };
    const auto sum = [&] {
        return account->OpenPositions()->TotalFloatingProfitLoss(d.engine->CommCalcType());
    };
    const struct {
        const char* change;
        std::function<void()> apply;
    } kChanges[] = {
        {"reference symbol's price", [&] { d.Symbol(3)->setBid(1.5100); }},
        {"lots", [&] { sold->setLots(3); }},
        {"open price", [&] { sold->setPrice(1.4990); }},
        {"side", [&] { bought->setType_no(SellType); }},
        {"commission mode", [&] { d.engine->setCommCalcType(ON_CLOSE_TYPE); }},
        {"commission", [&] { param(3)->setCommission(6); }},
        {"interest", [&] { bought->setInterest(12.5); }},
        {"source plus", [&] { param(3)->setSourcePlus(3); }},
        {"client spread", [&] { param(3)->setSpread(Variant(5)); }},
        {"symbol's offset", [&] { d.Symbol(3)->setPriceOffset(2); }},
        {"symbol's factor", [&] { d.Symbol(4)->setFactor(50000); }},
        {"position closed", [&] { d.engine->DeleteOpenPosition(7, 70, Variant(2)); }},
        {"position added", [&] { d.AddPosition(7, 70, 4, 3, 1, 1.4000); }},
    };
    param(3)->setCommission(4);  // counts only once the mode charges on close
    double bid = 1.2000;
    d.Quote(2, bid, bid + 0.0002);
    for (const auto& c : kChanges) {
        SCOPED_TRACE(c.change);
        const double before = sum();
        c.apply();
        EXPECT_NE(sum(), before);  // the change counts
        bid += 0.0001;
        d.events.Clear();
        d.Quote(2, bid, bid + 0.0002);
        ASSERT_EQ(d.events.updates.size(), 1u);
        EXPECT_EQ(d.events.updates[0].flt, sum());
    }
}

// The accounts a quote reaches and the account a number finds follow every
// change of who is listed made since the last quote or look-up.
TEST(EngineEvents, QuotesAndLookupsFollowTheAccountsListedSinceTheLast) {
    Desk d;
    d.AddClient(7);
    d.AddClient(8);
    d.AddAccount(7, 70);
    d.AddPosition(7, 70, 1, 2, 1, 1.1990);
    const auto reached = [&] {
        d.events.Clear();
        d.Quote(2, 1.2000, 1.2002);
        std::vector<int32_t> accounts;
        for (const Summary& s : d.events.updates) accounts.push_back(s.account);
        return accounts;
    };
    const auto clientOf = [&](int32_t account) {
        const auto found = d.engine->AccountByAccountID(account);
        return found ? found->ClientID() : 0;
    };
    using Accounts = std::vector<int32_t>;
    EXPECT_EQ(reached(), Accounts{70});
    EXPECT_EQ(clientOf(70), 7);

    d.AddAccount(8, 80);
    d.AddPosition(8, 80, 2, 2, 1, 1.2000);
    EXPECT_EQ(reached(), (Accounts{70, 80}));
    d.engine->DeleteAccount(7, 70);
    EXPECT_EQ(reached(), Accounts{80});
    EXPECT_EQ(clientOf(70), 0);
    d.AddAccount(8, 70);  // the number again, under another client
    EXPECT_EQ(clientOf(70), 8);
    d.AddPosition(8, 70, 3, 2, 1, 1.2000);
    EXPECT_EQ(reached(), (Accounts{80, 70}));
    d.engine->DeleteOpenPosition(8, 80, Variant(2));
    EXPECT_EQ(reached(), Accounts{70});
    d.engine->DeleteClient(8);
    EXPECT_EQ(reached(), Accounts{});
    EXPECT_EQ(clientOf(70), 0);
}

}  // namespace
