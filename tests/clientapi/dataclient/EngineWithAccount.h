#pragma once
// A trading-model engine holding one client and one account of it.
#include <cstdint>
#include <memory>

#include "general/common/Enums.h"
#include "general/model/CAccountsTransactions.h"
#include "runtime/Error.h"
#include "runtime/Variant.h"

namespace testsupport {

inline void AddModelClient(OrbanelGeneral10::CAccountsTransactions& engine, int32_t client) {
    OrbanelGeneral10::CAccountsTransactions::NewClientArgs c;
    c.cl_no = runtime::Variant(client);
    c.theSpread = runtime::Variant("");
    c.ParentID = runtime::Null;
    c.vClientType = OrbanelGeneral10::CLIENT_TYPE;
    if (!engine.AddNewClient(c)) throw runtime::Error(runtime::errc::ObjectVariableNotSet);
}

inline std::shared_ptr<OrbanelGeneral10::CAccountsTransactions> EngineWithAccount(int32_t client,
                                                                                  int32_t account) {
    auto engine = std::make_shared<OrbanelGeneral10::CAccountsTransactions>();
    AddModelClient(*engine, client);
    OrbanelGeneral10::CAccountsTransactions::NewAccountArgs a;
    a.cl_no = runtime::Variant(client);
    a.acc_no = runtime::Variant(account);
    a.accType = runtime::Variant(int32_t{OrbanelGeneral10::NormalAccountType});
    a.demoAcc = runtime::Variant(int32_t{0});
    a.Loading = true;
    if (!engine->AddNewAccount(a)) throw runtime::Error(runtime::errc::ObjectVariableNotSet);
    return engine;
}

}  // namespace testsupport
