#pragma once
// The trade-view procedures that walk the sessions: an account's share taken out
// of the open and net views, one position closed for one account, and the symbol
// look-ups the position views make through the first session that knows a symbol.
// They act on the ports only; none keeps state.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "desk/common/DeskServices.h"

namespace OrbanexDesk {

// The symbol of that id (name) in the first session, in collection order, whose
// client API knows it; nullptr when none does.
SymbolPtr SessionSymbolByID(DeskServices& desk, int32_t SymbolID);
SymbolPtr SessionSymbolByName(DeskServices& desk, const std::string& Name);

// Nothing when Skip. Removes the account's open-position rows, then takes each of
// its net rows out through CNetPos.PositionAdded (which also lowers the totals).
// Walks a snapshot of the account's net rows, so rows that one subtraction removes
// are passed over; a row whose symbol no session knows stays.
void RefreshNetPositions(DeskServices& desk, bool Skip, int32_t Account);
// The same with the symbol look-up given (RefreshNetPositions passes the sessions').
void RefreshNetPositionsWith(const DeskPorts& ports, const DeskState& state, bool Skip,
                             int32_t Account,
                             const std::function<SymbolPtr(const std::string&)>& symbolByName);

// Sends the close of Lots of the position through the account's first session
// ("" as tag); reports the two immediate refusals to the journal and the message
// box. No session for the account: nothing sent, nothing shown.
void ClosePositionForAccount(DeskServices& desk, int32_t Ticket, double Lots, int32_t Account);

// The refusal text of a close's immediate result; nothing for the other results.
std::optional<std::string> CloseRefusalText(int32_t Result, int32_t Ticket, double Lots,
                                            int32_t Account);

}  // namespace OrbanexDesk
