// The client API's public session object:
//  - QuoteFanThrough: one loaded object (12 positions over 10 symbols of 50)
//    takes a quote buffer of 50 records, 10 of them changed, as its data
//    client hands it on; the host reads Bid, Ask and FloatingProfitLoss of
//    every view it is given. Time per buffer and heap allocations per buffer
//    (counted by the replaced operator new below).
//  - QuoteFanThroughFloor: the model engine's own revaluation of the same 10
//    symbols plus one split of the buffer: what the quote path cannot avoid.
//  - QuoteTickOver500Sessions: the desk's shape: 500 loaded objects, each with
//    10 bought positions, one on each of 10 quoting symbols, take one price
//    push of those 10 symbols each (all of them moved) through their
//    connection session's DataRecieved, as the socket hands it on. Time per
//    tick (all 500 pushes). The handlers of the four price events the desk
//    attaches do nothing here: the desk's own handlers are measured in
//    desk_scale_bench. With arg 1 the handlers also make the client API calls
//    the desk's handlers make per view (LogedOn, SymbolByID, SymbolByName, the
//    view's figures), which are the client API's own work.
//  - LoginStorm: 500 objects on one loop log in to the simulated server
//    (100 symbols, 20 positions and 10 orders per account) running in a
//    child process pinned to another core: wall time from the first Login
//    to the last PendingOrdersLoaded.
//  - LoginStormFloor: 500 bare connection sessions log in to the same server
//    and make 10 round trips each.
#include <benchmark/benchmark.h>

#include <sched.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "bench/AllocationCounter.h"
#include "bench/BenchSupport.h"
#include "clientapi/facade/COrbanexClientAPI.h"
#include "connection/CKVClient.h"
#include "connection/IClientServer.h"
#include "general/common/CTokens.h"
#include "general/common/Enums.h"
#include "general/model/CAccountsTransactions.h"
#include "general/model/CSymbol.h"
#include "general/model/CSymbols.h"
#include "platform/EventLoop.h"
#include "runtime/Convert.h"
#include "simserver/Server.h"
#include "tests/support/DataClientProbe.h"
#include "tests/support/TempProgramFolder.h"
#include "tests/support/clientapi/ClientAPIAccess.h"

namespace {

namespace api = OrbanexClientAPI10;
namespace kv = KVClientDLL10;
namespace og = OrbanelGeneral10;
using testsupport::ClientAPIAccess;
using Row = std::vector<std::string>;

constexpr int kSymbols = 50;
constexpr int kChanged = 10;
constexpr int kPositions = 12;

// ---- Quote fan-through ----

double BaseBid(int id) {
    return 1 + id / 100.0;
}

Row SymbolRow(int id) {
    Row r(34, "");
    const double bid = BaseBid(id);
    r[0] = std::to_string(id);
    r[1] = "SYM" + std::to_string(id);
    r[2] = "1";
    r[3] = "-4";
    r[4] = "1";
    r[5] = "1";
    r[6] = runtime::NumberToText(id == 1 ? 1 : bid + 0.0002);
    r[7] = runtime::NumberToText(id == 1 ? 1 : bid);
    r[8] = "01/12/2026 10:00:00";
    r[9] = r[6];
    r[10] = r[7];
    r[11] = id == 1 ? "1" : "100000";
    r[12] = "1";
    r[13] = "1";
    r[14] = "1";
    r[22] = "0";
    r[26] = "1";
    r[27] = "0";
    return r;
}

// A quote buffer: every symbol once; the changed ones one pip up in `phase` 1.
std::string QuoteBuffer(int phase) {
    std::string b = "01/12/2026 10:00:01";
    for (int id = 1; id <= kSymbols; ++id) {
        const bool moves = id >= 2 && id < 2 + kChanged;
        const double bid = id == 1 ? 1 : BaseBid(id) + (moves && phase ? 0.0001 : 0);
        const double ask = id == 1 ? 1 : bid + 0.0002;
        b += "," + std::to_string(id) + "," + runtime::NumberToText(bid) + "," +
             runtime::NumberToText(ask);
    }
    return b;
}

struct LoadedSession {
    testsupport::TempProgramFolder folder{"clientapi-bench"};
    std::unique_ptr<api::COrbanexClientAPI> object = std::make_unique<api::COrbanexClientAPI>();
    testsupport::RequestRecorder requests;
    std::vector<runtime::ScopedConnection> links;
    double sink = 0;
    uint64_t views = 0;

    LoadedSession() {
        api::CDataClient& client = ClientAPIAccess::DataClient(*object);
        testsupport::DivertRequests(client, requests);
        auto& answers = *client.ClientServer();
        testsupport::AnswerOneRow(answers, og::GET_PRIVS_TOKEN, {"5,8", "42"});
        std::vector<Row> symbols;
        std::string params;
        for (int id = 1; id <= kSymbols; ++id) {
            symbols.push_back(SymbolRow(id));
            params += (id > 1 ? "," : "") + std::to_string(id) + ",2,0,5,5,0,100,0.1";
        }
        testsupport::AnswerRows(answers, og::GET_ALL_SYMBOLS_TOKEN, symbols);
        testsupport::AnswerRows(answers, og::GET_CLIENTS_TOKEN,
                                {{"7", "", "", "", "", "", "Ann", "B", "C", "D", "1", "ANN"}});
        testsupport::AnswerRows(answers, og::GET_ACCOUNTS2_TOKEN, {{"7", "70", "1", "0", "", "0"}});
        testsupport::AnswerOneRow(answers, og::GET_ACCOUNT_COMPLEMENT_DATA_TOKEN,
                                  {"1", "7", "70", "0", "01/12/2026 10:00:00", "0", "0", params});
        testsupport::AnswerOneRow(answers, og::GET_SUMMARIES_TOKEN,
                                  {"1", "0", "0", "-400", "0", "10000", "0", "0"});
        std::vector<Row> positions;
        for (int i = 0; i < kPositions; ++i) {
            const int symbol = 2 + i % kChanged;
            positions.push_back({"7", "70", std::to_string(100 + i), "01/12/2026 09:00:00",
                                 i % 2 ? "Sell" : "Buy", "1", std::to_string(symbol),
                                 runtime::NumberToText(BaseBid(symbol)), "", "", "", "", "", "0"});
        }
        testsupport::AnswerRows(answers, og::GETOPENPOS_TOKEN, positions);
        testsupport::AnswerRows(answers, og::GET_PENDING_ORDERS_TOKEN, {});
        ClientAPIAccess::SymbolsManager(*object).setGWPricesStep(3);
        links.emplace_back(object->SymbolPricesChanged.Connect(
            [this](const api::COrbanexClientAPI::SymbolView& s) {
                sink += s->Bid() + s->Ask();
                ++views;
            }));
        links.emplace_back(object->PosFloatingPLChanged.Connect(
            [this](const api::COrbanexClientAPI::PositionView& p) {
                sink += p->FloatingProfitLoss();
                ++views;
            }));
    }
};

void QuoteFanThrough(benchmark::State& state) {
    LoadedSession s;
    const std::string buffers[2] = {QuoteBuffer(1), QuoteBuffer(0)};
    api::CDataClient& client = ClientAPIAccess::DataClient(*s.object);
    for (int i = 0; i < 100; ++i) client.ReceivePrices(buffers[i % 2]);  // warm-up
    if (s.views == 0) {
        state.SkipWithError("the host was given no view");
        return;
    }
    const uint64_t views0 = s.views;
    const uint64_t allocations0 = g_allocations;
    uint64_t n = 0;
    for (auto _ : state) client.ReceivePrices(buffers[n++ % 2]);
    state.counters["allocs_per_buffer"] =
        static_cast<double>(g_allocations - allocations0) / static_cast<double>(n);
    state.counters["views_per_buffer"] =
        static_cast<double>(s.views - views0) / static_cast<double>(n);
    benchmark::DoNotOptimize(s.sink);
}
BENCHMARK(QuoteFanThrough)->Repetitions(5)->ReportAggregatesOnly(true);

void QuoteFanThroughFloor(benchmark::State& state) {
    LoadedSession s;
    const std::string buffers[2] = {QuoteBuffer(1), QuoteBuffer(0)};
    const auto engine = ClientAPIAccess::AccountsManager(*s.object).AccountsTransactions();
    const auto& all = ClientAPIAccess::SymbolsManager(*s.object).Symbols();
    std::vector<std::shared_ptr<og::CSymbol>> moving;
    for (int id = 2; id < 2 + kChanged; ++id) moving.push_back(all->Item(std::to_string(id)));
    std::vector<std::string_view> fields;
    fields.reserve(4 * kSymbols);
    const uint64_t allocations0 = g_allocations;
    uint64_t n = 0;
    for (auto _ : state) {
        const std::string_view b = buffers[n++ % 2];
        fields.clear();
        size_t from = 0;
        for (size_t at; (at = b.find(',', from)) != std::string_view::npos; from = at + 1)
            fields.push_back(b.substr(from, at - from));
        fields.push_back(b.substr(from));
        const double step = n % 2 ? 0.0001 : 0;
        for (const auto& symbol : moving) {
            symbol->setBid(BaseBid(symbol->ID()) + step);
            symbol->setAsk(BaseBid(symbol->ID()) + step + 0.0002);
            engine->DealWithChangedSymbolPrices(symbol);
        }
        benchmark::DoNotOptimize(fields.data());
    }
    state.counters["allocs_per_buffer"] =
        static_cast<double>(g_allocations - allocations0) / static_cast<double>(n);
}
BENCHMARK(QuoteFanThroughFloor)->Repetitions(5)->ReportAggregatesOnly(true);

// ---- Quote tick over the desk's 500 sessions ----

constexpr int kTickSessions = 500;
constexpr int kTickSymbols = 10;  // quoting, ids 2..11; id 1 is the account currency

Row TickSymbolRow(int id) {
    Row r = SymbolRow(id);
    r[1] = id == 1 ? "USD" : "SYM" + std::to_string(id);
    return r;
}

// One price push of every quoting symbol; phase 1 is one pip above phase 0.
std::vector<std::string> TickFields(int phase) {
    std::string b = "01/12/2026 10:00:0" + std::to_string(1 + phase);
    for (int id = 2; id < 2 + kTickSymbols; ++id) {
        const double bid = BaseBid(id) + (phase ? 0.0001 : 0);
        b += "," + std::to_string(id) + "," + runtime::NumberToText(bid) + "," +
             runtime::NumberToText(bid + 0.0002);
    }
    return testsupport::Fields({b});
}

struct TickSession {
    std::unique_ptr<api::COrbanexClientAPI> object = std::make_unique<api::COrbanexClientAPI>();
    testsupport::RequestRecorder requests;
    std::vector<runtime::ScopedConnection> links;

    TickSession(int index, bool deskCalls, double& sink, uint64_t& views) {
        api::CDataClient& client = ClientAPIAccess::DataClient(*object);
        testsupport::DivertRequests(client, requests);
        auto& answers = *client.ClientServer();
        const std::string clientId = std::to_string(1000 + index);
        const std::string accountId = std::to_string(100000 + index);
        testsupport::AnswerOneRow(answers, og::GET_PRIVS_TOKEN, {"5,8", clientId});
        std::vector<Row> symbols;
        std::string params;
        for (int id = 1; id <= 1 + kTickSymbols; ++id) {
            symbols.push_back(TickSymbolRow(id));
            params += (id > 1 ? "," : "") + std::to_string(id) + ",2,0,5,5,0,100,0.1";
        }
        testsupport::AnswerRows(answers, og::GET_ALL_SYMBOLS_TOKEN, symbols);
        testsupport::AnswerRows(answers, og::GET_CLIENTS_TOKEN,
                                {{clientId, "", "", "", "", "", "Ann", "B", "C", "D", "1", "ANN"}});
        testsupport::AnswerRows(answers, og::GET_ACCOUNTS2_TOKEN,
                                {{clientId, accountId, "1", "0", "", "0"}});
        testsupport::AnswerOneRow(
            answers, og::GET_ACCOUNT_COMPLEMENT_DATA_TOKEN,
            {"1", clientId, accountId, "0", "01/12/2026 10:00:00", "0", "0", params});
        testsupport::AnswerOneRow(answers, og::GET_SUMMARIES_TOKEN,
                                  {"1", "0", "0", "-400", "0", "10000", "0", "0"});
        std::vector<Row> positions;
        for (int i = 0; i < kTickSymbols; ++i) {
            const int symbol = 2 + i;
            positions.push_back({clientId, accountId, std::to_string(100 + i),
                                 "01/12/2026 09:00:00", "Buy", "1", std::to_string(symbol),
                                 runtime::NumberToText(BaseBid(symbol) - 0.002), "", "", "", "", "",
                                 "0"});
        }
        testsupport::AnswerRows(answers, og::GETOPENPOS_TOKEN, positions);
        testsupport::AnswerRows(answers, og::GET_PENDING_ORDERS_TOKEN, {});
        ClientAPIAccess::SymbolsManager(*object).setGWPricesStep(3);
        api::COrbanexClientAPI& o = *object;
        links.emplace_back(o.SymbolPricesChanged.Connect(
            [&o, deskCalls, &sink, &views](const api::COrbanexClientAPI::SymbolView& s) {
                ++views;
                if (!deskCalls) return;
                sink += o.LogedOn();
                const auto own = o.SymbolByID(s->ID());
                const auto named = o.SymbolByName(s->Name());
                sink += s->Bid() + s->Ask() + (own != nullptr) + (named != nullptr);
            }));
        links.emplace_back(o.SymbolHighLowChanged.Connect(
            [&views](const api::COrbanexClientAPI::SymbolView&) { ++views; }));
        links.emplace_back(o.PosFloatingPLChanged.Connect(
            [deskCalls, &sink, &views](const api::COrbanexClientAPI::PositionView& p) {
                ++views;
                if (!deskCalls) return;
                sink += p->Ticket() + p->ClosePrice() + p->FloatingProfitLoss() + p->SymbolID() +
                        static_cast<int>(p->BuySell());
            }));
        links.emplace_back(o.SummariesChanged.Connect(
            [&views](double, double, double, double, double, double, double) { ++views; }));
    }
};

void QuoteTickOver500Sessions(benchmark::State& state) {
    testsupport::TempProgramFolder folder("clientapi-bench");
    double sink = 0;
    uint64_t views = 0;
    std::vector<std::unique_ptr<TickSession>> sessions;
    for (int i = 0; i < kTickSessions; ++i)
        sessions.push_back(std::make_unique<TickSession>(i, state.range(0) != 0, sink, views));
    const std::vector<std::string> ticks[2] = {TickFields(1), TickFields(0)};
    auto tick = [&](const std::vector<std::string>& fields) {
        for (auto& s : sessions) {
            auto& session =
                testsupport::DataClientAccess::Session(ClientAPIAccess::DataClient(*s->object));
            session.DataRecieved(og::MARKET_DATA_TOKEN, 1, fields);
        }
    };
    for (int i = 0; i < 10; ++i) tick(ticks[i % 2]);  // warm-up
    // Per session and tick: 10 position views, 10 symbol views, the summaries.
    if (views < 10u * kTickSessions * 10) {
        state.SkipWithError("the host was given too few views");
        return;
    }
    const uint64_t views0 = views;
    const uint64_t allocations0 = g_allocations;
    uint64_t n = 0;
    for (auto _ : state) tick(ticks[n++ % 2]);
    state.counters["allocs_per_tick"] =
        static_cast<double>(g_allocations - allocations0) / static_cast<double>(n);
    state.counters["views_per_tick"] = static_cast<double>(views - views0) / static_cast<double>(n);
    benchmark::DoNotOptimize(sink);
}
// The machine is shared: the least disturbed repetition is reported beside the median.
BENCHMARK(QuoteTickOver500Sessions)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ComputeStatistics("min",
                        [](const std::vector<double>& v) {
                            return *std::min_element(v.begin(), v.end());
                        })
    ->ReportAggregatesOnly(true);

// ---- Login storm ----

constexpr int kSessions = 500;
constexpr int kStormSymbols = 100;
constexpr int kStormPositions = 20;
constexpr int kStormOrders = 10;
constexpr int kRoundTrips = 10;

int32_t g_serverPort = 0;
pid_t g_serverPid = 0;

using benchsupport::PinTo;
using benchsupport::ProcessCpuSeconds;
double ServerCpuSeconds() {
    return benchsupport::CpuSecondsOf(g_serverPid);
}

std::string UserName(int i) {
    return "U" + std::to_string(i);
}

simserver::Symbol StormSymbol(int id) {
    simserver::Symbol s;
    s.id = id;
    s.name = id == 1 ? "USD" : "SYM" + std::to_string(id);
    s.used = id != 1;
    s.bid = id == 1 ? 1 : BaseBid(id);
    s.ask = id == 1 ? 1 : s.bid + 0.0002;
    s.high = s.ask + 0.01;
    s.low = s.bid - 0.01;
    if (id == 1) s.contractSize = 1;
    return s;
}

simserver::Book StormBook() {
    simserver::Book b;
    b.handshakeMs = 30000;
    for (int id = 1; id <= kStormSymbols; ++id) b.AddSymbol(StormSymbol(id));
    for (int i = 0; i < kSessions; ++i) {
        simserver::Client client;
        client.id = 1000 + i;
        client.userName = UserName(i);
        b.AddClient(client);
        simserver::User user;
        user.name = UserName(i);
        user.password = "PW";
        user.clientId = client.id;
        b.AddUser(user);
        simserver::Account account;
        account.id = 100000 + i;
        account.clientId = client.id;
        account.figures.totDep = 10000;
        b.AddAccount(account);
        for (int n = 0; n < kStormPositions + kStormOrders; ++n) {
            const int symbol = 2 + (i + n) % (kStormSymbols - 1);
            if (n < kStormPositions) {
                simserver::Position p;
                p.clientId = client.id;
                p.accountId = account.id;
                p.time = "01/12/2026 09:00:00";
                p.side = n % 2 ? -1 : 1;
                p.lots = 1;
                p.symbolId = symbol;
                p.price = BaseBid(symbol);
                b.AddPosition(p);
            } else {
                simserver::Order o;
                o.clientId = client.id;
                o.accountId = account.id;
                o.time = "01/12/2026 09:00:00";
                o.lots = 1;
                o.symbolId = symbol;
                o.price = BaseBid(symbol) - 0.01;
                b.AddOrder(o);
            }
        }
    }
    return b;
}

[[noreturn]] void RunServer(int portPipe) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    PinTo(1);
    simserver::Server server(StormBook());
    server.Listen("127.0.0.1", 0);
    const int32_t port = server.Port();
    if (write(portPipe, &port, sizeof(port)) != sizeof(port)) _exit(1);
    close(portPipe);
    platform::EventLoop::Exec();
    _exit(0);
}

void StartServer() {
    std::tie(g_serverPid, g_serverPort) = benchsupport::StartChild(RunServer);
}

void StopServer() {
    benchsupport::StopChild(g_serverPid);
}

struct Storm {
    std::vector<std::unique_ptr<api::COrbanexClientAPI>> objects;
    std::vector<runtime::ScopedConnection> links;
    int loaded = 0;

    Storm() {
        for (int i = 0; i < kSessions; ++i) {
            auto o = std::make_unique<api::COrbanexClientAPI>();
            o->SetLoginInfo(UserName(i), "PW", "127.0.0.1", g_serverPort);
            links.emplace_back(o->PendingOrdersLoaded.Connect([this] { ++loaded; }));
            objects.push_back(std::move(o));
        }
    }
    ~Storm() {
        for (auto& o : objects) o->Disconnect();
        platform::EventLoop::RunFor(100);
        links.clear();
    }
};

void Measure(benchmark::State& state, double wall, double cpu, double server) {
    state.SetIterationTime(wall);
    state.counters["client_cpu_share"] = cpu / wall;
    state.counters["server_cpu_share"] = server / wall;
}

void LoginStorm(benchmark::State& state) {
    testsupport::TempProgramFolder folder("clientapi-bench");
    for (auto _ : state) {
        state.PauseTiming();
        auto storm = std::make_unique<Storm>();
        state.ResumeTiming();
        const double cpu0 = ProcessCpuSeconds(), server0 = ServerCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        for (auto& o : storm->objects) o->Login();
        const bool done =
            platform::EventLoop::RunUntil([&] { return storm->loaded >= kSessions; }, 30000);
        const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
        Measure(state, wall.count(), ProcessCpuSeconds() - cpu0, ServerCpuSeconds() - server0);
        if (!done) {
            state.SkipWithError("not every session loaded within 30 s");
            break;
        }
        state.PauseTiming();
        storm.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(LoginStorm)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// A request object that asks again as soon as it is answered, kRoundTrips times.
class Pinger : public kv::IClientServer {
public:
    void OneRowResultreceived(int16_t, int16_t, const std::vector<std::string>&) override {
        if (++answers < kRoundTrips) Ask();
    }
    void MultiRowsResultsreceived(int16_t, bool, const kv::ResultTable&, int32_t,
                                  int16_t) override {}
    bool HasThisToken(int16_t vToken) override { return vToken == og::GET_PRICES_TOKEN; }
    void SetEventManager(std::shared_ptr<KVGeneralDLL10::CEventManager> relay) override {
        relay_ = std::move(relay);
    }
    void Ask() {
        std::vector<std::string> p(50, "!&NS&!");
        p[0] = "2";
        relay_->RequestFromServer(og::GET_PRICES_TOKEN, p);
    }
    int answers = 0;

private:
    std::shared_ptr<KVGeneralDLL10::CEventManager> relay_;
};

void LoginStormFloor(benchmark::State& state) {
    auto tokens = std::make_shared<og::CTokens>();
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<std::unique_ptr<kv::CKVClient>> clients;
        std::vector<std::shared_ptr<Pinger>> pingers;
        std::vector<runtime::ScopedConnection> links;
        for (int i = 0; i < kSessions; ++i) {
            auto c = std::make_unique<kv::CKVClient>();
            c->setTokens(tokens);
            c->setServerAddress("127.0.0.1");
            c->setServerPort(g_serverPort);
            c->setLoginUN(UserName(i));
            c->setLoginPW("PW");
            c->setLoginType("CLIENTAPI");
            auto p = std::make_shared<Pinger>();
            c->AddClientServerObject(p);
            links.emplace_back(c->LoggedOn.Connect([p](int32_t) { p->Ask(); }));
            clients.push_back(std::move(c));
            pingers.push_back(std::move(p));
        }
        state.ResumeTiming();
        const double cpu0 = ProcessCpuSeconds(), server0 = ServerCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        for (auto& c : clients) c->Login();
        const bool done = platform::EventLoop::RunUntil(
            [&] {
                for (const auto& p : pingers)
                    if (p->answers < kRoundTrips) return false;
                return true;
            },
            30000);
        const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
        Measure(state, wall.count(), ProcessCpuSeconds() - cpu0, ServerCpuSeconds() - server0);
        if (!done) {
            state.SkipWithError("not every session made its round trips within 30 s");
            break;
        }
        state.PauseTiming();
        for (auto& c : clients) c->Disconnect(false);
        platform::EventLoop::RunFor(100);
        links.clear();
        clients.clear();
        state.ResumeTiming();
    }
}
BENCHMARK(LoginStormFloor)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    StartServer();  // before anything of the event loop exists in this process
    PinTo(0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    StopServer();
    return 0;
}
