#pragma once
// The public enumerations of the general library, shared by the data model,
// the client API and the desk. Every one is a 32-bit signed type, so values
// outside a list (a newer server, a corrupted row) stay representable.
#include <cstdint>

namespace OrbanelGeneral10 {

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
    LoginHistoryReport = 13,
};

enum ParamTypeEnum : int32_t {
    SpreadType = 1,
    LimitOffsetType = 2,
    StopOffsetType = 3,
    InitialMarginReqType = 4,
    MaintenanceMarginReqType = 5,
    VisibleType = 6,
    CommissionType = 7,
    MaxLotsType = 8,
    MinLotsType = 9,
    AutoBrokerIfLessType = 10,
    MReqTypeType = 11,
    SpreadSourcePlusType = 12,
    AllParamsType = 13,
    EnableAFXNewsType = 100,
    EnableMarketNewsType = 101,
    EnableInterestType = 102,
    LiquidationTypeType = 103,
    LiquidationPointType = 104,
    AccountIDPrefixType = 105,
    AccountIDPostfixType = 106,
    GMTOffsetType = 107,
    EnableHedgingType = 108,
    PrivateNewsType = 109,
};

enum DealerParamTypeEnum : int32_t {
    HasSymbolType = 1,
    HasPrivType = 21,
    SlideNewsType = 41,
};

enum AlertTypeEnum : int32_t {
    SoundAlertType = 1,
    SMSAlertType = 2,
};

enum AlertConditionsEnum : int32_t {
    BID_GREATER = 1,
    BID_LESS = 2,
    ASK_GREATER = 3,
    ASK_LESS = 4,
};

enum ClientTypeEnum : int32_t {
    CLIENT_TYPE = 1,
    OFFICE_TYPE = 2,
    OTHER_GROUPS_TYPE = 3,
};

enum ClientSubTypeEnum : int32_t {
    GROUP_SUB_TYPE = 1,
    LOGICAL_SERVER_SUB_TYPE = 2,
};

enum LogicalServerTypeEnum : int32_t {
    REAL_SERVER_TYPE = 1,
    DEMO_SERVER_TYPE = 2,
    HISTORY_SERVER_TYPE = 3,
};

enum UserTypeEnum : int32_t {
    DEALER_USER_TYPE = 1,
    CLIENT_USER_TYPE = 2,
    DEMO_CLIENT_USER_TYPE = 3,
    TICK_ORDERS_LIQ_TYPE = 4,
    WEB_SERVER_TYPE = 5,
    HISTORY_CLIENT_USER_TYPE = 6,
};

enum TransactionTypeEnum : int32_t {
    InsertTransType = 1,
    UpdateTransType = 2,
    DeleteTransType = 3,
};

enum AccountHistoryTypeEnum : int32_t {
    NewPositionAccHis = 1,
    LiquidatePositionAccHis = 2,
    AccountTransAccHis = 3,
};

enum ServerTypeEnum : int32_t {
    RealServerType = 1,
    MaintenanceServerType = 2,
    RouterServerType = 3,
    BackupServerType = 4,
};

enum AccountTypeEnum : int32_t {
    DemoAccountType = 0,
    NormalAccountType = 1,
    CoverageAccountType = 2,
};

enum AccountTransTypeEnum : int32_t {
    DepositAccTrans = 1,
    WithdrawalAccTrans = -1,
    CreditInAccTrans = 3,
    CreditOutAccTrans = -3,
    AdjustmentAccTrans = 2,
};

enum OperationTypeEnum : int32_t {
    BuyType = 1,
    SellType = -1,
    BuyStopType = 2,
    SellStopType = -2,
};

enum OrdersTypeEnum : int32_t {
    MarketDataType = 1,
    LimitOrdersType = 2,
    SlTpType = 3,
};

enum TransactionLogTypeEnum : int32_t {
    NewPositionTransLog = 1,
    LiqPositionTransLog = 2,
    AccountTransTransLog = 3,
    TakeProfitStopLossTransLog = 4,
    LimitStopTransLog = 5,
};

enum MarketOrderStatusEnum : int32_t {
    NewOrder_RequestType = 1,
    Rejected_RequestType = 2,
    PriceSent_RequestType = 3,
    TimerExpired_RequestType = 4,
    RequestNewBuy = 10,
    RequestNewSell = 11,
    RequestLiqBuy = 12,
    RequestLiqSell = 13,
    LiqAccepted = 19,
    NewAccepted = 20,
    InvalidPrice = 21,
    NewBuyPriceChanged = 30,
    NewSellPriceChanged = 31,
    LiqBuyPriceChanged = 32,
    LiqSellPriceChanged = 33,
    PriceChangedClientAccept_PendingType = 40,
    PriceChangedTimerExpired_PendingType = 44,
    PriceChangedClientReject_PendingType = 45,
    ClientCancelWhenNew_RequestType = 101,
    ClientCancelWhenPriceSent_RequestType = 103,
    FutureLiqAccepted = 119,
    FutureNewAccepted = 120,
    FutureBuyPriceChanged = 130,
    FutureSellPriceChanged = 131,
    HedgingIsNotAllowed = -4,
};

enum OpenTypeEnum : int32_t {
    INPUT_TYPE = 1,
    OUTPUT_TYPE = 2,
    APPEND_TYPE = 3,
};

enum ReadFileResultEnum : int32_t {
    ReadSuccess = 1,
    ReadFail = 2,
    ReadEOF = 3,
};

enum ChatTypeEnum : int32_t {
    REQUEST_TYPE = 1,
    PENDING_TYPE = 2,
};

enum CommCalcTypeEnum : int32_t {
    ON_OPEN_TYPE = 1,
    ON_CLOSE_TYPE = 2,
};

enum QueueStatus : int32_t {
    OVERFLOW = 0,
    UNDERFLOW = 1,
    SUCCESS = 2,
};

enum GMTConvertTypeEnum : int32_t {
    ServerToClient = 1,
    ClientToServer = -1,
};

enum DateFormatsEnum : int32_t {
    DDspMMspYYYY = 0,
    DDspMMspYY = 1,
    DDspMMspYYYY_HHspNNspSS = 2,
    DDspMMspYY_HHspNNspSS = 3,
    YYYYspMMspDD_HHspNNspSS = 4,
    YYspMMspDD_HHspNNspSS = 5,
    HHspNN = 6,
    HHspNNspSS = 7,
    DDspMMspYYYY_HHspNN = 8,
    YYYYspMMspDD_HHspNN = 9,
};

enum FormPhaseEnum : int32_t {
    InActivePhase = 1,
    NormalPhase = 2,
    WaitingPhase = 3,
    ResultreceivedPhase = 4,
    LoadingDataPhase = 5,
    FreezePhase = 6,
};

enum NewOrLiquidateEnum : int32_t {
    NewType = 1,
    LiquidateType = 2,
};

enum MarketOrLimitOrderEnum : int32_t {
    MarketOrderType = 1,
    LimitOrderType = 2,
    SLOrderType = 3,
    TPOrderType = 4,
};

enum LiquidationTypeEnum : int32_t {
    EQUITY_LIQUIDATION = 1,
    MARGIN_LEVEL_LIQUIDATION = 2,
};

enum ExecutionModeEnum : int32_t {
    SERVER_SIDE_EXECUTION = 1,
    CLIENT_SIDE_EXECUTION = 2,
};

enum SymbolTypeEnum : int32_t {
    symbol_type = 1,
    Group_Type = 2,
};

enum HighLowComputeTypeEnum : int32_t {
    FromBid = 1,
    FromAsk = 2,
};

enum SpreadCalTypeEnum : int32_t {
    FromBidSpread = 1,
    FromAvgSpread = 2,
};

enum MarketOrderTypeEnum : int32_t {
    AtPriceMO = 1,
    AtMarketMO = 2,
};

enum TCPServerTypeEnum : int32_t {
    DisconnectWhenNoHandshakMsgType = 1,
    NoDisconnectWhenNoHandshakMsgType = 2,
};

enum TCPClientStatusType : int32_t {
    STATUS_CONNECTED = 0,
    STATUS_DISCONNECTED = 1,
};

enum ProxyTypeEnum : int32_t {
    HTTPProxy = 0,
    Socks4Proxy = 1,
    Socks5Proxy = 2,
};

enum ProxyTestResultEnum : int32_t {
    TestingMode = 1,
    ProxyWorks = 2,
    ProxyNotWork = 3,
};

enum PrivsEnum : int32_t {
    NonePriv = 0,
    ChangeDatesPriv = 18,
    ChartUsingPriv = 65,
    ChattingPriv = 23,
    Chatting_AcceptOrdersPriv = 47,
    Chatting_ChangePricesPriv = 45,
    Chatting_GiveBetterPricePriv = 69,
    Chatting_RejectOrdersPriv = 46,
    CreateWhiteLabledOfficesPriv = 51,
    CreateClientsPriv = 30,
    CreateOfficesPriv = 31,
    DepositPriv = 3,
    WithdrawalPriv = 71,
    AdjustmentPriv = 72,
    CreditInPriv = 73,
    CreditOutPriv = 74,
    LimitStopOrdersAcceptPriv = 40,
    LimitStopOrdersChangePricePriv = 55,
    LimitStopOrdersIgnorePriv = 53,
    ManagePositionsPriv = 59,
    OnOffAutoBrokerPriv = 42,
    OnOffAutoLiquidationPriv = 37,
    OnOffLimitStopOrdersAcceptPriv = 39,
    OnOffSLTPAcceptPriv = 38,
    OpenAccountsPriv = 1,
    OpenLimitOrdersPriv = 8,
    OpenClosePositionsPriv = 5,
    SMSServicesPriv = 21,
    StatementShowPriv = 4,
    UpdateDeleteDepWDAJPriv = 28,
    UpdateDeleteAccountsPriv = 2,
    UpdateDeleteClientsOfficesPriv = 32,
    UpdateDeletePositionsPriv = 6,
    EmailServicesPriv = 66,
    BroadcastMessagesPriv = 67,
    UpdateDeleteOrdersPriv = 68,
    ManualOpenClosePositionsPriv = 75,
    ConnectedSessionsScreenPriv = 58,
    FloatingStatusPriv = 80,
    SettledStatusPriv = 81,
    MailboxPriv = 82,
    TransactionLogScreenPriv = 83,
    Report_TransactionsLogPriv = 84,
    Report_NetTradingLotsPriv = 85,
    Report_MoneyTransactionsPriv = 99,
    Report_MOHistoryPriv = 100,
    Report_PendingOrdersPriv = 101,
    Report_AccountsStatusPriv = 107,
    Report_DetailOpenPosPriv = 112,
    Report_SummaryOpenPosPriv = 113,
    SystemDealersPriv = 86,
    SystemDealers_EditDealerPrivsPriv = 87,
    SystemDealers_EditDealerInfoPriv = 88,
    SystemDealers_AddDealerPriv = 89,
    SystemDealers_DeleteDealerPriv = 90,
    SystemDealers_ChangeDealerInfoPriv = 91,
    SystemDealers_GrantRevokePrivsPriv = 92,
    DisconnectClientsPriv = 97,
    DisconnectDealersPriv = 98,
    Report_NetTradingLotsSymbolsPriv = 102,
    ParametersSpreadPriv = 60,
    ParametersOffsetsPriv = 118,
    ParametersMReqPriv = 119,
    ParametersVisiblePriv = 120,
    ParametersCommPriv = 121,
    ParametersMaxMinLotsPriv = 122,
    ParametersGeneralPriv = 123,
    ParametersAutoPriv = 127,
    CreateGroupsPriv = 103,
    SymbolAnalysisPriv = 104,
    GeneralSymbolAnalysisPriv = 105,
    OptionsSymbolSettingsPriv = 25,
    OptionsGeneralPriv = 106,
    OptionsFilteringSetBanksPriv = 108,
    OptionsFilteringAddPriv = 109,
    OptionsFilteringEditPriv = 110,
    OptionsFilteringRemovePriv = 111,
    TransferClientsPriv = 29,
    MarketControlPriv = 114,
    ShowOnlineDealersPriv = 115,
    FeedsControlPriv = 116,
    Report_AccountsInfoPriv = 117,
    Report_SMSPriv = 124,
    Report_MCallPriv = 125,
    AccountsSummariesPriv = 126,
    SymbolSettings_NewSymbolPriv = 128,
    Report_LoginHistoryPriv = 129,
    ShowClientsNames = 131,
};

enum SendResultEnum : int32_t {
    SentSuccessfully = 1,
    SentFailedZeroPort = 2,
    SentFailedError = 2,
};

// Token numbers of the command-token table (general/common/Tokens.def).
enum TokensEnum : int32_t {
#define TOKEN(number, member, word, description) member = number,
#include "general/common/Tokens.def"
#undef TOKEN
};

enum EventsEnum : int32_t {
    AddLogEntryEvent = 1,
    ProcessHandledEvent = 2,
    AccountAddedEvent = 3,
    ShowErrorEvent = 4,
    TickOrdersStatusEvent = 6,
    HistoryClientStatusEvent = 7,
    SummariesReflectEvent = 8,
    NewOpenPositionReflectEvent = 9,
    DeleteOpenPositionReflectEvent = 10,
    ClosePositionReflectEvent = 11,
    UpdateOpenPositionReflectEvent = 12,
    DeleteClosePosReflectEvent = 13,
    ChangeConfigReflectEvent = 14,
    ReflectClientChangeParametersEvent = 15,
    ReflectClientGeneralParamEvent = 16,
    DeleteClientReflectEvent = 17,
    DeleteAccountReflectEvent = 18,
    StopServerEvent = 19,
    AttackProcessEvent = 20,
    DeleteDealerReflectEvent = 21,
};

enum DisconnectSessionTypeEnum : int32_t {
    FromAnotherSessionDisconnect = 1,
    DealerDisconnect = 2,
};

}  // namespace OrbanelGeneral10
