#pragma once
// Desk procedures that ask the session collection: the key of an account's
// session, whether the accounts of an order pane see a symbol, and the pruning
// of the market watch down to the symbols some account sees.
#include <cstdint>
#include <string>

#include "desk/common/DeskServices.h"
#include "desk/sessions/CClientAPIManagers.h"

namespace OrbanexDesk {

// The first session in position order whose account is Account; nullptr when
// none.
ManagerPtr SessionOfAccount(const CClientAPIManagers& Managers, int32_t Account);

// The key number (decimal text) of the first session in position order whose
// account is Account; "" when none.
std::string GetManagerKeyByAccount(const CClientAPIManagers& Managers, int32_t Account);

// True at the first account row of the list whose account sees Symbol
// (logged on, with a symbol of that name).
bool VisibilityFlag(CClientAPIManagers& Managers, const platform::ListView& AccountRows,
                    const std::string& Symbol);

// Removes, one at a time from the top, every market-watch row whose symbol no
// account of the market-order pane sees, and that symbol from the order panes'
// combos. Does nothing when a pane it needs is missing.
void RemoveInvisibleSymbols(DeskServices& Desk);

}  // namespace OrbanexDesk
