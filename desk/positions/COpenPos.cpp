#include "desk/positions/COpenPos.h"

#include <array>
#include <charconv>
#include <limits>
#include <string>
#include <vector>

#include "desk/common/MGeneral.h"
#include "runtime/Convert.h"

namespace OrbanexDesk {

namespace {
// Sub-items of the open-positions list; every column is named, used or not.
[[maybe_unused]] constexpr size_t kAccount = 1, kTime = 2, kType = 3, kAmount = 4, kSymbol = 5,
                                  kOpen = 6, kCurrent = 7, kSL = 8, kTP = 9, kComm = 10,
                                  kInterest = 11, kProfit = 12;
constexpr int32_t kBuyIcon = 1, kSellIcon = 2;
constexpr size_t kPendingAccount = 1;  // of the pending list

double Money(const std::string& text) {
    static const OrbanelGeneral10::CStringValues values;
    return runtime::Val(values.FormatStringAsNumber(runtime::Variant(text), ".", ","));
}

// A whole number read from a cell; 0 for text that holds none in range.
int32_t WholeNumber(const std::string& text) {
    const double value = runtime::RoundHalfEven(runtime::Val(text));
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
        return 0;
    return static_cast<int32_t>(value);
}

// The symbol id kept in a row's tag; nothing when its add skipped the net.
bool NetSymbolID(const platform::ListItem& row, int32_t& id) {
    const std::string& tag = row.Tag();
    const auto [end, ec] = std::from_chars(tag.data(), tag.data() + tag.size(), id);
    return !tag.empty() && ec == std::errc() && end == tag.data() + tag.size();
}
}  // namespace

COpenPos::COpenPos(platform::ListView& lvwOpenPos, platform::ListView& lvwPending, ICNetPos& net,
                   const DeskState& state, SymbolByIDFn symbolByID, CloseFn closePosition)
    : list_(lvwOpenPos),
      pending_(lvwPending),
      net_(net),
      state_(state),
      symbolByID_(std::move(symbolByID)),
      close_(std::move(closePosition)) {}

void COpenPos::AddPosition(const PositionPtr& Position, int32_t AccountID) {
    if (!Position) return;
    const auto& values = *state_.StringValues;
    const bool buy = Position->BuySell() == OrbanelGeneral10::BuyType;
    const std::string openText = Position->FormatPrice(runtime::Variant(Position->Price()));
    std::array<std::string, kProfit + 1> cells;
    cells[kAccount] = std::to_string(AccountID);
    cells[kTime] = FormatDateTimeText(state_, Position->PosTime());
    cells[kType] = buy ? "Buy" : "Sell";
    cells[kAmount] = runtime::NumberToText(Position->Lots());
    cells[kSymbol] = Position->SymbolName();
    cells[kOpen] = openText;
    cells[kCurrent] = Position->FormatPrice(runtime::Variant(Position->ClosePrice()));
    cells[kComm] = values.ToCurrencyVal(runtime::Variant(Position->Commission()), true);
    cells[kInterest] = values.ToCurrencyVal(runtime::Variant(Position->Interest()), true);
    cells[kProfit] = values.ToCurrencyVal(runtime::Variant(Position->FloatingProfitLoss()), true);

    const int32_t ticket = Position->Ticket();
    RemovePosition(ticket, AccountID);
    platform::ListItem& row = list_.Add(PositionRowKey(AccountID, ticket), std::to_string(ticket));
    for (size_t i = kAccount; i <= kProfit; ++i) row.setSubItems(i, cells[i]);
    row.setSmallIcon(buy ? kBuyIcon : kSellIcon);

    const SymbolPtr symbol = symbolByID_ ? symbolByID_(Position->SymbolID()) : nullptr;
    if (!symbol) return;
    row.setTag(std::to_string(symbol->ID()));
    net_.PositionAdded(symbol, buy ? 1 : -1, Position->Lots(), runtime::Val(openText),
                       Position->Commission(), Position->Interest(),
                       runtime::Variant(Position->FloatingProfitLoss()), AccountID);
}

void COpenPos::RemovePosition(int32_t Ticket, int32_t AccountID) {
    platform::ListItem* row = FindPositionItem(Ticket, AccountID);
    if (!row) return;
    int32_t symbolID = 0;
    if (NetSymbolID(*row, symbolID)) {
        if (const SymbolPtr symbol = symbolByID_ ? symbolByID_(symbolID) : nullptr) {
            net_.PositionAdded(symbol, row->SubItems(kType) == "Buy" ? 1 : -1,
                               -runtime::Val(row->SubItems(kAmount)),
                               runtime::Val(row->SubItems(kOpen)), -Money(row->SubItems(kComm)),
                               -Money(row->SubItems(kInterest)),
                               runtime::Variant(-Money(row->SubItems(kProfit))), AccountID);
        }
    }
    // The net call may have changed other lists; look the row up again.
    const std::string key = PositionRowKey(AccountID, Ticket);
    if (list_.Find(key)) list_.Remove(key);
    RemovePending(Ticket, AccountID);
}

void COpenPos::RemovePending(int32_t Ticket, int32_t AccountID) {
    const std::string tag = std::to_string(Ticket), account = std::to_string(AccountID);
    for (size_t i = pending_.Count(); i >= 1; --i) {
        const platform::ListItem& row = pending_.Item(i);
        if (row.Tag() == tag && row.SubItems(kPendingAccount) == account) pending_.Remove(i);
    }
}

void COpenPos::closeAllse() {
    struct Close {
        int32_t ticket;
        double lots;
        int32_t account;
    };
    std::vector<Close> closes;
    for (size_t i = 1; i <= list_.Count(); ++i) {
        const platform::ListItem& row = list_.Item(i);
        if (row.Key().rfind("T", 0) != 0 || !row.Checked()) continue;
        closes.push_back({WholeNumber(row.Text()), runtime::Val(row.SubItems(kAmount)),
                          WholeNumber(row.SubItems(kAccount))});
    }
    if (!close_) return;
    for (const Close& c : closes) close_(c.ticket, c.lots, c.account);
}

void COpenPos::SetAllChecked(bool Value) {
    for (size_t i = 1; i <= list_.Count(); ++i) {
        platform::ListItem& row = list_.Item(i);
        if (row.Key().rfind("T", 0) == 0) row.setChecked(Value);
    }
}

platform::ListItem* COpenPos::FindPositionItem(int32_t Ticket, int32_t AccountID) const {
    return list_.Find(PositionRowKey(AccountID, Ticket));
}

}  // namespace OrbanexDesk
