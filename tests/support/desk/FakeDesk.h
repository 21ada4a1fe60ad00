#pragma once
// Every desk port over real stores, for the session tests: each call is logged in
// order ("journal|1001|text", "sound|Connect.wav|played") and has the side effects
// the sessions rely on (rows made and removed, sounds gated by SoundAllowed).
// MnuDisconnecte_Click runs `DisconnectSelected` with the selected row's key, so a
// test wires it to the session collection (it may re-enter the sessions).
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "desk/common/DeskServices.h"

namespace testsupport {

class FakeDesk {
public:
    explicit FakeDesk(OrbanexDesk::DeskServices::ManagersFactory factory = {});
    ~FakeDesk();

    OrbanexDesk::DeskServices& Services() { return *services_; }
    OrbanexDesk::DeskState& State() { return services_->State(); }
    const OrbanexDesk::DeskPorts& Ports() const { return services_->Ports(); }

    // The calls so far, in order; Take() also forgets them.
    const std::vector<std::string>& Log() const { return log_; }
    std::vector<std::string> Take();
    // The logged lines that start with `prefix`.
    std::vector<std::string> Lines(const std::string& prefix) const;
    void Record(std::string line) { log_.push_back(std::move(line)); }

    std::function<void(const std::string& key)> DisconnectSelected;
    // Run by refreshsummery_Click, when set (the accounts window's own work).
    std::function<void(const std::string& key)> RefreshSummary;

    // Plain values the doubles keep.
    bool soundAllowed = true;
    std::string loadedFileName;
    bool accountEnabled = false;
    bool orderEnabled = true;
    bool orderControlsEnabled = true;
    std::string orderAmount;
    bool submitEnabled = true;
    bool limitDisEnabled = true;
    bool chkAll = false;
    std::string summaries;
    std::vector<std::string> statusPanes = std::vector<std::string>(3);  // 100024..100026
    // The market-order pane's buttons and check box, as the distribution leaves them.
    struct OrderButton {
        bool enabled = true;
        bool visible = true;
    };
    OrderButton cmddis, cmdbuy{true, false}, cmdsell{true, false};
    bool chkAllClients = false;
    // The entry-order pane's edit fields, as set last.
    struct EntryFields {
        std::string paneMode, positionSide, editAmount, positionRow;
        bool editing = false;
        int32_t editID = 0;
    } entry;

    struct Stores;
    Stores& stores() { return *stores_; }

private:
    struct Doubles;
    std::vector<std::string> log_;
    std::unique_ptr<Stores> stores_;
    std::unique_ptr<Doubles> doubles_;
    std::unique_ptr<OrbanexDesk::DeskServices> services_;
};

struct FakeDesk::Stores {
    platform::ListView lvwClients, orderClients, limitClients, lvmw, lvwNetPos, lvwOpenPos,
        lvwPending;
    platform::ComboBox cbsymbols, cblimitordersymbols, CloseSymbols;
    platform::ComboBox CBdis;
    runtime::Collection<int32_t> pendingCloses;
    std::vector<int32_t> closeAccounts;
    // "<symbol name>|<Buy or Sell>" to the keys of that symbol's and side's
    // per-account net rows, so a profit sum reads only those rows.
    std::map<std::string, std::vector<std::string>> netAccountRows;
};

}  // namespace testsupport
