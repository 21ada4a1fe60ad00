#include "simserver/Server.h"

#include <algorithm>
#include <random>

#include "simserver/Server_internal.h"

namespace simserver {

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

void Server::DropUser(const std::string& name) {
    for (auto& c : impl_->conns)
        if (c->loggedIn && c->user == name) impl_->Close(*c);
}

size_t Server::Connections() const {
    return impl_->conns.size();
}

size_t Server::Sessions() const {
    return static_cast<size_t>(std::count_if(impl_->conns.begin(), impl_->conns.end(),
                                             [](const auto& c) { return c->open && c->loggedIn; }));
}

}  // namespace simserver
