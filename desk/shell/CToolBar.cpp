#include "desk/shell/CToolBar.h"

#include "desk/shell/CommandBarTables.h"

namespace OrbanexDesk {

namespace {
constexpr int32_t kToolBarDocking = 47;

// Docks `bar` directly right of the docked bar.
void DockBarNextTo(platform::widgets::CommandBars& bars, platform::widgets::CommandBar& bar,
                   platform::widgets::CommandBar& docked) {
    bars.RecalcLayout();
    const platform::widgets::BarRect r = docked.WindowRect();
    const int width = r.right - r.left;
    bars.DockToolBar(bar, r.right, r.top, r.right + width, r.bottom);
}
}  // namespace

CToolBar::CToolBar(platform::widgets::CommandBars& bars, CDockable& dockable)
    : bars_(bars), dockable_(dockable) {}

void CToolBar::DeleteBars() {
    for (auto* bar : toolBars_) bar->Delete();
    toolBars_.clear();
}

void CToolBar::CreateMenu() {
    for (const BarTable& table : kToolBars) {
        auto& bar = bars_.AddToolBar(table.title, 0);
        bar.setBarId(table.id);
        bar.setDockingFlags(kToolBarDocking);
        toolBars_.push_back(&bar);
    }
}

void CToolBar::AddItem() {
    for (size_t i = 0; i < toolBars_.size(); ++i) {
        dockable_.AddItems(*toolBars_[i], kToolBars[i].items);
        toolBars_[i]->setVisible(true);
    }
}

void CToolBar::DockAll() {
    if (toolBars_.size() == 2) DockBarNextTo(bars_, *toolBars_[1], *toolBars_[0]);
}

}  // namespace OrbanexDesk
