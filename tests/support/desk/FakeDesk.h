#pragma once
// Every desk port over real stores, for the session tests: each call is logged in
// order ("journal|1001|text", "sound|Connect.wav|played") and has the side effects
// the sessions rely on (rows made and removed, sounds gated by SoundAllowed).
// MnuDisconnecte_Click runs `DisconnectSelected` with the selected row's key, so a
// test wires it to the session collection (it may re-enter the sessions).
#include <functional>
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
    runtime::Collection<int32_t> pendingCloses;
    std::vector<int32_t> closeAccounts;
};

}  // namespace testsupport
