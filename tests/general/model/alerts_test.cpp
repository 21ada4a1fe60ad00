#include <gtest/gtest.h>

#include <memory>

#include "general/model/CAlert.h"
#include "general/model/CAlerts.h"
#include "trading_fixture.h"

namespace {

using namespace OrbanelGeneral10;
using namespace tradingfixture;

TEST(Alerts, AddCopiesTheSymbolIdAndStartsUnhit) {
    auto symbol = MakeSymbol(12, -4, 1.1, 1.1);
    CAlerts alerts;
    auto a = alerts.Add(3, 7, symbol, ASK_LESS, 1.2345);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->ID(), 7);
    EXPECT_EQ(a->ClientID(), 3);
    EXPECT_EQ(a->Symbol(), symbol);
    EXPECT_EQ(a->SymbolID(), 12);
    EXPECT_EQ(a->AlertCondition(), ASK_LESS);
    EXPECT_EQ(a->AlertValue(), 1.2345);
    EXPECT_EQ(a->hitPrice(), 0);
    EXPECT_EQ(a->hitTime(), runtime::Date());
}

TEST(Alerts, CollectionRefusalsRemoveAndClear) {
    auto symbol = MakeSymbol(12, -4, 1.1, 1.1);
    CAlerts alerts;
    auto seven = alerts.Add(3, 7, symbol, BID_GREATER, 1);
    auto one = alerts.Add(3, 1, symbol, BID_LESS, 1);
    EXPECT_FALSE(alerts.Add(3, 7, symbol, ASK_GREATER, 2));   // id present
    EXPECT_FALSE(alerts.Add(3, 8, nullptr, ASK_GREATER, 2));  // no symbol
    EXPECT_EQ(alerts.Count(), 2);
    EXPECT_EQ(alerts.Item("7")->AlertCondition(), BID_GREATER);
    EXPECT_EQ(alerts.Item(1), seven);
    EXPECT_EQ(alerts.Item("1"), one);

    alerts.Remove("99");
    EXPECT_EQ(alerts.Count(), 2);
    alerts.Remove("1");
    EXPECT_EQ(alerts.Count(), 1);
    EXPECT_EQ(one->Symbol(), symbol);  // removing does not release

    alerts.Clear();
    EXPECT_EQ(alerts.Count(), 0);
    EXPECT_EQ(seven->ID(), 7);
    EXPECT_EQ(seven->Symbol(), symbol);
}

TEST(Alert, SettingNoSymbolFailsAndKeepsTheId) {
    CAlert a;
    a.setSymbol(MakeSymbol(12, -4, 1.1, 1.1));
    EXPECT_EQ(ErrorOf([&] { a.setSymbol(nullptr); }), runtime::errc::ObjectVariableNotSet);
    EXPECT_FALSE(a.Symbol());
    EXPECT_EQ(a.SymbolID(), 12);
}

}  // namespace
