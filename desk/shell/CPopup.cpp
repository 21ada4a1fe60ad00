#include "desk/shell/CPopup.h"

#include "desk/shell/CommandBarTables.h"

namespace OrbanexDesk {

CPopup::CPopup(platform::widgets::CommandBars& bars, CDockable& dockable)
    : bars_(bars), dockable_(dockable) {}

void CPopup::CreateMenu() {
    menus_.clear();
    for (const BarTable& bar : kContextBars)
        menus_.push_back(&bars_.AddContextMenu(bar.id, bar.title));
}

void CPopup::AddMenuItem() {
    for (size_t i = 0; i < menus_.size(); ++i)
        dockable_.AddItems(*menus_[i], kContextBars[i].items);
}

}  // namespace OrbanexDesk
