// The accounts manager's trading commands: each checks, then sends one
// request or answers a refusal code at once.
#include <optional>
#include <string>
#include <vector>

#include "clientapi/dataclient/CClientServer.h"
#include "clientapi/dataclient/CDataClient.h"
#include "clientapi/dataclient/CManagerReports.h"
#include "clientapi/dataclient/CSecurity.h"
#include "clientapi/facade/CAccountsManager.h"
#include "clientapi/facade/CSymbolsManager.h"
#include "clientapi/facade/PriceRules.h"
#include "general/model/CAccount.h"
#include "general/model/CAccountsTransactions.h"
#include "general/model/CClient.h"
#include "general/model/CClientParam.h"
#include "general/model/CClients.h"
#include "general/model/COpenPosition.h"
#include "general/model/COpenPositions.h"
#include "general/model/COrder.h"
#include "general/model/COrders.h"
#include "general/model/CSummaries.h"
#include "general/model/CSymbol.h"
#include "general/model/MModelItems.h"
#include "runtime/Convert.h"
#include "runtime/Strings.h"

namespace OrbanexClientAPI10 {

namespace {

using OrbanelGeneral10::CAccount;
using OrbanelGeneral10::CClientParam;
using OrbanelGeneral10::COpenPosition;
using OrbanelGeneral10::COrder;
using OrbanelGeneral10::OperationTypeEnum;
using OrbanelGeneral10::modelitems::Follow;
using OrbanelGeneral10::modelitems::KeyText;
using runtime::Variant;
namespace rules = pricerules;

// An SL or TP as the builders take it: no price travels as "".
Variant WireSlTp(const Variant& price) {
    return price.IsNull() ? Variant() : price;
}

bool NoSlNorTp(const Variant& SL, const Variant& TP) {
    return rules::IsAbsentPrice(SL) && rules::IsAbsentPrice(TP);
}

double EffectiveMarginOf(const CAccount& account) {
    return Follow(account.SummeryInfo()).EffectiveMargin();
}

std::shared_ptr<OrbanelGeneral10::CSymbol> ParamSymbol(const CClientParam& param) {
    std::shared_ptr<OrbanelGeneral10::CSymbol> symbol = param.Symbol();
    Follow(symbol);
    return symbol;
}

// An order of the account of the given kind; nothing otherwise.
std::shared_ptr<COrder> OrderOfKind(const CAccount& account, const std::string& key,
                                    OrbanelGeneral10::OrdersTypeEnum kind) {
    std::shared_ptr<COrder> order = Follow(account.Orders()).Item(key);
    return order && order->OrderType() == kind ? order : nullptr;
}

// A list item's number as an account ID; nothing when it cannot name one.
std::optional<int32_t> AccountIdOf(const std::string& item) {
    try {
        return runtime::CLng(runtime::Val(item));
    } catch (const runtime::Error&) {
        return std::nullopt;  // beyond 32 bits
    }
}

// Positions marked as being closed by a command that may still be refused.
class LiquidationMarks {
public:
    ~LiquidationMarks() {
        if (!kept_)
            for (const auto& position : marked_) position->setLiquidated(false);
    }
    void Mark(const std::shared_ptr<COpenPosition>& position) {
        position->setLiquidated(true);
        marked_.push_back(position);
    }
    void Keep() { kept_ = true; }

private:
    std::vector<std::shared_ptr<COpenPosition>> marked_;
    bool kept_ = false;
};

}  // namespace

// ---- What the commands read of the session ----

CClientServer& CAccountsManager::Requests() const {
    return Follow(Follow(dataClient_).ClientServer());
}

CManagerReports& CAccountsManager::Reports() const {
    return Follow(Follow(dataClient_).Reports());
}

int32_t CAccountsManager::ActingUser() const {
    return Follow(dataClient_).LoginUser();
}

std::string CAccountsManager::TickTime() const {
    return Follow(symbolsManager_).LastTickTime();
}

bool CAccountsManager::HasPriv(PrivsEnum privilege) const {
    return Follow(security_).UserHasPriv(privilege);
}

bool CAccountsManager::TradingRefused(const CAccount& account) const {
    return account.Locked() || ReadOnlyLogin();
}

CAccountsManager::ParamPtr CAccountsManager::TradingParam(const CAccount& account,
                                                          int32_t SymbolID) {
    currentParam_ = Follow(account.Client()).SymbolParam(SymbolID);
    return currentParam_;
}

CAccountsManager::AccountPtr CAccountsManager::ModelAccount(int32_t AccountID) const {
    return Follow(engine_).AccountByAccountID(AccountID);
}

std::shared_ptr<OrbanelGeneral10::CClient> CAccountsManager::ClientByUsername(
    const std::string& Username) const {
    return Follow(Follow(engine_).Clients()).ClientByUserName(Username);
}

// ---- Market orders ----

CallingResultsEnum CAccountsManager::NewMarketOrder(OperationTypeEnum BuySell, int32_t SymbolID,
                                                    double Lots, const std::string& TransTag,
                                                    const std::string& Note) {
    const std::shared_ptr<CAccount> sel = SelectedAccount();
    if (!sel) return InvalidAccountResult;
    const std::shared_ptr<CClientParam> param = TradingParam(*sel, SymbolID);
    if (!param) return InvalidSymbolIDResult;
    if (TradingRefused(*sel)) return NoPrivilegeResult;
    const std::shared_ptr<OrbanelGeneral10::CSymbol> symbol = ParamSymbol(*param);
    if (!symbol->isUsed()) return InvalidSymbolIDResult;
    if (!rules::ValidateLots(Lots, *param)) return InvalidAmountResult;
    const double price =
        BuySell == OrbanelGeneral10::SellType ? param->BidWithSpread() : param->AskWithSpread();
    Requests().NewOrder(sel->ClientID(), sel->AccountID(), SymbolID, BuySell, Lots, price,
                        EffectiveMarginOf(*sel), ActingUser(), TickTime(), symbol->LastQuteTime(),
                        TransTag, Note);
    // Stamped once handed over: a refused answer may not name the symbol.
    stamps_.push_back(
        Stamp{OrbanelGeneral10::NEW_ORDER_TOKEN, sel->ClientID(), sel->AccountID(), SymbolID});
    return SuccessResult;
}

CallingResultsEnum CAccountsManager::CloseMarketOrder(const std::string& Tickets,
                                                      const std::string& Lots,
                                                      const std::string& TransTag) {
    const std::vector<std::string> tickets = runtime::Split(Tickets, ",");
    const std::vector<std::string> lots = runtime::Split(Lots, ",");
    if (tickets.size() != lots.size()) return InvalidTicketResult;
    const std::shared_ptr<CAccount> sel = SelectedAccount();
    if (!sel) return InvalidAccountResult;
    if (TradingRefused(*sel)) return NoPrivilegeResult;
    LiquidationMarks marks;
    std::vector<std::string> symbolIds, prices, refPrices, quoteTimes;
    for (size_t i = 0; i < tickets.size(); ++i) {
        const std::shared_ptr<COpenPosition> position =
            Follow(sel->OpenPositions()).Item(tickets[i]);
        if (!position) return InvalidTicketResult;
        const CClientParam& param = Follow(position->SymbolParam());
        if (!rules::ValidateLots(runtime::Val(lots[i]), param)) return InvalidAmountResult;
        const bool buy = position->Type_no() == OrbanelGeneral10::BuyType;
        const std::shared_ptr<CClientParam> parent = param.Parent();
        Follow(parent);
        const std::shared_ptr<OrbanelGeneral10::CSymbol> symbol = ParamSymbol(param);
        symbolIds.push_back(std::to_string(symbol->ID()));
        prices.push_back(
            runtime::NumberToText(buy ? param.BidWithSpread() : param.AskWithSpread()));
        refPrices.push_back(
            runtime::NumberToText(buy ? parent->BidWithSpread() : parent->AskWithSpread()));
        quoteTimes.push_back(symbol->LastQuteTime());
        marks.Mark(position);
    }
    Requests().CloseOrder(sel->ClientID(), sel->AccountID(), Tickets, runtime::Join(symbolIds, ","),
                          runtime::Join(prices, ","), runtime::Join(refPrices, ","), Lots,
                          ActingUser(), EffectiveMarginOf(*sel), TickTime(),
                          runtime::Join(quoteTimes, ","), TransTag);
    marks.Keep();
    return SuccessResult;
}

// ---- Dealer positions ----

CallingResultsEnum CAccountsManager::NewPosition(
    const std::string& AccountIDs, const std::string& BuySells, const std::string& Amounts,
    const std::string& SymbolIDs, const std::string& PriceS, const std::string& Notes) {
    if (!HasPriv(ManualOpenClosePositionsPriv)) return NoPrivilegeResult;
    const std::vector<std::string> accounts = runtime::Split(AccountIDs, ",");
    for (const std::string* list : {&BuySells, &Amounts, &SymbolIDs, &PriceS, &Notes})
        if (runtime::Split(*list, ",").size() != accounts.size()) return InvalidAccountResult;
    std::vector<std::string> clients;
    for (const std::string& item : accounts) {
        const std::optional<int32_t> id = AccountIdOf(item);
        const std::shared_ptr<CAccount> account = id ? ModelAccount(*id) : nullptr;
        if (!account) return InvalidAccountResult;
        clients.push_back(std::to_string(account->ClientID()));
    }
    Requests().NewPosition(runtime::Join(clients, ","), AccountIDs, SymbolIDs, BuySells, Amounts,
                           PriceS, 1, 0, 0, ActingUser(), Notes);
    return SuccessResult;
}

CallingResultsEnum CAccountsManager::ClosePosition(int32_t AccountID, int32_t Ticket, double Amount,
                                                   double Price, double RefPrice, double Comm) {
    const std::shared_ptr<CAccount> account = ModelAccount(AccountID);
    if (!account) return InvalidAccountResult;
    if (!HasPriv(ManualOpenClosePositionsPriv)) return NoPrivilegeResult;
    Requests().ClosePosition(account->ClientID(), account->AccountID(), Ticket, Amount, Price,
                             RefPrice, 1, Comm, 1, 0, ActingUser());
    return SuccessResult;
}

// ---- Limit and stop orders ----

CallingResultsEnum CAccountsManager::NewLimitOrder(OperationTypeEnum OrderType, int32_t SymbolID,
                                                   double Lots, double AtPrice,
                                                   OrbanelGeneral10::UserTypeEnum WhoType,
                                                   const Variant& SL, const Variant& TP,
                                                   const std::string& TransTag,
                                                   const std::string& Note) {
    const std::shared_ptr<CAccount> sel = SelectedAccount();
    if (!sel) return InvalidAccountResult;
    if (TradingRefused(*sel)) return NoPrivilegeResult;
    const std::shared_ptr<CClientParam> param = TradingParam(*sel, SymbolID);
    if (!param) return InvalidSymbolIDResult;
    const std::shared_ptr<OrbanelGeneral10::CSymbol> symbol = ParamSymbol(*param);
    if (!symbol->isUsed()) return InvalidSymbolIDResult;
    if (!rules::ValidateLots(Lots, *param)) return InvalidAmountResult;
    const bool limitOk = rules::ValidateLimitPrice(OrderType, *param, AtPrice, -1);
    const bool slOk = rules::ValidateSlTpPrice(OrderType, *param, "SL", SL, AtPrice, -1);
    const bool tpOk = rules::ValidateSlTpPrice(OrderType, *param, "TP", TP, AtPrice, -1);
    if (!(limitOk && slOk && tpOk)) return InvalidPriceResult;
    Requests().NewLimitOrder(sel->ClientID(), sel->AccountID(), SymbolID, Lots, AtPrice, OrderType,
                             WireSlTp(SL), WireSlTp(TP), WhoType, ActingUser(), TickTime(),
                             symbol->LastQuteTime(), TransTag, Note);
    return SuccessResult;
}

CallingResultsEnum CAccountsManager::UpdateLimitOrder(int32_t OrderID, double Lots, double NewPrice,
                                                      OrbanelGeneral10::UserTypeEnum WhoType,
                                                      const Variant& SL, const Variant& TP,
                                                      const std::string& TransTag,
                                                      const std::string& Note) {
    const std::shared_ptr<CAccount> sel = SelectedAccount();
    if (!sel) return InvalidAccountResult;
    if (TradingRefused(*sel)) return NoPrivilegeResult;
    const std::shared_ptr<COrder> order =
        OrderOfKind(*sel, KeyText(OrderID), OrbanelGeneral10::LimitOrdersType);
    if (!order) return InvalidTicketResult;
    const CClientParam& param = Follow(order->SymbolParam());
    if (!rules::ValidateLots(Lots, param)) return InvalidAmountResult;
    const OperationTypeEnum side = order->operationType();
    const bool limitOk = rules::ValidateLimitPrice(side, param, NewPrice, order->LimitPrice());
    const bool slOk = rules::ValidateSlTpPrice(side, param, "SL", SL, NewPrice, order->slPrice());
    const bool tpOk = rules::ValidateSlTpPrice(side, param, "TP", TP, NewPrice, order->tpPrice());
    if (!(limitOk && slOk && tpOk)) return InvalidPriceResult;
    const std::shared_ptr<OrbanelGeneral10::CSymbol> symbol = ParamSymbol(param);
    Requests().UpdateLimitOrder(sel->ClientID(), sel->AccountID(), OrderID, symbol->ID(), NewPrice,
                                WireSlTp(SL), WireSlTp(TP), Lots, WhoType, ActingUser(), TickTime(),
                                symbol->LastQuteTime(), TransTag, Note);
    return SuccessResult;
}

// ---- SL and TP orders ----

CallingResultsEnum CAccountsManager::NewSLTPOrder(int32_t Ticket, double Lots,
                                                  OrbanelGeneral10::UserTypeEnum WhoType,
                                                  const Variant& SL, const Variant& TP,
                                                  const std::string& TransTag) {
    const std::shared_ptr<CAccount> sel = SelectedAccount();
    if (!sel) return InvalidAccountResult;
    if (TradingRefused(*sel)) return NoPrivilegeResult;
    const std::shared_ptr<COpenPosition> position =
        Follow(sel->OpenPositions()).Item(KeyText(Ticket));
    if (!position) return InvalidTicketResult;
    const CClientParam& param = Follow(position->SymbolParam());
    if (!rules::ValidateLots(Lots, param)) return InvalidAmountResult;
    const std::shared_ptr<OrbanelGeneral10::CSymbol> symbol = ParamSymbol(param);
    const OperationTypeEnum side = position->Type_no();
    const double from = symbol->ClosePrice(side);
    const bool slOk = rules::ValidateSlTpPrice(side, param, "SL", SL, from, -1);
    const bool tpOk = rules::ValidateSlTpPrice(side, param, "TP", TP, from, -1);
    if (!(slOk && tpOk) || NoSlNorTp(SL, TP)) return InvalidPriceResult;
    Requests().NewSLTPOrder(sel->ClientID(), sel->AccountID(), Ticket, symbol->ID(), Lots,
                            WireSlTp(SL), WireSlTp(TP), WhoType, ActingUser(), TickTime(),
                            symbol->LastQuteTime(), TransTag);
    return SuccessResult;
}

CallingResultsEnum CAccountsManager::UpdateSLTPOrder(int32_t OrderID, double Lots,
                                                     OrbanelGeneral10::UserTypeEnum WhoType,
                                                     const Variant& SL, const Variant& TP,
                                                     const std::string& TransTag) {
    const std::shared_ptr<CAccount> sel = SelectedAccount();
    if (!sel) return InvalidAccountResult;
    if (TradingRefused(*sel)) return NoPrivilegeResult;
    const std::shared_ptr<COrder> order =
        OrderOfKind(*sel, KeyText(OrderID), OrbanelGeneral10::SlTpType);
    if (!order) return InvalidTicketResult;
    const CClientParam& param = Follow(order->SymbolParam());
    if (!rules::ValidateLots(Lots, param)) return InvalidAmountResult;
    // The stored order closes the position: the position's side is its negation.
    const OperationTypeEnum closing = order->operationType();
    const auto side = static_cast<OperationTypeEnum>(-static_cast<int32_t>(closing));
    const double from = param.PriceWithSpread(closing);
    const bool slOk = rules::ValidateSlTpPrice(side, param, "SL", SL, from, order->slPrice());
    const bool tpOk = rules::ValidateSlTpPrice(side, param, "TP", TP, from, order->tpPrice());
    if (!(slOk && tpOk) || NoSlNorTp(SL, TP)) return InvalidPriceResult;
    const std::shared_ptr<OrbanelGeneral10::CSymbol> symbol = ParamSymbol(param);
    Requests().UpdateSLTPOrder(sel->ClientID(), sel->AccountID(), OrderID, symbol->ID(), Lots,
                               WireSlTp(SL), WireSlTp(TP), WhoType, ActingUser(), TickTime(),
                               symbol->LastQuteTime(), TransTag);
    return SuccessResult;
}

// ---- Deleting pending orders ----

CallingResultsEnum CAccountsManager::DeleteLimitOrder(const std::string& OrderIDs,
                                                      OrbanelGeneral10::UserTypeEnum WhoType,
                                                      const std::string& TransTag) {
    const std::shared_ptr<CAccount> sel = SelectedAccount();
    if (!sel) return InvalidAccountResult;
    if (TradingRefused(*sel)) return NoPrivilegeResult;
    for (const std::string& item : runtime::Split(OrderIDs, ","))
        if (!OrderOfKind(*sel, item, OrbanelGeneral10::LimitOrdersType)) return InvalidTicketResult;
    Requests().DeleteLimitOrder(sel->ClientID(), sel->AccountID(), OrderIDs, WhoType, ActingUser(),
                                TransTag);
    return SuccessResult;
}

CallingResultsEnum CAccountsManager::DeleteSLTPOrder(const std::string& OrderIDs,
                                                     OrbanelGeneral10::UserTypeEnum WhoType,
                                                     const std::string& TransTag) {
    const std::shared_ptr<CAccount> sel = SelectedAccount();
    if (!sel) return InvalidAccountResult;
    if (TradingRefused(*sel)) return NoPrivilegeResult;
    for (const std::string& item : runtime::Split(OrderIDs, ","))
        if (!OrderOfKind(*sel, item, OrbanelGeneral10::SlTpType)) return InvalidTicketResult;
    Requests().DeleteSLTPOrder(sel->ClientID(), sel->AccountID(), OrderIDs, WhoType, ActingUser(),
                               TransTag);
    return SuccessResult;
}

// ---- Answers to re-quotes ----

CallingResultsEnum CAccountsManager::AcceptOrder(int32_t OrderID) {
    return AnswerRequote(OrderID, RequoteAnswer::Accept);
}

CallingResultsEnum CAccountsManager::RejectOrder(int32_t OrderID) {
    return AnswerRequote(OrderID, RequoteAnswer::Reject);
}

CallingResultsEnum CAccountsManager::OrderTimerExpired(int32_t OrderID) {
    return AnswerRequote(OrderID, RequoteAnswer::Expire);
}

// The answer goes out for the re-quote's own account, whatever is selected now.
CallingResultsEnum CAccountsManager::AnswerRequote(int32_t OrderID, RequoteAnswer answer) {
    const std::string key = KeyText(OrderID);
    const std::shared_ptr<CMOrder> requote = requotes_.Item(key);
    if (!requote) return TimerExpiredResult;
    const std::shared_ptr<CAccount> account = ModelAccount(requote->AccountID());
    if (!account) {
        requotes_.Remove(key);
        if (answer == RequoteAnswer::Expire)
            Log("re-quote of order " + key + " expired for account " +
                std::to_string(requote->AccountID()) + ", which is gone");
        return InvalidAccountResult;
    }
    switch (answer) {
        case RequoteAnswer::Accept:
            Requests().ClientAcceptOrder(account->ClientID(), requote->AccountID(), OrderID,
                                         requote->NewPrice(), ActingUser());
            break;
        case RequoteAnswer::Reject:
            Requests().ClientRejectOrder(account->ClientID(), requote->AccountID(), OrderID);
            break;
        case RequoteAnswer::Expire:
            Requests().TimerExpired(account->ClientID(), requote->AccountID(), OrderID);
            break;
    }
    requotes_.Remove(key);
    return SuccessResult;
}

}  // namespace OrbanexClientAPI10
