#pragma once
// Books a money transaction (deposit, withdrawal, adjustment, credit in,
// credit out) on a client account once the user's privileges allow it; the
// server's answer to 145 comes back as MoneyTransResultReceived. A request
// object of the data client's session; a handler may release it.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "clientapi/dataclient/CSecurity.h"
#include "connection/IClientServer.h"
#include "general/common/Enums.h"
#include "runtime/Event.h"

namespace OrbanelGeneral10 {
class CAccountsTransactions;
}

namespace OrbanexClientAPI10 {

class CMoneyTrans : public KVClientDLL10::IClientServer {
public:
    // The privileges and the trading model's engine that MakeMoneyTrans asks.
    void SetRefs(std::shared_ptr<CSecurity> Security,
                 std::shared_ptr<OrbanelGeneral10::CAccountsTransactions> Accounts);

    // Checks the account, the amount (a finite number) and the type's
    // privilege, in that order, and sends 145; the result is a
    // CallingResultsEnum value (1 when sent). A type outside the five passes
    // every check. Before SetRefs it raises runtime::Error(91); without a
    // relay (SetEventManager) a request that passed its checks does too.
    // Nothing is sent either way.
    int16_t MakeMoneyTrans(int32_t AccountID, OrbanelGeneral10::AccountTransTypeEnum TransType,
                           double Amount, int32_t WhoID, const std::string& Description);

    // Every answer to 145 reports Done True, whatever it holds.
    void OneRowResultreceived(int16_t CallerToken, int16_t Parameters,
                              const std::vector<std::string>& ParamVals) override;
    // Ignored.
    void MultiRowsResultsreceived(int16_t CallerToken, bool NoRows,
                                  const KVClientDLL10::ResultTable& DataArray, int32_t Results,
                                  int16_t Parameters) override;
    bool HasThisToken(int16_t vToken) override;
    void SetEventManager(std::shared_ptr<KVGeneralDLL10::CEventManager> vEventManager) override;

    runtime::Event<bool /*Done*/> MoneyTransResultReceived;

private:
    bool MayBook(OrbanelGeneral10::AccountTransTypeEnum TransType) const;

    std::shared_ptr<KVGeneralDLL10::CEventManager> relay_;
    std::shared_ptr<CSecurity> security_;
    std::shared_ptr<OrbanelGeneral10::CAccountsTransactions> accounts_;
};

}  // namespace OrbanexClientAPI10
