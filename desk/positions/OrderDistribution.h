#pragma once
// The distribution run over an order pane's account list: each checked row's
// visibility and summary figures read from the sessions, CDistribution applied,
// and its checks, notes, amounts, message and (market pane) buttons written back.
// Checks written here are code writes: the pane must not treat them as the
// dealer's ticks.
#include <cstdint>
#include <functional>
#include <string>

#include "desk/common/DeskServices.h"
#include "desk/positions/CDistribution.h"

namespace OrbanexDesk {

// The key of the last accounts-window row whose account column reads as Account;
// "" when none.
std::string FindClientKey(platform::ListView& lvwClients, int32_t Account);

using UpdateAmountFn =
    std::function<void(int32_t Account, double Amount, const std::string& RowKey)>;

// Distributes `total` over `list` (rows keyed per account, text = the account
// number, "Result" in sub-item 2, "Amount" in sub-item 1). Nothing when Symbol is
// none.
void DistributeOver(DeskServices& desk, platform::ListView& list, double total, int16_t rule,
                    const SymbolPtr& Symbol, CDistribution::Pane pane,
                    const UpdateAmountFn& updateAmount);

// The order panes' check-all: checked, every row whose account's equity is above 0
// is checked and every other row gets "No Balance" and keeps its check (an account
// without a session reads as equity 0); unchecked, every row is unchecked and its
// "Result" emptied.
void CheckAllClients(DeskServices& desk, platform::ListView& list, bool checked);

// The accounts window's Distribute for the market-order pane.
void Distribute(DeskServices& desk, double total, int16_t rule, const SymbolPtr& Symbol);

}  // namespace OrbanexDesk
