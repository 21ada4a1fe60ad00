#include "simserver/Book.h"

#include <algorithm>

namespace simserver {

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
    if (position.clientId == 0) {
        if (const Account* a = FindAccount(position.accountId)) position.clientId = a->clientId;
    }
    positions.push_back(std::move(position));
    return positions.back().ticket;
}

int32_t Book::AddOrder(Order order) {
    if (order.id == 0) order.id = nextOrderId++;
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

bool Book::Below(int32_t clientId, int32_t topId) const {
    // Bounded by the number of clients, so a parent cycle cannot loop forever.
    for (size_t hops = 0; hops <= clients.size(); ++hops) {
        if (clientId == topId) return true;
        const auto it = std::find_if(clients.begin(), clients.end(),
                                     [&](const Client& c) { return c.id == clientId; });
        if (it == clients.end() || it->parent == 0 || it->parent == clientId) return false;
        clientId = it->parent;
    }
    return false;
}

std::vector<const Client*> Book::ClientsOf(const User& user) const {
    std::vector<const Client*> out;
    for (const auto& c : clients) {
        if (Below(c.id, user.clientId)) out.push_back(&c);
    }
    return out;
}

std::vector<const Account*> Book::AccountsOf(const User& user) const {
    std::vector<const Account*> out;
    for (const auto& a : accounts) {
        if (Below(a.clientId, user.clientId)) out.push_back(&a);
    }
    return out;
}

bool Book::Sees(const User& user, int32_t accountId) const {
    for (const auto& a : accounts) {
        if (a.id == accountId) return Below(a.clientId, user.clientId);
    }
    return false;
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

}  // namespace simserver
