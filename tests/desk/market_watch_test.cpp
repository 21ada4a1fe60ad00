// The market watch's double click prepares the three panes for the selected symbol.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "desk/orders/MarketWatch.h"
#include "tests/support/desk/FakeDesk.h"

namespace {

using OrbanexDesk::MarketWatch;

TEST(MarketWatch, DoubleClickResetsShowsAndSelectsTheSymbolInThreeCombos) {
    testsupport::FakeDesk desk;
    auto& stores = desk.stores();
    MarketWatch mw(desk.Ports(),
                   {[&] { desk.Record("clearFrmlimit"); }, [&] { desk.Record("show orders"); },
                    [&](platform::ComboBox& combo, const std::string& text) {
                        // Stand-in for the desk procedure: select, adding when missing.
                        const char* name = &combo == &stores.cbsymbols             ? "cbsymbols"
                                           : &combo == &stores.cblimitordersymbols ? "limit"
                                                                                   : "close";
                        desk.Record(std::string("select|") + name + "|" + text);
                        bool found = false;
                        for (size_t i = 0; i < combo.ListCount(); ++i)
                            found |= combo.List(i) == text;
                        if (!found) combo.AddItem(text);
                        combo.setText(text);
                    }});
    EXPECT_EQ(mw.lvmw().ColumnCount(), 6u);
    EXPECT_EQ(mw.lvmw().ColumnText(6), "Time");
    EXPECT_EQ(mw.ColumnWidthsPer(), "20,15,15,15,15,15");

    // No row selected: the reset and the pane only.
    mw.lvmw().Add("S17", "EURUSD");
    mw.lvmw_DblClick();
    EXPECT_EQ(desk.Take(), (std::vector<std::string>{"clearFrmlimit", "show orders"}));

    stores.cbsymbols.AddItem("EURUSD");
    mw.lvmw().Item("S17").setSelected(true);
    mw.lvmw_DblClick();
    EXPECT_EQ(desk.Take(),
              (std::vector<std::string>{"clearFrmlimit", "show orders", "select|cbsymbols|EURUSD",
                                        "select|limit|EURUSD", "select|close|EURUSD"}));
    EXPECT_EQ(stores.cbsymbols.ListCount(), 1u);  // present already: not added again
    EXPECT_EQ(stores.CloseSymbols.ListCount(), 1u);
    EXPECT_EQ(stores.CloseSymbols.Text(), "EURUSD");
}

}  // namespace
