#pragma once
// The desk's one collection of account sessions: creates them (at most 500), keeps
// them keyed "C1".."Cn" in position order with their accounts-list rows, renumbers
// on removal, fans a market order out to the ticked accounts and answers the
// entry-order pane's visibility and offset questions.
//
// Removing a session (Remove, RClear, Clear, destruction) releases it: its
// handlers go, then its account is logged out. A fan-out sends at most one order
// per account, through the account's first logged-on session in position order;
// a ticked account that no logged-on session serves gets a note and a journal
// line in place of its order.
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "desk/common/DeskServices.h"
#include "desk/sessions/CClientAPIManager.h"
#include "desk/sessions/SummaryDisplay.h"
#include "runtime/Collection.h"

namespace OrbanexDesk {

using ManagerPtr = std::shared_ptr<CClientAPIManager>;

class CClientAPIManagers {
public:
    static constexpr int32_t kMaxSessions = 500;

    explicit CClientAPIManagers(DeskServices& desk);
    ~CClientAPIManagers();
    CClientAPIManagers(const CClientAPIManagers&) = delete;
    CClientAPIManagers& operator=(const CClientAPIManagers&) = delete;

    // What DeskServices uses to create the collection on first use.
    static DeskServices::ManagersFactory Factory();

    // The new session, or nullptr (with "Maximum account number exceeded") at 500.
    ManagerPtr Add(const std::string& ServerIP, int32_t ServerPort, const std::string& Username,
                   const std::string& Password, bool LoginNow, int32_t AccountID,
                   const std::string& Unused = "");
    const runtime::Collection<ManagerPtr>& Children() const { return sessions_; }
    void AddToListView2(int16_t Index, const std::string& Username, int32_t AccountID,
                        bool Connected);
    // nullptr when there is no such key or position.
    ManagerPtr Item(const std::string& key) const { return sessions_.Item(key); }
    ManagerPtr Item(int32_t position) const { return sessions_.Item(position); }
    int32_t Count() const { return sessions_.Count(); }
    // Removes and releases the session under key and renumbers the rest; an unknown
    // or malformed key changes nothing.
    void Remove(const std::string& key);
    // Removes the row and the session under key or position, without renumbering.
    void RClear(const std::string& key);
    void RClear(int32_t position);
    void Clear();
    void ReArrangeList(int16_t Start);
    bool Check_Visibility(const std::string& SymbolName, const std::string& AccountText);
    double Limit_Offset(int32_t SymbolID);
    double Stop_Offset(int32_t SymbolID);
    // Both offsets of the entry-order pane's rows as price distances (-1 when no
    // account counts), in one walk that asks each row's account once whether it
    // sees the symbol: what Limit_Offset and Stop_Offset answer.
    struct EntryOffsets {
        double limit = -1, stop = -1;
    };
    EntryOffsets Offsets(int32_t SymbolID);
    void SellFunction() { FanOut(OrbanelGeneral10::SellType); }
    void BuyFunction() { FanOut(OrbanelGeneral10::BuyType); }
    void NewOrder(const runtime::Variant&, const runtime::Variant&, const runtime::Variant&) {}
    void Result(int32_t ResultCode, int32_t AccountID, const std::string& SessionKey);

    // The result-cell text and whether it is journaled / written, by result code.
    struct ResultText {
        const char* text;
        bool journal;
        bool cell;
    };
    static ResultText ResultTextOf(int32_t code);

    // Where the sessions' summary texts wait for the end of the loop turn.
    SummaryDisplay& Summaries() { return *summaries_; }

private:
    void FanOut(OrbanelGeneral10::OperationTypeEnum side);
    // Journals and notes every ticked row whose account has no logged-on session.
    void NoteNotLoggedOn(platform::ListView& rows);
    // The account's logged-on sessions' first, or nullptr.
    CClientAPIManager* FirstLoggedOn(int32_t account) const;
    void Forget(const ManagerPtr& session);
    void RepickCurrent();

    DeskServices& desk_;
    const DeskPorts& ports_;
    // Shared with the sessions, which may outlive the collection.
    std::shared_ptr<SummaryDisplay> summaries_ = std::make_shared<SummaryDisplay>(desk_);
    runtime::Collection<ManagerPtr> sessions_;
    // Account number to its sessions in position order.
    std::unordered_map<int32_t, std::vector<CClientAPIManager*>> byAccount_;
};

// The first session in position order whose API object is logged on, or nullptr.
ManagerPtr GetFirstLoggedOnManager(DeskServices& desk);
// The session that feeds the shared price views: CurrentManager, replaced by the
// first logged-on session when it is gone or not logged on.
ManagerPtr CurrentManagerForPrices(DeskServices& desk);
// The one session that writes a quote of the symbol into the shared price views:
// the current one when it knows the symbol, else the first logged-on session in
// collection order that does, so no symbol's prices freeze for want of a writer.
ManagerPtr PriceWriterFor(DeskServices& desk, int32_t SymbolID);

}  // namespace OrbanexDesk
