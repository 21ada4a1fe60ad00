#include "desk/common/ResetTradeViews.h"

namespace OrbanexDesk {

namespace {
constexpr int32_t kConnectionStatusPane = 100026;
}

void ResetTradeViews(DeskServices& desk) {
    const DeskPorts& ports = desk.Ports();
    desk.State().SummaryTotals.fill(0);
    if (ports.frmTrade) ports.frmTrade->setLbmSummaries("");
    if (ports.frmPending) ports.frmPending->lvwPending().Clear();
    if (ports.frmTrade) ports.frmTrade->lvwOpenPos().Clear();
    if (ports.frmNetTrade) ports.frmNetTrade->lvwNetPos().Clear();
    if (ports.frmClosePos) ports.frmClosePos->ResetMSH();
    if (ports.frmlimitorder) {
        ports.frmlimitorder->lvwConClients().Clear();
        ports.frmlimitorder->cmdcancel_Click();
    }
    if (ports.Shell) ports.Shell->setStatusPaneText(kConnectionStatusPane, "Disconnected");
}

}  // namespace OrbanexDesk
