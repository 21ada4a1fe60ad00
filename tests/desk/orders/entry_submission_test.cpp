// One Submit of the entry-order pane as a plan: commands with their arguments, row
// texts, message, caption and reset. Nothing is sent unless every check passes.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "desk/orders/EntrySubmission.h"
#include "runtime/Convert.h"

namespace {

using namespace OrbanexDesk;

EntryRow Row(int32_t account, std::string amount, int32_t symbolId = 7, bool session = true,
             bool checked = true) {
    return {"C" + std::to_string(account),
            std::to_string(account),
            std::move(amount),
            checked,
            session,
            symbolId};
}

// A filled new Buy Limit for accounts 1001 and 1002 (symbol ids 7 and 9, amounts
// 0.6 and 0.4).
SubmissionSnapshot NewOrder() {
    SubmissionSnapshot s;
    s.typeIndex = 0;
    s.symbol = "EURUSD";
    s.txtatprice = "1.2500";
    s.txtlimitorderammount = "1";
    s.CBlimitorderdis = "Distribute as equal parts";
    s.rows = {Row(1001, "0.6", 7), Row(1002, "0.4", 9)};
    return s;
}

// The SL/TP request of account 1001 for EditID 555.
SubmissionSnapshot Sltp() {
    SubmissionSnapshot s;
    s.IsEditing = true;
    s.PaneMode = "SLTP ";
    s.EditID = 555;
    s.typeIndex = 0;
    s.txtlimitorderammount = "2";
    s.txtsl = "1.2";
    s.rows = {Row(1002, "", 7, true, false), Row(1001, "2")};
    s.manageOrders = {{900, 1002, 555}, {901, 1001, 444}};
    return s;
}

// The edit of pending order 321 of account 1001, typed amount 0.15.
SubmissionSnapshot Edit() {
    SubmissionSnapshot s;
    s.IsEditing = true;
    s.PaneMode = "Limit Orders";
    s.EditID = 321;
    s.typeIndex = 0;
    s.txtatprice = "1.2400";
    s.txtlimitorderammount = "0.15";
    s.rows = {Row(1001, "0.15"), Row(1002, "", 7, true, false)};
    return s;
}

const char* KindName(EntryCommandKind k) {
    switch (k) {
        case EntryCommandKind::NewLimitOrder:
            return "NewLimitOrder";
        case EntryCommandKind::UpdateLimitOrder:
            return "UpdateLimitOrder";
        case EntryCommandKind::NewSLTPOrder:
            return "NewSLTPOrder";
        case EntryCommandKind::UpdateSLTPOrder:
            return "UpdateSLTPOrder";
    }
    return "?";
}

std::string Describe(const SubmissionPlan& p) {
    std::string out = p.message.empty() ? "" : p.message + "|" + p.caption + " ";
    out += p.reset ? "reset" : "kept";
    for (const auto& [key, text] : p.amounts) out += " amount " + key + "=" + text;
    for (const auto& [key, text] : p.results) out += " result " + key + "=" + text;
    for (const EntryCommand& c : p.commands) {
        out += std::string(" ") + KindName(c.kind) + "(" + c.key + "," + std::to_string(c.account) +
               ",id " + std::to_string(c.id);
        if (c.kind == EntryCommandKind::NewLimitOrder) out += ",sym " + std::to_string(c.symbolId);
        out += ",lots " + runtime::NumberToText(c.lots);
        if (c.kind == EntryCommandKind::NewLimitOrder ||
            c.kind == EntryCommandKind::UpdateLimitOrder)
            out += ",at " + runtime::NumberToText(c.price);
        out += ",sl '" + c.sl + "',tp '" + c.tp + "')";
    }
    return out;
}

struct Case {
    const char* name;
    std::function<SubmissionSnapshot()> snapshot;
    std::string expected;
};

template <class F>
std::function<SubmissionSnapshot()> From(SubmissionSnapshot (*base)(), F change) {
    return [base, change] {
        SubmissionSnapshot s = base();
        change(s);
        return s;
    };
}

TEST(EntrySubmission, PlansFollowModeChecksAndOutcomeTable) {
    using S = SubmissionSnapshot;
    const std::vector<Case> cases = {
        // New entry orders.
        {"two accounts, each with its own symbol id and amount", NewOrder,
         "reset NewLimitOrder(C1001,1001,id 1,sym 7,lots 0.6,at 1.25,sl '',tp '') "
         "NewLimitOrder(C1002,1002,id 1,sym 9,lots 0.4,at 1.25,sl '',tp '')"},
        {"no distribution rule", From(NewOrder, [](S& s) { s.CBlimitorderdis = ""; }),
         "Please fill the required fields|##DEF## kept"},
        {"no symbol", From(NewOrder, [](S& s) { s.symbol = ""; }),
         "Please fill the required fields|##DEF## reset"},
        {"no total", From(NewOrder, [](S& s) { s.txtlimitorderammount = ""; }),
         "Please fill the required fields|##DEF## reset"},
        {"no at price", From(NewOrder, [](S& s) { s.txtatprice = ""; }),
         "Please fill the required fields|##DEF## reset"},
        {"at price 0", From(NewOrder, [](S& s) { s.txtatprice = "0"; }), "reset"},
        {"at price of letters", From(NewOrder, [](S& s) { s.txtatprice = "abc"; }), "reset"},
        {"at price with trailing letters", From(NewOrder, [](S& s) { s.txtatprice = "1.2x"; }),
         "reset"},
        {"no row checked",
         From(NewOrder, [](S& s) { s.rows = {Row(1001, "0.5", 7, true, false)}; }),
         "No account selected|##DEF## reset"},
        {"five accounts, the third without amount: nothing goes",
         From(NewOrder,
              [](S& s) {
                  s.rows = {Row(1, "0.2"), Row(2, "0.2"), Row(3, ""), Row(4, "0.2"), Row(5, "0.2")};
              }),
         "Please distribute the amount first|##DEF## reset"},
        {"an unchecked row without amount is passed over",
         From(NewOrder, [](S& s) { s.rows.push_back(Row(1003, "", 7, true, false)); }),
         "reset NewLimitOrder(C1001,1001,id 1,sym 7,lots 0.6,at 1.25,sl '',tp '') "
         "NewLimitOrder(C1002,1002,id 1,sym 9,lots 0.4,at 1.25,sl '',tp '')"},
        {"buy limit with its stop-loss above", From(NewOrder, [](S& s) { s.txtsl = "1.2600"; }),
         "Invalid Price|##DEF## kept"},
        {"buy stop with its stop-loss above",
         From(NewOrder,
              [](S& s) {
                  s.typeIndex = 2;
                  s.txtsl = "1.2600";
              }),
         "Invalid Price|Warning kept"},
        {"buy limit with its take-profit below: silent",
         From(NewOrder, [](S& s) { s.txttp = "1.2400"; }), "kept"},
        {"sell limit 99.50 with stop-loss 100.20 passes",
         From(NewOrder,
              [](S& s) {
                  s.typeIndex = 1;
                  s.txtatprice = "99.50";
                  s.txtsl = "100.20";
                  s.rows.pop_back();
              }),
         "reset NewLimitOrder(C1001,1001,id -1,sym 7,lots 0.6,at 99.5,sl '100.20',tp '')"},
        {"sell stop carries both texts",
         From(NewOrder,
              [](S& s) {
                  s.typeIndex = 3;
                  s.txtsl = "1.26";
                  s.txttp = "1.24";
                  s.rows = {Row(1001, "0.5", 0)};
              }),
         "reset NewLimitOrder(C1001,1001,id -2,sym 0,lots 0.5,at 1.25,sl '1.26',tp '1.24')"},
        {"a row without session: nothing goes",
         From(NewOrder, [](S& s) { s.rows[1].hasSession = false; }),
         "kept result C1002=Account not connected"},
        {"no type: nothing goes", From(NewOrder, [](S& s) { s.typeIndex = -1; }), "reset"},
        {"a pasted stop-loss", From(NewOrder, [](S& s) { s.txtsl = "1,26"; }),
         "kept result C1001=Invalid Price result C1002=Invalid Price"},
        {"an amount cell that is not a number",
         From(NewOrder, [](S& s) { s.rows[1].amount = "0.5x"; }), "kept result C1002=Invalid Lots"},
        // Stop-loss/take-profit requests.
        {"from a (Manage) row: Update with the order id", Sltp,
         "reset UpdateSLTPOrder(C1001,1001,id 555,lots 2,sl '1.2',tp '')"},
        {"a position with its own account's order",
         From(Sltp,
              [](S& s) {
                  s.EditID = 444;
                  s.positionAccount = 1001;
              }),
         "reset UpdateSLTPOrder(C1001,1001,id 901,lots 2,sl '1.2',tp '')"},
        {"a position whose ticket another account's order bears",
         From(Sltp, [](S& s) { s.positionAccount = 1001; }),
         "reset NewSLTPOrder(C1001,1001,id 555,lots 2,sl '1.2',tp '')"},
        {"sltp without a checked row", From(Sltp, [](S& s) { s.rows[1].checked = false; }),
         "No selected account|##DEF## reset"},
        {"sltp without session", From(Sltp, [](S& s) { s.rows[1].hasSession = false; }),
         "kept result C1001=Account not connected"},
        {"sltp with a pasted take-profit", From(Sltp, [](S& s) { s.txttp = "1.3abc"; }),
         "kept result C1001=Invalid Price"},
        // Edits of pending entry orders.
        {"edit keeps the typed amount", Edit,
         "reset amount C1001=0.15 UpdateLimitOrder(C1001,1001,id 321,lots 0.15,at 1.24,sl "
         "'',tp '')"},
        {"edit without amount", From(Edit, [](S& s) { s.txtlimitorderammount = ""; }),
         "Please fill the required fields|##DEF## kept"},
        {"edit with amount 0", From(Edit, [](S& s) { s.txtlimitorderammount = "0"; }),
         "Please fill the required fields|##DEF## kept"},
        {"edit with a pasted amount", From(Edit, [](S& s) { s.txtlimitorderammount = "1,5"; }),
         "kept result C1001=Invalid Lots"},
        {"edit with at price 0", From(Edit, [](S& s) { s.txtatprice = "0"; }), "reset"},
        {"edit of a buy limit with its stop-loss above", From(Edit, [](S& s) { s.txtsl = "1.25"; }),
         "Invalid Price|##DEF## kept"},
        {"edit of a sell limit sends its stop-loss unchecked",
         From(Edit,
              [](S& s) {
                  s.typeIndex = 1;
                  s.txtsl = "1.2";
              }),
         "reset amount C1001=0.15 UpdateLimitOrder(C1001,1001,id 321,lots 0.15,at 1.24,sl "
         "'1.2',tp '')"},
        {"edit without session", From(Edit, [](S& s) { s.rows[0].hasSession = false; }),
         "kept result C1001=Account not connected"},
        {"editing in an unknown mode only resets", From(Edit, [](S& s) { s.PaneMode = "SLTP"; }),
         "reset"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Describe(EntrySubmission::Plan(c.snapshot())), c.expected);
    }
}

}  // namespace
