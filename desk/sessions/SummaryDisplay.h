#pragma once
// The desk-wide figures, written once per loop turn: the desk totals' summary
// line, the accounts rows' summary columns and the Net Trade total rows. Every
// quote revalues every account once per symbol and every position, and each
// revaluation reports these figures: at 500 accounts that is thousands of reports
// a tick, of which only the last of each turn is ever seen. The figures themselves
// are kept exact at every report; only their texts wait, and show at the turn's end
// what writing each report would have left (price colours included).
//
// GUI thread only. A pending write holds no session alive; a session that goes
// (or is disconnected) before the turn ends simply drops out of it.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "desk/common/DeskServices.h"

namespace OrbanexDesk {

class CClientAPIManager;

class SummaryDisplay {
public:
    explicit SummaryDisplay(DeskServices& desk) : desk_(desk) {}
    SummaryDisplay(const SummaryDisplay&) = delete;
    SummaryDisplay& operator=(const SummaryDisplay&) = delete;

    // The summary line is to show the totals with these labels (the last asked
    // for in a turn wins).
    void ShowTotals(const char* const* labels);
    // The session's accounts row is to show its summary.
    void RefreshRow(const std::shared_ptr<CClientAPIManager>& session);
    // The session's row is no longer to be refreshed (it was disconnected).
    void ForgetRow(CClientAPIManager* session);
    // The Net Trade total row of (symbol, side) is to show this closing price and
    // its side's profit sum. `symbolName` is asked for only when the total is first
    // reported in a turn (a symbol id has one name desk-wide).
    void NetTotal(int32_t symbolID, int32_t side, const std::string& price,
                  const std::function<std::string()>& symbolName);
    // Writes what is pending now; the posted turn then finds nothing to do.
    void Flush();
    // The desk is going: nothing pending is written, nothing is asked for again
    // (a session may outlive the desk's views).
    void Close();

private:
    struct Total {
        int32_t symbolID, side;
        std::string name, price;
        bool priceChanged = false, red = false;
    };
    void Schedule();
    void WriteTotals();

    DeskServices& desk_;
    std::shared_ptr<bool> life_ = std::make_shared<bool>(true);
    bool posted_ = false;
    bool closed_ = false;
    const char* const* labels_ = nullptr;
    std::vector<std::weak_ptr<CClientAPIManager>> rows_;
    std::vector<Total> totals_;  // a handful: one per quoted symbol and side
};

}  // namespace OrbanexDesk
