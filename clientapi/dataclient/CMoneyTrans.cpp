#include "clientapi/dataclient/CMoneyTrans.h"

#include <cmath>
#include <utility>

#include "clientapi/dataclient/RequestParams.h"
#include "general/model/CAccount.h"
#include "general/model/CAccountsTransactions.h"
#include "runtime/Convert.h"
#include "runtime/Error.h"

namespace OrbanexClientAPI10 {

void CMoneyTrans::SetRefs(std::shared_ptr<CSecurity> Security,
                          std::shared_ptr<OrbanelGeneral10::CAccountsTransactions> Accounts) {
    security_ = std::move(Security);
    accounts_ = std::move(Accounts);
}

int16_t CMoneyTrans::MakeMoneyTrans(int32_t AccountID,
                                    OrbanelGeneral10::AccountTransTypeEnum TransType, double Amount,
                                    int32_t WhoID, const std::string& Description) {
    if (!security_ || !accounts_) throw runtime::Error(runtime::errc::ObjectVariableNotSet);
    const auto account = accounts_->AccountByAccountID(AccountID);
    if (!account) return InvalidAccountResult;
    // No amount that is not a number is booked. An adjustment may carry a zero
    // or negative amount; every other type needs a positive one.
    if (!std::isfinite(Amount)) return InvalidAmountResult;
    if (!(Amount > 0) && TransType != OrbanelGeneral10::AdjustmentAccTrans)
        return InvalidAmountResult;
    if (!MayBook(TransType)) return NoPrivilegeResult;
    if (!relay_) throw runtime::Error(runtime::errc::ObjectVariableNotSet);
    relay_->RequestFromServer(
        OrbanelGeneral10::ACCOUNT_TRANS_TOKEN,
        PaddedRequest({std::to_string(account->ClientID()), std::to_string(AccountID),
                       runtime::NumberToText(Amount), "",
                       std::to_string(static_cast<int32_t>(TransType)), std::to_string(WhoID),
                       Description}));
    return SuccessResult;
}

bool CMoneyTrans::MayBook(OrbanelGeneral10::AccountTransTypeEnum TransType) const {
    switch (TransType) {
        case OrbanelGeneral10::DepositAccTrans:
            return security_->UserHasPriv(DepositPriv);
        case OrbanelGeneral10::WithdrawalAccTrans:
            return security_->UserHasPriv(WithdrawalPriv);
        case OrbanelGeneral10::AdjustmentAccTrans:
            return security_->UserHasPriv(AdjustmentPriv);
        case OrbanelGeneral10::CreditInAccTrans:
            return security_->UserHasPriv(CreditInPriv);
        case OrbanelGeneral10::CreditOutAccTrans:
            return security_->UserHasPriv(CreditOutPriv);
    }
    return true;
}

void CMoneyTrans::OneRowResultreceived(int16_t, int16_t, const std::vector<std::string>&) {
    MoneyTransResultReceived(true);
}

void CMoneyTrans::MultiRowsResultsreceived(int16_t, bool, const KVClientDLL10::ResultTable&,
                                           int32_t, int16_t) {}

bool CMoneyTrans::HasThisToken(int16_t vToken) {
    return vToken == OrbanelGeneral10::ACCOUNT_TRANS_TOKEN;
}

void CMoneyTrans::SetEventManager(std::shared_ptr<KVGeneralDLL10::CEventManager> vEventManager) {
    relay_ = std::move(vEventManager);
}

}  // namespace OrbanexClientAPI10
