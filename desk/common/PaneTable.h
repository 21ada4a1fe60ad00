#pragma once
// The shell's nine panes: their ids, titles, first-start places and the window
// command whose check mirrors each; and the shell's bar, command and status pane
// ids that the desk's other parts name. Qt-free, so that every view's Displayed
// and the shell read one table.
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
    int32_t command;    // its window command
    bool tradePanel;    // one of the five behind "&Trade Panel"
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
constexpr int32_t kCmdAddAccount = 100029;
constexpr int32_t kBarView = 100015;

// The context bars the lists open.
constexpr int32_t kBarAccountsPopup = 100017;
constexpr int32_t kBarTradePopup = 100030;
constexpr int32_t kBarJournalPopup = 100045;
constexpr int32_t kBarPendingPopup = 100058;

// The status panes the desk writes: server time, progress, connection.
constexpr int32_t kStatusServerTime = 100024;
constexpr int32_t kStatusProgress = 100025;
constexpr int32_t kStatusConnection = 100026;

// In creation order.
inline constexpr std::array<PaneRow, 9> kPaneTable{{
    {kPaneMarketWatch, "Market Watch", 200, 120, 1, 0, 0, 100063, false},
    {kPaneNewPosition, "New Position", 200, 120, 0, 0, 0, 100013, false},
    {kPaneNewEntryOrder, "New Entry Order", 200, 120, 0, 0, kPaneNewPosition, 100036, false},
    {kPaneClosePosition, "Close Postion", 200, 120, 0, 0, kPaneNewEntryOrder, 100054, false},
    {kPaneAccountsList, "Accounts List", 200, 120, 3, 0, 0, 100011, true},
    {kPaneTrade, "Trade", 400, 200, 3, 0, 0, 100043, true},
    {kPaneNetTrade, "Net Trade", 200, 120, 1, kPaneNewPosition, kPaneTrade, 100061, true},
    {kPaneJournal, "Journal", 200, 120, 1, kPaneNewPosition, kPaneNetTrade, 100042, true},
    {kPanePendingOrder, "Pending Order", 200, 120, 3, 0, kPaneJournal, 100062, true},
}};

// nullptr for an id outside the table.
constexpr const PaneRow* FindPaneRow(int32_t paneId) {
    for (const PaneRow& row : kPaneTable)
        if (row.id == paneId) return &row;
    return nullptr;
}

}  // namespace OrbanexDesk
