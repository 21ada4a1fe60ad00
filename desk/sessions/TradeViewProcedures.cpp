#include "desk/sessions/TradeViewProcedures.h"

#include <vector>

#include "desk/sessions/CClientAPIManagers.h"
#include "desk/sessions/SessionLookups.h"
#include "runtime/Convert.h"

namespace OrbanexDesk {

namespace {
const char* const kTotalAccountText = "Total(All Clients)";
const char* const kDefaultCaption = "##DEF##";

// Sub-items of the net list.
constexpr size_t kNetAccount = 1, kNetAmount = 2, kNetSide = 4, kNetAverage = 5, kNetComm = 7,
                 kNetInterest = 8, kNetProfit = 9;

template <class Look>
SymbolPtr FirstKnowing(DeskServices& desk, Look look) {
    for (const auto& entry : desk.Managers()->Children()) {
        const auto api = entry.value ? entry.value->ClientAPIF() : nullptr;
        if (!api) continue;
        if (SymbolPtr symbol = look(*api)) return symbol;
    }
    return nullptr;
}

// The account number before the first "(" of a net row's account text.
double NetRowAccount(const platform::ListItem& row) {
    const std::string text = row.SubItems(kNetAccount);
    return runtime::Val(text.substr(0, text.find('(')));
}

double MoneyValue(const DeskState& state, const std::string& text) {
    return runtime::Val(state.StringValues->FormatStringAsNumber(runtime::Variant(text), ".", ","));
}
}  // namespace

SymbolPtr SessionSymbolByID(DeskServices& desk, int32_t SymbolID) {
    return FirstKnowing(desk, [&](auto& api) { return api.SymbolByID(SymbolID); });
}

SymbolPtr SessionSymbolByName(DeskServices& desk, const std::string& Name) {
    return FirstKnowing(desk, [&](auto& api) { return api.SymbolByName(Name); });
}

void RefreshNetPositions(DeskServices& desk, bool Skip, int32_t Account) {
    RefreshNetPositionsWith(
        desk.Ports(), desk.State(), Skip, Account,
        [&desk](const std::string& name) { return SessionSymbolByName(desk, name); });
}

void RefreshNetPositionsWith(const DeskPorts& ports, const DeskState& state, bool Skip,
                             int32_t Account,
                             const std::function<SymbolPtr(const std::string&)>& symbolByName) {
    if (Skip) return;
    platform::ListView& open = ports.frmTrade->lvwOpenPos();
    for (size_t i = open.Count(); i >= 1; --i)
        if (runtime::Val(open.Item(i).SubItems(1)) == Account) open.Remove(i);

    platform::ListView& net = ports.frmNetTrade->lvwNetPos();
    std::vector<std::string> keys;
    for (size_t i = net.Count(); i >= 1; --i) {
        const platform::ListItem& row = net.Item(i);
        if (row.SubItems(kNetAccount) == kTotalAccountText) continue;
        if (NetRowAccount(row) == Account) keys.push_back(row.Key());
    }
    for (const std::string& key : keys) {
        const platform::ListItem* row = net.Find(key);
        if (!row) continue;
        const SymbolPtr symbol = symbolByName(row->Text());
        if (!symbol) continue;
        const int32_t side = row->SubItems(kNetSide) == "Buy" ? 1 : -1;
        ports.CNetPos->PositionAdded(
            symbol, side, -runtime::Val(row->SubItems(kNetAmount)),
            runtime::Val(row->SubItems(kNetAverage)), -MoneyValue(state, row->SubItems(kNetComm)),
            -MoneyValue(state, row->SubItems(kNetInterest)),
            runtime::Variant(-MoneyValue(state, row->SubItems(kNetProfit))), Account);
    }
}

std::optional<std::string> CloseRefusalText(int32_t Result, int32_t Ticket, double Lots,
                                            int32_t Account) {
    const std::string head = "Unable to close position #" + std::to_string(Ticket);
    if (Result == OrbanexClientAPI10::NoPrivilegeResult)
        return head + ", account " + std::to_string(Account) + " does not have privilege";
    if (Result == OrbanexClientAPI10::InvalidAmountResult)
        return head + ", The amount: " + runtime::NumberToText(Lots) + " is invalid";
    return std::nullopt;
}

void ClosePositionForAccount(DeskServices& desk, int32_t Ticket, double Lots, int32_t Account) {
    const ManagerPtr session = SessionOfAccount(*desk.Managers(), Account);
    if (!session || !session->ClientAPIF()) return;
    const int32_t result = session->SendClose(std::to_string(Ticket), runtime::NumberToText(Lots));
    const auto text = CloseRefusalText(result, Ticket, Lots, Account);
    if (!text) return;
    const DeskPorts& ports = desk.Ports();
    if (ports.frmJournal) ports.frmJournal->Add(*text, Account, false);
    if (ports.Messages) ports.Messages->ShowMessage(*text, kDefaultCaption, false);
}

}  // namespace OrbanexDesk
