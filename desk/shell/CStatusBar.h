#pragma once
// The status bar's six panes; a click or double-click on the progress or the
// connection pane opens the add-account dialog through the given command.
#include <functional>

#include "platform/widgets/CommandBars.h"

namespace OrbanexDesk {

class CStatusBar {
public:
    // `bars` must outlive the builder; `mnuLogin_Click` runs on the panes' clicks.
    CStatusBar(platform::widgets::CommandBars& bars, std::function<void()> mnuLogin_Click);
    void CreateStatus();
    void AddCommand();
    void oStatusBar_PaneClick(platform::widgets::StatusBarPane& Pane);
    void oStatusBar_PaneDblClick(platform::widgets::StatusBarPane& Pane);

private:
    platform::widgets::CommandBars& bars_;
    std::function<void()> mnuLogin_Click_;
    runtime::ScopedConnection click_, dblClick_;
};

}  // namespace OrbanexDesk
