#pragma once
// What one press of the entry-order pane's Submit does, decided from a snapshot of
// the pane and of the accounts' sessions: the commands to send (each with its row
// and its arguments), the texts for rows, the message and whether the pane resets.
// All or nothing: every check runs before the first command, so a refusal sends
// nothing and a resubmission never doubles an order. The caller sends the commands
// in order, reports each code through the result table, then shows the message
// and resets. Stateless.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace OrbanexDesk {

struct EntryRow {
    std::string key;     // the row's key
    std::string text;    // the account number
    std::string amount;  // the "Amount" cell
    bool checked = false;
    bool hasSession = false;  // the account has a session now
    int32_t symbolId = 0;     // that session's id of the pane's symbol, 0 when it lacks it
};

// A pending "(Manage)" row: a stop-loss/take-profit order of a position.
struct ManageOrderRow {
    int32_t orderId = 0;
    int32_t account = 0;
    int32_t ticket = 0;
};

struct SubmissionSnapshot {
    bool IsEditing = false;
    std::string PaneMode;
    int32_t EditID = 0;
    int32_t typeIndex = -1;
    std::string symbol, txtatprice, txtsl, txttp, txtlimitorderammount, CBlimitorderdis;
    std::vector<EntryRow> rows;
    // Set while the pane serves an open position: that position's account.
    std::optional<int32_t> positionAccount;
    std::vector<ManageOrderRow> manageOrders;
};

enum class EntryCommandKind { NewLimitOrder, UpdateLimitOrder, NewSLTPOrder, UpdateSLTPOrder };

struct EntryCommand {
    EntryCommandKind kind = EntryCommandKind::NewLimitOrder;
    std::string key;
    int32_t account = 0;
    // NewLimitOrder: the order type; UpdateLimitOrder, UpdateSLTPOrder: the order id;
    // NewSLTPOrder: the ticket.
    int32_t id = 0;
    int32_t symbolId = 0;  // NewLimitOrder only
    double lots = 0;
    double price = 0;  // at price / new price; unused by the SL/TP commands
    std::string sl, tp;

    bool operator==(const EntryCommand&) const = default;
};

struct SubmissionPlan {
    using Cells = std::vector<std::pair<std::string, std::string>>;  // row key, text
    Cells amounts;  // "Amount" cells written before sending
    Cells results;  // "Result" cells written instead of sending
    std::vector<EntryCommand> commands;
    std::string message, caption;  // no message when empty
    bool reset = false;
};

class EntrySubmission {
public:
    static constexpr const char* kDefaultCaption = "##DEF##";

    static SubmissionPlan Plan(const SubmissionSnapshot& in);

private:
    static SubmissionPlan NewOrders(const SubmissionSnapshot& in);
    static SubmissionPlan PositionOrder(const SubmissionSnapshot& in);
    static SubmissionPlan EditOrder(const SubmissionSnapshot& in);
};

}  // namespace OrbanexDesk
