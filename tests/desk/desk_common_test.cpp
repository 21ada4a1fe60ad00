#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <string>
#include <vector>

#include "desk/common/MGeneral.h"
#include "runtime/Convert.h"
#include "tests/support/clientapi/ViewFactory.h"
#include "tests/support/desk/FakeDesk.h"

namespace {

using namespace OrbanexDesk;
using testsupport::FakeDesk;
using testsupport::ViewFactory;

// Net rows of different accounts and symbols never share a key, and a total row
// never takes an account row's key.
TEST(DeskCommon, RowKeysKeepTheirPartsApart) {
    EXPECT_NE(NetRowKey(5, 1, 11001), NetRowKey(51, 1, 1001));
    EXPECT_NE(NetRowKey(5, 1), NetRowKey(51, 1));
    EXPECT_NE(NetRowKey(5, 1), NetRowKey(5, 1, 1));
    EXPECT_EQ(NetRowKey(5, -1, 1001), "To5|-1|1001");
    EXPECT_EQ(NetRowKey(5, -1), "To5|-1");
    // Trade and pending rows: the buffer form is the text form, whatever the numbers.
    EXPECT_NE(PositionRowKey(1, 23), PositionRowKey(12, 3));
    EXPECT_EQ(PositionRowKey("1001", "5"), PositionRowKey(1001, 5));
    constexpr int32_t kLeast = std::numeric_limits<int32_t>::min();
    char buffer[kPositionRowKeyChars];
    EXPECT_EQ(PositionRowKey(kLeast, kLeast, buffer), "T-2147483648|-2147483648");
    EXPECT_EQ(PendingRowKey(1001, "77"), PendingRowKey(1001, 77));
    EXPECT_EQ(PendingRowKey(2002, 77), "P2002|77");
}

// Money cells read back in cents (grouping, signs, garbage), and a figure in
// cents is written as the number-to-text of cents / 100 would write it.
TEST(DeskCommon, MoneyCellsReadAndWriteInCents) {
    const std::vector<std::pair<std::string, int64_t>> reads = {
        {"1,234.50", 123450},
        {"-0.05", -5},
        {"+7", 700},
        {" 12.345", 1235},
        {"12.30 USD", 1230},
        {"abc", 0},
        {"", 0},
        {"1e400", 0},
        {"-0.00", 0},
        {"5.", 500},
        {"1.2.3", 120},
        {"-1,234,567.8", -123456780},
        {"999,999,999,999.99", 99999999999999},
        {"-1,000,000,000,000.01", -100000000000001}};
    for (const auto& [text, cents] : reads) EXPECT_EQ(MoneyCents(text), cents) << text;
    std::mt19937_64 rng(3);
    std::vector<int64_t> cents = {0,
                                  1,
                                  -1,
                                  10,
                                  -10,
                                  99,
                                  100,
                                  -100,
                                  999999999999,
                                  -999999999999,
                                  1'000'000'000'000'0,
                                  -1'000'000'000'000'0};
    for (int i = 0; i < 100000; ++i)
        cents.push_back(int64_t(rng() % 2'000'000'000'000) - 1'000'000'000'000);
    for (int64_t c : cents) {
        const std::string text = CentsText(c);
        ASSERT_EQ(text, runtime::NumberToText(static_cast<double>(c) / 100)) << c;
        ASSERT_EQ(MoneyCents(text), c) << text;
    }
}

// Look-ups in the shared symbol collection and the market watch find by id key or
// by exact name, and find nothing (without an error) before the collection exists.
TEST(DeskCommon, SymbolLookUpsFindByKeyOrExactNameAndNothingOtherwise) {
    FakeDesk desk;
    ViewFactory views;
    DeskState& state = desk.State();
    EXPECT_EQ(GetSymbolItem(state, "2"), nullptr);
    EXPECT_EQ(GetCollectionItem(state, "EURUSD"), nullptr);

    state.DeskSymbols = std::make_shared<SymbolCollection>();
    auto eur = views.Symbol({.id = 2, .name = "EURUSD", .bid = 1.1, .ask = 1.2});
    auto eurAgain = views.Symbol({.id = 40000, .name = "EURUSD", .bid = 1.1, .ask = 1.2});
    state.DeskSymbols->Add(eur, "2");
    state.DeskSymbols->Add(eurAgain, "40000");
    EXPECT_EQ(GetSymbolItem(state, "40000"), eurAgain);
    EXPECT_EQ(GetSymbolItem(state, "3"), nullptr);
    EXPECT_EQ(GetCollectionItem(state, "EURUSD"), eur);
    EXPECT_EQ(GetCollectionItem(state, "eurusd"), nullptr);

    desk.stores().lvmw.Add(MarketWatchKey(40000), "EURUSD");
    EXPECT_TRUE(IsSymbolInMarketWatch(*desk.Ports().frmMW, 40000));
    EXPECT_FALSE(IsSymbolInMarketWatch(*desk.Ports().frmMW, 2));
    EXPECT_EQ(GetMarketWatchItem(*desk.Ports().frmMW, eurAgain), &desk.stores().lvmw.Item(1));
    EXPECT_EQ(GetMarketWatchItem(*desk.Ports().frmMW, eur), nullptr);
}

// Server times are read day first and shifted from the server's offset to the desk's.
TEST(DeskCommon, ServerTimeTextsAreShiftedToTheDesksOffset) {
    FakeDesk desk;
    DeskState& state = desk.State();
    state.ClientGMTOffset = 2;
    state.ServerGMTOffset = 2;
    EXPECT_EQ(FormatDateTimeText(state, "05/01/2024 10:00:00"), "2024-01-05 10:00:00");
    state.ServerGMTOffset = 0;
    EXPECT_EQ(FormatDateTimeText(state, "05/01/2024 23:30:00"), "2024-01-06 01:30:00");
    EXPECT_EQ(FormatTimeText(state, "05/01/2024 23:30:00"), "01:30");
}

}  // namespace
