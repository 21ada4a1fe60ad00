// The desk's Qt-free procedures over lists, combos, branding and numbers, and
// the session look-ups.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "desk/common/CLocalSettings.h"
#include "desk/common/DeskProcedures.h"
#include "desk/sessions/SessionLookups.h"
#include "runtime/Locale.h"
#include "tests/support/TempProgramFolder.h"
#include "tests/support/desk/FakeDesk.h"

namespace {

using namespace OrbanexDesk;
using testsupport::FakeDesk;
using Texts = std::vector<std::string>;

Texts Items(const platform::ComboBox& combo) {
    Texts out;
    for (size_t i = 0; i < combo.ListCount(); ++i) out.push_back(combo.List(i));
    return out;
}

// Percentages of the list's width from the text, column by column up to the
// first without one; an empty text shares the width evenly less 50; lists of
// 300 twips or less keep their widths.
TEST(DeskProcedures, ColumnWidthsFollowThePercentagesOfTheListsWidth) {
    struct Case {
        double width;
        size_t columns;
        const char* widths;
        std::vector<double> expected;  // every column after the call; 100 = untouched
    } const cases[] = {
        {1000, 2, "50,50", {500, 500}},
        {300, 2, "50,50", {100, 100}},
        {301, 2, "50,50", {150.5, 150.5}},
        {1000, 3, "20,30", {200, 300, 100}},
        {1000, 3, "20,x,30", {200, 0, 300}},
        {1000, 2, "", {450, 450}},
        {200, 2, "", {100, 100}},
        {1000, 0, "50", {}},
    };
    ColumnPercentages cache;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " " + c.widths);
        platform::ListView list;
        for (size_t i = 0; i < c.columns; ++i) list.AddColumn("c", 100);
        ApplyColumnWidths(list, c.width, c.widths, &cache);
        std::vector<double> widths;
        for (size_t i = 1; i <= c.columns; ++i) widths.push_back(list.ColumnWidth(i));
        EXPECT_EQ(widths, c.expected);
    }
    platform::ListView list;
    EXPECT_EQ(GetColumnWidths(list, 1000), "");
    list.AddColumn("a", 250);
    list.AddColumn("b", 125);
    EXPECT_EQ(GetColumnWidths(list, 1000), "25,12.5");
    EXPECT_EQ(GetColumnWidths(list, 0), "");
}

// A text in the list is selected; a new one is appended and selected; of equal
// neighbours only the first is removed, in both order panes' combos.
TEST(DeskProcedures, CombosSelectAppendAndLoseSymbols) {
    FakeDesk desk;
    auto& symbols = desk.stores().cbsymbols;
    for (const char* s : {"EURUSD", "GBPUSD"}) symbols.AddItem(s);
    int changes = 0;
    auto on = symbols.Change.Connect([&] { ++changes; });
    SelectComboText(symbols, "GBPUSD");
    EXPECT_EQ(symbols.ListIndex(), 1);
    SelectComboText(symbols, "USDJPY");
    EXPECT_EQ(Items(symbols), (Texts{"EURUSD", "GBPUSD", "USDJPY"}));
    EXPECT_EQ(symbols.ListIndex(), 2);
    EXPECT_EQ(symbols.Text(), "USDJPY");
    EXPECT_GE(changes, 3);

    symbols.Clear();
    auto& limits = desk.stores().cblimitordersymbols;
    for (const char* s : {"A", "EUR", "EUR", "B", "EUR"}) {
        symbols.AddItem(s);
        limits.AddItem(s);
    }
    symbols.setListIndex(3);  // "B" moves up as entries before it go
    RemoveSymbolFromCombos(*desk.Ports().frmorder, *desk.Ports().frmlimitorder, "EUR");
    EXPECT_EQ(Items(symbols), (Texts{"A", "EUR", "B"}));
    EXPECT_EQ(Items(limits), (Texts{"A", "EUR", "B"}));
    EXPECT_EQ(symbols.ListIndex(), 2);
    EXPECT_EQ(symbols.Text(), "B");
}

// ClearOrderForms empties the watch, the symbol lists and the amount;
// ClearOrderAmounts empties only the amount column.
TEST(DeskProcedures, OrderFormsAndAmountsAreCleared) {
    FakeDesk desk;
    auto& st = desk.stores();
    st.orderClients.Add("C1001", "1001").setSubItems(1, "2.5");
    st.orderClients.Item(1).setSubItems(2, "note");
    ClearOrderAmounts(*desk.Ports().frmorder);
    EXPECT_EQ(st.orderClients.Item(1).SubItems(1), "");
    EXPECT_EQ(st.orderClients.Item(1).SubItems(2), "note");

    st.lvmw.Add("S2", "EURUSD");
    for (auto* combo : {&st.cbsymbols, &st.cblimitordersymbols, &st.CloseSymbols})
        combo->AddItem("EURUSD");
    desk.orderAmount = "10";
    ClearOrderForms(desk.Ports());
    EXPECT_EQ(st.lvmw.Count(), 0u);
    EXPECT_EQ(
        st.cbsymbols.ListCount() + st.cblimitordersymbols.ListCount() + st.CloseSymbols.ListCount(),
        0u);
    EXPECT_EQ(desk.orderAmount, "");
    ClearOrderForms(DeskPorts{});  // no panes: nothing to do
}

// The last accounts row of the account wins; numbers are read from the text.
TEST(DeskProcedures, LookUpsAndNumberTexts) {
    FakeDesk desk;
    auto& rows = desk.stores().lvwClients;
    rows.Add("C1", "01").setSubItems(3, "1001");
    rows.Add("C2", "02").setSubItems(3, "1002");
    rows.Add("C3", "03").setSubItems(3, "1001 ");
    EXPECT_EQ(FindClientKey(*desk.Ports().frmMain, 1001), "C3");
    EXPECT_EQ(FindClientKey(*desk.Ports().frmMain, 1002), "C2");
    EXPECT_EQ(FindClientKey(*desk.Ports().frmMain, 7), "");

    struct Case {
        runtime::Variant value;
        const char* text;
    } const numbers[] = {{runtime::Variant(1.5), "1.5"},        {runtime::Variant(int32_t{7}), "7"},
                         {runtime::Variant("12"), "12"},        {runtime::Variant("abc"), ""},
                         {runtime::Variant(runtime::Null), ""}, {runtime::Variant(""), ""}};
    for (const Case& c : numbers) EXPECT_EQ(NumberOrZero(c.value), c.text) << c.text;
}

// The settings fix the separators whatever was in force; texts in them read as
// numbers, anything else as 0.
TEST(DeskProcedures, LocalSettingsReadNumberTexts) {
    runtime::LocaleSettings other;
    other.decimal = ",";
    other.thousands = ".";
    other.date = "-";
    runtime::ScopedLocale scoped(other);
    CLocalSettings settings;
    EXPECT_EQ(settings.LocalDecimal(), ".");
    EXPECT_EQ(settings.LocalThousand(), ",");
    EXPECT_EQ(settings.GetSystemCharacter(CLocalSettings::kDateItem), "/");
    EXPECT_EQ(settings.GetSystemCharacter(7), std::string(256, ' '));
    struct Case {
        const char* text;
        double value;
    } const cases[] = {{"1,234.5", 1234.5}, {"-12.25", -12.25}, {" 7 ", 7}, {"letters", 0}, {"", 0},
                       {"1.2.3", 0},        {"12abc", 0}};
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(settings.StringToNumber(c.text), c.value) << c.text;
    EXPECT_EQ(settings.FormatStringAsNumber("1,234.5"), "1234.5");
}

// The brand name is entry 1 of the branding file; no file gives an empty name.
TEST(DeskProcedures, CompanyNameComesFromTheBrandingFile) {
    testsupport::TempProgramFolder folder;
    EXPECT_EQ(CompanyName(), "");
    std::filesystem::create_directories(folder.Path() / "Manage");
    std::ofstream(folder.Path() / "Manage" / "dat.cmo", std::ios::binary)
        << "Demo Brokerage\r\nwww.example.com\r\n";
    EXPECT_EQ(CompanyName(), "Demo Brokerage");
    std::ofstream(folder.Path() / "Manage" / "dat.cmo", std::ios::binary | std::ios::trunc);
    EXPECT_EQ(CompanyName(), "");
}

// Keys by account come from the first session of the account; with no session
// logged on no account sees a symbol, so the whole watch and its combo entries go.
TEST(DeskProcedures, SessionLookUpsAndInvisibleSymbols) {
    testsupport::TempProgramFolder folder;
    FakeDesk desk{CClientAPIManagers::Factory()};
    auto& managers = *desk.Services().Managers();
    managers.Add("127.0.0.1", 1, "A", "pw", false, 1001);
    managers.Add("127.0.0.1", 1, "B", "pw", false, 1002);
    managers.Add("127.0.0.1", 1, "C", "pw", false, 1001);
    EXPECT_EQ(GetManagerKeyByAccount(managers, 1001), "1");
    EXPECT_EQ(GetManagerKeyByAccount(managers, 1002), "2");
    EXPECT_EQ(GetManagerKeyByAccount(managers, 9), "");

    auto& st = desk.stores();
    st.orderClients.Add("C1001", "1001");
    EXPECT_FALSE(VisibilityFlag(managers, st.orderClients, "EURUSD"));
    for (const char* s : {"EURUSD", "GBPUSD"}) {
        st.lvmw.Add(std::string("S") + s, s);
        st.cbsymbols.AddItem(s);
        st.cblimitordersymbols.AddItem(s);
    }
    st.cbsymbols.AddItem("USDJPY");
    RemoveInvisibleSymbols(desk.Services());
    EXPECT_EQ(st.lvmw.Count(), 0u);
    EXPECT_EQ(Items(st.cbsymbols), Texts{"USDJPY"});
    EXPECT_EQ(st.cblimitordersymbols.ListCount(), 0u);
}

}  // namespace
