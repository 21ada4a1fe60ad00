#pragma once
// The open positions of every account in one list, one row per account and ticket
// (PositionRowKey), each change mirrored into the net positions. Rows are written by the
// account sessions through AddPosition and RemovePosition; the form adds only
// widgets, the popup and the close confirmation.
//
// A row remembers (in its tag, never shown) the symbol id under which its add
// reached the net; a row whose add found no session knowing the symbol carries
// none, so its removal leaves the net alone, and a removal always takes the share
// out under the add's id. GUI thread only; nothing here keeps a row pointer past
// the call.
#include <cstdint>
#include <functional>

#include "desk/common/DeskState.h"
#include "desk/common/Ports.h"

namespace OrbanexDesk {

class COpenPos {
public:
    using SymbolByIDFn = std::function<SymbolPtr(int32_t SymbolID)>;
    using CloseFn = std::function<void(int32_t Ticket, double Lots, int32_t Account)>;

    COpenPos(platform::ListView& lvwOpenPos, platform::ListView& lvwPending, ICNetPos& net,
             const DeskState& state, SymbolByIDFn symbolByID, CloseFn closePosition);

    // Writes the position's row (replacing one of the same ticket, whose share
    // leaves the net first) and adds its share to the net. Raises what the time
    // parser raises, before anything changes.
    void AddPosition(const PositionPtr& Position, int32_t AccountID);
    // Takes the row's share out of the net (when its add put one there), removes
    // the row and its stop-loss/take-profit rows. Unknown ticket: nothing.
    void RemovePosition(int32_t Ticket, int32_t AccountID);
    // Removes every pending row of the account whose tag is the ticket.
    void RemovePending(int32_t Ticket, int32_t AccountID);
    // Sends the close of every checked row, whole amount, to its own account. The
    // rows stay until the sessions report the closes; the form then resets chkAll.
    void closeAllse();
    // The check mark of every "T" row.
    void SetAllChecked(bool Value);
    // The account's row of the ticket, or nullptr.
    platform::ListItem* FindPositionItem(int32_t Ticket, int32_t AccountID) const;

    bool Displayed() const { return displayed_; }
    void setDisplayed(bool value) { displayed_ = value; }

private:
    platform::ListView& list_;
    platform::ListView& pending_;
    ICNetPos& net_;
    const DeskState& state_;
    SymbolByIDFn symbolByID_;
    CloseFn close_;
    bool displayed_ = true;
};

}  // namespace OrbanexDesk
