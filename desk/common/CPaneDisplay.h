#pragma once
// A hosted view's Displayed flag as the shell sees it: setting it runs the
// Displayed contract through the shell port, which is asked for at call time so
// the view may exist before the shell does.
#include <cstdint>
#include <functional>

#include "desk/common/Displayed.h"
#include "desk/common/Ports.h"

namespace OrbanexDesk {

class CPaneDisplay : public IPaneView {
public:
    // `shell` answers the shell port at call time (nullptr: none yet).
    CPaneDisplay(int32_t paneId, std::function<IShell*()> shell);

    int32_t PaneID() const { return paneId_; }
    bool Displayed() const override { return flag_.Value(); }
    void setDisplayed(bool Value) override { flag_.Set(shell_ ? shell_() : nullptr, Value); }
    void FollowPane(bool Shown) override { flag_.Set(nullptr, Shown); }

private:
    int32_t paneId_;
    DisplayedFlag flag_;
    std::function<IShell*()> shell_;
};

}  // namespace OrbanexDesk
