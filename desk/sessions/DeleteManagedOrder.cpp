#include "desk/sessions/DeleteManagedOrder.h"

#include <string>

#include "desk/common/MGeneral.h"
#include "desk/sessions/CClientAPIManagers.h"
#include "desk/sessions/SessionLookups.h"

namespace OrbanexDesk {

namespace {
constexpr size_t kPendingTypeColumn = 2;

bool IsManageType(const std::string& type) {
    return type == "Buy(Manage)" || type == "Sell(Manage)";
}
}  // namespace

void DeleteManagedOrder(DeskServices& desk, int32_t Account, int32_t OrderID) {
    const DeskPorts& ports = desk.Ports();
    const platform::ListItem* pending = ports.frmPending->lvwPending().SelectedItem();
    if (!pending) return;
    const std::string type = pending->SubItems(kPendingTypeColumn);
    ports.frmlimitorder->setDisplayed(true);
    ManagerPtr session = SessionOfAccount(*desk.Managers(), Account);
    if (!session) {
        const std::string text = "Unable to cancel order #" + std::to_string(OrderID) +
                                 ", account " + std::to_string(Account) + " is not connected";
        ports.frmJournal->Add(text, Account, true);
        ports.Messages->ShowMessage(text, "##DEF##", false);
        return;
    }
    const std::string key = OrderPaneRowKey(Account);
    platform::ListView& rows = ports.frmlimitorder->lvwConClients();
    auto tick = [&rows, &key](bool checked) {
        if (platform::ListItem* row = rows.Find(key)) row->setChecked(checked);
    };
    tick(true);
    try {
        const std::string ids = std::to_string(OrderID);
        const int32_t result = IsManageType(type) ? session->SendSLTPOrderCancel(ids)
                                                  : session->SendLimitOrderCancel(ids);
        ports.frmMain->Result(result, key, Account, true);
    } catch (...) {
        tick(false);  // a raised error must not leave the row selected for the next Submit
        throw;
    }
    tick(false);
}

}  // namespace OrbanexDesk
