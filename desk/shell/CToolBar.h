#pragma once
// The simple interface's two toolbars, "Standard Toolbar" and "Login Toolbar",
// both bar 100028, the second docked right of the first. Before a new builder
// replaces one, the shell deletes the old one's bars, so switching interfaces
// never piles up hidden bars (nor grows the saved layout).
#include <vector>

#include "desk/shell/CDockable.h"

namespace OrbanexDesk {

class CToolBar {
public:
    // Both must outlive the builder.
    CToolBar(platform::widgets::CommandBars& bars, CDockable& dockable);
    CToolBar(const CToolBar&) = delete;
    CToolBar& operator=(const CToolBar&) = delete;

    void CreateMenu();
    void AddItem();
    void DockAll();
    // Deletes both toolbars; safe from a handler of one of their buttons.
    void DeleteBars();
    const std::vector<platform::widgets::CommandBar*>& ToolBars() const { return toolBars_; }

private:
    platform::widgets::CommandBars& bars_;
    CDockable& dockable_;
    std::vector<platform::widgets::CommandBar*> toolBars_;
};

}  // namespace OrbanexDesk
