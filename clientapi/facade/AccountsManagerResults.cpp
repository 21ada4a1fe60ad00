// The server's answers to the trading commands, the order-status push and the
// re-quote countdown's ticks, turned into the accounts manager's events.
#include <initializer_list>
#include <optional>
#include <string>

#include "clientapi/facade/CAccountsManager.h"
#include "clientapi/facade/COSymbol.h"
#include "general/model/CAccount.h"
#include "general/model/CAccountsTransactions.h"
#include "general/model/CClient.h"
#include "general/model/CClientParam.h"
#include "general/model/COpenPosition.h"
#include "general/model/COpenPositions.h"
#include "general/model/MModelItems.h"

namespace OrbanexClientAPI10 {

namespace {

using OrbanelGeneral10::CAccount;
using OrbanelGeneral10::CClientParam;
using OrbanelGeneral10::OperationTypeEnum;
using OrbanelGeneral10::modelitems::Follow;
using OrbanelGeneral10::modelitems::KeyText;

// ---- Return codes ----

struct Code {
    int32_t ret;
    NewOrderResultEnum result;
};
using Codes = std::initializer_list<Code>;

// The server's failure codes shared by every order answer.
constexpr Code kBadConnection{-51, Unable_BadConnection};
constexpr Code kMarketConditions{-50, Unable_MarketConditions};
constexpr Code kTradingClosed{-5, TradingIsClosed};

// A mapped code, and whether the table lists it.
struct Mapped {
    NewOrderResultEnum result;
    bool listed;
};

Mapped Map(Codes codes, int32_t ret) {
    for (const Code& c : codes)
        if (c.ret == ret) return {c.result, true};
    return {DoneResult, false};
}

// Market answers: an unlisted failure (below 1) is FailedResult.
NewOrderResultEnum MapMarket(Codes codes, int32_t ret) {
    const Mapped m = Map(codes, ret);
    return m.listed || ret >= 1 ? m.result : FailedResult;
}

bool Contains(const std::string& text, char c) {
    return text.find(c) != std::string::npos;
}

}  // namespace

// ---- Market orders ----

void CAccountsManager::NewOrderResultRecieved(int32_t Ret, int16_t PosOrOrder,
                                              const std::string& SysDate, double Lots,
                                              OperationTypeEnum BuySell, double Price,
                                              int32_t SymbolID, const std::string& TransTag) {
    const std::optional<Stamp> stamp = TakeStamp(OrbanelGeneral10::NEW_ORDER_TOKEN);
    const std::shared_ptr<CAccount> sel = SelectedAccount();
    if (!sel) return;
    const SymbolView& view = ResultSymbolView(SelectedParam(SymbolID), AskedParam(stamp));
    const NewOrderResultEnum result = MapMarket({kBadConnection,
                                                 kMarketConditions,
                                                 kTradingClosed,
                                                 {-4, HedgingNotAllowed},
                                                 {-2, NotEnoughMoney}},
                                                Ret);
    NewOrderResult(result, Price, PosOrOrder, Ret, BuySell, Lots, view, SysDate, TransTag);
}

void CAccountsManager::CloseOrderResultRecieved(int32_t Ret, int16_t PosOrOrder,
                                                const std::string& SysDate, int32_t ClientID,
                                                int32_t AccountID, int32_t OpenTicket, double Lots,
                                                OperationTypeEnum BuySell, double Price,
                                                int32_t SymbolID, const std::string& TransTag) {
    (void)ClientID;
    (void)AccountID;
    const std::shared_ptr<CAccount> sel = SelectedAccount();
    if (!sel) return;
    // The close mark goes whatever the result.
    lastClosedPosition_ = Follow(sel->OpenPositions()).Item(KeyText(OpenTicket));
    if (lastClosedPosition_) lastClosedPosition_->setLiquidated(false);
    const SymbolView& view =
        ResultSymbolView(SelectedParam(SymbolID),
                         lastClosedPosition_ ? lastClosedPosition_->SymbolParam() : nullptr);
    const NewOrderResultEnum result = MapMarket({kBadConnection,
                                                 kMarketConditions,
                                                 {-12, PositionHasPendingOrders},
                                                 {-11, PositionIsPending},
                                                 {-10, PositionIsClosed},
                                                 kTradingClosed,
                                                 {-4, HedgingNotAllowed},
                                                 {-2, NotEnoughMoney}},
                                                Ret);
    CloseOrderResult(result, Price, PosOrOrder, Ret, BuySell, Lots, view, SysDate, OpenTicket,
                     TransTag);
}

// ---- Limit and SL/TP orders: a listed failure carries no order ID ----

void CAccountsManager::NewLimitOrderResultRecieved(int32_t Ret, const std::string& SysDate,
                                                   const std::string& TransTag) {
    const Mapped m = Map({kBadConnection, kMarketConditions, kTradingClosed}, Ret);
    NewLimitOrderResult(m.result, m.listed ? 0 : Ret, SysDate, TransTag);
}

void CAccountsManager::UpdateLimitOrderResultRecieved(int32_t Ret, const std::string& SysDate,
                                                      const std::string& TransTag) {
    const Mapped m = Map(
        {kBadConnection, kMarketConditions, kTradingClosed, {-2, NotFound}, {-1, NotFound}}, Ret);
    UpdateLimitOrderResult(m.result, m.listed ? 0 : Ret, SysDate, TransTag);
}

void CAccountsManager::NewSLTPOrderResultRecieved(int32_t Ret, const std::string& SysDate,
                                                  const std::string& TransTag) {
    const Mapped m = Map({kBadConnection,
                          kMarketConditions,
                          kTradingClosed,
                          {-3, PositionIsClosed},
                          {-2, InvalidAmount},
                          {-1, AllAmountAreManaged}},
                         Ret);
    NewSLTPOrderResult(m.result, m.listed ? 0 : Ret, SysDate, TransTag);
}

void CAccountsManager::UpdateSLTPOrderResultRecieved(int32_t Ret, const std::string& SysDate,
                                                     const std::string& TransTag) {
    const Mapped m = Map({kBadConnection,
                          kMarketConditions,
                          kTradingClosed,
                          {-4, NotFound},
                          {-3, UnableToDoOperation},
                          {-2, InvalidAmount},
                          {-1, NotFound}},
                         Ret);
    UpdateSLTPOrderResult(m.result, m.listed ? 0 : Ret, SysDate, TransTag);
}

void CAccountsManager::DeleteLimitOrderResultRecieved(const std::string& Ret,
                                                      const std::string& OrderIDs,
                                                      const std::string& TransTag) {
    NewOrderResultEnum result = NotFound;
    if (Contains(Ret, ',') || Ret == "1")
        result = DoneResult;
    else if (Ret == "-5")
        result = TradingIsClosed;
    DeleteLimitOrderResult(result, OrderIDs, TransTag);
}

void CAccountsManager::DeleteSLTPOrderResultRecieved(const std::string& Ret,
                                                     const std::string& OrderIDs,
                                                     const std::string& TransTag) {
    NewOrderResultEnum result = DoneResult;
    if (Contains(Ret, ','))
        result = DoneResult;
    else if (Ret == "-5")
        result = TradingIsClosed;
    else if (Ret == "-4" || Ret == "-3")
        result = NotFound;
    else if (Ret == "-2")
        result = UnableToDoOperation;
    DeleteSLTPOrderResult(result, OrderIDs, TransTag);
}

// ---- Dealer positions ----

void CAccountsManager::NewPosResultRecieved(const std::string& Ret, const std::string& SysDate) {
    (void)SysDate;
    NewOrderResultEnum result = DoneResult;
    if (!Contains(Ret, ',')) {
        if (Ret == "-2") result = NotEnoughMoney;
        if (Ret == "-5") result = TradingIsClosed;
    }
    NewPosResult(result);
}

void CAccountsManager::ClosePosResultRecieved(int32_t Ret, const std::string& SysDate,
                                              int32_t OpenTicket) {
    (void)SysDate;
    const Mapped m = Map({{0, InvalidAmount},
                          {-12, PositionIsPending},
                          {-10, PositionIsClosed},
                          kTradingClosed,
                          {-2, NotEnoughMoney}},
                         Ret);
    ClosePosResult(m.result, OpenTicket);
}

// ---- Answers that need nothing ----

void CAccountsManager::AcceptOrderResultRecieved(int32_t, int32_t, double, const std::string&,
                                                 OperationTypeEnum, double, int32_t,
                                                 const std::string&, int32_t, int32_t, int32_t) {}
void CAccountsManager::RejectOrderResultRecieved(int32_t) {}
void CAccountsManager::TimerExpiredResultRecieved(int32_t) {}

// ---- Order status ----

void CAccountsManager::OrderStatusChanged(int32_t ClientID, int32_t AccountID,
                                          OrbanelGeneral10::MarketOrLimitOrderEnum OrderType,
                                          int32_t OrderID, int16_t Status, int32_t OrIoID,
                                          int32_t OrCpIoID, const std::string& vTime,
                                          double NewBuyPrice, double NewSellPrice, double Lots,
                                          int32_t SymbolID, double OldBuyPrice, double OldSellPrice,
                                          OperationTypeEnum BuySell) {
    (void)ClientID;
    (void)vTime;
    const std::weak_ptr<char> alive = tradingLife_;
    try {
        ApplyOrderStatus(AccountID, OrderType, OrderID, Status, OrIoID, OrCpIoID, NewBuyPrice,
                         NewSellPrice, Lots, SymbolID, OldBuyPrice, OldSellPrice, BuySell);
    } catch (const runtime::Error& e) {
        if (alive.expired()) return;
        Log("error in OrderStatusChanged: " + e.Description() + " order " +
            std::to_string(OrderID));
    }
}

void CAccountsManager::ApplyOrderStatus(int32_t AccountID,
                                        OrbanelGeneral10::MarketOrLimitOrderEnum OrderType,
                                        int32_t OrderID, int16_t Status, int32_t OrIoID,
                                        int32_t OrCpIoID, double NewBuyPrice, double NewSellPrice,
                                        double Lots, int32_t SymbolID, double OldBuyPrice,
                                        double OldSellPrice, OperationTypeEnum BuySell) {
    using namespace OrbanelGeneral10;
    const std::shared_ptr<CAccount> sel = SelectedAccount();
    if (!sel) return;
    const std::shared_ptr<CClientParam> param = TradingParam(*sel, SymbolID);
    if (!param) return;
    const SymbolView& view = RefillSymbolView(param);
    if (AccountID != sel->AccountID()) return;
    const bool buy = BuySell == BuyType;
    const double newPrice = buy ? NewBuyPrice : NewSellPrice;
    const double oldPrice = buy ? OldBuyPrice : OldSellPrice;
    switch (OrderType) {
        case MarketOrderType:
            switch (Status) {
                case NewAccepted:
                case FutureNewAccepted:
                    MarketOrderAccepted(AccountID, OrderID, OrIoID, BuySell, Lots, view, newPrice,
                                        NewType, oldPrice);
                    return;
                case LiqAccepted:
                case FutureLiqAccepted:
                    MarketOrderAccepted(AccountID, OrderID, OrIoID, BuySell, Lots, view, newPrice,
                                        LiquidateType, oldPrice);
                    return;
                case NewBuyPriceChanged:
                case NewSellPriceChanged:
                case LiqBuyPriceChanged:
                case LiqSellPriceChanged:
                    StartRequote(AccountID, OrderID, OrCpIoID, Lots, BuySell, newPrice, oldPrice,
                                 param);
                    return;
                default:
                    MarketOrderRejected(OrderID, BuySell, Lots, view, newPrice, NewType);
                    return;
            }
        case LimitOrderType:
            if (Status == 5)
                LimitOrderAccepted(AccountID, OrderID, OrIoID, BuySell, Lots, view);
            else if (Status == -2)
                LimitOrderCanceledNoMoney(AccountID, OrderID, OrIoID, BuySell, Lots, view);
            else if (Status == -4)
                LimitOrderCanceledCannotHdg(AccountID, OrderID, OrIoID, BuySell, Lots, view);
            return;
        case SLOrderType:
            if (Status >= 1)
                SlTpOrderAccepted(AccountID, OrderID, OrIoID);
            else
                SlTpOrderCanceledNoMoney(AccountID, OrderID, OrIoID);
            return;
        default:
            return;
    }
}

// ---- Re-quote countdown ----

// A new price-changed status replaces the order's running countdown. The
// re-quote keeps a symbol view of its own, which later prices leave alone.
void CAccountsManager::StartRequote(int32_t AccountID, int32_t OrderID, int32_t OrCpIoID,
                                    double Lots, OperationTypeEnum BuySell, double newPrice,
                                    double oldPrice, const std::shared_ptr<CClientParam>& param) {
    const std::string key = KeyText(OrderID);
    requotes_.Remove(key);
    requotes_.Add(changePriceSeconds_, this, newPrice, oldPrice, AccountID, OrCpIoID, Lots, BuySell,
                  OwnSymbolView(param), OrderID);
}

void CAccountsManager::RaiseOrderTimer(const std::shared_ptr<CMOrder>& vOrder) {
    if (!vOrder) return;
    const std::weak_ptr<char> alive = tradingLife_;
    const int32_t id = vOrder->ID();
    try {
        OrderTimer(vOrder);
        if (alive.expired() || vOrder->CurrentTimer() >= 1) return;
        // Only the countdown still held answers: a handler may have answered it already.
        if (requotes_.Item(KeyText(id)) == vOrder) OrderTimerExpired(id);
    } catch (const runtime::Error& e) {
        if (alive.expired()) return;
        Log("error in OrderTimer: " + e.Description() + " order " + std::to_string(id));
    }
}

const std::shared_ptr<COSymbol>& CAccountsManager::RefillSymbolView(const ParamPtr& param) {
    CopySymbol(*symbolView_, param);
    return symbolView_;
}

std::shared_ptr<COSymbol> CAccountsManager::OwnSymbolView(const ParamPtr& param) {
    auto view = std::make_shared<COSymbol>();
    CopySymbol(*view, param);
    return view;
}

// A refused answer may name no symbol (0): the result names the one asked
// about, never the one priced last.
const std::shared_ptr<COSymbol>& CAccountsManager::ResultSymbolView(const ParamPtr& answered,
                                                                    const ParamPtr& asked) {
    if (!CopySymbol(*symbolView_, answered) && !CopySymbol(*symbolView_, asked))
        CopySymbol(*symbolView_, unknownParam_);
    return symbolView_;
}

CAccountsManager::ParamPtr CAccountsManager::AskedParam(const std::optional<Stamp>& stamp) const {
    if (!stamp) return nullptr;
    const AccountPtr account = engine_->Account(stamp->client, stamp->account);
    const auto client = account ? account->Client() : nullptr;
    return client ? client->SymbolParam(stamp->symbol) : nullptr;
}

bool CAccountsManager::ReportEndedRequotes(const Requotes& ended) {
    const std::weak_ptr<char> alive = tradingLife_;
    for (const auto& order : ended) {
        try {
            OrderTimer(order);
        } catch (const runtime::Error& e) {
            if (alive.expired()) return false;
            Log("error in OrderTimer: " + e.Description() + " order " +
                std::to_string(order->ID()));
        }
        if (alive.expired()) return false;
    }
    return true;
}

}  // namespace OrbanexClientAPI10
