#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "general/model/CAccHistoryRow.h"
#include "general/model/CSymbols.h"
#include "trading_fixture.h"

namespace {

using namespace OrbanelGeneral10;
using namespace tradingfixture;
using runtime::Variant;

std::string Row(const char* checked, const char* symbol = " 12 ") {
    const std::string cells[] = {" 901 ",
                                 "01/02/2024 10:00:00",
                                 " Close ",
                                 symbol,
                                 " 1.5",
                                 "-1",
                                 "01/01/2024 09:00:00",
                                 "1.1000",
                                 "1.1010",
                                 "",
                                 " -7",
                                 "0.5",
                                 checked,
                                 "1",
                                 " 150 ",
                                 " EURUSD "};
    std::string row;
    for (const auto& c : cells) row += (row.empty() ? "" : "R,@") + c;
    return row;
}

TEST(AccHistoryRow, DefineRowTrimsCellsAndFindsTheSymbol) {
    auto symbols = std::make_shared<CSymbols>();
    auto symbol = symbols->AddByObject(MakeSymbol(12, -4, 1.1, 1.1));
    CAccHistoryRow r;
    r.DefineRow(symbols, Row(" True "));
    EXPECT_EQ(r.Ticket(), 901);
    EXPECT_EQ(r.HisTime(), "01/02/2024 10:00:00");
    EXPECT_EQ(r.HisType(), "Close");
    EXPECT_EQ(r.Symbol(), symbol);
    EXPECT_EQ(r.lots(), Variant("1.5"));  // kept as text
    EXPECT_EQ(r.BuySell(), Variant("-1"));
    EXPECT_EQ(r.OpenTime(), "01/01/2024 09:00:00");
    EXPECT_EQ(r.OpenPrice(), Variant("1.1000"));
    EXPECT_EQ(r.ClosePrice(), Variant("1.1010"));
    EXPECT_EQ(r.AccTransAmount(), Variant(""));
    EXPECT_EQ(r.Comm(), Variant("-7"));
    EXPECT_EQ(r.Interest(), Variant("0.5"));
    EXPECT_TRUE(r.Checked());
    EXPECT_EQ(r.RefPrice(), Variant("1"));
    EXPECT_EQ(r.Profit(), Variant("150"));
    EXPECT_EQ(r.SymbolName(), Variant("EURUSD"));

    r.DefineRow(symbols, Row("0", "99"));
    EXPECT_FALSE(r.Symbol());
}

TEST(AccHistoryRow, CheckedCell) {
    auto symbols = std::make_shared<CSymbols>();
    struct Case {
        const char* cell;
        bool expected;
    } cases[] = {{"1", true},  {"-1", true},     {"2.5", true},   {"True", true},
                 {"0", false}, {"False", false}, {"false", false}};
    for (const auto& c : cases) {
        CAccHistoryRow r;
        r.DefineRow(symbols, Row(c.cell));
        EXPECT_EQ(r.Checked(), c.expected) << c.cell;
    }
}

TEST(AccHistoryRow, MalformedRowsRaiseAfterTheCellsBefore) {
    auto symbols = std::make_shared<CSymbols>();
    CAccHistoryRow r;
    EXPECT_EQ(ErrorOf([&] { r.DefineRow(symbols, Row("yes")); }), runtime::errc::TypeMismatch);
    EXPECT_EQ(r.Ticket(), 901);
    EXPECT_EQ(r.Profit(), Variant());  // after the bad cell: untouched

    CAccHistoryRow shortRow;
    EXPECT_EQ(ErrorOf([&] { shortRow.DefineRow(symbols, "5R,@t1R,@Open"); }),
              runtime::errc::SubscriptOutOfRange);
    EXPECT_EQ(shortRow.Ticket(), 5);
    EXPECT_EQ(shortRow.HisType(), "Open");

    CAccHistoryRow badTicket;
    EXPECT_EQ(ErrorOf([&] { badTicket.DefineRow(symbols, "x" + Row("1")); }),
              runtime::errc::TypeMismatch);
}

TEST(AccHistoryRow, DefineSetsEverythingButTheSymbol) {
    auto symbols = std::make_shared<CSymbols>();
    auto symbol = symbols->AddByObject(MakeSymbol(12, -4, 1.1, 1.1));
    CAccHistoryRow r;
    r.DefineRow(symbols, Row("1"));
    r.Define(Variant(77.5), "t", "Deposit", nullptr, Variant(2.0), Variant(1), "o", Variant(1.1),
             Variant(1.2), Variant(500.0), Variant(-3.0), Variant(0.25), false, Variant(1.0),
             Variant(10.0), Variant("GBPUSD"));
    EXPECT_EQ(r.Ticket(), 78);  // halves to even
    EXPECT_EQ(r.HisType(), "Deposit");
    EXPECT_EQ(r.AccTransAmount(), Variant(500.0));
    EXPECT_FALSE(r.Checked());
    EXPECT_EQ(r.SymbolName(), Variant("GBPUSD"));
    EXPECT_EQ(r.Symbol(), symbol);
}

}  // namespace
