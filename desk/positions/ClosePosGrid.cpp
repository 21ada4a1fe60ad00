#include "desk/positions/ClosePosGrid.h"

#include <cmath>
#include <list>
#include <unordered_map>

#include "desk/common/MGeneral.h"
#include "desk/positions/CloseGridLayout.h"
#include "platform/EventLoop.h"
#include "runtime/Convert.h"
#include "runtime/Strings.h"

namespace OrbanexDesk {

namespace {
constexpr size_t kAccountCol = 0;
constexpr size_t kStatusCol = 1;
constexpr size_t kAmountCol = 2;
constexpr size_t kActionCol = 3;
constexpr int32_t kAlignLeftCenter = 1;
constexpr int32_t kAlignLeftBottom = 2;
constexpr size_t kTicketElement = 12;

const char* const kCloseAt = "Close At ";
const char* const kClose = "Close";
const char* const kWaiting = " Waiting.....";
const char* const kNoSymbol = "No symbol is selected";
const char* const kNothingChecked = "There is no selected or open postions for this symbol";
const char* const kAskAll =
    "Are you sure you want to close selected postion(s) at current market price(s)?";
const char* const kAskSingle =
    "Are you sure you want to close selected postion at current market price?";

// Columns of the Trade pane's open-positions list, as sub-items.
constexpr size_t kTradeAccount = 1;
constexpr size_t kTradeType = 3;
constexpr size_t kTradeAmount = 4;
constexpr size_t kTradeSymbol = 5;
constexpr size_t kTradeOpenPrice = 6;
constexpr size_t kTradeCurrentPrice = 7;

// Columns of the accounts window's list, as sub-items.
constexpr size_t kClientStatus = 2;
constexpr size_t kClientAccount = 3;
constexpr size_t kClientNote = 4;

int32_t AccountOf(std::string_view text) {
    const double v = runtime::Val(text);
    return std::isfinite(v) && std::fabs(v) < 2147483647.0 ? static_cast<int32_t>(v) : 0;
}

bool Contains(const std::string& text, std::string_view part) {
    return text.find(part) != std::string::npos;
}
}  // namespace

ClosePosGrid::ClosePosGrid(const DeskPorts& ports, Hooks hooks)
    : ports_(ports), hooks_(std::move(hooks)) {
    ResetMSH();
    CloseSymbols_.Click.Connect([this] { RebuildNow(); });
}

int32_t ClosePosGrid::TicketOf(const std::string& description) {
    const std::vector<std::string> parts = runtime::Split(description, " ");
    if (parts.size() <= kTicketElement || parts[kTicketElement].size() < 2 ||
        parts[kTicketElement][0] != '#')
        return 0;
    return AccountOf(std::string_view(parts[kTicketElement]).substr(1));
}

// ---- Rebuild ----

namespace {
// An accounts-window row whose account gets a row in the grid.
bool Closable(const platform::ListItem& client) {
    return client.SubItems(kClientStatus) == "Connected" &&
           client.SubItems(kClientNote) != "Invalid account";
}
}  // namespace

// A due rebuild would only be emptied again; what it would have left besides the
// grid (the cleared box) stays.
void ClosePosGrid::ResetMSH() {
    if (rebuildDue_) {
        rebuildDue_ = false;
        lateWrites_.clear();
        setchkAllClients(false);
    }
    MSH_.Clear();
    MSH_.setRows(2);
    SetCloseGridCaptions(MSH_);
}

// A rebuild drops every earlier write, so only the writes after the last request
// wait for it. A code change of the list's text raises no Click and so never
// rebuilt: the rebuild keeps the symbol chosen when it was asked for.
void ClosePosGrid::CloseSymbols_Click() {
    rebuildDue_ = true;
    rebuildSymbol_ = CloseSymbols_.Text();
    lateWrites_.clear();
    if (rebuildPosted_) return;
    rebuildPosted_ = true;
    platform::EventLoop::Post([this, alive = std::weak_ptr<bool>(life_)] {
        if (alive.expired()) return;
        rebuildPosted_ = false;
        RunDueRebuild();
    });
}

void ClosePosGrid::RebuildNow() {
    rebuildDue_ = false;
    lateWrites_.clear();
    Rebuild(CloseSymbols_.Text());
}

void ClosePosGrid::RunDueRebuild() {
    if (!rebuildDue_) return;
    rebuildDue_ = false;
    const std::vector<LateWrite> writes = std::move(lateWrites_);
    lateWrites_.clear();
    Rebuild(rebuildSymbol_);
    for (const LateWrite& write : writes) Replay(write);
}

void ClosePosGrid::Replay(const LateWrite& write) {
    switch (write.kind) {
        case LateWrite::Kind::Account:
            return Add(write.id);
        case LateWrite::Kind::Price:
            return RefreshPrice(write.ask, write.bid);
        case LateWrite::Kind::Status:
            return searchpos(write.account, write.id, write.text);
    }
}

void ClosePosGrid::Rebuild(const std::string& symbol) {
    // One reset for the view instead of one notice per write.
    struct RedrawOff {
        platform::Grid& g;
        explicit RedrawOff(platform::Grid& grid) : g(grid) { g.setRedraw(false); }
        ~RedrawOff() { g.setRedraw(true); }
    } redrawOff(MSH_);
    ResetMSH();
    // The rows that adding every account and inserting each position after its
    // account's row (an orphan at row 1) leaves, found in one pass over a linked
    // list: inserting grid rows one by one, each after a scan for its account,
    // took a quarter of a second for 10,000 positions.
    struct Planned {
        int32_t account = 0;
        const platform::ListItem* trade = nullptr;  // none: an account row, or the blank row
        bool blank = false;
    };
    std::list<Planned> rows{{.blank = true}};
    std::unordered_map<int32_t, std::list<Planned>::iterator> accountRows;
    platform::ListView& clients = ports_.frmMain->lvwClients();
    for (size_t i = 1; i <= clients.Count(); ++i) {
        const platform::ListItem& client = clients.Item(i);
        if (!Closable(client)) continue;
        const int32_t account = AccountOf(client.SubItems(kClientAccount));
        if (accountRows.count(account)) continue;
        if (rows.front().blank)
            rows.front() = Planned{.account = account};
        else
            rows.push_front(Planned{.account = account});
        accountRows[account] = rows.begin();
    }
    platform::ListView& trades = ports_.frmTrade->lvwOpenPos();
    for (size_t i = 1; i <= trades.Count(); ++i) {
        const platform::ListItem& trade = trades.Item(i);
        if (trade.SubItems(kTradeSymbol) != symbol) continue;
        const auto owner = accountRows.find(AccountOf(trade.SubItems(kTradeAccount)));
        const auto at = owner == accountRows.end() ? rows.begin() : std::next(owner->second);
        rows.insert(at, Planned{.trade = &trade});
    }
    MSH_.setRows(rows.size() + 1);
    size_t row = 1;
    for (const Planned& planned : rows) {
        if (planned.trade)
            WritePosition(row, *planned.trade);
        else if (!planned.blank)
            WriteAccount(row, planned.account);
        ++row;
    }
    setchkAllClients(false);
}

void ClosePosGrid::WritePosition(size_t row, const platform::ListItem& trade) {
    const std::string description =
        std::string(12, ' ') + "#" + trade.Text() + " " + trade.SubItems(kTradeType) + " " +
        trade.SubItems(kTradeAmount) + " " + trade.SubItems(kTradeSymbol) + " at " +
        trade.SubItems(kTradeOpenPrice);
    SetCheckCell(row, kStatusCol, kPictureUnchecked, kAlignLeftBottom);
    MSH_.setTextMatrix(row, kStatusCol, description);
    MSH_.setTextMatrix(row, kAmountCol, trade.SubItems(kTradeAmount));
    MSH_.setCellAlignment(row, kStatusCol, kAlignLeftCenter);
    MSH_.setTextMatrix(row, kActionCol, kCloseAt + trade.SubItems(kTradeCurrentPrice));
    SetCheckCell(row, kActionCol, kPictureBar, kAlignLeftCenter);
}

void ClosePosGrid::WriteAccount(size_t row, int32_t account) {
    MSH_.setTextMatrix(row, kAccountCol, std::to_string(account));
    SetCheckCell(row, kAccountCol, kPictureUnchecked, kAlignLeftBottom);
    MSH_.setTextMatrix(row, kActionCol, kClose);
    SetCheckCell(row, kActionCol, kPictureBar, kAlignLeftCenter);
}

void ClosePosGrid::SetCheckCell(size_t row, size_t col, int32_t picture, int32_t alignment) {
    MSH_.setCellPicture(row, col, picture);
    MSH_.setCellPictureAlignment(row, col, alignment);
    MSH_.setCellBackColor(row, col, kUnchecked);
}

void ClosePosGrid::add_client() {
    RunDueRebuild();
    platform::ListView& clients = ports_.frmMain->lvwClients();
    for (size_t i = 1; i <= clients.Count(); ++i) {
        const platform::ListItem& client = clients.Item(i);
        if (Closable(client)) Add(AccountOf(client.SubItems(kClientAccount)));
    }
}

// An account shows once: a second Add (positions loaded, then all data loaded)
// finds its row; the blank row a rebuild leaves is reused only while it is blank.
void ClosePosGrid::Add(int32_t AccountID) {
    if (rebuildDue_) {
        lateWrites_.push_back({.kind = LateWrite::Kind::Account, .id = AccountID});
        return;
    }
    if (get_index(AccountID) != 0) return;
    bool blank = MSH_.Rows() > 1;
    for (size_t col = 0; blank && col < MSH_.Cols(); ++col) blank = MSH_.TextMatrix(1, col).empty();
    if (!blank) MSH_.AddItem("", 1);
    WriteAccount(1, AccountID);
}

size_t ClosePosGrid::get_index(int32_t account) const {
    const std::string text = std::to_string(account);
    for (size_t row = 1; row < MSH_.Rows(); ++row)
        if (MSH_.TextMatrix(row, kAccountCol) == text) return row;
    return 0;
}

// ---- Prices and answers ----

// Only position rows: the blank row a rebuild leaves gets no price. A quote
// rewrites every row an earlier one wrote, so only the last waits for a rebuild.
void ClosePosGrid::RefreshPrice(double ask, double bid) {
    if (rebuildDue_) {
        std::erase_if(lateWrites_,
                      [](const LateWrite& w) { return w.kind == LateWrite::Kind::Price; });
        lateWrites_.push_back({.kind = LateWrite::Kind::Price, .ask = ask, .bid = bid});
        return;
    }
    const std::string atBid = kCloseAt + runtime::NumberToText(bid);
    const std::string atAsk = kCloseAt + runtime::NumberToText(ask);
    for (size_t row = 1; row < MSH_.Rows(); ++row) {
        if (!IsPositionRow(row)) continue;
        const std::string& description = MSH_.TextMatrix(row, kStatusCol);
        if (!Contains(description, "Sell")) {
            MSH_.setTextMatrix(row, kActionCol, atBid);
        } else if (!Contains(description, "Buy")) {
            MSH_.setTextMatrix(row, kActionCol, atAsk);
        }
    }
}

// A position row belongs to the account row above it.
void ClosePosGrid::searchpos(int32_t account, int32_t ticket, const std::string& text) {
    if (ticket == 0) return;
    if (rebuildDue_) {
        lateWrites_.push_back(
            {.kind = LateWrite::Kind::Status, .id = ticket, .account = account, .text = text});
        return;
    }
    int32_t rowAccount = 0;
    for (size_t row = 1; row < MSH_.Rows(); ++row) {
        if (IsAccountRow(row)) {
            rowAccount = AccountOf(MSH_.TextMatrix(row, kAccountCol));
            continue;
        }
        const std::string& description = MSH_.TextMatrix(row, kStatusCol);
        if (rowAccount == account && !description.empty() && TicketOf(description) == ticket)
            MSH_.setTextMatrix(row, kActionCol, text);
    }
}

// ---- Check marks ----

bool ClosePosGrid::IsPositionRow(size_t row) const {
    return !IsAccountRow(row) && !MSH_.TextMatrix(row, kStatusCol).empty();
}

bool ClosePosGrid::IsCheckedPosition(size_t row) const {
    return IsPositionRow(row) && MSH_.Cell(row, kStatusCol).backColor == kChecked;
}

bool ClosePosGrid::AnyCheckedPosition() const {
    for (size_t row = 1; row < MSH_.Rows(); ++row)
        if (IsCheckedPosition(row)) return true;
    return false;
}

void ClosePosGrid::SetCellState(size_t col) {
    MSH_.setCol(col);
    const int32_t state = MSH_.CellBackColor();
    if (state != kUnchecked && state != kChecked) return;  // never held a box
    const bool checked = state == kUnchecked;
    MSH_.setCellBackColor(checked ? kChecked : kUnchecked);
    MSH_.setCellPicture(checked ? kPictureChecked : kPictureUnchecked);
    if (col == kAccountCol) AccountChecked_ = checked;
}

void ClosePosGrid::check_all() {
    RunDueRebuild();
    const size_t account = get_index(AccountOf(MSH_.TextMatrix(MSH_.Row(), kAccountCol)));
    for (size_t row = account + 1; row < MSH_.Rows() && !IsAccountRow(row); ++row) {
        MSH_.setRow(row);
        MSH_.setCellBackColor(row, kStatusCol, AccountChecked_ ? kUnchecked : kChecked);
        SetCellState(kStatusCol);
    }
}

void ClosePosGrid::setchkAllClients(bool checked) {
    RunDueRebuild();
    if (checked == chkAllClients_) return;
    chkAllClients_ = checked;
    chkAllClientsChanged(checked);
    for (size_t row = 1; row < MSH_.Rows(); ++row) {
        if (!IsAccountRow(row)) continue;
        MSH_.setRow(row);
        MSH_.setCol(kAccountCol);
        MSH_.setCellBackColor(checked ? kUnchecked : kChecked);
        SetCellState(kAccountCol);
        check_all();
    }
}

// ---- Clicks ----

void ClosePosGrid::MSH_MouseDown(int32_t button) {
    RightButtonDown_ = button == 2;
}

// A click that finds a rebuild due acts on the rebuilt rows, as a click always did
// when a rebuild came after the last paint.
void ClosePosGrid::MSH_Click() {
    RunDueRebuild();
    if (RightButtonDown_) return;
    ClickCurrentCell();
}

// The keys do what a click on the current cell does, on the cells they name:
// Space on a check box, Enter on a position's closing cell. The last mouse-down's
// button does not matter to a key.
void ClosePosGrid::MSH_KeyDown(int32_t KeyCode) {
    RunDueRebuild();
    const size_t col = MSH_.Col();
    const std::string& text = MSH_.TextMatrix(MSH_.Row(), col);
    const bool toggle = KeyCode == kKeySpace && (col == kAccountCol || col == kStatusCol);
    const bool close = KeyCode == kKeyEnter && col == kActionCol && !text.empty() && text != kClose;
    if (toggle || close) ClickCurrentCell();
}

void ClosePosGrid::ClickCurrentCell() {
    if (MSH_.Row() == 0) return;
    switch (MSH_.Col()) {
        case kAccountCol:
            SetCellState(kAccountCol);
            check_all();
            break;
        case kStatusCol:
            SetCellState(kStatusCol);
            break;
        case kActionCol: {
            const std::string text = MSH_.Text();
            if (text.empty()) return;
            if (text == kClose) {
                SetCellState(kAccountCol);
                check_all();
                LblCheck_Click();
                return;
            }
            asked_ = PlanSingle();
            if (hooks_.AskQuestion) hooks_.AskQuestion(kAskSingle, kQuestionSingle);
            break;
        }
        default:
            break;
    }
}

void ClosePosGrid::LblCheck_Click() {
    RunDueRebuild();
    if (CloseSymbols_.Text().empty()) return Note(kNoSymbol);
    if (!AnyCheckedPosition()) return Note(kNothingChecked);
    if (hooks_.AskQuestion) hooks_.AskQuestion(kAskAll, kQuestionAll);
}

// ---- Closing ----

void ClosePosGrid::closepos() {
    RunDueRebuild();
    size_t count = 0;
    for (size_t row = 1; row < MSH_.Rows(); ++row) {
        if (!IsCheckedPosition(row)) continue;
        closepos1(row);
        ++count;
    }
    if (count == 0) Note(kNothingChecked);
    close_postions();
    setchkAllClients(false);
}

void ClosePosGrid::closepos1(size_t row) {
    MSH_.setRow(row);
    MSH_.setTextMatrix(row, kActionCol, kWaiting);
}

void ClosePosGrid::close_postions() {
    RunDueRebuild();
    int32_t account = 0;
    for (size_t row = 1; row < MSH_.Rows(); ++row) {
        if (IsAccountRow(row)) {
            account = AccountOf(MSH_.TextMatrix(row, kAccountCol));
        } else if (IsCheckedPosition(row)) {
            CloseChecked(TicketOf(MSH_.TextMatrix(row, kStatusCol)), account);
        }
    }
}

// The grid's amount may be stale (a partial close rebuilds nothing) and a stale
// grid may pair a ticket with another account: the Trade row decides both.
void ClosePosGrid::CloseChecked(int32_t ticket, int32_t account) {
    if (ticket == 0 || account == 0 || !hooks_.ClosePositionForAccount) return;
    const platform::ListItem* trade =
        ports_.frmTrade->lvwOpenPos().Find(PositionRowKey(account, ticket));
    if (!trade) return;
    const std::optional<double> amount = runtime::ParseNumber(trade->SubItems(kTradeAmount));
    if (!amount) return;
    hooks_.ClosePositionForAccount(ticket, *amount, account);
}

// What close_single reads from the current cell: the position of the row and the
// account of the nearest "Close" row above it.
ClosePosGrid::SingleClose ClosePosGrid::PlanSingle() const {
    SingleClose plan;
    const size_t row = MSH_.Row(), col = MSH_.Col();
    const std::string& text = MSH_.TextMatrix(row, col);
    if (text.empty() || text == kClose) return plan;
    for (size_t up = row; up-- > 0;) {
        if (MSH_.TextMatrix(up, col) == kClose) {
            plan.account = AccountOf(MSH_.TextMatrix(up, kAccountCol));
            break;
        }
    }
    const std::string description = runtime::Trim(MSH_.TextMatrix(row, kStatusCol));
    plan.ticket = description.size() > 1 ? AccountOf(std::string_view(description).substr(1)) : 0;
    return plan;
}

// The question box keeps no row: the answer closes the position asked about, once,
// not whatever the current cell shows after a rebuild.
void ClosePosGrid::close_single() {
    if (!asked_) return;
    const SingleClose plan = *asked_;
    asked_.reset();
    CloseChecked(plan.ticket, plan.account);
}

// ---- Messages and layout ----

void ClosePosGrid::Note(const std::string& text) {
    if (ports_.Messages) ports_.Messages->ShowMessage(text, "##DEF##", false);
}

void ClosePosGrid::LayOutColumns(double gridWidth) {
    LayOutCloseColumns(MSH_, gridWidth);
}

}  // namespace OrbanexDesk
