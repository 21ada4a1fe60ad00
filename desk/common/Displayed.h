#pragma once
// The Displayed flag that every view hosted in a shell pane offers: setting it
// shows or closes the view's pane and checks or unchecks the pane's window
// command; the five views behind "&Trade Panel" then update that command too.
// The pane table below is the one place that pairs panes with their commands.
#include <array>
#include <cstdint>

#include "desk/common/Ports.h"

namespace OrbanexDesk {

struct ViewPane {
    int32_t PaneID;
    int32_t CommandID;
    // One of the five views behind "&Trade Panel" 100076.
    bool TradePanel;
};

inline constexpr std::array<ViewPane, 9> kViewPanes{{
    {100000, 100063, false},  // Market Watch
    {100001, 100036, false},  // New Entry Order
    {100002, 100013, false},  // New Position
    {100004, 100011, true},   // Accounts List
    {100005, 100043, true},   // Trade
    {100037, 100061, true},   // Net Trade
    {100038, 100042, true},   // Journal
    {100044, 100062, true},   // Pending Order
    {100048, 100054, false},  // Close Postion
}};

// nullptr for a pane that is not in the table.
const ViewPane* FindViewPane(int32_t PaneID);

class DisplayedFlag {
public:
    // Raises runtime::Error(5) for a pane that is not in the table.
    explicit DisplayedFlag(int32_t PaneID);

    bool Value() const { return value_; }
    // Stores the value, then selects or closes the pane and sets its command's
    // check through the shell; without a shell only the value changes.
    void Set(IShell* Shell, bool Value);

private:
    const ViewPane& pane_;
    bool value_ = false;
};

}  // namespace OrbanexDesk
