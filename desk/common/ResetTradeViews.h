#pragma once
// Empties every trade view at once: at start-up and when no account is connected
// any more. Runs over the ports only; the entry-order pane's cancel step joins
// with that pane.
#include "desk/common/DeskServices.h"

namespace OrbanexDesk {

// Totals to 0, summary strip emptied, pending, open and net lists cleared, the
// close grid reset, the entry-order account list cleared, the status pane
// 100026 "Disconnected". A port that is not served is passed over.
void ResetTradeViews(DeskServices& desk);

}  // namespace OrbanexDesk
