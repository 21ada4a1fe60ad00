#pragma once
// The users connected to the server: loaded from the answer to 182, trimmed
// by the session-logged-off push. A request object of the data client's
// session; a handler of AllSessionsLoaded may release it.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "clientapi/dataclient/COnlineSession.h"
#include "clientapi/dataclient/IAccountsManager.h"
#include "connection/IClientServer.h"
#include "runtime/Collection.h"
#include "runtime/Event.h"

namespace OrbanexClientAPI10 {

class COnlineSessions : public KVClientDLL10::IClientServer {
public:
    using SessionList = runtime::Collection<std::shared_ptr<COnlineSession>>;

    COnlineSessions();

    // Replaces the list with a new empty one.
    void Clear();
    // Adds Session under its SID as text; a key already present is refused
    // silently. Always False.
    bool AddSession(const std::shared_ptr<COnlineSession>& Session);
    // The entry under Key, or nothing.
    std::shared_ptr<COnlineSession> Item(const std::string& Key) const;
    // Removes the entry keyed by Session's SID; a missing key is ignored. Always False.
    bool RemoveSession(const COnlineSession& Session);
    const std::shared_ptr<SessionList>& OnlineSessions() const { return list_; }

    // Sends 182 [TreeNodeID, "1"]; runtime::Error(91) before SetEventManager.
    void RequestOnlineSessionsFromServer(int32_t TreeNodeID);
    // Admits dealer rows; loading a dealer row without it raises runtime::Error(91).
    void setAccountsManagerRef(std::weak_ptr<IAccountsManager> value) {
        accountsManager_ = std::move(value);
    }

    // Ignored.
    void OneRowResultreceived(int16_t CallerToken, int16_t Parameters,
                              const std::vector<std::string>& ParamVals) override;
    // Loads the rows not yet listed, then raises AllSessionsLoaded. A row with
    // a non-numeric cell 6 to 9 (runtime::Error(13)) or a dealer row that
    // cannot be checked (91) ends the loading with that error: earlier rows
    // stay, no event.
    void MultiRowsResultsreceived(int16_t CallerToken, bool NoRows,
                                  const KVClientDLL10::ResultTable& DataArray, int32_t Results,
                                  int16_t Parameters) override;
    bool HasThisToken(int16_t vToken) override;
    void SetEventManager(std::shared_ptr<KVGeneralDLL10::CEventManager> vEventManager) override;

    runtime::Event<> AllSessionsLoaded;

private:
    void LoadRow(const KVClientDLL10::ResultTable& DataArray, size_t row);
    bool DealerClientExists(int32_t clientKey) const;

    std::shared_ptr<SessionList> list_;
    std::shared_ptr<KVGeneralDLL10::CEventManager> relay_;
    std::weak_ptr<IAccountsManager> accountsManager_;
};

}  // namespace OrbanexClientAPI10
