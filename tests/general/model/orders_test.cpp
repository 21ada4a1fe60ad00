#include <gtest/gtest.h>

#include <memory>

#include "general/model/COrder.h"
#include "general/model/COrders.h"
#include "runtime/Date.h"
#include "trading_fixture.h"

namespace {

using namespace OrbanelGeneral10;
using namespace tradingfixture;

TEST(Orders, AddStoresEveryValueWithPricesInTheSymbolsFormat) {
    Market m;
    auto param = MakeParam(MakeSymbol(7, -4, 1.1, 1.1), m.unitParam);
    const runtime::Date hit = runtime::DateTimeSerial(2024, 3, 4, 5, 6, 7);
    COrders orders;
    auto o = orders.Add(11, 1.234445, 1.23436, 1.11111, param, 2.5, 44, SellStopType,
                        LimitOrdersType, 900, 1.3, hit, "04/03/2024 05:06:07");
    ASSERT_TRUE(o);
    EXPECT_DOUBLE_EQ(o->tpPrice(), 1.2345);
    EXPECT_DOUBLE_EQ(o->slPrice(), 1.2344);
    EXPECT_DOUBLE_EQ(o->LimitPrice(), 1.1111);
    EXPECT_EQ(o->IoID(), 44);
    EXPECT_EQ(o->OrderId(), 900);
    EXPECT_DOUBLE_EQ(o->hitPrice(), 1.3);  // not a stored price: kept as given
    EXPECT_EQ(o->hitTime(), hit);
}

TEST(Orders, CollectionKeysPositionsAndRefusals) {
    Market m;
    auto param = MakeParam(MakeSymbol(7, -2, 1.1, 1.1), m.unitParam);
    COrders orders;
    auto first =
        orders.Add(0, 0, 0, 1.5, param, 1, 0, BuyType, LimitOrdersType, 30, 0, runtime::Date(), "");
    auto second =
        orders.Add(0, 0, 0, 1.6, param, 1, 0, BuyType, LimitOrdersType, 1, 0, runtime::Date(), "");
    ASSERT_TRUE(first && second);

    EXPECT_FALSE(
        orders.Add(0, 0, 0, 9, param, 9, 0, BuyType, LimitOrdersType, 30, 0, runtime::Date(), ""));
    EXPECT_FALSE(orders.Add(0, 0, 0, 1.5, nullptr, 1, 0, BuyType, LimitOrdersType, 31, 0,
                            runtime::Date(), ""));
    EXPECT_EQ(orders.Count(), 2);
    EXPECT_DOUBLE_EQ(orders.Item("30")->LimitPrice(), 1.5);

    EXPECT_EQ(orders.Item(1), first);
    EXPECT_EQ(orders.Item("1"), second);
    EXPECT_FALSE(orders.Item(0));
    EXPECT_FALSE(orders.Item("2"));

    orders.Remove("2");
    orders.Remove(1);
    EXPECT_EQ(orders.Count(), 1);
    EXPECT_EQ(orders.Item(1), second);

    orders.Clear();
    EXPECT_EQ(orders.Count(), 0);
    second->setLimitPrice(1.234);                  // still usable: rounds through its parameters
    EXPECT_DOUBLE_EQ(second->LimitPrice(), 1.24);  // up from 0.4 of the last decimal
}

TEST(Order, PriceLetsNeedTheParameterObject) {
    COrder o;
    EXPECT_EQ(ErrorOf([&] { o.setLimitPrice(1); }), runtime::errc::ObjectVariableNotSet);
    EXPECT_EQ(ErrorOf([&] { o.setSlPrice(1); }), runtime::errc::ObjectVariableNotSet);
    EXPECT_EQ(ErrorOf([&] { o.setTpPrice(1); }), runtime::errc::ObjectVariableNotSet);
    EXPECT_DOUBLE_EQ(o.LimitPrice(), 0);
}

}  // namespace
