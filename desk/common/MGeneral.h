#pragma once
// The desk module procedures that need no window: server-time texts, look-ups in
// the shared symbol collection and the market watch, and the order panes' and
// the net view's row keys.
// Look-ups that find nothing return nothing and report nothing.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "desk/common/DeskState.h"
#include "desk/common/Ports.h"

namespace OrbanexDesk {

// "dd/mm/yyyy hh:nn:ss" server time shifted to the desk's offsets, as
// "yyyy-mm-dd hh:nn:ss" and "hh:nn". Raises what the date parser raises.
std::string FormatDateTimeText(const DeskState& state, const std::string& ServerTime);
std::string FormatTimeText(const DeskState& state, const std::string& ServerTime);

// The shared collection's symbol under Key (the id's decimal text), or nullptr.
SymbolPtr GetSymbolItem(const DeskState& state, const std::string& Key);
// The first shared symbol whose Name equals Name exactly, or nullptr.
SymbolPtr GetCollectionItem(const DeskState& state, const std::string& Name);

// The market-watch row "S" & id.
std::string MarketWatchKey(int32_t SymbolID);
platform::ListItem* GetMarketWatchItem(IfrmMW& frmMW, const SymbolPtr& Symbol);
bool IsSymbolInMarketWatch(IfrmMW& frmMW, int32_t SymbolID);

// An order pane's account row "C" & account; keyed by account because session
// numbers shift when a session is removed.
std::string OrderPaneRowKey(int32_t Account);

// A Trade row "T<account>|<ticket>" and a pending or request row
// "P<account>|<order>": accounts on different servers hold equal tickets and order
// numbers. The text forms take the decimal texts the rows themselves show.
std::string PositionRowKey(int32_t Account, int32_t Ticket);
// The same key written into `buffer`, for the look-ups of every quote.
constexpr size_t kPositionRowKeyChars = 24;  // "T", two signed 32-bit numbers, "|"
std::string_view PositionRowKey(int32_t Account, int32_t Ticket,
                                char (&buffer)[kPositionRowKeyChars]);
std::string PositionRowKey(std::string_view Account, std::string_view Ticket);
std::string PendingRowKey(int32_t Account, int32_t OrderID);
std::string PendingRowKey(int32_t Account, std::string_view OrderID);

// The net view's row keys: "To<id>|<side>|<account>" per account, "To<id>|<side>"
// for the total. The separators keep (5, 1, 11001) and (51, 1, 1001) apart.
std::string NetRowKey(int32_t SymbolID, int32_t Side, std::optional<int32_t> Account = {});

// A money cell's figure in whole cents, halves away from zero: "," grouping and
// blanks dropped, "." decimal, the leading number read; no number reads 0. Sums
// of shown figures are kept in cents so a total always equals its shown rows.
int64_t MoneyCents(std::string_view text);
// The plain decimal text of a figure in cents, as runtime::NumberToText writes
// cents / 100 ("123.4", "-0.05", "7"), without going through a double.
std::string CentsText(int64_t cents);

}  // namespace OrbanexDesk
