// Submit of the entry-order pane is enabled only while the typed prices meet the
// shown conditions strictly.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "desk/orders/EntryInputCheck.h"

namespace {

using namespace OrbanexDesk;

struct Case {
    const char* name;
    EntryInputs in;
    bool enabled;
};

EntryInputs Entry(int32_t type, std::string at, std::string boundary, std::string sl = "",
                  std::string slBoundary = "", std::string tp = "", std::string tpBoundary = "") {
    EntryInputs in;
    in.typeIndex = type;
    in.txtatprice = std::move(at);
    in.lblpricecondition = std::move(boundary);
    in.txtsl = std::move(sl);
    in.lblslchanged = std::move(slBoundary);
    in.txttp = std::move(tp);
    in.lbltpchanged = std::move(tpBoundary);
    return in;
}

EntryInputs Position(std::string side, std::string amount, std::string sl, std::string tp) {
    EntryInputs in;
    in.PaneMode = "SLTP ";
    in.PositionSide = std::move(side);
    in.EditAmount = "2";
    in.txtlimitorderammount = std::move(amount);
    in.txtsl = std::move(sl);
    in.lblslchanged = "1.298";
    in.txttp = std::move(tp);
    in.lbltpchanged = "1.2995";
    return in;
}

TEST(EntryInputCheck, SubmitFollowsConditionsByTypeAndMode) {
    const std::vector<Case> cases = {
        {"buy limit below its boundary", Entry(0, "1.2490", "1.2495"), true},
        {"buy limit on its boundary", Entry(0, "1.2495", "1.2495"), false},
        {"buy limit above its boundary", Entry(0, "1.2500", "1.2495"), false},
        {"sell stop, stop-loss above its limit", Entry(3, "1.2460", "1.247", "1.2485", "1.248"),
         true},
        {"sell stop, stop-loss below its limit", Entry(3, "1.2460", "1.247", "1.2475", "1.248"),
         false},
        {"sell stop, take-profit below its limit",
         Entry(3, "1.2460", "1.247", "", "", "1.245", "1.246"), true},
        {"sell stop, take-profit on its limit",
         Entry(3, "1.2460", "1.247", "", "", "1.246", "1.246"), false},
        {"buy stop above its boundary", Entry(2, "1.2520", "1.251"), true},
        {"buy stop, take-profit below its limit",
         Entry(2, "1.2520", "1.251", "", "", "1.2", "1.253"), false},
        {"sell limit compares numbers, not texts", Entry(1, "10.1", "9.5"), true},
        {"at price 0 never", Entry(3, "0", "1.247"), false},
        {"at price of letters reads 0", Entry(3, "abc", "1.247"), false},
        {"no type", Entry(-1, "1.2490", "1.2495"), false},
        {"sltp buy position, amount of the position", Position("Buy", "2", "1.29", "1.3"), true},
        {"sltp buy position, smaller amount", Position("Buy", "1", "", ""), true},
        {"sltp buy position, amount above the position's", Position("Buy", "3", "", ""), false},
        {"sltp buy position, negative amount", Position("Buy", "-1", "", ""), false},
        {"sltp buy position, stop-loss above its limit", Position("Buy", "1", "1.299", ""), false},
        {"sltp sell position reverses the sides", Position("Sell", "1", "1.299", "1.29"), true},
        {"sltp of an unknown side", Position("", "1", "", ""), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(EntryInputCheck::SubmitEnabled(c.in), c.enabled);
    }
}

}  // namespace
