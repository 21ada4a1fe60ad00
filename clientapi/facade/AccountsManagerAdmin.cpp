// The accounts manager's administration commands (client parameters, new
// clients, offices, groups and accounts, text messages, reports, account
// figures and history) and the creation answers.
#include <optional>
#include <string>

#include "clientapi/dataclient/CClientServer.h"
#include "clientapi/dataclient/CManagerReports.h"
#include "clientapi/facade/CAccountsManager.h"
#include "general/model/CAccount.h"
#include "general/model/CAccountsTransactions.h"
#include "general/model/CClient.h"
#include "general/model/CClients.h"
#include "general/model/CSummaries.h"
#include "general/model/MModelItems.h"
#include "runtime/Convert.h"

namespace OrbanexClientAPI10 {

namespace {

using OrbanelGeneral10::CAccount;
using OrbanelGeneral10::CClient;
using OrbanelGeneral10::ParamTypeEnum;
using OrbanelGeneral10::modelitems::Follow;

constexpr int32_t kNoID = -1;  // what a creation answer holds when it failed

bool IsClientWideSetting(ParamTypeEnum type) {
    return type >= OrbanelGeneral10::EnableAFXNewsType && type <= OrbanelGeneral10::PrivateNewsType;
}

// The privilege a parameter change needs; 0 for none.
PrivsEnum PrivilegeOf(ParamTypeEnum type) {
    namespace G = OrbanelGeneral10;
    switch (type) {
        case G::SpreadType:
            return ParametersSpreadPriv;
        case G::LimitOffsetType:
        case G::StopOffsetType:
            return ParametersOffsetsPriv;
        case G::InitialMarginReqType:
        case G::MaintenanceMarginReqType:
            return ParametersMReqPriv;
        case G::VisibleType:
            return ParametersVisiblePriv;
        case G::CommissionType:
            return ParametersCommPriv;
        case G::MaxLotsType:
        case G::MinLotsType:
            return ParametersMaxMinLotsPriv;
        case G::AutoBrokerIfLessType:
            return ParametersAutoPriv;
        default:
            return IsClientWideSetting(type) ? ParametersGeneralPriv : static_cast<PrivsEnum>(0);
    }
}

}  // namespace

// ---- Client parameters ----

bool CAccountsManager::ChangeParam(const std::string& NodeUsername, ParamTypeEnum ParamType,
                                   bool InheritValue, const std::string& newValue,
                                   std::string& SymbolIDs) {
    pendingNode_ = ClientByUsername(NodeUsername);
    if (!pendingNode_) return false;
    if (IsClientWideSetting(ParamType)) {
        SymbolIDs = "-1";
    } else {
        const std::optional<double> symbols = runtime::ParseNumber(SymbolIDs);
        if (!symbols || *symbols < 0) return false;
    }
    const PrivsEnum privilege = PrivilegeOf(ParamType);
    if (privilege != 0 && !HasPriv(privilege)) return false;
    Requests().ChangeParam(pendingNode_->ClientID(), ParamType, InheritValue, newValue, SymbolIDs);
    return true;
}

void CAccountsManager::ChangeParamResultRecieved(const std::string& NewVal) {
    ChangeParamResult(NewVal);
}

// ---- New clients, offices and groups ----

CreateClientResultEnum CAccountsManager::CheckNewNode(const std::string& ParentUsername,
                                                      PrivsEnum privilege) {
    pendingNode_ = ClientByUsername(ParentUsername);
    if (!pendingNode_) return NotValidParentClientResult;
    if (!HasPriv(privilege)) return NoPrivilegeClientResult;
    // A plain client cannot hold other nodes.
    if (pendingNode_->ClientType() == OrbanelGeneral10::CLIENT_TYPE)
        return NotValidParentClientResult;
    return SuccessfulClientResult;
}

CreateClientResultEnum CAccountsManager::CreateClient(
    const std::string& ParentUsername, const std::string& FirstName, const std::string& SecondName,
    const std::string& ThirdName, const std::string& LastName, const std::string& Username,
    const std::string& Password, double Phone, const std::string& Fax, double Mobile,
    const std::string& TelPW, const std::string& POB, const std::string& Country,
    const std::string& Email, const std::string& Address, bool ShowAsDemo, bool ReadOnlyLogin,
    const std::string& TransTag) {
    const CreateClientResultEnum check = CheckNewNode(ParentUsername, CreateClientsPriv);
    if (check != SuccessfulClientResult) return check;
    newClient_ = {FirstName, SecondName, ThirdName, LastName, Username};
    Requests().CreateClient(pendingNode_->ClientID(), FirstName, SecondName, ThirdName, LastName,
                            Username, Password, runtime::NumberToText(Phone),
                            runtime::NumberToText(Mobile), TelPW, POB, Fax, Email, Address,
                            ShowAsDemo, ReadOnlyLogin, Country, TransTag);
    return SuccessfulClientResult;
}

CreateClientResultEnum CAccountsManager::CreateOffice(
    const std::string& ParentUsername, const std::string& Name, const std::string& Username,
    const std::string& Password, bool ShowAsDemo, bool ReadOnlyLogin, const std::string& Phone,
    const std::string& Fax, const std::string& Mobile, const std::string& TelFax,
    const std::string& POB, const std::string& Email, const std::string& Address,
    const std::string& TransTag) {
    const CreateClientResultEnum check = CheckNewNode(ParentUsername, CreateOfficesPriv);
    if (check != SuccessfulClientResult) return check;
    newClient_ = {Name, "", "", "", Username};
    Requests().CreateOffice(pendingNode_->ClientID(), Name, 0, 0, 0, Username, Password, false,
                            ShowAsDemo, ReadOnlyLogin, Phone, Fax, Mobile, TelFax, POB, Email,
                            Address, TransTag);
    return SuccessfulClientResult;
}

CreateClientResultEnum CAccountsManager::CreateGroup(
    const std::string& ParentUsername, const std::string& Name, const std::string& Username,
    const std::string& Password, bool ReadOnlyLogin, const std::string& Phone,
    const std::string& Fax, const std::string& Mobile, const std::string& TelFax,
    const std::string& POB, const std::string& Email, const std::string& Address,
    const std::string& TransTag) {
    const CreateClientResultEnum check = CheckNewNode(ParentUsername, CreateGroupsPriv);
    if (check != SuccessfulClientResult) return check;
    newClient_ = {Name, "", "", "", Username};
    Requests().CreateGroup(pendingNode_->ClientID(), Name, Username, Password, ReadOnlyLogin, Phone,
                           Fax, Mobile, TelFax, POB, Email, Address, TransTag);
    return SuccessfulClientResult;
}

// The answer uses whatever the pending records hold when it arrives.
void CAccountsManager::AddNewNode(int32_t Ret, OrbanelGeneral10::ClientTypeEnum type,
                                  runtime::Event<CreateClientResultEnum, const std::string&>& event,
                                  const std::string& Tag) {
    if (Ret == kNoID) {
        event(UsernameAlreadyExistClientResult, Tag);
        return;
    }
    OrbanelGeneral10::CAccountsTransactions::NewClientArgs args;
    args.cl_no = Ret;
    args.theSpread = std::string();
    args.ParentID = Follow(pendingNode_).ClientID();
    args.vClientType = type;
    args.vEnableInterest = false;
    args.LiqType = OrbanelGeneral10::EQUITY_LIQUIDATION;
    args.LiqPoint = 0;
    args.FirstName = newClient_.FirstName;
    args.SecondName = newClient_.SecondName;
    args.ThirdName = newClient_.ThirdName;
    args.LastName = newClient_.LastName;
    args.Username = newClient_.Username;
    args.ClientOrServer = 1;
    Follow(AccountsTransactions()).AddNewClient(args);
    event(SuccessfulClientResult, Tag);
}

void CAccountsManager::CreateClientResultRecieved(int32_t Ret, const std::string& Tag) {
    AddNewNode(Ret, OrbanelGeneral10::CLIENT_TYPE, CreateClientResult, Tag);
}

void CAccountsManager::CreateOfficeResultRecieved(int32_t Ret, const std::string& Tag) {
    AddNewNode(Ret, OrbanelGeneral10::OFFICE_TYPE, CreateOfficeResult, Tag);
}

void CAccountsManager::CreateGroupResultRecieved(int32_t Ret, const std::string& Tag) {
    AddNewNode(Ret, OrbanelGeneral10::OTHER_GROUPS_TYPE, CreateGroupResult, Tag);
}

// ---- New accounts ----

CreateAccountResultEnum CAccountsManager::CreateAccount(
    const std::string& Username, int32_t AccountID, OrbanelGeneral10::AccountTypeEnum AccountType,
    double InitMargin, bool DemoAccount, bool LockedAccount, bool DontLiquidate,
    const std::string& TransTag) {
    const std::shared_ptr<CClient> owner = ClientByUsername(Username);
    if (!owner) return ClientNotExistAccountResult;
    if (!HasPriv(OpenAccountsPriv)) return NoPrivilegeAccountResult;
    newAccount_ = {owner->ClientID(), AccountType, DemoAccount, DontLiquidate, LockedAccount};
    Requests().CreateAccount(owner->ClientID(), AccountID, AccountType, InitMargin, DemoAccount,
                             LockedAccount, ActingUser(), DontLiquidate, TransTag);
    return SuccessfulAccountResult;
}

void CAccountsManager::CreateAccountResultRecieved(int32_t Ret, const std::string& Tag) {
    if (Ret == kNoID) {
        CreateAccountResult(AccountIDAlreadyExistAccountResult, Tag);
        return;
    }
    OrbanelGeneral10::CAccountsTransactions::NewAccountArgs args;
    args.cl_no = newAccount_.ClientID;
    args.acc_no = Ret;
    args.accType = static_cast<int32_t>(newAccount_.AccountType);
    // The model takes a flag as the server writes it: 1 for set.
    args.demoAcc = int32_t{newAccount_.DemoAccount ? 1 : 0};
    args.TotComm = 0.0;
    args.MarginReq = 0.0;
    args.NetProfit = 0.0;
    args.TotDep = 0.0;
    args.TotCr = 0.0;
    args.PrvMargin = 0.0;
    args.AutoLiq = false;
    args.autoLimit = false;
    args.autoSlTp = false;
    args.DontLiquidate = int32_t{newAccount_.DontLiquidate ? 1 : 0};
    args.TotInt = 0.0;
    args.Locked = newAccount_.Locked;
    args.Loading = false;
    Follow(AccountsTransactions()).AddNewAccount(args);
    CreateAccountResult(SuccessfulAccountResult, Tag);
}

// ---- Messages, reports and account figures ----

CallingResultsEnum CAccountsManager::SendSMS(int32_t AccountID, const std::string& SMSText) {
    const std::shared_ptr<CAccount> account = ModelAccount(AccountID);
    if (!account) return InvalidAccountResult;
    Requests().SendSMS(account->ClientID(), SMSText);
    return SuccessResult;
}

CallingResultsEnum CAccountsManager::SendSMSToSelectedAccount(const std::string& SMSText) {
    const std::shared_ptr<CAccount> sel = SelectedAccount();
    if (!sel) return InvalidAccountResult;
    Requests().SendSMS(sel->ClientID(), SMSText);
    return SuccessResult;
}

CallingResultsEnum CAccountsManager::RequestReport(ManagerReportsTypeEnum ReportType,
                                                   const std::string& Params) {
    Reports().RequestReportFromServer(ReportType, Params);
    return SuccessResult;
}

CallingResultsEnum CAccountsManager::AccountSummaries(int32_t AccountID, double& Balance,
                                                      double& FltPL, double& Credit, double& Equity,
                                                      double& marginReq, double& MarginLevel,
                                                      double& EffMargin) {
    const std::shared_ptr<CAccount> account = ModelAccount(AccountID);
    if (!account) return InvalidAccountResult;
    const OrbanelGeneral10::CSummaries& summary = Follow(account->SummeryInfo());
    Balance = summary.balance();
    FltPL = summary.FloatingProfitLoss();
    Credit = summary.credit();
    Equity = summary.equity();
    marginReq = summary.MarginRequirement();
    MarginLevel = summary.marginLevel();
    EffMargin = summary.EffectiveMargin();
    return SuccessResult;
}

CallingResultsEnum CAccountsManager::GetAccountHistory(int32_t AccountID,
                                                       const std::string& FromDate,
                                                       const std::string& ToDate) {
    const std::shared_ptr<CAccount> account = ModelAccount(AccountID);
    if (!account) return InvalidAccountResult;
    Requests().GetAccountHistory(account->ClientID(), account->AccountID(), FromDate, ToDate, "",
                                 "-1");
    return SuccessResult;
}

std::shared_ptr<COAccount> CAccountsManager::Account(int32_t AccountID) {
    return AccountByID(AccountID);
}

}  // namespace OrbanexClientAPI10
