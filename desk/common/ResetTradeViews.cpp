#include "desk/common/ResetTradeViews.h"

#include "desk/common/PaneTable.h"

namespace OrbanexDesk {

void ResetTradeViews(DeskServices& desk) {
    const DeskPorts& ports = desk.Ports();
    desk.State().SummaryTotals.fill(0);
    ++desk.State().SummaryResets;
    if (ports.frmTrade) ports.frmTrade->setLbmSummaries("");
    if (ports.frmPending) ports.frmPending->lvwPending().Clear();
    if (ports.frmTrade) ports.frmTrade->lvwOpenPos().Clear();
    if (ports.frmNetTrade) ports.frmNetTrade->lvwNetPos().Clear();
    if (ports.frmClosePos) ports.frmClosePos->ResetMSH();
    if (ports.frmlimitorder) {
        ports.frmlimitorder->lvwConClients().Clear();
        ports.frmlimitorder->cmdcancel_Click();
    }
    if (ports.Shell) ports.Shell->setStatusPaneText(kStatusConnection, "Disconnected");
}

}  // namespace OrbanexDesk
