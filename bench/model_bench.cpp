// The engine's quote path: one quote revalues every account holding the
// quoted symbol. Four books: one desk session, a manager's book, the worst
// case of one symbol everywhere, and one quote fanned out to 500 sessions.
// Each quote moves the symbol's bid and ask through its two price lets (the
// client API's work, untimed; BM_PriceLets gives its cost) and then times
// DealWithChangedSymbolPrices. Reported per quote: positions revalued,
// nanoseconds per position, heap allocations (counted by the replaced
// operator new below); and, as the floor, a plain loop that walks the same
// positions summing a number each already holds.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "bench/AllocationCounter.h"
#include "general/model/CAccount.h"
#include "general/model/CAccountRef.h"
#include "general/model/CAccountRefs.h"
#include "general/model/CAccounts.h"
#include "general/model/CAccountsTransactions.h"
#include "general/model/CClient.h"
#include "general/model/CClientParam.h"
#include "general/model/CClients.h"
#include "general/model/CCurAccount.h"
#include "general/model/COpenPosition.h"
#include "general/model/COpenPositions.h"
#include "general/model/CSymbol.h"
#include "general/model/CSymbols.h"
#include "runtime/Clock.h"
#include "runtime/Date.h"

// --- Allocation counter -------------------------------------------------------

namespace {

using namespace OrbanelGeneral10;
using runtime::Variant;

// --- Building a book ----------------------------------------------------------

// One session: an engine with its own symbols. Symbol 1 is the account
// currency; symbols 2.. are quoted with four decimals, a third of them
// against symbol 2 (so their reference price is a real quote), half with a
// spread of their own.
struct Session {
    std::shared_ptr<CSymbols> symbols = std::make_shared<CSymbols>();
    std::shared_ptr<CAccountsTransactions> engine = std::make_shared<CAccountsTransactions>();
    std::vector<std::shared_ptr<CSymbol>> bySymbol;  // index = symbol id
    runtime::ScopedConnection listener;
    int64_t positions = 0;

    explicit Session(int32_t symbolCount) {
        engine->InitializeNeededData(symbols, CLIENT_SIDE_EXECUTION, ON_OPEN_TYPE, 1);
        bySymbol.resize(static_cast<size_t>(symbolCount) + 2);
        for (int32_t id = 1; id <= symbolCount + 1; ++id) {
            CAccountsTransactions::NewSymbolArgs a;
            a.TickPips = Variant(0.0);
            a.RefCase = Variant(int16_t{1});
            a.PriceCase = Variant(int16_t{1});
            a.Factor = Variant(100000.0);
            a.LastQTime = Variant("09/12/2026 11:59:30");
            a.Bid = Variant(1.1 + id * 0.01);
            a.Ask = Variant(1.1 + id * 0.01 + 0.0002);
            a.isUsed = true;
            a.RefSymbolID = Variant(int32_t{id > 2 && id % 3 == 0 ? 2 : 1});
            a.PipLocation = Variant(int16_t{-4});
            a.SymbolName = Variant("S" + std::to_string(id));
            a.ID = Variant(id);
            a.CloseDay = Variant("SATURDAY");
            a.CloseTime = Variant("00:00:00");
            a.OpenDay = Variant("SUNDAY");
            a.OpenTime = Variant("00:00:00");
            bySymbol[static_cast<size_t>(id)] = engine->NewSymbol(a);
        }
        symbols->SetSymbolsRefSymbols();
        // The account manager listens to every summary.
        listener = engine->UpdateListView.Connect([](int32_t, int32_t, double, double, double,
                                                     double, double, double, double,
                                                     int32_t n) { benchmark::DoNotOptimize(n); });
    }

    void AddClient(int32_t id) {
        CAccountsTransactions::NewClientArgs a;
        a.cl_no = Variant(id);
        a.vClientType = CLIENT_TYPE;
        a.LiqType = EQUITY_LIQUIDATION;
        a.ClientOrServer = 1;
        auto client = engine->AddNewClient(a);
        client->InitializeParams(symbols, 1);
        for (size_t s = 2; s < bySymbol.size(); ++s) {
            auto param = client->SymbolParam(static_cast<int32_t>(s));
            param->setCommission(5);
            if (s % 2 == 0) param->setSpread(Variant(3.0));
        }
    }

    void AddAccount(int32_t client, int32_t account) {
        CAccountsTransactions::NewAccountArgs a;
        a.cl_no = Variant(client);
        a.acc_no = Variant(account);
        a.accType = Variant(int32_t{NormalAccountType});
        a.TotDep = Variant(10000.0);
        a.Loading = true;
        engine->AddNewAccount(a);
    }

    void AddPosition(int32_t client, int32_t account, int32_t ticket, int32_t symbol, bool buy) {
        engine->AddNewOpenPosition(Variant(client), Variant(account), Variant(ticket),
                                   Variant(symbol), Variant(1.5), Variant(1.1 + symbol * 0.01),
                                   Variant(int32_t{buy ? BuyType : SellType}), Variant(0.0),
                                   "09/12/2026 10:00:00", true);
        ++positions;
    }

    // Positions revalued by a quote of the symbol: every position of every
    // account that holds the symbol.
    int64_t Revalued(int32_t symbol) const {
        int64_t n = 0;
        for (const auto& c : *engine->Clients()->Items())
            for (const auto& a : *c.value->Accounts()->Items()) {
                const auto& positions = a.value->OpenPositions();
                bool holds = false;
                for (const auto& p : *positions->Items())
                    holds = holds || p.value->SymbolParam()->Symbol()->ID() == symbol;
                if (holds) n += positions->Count();
            }
        return n;
    }

    // A quote's new prices: a pip either way, set through the symbol's lets
    // (the client API's work, before it calls the engine).
    const CSymbol& Move(int32_t symbol, int64_t step) {
        const auto& s = bySymbol[static_cast<size_t>(symbol)];
        const double bid = 1.1 + symbol * 0.01 + ((step & 1) ? 0.0001 : -0.0001);
        s->setBid(bid);
        s->setAsk(bid + 0.0002);
        return *s;
    }
    void Revalue(int32_t symbol) {
        engine->DealWithChangedSymbolPrices(bySymbol[static_cast<size_t>(symbol)]);
    }
};

runtime::Date Noon() {
    return runtime::DateTimeSerial(2026, 12, 9, 12, 0, 0);
}

void Report(benchmark::State& state, double positionsPerQuote, uint64_t allocations, int64_t quotes,
            double seconds) {
    const double n = static_cast<double>(quotes);
    state.counters["positions/quote"] = positionsPerQuote;
    state.counters["allocs/quote"] = quotes ? static_cast<double>(allocations) / n : 0;
    state.counters["ns/position"] = quotes ? seconds * 1e9 / (n * positionsPerQuote) : 0;
}

// Runs quotes round-robin over the quoted symbols, each into every session.
// Only the engine is timed: the prices are moved before the clock starts.
void RunQuotes(benchmark::State& state, std::vector<std::unique_ptr<Session>>& sessions,
               const std::vector<int32_t>& quoted) {
    double revalued = 0;
    for (int32_t s : quoted)
        for (const auto& session : sessions) revalued += static_cast<double>(session->Revalued(s));
    revalued /= static_cast<double>(quoted.size());
    // Warm-up: the snapshot buffers grow to their size once.
    for (int64_t i = 0; i < 2 * static_cast<int64_t>(quoted.size()); ++i) {
        const int32_t symbol = quoted[static_cast<size_t>(i) % quoted.size()];
        for (auto& session : sessions) {
            session->Move(symbol, i);
            session->Revalue(symbol);
        }
    }
    uint64_t allocations = 0;
    int64_t step = 0;
    double seconds = 0;
    for (auto _ : state) {
        const int32_t symbol = quoted[static_cast<size_t>(step) % quoted.size()];
        for (auto& session : sessions) session->Move(symbol, step);
        const uint64_t before = g_allocations;
        const auto start = std::chrono::steady_clock::now();
        for (auto& session : sessions) session->Revalue(symbol);
        const auto end = std::chrono::steady_clock::now();
        allocations += g_allocations - before;
        const double took = std::chrono::duration<double>(end - start).count();
        state.SetIterationTime(took);
        seconds += took;
        ++step;
    }
    Report(state, revalued, allocations, step, seconds);
}

// A book: its sessions and the symbols quoted round-robin.
struct Book {
    std::vector<std::unique_ptr<Session>> sessions;
    std::vector<int32_t> quoted;
};

// 1 client, 3 accounts x 10 positions over 20 symbols, quotes round-robin.
Book DeskSession() {
    Book b;
    b.sessions.push_back(std::make_unique<Session>(20));
    Session& s = *b.sessions.back();
    std::mt19937 random(1);
    s.AddClient(1);
    for (int32_t a = 1; a <= 3; ++a) {
        s.AddAccount(1, a);
        for (int32_t t = 0; t < 10; ++t)
            s.AddPosition(1, a, a * 100 + t, 2 + static_cast<int32_t>(random() % 20),
                          random() % 2 == 0);
    }
    for (int32_t id = 2; id <= 21; ++id) b.quoted.push_back(id);
    return b;
}

// A manager's book: 100 clients x 10 accounts x 20 positions over 50 symbols.
Book ManagerBook() {
    Book b;
    b.sessions.push_back(std::make_unique<Session>(50));
    Session& s = *b.sessions.back();
    std::mt19937 random(2);
    for (int32_t c = 1; c <= 100; ++c) {
        s.AddClient(c);
        for (int32_t a = 0; a < 10; ++a) {
            const int32_t account = c * 100 + a;
            s.AddAccount(c, account);
            for (int32_t t = 0; t < 20; ++t)
                s.AddPosition(c, account, account * 100 + t,
                              2 + static_cast<int32_t>(random() % 50), random() % 2 == 0);
        }
    }
    for (int32_t id = 2; id <= 51; ++id) b.quoted.push_back(id);
    return b;
}

// The worst case: 500 accounts x 50 positions, all in the quoted symbol.
Book WorstCase() {
    Book b;
    b.sessions.push_back(std::make_unique<Session>(3));
    Session& s = *b.sessions.back();
    for (int32_t c = 1; c <= 50; ++c) {
        s.AddClient(c);
        for (int32_t a = 0; a < 10; ++a) {
            const int32_t account = c * 100 + a;
            s.AddAccount(c, account);
            for (int32_t t = 0; t < 50; ++t) s.AddPosition(c, account, account * 100 + t, 3, t % 2);
        }
    }
    b.quoted = {3};
    return b;
}

// The desk's fan-out: the same quote into 500 sessions of one account x 10
// positions over 5 symbols, 2 of them in the quoted one.
Book FanOut() {
    Book b;
    for (int32_t i = 0; i < 500; ++i) {
        b.sessions.push_back(std::make_unique<Session>(5));
        Session& s = *b.sessions.back();
        s.AddClient(1);
        s.AddAccount(1, 1);
        for (int32_t t = 0; t < 10; ++t) s.AddPosition(1, 1, 100 + t, 2 + t % 5, t % 3 == 0);
    }
    b.quoted = {2};
    return b;
}

template <Book (*Build)()>
void BM_Quote(benchmark::State& state) {
    runtime::ScopedClock clock(std::make_shared<runtime::FixedClock>(Noon()));
    Book book = Build();
    RunQuotes(state, book.sessions, book.quoted);
}

// The floor: per quote, the same accounts' same positions are walked the
// same way, summing a number each position already holds (its lots stand
// for a precomputed profit).
template <Book (*Build)()>
void BM_Floor(benchmark::State& state) {
    Book book = Build();
    double revalued = 0;
    for (int32_t s : book.quoted)
        for (const auto& session : book.sessions)
            revalued += static_cast<double>(session->Revalued(s));
    revalued /= static_cast<double>(book.quoted.size());
    int64_t step = 0;
    for (auto _ : state) {
        const int32_t symbol = book.quoted[static_cast<size_t>(step++) % book.quoted.size()];
        double total = 0;
        for (const auto& session : book.sessions) {
            const auto& cur = std::dynamic_pointer_cast<CCurAccount>(
                session->bySymbol[static_cast<size_t>(symbol)]->Ref1());
            for (const auto& ref : *cur->AccountsHavePositions()->Items())
                for (const auto& p : *ref.value->Account()->OpenPositions()->Items())
                    total += p.value->lots();
        }
        benchmark::DoNotOptimize(total);
    }
    state.counters["positions/quote"] = revalued;
    state.counters["ns/position"] =
        benchmark::Counter(revalued * static_cast<double>(state.iterations()) * 1e-9,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK_TEMPLATE(BM_Quote, DeskSession)->UseManualTime();
BENCHMARK_TEMPLATE(BM_Floor, DeskSession);
BENCHMARK_TEMPLATE(BM_Quote, ManagerBook)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_Floor, ManagerBook)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_Quote, WorstCase)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_Floor, WorstCase)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_Quote, FanOut)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_Floor, FanOut)->Unit(benchmark::kMicrosecond);

// What the client API spends on a quote before it calls the engine: the
// symbol's bid and ask lets, each rounding to the symbol's decimals.
void BM_PriceLets(benchmark::State& state) {
    Session s(2);
    int64_t step = 0;
    for (auto _ : state) benchmark::DoNotOptimize(&s.Move(2, step++));
}
BENCHMARK(BM_PriceLets);

}  // namespace

BENCHMARK_MAIN();
