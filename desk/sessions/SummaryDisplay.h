#pragma once
// The desk-wide figures, written once per loop turn: the desk totals' summary
// line, the accounts rows' summary columns and the Net Trade total rows. Every
// quote revalues every account once per symbol and every position, and each
// revaluation reports these figures: at 500 accounts that is thousands of reports
// a tick, of which only the last of each turn is ever seen. The figures themselves
// are kept exact at every report; only their texts wait, and show at the turn's end
// what writing each report would have left (price colours included).
//
// The line's margin level is no sum of the accounts' levels but their mean
// weighted by each account's absolute margin (the plain mean while next to no
// margin is used, 0 with no account counted); each session's share of it is
// kept here and replaced or taken out in O(1), as the desk totals are.
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

    // One session's part in the shown margin level: its last reported level
    // (x 100) and absolute margin while counted, and the views' resets then.
    struct LevelShare {
        double level = 0, margin = 0;
        bool counted = false;
        uint64_t resets = 0;
    };
    // Below this margin sum the levels are not weighted: their plain mean is shown.
    static constexpr double kMinWeighingMargin = 0.005;

    // The session's share of the margin level is now this report's.
    void CountLevel(LevelShare& share, double level, double margin);
    // Takes the session's share out and empties it; whether there was one to take
    // (a share counted before the views' last reset went with the reset).
    bool UncountLevel(LevelShare& share);
    // The margin level the summary line shows (a percentage).
    double MarginLevel();

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
    // Empties the counted levels when the views were reset since they were counted.
    void ForgetLevelsOfEarlierReset();

    DeskServices& desk_;
    std::shared_ptr<bool> life_ = std::make_shared<bool>(true);
    bool posted_ = false;
    bool closed_ = false;
    const char* const* labels_ = nullptr;
    std::vector<std::weak_ptr<CClientAPIManager>> rows_;
    std::vector<Total> totals_;  // a handful: one per quoted symbol and side
    // Sums over the counted shares: level x margin, margin, level; their count.
    double weightedLevels_ = 0, margins_ = 0, levels_ = 0;
    size_t counted_ = 0;
    uint64_t resets_ = 0;  // the desk's SummaryResets the sums belong to
};

}  // namespace OrbanexDesk
