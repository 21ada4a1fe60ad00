// The entry-order pane's six condition labels from quote, offsets, type and mode.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "desk/orders/PriceConditions.h"

namespace {

using namespace OrbanexDesk;
using Opt = std::optional<std::string>;

struct Case {
    const char* name;
    std::string mode, side;
    int32_t type;
    int32_t symbolIndex;
    std::string atPrice;
    std::optional<PriceConditionInputs::Quote> quote;
    bool visible;
    double lo, so;
    ConditionLabels expected;
};

ConditionLabels Labels(Opt c, Opt p, Opt slc, Opt sl, Opt tpc, Opt tp) {
    return {c, p, slc, sl, tpc, tp};
}

// Each case: the captions written, nullopt where the label keeps its caption.
TEST(PriceConditions, LabelsFollowTypeQuoteOffsetsAndMode) {
    const PriceConditionInputs::Quote eur{1.2480, 1.2500};
    const PriceConditionInputs::Quote sellPos{1.2990, 1.3000};
    const std::vector<Case> cases = {
        {"buy limit, no at price", "", "", 0, 0, "", eur, true, 0.0005, 0.001,
         Labels("<", "1.2495", "<", "1.249", ">", "1.25")},
        {"buy limit at 1.2400", "", "", 0, 0, "1.2400", eur, true, 0.0005, 0.001,
         Labels("<", "1.2495", "<", "1.2395", ">", "1.2405")},
        {"sell limit", "", "", 1, 0, "", eur, true, 0.0005, 0.001,
         Labels(">", "1.2485", ">", "1.249", "<", "1.248")},
        {"buy stop", "", "", 2, 0, "", eur, true, 0.0005, 0.001,
         Labels(">", "1.251", "<", "1.25", ">", "1.252")},
        {"sell stop, no at price", "", "", 3, 0, "", eur, true, 0.0005, 0.0010,
         Labels("<", "1.247", ">", "1.248", "<", "1.246")},
        {"edit mode reads like a new order", "Limit Orders", "", 3, 0, "", eur, true, 0.0005,
         0.0010, Labels("<", "1.247", ">", "1.248", "<", "1.246")},
        {"no account counts: offsets of -1 shift the limits", "", "", 0, 0, "", eur, true, -1, -1,
         Labels("<", "2.25", "<", "3.25", ">", "1.25")},
        {"sltp of a sell position", "SLTP ", "Sell", 0, 0, "", sellPos, true, 0.0005, 0.0010,
         Labels({}, {}, ">", "1.301", "<", "1.2995")},
        {"sltp of a buy position", "SLTP ", "Buy", -1, -1, "", sellPos, true, 0.0005, 0.0010,
         Labels({}, {}, "<", "1.298", ">", "1.2995")},
        {"sltp of an unknown side", "SLTP ", "buy", 0, 0, "", sellPos, true, 0.0005, 0.001, {}},
        {"no type", "", "", -1, 0, "", eur, true, 0.0005, 0.001, {}},
        {"no symbol entry selected", "", "", 0, -1, "", eur, true, 0.0005, 0.001, {}},
        {"unknown symbol", "", "", 0, 0, "", std::nullopt, true, 0.0005, 0.001, {}},
        {"symbol no account sees", "", "", 0, 0, "", eur, false, 0.0005, 0.001, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int offsetsAsked = 0;
        PriceConditionInputs in;
        in.PaneMode = c.mode;
        in.PositionSide = c.side;
        in.typeIndex = c.type;
        in.symbolIndex = c.symbolIndex;
        in.txtatprice = c.atPrice;
        in.symbol = c.quote;
        in.visible = [&] { return c.visible; };
        in.limitOffset = [&] { return ++offsetsAsked, c.lo; };
        in.stopOffset = [&] { return ++offsetsAsked, c.so; };
        const ConditionLabels got = PriceConditions::Compute(in);
        EXPECT_EQ(got, c.expected);
        EXPECT_EQ(got.Unchanged(), c.expected.Unchanged());
        // The walk over the sessions is spared when the symbol is unknown or unseen.
        if (!c.quote || !c.visible) {
            EXPECT_EQ(offsetsAsked, 0);
        }
    }
}

}  // namespace
