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
        dockable_.AddItems(*popups_[i]->DropDownBar(), kMenuPopups[i].items);
}

}  // namespace OrbanexDesk
