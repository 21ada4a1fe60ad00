// The public session object end to end on loopback against the simulated
// trading server in the same process: login road, market orders with and
// without re-quotes, drops, closes, entry orders, refused logins and a host
// that switches accounts. Every wait is bounded; where a re-quote counts
// down, the client's timers run on virtual time (the server's stay real).
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "clientapi/facade/COrbanexClientAPI.h"
#include "clientapi/facade/CSymbolsManager.h"
#include "general/common/CGenerals.h"
#include "general/common/Enums.h"
#include "general/common/MGenerals.h"
#include "platform/EventLoop.h"
#include "platform/Timer.h"
#include "runtime/Convert.h"
#include "simserver/Server.h"
#include "tests/support/DataClientProbe.h"
#include "tests/support/TempProgramFolder.h"
#include "tests/support/clientapi/ClientAPIAccess.h"

namespace {

namespace api = OrbanexClientAPI10;
namespace og = OrbanelGeneral10;
using api::COrbanexClientAPI;
using Names = std::vector<std::string>;
using simserver::AnswerMode;

constexpr int32_t kWaitMs = 5000;
constexpr int32_t kRequoteSeconds = 3;

std::string Num(double x) {
    return runtime::NumberToText(x);
}

// Book entries with what a scenario sets; the rest as the book has it.
simserver::Symbol Sym(int32_t id, const std::string& name, double bid, double ask) {
    simserver::Symbol s;
    s.id = id;
    s.name = name;
    s.bid = bid;
    s.ask = ask;
    s.high = ask + 0.005;
    s.low = bid - 0.005;
    return s;
}

void AddUser(simserver::Book& b, int32_t clientId, const std::string& name,
             const std::string& password) {
    simserver::Client c;
    c.id = clientId;
    c.firstName = name;
    c.userName = name;
    b.AddClient(c);
    simserver::User u;
    u.name = name;
    u.password = password;
    u.clientId = clientId;
    b.AddUser(u);
}

simserver::Account& AddAccount(simserver::Book& b, int32_t id, int32_t clientId, double deposit) {
    simserver::Account a;
    a.id = id;
    a.clientId = clientId;
    a.figures.totDep = deposit;
    b.AddAccount(a);
    return *b.FindAccount(id);
}

void AddPosition(simserver::Book& b, int32_t ticket, const simserver::Account& a, int32_t side,
                 double lots, int32_t symbol, double price) {
    simserver::Position p;
    p.ticket = ticket;
    p.clientId = a.clientId;
    p.accountId = a.id;
    p.time = "01/12/2026 09:00:00";
    p.side = side;
    p.lots = lots;
    p.symbolId = symbol;
    p.price = price;
    b.AddPosition(p);
}

void AddOrder(simserver::Book& b, int32_t id, const simserver::Account& a, int32_t side,
              int32_t symbol, double price) {
    simserver::Order o;
    o.id = id;
    o.clientId = a.clientId;
    o.accountId = a.id;
    o.time = "01/12/2026 09:00:00";
    o.side = side;
    o.lots = 1;
    o.symbolId = symbol;
    o.price = price;
    b.AddOrder(o);
}

// The test's book. ANN (client 101, account 70): a buy of 1 EURUSD (ticket
// 1001), a sell of 0.2 GBPUSD (1002), a sell limit (5001). BEN (102, 80):
// re-quotes, one position (1003). CARL (103, accounts 90 to 92): one
// position and one order each. DAN (104): no account.
simserver::Book TestBook() {
    simserver::Book b;
    b.handshakeMs = 3000;
    b.serverGmt = 3;
    simserver::Symbol usd = Sym(1, "USD", 1, 1);
    usd.used = false;
    usd.contractSize = 1;
    b.AddSymbol(usd);
    b.AddSymbol(Sym(2, "EURUSD", 1.085, 1.0852));
    b.AddSymbol(Sym(3, "GBPUSD", 1.26, 1.2603));

    AddUser(b, 101, "ANN", "PW1");
    b.FindClient(101)->params[2].spread = 3;
    b.FindClient(101)->params[2].minLots = 0.01;
    AddUser(b, 102, "BEN", "PW2");
    AddUser(b, 103, "CARL", "PW3");
    AddUser(b, 104, "DAN", "PW4");

    simserver::Account& ann = AddAccount(b, 70, 101, 10000);
    ann.figures = {-12, -3, -400, 250, 10000, 500, 5};
    AddPosition(b, 1001, ann, 1, 1, 2, 1.08);
    AddPosition(b, 1002, ann, -1, 0.2, 3, 1.26);
    AddOrder(b, 5001, ann, -1, 2, 1.1);
    AddAccount(b, 80, 102, 5000).mode = AnswerMode::Requoting(kRequoteSeconds);
    AddPosition(b, 1003, *b.FindAccount(80), 1, 1, 2, 1.08);
    for (int32_t i = 0; i < 3; ++i) {
        const simserver::Account& a = AddAccount(b, 90 + i, 103, 1000.0 * (i + 1));
        AddPosition(b, 2001 + i, a, 1, 1, 2, 1.08);
        AddOrder(b, 6001 + i, a, 1, 2, 1.07);
    }
    b.nextTicket = 3001;
    b.nextOrderId = 7001;
    return b;
}

// One host: the server, the object (its timers on virtual time when asked)
// and an ordered log of the events a scenario reads.
class Host {
public:
    explicit Host(bool virtualTime = false) : server_(TestBook()) {
        // The client's timers are made with the object, inside the scope.
        if (virtualTime) time_ = std::make_unique<platform::ScopedVirtualTime>();
        server_.Listen("127.0.0.1", 0);
        api_ = std::make_unique<COrbanexClientAPI>();
        og::SetMessageNotifier([this](const std::string& t) { messages.push_back(t); });
        Record();
    }
    ~Host() {
        og::SetMessageNotifier(nullptr);
        links.clear();
        api_.reset();
    }

    COrbanexClientAPI& api() { return *api_; }
    bool Released() const { return !api_; }
    void Release() { api_.reset(); }
    simserver::Server& server() { return server_; }
    simserver::Book& book() { return server_.book(); }
    size_t Advance(int64_t ms) { return time_->Advance(ms); }

    void Login(const std::string& user, const std::string& password) {
        api_->SetLoginInfo(user, password, "127.0.0.1", server_.Port());
        api_->Login();
    }
    bool Wait(const std::function<bool()>& done) {
        return platform::EventLoop::RunUntil(done, kWaitMs);
    }
    bool WaitFor(const std::string& event) {
        return Wait([&] { return Has(event); });
    }
    bool Has(const std::string& prefix) const {
        return std::any_of(events.begin(), events.end(),
                           [&](const std::string& e) { return e.rfind(prefix, 0) == 0; });
    }
    size_t Count(const std::string& prefix) const {
        return std::count_if(events.begin(), events.end(),
                             [&](const std::string& e) { return e.rfind(prefix, 0) == 0; });
    }
    // The recorded events that begin with one of the prefixes, in order.
    Names Only(const Names& prefixes) const {
        Names out;
        for (const auto& e : events)
            for (const auto& p : prefixes)
                if (e.rfind(p, 0) == 0) {
                    out.push_back(e);
                    break;
                }
        return out;
    }
    // The logged requests' tokens (a token's parameters when asked), login and
    // handshakes aside.
    Names Requests(const std::vector<int32_t>& withParams = {}) const {
        Names out;
        for (const auto& r : server_.book().log) {
            if (r.token == 0 || r.token == og::CONNECT_HANDCHAKE_TOKEN || r.token < 16) continue;
            std::string line = std::to_string(r.token);
            if (std::find(withParams.begin(), withParams.end(), r.token) != withParams.end()) {
                line += "[";
                for (size_t i = 0; i < r.params.size(); ++i) line += (i ? "|" : "") + r.params[i];
                line += "]";
            }
            out.push_back(line);
        }
        return out;
    }
    size_t Sent(int32_t token) const { return server_.book().Requests(token).size(); }
    std::vector<std::string> Params(int32_t token, size_t index = 0) const {
        const auto list = server_.book().Requests(token);
        return index < list.size() ? list[index].params : std::vector<std::string>{};
    }
    // Waits until the road of a login has run: both lists of the selected account.
    bool Loaded(size_t times = 1) {
        return Wait([&] { return Count("PendingOrdersLoaded") >= times; });
    }

    Names events;
    Names messages;
    std::vector<runtime::ScopedConnection> links;
    std::function<void()> onAllDataLoaded;

private:
    void Record();

    testsupport::TempProgramFolder folder_{"e2e"};
    std::unique_ptr<platform::ScopedVirtualTime> time_;
    simserver::Server server_;
    std::unique_ptr<COrbanexClientAPI> api_;
};

void Host::Record() {
    COrbanexClientAPI& a = *api_;
    auto add = [this](std::string e) { events.push_back(std::move(e)); };
    auto plain = [add](const char* name) { return [add, name] { add(name); }; };
    links.emplace_back(a.ConnectionState.Connect(
        [add](bool up) { add(up ? "ConnectionState(true)" : "ConnectionState(false)"); }));
    links.emplace_back(a.SymbolsLoaded.Connect(plain("SymbolsLoaded")));
    links.emplace_back(a.AllDataAreLoaded.Connect([this, add] {
        add("AllDataAreLoaded");
        if (onAllDataLoaded) onAllDataLoaded();
    }));
    links.emplace_back(a.OpenPositionsLoaded.Connect(plain("OpenPositionsLoaded")));
    links.emplace_back(a.PendingOrdersLoaded.Connect(plain("PendingOrdersLoaded")));
    links.emplace_back(
        a.SummariesChanged.Connect([add](double b, double, double, double, double, double, double) {
            add("SummariesChanged " + Num(b));
        }));
    auto pos = [add](const char* name) {
        return [add, name](const COrbanexClientAPI::PositionView& p) {
            add(std::string(name) + " " + std::to_string(p->Ticket()) + " " + Num(p->Lots()));
        };
    };
    links.emplace_back(a.NewOpenPosition.Connect(pos("NewOpenPosition")));
    links.emplace_back(a.UpdateOpenPosition.Connect(pos("UpdateOpenPosition")));
    links.emplace_back(a.DeleteOpenPosition.Connect(pos("DeleteOpenPosition")));
    links.emplace_back(
        a.PosFloatingPLChanged.Connect([add](const COrbanexClientAPI::PositionView& p) {
            add("PosFloatingPLChanged " + std::to_string(p->Ticket()));
        }));
    auto order = [add](const char* name) {
        return [add, name](const COrbanexClientAPI::OrderView& o) {
            add(std::string(name) + " " + std::to_string(o->OrderID()));
        };
    };
    links.emplace_back(a.NewPendingOrder.Connect(order("NewPendingOrder")));
    links.emplace_back(a.DeletePendingOrder.Connect(order("DeletePendingOrder")));
    links.emplace_back(a.SymbolPricesChanged.Connect([add](const COrbanexClientAPI::SymbolView& s) {
        add("SymbolPricesChanged " + std::to_string(s->ID()) + " " + Num(s->Bid()));
    }));
    links.emplace_back(a.NewOrderResult.Connect(
        [add](api::NewOrderResultEnum r, double, int16_t, int32_t id, og::OperationTypeEnum, double,
              const auto&, const std::string&, const std::string& tag) {
            add("NewOrderResult " + std::to_string(r) + " " + std::to_string(id) + " " + tag);
        }));
    links.emplace_back(a.MarketOrderAccepted.Connect(
        [add](int32_t account, int32_t id, int32_t ticket, og::OperationTypeEnum, double lots,
              const auto&, double price, og::NewOrLiquidateEnum, double) {
            add("MarketOrderAccepted " + std::to_string(account) + " " + std::to_string(id) + " " +
                std::to_string(ticket) + " " + Num(lots) + " " + Num(price));
        }));
    links.emplace_back(a.OrderTimer.Connect(
        [add](int32_t id, int32_t account, og::OperationTypeEnum, double, const auto&, double,
              double newPrice, int32_t, int16_t current, int16_t all) {
            add("OrderTimer " + std::to_string(id) + " " + std::to_string(account) + " " +
                Num(newPrice) + " " + std::to_string(current) + "/" + std::to_string(all));
        }));
    links.emplace_back(a.CloseOrderResult.Connect(
        [add](api::NewOrderResultEnum r, double, int16_t, int32_t, og::OperationTypeEnum, double,
              const auto&, const std::string&, int32_t openTicket, const std::string& tag) {
            add("CloseOrderResult " + std::to_string(r) + " " + std::to_string(openTicket) + " " +
                tag);
        }));
    links.emplace_back(a.NewLimitOrderResult.Connect(
        [add](api::NewOrderResultEnum r, int32_t id, const std::string&, const std::string& tag) {
            add("NewLimitOrderResult " + std::to_string(r) + " " + std::to_string(id) + " " + tag);
        }));
    links.emplace_back(a.DeleteLimitOrderResult.Connect(
        [add](api::NewOrderResultEnum r, const std::string& ids, const std::string& tag) {
            add("DeleteLimitOrderResult " + std::to_string(r) + " " + ids + " " + tag);
        }));
}

// S1: the login road in order, its requests, and the views it leaves.
TEST(EndToEnd, LoginRoadLoadsTheFirstAccount) {
    Host h;
    h.Login("ANN", "PW1");
    ASSERT_TRUE(h.Loaded());
    EXPECT_EQ(h.Only({"ConnectionState", "SymbolsLoaded", "AllDataAreLoaded", "OpenPositionsLoaded",
                      "PendingOrdersLoaded"}),
              (Names{"ConnectionState(true)", "SymbolsLoaded", "AllDataAreLoaded",
                     "OpenPositionsLoaded", "PendingOrdersLoaded"}));
    EXPECT_EQ(h.Requests({306, 132}), (Names{"306[CLIENTAPI|77]", "132[77|CLIENT]", "104", "313",
                                             "314", "103", "224", "106", "102", "111"}));

    COrbanexClientAPI& a = h.api();
    EXPECT_TRUE(a.LogedOn());
    EXPECT_EQ(a.ServerGMTOffset(), 3);
    auto eur = a.SymbolByID(2);
    ASSERT_NE(eur, nullptr);
    EXPECT_LT(eur->Bid(), eur->Ask());
    EXPECT_EQ(a.MinimumAmount(2), 0.01);
    EXPECT_EQ(a.Spread(2).ToDouble(), 3);
    EXPECT_EQ(a.SymbolByID(1), nullptr);  // unused: no lookup
    EXPECT_EQ(a.OpenPositionsCount(), 2);
    EXPECT_EQ(a.OpenPositionByTicket(1001)->BuySell(), og::BuyType);
    EXPECT_EQ(a.OpenPositionByTicket(1002)->BuySell(), og::SellType);
    auto limit = a.OrderByID(5001);
    ASSERT_NE(limit, nullptr);
    EXPECT_EQ(limit->OrderType(), og::LimitOrdersType);
    EXPECT_EQ(limit->BuySell(), og::SellType);
    double balance = 0, fltPL = 0, credit = 0, equity = 0, marginReq = 0, level = 0, eff = 0;
    ASSERT_EQ(a.AccountSummaries(70, balance, fltPL, credit, equity, marginReq, level, eff),
              api::SuccessResult);
    EXPECT_EQ((std::vector<double>{balance, credit, marginReq}),
              (std::vector<double>{10240, 500, -400}));
}

// S2: a market order accepted at once, then a quote and a summary push.
TEST(EndToEnd, MarketOrderOpensAPositionThatFollowsTheQuotes) {
    Host h;
    h.Login("ANN", "PW1");
    ASSERT_TRUE(h.Loaded());
    h.events.clear();
    ASSERT_EQ(h.api().NewMarketOrder(og::BuyType, 2, 1, "s2", "note"), api::SuccessResult);
    ASSERT_TRUE(h.WaitFor("SummariesChanged"));
    const auto order = h.Params(og::NEW_ORDER_TOKEN);
    ASSERT_GE(order.size(), 11u);
    // The mid 1.0851 and half the client's 3 pips; the effective margin: balance
    // 10240, credit 500, floating 500 (1001 at 1.0850) - 4 (1002 at 1.2602), requirement -400.
    EXPECT_EQ((Names{order[1], order[2], order[3], order[4], order[5], order[7], order[10]}),
              (Names{"70", "2", "1", "1", "1.0853", "10836", "s2"}));
    EXPECT_EQ(h.Only({"NewOrderResult", "MarketOrderAccepted", "NewOpenPosition"}),
              (Names{"NewOrderResult 1 7001 s2", "MarketOrderAccepted 70 7001 3001 1 1.0853",
                     "NewOpenPosition 3001 1"}));

    h.events.clear();
    h.server().PushPrice(2, 1.086, 1.0862);
    ASSERT_TRUE(h.WaitFor("SymbolPricesChanged"));
    EXPECT_EQ(h.Only({"PosFloatingPLChanged", "SymbolPricesChanged"}),
              (Names{"PosFloatingPLChanged 1001", "PosFloatingPLChanged 3001",
                     "SymbolPricesChanged 2 1.086"}));
    h.book().FindAccount(70)->figures.totDep = 20000;
    h.events.clear();
    h.server().PushSummaries(70);
    ASSERT_TRUE(h.WaitFor("SummariesChanged"));
    EXPECT_EQ(h.Only({"SummariesChanged"}), (Names{"SummariesChanged 20240"}));
}

}  // namespace

namespace {

// A row of a pushed position or order, as the server writes them.
std::string PosRow(int32_t client, int32_t account, int32_t ticket) {
    og::CGenerals g;
    return g.PosRowString(client, account, ticket, "01/12/2026 10:00:00", int32_t{og::BuyType}, 1.0,
                          2, 1.08, "", "", 0, 1.0, "EURUSD", 0.0, "", "");
}

std::string OrderRow(int32_t id) {
    og::CGenerals g;
    return g.OrderRowString(id, "01/12/2026 10:00:00", 1, 1.0, 2, 1.07, "LO", 0, 0.0, 0.0, 0, "");
}

// A re-quoting account's market order, up to the re-quote's first tick: asked
// at 1.0852 (the mid and one of the default 2 pips), re-quoted 3 pips up.
void RequotedOrder(Host& h) {
    h.Login("BEN", "PW2");
    ASSERT_TRUE(h.Loaded());
    h.events.clear();
    ASSERT_EQ(h.api().NewMarketOrder(og::BuyType, 2, 1, "rq", ""), api::SuccessResult);
    ASSERT_TRUE(h.WaitFor("OrderTimer"));
}

// S3: the countdown starts at once; an accept within it fills at the new price.
TEST(EndToEnd, RequoteAcceptedWithinItsCountdown) {
    Host h(true);
    RequotedOrder(h);
    EXPECT_EQ(h.Only({"OrderTimer"}), (Names{"OrderTimer 7001 80 1.0855 3/3"}));
    ASSERT_EQ(h.api().AcceptOrder(7001), api::SuccessResult);
    ASSERT_TRUE(h.WaitFor("MarketOrderAccepted"));
    const auto accept = h.Params(og::ACCEPT_ORDER_TOKEN);
    ASSERT_GE(accept.size(), 4u);
    EXPECT_EQ((Names{accept[1], accept[2], accept[3]}), (Names{"80", "7001", "1.0855"}));
    EXPECT_EQ(h.Only({"MarketOrderAccepted"}),
              (Names{"MarketOrderAccepted 80 7001 3001 1 1.0855"}));
}

// S4: the countdown runs out: one more tick, one expiry to the server, and a
// late accept is refused without a word to the server.
TEST(EndToEnd, RequoteExpiresAfterItsSeconds) {
    Host h(true);
    RequotedOrder(h);
    for (int32_t s = 0; s < kRequoteSeconds; ++s) h.Advance(1000);
    ASSERT_TRUE(h.Wait([&] { return h.Sent(og::TIMER_EXPIRED_TOKEN) == 1; }));
    h.Advance(2000);
    platform::EventLoop::RunFor(100);
    EXPECT_EQ(h.Only({"OrderTimer"}),
              (Names{"OrderTimer 7001 80 1.0855 3/3", "OrderTimer 7001 80 1.0855 2/3",
                     "OrderTimer 7001 80 1.0855 1/3", "OrderTimer 7001 80 1.0855 0/3"}));
    EXPECT_EQ(h.Sent(og::TIMER_EXPIRED_TOKEN), 1u);
    EXPECT_EQ(h.api().AcceptOrder(7001), api::TimerExpiredResult);
    platform::EventLoop::RunFor(100);
    EXPECT_EQ(h.Sent(og::ACCEPT_ORDER_TOKEN), 0u);
}

// S5: a drop ends the countdown: the host hears its last tick at 0 before the
// connection state, the server hears nothing and a late accept is refused; the
// automatic re-login runs the whole road again and the model holds each entry once.
TEST(EndToEnd, DropMidCountdownEndsItUnsentAndTheReloginLoadsAgain) {
    Host h(true);
    RequotedOrder(h);
    h.server().DropAll();
    ASSERT_TRUE(h.WaitFor("ConnectionState(false)"));
    EXPECT_EQ(h.Only({"OrderTimer", "ConnectionState"}),
              (Names{"OrderTimer 7001 80 1.0855 3/3", "OrderTimer 7001 80 1.0855 0/3",
                     "ConnectionState(false)"}));
    EXPECT_EQ(h.api().AcceptOrder(7001), api::TimerExpiredResult);
    h.Advance(kRequoteSeconds * 1000);
    // The reconnect waits 3 to 6 seconds.
    h.Advance(3000);
    ASSERT_TRUE(h.Loaded());  // the first road's events were cleared
    EXPECT_EQ(h.Count("OrderTimer"), 2u);
    EXPECT_EQ(h.Sent(og::TIMER_EXPIRED_TOKEN) + h.Sent(og::ACCEPT_ORDER_TOKEN), 0u);
    EXPECT_EQ(h.Only({"ConnectionState", "SymbolsLoaded", "AllDataAreLoaded"}),
              (Names{"ConnectionState(false)", "ConnectionState(true)", "SymbolsLoaded",
                     "AllDataAreLoaded"}));
    EXPECT_EQ(h.Sent(og::GET_ACCOUNTS2_TOKEN), 2u);
    COrbanexClientAPI& a = h.api();
    EXPECT_EQ((std::vector<int32_t>{a.ClientsCount(), a.AccountsCount(102), a.OpenPositionsCount(),
                                    a.OrdersCount(), a.SymbolsCount()}),
              (std::vector<int32_t>{1, 1, 1, 0, 3}));
}

// S6: a close of two positions in one request, then an entry order placed and
// deleted with another.
TEST(EndToEnd, ClosesAndEntryOrdersCarryTheirTags) {
    Host h;
    h.Login("ANN", "PW1");
    ASSERT_TRUE(h.Loaded());
    COrbanexClientAPI& a = h.api();
    h.events.clear();
    Names marks;
    h.links.emplace_back(a.CloseOrderResult.Connect(
        [&](api::NewOrderResultEnum, double, int16_t, int32_t, og::OperationTypeEnum, double,
            const auto&, const std::string&, int32_t, const std::string&) {
            for (int32_t t : {1001, 1002})
                marks.push_back(a.OpenPositionByTicket(t)->Liquidated() ? "marked" : "free");
        }));
    ASSERT_EQ(a.CloseMarketOrder("1001,1002", "0.1,0.2", "s6-close"), api::SuccessResult);
    EXPECT_TRUE(a.OpenPositionByTicket(1001)->Liquidated());
    EXPECT_TRUE(a.OpenPositionByTicket(1002)->Liquidated());
    ASSERT_TRUE(h.WaitFor("DeleteOpenPosition"));
    EXPECT_EQ(h.Sent(og::CLOSE_POS_ORDER_TOKEN), 1u);
    const auto close = h.Params(og::CLOSE_POS_ORDER_TOKEN);
    ASSERT_GE(close.size(), 13u);
    EXPECT_EQ((Names{close[2], close[3], close[4], close[5], close[6], close[12]}),
              (Names{"1001,1002", "2,3", "1.085,1.2602", "1,1", "0.1,0.2", "s6-close"}));
    EXPECT_EQ(marks, (Names{"free", "marked"}));
    EXPECT_EQ(h.Only({"CloseOrderResult", "UpdateOpenPosition", "DeleteOpenPosition"}),
              (Names{"CloseOrderResult 1 1001 s6-close", "UpdateOpenPosition 1001 0.9",
                     "DeleteOpenPosition 1002 0.2"}));

    h.events.clear();
    ASSERT_EQ(a.NewLimitOrder(og::BuyType, 2, 1, 1.07, "", "", "s6-limit", ""), api::SuccessResult);
    ASSERT_TRUE(h.WaitFor("NewPendingOrder"));
    EXPECT_EQ(h.Params(og::NEW_LIMIT_ORDER_TOKEN).at(8), "2");  // as a client user
    ASSERT_EQ(a.DeleteLimitOrder("5001,7002", "s6-del"), api::SuccessResult);
    ASSERT_TRUE(h.WaitFor("DeletePendingOrder 7002"));
    EXPECT_EQ(h.Only({"NewLimitOrderResult", "NewPendingOrder", "DeleteLimitOrderResult",
                      "DeletePendingOrder"}),
              (Names{"NewLimitOrderResult 1 7002 s6-limit", "NewPendingOrder 7002",
                     "DeleteLimitOrderResult 1 5001,7002 s6-del", "DeletePendingOrder 5001",
                     "DeletePendingOrder 7002"}));
    EXPECT_EQ(a.OrdersCount(), 0);
}

// S7: a user without accounts: a message, no loaded event, no new login.
TEST(EndToEnd, LoginWithoutAccountsEndsForGood) {
    Host h(true);
    h.Login("DAN", "PW4");
    ASSERT_TRUE(h.Wait([&] { return !h.messages.empty(); }));
    h.Advance(10000);
    platform::EventLoop::RunFor(200);
    EXPECT_EQ(h.messages, (Names{"Could not login without any account"}));
    EXPECT_FALSE(h.Has("SymbolsLoaded"));
    EXPECT_FALSE(h.Has("AllDataAreLoaded"));
    EXPECT_FALSE(h.api().LogedOn());
    EXPECT_EQ(h.server().Connections(), 1u);
}

// S8: a server that asks for a newer library ends the session; quotes that
// still come in change nothing.
TEST(EndToEnd, OutdatedLibraryIsToldAndDisconnected) {
    Host h;
    h.book().minVersion = "10,2,4";
    h.Login("ANN", "PW1");
    ASSERT_TRUE(h.Wait([&] { return !h.messages.empty() && !h.api().LogedOn(); }));
    EXPECT_EQ(h.messages, (Names{"You have to use Orbanex API version 10.2.4 or more"}));
    api::CDataClient& client = testsupport::ClientAPIAccess::DataClient(h.api());
    EXPECT_EQ(client.LoginUser(), -200);  // closed for good, no re-login
    EXPECT_EQ(testsupport::DataClientAccess::Push(client, og::MARKET_DATA_TOKEN,
                                                  {"01/12/2026 10:00:00,2,1.5,1.6"}),
              0);
    EXPECT_EQ(testsupport::ClientAPIAccess::SymbolsManager(h.api()).GWPricesStep(), 0);
    EXPECT_FALSE(h.Has("SymbolPricesChanged"));
}

// S9: the host picks the third account while the first one's data is on its
// way: each answer lands on its own account, and only the third one's
// changes reach the host.
TEST(EndToEnd, HostSelectingAnotherAccountSeesOnlyThatAccount) {
    Host h;
    h.onAllDataLoaded = [&h] { h.api().SelectAccount(92); };
    h.Login("CARL", "PW3");
    ASSERT_TRUE(h.Loaded(2));
    COrbanexClientAPI& a = h.api();
    EXPECT_EQ(h.Count("OpenPositionsLoaded"), 2u);
    EXPECT_EQ(h.Requests({224}), (Names{"306", "132", "104", "313", "314", "103", "224[103|90]",
                                        "106", "102", "111", "224[103|92]", "106", "102", "111"}));
    // The summaries answer and the positions' revaluation, both of account 92.
    EXPECT_EQ(h.Only({"SummariesChanged"}),
              (Names{"SummariesChanged 3000", "SummariesChanged 3000"}));
    EXPECT_NE(a.OpenPositionByTicket(2003), nullptr);
    EXPECT_EQ(a.OpenPositionByTicket(2001), nullptr);
    EXPECT_NE(a.OrderByID(6003), nullptr);
    EXPECT_EQ(a.OrderByID(6001), nullptr);
    std::vector<double> balances;
    for (int32_t account : {90, 91, 92}) {
        double b = 0, f = 0, c = 0, e = 0, m = 0, l = 0, x = 0;
        a.AccountSummaries(account, b, f, c, e, m, l, x);
        balances.push_back(b);
    }
    EXPECT_EQ(balances, (std::vector<double>{1000, 0, 3000}));

    h.events.clear();
    h.book().FindAccount(90)->figures.totDep = 1500;
    h.book().FindAccount(92)->figures.totDep = 3500;
    for (int32_t account : {90, 92}) {
        h.server().Push(og::NEW_OPEN_POSITION_TOKEN,
                        {"103", std::to_string(account), PosRow(103, account, account * 100)});
        h.server().Push(og::NEW_PENDING_ORDER_TOKEN,
                        {"103", std::to_string(account), OrderRow(account * 100)});
        h.server().PushSummaries(account);
    }
    ASSERT_TRUE(h.WaitFor("SummariesChanged 3500"));
    platform::EventLoop::RunFor(100);
    EXPECT_EQ(h.Only({"NewOpenPosition", "NewPendingOrder", "SummariesChanged"}),
              (Names{"SummariesChanged 3000", "NewOpenPosition 9200 1", "NewPendingOrder 9200",
                     "SummariesChanged 3500"}));
}

// A host's wrong moves: a second Login on the way, commands after Disconnect,
// a release in the middle of the login road. Result codes, never a crash.
TEST(EndToEnd, WrongHostCallsGiveCodesAndNoCrash) {
    {
        Host h;
        h.Login("ANN", "PW1");
        h.api().Login();
        ASSERT_TRUE(h.Loaded());
        platform::EventLoop::RunFor(100);
        EXPECT_EQ(h.api().OpenPositionsCount(), 2);
        h.api().Disconnect();
        ASSERT_TRUE(h.WaitFor("ConnectionState(false)"));
        EXPECT_NE(h.api().NewMarketOrder(og::BuyType, 2, 1, "late", ""), api::SuccessResult);
        EXPECT_NE(h.api().CloseMarketOrder("1001", "1", "late"), api::SuccessResult);
        platform::EventLoop::RunFor(100);
        EXPECT_EQ(h.Sent(og::NEW_ORDER_TOKEN) + h.Sent(og::CLOSE_POS_ORDER_TOKEN), 0u);
    }
    for (const char* at : {"ConnectionState(true)", "OpenPositionsLoaded"}) {
        SCOPED_TRACE(at);
        Host h;
        h.links.emplace_back(h.api().ConnectionState.Connect([&](bool up) {
            if (up && std::string(at) == "ConnectionState(true)") h.Release();
        }));
        h.links.emplace_back(h.api().OpenPositionsLoaded.Connect([&] {
            if (std::string(at) == "OpenPositionsLoaded") h.Release();
        }));
        h.Login("ANN", "PW1");
        ASSERT_TRUE(h.Wait([&] { return h.Released(); }));
        platform::EventLoop::RunFor(100);
        EXPECT_EQ(h.Count("PendingOrdersLoaded"), 0u);
    }
}

}  // namespace
