// Positions, orders and alerts from rows; refusals that change nothing;
// deleted symbols; accounts that cannot be valued; handlers that change the
// model under a walk; the valuation against the positions' own; teardown.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "engine_fixture.h"
#include "general/common/MGenerals.h"
#include "general/model/CAccountRefs.h"
#include "general/model/CAccountsTransactions_internal.h"
#include "general/model/CAlerts.h"
#include "general/model/CClientParams.h"
#include "general/model/CClientRefs.h"
#include "general/model/CCurAccount.h"
#include "general/model/CSymbolTradingTimes.h"
#include "runtime/Convert.h"

namespace {

using namespace enginefixture;
using Names = std::vector<std::string>;

std::string PosRow(int32_t ticket, double lots, int32_t symbol, double price,
                   OperationTypeEnum side = BuyType, double interest = 0) {
    CGenerals g;
    return g.PosRowString(99, 99, ticket, "09/12/2026 10:00:00", int32_t{side}, lots, symbol, price,
                          "", "", 0, lots, "S", interest, "", "");
}

std::string OrderRow(int32_t id, const char* kind, int32_t symbol, double price, int32_t status = 0,
                     int32_t ticket = 0) {
    CGenerals g;
    return g.OrderRowString(id, "09/12/2026 10:00:00", 1, 1.0, symbol, price, kind, ticket, 1.1,
                            1.3, status, "");
}

std::shared_ptr<CCurAccount> Cur(Desk& d, int32_t symbol) {
    return std::dynamic_pointer_cast<CCurAccount>(d.Symbol(symbol)->Ref1());
}

struct RowDesk : Desk {
    RowDesk() {
        AddClient(7);
        AddAccount(7, 70);
        events.Clear();
    }
    std::shared_ptr<CAccount> account() { return engine->Account(7, 70); }
    int32_t positions() { return account()->OpenPositions()->Count(); }
    int32_t orders() { return account()->Orders()->Count(); }
};

TEST(EngineRows, PositionRows) {
    RowDesk d;
    // A new position takes the row's ticket, whatever the caller passes.
    auto added = d.engine->DefineOpenPosRow(7, 70, -1, PosRow(5, 1, 2, 1.19903));
    ASSERT_TRUE(added);
    EXPECT_EQ(added->Ticket(), 5);
    EXPECT_DOUBLE_EQ(added->Price(), 1.1990);
    EXPECT_EQ(d.events.names, (Names{"UpdateListView"}));
    EXPECT_EQ(Cur(d, 2)->AccountsHavePositions()->Count(), 1);

    // A held ticket is updated: lots, price, side and interest.
    d.events.Clear();
    auto held = d.engine->DefineOpenPosRow(7, 70, 5, PosRow(5, 2.5, 3, 1.1, SellType, 4));
    EXPECT_EQ(held, added);
    EXPECT_EQ(held->lots(), 2.5);
    EXPECT_DOUBLE_EQ(held->Price(), 1.1);
    EXPECT_EQ(held->Type_no(), SellType);
    EXPECT_EQ(held->Interest(), 4);
    EXPECT_EQ(held->SymbolParam()->Symbol()->ID(), 2);  // keeps its symbol
    EXPECT_EQ(d.events.names, (Names{"UpdateListView"}));

    // No lots for a ticket not held: nothing.
    d.events.Clear();
    EXPECT_FALSE(d.engine->DefineOpenPosRow(7, 70, 6, PosRow(6, 0, 2, 1.1)));
    EXPECT_EQ(d.positions(), 1);
    EXPECT_TRUE(d.events.names.empty());

    // No lots for a held ticket closes it, and the caller is told it is gone.
    EXPECT_FALSE(d.engine->DefineOpenPosRow(7, 70, 5, PosRow(5, 0, 2, 1.1)));
    EXPECT_EQ(d.positions(), 0);
    EXPECT_EQ(Cur(d, 2)->AccountsHavePositions()->Count(), 0);

    // An unknown account: nothing.
    EXPECT_FALSE(d.engine->DefineOpenPosRow(7, 71, 5, PosRow(5, 1, 2, 1.1)));
}

TEST(EngineRows, AnEmptyRowDeletesThePositionWithItsOrders) {
    RowDesk d;
    d.AddPosition(7, 70, 5, 2, 1, 1.2);
    d.AddPosition(7, 70, 6, 2, 1, 1.2);
    d.AddOrder(7, 70, 51, SlTpType, SellType, 2, 0, 1.1, 1.3, 0, 5);
    d.AddOrder(7, 70, 52, SlTpType, SellType, 2, 0, 1.1, 1.3, 0, 5);
    d.AddOrder(7, 70, 61, SlTpType, SellType, 3, 0, 1.1, 1.3, 0, 6);
    d.account()->setLockLiquidate(true);
    EXPECT_FALSE(d.engine->DefineOpenPosRow(7, 70, 5, ""));
    EXPECT_EQ(d.positions(), 1);
    EXPECT_EQ(d.orders(), 1);
    EXPECT_FALSE(d.account()->LockLiquidate());
    EXPECT_EQ(Cur(d, 2)->AccountsHavePositions()->Count(), 1);  // ticket 6 is still there
    EXPECT_EQ(Cur(d, 2)->AccountsHaveOrders()->Count(), 0);
    EXPECT_EQ(Cur(d, 3)->AccountsHaveOrders()->Count(), 1);
}

TEST(EngineRows, ClosingPartOfAPosition) {
    RowDesk d;
    d.AddPosition(7, 70, 5, 2, 1.0, 1.2);
    d.engine->ClosePosition(7, 70, 5, 0.4);
    EXPECT_DOUBLE_EQ(d.account()->OpenPositions()->Item("5")->lots(), 0.6);
    EXPECT_TRUE(d.events.names.empty());
    d.engine->ClosePosition(7, 70, 5, 1.0);
    EXPECT_EQ(d.positions(), 0);
    EXPECT_EQ(d.events.names, (Names{"UpdateListView"}));
}

TEST(EngineRows, UpdatingPositions) {
    RowDesk d;
    d.AddPosition(7, 70, 5, 2, 1.0, 1.2);
    EXPECT_EQ(ErrorOf([&] {
                  d.engine->UpdateOpenPosition(7, 70, Variant(9), 1, 1.2, BuyType, 2, 0, "");
              }),
              runtime::errc::ObjectVariableNotSet);
    d.engine->UpdateOpenPosition(7, 70, Variant(9), 0, 1.2, BuyType, 2, 0, "");  // nothing held
    EXPECT_EQ(d.events.names, (Names{"UpdateListView"}));
    d.events.Clear();
    d.engine->UpdateOpenPosition(7, 70, Variant(5), 0, 1.2, BuyType, 2, 0, "");
    EXPECT_EQ(d.positions(), 0);
    // The delete's summary, then the update's own.
    EXPECT_EQ(d.events.names, (Names{"UpdateListView", "UpdateListView"}));
}

TEST(EngineRows, CloseAllPositionsSurvivesHandlersThatCloseOthers) {
    RowDesk d;
    for (int32_t t = 1; t <= 4; ++t) d.AddPosition(7, 70, t, 2, 1, 1.2);
    d.events.onUpdate = [&](const Summary&) { d.engine->DeleteOpenPosition(7, 70, Variant(3)); };
    d.engine->CloseAllPositions(7, 70);
    EXPECT_EQ(d.positions(), 0);
    EXPECT_EQ(ErrorOf([&] { d.engine->CloseAllPositions(8, 70); }),
              runtime::errc::ObjectVariableNotSet);
    EXPECT_EQ(ErrorOf([&] { d.engine->CloseAllPositions(7, 71); }),
              runtime::errc::ObjectVariableNotSet);
}

TEST(EngineRows, OrderRows) {
    RowDesk d;
    auto entry = d.engine->DefineOrder(7, 70, OrderRow(11, "LO", 2, 1.25, 1));
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->OrderType(), LimitOrdersType);
    EXPECT_EQ(entry->Status(), 0);  // armed again whatever the row said
    EXPECT_DOUBLE_EQ(entry->LimitPrice(), 1.25);
    EXPECT_TRUE(d.events.hits.empty());
    auto stop = d.engine->DefineOrder(7, 70, OrderRow(12, "lo", 2, 1.25, 0, 5));
    EXPECT_EQ(stop->OrderType(), SlTpType);
    EXPECT_EQ(stop->IoID(), 5);
    // The same number again replaces the order.
    auto again = d.engine->DefineOrder(7, 70, OrderRow(11, "LO", 3, 1.5));
    EXPECT_NE(again, entry);
    EXPECT_EQ(d.orders(), 2);
    EXPECT_EQ(d.account()->Orders()->Item("11")->SymbolParam()->Symbol()->ID(), 3);
    EXPECT_EQ(Cur(d, 3)->AccountsHaveOrders()->Count(), 1);
    EXPECT_EQ(Cur(d, 2)->AccountsHaveOrders()->Count(), 1);  // order 12 is still there

    EXPECT_EQ(d.engine->DeleteOrder(7, 70, 12), stop);
    EXPECT_EQ(Cur(d, 2)->AccountsHaveOrders()->Count(), 0);
    EXPECT_FALSE(d.engine->DeleteOrder(7, 70, 12));
}

TEST(EngineRows, AlertsAreReplacedArmed) {
    RowDesk d;
    d.engine->AddNewAlert(7, 1, 2, BID_GREATER, 1.3, SMSAlertType, false);
    d.engine->UpdateAlert(1, 7, 3, ASK_LESS, 1.4);
    auto client = d.engine->Clients()->Item("7");
    ASSERT_EQ(client->Alerts()->Count(), 1);
    EXPECT_EQ(client->Alerts()->Item("1")->AlertCondition(), ASK_LESS);
    EXPECT_EQ(Cur(d, 2)->ClientsHaveAlerts()->Count(), 0);
    EXPECT_EQ(Cur(d, 3)->ClientsHaveAlerts()->Count(), 1);
    d.engine->DeleteAlert(7, 1);
    EXPECT_EQ(client->Alerts()->Count(), 0);
    EXPECT_EQ(Cur(d, 3)->ClientsHaveAlerts()->Count(), 0);
}

TEST(EngineRows, UnknownSymbolsAndClientsAreRefusedWithNothingChanged) {
    RowDesk d;
    d.AddPosition(7, 70, 5, 2, 1, 1.2);
    d.AddOrder(7, 70, 11, LimitOrdersType, BuyType, 2, 1.1);
    d.engine->AddNewAlert(7, 1, 2, BID_GREATER, 1.3, SMSAlertType, true);
    d.events.Clear();
    const int32_t notSet = runtime::errc::ObjectVariableNotSet;
    const std::vector<std::function<void()>> refused = {
        [&] { d.AddPosition(7, 70, 6, 42, 1, 1.2, BuyType, false); },
        [&] { d.engine->DefineOpenPosRow(7, 70, 6, PosRow(6, 1, 42, 1.2)); },
        [&] { d.AddOrder(7, 70, 12, LimitOrdersType, BuyType, 42, 1.1); },
        [&] { d.engine->DefineOrder(7, 70, OrderRow(11, "LO", 42, 1.1)); },  // keeps the old 11
        [&] { d.engine->AddNewAlert(7, 2, 42, BID_GREATER, 1, SMSAlertType, true); },
        [&] { d.engine->UpdateAlert(1, 7, 42, BID_GREATER, 1); },  // keeps the old alert
        [&] { d.engine->AddNewAlert(8, 2, 2, BID_GREATER, 1, SMSAlertType, true); },
        [&] { d.engine->DeleteAlert(8, 1); },
    };
    for (size_t i = 0; i < refused.size(); ++i) {
        d.account()->setLockLiquidate(true);
        EXPECT_EQ(ErrorOf(refused[i]), notSet) << i;
        EXPECT_EQ(d.positions(), 1) << i;
        EXPECT_EQ(d.orders(), 1) << i;
        EXPECT_EQ(d.account()->Orders()->Item("11")->SymbolParam()->Symbol()->ID(), 2) << i;
        EXPECT_EQ(d.engine->Clients()->Item("7")->Alerts()->Item("1")->Symbol()->ID(), 2) << i;
        EXPECT_TRUE(d.account()->LockLiquidate()) << i;
        for (int32_t s : {2, 3}) {
            EXPECT_EQ(Cur(d, s)->AccountsHavePositions()->Count(), s == 2 ? 1 : 0) << i;
            EXPECT_EQ(Cur(d, s)->AccountsHaveOrders()->Count(), s == 2 ? 1 : 0) << i;
            EXPECT_EQ(Cur(d, s)->ClientsHaveAlerts()->Count(), s == 2 ? 1 : 0) << i;
        }
    }
    EXPECT_TRUE(d.events.names.empty());
    // An unknown account is no error: nothing is answered.
    EXPECT_FALSE(d.AddPosition(7, 71, 6, 42, 1, 1.2));
    EXPECT_FALSE(d.AddOrder(7, 71, 12, LimitOrdersType, BuyType, 42, 1.1));
}

TEST(EngineRows, NewSymbolRefusesNullDayTimeAndNumberCellsBeforeAdding) {
    using Args = CAccountsTransactions::NewSymbolArgs;
    const std::vector<Variant Args::*> cells = {
        &Args::OpenDay,     &Args::OpenTime,     &Args::CloseDay,
        &Args::CloseTime,   &Args::HighType,     &Args::LowType,
        &Args::PriceOffset, &Args::SpreadOffset, &Args::StopTradeSeconds};
    Desk d;
    const int32_t before = d.symbols->Count();
    for (auto cell : cells) {
        Args a = Desk::SymbolArgs(9, 1.1, 1.1002);
        a.*cell = Variant(runtime::Null);
        EXPECT_EQ(ErrorOf([&] { d.engine->NewSymbol(a); }), runtime::errc::InvalidUseOfNull);
        EXPECT_EQ(d.symbols->Count(), before);
    }
    // Null Bank and DDEItems are empty texts.
    Args a = Desk::SymbolArgs(9, 1.1, 1.1002);
    a.Bank = a.DDEItems = Variant(runtime::Null);
    EXPECT_TRUE(d.engine->NewSymbol(a));
}

TEST(EngineRows, ADeletedSymbolStaysWholeForItsHolders) {
    RowDesk d;
    auto position = d.AddPosition(7, 70, 5, 3, 1, 1.5000);
    d.AddPosition(7, 70, 6, 2, 1, 1.2000);
    auto symbol = d.Symbol(3);
    // A client API object in Ref3 that points back at the symbol: a ring.
    auto backRef = std::make_shared<CCurAccount>();
    std::weak_ptr<CCurAccount> watch = backRef;
    symbol->setRef3(backRef);
    symbol->setRef2(std::make_shared<CCurAccount>());
    backRef.reset();
    EXPECT_FALSE(d.engine->DeleteSymbol(Variant(3)));
    EXPECT_FALSE(d.symbols->Item("3"));
    EXPECT_FALSE(d.engine->Clients()->Item("7")->SymbolParam(3));
    EXPECT_EQ(position->SymbolParam()->Symbol(), symbol);
    ASSERT_TRUE(symbol->SymbolTradingTimes());
    EXPECT_FALSE(symbol->Ref1() || symbol->Ref2() || symbol->Ref3() || symbol->Ref4());
    EXPECT_TRUE(watch.expired());
    // Its positions are still valued with its last prices.
    symbol->setBid(1.5010);
    d.Quote(2, 1.2000, 1.2002);
    ASSERT_EQ(d.events.updates.size(), 1u);
    EXPECT_DOUBLE_EQ(d.events.updates[0].flt, 100);
}

TEST(EngineRows, AnAccountThatCannotBeValuedKeepsItsFiguresOthersGoOn) {
    Desk d;
    for (int32_t a : {70, 71, 72}) {
        d.AddClient(a);
        d.AddAccount(a, a);
        d.AddPosition(a, a, a, 2, 1, 1.2000);
    }
    d.Quote(2, 1.2010, 1.2012);
    // Client 71's reference parameters go: its position cannot be valued.
    d.engine->Clients()->Item("71")->SymbolParam(2)->setParent(nullptr);
    d.events.Clear();
    d.Quote(2, 1.2020, 1.2022);
    ASSERT_EQ(d.events.updates.size(), 2u);
    EXPECT_EQ(d.events.updates[0].account, 70);
    EXPECT_EQ(d.events.updates[1].account, 72);
    EXPECT_DOUBLE_EQ(d.events.updates[1].flt, 200);
    EXPECT_DOUBLE_EQ(d.engine->Account(71, 71)->SummeryInfo()->FloatingProfitLoss(), 100);
    // Outside a quote the error reaches the caller.
    EXPECT_EQ(ErrorOf([&] { d.engine->SummariesChanged(d.engine->Account(71, 71)); }),
              runtime::errc::ObjectVariableNotSet);
}

TEST(EngineRows, AHandlerMayDropTheEngineDuringAQuote) {
    Desk d;
    d.AddClient(7);
    for (int32_t a : {70, 71}) {
        d.AddAccount(7, a);
        d.AddPosition(7, a, a, 2, 1, 1.2);
    }
    std::weak_ptr<CAccountsTransactions> watch = d.engine;
    d.events.onUpdate = [&](const Summary&) { d.engine.reset(); };
    d.Quote(2, 1.21, 1.2102);
    // The quote ends on the model it started with, which then goes.
    EXPECT_EQ(d.events.updates.size(), 2u);
    EXPECT_TRUE(watch.expired());
}

TEST(EngineRows, TeardownReleasesTheWholeTree) {
    Desk d;
    d.AddClient(1);
    d.AddClient(2, Variant(1));
    d.AddAccount(2, 20);
    auto position = d.AddPosition(2, 20, 5, 2, 1, 1.2);
    auto order = d.AddOrder(2, 20, 6, LimitOrdersType, BuyType, 2, 1.1);
    d.engine->AddNewAlert(2, 7, 2, BID_GREATER, 1.3, SMSAlertType, true);
    d.Quote(2, 1.2, 1.2002);
    std::weak_ptr<CClient> parent = d.engine->Clients()->Item("1");
    std::weak_ptr<CClient> child = d.engine->Clients()->Item("2");
    std::weak_ptr<CAccount> account = d.engine->Account(2, 20);
    std::weak_ptr<CSummaries> summary = account.lock()->SummeryInfo();
    std::weak_ptr<CAlert> alert = child.lock()->Alerts()->Item("7");
    std::weak_ptr<COpenPosition> weakPosition = position;
    std::weak_ptr<COrder> weakOrder = order;
    position.reset();
    order.reset();

    d.engine.reset();
    for (bool gone : {parent.expired(), child.expired(), account.expired(), summary.expired(),
                      alert.expired(), weakPosition.expired(), weakOrder.expired()})
        EXPECT_TRUE(gone);
    // The symbols live on with the client API; their references lead nowhere.
    EXPECT_EQ(Cur(d, 2)->AccountsHavePositions()->Item("20")->Account(), nullptr);

    auto engine = std::make_shared<CAccountsTransactions>();
    engine->InitializeNeededData(d.symbols, SERVER_SIDE_EXECUTION, ON_OPEN_TYPE, 1);
    engine->DealWithChangedSymbolPrices(d.Symbol(2));
    SafeRelease(engine);
}

TEST(EngineRows, AReleasedEngineAnswersNothing) {
    Desk d;
    d.AddClient(7);
    d.AddAccount(7, 70);
    d.engine->Deallocate();
    EXPECT_FALSE(d.engine->Clients());
    EXPECT_EQ(d.engine->AccountsCount(), 0);
    EXPECT_FALSE(d.engine->Account(7, 70));
    EXPECT_FALSE(d.engine->AccountByAccountID(70));
    EXPECT_FALSE(d.AddAccount(7, 71));
    d.engine->Unload();
    d.engine->RefreshListView();
}

// The engine sums the positions exactly as they value themselves.
TEST(EngineValuation, MatchesThePositionsOwnFloatingResults) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> unit(0, 1);
    for (CommCalcTypeEnum comm : {ON_OPEN_TYPE, ON_CLOSE_TYPE}) {
        Desk d(CLIENT_SIDE_EXECUTION, comm);
        for (int32_t s = 4; s <= 9; ++s) d.AddSymbol(s, 1, 1);
        d.symbols->SetSymbolsRefSymbols();
        for (int32_t c = 1; c <= 3; ++c) {
            auto client = d.AddClient(c);
            for (int32_t s = 2; s <= 9; ++s) {
                auto param = client->SymbolParam(s);
                param->setCommission(std::floor(unit(random) * 10));
                if (unit(random) < 0.5) param->setSpread(Variant(std::floor(unit(random) * 5)));
                param->setSourcePlus(static_cast<int16_t>(unit(random) * 3));
            }
            for (int32_t a = 1; a <= 4; ++a) {
                d.AddAccount(c, c * 10 + a);
                for (int32_t t = 0; t < 12; ++t) {
                    const int32_t s = 2 + static_cast<int32_t>(unit(random) * 8);
                    d.AddPosition(c, c * 10 + a, (c * 10 + a) * 100 + t, s,
                                  std::round(unit(random) * 300) / 100,
                                  1 + std::round(unit(random) * 10000) / 10000,
                                  unit(random) < 0.5 ? BuyType : SellType, true,
                                  std::round(unit(random) * 1000) / 100 - 5);
                }
            }
        }
        for (int32_t quote = 0; quote < 40; ++quote) {
            const int32_t s = 2 + quote % 8;
            const double bid = 1 + std::round(unit(random) * 10000) / 10000;
            d.events.Clear();
            d.Quote(s, bid, bid + 0.0002);
            for (const Summary& u : d.events.updates) {
                const auto account = d.engine->Account(u.client, u.account);
                EXPECT_EQ(u.flt, account->OpenPositions()->TotalFloatingProfitLoss(comm));
            }
        }
    }
}

}  // namespace
