#pragma once
// The public enumerations of the client API. Hosts compare results and pass
// arguments by these values, so names and numbers are part of the library's
// interface. Every one is a 32-bit signed type, so a value outside a list
// (a newer server) stays representable. Some names repeat enumerators of the
// general library (OrbanelGeneral10): never bring both namespaces in at once.
#include <cstdint>

namespace OrbanexClientAPI10 {

// The immediate result of every command of the public session object.
enum CallingResultsEnum : int32_t {
    SuccessResult = 1,
    NoPrivilegeResult = 2,
    InvalidAccountResult = 3,
    CannotChangePriceResult = 4,
    InvalidSymbolIDResult = 5,
    TimerExpiredResult = 6,
    InvalidTicketResult = 7,
    InvalidAmountResult = 8,
    InvalidPriceResult = 9,
    InvalidIDResult = 10,
};

// The server's answer to an order command; 100 is the catch-all failure.
enum NewOrderResultEnum : int32_t {
    DoneResult = 1,
    NotEnoughMoney = 2,
    TradingIsClosed = 3,
    Unable_MarketConditions = 4,
    Unable_BadConnection = 5,
    PositionIsClosed = 6,
    PositionIsPending = 7,
    PositionHasPendingOrders = 8,
    InvalidAmount = 9,
    NotFound = 10,
    AllAmountAreManaged = 11,
    UnableToDoOperation = 12,
    HedgingNotAllowed = 13,
    FailedResult = 100,
};

// Creating a client, an office or a group.
enum CreateClientResultEnum : int32_t {
    SuccessfulClientResult = 1,
    NoPrivilegeClientResult = 2,
    NotValidParentClientResult = 3,
    UsernameAlreadyExistClientResult = 4,
};

enum CreateAccountResultEnum : int32_t {
    SuccessfulAccountResult = 1,
    NoPrivilegeAccountResult = 2,
    ClientNotExistAccountResult = 3,
    AccountIDAlreadyExistAccountResult = 4,
};

// Failures are negative.
enum SendSMSResultsEnum : int32_t {
    SentSuccessfully = 1,
    InvalidMobile = -1,
    NoBalance = -2,
};

// Handing a waiting order to another dealer; failures are negative.
enum SwitchOrderResultsEnum : int32_t {
    SwitchedSuccessfully = 1,
    OrderNotExist = -1,
    NoOtherDealer = -2,
};

// The client API's own twelve report kinds (the general library has a
// thirteenth that this library never asks for).
enum ManagerReportsTypeEnum : int32_t {
    SymbolTypesLotsReport = 1,
    TransactionsLogReport = 2,
    DpWdAjCiCoReport = 3,
    MarketOrdersHistoryReport = 4,
    PendingOrdersReport = 5,
    SymbolsLotsReport = 6,
    AccountsStatusReport = 7,
    DetailOpenPositionsReport = 8,
    SummaryOpenPositionsReport = 9,
    AccountsInfoReport = 10,
    SMSReport = 11,
    MaintenanceMCallReport = 12,
};

enum APITypeEnum : int32_t {
    ClientAPIType = 1,
    BackofficeAPIType = 2,
};

// Who issues an order request.
enum UserType : int32_t {
    ClientUser = 2,
    DemoClientUser = 3,
    DealerUser = 1,
};

// Privileges the client API names; numbers 1..200 it does not name still count.
enum PrivsEnum : int32_t {
    OpenAccountsPriv = 1,
    UpdateDeleteAccountsPriv = 2,
    DepositPriv = 3,
    StatementShowPriv = 4,
    OpenClosePositionsPriv = 5,
    UpdateDeletePositionsPriv = 6,
    OpenLimitOrdersPriv = 8,
    ChangeDatesPriv = 18,
    SMSServicesPriv = 21,
    ChattingPriv = 23,
    OptionsSymbolSettingsPriv = 25,
    UpdateDeleteDepWDAJPriv = 28,
    TransferClientsPriv = 29,
    CreateClientsPriv = 30,
    CreateOfficesPriv = 31,
    UpdateDeleteClientsOfficesPriv = 32,
    OnOffAutoLiquidationPriv = 37,
    OnOffSLTPAcceptPriv = 38,
    OnOffLimitStopOrdersAcceptPriv = 39,
    LimitStopOrdersAcceptPriv = 40,
    OnOffAutoBrokerPriv = 42,
    Chatting_ChangePricesPriv = 45,
    Chatting_RejectOrdersPriv = 46,
    Chatting_AcceptOrdersPriv = 47,
    CreateWhiteLabledOfficesPriv = 51,
    LimitStopOrdersIgnorePriv = 53,
    LimitStopOrdersChangePricePriv = 55,
    ConnectedSessionsScreenPriv = 58,
    ManagePositionsPriv = 59,
    ParametersSpreadPriv = 60,
    ChartUsingPriv = 65,
    EmailServicesPriv = 66,
    BroadcastMessagesPriv = 67,
    UpdateDeleteOrdersPriv = 68,
    Chatting_GiveBetterPricePriv = 69,
    WithdrawalPriv = 71,
    AdjustmentPriv = 72,
    CreditInPriv = 73,
    CreditOutPriv = 74,
    ManualOpenClosePositionsPriv = 75,
    FloatingStatusPriv = 80,
    SettledStatusPriv = 81,
    MailboxPriv = 82,
    TransactionLogScreenPriv = 83,
    Report_TransactionsLogPriv = 84,
    Report_NetTradingLotsPriv = 85,
    SystemDealersPriv = 86,
    SystemDealers_EditDealerPrivsPriv = 87,
    SystemDealers_EditDealerInfoPriv = 88,
    SystemDealers_AddDealerPriv = 89,
    SystemDealers_DeleteDealerPriv = 90,
    SystemDealers_ChangeDealerInfoPriv = 91,
    SystemDealers_GrantRevokePrivsPriv = 92,
    SystemDealers_EditGroupPriv = 93,
    SystemDealers_ChangeGroupPriv = 94,
    SystemDealers_AddGroupPriv = 95,
    SystemDealers_DeleteGroupPriv = 96,
    DisconnectClientsPriv = 97,
    DisconnectDealersPriv = 98,
    Report_MoneyTransactionsPriv = 99,
    Report_MOHistoryPriv = 100,
    Report_PendingOrdersPriv = 101,
    Report_NetTradingLotsSymbolsPriv = 102,
    CreateGroupsPriv = 103,
    SymbolAnalysisPriv = 104,
    GeneralSymbolAnalysisPriv = 105,
    OptionsGeneralPriv = 106,
    Report_AccountsStatusPriv = 107,
    OptionsFilteringSetBanksPriv = 108,
    OptionsFilteringAddPriv = 109,
    OptionsFilteringEditPriv = 110,
    OptionsFilteringRemovePriv = 111,
    Report_DetailOpenPosPriv = 112,
    Report_SummaryOpenPosPriv = 113,
    MarketControlPriv = 114,
    ShowOnlineDealersPriv = 115,
    FeedsControlPriv = 116,
    Report_AccountsInfoPriv = 117,
    ParametersOffsetsPriv = 118,
    ParametersMReqPriv = 119,
    ParametersVisiblePriv = 120,
    ParametersCommPriv = 121,
    ParametersMaxMinLotsPriv = 122,
    ParametersGeneralPriv = 123,
    Report_SMSPriv = 124,
    Report_MCallPriv = 125,
    AccountsSummariesPriv = 126,
    ParametersAutoPriv = 127,
    SymbolSettings_NewSymbolPriv = 128,
};

}  // namespace OrbanexClientAPI10
