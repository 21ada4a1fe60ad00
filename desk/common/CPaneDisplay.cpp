#include "desk/common/CPaneDisplay.h"

namespace OrbanexDesk {

CPaneDisplay::CPaneDisplay(int32_t paneId, std::function<IShell*()> shell)
    : paneId_(paneId), row_(FindPaneRow(paneId)), shell_(std::move(shell)) {}

void CPaneDisplay::setDisplayed(bool Value) {
    displayed_ = Value;
    IShell* shell = shell_ ? shell_() : nullptr;
    if (!shell) return;
    if (Value)
        shell->SelectPane(paneId_);
    else
        shell->ClosePane(paneId_);
    if (!row_) return;
    shell->setCommandChecked(row_->command, Value);
    if (row_->tradePanel) shell->UpdateShowAllCheck();
}

}  // namespace OrbanexDesk
