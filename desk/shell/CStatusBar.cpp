#include "desk/shell/CStatusBar.h"

#include "desk/shell/CommandBarTables.h"

namespace OrbanexDesk {

namespace {
constexpr int32_t kStretch = 134217728;
constexpr int32_t kBorderless = 256;
}  // namespace

CStatusBar::CStatusBar(platform::widgets::CommandBars& bars, std::function<void()> mnuLogin_Click)
    : bars_(bars), mnuLogin_Click_(std::move(mnuLogin_Click)) {
    click_ = bars_.StatusPaneClick.Connect([this](auto& pane) { oStatusBar_PaneClick(pane); });
    dblClick_ =
        bars_.StatusPaneDblClick.Connect([this](auto& pane) { oStatusBar_PaneDblClick(pane); });
}

void CStatusBar::CreateStatus() {
    bars_.setStatusBarVisible(true);
}

void CStatusBar::AddCommand() {
    for (const StatusPaneRow& row : kStatusPanes) {
        auto& pane = bars_.AddStatusPane(row.id);
        if (row.width) pane.setWidth(row.width);
        if (row.id == kStatusProgress || row.id == kStatusConnection) pane.setStyle(kBorderless);
        if (row.id >= 100022 && row.id <= kStatusProgress) pane.setText("");
    }
    bars_.setStatusPaneStyle(0, kStretch);
}

void CStatusBar::oStatusBar_PaneClick(platform::widgets::StatusBarPane& Pane) {
    if ((Pane.Id() == kStatusProgress || Pane.Id() == kStatusConnection) && mnuLogin_Click_)
        mnuLogin_Click_();
}

void CStatusBar::oStatusBar_PaneDblClick(platform::widgets::StatusBarPane& Pane) {
    oStatusBar_PaneClick(Pane);
}

}  // namespace OrbanexDesk
