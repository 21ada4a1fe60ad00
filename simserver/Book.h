#pragma once
// What the simulated trading server knows: users, clients, accounts, symbols,
// open positions, pending orders, how each account answers market orders, and
// a log of every request it got. Plain data that tests fill before a login and
// read afterwards; the server (Server.h) changes it as requests arrive.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

namespace simserver {

// The seven summary figures, in the order of the summaries answer and push.
struct Figures {
    double totComm = 0;
    double totInt = 0;
    double marginReq = 0;
    double netProfit = 0;
    double totDep = 0;
    double totCr = 0;
    double prvMargin = 0;
};

// How an account answers a market order.
struct AnswerMode {
    enum Kind { Accept, Requote, Reject };
    Kind kind = Accept;
    // Accept: 1 answers the order as executed, 2 as held pending; the position
    // and its pushes follow either way.
    int32_t posOrOrder = 1;
    // Requote: the seconds the client has to answer (sent in its user's
    // server variables) and how many pips the new price moves against it.
    int32_t requoteSeconds = 5;
    double requotePips = 3;
    // Reject: a negative rejectRet answers the order with that code and opens
    // nothing; otherwise the order is answered held (2) with an id, and a push
    // of rejectStatus then refuses it.
    int32_t rejectStatus = 21;
    int32_t rejectRet = 0;
    // Requote: closes are held for the dealer, who accepts them this many
    // milliseconds later (0: at once, after the answer).
    int32_t dealerMs = 700;

    static AnswerMode Accepting() { return {}; }
    static AnswerMode AcceptingAsPending() {
        AnswerMode m;
        m.posOrOrder = 2;
        return m;
    }
    static AnswerMode Requoting(int32_t seconds, double pips = 3) {
        AnswerMode m;
        m.kind = Requote;
        m.requoteSeconds = seconds;
        m.requotePips = pips;
        return m;
    }
    static AnswerMode RejectingWithStatus(int32_t status) {
        AnswerMode m;
        m.kind = Reject;
        m.rejectStatus = status;
        return m;
    }
    static AnswerMode RejectingWithRet(int32_t ret) {
        AnswerMode m;
        m.kind = Reject;
        m.rejectRet = ret;
        return m;
    }
};

struct User {
    std::string name;
    std::string password;
    int32_t id = 0;
    int32_t clientId = 0;  // the top of the client tree the user sees
    // The symbol table the user's logins get, by id; empty: every symbol.
    std::vector<int32_t> symbols;
    // Logins answered as with a wrong password while set.
    bool loginsRefused = false;
};

// A client's trading parameters for one symbol (the complement answer's eight values).
struct SymbolParams {
    double spread = 2;
    int32_t sourcePlus = 0;
    double limitOffset = 5;
    double stopOffset = 5;
    double commission = 0;
    double maxLots = 100;
    double minLots = 0.1;
};

struct Client {
    int32_t id = 0;
    int32_t parent = 0;
    std::string firstName, secondName, thirdName, lastName;
    std::string userName;
    std::map<int32_t, SymbolParams> params;  // a symbol not listed has the defaults
};

struct Account {
    int32_t id = 0;
    int32_t clientId = 0;
    double initialMargin = 0;
    std::string openDate;  // "dd/mm/yyyy hh:nn:ss"; empty: the server's start
    bool locked = false;
    Figures figures;
    AnswerMode mode;
};

struct Symbol {
    int32_t id = 0;
    std::string name;
    int32_t pipLocation = -4;  // a pip is 10 ^ pipLocation
    bool used = true;
    double bid = 0;
    double ask = 0;
    double high = 0;
    double low = 0;
    double contractSize = 100000;
    double tickPips = 1;
    std::string quoteTime;  // empty: the server's start
    // The margin one lot holds, in the account currency.
    double marginPerLot = 0;
};

struct Position {
    int32_t ticket = 0;
    int32_t clientId = 0;
    int32_t accountId = 0;
    std::string time;  // "dd/mm/yyyy hh:nn:ss"
    int32_t side = 1;  // 1 buy, -1 sell
    double lots = 0;
    int32_t symbolId = 0;
    double price = 0;
    double interest = 0;
};

struct Order {
    int32_t id = 0;
    int32_t clientId = 0;
    int32_t accountId = 0;
    std::string time;  // "dd/mm/yyyy hh:nn:ss"
    // A limit or stop order: 1 buy limit, 2 buy stop, -1 sell limit, -2 sell
    // stop. A stop-loss/take-profit order: the side that closes its position.
    int32_t side = 1;
    double lots = 0;
    int32_t symbolId = 0;
    double price = 0;
    bool slTp = false;   // "ST" rather than "LO"
    int32_t ticket = 0;  // the position an SL/TP order belongs to
    std::string sl, tp;  // "" when absent
};

// One request as the server got it.
struct LoggedRequest {
    size_t connection = 0;  // accept order, from 1
    std::string user;       // "" before a login
    int32_t token = 0;      // 0 for an unknown command word
    std::vector<std::string> params;
};

// The current local time as every time text of the server reads: "dd/mm/yyyy hh:nn:ss".
std::string NowText();
// The current time in the zone `gmtOffset` hours east of Greenwich, in the same form.
std::string NowTextAt(double gmtOffset);

class Book {
public:
    // Settings every login reads.
    std::string minVersion = "10,2,3";
    double gmtOffset = 2;
    double serverGmt = 2;
    int32_t handshakeMs = 5000;
    // The re-quote seconds of a user none of whose accounts re-quotes.
    int32_t requoteSeconds = 5;
    // Milliseconds between the server's time messages to a logged-in session
    // (the first follows the login answer); 0 sends none.
    int32_t timeMs = 5000;

    // The next user id, ticket and order id handed out.
    int32_t nextUserId = 77;
    int32_t nextTicket = 1001;
    int32_t nextOrderId = 5001;

    std::vector<User> users;
    std::vector<Client> clients;
    std::vector<Account> accounts;
    std::vector<Symbol> symbols;
    std::vector<Position> positions;
    std::vector<Order> orders;
    std::vector<LoggedRequest> log;
    // Request tokens answered by the protocol's error message (a code that ends
    // only the request, not the session): each entry answers the next request
    // of its token and leaves the list.
    std::vector<int32_t> errorAnswers;
    // Request tokens taken and never answered while listed (a stalled server):
    // the client's queue waits behind them.
    std::vector<int32_t> unanswered;

    // Adders fill what the caller left out (user id, ticket, order id, the
    // client of a position or order, its time: now) and return the stored
    // entry's id.
    int32_t AddUser(User user);
    int32_t AddClient(Client client);
    int32_t AddAccount(Account account);
    int32_t AddSymbol(Symbol symbol);
    int32_t AddPosition(Position position);
    int32_t AddOrder(Order order);

    // nullptr when unknown. Pointers last until the next change of that list.
    User* FindUser(const std::string& name);
    Client* FindClient(int32_t id);
    Account* FindAccount(int32_t id);
    Symbol* FindSymbol(int32_t id);
    Position* FindPosition(int32_t accountId, int32_t ticket);
    Order* FindOrder(int32_t accountId, int32_t id);
    // The client's parameters for a symbol (the defaults when not listed).
    SymbolParams ParamsOf(const Client& client, int32_t symbolId) const;

    // The clients a user sees: its own and those below it, in book order.
    std::vector<const Client*> ClientsOf(const User& user) const;
    std::vector<const Account*> AccountsOf(const User& user) const;
    bool Sees(const User& user, int32_t accountId) const;
    // The client and those above it, nearest first (a parent cycle ends the walk):
    // a user whose client is among them sees the client's accounts.
    std::vector<int32_t> ClientAndAbove(int32_t clientId) const;
    bool SeesSymbol(const User& user, int32_t symbolId) const;

    // `count` traders in one call, numbered i = 1..count: user prefix & i with
    // `password`, client and account firstId + i - 1. Returns the account ids.
    std::vector<int32_t> AddTraders(int32_t count, const std::string& prefix,
                                    const std::string& password, int32_t firstId);
    // The re-quote seconds of the user's server variables: those of its
    // first re-quoting account, else the book's.
    int32_t RequoteSecondsOf(const User& user) const;

    // Logged requests with this token, in order.
    std::vector<LoggedRequest> Requests(int32_t token) const;

    // The account's summary figures as the server sends them: the stored ones
    // with the margin its open positions hold taken off the margin requirement.
    Figures FiguresOf(const Account& account) const;
    // The margin a position of `lots` in the symbol holds (0 for an unknown symbol).
    double MarginOf(int32_t symbolId, double lots) const;
    // The profit of closing `lots` of the position at the symbol's current
    // quote (bid for a buy, ask for a sell), in cents.
    double FloatingOf(const Position& position, double lots) const;
    // Equity plus the (negative) margin requirement: what a new position may still hold.
    double FreeMargin(const Account& account) const;

private:
    using Parents = std::unordered_map<int32_t, int32_t>;
    Parents ParentsOf() const;
    static bool Below(int32_t clientId, int32_t topId, const Parents& parents);
};

}  // namespace simserver
