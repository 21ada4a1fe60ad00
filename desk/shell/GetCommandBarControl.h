#pragma once
// The search the views use to reach one control of the shell's command bars:
// a context menu with the parent id, then a bar (or a popup's drop-down bar)
// with that id, then every bar. Nothing found gives nullptr.
#include <cstdint>

#include "platform/widgets/CommandBars.h"

namespace OrbanexDesk {

platform::widgets::CommandBarControl* GetCommandBarControl(platform::widgets::CommandBars& bars,
                                                           int32_t ParentID, int32_t ControlID);

}  // namespace OrbanexDesk
