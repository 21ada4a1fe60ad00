#include "desk/shell/CDockable.h"

#include "desk/common/PaneTable.h"
#include "desk/shell/LayoutFile.h"
#include "platform/Paths.h"

namespace OrbanexDesk {

using platform::widgets::DockingPane;

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

}  // namespace OrbanexDesk
