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

}  // namespace OrbanexClientAPI10
