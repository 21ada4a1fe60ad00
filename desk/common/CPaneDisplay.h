#pragma once
// The Displayed flag every hosted view keeps: setting it shows or closes the
// view's pane and sets the pane's window command checked as the action and in
// the "&View" bar; the five views behind "&Trade Panel" then update its check.
// The shell is reached through the port on every call, so the view may exist
// before the shell does.
#include <cstdint>
#include <functional>

#include "desk/common/PaneTable.h"
#include "desk/common/Ports.h"

namespace OrbanexDesk {

class CPaneDisplay : public IPaneView {
public:
    // `shell` answers the shell port at call time (nullptr: none yet).
    CPaneDisplay(int32_t paneId, std::function<IShell*()> shell);

    int32_t PaneID() const { return paneId_; }
    bool Displayed() const override { return displayed_; }
    void setDisplayed(bool Value) override;
    void FollowPane(bool Shown) override { displayed_ = Shown; }

private:
    int32_t paneId_;
    const PaneRow* row_;
    std::function<IShell*()> shell_;
    bool displayed_ = false;
};

}  // namespace OrbanexDesk
