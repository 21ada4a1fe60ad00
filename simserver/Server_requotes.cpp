// Re-quotes and dealer holds: the client's answer to a re-quote, and closes,
// done at once or held for the dealer and accepted when he is due.
#include "simserver/Server_internal.h"

#include <chrono>
#include <exception>

#include "runtime/Strings.h"

namespace simserver {

namespace {

// Answer codes of refused orders.
constexpr int32_t kPositionIsClosed = -10;
// How often the dealer looks at the closes held for him.
constexpr int32_t kDealerTickMs = 20;

}  // namespace

// ---- re-quotes --------------------------------------------------------------

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

}  // namespace simserver
