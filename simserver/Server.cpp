#include "simserver/Server.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <exception>
#include <map>
#include <random>
#include <utility>

#include "general/common/CGenerals.h"
#include "general/common/Enums.h"
#include "general/common/MCommandMessage.h"
#include "platform/TcpSocket.h"
#include "platform/Timer.h"
#include "runtime/Convert.h"
#include "runtime/Error.h"
#include "runtime/Strings.h"
#include "simserver/Messages.h"

namespace simserver {

namespace og = OrbanelGeneral10;
using runtime::Variant;

namespace {

// Market-order audit statuses the server sends.
constexpr int32_t kNewAccepted = og::NewAccepted;
constexpr int32_t kClientRejected = og::PriceChangedClientReject_PendingType;
constexpr int32_t kExpired = og::PriceChangedTimerExpired_PendingType;
// Entry-order statuses: executed, cancelled for lack of money.
constexpr int32_t kEntryExecuted = 5;
constexpr int32_t kEntryNoMoney = -2;
// Answer codes of refused orders.
constexpr int32_t kUnableMarketConditions = -50;
constexpr int32_t kPositionIsClosed = -10;
constexpr int32_t kNotEnoughMoney = -2;
// Where an order push's row holds its time (from 0).
constexpr size_t kAuditTimeCell = 7;
// How often the dealer looks at the closes held for him.
constexpr int32_t kDealerTickMs = 20;

using SteadyClock = std::chrono::steady_clock;

std::string Num(double x) {
    return runtime::NumberToText(x);
}

std::string Num(int32_t x) {
    return std::to_string(x);
}

// A usable amount or price: above 0 and far from the largest double, which
// an overflowing text reads as.
bool Positive(double x) {
    return x > 0 && x < 1e12;
}

// Leading number of a field, rounded to a whole number; 0 when it does not fit.
int32_t Whole(const std::string& text) {
    const double x = runtime::RoundHalfEven(runtime::Val(text));
    if (!(x >= -2147483648.0 && x <= 2147483647.0)) return 0;
    return static_cast<int32_t>(x);
}

double PipOf(const Symbol& s) {
    return std::pow(10.0, s.pipLocation);
}

// A price on the symbol's grid: a tenth of a pip.
double OnGrid(const Symbol& s, double price) {
    const int32_t decimals = std::clamp(1 - s.pipLocation, 0, 10);
    const double scale = std::pow(10.0, decimals);
    return std::round(price * scale) / scale;
}

// Lots left after a part close, without the binary remainder of the subtraction.
double OnGridLots(double lots) {
    return std::round(lots * 1e8) / 1e8;
}

double Cents(double x) {
    return std::round(x * 100) / 100;
}

// A market order in the making: a re-quote waiting for the client, a fill,
// or the closing order of a position.
struct Requote {
    int32_t orderId = 0;
    int32_t clientId = 0;
    int32_t accountId = 0;
    int32_t symbolId = 0;
    int32_t side = 1;
    double lots = 0;
    double newPrice = 0;
    double oldPrice = 0;
};

// A close the dealer holds: each ticket with its lots and asked price.
struct HeldClose {
    int32_t orderId = 0;
    int32_t accountId = 0;
    struct Item {
        int32_t ticket = 0;
        double lots = 0;
        double price = 0;
    };
    std::vector<Item> items;
    SteadyClock::time_point due;
};

struct Conn {
    size_t number = 0;
    std::shared_ptr<platform::TcpSocket> socket;
    og::wire::ReceiveBuffer rx;
    std::vector<std::string> cut;
    bool open = true;
    bool loggedIn = false;
    bool market = false;  // asked for quotes (start market)
    std::string user;
    std::vector<std::string> lastRows;  // the last multi-row answer, for re-sends
    std::unique_ptr<platform::Timer> handshakes;
    std::unique_ptr<platform::Timer> clock;  // the server's time messages
};

}  // namespace

struct Server::Impl {
    Book book;
    platform::TcpServer listener;
    std::vector<std::shared_ptr<Conn>> conns;
    std::map<int32_t, Requote> requotes;  // by order id
    og::CGenerals generals;
    int32_t nextSid = 1001;
    std::unique_ptr<platform::Timer> quoteTimer;
    std::mt19937 rng;
    std::vector<HeldClose> held;  // in the order they came
    std::unique_ptr<platform::Timer> dealerTimer;
    // What one request sends, in order, written out once the request is
    // handled whole: a request that fails midway sends only its fallback.
    std::vector<std::pair<Conn*, std::string>> outbox;

    void OnAccept(std::shared_ptr<platform::TcpSocket> socket);
    void OnReceive(Conn& c);
    void OnClosed(Conn& c);
    void Handle(Conn& c, const Received& m);
    void Answer(Conn& c, const Received& m, const User& user);
    void Flush();
    void Write(Conn& c, const std::string& text);
    void Close(Conn& c);

    // Output.
    void Send(Conn& c, int32_t token, const std::vector<std::string>& params) {
        outbox.emplace_back(&c, RenderMessage(token, params));
    }
    void Result(Conn& c, const std::vector<std::string>& params) {
        Send(c, og::RESULT_TOKEN, params);
    }
    void Rows(Conn& c, std::vector<std::string> rows);
    void ToWatchers(int32_t accountId, int32_t token, const std::vector<std::string>& params);
    std::vector<Conn*> Watchers(int32_t accountId);
    User* UserOf(const Conn& c) { return c.loggedIn ? book.FindUser(c.user) : nullptr; }

    // Texts.
    std::string ParamsText(const Client* client) const;
    std::string PosRow(const Position& p);
    std::string OrderRow(const Order& o);
    std::string AuditRow(const Requote& r, int32_t status, int32_t ticket, double newPrice,
                         double oldPrice, og::OrdersTypeEnum orderType = og::MarketDataType,
                         int32_t closeTicket = 0);
    // The seven figures in the summaries' order.
    std::vector<std::string> SummariesParams(const Account& a) const;
    // A 250: client, account, the seven figures, the liquidation lock.
    std::vector<std::string> SummariesPush(const Account& a) const;

    // Requests.
    void Login(Conn& c, const Received& m);
    void Variables(Conn& c, const User& user);
    void SymbolRows(Conn& c, const User& user);
    void ClientRows(Conn& c, const User& user);
    void AccountRows(Conn& c, const User& user);
    void ComplementData(Conn& c, const Received& m);
    void Summaries(Conn& c, const Received& m, const User& user);
    void PositionRows(Conn& c, const Received& m, const User& user);
    void OrderRows(Conn& c, const Received& m, const User& user);
    void NewOrder(Conn& c, const Received& m, const User& user);
    void AcceptOrder(Conn& c, const Received& m);
    // The client's refusal of a re-quote, or its timer's end: acknowledged, and
    // the order ends with `status`.
    void EndRequote(Conn& c, const Received& m, int32_t status);
    void CloseOrder(Conn& c, const Received& m, const User& user);
    void NewLimitOrder(Conn& c, const Received& m, const User& user, bool slTp);
    void UpdateOrder(Conn& c, const Received& m, const User& user, bool slTp);
    void DeleteOrders(Conn& c, const Received& m, const User& user, bool slTp);
    // Opens the position of an accepted market order with its pushes.
    void Fill(const Requote& r, double price, double requested);
    int32_t Open(const Requote& r, double price, std::string& pushes);
    // Whether the account's free margin holds `lots` more of the symbol.
    bool Affords(const Account& a, int32_t symbolId, double lots) const;
    double CommissionOf(const Account& a, int32_t symbolId, double lots) const;
    // Closes `lots` of the position at `price` with its pushes: the closing
    // order's accepted status first when `liqOrder` is not 0.
    void ClosePosition(int32_t accountId, int32_t ticket, double lots, double price,
                       int32_t liqOrder);
    void DealerTick();
    void AcceptHeld(const HeldClose& h);
    // Entry orders and SL/TP orders of the symbol that its quote reached.
    void ReachOrders(int32_t symbolId);
    // The SL/TP order an entry order's levels give the position it opened.
    void AttachLevels(const Order& entry, int32_t ticket);
    void ReachAllOrders();
    void EraseOrder(int32_t accountId, int32_t id);

    // Quotes.
    void StepQuotes();
    // The server's clock: every time it writes is in its own zone.
    std::string Now() const { return NowTextAt(book.serverGmt); }
    void SendTime(Conn& c) { Send(c, og::TIME_TOKEN, {Now()}); }
};

namespace {

// Field n (from 1) of a request; "" when it has fewer.
const std::string& P(const Received& m, size_t n) {
    static const std::string none;
    return n >= 1 && n <= m.params.size() ? m.params[n - 1] : none;
}

}  // namespace

// ---- connections ------------------------------------------------------------

void Server::Impl::OnAccept(std::shared_ptr<platform::TcpSocket> socket) {
    auto c = std::make_shared<Conn>();
    c->number = conns.size() + 1;
    c->socket = std::move(socket);
    conns.push_back(c);
    Conn* raw = c.get();
    raw->socket->OnReceive.Connect([this, raw] { OnReceive(*raw); });
    raw->socket->OnState.Connect([this, raw] {
        if (raw->socket->State() == platform::TcpSocket::kStateClosed) OnClosed(*raw);
    });
}

void Server::Impl::OnReceive(Conn& c) {
    std::string chunk;
    c.socket->Receive(chunk);
    const size_t n = c.rx.Split(chunk, c.cut);
    // Handling may close the connection; what came with it is dropped then.
    for (size_t i = 1; i <= n && c.open; ++i) {
        Received m = ParseMessage(c.cut[i]);
        m.connection = c.number;
        Handle(c, m);
    }
}

void Server::Impl::OnClosed(Conn& c) {
    c.open = false;
    c.loggedIn = false;
    c.market = false;
    if (c.handshakes) c.handshakes->SetEnabled(false);
    if (c.clock) c.clock->SetEnabled(false);
}

void Server::Impl::Close(Conn& c) {
    if (!c.open) return;
    OnClosed(c);
    c.socket->Close();
}

void Server::Impl::Write(Conn& c, const std::string& text) {
    if (!c.open) return;
    try {
        c.socket->Send(text);
    } catch (const runtime::Error&) {
        // Closed under us: the close event tidies up.
    }
}

void Server::Impl::Flush() {
    // One write per connection, in the order the texts were made.
    std::vector<std::pair<Conn*, std::string>> joined;
    for (auto& [conn, text] : outbox) {
        auto it = std::find_if(joined.begin(), joined.end(),
                               [conn](const auto& e) { return e.first == conn; });
        if (it == joined.end()) {
            joined.emplace_back(conn, std::move(text));
        } else {
            it->second += text;
        }
    }
    outbox.clear();
    for (auto& [conn, text] : joined) Write(*conn, text);
}

void Server::Impl::Handle(Conn& c, const Received& m) {
    // The multi-row protocol's own messages are no requests.
    if (m.token == og::RESULT_OK_TOKEN) return;
    if (m.token == og::RESULT_LOST_TOKEN) {
        const int32_t row = Whole(P(m, 1));
        if (row >= 1 && static_cast<size_t>(row) <= c.lastRows.size()) {
            Result(c, {std::to_string(row), c.lastRows[static_cast<size_t>(row) - 1]});
            Flush();
        }
        return;
    }
    book.log.push_back({c.number, c.loggedIn ? c.user : std::string(), m.token, m.params});
    try {
        if (m.token == og::LOGIN_TOKEN) {
            Login(c, m);
        } else if (m.token == og::GENERATE_DEMO_ACCOUNT) {
            // Any other answer would read as a demo account opened.
            Result(c, {"REALSVR"});
        } else if (m.token == og::MARKET_ORDER_RECIEVED_TOKEN ||
                   m.token == og::DISCONNECT_SESSION_TOKEN ||
                   m.token == og::CONNECT_HANDCHAKE_TOKEN) {
            // Sent outside the client's queue: an answer would be taken for
            // the request in hand.
        } else if (const User* user = UserOf(c)) {
            Answer(c, m, *user);
        } else {
            Result(c, {});
        }
    } catch (const std::exception&) {
        // Whatever the request held, the client's queue must move on.
        outbox.clear();
        Result(c, {});
    }
    Flush();
}

// ---- output -----------------------------------------------------------------

void Server::Impl::Rows(Conn& c, std::vector<std::string> rows) {
    if (rows.empty()) {
        Send(c, og::NO_ROWS_TOKEN, {});
        c.lastRows.clear();
        return;
    }
    Send(c, og::RESULT_COUNT_TOKEN, {std::to_string(rows.size())});
    for (size_t i = 0; i < rows.size(); ++i) Result(c, {std::to_string(i + 1), rows[i]});
    c.lastRows = std::move(rows);
}

std::vector<Conn*> Server::Impl::Watchers(int32_t accountId) {
    std::vector<Conn*> out;
    const Account* a = book.FindAccount(accountId);
    if (!a) return out;
    // The users who see the account, found once: a push to one account must not
    // cost a walk of the client tree per open session (500 traders made each
    // order's pushes take tens of milliseconds).
    const std::vector<int32_t> above = book.ClientAndAbove(a->clientId);
    std::vector<const std::string*> names;
    for (const User& u : book.users) {
        if (std::find(above.begin(), above.end(), u.clientId) == above.end()) continue;
        if (book.FindUser(u.name) == &u) names.push_back(&u.name);  // the one a login finds
    }
    if (names.empty()) return out;
    for (auto& c : conns) {
        if (!c->open || !c->loggedIn) continue;
        for (const std::string* name : names)
            if (*name == c->user) {
                out.push_back(c.get());
                break;
            }
    }
    return out;
}

void Server::Impl::ToWatchers(int32_t accountId, int32_t token,
                              const std::vector<std::string>& params) {
    for (Conn* c : Watchers(accountId)) Send(*c, token, params);
}

std::string Server::Impl::ParamsText(const Client* client) const {
    if (!client) return {};
    std::string out;
    for (const Symbol& s : book.symbols) {
        const SymbolParams p = book.ParamsOf(*client, s.id);
        for (const std::string& v :
             {Num(s.id), Num(p.spread), Num(p.sourcePlus), Num(p.limitOffset), Num(p.stopOffset),
              Num(p.commission), Num(p.maxLots), Num(p.minLots)}) {
            if (!out.empty()) out += ',';
            out += v;
        }
    }
    return out;
}

std::string Server::Impl::PosRow(const Position& p) {
    const Symbol* s = book.FindSymbol(p.symbolId);
    return generals.PosRowString(p.clientId, p.accountId, p.ticket, Variant(p.time), p.side, p.lots,
                                 p.symbolId, p.price, "", "", 0, p.lots,
                                 Variant(s ? s->name : std::string()), p.interest, "", "");
}

std::string Server::Impl::OrderRow(const Order& o) {
    return generals.OrderRowString(o.id, Variant(o.time), o.side, o.lots, o.symbolId, Num(o.price),
                                   o.slTp ? "ST" : "LO", o.ticket, Variant(o.sl), Variant(o.tp),
                                   "1", "");
}

std::string Server::Impl::AuditRow(const Requote& r, int32_t status, int32_t ticket,
                                   double newPrice, double oldPrice, og::OrdersTypeEnum orderType,
                                   int32_t closeTicket) {
    std::vector<std::string> cells = SplitCells(generals.OrdersAuditRowString(
        r.clientId, r.accountId, orderType, r.orderId, status, ticket, closeTicket, Num(newPrice),
        Num(newPrice), Num(r.lots), Num(r.symbolId), Num(oldPrice), Num(oldPrice),
        r.side == -1 ? og::SellType : og::BuyType));
    // The row comes stamped with the machine's local time; the server writes its own everywhere.
    cells.at(kAuditTimeCell) = Now();
    return JoinCells(cells);
}

std::vector<std::string> Server::Impl::SummariesParams(const Account& a) const {
    const Figures f = book.FiguresOf(a);
    return {Num(f.totComm), Num(f.totInt), Num(f.marginReq), Num(f.netProfit),
            Num(f.totDep),  Num(f.totCr),  Num(f.prvMargin)};
}

std::vector<std::string> Server::Impl::SummariesPush(const Account& a) const {
    std::vector<std::string> params = {Num(a.clientId), Num(a.id)};
    for (auto& v : SummariesParams(a)) params.push_back(std::move(v));
    params.push_back("0");
    return params;
}

// ---- requests ---------------------------------------------------------------

void Server::Impl::Answer(Conn& c, const Received& m, const User& user) {
    switch (m.token) {
        case og::GET_VARIABLES_TOKEN:
            return Variables(c, user);
        case og::GET_PRIVS_TOKEN:
            return Result(c, {"5,8", Num(user.clientId)});
        case og::GET_ALL_SYMBOLS_TOKEN:
            return SymbolRows(c, user);
        case og::GET_CLIENTS_TOKEN:
            return ClientRows(c, user);
        case og::GET_ACCOUNTS2_TOKEN:
            return AccountRows(c, user);
        case og::START_MARKET_TOKEN:
            c.market = true;
            return Result(c, {"1"});
        case og::GET_ACCOUNT_COMPLEMENT_DATA_TOKEN:
            return ComplementData(c, m);
        case og::GET_SUMMARIES_TOKEN:
            return Summaries(c, m, user);
        case og::GETOPENPOS_TOKEN:
            return PositionRows(c, m, user);
        case og::GET_PENDING_ORDERS_TOKEN:
            return OrderRows(c, m, user);
        case og::NEW_ORDER_TOKEN:
            return NewOrder(c, m, user);
        case og::ACCEPT_ORDER_TOKEN:
            return AcceptOrder(c, m);
        case og::REJECT_ORDER_TOKEN:
            return EndRequote(c, m, kClientRejected);
        case og::TIMER_EXPIRED_TOKEN:
            return EndRequote(c, m, kExpired);
        case og::CLOSE_POS_ORDER_TOKEN:
            return CloseOrder(c, m, user);
        case og::NEW_LIMIT_ORDER_TOKEN:
            return NewLimitOrder(c, m, user, false);
        case og::NEW_SL_TP_TOKEN:
            return NewLimitOrder(c, m, user, true);
        case og::UPDATE_LIMIT_ORDER_TOKEN:
            return UpdateOrder(c, m, user, false);
        case og::UPDATE_SL_TP_ORDER_TOKEN:
            return UpdateOrder(c, m, user, true);
        case og::DELETE_LIMIT_ORDER_TOKEN:
            return DeleteOrders(c, m, user, false);
        case og::DELETE_SL_TP_ORDER_TOKEN:
            return DeleteOrders(c, m, user, true);
        case og::GET_ACCOUNT_HISTORY_TOKEN:
        case og::GET_FLOATING_STATUS_TOKEN:
        case og::GET_ONLINE_SESSIONS_TOKEN:
        case og::GET_ALL_DEALERS_TOKEN:
        case og::GET_REPORT_TOKEN:
            return Rows(c, {});
        default:
            // Unknown or not simulated: an empty answer keeps the queue moving.
            return Result(c, {});
    }
}

void Server::Impl::Login(Conn& c, const Received& m) {
    const User* user = book.FindUser(P(m, 1));
    if (!user || user->password != P(m, 2)) {
        c.loggedIn = false;
        c.market = false;
        Result(c, {"NO"});
        return;
    }
    c.loggedIn = true;
    c.user = user->name;
    Result(c, {"OK", Num(nextSid++), Num(user->id), Num(book.handshakeMs)});
    if (!c.handshakes) {
        c.handshakes = platform::RealTimeTimer();
        Conn* raw = &c;
        c.handshakes->Tick.Connect([this, raw] {
            if (!raw->open) return;
            Send(*raw, og::CONNECT_HANDCHAKE_TOKEN, {});
            Flush();
        });
    }
    c.handshakes->SetEnabled(false);
    c.handshakes->SetInterval(book.handshakeMs);
    c.handshakes->SetEnabled(book.handshakeMs > 0);
    if (book.timeMs <= 0) return;
    SendTime(c);
    if (!c.clock) {
        c.clock = platform::RealTimeTimer();
        Conn* raw = &c;
        c.clock->Tick.Connect([this, raw] {
            if (!raw->open || !raw->loggedIn) return;
            SendTime(*raw);
            Flush();
        });
    }
    c.clock->SetEnabled(false);
    c.clock->SetInterval(book.timeMs);
    c.clock->SetEnabled(true);
}

void Server::Impl::Variables(Conn& c, const User& user) {
    const std::string globals =
        "0,1," + Num(book.RequoteSecondsOf(user)) + ",2,0,0,0,," + Num(book.serverGmt);
    Result(c, {book.minVersion, globals, Now(), Num(book.gmtOffset), "3", "0", "0"});
}

void Server::Impl::SymbolRows(Conn& c, const User& user) {
    const std::string start = Now();
    std::vector<std::string> rows;
    for (const Symbol& s : book.symbols) {
        if (!book.SeesSymbol(user, s.id)) continue;
        std::vector<std::string> cells(34);
        cells[0] = Num(s.id);
        cells[1] = s.name;
        cells[2] = "1";
        cells[3] = Num(s.pipLocation);
        cells[4] = "1";
        cells[5] = s.used ? "1" : "0";
        cells[6] = Num(s.ask);
        cells[7] = Num(s.bid);
        cells[8] = s.quoteTime.empty() ? start : s.quoteTime;
        cells[9] = Num(s.high);
        cells[10] = Num(s.low);
        cells[11] = Num(s.contractSize);
        cells[12] = "1";
        cells[13] = "1";
        cells[14] = Num(s.tickPips);
        // The client compares the re-quotable and privilege flags with 1 as
        // numbers: an empty cell would refuse the whole row.
        cells[22] = "0";
        cells[26] = "1";
        cells[27] = "0";
        rows.push_back(JoinCells(cells));
    }
    Rows(c, std::move(rows));
}

void Server::Impl::ClientRows(Conn& c, const User& user) {
    std::vector<std::string> rows;
    for (const Client* cl : book.ClientsOf(user)) {
        rows.push_back(JoinCells({Num(cl->id), "", "", "", "", Num(cl->parent), cl->firstName,
                                  cl->secondName, cl->thirdName, cl->lastName, "1", cl->userName}));
    }
    Rows(c, std::move(rows));
}

void Server::Impl::AccountRows(Conn& c, const User& user) {
    std::vector<std::string> rows;
    for (const Account* a : book.AccountsOf(user)) {
        rows.push_back(
            JoinCells({Num(a->clientId), Num(a->id), "1", "0", "", a->locked ? "1" : "0"}));
    }
    Rows(c, std::move(rows));
}

void Server::Impl::ComplementData(Conn& c, const Received& m) {
    const Account* a = book.FindAccount(Whole(P(m, 2)));
    const Client* cl = a ? book.FindClient(a->clientId) : nullptr;
    const std::string opened = a && !a->openDate.empty() ? a->openDate : Now();
    Result(c, {"1", P(m, 1), P(m, 2), Num(a ? a->initialMargin : 0.0), opened, "0", "0",
               ParamsText(cl)});
}

void Server::Impl::Summaries(Conn& c, const Received& m, const User& user) {
    const int32_t id = Whole(P(m, 2));
    const Account* a = book.Sees(user, id) ? book.FindAccount(id) : nullptr;
    // -1 would make the client log in again; an unknown account gets zeros.
    std::vector<std::string> params = {a ? "1" : "0"};
    for (auto& v : SummariesParams(a ? *a : Account{})) params.push_back(std::move(v));
    Result(c, params);
}

void Server::Impl::PositionRows(Conn& c, const Received& m, const User& user) {
    const int32_t id = Whole(P(m, 2));
    std::vector<std::string> rows;
    if (book.Sees(user, id)) {
        for (const Position& p : book.positions) {
            if (p.accountId == id) rows.push_back(PosRow(p));
        }
    }
    Rows(c, std::move(rows));
}

void Server::Impl::OrderRows(Conn& c, const Received& m, const User& user) {
    const int32_t id = Whole(P(m, 2));
    std::vector<std::string> rows;
    if (book.Sees(user, id)) {
        for (const Order& o : book.orders) {
            if (o.accountId == id) rows.push_back(OrderRow(o));
        }
    }
    Rows(c, std::move(rows));
}

// ---- the account ------------------------------------------------------------

double Server::Impl::CommissionOf(const Account& a, int32_t symbolId, double lots) const {
    const Client* cl = nullptr;
    for (const Client& c : book.clients)
        if (c.id == a.clientId) cl = &c;
    return cl ? book.ParamsOf(*cl, symbolId).commission * lots : 0;
}

bool Server::Impl::Affords(const Account& a, int32_t symbolId, double lots) const {
    const double margin = book.MarginOf(symbolId, lots);
    if (margin <= 0) return true;
    return book.FreeMargin(a) - margin - CommissionOf(a, symbolId, lots) >= 0;
}

// Opens the position and charges its commission; the new position and the
// account's figures go to `pushes`. Returns the ticket.
int32_t Server::Impl::Open(const Requote& r, double price, std::string& pushes) {
    Position p;
    p.clientId = r.clientId;
    p.accountId = r.accountId;
    p.time = Now();
    p.side = r.side;
    p.lots = r.lots;
    p.symbolId = r.symbolId;
    p.price = price;
    const int32_t ticket = book.AddPosition(p);
    pushes += RenderMessage(og::NEW_OPEN_POSITION_TOKEN,
                            {Num(r.clientId), Num(r.accountId), PosRow(book.positions.back())});
    if (Account* a = book.FindAccount(r.accountId)) {
        a->figures.totComm = Cents(a->figures.totComm - CommissionOf(*a, r.symbolId, r.lots));
        pushes += RenderMessage(og::SUMMARIES_CHANGED_TOKEN, SummariesPush(*a));
    }
    return ticket;
}

void Server::Impl::Fill(const Requote& r, double price, double requested) {
    std::string opened;
    const int32_t ticket = Open(r, price, opened);
    const std::string pushes =
        RenderMessage(og::ORDER_AUDIT_TOKEN,
                      {AuditRow(r, kNewAccepted, ticket, price, requested)}) +
        opened;
    for (Conn* c : Watchers(r.accountId)) outbox.emplace_back(c, pushes);
}

void Server::Impl::ClosePosition(int32_t accountId, int32_t ticket, double lots, double price,
                                 int32_t liqOrder) {
    Position* p = book.FindPosition(accountId, ticket);
    Account* a = book.FindAccount(accountId);
    if (!p || !a) return;
    const std::string now = Now();
    const double closeLots = std::min(lots, p->lots);
    const Symbol* s = book.FindSymbol(p->symbolId);
    const std::string name = s ? s->name : std::string();
    const double contract = s ? s->contractSize : 1;
    const double profit =
        runtime::RoundHalfEven((price - p->price) * p->side * closeLots * contract, 2);
    const int32_t closeTicket = book.nextTicket++;
    if (liqOrder != 0) {
        Requote r;
        r.orderId = liqOrder;
        r.clientId = a->clientId;
        r.accountId = accountId;
        r.symbolId = p->symbolId;
        r.side = -p->side;
        r.lots = closeLots;
        // The desk takes the position to remove from the opening cell.
        ToWatchers(
            accountId, og::ORDER_AUDIT_TOKEN,
            {AuditRow(r, og::LiqAccepted, ticket, price, price, og::MarketDataType, ticket)});
    }
    const std::string openRow = generals.AccHistoryRowString(
        p->ticket, Variant(p->time), "1", p->symbolId, closeLots, p->side, Variant(p->time),
        p->price, Variant(), 0, 0, p->interest, 0, 1, "", Variant(name), "", "");
    const std::string closeRow = generals.AccHistoryRowString(
        closeTicket, Variant(now), "2", p->symbolId, closeLots, -p->side, Variant(p->time),
        p->price, price, 0, 0, 0, 0, 1, Num(profit), Variant(name), "", "");
    std::string remaining;
    const bool whole = closeLots >= p->lots - 1e-9;
    if (whole) {
        book.positions.erase(book.positions.begin() + (p - book.positions.data()));
    } else {
        p->lots = OnGridLots(p->lots - closeLots);
        remaining = PosRow(*p);
    }
    a->figures.netProfit = Cents(a->figures.netProfit + profit);
    ToWatchers(accountId, og::CLOSE_OPEN_POSITION_TOKEN,
               {Num(a->clientId), Num(accountId), Num(closeTicket), Num(ticket), remaining, openRow,
                closeRow});
    ToWatchers(accountId, og::SUMMARIES_CHANGED_TOKEN, SummariesPush(*a));
    if (!whole) return;
    // The SL/TP orders of a closed position go with it.
    std::vector<int32_t> attached;
    for (const Order& o : book.orders)
        if (o.accountId == accountId && o.slTp && o.ticket == ticket) attached.push_back(o.id);
    for (int32_t id : attached) EraseOrder(accountId, id);
}

void Server::Impl::EraseOrder(int32_t accountId, int32_t id) {
    const Order* o = book.FindOrder(accountId, id);
    if (!o) return;
    const int32_t clientId = o->clientId;
    book.orders.erase(book.orders.begin() + (o - book.orders.data()));
    ToWatchers(accountId, og::DELETE_PENDING_ORDER_TOKEN, {Num(clientId), Num(accountId), Num(id)});
}

// ---- market orders ------------------------------------------------------------

void Server::Impl::NewOrder(Conn& c, const Received& m, const User& user) {
    // client, account, symbol, side, lots, price, user, margin, tick time, quote time, tag, note
    Requote r;
    r.accountId = Whole(P(m, 2));
    r.symbolId = Whole(P(m, 3));
    r.side = Whole(P(m, 4)) == -1 ? -1 : 1;
    r.lots = runtime::Val(P(m, 5));
    const double price = runtime::Val(P(m, 6));
    const std::string& tag = P(m, 11);
    const std::string now = Now();
    const Account* a = book.Sees(user, r.accountId) ? book.FindAccount(r.accountId) : nullptr;
    const Symbol* s = book.FindSymbol(r.symbolId);
    // The amount and price as the request wrote them: a refused one may be no number.
    auto answer = [&](int32_t ret, int32_t posOrOrder = 1) {
        Result(c, {Num(ret), Num(posOrOrder), now, P(m, 5), Num(r.side), P(m, 6), Num(r.symbolId),
                   tag});
    };
    if (!a || !s || !s->used || !Positive(r.lots) || !Positive(price))
        return answer(kUnableMarketConditions);
    const AnswerMode mode = a->mode;
    if (mode.kind == AnswerMode::Reject && mode.rejectRet < 0) return answer(mode.rejectRet);
    if (!Affords(*a, r.symbolId, r.lots)) return answer(kNotEnoughMoney);
    r.clientId = a->clientId;
    r.orderId = book.nextOrderId++;
    switch (mode.kind) {
        case AnswerMode::Accept:
            answer(r.orderId, mode.posOrOrder);
            Fill(r, price, price);
            return;
        case AnswerMode::Requote: {
            // Held for the dealer, whose new price moves against the client.
            answer(r.orderId, 2);
            r.oldPrice = price;
            r.newPrice = OnGrid(*s, price + r.side * mode.requotePips * PipOf(*s));
            requotes[r.orderId] = r;
            const int32_t status = r.side == 1 ? og::NewBuyPriceChanged : og::NewSellPriceChanged;
            ToWatchers(r.accountId, og::ORDER_AUDIT_TOKEN,
                       {AuditRow(r, status, 0, r.newPrice, r.oldPrice)});
            return;
        }
        case AnswerMode::Reject:
            // Refused after the answer, so the answer must say held: an executed
            // order cannot be refused afterwards.
            answer(r.orderId, 2);
            ToWatchers(r.accountId, og::ORDER_AUDIT_TOKEN,
                       {AuditRow(r, mode.rejectStatus, 0, price, price)});
            return;
    }
}

void Server::Impl::AcceptOrder(Conn& c, const Received& m) {
    // client, account, order id, new price, user
    const int32_t orderId = Whole(P(m, 3));
    const auto it = requotes.find(orderId);
    if (it == requotes.end()) {
        Result(c, {Num(orderId), "0", "0", Now(), "0", "0", "0", "OP", "0", P(m, 1), P(m, 2)});
        return;
    }
    const Requote r = it->second;
    requotes.erase(it);
    const int32_t ticket = book.nextTicket;  // the one Fill opens
    Result(c, {Num(orderId), Num(ticket), Num(r.newPrice), Now(), Num(r.side), Num(r.lots),
               Num(r.symbolId), "OP", Num(ticket), Num(r.clientId), Num(r.accountId)});
    Fill(r, r.newPrice, r.oldPrice);
}

void Server::Impl::EndRequote(Conn& c, const Received& m, int32_t status) {
    const int32_t orderId = Whole(P(m, 3));
    Result(c, {Num(orderId)});
    const auto it = requotes.find(orderId);
    if (it == requotes.end()) return;
    const Requote r = it->second;
    requotes.erase(it);
    ToWatchers(r.accountId, og::ORDER_AUDIT_TOKEN,
               {AuditRow(r, status, 0, r.newPrice, r.oldPrice)});
}

// ---- closes -----------------------------------------------------------------

void Server::Impl::CloseOrder(Conn& c, const Received& m, const User& user) {
    // client, account, tickets, symbols, prices, ref prices, lots, user, margin, "0",
    // tick time, quote times, tag
    const int32_t accountId = Whole(P(m, 2));
    const std::vector<std::string> tickets = runtime::Split(P(m, 3), ",");
    const std::vector<std::string> prices = runtime::Split(P(m, 5), ",");
    const std::vector<std::string> lots = runtime::Split(P(m, 7), ",");
    const std::string& tag = P(m, 13);
    const std::string now = Now();
    const Account* a = book.Sees(user, accountId) ? book.FindAccount(accountId) : nullptr;
    const int32_t firstTicket = tickets.empty() ? 0 : Whole(tickets[0]);
    auto refuse = [&](int32_t ret) {
        Result(c,
               {Num(ret), "1", now, P(m, 1), P(m, 2), Num(firstTicket), "0", "0", "0", "0", tag});
    };
    if (!a || tickets.empty() || tickets.size() != lots.size()) return refuse(0);
    // Everything is checked before anything closes.
    HeldClose h;
    h.accountId = accountId;
    for (size_t i = 0; i < tickets.size(); ++i) {
        const Position* p = book.FindPosition(accountId, Whole(tickets[i]));
        if (!p) return refuse(kPositionIsClosed);
        const double l = runtime::Val(lots[i]);
        if (!Positive(l) || l > p->lots + 1e-9) return refuse(0);
        h.items.push_back({p->ticket, l, i < prices.size() ? runtime::Val(prices[i]) : p->price});
    }
    h.orderId = book.nextOrderId++;
    const bool hold = a->mode.kind == AnswerMode::Requote;
    const Position& first = *book.FindPosition(accountId, firstTicket);
    Result(c, {Num(h.orderId), hold ? "2" : "1", now, Num(a->clientId), Num(a->id),
               Num(firstTicket), Num(h.items[0].lots), Num(-first.side), Num(h.items[0].price),
               Num(first.symbolId), tag});
    if (!hold) {
        for (const HeldClose::Item& item : h.items)
            ClosePosition(accountId, item.ticket, item.lots, item.price, 0);
        return;
    }
    if (a->mode.dealerMs <= 0) return AcceptHeld(h);
    h.due = SteadyClock::now() + std::chrono::milliseconds(a->mode.dealerMs);
    held.push_back(std::move(h));
    if (!dealerTimer) {
        dealerTimer = platform::RealTimeTimer();
        dealerTimer->Tick.Connect([this] { DealerTick(); });
        dealerTimer->SetInterval(kDealerTickMs);
    }
    dealerTimer->SetEnabled(true);
}

void Server::Impl::DealerTick() {
    const auto now = SteadyClock::now();
    std::vector<HeldClose> due;
    for (auto it = held.begin(); it != held.end();) {
        if (it->due <= now) {
            due.push_back(std::move(*it));
            it = held.erase(it);
        } else {
            ++it;
        }
    }
    if (held.empty()) dealerTimer->SetEnabled(false);
    try {
        for (const HeldClose& h : due) AcceptHeld(h);
    } catch (const std::exception&) {
        outbox.clear();  // a timer's tick must not end the server
    }
    Flush();
}

void Server::Impl::AcceptHeld(const HeldClose& h) {
    const Account* a = book.FindAccount(h.accountId);
    if (!a) return;
    for (const HeldClose::Item& item : h.items) {
        if (book.FindPosition(h.accountId, item.ticket)) {
            ClosePosition(h.accountId, item.ticket, item.lots, item.price, h.orderId);
            continue;
        }
        // Closed some other way meanwhile: the dealer rejects this part.
        Requote r;
        r.orderId = h.orderId;
        r.clientId = a->clientId;
        r.accountId = h.accountId;
        r.lots = item.lots;
        ToWatchers(h.accountId, og::ORDER_AUDIT_TOKEN,
                   {AuditRow(r, og::Rejected_RequestType, item.ticket, item.price, item.price,
                             og::MarketDataType, item.ticket)});
    }
}

// ---- entry orders -------------------------------------------------------------

void Server::Impl::ReachOrders(int32_t symbolId) {
    const Symbol* s = book.FindSymbol(symbolId);
    if (!s || !(s->bid > 0)) return;
    const double bid = s->bid, ask = s->ask;
    std::vector<std::pair<int32_t, int32_t>> reached;  // account, order id
    for (const Order& o : book.orders) {
        if (o.symbolId != symbolId) continue;
        bool hit = false;
        if (!o.slTp) {
            // Buys fill at the ask, sells at the bid; limits better than the order, stops worse.
            hit = (o.side == 1 && ask <= o.price) || (o.side == 2 && ask >= o.price) ||
                  (o.side == -1 && bid >= o.price) || (o.side == -2 && bid <= o.price);
        } else if (const Position* p = book.FindPosition(o.accountId, o.ticket)) {
            const double close = p->side == 1 ? bid : ask;
            const bool sl = !o.sl.empty() && (close - runtime::Val(o.sl)) * p->side <= 0;
            const bool tp = !o.tp.empty() && (close - runtime::Val(o.tp)) * p->side >= 0;
            hit = sl || tp;
        }
        if (hit) reached.emplace_back(o.accountId, o.id);
    }
    for (const auto& [accountId, id] : reached) {
        const Order* found = book.FindOrder(accountId, id);
        const Account* a = book.FindAccount(accountId);
        if (!found || !a) continue;  // gone with an earlier one's position
        const Order o = *found;
        if (o.slTp) {
            const Position* p = book.FindPosition(accountId, o.ticket);
            if (!p) continue;
            ClosePosition(accountId, o.ticket, o.lots > 0 ? o.lots : p->lots,
                          p->side == 1 ? bid : ask, o.id);
            EraseOrder(accountId, o.id);  // a part close leaves its order
            continue;
        }
        Requote r;
        r.orderId = o.id;
        r.clientId = a->clientId;
        r.accountId = accountId;
        r.symbolId = o.symbolId;
        r.side = o.side > 0 ? 1 : -1;
        r.lots = o.lots;
        if (!Affords(*a, o.symbolId, o.lots)) {
            ToWatchers(accountId, og::ORDER_AUDIT_TOKEN,
                       {AuditRow(r, kEntryNoMoney, 0, o.price, o.price, og::LimitOrdersType)});
            EraseOrder(accountId, o.id);
            continue;
        }
        const int32_t ticket = book.nextTicket;  // the one Open opens
        ToWatchers(accountId, og::ORDER_AUDIT_TOKEN,
                   {AuditRow(r, kEntryExecuted, ticket, o.price, o.price, og::LimitOrdersType)});
        EraseOrder(accountId, o.id);
        std::string opened;
        const int32_t position = Open(r, o.price, opened);
        for (Conn* c : Watchers(accountId)) outbox.emplace_back(c, opened);
        if (!o.sl.empty() || !o.tp.empty()) AttachLevels(o, position);
    }
}

void Server::Impl::AttachLevels(const Order& entry, int32_t ticket) {
    Order o;
    o.clientId = entry.clientId;
    o.accountId = entry.accountId;
    o.time = Now();
    o.side = entry.side > 0 ? -1 : 1;  // the side that closes the position
    o.lots = entry.lots;
    o.symbolId = entry.symbolId;
    o.slTp = true;
    o.ticket = ticket;
    o.sl = entry.sl;
    o.tp = entry.tp;
    book.AddOrder(o);
    // After the position's push: the desk writes the levels into its row.
    ToWatchers(o.accountId, og::NEW_PENDING_ORDER_TOKEN,
               {Num(o.clientId), Num(o.accountId), OrderRow(book.orders.back())});
}

void Server::Impl::NewLimitOrder(Conn& c, const Received& m, const User& user, bool slTp) {
    // 115: client, account, symbol, lots, price, type, SL, TP, who type, who id, dealer flag,
    //      tick time, quote time, tag, note
    // 119: client, account, ticket, symbol, lots, SL, TP, who type, who id, dealer flag,
    //      tick time, quote time, tag
    Order o;
    o.accountId = Whole(P(m, 2));
    o.time = Now();
    o.slTp = slTp;
    const std::string& tag = P(m, slTp ? 13 : 14);
    const Account* a = book.Sees(user, o.accountId) ? book.FindAccount(o.accountId) : nullptr;
    int32_t refused = 0;
    if (slTp) {
        o.ticket = Whole(P(m, 3));
        o.symbolId = Whole(P(m, 4));
        o.lots = runtime::Val(P(m, 5));
        o.sl = P(m, 6);
        o.tp = P(m, 7);
        const Position* p = a ? book.FindPosition(a->id, o.ticket) : nullptr;
        if (p) o.side = -p->side;  // the side that closes the position
        if (!p) refused = -3;
    } else {
        o.symbolId = Whole(P(m, 3));
        o.lots = runtime::Val(P(m, 4));
        o.price = runtime::Val(P(m, 5));
        o.side = Whole(P(m, 6));
        o.sl = P(m, 7);
        o.tp = P(m, 8);
        const Symbol* s = book.FindSymbol(o.symbolId);
        const bool sideOk = o.side == 1 || o.side == 2 || o.side == -1 || o.side == -2;
        if (!a || !s || !s->used || !sideOk) refused = kUnableMarketConditions;
    }
    if (!a && refused == 0) refused = kUnableMarketConditions;
    if (refused == 0 && (!Positive(o.lots) || !(std::abs(o.price) < 1e12))) {
        refused = kUnableMarketConditions;
    }
    if (refused != 0) return Result(c, {Num(refused), o.time, tag});
    o.clientId = a->clientId;
    const int32_t id = book.AddOrder(o);
    Result(c, {Num(id), o.time, tag});
    ToWatchers(o.accountId, og::NEW_PENDING_ORDER_TOKEN,
               {Num(o.clientId), Num(o.accountId), OrderRow(book.orders.back())});
}

void Server::Impl::UpdateOrder(Conn& c, const Received& m, const User& user, bool slTp) {
    // 116: client, account, order, symbol, price, dealer flag, SL, TP, who type, who id, lots,
    //      tick time, quote time, tag, note
    // 169: client, account, order, symbol, lots, dealer flag, SL, TP, who type, who id,
    //      tick time, quote time, tag
    const int32_t accountId = Whole(P(m, 2));
    const std::string& tag = P(m, slTp ? 13 : 14);
    const std::string now = Now();
    Order* o = book.Sees(user, accountId) ? book.FindOrder(accountId, Whole(P(m, 3))) : nullptr;
    const double lots = runtime::Val(P(m, slTp ? 5 : 11));
    double price = o ? o->price : 0;  // an SL/TP order keeps its own
    if (!slTp) price = runtime::Val(P(m, 5));
    if (!o || o->slTp != slTp || !Positive(lots) || !(std::abs(price) < 1e12)) {
        return Result(c, {slTp ? "-4" : "-2", now, tag});
    }
    o->price = price;
    o->lots = lots;
    o->sl = P(m, 7);
    o->tp = P(m, 8);
    Result(c, {Num(o->id), now, tag});
    ToWatchers(accountId, og::NEW_PENDING_ORDER_TOKEN,
               {Num(o->clientId), Num(accountId), OrderRow(*o)});
}

void Server::Impl::DeleteOrders(Conn& c, const Received& m, const User& user, bool slTp) {
    // client, account, ids, who type, who id, dealer flag, tag
    const int32_t accountId = Whole(P(m, 2));
    const std::string& ids = P(m, 3);
    const std::string& tag = P(m, 7);
    const std::vector<std::string> items = runtime::Split(ids, ",");
    const bool sees = book.Sees(user, accountId);
    for (const auto& item : items) {
        const Order* o = sees ? book.FindOrder(accountId, Whole(item)) : nullptr;
        if (!o || o->slTp != slTp) return Result(c, {slTp ? "-4" : "0", ids, tag});
    }
    Result(c, {"1", ids, tag});
    for (const auto& item : items) {
        const Order* o = book.FindOrder(accountId, Whole(item));
        if (!o) continue;  // listed twice
        const int32_t clientId = o->clientId;
        const int32_t id = o->id;
        book.orders.erase(book.orders.begin() + (o - book.orders.data()));
        ToWatchers(accountId, og::DELETE_PENDING_ORDER_TOKEN,
                   {Num(clientId), Num(accountId), Num(id)});
    }
}

// ---- quotes -----------------------------------------------------------------

void Server::Impl::StepQuotes() {
    const std::string now = Now();
    std::string prices = now;
    std::string highLow;
    std::uniform_int_distribution<int32_t> tenths(1, 5);
    std::bernoulli_distribution down(0.5);
    for (Symbol& s : book.symbols) {
        // The account currency is priced at 1 by the client whatever is sent.
        if (s.id == 1 || !s.used || !(s.bid > 0)) continue;
        const double tenth = PipOf(s) / 10;
        int32_t step = tenths(rng);
        // Never below ten pips, so a long walk cannot reach zero.
        if (down(rng) && s.bid - step * tenth >= 100 * tenth) step = -step;
        const double spread = s.ask - s.bid;
        s.bid = OnGrid(s, s.bid + step * tenth);
        s.ask = OnGrid(s, s.bid + spread);
        s.quoteTime = now;
        prices += "," + Num(s.id) + "," + Num(s.bid) + "," + Num(s.ask);
        if (s.bid > s.high || s.bid < s.low || s.high == 0) {
            s.high = std::max(s.high, s.bid);
            s.low = s.low == 0 ? s.bid : std::min(s.low, s.bid);
            if (!highLow.empty()) highLow += ',';
            highLow += Num(s.id) + "," + Num(s.high) + "," + Num(s.low);
        }
    }
    if (prices == now) return;
    // Made once for every session.
    std::string text = RenderMessage(og::MARKET_DATA_TOKEN, {prices});
    if (!highLow.empty()) text += RenderMessage(og::NEW_HIGH_LOW_TOKEN, {highLow});
    for (auto& c : conns) {
        if (c->open && c->market) Write(*c, text);
    }
    ReachAllOrders();
}

void Server::Impl::ReachAllOrders() {
    if (book.orders.empty()) return;
    try {
        for (const Symbol& s : book.symbols) ReachOrders(s.id);
    } catch (const std::exception&) {
        outbox.clear();  // a timer's tick must not end the server
    }
    Flush();
}

// ---- Server -----------------------------------------------------------------

Server::Server() : Server(Book{}) {}

Server::Server(Book book) : impl_(std::make_unique<Impl>()) {
    impl_->book = std::move(book);
    impl_->listener.OnAccept.Connect([impl = impl_.get()](std::shared_ptr<platform::TcpSocket> s) {
        impl->OnAccept(std::move(s));
    });
}

Server::~Server() {
    impl_->listener.OnAccept.DisconnectAll();
    for (auto& c : impl_->conns) {
        c->socket->OnReceive.DisconnectAll();
        c->socket->OnState.DisconnectAll();
        if (c->open) c->socket->Close();
    }
}

void Server::Listen(const std::string& address, int32_t port) {
    impl_->listener.Listen(address, port);
}

int32_t Server::Port() const {
    return impl_->listener.Port();
}

Book& Server::book() {
    return impl_->book;
}

const Book& Server::book() const {
    return impl_->book;
}

void Server::StartQuotes(int32_t periodMs, uint32_t seed) {
    impl_->rng.seed(seed);
    if (!impl_->quoteTimer) {
        impl_->quoteTimer = platform::RealTimeTimer();
        impl_->quoteTimer->Tick.Connect([impl = impl_.get()] { impl->StepQuotes(); });
    }
    impl_->quoteTimer->SetEnabled(false);
    impl_->quoteTimer->SetInterval(periodMs);
    impl_->quoteTimer->SetEnabled(periodMs > 0);
}

void Server::StopQuotes() {
    if (impl_->quoteTimer) impl_->quoteTimer->SetEnabled(false);
}

bool Server::QuotesRunning() const {
    return impl_->quoteTimer && impl_->quoteTimer->Enabled();
}

void Server::PushPrice(int32_t symbolId, double bid, double ask) {
    Symbol* s = impl_->book.FindSymbol(symbolId);
    const std::string now = impl_->Now();
    if (s) {
        s->bid = bid;
        s->ask = ask;
        s->quoteTime = now;
    }
    const std::string prices = now + "," + Num(symbolId) + "," + Num(bid) + "," + Num(ask);
    for (auto& c : impl_->conns) {
        if (c->open && c->market) impl_->Send(*c, og::MARKET_DATA_TOKEN, {prices});
    }
    impl_->Flush();
    impl_->ReachAllOrders();
}

void Server::PushSummaries(int32_t accountId) {
    const Account* a = impl_->book.FindAccount(accountId);
    if (!a) return;
    impl_->ToWatchers(accountId, og::SUMMARIES_CHANGED_TOKEN, impl_->SummariesPush(*a));
    impl_->Flush();
}

void Server::PushClientParameters(int32_t clientId) {
    const Client* cl = impl_->book.FindClient(clientId);
    if (!cl) return;
    const std::vector<std::string> params = {Num(clientId), impl_->ParamsText(cl)};
    for (auto& c : impl_->conns) {
        if (!c->open || !c->loggedIn) continue;
        const User* user = impl_->book.FindUser(c->user);
        if (!user) continue;
        const auto seen = impl_->book.ClientsOf(*user);
        if (std::find(seen.begin(), seen.end(), cl) != seen.end()) {
            impl_->Send(*c, og::CLIENT_PARAMETERS_TOKEN, params);
        }
    }
    impl_->Flush();
}

void Server::Push(int32_t token, const std::vector<std::string>& params) {
    for (auto& c : impl_->conns) {
        if (c->open && c->loggedIn) impl_->Send(*c, token, params);
    }
    impl_->Flush();
}

void Server::PushTo(size_t connection, int32_t token, const std::vector<std::string>& params) {
    if (connection < 1 || connection > impl_->conns.size()) return;
    Conn& c = *impl_->conns[connection - 1];
    if (!c.open) return;
    impl_->Send(c, token, params);
    impl_->Flush();
}

void Server::DropAll() {
    for (auto& c : impl_->conns) impl_->Close(*c);
}

void Server::Drop(size_t connection) {
    if (connection >= 1 && connection <= impl_->conns.size()) {
        impl_->Close(*impl_->conns[connection - 1]);
    }
}

size_t Server::Connections() const {
    return impl_->conns.size();
}

size_t Server::Sessions() const {
    return static_cast<size_t>(std::count_if(impl_->conns.begin(), impl_->conns.end(),
                                             [](const auto& c) { return c->open && c->loggedIn; }));
}

}  // namespace simserver
