#include "simserver/Demo.h"

#include <cmath>
#include <string>

namespace simserver {

namespace {

constexpr double kCommissionPerLot = 5;

}  // namespace

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
    // The leverage sets the margin a lot holds: a lot's worth divided by it.
    struct Quote {
        const char* name;
        int32_t pipLocation;
        double bid, spreadPips, contract, leverage;
    };
    const Quote quotes[] = {
        {"EURUSD", -4, 1.08512, 1.2, 100000, 100}, {"GBPUSD", -4, 1.26431, 1.5, 100000, 100},
        {"AUDUSD", -4, 0.65873, 1.4, 100000, 100}, {"NZDUSD", -4, 0.60215, 1.8, 100000, 100},
        {"XAUUSD", -2, 2331.45, 30, 100, 50},      {"XAGUSD", -3, 27.415, 25, 5000, 50},
        {"XPTUSD", -2, 968.20, 40, 50, 50},        {"XPDUSD", -2, 1012.60, 60, 100, 50},
        {"BTCUSD", 0, 67250.0, 25, 1, 5},          {"ETHUSD", -1, 3412.5, 20, 1, 5},
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
        s.marginPerLot = std::round(q.bid * q.contract / q.leverage);
        book.AddSymbol(s);
    }

    struct Person {
        const char* user;
        const char* password;
        const char* first;
        const char* last;
        int32_t client;
        int32_t account;
        double deposit;
    };
    // The second account's smaller deposit runs out of margin after a few lots.
    const Person people[] = {
        {"DEALER1", "ALPHA1", "First", "Trader", 101, 10001, 10000},
        {"DEALER2", "BRAVO2", "Second", "Trader", 102, 10002, 5000},
        {"DEALER3", "CHARLIE3", "Third", "Trader", 103, 10003, 10000},
    };
    for (const Person& p : people) {
        Client c;
        c.id = p.client;
        c.firstName = p.first;
        c.lastName = p.last;
        c.userName = p.user;
        for (const Symbol& s : book.symbols)
            if (s.used) c.params[s.id].commission = kCommissionPerLot;
        book.AddClient(c);
        Account a;
        a.id = p.account;
        a.clientId = p.client;
        a.initialMargin = p.deposit;
        a.figures.totDep = p.deposit;
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

void AddNumberedTraders(Book& book, int32_t count, int32_t positionsEach) {
    std::vector<const Symbol*> traded;
    for (const Symbol& s : book.symbols)
        if (s.used && s.bid > 0) traded.push_back(&s);
    const size_t firstUser = book.users.size();
    const std::vector<int32_t> ids = book.AddTraders(count, "TRADER", "", kFirstNumberedAccount);
    for (size_t i = 0; i < ids.size(); ++i) {
        book.users[firstUser + i].password = "PASS" + std::to_string(i + 1);
        Account* a = book.FindAccount(ids[i]);
        a->initialMargin = a->figures.totDep;
        a->openDate = "01/12/2026 08:00:00";
    }
    if (traded.empty()) return;
    size_t next = 0;
    for (int32_t id : ids) {
        for (int32_t k = 0; k < positionsEach; ++k, ++next) {
            const Symbol& s = *traded[next % traded.size()];
            Position p;
            p.accountId = id;
            p.time = "02/12/2026 09:30:00";
            p.side = next % 2 == 0 ? 1 : -1;
            p.lots = 0.1;
            p.symbolId = s.id;
            // A few pips either side of the quote, so profits and losses both show.
            const double pip = std::pow(10.0, s.pipLocation);
            p.price = s.bid + static_cast<double>(static_cast<int32_t>(next % 21) - 10) * pip;
            book.AddPosition(p);
        }
    }
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
