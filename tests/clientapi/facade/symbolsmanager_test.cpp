#include <gtest/gtest.h>

#include "general/model/CSymbol.h"
#include "manager_fixture.h"
#include "runtime/Locale.h"
#include "tests/support/ErrorNumber.h"

namespace {

using namespace managerfixture;
using testsupport::ErrorNumberOf;

struct Symbols {
    testsupport::TempProgramFolder folder{"symbols"};
    api::CSymbolsManager m;
    Names events, messages;
    runtime::ScopedConnection prices, highLow;

    Symbols() {
        og::SetMessageNotifier([this](const std::string& t) { messages.push_back(t); });
        prices = m.DealWithChangedSymbolPrices.Connect([this](const auto& s) {
            events.push_back("P" + std::to_string(s->ID()) + " " + runtime::NumberToText(s->Bid()) +
                             "/" + runtime::NumberToText(s->Ask()) + " " + s->LastQuteTime());
        });
        highLow = m.SymbolHighLowChanged.Connect([this](const auto& s) {
            events.push_back("HL" + std::to_string(s->ID()) + " " +
                             runtime::NumberToText(s->High()) + "/" +
                             runtime::NumberToText(s->Low()));
        });
    }
    ~Symbols() { og::SetMessageNotifier(nullptr); }

    bool Load(const Rows& rows) {
        return m.SymbolsRecieved(rows.empty(), testsupport::Table(rows),
                                 static_cast<int32_t>(rows.size()), 34);
    }
};

// Quote and high/low buffers: records of the server's width, ids joined by
// "_", an event only for a real change; a bad price or a record cut short
// ends the buffer with an error, the records before it applied.
TEST(SymbolsManager, PriceBuffersChangeOnlyWhatMoved) {
    struct Case {
        const char* name;
        int16_t step;
        bool highLow;
        std::string buffer;
        Names events;
        int32_t error;
        std::string lastTick;
    };
    const std::vector<Case> cases = {
        {"two ids, stride 3",
         3,
         false,
         "10:00:01,2_3,1.2001,1.2003",
         {"P2 1.2001/1.2003 10:00:01", "P3 1.2001/1.2003 10:00:01"},
         0,
         "10:00:01"},
        {"the same again", 3, false, "10:00:02,2_3,1.2001,1.2003", {}, 0, "10:00:02"},
        {"new ask only",
         3,
         false,
         "10:00:03,2,1.2001,1.2004",
         {"P2 1.2001/1.2004 10:00:03"},
         0,
         "10:00:03"},
        {"stride 4 skips the fourth",
         4,
         false,
         "10:00:04,2,1.21,1.2102,x,9,1.3,1.3002,y",
         {"P2 1.21/1.2102 10:00:04"},
         0,
         "10:00:04"},
        {"step 0 changes nothing", 0, false, "10:00:05,2,1.5,1.6", {}, 0, "10:00:04"},
        {"unknown id skipped",
         3,
         false,
         "10:00:06,9_2,1.22,1.2202",
         {"P2 1.22/1.2202 10:00:06"},
         0,
         "10:00:06"},
        {"bad number mid-buffer",
         3,
         false,
         "10:00:07,2,1.23,1.2302,3,abc,1.5",
         {"P2 1.23/1.2302 10:00:07"},
         13,
         "10:00:07"},
        {"bad ask beside a new bid", 3, false, "10:00:08,3,1.51,zz", {}, 13, "10:00:08"},
        {"record cut short",
         3,
         false,
         "10:00:09,2,1.24,1.2402,3,1.52",
         {"P2 1.24/1.2402 10:00:09"},
         9,
         "10:00:09"},
        {"negative step", -3, false, "10:00:10,2,1.25,1.2502", {}, 9, "10:00:10"},
        {"high/low", 0, true, "2,1.25,1.19", {"HL2 1.25/1.19"}, 0, "10:00:10"},
        {"high/low unchanged, then cut short", 0, true, "2,1.25,1.19,3,1.6", {}, 9, "10:00:10"},
    };
    Symbols s;
    ASSERT_TRUE(s.Load({SymbolRow("2", "EURUSD"), SymbolRow("3", "GBPUSD", "1.5", "1.5003")}));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        s.events.clear();
        s.m.setGWPricesStep(c.step);
        const int32_t error = ErrorNumberOf([&] {
            if (c.highLow)
                s.m.HighLowDataReceived(c.buffer);
            else
                s.m.MarketDataReceived(c.buffer);
        });
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(s.events, c.events);
        EXPECT_EQ(s.m.LastTickTime(), c.lastTick);
    }
}

// The same buffer, sent again after the symbol list changed under it (loaded
// anew in another order, a symbol removed), reaches the symbols now listed.
TEST(SymbolsManager, QuotesFollowTheCurrentSymbolList) {
    Symbols s;
    s.m.setGWPricesStep(3);
    const auto quote = [&s](const std::string& bid) {
        s.events.clear();
        s.m.MarketDataReceived("10:00:01,2," + bid + ",1.3,3," + bid + ",1.6");
        return s.events;
    };
    ASSERT_TRUE(s.Load({SymbolRow("2", "EURUSD"), SymbolRow("3", "GBPUSD", "1.5", "1.5003")}));
    EXPECT_EQ(quote("1.1"), (Names{"P2 1.1/1.3 10:00:01", "P3 1.1/1.6 10:00:01"}));
    ASSERT_TRUE(s.Load({SymbolRow("3", "GBPUSD"), SymbolRow("4", "USDJPY"), SymbolRow("2", "X")}));
    const auto reloaded = s.m.Symbols()->Item("2");
    EXPECT_EQ(quote("1.4"), (Names{"P2 1.4/1.3 10:00:01", "P3 1.4/1.6 10:00:01"}));
    EXPECT_EQ(reloaded->Bid(), 1.4);
    s.m.Symbols()->Remove("3");
    EXPECT_EQ(quote("1.45"), (Names{"P2 1.45/1.3 10:00:01"}));
}

// A price text is read by the locale of the moment: the text that matched the
// stored price under one locale is a change under another ("." groups digits).
TEST(SymbolsManager, PriceTextsAreReadByTheCurrentLocale) {
    Symbols s;
    s.m.setGWPricesStep(3);
    ASSERT_TRUE(s.Load({SymbolRow("2", "EURUSD")}));
    const auto quote = [&s] {
        s.events.clear();
        s.m.MarketDataReceived("10:00:01,2,1.2,1.3");
        return s.events;
    };
    EXPECT_EQ(quote(), Names{"P2 1.2/1.3 10:00:01"});
    EXPECT_EQ(quote(), Names{});
    runtime::LocaleSettings comma;
    comma.decimal = ",";
    comma.thousands = ".";
    const runtime::ScopedLocale scoped(comma);
    EXPECT_EQ(quote(), Names{"P2 1.2/1.3 10:00:01"});
}

// A duplicate name (letter case aside) stops the list with a message and
// False; the symbols before it are linked to their reference; a row the
// model refuses is skipped; names are looked up without regard to case.
TEST(SymbolsManager, ListStopsAtADuplicateName) {
    Symbols s;
    EXPECT_FALSE(
        s.Load({SymbolRow("1", "USD", "1", "1"), SymbolRow("x", "BAD"), SymbolRow("2", "EURUSD"),
                SymbolRow("3", "eurusd"), SymbolRow("4", "USDJPY")}));
    EXPECT_EQ(s.messages,
              Names{"Orbanex BO API does not support having 2 symbols of the same name (eurusd)"});
    EXPECT_EQ(s.m.Symbols()->Count(), 3);
    EXPECT_EQ(s.m.Symbols()->Item("4"), nullptr);
    EXPECT_EQ(s.m.Symbols()->Item("2")->RefSymbol(), s.m.Symbols()->Item("1"));
    EXPECT_EQ(s.m.SymbolByName("EurUsd"), s.m.Symbols()->Item("2"));
    EXPECT_EQ(s.m.SymbolByName("BAD"), nullptr);

    EXPECT_TRUE(s.Load({}));
    EXPECT_EQ(s.m.Symbols()->Count(), 0);
    EXPECT_EQ(s.m.SymbolByName("EURUSD"), nullptr);
}

}  // namespace
