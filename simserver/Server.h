#pragma once
// The simulated trading server: listens on a TCP port, logs clients in from
// its book, answers every request the client API queues (one answer each, as
// the client reads it), pushes order results, positions, pending orders,
// summaries and its time, and walks its quotes on a timer. Accounts in re-quote
// mode have their market orders and closes held for a dealer; entry orders and
// SL/TP orders fill when a quote reaches them, a filled entry order's S/L and T/P
// on an SL/TP order of its new position; margin, commission and realised
// profit move the account's figures. Runs on the event loop; its own timers
// always run on real time, so a test may drive the client's timers on virtual
// time in the same process.
//
//   simserver::Server server(book);
//   server.Listen("127.0.0.1", 0);
//   client.setServerPort(server.Port());
//   ... platform::EventLoop::RunUntil(...) ...
//   server.book().Requests(GET_SUMMARIES_TOKEN)
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "simserver/Book.h"

namespace simserver {

class Server {
public:
    Server();
    explicit Server(Book book);
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // An address ("127.0.0.1", "0.0.0.0", "localhost"); port 0 picks a free
    // one. Raises runtime::Error(5) when it cannot listen.
    void Listen(const std::string& address = "127.0.0.1", int32_t port = 0);
    int32_t Port() const;

    // The state the answers come from; tests may change it at any time.
    Book& book();
    const Book& book() const;

    // The quote walk: every periodMs each used symbol but the account
    // currency moves by a few tenths of a pip, drawn from a generator seeded
    // with `seed`; changed quotes go out as 243, new highs and lows as 276.
    void StartQuotes(int32_t periodMs, uint32_t seed);
    void StopQuotes();
    bool QuotesRunning() const;

    // Pushes. Quotes go to the sessions that started the market; account
    // pushes to the logged-in sessions whose user sees the account.
    // A 243 of one symbol, the book's prices set first; the orders it reaches
    // fill after it.
    void PushPrice(int32_t symbolId, double bid, double ask);
    // A 250 from the book's figures of the account.
    void PushSummaries(int32_t accountId);
    // A 265 with the client's parameter list from the book.
    void PushClientParameters(int32_t clientId);
    // Any message to every logged-in session.
    void Push(int32_t token, const std::vector<std::string>& params);

    // Any message to one connection (accept order, from 1) while it is open.
    void PushTo(size_t connection, int32_t token, const std::vector<std::string>& params);

    // Closes every open connection (the clients log in again by themselves).
    void DropAll();
    // Closes one connection (accept order, from 1).
    void Drop(size_t connection);
    // Closes every open connection logged in as the user.
    void DropUser(const std::string& name);
    // Accepted connections so far.
    size_t Connections() const;
    // Open connections that are logged in.
    size_t Sessions() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace simserver
