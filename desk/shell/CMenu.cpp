#include "desk/shell/CMenu.h"

#include "desk/shell/CommandBarTables.h"

namespace OrbanexDesk {

CMenu::CMenu(platform::widgets::CommandBars& bars, CDockable& dockable)
    : bars_(bars), dockable_(dockable) {}

void CMenu::CreateMenu() {
    platform::widgets::CommandBar* menuBar = bars_.ActiveMenuBar();
    if (!menuBar) menuBar = &bars_.AddMenuBar("Menu Bar");
    popups_.clear();
    for (const BarTable& popup : kMenuPopups) {
        auto& control = menuBar->AddControl(kTypePopup, popup.id, popup.title);
        control.DropDownBar()->setBarId(popup.id);
        popups_.push_back(&control);
    }
}

void CMenu::AddMenuItem() {
    for (size_t i = 0; i < popups_.size(); ++i)
        for (const BarItem& item : kMenuPopups[i].items)
            dockable_.AddToolButton(*popups_[i]->DropDownBar(), item.type, item.id, item.caption,
                                    -1, item.group, item.description, 0, item.category);
}

}  // namespace OrbanexDesk
