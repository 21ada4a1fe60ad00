#include "clientapi/dataclient/COnlineSessions.h"

#include <utility>

#include "clientapi/dataclient/FieldText.h"
#include "clientapi/dataclient/RequestParams.h"
#include "general/common/Enums.h"
#include "general/model/CAccountsTransactions.h"
#include "general/model/CClient.h"
#include "general/model/CClients.h"
#include "runtime/Error.h"

namespace OrbanexClientAPI10 {

COnlineSessions::COnlineSessions() : list_(std::make_shared<SessionList>()) {}

void COnlineSessions::Clear() {
    list_ = std::make_shared<SessionList>();
}

bool COnlineSessions::AddSession(const std::shared_ptr<COnlineSession>& Session) {
    if (!Session) throw runtime::Error(runtime::errc::ObjectVariableNotSet);
    const std::string key = std::to_string(Session->SID());
    if (!list_->Contains(key)) list_->Add(Session, key);
    return false;
}

std::shared_ptr<COnlineSession> COnlineSessions::Item(const std::string& Key) const {
    return list_->Item(Key);
}

bool COnlineSessions::RemoveSession(const COnlineSession& Session) {
    list_->Remove(std::to_string(Session.SID()));
    return false;
}

void COnlineSessions::RequestOnlineSessionsFromServer(int32_t TreeNodeID) {
    if (!relay_) throw runtime::Error(runtime::errc::ObjectVariableNotSet);
    relay_->RequestFromServer(OrbanelGeneral10::GET_ONLINE_SESSIONS_TOKEN,
                              PaddedRequest({std::to_string(TreeNodeID), "1"}));
}

void COnlineSessions::OneRowResultreceived(int16_t, int16_t, const std::vector<std::string>&) {}

void COnlineSessions::MultiRowsResultsreceived(int16_t, bool NoRows,
                                               const KVClientDLL10::ResultTable& DataArray, int32_t,
                                               int16_t) {
    if (!NoRows) {
        for (size_t row = 1; row <= DataArray.Rows(); ++row) LoadRow(DataArray, row);
    }
    AllSessionsLoaded();
}

void COnlineSessions::LoadRow(const KVClientDLL10::ResultTable& DataArray, size_t row) {
    const std::string& key = DataArray(row, 1);
    if (list_->Contains(key)) return;
    auto session = std::make_shared<COnlineSession>();
    session->setSID(fieldtext::Whole(key));
    session->setLoginTime(DataArray(row, 2));
    session->setUsername(DataArray(row, 3));
    session->setName(DataArray(row, 4));
    session->setIP(DataArray(row, 5));
    session->setUserType(static_cast<UserType>(fieldtext::StrictWhole(DataArray(row, 6))));
    session->setUserID(fieldtext::StrictWhole(DataArray(row, 7)));
    session->setDealerPriv(fieldtext::StrictWhole(DataArray(row, 9)));
    session->setAPILogin(fieldtext::StrictNumber(DataArray(row, 8)) == 1);
    if (session->UserType() == DealerUser && !DealerClientExists(session->DealerPriv())) return;
    AddSession(session);
}

bool COnlineSessions::DealerClientExists(int32_t clientKey) const {
    const std::shared_ptr<IAccountsManager> manager = accountsManager_.lock();
    if (!manager) {
        throw runtime::Error(runtime::errc::ObjectVariableNotSet,
                             "A dealer session needs the accounts manager");
    }
    const std::shared_ptr<OrbanelGeneral10::CAccountsTransactions> engine =
        manager->AccountsTransactions();
    if (!engine || !engine->Clients())
        throw runtime::Error(runtime::errc::ObjectVariableNotSet, "No trading model");
    return engine->Clients()->Item(std::to_string(clientKey)) != nullptr;
}

bool COnlineSessions::HasThisToken(int16_t vToken) {
    return vToken == OrbanelGeneral10::GET_ONLINE_SESSIONS_TOKEN;
}

void COnlineSessions::SetEventManager(
    std::shared_ptr<KVGeneralDLL10::CEventManager> vEventManager) {
    relay_ = std::move(vEventManager);
}

}  // namespace OrbanexClientAPI10
