#pragma once
// The pane builder: creating it creates the nine panes of the pane table in
// order, with their places and tab groups, and brings three to the front. It
// also restores the default arrangement, adds one control to a bar and builds
// the pro interface's ribbon, which it keeps. The panes live as long as the
// window's pane manager.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "desk/shell/CommandBarTables.h"
#include "platform/widgets/CommandBars.h"
#include "platform/widgets/DockingPanes.h"

namespace OrbanexDesk {

class CDockable {
public:
    CDockable(platform::widgets::DockingPanes& panes, platform::widgets::CommandBars& bars);

    // Loads "\Manage\InterfaceDefault.vfx" into panes and bars and sets the
    // titles again; the caller then mirrors the checks.
    void ResetInterface();
    // One control with its group flag, description (when not empty), style,
    // category and icon (unless -1).
    platform::widgets::CommandBarControl& AddToolButton(platform::widgets::CommandBar& bar,
                                                        int32_t type, int32_t id,
                                                        const std::string& caption, int32_t iconId,
                                                        bool beginGroup,
                                                        const std::string& description,
                                                        int32_t style, const std::string& category);
    // One table row as a control without an icon.
    platform::widgets::CommandBarControl& AddItem(platform::widgets::CommandBar& bar,
                                                  const BarItem& item, int32_t style = 0);
    // Every row of the table, in order, as AddItem adds it.
    void AddItems(platform::widgets::CommandBar& bar, std::span<const BarItem> items);
    // Gives the panes the layout texts; either may be empty or foreign, which
    // leaves its part as it is. Returns whether the panes took theirs.
    bool LoadLayout(const std::string& panesText, const std::string& barsText);
    void SetTitles();
    // Hides the given toolbars, switches the menu bar off and builds the ribbon
    // (replacing one built before) with its system menu, tabs and groups.
    void CreateRibbonBar(const std::vector<platform::widgets::CommandBar*>& toolBars);
    // The simple interface's first step: the ribbon goes.
    void DeleteRibbonBar();
    platform::widgets::CommandBar* RibbonBar() const { return ribbon_; }

private:
    void CreatePanes();

    platform::widgets::DockingPanes& panes_;
    platform::widgets::CommandBars& bars_;
    platform::widgets::CommandBar* ribbon_ = nullptr;
};

}  // namespace OrbanexDesk
