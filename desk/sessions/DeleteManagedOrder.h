#pragma once
// Cancels the pending order the dealer confirmed: a stop-loss/take-profit order
// when the pending row selected at the answer is a "(Manage)" row, an entry order
// otherwise. The account's entry-pane row is ticked while the result is told
// through the accounts window's result table (as a deletion), then unticked.
// Nothing happens when no pending row is selected (the sessions may have removed
// it since the question); an account without a session is reported to the
// journal and the message box, nothing sent.
#include <cstdint>

#include "desk/common/DeskServices.h"

namespace OrbanexDesk {

void DeleteManagedOrder(DeskServices& desk, int32_t Account, int32_t OrderID);

}  // namespace OrbanexDesk
