// The public session object's handlers of its inner objects' events.
#include <bit>

#include "clientapi/dataclient/CClientServer.h"
#include "clientapi/dataclient/CDataClient.h"
#include "clientapi/facade/CAccountsManager.h"
#include "clientapi/facade/CMOrder.h"
#include "clientapi/facade/COrbanexClientAPI.h"
#include "clientapi/facade/CSymbolsManager.h"
#include "general/common/CLogFile.h"
#include "general/common/MGenerals.h"
#include "general/model/CAccountsTransactions.h"
#include "general/model/CClientParam.h"
#include "general/model/CSymbol.h"
#include "runtime/Convert.h"

namespace OrbanexClientAPI10 {

namespace og = OrbanelGeneral10;

namespace {
constexpr const char* kNoAccountText = "Could not login without any account";
}

template <class... A>
void COrbanexClientAPI::Relay(runtime::Event<A...>& from, runtime::Event<A...>& to) {
    connections_.emplace_back(from.Connect([&to](A... args) { to(args...); }));
}

template <class... A, class F>
void COrbanexClientAPI::Handle(runtime::Event<A...>& from, F handler) {
    // The inner objects outlive the call even when the host releases us inside
    // an event it raises: they go on after raising.
    connections_.emplace_back(from.Connect([this, handler = std::move(handler)](A... args) {
        const auto manager = m_oAccountsManager;
        const auto symbols = m_oSymbolsManager;
        handler(args...);
    }));
}

// ---- Wiring ----

void COrbanexClientAPI::ConnectSymbolsManager() {
    CSymbolsManager& s = *m_oSymbolsManager;
    Handle(s.SymbolHighLowChanged, [this](const auto& symbol) { OnSymbolHighLowChanged(symbol); });
    Handle(s.DealWithChangedSymbolPrices,
           [this](const auto& symbol) { m_oAccountsManager->DealWithChangedSymbolPrices(symbol); });
}

void COrbanexClientAPI::ConnectAccountsManager() {
    CAccountsManager& m = *m_oAccountsManager;
    Handle(m.SummariesChanged, [this](double b, double f, double c, double e, double mr, double ml,
                                      double em) { OnSummariesChanged(b, f, c, e, mr, ml, em); });
    Relay(m.PosFloatingPLChanged, PosFloatingPLChanged);
    Relay(m.DeleteOpenPosition, DeleteOpenPosition);
    Relay(m.UpdateOpenPosition, UpdateOpenPosition);
    Relay(m.NewOpenPosition, NewOpenPosition);
    Relay(m.NewPendingOrder, NewPendingOrder);
    Relay(m.DeletePendingOrder, DeletePendingOrder);
    Relay(m.SymbolPricesChanged, SymbolPricesChanged);
    Relay(m.NewOrderResult, NewOrderResult);
    Handle(m.CloseOrderResult,
           [this](NewOrderResultEnum r, double at, int16_t pos, int32_t id, OperationType side,
                  double lots, const SymbolView& symbol, const std::string& time, int32_t ticket,
                  const std::string& tag) {
               OnCloseOrderResult(r, at, pos, id, side, lots, symbol, time, ticket, tag);
           });
    Relay(m.NewLimitOrderResult, NewLimitOrderResult);
    Relay(m.UpdateLimitOrderResult, UpdateLimitOrderResult);
    Relay(m.NewSLTPOrderResult, NewSLTPOrderResult);
    Relay(m.UpdateSLTPOrderResult, UpdateSLTPOrderResult);
    Relay(m.DeleteLimitOrderResult, DeleteLimitOrderResult);
    Relay(m.DeleteSLTPOrderResult, DeleteSLTPOrderResult);
    Relay(m.MarketOrderAccepted, MarketOrderAccepted);
    Relay(m.MarketOrderRejected, MarketOrderRejected);
    Handle(m.OrderTimer, [this](const std::shared_ptr<CMOrder>& order) { OnOrderTimer(order); });
    Relay(m.LimitOrderAccepted, LimitOrderAccepted);
    Relay(m.LimitOrderCanceledNoMoney, LimitOrderCanceledNoMoney);
    Relay(m.LimitOrderCanceledCannotHdg, LimitOrderCanceledCannotHdg);
    Relay(m.SlTpOrderAccepted, SlTpOrderAccepted);
    Relay(m.SlTpOrderCanceledNoMoney, SlTpOrderCanceledNoMoney);
}

void COrbanexClientAPI::ConnectDataClient() {
    CDataClient& c = *m_oClient;
    Handle(c.ReceivePrices,
           [this](const std::string& p) { m_oSymbolsManager->MarketDataReceived(p); });
    Relay(c.ServerTime, ServerTime);
    Handle(c.ReceiveHighLowPrices,
           [this](const std::string& p) { m_oSymbolsManager->HighLowDataReceived(p); });
    Relay(c.SessionDisconnected, SessionDisconnected);
    Relay(c.InvalidUsernamePassword, InvalidUsernamePassword);
    Handle(c.State, [this](bool connected) { OnState(connected); });
    Relay(c.WaitingMode, WaitingMode);
    ConnectLoading();
    ConnectPushes();
    ConnectResults();
    Relay(c.DisconnectNoHandshakeMsg, DisconnectNoHandshakeMsg);
    Relay(c.ServerRouted, ServerRouted);
}

void COrbanexClientAPI::ConnectLoading() {
    CDataClient& c = *m_oClient;
    Handle(c.SymbolsRecieved, [this](bool none, const Table& data, int32_t results, int16_t n) {
        std::weak_ptr<char> alive = life_;
        m_oAccountsManager->SymbolsRecieved(none, data, results, n);
        if (Alive(alive)) symbolsLoaded_ = true;
    });
    Handle(c.AccountsRecieved, [this](bool none, const Table& data, int32_t results, int16_t n) {
        OnAccountsRecieved(none, data, results, n);
    });
    Handle(c.ClientsRecieved, [this](bool none, const Table& data, int32_t results, int16_t n) {
        m_oAccountsManager->ClientsRecieved(none, data, results, n);
    });
    Handle(c.PrivsRecieved, [this](const std::string& privs, int32_t) {
        m_oAccountsManager->PrivsRecieved(privs, m_oClient->LoginUser(), "CLIENT");
    });
    Handle(c.SummariesResultReceived, [this](int16_t r, double comm, double interest, double mr,
                                             double np, double dep, double cr, double prv) {
        m_oAccountsManager->SummariesResultReceived(r, comm, interest, mr, np, dep, cr, prv);
    });
    Handle(c.OpenPositionsRecieved, [this](bool none, const Table& data, int32_t, int16_t) {
        // Loading raises the manager's events first; the host may release us there.
        std::weak_ptr<char> alive = life_;
        m_oAccountsManager->OpenPositionsReceived(none, data);
        if (Alive(alive)) OpenPositionsLoaded();
    });
    Handle(c.AccountHistoryRecieved, [this](bool none, const Table& data, int32_t, int16_t) {
        std::weak_ptr<char> alive = life_;
        const auto rows = m_oAccountsManager->AccountHistoryReceived(none, data);
        if (Alive(alive)) AccountHistoryReceived(rows);
    });
    Handle(c.PendingOrdersRecieved, [this](bool none, const Table& data, int32_t, int16_t) {
        std::weak_ptr<char> alive = life_;
        m_oAccountsManager->PendingOrdersReceived(none, data);
        if (Alive(alive)) PendingOrdersLoaded();
    });
    Handle(c.CompDataReceived, [this](int32_t ret, int32_t client, int32_t account, double margin,
                                      const std::string& date, bool checked, bool liquidated,
                                      const std::string& params) {
        m_oAccountsManager->CompDataResultReceived(ret, client, account, margin, date, checked,
                                                   liquidated, params);
    });
    Relay(c.OpenDemoAccountResultRecieved, OpenDemoAccountResultRecieved);
    Handle(c.VariablesRecieved,
           [this](const std::string& globals, const std::string& tick, const std::string& versions,
                  double gmt, int16_t step, int32_t firstWL, bool readOnly) {
               OnVariablesRecieved(globals, tick, versions, gmt, step, firstWL, readOnly);
           });
}

void COrbanexClientAPI::ConnectPushes() {
    CDataClient& c = *m_oClient;
    CAccountsManager* m = m_oAccountsManager.get();
    // Positions and orders need the symbol list to be read.
    Handle(c.NewOpenPosMsg, [this, m](int32_t client, int32_t account, const std::string& row) {
        if (symbolsLoaded_) m->NewOpenPosMsg(client, account, row);
    });
    Handle(c.DeleteOpenPosMsg, [m](int32_t client, int32_t account, int32_t ticket,
                                   const std::string& row, const std::string& closes) {
        m->DeleteOpenPosMsg(client, account, ticket, row, closes);
    });
    Handle(c.UpdateOpenPosMsg,
           [m](int32_t client, int32_t account, int32_t ticket, const std::string& oldRow,
               const std::string& newRow, const std::string& closes) {
               m->UpdateOpenPosMsg(client, account, ticket, oldRow, newRow, closes);
           });
    Handle(c.DeleteClosePosMsg,
           [m](int32_t client, int32_t account, int32_t ticket, int32_t openTicket,
               const std::string& row, const std::string& openRow) {
               m->DeleteClosePosMsg(client, account, ticket, openTicket, row, openRow);
           });
    Handle(c.CloseOpenPosMsg, [m](int32_t client, int32_t account, int32_t ticket,
                                  int32_t openTicket, const std::string& openRow,
                                  const std::string& hisOpen, const std::string& hisClose) {
        m->CloseOpenPosMsg(client, account, ticket, openTicket, openRow, hisOpen, hisClose);
    });
    Handle(c.NewPendingOrderMsg,
           [this, m](int32_t client, int32_t account, const std::string& row) {
               if (symbolsLoaded_) m->NewPendingOrderMsg(client, account, row);
           });
    Handle(c.DeletePendingOrderMsg, [this, m](int32_t client, int32_t account, int32_t id) {
        if (symbolsLoaded_) m->DeletePendingOrderMsg(client, account, id);
    });
    Handle(c.ClientParametersChanged, [m](int32_t client, const std::string& pars) {
        m->AccountsTransactions()->ClientParametersChanged(client, pars, 1);
    });
    Handle(c.SummariesMsg, [m](int32_t client, int32_t account, double comm, double interest,
                               double marginReq, double netProfit, double dep, double cr,
                               double prv, bool lockLiquidation) {
        m->AccountsTransactions()->UpdateAccountSummaries(
            client, account, comm, marginReq, netProfit, dep, cr, prv, lockLiquidation, interest);
    });
}

void COrbanexClientAPI::ConnectResults() {
    CDataClient& c = *m_oClient;
    CAccountsManager* m = m_oAccountsManager.get();
    Handle(c.NewOrderResultRecieved,
           [m](int32_t ret, int16_t posOrOrder, const std::string& date, double lots,
               OperationType side, double price, int32_t symbol, const std::string& tag) {
               m->NewOrderResultRecieved(ret, posOrOrder, date, lots, side, price, symbol, tag);
           });
    Handle(c.OrderStatusChanged,
           [m](int32_t client, int32_t account, int32_t type, int32_t id, int16_t status,
               int32_t orIo, int32_t orCpIo, const std::string& time, double newBuy, double newSell,
               double lots, int32_t symbol, double oldBuy, double oldSell, OperationType side) {
               m->OrderStatusChanged(client, account, static_cast<og::MarketOrLimitOrderEnum>(type),
                                     id, status, orIo, orCpIo, time, newBuy, newSell, lots, symbol,
                                     oldBuy, oldSell, side);
           });
    Handle(c.AcceptOrderResultRecieved,
           [m](int32_t id, int32_t ticket, double price, const std::string& time,
               OperationType side, double lots, int32_t symbol, const std::string& opOrCp,
               int32_t openTicket, int32_t client, int32_t account) {
               m->AcceptOrderResultRecieved(id, ticket, price, time, side, lots, symbol, opOrCp,
                                            openTicket, client, account);
           });
    Handle(c.TimerExpiredResultRecieved, [m](int32_t id) { m->TimerExpiredResultRecieved(id); });
    Handle(c.CloseOrderResultRecieved,
           [m](int32_t ret, int16_t posOrOrder, const std::string& date, int32_t client,
               int32_t account, int32_t openTicket, double lots, OperationType side, double price,
               int32_t symbol, const std::string& tag) {
               m->CloseOrderResultRecieved(ret, posOrOrder, date, client, account, openTicket, lots,
                                           side, price, symbol, tag);
           });
    Handle(c.NewLimitOrderResultRecieved,
           [m](int32_t ret, const std::string& date, const std::string& tag) {
               m->NewLimitOrderResultRecieved(ret, date, tag);
           });
    Handle(c.UpdateLimitOrderResultRecieved,
           [m](int32_t ret, const std::string& date, const std::string& tag) {
               m->UpdateLimitOrderResultRecieved(ret, date, tag);
           });
    Handle(c.DeleteLimitOrderResultRecieved,
           [m](const std::string& ret, const std::string& ids, const std::string& tag) {
               m->DeleteLimitOrderResultRecieved(ret, ids, tag);
           });
    Handle(c.NewSLTPOrderResultRecieved,
           [m](int32_t ret, const std::string& date, const std::string& tag) {
               m->NewSLTPOrderResultRecieved(ret, date, tag);
           });
    Handle(c.UpdateSLTPOrderResultRecieved,
           [m](int32_t ret, const std::string& date, const std::string& tag) {
               m->UpdateSLTPOrderResultRecieved(ret, date, tag);
           });
    Handle(c.DeleteSLTPOrderResultRecieved,
           [m](const std::string& ret, const std::string& ids, const std::string& tag) {
               m->DeleteSLTPOrderResultRecieved(ret, ids, tag);
           });
}

// ---- Handlers ----

void COrbanexClientAPI::OnState(bool IsConnected) {
    if (IsConnected) {
        CClientServer& requests = *m_oClient->ClientServer();
        requests.GetVariables(m_oClient->LoginType(), m_oClient->LoginUser());
        requests.GetPrivs(m_oClient->LoginUser(), "CLIENT");
    } else {
        // The re-quotes that end here are told to the host, who may release us.
        std::weak_ptr<char> alive = life_;
        m_oAccountsManager->Reset();
        if (!Alive(alive)) return;
    }
    ConnectionState(IsConnected);
}

void COrbanexClientAPI::OnAccountsRecieved(bool NoRows, const Table& DataArray, int32_t Results,
                                           int16_t Parameters) {
    std::weak_ptr<char> alive = life_;
    // An account list that is empty, or whose every row was refused, ends the login for good.
    if (Results == 0 ||
        m_oAccountsManager->AccountsRecieved(NoRows, DataArray, Results, Parameters) == 0) {
        if (!Alive(alive)) return;
        Disconnect();
        og::ShowMessage(kNoAccountText);
        return;
    }
    if (!Alive(alive)) return;
    SymbolsLoaded();
    if (!Alive(alive)) return;
    AllDataAreLoaded();
}

void COrbanexClientAPI::OnSummariesChanged(double Balance, double FltPL, double Credit,
                                           double Equity, double marginReq, double MarginLevel,
                                           double EffMargin) {
    SummariesChanged(RoundedSummary(0, Balance, 2), RoundedSummary(1, FltPL, 2),
                     RoundedSummary(2, Credit, 2), RoundedSummary(3, Equity, 2),
                     RoundedSummary(4, marginReq, 2), RoundedSummary(5, MarginLevel, 4),
                     RoundedSummary(6, EffMargin, 2));
}

double COrbanexClientAPI::RoundedSummary(size_t slot, double value, int32_t decimals) {
    Rounded& r = roundedSummaries_[slot];
    const auto bits = std::bit_cast<uint64_t>(value);
    if (!r.valid || r.bits != bits) {
        r.rounded = runtime::RoundHalfEven(value, decimals);
        r.bits = bits;
        r.valid = true;
    }
    return r.rounded;
}

void COrbanexClientAPI::OnOrderTimer(const std::shared_ptr<CMOrder>& vOrder) {
    const CMOrder& o = *vOrder;
    OrderTimer(o.ID(), o.AccountID(), o.BuySell(), o.Lots(), o.Symbol(), o.OldPrice(), o.NewPrice(),
               o.OpenTicket(), o.CurrentTimer(), o.AllTimerSeconds());
}

void COrbanexClientAPI::OnCloseOrderResult(NewOrderResultEnum Result, double AtPrice,
                                           int16_t PosOrOrder, int32_t OrderID,
                                           OperationType BuySell, double Lots,
                                           const SymbolView& Symbol, const std::string& ServerTime,
                                           int32_t OpenTicket, const std::string& TransTag) {
    const std::string symbolId = Symbol ? std::to_string(Symbol->ID()) : std::string();
    const std::string entry = std::to_string(Result) + " , " + runtime::NumberToText(AtPrice) +
                              " , " + std::to_string(PosOrOrder) + " , " + std::to_string(OrderID) +
                              " , " + std::to_string(BuySell) + " , " +
                              runtime::NumberToText(Lots) + " , " + symbolId + " , " + ServerTime +
                              " , " + std::to_string(OpenTicket) + " , " + TransTag;
    if (log_) log_->AddEntry(entry, 1);
    std::weak_ptr<char> alive = life_;
    CloseOrderResult(Result, AtPrice, PosOrOrder, OrderID, BuySell, Lots, Symbol, ServerTime,
                     OpenTicket, TransTag);
    if (!Alive(alive)) return;
    if (log_) log_->AddEntry("After raising", 1);
}

void COrbanexClientAPI::OnSymbolHighLowChanged(
    const std::shared_ptr<OrbanelGeneral10::CSymbol>& Symbol) {
    const auto param = std::dynamic_pointer_cast<og::CClientParam>(Symbol->Ref3());
    if (m_oAccountsManager->CopySymbol(*symbolView_, param)) SymbolHighLowChanged(symbolView_);
}

void COrbanexClientAPI::OnVariablesRecieved(const std::string& Globals,
                                            const std::string& LastTickTime,
                                            const std::string& Versions, double vGMTOffset,
                                            int16_t GWPricesStep, int32_t FirstWL,
                                            bool ReadOnlyLogin) {
    m_oAccountsManager->VariablesRecieved(globalVar_, Globals, LastTickTime, Versions, Release(),
                                          Version(), Patch(), vGMTOffset, GWPricesStep, FirstWL,
                                          ReadOnlyLogin);
}

}  // namespace OrbanexClientAPI10
