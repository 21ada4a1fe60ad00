#pragma once
// Empties every trade view at once: at start-up and when no account is connected
// any more. Runs over the ports only.
#include "desk/common/DeskServices.h"

namespace OrbanexDesk {

// Totals to 0, summary strip emptied, pending, open and net lists cleared, the
// close grid reset, the entry-order account list cleared and that pane out of
// any edit (its cancel), the status pane
// 100026 "Disconnected". A port that is not served is passed over.
void ResetTradeViews(DeskServices& desk);

}  // namespace OrbanexDesk
