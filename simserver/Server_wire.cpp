// The wire and the connections: accepting, reading and answering requests in
// one write per connection, the pushes to an account's watchers, the rows and
// texts of the answers, and the login road's requests.
#include "simserver/Server_internal.h"

#include <exception>

#include "runtime/Error.h"

namespace simserver {

namespace {

// Market-order audit statuses the server sends.
constexpr int32_t kClientRejected = og::PriceChangedClientReject_PendingType;
constexpr int32_t kExpired = og::PriceChangedTimerExpired_PendingType;
// Where an order push's row holds its time (from 0).
constexpr size_t kAuditTimeCell = 7;
// An error code outside the session's own (those reset the session).
constexpr int32_t kRequestError = -1;

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
                               [c = conn](const auto& e) { return e.first == c; });
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
        } else if (const auto error =
                       std::find(book.errorAnswers.begin(), book.errorAnswers.end(), m.token);
                   error != book.errorAnswers.end()) {
            book.errorAnswers.erase(error);
            Send(c, og::ERROR_TOKEN, {Num(kRequestError)});
        } else if (std::find(book.unanswered.begin(), book.unanswered.end(), m.token) !=
                   book.unanswered.end()) {
            // left waiting
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
    if (!user || user->password != P(m, 2) || user->loginsRefused) {
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

}  // namespace simserver
