#include "desk/orders/EntrySubmission.h"

#include "desk/common/OrderPaneProcedures.h"
#include "desk/orders/EntryOrderTypes.h"
#include "runtime/Convert.h"

namespace OrbanexDesk {

namespace {
constexpr const char* kFillFields = "Please fill the required fields";
constexpr const char* kDistributeFirst = "Please distribute the amount first";
constexpr const char* kNoAccountSelected = "No account selected";
constexpr const char* kNoSelectedAccount = "No selected account";
constexpr const char* kInvalidPrice = "Invalid Price";
constexpr const char* kNotConnected = "Account not connected";

SubmissionPlan Message(const char* text, bool reset, const char* caption = "##DEF##") {
    SubmissionPlan plan;
    plan.message = text;
    plan.caption = caption;
    plan.reset = reset;
    return plan;
}
SubmissionPlan Reset() {
    SubmissionPlan plan;
    plan.reset = true;
    return plan;
}

std::vector<const EntryRow*> Checked(const SubmissionSnapshot& in) {
    std::vector<const EntryRow*> rows;
    for (const EntryRow& row : in.rows)
        if (row.checked) rows.push_back(&row);
    return rows;
}

// Each given row's "Result" reads `text`; nothing is sent, the pane keeps its texts.
SubmissionPlan RowTexts(const std::vector<const EntryRow*>& rows, const char* text) {
    SubmissionPlan plan;
    for (const EntryRow* row : rows) plan.results.emplace_back(row->key, text);
    return plan;
}

// Prices pass the same key filter as lot counts, so a typed price has their shape.
bool IsPriceText(const std::string& text) {
    return IsLotsText(text);
}

// A pasted stop-loss or take-profit that is not a number.
bool PricesUnreadable(const SubmissionSnapshot& in) {
    auto bad = [](const std::string& t) { return !t.empty() && !IsPriceText(t); };
    return bad(in.txtsl) || bad(in.txttp);
}

bool AtPriceUsable(const std::string& text) {
    return IsPriceText(text) && runtime::Val(text) > 0;
}

// The stop-loss and take-profit against the at price by type; empty passes.
enum class Sides { Pass, StopLossWrong, TakeProfitWrong };
Sides CheckSides(const SubmissionSnapshot& in, double at) {
    const bool buy = IsBuyEntry(in.typeIndex);
    if (!in.txtsl.empty()) {
        const double sl = runtime::Val(in.txtsl);
        if (buy ? !(sl < at) : !(sl > at)) return Sides::StopLossWrong;
    }
    if (!in.txttp.empty()) {
        const double tp = runtime::Val(in.txttp);
        if (buy ? !(tp > at) : !(tp < at)) return Sides::TakeProfitWrong;
    }
    return Sides::Pass;
}

// The rows whose account has no session, marked; nullopt when all have one.
std::optional<SubmissionPlan> Unconnected(const std::vector<const EntryRow*>& rows) {
    std::vector<const EntryRow*> missing;
    for (const EntryRow* row : rows)
        if (!row->hasSession) missing.push_back(row);
    if (missing.empty()) return std::nullopt;
    return RowTexts(missing, kNotConnected);
}

int32_t AccountOf(const EntryRow& row) {
    return runtime::CLng(runtime::Val(row.text));
}

EntryCommand Command(EntryCommandKind kind, const EntryRow& row, const SubmissionSnapshot& in) {
    EntryCommand c;
    c.kind = kind;
    c.key = row.key;
    c.account = AccountOf(row);
    c.sl = in.txtsl;
    c.tp = in.txttp;
    return c;
}
}  // namespace

SubmissionPlan EntrySubmission::Plan(const SubmissionSnapshot& in) {
    if (!in.IsEditing) return NewOrders(in);
    if (in.PaneMode == kModeSLTP) return PositionOrder(in);
    if (in.PaneMode == kModeLimitOrders) return EditOrder(in);
    return Reset();
}

SubmissionPlan EntrySubmission::NewOrders(const SubmissionSnapshot& in) {
    if (in.CBlimitorderdis.empty()) return Message(kFillFields, false);
    if (in.symbol.empty() || in.txtlimitorderammount.empty() || in.txtatprice.empty())
        return Message(kFillFields, true);
    if (!AtPriceUsable(in.txtatprice)) return Reset();
    const auto checked = Checked(in);
    if (checked.empty()) return Message(kNoAccountSelected, true);
    if (PricesUnreadable(in)) return RowTexts(checked, kInvalidPrice);
    const auto type = EntryOrderType(in.typeIndex);
    // The first row decides the price checks for all: they share the prices.
    if (checked.front()->amount.empty()) return Message(kDistributeFirst, true);
    if (type) {
        switch (CheckSides(in, runtime::Val(in.txtatprice))) {
            case Sides::StopLossWrong:
                return Message(kInvalidPrice, false,
                               in.typeIndex == kBuyStop ? "Warning" : kDefaultCaption);
            case Sides::TakeProfitWrong:
                return {};
            case Sides::Pass:
                break;
        }
    }
    std::vector<const EntryRow*> unreadable;
    for (const EntryRow* row : checked) {
        if (row->amount.empty()) return Message(kDistributeFirst, true);
        if (!IsLotsText(row->amount)) unreadable.push_back(row);
    }
    if (!unreadable.empty()) return RowTexts(unreadable, kInvalidLots);
    if (!type) return Reset();
    if (auto refused = Unconnected(checked)) return *refused;
    SubmissionPlan plan = Reset();
    for (const EntryRow* row : checked) {
        EntryCommand c = Command(EntryCommandKind::NewLimitOrder, *row, in);
        c.id = *type;
        c.symbolId = row->symbolId;
        c.lots = runtime::Val(row->amount);
        c.price = runtime::Val(in.txtatprice);
        plan.commands.push_back(std::move(c));
    }
    return plan;
}

SubmissionPlan EntrySubmission::PositionOrder(const SubmissionSnapshot& in) {
    const auto checked = Checked(in);
    if (checked.empty()) return Message(kNoSelectedAccount, true);
    const EntryRow& row = *checked.front();
    if (PricesUnreadable(in)) return RowTexts({&row}, kInvalidPrice);
    if (auto refused = Unconnected({&row})) return *refused;
    // A "(Manage)" row names its order; a position's order is the one of its own
    // account (tickets of accounts on different servers may be equal).
    EntryCommandKind kind = EntryCommandKind::UpdateSLTPOrder;
    int32_t id = in.EditID;
    if (in.positionAccount) {
        kind = EntryCommandKind::NewSLTPOrder;
        for (const ManageOrderRow& order : in.manageOrders) {
            if (order.ticket == in.EditID && order.account == *in.positionAccount) {
                kind = EntryCommandKind::UpdateSLTPOrder;
                id = order.orderId;
                break;
            }
        }
    }
    SubmissionPlan plan = Reset();
    EntryCommand c = Command(kind, row, in);
    c.id = id;
    c.lots = runtime::Val(in.txtlimitorderammount);
    plan.commands.push_back(std::move(c));
    return plan;
}

SubmissionPlan EntrySubmission::EditOrder(const SubmissionSnapshot& in) {
    // The order keeps the amount as typed: no redistribution, no rounding.
    const std::string& amount = in.txtlimitorderammount;
    const auto checked = Checked(in);
    if (amount.empty()) return Message(kFillFields, false);
    if (!IsLotsText(amount)) return RowTexts(checked, kInvalidLots);
    if (runtime::Val(amount) == 0) return Message(kFillFields, false);
    if (!AtPriceUsable(in.txtatprice)) return Reset();
    if (PricesUnreadable(in)) return RowTexts(checked, kInvalidPrice);
    const double at = runtime::Val(in.txtatprice);
    if (in.typeIndex == kBuyLimit && !checked.empty()) {
        switch (CheckSides(in, at)) {
            case Sides::StopLossWrong:
                return Message(kInvalidPrice, false);
            case Sides::TakeProfitWrong:
                return {};
            case Sides::Pass:
                break;
        }
    }
    if (!EntryOrderType(in.typeIndex)) return Reset();
    if (auto refused = Unconnected(checked)) return *refused;
    SubmissionPlan plan = Reset();
    for (const EntryRow* row : checked) {
        plan.amounts.emplace_back(row->key, amount);
        EntryCommand c = Command(EntryCommandKind::UpdateLimitOrder, *row, in);
        c.id = in.EditID;
        c.lots = runtime::Val(amount);
        c.price = at;
        plan.commands.push_back(std::move(c));
    }
    return plan;
}

}  // namespace OrbanexDesk
