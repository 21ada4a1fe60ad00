#pragma once
// The list views' context menus of the shell's command bars: each found by its
// id, or added with its entries when the shell has not built it, its entries
// switched on, then shown at the cursor without waiting. An entry runs through
// the shell's command dispatch by its id.
#include <cstdint>

namespace platform::widgets {
class CommandBars;
class CommandBarControl;
}  // namespace platform::widgets

namespace OrbanexDesk {

inline constexpr int32_t kTradePopup = 100030;
inline constexpr int32_t kJournalPopup = 100045;
inline constexpr int32_t kPendingPopup = 100058;

// Nothing for an id that is not one of the three.
void ShowContextMenu(platform::widgets::CommandBars& bars, int32_t PopupID);
// The entry of the menu (the menu made first when missing); nullptr when unknown.
platform::widgets::CommandBarControl* ContextMenuEntry(platform::widgets::CommandBars& bars,
                                                       int32_t PopupID, int32_t ControlID);

}  // namespace OrbanexDesk
