#include "desk/positions/CPendingOrds.h"

#include <array>

#include "desk/common/MGeneral.h"
#include "runtime/Convert.h"

namespace OrbanexDesk {

namespace {
using OrbanelGeneral10::OperationTypeEnum;
using OrbanelGeneral10::OrdersTypeEnum;

// Sub-items of the pending list.
constexpr size_t kAccount = 1, kType = 2, kAmount = 3, kSymbol = 4, kPrice = 5, kSL = 6, kTP = 7,
                 kTime = 8;
// Sub-items of the open-positions list.
constexpr size_t kOpenAccount = 1, kOpenSL = 8, kOpenTP = 9;
constexpr int32_t kEntryOrder = 2, kSLTPOrder = 3;

// The Trade row of a stop-loss/take-profit row's position: same account, ticket in the tag.
std::string PositionKeyOf(const platform::ListItem& row) {
    return PositionRowKey(row.SubItems(kAccount), row.Tag());
}
bool IsManaged(const std::string& type) {
    return type == "Buy(Manage)" || type == "Sell(Manage)";
}
bool IsBlank(const runtime::Variant& v) {
    return v.IsNull() || v.IsEmpty() || (v.IsString() && v.ToString().empty());
}
}  // namespace

CPendingOrds::CPendingOrds(platform::ListView& lvwPending, platform::ListView& lvwOpenPos,
                           const DeskState& state)
    : list_(lvwPending), open_(lvwOpenPos), state_(state) {}

std::string CPendingOrds::OrderTypeText(OrdersTypeEnum OrderType, OperationTypeEnum Side) {
    const int32_t type = OrderType, side = Side;
    if (type == kEntryOrder) {
        if (side == 1) return "Buy limit";
        if (side == -1) return "Sell limit";
        if (side == 2) return "Buy stop";
        if (side == -2) return "Sell stop";
        return "Limit Orders";
    }
    if (type == kSLTPOrder) {
        if (side == 1) return "Buy(Manage)";
        if (side == -1) return "Sell(Manage)";
        return "SLTP ";
    }
    return " ";
}

void CPendingOrds::AddOrder(const OrderPtr& Order, int32_t AccountID) {
    if (!Order) return;
    auto price = [&Order](double value) {
        return value == 0 ? std::string() : Order->FormatPrice(runtime::Variant(value));
    };
    const std::string type = OrderTypeText(Order->OrderType(), Order->BuySell());
    std::array<std::string, kTime + 1> cells;
    cells[kAccount] = std::to_string(AccountID);
    cells[kType] = type;
    cells[kAmount] = runtime::NumberToText(Order->Lots());
    cells[kSymbol] = Order->SymbolName();
    cells[kPrice] = price(Order->LimitPrice());
    cells[kSL] = price(Order->SL());
    cells[kTP] = price(Order->TP());
    cells[kTime] = FormatDateTimeText(state_, Order->OrderTime());

    const int32_t id = Order->OrderID();
    Removeorder(id, AccountID);
    platform::ListItem& row = FreshRow(PendingRowKey(AccountID, id), std::to_string(id));
    for (size_t i = kAccount; i <= kTime; ++i) row.setSubItems(i, cells[i]);
    if (IsManaged(type)) row.setTag(std::to_string(Order->OrderTicket()));
    UpdateSlTp();
}

void CPendingOrds::Add(const runtime::Variant& ID, int32_t AccountID, const std::string& Code,
                       OperationTypeEnum BuySell, double Lots, const SymbolPtr& Symbol,
                       const runtime::Variant& Price, const runtime::Variant& SL,
                       const runtime::Variant& TP, const std::string& OrderTime,
                       const runtime::Variant& CloseTicket) {
    auto price = [&Symbol](const runtime::Variant& value) {
        if (!Symbol || IsBlank(value) || !runtime::IsNumeric(value)) return std::string();
        return Symbol->FormatPrice(runtime::Variant(runtime::CDbl(value)));
    };
    std::array<std::string, kTime + 1> cells;
    cells[kAccount] = std::to_string(AccountID);
    if (Code == "CP")
        cells[kType] = std::string(BuySell == OrbanelGeneral10::BuyType ? "Buy" : "Sell") +
                       "(Close " + runtime::CStr(CloseTicket) + ")";
    else
        cells[kType] = generals_.BuySellDesc(BuySell, Code == "LO");
    cells[kAmount] = runtime::NumberToText(Lots);
    cells[kSymbol] = Symbol ? Symbol->Name() : std::string();
    cells[kPrice] = price(Price);
    cells[kSL] = price(SL);
    cells[kTP] = price(TP);
    cells[kTime] = FormatDateTimeText(state_, OrderTime);

    const std::string id = runtime::CStr(ID);
    platform::ListItem& row = FreshRow(PendingRowKey(AccountID, id), id);
    for (size_t i = kAccount; i <= kTime; ++i) row.setSubItems(i, cells[i]);
}

void CPendingOrds::Removeorder(int32_t ID, int32_t AccountID) {
    platform::ListItem* row = list_.Find(PendingRowKey(AccountID, ID));
    if (!row) return;
    if (!row->Tag().empty())
        if (platform::ListItem* position = open_.Find(PositionKeyOf(*row))) {
            position->setSubItems(kOpenSL, "");
            position->setSubItems(kOpenTP, "");
        }
    list_.Remove(row->Index());
}

void CPendingOrds::Remove(int32_t ID, int32_t AccountID) {
    const std::string key = PendingRowKey(AccountID, ID);
    if (list_.Find(key)) list_.Remove(key);
}

void CPendingOrds::removeClientinfo(int32_t AccountID) {
    for (size_t i = list_.Count(); i >= 1; --i)
        if (runtime::Val(list_.Item(i).SubItems(kAccount)) == AccountID) list_.Remove(i);
}

void CPendingOrds::Updateaccount() {
    for (size_t i = 1; i <= list_.Count(); ++i) {
        platform::ListItem& row = list_.Item(i);
        if (row.Tag().empty()) continue;
        const platform::ListItem* position = open_.Find(PositionKeyOf(row));
        if (position && position->SubItems(kOpenAccount) != row.SubItems(kAccount))
            row.setSubItems(kAccount, position->SubItems(kOpenAccount));
    }
}

void CPendingOrds::UpdateSlTp() {
    for (size_t i = 1; i <= list_.Count(); ++i) {
        const platform::ListItem& row = list_.Item(i);
        if (!IsManaged(row.SubItems(kType))) continue;
        if (platform::ListItem* position = open_.Find(PositionKeyOf(row))) {
            position->setSubItems(kOpenSL, row.SubItems(kSL));
            position->setSubItems(kOpenTP, row.SubItems(kTP));
        }
    }
}

// A row under the key that another id's text left behind goes first.
platform::ListItem& CPendingOrds::FreshRow(const std::string& key, const std::string& text) {
    if (list_.Find(key)) list_.Remove(key);
    return list_.Add(key, text);
}

}  // namespace OrbanexDesk
