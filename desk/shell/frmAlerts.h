#pragma once
// The alerts list: one row per price alert, with its condition and counters.
// Nothing in the desk fills or shows it.
#include "desk/shell/ShellListForm.h"

namespace OrbanexDesk {

// The pane the attaching step would give it.
constexpr int32_t kPaneAlerts = 100039;

class frmAlerts : public ShellListForm {
public:
    explicit frmAlerts(BarsBuilt barsBuilt = {}, QWidget* parent = nullptr);
    platform::widgets::ListView& lvwAlerts() { return List(); }
};

}  // namespace OrbanexDesk
