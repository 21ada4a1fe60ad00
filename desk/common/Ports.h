#pragma once
// The ports: one small interface per form or desk service that the account
// sessions call. Members are spelled as the forms have them; lists and combos are
// the real headless stores, so what a session writes is what the form shows.
// Every call runs at once and returns at once (message calls never wait for the
// user); only limitorderpricechange may be coalesced by its pane to one run per
// loop turn. Calls may re-enter the sessions (MnuDisconnecte_Click disconnects).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "clientapi/facade/COOpenPosition.h"
#include "clientapi/facade/COOrder.h"
#include "clientapi/facade/COSymbol.h"
#include "general/common/Enums.h"
#include "platform/ComboBox.h"
#include "platform/ListView.h"
#include "runtime/Collection.h"
#include "runtime/Variant.h"

namespace platform::widgets {
class CommandBarControl;
}

namespace OrbanexDesk {

class CClientAPIManagers;
using ManagersPtr = std::shared_ptr<CClientAPIManagers>;
using PositionPtr = std::shared_ptr<OrbanexClientAPI10::COOpenPosition>;
using OrderPtr = std::shared_ptr<OrbanexClientAPI10::COOrder>;
using SymbolPtr = std::shared_ptr<OrbanexClientAPI10::COSymbol>;

// The accounts window.
class IfrmMain {
public:
    virtual ~IfrmMain() = default;
    // The desk's one session collection (created on first use).
    virtual ManagersPtr CClientAPIManagers() = 0;
    virtual platform::ListView& lvwClients() = 0;
    // Creates or refreshes the row "C" & n.
    virtual void addToListView(const std::string& Username, int32_t AccountID, bool Connected,
                               const std::string& Fifth, const std::string& Fourth, int16_t n) = 0;
    virtual void refreshsummery_Click(const std::string& Key) = 0;
    // Logs out the selected row's account.
    virtual void MnuDisconnecte_Click() = 0;
    virtual bool SoundAllowed() const = 0;
    virtual void setSoundAllowed(bool allowed) = 0;
    // The account list the dealer loaded; empty when the accounts come from the saved list.
    virtual std::string LoadedFileName() const = 0;
    // What the order panes call: enables the market pane's Distribute from its total
    // and symbol; spreads `total` over its checked rows; filters a key typed into an
    // amount field (the key comes back 0 when dropped); the empty amount hook.
    virtual void ValidateData() = 0;
    virtual void Distribute(double total, int16_t rule, const SymbolPtr& Symbol) = 0;
    virtual int16_t askycodekeypress(int16_t& KeyAscii, const std::string& Text) = 0;
    virtual void clearammountfromlistview() = 0;
    // The entry-order pane's result table: the row `key`'s "Result" cell, the journal
    // and the sound for one immediate result; `deletion` tells a cancel's result.
    // Defaults serve accounts windows built before the entry-order pane.
    virtual void Result(int32_t /*code*/, const std::string& /*key*/, int32_t /*account*/,
                        bool /*deletion*/ = false) {}
    // Enables the entry-order pane's Submit only while its prices meet its conditions.
    virtual void textchanged() {}
    // Shows the about box.
    virtual void MnuAbout_Click() {}
};

// The add-account dialog.
class Ifrmaccount {
public:
    virtual ~Ifrmaccount() = default;
    virtual void setEnabled(bool enabled) = 0;
};

// The market-order pane.
class Ifrmorder {
public:
    virtual ~Ifrmorder() = default;
    virtual platform::ListView& lvwConClients() = 0;
    virtual void Add(int32_t AccountID, const std::string& Text, double Amount) = 0;
    // Removes the account's row here and in the entry-order pane.
    virtual void Remove(int32_t AccountID) = 0;
    virtual void addNote(const std::string& Text, int32_t Account) = 0;
    virtual void Enableds(bool Enable) = 0;
    virtual bool Enabled() const = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual platform::ComboBox& cbsymbols() = 0;
    virtual void setTxtammount(const std::string& text) = 0;
    virtual std::string txtammount() const = 0;
    // The distribution rule: positions 0..2, -1 when none is chosen.
    virtual platform::ComboBox& CBdis() = 0;
    virtual void setCmddisEnabled(bool enabled) = 0;
    virtual void setCmddisVisible(bool visible) = 0;
    virtual void setCmdbuyEnabled(bool enabled) = 0;
    virtual void setCmdbuyVisible(bool visible) = 0;
    virtual void setCmdsellEnabled(bool enabled) = 0;
    virtual void setCmdsellVisible(bool visible) = 0;
    // Unchecking runs the box's click: every row unchecked, every "Result" emptied.
    virtual void setChkAllClients(bool checked) = 0;
    // "Amount" of the row `Key` = the amount's shortest text; an unknown key changes nothing.
    virtual void updateAmount(int32_t AccountID, double Amount, const std::string& Key) = 0;
};

// The entry-order pane.
class Ifrmlimitorder {
public:
    virtual ~Ifrmlimitorder() = default;
    virtual platform::ListView& lvwConClients() = 0;
    virtual void Add(int32_t AccountID, int16_t key, const std::string& Text, double Amount) = 0;
    virtual void addNote(const std::string& Text, int32_t Account) = 0;
    virtual void limitorderpricechange() = 0;
    virtual platform::ComboBox& cblimitordersymbols() = 0;
    virtual void setCmdsubmitlimiorderEnabled(bool enabled) = 0;
    virtual void setCmdlimiorderdisEnabled(bool enabled) = 0;

    // ---- Modes, resets and what the accounts window reads or empties ----
    // Defaults serve stand-in panes; the entry-order form overrides them all.
    // Removes the account's row (rows are keyed "C" & account); none: nothing.
    virtual void Remove(int32_t /*AccountID*/) {}
    // Leaves any mode and empties the pane, its results included.
    virtual void cmdcancel_Click() {}
    // Opens the pending order selected in the pending-orders view for editing.
    virtual void EdirMode() {}
    // Shows and activates the pane (true) or closes it.
    virtual void setDisplayed(bool /*shown*/) {}
    // Copies the stop-loss and take-profit texts into the served position's row.
    virtual void ManageSuccSLTPResult() {}
    // "" (new order), "Limit Orders" or "SLTP ".
    virtual std::string PaneMode() const { return {}; }
    virtual std::string PositionSide() const { return {}; }
    virtual std::string EditAmount() const { return {}; }
    // The type combo's list position: 0 "Buy Limit" .. 3 "Sell Stop", -1 none.
    virtual int32_t cblimiordertypeListIndex() const { return -1; }
    virtual std::string txtatprice() const { return {}; }
    virtual std::string txtsl() const { return {}; }
    virtual std::string txttp() const { return {}; }
    virtual std::string txtlimitorderammount() const { return {}; }
    virtual void setTxtatprice(const std::string& /*text*/) {}
    virtual void setTxtsl(const std::string& /*text*/) {}
    virtual void setTxttp(const std::string& /*text*/) {}
    virtual void setTxtlimitorderammount(const std::string& /*text*/) {}
    // The six condition labels.
    virtual std::string lblpricecondition() const { return {}; }
    virtual std::string lblslchanged() const { return {}; }
    virtual std::string lbltpchanged() const { return {}; }
    virtual void setLblcondition(const std::string& /*text*/) {}
    virtual void setLblpricecondition(const std::string& /*text*/) {}
    virtual void setLblslchanged(const std::string& /*text*/) {}
    virtual void setLblslcondition(const std::string& /*text*/) {}
    virtual void setLbltpchanged(const std::string& /*text*/) {}
    virtual void setLbltpcondition(const std::string& /*text*/) {}
    // The texts of the last Submit.
    virtual std::string SubmittedPrice() const { return {}; }
    virtual std::string SubmittedType() const { return {}; }
    virtual std::string SubmittedSymbol() const { return {}; }
    virtual std::string SubmittedSL() const { return {}; }
    virtual std::string SubmittedTP() const { return {}; }
    // The distribution rule combo; none in stand-in panes.
    virtual platform::ComboBox* CBlimitorderdis() { return nullptr; }

    // ---- The edit fields, for a command that opens an edit or SL/TP mode ----
    virtual bool IsEditing() const { return false; }
    // The pending order's id, or the ticket of the position whose SL/TP is set.
    virtual int32_t EditID() const { return 0; }
    // Trade row key (PositionRowKey) of the position whose SL/TP is set; "" when none.
    virtual std::string PositionRow() const { return {}; }
    virtual void setPaneMode(const std::string& /*mode*/) {}
    virtual void setIsEditing(bool /*editing*/) {}
    virtual void setEditID(int32_t /*id*/) {}
    virtual void setPositionSide(const std::string& /*side*/) {}
    virtual void setEditAmount(const std::string& /*amount*/) {}
    virtual void setPositionRow(const std::string& /*key*/) {}
};

class IfrmMW {
public:
    virtual ~IfrmMW() = default;
    virtual platform::ListView& lvmw() = 0;
};

class IfrmNetTrade {
public:
    virtual ~IfrmNetTrade() = default;
    virtual platform::ListView& lvwNetPos() = 0;
};

class ICNetPos {
public:
    virtual ~ICNetPos() = default;
    // Side "Buy" or "Sell": the summed profit of that symbol and side.
    // Called once per position update: it must not walk the whole list. It equals
    // summing the profit texts of that symbol's and side's per-account rows (an
    // index of those rows will do; a cached sum only if it always equals that).
    virtual double caluclate_profit(const std::string& SymbolName, const std::string& Side) = 0;
    // Applies one signed position share to the account's row and to the symbol's total.
    virtual void PositionAdded(const SymbolPtr& Symbol, int32_t Side, double Lots, double Price,
                               double Commission, double Interest,
                               const runtime::Variant& ProfitLoss, int32_t AccountID) = 0;
};

// The open-positions pane.
class IfrmTrade {
public:
    virtual ~IfrmTrade() = default;
    virtual void AddPosition(const PositionPtr& Position, int32_t AccountID) = 0;
    virtual void RemovePosition(int32_t Ticket, int32_t AccountID) = 0;
    virtual platform::ListView& lvwOpenPos() = 0;
    virtual void setChkAll(bool checked) = 0;
    virtual void setLbmSummaries(const std::string& text) = 0;
    // Closes every checked row's position at market (the question box's Yes).
    virtual void closeAllse() = 0;
};

// The close-position pane.
class IfrmClosePos {
public:
    virtual ~IfrmClosePos() = default;
    virtual void Add(int32_t AccountID) = 0;
    virtual platform::ComboBox& CloseSymbols() = 0;
    // Asks for a rebuild for the chosen symbol: one rebuild runs from the loop,
    // however many requests came in one turn.
    virtual void CloseSymbols_Click() = 0;
    virtual void Remove() = 0;
    virtual void RefreshPrice(double ask, double bid) = 0;
    // Writes the status of the account's positions of that ticket.
    virtual void searchpos(int32_t account, int32_t ticket, const std::string& text) = 0;
    virtual void RefreshMSH() = 0;
    // A close request, keyed as its request row (PendingRowKey of account and
    // order number), to the ticket whose closing it requests.
    virtual runtime::Collection<int32_t>& PendingCloses() = 0;
    // Empties the grid to its two rows with the header "Account", "Status", "Amount", "Action".
    virtual void ResetMSH() = 0;
    // The question box's Yes to "close selected" and to a single position's close.
    virtual void closepos() = 0;
    virtual void close_single() = 0;
};

// The pending-orders pane.
class IfrmPending {
public:
    virtual ~IfrmPending() = default;
    virtual void Add(const runtime::Variant& ID, int32_t AccountID, const std::string& Code,
                     OrbanelGeneral10::OperationTypeEnum BuySell, double Lots,
                     const SymbolPtr& Symbol, const runtime::Variant& Price,
                     const runtime::Variant& SL, const runtime::Variant& TP,
                     const std::string& OrderTime, const runtime::Variant& CloseTicket) = 0;
    virtual void AddOrder(const OrderPtr& Order, int32_t AccountID) = 0;
    // Rows are the account's: accounts on different servers share order numbers.
    virtual void Removeorder(int32_t OrderID, int32_t AccountID) = 0;
    virtual void Remove(int32_t OrderID, int32_t AccountID) = 0;
    virtual void removeClientinfo(int32_t AccountID) = 0;
    virtual void Updateaccount() = 0;
    virtual platform::ListView& lvwPending() = 0;
};

class IfrmJournal {
public:
    virtual ~IfrmJournal() = default;
    virtual void Add(const std::string& Text, int32_t AccountID, bool Flag) = 0;
};

class ISound {
public:
    virtual ~ISound() = default;
    // Fire and forget; plays only while the accounts window allows a sound.
    virtual void PlayWave(const std::string& FileName) = 0;
};

// One desk message box (the question box keeps its own): every call returns at
// once and the box stays open without blocking; the answer comes as ButtonPessed.
class IfrmMsgBox {
public:
    virtual ~IfrmMsgBox() = default;
    // Caption "Warning", warning icon, "Ok"; raises ButtonPessed(1) at once as well.
    virtual void GeneralStopMsg(const std::string& Text) = 0;
    // Caption "Note", note icon, "Ok"; raises ButtonPessed(1) at once as well.
    virtual void GeneralNoteMsg(const std::string& Text) = 0;
    // Caption "Alert", question icon, "Yes" and "No".
    virtual void GeneralQuestionMsg(const std::string& Text) = 0;
    // Icon 1 note, 2 alert, 3 question, 4 warning; Button2 Null gives one button.
    // Option has no effect: the box is always on top.
    virtual void MessageBox(const std::string& Text, const std::string& Caption, int32_t Icon,
                            const runtime::Variant& Button1, const runtime::Variant& Button2,
                            bool Option) = 0;
    virtual void CentralizeForm() = 0;
    // 1: the first button; 2: the second button or Esc. The box then closes.
    runtime::Event<int32_t> ButtonPessed;
};

class IDeskMessages {
public:
    virtual ~IDeskMessages() = default;
    virtual void ShowMessage(const std::string& Text, const std::string& Caption, bool Option) = 0;
    virtual void GeneralNoteMsg(const std::string& Text) = 0;
    // The platform's plain message box.
    virtual void SystemMessage(const std::string& Text, const std::string& Caption) = 0;
    // A new box of its own, for a caller that waits for the answer.
    virtual std::shared_ptr<IfrmMsgBox> NewMsgBox() = 0;
};

class IShell {
public:
    virtual ~IShell() = default;
    virtual void setStatusPaneText(int32_t ID, const std::string& Text) = 0;
    virtual void setCommandBarControlEnabled(int32_t BarID, int32_t ControlID, bool Enabled) = 0;
    // Shows the pane and brings it to the front of its group; unknown ids do nothing.
    virtual void SelectPane(int32_t PaneID) = 0;
    // Closes the pane; unknown ids do nothing.
    virtual void ClosePane(int32_t PaneID) = 0;
    // A window command's check, on its action and on its control in the "&View"
    // bar 100015 (added there when missing).
    virtual void setCommandChecked(int32_t CommandID, bool Checked) = 0;
    // "&Trade Panel" 100076 checked exactly when its five window commands are.
    virtual void UpdateShowAllCheck() = 0;
    // True for an unknown id.
    virtual bool PaneClosed(int32_t PaneID) const = 0;
    virtual bool CommandChecked(int32_t CommandID) const = 0;
    // A control of the command bars (context menu, then bar, then anywhere), or nullptr.
    virtual platform::widgets::CommandBarControl* GetCommandBarControl(int32_t ParentID,
                                                                       int32_t ControlID) = 0;
    // What a command id runs from now on, wherever its control is; replaces the previous.
    virtual void AddCommandHandler(int32_t CommandID, std::function<void()> Handler) = 0;
    // Shows the context bar with the id at the cursor and returns at once; an
    // unknown id shows nothing.
    virtual void ShowPopup(int32_t /*BarID*/) {}
};

// A view hosted in one of the shell's panes.
class IPaneView {
public:
    virtual ~IPaneView() = default;
    virtual bool Displayed() const = 0;
    // Shows or closes the pane and sets its window command's check.
    virtual void setDisplayed(bool Value) = 0;
    // Takes the pane's own state as the flag, touching neither pane nor check.
    virtual void FollowPane(bool Shown) = 0;
};

// Desk procedures that act on several panes or on files.
class IMGeneral {
public:
    virtual ~IMGeneral() = default;
    virtual void RefreshNetPositions(bool Skip, int32_t Account) = 0;
    virtual void ReplaceInServerFile(const std::string& OldText, const std::string& NewText) = 0;
    // Empties the trade views and the summary totals.
    virtual void ResetTradeViews() = 0;
    // Empties the order panes' symbols, amounts and notes.
    virtual void ClearOrderForms() = 0;
    // Drops the symbols that no logged-on account sees.
    virtual void RemoveInvisibleSymbols() = 0;
};

// The re-quote dialog's window. Its Accept, Reject and window close call the
// presenter's cmdAccept_Click, cmdReject_Click and Form_Unload.
class IfrmPriceChanged {
public:
    virtual ~IfrmPriceChanged() = default;
    virtual void setLblOrder(const std::string& text) = 0;
    virtual void setLblNewPrice(const std::string& text) = 0;
    // The countdown, "9 / 10".
    virtual void setCaption(const std::string& text) = 0;
    // Shows the window above all others without moving or resizing it.
    virtual void SetTopMost(bool onTop) = 0;
    virtual void Hide() = 0;
    virtual void CenterForm() = 0;
};

}  // namespace OrbanexDesk
