#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "general/common/MGenerals.h"
#include "general/model/CSymbols.h"
#include "runtime/Error.h"

namespace {

using namespace OrbanelGeneral10;
using runtime::Null;
using runtime::Variant;

// A row as the server sends it: texts, prices with more decimals than the symbol shows.
CSymbols::AddArgs Row(int32_t id, int32_t refId = 0) {
    CSymbols::AddArgs a;
    a.ID = Variant(std::to_string(id));
    a.RefID = Variant(std::to_string(refId));
    a.name = Variant("SYM" + std::to_string(id));
    a.PipLocation = Variant("-4");
    a.Spread = Variant("3");
    a.SourcePlus = 2;
    a.TickPips = Variant("0.5");
    a.RefPriceCase = Variant("2");
    a.PriceCase = Variant("1");
    a.Factor = Variant("100000");
    a.LastQuteTime = Variant("12:00:00");
    a.Low = Variant("1.09876");
    a.High = Variant("1.20004");
    a.Bid = Variant("1.10004");
    a.Ask = Variant("1.10026");
    a.Last = Variant("1.1");
    a.OpenDay = "SUNDAY";
    a.OpenTime = "22:00";
    a.CloseDay = "FRIDAY";
    a.CloseTime = "21:00";
    a.DailyCloseTime1 = Variant("12:00");
    a.DailyOpenTime1 = Variant("12:30");
    a.Bank = Variant(Null);
    a.DayOpen = 1.23456;
    a.DayClose = 1.23444;
    a.StopTrade = true;
    a.StopTradeSeconds = 30;
    a.SpreadType = FromAvgSpread;
    return a;
}

TEST(Symbols, AddFillsTheSymbolWithRoundedPrices) {
    CSymbols symbols;
    auto sym = symbols.Add(Row(5));
    ASSERT_NE(sym, nullptr);
    EXPECT_EQ(symbols.Count(), 1);
    EXPECT_EQ(sym->ID(), 5);
    EXPECT_EQ(sym->name(), "SYM5");
    EXPECT_EQ(sym->PipLocation(), -4);
    EXPECT_EQ(sym->Spread().ToDouble(), 3.0);
    EXPECT_EQ(sym->SourcePlus(), 2);
    EXPECT_EQ(sym->TickPips(), 0.5);
    EXPECT_EQ(sym->RefPriceCase(), 2);
    EXPECT_EQ(sym->Factor(), 100000);
    // Rounded with the row's pip location, set before any price.
    EXPECT_EQ(sym->Low(), 1.0988);
    EXPECT_EQ(sym->High(), 1.2001);
    EXPECT_EQ(sym->Bid(), 1.1001);
    EXPECT_EQ(sym->Ask(), 1.1003);
    EXPECT_EQ(sym->Last(), 1.1);
    EXPECT_EQ(sym->DayOpenPrice(), 1.2346);
    EXPECT_EQ(sym->DayClosePrice(), 1.2345);
    EXPECT_EQ(sym->Bank(), "");
    EXPECT_TRUE(sym->StopTradeIfNoPrices());
    EXPECT_EQ(sym->StopTradeAfterSeconds(), 30);
    EXPECT_EQ(sym->SpreadType(), FromAvgSpread);
    EXPECT_EQ(sym->SymbolTradingTimes()->OpenDay(), "SUNDAY");
    EXPECT_EQ(sym->SymbolTradingTimes()->CloseTime(), "21:00:00");
    EXPECT_EQ(sym->SymbolTradingTimes()->DailyOpenTime1().ToDate(), runtime::TimeSerial(12, 30, 0));
}

TEST(Symbols, AddOfSymbolOneStoresItsPricesButReadsOne) {
    CSymbols symbols;
    auto sym = symbols.Add(Row(1));
    ASSERT_NE(sym, nullptr);
    EXPECT_EQ(sym->Bid(), 1.0);
    EXPECT_EQ(sym->High(), 1.2001);  // only Bid and Ask are fixed
}

TEST(Symbols, AddConvertsTheRowValues) {
    struct Case {
        const char* what;
        void (*edit)(CSymbols::AddArgs&);
        bool added;
    };
    const Case cases[] = {
        {"empty open time", [](CSymbols::AddArgs& a) { a.OpenTime = ""; }, false},
        {"close time no time", [](CSymbols::AddArgs& a) { a.CloseTime = "late"; }, false},
        {"id not a number", [](CSymbols::AddArgs& a) { a.ID = Variant("x"); }, false},
        {"price case too large", [](CSymbols::AddArgs& a) { a.PriceCase = Variant("40000"); },
         false},
        {"pip location null", [](CSymbols::AddArgs& a) { a.PipLocation = Variant(Null); }, false},
        {"numbers read for their leading part",
         [](CSymbols::AddArgs& a) { a.Factor = Variant(" 100 000 lots"); }, true},
    };
    for (const Case& c : cases) {
        CSymbols symbols;
        CSymbols::AddArgs a = Row(9);
        c.edit(a);
        EXPECT_EQ(symbols.Add(a) != nullptr, c.added) << c.what;
        EXPECT_EQ(symbols.Count(), c.added ? 1 : 0) << c.what;
        if (c.added) {
            EXPECT_EQ(symbols.Item("9")->Factor(), 100000);
        }
    }
}

TEST(Symbols, AddReadsTheSpread) {
    struct Case {
        Variant spread;
        bool null;
        double value;
    };
    const Case cases[] = {{Variant(Null), true, 0},     {Variant(""), true, 0},
                          {Variant(), true, 0},         {Variant("2.5"), false, 2.5},
                          {Variant("abc"), false, 0.0}, {Variant(4.0), false, 4.0}};
    for (const Case& c : cases) {
        CSymbols symbols;
        CSymbols::AddArgs a = Row(3);
        a.Spread = c.spread;
        auto sym = symbols.Add(a);
        ASSERT_NE(sym, nullptr);
        EXPECT_EQ(sym->Spread().IsNull(), c.null);
        if (!c.null) {
            EXPECT_EQ(sym->Spread().ToDouble(), c.value);
        }
    }
}

TEST(Symbols, KeysPositionsMissesAndDuplicates) {
    CSymbols symbols;
    auto s5 = symbols.Add(Row(5));
    auto s1 = symbols.Add(Row(1));
    auto neg = symbols.Add(Row(-3));
    ASSERT_TRUE(s5 && s1 && neg);

    CSymbols::AddArgs again = Row(5);
    again.name = Variant("OTHER");
    EXPECT_EQ(symbols.Add(again), nullptr);
    EXPECT_EQ(symbols.Count(), 3);
    EXPECT_EQ(symbols.Item("5")->name(), "SYM5");
    try {
        symbols.AddByObject(std::make_shared<CSymbol>());  // ID 0 is new
        auto dup = std::make_shared<CSymbol>();
        dup->setID(5);
        symbols.AddByObject(dup);
        ADD_FAILURE() << "duplicate added";
    } catch (const runtime::Error& e) {
        EXPECT_EQ(e.Number(), runtime::errc::DuplicateKey);
    }
    EXPECT_EQ(symbols.Count(), 4);

    EXPECT_EQ(symbols.Item("1"), s1);
    EXPECT_EQ(symbols.Item(1), s5);  // a number is a position
    EXPECT_EQ(symbols.Item(Variant(int16_t{2})), s1);
    EXPECT_EQ(symbols.Item(Variant("5")), s5);
    EXPECT_EQ(symbols.ItemByIndex(3), neg);
    EXPECT_EQ(symbols.Item("-3"), neg);
    EXPECT_EQ(symbols.Item(" 5"), nullptr);
    EXPECT_EQ(symbols.Item("77"), nullptr);
    EXPECT_EQ(symbols.Item(0), nullptr);
    EXPECT_EQ(symbols.Item(99), nullptr);
    EXPECT_EQ(symbols.Item(Variant(Null)), nullptr);

    symbols.Remove("77");
    symbols.Remove(42);
    EXPECT_EQ(symbols.Count(), 4);
    symbols.Remove("1");
    EXPECT_EQ(symbols.Count(), 3);
    EXPECT_EQ(s1->SymbolTradingTimes(), nullptr);  // released for every holder
    EXPECT_EQ(s1->ID(), 1);
    EXPECT_EQ(symbols.NewEnum().front(), s5);
}

TEST(Symbols, ReferenceSymbolsLinkedByRefID) {
    CSymbols symbols;
    auto early = symbols.Add(Row(10, 20));  // its reference comes later
    auto lonely = symbols.Add(Row(11, 99));
    auto ref = symbols.Add(Row(20, 20));
    auto late = symbols.Add(Row(12, 20));
    EXPECT_EQ(early->RefSymbol(), nullptr);
    EXPECT_EQ(late->RefSymbol(), ref);  // already present when added
    symbols.SetSymbolsRefSymbols();
    EXPECT_EQ(early->RefSymbol(), ref);
    EXPECT_EQ(lonely->RefSymbol(), nullptr);
    EXPECT_EQ(ref->RefSymbol(), ref);
}

TEST(Symbols, ClearSymbolsReleasesEverySymbol) {
    CSymbols symbols;
    symbols.ClearSymbols();
    EXPECT_EQ(symbols.Count(), 0);
    auto a = symbols.Add(Row(1));
    auto b = symbols.Add(Row(2));
    auto c = symbols.Add(Row(3));
    symbols.ClearSymbols();
    EXPECT_EQ(symbols.Count(), 0);
    for (const auto& s : {a, b, c}) EXPECT_EQ(s->SymbolTradingTimes(), nullptr);
}

TEST(Symbols, UpdateParameters) {
    CSymbols symbols;
    auto s5 = symbols.Add(Row(5));
    auto s6 = symbols.Add(Row(6));
    symbols.UpdateParameters("");
    EXPECT_EQ(s5->Spread().ToDouble(), 3.0);
    // id, spread, source-plus, limit offset, stop offset, commission, max lots, min lots
    symbols.UpdateParameters("77,1,1,1,1,1,1,1,5,,4,10,20,7,50,0");
    EXPECT_TRUE(s5->Spread().IsNull());
    EXPECT_EQ(s5->SourcePlus(), 4);
    EXPECT_EQ(s5->LimitOffset(), 10);
    EXPECT_EQ(s5->StopOffset(), 20);
    EXPECT_EQ(s5->Commission(), 7);
    EXPECT_EQ(s5->MaxLots(), 50);
    EXPECT_EQ(s5->MinLots(), 0.1);
    EXPECT_EQ(s6->SourcePlus(), 2);
    EXPECT_THROW(symbols.UpdateParameters("6,1,1"), runtime::Error);
}

TEST(Symbols, ReleaseHonoursDestroyObjects) {
    std::shared_ptr<CSymbol> kept, released;
    {
        auto symbols = std::make_shared<CSymbols>();
        symbols->setDestroyObjects(false);
        kept = symbols->Add(Row(1));
        SafeRelease(symbols);
    }
    EXPECT_NE(kept->SymbolTradingTimes(), nullptr);
    {
        auto symbols = std::make_shared<CSymbols>();
        released = symbols->Add(Row(1));
        symbols->Deallocate();
        EXPECT_EQ(released->SymbolTradingTimes(), nullptr);
        // An empty shell: lookups find nothing, following the collection fails.
        EXPECT_EQ(symbols->Items(), nullptr);
        EXPECT_EQ(symbols->Item("1"), nullptr);
        EXPECT_EQ(symbols->Add(Row(2)), nullptr);
        symbols->Remove("1");
        EXPECT_THROW(symbols->Count(), runtime::Error);
        symbols->Deallocate();
    }
}

}  // namespace
