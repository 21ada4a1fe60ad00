#include "desk/shell/GetCommandBarControl.h"

namespace OrbanexDesk {

using platform::widgets::CommandBar;
using platform::widgets::CommandBarControl;

namespace {
// The bar itself or a drop-down below it carrying the id.
const CommandBar* FindBar(const CommandBar& bar, int32_t id) {
    if (bar.BarId() == id) return &bar;
    for (size_t i = 1; i <= bar.ControlCount(); ++i) {
        const CommandBar* dropDown = bar.Control(i).DropDownBar();
        if (!dropDown) continue;
        if (const CommandBar* found = FindBar(*dropDown, id)) return found;
    }
    return nullptr;
}
}  // namespace

CommandBarControl* GetCommandBarControl(platform::widgets::CommandBars& bars, int32_t ParentID,
                                        int32_t ControlID) {
    CommandBarControl* result = nullptr;
    if (const CommandBar* menu = bars.FindContextMenu(ParentID))
        result = menu->FindControl(ControlID);
    for (size_t i = 1; i <= bars.BarCount(); ++i) {
        if (const CommandBar* bar = FindBar(bars.Bar(i), ParentID)) {
            result = bar->FindControl(ControlID);
            break;
        }
    }
    if (!result) result = bars.FindControl(ControlID);
    return result;
}

}  // namespace OrbanexDesk
