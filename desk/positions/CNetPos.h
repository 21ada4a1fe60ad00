#pragma once
// The net positions: per account, symbol and side one row summing its positions'
// lots (lots-weighted average open price, commission, interest, profit), and per
// symbol and side one bold total row over all accounts. Fed with signed shares:
// positive when a position row is written, negated when it goes.
//
// Numbers live as the list's texts: amounts as 15-digit texts (a side that
// empties reads back as exactly 0), money as grouped two-decimal texts read back
// with the grouping stripped. The rows of each (symbol, side) and (symbol, side,
// account) are indexed in row order, so look-ups read only those rows and give
// what walking the whole list gives. Each side's profit sum is kept in cents and
// moved by every change of a row's profit cell, whoever writes it, so
// caluclate_profit costs the same for 5 accounts or 500 and always equals the
// sum of the shown rows. The index and the sums follow the list's change feed,
// so rows removed or cleared by others drop out of both.
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "desk/common/Ports.h"
#include "general/common/CGenerals.h"
#include "general/common/CStringValues.h"
#include "runtime/Event.h"

namespace OrbanexDesk {

class CNetPos : public ICNetPos {
public:
    static constexpr int32_t kTotalAccount = -1;
    static constexpr const char* kTotalAccountText = "Total(All Clients)";

    // `lvwClients` is the accounts window's list, read for the account names.
    CNetPos(platform::ListView& lvwNetPos, platform::ListView& lvwClients);
    ~CNetPos() override;
    CNetPos(const CNetPos&) = delete;
    CNetPos& operator=(const CNetPos&) = delete;

    // Applies the share to the account's row, then to the total row. A side whose
    // amount reaches exactly 0 loses its row; "NH" of both sides is recomputed
    // either way. Symbol none: nothing.
    void PositionAdded(const SymbolPtr& Symbol, int32_t Side, double Lots, double Price,
                       double Commission, double Interest, const runtime::Variant& ProfitLoss,
                       int32_t AccountID) override;
    // Sum of "Profit/Loss" of the per-account rows of that symbol name and side text,
    // as the rows show it (whole cents).
    double caluclate_profit(const std::string& SymbolName, const std::string& SideText) override;
    // Per-account row: its profit + Delta; total row: caluclate_profit of its side.
    void ProfitChanged(const SymbolPtr& Symbol, int32_t Side, double Delta, int32_t AccountID);
    // The row's "Amount", 0 without a row.
    double NetLots(const SymbolPtr& Symbol, int32_t Side, int32_t AccountID);
    // Total row by key; per-account row: the first of that symbol name, side and account.
    platform::ListItem* NetPositionListItem(const SymbolPtr& Symbol, int32_t Side,
                                            int32_t AccountID);
    void Remove(const SymbolPtr& Symbol, int32_t Side, int32_t AccountID);
    // Account & "(" & its accounts-window name & ")".
    std::string getname(int32_t AccountID) const;

    bool Displayed() const { return displayed_; }
    void setDisplayed(bool value) { displayed_ = value; }

private:
    struct Indexed {
        std::string rowKey;            // (name, side, account)
        std::string sideKey;           // (name, side text)
        int64_t profitCents = 0;       // the row's "Profit/Loss" as counted in its side's sum
        int64_t* sideCents = nullptr;  // that sum (a node of sideCents_: a stable address)
    };
    void UpdateRow(const SymbolPtr& symbol, int32_t side, double lots, double price,
                   double commission, double interest, double delta, int32_t account);
    platform::ListItem& CreateRow(const SymbolPtr& symbol, int32_t side, double lots, double price,
                                  double commission, double interest, int32_t account);
    void UpdateNH(const SymbolPtr& symbol, int32_t account);
    std::string SideText(int32_t side) const;
    double Money(const std::string& text) const;
    std::string MoneyText(double value) const;
    void Index(platform::ListItem& row, const std::string& name, int32_t side, int32_t account);
    void OnChange(const platform::ListViewChange& change);
    void ProfitCellChanged(platform::ListItem& row);
    void Unindex(platform::ListItem* row);

    platform::ListView& list_;
    platform::ListView& clients_;
    OrbanelGeneral10::CStringValues values_;
    OrbanelGeneral10::CGenerals generals_;
    bool displayed_ = true;
    std::unordered_map<std::string, std::vector<platform::ListItem*>> byAccount_;
    std::unordered_map<std::string, std::vector<platform::ListItem*>> bySide_;
    Indexed* RecordOf(const platform::ListItem& row);
    // Per indexed row, found through the row's keeper data (slot + 1).
    std::vector<Indexed> records_;
    std::vector<size_t> freeRecords_;
    std::unordered_map<std::string, int64_t> sideCents_;  // by sideKey
    runtime::ScopedConnection feed_;
};

}  // namespace OrbanexDesk
