#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>

#include "general/model/CSymbol.h"
#include "runtime/Clock.h"
#include "runtime/Convert.h"
#include "runtime/Date.h"
#include "runtime/Error.h"
#include "runtime/Locale.h"
#include "tests/support/ErrorNumber.h"

namespace {

using testsupport::ErrorNumberOf;

using namespace OrbanelGeneral10;
using runtime::Null;
using runtime::Variant;

std::shared_ptr<CSymbol> MakeSymbol(int16_t pipLocation, double bid = 1, double ask = 1) {
    auto s = std::make_shared<CSymbol>();
    s->setPipLocation(Variant(pipLocation));
    s->setBid(bid);
    s->setAsk(ask);
    return s;
}

TEST(SymbolFormatPrice, TenthOfAPipThenHalvesAwayFromZero) {
    struct Row {
        int16_t pipLoc;
        Variant price;
        std::string expected;
    };
    const Row rows[] = {
        {-4, 1.234445, "1.2345"},  // plain rounding would give 1.2344
        {-4, 1.23436, "1.2344"},
        {-4, 1.2, "1.2000"},
        {-4, 0.5, "0.5000"},             // leading zero
        {-4, 12345.6789, "12345.6789"},  // no grouping
        {-1, 0.24, "0.3"},               // 0.24 + 0.01 is the tie 0.25: away from zero
        {0, 2.4, "3"},                   // 2.5: away from zero, not to even
        {0, -2.6, "-3"},                 // -2.5: away from zero on the negative side too
        {0, 12.6, "13"},
        {0, 12.39, "12"},
        {0, 12.41, "13"},
        {-2, 110.126, "110.13"},
        {-4, 0.60034, "0.6004"},  // the sum is a hair below the half in binary
        {-2, 10.004, "10.01"},
        {-3, 1.0514, "1.052"},
        {-1, 128.04, "128.1"},
        {2, 1.5, "11.50"},  // a pip of 100: the tenth is 10, two decimals shown
        {-4, Variant("1.23436"), "1.2344"},
        {-4, Variant(""), ""},
        {-4, Variant("abc"), ""},
        {-4, Variant(Null), ""},
        {100, 1.234445, "1.234445"},
        {100, Variant("1.2344449"), "1.2344449"},
    };
    for (const Row& r : rows) {
        auto sym = MakeSymbol(r.pipLoc);
        EXPECT_EQ(sym->FormatPrice(r.price), r.expected)
            << "pip location " << r.pipLoc << ", price " << r.price.ToString();
        EXPECT_EQ(CSymbol::FormatPriceFormula(r.price, r.pipLoc), r.expected);
    }
}

// The sum's 15-significant-digit text rounded half away from zero at
// `decimals` by digit arithmetic, independently of the runtime's rounding.
std::string ExpectedPriceText(double sum, int decimals) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", sum);  // d.dddddddddddddde+XX
    std::string all = std::string(1, buf[0]) + std::string(buf + 2, 14);
    int intLen = std::atoi(std::strchr(buf, 'e') + 1) + 1;
    if (intLen <= 0) {
        all.insert(0, static_cast<size_t>(1 - intLen), '0');
        intLen = 1;
    }
    const size_t keep = static_cast<size_t>(intLen + decimals);
    if (all.size() <= keep) all.append(keep + 1 - all.size(), '0');
    std::string kept = all.substr(0, keep);
    if (all[keep] >= '5') {
        size_t i = kept.size();
        while (i > 0 && kept[i - 1] == '9') kept[--i] = '0';
        if (i == 0) {
            kept.insert(0, 1, '1');
            ++intLen;
        } else {
            ++kept[i - 1];
        }
    }
    std::string whole = kept.substr(0, static_cast<size_t>(intLen));
    whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size() - 1));
    return decimals == 0 ? whole : whole + "." + kept.substr(static_cast<size_t>(intLen));
}

TEST(SymbolFormatPrice, GeneratedPricesRoundUpFromFourTenthsOfThePip) {
    std::mt19937_64 gen(11);
    for (int16_t p = -6; p <= 2; ++p) {
        const int decimals = std::abs(p);
        const double unit = std::pow(10.0, decimals + 1);  // a tenth of the last decimal
        std::uniform_int_distribution<int64_t> tenths(static_cast<int64_t>(unit / 10),
                                                      static_cast<int64_t>(unit * 3000));
        for (int i = 0; i < 60; ++i) {
            int64_t k = tenths(gen);
            if (i % 4 != 0) k = k - k % 10 + 4;  // mostly a 4 in the tenth-of-pip place
            const double price = static_cast<double>(k) / unit;
            const std::string expected =
                ExpectedPriceText(price + 0.1 * std::pow(10.0, p), decimals);
            ASSERT_EQ(CSymbol::FormatPriceFormula(price, p), expected) << "p=" << p << " k=" << k;
            ASSERT_EQ(CSymbol::RoundedPriceFormula(price, p),
                      std::strtod(expected.c_str(), nullptr))
                << "p=" << p << " k=" << k;
        }
    }
}

TEST(SymbolFormatPrice, DecimalSeparatorFollowsTheLocale) {
    runtime::LocaleSettings comma;
    comma.decimal = ",";
    comma.thousands = ".";
    auto sym = MakeSymbol(-4);
    EXPECT_EQ(sym->FormatPrice(1.234445), "1.2345");  // the same price again, other locale
    runtime::ScopedLocale scoped(comma);
    EXPECT_EQ(sym->FormatPrice(1.234445), "1,2345");
    sym->setBid(1.234445);
    EXPECT_EQ(sym->Bid(), 1.2345);
}

// The stored price is the formatted price read back; RoundedPrice computes it
// without text and must agree bit for bit, in either locale.
TEST(SymbolFormatPrice, RoundedPriceEqualsTheTextReadBack) {
    std::mt19937_64 gen(20240317);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    runtime::LocaleSettings comma;
    comma.decimal = ",";
    comma.thousands = ".";
    for (int16_t p : {-6, -5, -4, -3, -2, -1, 0, 1, 2}) {
        auto sym = MakeSymbol(p);
        const double step = CSymbol::PipsFormula(1, p);
        for (int i = 0; i < 4000; ++i) {
            double x;
            if (i % 2 == 0) {
                // Near the boundaries where the tenth of a pip decides.
                const double k = std::floor(unit(gen) * 20000) - 10000;
                const double frac = 0.4 + (static_cast<double>(i % 21) - 10) * 1e-6;
                x = (k + frac) * step;
            } else {
                x = (unit(gen) - 0.5) * 2000 * step * 1000;
            }
            const double viaText = runtime::Val(sym->FormatPrice(x));
            ASSERT_EQ(sym->RoundedPrice(x), viaText) << "p=" << p << " x=" << x;
            ASSERT_EQ(CSymbol::RoundedPriceFormula(x, p), viaText);
        }
    }
    runtime::ScopedLocale scoped(comma);
    auto sym = MakeSymbol(-5);
    for (int i = 0; i < 2000; ++i) {
        const double x = unit(gen) * 3;
        const auto back = runtime::ParseNumber(sym->FormatPrice(x));
        ASSERT_TRUE(back.has_value());
        ASSERT_EQ(sym->RoundedPrice(x), *back) << x;
    }
}

TEST(SymbolPrices, EveryPriceLetStoresTheRoundedPrice) {
    using Setter = void (CSymbol::*)(double);
    using Getter = double (CSymbol::*)() const;
    const std::pair<Setter, Getter> members[] = {
        {&CSymbol::setBid, &CSymbol::Bid},
        {&CSymbol::setAsk, &CSymbol::Ask},
        {&CSymbol::setHigh, &CSymbol::High},
        {&CSymbol::setLow, &CSymbol::Low},
        {&CSymbol::setLast, &CSymbol::Last},
        {&CSymbol::setDayOpenPrice, &CSymbol::DayOpenPrice},
        {&CSymbol::setDayClosePrice, &CSymbol::DayClosePrice},
    };
    for (const auto& [set, get] : members) {
        auto sym = MakeSymbol(-4);
        (sym.get()->*set)(1.23456);
        EXPECT_EQ((sym.get()->*get)(), 1.2346);
        sym->setPipLocation(Variant(int16_t{100}));
        (sym.get()->*set)(1.234445);
        EXPECT_EQ((sym.get()->*get)(), 1.234445);
    }
}

TEST(SymbolPrices, SymbolOneHasTheFixedPriceOne) {
    auto sym = MakeSymbol(-4, 1.2345, 1.2350);
    sym->setSpread(Variant(3.0));
    sym->setSpreadType(FromAvgSpread);
    sym->setPriceOffset(2);
    sym->setID(1);
    sym->setBid(1.2345);
    const double prices[] = {sym->Bid(),
                             sym->Ask(),
                             sym->LastPrice(),
                             sym->BidWithSpread(),
                             sym->AskWithSpread(),
                             sym->BidWithSpread2(Variant(5.0), 0),
                             sym->AskWithSpread2(Variant(Null), 4),
                             sym->ClosePrice(BuyType),
                             sym->ClosePrice(SellType),
                             sym->ClosePriceWithSpread(BuyType),
                             sym->ClosePriceWithSpread(SellType),
                             sym->ClosePriceWithSpread2(Variant(2.0), 1, SellType),
                             sym->PriceWithSpread(BuyType)};
    for (double p : prices) EXPECT_EQ(p, 1.0);
    EXPECT_EQ(sym->BidAskSpread(), 0.0);
}

TEST(SymbolSpread, SpreadTable) {
    struct Row {
        SpreadCalTypeEnum type;
        Variant spread;
        int16_t sourcePlus;
        int16_t priceOffset;
        double bid;
        double ask;
    };
    // Feed bid 1.1000, ask 1.1002 (mid 1.1001), pip 0.0001.
    const Row rows[] = {
        {FromAvgSpread, Variant(3.0), 0, 0, 1.0999, 1.1002},  // odd pip to the bid side
        {FromAvgSpread, Variant(4.0), 0, 0, 1.0999, 1.1003},
        {FromAvgSpread, Variant("3"), 0, 0, 1.0999, 1.1002},  // numeric text
        {FromBidSpread, Variant(3.0), 0, 0, 1.1000, 1.1003},  // whole spread on the ask
        {FromAvgSpread, Variant(Null), 3, 0, 1.0998, 1.1003},
        {FromAvgSpread, Variant(Null), 1, 0, 1.0999, 1.1002},
        {FromAvgSpread, Variant(Null), 0, 0, 1.1000, 1.1002},
        {FromBidSpread, Variant(Null), 3, 0, 1.1000, 1.1005},
        {FromAvgSpread, Variant(3.0), 0, 1, 1.1000, 1.1003},  // price offset: both up a pip
        {FromBidSpread, Variant(3.0), 0, 1, 1.1001, 1.1004},
        {FromAvgSpread, Variant(Null), 3, 1, 1.0999, 1.1004},
        {FromBidSpread, Variant(Null), 3, 1, 1.1001, 1.1006},
    };
    for (const Row& r : rows) {
        auto sym = MakeSymbol(-4, 1.1000, 1.1002);
        sym->setSpreadType(r.type);
        sym->setPriceOffset(r.priceOffset);
        SCOPED_TRACE(testing::Message()
                     << "type " << r.type << " spread "
                     << (r.spread.IsNull() ? "Null" : r.spread.ToString()) << " source-plus "
                     << r.sourcePlus << " offset " << r.priceOffset);
        // The bid-based bid is the feed's bid, not rounded: compare closely.
        EXPECT_NEAR(sym->BidWithSpread2(r.spread, r.sourcePlus), r.bid, 1e-12);
        EXPECT_EQ(sym->AskWithSpread2(r.spread, r.sourcePlus), r.ask);
        EXPECT_NEAR(sym->ClosePriceWithSpread2(r.spread, r.sourcePlus, BuyType), r.bid, 1e-12);
        EXPECT_EQ(sym->ClosePriceWithSpread2(r.spread, r.sourcePlus, SellType), r.ask);
        EXPECT_EQ(sym->PriceWithSpread2(r.spread, r.sourcePlus, BuyType), r.ask);
        // Every other side value takes the sell branch.
        EXPECT_NEAR(sym->PriceWithSpread2(r.spread, r.sourcePlus, BuyStopType), r.bid, 1e-12);
        if (r.type == FromAvgSpread) {
            EXPECT_EQ(sym->BidWithSpread2(r.spread, r.sourcePlus), r.bid);
        }
    }
}

TEST(SymbolSpread, OwnPricesAddTheSpreadOffsetTwice) {
    auto sym = MakeSymbol(-4, 1.1000, 1.1002);
    sym->setSpreadOffset(1);
    sym->setSpread(Variant(2.0));
    EXPECT_EQ(sym->Spread().ToDouble(), 3.0);
    // A given spread of 2 uses 3 pips; the symbol's own (2 stored) uses 4.
    EXPECT_EQ(sym->AskWithSpread2(Variant(2.0), 0), 1.1003);
    EXPECT_EQ(sym->AskWithSpread(), 1.1004);
    EXPECT_EQ(sym->PriceWithSpread(BuyType), 1.1004);
    EXPECT_EQ(sym->ClosePriceWithSpread(SellType), 1.1004);
    EXPECT_TRUE(sym->SpreadFormula(Variant(Null)).IsNull());
    sym->setSpread(Variant("2"));  // as a parameter list hands it over
    EXPECT_EQ(sym->AskWithSpread(), 1.1004);
    sym->setSpread(Variant(Null));
    sym->setSourcePlus(1);
    EXPECT_EQ(sym->AskWithSpread(), 1.1003);
}

TEST(SymbolSpread, SpreadLetKeepsOnlyNumbers) {
    struct Row {
        Variant value;
        bool null;
    };
    const Row rows[] = {{Variant(""), true},         {Variant("abc"), true},  {Variant(Null), true},
                        {Variant(), true},           {Variant("2.5"), false}, {Variant(2.0), false},
                        {Variant(int16_t{0}), false}};
    for (const Row& r : rows) {
        auto sym = MakeSymbol(-4);
        sym->setSpread(r.value);
        EXPECT_EQ(sym->Spread().IsNull(), r.null);
    }
    auto sym = MakeSymbol(-4);
    sym->setSpreadOffset(1);
    sym->setSpread(Variant("2.5"));
    EXPECT_EQ(sym->Spread().ToDouble(), 3.5);
}

TEST(SymbolProfit, DealProfitTable) {
    struct Row {
        const char* what;
        OperationTypeEnum side;
        int16_t priceCase;
        CommCalcTypeEnum comm;
        double remainOpenComm;
        bool computeCommInt;
        double expected;
    };
    const double invRaw = (1 / 1.1010 - 1 / 1.1000) * 2 * 100000;
    const Row rows[] = {
        {"buy", BuyType, 1, ON_OPEN_TYPE, -7, true, 200},
        {"sell", SellType, 1, ON_OPEN_TYPE, -7, true, -200},
        {"on close, commission as negative", BuyType, 1, ON_CLOSE_TYPE, -7, true, 191.5},
        {"on close, commission as positive", BuyType, 1, ON_CLOSE_TYPE, 7, true, 191.5},
        {"on close without the terms", BuyType, 1, ON_CLOSE_TYPE, 7, false, 200},
        {"inverted prices", BuyType, 2, ON_OPEN_TYPE, 7, true, invRaw},
        {"any case but 1 inverts", BuyType, 0, ON_OPEN_TYPE, 7, true, invRaw},
    };
    for (const Row& r : rows) {
        auto sym = MakeSymbol(-4);
        sym->setFactor(100000);
        sym->setPriceCase(r.priceCase);
        sym->setRefPriceCase(1);
        const double profit = sym->DealProfit(1.1000, 1.1010, 2, r.side, -1.5, r.remainOpenComm,
                                              r.comm, 1, r.computeCommInt);
        EXPECT_NEAR(profit, r.expected, 1e-6) << r.what;
    }
}

TEST(SymbolProfit, ReferencePrice) {
    auto ref = MakeSymbol(-2, 110.00, 110.03);
    ref->setSourcePlus(2);  // bid-based, no spread: ask + 2 pips
    auto sym = MakeSymbol(-4);
    sym->setFactor(100000);
    sym->setPriceCase(1);
    sym->setRefPriceCase(2);
    sym->setRefSymbol(ref);
    const double raw = 0.0010 * 100000;
    // -1: the reference's close price with its spread for the deal's side.
    EXPECT_NEAR(sym->DealProfit(1.1000, 1.1010, 1, BuyType, 0, 0, ON_OPEN_TYPE), raw / 110.00,
                1e-9);
    EXPECT_NEAR(sym->DealProfit(1.1010, 1.1000, 1, SellType, 0, 0, ON_OPEN_TYPE), raw / 110.05,
                1e-9);
    // Any other value is used as given; a zero reference price maps to 0.
    EXPECT_NEAR(sym->DealProfit(1.1000, 1.1010, 1, BuyType, 0, 0, ON_OPEN_TYPE, -2), raw / -2,
                1e-9);
    EXPECT_EQ(sym->DealProfit(1.1000, 1.1010, 1, BuyType, 0, 0, ON_OPEN_TYPE, 0), 0.0);

    auto lone = MakeSymbol(-4);
    EXPECT_EQ(ErrorNumberOf([&] { lone->DealProfit(1, 2, 1, BuyType, 0, 0, ON_OPEN_TYPE); }),
              runtime::errc::ObjectVariableNotSet);
    // The reference link never owns its symbol.
    std::weak_ptr<CSymbol> weak = ref;
    ref.reset();
    EXPECT_TRUE(weak.expired());
    EXPECT_EQ(sym->RefSymbol(), nullptr);
}

TEST(SymbolFigures, ChangesLotsAndCommission) {
    auto sym = MakeSymbol(-4, 1.1, 1.1002);
    EXPECT_EQ(sym->PercentChange(), 0.0);
    EXPECT_EQ(sym->PercentChangeWithSpread(), 0.0);
    sym->setDayClosePrice(1.0);
    EXPECT_NEAR(sym->PercentChange(), 0.1, 1e-12);  // a ratio, not per cent
    EXPECT_NEAR(sym->NetChange(), 0.1, 1e-12);
    EXPECT_NEAR(sym->BidAskSpread(), 0.0002, 1e-12);

    const std::pair<double, double> minLots[] = {{0, 0.1}, {-5, 0.1}, {0.01, 0.01}, {2, 2}};
    for (auto [given, stored] : minLots) {
        sym->setMinLots(given);
        EXPECT_EQ(sym->MinLots(), stored) << given;
    }
    sym->setCommission(7);
    EXPECT_EQ(sym->CommissionValue(2), 14);
}

TEST(SymbolFormatPrice, AverageAndFreeDecimals) {
    auto sym = MakeSymbol(-4);
    const std::pair<Variant, std::string> rows[] = {
        {Variant(1.2), "1.2000"},
        {Variant(1.234567), "1.234567"},
        {Variant(1.2345678912), "1.23456789"},
        {Variant(-0.5), "-0.5000"},
        {Variant(Null), ""},
        {Variant(""), ""},
    };
    for (const auto& [price, text] : rows) EXPECT_EQ(sym->AvgFormatPrice(price), text);
    EXPECT_EQ(sym->MyFormatNumber(Variant(2.125), 0, 2), "2.12");  // halves to even first
    EXPECT_EQ(sym->MyFormatNumber(Variant(3.0), 0, 3), "3");
}

class SymbolClock : public testing::Test {
protected:
    // Sunday 10 March 2024, 12:00:00.
    std::shared_ptr<runtime::FixedClock> clock =
        std::make_shared<runtime::FixedClock>(runtime::DateTimeSerial(2024, 3, 10, 12, 0, 0));
    runtime::ScopedClock scoped{clock};
};

TEST_F(SymbolClock, QuoteAgeCheck) {
    auto sym = MakeSymbol(-4);
    EXPECT_TRUE(sym->ValidateStopTradeIfNoPrices("not a date"));
    sym->setStopTradeIfNoPrices(true);
    const std::pair<std::string, bool> rows[] = {
        {"10/03/2024 11:59:00", true},   // 60 seconds old
        {"10/03/2024 11:58:59", false},  // 61 seconds old
        {"10/03/2024 12:00:30", true},   // 30 seconds ahead
        {"10/03/2024 12:01:01", false}, {"", false}, {"garbage", false},
    };
    for (const auto& [text, ok] : rows)
        EXPECT_EQ(sym->ValidateStopTradeIfNoPrices(text), ok) << text;
}

TEST_F(SymbolClock, LastQuoteDatedToTheNearestDay) {
    auto sym = MakeSymbol(-4);
    sym->setLastQuteTime("11:59:30");
    EXPECT_EQ(sym->LastQuteDateTime(), "10/03/2024 11:59:30");
    clock->Set(runtime::DateTimeSerial(2024, 3, 10, 0, 30, 0));
    sym->setLastQuteTime("23:55:00");
    EXPECT_EQ(sym->LastQuteDateTime(), "09/03/2024 23:55:00");
    clock->Set(runtime::DateTimeSerial(2024, 3, 10, 23, 50, 0));
    sym->setLastQuteTime("00:05:00");
    EXPECT_EQ(sym->LastQuteDateTime(), "11/03/2024 00:05:00");
}

TEST(SymbolRelease, DeallocateLeavesAnEmptyShell) {
    auto sym = MakeSymbol(-4, 1.1, 1.1002);
    auto ref = MakeSymbol(-4);
    auto slot = std::make_shared<CSymbol>();
    std::weak_ptr<CSymbol> weakSlot = slot;
    sym->setID(7);
    sym->setName(Variant("EURUSD"));
    sym->setRefSymbol(ref);
    sym->setRef1(std::move(slot));
    sym->setRef3(ref);
    sym->Deallocate();
    EXPECT_EQ(sym->SymbolTradingTimes(), nullptr);
    EXPECT_EQ(sym->RefSymbol(), nullptr);
    EXPECT_EQ(sym->Ref1(), nullptr);
    EXPECT_EQ(sym->Ref3(), nullptr);
    EXPECT_TRUE(weakSlot.expired());
    // Plain fields and prices stay readable.
    EXPECT_EQ(sym->ID(), 7);
    EXPECT_EQ(sym->name(), "EURUSD");
    EXPECT_EQ(sym->Bid(), 1.1);
    EXPECT_EQ(sym->AskWithSpread2(Variant(Null), 0), 1.1002);
    EXPECT_EQ(ErrorNumberOf([&] { sym->LastQuteDateTime(); }), runtime::errc::ObjectVariableNotSet);
    sym->Deallocate();  // a second time changes nothing
    EXPECT_EQ(sym->ID(), 7);
}

}  // namespace
