#pragma once
// The close-position pane without its window: the grid of connected accounts with
// their positions in the chosen symbol, the check marks (kept as the cells' back
// colours), the closing prices and the close plans. It reads the accounts window's
// and the Trade pane's lists through the ports and sends every close through one
// hook, so the sessions, the question box and the pane's window all act on this one
// object. The window (frmClosePos) routes its clicks, mouse-downs and check box here
// and shows MSH and CloseSymbols; it owns nothing of the state.
// The sessions ask for a rebuild at every new or deleted position (a Buy over 500
// accounts asks 500 times in one loop turn), so their requests and the accounts
// window's only mark the grid and one rebuild runs from the loop; the operator's
// choice in the list rebuilds at once. Quotes, status texts and new accounts that
// arrive while a rebuild is due are written after it, as they would have landed on
// a grid rebuilt at once; every operation that reads or acts on the rows runs a due
// rebuild first. A due rebuild dies with this object. Every other call runs to its
// end at once; hooks may be empty (then nothing is sent, asked or shown). Calls
// come on the GUI thread only; hooks must not destroy this.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "desk/common/DeskServices.h"
#include "platform/Grid.h"

namespace OrbanexDesk {

class ClosePosGrid : public IfrmClosePos {
public:
    // Check states and pictures of the grid's cells.
    static constexpr int32_t kUnchecked = 0xFFFFFF;
    static constexpr int32_t kChecked = 0xFFFFFE;
    static constexpr int32_t kPictureChecked = 104;
    static constexpr int32_t kPictureUnchecked = 105;
    static constexpr int32_t kPictureBar = 101;
    static constexpr int32_t kQuestionAll = 2;     // Yes runs closepos
    static constexpr int32_t kQuestionSingle = 4;  // Yes runs close_single
    static constexpr int32_t kKeyEnter = 13;
    static constexpr int32_t kKeySpace = 32;

    struct Hooks {
        // ClosePositionForAccount(Ticket, Lots, Account) of the desk's trade-view procedures.
        std::function<void(int32_t, double, int32_t)> ClosePositionForAccount;
        // CQuestionBox.Show(message, questionType).
        std::function<void(const std::string&, int32_t)> AskQuestion;
    };

    // `ports` must hold frmMain, frmTrade and Messages while this object is used.
    ClosePosGrid(const DeskPorts& ports, Hooks hooks);

    // ---- IfrmClosePos ----
    // Adds the account's row; while a rebuild is due, after it.
    void Add(int32_t AccountID) override;
    platform::ComboBox& CloseSymbols() override { return CloseSymbols_; }
    // Marks the grid for a rebuild for the symbol chosen now; one rebuild runs from
    // the loop however often this is called before it.
    void CloseSymbols_Click() override;
    void Remove() override { CloseSymbols_Click(); }
    // Both write the Action cells; while a rebuild is due, after it.
    void RefreshPrice(double ask, double bid) override;
    void searchpos(int32_t account, int32_t ticket, const std::string& text) override;
    void RefreshMSH() override { MSH_.Refresh(); }
    runtime::Collection<int32_t>& PendingCloses() override { return PendingCloses_; }
    // Drops a due rebuild (it would be emptied at once) and empties the grid.
    void ResetMSH() override;
    // The store as it stands: a due rebuild has not run yet (RunDueRebuild).
    platform::Grid& MSH() { return MSH_; }
    void closepos() override;
    void close_single() override;

    // ---- Rebuilds ----
    // Rebuilds for the symbol chosen in the list at once (the list's own click).
    void RebuildNow();
    // Runs a due rebuild now and the writes that waited for it; nothing when none is due.
    void RunDueRebuild();

    // ---- The pane's own operations ----
    void add_client();
    void check_all();
    // The row of that account, 0 when none, in the grid as it stands.
    size_t get_index(int32_t account) const;
    // Marks one position row " Waiting.....", sends nothing.
    void closepos1(size_t row);
    void close_postions();

    // ---- What the window routes here ----
    void MSH_MouseDown(int32_t button);
    void MSH_Click();
    // A key on the grid's current cell (the grid's KeyDown codes below).
    void MSH_KeyDown(int32_t KeyCode);
    void LblCheck_Click();
    // The "all accounts" box: a change, also by code, runs its handling.
    bool chkAllClients() const { return chkAllClients_; }
    void setchkAllClients(bool checked);
    // Column widths for a grid this wide (twips); narrow grids keep theirs.
    void LayOutColumns(double gridWidth);

    bool AccountChecked() const { return AccountChecked_; }
    bool RightButtonDown() const { return RightButtonDown_; }
    // Raised when code changes the box, so the window can show it.
    runtime::Event<bool> chkAllClientsChanged;

    // The ticket in a position description ("#<ticket>" as its 13th blank-separated
    // element); 0 for a text that holds none.
    static int32_t TicketOf(const std::string& description);

private:
    struct SingleClose {
        int32_t ticket = 0;
        int32_t account = 0;
    };
    // A sessions' write that came while a rebuild was due, replayed after it.
    struct LateWrite {
        enum class Kind { Account, Price, Status };
        Kind kind;
        int32_t id = 0;       // the account or the ticket
        int32_t account = 0;  // a status's account
        double ask = 0;
        double bid = 0;
        std::string text{};
    };

    void Rebuild(const std::string& symbol);
    void Replay(const LateWrite& write);

    // What a click on the current cell does, whatever button pressed it.
    void ClickCurrentCell();
    void WritePosition(size_t row, const platform::ListItem& trade);
    void WriteAccount(size_t row, int32_t account);
    void SetCellState(size_t col);
    void SetCheckCell(size_t row, size_t col, int32_t picture, int32_t pictureAlignment);
    bool IsAccountRow(size_t row) const { return !MSH_.TextMatrix(row, 0).empty(); }
    bool IsPositionRow(size_t row) const;
    bool IsCheckedPosition(size_t row) const;
    bool AnyCheckedPosition() const;
    SingleClose PlanSingle() const;
    // Closes the whole amount of the account's Trade row of the ticket.
    void CloseChecked(int32_t ticket, int32_t account);
    void Note(const std::string& text);

    const DeskPorts& ports_;
    Hooks hooks_;
    platform::Grid MSH_{2, 4};
    platform::ComboBox CloseSymbols_;
    runtime::Collection<int32_t> PendingCloses_;
    bool chkAllClients_ = false;
    bool AccountChecked_ = false;
    bool RightButtonDown_ = false;
    std::optional<SingleClose> asked_;  // the position of the last single-close question
    bool rebuildDue_ = false;
    bool rebuildPosted_ = false;
    std::string rebuildSymbol_;  // the choice when the rebuild was asked for
    std::vector<LateWrite> lateWrites_;
    std::shared_ptr<bool> life_ = std::make_shared<bool>(true);  // a posted rebuild checks it
};

}  // namespace OrbanexDesk
