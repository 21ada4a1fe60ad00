#include "desk/shell/frmHistory.h"

namespace OrbanexDesk {

frmHistory::frmHistory(BarsBuilt barsBuilt, QWidget* parent)
    : ShellListForm("frmHistory", "lvwHistory",
                    {"Ticket", "Type", "Time", "Symbol", "Amount", "B/S", "Open Time", "Open / SL",
                     "Close / TP", "DP/WD/AJ", "Com", "Int", "PL / Description"},
                    "8,3,12,12,6,5,12,6,6,8,5,4,10", std::move(barsBuilt), parent) {}

}  // namespace OrbanexDesk
