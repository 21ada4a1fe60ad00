#include <gtest/gtest.h>

#include <string>

#include "general/model/CGlobalVar.h"
#include "runtime/Error.h"

namespace {

using namespace OrbanelGeneral10;

struct Vars {
    bool multi;
    CommCalcTypeEnum comm;
    int16_t priceTimer;
    int16_t lotsLocation;
    bool customize;
    int32_t connectTimer;
    int32_t timeoutTimer;
    std::string webId;
    double gmt;
};

Vars Read(const CGlobalVar& g) {
    return {g.MultiSessionsAllowed(), g.CommCalcType(),      g.PriceChangedTimer(),
            g.ValidLotsLocation(),    g.CustumizeTradeMsg(), g.ClientConnectTimer(),
            g.ClientTimeoutTimer(),   g.WebSecurityID(),     g.ServerGMT()};
}

void ExpectVars(const Vars& got, const Vars& want, const std::string& text) {
    EXPECT_EQ(got.multi, want.multi) << text;
    EXPECT_EQ(got.comm, want.comm) << text;
    EXPECT_EQ(got.priceTimer, want.priceTimer) << text;
    EXPECT_EQ(got.lotsLocation, want.lotsLocation) << text;
    EXPECT_EQ(got.customize, want.customize) << text;
    EXPECT_EQ(got.connectTimer, want.connectTimer) << text;
    EXPECT_EQ(got.timeoutTimer, want.timeoutTimer) << text;
    EXPECT_EQ(got.webId, want.webId) << text;
    EXPECT_EQ(got.gmt, want.gmt) << text;
}

TEST(GlobalVar, SetValuesParsesAsFarAsItCan) {
    // Values stored before each parse, so that what a parse leaves is visible.
    const Vars before{false, ON_OPEN_TYPE, 9, 9, true, 9, 9, "old", 9};
    struct Row {
        std::string text;
        Vars expected;
    };
    const Row rows[] = {
        {"1,2,30,2,0,5000,60000,,3", {true, ON_CLOSE_TYPE, 30, 2, false, 5000, 60000, "", 3}},
        {"0,1,10", {false, ON_OPEN_TYPE, 10, 9, true, 9, 9, "old", 9}},
        {" 1 ,1.0,2.5,3.5,1,0,0, id ,-4.5", {true, ON_OPEN_TYPE, 2, 4, true, 0, 0, " id ", -4.5}},
        {"2,7,1,1,-1,1,1,x,1", {false, ON_CLOSE_TYPE, 1, 1, false, 1, 1, "x", 1}},
        {"word,word,word", {false, ON_CLOSE_TYPE, 0, 9, true, 9, 9, "old", 9}},
        {"1,1,40000,2,0,5000,60000,,3", {true, ON_OPEN_TYPE, 9, 9, true, 9, 9, "old", 9}},
        {"1,1,30,2,0,3000000000,60000,,3", {true, ON_OPEN_TYPE, 30, 2, false, 9, 9, "old", 9}},
        {"1,1,30,2,0,5000,60000,web,3,extra,items",
         {true, ON_OPEN_TYPE, 30, 2, false, 5000, 60000, "web", 3}},
        {"1,1,30,2,0,5000,60000,web", {true, ON_OPEN_TYPE, 30, 2, false, 5000, 60000, "web", 9}},
        {"", before},
    };
    for (const Row& r : rows) {
        CGlobalVar g;
        g.SetValues("0,1,9,9,1,9,9,old,9");  // the only way to set ServerGMT
        g.SetValues(r.text);
        ExpectVars(Read(g), r.expected, r.text);
    }
}

TEST(GlobalVar, DefaultLots) {
    CGlobalVar g;
    EXPECT_EQ(g.CommCalcType(), 0);
    EXPECT_EQ(g.DefaultLots(), 1);
    const std::pair<int16_t, double> rows[] = {{2, 0.01}, {1, 0.1}, {-1, 10}, {-2, 100}};
    for (auto [places, lots] : rows) {
        g.setValidLotsLocation(places);
        EXPECT_DOUBLE_EQ(g.DefaultLots(), lots) << places;
    }
    g.setValidLotsLocation(400);
    EXPECT_THROW(g.DefaultLots(), runtime::Error);
    g.setValidLotsLocation(-400);
    EXPECT_THROW(g.DefaultLots(), runtime::Error);
}

}  // namespace
