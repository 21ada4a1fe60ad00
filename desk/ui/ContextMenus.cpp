#include "desk/ui/ContextMenus.h"

#include <vector>

#include "platform/widgets/CommandBars.h"

namespace OrbanexDesk {

namespace {
using platform::widgets::CommandBar;
using platform::widgets::CommandBarControl;
using platform::widgets::CommandBars;

struct Entry {
    int32_t id;
    const char* caption;
    bool beginGroup;
};
struct Menu {
    int32_t id;
    const char* title;
    std::vector<Entry> entries;
};

const std::vector<Menu>& Menus() {
    static const std::vector<Menu> menus{
        {kTradePopup,
         "trade Popup",
         {{100031, "Close Position", false},
          {100035, "New Position", false},
          {100064, "New Entry Order", false}}},
        {kJournalPopup, "Journal popup", {{100046, "Clear", false}}},
        {kPendingPopup, "Pending", {{100060, "Edit Order", false}, {100059, "Cancel Order", true}}},
    };
    return menus;
}

const Menu* Find(int32_t id) {
    for (const Menu& menu : Menus())
        if (menu.id == id) return &menu;
    return nullptr;
}

CommandBar* MenuOf(CommandBars& bars, const Menu& menu) {
    CommandBar* bar = bars.FindContextMenu(menu.id);
    if (!bar) bar = &bars.AddContextMenu(menu.id, menu.title);
    for (const Entry& entry : menu.entries) {
        if (bar->FindControl(entry.id)) continue;
        CommandBarControl& control =
            bar->AddControl(CommandBarControl::Button, entry.id, entry.caption);
        control.setBeginGroup(entry.beginGroup);
    }
    return bar;
}
}  // namespace

void ShowContextMenu(CommandBars& bars, int32_t PopupID) {
    const Menu* menu = Find(PopupID);
    if (!menu) return;
    CommandBar* bar = MenuOf(bars, *menu);
    for (const Entry& entry : menu->entries) bar->FindControl(entry.id)->setEnabled(true);
    bar->ShowPopup();
}

CommandBarControl* ContextMenuEntry(CommandBars& bars, int32_t PopupID, int32_t ControlID) {
    const Menu* menu = Find(PopupID);
    return menu ? MenuOf(bars, *menu)->FindControl(ControlID) : nullptr;
}

}  // namespace OrbanexDesk
