#include "desk/positions/CNetPos.h"

#include <algorithm>

#include "desk/common/MGeneral.h"
#include "runtime/Convert.h"

namespace OrbanexDesk {

namespace {
using OrbanelGeneral10::OperationTypeEnum;

// Sub-items of the net list.
constexpr size_t kAccount = 1, kAmount = 2, kNH = 3, kSide = 4, kAverage = 5, kCurrent = 6,
                 kComm = 7, kInterest = 8, kProfit = 9;
constexpr size_t kLastColumn = kProfit;
constexpr int32_t kBuy = 1, kSell = -1;
constexpr int32_t kAverageDecimals = 8;
const char kSep = '\x1f';

std::string RowIndexKey(const std::string& name, int32_t side, int32_t account) {
    return name + kSep + std::to_string(side) + kSep + std::to_string(account);
}
std::string SideIndexKey(const std::string& name, const std::string& sideText) {
    return name + kSep + sideText;
}
std::string AverageText(double average) {
    return runtime::NumberToText(runtime::RoundHalfAway(average, kAverageDecimals));
}
}  // namespace

CNetPos::CNetPos(platform::ListView& lvwNetPos, platform::ListView& lvwClients)
    : list_(lvwNetPos), clients_(lvwClients) {
    feed_ = list_.Changed.Connect([this](const platform::ListViewChange& c) { OnChange(c); });
}

CNetPos::~CNetPos() = default;

void CNetPos::PositionAdded(const SymbolPtr& Symbol, int32_t Side, double Lots, double Price,
                            double Commission, double Interest, const runtime::Variant& ProfitLoss,
                            int32_t AccountID) {
    if (!Symbol) return;
    const double profit = runtime::IsNumeric(ProfitLoss) ? ProfitLoss.ToDouble() : 0;
    const double delta = Money(MoneyText(profit));
    UpdateRow(Symbol, Side, Lots, Price, Commission, Interest, delta, AccountID);
    UpdateRow(Symbol, Side, Lots, Price, Commission, Interest, delta, kTotalAccount);
}

double CNetPos::caluclate_profit(const std::string& SymbolName, const std::string& SideText) {
    const auto found = sideCents_.find(SideIndexKey(SymbolName, SideText));
    return found == sideCents_.end() ? 0 : static_cast<double>(found->second) / 100;
}

void CNetPos::ProfitChanged(const SymbolPtr& Symbol, int32_t Side, double Delta,
                            int32_t AccountID) {
    platform::ListItem* row = NetPositionListItem(Symbol, Side, AccountID);
    if (!row) return;
    const double profit = AccountID == kTotalAccount
                              ? caluclate_profit(Symbol->Name(), SideText(Side))
                              : Money(row->SubItems(kProfit)) + Delta;
    row->setSubItems(kProfit, MoneyText(profit));
}

double CNetPos::NetLots(const SymbolPtr& Symbol, int32_t Side, int32_t AccountID) {
    const platform::ListItem* row = NetPositionListItem(Symbol, Side, AccountID);
    return row ? runtime::Val(row->SubItems(kAmount)) : 0;
}

platform::ListItem* CNetPos::NetPositionListItem(const SymbolPtr& Symbol, int32_t Side,
                                                 int32_t AccountID) {
    if (!Symbol) return nullptr;
    if (AccountID == kTotalAccount) return list_.Find(NetRowKey(Symbol->ID(), Side));
    const auto found = byAccount_.find(RowIndexKey(Symbol->Name(), Side, AccountID));
    return found == byAccount_.end() ? nullptr : found->second.front();
}

void CNetPos::Remove(const SymbolPtr& Symbol, int32_t Side, int32_t AccountID) {
    if (platform::ListItem* row = NetPositionListItem(Symbol, Side, AccountID)) {
        list_.Remove(row->Index());
        list_.Refresh();
    }
}

std::string CNetPos::getname(int32_t AccountID) const {
    std::string name;
    for (size_t i = 1; i <= clients_.Count(); ++i)
        if (runtime::Val(clients_.Item(i).SubItems(3)) == AccountID) {
            name = clients_.Item(i).SubItems(1);
            break;
        }
    return std::to_string(AccountID) + "(" + name + ")";
}

// ---- Rows ----

void CNetPos::UpdateRow(const SymbolPtr& symbol, int32_t side, double lots, double price,
                        double commission, double interest, double delta, int32_t account) {
    platform::ListItem* row = NetPositionListItem(symbol, side, account);
    bool removed = false;
    if (!row) {
        CreateRow(symbol, side, lots, price, commission, interest, account);
    } else {
        const double oldLots = runtime::Val(row->SubItems(kAmount));
        const double oldAverage = runtime::Val(row->SubItems(kAverage));
        const std::string amountText = runtime::NumberToText(oldLots + lots);
        const double newLots = runtime::Val(amountText);
        row->setSubItems(kAmount, amountText);
        if (newLots > 0)
            row->setSubItems(kAverage,
                             AverageText((lots * price + oldLots * oldAverage) / newLots));
        row->setSubItems(kComm, MoneyText(Money(row->SubItems(kComm)) + commission));
        row->setSubItems(kInterest, MoneyText(Money(row->SubItems(kInterest)) + interest));
        if (newLots == 0) {
            list_.Remove(row->Index());
            removed = true;
        }
    }
    // Also after a removal: the other side's "NH" depends on this side's amount.
    UpdateNH(symbol, account);
    list_.Refresh();
    if (!removed) ProfitChanged(symbol, side, delta, account);
}

platform::ListItem& CNetPos::CreateRow(const SymbolPtr& symbol, int32_t side, double lots,
                                       double price, double commission, double interest,
                                       int32_t account) {
    const bool total = account == kTotalAccount;
    const std::string key =
        total ? NetRowKey(symbol->ID(), side) : NetRowKey(symbol->ID(), side, account);
    // Only a renamed symbol can leave its old row under the key.
    if (list_.Find(key)) list_.Remove(key);
    const std::string name = symbol->Name();
    const auto closing = static_cast<OperationTypeEnum>(-side);
    platform::ListItem& row = list_.Add(key, name);
    row.setSubItems(kAccount, total ? kTotalAccountText : getname(account));
    row.setSubItems(kAmount, runtime::NumberToText(lots));
    row.setSubItems(kNH, "");
    row.setSubItems(kSide, SideText(side));
    row.setSubItems(kAverage, AverageText(price));
    row.setSubItems(kCurrent, symbol->FormatPrice(runtime::Variant(symbol->Price(closing))));
    row.setSubItems(kComm, MoneyText(commission));
    row.setSubItems(kInterest, MoneyText(interest));
    row.setSubItems(kProfit, "0");
    if (total) {
        row.setBold(true);
        for (size_t i = 1; i <= kLastColumn; ++i) row.setSubItemBold(i, true);
    } else {
        Index(row, name, side, account);
    }
    return row;
}

void CNetPos::UpdateNH(const SymbolPtr& symbol, int32_t account) {
    const double buys = NetLots(symbol, kBuy, account);
    const double sells = NetLots(symbol, kSell, account);
    if (platform::ListItem* buy = NetPositionListItem(symbol, kBuy, account))
        buy->setSubItems(kNH, buys > sells ? runtime::NumberToText(buys - sells) : "");
    if (platform::ListItem* sell = NetPositionListItem(symbol, kSell, account))
        sell->setSubItems(kNH, sells > buys ? runtime::NumberToText(-(sells - buys)) : "");
}

// ---- Texts ----

std::string CNetPos::SideText(int32_t side) const {
    return generals_.BuySellDesc(static_cast<OperationTypeEnum>(side), false);
}

double CNetPos::Money(const std::string& text) const {
    return runtime::Val(values_.FormatStringAsNumber(runtime::Variant(text), ".", ","));
}

std::string CNetPos::MoneyText(double value) const {
    return values_.ToCurrencyVal(runtime::Variant(value), true);
}

// ---- Index ----

void CNetPos::Index(platform::ListItem& row, const std::string& name, int32_t side,
                    int32_t account) {
    Indexed entry{RowIndexKey(name, side, account), SideIndexKey(name, SideText(side)),
                  MoneyCents(row.SubItems(kProfit))};
    byAccount_[entry.rowKey].push_back(&row);
    bySide_[entry.sideKey].push_back(&row);
    entry.sideCents = &sideCents_[entry.sideKey];
    *entry.sideCents += entry.profitCents;
    size_t slot = records_.size();
    if (!freeRecords_.empty()) {
        slot = freeRecords_.back();
        freeRecords_.pop_back();
        records_[slot] = std::move(entry);
    } else {
        records_.push_back(std::move(entry));
    }
    row.setKeeperData(static_cast<int64_t>(slot) + 1);
}

CNetPos::Indexed* CNetPos::RecordOf(const platform::ListItem& row) {
    const int64_t slot = row.KeeperData() - 1;  // none: a total row, or not ours
    if (slot < 0 || static_cast<size_t>(slot) >= records_.size()) return nullptr;
    Indexed& record = records_[static_cast<size_t>(slot)];
    return record.sideCents ? &record : nullptr;
}

void CNetPos::OnChange(const platform::ListViewChange& change) {
    using Kind = platform::ListViewChange::Kind;
    if (change.kind == Kind::Cell) {
        if (change.column == kProfit + 1 && change.role == platform::ListViewChange::Role::Text)
            ProfitCellChanged(list_.Item(change.index));
    } else if (change.kind == Kind::AboutToRemove) {
        Unindex(&list_.Item(change.index));
    } else if (change.kind == Kind::AboutToReset) {
        byAccount_.clear();
        bySide_.clear();
        records_.clear();
        freeRecords_.clear();
        sideCents_.clear();
    }
}

void CNetPos::ProfitCellChanged(platform::ListItem& row) {
    Indexed* record = RecordOf(row);
    if (!record) return;
    const int64_t now = MoneyCents(row.SubItemText(kProfit));
    *record->sideCents += now - record->profitCents;
    record->profitCents = now;
}

void CNetPos::Unindex(platform::ListItem* row) {
    Indexed* record = RecordOf(*row);
    if (!record) return;
    auto drop = [row](auto& map, const std::string& key) {
        auto at = map.find(key);
        if (at == map.end()) return;
        auto& rows = at->second;
        const auto it = std::find(rows.begin(), rows.end(), row);
        if (it != rows.end()) rows.erase(it);
        if (rows.empty()) map.erase(at);
    };
    drop(byAccount_, record->rowKey);
    drop(bySide_, record->sideKey);
    if (bySide_.count(record->sideKey))
        *record->sideCents -= record->profitCents;
    else
        sideCents_.erase(record->sideKey);
    *record = Indexed{};
    freeRecords_.push_back(static_cast<size_t>(row->KeeperData() - 1));
    row->setKeeperData(0);
}

}  // namespace OrbanexDesk
