#pragma once
// The simple interface's menu bar: "&File", "&View" and "&Help" with their
// items, on the command bars' active menu bar (made when there is none). One
// builder per menu bar; a new menu bar gets a new builder.
#include <vector>

#include "desk/shell/CDockable.h"

namespace OrbanexDesk {

class CMenu {
public:
    // Both must outlive the builder.
    CMenu(platform::widgets::CommandBars& bars, CDockable& dockable);
    void CreateMenu();
    void AddMenuItem();

private:
    platform::widgets::CommandBars& bars_;
    CDockable& dockable_;
    std::vector<platform::widgets::CommandBarControl*> popups_;
};

}  // namespace OrbanexDesk
