#pragma once
// The desk-wide values that the sessions, the accounts window and the panes share.
// One instance lives in DeskServices; everything runs on the GUI thread.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "clientapi/facade/COSymbol.h"
#include "general/common/CStringValues.h"
#include "runtime/Collection.h"

namespace OrbanexDesk {

class CClientAPIManager;

using SymbolCollection = runtime::Collection<std::shared_ptr<OrbanexClientAPI10::COSymbol>>;

// Positions of the seven summary totals.
enum SummaryIndex : size_t {
    kBalance,
    kFltPL,
    kCredit,
    kEquity,
    kMarginReq,
    kMarginLevel,
    kEffMargin,
    kSummaryCount
};

// Any client offset above this counts as "not taken yet".
constexpr double kLargestRealGMTOffset = 12;

struct DeskState {
    // Keyed by the symbol id's decimal text; none until the first symbol list arrives.
    std::shared_ptr<SymbolCollection> DeskSymbols;
    // Never owns: a released session is gone for the desk at once.
    std::weak_ptr<CClientAPIManager> CurrentManager;
    std::string AccountsFilePath;
    std::string AmountDecimals;
    double ClientGMTOffset = 0;
    double ServerGMTOffset = 0;
    // The last server time that arrived before the offsets were taken: shown
    // without them it would read days off, so it waits for them.
    std::string EarlyServerTime;
    std::array<double, kSummaryCount> SummaryTotals{};
    // Counts the resets of SummaryTotals: a session's share counted before the
    // last reset is no longer in them and must not be taken out again.
    uint64_t SummaryResets = 0;
    int32_t CancelOrderAccount = 0;
    int32_t CancelOrderID = 0;
    std::shared_ptr<OrbanelGeneral10::CStringValues> StringValues =
        std::make_shared<OrbanelGeneral10::CStringValues>();

    bool GMTOffsetsTaken() const { return ClientGMTOffset <= kLargestRealGMTOffset; }
};

}  // namespace OrbanexDesk
