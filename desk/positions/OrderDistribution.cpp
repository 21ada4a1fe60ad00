#include "desk/positions/OrderDistribution.h"

#include <limits>
#include <vector>

#include "desk/common/OrderPaneProcedures.h"
#include "desk/sessions/CClientAPIManagers.h"
#include "runtime/Convert.h"

namespace OrbanexDesk {

namespace {
constexpr size_t kAmount = 1, kResult = 2;
constexpr size_t kClientsAccount = 3;
const char* const kDefaultCaption = "##DEF##";

// A row's account text as a number; text that is no account reads as 0.
int32_t AccountOf(const std::string& text) {
    const double value = runtime::Val(text);
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
        return 0;
    return runtime::CLng(value);
}

// The account's equity and effective margin from its session's summary; a refused
// summary leaves them 0, no session gives hasSession false.
void ReadFigures(DeskServices& desk, CClientAPIManagers& managers, const std::string& accountText,
                 CDistribution::Row& row) {
    const int32_t account = AccountOf(accountText);
    const ManagerPtr session =
        managers.Item(FindClientKey(desk.Ports().frmMain->lvwClients(), account));
    const auto api = session ? session->ClientAPIF() : nullptr;
    row.hasSession = api != nullptr;
    if (!api) return;
    double balance = 0, floating = 0, credit = 0, marginReq = 0, marginLevel = 0;
    api->AccountSummaries(account, balance, floating, credit, row.equity, marginReq, marginLevel,
                          row.effMargin);
}

CDistribution::Row ReadRow(DeskServices& desk, CClientAPIManagers& managers,
                           const platform::ListItem& item, const std::string& symbolName) {
    CDistribution::Row row;
    row.checked = item.Checked();
    if (!row.checked) return row;
    ReadFigures(desk, managers, item.Text(), row);
    // An account without a session has no data to tell what it sees: it reads as
    // all figures 0, as a refused summary leaves them, and is never sent anything.
    row.seesSymbol = !row.hasSession || managers.Check_Visibility(symbolName, item.Text());
    return row;
}

void MarketButtonsAfter(Ifrmorder& pane, CDistribution::Outcome outcome) {
    if (outcome == CDistribution::Outcome::NoAccount) {
        pane.setCmddisVisible(true);
        pane.setCmdbuyVisible(false);
        pane.setCmdsellVisible(false);
        pane.setChkAllClients(false);
    } else if (outcome == CDistribution::Outcome::Distributed) {
        pane.setCmdsellEnabled(true);
        pane.setCmdbuyEnabled(true);
        pane.setCmddisVisible(false);
        pane.setCmdbuyVisible(true);
        pane.setCmdsellVisible(true);
    }
}
}  // namespace

std::string FindClientKey(platform::ListView& lvwClients, int32_t Account) {
    for (size_t i = lvwClients.Count(); i >= 1; --i)
        if (runtime::Val(lvwClients.Item(i).SubItems(kClientsAccount)) == Account)
            return lvwClients.Item(i).Key();
    return "";
}

void DistributeOver(DeskServices& desk, platform::ListView& list, double total, int16_t rule,
                    const SymbolPtr& Symbol, CDistribution::Pane pane,
                    const UpdateAmountFn& updateAmount) {
    if (!Symbol) return;
    const std::string symbolName = Symbol->Name();
    CClientAPIManagers& managers = *desk.Managers();
    std::vector<CDistribution::Row> rows;
    rows.reserve(list.Count());
    for (size_t i = 1; i <= list.Count(); ++i)
        rows.push_back(ReadRow(desk, managers, list.Item(i), symbolName));

    const auto result = CDistribution::Run(
        rows, total, rule, AmountDecimalPlaces(desk.State().AmountDecimals), symbolName, pane);
    for (size_t i = 1; i <= list.Count() && i <= result.rows.size(); ++i) {
        platform::ListItem& item = list.Item(i);
        const auto& out = result.rows[i - 1];
        if (item.Checked() != out.checked) item.setChecked(out.checked);
        if (out.note) item.setSubItems(kResult, *out.note);
        if (result.amountsCleared) item.setSubItems(kAmount, "");
    }
    for (size_t i = 1; i <= list.Count() && i <= result.rows.size(); ++i)
        if (const auto& amount = result.rows[i - 1].amount)
            updateAmount(AccountOf(list.Item(i).Text()), *amount, list.Item(i).Key());
    if (!result.message.empty() && desk.Ports().Messages)
        desk.Ports().Messages->ShowMessage(result.message, kDefaultCaption, false);
    if (pane == CDistribution::Pane::MarketOrder)
        MarketButtonsAfter(*desk.Ports().frmorder, result.outcome);
}

void CheckAllClients(DeskServices& desk, platform::ListView& list, bool checked) {
    CClientAPIManagers& managers = *desk.Managers();
    for (size_t i = 1; i <= list.Count(); ++i) {
        platform::ListItem& item = list.Item(i);
        if (!checked) {
            item.setChecked(false);
            item.setSubItems(kResult, "");
            continue;
        }
        CDistribution::Row row;
        ReadFigures(desk, managers, item.Text(), row);
        if (row.hasSession && row.equity > 0)
            item.setChecked(true);
        else
            item.setSubItems(kResult, "No Balance");
    }
}

void Distribute(DeskServices& desk, double total, int16_t rule, const SymbolPtr& Symbol) {
    Ifrmorder& pane = *desk.Ports().frmorder;
    DistributeOver(desk, pane.lvwConClients(), total, rule, Symbol,
                   CDistribution::Pane::MarketOrder,
                   [&pane](int32_t account, double amount, const std::string& key) {
                       pane.updateAmount(account, amount, key);
                   });
}

}  // namespace OrbanexDesk
