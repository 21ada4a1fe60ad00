#pragma once
// The pending and requested orders of every account in one list: entry orders,
// stop-loss/take-profit orders and market requests waiting for the dealer, one row
// per account and order or request id (PendingRowKey). A stop-loss/take-profit row
// carries its position's ticket as tag and keeps the "S/L" and "T/P" cells of its
// account's row of that ticket in the open-positions list in step. Written by the account sessions;
// the form adds widgets, the double click and the popup. GUI thread only.
#include <cstdint>
#include <string>

#include "desk/common/DeskState.h"
#include "desk/common/Ports.h"
#include "general/common/CGenerals.h"

namespace OrbanexDesk {

class CPendingOrds {
public:
    CPendingOrds(platform::ListView& lvwPending, platform::ListView& lvwOpenPos,
                 const DeskState& state);

    // Adds or rewrites the order's row and copies the S/L and T/P of every managed
    // order to its position. A zero price is shown empty. Raises what the time
    // parser raises, before anything changes.
    void AddOrder(const OrderPtr& Order, int32_t AccountID);
    // Adds the row of a market request: Code "CP" a close of CloseTicket, "LO" a
    // limit or stop wording, else a market side. Empty or Null prices show empty.
    void Add(const runtime::Variant& ID, int32_t AccountID, const std::string& Code,
             OrbanelGeneral10::OperationTypeEnum BuySell, double Lots, const SymbolPtr& Symbol,
             const runtime::Variant& Price, const runtime::Variant& SL, const runtime::Variant& TP,
             const std::string& OrderTime, const runtime::Variant& CloseTicket);
    // Removes the account's row of ID and empties its position's S/L and T/P.
    // Unknown: nothing.
    void Removeorder(int32_t ID, int32_t AccountID);
    // Removes the account's row of ID, leaving the position's S/L and T/P.
    void Remove(int32_t ID, int32_t AccountID);
    void removeClientinfo(int32_t AccountID);
    // Each managed order's "Account" = its position's. Rows are found by account,
    // so this never changes a row now; the sessions still call it after a load.
    void Updateaccount();
    void UpdateSlTp();
    void MarketOrderAccepted(int32_t ID, int32_t AccountID) { Remove(ID, AccountID); }
    void MarketOrderRejected(int32_t ID, int32_t AccountID) { Remove(ID, AccountID); }

    // The type text of an order row, by order type and side (" " when unknown).
    static std::string OrderTypeText(OrbanelGeneral10::OrdersTypeEnum OrderType,
                                     OrbanelGeneral10::OperationTypeEnum Side);

    bool Displayed() const { return displayed_; }
    void setDisplayed(bool value) { displayed_ = value; }

private:
    platform::ListItem& FreshRow(const std::string& key, const std::string& text);

    platform::ListView& list_;
    platform::ListView& open_;
    const DeskState& state_;
    OrbanelGeneral10::CGenerals generals_;
    bool displayed_ = true;
};

}  // namespace OrbanexDesk
