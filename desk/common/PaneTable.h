#pragma once
// The shell's nine panes: their ids, titles and first-start places (their
// window commands are the Displayed table's).
#include <array>
#include <cstdint>

namespace OrbanexDesk {

struct PaneRow {
    int32_t id;
    const char* title;
    int32_t width, height;
    int32_t side;       // 0 left, 1 right, 3 bottom
    int32_t neighbour;  // 0: none
    int32_t tabWith;    // 0: none
};

constexpr int32_t kPaneMarketWatch = 100000;
constexpr int32_t kPaneNewEntryOrder = 100001;
constexpr int32_t kPaneNewPosition = 100002;
constexpr int32_t kPaneAccountsList = 100004;
constexpr int32_t kPaneTrade = 100005;
constexpr int32_t kPaneNetTrade = 100037;
constexpr int32_t kPaneJournal = 100038;
constexpr int32_t kPanePendingOrder = 100044;
constexpr int32_t kPaneClosePosition = 100048;

constexpr int32_t kCmdShowAll = 100076;
constexpr int32_t kBarView = 100015;

// In creation order.
inline constexpr std::array<PaneRow, 9> kPaneTable{{
    {kPaneMarketWatch, "Market Watch", 200, 120, 1, 0, 0},
    {kPaneNewPosition, "New Position", 200, 120, 0, 0, 0},
    {kPaneNewEntryOrder, "New Entry Order", 200, 120, 0, 0, kPaneNewPosition},
    {kPaneClosePosition, "Close Postion", 200, 120, 0, 0, kPaneNewEntryOrder},
    {kPaneAccountsList, "Accounts List", 200, 120, 3, 0, 0},
    {kPaneTrade, "Trade", 400, 200, 3, 0, 0},
    {kPaneNetTrade, "Net Trade", 200, 120, 1, kPaneNewPosition, kPaneTrade},
    {kPaneJournal, "Journal", 200, 120, 1, kPaneNewPosition, kPaneNetTrade},
    {kPanePendingOrder, "Pending Order", 200, 120, 3, 0, kPaneJournal},
}};

// nullptr for an id outside the table.
constexpr const PaneRow* FindPaneRow(int32_t paneId) {
    for (const PaneRow& row : kPaneTable)
        if (row.id == paneId) return &row;
    return nullptr;
}

}  // namespace OrbanexDesk
