// Orders and fills: the account's figures, market orders, positions opened and
// closed, and entry and SL/TP orders with the quotes that reach them.
#include "simserver/Server_internal.h"

#include <cmath>
#include <exception>

#include "runtime/Strings.h"

namespace simserver {

namespace {

// Market-order audit statuses the server sends.
constexpr int32_t kNewAccepted = og::NewAccepted;
// Entry-order statuses: executed, cancelled for lack of money.
constexpr int32_t kEntryExecuted = 5;
constexpr int32_t kEntryNoMoney = -2;
// Answer codes of refused orders.
constexpr int32_t kUnableMarketConditions = -50;
constexpr int32_t kNotEnoughMoney = -2;

// Lots left after a part close, without the binary remainder of the subtraction.
double OnGridLots(double lots) {
    return std::round(lots * 1e8) / 1e8;
}

double Cents(double x) {
    return std::round(x * 100) / 100;
}

}  // namespace

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

void Server::Impl::PushOrder(const Order& o) {
    ToWatchers(o.accountId, og::NEW_PENDING_ORDER_TOKEN,
               {Num(o.clientId), Num(o.accountId), OrderRow(o)});
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
    PushOrder(book.orders.back());
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
    PushOrder(book.orders.back());
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
    PushOrder(*o);
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

void Server::Impl::ReachAllOrders() {
    if (book.orders.empty()) return;
    try {
        for (const Symbol& s : book.symbols) ReachOrders(s.id);
    } catch (const std::exception&) {
        outbox.clear();  // a timer's tick must not end the server
    }
    Flush();
}

}  // namespace simserver
