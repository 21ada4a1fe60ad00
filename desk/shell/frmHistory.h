#pragma once
// The account-history list: closed trades, deposits, withdrawals and
// adjustments. Nothing in the desk fills or shows it.
#include "desk/shell/ShellListForm.h"

namespace OrbanexDesk {

// The pane the attaching step would give it.
constexpr int32_t kPaneHistory = 100041;

class frmHistory : public ShellListForm {
public:
    explicit frmHistory(BarsBuilt barsBuilt = {}, QWidget* parent = nullptr);
    platform::widgets::ListView& lvwHistory() { return List(); }
};

}  // namespace OrbanexDesk
