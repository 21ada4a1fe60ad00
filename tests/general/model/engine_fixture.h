#pragma once
// A small desk for the engine tests: symbols built through the engine, clients
// with default parameters, accounts and positions, a fixed Wednesday-noon
// clock, and a listener that records every event the engine raises.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "general/common/CGenerals.h"
#include "general/model/CAccount.h"
#include "general/model/CAccountRef.h"
#include "general/model/CAccountRefs.h"
#include "general/model/CAccounts.h"
#include "general/model/CAccountsTransactions.h"
#include "general/model/CAlert.h"
#include "general/model/CClient.h"
#include "general/model/CClientParam.h"
#include "general/model/CClientParams.h"
#include "general/model/CClientRef.h"
#include "general/model/CClientRefs.h"
#include "general/model/CClients.h"
#include "general/model/CCurAccount.h"
#include "general/model/COpenPosition.h"
#include "general/model/COpenPositions.h"
#include "general/model/COrder.h"
#include "general/model/COrders.h"
#include "general/model/CSummaries.h"
#include "general/model/CSymbol.h"
#include "general/model/CSymbols.h"
#include "runtime/Clock.h"
#include "runtime/Date.h"
#include "runtime/Error.h"
#include "runtime/Event.h"

namespace enginefixture {

using namespace OrbanelGeneral10;
using runtime::Variant;

struct Summary {
    int32_t client = 0, account = 0;
    double balance = 0, flt = 0, credit = 0, equity = 0, marginReq = 0, marginLevel = 0,
           effMargin = 0;
    int32_t open = 0;
};

struct HitOrder {
    int32_t type = 0;
    std::shared_ptr<COrder> order;
    int32_t account = 0;
    bool second = false;
};

struct LiqPosition {
    int32_t client = 0, account = 0, ticket = 0, symbol = 0;
    double close = 0, ref = 0, lots = 0, effMargin = 0;
};

// Records every event in order (names), with the arguments of each kind.
struct Recorder {
    std::vector<std::string> names;
    std::vector<Summary> updates, created;
    std::vector<std::pair<int32_t, int32_t>> removed, liquidated;
    std::vector<HitOrder> hits;
    std::vector<std::shared_ptr<CAlert>> alerts;
    std::vector<LiqPosition> liqPositions;
    std::vector<std::string> logs;
    std::vector<std::vector<double>> parameters, posInterest, totInterest;
    bool answerDone = false;  // what the hit handler answers through Done
    // Run inside the handlers, after recording: the re-entrant cases.
    std::function<void(const HitOrder&)> onHit;
    std::function<void(const LiqPosition&)> onLiqPosition;
    std::function<void(const Summary&)> onUpdate;
    std::function<void(int32_t, int32_t)> onRemoved;

    void Attach(CAccountsTransactions& e) {
        auto summary = [](int32_t c, int32_t a, double b, double f, double cr, double eq, double mr,
                          double ml, double em,
                          int32_t n) { return Summary{c, a, b, f, cr, eq, mr, ml, em, n}; };
        links.emplace_back(e.SendLiquidateAccount.Connect([this](int32_t c, int32_t a) {
            names.push_back("SendLiquidateAccount");
            liquidated.emplace_back(c, a);
        }));
        links.emplace_back(e.NewAccountSummeriesData.Connect(
            [this, summary](int32_t c, int32_t a, double b, double f, double cr, double eq,
                            double mr, double ml, double em, int32_t n) {
                names.push_back("NewAccountSummeriesData");
                created.push_back(summary(c, a, b, f, cr, eq, mr, ml, em, n));
            }));
        links.emplace_back(e.UpdateListView.Connect(
            [this, summary](int32_t c, int32_t a, double b, double f, double cr, double eq,
                            double mr, double ml, double em, int32_t n) {
                names.push_back("UpdateListView");
                updates.push_back(summary(c, a, b, f, cr, eq, mr, ml, em, n));
                if (onUpdate) onUpdate(updates.back());
            }));
        links.emplace_back(e.DeleteFromListView.Connect([this](int32_t c, int32_t a) {
            names.push_back("DeleteFromListView");
            removed.emplace_back(c, a);
            if (onRemoved) onRemoved(c, a);
        }));
        links.emplace_back(e.RaiseHitOrder.Connect(
            [this](OrdersTypeEnum t, const std::shared_ptr<COrder>& o,
                   const std::shared_ptr<CAccount>& a, bool second, bool& done) {
                names.push_back("RaiseHitOrder");
                hits.push_back(HitOrder{t, o, a->AccountID(), second});
                done = answerDone;
                if (onHit) onHit(hits.back());
            }));
        links.emplace_back(e.RaiseHitAlert.Connect(
            [this](const std::shared_ptr<CAlert>& alert, const std::shared_ptr<CClient>&) {
                names.push_back("RaiseHitAlert");
                alerts.push_back(alert);
            }));
        links.emplace_back(
            e.SendLiqPosition.Connect([this](int32_t c, int32_t a, int32_t t, int32_t s, double cp,
                                             double rp, double l, double em) {
                names.push_back("SendLiqPosition");
                liqPositions.push_back(LiqPosition{c, a, t, s, cp, rp, l, em});
                if (onLiqPosition) onLiqPosition(liqPositions.back());
            }));
        links.emplace_back(
            e.ParametersChanged.Connect([this](int32_t n, CommCalcTypeEnum c, int16_t m) {
                names.push_back("ParametersChanged");
                parameters.push_back({double(n), double(c), double(m)});
            }));
        links.emplace_back(e.AddLogEntry.Connect([this](const std::string& msg, int16_t level) {
            names.push_back("AddLogEntry");
            logs.push_back(std::to_string(level) + ":" + msg);
        }));
        links.emplace_back(
            e.ChangePosInterest.Connect([this](int32_t c, int32_t a, int32_t t, double v) {
                names.push_back("ChangePosInterest");
                posInterest.push_back({double(c), double(a), double(t), v});
            }));
        links.emplace_back(e.ChangeTotInterest.Connect([this](int32_t c, int32_t a, double v) {
            names.push_back("ChangeTotInterest");
            totInterest.push_back({double(c), double(a), v});
        }));
    }

    void Clear() {
        names.clear();
        updates.clear();
        created.clear();
        removed.clear();
        liquidated.clear();
        hits.clear();
        alerts.clear();
        liqPositions.clear();
        logs.clear();
        parameters.clear();
        posInterest.clear();
        totInterest.clear();
    }

    std::vector<runtime::ScopedConnection> links;
};

// Wednesday 9 December 2026, noon: inside every weekly schedule used here.
inline runtime::Date Noon() {
    return runtime::DateTimeSerial(2026, 12, 9, 12, 0, 0);
}

// One session's model: symbol 1 is the account currency (fixed price 1),
// the others are quoted against it with four decimals and a contract of
// 100000.
struct Desk {
    explicit Desk(ExecutionModeEnum mode = CLIENT_SIDE_EXECUTION,
                  CommCalcTypeEnum comm = ON_OPEN_TYPE) {
        engine->InitializeNeededData(symbols, mode, comm, 1);
        AddSymbol(1, 1, 1);
        AddSymbol(2, 1.2000, 1.2002);
        AddSymbol(3, 1.5000, 1.5003);
        symbols->SetSymbolsRefSymbols();
        events.Attach(*engine);
    }

    std::shared_ptr<CSymbol> AddSymbol(int32_t id, double bid, double ask, bool closed = false) {
        auto s = engine->NewSymbol(SymbolArgs(id, bid, ask, closed));
        if (!s) throw runtime::Error(runtime::errc::ObjectVariableNotSet, "symbol not added");
        return s;
    }

    static CAccountsTransactions::NewSymbolArgs SymbolArgs(int32_t id, double bid, double ask,
                                                           bool closed = false) {
        CAccountsTransactions::NewSymbolArgs a;
        a.TickPips = Variant(0.0);
        a.RefCase = Variant(int16_t{1});
        a.PriceCase = Variant(int16_t{1});
        a.Factor = Variant(100000.0);
        a.LastQTime = Variant("09/12/2026 11:59:30");
        a.Bid = Variant(bid);
        a.Ask = Variant(ask);
        a.isUsed = true;
        a.RefSymbolID = Variant(int32_t{1});
        a.PipLocation = Variant(int16_t{-4});
        a.SymbolName = Variant("S" + std::to_string(id));
        a.ID = Variant(id);
        a.CloseDay = Variant("SATURDAY");
        a.CloseTime = Variant("00:00:00");
        a.OpenDay = Variant("SUNDAY");
        a.OpenTime = Variant("00:00:00");
        a.Closed = closed;
        return a;
    }

    std::shared_ptr<CSymbol> Symbol(int32_t id) const { return symbols->Item(std::to_string(id)); }

    std::shared_ptr<CClient> AddClient(int32_t id, Variant parent = runtime::Null,
                                       LiquidationTypeEnum liq = EQUITY_LIQUIDATION,
                                       double point = 0, bool interest = false) {
        CAccountsTransactions::NewClientArgs a;
        a.cl_no = Variant(id);
        a.theSpread = Variant("");
        a.ParentID = parent;
        a.vClientType = CLIENT_TYPE;
        a.vEnableInterest = interest;
        a.LiqType = liq;
        a.LiqPoint = point;
        a.FirstName = "C" + std::to_string(id);
        a.Username = "u" + std::to_string(id);
        a.ClientOrServer = 1;
        auto c = engine->AddNewClient(a);
        if (c) c->InitializeParams(symbols, 1);
        return c;
    }

    std::shared_ptr<CAccount> AddAccount(int32_t client, int32_t account, double deposit = 1000,
                                         bool loading = true) {
        CAccountsTransactions::NewAccountArgs a;
        a.cl_no = Variant(client);
        a.acc_no = Variant(account);
        a.accType = Variant(int32_t{NormalAccountType});
        a.demoAcc = Variant(int32_t{0});
        a.TotDep = Variant(deposit);
        a.Loading = loading;
        return engine->AddNewAccount(a);
    }

    std::shared_ptr<COpenPosition> AddPosition(int32_t client, int32_t account, int32_t ticket,
                                               int32_t symbol, double lots, double price,
                                               OperationTypeEnum side = BuyType,
                                               bool loading = true, double interest = 0) {
        return engine->AddNewOpenPosition(
            Variant(client), Variant(account), Variant(ticket), Variant(symbol), Variant(lots),
            Variant(price), Variant(int32_t{side}), Variant(interest), "09/12/2026", loading);
    }

    std::shared_ptr<COrder> AddOrder(int32_t client, int32_t account, int32_t id,
                                     OrdersTypeEnum type, OperationTypeEnum side, int32_t symbol,
                                     double limit, double sl = 0, double tp = 0, int16_t status = 0,
                                     int32_t ticket = 0) {
        CAccountsTransactions::NewOrderArgs a;
        a.cl_no = client;
        a.acc_no = account;
        a.OrderId = id;
        a.OrderType = type;
        a.operationType = side;
        a.IoID = ticket;
        a.lots = 1;
        a.cur_no = symbol;
        a.LimitPrice = limit;
        a.slPrice = sl;
        a.tpPrice = tp;
        a.Status = status;
        a.hitDate = Noon();
        a.OrderTime = "09/12/2026 10:00:00";
        return engine->AddNewOrder(a);
    }

    void Quote(int32_t symbol, double bid, double ask) {
        auto s = Symbol(symbol);
        s->setBid(bid);
        s->setAsk(ask);
        engine->DealWithChangedSymbolPrices(s);
    }

    runtime::ScopedClock clock{std::make_shared<runtime::FixedClock>(Noon())};
    std::shared_ptr<CSymbols> symbols = std::make_shared<CSymbols>();
    std::shared_ptr<CAccountsTransactions> engine = std::make_shared<CAccountsTransactions>();
    Recorder events;
};

// The error number a call raises, 0 when it raises none.
inline int32_t ErrorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const runtime::Error& e) {
        return e.Number();
    }
    return 0;
}

}  // namespace enginefixture
