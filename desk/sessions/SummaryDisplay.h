#pragma once
// The desk totals' summary line and the accounts rows' summary columns, written
// once per loop turn. Every quote revalues every account once per symbol, and each
// revaluation reports the account's figures: at 500 accounts that is thousands of
// reports a tick, of which only the last of each turn is ever seen. The totals
// themselves are kept exact at every report by the sessions; only their texts wait.
//
// GUI thread only. A pending write holds no session alive; a session that goes
// (or is disconnected) before the turn ends simply drops out of it.
#include <memory>
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
    // Writes what is pending now; the posted turn then finds nothing to do.
    void Flush();

private:
    void Schedule();

    DeskServices& desk_;
    std::shared_ptr<bool> life_ = std::make_shared<bool>(true);
    bool posted_ = false;
    const char* const* labels_ = nullptr;
    std::vector<std::weak_ptr<CClientAPIManager>> rows_;
};

}  // namespace OrbanexDesk
