#include "desk/shell/frmAlerts.h"

#include <QStyle>

namespace OrbanexDesk {

frmAlerts::frmAlerts(BarsBuilt barsBuilt, QWidget* parent)
    : ShellListForm(
          "frmAlerts", "lvwAlerts",
          {"Symbol", "Alert Condition", "Counter", "Timeout", "Last Hit", "Max Iterations"},
          "15,15,15,15,15,15", std::move(barsBuilt), parent) {
    // imlAlerts
    view_->setSmallIcons({style()->standardIcon(QStyle::SP_MessageBoxWarning)});
    AddAndRemoveRow();
}

}  // namespace OrbanexDesk
