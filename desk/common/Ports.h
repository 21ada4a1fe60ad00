#pragma once
// The ports: one small interface per form or desk service that the account
// sessions call. Members are spelled as the forms have them; lists and combos are
// the real headless stores, so what a session writes is what the form shows.
// Every call runs at once and returns at once (message calls never wait for the
// user); only limitorderpricechange may be coalesced by its pane to one run per
// loop turn. Calls may re-enter the sessions (MnuDisconnecte_Click disconnects).
#include <cstdint>
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
};

// The close-position pane.
class IfrmClosePos {
public:
    virtual ~IfrmClosePos() = default;
    virtual void Add(int32_t AccountID) = 0;
    virtual platform::ComboBox& CloseSymbols() = 0;
    // Rebuilds the grid at once for the chosen symbol.
    virtual void CloseSymbols_Click() = 0;
    virtual void Remove() = 0;
    virtual void RefreshPrice(double ask, double bid) = 0;
    virtual void searchpos(int32_t ticket, const std::string& text) = 0;
    virtual void RefreshMSH() = 0;
    // Order number (decimal text) to the ticket whose closing it requests.
    virtual runtime::Collection<int32_t>& PendingCloses() = 0;
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
    virtual void Removeorder(int32_t OrderID) = 0;
    virtual void Remove(int32_t OrderID) = 0;
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

class IDeskMessages {
public:
    virtual ~IDeskMessages() = default;
    virtual void ShowMessage(const std::string& Text, const std::string& Caption, bool Option) = 0;
    virtual void GeneralNoteMsg(const std::string& Text) = 0;
    // The platform's plain message box.
    virtual void SystemMessage(const std::string& Text, const std::string& Caption) = 0;
};

class IShell {
public:
    virtual ~IShell() = default;
    virtual void setStatusPaneText(int32_t ID, const std::string& Text) = 0;
    virtual void setCommandBarControlEnabled(int32_t BarID, int32_t ControlID, bool Enabled) = 0;
};

// Desk procedures that act on several panes or on files.
class IMGeneral {
public:
    virtual ~IMGeneral() = default;
    virtual void RefreshNetPositions(bool Skip, int32_t Account) = 0;
    virtual void ReplaceInServerFile(const std::string& OldText, const std::string& NewText) = 0;
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
