#include "desk/sessions/SessionLookups.h"

#include "desk/common/DeskProcedures.h"

namespace OrbanexDesk {

ManagerPtr SessionOfAccount(const CClientAPIManagers& Managers, int32_t Account) {
    for (const auto& entry : Managers.Children())
        if (entry.value && entry.value->m_lAccount == Account) return entry.value;
    return nullptr;
}

std::string GetManagerKeyByAccount(const CClientAPIManagers& Managers, int32_t Account) {
    const ManagerPtr session = SessionOfAccount(Managers, Account);
    return session ? std::to_string(session->key()) : "";
}

bool VisibilityFlag(CClientAPIManagers& Managers, const platform::ListView& AccountRows,
                    const std::string& Symbol) {
    for (size_t i = 1; i <= AccountRows.Count(); ++i)
        if (Managers.Check_Visibility(Symbol, AccountRows.Item(i).Text())) return true;
    return false;
}

namespace {
// The position of the first row no account sees; 0 when every row is seen.
size_t FirstInvisibleRow(CClientAPIManagers& managers, const platform::ListView& accounts,
                         const platform::ListView& watch) {
    for (size_t i = 1; i <= watch.Count(); ++i)
        if (!VisibilityFlag(managers, accounts, watch.Item(i).Text())) return i;
    return 0;
}
}  // namespace

void RemoveInvisibleSymbols(DeskServices& Desk) {
    const DeskPorts& ports = Desk.Ports();
    if (!ports.frmMW || !ports.frmorder || !ports.frmlimitorder) return;
    CClientAPIManagers& managers = *Desk.Managers();
    platform::ListView& watch = ports.frmMW->lvmw();
    while (const size_t row = FirstInvisibleRow(managers, ports.frmorder->lvwConClients(), watch)) {
        const std::string name = watch.Item(row).Text();
        watch.Remove(row);
        RemoveSymbolFromCombos(*ports.frmorder, *ports.frmlimitorder, name);
    }
}

}  // namespace OrbanexDesk
