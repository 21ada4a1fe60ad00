// What one immediate result of an entry-order pane command writes: cell, colour,
// journal line, sound and the position's SL/TP copy.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "desk/orders/EntryResultTable.h"

namespace {

using namespace OrbanexDesk;
using Effects = EntryResultEffects;

// Account 1001 connected, its row checked, after a Buy Limit EURUSD at 1.2.
EntryResultInputs Base(int32_t code) {
    EntryResultInputs in;
    in.code = code;
    in.account = 1001;
    in.row = EntryResultInputs::Row{"1001", true};
    in.client = EntryResultInputs::Client{"Connected", ""};
    in.SubmittedType = "Buy Limit";
    in.SubmittedSymbol = "EURUSD";
    in.SubmittedPrice = "1.2";
    return in;
}

Effects Refusal(const char* cell, const char* journal) {
    return {true, cell, journal, false, false};
}

struct Case {
    const char* name;
    EntryResultInputs in;
    Effects expected;
};

EntryResultInputs With(EntryResultInputs in, const std::function<void(EntryResultInputs&)>& f) {
    f(in);
    return in;
}

TEST(EntryResultTable, EachCodeAndStateGivesItsEffects) {
    const Effects none{};
    const Effects redOnly{true, std::nullopt, std::nullopt, false, false};
    const std::vector<Case> cases = {
        {"success of an entry order",
         Base(1),
         {true, "Success Result", "Request Buy Limit EURUSD at 1.2 ( SL=  TP=  )", true, false}},
        {"success of an SL/TP request: copy, sound, no journal",
         With(Base(1), [](auto& in) { in.PaneMode = "SLTP "; }),
         {true, "Success Result", std::nullopt, true, true}},
        {"success of a deletion: no Request line",
         With(Base(1), [](auto& in) { in.deletion = true; }),
         {true, "Success Result", std::nullopt, true, false}},
        {"success of a deletion in SL/TP mode touches no position",
         With(Base(1),
              [](auto& in) {
                  in.deletion = true;
                  in.PaneMode = "SLTP ";
              }),
         {true, "Success Result", std::nullopt, true, false}},
        {"code 2", Base(2), Refusal("No Privilege Result", "No Privilege Result")},
        {"code 3", Base(3), Refusal("Invalid Account Result", "Invalid Account Result")},
        {"code 4", Base(4), Refusal("Cannot Change Price ", "Cannot Change Price Result")},
        {"code 5", Base(5), Refusal("Invalid SymbolID", "Invalid SymbolID")},
        {"code 6", Base(6), Refusal("Timer Expired", "Timer Expired")},
        {"code 7", Base(7), Refusal("Invalid Ticket", "Invalid Ticket")},
        {"code 8", Base(8), Refusal("Invalid Lots", "Invalid Lots")},
        {"code 9", Base(9), Refusal("Invalid Price", "Invalid Price")},
        {"code 10", Base(10), Refusal("Invalid Order ID", "Invalid Order ID")},
        {"code 21", Base(21), Refusal("Invalid Price", "Invalid Price")},
        {"code 0 only colours", Base(0), redOnly},
        {"code 11 only colours", Base(11), redOnly},
        {"unchecked row only turns red", With(Base(8), [](auto& in) { in.row->checked = false; }),
         redOnly},
        {"row of another account only turns red",
         With(Base(8), [](auto& in) { in.row->text = "1002"; }), redOnly},
        {"disconnected account: nothing",
         With(Base(1), [](auto& in) { in.client->status = "Disconnected"; }), none},
        {"account marked invalid: nothing",
         With(Base(1), [](auto& in) { in.client->remark = "Invalid account"; }), none},
        {"no pane row: nothing", With(Base(1), [](auto& in) { in.row.reset(); }), none},
        {"no accounts-window row: nothing", With(Base(1), [](auto& in) { in.client.reset(); }),
         none},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Effects got = EntryResultTable::Decide(c.in);
        EXPECT_EQ(got.red, c.expected.red);
        EXPECT_EQ(got.cell, c.expected.cell);
        EXPECT_EQ(got.journal, c.expected.journal);
        EXPECT_EQ(got.sound, c.expected.sound);
        EXPECT_EQ(got.manageSLTP, c.expected.manageSLTP);
    }
}

}  // namespace
