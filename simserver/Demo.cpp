#include "simserver/Demo.h"

#include <string>

namespace simserver {

Book DemoBook() {
    Book book;
    // Symbol 1 is the account currency: the client prices it at 1 and the
    // others refer to it; it is not traded.
    Symbol currency;
    currency.id = 1;
    currency.name = "USD";
    currency.used = false;
    currency.bid = currency.ask = currency.high = currency.low = 1;
    currency.contractSize = 1;
    book.AddSymbol(currency);
    struct Quote {
        const char* name;
        int32_t pipLocation;
        double bid, spreadPips, contract;
    };
    const Quote quotes[] = {
        {"EURUSD", -4, 1.08512, 1.2, 100000}, {"GBPUSD", -4, 1.26431, 1.5, 100000},
        {"AUDUSD", -4, 0.65873, 1.4, 100000}, {"NZDUSD", -4, 0.60215, 1.8, 100000},
        {"XAUUSD", -2, 2331.45, 30, 100},     {"XAGUSD", -3, 27.415, 25, 5000},
        {"XPTUSD", -2, 968.20, 40, 50},       {"XPDUSD", -2, 1012.60, 60, 100},
        {"BTCUSD", 0, 67250.0, 25, 1},        {"ETHUSD", -1, 3412.5, 20, 1},
    };
    int32_t id = 2;
    for (const Quote& q : quotes) {
        Symbol s;
        s.id = id++;
        s.name = q.name;
        s.pipLocation = q.pipLocation;
        s.bid = q.bid;
        double pip = 1;
        for (int32_t i = 0; i > q.pipLocation; --i) pip /= 10;
        s.ask = s.bid + q.spreadPips * pip;
        s.high = s.ask + 40 * pip;
        s.low = s.bid - 40 * pip;
        s.contractSize = q.contract;
        book.AddSymbol(s);
    }

    struct Person {
        const char* user;
        const char* password;
        const char* first;
        const char* last;
        int32_t client;
        int32_t account;
    };
    const Person people[] = {
        {"DEALER1", "ALPHA1", "First", "Trader", 101, 10001},
        {"DEALER2", "BRAVO2", "Second", "Trader", 102, 10002},
        {"DEALER3", "CHARLIE3", "Third", "Trader", 103, 10003},
    };
    for (const Person& p : people) {
        Client c;
        c.id = p.client;
        c.firstName = p.first;
        c.lastName = p.last;
        c.userName = p.user;
        book.AddClient(c);
        Account a;
        a.id = p.account;
        a.clientId = p.client;
        a.initialMargin = 10000;
        a.figures.totDep = 10000;
        a.figures.marginReq = 0;
        book.AddAccount(a);
        User u;
        u.name = p.user;
        u.password = p.password;
        u.clientId = p.client;
        book.AddUser(u);
    }
    book.accounts[2].mode = AnswerMode::Requoting(8);

    // Opened a little away from the quotes, so floating profit shows at once.
    struct Opened {
        int32_t account, side;
        double lots;
        int32_t symbol;
        double price;
    };
    const Opened opened[] = {
        {10001, 1, 0.5, 2, 1.08312}, {10001, -1, 1, 6, 2335.10}, {10002, -1, 1, 3, 1.26650},
        {10003, 1, 0.2, 10, 66900},  {10003, 1, 2, 4, 0.65710},
    };
    for (const Opened& o : opened) {
        Position p;
        p.accountId = o.account;
        p.time = "02/12/2026 09:30:00";
        p.side = o.side;
        p.lots = o.lots;
        p.symbolId = o.symbol;
        p.price = o.price;
        book.AddPosition(p);
    }
    for (Account& a : book.accounts) a.openDate = "01/12/2026 08:00:00";
    return book;
}

std::vector<std::string> CredentialLines(const Book& book) {
    std::vector<std::string> out;
    for (const User& u : book.users) {
        for (const Account* a : book.AccountsOf(u)) {
            out.push_back(u.name + " " + u.password + " " + std::to_string(a->id));
        }
    }
    return out;
}

}  // namespace simserver
