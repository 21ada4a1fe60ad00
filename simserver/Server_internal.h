#pragma once
// What the simulated server's sources share, for them alone: the server's state
// (Server::Impl), its connections, the market orders and closes in the making,
// and the helpers that read requests and write numbers.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "general/common/CGenerals.h"
#include "general/common/Enums.h"
#include "general/common/MCommandMessage.h"
#include "platform/TcpSocket.h"
#include "platform/Timer.h"
#include "runtime/Convert.h"
#include "runtime/Variant.h"
#include "simserver/Book.h"
#include "simserver/Messages.h"
#include "simserver/Server.h"

namespace simserver {

namespace og = OrbanelGeneral10;
using runtime::Variant;

using SteadyClock = std::chrono::steady_clock;

inline std::string Num(double x) {
    return runtime::NumberToText(x);
}

inline std::string Num(int32_t x) {
    return std::to_string(x);
}

// A usable amount or price: above 0 and far from the largest double, which
// an overflowing text reads as.
inline bool Positive(double x) {
    return x > 0 && x < 1e12;
}

// Leading number of a field, rounded to a whole number; 0 when it does not fit.
inline int32_t Whole(const std::string& text) {
    const double x = runtime::RoundHalfEven(runtime::Val(text));
    if (!(x >= -2147483648.0 && x <= 2147483647.0)) return 0;
    return static_cast<int32_t>(x);
}

inline double PipOf(const Symbol& s) {
    return std::pow(10.0, s.pipLocation);
}

// A price on the symbol's grid: a tenth of a pip.
inline double OnGrid(const Symbol& s, double price) {
    const int32_t decimals = std::clamp(1 - s.pipLocation, 0, 10);
    const double scale = std::pow(10.0, decimals);
    return std::round(price * scale) / scale;
}

// A market order in the making: a re-quote waiting for the client, a fill,
// or the closing order of a position.
struct Requote {
    int32_t orderId = 0;
    int32_t clientId = 0;
    int32_t accountId = 0;
    int32_t symbolId = 0;
    int32_t side = 1;
    double lots = 0;
    double newPrice = 0;
    double oldPrice = 0;
};

// A close the dealer holds: each ticket with its lots and asked price.
struct HeldClose {
    int32_t orderId = 0;
    int32_t accountId = 0;
    struct Item {
        int32_t ticket = 0;
        double lots = 0;
        double price = 0;
    };
    std::vector<Item> items;
    SteadyClock::time_point due;
};

struct Conn {
    size_t number = 0;
    std::shared_ptr<platform::TcpSocket> socket;
    og::wire::ReceiveBuffer rx;
    std::vector<std::string> cut;
    bool open = true;
    bool loggedIn = false;
    bool market = false;  // asked for quotes (start market)
    std::string user;
    std::vector<std::string> lastRows;  // the last multi-row answer, for re-sends
    std::unique_ptr<platform::Timer> handshakes;
    std::unique_ptr<platform::Timer> clock;  // the server's time messages
};

struct Server::Impl {
    Book book;
    platform::TcpServer listener;
    std::vector<std::shared_ptr<Conn>> conns;
    std::map<int32_t, Requote> requotes;  // by order id
    og::CGenerals generals;
    int32_t nextSid = 1001;
    std::unique_ptr<platform::Timer> quoteTimer;
    std::mt19937 rng;
    std::vector<HeldClose> held;  // in the order they came
    std::unique_ptr<platform::Timer> dealerTimer;
    // What one request sends, in order, written out once the request is
    // handled whole: a request that fails midway sends only its fallback.
    std::vector<std::pair<Conn*, std::string>> outbox;

    void OnAccept(std::shared_ptr<platform::TcpSocket> socket);
    void OnReceive(Conn& c);
    void OnClosed(Conn& c);
    void Handle(Conn& c, const Received& m);
    void Answer(Conn& c, const Received& m, const User& user);
    void Flush();
    void Write(Conn& c, const std::string& text);
    void Close(Conn& c);

    // Output.
    void Send(Conn& c, int32_t token, const std::vector<std::string>& params) {
        outbox.emplace_back(&c, RenderMessage(token, params));
    }
    void Result(Conn& c, const std::vector<std::string>& params) {
        Send(c, og::RESULT_TOKEN, params);
    }
    void Rows(Conn& c, std::vector<std::string> rows);
    void ToWatchers(int32_t accountId, int32_t token, const std::vector<std::string>& params);
    std::vector<Conn*> Watchers(int32_t accountId);
    // A new or changed pending order to its account's watchers.
    void PushOrder(const Order& o);
    User* UserOf(const Conn& c) { return c.loggedIn ? book.FindUser(c.user) : nullptr; }

    // Texts.
    std::string ParamsText(const Client* client) const;
    std::string PosRow(const Position& p);
    std::string OrderRow(const Order& o);
    std::string AuditRow(const Requote& r, int32_t status, int32_t ticket, double newPrice,
                         double oldPrice, og::OrdersTypeEnum orderType = og::MarketDataType,
                         int32_t closeTicket = 0);
    // The seven figures in the summaries' order.
    std::vector<std::string> SummariesParams(const Account& a) const;
    // A 250: client, account, the seven figures, the liquidation lock.
    std::vector<std::string> SummariesPush(const Account& a) const;

    // Requests.
    void Login(Conn& c, const Received& m);
    void Variables(Conn& c, const User& user);
    void SymbolRows(Conn& c, const User& user);
    void ClientRows(Conn& c, const User& user);
    void AccountRows(Conn& c, const User& user);
    void ComplementData(Conn& c, const Received& m);
    void Summaries(Conn& c, const Received& m, const User& user);
    void PositionRows(Conn& c, const Received& m, const User& user);
    void OrderRows(Conn& c, const Received& m, const User& user);
    void NewOrder(Conn& c, const Received& m, const User& user);
    void AcceptOrder(Conn& c, const Received& m);
    // The client's refusal of a re-quote, or its timer's end: acknowledged, and
    // the order ends with `status`.
    void EndRequote(Conn& c, const Received& m, int32_t status);
    void CloseOrder(Conn& c, const Received& m, const User& user);
    void NewLimitOrder(Conn& c, const Received& m, const User& user, bool slTp);
    void UpdateOrder(Conn& c, const Received& m, const User& user, bool slTp);
    void DeleteOrders(Conn& c, const Received& m, const User& user, bool slTp);
    // Opens the position of an accepted market order with its pushes.
    void Fill(const Requote& r, double price, double requested);
    int32_t Open(const Requote& r, double price, std::string& pushes);
    // Whether the account's free margin holds `lots` more of the symbol.
    bool Affords(const Account& a, int32_t symbolId, double lots) const;
    double CommissionOf(const Account& a, int32_t symbolId, double lots) const;
    // Closes `lots` of the position at `price` with its pushes: the closing
    // order's accepted status first when `liqOrder` is not 0.
    void ClosePosition(int32_t accountId, int32_t ticket, double lots, double price,
                       int32_t liqOrder);
    void DealerTick();
    void AcceptHeld(const HeldClose& h);
    // Entry orders and SL/TP orders of the symbol that its quote reached.
    void ReachOrders(int32_t symbolId);
    // The SL/TP order an entry order's levels give the position it opened.
    void AttachLevels(const Order& entry, int32_t ticket);
    void ReachAllOrders();
    void EraseOrder(int32_t accountId, int32_t id);

    // Quotes.
    void StepQuotes();
    // The server's clock: every time it writes is in its own zone.
    std::string Now() const { return NowTextAt(book.serverGmt); }
    void SendTime(Conn& c) { Send(c, og::TIME_TOKEN, {Now()}); }
};

// Field n (from 1) of a request; "" when it has fewer.
inline const std::string& P(const Received& m, size_t n) {
    static const std::string none;
    return n >= 1 && n <= m.params.size() ? m.params[n - 1] : none;
}

}  // namespace simserver
