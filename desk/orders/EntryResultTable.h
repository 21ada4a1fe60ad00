#pragma once
// What the immediate result of an entry-order pane command does: the row's
// "Result" cell text and colour, the journal line, the sound, and whether a
// position's stop-loss/take-profit cells take the pane's texts. Decided from a
// snapshot of the row, of the account's accounts-window row and of the pane.
// Stateless.
#include <cstdint>
#include <optional>
#include <string>

namespace OrbanexDesk {

struct EntryResultInputs {
    int32_t code = 0;
    int32_t account = 0;
    // A deletion is told as itself: a success writes no "Request ..." line.
    bool deletion = false;
    // The pane's row under the key: none when the pane lacks it.
    struct Row {
        std::string text;
        bool checked = false;
    };
    std::optional<Row> row;
    // The account's accounts-window row: none when there is none.
    struct Client {
        std::string status;  // "Connected", ...
        std::string remark;
    };
    std::optional<Client> client;
    std::string PaneMode;
    std::string SubmittedType, SubmittedSymbol, SubmittedPrice, SubmittedSL, SubmittedTP;
};

struct EntryResultEffects {
    bool red = false;                    // the "Result" cell drawn red
    std::optional<std::string> cell;     // the "Result" cell text
    std::optional<std::string> journal;  // one journal line for the account
    bool sound = false;                  // "OrderOk"
    bool manageSLTP = false;             // ManageSuccSLTPResult

    bool operator==(const EntryResultEffects&) const = default;
};

class EntryResultTable {
public:
    static constexpr int32_t kRed = 255;

    static EntryResultEffects Decide(const EntryResultInputs& in);

    // The cell and journal texts of a refusal code; nullopt for codes that only
    // colour the cell.
    struct Texts {
        const char* cell;
        const char* journal;
    };
    static std::optional<Texts> TextsOf(int32_t code);
};

}  // namespace OrbanexDesk
