#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "general/common/MGenerals.h"
#include "general/model/CClientParamCl.h"
#include "general/model/CClientParamSvr.h"
#include "general/model/CClientParams.h"
#include "general/model/CSymbol.h"
#include "runtime/Error.h"

namespace {

using namespace OrbanelGeneral10;
using runtime::Null;
using runtime::Variant;

std::shared_ptr<CSymbol> MakeSymbol(int32_t id, int32_t refId = 0) {
    auto s = std::make_shared<CSymbol>();
    s->setPipLocation(Variant(int16_t{-4}));
    s->setBid(1.1000);
    s->setAsk(1.1002);
    s->setID(id);
    s->setRefID(Variant(refId));
    return s;
}

std::shared_ptr<CClientParam> AddParam(CClientParams& params, const std::shared_ptr<CSymbol>& sym,
                                       int16_t clientOrServer = 1,
                                       const Variant& spread = Variant(Null)) {
    return params.Add(spread, 0, 8, 50, 0.5, 10, 20, sym, clientOrServer);
}

TEST(ClientParam, SpreadLetKeepsNumbersAsGiven) {
    for (int16_t kind : {1, 2}) {
        CClientParams params;
        auto p = AddParam(params, MakeSymbol(1), kind);
        ASSERT_NE(p, nullptr);
        for (const Variant& v : {Variant(""), Variant("abc"), Variant(Null), Variant()}) {
            p->setSpread(Variant(1.0));
            p->setSpread(v);
            EXPECT_TRUE(p->Spread().IsNull());
        }
        p->setSpread(Variant("2.5"));
        EXPECT_EQ(p->Spread(), Variant("2.5"));  // stays text
        p->setSpread(Variant(int16_t{3}));
        EXPECT_EQ(p->Spread(), Variant(int16_t{3}));
    }
}

TEST(ClientParam, ClientOrServerPicksTheKind) {
    const std::pair<int16_t, bool> rows[] = {{1, true}, {0, false}, {2, false}, {-1, false}};
    for (auto [kind, client] : rows) {
        CClientParams params;
        auto p = AddParam(params, MakeSymbol(4), kind);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(std::dynamic_pointer_cast<CClientParamCl>(p) != nullptr, client) << kind;
        // The server kind keeps only the pricing values.
        EXPECT_EQ(p->MaxLots(), client ? 50 : 0);
        EXPECT_EQ(p->MinLots(), client ? 0.5 : 0);
        EXPECT_EQ(p->LimitOffset(), client ? 10 : 0);
        EXPECT_EQ(p->StopOffset(), client ? 20 : 0);
        p->setMaxLots(70);
        EXPECT_EQ(p->MaxLots(), client ? 70 : 0);
        EXPECT_EQ(p->Commission(), 8);
        EXPECT_EQ(p->CommissionValue(0.5), 4);
    }
    // A spread never set is Empty, which prices as a spread of 0 (not Null).
    CClientParamCl unset;
    unset.setSymbol(MakeSymbol(4));
    unset.setSourcePlus(3);
    EXPECT_EQ(unset.AskWithSpread(), 1.1000);

    CClientParam empty;  // the interface's own members are empty
    EXPECT_EQ(empty.BidWithSpread(), 0);
    EXPECT_TRUE(empty.Spread().IsEmpty());
    EXPECT_EQ(empty.Symbol(), nullptr);
}

TEST(ClientParam, PricesComeFromTheSymbolWithTheClientsSpread) {
    auto sym = MakeSymbol(4);
    sym->setSpreadOffset(1);
    sym->setSpread(Variant(5.0));  // the symbol's own; the client's replaces it
    for (int16_t kind : {1, 2}) {
        CClientParams params;
        auto p = AddParam(params, sym, kind, Variant(2.0));
        ASSERT_NE(p, nullptr);
        // Bid-based spread: 2 plus the offset once, all on the ask.
        EXPECT_EQ(p->AskWithSpread(), 1.1003);
        EXPECT_NEAR(p->BidWithSpread(), 1.1000, 1e-12);
        EXPECT_EQ(p->PriceWithSpread(BuyType), 1.1003);
        EXPECT_EQ(p->ClosePriceWithSpread(SellType), 1.1003);
        p->setSpread(Variant("2"));  // a numeric text prices like the number
        EXPECT_EQ(p->AskWithSpread(), 1.1003);
        p->setSpread(Variant(Null));
        p->setSourcePlus(3);
        EXPECT_EQ(p->AskWithSpread(), 1.1005);
        // Nothing cached: a new quote shows at once.
        sym->setAsk(1.1010);
        EXPECT_EQ(p->AskWithSpread(), 1.1013);
        sym->setAsk(1.1002);
    }
}

TEST(ClientParams, KeysPositionsAndFailures) {
    CClientParams params;
    auto s7 = MakeSymbol(7), s1 = MakeSymbol(1);
    auto p7 = AddParam(params, s7);
    auto p1 = AddParam(params, s1);
    EXPECT_EQ(params.Item(1), p7);  // a number is a position
    EXPECT_EQ(params.Item("1"), p1);
    EXPECT_EQ(params.ItemByIndex(Variant("7")), p7);
    EXPECT_EQ(params.Item("8"), nullptr);
    EXPECT_EQ(params.Item(3), nullptr);
    EXPECT_EQ(AddParam(params, MakeSymbol(7)), nullptr);  // symbol already present
    EXPECT_EQ(AddParam(params, nullptr), nullptr);        // no symbol
    EXPECT_EQ(params.Count(), 2);
    EXPECT_EQ(params.Item("7"), p7);

    params.Remove("99");
    EXPECT_EQ(params.Count(), 2);
    params.Remove("7");
    EXPECT_EQ(params.Count(), 1);
    EXPECT_EQ(p7->Symbol(), nullptr);  // released for every holder
    EXPECT_THROW(p7->BidWithSpread(), runtime::Error);
    EXPECT_EQ(p7->Commission(), 8);
}

TEST(ClientParams, ParentsFollowReferenceSymbols) {
    CClientParams params;
    auto usd = AddParam(params, MakeSymbol(1, 1));
    auto eur = AddParam(params, MakeSymbol(2, 1));
    auto jpy = AddParam(params, MakeSymbol(3, 30));  // no member for 30
    params.SetParamsRefParams();
    EXPECT_EQ(usd->Parent(), usd);
    EXPECT_EQ(eur->Parent(), usd);
    EXPECT_EQ(jpy->Parent(), nullptr);

    // The parent link does not own: the self-linked member still goes away.
    std::weak_ptr<CClientParam> weak = usd;
    params.Remove("1");
    usd.reset();
    EXPECT_TRUE(weak.expired());
    EXPECT_EQ(eur->Parent(), nullptr);

    eur->setSymbol(nullptr);
    EXPECT_THROW(params.SetParamsRefParams(), runtime::Error);
}

TEST(ClientParams, ReleaseEmptiesEveryMember) {
    auto params = std::make_shared<CClientParams>();
    auto sym = MakeSymbol(2, 2);
    auto p = AddParam(*params, sym);
    params->SetParamsRefParams();
    SafeRelease(params);
    EXPECT_EQ(params, nullptr);
    EXPECT_EQ(p->Symbol(), nullptr);
    EXPECT_EQ(p->Parent(), nullptr);
    EXPECT_EQ(p->MaxLots(), 50);
    EXPECT_NE(sym->SymbolTradingTimes(), nullptr);  // the symbol is not the params'

    CClientParams shell;
    AddParam(shell, sym);
    shell.Deallocate();
    EXPECT_EQ(shell.Items(), nullptr);
    EXPECT_EQ(shell.Item(1), nullptr);
    EXPECT_EQ(AddParam(shell, MakeSymbol(9)), nullptr);
    EXPECT_THROW(shell.Count(), runtime::Error);
}

}  // namespace
