#include "desk/shell/CDockable.h"

#include "desk/common/PaneTable.h"
#include "desk/shell/CommandBarTables.h"
#include "desk/shell/LayoutFile.h"
#include "platform/Paths.h"

namespace OrbanexDesk {

using platform::widgets::CommandBar;
using platform::widgets::DockingPane;

namespace {
constexpr int32_t kRibbonDocking = 64;
}  // namespace

CDockable::CDockable(platform::widgets::DockingPanes& panes, platform::widgets::CommandBars& bars)
    : panes_(panes), bars_(bars) {
    CreatePanes();
}

void CDockable::CreatePanes() {
    for (const PaneRow& row : kPaneTable) {
        DockingPane* neighbour = row.neighbour ? panes_.FindPane(row.neighbour) : nullptr;
        DockingPane& pane = panes_.CreatePane(row.id, row.width, row.height, row.side, neighbour);
        pane.setTitle(row.title);
        pane.setTag("0");
        if (row.tabWith)
            if (DockingPane* group = panes_.FindPane(row.tabWith)) pane.AttachTo(*group);
    }
    for (int32_t id : {kPaneMarketWatch, kPaneAccountsList, kPaneNewPosition})
        if (DockingPane* pane = panes_.FindPane(id)) pane->Select();
    SetTitles();
}

void CDockable::SetTitles() {
    // The reset's order; the texts are the table's.
    for (int32_t id :
         {kPaneTrade, kPaneNetTrade, kPaneNewPosition, kPaneNewEntryOrder, kPaneClosePosition,
          kPaneJournal, kPaneAccountsList, kPaneMarketWatch, kPanePendingOrder})
        if (DockingPane* pane = panes_.FindPane(id)) pane->setTitle(FindPaneRow(id)->title);
}

bool CDockable::LoadLayout(const std::string& panesText, const std::string& barsText) {
    const bool panesTaken = !panesText.empty() && panes_.LoadLayout(panesText);
    if (!barsText.empty()) bars_.LoadLayout(barsText);
    return panesTaken;
}

void CDockable::ResetInterface() {
    const auto lines = ReadLayoutLines(platform::ResolvePath("\\Manage\\InterfaceDefault.vfx"));
    LoadLayout(lines[0], lines[1]);
    SetTitles();
}

platform::widgets::CommandBarControl& CDockable::AddToolButton(
    platform::widgets::CommandBar& bar, int32_t type, int32_t id, const std::string& caption,
    int32_t iconId, bool beginGroup, const std::string& description, int32_t style,
    const std::string& category) {
    auto& control = bar.AddControl(type, id, caption);
    control.setBeginGroup(beginGroup);
    if (!description.empty()) control.setDescription(description);
    control.setStyle(style);
    control.setCategory(category);
    if (iconId != -1) control.setIconId(iconId);
    return control;
}

platform::widgets::CommandBarControl& CDockable::AddItem(platform::widgets::CommandBar& bar,
                                                         const BarItem& item, int32_t style) {
    return AddToolButton(bar, item.type, item.id, item.caption, -1, item.group, item.description,
                         style, item.category);
}

void CDockable::AddItems(platform::widgets::CommandBar& bar, std::span<const BarItem> items) {
    for (const BarItem& item : items) AddItem(bar, item);
}

// ---- Ribbon ----

void CDockable::CreateRibbonBar(const std::vector<CommandBar*>& toolBars) {
    for (CommandBar* bar : toolBars) bar->setVisible(false);
    bars_.setMenuBarVisible(false);
    DeleteRibbonBar();
    CommandBar& ribbon = bars_.AddRibbonBar(kRibbonName);
    ribbon.setDockingFlags(kRibbonDocking);
    ribbon_ = &ribbon;
    auto& system = AddToolButton(ribbon, kTypePopup, kSystemButton, kSystemCaption, kSystemButton,
                                 false, "", 0, "");
    AddItems(*system.DropDownBar(), kSystemItems);
    int32_t index = 0;
    for (const RibbonTabTable& tabRow : kRibbonTabs) {
        auto& tab = ribbon.InsertTab(index++, tabRow.caption);
        for (const BarTable& groupRow : tabRow.groups) {
            CommandBar& group = tab.AddGroup(groupRow.title, groupRow.id);
            for (const BarItem& item : groupRow.items) {
                auto& button = AddItem(group, item, kRibbonButtonStyle);
                button.setIconSize(kRibbonIconSize);
                // One stray Space must not end the desk.
                if (item.id == kCmdExitSystem) button.setTabStop(false);
                if (item.id == kTradePanelSplit) AddItems(*button.DropDownBar(), kTradePanelItems);
            }
        }
    }
    ribbon.setSelectedTab(1);
}

void CDockable::DeleteRibbonBar() {
    if (ribbon_) ribbon_->Delete();
    ribbon_ = nullptr;
}

}  // namespace OrbanexDesk
