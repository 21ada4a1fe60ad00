#include "simserver/Book.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "runtime/Clock.h"
#include "runtime/Date.h"

namespace simserver {

namespace {

std::string TimeText(runtime::Date at) {
    const runtime::DateParts d = runtime::SplitDate(at);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d %02d:%02d:%02d", d.day, d.month, d.year, d.hour,
                  d.minute, d.second);
    return buf;
}

// Hours the machine's local time is east of Greenwich, now.
double LocalGmtOffset() {
    const std::time_t t = std::time(nullptr);
    std::tm local{}, utc{};
    localtime_r(&t, &local);
    gmtime_r(&t, &utc);
    utc.tm_isdst = local.tm_isdst;
    return std::difftime(std::mktime(&local), std::mktime(&utc)) / 3600.0;
}

const Symbol* FindIn(const std::vector<Symbol>& symbols, int32_t id) {
    for (const auto& s : symbols)
        if (s.id == id) return &s;
    return nullptr;
}

double Cents(double x) {
    return std::round(x * 100) / 100;
}

}  // namespace

std::string NowText() {
    return TimeText(runtime::Now());
}

std::string NowTextAt(double gmtOffset) {
    const double hours = gmtOffset - LocalGmtOffset();
    return TimeText(runtime::Date(runtime::Now().value + hours / 24.0));
}

int32_t Book::AddUser(User user) {
    if (user.id == 0) user.id = nextUserId++;
    users.push_back(std::move(user));
    return users.back().id;
}

int32_t Book::AddClient(Client client) {
    clients.push_back(std::move(client));
    return clients.back().id;
}

int32_t Book::AddAccount(Account account) {
    accounts.push_back(std::move(account));
    return accounts.back().id;
}

int32_t Book::AddSymbol(Symbol symbol) {
    symbols.push_back(std::move(symbol));
    return symbols.back().id;
}

int32_t Book::AddPosition(Position position) {
    if (position.ticket == 0) position.ticket = nextTicket++;
    if (position.time.empty()) position.time = NowTextAt(serverGmt);
    if (position.clientId == 0) {
        if (const Account* a = FindAccount(position.accountId)) position.clientId = a->clientId;
    }
    positions.push_back(std::move(position));
    return positions.back().ticket;
}

int32_t Book::AddOrder(Order order) {
    if (order.id == 0) order.id = nextOrderId++;
    if (order.time.empty()) order.time = NowTextAt(serverGmt);
    if (order.clientId == 0) {
        if (const Account* a = FindAccount(order.accountId)) order.clientId = a->clientId;
    }
    orders.push_back(std::move(order));
    return orders.back().id;
}

User* Book::FindUser(const std::string& name) {
    for (auto& u : users) {
        if (u.name == name) return &u;
    }
    return nullptr;
}

Client* Book::FindClient(int32_t id) {
    for (auto& c : clients) {
        if (c.id == id) return &c;
    }
    return nullptr;
}

Account* Book::FindAccount(int32_t id) {
    for (auto& a : accounts) {
        if (a.id == id) return &a;
    }
    return nullptr;
}

Symbol* Book::FindSymbol(int32_t id) {
    for (auto& s : symbols) {
        if (s.id == id) return &s;
    }
    return nullptr;
}

Position* Book::FindPosition(int32_t accountId, int32_t ticket) {
    for (auto& p : positions) {
        if (p.accountId == accountId && p.ticket == ticket) return &p;
    }
    return nullptr;
}

Order* Book::FindOrder(int32_t accountId, int32_t id) {
    for (auto& o : orders) {
        if (o.accountId == accountId && o.id == id) return &o;
    }
    return nullptr;
}

SymbolParams Book::ParamsOf(const Client& client, int32_t symbolId) const {
    const auto it = client.params.find(symbolId);
    return it == client.params.end() ? SymbolParams{} : it->second;
}

Book::Parents Book::ParentsOf() const {
    Parents parents;
    parents.reserve(clients.size());
    for (const auto& c : clients) parents.emplace(c.id, c.parent);
    return parents;
}

bool Book::Below(int32_t clientId, int32_t topId, const Parents& parents) {
    // Bounded by the number of clients, so a parent cycle cannot loop forever.
    for (size_t hops = 0; hops <= parents.size(); ++hops) {
        if (clientId == topId) return true;
        const auto it = parents.find(clientId);
        if (it == parents.end() || it->second == 0 || it->second == clientId) return false;
        clientId = it->second;
    }
    return false;
}

std::vector<const Client*> Book::ClientsOf(const User& user) const {
    const Parents parents = ParentsOf();
    std::vector<const Client*> out;
    for (const auto& c : clients) {
        if (Below(c.id, user.clientId, parents)) out.push_back(&c);
    }
    return out;
}

std::vector<const Account*> Book::AccountsOf(const User& user) const {
    const Parents parents = ParentsOf();
    std::vector<const Account*> out;
    for (const auto& a : accounts) {
        if (Below(a.clientId, user.clientId, parents)) out.push_back(&a);
    }
    return out;
}

bool Book::Sees(const User& user, int32_t accountId) const {
    for (const auto& a : accounts) {
        if (a.id != accountId) continue;
        if (a.clientId == user.clientId) return true;
        return Below(a.clientId, user.clientId, ParentsOf());
    }
    return false;
}

std::vector<int32_t> Book::ClientAndAbove(int32_t clientId) const {
    const Parents parents = ParentsOf();
    std::vector<int32_t> out;
    // Bounded by the number of clients, as Below is.
    for (size_t hops = 0; hops <= parents.size(); ++hops) {
        out.push_back(clientId);
        const auto it = parents.find(clientId);
        if (it == parents.end() || it->second == 0 || it->second == clientId) break;
        clientId = it->second;
    }
    return out;
}

bool Book::SeesSymbol(const User& user, int32_t symbolId) const {
    return user.symbols.empty() ||
           std::find(user.symbols.begin(), user.symbols.end(), symbolId) != user.symbols.end();
}

std::vector<int32_t> Book::AddTraders(int32_t count, const std::string& prefix,
                                      const std::string& password, int32_t firstId) {
    std::vector<int32_t> ids;
    for (int32_t i = 0; i < count; ++i) {
        Client client;
        client.id = firstId + i;
        client.userName = prefix + std::to_string(i + 1);
        AddClient(client);
        User user;
        user.name = client.userName;
        user.password = password;
        user.clientId = client.id;
        AddUser(user);
        Account account;
        account.id = firstId + i;
        account.clientId = client.id;
        account.figures.totDep = 10000;
        ids.push_back(AddAccount(account));
    }
    return ids;
}

int32_t Book::RequoteSecondsOf(const User& user) const {
    for (const Account* a : AccountsOf(user)) {
        if (a->mode.kind == AnswerMode::Requote) return a->mode.requoteSeconds;
    }
    return requoteSeconds;
}

std::vector<LoggedRequest> Book::Requests(int32_t token) const {
    std::vector<LoggedRequest> out;
    for (const auto& r : log) {
        if (r.token == token) out.push_back(r);
    }
    return out;
}

Figures Book::FiguresOf(const Account& account) const {
    Figures f = account.figures;
    for (const auto& p : positions)
        if (p.accountId == account.id) f.marginReq -= MarginOf(p.symbolId, p.lots);
    f.marginReq = Cents(f.marginReq);
    return f;
}

double Book::MarginOf(int32_t symbolId, double lots) const {
    const Symbol* s = FindIn(symbols, symbolId);
    return s ? s->marginPerLot * lots : 0;
}

double Book::FloatingOf(const Position& position, double lots) const {
    const Symbol* s = FindIn(symbols, position.symbolId);
    if (!s) return 0;
    const double close = position.side == 1 ? s->bid : s->ask;
    return Cents((close - position.price) * position.side * lots * s->contractSize);
}

double Book::FreeMargin(const Account& account) const {
    const Figures f = FiguresOf(account);
    double equity = f.totDep + f.prvMargin + f.netProfit + f.totComm + f.totInt + f.totCr;
    for (const auto& p : positions)
        if (p.accountId == account.id) equity += FloatingOf(p, p.lots);
    return equity + f.marginReq;
}

}  // namespace simserver
