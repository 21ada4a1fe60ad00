#pragma once
// The public session object's one friend: its inner objects, so that a test
// drives its data client with tests/support/DataClientProbe.h (answers,
// pushes, State) and a benchmark reaches the trading state it measures.
#include "clientapi/dataclient/CDataClient.h"
#include "clientapi/facade/CAccountsManager.h"
#include "clientapi/facade/COrbanexClientAPI.h"
#include "clientapi/facade/CSymbolsManager.h"

namespace testsupport {

class ClientAPIAccess {
public:
    static OrbanexClientAPI10::CDataClient& DataClient(OrbanexClientAPI10::COrbanexClientAPI& api) {
        return *api.m_oClient;
    }
    static OrbanexClientAPI10::CAccountsManager& AccountsManager(
        OrbanexClientAPI10::COrbanexClientAPI& api) {
        return *api.m_oAccountsManager;
    }
    static OrbanexClientAPI10::CSymbolsManager& SymbolsManager(
        OrbanexClientAPI10::COrbanexClientAPI& api) {
        return *api.m_oSymbolsManager;
    }
};

}  // namespace testsupport
