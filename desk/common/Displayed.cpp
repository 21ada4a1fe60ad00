#include "desk/common/Displayed.h"

#include "runtime/Error.h"

namespace OrbanexDesk {

const ViewPane* FindViewPane(int32_t PaneID) {
    for (const ViewPane& pane : kViewPanes)
        if (pane.PaneID == PaneID) return &pane;
    return nullptr;
}

namespace {
const ViewPane& KnownPane(int32_t PaneID) {
    const ViewPane* pane = FindViewPane(PaneID);
    if (!pane) throw runtime::Error(runtime::errc::InvalidProcedureCall);
    return *pane;
}
}  // namespace

DisplayedFlag::DisplayedFlag(int32_t PaneID) : pane_(KnownPane(PaneID)) {}

void DisplayedFlag::Set(IShell* Shell, bool Value) {
    value_ = Value;
    if (!Shell) return;
    if (Value)
        Shell->SelectPane(pane_.PaneID);
    else
        Shell->ClosePane(pane_.PaneID);
    Shell->setCommandChecked(pane_.CommandID, Value);
    if (pane_.TradePanel) Shell->UpdateShowAllCheck();
}

}  // namespace OrbanexDesk
